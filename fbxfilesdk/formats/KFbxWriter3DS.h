// Writes a scene as a 3D Studio mesh file (*.3ds). The writer fills a 3DS
// toolkit database with mesh settings, mesh objects and their materials,
// omni and spot lights, cameras and one keyframer node per written node,
// then lets the toolkit write it. A scene point (x, y, z) becomes the 3DS
// point (x, -z, y). Mesh objects hold their points where the scene puts
// them; each node's keys are taken against what readers compose for its
// parent's, so that readers place every node where the scene does, as near
// as keys can hold it. Names are fitted to the file's fields by
// KRenamingStrategy3DS for the file only: an export never changes the scene
// it writes, and two exports of one scene give the same bytes. A file numbers
// at most kMaxKeyframerNodes3ds keyframer nodes: a scene that needs more is
// refused, with nothing written.
#ifndef FBXFILESDK_FORMATS_KFBXWRITER3DS_H
#define FBXFILESDK_FORMATS_KFBXWRITER3DS_H

#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>
#include <fbxfilesdk/3dsftk/Error3ds.h>
#include <fbxfilesdk/core/KFbxTextureCopies.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/KFbxWriter.h>
#include <fbxfilesdk/formats/KFbxFlags3DS.h>
#include <fbxfilesdk/formats/KFbxReader3DSRecords.h>
#include <fbxfilesdk/formats/KFbxToolkitFile3DS.h>
#include <fbxfilesdk/formats/KFbxWriter3DSPlacement.h>
#include <fbxfilesdk/formats/KRenamingStrategy3DS.h>
#include <fbxfilesdk/scene/KFbxNodeEvaluationState.h>
#include <fbxfilesdk/scene/KFbxSceneNameSnapshot.h>

#include <platform/os/ReplacementFile.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxCamera;
class KFbxIO;
class KFbxLight;
class KFbxMesh;
class KFbxNode;
class KFbxObject;
class KFbxSurfaceMaterial;
class KFbxTakeNode;
class KFbxTexture;
class KFCurve;

namespace writer3ds {
struct MeshData;
struct MeshPart;
}

class KFbxWriter3DS : public KFbxWriter {
public:
    // Keyframer tracks are sampled at this rate, once per frame.
    static constexpr int kFrameTimeMode = KTime::eFrames30;
    // The most keys a track gets: a longer animation is cut, with a message.
    static constexpr std::uint32_t kMaxKeys = 100000;
    // The most points or triangles one 3DS object holds: a larger mesh is
    // written as several objects.
    static constexpr int kMaxObjectItems = 65535;
    // Centimetres to inches.
    static constexpr double kInchesPerCentimetre = 0.3937007874015748;

    // The curve a track is sampled from, or the value that stands for it.
    struct Source {
        KFCurve* mCurve = nullptr;
        double mValue = 0.0;
        double At(KTime time) const;
    };

    // The times of frames 0, 1, 2 and so on; references to them stay valid
    // as more are added.
    using FrameTimes = std::deque<KTime>;

    KFbxWriter3DS(KFbxSdkManager& manager, KFbxIO* io);
    ~KFbxWriter3DS() override;

    // Opens the file for writing; false with eFILE_NOT_OPENED when it cannot
    // be opened, with the system's reason (or no name is given).
    bool FileCreate(const char* fileName) override;
    // The file is closed by Write already; gives up one Write never got,
    // leaving the file named as it was.
    bool FileClose() override;
    bool IsFileOpen() override;
    // New KFbxStreamOptions3dsWriter options with their defaults.
    KFbxStreamOptions* GetWriteOptions() override;
    // Writes the scene into the file opened by FileCreate and closes it: it
    // takes the place of the file named only when written whole.
    // Options of another class (or none) give eSTREAM_OPTIONS_NOT_SET and the
    // write goes on with the writer's current flags. False when the toolkit
    // failed, or when the file written could not be kept: then "Out of disk
    // space" for a full disk and an unidentified error otherwise, the
    // system's reason in the message.
    bool Write(KFbxScene* scene, KFbxStreamOptions* options) override;
    // The shared preparation of plain mesh writers: node names made legal
    // and unique, the names they had kept.
    bool PreprocessScene(KFbxScene& scene) override;
    // Gives the scene back the names PreprocessScene kept; false, as its
    // result is not used.
    bool PostprocessScene(KFbxScene& scene) override;

