// Stores a scene as an FBX 6 file (file version 6100) in binary, ascii or
// encrypted binary form. The field file owns the record syntax; this writer
// decides which records exist, in which order, with which values:
// "Definitions", "Objects", the password record, "Relations", "Connections",
// "Takes", "Version5", then the "Summary" section.
//
// A write gives the caller's scene back as it found it where the file alone
// needed a change: names given for the file are restored after the write,
// the current take is restored, and the limits of animatable user
// properties are written without being set on the scene.
#ifndef FBXFILESDK_FBX_KFBXWRITERFBX6_H
#define FBXFILESDK_FBX_KFBXWRITERFBX6_H

#include <fbxfilesdk/fbx/KFbxWriterFbxCommon.h>

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KString.h>

#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

class IFbxObject;
class KFbx;
class KFbxBoundary;
class KFbxCache;
class KFbxCamera;
class KFbxCameraSwitcher;
class KFbxCharacter;
class KFbxCharacterLink;
class KFbxCluster;
class KFbxConstraint;
class KFbxGeometry;
class KFbxGeometryBase;
class KFbxGeometryWeightedMap;
class KFbxGlobalSettings;
class KFbxIO;
class KFbxLayerElementMaterial;
class KFbxLayerElementTexture;
class KFbxLayerElementUserData;
class KFbxLight;
class KFbxMesh;
class KFbxNode;
class KFbxNull;
class KFbxNurb;
class KFbxNurbsCurve;
class KFbxNurbsSurface;
class KFbxObject;
class KFbxPatch;
class KFbxPlug;
class KFbxPose;
class KFbxProperty;
class KFbxScene;
class KFbxShape;
class KFbxSkeleton;
class KFbxSkin;
class KFbxSurfaceMaterial;
class KFbxTexture;
class KFbxTrimNurbsSurface;
class KFbxVector4;
class KFbxVertexCacheDeformer;
class KFbxVideo;

class KFbxWriterFbx6 : public KFbxWriterFbxCommon {
public:
    KFbxWriterFbx6(KFbxSdkManager& manager, KFbxIO* io);
    ~KFbxWriterFbx6() override;

    // Creates the field file and its header in the current file mode; a
    // relative name is taken from the current directory.
    bool FileCreate(const char* fileName) override;
    // Names for the file, then the conversions of the export mode.
    bool PreprocessScene(KFbxScene& scene) override;
    // Gives back the names the preparation changed.
    bool PostprocessScene(KFbxScene& scene) override;
    using KFbxWriterFbxCommon::Write;
    // The videos made for the scene's texture files exist during the write
    // only; the scene ends with the videos it had.
    bool Write(KFbxScene* scene, KFbxStreamOptions* options, IFbxObject* fieldFile) override;

    // ---- document sections ----
    void WriteDefinitions(KFbxScene* scene);
    void WriteObjects(KFbxScene* scene);
    void WriteRelations(KFbxScene* scene);
    void WriteConnections(KFbxScene* scene);
    // "Version5" with its light, time and renderer settings.
    void WriteVersion5(KFbxScene& scene);

    // ---- objects ----
    // The nodes the file holds as models: the scene's nodes in their order,
    // then those of its tree that the scene does not list (a node of another
    // scene linked under one of its nodes), parents before children. A write
    // gathers them once, when the scene is ready for it, for all its
    // sections; a section written alone gathers them afresh.
    const std::vector<KFbxNode*>& GetModelNodes(KFbxScene& scene);
    void WriteModels(KFbxScene& scene);
    void WriteModel(KFbxNode& node);
    void WriteModelHeader(KFbxNode& node);
    void WriteModelBody(KFbxNode& node);
    void WriteModelVersion(KFbxNode& node);
    void WriteNodeAttribute(KFbxNode& node);
    void WriteTypeFlags(const KFbxObject& object);
    // Without a null: the single flag "Null".
    bool WriteNull(const KFbxNull* null);
    // False, writing nothing, for a camera without owner node.
    bool WriteCamera(KFbxCamera& camera);
    bool WriteLight(KFbxLight& light);
    bool WriteCameraSwitcher(KFbxCameraSwitcher& switcher);
    bool WriteSkeletonAttribute(KFbxSkeleton& skeleton);
    // A geometry written as its own "Geometry" record rather than inside its model.
    static bool IsStandaloneGeometry(const KFbxObject* object);
    void WriteStandaloneGeometries(KFbxScene& scene);
    void WriteProducerCameras(KFbxScene& scene);
    void WriteGenericNodes(KFbxScene& scene);
    void WriteMaterials(KFbxScene& scene);
    void WriteDeformers(KFbxScene& scene);
    void WriteVideos(KFbxScene& scene);
    void WriteTextures(KFbxScene& scene);
    void WriteCaches(KFbxScene& scene);
    void WriteGlobalSettings(KFbxGlobalSettings& settings);

