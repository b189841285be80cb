// The process-wide hub for object messages: listeners register a callback for
// the object-message event type and every KFbxObjectManager::Broadcast reaches
// them, oldest registration first. Made on first use; destroyed when the
// process ends, after which it is not made again (registrations then fail
// quietly rather than bring it back half-way through exit).
#ifndef FBXFILESDK_CORE_KFBXOBJECTMANAGER_H
#define FBXFILESDK_CORE_KFBXOBJECTMANAGER_H

#include <fbxfilesdk/core/ICallback.h>
#include <fbxfilesdk/core/IRegister.h>
#include <fbxfilesdk/core/ListenerList.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class KFbxObjectManager : public ICallback, public IRegister {
public:
    static constexpr std::uint32_t kObjectMessageEvent = 0x34538402;
    static constexpr std::uint32_t kInterfaceRegister = 3;
    // Registrations through the manager carry this priority.
    static constexpr std::int32_t kRegisterPriority = 0x7fffffff;

    KFbxObjectManager(const KFbxObjectManager&) = delete;
    KFbxObjectManager& operator=(const KFbxObjectManager&) = delete;

    // Ids 0 and 2 give the manager (KFbxObjectManager*), id 3 its IRegister part
    // (IRegister*); others null.
    void* GetInterface(std::uint32_t id, void* argument) override;
    bool Register(std::uint32_t eventType, void* userData, ListenerCallback callback) override;
    bool Unregister(std::uint32_t eventType, void* userData, ListenerCallback callback) override;

    // Made on first use; null once destroyed at process end.
    static KFbxObjectManager* GetInstance();
    // Sends the message to every listener, with the manager's IRegister part
    // as sender; nothing when the manager does not exist.
    static void Broadcast(std::intptr_t message, std::intptr_t parameter);
    // Through the manager (made when needed); false when it is gone.
    static bool RegisterGlobal(void* userData, ListenerCallback callback);
    static bool UnregisterGlobal(void* userData, ListenerCallback callback);

private:
    KFbxObjectManager() = default;
    ~KFbxObjectManager() override = default;
    static void DestroyAtExit();

    ListenerList mListeners;
};

}  // namespace fbxsdk_2006_11_1

#endif
