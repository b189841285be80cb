#include <fbxfilesdk/core/FbxSdkLibrary.h>

#include <fbxfilesdk/core/KMemoryReusePool.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KWorld.h>

namespace fbxsdk_2006_11_1 {

namespace {

constinit int gRefCount = 0;
// What starting found running already is left running when the services stop.
constinit bool gStartedPools = false;
constinit KWorld* gServiceWorld = nullptr;

void Stop() {
    // The world leaves the global place itself; its id sets give their blocks
    // back before the pools go.
    KWorld::Delete(gServiceWorld);
    gServiceWorld = nullptr;
    KPlugClassRegistry::Release();
    if (gStartedPools) {
        KMemoryReusePool::TermSystem();
        gStartedPools = false;
    }
}

}  // namespace

bool FbxSdkLibraryAddRef() {
    if (gRefCount > 0) {
        ++gRefCount;
        return true;
    }
    gStartedPools = !KMemoryReusePool::IsSystemStarted();
    if (!KMemoryReusePool::InitSystem()) {
        gStartedPools = false;
        return false;
    }
    KPlugClassRegistry::AddRef();
    gServiceWorld = KWorld::Create();
    if (gServiceWorld == nullptr || KPlugClassRegistry::GetHandlePool() == nullptr) {
        Stop();
        return false;
    }
    if (KWorld::GetGlobal() == nullptr) {
        KWorld::SetGlobal(gServiceWorld);
    }
    gRefCount = 1;
    return true;
}

void FbxSdkLibraryRelease() {
    if (gRefCount == 0 || --gRefCount > 0) {
        return;
    }
    Stop();
}

int FbxSdkLibraryGetRefCount() { return gRefCount; }

}  // namespace fbxsdk_2006_11_1
