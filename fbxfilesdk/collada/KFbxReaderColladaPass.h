// One read of a COLLADA document tree. The libraries are read in document
// order (images and effects just before the first materials library), each
// element into an SDK object filed under the element's id, so that later
// elements reach it through their "#id" references. Every import routine
// returns false after reporting an error, which ends the read; warnings never
// stop it. What the document says of the whole scene (axes, unit, ambient
// colour, scene information) is kept here and handed to the scene only
// when the read succeeds.
#ifndef FBXFILESDK_COLLADA_KFBXREADERCOLLADAPASS_H
#define FBXFILESDK_COLLADA_KFBXREADERCOLLADAPASS_H

#include <fbxfilesdk/collada/ColladaIdMap.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/scene/KFbxAxisSystem.h>
#include <fbxfilesdk/scene/KFbxSystemUnit.h>

#include <libxml/tree.h>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxCluster;
class KFbxGeometryBase;
class KFbxMesh;
class KFbxNode;
class KFbxNodeAttribute;
class KFbxPose;
class KFbxReaderCollada;
class KFbxSceneInfo;
class KFbxSdkManager;
class KFbxSurfaceMaterial;
class KFbxTexture;

// A texture an effect uses: the texture, the layer and the texture channel
// (a KFbxLayerElement::ELayerElementType) of the mesh layer element it goes to.
struct ColladaTextureBinding {
    KFbxTexture* mTexture = nullptr;
    int mLayer = 0;
    int mChannel = 0;
};
using ColladaTextureBindings = std::vector<ColladaTextureBinding>;

// A skin or morph controller as read, waiting for the nodes that instance it.
struct ColladaControllerRecord {
    KString mId;
    // The "source" of the skin or morph, "#" included.
    KString mSource;
    KgeMatrix mBindShapeMatrix;
    // One per joint, each linked to a stand-in node named after its joint.
    std::vector<KFbxCluster*> mClusters;
    std::vector<KFbxNode*> mJointNodes;
    KFbxPose* mBindPose = nullptr;
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
    // The target geometry's id, which is also the shape's name.
    KString mTargetId;
    int mShapeIndex = -1;
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
    KFbxReaderColladaPass(KFbxReaderCollada& reader, KFbxSdkManager& manager);
    ~KFbxReaderColladaPass();
    KFbxReaderColladaPass(const KFbxReaderColladaPass&) = delete;
    KFbxReaderColladaPass& operator=(const KFbxReaderColladaPass&) = delete;

    // Reads the document whose root element is root.
    bool ReadDocument(xmlNode* root);
    // The scene-wide settings read; the scene information is handed over
    // (the pass no longer destroys it).
    ColladaSceneSettings TakeSceneSettings();

private:
    friend class KFbxReaderColladaPassTest;
    friend class ColladaPolygonImport;

    // ---- frame ----
    bool CheckColladaVersion(const KString& version);
    bool ImportAsset(xmlNode* asset);
    bool ImportRootChild(xmlNode* root, xmlNode* child);
    bool ImportMaterialLibraries(xmlNode* root, xmlNode* materials);
    bool ImportLibrary(xmlNode* library);
    bool ImportLibraryChildren(xmlNode* library, const char* childName, bool (KFbxReaderColladaPass::*import)(xmlNode*));
    void WarnUnsupportedLibrary(const char* name);

    // ---- images and textures ----
    bool ImportImage(xmlNode* image);
    bool ImportTexture(xmlNode* texture, const KString& effectId, int channel);
    // The image a texture names: through the sampler2D and surface
    // parameters of its effect, or by the image's own id.
    KFbxTexture* FindTextureImage(xmlNode* texture, const KString& reference);

    // ---- effects and materials ----
    bool ImportEffect(xmlNode* effect);
    bool ImportMaterial(xmlNode* material);
    void ImportEffectChannels(xmlNode* shading, KFbxSurfaceMaterial& material, const KString& effectId, int kind);
    bool SetChannelValue(xmlNode* channel, KFbxSurfaceMaterial& material, int kind);
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

    ColladaIdMap<KFbxTexture*> mImages;
    ColladaIdMap<KFbxSurfaceMaterial*> mEffects;
    ColladaIdMap<KFbxSurfaceMaterial*> mMaterials;
    // Under effect ids, and under the ids of the materials that instance them.
    ColladaIdMap<std::shared_ptr<ColladaTextureBindings>> mTextureBindings;
    // Meshes (cameras and lights come later), by geometry id.
    ColladaIdMap<KFbxNodeAttribute*> mObjects;
    ColladaIdMap<std::unique_ptr<ColladaControllerRecord>> mControllers;
    ColladaIdMap<std::vector<ColladaMorphShapeRecord>> mMorphShapes;
};

}  // namespace fbxsdk_2006_11_1

#endif
