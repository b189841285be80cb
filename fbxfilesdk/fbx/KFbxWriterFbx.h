// Stores a scene as an FBX 5 file (file version 5800) in binary or ascii
// form, through a field file marked FBX 5 compatible (no object
// definitions, no node property blocks). The main section holds, in order:
// "Media", "Switcher", one "Model" per node below the root (depth first,
// each with its own attribute, geometry, materials and textures, and its
// "Children" list), the password record, "Takes", then, when nothing failed
// before, "GoboManager", the "CHARACTER" records, "SceneGenericPersistence",
// "Constraints", "AmbientRenderSettings", "FogOptions", "ShadowPlanes",
// "RendererSetting" and "Settings". The "Summary" section follows.
//
// A write gives the caller's scene back as it found it: media names, the
// layers' UV mapping, material shininess curves and the producer cameras'
// display are taken as the file needs them without being left changed.
#ifndef FBXFILESDK_FBX_KFBXWRITERFBX_H
#define FBXFILESDK_FBX_KFBXWRITERFBX_H

#include <fbxfilesdk/fbx/KFbxTreeTops.h>
#include <fbxfilesdk/fbx/KFbxWriterFbxCommon.h>

#include <fbxfilesdk/core/KString.h>

#include <unordered_map>

namespace fbxsdk_2006_11_1 {

class IFbxObject;
class KFbxCamera;
class KFbxCameraSwitcher;
class KFbxCharacter;
class KFbxCharacterFilterSet;
class KFbxCharacterPose;
class KFbxCluster;
class KFbxControlSet;
class KFbxGeometry;
class KFbxIO;
class KFbxLight;
class KFbxMesh;
class KFbxNode;
class KFbxNull;
class KFbxNurb;
class KFbxObject;
class KFbxPatch;
class KFbxPose;
class KFbxScene;
class KFbxSkeleton;
class KFbxSurfaceMaterial;
class KFbxTexture;

class KFbxWriterFbx : public KFbxWriterFbxCommon {
public:
    // Which of a texture's channels carry keys in a take other than "Default".
    struct TextureChannelRecord {
        bool mTranslation = false;
        bool mRotation = false;
        bool mScaling = false;
        bool mAlpha = false;
    };
    // The same for a material's channels.
    struct MaterialChannelRecord {
        bool mAmbient = false;
        bool mDiffuse = false;
        bool mSpecular = false;
        bool mEmissive = false;
        bool mOpacity = false;
        bool mShininess = false;
        bool mReflectivity = false;
    };
    // A material's values as FBX 5 files hold them.
    struct Fbx5MaterialValues {
        KString mShadingModel;
        double mAmbient[3] = {0.0, 0.0, 0.0};
        double mDiffuse[3] = {0.0, 0.0, 0.0};
        double mSpecular[3] = {0.0, 0.0, 0.0};
        double mEmissive[3] = {0.0, 0.0, 0.0};
        double mShininess = 0.0;
        double mAlpha = 1.0;
        double mReflectivity = 0.0;
    };

    // The IO object (the exporter) hears the progress; it may be null.
    KFbxWriterFbx(KFbxSdkManager& manager, KFbxIO* io);
    ~KFbxWriterFbx() override;

    // Creates the field file, marked FBX 5 compatible, and its header in the
    // current file mode; a relative name is taken from the current directory.
    bool FileCreate(const char* fileName) override;
    // Gives every object a name of its own for the file, and for the export
    // version "FBX53_MB55" converts pivot animation to the destination set at
    // the writer's frame rate, NURBS surfaces to NURBS, and renames objects
    // by the export mode's rules. Always false.
    bool PreprocessScene(KFbxScene& scene) override;
    // Gives the scene its names back; true for the export version "FBX53_MB55".
    bool PostprocessScene(KFbxScene& scene) override;
    using KFbxWriterFbxCommon::Write;
    // Into the given open field file (nested scenes: neither the main
    // section's end nor a summary) or, without one, into the writer's own.
    bool Write(KFbxScene* scene, KFbxStreamOptions* options, IFbxObject* fieldFile) override;

