// A small owner of named listener registrations and one heap block. Every
// proxy joins a process-wide list when it is made; the proxies still in it
// when the process ends are destroyed there, the last made first.
#ifndef FBXFILESDK_CORE_KLIBRARYBASEPROXY_H
#define FBXFILESDK_CORE_KLIBRARYBASEPROXY_H

#include <fbxfilesdk/core/ICallback.h>
#include <fbxfilesdk/core/ListenerList.h>

#include <cstdint>
#include <memory>

namespace fbxsdk_2006_11_1 {

class kLibraryBaseProxy : public ICallback {
public:
    static constexpr int kRegistrationCount = 4;

    kLibraryBaseProxy();
    kLibraryBaseProxy(const kLibraryBaseProxy&) = delete;
    kLibraryBaseProxy& operator=(const kLibraryBaseProxy&) = delete;

    // The proxy (kLibraryBaseProxy*) for ids 0 and 2, else null.
    void* GetInterface(std::uint32_t id, void* argument) override;
    // Deletes the proxy.
    virtual void Destroy();

    // Takes a block from SdkMalloc; it is freed with the proxy (or by the next SetBlock).
    void SetBlock(void* block);
    void* GetBlock() const { return mBlock; }
    // Registers the callback in the named list in one of the slots, undoing
    // the slot's earlier registration. False for a slot outside [0, 4) or
    // when the registration fails.
    bool Listen(int slot, const char* name, ListenerCallback callback, void* userData);
    const ListenerRegistration* GetRegistration(int slot) const;

    static int GetProcessCount();

protected:
    ~kLibraryBaseProxy() override;

private:
    static void DestroyAllAtExit();

    void* mBlock = nullptr;
    std::unique_ptr<ListenerRegistration> mRegistrations[kRegistrationCount];
};

}  // namespace fbxsdk_2006_11_1

#endif
