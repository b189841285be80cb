// Writes a scene as one COLLADA 1.4.1 document (extension "dae"). The whole
// document is built as a libxml2 tree and saved in one call at the end; a
// document is saved only when every step succeeded, and a failed save is a
// failed write.
//
// The caller's scene is only read: ids are made by the writer (valid,
// unique NCNames derived from the object names), the turn that orients a
// camera or light as COLLADA's look (the +90 degree fix, a camera's roll,
// the aim at a target) is added to the values written and taken back out of
// its children's, and triangulation happens on the polygons written, never
// on the scene's mesh.
// Two writes of one scene give the same document apart from the dates.
//
// A scene is written only when its nodes nest no deeper in the document
// than the COLLADA reader reads (kColladaMaxNodeDepth, 256 levels, a node's
// "-Pivot" node one below it): a deeper one fails before anything is
// written, with an error that names its depth and the limit.
//
// The document takes the place of the file named only when the writer is
// closed after writes that all succeeded: a refused or failed write leaves
// that file as it was, and makes none where there was none. A file the
// system refuses is "File not opened" at its creation; at a write or the
// close, "Out of disk space" for a full disk and an unidentified error
// otherwise; the error reported names the system's reason.
//
// Errors and warnings are reported as "ERROR: " or "Warning: " followed by
// the message: as details of entry 6 of the SDK manager's user notification,
// and as lines of the writer's message text.
#ifndef FBXFILESDK_COLLADA_KFBXWRITERCOLLADA_H
#define FBXFILESDK_COLLADA_KFBXWRITERCOLLADA_H

#include <fbxfilesdk/collada/ColladaWriterIds.h>
#include <fbxfilesdk/core/KFbxDocumentFileNames.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/KFbxTreeTops.h>
#include <fbxfilesdk/fbx/KFbxWriter.h>

#include <platform/os/ReplacementFile.h>

#include <libxml/tree.h>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFCurve;
class KFbxCamera;
class KFbxGeometry;
class KFbxGeometryBase;
class KFbxIO;
class KFbxMesh;
class KFbxNode;
class KFbxNodeAttribute;
class KFbxScene;
class KFbxSceneInfo;
class KFbxShape;
class KFbxStreamOptions;
class KFbxSurfaceMaterial;
class KFbxTakeNode;
class KFbxTexture;

class KFbxWriterCollada : public KFbxWriter {
public:
    // The libraries in the order the schema wants them in the document.
    enum ELibrary {
        eLIBRARY_IMAGES,
        eLIBRARY_MATERIALS,
        eLIBRARY_EFFECTS,
        eLIBRARY_GEOMETRIES,
        eLIBRARY_CONTROLLERS,
        eLIBRARY_ANIMATIONS,
        eLIBRARY_LIGHTS,
        eLIBRARY_CAMERAS,
        eLIBRARY_VISUAL_SCENES,
        eLIBRARY_COUNT
    };

    explicit KFbxWriterCollada(KFbxSdkManager& manager);
    ~KFbxWriterCollada() override;

    bool FileCreate(const char* fileName) override;
    bool FileClose() override;
    bool IsFileOpen() override;
    // A new KFbxStreamOptionsColladaWriter: "TRIANGULATE", "SINGLE MATRIX"
    // and "FRAME RATE".
    KFbxStreamOptions* GetWriteOptions() override;
    // The options must be a KFbxStreamOptionsColladaWriter (error 4 else).
    bool Write(KFbxScene* scene, KFbxStreamOptions* options) override;
    // Nothing to do: the writer leaves the scene as it is (see above).
    bool PreprocessScene(KFbxScene& scene) override;
    bool PostprocessScene(KFbxScene& scene) override;

    void AddNotificationError(const KString& message);
    void AddNotificationWarning(const KString& message);

    // ---- Shared state of the export steps ---------------------------------

    // The library element, made free-standing on first use and put into the
    // document, in ELibrary order, when the write ends.
    xmlNode* GetLibrary(ELibrary library);
    // Null when nothing of its kind was written yet.
    xmlNode* FindLibrary(ELibrary library) const { return mLibraries[library]; }
    // The document's ids (see ColladaWriterIds.h): a node's id is its name
    // made a valid NCName, made unique; everything else derives from it.
    ColladaWriterIds& GetIds() { return mIds; }
    const KString& GetNodeId(const KFbxNode& node);
    // Marks the write as failed: no document is saved. Failures stay.
    void SetFailed() { mStatus = false; }
    bool HasFailed() const { return !mStatus; }
    KFbxScene* GetScene() const { return mScene; }
    bool IsSingleMatrix() const { return mSingleMatrix; }
    // Whether the node's transform is one matrix: in single matrix mode, or
    // where no decomposed sequence gives the node its place in the scene.
    bool IsWrittenAsMatrix(const KFbxNode& node) const { return mSingleMatrix || mMatrixNodes.count(&node) != 0; }
    const KTime& GetFramePeriod() const { return mFramePeriod; }