    // ---- models ----
    // A "Model" record for every node below the node, depth first, parents
    // before their children.
    void WriteModelTree(KFbxNode& node);
    void WriteModel(KFbxNode& node);
    void WriteModelBody(KFbxNode& node);
    // The attribute's fields by its type; a node without attribute, and with
    // "MODEL" off a geometry or an attribute of no known kind, is written as
    // a null of size 100.
    void WriteNodeAttribute(KFbxNode& node);
    bool WriteNullAttribute(const KFbxNull* null);
    // "Children": the node's children by name; nothing without children.
    void WriteChildren(KFbxNode& node);
    // "LookAtModel" with the target's rotations, "UpVectorModel".
    void WriteLookAtAndUpVector(KFbxNode& node);
    // "Limits": the auto flags, then only what differs from the defaults.
    void WriteLimits(KFbxNode& node);
    // "AnimatedProperty" and "Animated": the transform channels, the
    // attribute's channels animated in a take, and the user properties; then
    // a "UserProperty" block per user property.
    void WriteAnimatedProperties(KFbxNode& node);
    // The "Default" take's channels, as "Channel" blocks; nothing for a node
    // without a default take.
    void WriteDefaultChannels(KFbxNode& node);
    // "Properties" with every property that is not animatable; nothing in
    // a file for FBX 5 readers, whose values come from the default channels.
    void WriteNodeProperties(KFbxNode& node);
    void WriteObjectProperties(KFbxNode& node);

    // ---- node attributes ----
    bool WriteMarkerAttribute(KFbxNode& node);
    bool WriteOpticalReferenceAttribute();
    // False, writing nothing, for a skeleton type without fields.
    bool WriteSkeletonAttribute(const KFbxSkeleton& skeleton);
    bool WriteSkeletonRoot(const KFbxSkeleton& skeleton);
    bool WriteSkeletonLimb(const KFbxSkeleton& skeleton);
    bool WriteSkeletonLimbNode(const KFbxSkeleton& skeleton);
    bool WriteLightAttribute(const KFbxLight& light);
    bool WriteCameraSwitcherAttribute(const KFbxCameraSwitcher& switcher);
    // A producer camera has no first "Type" field. False, writing nothing,
    // for a camera without node.
    bool WriteCameraAttribute(const KFbxCamera& camera, bool producer);

    // ---- geometry ----
    bool WriteMesh(KFbxMesh& mesh);
    // The materials of the first layer, the textures of every layer, the
    // links of the first skin, the shapes and the texture layers.
    void WriteGeometryCommon(KFbxGeometry& geometry);
    void WriteNormals(const KFbxMesh& mesh);
    void WriteMaterialAssignation(const KFbxMesh& mesh);
    void WriteTextureIds(const KFbxMesh& mesh);
    void WritePolygonGroups(const KFbxMesh& mesh);
    void WriteGeometryUVInfo(const KFbxMesh& mesh);
    // False, writing nothing, for colours whose arrays do not match what
    // they map.
    bool WriteVertexColors(const KFbxMesh& mesh);
    bool WriteNurb(KFbxNurb& nurb);
    bool WritePatch(KFbxPatch& patch);
    // "Link" for a cluster with a link node; nothing for one without.
    bool WriteLink(const KFbxCluster& cluster);

    // ---- characters and poses ----
    void WriteCharacter(KFbxScene& scene, int characterIndex);
    // The link's node, name and offsets; with defaults, the offsets of an
    // unset link, and every offset twice.
    void WriteCharacterLink(const KFbxCharacter& character, int linkId, KFbxScene& scene, bool defaults);
    // A "LINK" block per set link of the group; with the old-version flag,
    // the links of version 4000 and below too.
    void WriteCharacterLinkGroup(const KFbxCharacter& character, int group, KFbxScene& scene, bool oldVersion);
    void WriteFilterSetParameters(const KFbxCharacterFilterSet& filterSet);
    void WriteControlSet(const KFbxControlSet& controlSet, KFbxScene& scene, bool oldVersion);
    void WriteControlSetLink(const KFbxControlSet& controlSet, int linkId, KFbxScene& scene);
    void WriteControlSetLinkGroup(const KFbxControlSet& controlSet, int group, KFbxScene& scene, bool oldVersion);
    void WriteControlSetEffector(const KFbxControlSet& controlSet, int effectorId, KFbxScene& scene);
    void WriteControlSetEffectorAux(const KFbxControlSet& controlSet, int effectorId, KFbxScene& scene);
    // A "Pose" per character pose, holding the pose's own scene.
    void WriteCharacterPoses(KFbxScene& scene);
    // "Switcher" with the camera switcher's body and the cameras' names;
    // nothing in a scene without cameras.
    void WriteCameraSwitcher(KFbxScene& scene);