    // ---- axes and time ----
    // Position (x, -z, y), scaling (x, z, y); an Euler XYZ rotation in
    // degrees turned into the 3DS axes.
    static KFbxVector4 ConvertPosition(const KFbxVector4& position);
    static KFbxVector4 ConvertScaling(const KFbxVector4& scaling);
    static KFbxVector4 ConvertRotation(const KFbxVector4& rotation);
    // The text of a keyframer frame, which the time parser reads back in
    // kFrameTimeMode as that frame, and the time it stands for.
    static std::string FrameTimeText(std::uint32_t frame);
    static KTime FrameTime(std::uint32_t frame);
    // A rotation key relative to the key before: from the Euler XYZ angles of
    // the previous frame to those of this one (previous null: from rest).
    static rotkey3ds RelativeRotationKey(const KFbxVector4* previous, const KFbxVector4& current);
    // The same between two turns of the scene's axes.
    static rotkey3ds RelativeRotationKey(const writer3ds::Frame* previous, const writer3ds::Frame& current);

    // ---- meshes ----
    // The triangles of a polygon of size corners, as corner positions: a
    // quad gives (0, 1, 2), (2, 3, 0).
    static std::vector<std::array<int, 3>> TriangulatePolygon(int size);
    // The name of a texture map: the file name without folder when it fits
    // the 12-character field, else empty (the caller names it "Tex"+n).
    static std::string MapFileName(const char* fileName);

    // The name of an object in the written file; "" for one not seen.
    const std::string& FileNameOf(const KFbxObject* object) const;

private:
    struct Flags : KFbxFlags3DS {
        bool mTexUVByPoly = false;
    };

    using Frame = writer3ds::Frame;
    // What readers compose for a node at a key, and whether their floats
    // keep the world's up apart from the ground through it: they do only
    // while every turn of its keys and of its ancestors' keys, up to that
    // key, is one about the up alone that keeps it pointing up.
    struct KeyedFrame {
        Frame mFrame = writer3ds::IdentityFrame();
        bool mUpApart = true;
    };
    // What readers compose for a node's keys, one per key.
    using Frames = std::vector<KeyedFrame>;
    using MeshRecord = reader3ds::MeshRecord;
    using MaterialRecord = reader3ds::MaterialRecord;

    // A node on the walk's path, whose subtree is being written.
    struct NodeInWalk {
        KFbxNode* mNode = nullptr;
        int mNextChild = 0;
        // The further parts of a large mesh, and the keyframer node put
        // again for each of them after the subtree.
        reader3ds::ObjectMotionRecord mMotion;
        std::vector<std::string> mExtraParts;
    };

