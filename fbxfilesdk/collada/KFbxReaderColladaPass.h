// One read of a COLLADA document tree. The libraries are read in document
// order (images and effects just before the first materials library), each
// element into an SDK object filed under the element's id, so that later
// elements reach it through their "#id" references. Each visual scene is
// read into its node trees, made once: the document's scene element puts
// them under the pass's own root at the visual scene's first instance and
// copies them for each later one, and the animations are read last, onto
// the scene's nodes. Every import
// routine returns false after reporting an error, which ends the read;
// warnings never stop it. Only a read that reached its end hands the nodes
// under its root, their bind poses and the document's scene-wide settings
// (axes, unit, ambient colour, scene information) to the caller's scene.
#ifndef FBXFILESDK_COLLADA_KFBXREADERCOLLADAPASS_H
#define FBXFILESDK_COLLADA_KFBXREADERCOLLADAPASS_H

#include <fbxfilesdk/collada/ColladaIdMap.h>
#include <fbxfilesdk/collada/ColladaLibraryObject.h>
#include <fbxfilesdk/collada/ColladaMeshTextures.h>
#include <fbxfilesdk/collada/ColladaNodeDepth.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxDocumentFileNames.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/scene/KFbxAxisSystem.h>
#include <fbxfilesdk/scene/KFbxSystemUnit.h>

#include <libxml/tree.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

class ColladaCopiedNodes;
struct ColladaSamplerData;
struct ColladaTargetParts;
class KFCurve;
class KFbxCamera;
class KFbxCluster;
class KFbxGeometryBase;
class KFbxLight;
class KFbxMesh;
class KFbxNode;
class KFbxNodeAttribute;
class KFbxObject;
class KFbxPose;
class KFbxReaderCollada;
class KFbxScene;
class KFbxSceneInfo;
class KFbxSdkManager;
class KFbxSurfaceMaterial;
class KFbxTexture;

// A bind pose as read, before the scene's pose is made of it: the nodes
// with their global matrices, each node once (its first entry holds), as a
// pose would keep them.
struct ColladaBindPose {
    KString mName;
    std::vector<std::pair<KFbxNode*, KgeMatrix>> mEntries;

    // Leaves out a null node and one the pose holds already.
    void Add(KFbxNode* node, const KgeMatrix& matrix);
};

// A skin or morph controller as read, waiting for the nodes that instance it.
struct ColladaControllerRecord {
    KString mId;
    // The "source" of the skin or morph, "#" included.
    KString mSource;
    KgeMatrix mBindShapeMatrix;
    // One per joint, each linked to a stand-in node named after its joint.
    std::vector<KFbxCluster*> mClusters;
    std::vector<KFbxNode*> mJointNodes;
    // Empty for a morph.
    ColladaBindPose mBindPose;
    std::vector<KString> mMorphTargets;
    // The id of the MORPH_WEIGHT source.
    KString mMorphWeightSource;
    std::vector<double> mMorphWeights;
};

// A shape made for a morph target, filed under the id of its weights source.
struct ColladaMorphShapeRecord {
    KString mWeightSource;
    // The node that holds the morphed mesh.
    KString mNodeName;
    // The shape's name: the target geometry's id, unless the mesh already
    // had that name.
    KString mShapeName;
    int mShapeIndex = -1;
    // The target's place among the morph's targets and weights, which
    // animation channels name it by.
    int mWeightIndex = -1;
};

// What an animation channel can drive through the "sid" of an element: the
// element's kind ("translate", "rotate", "scale", or the name of a camera or
// light parameter such as "color" or "xfov") and, for transforms, the axis
// (0 X, 1 Y, 2 Z; kNoAxis for a rotation about any other axis).
struct ColladaTargetRecord {
    static constexpr unsigned kNoAxis = 0xFFFFFFFFu;
    KString mKind;
    unsigned mComponent = 0;
    // For a translation or matrix: the index, among the pass's turns, of
    // the turn that the node's translation takes in the scene (-1 for none).
    int mTurn = -1;
};

// An image: the file that the textures naming it show.
struct ColladaImage {
    KString mName;
    KString mFileName;
    KString mRelativeFileName;
};

// An effect as read: the kind of material it gives, named after it, and
// the steps that set a new one up. The first material that instances the
// effect is made from it, later ones are copies of that first one.
struct ColladaEffect {
    int mKind = 0;
    KString mName;
    std::shared_ptr<const ColladaSteps<KFbxSurfaceMaterial>> mSetUp;
    KFbxSurfaceMaterial* mFirstMaterial = nullptr;
};

