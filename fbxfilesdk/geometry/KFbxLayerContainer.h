// A node attribute with layers: the base of every geometry. Layers are kept
// in order and owned by the container; materials and textures are reached
// through the material element and the texture elements of a layer.
#ifndef FBXFILESDK_GEOMETRY_KFBXLAYERCONTAINER_H
#define FBXFILESDK_GEOMETRY_KFBXLAYERCONTAINER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;
class KFbxSurfaceMaterial;
class KFbxTexture;

class KFbxLayerContainer : public KFbxNodeAttribute {
public:
    // The class id of KFbxLayerContainer; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxLayerContainer(KFbxSdkManager* manager, const char* name);
    ~KFbxLayerContainer() override;

    // Constructs a container with its twin; null when memory runs out.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;

    int GetLayerCount() const {
        CompleteLayers();
        return static_cast<int>(mLayers.size());
    }
    // Null outside 0 to count - 1.
    KFbxLayer* GetLayer(int index) const;
    // Appends an empty layer; its index, or -1 when memory runs out.
    int CreateLayer();

    // The layers holding an element of the type (with uv, the UV element of
    // that texture channel; see KFbxLayer::GetLayerElementOfType).
    int GetLayerCountOfType(int type, bool uv = false) const;
    // The n-th such layer, null when there is none.
    KFbxLayer* GetLayerOfType(int n, int type, bool uv = false) const;
    // Its index among all layers; -1 when there is none.
    int GetLayerIndexOfType(int n, int type, bool uv = false) const;

    // Appends the material to the layer's material element (by polygon,
    // index to direct, created when missing; the layer is created when it
    // is the next one). Its index in the element, or -1 when the material
    // is null or already there, or the layer cannot be had.
    int AddMaterial(KFbxSurfaceMaterial* material, int layer = 0);
    int GetMaterialCount(int layer = 0) const;
    // Null out of range or without the element.
    KFbxSurfaceMaterial* GetMaterial(int index, int layer = 0) const;
    // The index of the first material of the name (byte-wise); -1 when the
    // name is null or the layer, the element or such a material is missing.
    int GetMaterialIndex(const char* name, int layer = 0) const;

    // As AddMaterial, for the texture element of a channel, except that a
    // texture already there gives its index.
    int AddTexture(KFbxTexture* texture, int layer = 0, int channel = KFbxLayerElement::eDIFFUSE_TEXTURES);
    int GetTextureCount(int layer = 0, int channel = KFbxLayerElement::eDIFFUSE_TEXTURES) const;
    KFbxTexture* GetTexture(int index, int layer = 0, int channel = KFbxLayerElement::eDIFFUSE_TEXTURES) const;
    // As GetMaterialIndex, for the textures of the channel.
    int GetTextureIndex(const char* name, int layer = 0, int channel = KFbxLayerElement::eDIFFUSE_TEXTURES) const;

protected:
    // Puts in place what a subclass holds back until the layers are first
    // asked for; every way to the layers runs it first.
    virtual void CompleteLayers() const {}
    // The layer at index, appending it when index is the layer count; null
    // otherwise or when memory runs out.
    KFbxLayer* GetOrCreateLayer(int index);
    // The layers become copies of the other's, as they stand (what the other
    // holds back is its subclass's to copy); false, unchanged, when memory
    // runs out.
    bool CopyLayers(const KFbxLayerContainer& other);

private:
    std::vector<std::unique_ptr<KFbxLayer>> mLayers;
};

}  // namespace fbxsdk_2006_11_1

#endif
