#include <fbxfilesdk/core/KFbxObjectManager.h>

#include <cstdlib>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// Plain values: valid before any initialiser and after every destructor, so
// static objects of other files may ask for the manager at any time.
KFbxObjectManager* gInstance = nullptr;
bool gDestroyed = false;

IRegister* RegisterPartOf(KFbxObjectManager* manager) {
    return manager != nullptr
               ? static_cast<IRegister*>(manager->GetInterface(KFbxObjectManager::kInterfaceRegister, nullptr))
               : nullptr;
}

}  // namespace

void* KFbxObjectManager::GetInterface(std::uint32_t id, void*) {
    if (id == 0 || id == 2) {
        return this;
    }
    if (id == kInterfaceRegister) {
        return static_cast<IRegister*>(this);
    }
    return nullptr;
}

bool KFbxObjectManager::Register(std::uint32_t eventType, void* userData, ListenerCallback callback) {
    return eventType == kObjectMessageEvent && mListeners.Register(userData, callback, kRegisterPriority);
}

bool KFbxObjectManager::Unregister(std::uint32_t eventType, void* userData, ListenerCallback callback) {
    return eventType == kObjectMessageEvent && mListeners.Unregister(userData, callback);
}

void KFbxObjectManager::DestroyAtExit() {
    KFbxObjectManager* instance = gInstance;
    gInstance = nullptr;
    gDestroyed = true;
    delete instance;
}

KFbxObjectManager* KFbxObjectManager::GetInstance() {
    if (gInstance == nullptr && !gDestroyed) {
        gInstance = new (std::nothrow) KFbxObjectManager();
        if (gInstance != nullptr) {
            // Should the hook not be taken, the manager simply lives to the end.
            (void)std::atexit(&KFbxObjectManager::DestroyAtExit);
        }
    }
    return gInstance;
}

void KFbxObjectManager::Broadcast(std::intptr_t message, std::intptr_t parameter) {
    if (gInstance == nullptr) {
        return;
    }
    ListenerEvent event{kObjectMessageEvent, false, message, parameter};
    gInstance->mListeners.Broadcast(RegisterPartOf(gInstance), &event);
}

bool KFbxObjectManager::RegisterGlobal(void* userData, ListenerCallback callback) {
    IRegister* registry = RegisterPartOf(GetInstance());
    return registry != nullptr && registry->Register(kObjectMessageEvent, userData, callback);
}

bool KFbxObjectManager::UnregisterGlobal(void* userData, ListenerCallback callback) {
    IRegister* registry = RegisterPartOf(GetInstance());
    return registry != nullptr && registry->Unregister(kObjectMessageEvent, userData, callback);
}

}  // namespace fbxsdk_2006_11_1