    // One morph target, written as a geometry after the scene: the base
    // mesh's polygons over the shape's points, under the id the morph
    // controller names.
    struct ShapeTarget {
        KString mId;
        KString mBaseId;
        KFbxMesh* mBase = nullptr;
        KFbxShape* mShape = nullptr;
    };
    const std::vector<ShapeTarget>& GetShapeTargets() const { return mShapeTargets; }

    // ---- Frame and document -----------------------------------------------

    xmlNode* ExportAsset(xmlNode* root, const KFbxSceneInfo* sceneInfo);
    xmlNode* ExportScene(xmlNode* root, KFbxScene& scene);
    xmlNode* CreateVisualSceneElement(KFbxNode& rootNode);
    xmlNode* ExportNodeRecursive(xmlNode* parent, KFbxNode& node);
    bool AttachLibraries(xmlNode* asset);
    // What the writer adds to the node's post-rotation when it writes it:
    // cameras look down -Z in COLLADA, +X in the scene (+90 about Y), spot
    // and directional lights likewise (+90 about X). Zero for other nodes.
    static KFbxVector4 GetOrientationFix(const KFbxNode& node);

    // ---- Nodes and instances ----------------------------------------------

    // The node element with its transform, its pivot node and its instance.
    xmlNode* ExportNode(xmlNode* parent, KFbxNode& node);
    // The instance of the node's attribute under holder (the node element or
    // its "-Pivot" node). False when the attribute's library element could
    // not be written.
    bool ExportNodeAttribute(xmlNode* holder, KFbxNode& node);

    // ---- Transforms -------------------------------------------------------

    bool ExportTransform(xmlNode* nodeElement, KFbxNode& node);
    // The transform of the node's element relative to its parent's element:
    // the node's own turn, then its transform in the scene, then the
    // parent's own turn undone (points are row vectors). Of the default
    // values, or at the time in the current take.
    KgeMatrix GetLocalMatrix(KFbxNode& node, const KTime* time = nullptr);
    // What the node's element undergoes in its own frame before the scene's
    // transform of the node, and what its children's elements undo: the
    // orientation fix of a camera or light, a camera's roll, and the turn
    // that aims a camera or a spot or directional light at its target. The
    // identity for other nodes.
    KgeMatrix GetOwnTurn(KFbxNode& node, const KTime* time = nullptr);
    // Whether the node is a camera or a spot or directional light that
    // looks at a target node.
    static bool IsAimed(const KFbxNode& node);
    // Whether the node's own turn changes in the current take: by a roll
    // curve, or by an aim whose camera, target or up node moves.
    static bool IsTurnAnimated(KFbxNode& node);
    static bool IsNotZero(double value);
    static bool IsVectorNotZero(const KFbxVector4& vector);
    static bool IsVectorNotEqual(const KFbxVector4& vector, double value);
    static bool IsTranslationAnimated(KFbxNode& node);
    static bool IsRotationAnimated(KFbxNode& node);
    static bool IsRotationAxisAnimated(KFbxNode& node, int axis);
    static bool IsScalingAnimated(KFbxNode& node);
    // A camera's roll curve in the current take, when it has keys; null else.
    static KFCurve* GetRollCurve(KFbxNode& node);
    // A camera's roll (degrees; 0 for other nodes and values that are not
    // finite): of the default values, or at the time in the current take.
    static double GetRoll(KFbxNode& node, const KTime* time = nullptr);
    // The number of clusters of the mesh's skins (0 for no mesh).
    static int GetClusterCount(const KFbxGeometry* geometry);

    // ---- Geometry ---------------------------------------------------------

    // The node's mesh (its own, or the triangulated copy of its surface) as
    // a geometry in library_geometries, with its materials, textures and
    // controllers; null on failure.
    xmlNode* ExportGeometry(KFbxNode& node, KFbxMesh& mesh);
    // The morph targets queued by the morph controllers, as geometries.
    bool ExportShapeGeometries(xmlNode* visualScene);
    xmlNode* ExportShapeGeometry(const ShapeTarget& target);

    // ---- Controllers ------------------------------------------------------

    // The skin; its source is the morph controller when overMorph is set,
    // else the geometry.
    bool ExportSkinController(KFbxNode& node, KFbxMesh& mesh, bool overMorph);
    // The morph controller, its targets queued for ExportShapeGeometries.
    bool ExportMorphController(KFbxNode& node, KFbxMesh& mesh);