    // ---- property block ----
    bool WriteProperties(KFbxObject& object);
    bool WriteModelProperties(KFbxNode& node);

    // ---- settings ----
    void WriteSettings(KFbxScene& scene);

    // ---- connections ----
    // The connections of the object and, when recursive, of its sources,
    // through those that are nodes, attributes or deformers; each object's
    // once in a "Connections" section, however many objects it hangs on, but
    // those of an attribute inside model records once per model.
    void WriteObjectConnections(KFbxObject& top, bool recursive);
    // The connections of the object's own sources and of its properties; with
    // a model, the object's sources connect to that model.
    void WriteOwnConnections(KFbxObject& object, KFbxNode* model = nullptr);
    void WriteConnection(KFbxPlug* source, KFbxPlug* destination);
    // The object a connection names for an object: a node attribute that is
    // not a standalone geometry stands for its node (null without one).
    static KFbxObject* GetConnectableObject(KFbxObject* object);

    // ---- meshes, deformers, materials, textures, videos, caches, takes ----
    bool WriteMesh(KFbxMesh& mesh);
    // The contents every geometry record holds: its version, layer elements,
    // "Layer" blocks and shapes.
    bool WriteGeometry(KFbxGeometry& geometry);
    // Records both file versions write the same way.
    static void WriteVertices(KFbx& file, const KFbxGeometry& geometry);
    static void WritePolygonVertexIndex(KFbx& file, const KFbxMesh& mesh);
    static void WriteEdges(KFbx& file, const KFbxMesh& mesh);
    static void WriteShape(KFbx& file, const KFbxShape& shape, const char* shapeName, const KFbxGeometry& geometry);
    static const char* GetMappingName(int mode);
    static const char* GetReferenceName(int mode);
    static const char* GetBlendModeName(int mode);
    // The item count of a user-data array of bool, integer, float or double
    // values; -1 for other types or an array out of range.
    static int GetUserDataArrayCount(const KFbxLayerElementUserData& element, int array);
    // Where the material (texture) the element holds at its k-th index stands
    // among the node's materials (textures); -1 when it is not there.
    static int FindNodeMaterialIndex(const KFbxNode* node, const KFbxLayerElementMaterial& element, int k);
    static int FindNodeTextureIndex(const KFbxNode* node, const KFbxLayerElementTexture& element, int k);
    void WriteWeightedMaps(KFbxScene& scene);
    void WriteWeightedMapContents(KFbxGeometryWeightedMap& map);
    bool WriteSkin(KFbxSkin& skin);
    bool WriteCluster(KFbxCluster& cluster);
    bool WriteVertexCacheDeformer(KFbxVertexCacheDeformer& deformer);
    bool WriteMaterial(KFbxSurfaceMaterial& material);
    bool WriteTexture(KFbxTexture& texture);
    // The contents of one "Video" record. The flag tells that the writer made
    // a temporary file that must be removed once all videos are written.
    bool WriteVideo(KFbxVideo& video, KString& fileName, bool& temporaryFile, bool embed);
    bool WriteCache(KFbxCache& cache);

    // ---- relation entries and take blocks ----
    void WriteModelRelations(KFbxScene& scene);
    void WriteModelRelation(KFbxNode& node);
    void WriteMaterialRelations(KFbxScene& scene);
    void WriteTextureRelations(KFbxScene& scene);
    void WriteVideoRelations(KFbxScene& scene);
    void WriteDeformerRelations(KFbxScene* scene);
    void WritePoseRelations(KFbxScene& scene);
    void WriteSceneInfoRelation(KFbxScene& scene);
    void WriteConstraintRelations(KFbxScene& scene);