// A visual scene as read: its top-level nodes, which have no parent until
// an instance takes them, and the bind poses of the controllers its nodes
// instance. Its first instance takes its nodes into the scene as they are;
// later instances copy them, from where that first instance put them.
struct ColladaVisualScene {
    std::vector<KFbxNode*> mNodes;
    std::vector<ColladaBindPose> mBindPoses;
    bool mInstantiated = false;
    // The instances the document's scene makes of it.
    int mInstances = 0;
};

// What the document says of the whole scene.
struct ColladaSceneSettings {
    std::optional<KFbxAxisSystem> mAxisSystem;
    std::optional<KFbxSystemUnit> mSystemUnit;
    KFbxColor mAmbientColor;
    KFbxSceneInfo* mSceneInfo = nullptr;
};

class KFbxReaderColladaPass {
public:
    // Nested nodes deeper than this are refused: the document is not a
    // scene, or not one the writer writes (ColladaNodeDepth.h).
    static constexpr int kMaxNodeDepth = kColladaMaxNodeDepth;

    KFbxReaderColladaPass(KFbxReaderCollada& reader, KFbxSdkManager& manager);
    ~KFbxReaderColladaPass();
    KFbxReaderColladaPass(const KFbxReaderColladaPass&) = delete;
    KFbxReaderColladaPass& operator=(const KFbxReaderColladaPass&) = delete;

    // The most nodes (and mesh copies) the read may create; below 0 reads as 0.
    void SetNodeLimit(int limit) { mNodeLimit = limit > 0 ? static_cast<std::uint64_t>(limit) : 0; }
    // Reads the document whose root element is root; the scene it gives
    // waits under a root node of the pass's own.
    bool ReadDocument(xmlNode* root);
    // After a successful read: hands what was read to the scene (its nodes,
    // poses and materials, and the document's settings).
    void MoveInto(KFbxScene& scene);

private:
    friend class KFbxReaderColladaPassTest;
    friend class ColladaPolygonImport;

    // ---- frame ----
    bool CheckColladaVersion(const KString& version);
    // False, with an error naming the limit, when the visual scenes and
    // their instantiation would create more nodes than the limit allows.
    bool CheckNodeCount(xmlNode* root);
    // Counts a copy of a mesh against the limit; false, with the error,
    // past it.
    bool CountMeshCopy(const KFbxMesh& mesh);
    bool NodeLimitError();
    bool ImportAsset(xmlNode* asset);
    bool ImportRootChild(xmlNode* root, xmlNode* child);
    bool ImportMaterialLibraries(xmlNode* root, xmlNode* materials);
    bool ImportLibrary(xmlNode* library);
    bool ImportLibraryChildren(xmlNode* library, const char* childName, bool (KFbxReaderColladaPass::*import)(xmlNode*));
    void WarnUnsupportedLibrary(const char* name);
    // Files what a camera, light or geometry element gave under its id.
    // When the id is filed already, the one of the two with content (a
    // camera, a light, a mesh with points) stays filed, the earlier one when
    // both have it, with a warning, and the other is destroyed.
    void FileObject(const KString& id, const ColladaLibraryObject& object, const char* element);

    // ---- images and textures ----
    bool ImportImage(xmlNode* image);
    bool ImportTexture(xmlNode* texture, const KString& effectId, int channel);
    // The image a texture names: through the sampler2D and surface
    // parameters of its effect, or by the image's own id.
    const ColladaImage* FindTextureImage(xmlNode* texture, const KString& reference);

    // ---- effects and materials ----
    bool ImportEffect(xmlNode* effect);
    bool ImportMaterial(xmlNode* material);
    void ImportEffectChannels(xmlNode* shading, ColladaSteps<KFbxSurfaceMaterial>& material, const KString& effectId,
                              int kind);
    void SetChannelValue(xmlNode* channel, ColladaSteps<KFbxSurfaceMaterial>& material, int kind);
    // The transparent colour and factor that give the opacity the shading
    // element's transparent / transparency pair means under its "opaque" mode.
    void ImportTransparency(xmlNode* shading, ColladaSteps<KFbxSurfaceMaterial>& material, int kind);
    void WarnUnsupportedMaterialParameter(const char* name);

