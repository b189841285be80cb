#include <fbxfilesdk/geometry/KFbxLayerContainer.h>

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <cstring>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// The first item of the array equal to the pointer; -1 when none.
template <class Array, class Item>
int IndexOf(const Array& array, Item item) {
    for (int index = 0; index < array.GetCount(); ++index) {
        if (array.GetAt(index) == item) {
            return index;
        }
    }
    return -1;
}

// The first object of the array named so; -1 when none or for a null name.
template <class Array>
int IndexOfName(const Array& array, const char* name) {
    if (name == nullptr) {
        return -1;
    }
    for (int index = 0; index < array.GetCount(); ++index) {
        const auto* object = array.GetAt(index);
        if (object != nullptr && std::strcmp(object->GetName(), name) == 0) {
            return index;
        }
    }
    return -1;
}

}  // namespace


KFbxLayerContainer::KFbxLayerContainer(KFbxSdkManager* manager, const char* name) : KFbxNodeAttribute(manager, name) {}

KFbxLayerContainer::~KFbxLayerContainer() = default;

KFbxPlug* KFbxLayerContainer::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* container = new (std::nothrow) KFbxLayerContainer(manager, name);
    if (container != nullptr) {
        container->CreateInternal();
    }
    return container;
}

KFbxClassId KFbxLayerContainer::GetClassId() const { return ClassId; }

KFbxLayer* KFbxLayerContainer::GetLayer(int index) const {
    if (index < 0 || index >= GetLayerCount()) {
        return nullptr;
    }
    return mLayers[static_cast<std::size_t>(index)].get();
}

int KFbxLayerContainer::CreateLayer() {
    CompleteLayers();
    try {
        mLayers.push_back(std::make_unique<KFbxLayer>());
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return -1;
    }
    return GetLayerCount() - 1;
}

int KFbxLayerContainer::GetLayerCountOfType(int type, bool uv) const {
    CompleteLayers();
    int count = 0;
    for (const auto& layer : mLayers) {
        if (layer->GetLayerElementOfType(type, uv) != nullptr) {
            ++count;
        }
    }
    return count;
}

KFbxLayer* KFbxLayerContainer::GetLayerOfType(int n, int type, bool uv) const {
    return GetLayer(GetLayerIndexOfType(n, type, uv));
}

int KFbxLayerContainer::GetLayerIndexOfType(int n, int type, bool uv) const {
    if (n < 0) {
        return -1;
    }
    for (int index = 0; index < GetLayerCount(); ++index) {
        if (mLayers[static_cast<std::size_t>(index)]->GetLayerElementOfType(type, uv) != nullptr && n-- == 0) {
            return index;
        }
    }
    return -1;
}

KFbxLayer* KFbxLayerContainer::GetOrCreateLayer(int index) {
    if (index == GetLayerCount()) {
        CreateLayer();
    }
    return GetLayer(index);
}

int KFbxLayerContainer::AddMaterial(KFbxSurfaceMaterial* material, int layer) {
    KFbxLayer* target = material != nullptr ? GetOrCreateLayer(layer) : nullptr;
    if (target == nullptr) {
        return -1;
    }
    KFbxLayerElementMaterial* element = target->GetMaterials();
    if (element == nullptr) {
        element = new (std::nothrow) KFbxLayerElementMaterial();
        if (element == nullptr) {
            return -1;
        }
        element->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
        element->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
        target->SetMaterials(element);
    }
    if (IndexOf(element->GetDirectArray(), material) != -1) {
        return -1;
    }
    return element->GetDirectArray().Add(material);
}

int KFbxLayerContainer::GetMaterialCount(int layer) const {
    const KFbxLayer* source = GetLayer(layer);
    const KFbxLayerElementMaterial* element = source != nullptr ? source->GetMaterials() : nullptr;
    return element != nullptr ? element->GetDirectArray().GetCount() : 0;
}

KFbxSurfaceMaterial* KFbxLayerContainer::GetMaterial(int index, int layer) const {
    const KFbxLayer* source = GetLayer(layer);
    const KFbxLayerElementMaterial* element = source != nullptr ? source->GetMaterials() : nullptr;
    return element != nullptr ? element->GetDirectArray().GetAt(index) : nullptr;
}

int KFbxLayerContainer::GetMaterialIndex(const char* name, int layer) const {
    const KFbxLayer* source = GetLayer(layer);
    const KFbxLayerElementMaterial* element = source != nullptr ? source->GetMaterials() : nullptr;
    return element != nullptr ? IndexOfName(element->GetDirectArray(), name) : -1;
}

int KFbxLayerContainer::AddTexture(KFbxTexture* texture, int layer, int channel) {
    KFbxLayer* target =
        texture != nullptr && KFbxLayerElement::IsTextureChannel(channel) ? GetOrCreateLayer(layer) : nullptr;
    if (target == nullptr) {
        return -1;
    }
    KFbxLayerElementTexture* element = target->GetTexturesOfChannel(channel);
    if (element == nullptr) {
        element = new (std::nothrow) KFbxLayerElementTexture();
        if (element == nullptr) {
            return -1;
        }
        element->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
        target->SetTexturesOfChannel(element, channel);
    }
    const int existing = IndexOf(element->GetDirectArray(), texture);
    return existing != -1 ? existing : element->GetDirectArray().Add(texture);
}

int KFbxLayerContainer::GetTextureCount(int layer, int channel) const {
    const KFbxLayer* source = GetLayer(layer);
    const KFbxLayerElementTexture* element = source != nullptr ? source->GetTexturesOfChannel(channel) : nullptr;
    return element != nullptr ? element->GetDirectArray().GetCount() : 0;
}

KFbxTexture* KFbxLayerContainer::GetTexture(int index, int layer, int channel) const {
    const KFbxLayer* source = GetLayer(layer);
    const KFbxLayerElementTexture* element = source != nullptr ? source->GetTexturesOfChannel(channel) : nullptr;
    return element != nullptr ? element->GetDirectArray().GetAt(index) : nullptr;
}

int KFbxLayerContainer::GetTextureIndex(const char* name, int layer, int channel) const {
    const KFbxLayer* source = GetLayer(layer);
    const KFbxLayerElementTexture* element = source != nullptr ? source->GetTexturesOfChannel(channel) : nullptr;
    return element != nullptr ? IndexOfName(element->GetDirectArray(), name) : -1;
}

bool KFbxLayerContainer::CopyLayers(const KFbxLayerContainer& other) {
    if (&other == this) {
        return true;
    }
    std::vector<std::unique_ptr<KFbxLayer>> layers;
    try {
        layers.reserve(other.mLayers.size());
        for (const auto& source : other.mLayers) {
            auto layer = std::make_unique<KFbxLayer>();
            if (!layer->Copy(*source, GetSdkManager())) {
                return false;
            }
            layers.push_back(std::move(layer));
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    mLayers = std::move(layers);
    return true;
}

}  // namespace fbxsdk_2006_11_1