    // ---- NURBS, patches, curves, boundaries, trimmed surfaces ----
    bool WriteNurb(KFbxNurb& nurb);
    bool WriteNurbsSurface(KFbxNurbsSurface& surface);
    bool WritePatch(KFbxPatch& patch);
    // One string value into the open field; an unknown basis is stored as
    // the default basis.
    void WritePatchTypeName(const KFbxPatch& patch, int basis);
    bool WriteNurbsCurve(KFbxNurbsCurve& curve);
    // False, writing nothing, without a curve.
    bool WriteBoundary(KFbxBoundary& boundary);
    // False, writing nothing, without a surface or a first boundary with a curve.
    bool WriteTrimNurbsSurface(KFbxTrimNurbsSurface& trim);
    // The contents of a standalone "Geometry" record, by attribute type.
    bool WriteStandaloneGeometryContents(KFbxGeometry& geometry);

    // ---- poses, control set plugs, constraints and characters ----
    void WritePoses(KFbxScene& scene);
    void WritePoseNodes(KFbxPose& pose);
    void WriteControlSetPlugs(KFbxScene& scene);
    // The constraints the options admit: characters with "CHARACTER", the
    // other kinds with "CONSTRAINT".
    void WriteConstraints(KFbxScene& scene);
    bool IsConstraintWritten(const KFbxConstraint& constraint) const;
    int GetWrittenConstraintCount(const KFbxScene& scene) const;
    bool WriteConstraint(KFbxConstraint& constraint, KFbxScene& scene);
    void WriteCharacterLinks(KFbxCharacter& character, int group, KFbxScene& scene);
    void WriteCharacterLinkOffsets(KFbxCharacter& character, int linkId, KFbxScene& scene);
    void WriteCharacterLinkRotationSpace(const KFbxCharacterLink& link);
    // The connections of the control set plugs and of the written
    // constraints, which the node tree does not reach.
    void WriteCharacterAndConstraintConnections(KFbxScene& scene);

protected:
    // Models (in node-list order), generic nodes, textures, materials and
    // constraints, each group after its comment lines.
    void WriteTakeObjects(KFbxScene& scene, const char* takeName) override;
    // Every constraint of the scene.
    int GetSummaryConstraintCount(const KFbxScene& scene) const override;

private:
    // Opens a section's record and block after its four comment lines
    // (ascii files only).
    void BeginSection(const char* title, const char* name);
    // The "Constraint" definition count; -1 when the type is left out.
    int ConstraintDefinitionCount(KFbxScene& scene) const;
    // A message line per field of the file that had values written as 0
    // for not being finite numbers.
    void TellNotFiniteValues(const IFbxObject* file);
    // Whether the file holds a record of the object, as a connection names it:
    // a model of the file, or an object of the scene being written. Any
    // object while no "Connections" section is being written.
    bool IsWrittenObject(const KFbxObject* object) const;

    // GetModelNodes' list of the scene into mModels, and into mHeldModels
    // with the producer cameras: every model the file holds.
    void GatherModels(KFbxScene& scene);

    // The scene whose models are gathered for the whole write, while it lasts.
    const KFbxScene* mModelScene = nullptr;
    std::vector<KFbxNode*> mModels;
    std::unordered_set<const KFbxObject*> mHeldModels;
    // While a "Connections" section is written: its scene, and the objects
    // (with the model, for an attribute inside model records) whose
    // connections are written already.
    const KFbxScene* mConnectionScene = nullptr;
    std::set<std::pair<const KFbxObject*, const KFbxNode*>> mConnectionsWritten;
};

// Appends, in increasing order, every control point index at which the x, y
// or z of the two geometries differ (compared exactly); points past the end
// of the shorter one are not compared. Points are read one by one, so that
// deferred points stay deferred.
void FindChangedShapePoints(const KFbxGeometryBase& first, const KFbxGeometryBase& second, std::vector<int>& indices);

// The registry's create function of the FBX writers: sub-formats 0, 1 and 2
// give an FBX 6 writer in binary, ascii and encrypted mode, 3 and 4 an FBX 5
// writer in binary and ascii mode; null for others.
KFbxWriter* CreateFbxWriter(KFbxSdkManager& manager, KFbxIO* io, int subFormat);
// Installs CreateFbxWriter in the registry's FBX writer entries.
void KFbxRegisterFbxWriters();

}  // namespace fbxsdk_2006_11_1

#endif
