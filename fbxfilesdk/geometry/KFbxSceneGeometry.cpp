// The scene's operations on its materials, textures and geometries: they
// live with the geometry classes they reach, so the scene library never
// depends on them.
#include <fbxfilesdk/scene/KFbxScene.h>

#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxSystemUtils.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxLayerReconciliation.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>

namespace fbxsdk_2006_11_1 {

int KFbxScene::GetMaterialCount() const { return SourceCount(KFbxSurfaceMaterial::ClassId); }

KFbxSurfaceMaterial* KFbxScene::GetMaterial(int index) const {
    return static_cast<KFbxSurfaceMaterial*>(SourceAt(KFbxSurfaceMaterial::ClassId, index));
}

KFbxSurfaceMaterial* KFbxScene::FindMaterialByName(const KString& name) const {
    return static_cast<KFbxSurfaceMaterial*>(FindSourceByName(KFbxSurfaceMaterial::ClassId, name));
}

int KFbxScene::GetTextureCount() const { return SourceCount(KFbxTexture::ClassId); }

KFbxTexture* KFbxScene::GetTexture(int index) const {
    return static_cast<KFbxTexture*>(SourceAt(KFbxTexture::ClassId, index));
}

KFbxTexture* KFbxScene::FindTextureByName(const KString& name) const {
    return static_cast<KFbxTexture*>(FindSourceByName(KFbxTexture::ClassId, name));
}

int KFbxScene::GetGeometryCount() const { return SourceCount(KFbxGeometry::ClassId); }

KFbxGeometry* KFbxScene::GetGeometry(int index) const {
    return static_cast<KFbxGeometry*>(SourceAt(KFbxGeometry::ClassId, index));
}

void KFbxScene::FillMaterialLayersFromConnections() { KFbxLayerReconciliation::FillMaterialLayers(*this); }

void KFbxScene::FillTextureLayerOfChannelFromConnections(KFbxGeometry* geometry, int channel) {
    if (geometry != nullptr) {
        KFbxLayerReconciliation::FillFromConnections(*geometry, channel);
    }
}

void KFbxScene::FillTextureLayersFromConnections() { KFbxLayerReconciliation::FillTextureLayers(*this); }

void KFbxScene::ConnectMaterialsFromLayers() { KFbxLayerReconciliation::ConnectMaterials(*this); }

void KFbxScene::ConnectTexturesOfChannelFromLayers(KFbxGeometry* geometry, int channel) {
    if (geometry != nullptr) {
        KFbxLayerReconciliation::ConnectFromLayers(*geometry, channel);
    }
}

void KFbxScene::ConnectTexturesFromLayers() { KFbxLayerReconciliation::ConnectTextures(*this); }

void KFbxScene::CreateVideosForTextures() {
    for (int i = 0; i < GetTextureCount(); ++i) {
        const KFbxTexture* texture = GetTexture(i);
        if (texture != nullptr) {
            CreateVideoForTexture(texture->GetFileName(), texture->GetRelativeFileName(), texture->GetMediaName(),
                                  texture->GetName(), mManager);
        }
    }
    for (int i = 0; i < GetNodeCount(); ++i) {
        KFbxNode* node = GetNode(i);
        auto* light = node != nullptr ? dynamic_cast<KFbxLight*>(node->GetLight()) : nullptr;
        const char* fileName = light != nullptr ? light->GetFileName() : nullptr;
        if (fileName == nullptr) {
            continue;
        }
        const KString file(fileName);
        KString relative;
        if (!KFbxIsRelativePath(file)) {
            KString base = KFbxGetCurrentDirectory();
            if (!base.IsEmpty() && base.Buffer()[base.GetLen() - 1] != '/') {
                base += "/";
            }
            relative = KFbxGetRelativeFilePath(base, file);
        }
        const KString fallback = KFbxExtractFileName(file, true);
        CreateVideoForTexture(fileName, relative.IsEmpty() ? nullptr : relative.Buffer(), "", fallback.Buffer(),
                              mManager);
    }
}

void KFbxScene::ConvertNurbsSurfaceNodes() { KFbxLayerReconciliation::ConvertNurbsSurfaceNodes(*this); }

void KFbxScene::ComputeMeshNormals() { KFbxLayerReconciliation::ComputeMeshNormals(*this); }

void KFbxScene::RemoveNurbsCurveAttributes() { KFbxLayerReconciliation::RemoveNurbsCurveAttributes(*this); }

KFbxSurfaceMaterial* GetSrcMaterial(const KFbxObject* object, int index) {
    if (object == nullptr || KFbxSurfaceMaterial::ClassId == KFbxClassId()) {
        return nullptr;
    }
    return static_cast<KFbxSurfaceMaterial*>(object->GetSrcObject(KFbxSurfaceMaterial::ClassId, index));
}

KFbxTexture* GetSrcTexture(const KFbxObject* object, int index) {
    if (object == nullptr || KFbxTexture::ClassId == KFbxClassId()) {
        return nullptr;
    }
    return static_cast<KFbxTexture*>(object->GetSrcObject(KFbxTexture::ClassId, index));
}

}  // namespace fbxsdk_2006_11_1
