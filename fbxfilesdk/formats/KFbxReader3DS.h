// Reads 3D Studio mesh files (*.3ds) into a scene. The file is parsed by the
// 3DS toolkit; the reader copies the toolkit records it needs, then builds
// meshes, Phong materials and textures, lights, cameras, their look-at
// targets, one node per keyframer node and the keys of one take,
// "default take". A 3DS point (x, y, z) becomes the scene point (x, z, -y).
#ifndef FBXFILESDK_FORMATS_KFBXREADER3DS_H
#define FBXFILESDK_FORMATS_KFBXREADER3DS_H

#include <fbxfilesdk/fbx/KFbxReader.h>
#include <fbxfilesdk/formats/KFbxFlags3DS.h>
#include <fbxfilesdk/formats/KFbxReader3DSMesh.h>
#include <fbxfilesdk/formats/KFbxReader3DSRecords.h>
#include <fbxfilesdk/formats/KFbxToolkitFile3DS.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxCamera;
class KFbxIO;
class KFbxLight;
class KFbxMarker;
class KFbxMesh;
class KFbxNode;
class KFbxNodeAttribute;
class KFbxTakeNode;
class KFbxTexture;
class KFCurve;

class KFbxReader3DS : public KFbxReader {
public:
    KFbxReader3DS(KFbxSdkManager& manager, KFbxIO* io);
    ~KFbxReader3DS() override;

    // Checks that the toolkit can open the file and keeps its name; false
    // when it cannot be opened. The file itself is open only inside Read.
    bool FileOpen(const char* fileName) override;
    bool OpensRegularFilesOnly() const override;
    // Forgets the file; always true.
    bool FileClose() override;
    // Whether a file was opened and not yet read or closed.
    bool IsFileOpen() override;
    // New KFbxStreamOptions3dsReader options with their defaults.
    KFbxStreamOptions* GetReadOptions() override;
    // Reads the open file into the scene and closes it. Options of another
    // class (or none) give status eSTREAM_OPTIONS_NOT_SET, and the read goes
    // on with the reader's current flags. A file the toolkit cannot read, or
    // whose editor or keyframer data was cut short, gives false with
    // eFILE_CORRUPTED and the scene untouched. A file that reads and makes
    // no node says in the message that it holds no scene content.
    bool Read(KFbxScene* scene, KFbxStreamOptions* options) override;

    // Builds the scene from the records Read fetched; false when a material,
    // a mesh or the animation cannot be made.
    virtual bool BuildScene(KFbxScene* scene);
    // The meshes, lights, cameras and target markers of the records; called
    // by BuildScene before the nodes are made.
    virtual bool CreateNodeAttributes();

    // Frees the toolkit records and database and closes the reader's file;
    // true when the toolkit reported no error.
    bool ReleaseRecords();

private:
    struct Flags : KFbxFlags3DS {
        bool mFilter = false;
        bool mSmoothGroup = true;
    };

    struct MeshSlot {
        reader3ds::MeshRecord mRecord;
        KFbxMesh* mMesh = nullptr;
        bool mPivotApplied = false;
    };
    struct MaterialSlot {
        reader3ds::MaterialRecord mRecord;
    };
    struct OmniSlot {
        reader3ds::LightRecord mRecord;
        KFbxLight* mLight = nullptr;
    };
    struct SpotSlot {
        reader3ds::LightRecord mRecord;
        KFbxLight* mLight = nullptr;
        KFbxMarker* mTarget = nullptr;
    };
    struct CameraSlot {
        reader3ds::CameraRecord mRecord;
        KFbxCamera* mCamera = nullptr;
        KFbxMarker* mTarget = nullptr;
    };
    struct ObjectMotionSlot {
        reader3ds::ObjectMotionRecord mRecord;
        KFbxNode* mNode = nullptr;
        // Made for a file without keyframer data: the mesh matrix places the node.
        bool mWithoutKeyframer = false;
        const mesh3ds* mMesh = nullptr;
    };
    struct OmniMotionSlot {
        reader3ds::OmniMotionRecord mRecord;
        KFbxNode* mNode = nullptr;
        const light3ds* mSource = nullptr;
    };
    struct SpotMotionSlot {
        reader3ds::SpotMotionRecord mRecord;
        KFbxNode* mNode = nullptr;
        KFbxNode* mTargetNode = nullptr;
        const light3ds* mSource = nullptr;
    };
    struct CameraMotionSlot {
        reader3ds::CameraMotionRecord mRecord;
        KFbxNode* mNode = nullptr;
        KFbxNode* mTargetNode = nullptr;
        const camera3ds* mSource = nullptr;
    };

    // ---- the read (KFbxReader3DS.cpp) ----
    bool OpenToolkitFile(const char* fileName);
    void TakeOptions(KFbxStreamOptions* options);
    bool FetchRecords();
    bool FetchMeshesAndMaterials();
    bool FetchLights();
    bool FetchCameras();
    bool FetchMotions();
    template <class Slot, class Record>
    bool FetchEach(std::vector<Slot>& slots, std::uint32_t (*count)(database3ds*),
                   void (*get)(database3ds*, std::uint32_t, Record**));
    template <class Slot, class Source, class Record>
    bool FetchMotions(std::vector<Slot>& slots, std::uint32_t (*count)(database3ds*),
                      void (*get)(database3ds*, std::uint32_t, Record**), const std::vector<Source>& sources,
                      void (*init)(Record**));
    bool ToolkitFailed();
    void SetToolkitError();
    // The status of the entry's error, with its text; false.
    bool SetError(const ErrRec3ds& entry);
    void SetAmbientAndBackground(KFbxScene& scene);
    bool CreateReferenceNode(KFbxScene& scene);
    void CreateTake(KFbxScene& scene);
    void DestroyUnusedAttributes();
    void ForgetRecords();

