#include <fbxfilesdk/core/kLibraryBaseProxy.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

std::vector<kLibraryBaseProxy*>* gProxies = nullptr;

}  // namespace

kLibraryBaseProxy::kLibraryBaseProxy() {
    try {
        if (gProxies == nullptr) {
            gProxies = new std::vector<kLibraryBaseProxy*>();
            (void)std::atexit(&kLibraryBaseProxy::DestroyAllAtExit);
        }
        gProxies->push_back(this);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        // Not in the list: the proxy is then only destroyed by its owner.
    }
}

kLibraryBaseProxy::~kLibraryBaseProxy() {
    if (gProxies != nullptr) {
        gProxies->erase(std::remove(gProxies->begin(), gProxies->end(), this), gProxies->end());
    }
    SdkFree(mBlock);
}

void* kLibraryBaseProxy::GetInterface(std::uint32_t id, void*) { return id == 0 || id == 2 ? this : nullptr; }

void kLibraryBaseProxy::Destroy() { delete this; }

void kLibraryBaseProxy::SetBlock(void* block) {
    if (block != mBlock) {
        SdkFree(mBlock);
        mBlock = block;
    }
}

bool kLibraryBaseProxy::Listen(int slot, const char* name, ListenerCallback callback, void* userData) {
    if (slot < 0 || slot >= kRegistrationCount || name == nullptr) {
        return false;
    }
    mRegistrations[slot].reset();
    mRegistrations[slot].reset(new (std::nothrow) ListenerRegistration(name, callback, userData));
    return mRegistrations[slot] != nullptr && mRegistrations[slot]->IsRegistered();
}

const ListenerRegistration* kLibraryBaseProxy::GetRegistration(int slot) const {
    return slot >= 0 && slot < kRegistrationCount ? mRegistrations[slot].get() : nullptr;
}

int kLibraryBaseProxy::GetProcessCount() { return gProxies != nullptr ? static_cast<int>(gProxies->size()) : 0; }

void kLibraryBaseProxy::DestroyAllAtExit() {
    while (gProxies != nullptr && !gProxies->empty()) {
        kLibraryBaseProxy* proxy = gProxies->back();
        gProxies->pop_back();
        proxy->Destroy();
    }
    delete gProxies;
    gProxies = nullptr;
}

}  // namespace fbxsdk_2006_11_1
