#include "AssimpPeer.h"

#include <dlfcn.h>

namespace qalimor::bench {

const AssimpPeer* AssimpPeer::Get() {
    static const AssimpPeer* peer = [] () -> const AssimpPeer* {
        void* library = dlopen("libassimp.so.5", RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static AssimpPeer loaded;
        loaded.mImport = reinterpret_cast<ImportFile>(dlsym(library, "aiImportFile"));
        loaded.mRelease = reinterpret_cast<ReleaseImport>(dlsym(library, "aiReleaseImport"));
        return loaded.mImport && loaded.mRelease ? &loaded : nullptr;
    }();
    return peer;
}

bool AssimpPeer::ImportAndRelease(const std::string& path) const {
    const void* scene = mImport(path.c_str(), 0);
    if (!scene) return false;
    mRelease(scene);
    return true;
}

}  // namespace qalimor::bench