    // ---- Materials, effects, textures and images --------------------------

    // The material's element (written once per material); null on failure.
    xmlNode* ExportMaterial(KFbxSurfaceMaterial& material);
    xmlNode* ExportEffect(KFbxSurfaceMaterial& material, const KString& effectId);
    bool ExportEffectTexture(xmlNode* materialElement, KFbxTexture& texture, const KString& imageId, int layer,
                             int channel);
    xmlNode* ExportTexture(KFbxTexture& texture, const KString& imageId, int layer);
    bool ExportMeshTextures(KFbxNode& node, KFbxMesh& mesh);
    // The image's id, writing the image on first use.
    KString ExportImage(KFbxTexture& texture);
    // A file path as a URI reference: an absolute path in the folder of
    // document (the file written) or below it, links followed as the system
    // follows them, as its path from the document ("./" in front); other
    // absolute paths as "file:" URIs, a network share's naming its host
    // ("file://server/share/y.tga"); relative ones as given ("./" in
    // front). No "." step is written, nor a ".." step but where the folder
    // before it is a link or it climbs above a relative path's start (a
    // share's and a drive's are written as given); unsafe bytes are
    // %-escaped.
    static KString MakeImageUri(const char* fileName, const KFbxDocumentFolder& document);

    // ---- Cameras and lights (defined in KFbxWriterColladaCameras.cpp) -----

    // The new camera or light element, added to its library; null on
    // failure. Its "id" is what the node's instance_camera / instance_light
    // refers to.
    xmlNode* ExportLibraryCameras(KFbxNode& node);
    xmlNode* ExportLibraryLights(KFbxNode& node);
    xmlNode* ExportCamera(KFbxNode& node);
    xmlNode* ExportLight(KFbxNode* node);
    // The scene's ambient colour as a light, when it is not black.
    bool ExportSceneAmbientLight();

    // ---- Animation (defined in KFbxWriterColladaAnimation.cpp) ------------

    // The animation of the node's subtree into library_animations: per
    // node in a take other than its default one, an "animation" of one
    // nested "animation" per curve of at least two keys. A curve whose
    // target the document lacks is left out with a warning. False (and the
    // write failed) only when the sampled matrices cannot be made.
    bool ExportLibraryAnimations(KFbxNode& node);
    bool ExportNodeAnimation(KFbxNode& node, xmlNode* animation, KFbxTakeNode& take);
    // One curve as a nested animation: its sources (ids prefix + "-animation-
    // input" + member and the like), sampler and channel; values and
    // tangents multiplied by scale.
    bool ExportCurve(xmlNode* animation, const KFCurve& curve, const KString& prefix, const char* member,
                     const KString& target, double scale);
    // The field of view curve of a focal length curve: each key's angle, and
    // user tangents whose handles reach the angle of the focal length they reach.
    static void ConvertFocalLengthCurve(KFCurve& destination, const KFCurve& focalLength, const KFbxCamera& camera);

private:
    struct FreeNode {
        void operator()(xmlNode* node) const;
    };

    void Report(const char* prefix, const KString& message);
    // Write without noting how it went.
    bool WriteDocument(KFbxScene* scene, KFbxStreamOptions* options);
    void ResetDocumentState();
    // False, with the error, when the scene's nodes nest deeper than the
    // reader reads.
    bool CheckNodeDepth(const KFbxNode& root);
    void ReserveNodeIds(KFbxNode& node);
    bool SaveDocument(xmlNode* root);
    xmlNode* ExportPivotNode(xmlNode* nodeElement, KFbxNode& node);
    void ExportMaterialBinding(xmlNode* instance, const KFbxNode& node);
    // A triangle mesh made from a copy of a NURBS or patch; null when the
    // surface cannot be triangulated.
    KFbxMesh* TriangulatedCopy(const KFbxNodeAttribute& surface);
    void ExportSingleMatrix(xmlNode* nodeElement, KFbxNode& node);
    // Appends the element to the library (made when missing) and returns
    // it; null, the element freed, when there is no element or no library.
    xmlNode* AddToLibrary(ELibrary library, xmlNode* element);
    // The id of the camera or light element of the node.
    const KString& GetCameraLightId(KFbxNode& node);
    void ExportAnimationsRecursive(KFbxNode& node);
    void ExportCameraAnimation(KFbxNode& node, const KFbxCamera& camera, xmlNode* animation, KFbxTakeNode& take);
    void ExportChannel(xmlNode* animation, const KFCurve* curve, const KString& base, const char* sid,
                       const char* member, const KString& target, double scale);
    void ExportSampledTransform(KFbxNode& node, xmlNode* animation);
    // Whether the node's element, written as a matrix, changes in the
    // current take: by the node's own curves or by its or its parent's turn.
    bool IsSampled(KFbxNode& node);
    // The span of the current takes of everything the node's element
    // depends on; false when nothing is animated.
    bool GetSampledInterval(KFbxNode& node, KTime& start, KTime& stop);
    // Whether the document holds what the channel target names.
    bool TargetExists(const KString& target) const;
    void WarnNotFiniteAnimation(const KString& target);
    // "owner has values that are not finite numbers; ..."
    void WarnNotFiniteParameters(const KString& owner);
    void WarnNotFiniteTransform(const KFbxNode& node);