    // ---- controllers ----
    bool ImportController(xmlNode* controller);
    bool ImportSkin(xmlNode* skin, ColladaControllerRecord& record);
    bool ImportVertexWeights(xmlNode* skin, ColladaControllerRecord& record);
    bool ImportSkinJoints(xmlNode* skin, ColladaControllerRecord& record);
    bool ImportMorphTargets(xmlNode* morph, ColladaControllerRecord& record);
    void MakeBindPose(ColladaControllerRecord& record);
    void ReleaseController(ColladaControllerRecord& record);

    // ---- geometry ----
    bool ImportGeometry(xmlNode* geometry);
    bool ImportMesh(xmlNode* meshElement, KFbxMesh& mesh, const KString& id);
    bool ImportVertices(xmlNode* meshElement, KFbxMesh& mesh, std::vector<KFbxVector4>& vertexNormals);
    bool ImportPolygons(xmlNode* meshElement, KFbxMesh& mesh, const KString& id,
                        const std::vector<KFbxVector4>& vertexNormals);

    // ---- copies for instancing, and morph shapes ----
    bool ImportMorphShapes(KFbxMesh& mesh, const KString& nodeName, const std::vector<KString>& targets,
                           const KString& weightSource, const std::vector<double>& weights);
    void CopyMesh(KFbxMesh& destination, KFbxMesh& source);
    void CopyPointsAndNormals(KFbxGeometryBase& destination, const KFbxGeometryBase& source);
    void CopyCluster(KFbxCluster& destination, const KFbxCluster& source);

    // ---- cameras and lights ----
    bool ImportCamera(xmlNode* camera);
    void ImportProjection(xmlNode* projection, ColladaSteps<KFbxCamera>& camera, const KString& id);
    void ImportMayaOptics(xmlNode* maya, ColladaSteps<KFbxCamera>& camera, const KString& id);
    bool ImportLight(xmlNode* light);
    // Null light: an ambient one.
    void ImportLightParameter(xmlNode* parameter, ColladaSteps<KFbxLight>* light, const KString& id);
    void AddParameterTarget(const KString& elementId, xmlNode* parameter);

    // ---- node transforms ----
    // parentTurn (in and out): the turn (points are row vectors, applied
    // after the node's own transform) that the scene's parent lacks of its
    // element's (a camera's or light's orientation fix and roll); the
    // node's leading rotations without sid join it, and what is left of it
    // the node takes into its own transform (TurnNode). A node of a parent
    // without a turn gets the identity.
    bool ImportNodeTransforms(xmlNode* nodeElement, KFbxNode& node, KgeMatrix& parentTurn);
    // Gives the node the turn after its transform: its translation, rotation
    // pivot and offset turned, the turn joined to its pre-rotation.
    void TurnNode(KFbxNode& node, const KgeMatrix& turn);
    // The turn that the node's element has and its scene node lacks, which
    // its children take: the orientation fix the node's attribute added to
    // its post-rotation (postRead: the post-rotation its elements gave),
    // and a camera's roll.
    KgeMatrix ChildTurn(const KFbxNode& node, const KFbxVector4& postRead) const;
    // Nodes placed by a matrix that no translation, rotation and scaling
    // compose (a child turned under a parent scaled unevenly): once the
    // nodes have their parents, each of the instance (copies maps the
    // nodes read to the instance's) takes the scene's inherit type that
    // carries the parent's scaling outside the node's rotation, where the
    // matrix fits it.
    void PlaceShearedMatrixNodes(const std::map<KFbxNode*, KFbxNode*>& copies);
    // The "roll" rotation read for the node: a camera's roll, else a turn
    // about the node's X.
    void ApplyNodeRoll(KFbxNode& node);
    void ReadRotate(xmlNode* rotate, int& axis, KFbxVector4& rotation);
    void ImportTranslate(xmlNode* translate, KFbxNode& node, const KString& sid, const KString& key, int turn);
    void AddTransformTargets(const KString& key, const char* kind, int turn = -1);
    // The camera frame of the node's "lookat"; false without one.
    bool ReadLookAt(xmlNode* nodeElement, KFbxVector4& eye, KFbxVector4& interest, KFbxVector4& up, KgeMatrix& frame);

