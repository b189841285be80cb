#include <fbxfilesdk/core/KFbxSdkManager.h>

#include <fbxfilesdk/core/FbxSdkLibrary.h>
#include <fbxfilesdk/core/KFbxClassRegistration.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxFileFormatRegistryUsers.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KFbxUserNotification.h>
#include <fbxfilesdk/core/KGenericObjectList.h>
#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <shared_mutex>
#include <string>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kErrorMessages[KFbxSdkManager::eErrorCount] = {"Object not found"};

// What managers share is made by the first and let go by the last: the
// services, the format registry's users, the class ids and data types. Each
// manager's coming and going holds this lock, so that managers made and
// deleted in several threads at once come and go one after the other.
std::mutex& SharedLifeLock() {
    static std::mutex lock;
    return lock;
}

// Managers alive in the process, newest first, and their count. Every
// object's destruction reads the list (RemoveFromManager); managers coming and
// going change both, holding the life lock too.
std::shared_mutex& LiveListLock() {
    static std::shared_mutex lock;
    return lock;
}
constinit KFbxSdkManager* gLiveManagers = nullptr;
constinit int gLiveCount = 0;

// Destroys the public objects of the list's sources, the first each time.
void DestroySources(KPlug* list, bool recursive) {
    for (int index = 0; list != nullptr && index < list->GetSrcCount();) {
        const int count = list->GetSrcCount();
        if (KFbxPlug* object = KFbxGetPublicPlug(list->GetSrc(index))) {
            object->Destroy(recursive, false);
        }
        if (list->GetSrcCount() >= count) {
            // What cannot leave is passed over rather than tried for ever.
            ++index;
        }
    }
}


}  // namespace

struct KFbxSdkManager::ClassSets {
    // By class name, byte-wise.
    std::map<std::string, KFbxClassId> mByName;
    // By object type name, then sub-type name.
    std::map<std::pair<std::string, std::string>, KFbxClassId> mByTypeNames;
};

// ---- life ---------------------------------------------------------------------

KFbxSdkManager* CreateSdkManager() {
    auto* manager = new (std::nothrow) KFbxSdkManager();
    if (manager != nullptr && !manager->IsComplete()) {
        delete manager;
        return nullptr;
    }
    return manager;
}

KFbxSdkManager::KFbxSdkManager()
    : mError(kErrorMessages, eErrorCount) {
    const std::lock_guard life(SharedLifeLock());
    if (gLiveCount == 0 && !FbxSdkLibraryAddRef()) {
        return;
    }
    {
        const std::unique_lock list(LiveListLock());
        ++gLiveCount;
        mCountedLive = true;
        mNextLive = gLiveManagers;
        if (gLiveManagers != nullptr) {
            gLiveManagers->mPreviousLive = this;
        }
        gLiveManagers = this;
    }

    mClassSets.reset(new (std::nothrow) ClassSets());
    mObjectList = new (std::nothrow) KObjectList();
    KFbxFileFormatRegistryAddRef();
    mUsesFileFormatRegistry = true;
    KFbxPlug::SetRemoveFromManagerFn(&RemoveFromManager);
    const bool registered = RegisterClasses(this);
    const bool typesBuilt = KFbxBuildDataTypes();
    mComplete = mClassSets != nullptr && mObjectList != nullptr && registered && typesBuilt;
}

KFbxSdkManager::~KFbxSdkManager() {
    DestroyAllObjects();
    // Elements still pooled would be lost with the pools' storage.
    DestroyAllLayerElements();
    if (mObjectList != nullptr) {
        mObjectList->Release();
        mObjectList = nullptr;
    }
    mClassSets.reset();
    const std::lock_guard life(SharedLifeLock());
    if (mCountedLive) {
        bool last = false;
        {
            const std::unique_lock list(LiveListLock());
            (mPreviousLive != nullptr ? mPreviousLive->mNextLive : gLiveManagers) = mNextLive;
            if (mNextLive != nullptr) {
                mNextLive->mPreviousLive = mPreviousLive;
            }
            last = --gLiveCount == 0;
        }
        if (last) {
            FbxSdkLibraryRelease();
        }
    }
    if (mUsesFileFormatRegistry) {
        KFbxFileFormatRegistryRelease();
    }
    // The error holder goes next, then the pools' storage, last pool first.
}

void KFbxSdkManager::DestroyAllLayerElements() {
    if (mLayerElementPools != nullptr) {
        mLayerElementPools->DestroyAll();
    }
}

int KFbxSdkManager::GetLiveCount() {
    const std::shared_lock list(LiveListLock());
    return gLiveCount;
}

bool KFbxSdkManager::IsLive(const KFbxSdkManager* manager) {
    const std::shared_lock list(LiveListLock());
    for (const KFbxSdkManager* live = gLiveManagers; live != nullptr; live = live->mNextLive) {
        if (live == manager) {
            return true;
        }
    }
    return false;
}

bool KFbxSdkManager::RemoveFromManager(KFbxSdkManager* manager, KFbxPlug* plug) {
    return IsLive(manager) && manager->RemoveObject(plug);
}

void KFbxSdkManager::DestroyAllObjects() {
    if (mObjectList == nullptr) {
        return;
    }
    // Scenes first, with everything they own, then nodes with their children,
    // so that no owner is left to reach an object destroyed before it.
    const KFbxSceneClassIds& sceneClasses = KFbxGetSceneClassIds();
    if (sceneClasses.mScene != KFbxClassId()) {
        DestroySources(ViewOf(sceneClasses.mScene), true);
    }
    if (sceneClasses.mNode != KFbxClassId()) {
        DestroySources(ViewOf(sceneClasses.mNode), true);
    }
    DestroySources(mObjectList, false);
    DestroyUserNotification();
}