    // ---- materials and meshes (KFbxReader3DSMaterials.cpp) ----
    bool ReadMaterials();
    KFbxTexture* CreateTexture(const texturemap3ds& map, const std::string& clashName);
    bool ConvertMesh(const mesh3ds* record, KFbxMesh* mesh);
    bool CreateMeshAttributes();

    // ---- lights, cameras, nodes and hierarchy (KFbxReader3DSNodes.cpp) ----
    bool CreateLightAndCameraAttributes();
    void SetupOmniLight(KFbxLight& light);
    void SetupSpotLight(KFbxLight& light, const light3ds& record);
    void SetupCamera(KFbxCamera& camera, const camera3ds& record);
    bool CreateNodes();
    // A node with the record's attribute and a ".Target" node with its
    // target's, per motion record.
    template <class Motion, class Source, class Attribute>
    void CreateTargetedNodes(std::vector<Motion>& motions, std::vector<Source>& sources, bool use,
                             Attribute* Source::*attribute);
    KFbxNode* CreateNode(const std::string& name, KFbxNodeAttribute* attribute);
    void MovePivot(MeshSlot& slot, const point3ds& pivot);
    KFbxNode* DefaultParent() const;
    bool AttachToParent(KFbxNode* node, const std::string& parentName);
    void AttachOrDefault(KFbxNode* node, const std::string& parentName);
    void AttachTarget(KFbxNode* node, KFbxNode* target, const std::string& parentName,
                      const std::string& targetParentName);
    template <class Motion>
    void AttachWithTargets(std::vector<Motion>& motions);
    bool BuildObjectHierarchy(KFbxScene& scene);
    bool BuildOmniHierarchy(KFbxScene& scene);
    bool BuildSpotHierarchy(KFbxScene& scene);
    bool BuildCameraHierarchy(KFbxScene& scene);

    // ---- keyframe animation (KFbxReader3DSAnimation.cpp) ----
    bool AnimateObjects();
    // Places the node by the mesh's own matrix; false, leaving the node as it
    // is, when the matrix places nothing.
    bool PlaceByMeshMatrix(KFbxNode& node, const mesh3ds& mesh);
    bool AnimateOmniLights();
    bool AnimateSpotLights();
    bool AnimateCameras();
    KFbxTakeNode* BeginTake(KFbxNode& node);
    // The channels' curves are found by the caller that has them, or else
    // here.
    bool ReadPositionKeys(KFbxNode* node, const reader3ds::Track<point3ds>& track, const point3ds& fallback,
                          const reader3ds::Channel* curves = nullptr);
    bool ReadRotationKeys(KFbxNode* node, const reader3ds::Track<rotkey3ds>& track, const reader3ds::Channel& curves);
    bool ReadScaleKeys(KFbxNode* node, const reader3ds::Track<point3ds>& track, const reader3ds::Channel& curves);
    bool ReadColorKeys(KFbxNode* node, const reader3ds::Track<point3ds>& track, const color3ds& fallback);
    bool ReadHotspotKeys(KFbxNode* node, const reader3ds::Track<float>& track, float fallback);
    bool ReadFovKeys(KFbxNode* node, const reader3ds::Track<float>& track, float fallback);
    bool ReadRollKeys(KFbxNode* node, const reader3ds::Track<float>& track, float fallback);
    bool ReadScalarKeys(KFbxNode* node, KFCurve* curve, const reader3ds::Track<float>& track, double fallback,
                        void (*setDefault)(KFbxNodeAttribute&, double));
    void SetIntensity(KFbxNode* node, const light3ds* source);
    // Fewer than two keys, or animation off: the property does not move.
    bool StaticTrack(std::uint32_t count) const;
    bool SetChannelKeys(const reader3ds::Channel& channel, const keyheader3ds* keys, std::uint32_t count,
                        const double* values);
    void ReduceKeys(const reader3ds::Channel& channel);
    double LengthScale() const;

    std::string mFileName;
    KFbxToolkitFile3DS mFile;
    database3ds* mDatabase = nullptr;
    meshsettings3ds* mMeshSettings = nullptr;
    background3ds* mBackground = nullptr;
    Flags mFlags;
    double mScale = 1.0;
    double mAmbient[3] = {0.0, 0.0, 0.0};
    double mBackgroundColor[3] = {0.0, 0.0, 0.0};

    std::vector<MeshSlot> mMeshes;
    std::vector<MaterialSlot> mMaterials;
    std::vector<OmniSlot> mOmniLights;
    std::vector<SpotSlot> mSpotLights;
    std::vector<CameraSlot> mCameras;
    std::vector<ObjectMotionSlot> mObjectMotions;
    std::vector<OmniMotionSlot> mOmniMotions;
    std::vector<SpotMotionSlot> mSpotMotions;
    std::vector<CameraMotionSlot> mCameraMotions;

    KFbxScene* mScene = nullptr;
    KFbxNode* mReferenceNode = nullptr;
    // Material name to its material and textures: what meshes' material
    // groups name.
    reader3ds::MaterialTable mMaterialTable;
    // Node name to the first node of that name this read made: what parent
    // names name.
    std::unordered_map<std::string, KFbxNode*> mNodesByName;
};

}  // namespace fbxsdk_2006_11_1

#endif