    // ---- visual scenes and nodes ----
    bool ImportVisualScene(xmlNode* visualScene);
    bool ImportNode(xmlNode* nodeElement, KFbxNode& node, const KString& id, const KgeMatrix& parentTurn = KgeMatrix());
    bool ImportChildNode(xmlNode* childElement, KFbxNode& parent, const KString& id, const KgeMatrix& parentTurn);
    bool ImportNodeInstance(xmlNode* nodeElement, xmlNode* instance, KFbxNode& node);
    bool ImportInstanceNode(xmlNode* instance, KFbxNode& parent, const KgeMatrix& parentTurn);
    bool ImportControllerInstance(xmlNode* nodeElement, ColladaControllerRecord& record, KFbxNode& node);
    bool ImportBindMaterial(xmlNode* bindMaterial, KFbxNode& node);
    void BindMaterial(KFbxMesh& mesh, const KString& symbol, KFbxSurfaceMaterial& material, const KString& materialId);
    void MakeJoint(KFbxNode& node, const KString& id);
    bool IsImportableNode(xmlNode* nodeElement, const KString& id);
    bool SetNodeAttributeFromInstance(xmlNode* nodeElement, KFbxNode& node, const ColladaLibraryObject& object);
    // What nodes that may share the mesh of an instance have in common: the
    // geometry and the material bindings; empty for an instance of anything
    // but a library mesh.
    KString SharedMeshKey(xmlNode* instance);
    bool AttachInstance(KFbxNode& node, KFbxNodeAttribute* attribute);
    void ApplyLookAt(xmlNode* nodeElement, KFbxNode& node, KFbxCamera& camera);
    void CopyCamera(KFbxCamera& destination, const KFbxCamera& source);
    void CopyLight(KFbxLight& destination, const KFbxLight& source);
    void CollectNodeElements(xmlNode* root);
    // The geometries whose mesh a node may take instead of a copy: those
    // one instance_geometry names, read once, and nothing else refers to.
    void CollectSingleUseGeometries(xmlNode* root);
    // The nodes below scope named after the nodes of the visual scene that
    // instance the library element of the id (a null entry for a node not found).
    std::vector<KFbxNode*> FindInstancingNodes(xmlNode* visualScene, KFbxNode& scope, const KString& id);

    // ---- scene instantiation ----
    bool ImportScene(xmlNode* sceneElement);
    bool InstantiateVisualScene(ColladaVisualScene& visualScene);
    // The copy of the node and its subtree (null after an error).
    KFbxNode* CopyNodeTree(KFbxNode& source, std::map<KFbxNode*, KFbxNode*>& copies);
    // Makes the node and its subtree what their copies would be, so that
    // they serve as the scene's own nodes; false after an error.
    // With only one instance, no later one copies from the nodes.
    bool AdoptNodeTree(KFbxNode& node, std::map<KFbxNode*, KFbxNode*>& copies, bool onlyInstance);
    bool AdoptNodeAttribute(KFbxNode& node, bool onlyInstance);
    bool CopyNode(KFbxNode& destination, KFbxNode& source);
    bool CopyNodeAttribute(KFbxNode& destination, KFbxNode& source);
    // The attribute the node had in its visual scene, which copies are made from.
    KFbxNodeAttribute* TemplateAttribute(const KFbxNode& node) const;
    void CopyNodeTransform(KFbxNode& destination, const KFbxNode& source);
    void RelinkClusters(const ColladaCopiedNodes& copied, const std::map<KFbxNode*, KFbxNode*>& copies);
    void ConnectMaterials(KFbxScene& scene);

    // ---- animation ----
    bool ImportAnimations();
    bool ImportAnimation(xmlNode* animation);
    bool ImportChannel(xmlNode* animation, xmlNode* channel);
    // The curves a channel drives; none when the node has no such curve
    // (the caller warns), no list when the channel was warned of already.
    // A matrix channel drives translation, rotation and scaling X, Y, Z.
    std::optional<std::vector<KFCurve*>> ChannelCurves(KFbxNode& node, const ColladaTargetParts& parts, bool shape,
                                                       bool& scaled, bool& matrix);
    // The translation keys of a node that took a turn after its transform
    // (TurnNode), turned with it: matrices' translations, or the values of
    // the curves an axis was turned onto against its direction.
    void TurnTranslationKeys(const ColladaTargetParts& parts, bool matrix, std::size_t curves,
                             ColladaSamplerData& data);
    // Keys on the curve from the sampler's values of the component.
    // ascending: every key time is a number later, on the curve, than the one before.
    void MakeKeys(KFCurve& curve, const ColladaSamplerData& data, std::size_t component, std::size_t components,
                  bool ascending);
    // The interpolation of a key named so; named for "BEZIER", and with a
    // warning for a name not known.
    unsigned KeyInterpolation(const KString& name, unsigned named);