// ---- user notification -------------------------------------------------------

KFbxUserNotification* KFbxSdkManager::CreateUserNotification(const KString& text1, const KString& text2) {
    if (mUserNotification != nullptr) {
        return nullptr;
    }
    mUserNotification.reset(new (std::nothrow) KFbxUserNotification(text1, text2));
    return mUserNotification.get();
}

bool KFbxSdkManager::DestroyUserNotification() {
    if (mUserNotification != nullptr) {
        mUserNotification->Reset();
        mUserNotification.reset();
    }
    return true;
}

// ---- objects -----------------------------------------------------------------

bool KFbxSdkManager::AddObject(KFbxPlug* object) {
    auto* fbxObject = KFbxCastToObject(object);
    if (fbxObject == nullptr || fbxObject->GetInternalPlug() == nullptr || mObjectList == nullptr) {
        return false;
    }
    // Held once: a second connection would count and destroy it twice.
    return HoldsObject(fbxObject) || mObjectList->ConnectSrc(fbxObject->GetInternalPlug(), 0);
}

bool KFbxSdkManager::RemoveObject(KFbxPlug* object) {
    auto* fbxObject = KFbxCastToObject(object);
    if (fbxObject == nullptr) {
        return false;
    }
    KPlug* internal = fbxObject->GetInternalPlug();
    if (internal != nullptr && mObjectList != nullptr && mObjectList->DisconnectSrc(internal)) {
        return true;
    }
    mError.SetError(eObjectNotFound);
    return false;
}

bool KFbxSdkManager::HoldsObject(const KFbxPlug* object) const {
    // Asked on the object's side: it has few destinations, the list many sources.
    const KPlug* internal = object != nullptr ? object->GetInternalPlug() : nullptr;
    return internal != nullptr && mObjectList != nullptr && internal->HasDst(mObjectList);
}

KPlug* KFbxSdkManager::ViewOf(const KFbxClassId& classId) const {
    const KPlugFilter* filter = (classId == KFbxClassId() ? KFbxObject::ClassId : classId).GetFilter();
    return filter != nullptr && mObjectList != nullptr ? mObjectList->GetView(filter) : nullptr;
}

int KFbxSdkManager::GetObjectCount(const KFbxClassId& classId) const {
    const KPlug* view = ViewOf(classId);
    return view != nullptr ? view->GetSrcCount() : 0;
}

KFbxObject* KFbxSdkManager::GetObject(const KFbxClassId& classId, int index) const {
    const KPlug* view = ViewOf(classId);
    if (view == nullptr || index < 0 || index >= view->GetSrcCount()) {
        return nullptr;
    }
    return KFbxCastToObject(KFbxGetPublicPlug(view->GetSrc(index)));
}

KFbxObject* KFbxSdkManager::FindObjectByName(const KFbxClassId& classId, const char* name, int startIndex) const {
    if (name == nullptr) {
        return nullptr;
    }
    const int count = GetObjectCount(classId);
    for (int index = startIndex < 0 ? 0 : startIndex; index < count; ++index) {
        KFbxObject* object = GetObject(classId, index);
        if (object != nullptr && std::strcmp(object->GetName(), name) == 0) {
            return object;
        }
    }
    return nullptr;
}

KFbxPlug* CreateObjectOfClass(KFbxSdkManager* manager, const KFbxClassId& classId, const char* name) {
    if (manager == nullptr) {
        return nullptr;
    }
    KFbxPlug* plug = classId.Create(manager, name);
    if (plug == nullptr) {
        return nullptr;
    }
    plug->SetRuntimeClassId(classId);
    if (!manager->AddObject(plug) && KFbxCastToObject(plug) != nullptr) {
        // An object its manager does not hold would not be destroyed with it.
        plug->Destroy();
        return nullptr;
    }
    return plug;
}

// ---- classes -----------------------------------------------------------------

bool KFbxSdkManager::AddClassId(const KFbxClassId& classId) {
    if (classId == KFbxClassId() || mClassSets == nullptr) {
        return false;
    }
    try {
        mClassSets->mByName.insert_or_assign(std::string(classId.GetName()), classId);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

bool KFbxSdkManager::AddClassIdByTypeNames(const KFbxClassId& classId, const KString& typeName,
                                           const KString& subTypeName) {
    if (mClassSets == nullptr) {
        return false;
    }
    try {
        mClassSets->mByTypeNames.insert_or_assign(
            std::make_pair(std::string(typeName.Buffer()), std::string(subTypeName.Buffer())), classId);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

KFbxClassId KFbxSdkManager::FindClassByTypeNames(const char* typeName, const char* subTypeName) const {
    if (typeName == nullptr || subTypeName == nullptr || mClassSets == nullptr) {
        return KFbxClassId();
    }
    try {
        const auto found = mClassSets->mByTypeNames.find(std::make_pair(std::string(typeName), std::string(subTypeName)));
        return found != mClassSets->mByTypeNames.end() ? found->second : KFbxClassId();
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return KFbxClassId();
    }
}

KFbxClassId RegisterClass(KFbxSdkManager* manager, const char* name, const KFbxClassId& parent,
                          KFbxPlugCreateFn createFn, const char* typeName, const char* subTypeName) {
    KFbxClassId classId(name, parent, createFn);
    if (classId == KFbxClassId()) {
        return classId;
    }
    if (manager != nullptr) {
        manager->AddClassId(classId);
    }
    if (typeName != nullptr && subTypeName != nullptr && classId.SetObjectTypeName(typeName) &&
        classId.SetObjectSubTypeName(subTypeName) && manager != nullptr) {
        manager->AddClassIdByTypeNames(classId, classId.GetObjectTypeName(), classId.GetObjectSubTypeName());
    }
    return classId;
}

}  // namespace fbxsdk_2006_11_1
