// The use count of the process-wide reader/writer registry of the file
// formats. Every SDK manager is a user; the library that provides the
// registry installs how it is made for the first user and deleted after the
// last one.
#ifndef FBXFILESDK_CORE_KFBXFILEFORMATREGISTRYUSERS_H
#define FBXFILESDK_CORE_KFBXFILEFORMATREGISTRYUSERS_H

namespace fbxsdk_2006_11_1 {

using KFbxFileFormatRegistryLifeFn = void (*)();

// Null leaves that step empty. Installing while the registry has users makes
// it at once when it was not made yet.
void KFbxSetFileFormatRegistryLife(KFbxFileFormatRegistryLifeFn make, KFbxFileFormatRegistryLifeFn destroy);
// The first user makes the registry.
void KFbxFileFormatRegistryAddRef();
// The last user deletes it; ignored without users.
void KFbxFileFormatRegistryRelease();
int KFbxFileFormatRegistryGetUserCount();

}  // namespace fbxsdk_2006_11_1

#endif
