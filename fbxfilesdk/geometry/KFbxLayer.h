// One layer of a geometry: at most one element of each kind, and one texture
// element and one UV element per texture channel. The layer is the one owner
// of the elements it holds: setting an element hands it over, and replacing
// or clearing one, or destroying the layer, destroys the element held
// before. Elements are made with new (named by their constructor) and handed
// to a layer; the manager keeps none. An element is held by one slot of one
// layer at a time: a slot refuses an element that another slot holds, so
// that none is destroyed twice. Copying a layer copies its elements.
#ifndef FBXFILESDK_GEOMETRY_KFBXLAYER_H
#define FBXFILESDK_GEOMETRY_KFBXLAYER_H

#include <fbxfilesdk/geometry/KFbxLayerElement.h>

#include <array>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KFbxLayerElementUserData;
class KFbxSdkManager;

class KFbxLayer {
public:
    KFbxLayer();
    ~KFbxLayer();
    KFbxLayer(const KFbxLayer&) = delete;
    KFbxLayer& operator=(const KFbxLayer&) = delete;

    // Each getter gives null when the layer holds no such element.
    KFbxLayerElementNormal* GetNormals() const { return mNormals.get(); }
    KFbxLayerElementMaterial* GetMaterials() const { return mMaterials.get(); }
    KFbxLayerElementPolygonGroup* GetPolygonGroups() const { return mPolygonGroups.get(); }
    KFbxLayerElementVertexColor* GetVertexColors() const { return mVertexColors.get(); }
    KFbxLayerElementSmoothing* GetSmoothing() const { return mSmoothing.get(); }
    KFbxLayerElementUserData* GetUserData() const { return mUserData.get(); }
    KFbxLayerElementVisibility* GetVisibility() const { return mVisibility.get(); }
    // The diffuse channel's textures.
    KFbxLayerElementTexture* GetTextures() const;
    // Null for a type that is not a texture channel.
    KFbxLayerElementTexture* GetTexturesOfChannel(int channel) const;
    // The UV element of a texture channel; the diffuse channel's is the
    // plain UV element. Null for a type that is not a texture channel.
    KFbxLayerElementUV* GetUVs(int channel = KFbxLayerElement::eDIFFUSE_TEXTURES) const;

    // Null clears the slot. An element held by another slot is not taken,
    // and the slot keeps what it holds.
    void SetNormals(KFbxLayerElementNormal* element);
    void SetMaterials(KFbxLayerElementMaterial* element);
    void SetPolygonGroups(KFbxLayerElementPolygonGroup* element);
    void SetVertexColors(KFbxLayerElementVertexColor* element);
    void SetSmoothing(KFbxLayerElementSmoothing* element);
    void SetUserData(KFbxLayerElementUserData* element);
    void SetVisibility(KFbxLayerElementVisibility* element);
    void SetTextures(KFbxLayerElementTexture* element);
    // False, the element not taken, for a type that is not a texture channel
    // or an element held by another slot.
    bool SetTexturesOfChannel(KFbxLayerElementTexture* element, int channel);
    bool SetUVs(KFbxLayerElementUV* element, int channel = KFbxLayerElement::eDIFFUSE_TEXTURES);

    // The element of a kind: normals, materials, polygon groups, colours,
    // smoothing, user data and visibility by their type, a texture channel's
    // textures by its number, or with uv that channel's UV element (eUV
    // meaning the diffuse channel). Null when there is none.
    KFbxLayerElement* GetLayerElementOfType(int type, bool uv = false) const;

    // Every element becomes a copy of the other layer's (none where it has
    // none). The manager is the one the copies are made for. False, and this
    // layer unchanged, when memory runs out.
    bool Copy(const KFbxLayer& other, KFbxSdkManager* manager);

private:
    // Takes the element into the slot unless another slot holds it; true
    // when the slot holds the element (or is cleared) afterwards.
    template <class Kind>
    static bool Hold(std::unique_ptr<Kind>& slot, Kind* element);
    // Marks every element held, after the slots were filled by copying.
    void MarkHeld();

    static constexpr int kChannelSlots = KFbxLayerElement::eLAST_ELEMENT_TYPE;

    std::unique_ptr<KFbxLayerElementNormal> mNormals;
    std::unique_ptr<KFbxLayerElementMaterial> mMaterials;
    std::unique_ptr<KFbxLayerElementPolygonGroup> mPolygonGroups;
    std::unique_ptr<KFbxLayerElementVertexColor> mVertexColors;
    std::unique_ptr<KFbxLayerElementSmoothing> mSmoothing;
    std::unique_ptr<KFbxLayerElementUserData> mUserData;
    std::unique_ptr<KFbxLayerElementVisibility> mVisibility;
    // Indexed by channel number; only the texture channels are used.
    std::array<std::unique_ptr<KFbxLayerElementTexture>, kChannelSlots> mTextures;
    std::array<std::unique_ptr<KFbxLayerElementUV>, kChannelSlots> mUVs;
};

}  // namespace fbxsdk_2006_11_1

#endif
