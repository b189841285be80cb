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

#include <fbxfilesdk/fbx/KFbxWriterFbxCommon.h>

#include <fbxfilesdk/core/KString.h>

#include <unordered_map>

namespace fbxsdk_2006_11_1 {

class IFbxObject;
class KFbxCamera;
class KFbxCharacterPose;
class KFbxGeometry;
class KFbxIO;
class KFbxNode;
class KFbxNull;
class KFbxObject;
class KFbxScene;
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
    // Only for the export version "FBX53_MB55": pivot animation converted to
    // the destination set at the writer's frame rate, NURBS surfaces
    // converted to NURBS, objects renamed by the export mode's rules. Always false.
    bool PreprocessScene(KFbxScene& scene) override;
    // True for the export version "FBX53_MB55"; the scene is not touched.
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
    bool WriteVideo(const KString& path, bool embed);
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

    std::unordered_map<const KFbxTexture*, TextureChannelRecord> mTextureChannels;
    std::unordered_map<const KFbxSurfaceMaterial*, MaterialChannelRecord> mMaterialChannels;
    // The media names of this write, for textures and camera backgrounds.
    std::unordered_map<const KFbxObject*, KString> mMediaNames;
};

}  // namespace fbxsdk_2006_11_1

#endif