    // ---- nested scenes ----
    // The character pose's scene into the field file being written, inside
    // the record open at the call. False when it could not be written.
    bool WriteNestedScene(KFbxCharacterPose& pose);

    // ---- takes ----
    // The "Model" take records of every node below the node, depth first.
    void WriteModelsAnimation(KFbxNode& node, const char* takeName);
    bool WriteTakeObject(KFbxObject& object, const char* takeName, const char* recordName, bool shininess) {
        return WriteObjectTake(object, takeName, recordName, shininess);
    }

    // ---- scene-wide sections ----
    void WriteGoboManager(KFbxScene& scene);
    // One "CHARACTER" record per character.
    void WriteCharacters(KFbxScene& scene);
    void WriteSceneGenericPersistence(KFbxScene& scene);
    void WritePoses(KFbxScene& scene);
    // "Constraints": the characters as constraints; nothing without characters.
    void WriteConstraintsSection(KFbxScene& scene);
    // "RendererSetting", then "Settings" with the producer cameras, the time
    // mode and format and the time markers.
    void WriteGlobalCameraAndTimeSettings(KFbxScene& scene);

    // ---- materials, textures and media ----
    // The channel records of the scene's textures and materials.
    void CollectAnimatedChannels(KFbxScene& scene);
    void ClearObjectMaps();
    bool WriteTexture(KFbxTexture& texture);
    bool WriteMaterial(KFbxSurfaceMaterial& material);
    static Fbx5MaterialValues GetFbx5MaterialValues(const KFbxSurfaceMaterial& material);
    // A "GeometryLayer" block for every texture layer that the geometry's own
    // fields do not carry; true when every layer's texture information was written.
    bool WriteGeometryLayers(KFbxGeometry& geometry);
    // "LayerTextureInfo" of the n-th layer holding diffuse textures; false,
    // writing nothing, for an element the file cannot describe.
    bool WriteLayerTextureInfo(KFbxGeometry& geometry, int textureLayer);
    // "Media" with one "Video" per distinct image file of the textures and
    // camera backgrounds, each known by a media name of its own.
    bool WriteMedia(KFbxScene& scene, bool embed, int& mediaCount);
    // The fields of one "Video" after its type; false when embedded content
    // could not be written.
    bool WriteVideo(const KString& path, const char* relativeName, bool embed);
    // The name without a trailing " (Bool)", " (Real)", " (Color)",
    // " (Integer)" or " (Vector)".
    static KString StripPropertyTypeSuffix(const char* name);
    // The media name the file gives the texture or camera background.
    const char* GetMediaName(const KFbxTexture& texture) const;
    const char* GetBackgroundMediaName(const KFbxCamera& camera) const;

protected:
    // The camera switcher's node, then the models in tree order, then the
    // textures and the materials of the scene.
    void WriteTakeObjects(KFbxScene& scene, const char* takeName) override;
    // Characters are the constraints of FBX 5 files.
    int GetSummaryConstraintCount(const KFbxScene& scene) const override;

private:
    // Sets "Out of disk space" after a field file error; false then.
    bool CheckFieldFile();
    void PrepareForVersion53(KFbxScene& scene);
    // Around the write pass, children first: every shape of a geometry gets
    // a channel in each take of its node for the pass (its weight), and
    // loses it again afterwards.
    void PrepareShapeChannels(KFbxNode& top);
    void RestoreShapeChannels(KFbxNode& top);
    // The same for one node.
    void PrepareNodeShapeChannels(KFbxNode& node);
    void RestoreNodeShapeChannels(KFbxNode& node);
    // Whether a write of the scene is under way on this thread (a character
    // pose held by the scene it holds would nest without end).
    static bool IsSceneBeingWritten(const KFbxScene* scene);

    std::unordered_map<const KFbxTexture*, TextureChannelRecord> mTextureChannels;
    std::unordered_map<const KFbxSurfaceMaterial*, MaterialChannelRecord> mMaterialChannels;
    // The media names of this write, for textures and camera backgrounds.
    std::unordered_map<const KFbxObject*, KString> mMediaNames;
    // Which tree the nodes that skins and poses name belong to, in this write.
    KFbxTreeTops mTreeTops;
};

}  // namespace fbxsdk_2006_11_1

#endif