    // ---- the write (KFbxWriter3DS.cpp) ----
    void TakeOptions(KFbxStreamOptions* options);
    bool PrepareWrite(KFbxStreamOptions* options);
    void NameObjects();
    // The object's name in the file, with a message when characters of it
    // could not be kept.
    void NameObject(const KFbxObject& object, int limit);
    // Every node of the scene evaluated anew: nodes and their take's channels
    // keep what they gave for a time until told, even after their values
    // changed.
    void ResetEvaluations();
    void TakeTimeSpan();
    // The nodes that stand only for where a written camera or spot light
    // looks: no children, no attribute or a marker, which readers make of a
    // target track. The target track holds them.
    void FindTargetsOnly();
    // Writes every node, parents before their children.
    bool WriteNodes();
    // The node's records; then, after its subtree, what follows it.
    bool WriteNode(NodeInWalk& at);
    bool FinishNode(NodeInWalk& at);
    // Each writes the node's records and gives the transforms readers make
    // of its keys. The mesh objects and keyframer node of a mesh node; the
    // keyframer nodes of the further parts of a large mesh are left to the
    // caller, which puts them after the node's children.
    bool WriteGeometryNode(KFbxNode* node, reader3ds::ObjectMotionRecord& motion,
                           std::vector<std::string>& extraParts, Frames& frames);
    bool PutExtraParts(reader3ds::ObjectMotionRecord& motion, const std::vector<std::string>& extraParts);
    bool WriteLightNode(KFbxNode* node, Frames& frames);
    bool WriteCameraNode(KFbxNode* node, Frames& frames);
    bool WriteDummyNode(KFbxNode* node, Frames& frames);
    bool WriteSettings();
    // False, with the count and the limit in the error, when the database
    // holds more keyframer nodes than a file can number; nothing is written
    // then.
    bool CheckKeyframerNodeCount();
    bool FinishWrite();
    bool ToolkitFailed();
    void SetToolkitError(ErrorCode3ds code);
    // Says how many values of the named record were written as 0 because
    // they were not finite; nothing for none.
    void ReportNonFinite(std::size_t count, const std::string& name);
    void ReleaseToolkit();
    // Whether the walk writes a keyframer node for the node.
    bool IsWritten(const KFbxNode* node) const;
    // Whether the node is a written mesh whose points mirror where the scene
    // puts them at the start.
    bool MirroredMesh(KFbxNode* node);
    // The nearest ancestor that has a keyframer node; null when none.
    KFbxNode* WrittenParent(const KFbxNode* node);
    // Where the scene puts the node at a keyframer frame, by its own
    // evaluation (inherit type, pivots and limits).
    Frame SceneFrame(KFbxNode* node, std::uint32_t frame);
    // The parts of that evaluation, made from the parent's at the same frame;
    // past the node's keys, those of its last key.
    const KFbxNodeGlobalParts& ScenePartsAt(KFbxNode* node, std::uint32_t frame);
    // Evaluates the node's parts up to the frame, one of its keys, from those
    // of its parent (null for none), which reach that far or to the parent's
    // last key.
    void EvaluateSceneParts(KFbxNode* node, const std::vector<KFbxNodeGlobalParts>* above, std::uint32_t frame);
    // The node's own transform at a frame, for a parent readers cannot take
    // back.
    Frame LocalFrame(KFbxNode* node, std::uint32_t frame);
    // What readers compose for the node's written parent, key by key; null
    // without one.
    const Frames* ParentFrames(const KFbxNode* node);
    // The frame of those at a keyframer frame (past the last key, that of
    // the last key); the identity for none.
    static KeyedFrame FrameAt(const Frames* frames, std::uint32_t frame);
    // A point of the scene's world as it stands in the frame, in the file's axes.
    static point3ds InFrame(const Frame& frame, const double (&world)[3]);
    // Where a spot light or camera looks at a frame, in the world: its
    // target node, else ten units along its own axis; for a camera whose
    // line is next to straight up or down, made straight where readers'
    // floats keep it so, else made to lean by what they resolve.
    void LookAt(KFbxNode* node, std::uint32_t frame, double (&out)[3]);

    // ---- meshes and materials (KFbxWriter3DSMesh.cpp) ----
    // The mesh as one object named after the node or, when too large for
    // one, as several; the names of the further ones go into extraParts.
    // The points placed by world, the mesh matrix the frame readers take
    // them back by.
    bool WriteMesh(KFbxNode* node, const KFbxMesh& mesh, const Frame& world, const Frame& matrix, bool textures,
                   std::vector<std::string>& extraParts);
    bool WriteMeshPart(const writer3ds::MeshData& data, const writer3ds::MeshPart& part, const Frame& world,
                       const Frame& matrix, const std::string& name);
    MeshRecord MakeMeshObject(const writer3ds::MeshData& data, const writer3ds::MeshPart& part, const Frame& world,
                              const Frame& matrix, const std::string& name);
    MaterialRecord WriteMaterials(const writer3ds::MeshData& data, int material, int first, int second);
    void SetMaterialColours(material3ds& record, const KFbxSurfaceMaterial* material) const;
    // The map of the texture, whose file it copies.
    void SetTextureMap(texturemap3ds& map, const KFbxTexture& texture, int number, const std::string& material);
    // Copies the file beside the written one, under its name or a numbered
    // one that a map name holds where its own fits; the name of the copy.
    std::string CopyTextureFile(const char* fileName);
    // The name of the grey material of textured meshes without one.
    const std::string& DefaultMaterialName();