    // Geometry steps (see KFbxWriterColladaGeometry.cpp).
    struct MeshInputs;
    xmlNode* ExportMesh(KFbxNode& node, KFbxMesh& mesh, xmlNode* geometry, const KString& baseId);
    xmlNode* ExportPositionSource(xmlNode* meshElement, KFbxGeometryBase& geometry, const KString& baseId);
    bool ExportLayerSources(xmlNode* meshElement, KFbxMesh& mesh, const KString& baseId, MeshInputs& inputs);
    xmlNode* ExportVertices(xmlNode* meshElement, const KString& baseId, MeshInputs& inputs);
    bool ExportPolygonGroups(KFbxNode& node, xmlNode* meshElement, KFbxMesh& mesh, const MeshInputs& inputs);
    // The polygons given, each once; fanned into triangles when triangulating.
    xmlNode* ExportPolygons(xmlNode* meshElement, const KFbxMesh& mesh, const KString& materialSymbol,
                            const std::vector<int>& polygons, const MeshInputs& inputs);
    void WarnNotFinite(const KString& baseId);
    // A source id whose array id (id + "-array") is free as well.
    KString ReserveSourceId(const KString& wanted);
    // The material that stands for a texture used as its own material on
    // the channel: made once per texture and channel, destroyed after the write.
    KFbxSurfaceMaterial& GetTextureMaterial(KFbxTexture& texture, int channel);

    // The document's file, which takes the place of the file named only
    // when closed after writes that all succeeded.
    qalimor::os::ReplacementFile mOutput;
    KString mFileName;
    // Measured once a write, for the images' names.
    std::optional<KFbxDocumentFolder> mDocumentFolder;
    bool mStatus = true;
    KFbxScene* mScene = nullptr;
    std::array<xmlNode*, eLIBRARY_COUNT> mLibraries{};
    // Free-standing libraries not yet in a tree, freed with the writer.
    std::vector<std::unique_ptr<xmlNode, FreeNode>> mLibraryOwners;
    ColladaWriterIds mIds;
    std::vector<ShapeTarget> mShapeTargets;
    // Each material's element, once written.
    std::map<const KFbxSurfaceMaterial*, xmlNode*> mMaterialElements;
    // Per mesh node without materials, the texture's material that its
    // polygons bind instead.
    std::map<const KFbxNode*, KFbxSurfaceMaterial*> mStandInMaterials;
    // Per mesh node, the material symbols its polygon groups carry, in order.
    std::map<const KFbxNode*, std::vector<KString>> mMaterialSymbols;
    // While the animations are written: every element with an id, by id.
    std::unordered_map<std::string, xmlNode*> mTargetElements;
    struct DestroyObject {
        void operator()(KFbxSurfaceMaterial* material) const;
        void operator()(KFbxNode* node) const;
    };
    // Nodes holding triangulated copies of surfaces, for one write.
    std::vector<std::unique_ptr<KFbxNode, DestroyObject>> mTemporaryNodes;
    std::map<std::pair<const KFbxTexture*, int>, std::unique_ptr<KFbxSurfaceMaterial, DestroyObject>>
        mTextureMaterials;
    // Nodes written as one matrix although the write is decomposed.
    std::set<const KFbxNode*> mMatrixNodes;
    // Which tree the nodes that skins name belong to, in this write.
    KFbxTreeTops mTreeTops;
    bool mTriangulate = true;
    bool mSingleMatrix = false;
    KTime mFramePeriod;
};

// The registry's create function of the COLLADA writer.
KFbxWriter* CreateColladaWriter(KFbxSdkManager& manager, KFbxIO* io, int subFormat);

// The writer's channel index (0 ambient, 1 diffuse, 2 emission, 3 reflective,
// 4 specular, 5 transparent) to the COLLADA channel name; "" for any other.
const char* GetColladaChannelName(int channel);
// The light element's kind of a KFbxLight::ELightType; null for any other.
const char* GetColladaLightType(int lightType);

}  // namespace fbxsdk_2006_11_1

#endif
