// The SDK's process-wide services: the memory pool system, the plug handle
// pool and the global world of the internal objects. They run while anyone
// holds a reference; the SDK manager takes one for as long as any manager is
// alive.
#ifndef FBXFILESDK_CORE_FBXSDKLIBRARY_H
#define FBXFILESDK_CORE_FBXSDKLIBRARY_H

namespace fbxsdk_2006_11_1 {

// The first reference starts the services; false (and no reference taken)
// when they cannot be started.
bool FbxSdkLibraryAddRef();
// The last reference stops them; ignored when none is held.
void FbxSdkLibraryRelease();
int FbxSdkLibraryGetRefCount();

}  // namespace fbxsdk_2006_11_1

#endif