    // ---- lights, cameras and keyframes (KFbxWriter3DSMotion.cpp) ----
    // Keys from frame 0 to the last that moves the node, at most the file's
    // last frame.
    std::uint32_t KeyCount(KFbxNode* node);
    // The last frame at which the node's take or an ancestor's moves it:
    // the first at or after its last key, or where its curves stop
    // repeating or going on with their slope, at most the first at or after
    // the scene's last key.
    std::int64_t LastMovingFrame(KFbxNode* node);
    // The key count of the look-at track: the target's, else the node's keys.
    std::uint32_t TargetKeyCount(KFbxNode* node, std::uint32_t keys);
    // The key count of a camera's roll track: of an aimed camera, its
    // target's and its up node's as well.
    std::uint32_t RollKeyCount(KFbxNode* node, std::uint32_t keys);
    // The times of the first count frames.
    const FrameTimes& TimesOfFrames(std::uint32_t count);
    Source DefaultSource(KFCurve* curve, double value) const;
    std::array<Source, 3> Sources(KFCurve* x, KFCurve* y, KFCurve* z, const KFbxVector4& values) const;
    void SetMotionNames(const KFbxNode* node, char (&name)[kNameField3ds], char (&parent)[kFullNameField3ds]);
    std::string ParentName(const KFbxNode* node);
    reader3ds::ObjectMotionRecord MakeObjectMotion(KFbxNode* node, Frames& frames);
    reader3ds::LightRecord MakeOmniLight(const KFbxLight& light, const point3ds& position, const std::string& name);
    reader3ds::LightRecord MakeSpotLight(const KFbxLight& light, const point3ds& position, const std::string& name);
    reader3ds::OmniMotionRecord MakeOmniLightMotion(KFbxNode* node, Frames& frames);
    reader3ds::SpotMotionRecord MakeSpotLightMotion(KFbxNode* node, Frames& frames);
    // The position keys of a light or camera, which moves in its parent's
    // frame without turning or scaling it.
    void SamplePositionKeys(KFbxNode* node, kftrack3ds<point3ds>& track, Frames& frames);
    // The position and colour keys of an omni or spot light's keyframer node.
    void SampleLightKeys(KFbxNode* node, const KFbxLight& light, const FrameTimes& times,
                         kftrack3ds<point3ds>& position, kftrack3ds<point3ds>& color, Frames& frames);
    reader3ds::CameraRecord MakeCamera(const KFbxCamera& camera, const point3ds& position, const std::string& name);
    reader3ds::CameraMotionRecord MakeCameraMotion(KFbxNode* node, Frames& frames);
    // What a camera's place adds to its roll at a frame: that of the up
    // direction its node's turn gives it, or an aimed camera's up node or up
    // vector, made square to the line the scene has, about the line of
    // sight as written, to the point LookAt gives (in the world).
    double CameraRoll(KFbxNode* node, const KFbxCamera& camera, std::uint32_t frame, const double (&lookAt)[3]);
    // The background of the camera's colour.
    bool PutBackground(const KFbxCamera& camera);
    // The look-at keys, in the frame of the node's parent, where the target
    // node hangs as well.
    void SampleTargetKeys(KFbxNode* node, kftrack3ds<point3ds>& track);
    static double CameraFieldOfView(const KFbxCamera& camera);

    std::string mFileName;
    // The file written, and the toolkit's record of its stream.
    qalimor::os::ReplacementFile mOutput;
    KFbxToolkitFile3DS mFile;
    database3ds* mDatabase = nullptr;
    meshsettings3ds* mMeshSettings = nullptr;
    Flags mFlags;
    double mUnitScale = 1.0;
    int mMeshCounter = 0;
    KFbxScene* mScene = nullptr;
    KFbxNode* mRootNode = nullptr;
    KTime mStart;
    KTime mStop;
    // The keyframer's last frame, the file's length: no key lies past it.
    std::uint32_t mLastFrame = 0;
    bool mAnimate = true;
    // The file's names of the scene's nodes and materials for this write.
    KRenamingStrategy3DS mRenaming;
    std::unordered_map<const KFbxObject*, std::string> mNames;
    std::string mDefaultMaterialName;
    KFbxTextureCopies mTextureCopies;
    FrameTimes mFrameTimes;
    // What readers compose for each written node whose subtree is being
    // written, key by key.
    std::unordered_map<const KFbxNode*, Frames> mKeyframerFrames;
    // Where the scene puts the nodes whose subtree is being written, and the
    // nodes looked at with their ancestors, key by key, so that each is
    // evaluated once per key from its parent's.
    std::unordered_map<const KFbxNode*, std::vector<KFbxNodeGlobalParts>> mSceneParts;
    // What the walk found out once per node: the last frame that moves it,
    // and its nearest written ancestor.
    std::unordered_map<const KFbxNode*, std::int64_t> mLastMovingFrames;
    std::unordered_map<const KFbxNode*, KFbxNode*> mWrittenParents;
    std::unordered_set<const KFbxNode*> mTargetsOnly;
    KFbxSceneNameSnapshot mSceneNames;
    const KFbxCamera* mBackgroundCamera = nullptr;
};

}  // namespace fbxsdk_2006_11_1

#endif
