#include <fbxfilesdk/geometry/KFbxLayerElement.h>

#include <fbxfilesdk/geometry/KFbxArrayCopy.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// A new element of the source's kind with its contents; null when memory runs out.
template <class Kind>
KFbxLayerElement* CloneOf(const Kind& source) {
    auto* copy = new (std::nothrow) Kind(source.GetName());
    if (copy != nullptr && !copy->CopyFrom(source)) {
        delete copy;
        return nullptr;
    }
    return copy;
}

bool CopyDirectArray(DynamicArray& target, const DynamicArray& source) { return KFbxCopyDynamicArray(target, source); }

template <class Object>
bool CopyDirectArray(KFbxLayerElementObjectArray<Object>& target, const KFbxLayerElementObjectArray<Object>& source) {
    return target.Copy(source);
}

}  // namespace

bool KFbxLayerElement::IsTextureChannel(int type) {
    return type == eDIFFUSE_TEXTURES || (type >= eEMISSIVE_TEXTURES && type <= eREFLECTION_FACTOR_TEXTURES);
}

KFbxLayerElement::KFbxLayerElement(const char* name) : mName(name != nullptr ? name : "") {}

KFbxLayerElement::~KFbxLayerElement() {
    if (mPool != nullptr) {
        // The pool's last element takes the slot, so that the pool holds
        // only live elements however many come and go.
        std::vector<KFbxLayerElement*>& pool = *mPool;
        KFbxLayerElement* last = pool.back();
        pool[mPoolSlot] = last;
        last->mPoolSlot = mPoolSlot;
        pool.pop_back();
    }
}

void KFbxLayerElement::SetName(const char* name) { mName = KString(name != nullptr ? name : ""); }

bool KFbxLayerElement::CopyBaseFrom(const KFbxLayerElement& other) {
    if (!KFbxCopyDynamicArray(mIndexArray, other.mIndexArray)) {
        return false;
    }
    mMappingMode = other.mMappingMode;
    mReferenceMode = other.mReferenceMode;
    SetName(other.GetName());
    return true;
}

template <class T, class Array>
bool KFbxLayerElementTemplate<T, Array>::CopyFrom(const KFbxLayerElementTemplate& other) {
    return CopyDirectArray(mDirectArray, other.mDirectArray) && CopyBaseFrom(other);
}

template class KFbxLayerElementTemplate<KFbxVector4>;
template class KFbxLayerElementTemplate<KFbxSurfaceMaterial*, KFbxLayerElementObjectArray<KFbxSurfaceMaterial>>;
template class KFbxLayerElementTemplate<int>;
template class KFbxLayerElementTemplate<KFbxVector2>;
template class KFbxLayerElementTemplate<KFbxColor, KFbxColorArray>;
template class KFbxLayerElementTemplate<bool>;
template class KFbxLayerElementTemplate<KFbxTexture*, KFbxLayerElementObjectArray<KFbxTexture>>;

KFbxLayerElement* KFbxLayerElementNormal::Clone() const { return CloneOf(*this); }
KFbxLayerElement* KFbxLayerElementMaterial::Clone() const { return CloneOf(*this); }
KFbxLayerElement* KFbxLayerElementPolygonGroup::Clone() const { return CloneOf(*this); }
KFbxLayerElement* KFbxLayerElementUV::Clone() const { return CloneOf(*this); }
KFbxLayerElement* KFbxLayerElementVertexColor::Clone() const { return CloneOf(*this); }
KFbxLayerElement* KFbxLayerElementSmoothing::Clone() const { return CloneOf(*this); }
KFbxLayerElement* KFbxLayerElementVisibility::Clone() const { return CloneOf(*this); }

KFbxLayerElementTexture::KFbxLayerElementTexture(const char* name) : KFbxLayerElementTemplate(name) {
    SetReferenceMode(eINDEX_TO_DIRECT);
}

KFbxLayerElement* KFbxLayerElementTexture::Clone() const {
    auto* copy = static_cast<KFbxLayerElementTexture*>(CloneOf(*this));
    if (copy != nullptr) {
        copy->mBlendMode = mBlendMode;
        copy->mAlpha = mAlpha;
    }
    return copy;
}

}  // namespace fbxsdk_2006_11_1
