#include <fbxfilesdk/core/KFbxFileFormatRegistryUsers.h>

namespace fbxsdk_2006_11_1 {

namespace {

constinit int gUserCount = 0;
constinit bool gMade = false;
constinit KFbxFileFormatRegistryLifeFn gMake = nullptr;
constinit KFbxFileFormatRegistryLifeFn gDestroy = nullptr;

void MakeIfNeeded() {
    if (!gMade && gMake != nullptr) {
        gMake();
        gMade = true;
    }
}

}  // namespace

void KFbxSetFileFormatRegistryLife(KFbxFileFormatRegistryLifeFn make, KFbxFileFormatRegistryLifeFn destroy) {
    gMake = make;
    gDestroy = destroy;
    if (gUserCount > 0) {
        MakeIfNeeded();
    }
}

void KFbxFileFormatRegistryAddRef() {
    if (gUserCount++ == 0) {
        MakeIfNeeded();
    }
}

void KFbxFileFormatRegistryRelease() {
    if (gUserCount == 0 || --gUserCount > 0) {
        return;
    }
    if (gMade && gDestroy != nullptr) {
        gDestroy();
    }
    gMade = false;
}

int KFbxFileFormatRegistryGetUserCount() { return gUserCount; }

}  // namespace fbxsdk_2006_11_1
