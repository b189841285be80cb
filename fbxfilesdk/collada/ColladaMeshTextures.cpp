#include <fbxfilesdk/collada/ColladaMeshTextures.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <algorithm>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// Grows an index array to count entries, the new ones -1 (no texture).
void PadIndices(DynamicArrayOf<int>& indices, int count) {
    const int start = indices.GetCount();
    if (start < count && indices.SetCount(count)) {
        std::fill(indices.GetArray() + start, indices.GetArray() + count, -1);
    }
}

// The layer of the index, made (with those before it) when missing.
KFbxLayer* LayerAt(KFbxMesh& mesh, int index) {
    while (index >= 0 && mesh.GetLayerCount() <= index) {
        if (mesh.CreateLayer() < 0) {
            return nullptr;
        }
    }
    return mesh.GetLayer(index);
}

// The element's entry of the texture (or one of its name); -1 when it cannot be added.
int EntryOf(KFbxLayerElementTexture& element, KFbxTexture* texture) {
    auto& direct = element.GetDirectArray();
    for (int index = 0; index < direct.GetCount(); ++index) {
        const KFbxTexture* held = direct.GetAt(index);
        if (held != nullptr && std::strcmp(held->GetName(), texture->GetName()) == 0) {
            return index;
        }
    }
    return direct.Add(texture);
}

}  // namespace

void ColladaBindTextures(KFbxMesh& mesh, KFbxSdkManager& manager, const ColladaTextureBindings& bindings,
                         const std::vector<int>& polygons) {
    const int polygonCount = mesh.GetPolygonCount();
    for (const ColladaTextureBinding& binding : bindings) {
        KFbxLayer* layer = LayerAt(mesh, binding.mLayer);
        if (layer == nullptr || binding.mTexture == nullptr) {
            continue;
        }
        if (layer->GetTexturesOfChannel(binding.mChannel) == nullptr) {
            layer->SetTexturesOfChannel(manager.CreateLayerElementTexture(""), binding.mChannel);
        }
        KFbxLayerElementTexture* textures = layer->GetTexturesOfChannel(binding.mChannel);
        if (textures == nullptr) {
            continue;
        }
        textures->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
        textures->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
        textures->SetBlendMode(binding.mTexture->GetBlendMode() == KFbxTexture::eTRANSLUCENT
                                   ? KFbxLayerElementTexture::eTRANSLUCENT
                                   : KFbxLayerElementTexture::eADDITIVE);
        const int entry = EntryOf(*textures, binding.mTexture);
        DynamicArrayOf<int>& indices = textures->GetIndexArray();
        PadIndices(indices, polygonCount);
        if (entry < 0 || indices.GetCount() < polygonCount) {
            continue;
        }
        for (const int polygon : polygons) {
            indices.SetAt(polygon, entry);
        }
    }
}

void ColladaPadTextureIndices(KFbxMesh& mesh) {
    for (int index = 0; index < mesh.GetLayerCount(); ++index) {
        const KFbxLayer* layer = mesh.GetLayer(index);
        for (int channel = 0; channel < KFbxLayerElement::eLAST_ELEMENT_TYPE; ++channel) {
            if (KFbxLayerElementTexture* textures = layer->GetTexturesOfChannel(channel)) {
                PadIndices(textures->GetIndexArray(), mesh.GetPolygonCount());
            }
        }
    }
}

}  // namespace fbxsdk_2006_11_1