    // ---- reporting ----
    bool Error(const KString& message);
    void Warning(const KString& message);
    void WarningOnce(const char* key, const KString& message);

    KFbxReaderCollada& mReader;
    KFbxSdkManager& mManager;
    // The result of the last import step.
    bool mStatus = true;
    ColladaSceneSettings mSettings;
    // Images, effects and materials libraries are read with the first materials library.
    bool mMaterialLibrariesRead = false;

    ColladaIdMap<ColladaImage> mImages;
    // The folders images are named from, measured at the first image.
    std::optional<KFbxDocumentFolder> mDocumentFolder;
    KString mWorkingFolder;
    ColladaIdMap<ColladaEffect> mEffects;
    ColladaIdMap<KFbxSurfaceMaterial*> mMaterials;
    // Under effect ids, and under the ids of the materials that instance them.
    ColladaIdMap<std::shared_ptr<ColladaTextureBindings>> mTextureBindings;
    // Meshes, cameras and lights by the id of their element; empty for an
    // ambient light.
    ColladaIdMap<ColladaLibraryObject> mObjects;
    ColladaIdMap<std::unique_ptr<ColladaControllerRecord>> mControllers;
    ColladaIdMap<std::vector<ColladaMorphShapeRecord>> mMorphShapes;

    // The root the document's scene is instantiated under, and the bind
    // poses of the copies: handed to the caller's scene only when the whole
    // read succeeds.
    KFbxNode* mRoot = nullptr;
    std::vector<KFbxPose*> mScenePoses;
    bool mSceneInstantiated = false;
    // Each visual scene by id; the element of the last one read.
    ColladaIdMap<ColladaVisualScene> mVisualScenes;
    xmlNode* mVisualSceneElement = nullptr;
    // Every node element of the document by id, for instance_node; the
    // instance_node elements being read, to stop at a cycle.
    ColladaIdMap<xmlNode*> mNodeElements;
    std::vector<const xmlNode*> mInstancedNodes;
    int mNodeDepth = 0;
    std::uint64_t mNodeLimit = 0;
    // The nodes the document's trees and instantiations make, counted
    // before the first one is made, and the mesh copies counted since.
    std::uint64_t mNodesCounted = 0;
    bool mOverNodeLimit = false;
    // The template meshes nodes share, by SharedMeshKey; the meshes the
    // scene's nodes share, by the template mesh they stand for (the template
    // mesh itself for a mesh without skin or shapes).
    ColladaIdMap<KFbxNodeAttribute*> mSharedMeshes;
    std::map<const KFbxMesh*, KFbxMesh*> mSceneMeshes;
    // The attributes that nodes taken into the scene had in their visual
    // scene, where the scene's are copies of them (skinned or morphed meshes).
    std::unordered_map<const KFbxNode*, KFbxNodeAttribute*> mTemplateAttributes;
    // By id; each leaves the set when its node takes its mesh.
    std::unordered_set<std::string> mSingleUseGeometries;
    // The sids of the nodes of the template scenes, which skins may name
    // their joints by.
    std::map<const KFbxNode*, KString> mNodeSids;
    // Per node read with a sheared matrix, the matrix and the turn after it
    // (see ImportNodeTransforms); parents come first.
    struct ShearedMatrix {
        KFbxNode* mNode = nullptr;
        KgeMatrix mMatrix;
        KgeMatrix mTurn;
    };
    std::vector<ShearedMatrix> mShearedMatrices;
    // The turns that target records name (ColladaTargetRecord::mTurn).
    std::vector<KgeMatrix> mTurns;
    // Per node, the angle of its "roll" rotation.
    std::map<const KFbxNode*, double> mNodeRolls;
    // Element id + "/" + sid.
    ColladaIdMap<ColladaTargetRecord> mSidTargets;
    // In document order.
    std::vector<xmlNode*> mAnimations;
    std::vector<ColladaBindPose> mPendingBindPoses;
    // Clusters and stand-in joints made in this read: the controllers' own
    // and those the instancing meshes end with, never one destroyed since.
    std::vector<KFbxCluster*> mClusters;
    std::vector<KFbxNode*> mJointStandIns;
    bool mKeyRead = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
