// The manager's layer-element pools, and its creators of layer elements,
// constraints and camera switchers.
#include <fbxfilesdk/core/KFbxSdkManager.h>

#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxConstraintAim.h>
#include <fbxfilesdk/scene/KFbxConstraintParent.h>
#include <fbxfilesdk/scene/KFbxConstraintPosition.h>
#include <fbxfilesdk/scene/KFbxConstraintRotation.h>
#include <fbxfilesdk/scene/KFbxConstraintScale.h>
#include <fbxfilesdk/scene/KFbxConstraintSingleChainIK.h>

#include <new>
#include <utility>

namespace fbxsdk_2006_11_1 {

template <class Element, class... Args>
Element* KFbxSdkManager::PoolElement(ELayerElementPool pool, Args&&... args) {
    std::vector<KFbxLayerElement*>& slots = mLayerElementPools[pool];
    try {
        slots.reserve(slots.size() + 1);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    auto* element = new (std::nothrow) Element(std::forward<Args>(args)...);
    if (element == nullptr) {
        return nullptr;
    }
    element->mPool = &slots;
    element->mPoolSlot = slots.size();
    slots.push_back(element);
    return element;
}

void KFbxSdkManager::DestroyAllLayerElements() {
    for (auto pool = mLayerElementPools.rbegin(); pool != mLayerElementPools.rend(); ++pool) {
        // Taken out of the pool before anything is deleted, so that no
        // element's destructor writes into the pool being emptied.
        std::vector<KFbxLayerElement*> elements;
        elements.swap(*pool);
        for (KFbxLayerElement* element : elements) {
            if (element != nullptr) {
                element->mPool = nullptr;
            }
        }
        for (auto element = elements.rbegin(); element != elements.rend(); ++element) {
            if (*element != nullptr && !(*element)->IsHeldByLayer()) {
                delete *element;
            }
        }
    }
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

KFbxConstraint* KFbxSdkManager::CreateConstraint(const char* name, int kind) {
    switch (kind) {
    case KFbxConstraint::ePOSITION:
        return KFbxConstraintPosition::Create(this, name);
    case KFbxConstraint::eROTATION:
        return KFbxConstraintRotation::Create(this, name);
    case KFbxConstraint::eSCALE:
        return KFbxConstraintScale::Create(this, name);
    case KFbxConstraint::ePARENT:
        return KFbxConstraintParent::Create(this, name);
    case KFbxConstraint::eSINGLECHAIN_IK:
        return KFbxConstraintSingleChainIK::Create(this, name);
    case KFbxConstraint::eAIM:
        return KFbxConstraintAim::Create(this, name);
    default:
        return nullptr;
    }
}

KFbxCameraSwitcher* KFbxSdkManager::CreateCameraSwitcher() { return KFbxCameraSwitcher::Create(this, ""); }

}  // namespace fbxsdk_2006_11_1
