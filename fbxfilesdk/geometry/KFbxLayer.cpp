#include <fbxfilesdk/geometry/KFbxLayer.h>

#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>

#include <cstddef>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

// A copy of the source slot's element into target (empty for an empty
// source); false when memory runs out.
template <class Kind>
bool CloneInto(std::unique_ptr<Kind>& target, const std::unique_ptr<Kind>& source) {
    if (!source) {
        target.reset();
        return true;
    }
    target.reset(static_cast<Kind*>(source->Clone()));
    return target != nullptr;
}

}  // namespace

template <class Kind>
bool KFbxLayer::Hold(std::unique_ptr<Kind>& slot, Kind* element) {
    if (slot.get() == element) {
        return true;
    }
    if (element != nullptr && element->mHeldByLayer) {
        return false;
    }
    slot.reset(element);
    if (element != nullptr) {
        element->mHeldByLayer = true;
    }
    return true;
}

KFbxLayer::KFbxLayer() = default;

KFbxLayer::~KFbxLayer() = default;

KFbxLayerElementTexture* KFbxLayer::GetTextures() const {
    return GetTexturesOfChannel(KFbxLayerElement::eDIFFUSE_TEXTURES);
}

KFbxLayerElementTexture* KFbxLayer::GetTexturesOfChannel(int channel) const {
    if (!KFbxLayerElement::IsTextureChannel(channel)) {
        return nullptr;
    }
    return mTextures[static_cast<std::size_t>(channel)].get();
}

KFbxLayerElementUV* KFbxLayer::GetUVs(int channel) const {
    if (!KFbxLayerElement::IsTextureChannel(channel)) {
        return nullptr;
    }
    return mUVs[static_cast<std::size_t>(channel)].get();
}

void KFbxLayer::SetNormals(KFbxLayerElementNormal* element) { Hold(mNormals, element); }
void KFbxLayer::SetMaterials(KFbxLayerElementMaterial* element) { Hold(mMaterials, element); }
void KFbxLayer::SetPolygonGroups(KFbxLayerElementPolygonGroup* element) { Hold(mPolygonGroups, element); }
void KFbxLayer::SetVertexColors(KFbxLayerElementVertexColor* element) { Hold(mVertexColors, element); }
void KFbxLayer::SetSmoothing(KFbxLayerElementSmoothing* element) { Hold(mSmoothing, element); }
void KFbxLayer::SetUserData(KFbxLayerElementUserData* element) { Hold(mUserData, element); }
void KFbxLayer::SetVisibility(KFbxLayerElementVisibility* element) { Hold(mVisibility, element); }

void KFbxLayer::SetTextures(KFbxLayerElementTexture* element) {
    SetTexturesOfChannel(element, KFbxLayerElement::eDIFFUSE_TEXTURES);
}

bool KFbxLayer::SetTexturesOfChannel(KFbxLayerElementTexture* element, int channel) {
    if (!KFbxLayerElement::IsTextureChannel(channel)) {
        return false;
    }
    return Hold(mTextures[static_cast<std::size_t>(channel)], element);
}

bool KFbxLayer::SetUVs(KFbxLayerElementUV* element, int channel) {
    if (!KFbxLayerElement::IsTextureChannel(channel)) {
        return false;
    }
    return Hold(mUVs[static_cast<std::size_t>(channel)], element);
}

KFbxLayerElement* KFbxLayer::GetLayerElementOfType(int type, bool uv) const {
    if (uv) {
        return GetUVs(type == KFbxLayerElement::eUV ? KFbxLayerElement::eDIFFUSE_TEXTURES : type);
    }
    switch (type) {
        case KFbxLayerElement::eNORMAL:
            return GetNormals();
        case KFbxLayerElement::eMATERIAL:
            return GetMaterials();
        case KFbxLayerElement::ePOLYGON_GROUP:
            return GetPolygonGroups();
        case KFbxLayerElement::eUV:
            return GetUVs();
        case KFbxLayerElement::eVERTEX_COLOR:
            return GetVertexColors();
        case KFbxLayerElement::eSMOOTHING:
            return GetSmoothing();
        case KFbxLayerElement::eUSER_DATA:
            return GetUserData();
        case KFbxLayerElement::eVISIBILITY:
            return GetVisibility();
        default:
            return GetTexturesOfChannel(type);
    }
}

bool KFbxLayer::Copy(const KFbxLayer& other, KFbxSdkManager* /*manager*/) {
    if (&other == this) {
        return true;
    }
    // Built aside first, so a failure leaves this layer as it was.
    KFbxLayer copy;
    bool complete = CloneInto(copy.mNormals, other.mNormals) && CloneInto(copy.mMaterials, other.mMaterials) &&
                    CloneInto(copy.mPolygonGroups, other.mPolygonGroups) &&
                    CloneInto(copy.mVertexColors, other.mVertexColors) &&
                    CloneInto(copy.mSmoothing, other.mSmoothing) && CloneInto(copy.mUserData, other.mUserData) &&
                    CloneInto(copy.mVisibility, other.mVisibility);
    for (int channel = 0; complete && channel < kChannelSlots; ++channel) {
        const auto slot = static_cast<std::size_t>(channel);
        complete = CloneInto(copy.mTextures[slot], other.mTextures[slot]) && CloneInto(copy.mUVs[slot], other.mUVs[slot]);
    }
    if (!complete) {
        return false;
    }
    mNormals = std::move(copy.mNormals);
    mMaterials = std::move(copy.mMaterials);
    mPolygonGroups = std::move(copy.mPolygonGroups);
    mVertexColors = std::move(copy.mVertexColors);
    mSmoothing = std::move(copy.mSmoothing);
    mUserData = std::move(copy.mUserData);
    mVisibility = std::move(copy.mVisibility);
    mTextures = std::move(copy.mTextures);
    mUVs = std::move(copy.mUVs);
    MarkHeld();
    return true;
}

void KFbxLayer::MarkHeld() {
    KFbxLayerElement* const elements[] = {mNormals.get(),      mMaterials.get(), mPolygonGroups.get(),
                                          mVertexColors.get(), mSmoothing.get(), mUserData.get(),
                                          mVisibility.get()};
    for (KFbxLayerElement* element : elements) {
        if (element != nullptr) {
            element->mHeldByLayer = true;
        }
    }
    for (int channel = 0; channel < kChannelSlots; ++channel) {
        const auto slot = static_cast<std::size_t>(channel);
        for (KFbxLayerElement* element : {static_cast<KFbxLayerElement*>(mTextures[slot].get()),
                                          static_cast<KFbxLayerElement*>(mUVs[slot].get())}) {
            if (element != nullptr) {
                element->mHeldByLayer = true;
            }
        }
    }
}

}  // namespace fbxsdk_2006_11_1
