// The manager's layer-element pools and its creators of layer elements.
#include <fbxfilesdk/core/KFbxSdkManager.h>

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>

#include <array>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

// The pools a manager keeps: one list of elements per kind.
class KFbxLayerElementPoolSet final : public KFbxLayerElementPools {
public:
    std::vector<KFbxLayerElement*>& Pool(KFbxSdkManager::ELayerElementPool pool) { return mPools[pool]; }

    void DestroyAll() override {
        for (auto pool = mPools.rbegin(); pool != mPools.rend(); ++pool) {
            // Taken out of the pool before anything is deleted, so that no
            // element's destructor writes into the pool being emptied.
            std::vector<KFbxLayerElement*> elements;
            elements.swap(*pool);
            for (KFbxLayerElement* element : elements) {
                element->mPool = nullptr;
            }
            for (auto element = elements.rbegin(); element != elements.rend(); ++element) {
                if (!(*element)->IsHeldByLayer()) {
                    delete *element;
                }
            }
        }
    }

    std::size_t Count() const override {
        std::size_t count = 0;
        for (const std::vector<KFbxLayerElement*>& pool : mPools) {
            count += pool.size();
        }
        return count;
    }

private:
    std::array<std::vector<KFbxLayerElement*>, KFbxSdkManager::eLayerElementPoolCount> mPools;
};

template <class Element, class... Args>
Element* KFbxSdkManager::PoolElement(ELayerElementPool pool, Args&&... args) {
    if (mLayerElementPools == nullptr) {
        mLayerElementPools.reset(new (std::nothrow) KFbxLayerElementPoolSet());
        if (mLayerElementPools == nullptr) {
            return nullptr;
        }
    }
    std::vector<KFbxLayerElement*>& slots = static_cast<KFbxLayerElementPoolSet&>(*mLayerElementPools).Pool(pool);
    auto* element = new (std::nothrow) Element(std::forward<Args>(args)...);
    if (element == nullptr) {
        return nullptr;
    }
    // Grows by doubling: a manager that makes and drops elements for days
    // pays the same for each.
    try {
        slots.push_back(element);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        delete element;
        return nullptr;
    }
    element->mPool = &slots;
    element->mPoolSlot = slots.size() - 1;
    return element;
}

std::size_t KFbxSdkManager::GetLayerElementCount() const {
    return mLayerElementPools != nullptr ? mLayerElementPools->Count() : 0;
}

KFbxLayerElementNormal* KFbxSdkManager::CreateLayerElementNormal(const char* name) {
    return PoolElement<KFbxLayerElementNormal>(eLayerElementPoolNormal, name);
}

KFbxLayerElementMaterial* KFbxSdkManager::CreateLayerElementMaterial(const char* name) {
    return PoolElement<KFbxLayerElementMaterial>(eLayerElementPoolMaterial, name);
}

KFbxLayerElementPolygonGroup* KFbxSdkManager::CreateLayerElementPolygonGroup(const char* name) {
    return PoolElement<KFbxLayerElementPolygonGroup>(eLayerElementPoolPolygonGroup, name);
}

KFbxLayerElementUV* KFbxSdkManager::CreateLayerElementUV(const char* name) {
    return PoolElement<KFbxLayerElementUV>(eLayerElementPoolUV, name);
}

KFbxLayerElementVertexColor* KFbxSdkManager::CreateLayerElementColor(const char* name) {
    return PoolElement<KFbxLayerElementVertexColor>(eLayerElementPoolColor, name);
}

KFbxLayerElementSmoothing* KFbxSdkManager::CreateLayerElementSmoothing(const char* name) {
    return PoolElement<KFbxLayerElementSmoothing>(eLayerElementPoolSmoothing, name);
}

KFbxLayerElementUserData* KFbxSdkManager::CreateLayerElementUserData(const char* name, int id,
                                                                     const KFbxDataType* dataTypes,
                                                                     const char* const* dataNames, int count) {
    return PoolElement<KFbxLayerElementUserData>(eLayerElementPoolUserData, name, id, dataTypes, dataNames, count);
}

KFbxLayerElementUserData* KFbxSdkManager::CreateLayerElementUserDataCopy(const KFbxLayerElementUserData& other) {
    return PoolElement<KFbxLayerElementUserData>(eLayerElementPoolUserData, other);
}

KFbxLayerElementVisibility* KFbxSdkManager::CreateLayerElementVisibility(const char* name) {
    return PoolElement<KFbxLayerElementVisibility>(eLayerElementPoolVisibility, name);
}

KFbxLayerElementTexture* KFbxSdkManager::CreateLayerElementTexture(const char* name) {
    return PoolElement<KFbxLayerElementTexture>(eLayerElementPoolTexture, name);
}

}  // namespace fbxsdk_2006_11_1
