#include <fbxfilesdk/formats/KFbxFormats3ds.h>

#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/formats/KFbxReader3DS.h>

#include <new>

namespace fbxsdk_2006_11_1 {

KFbxReader* CreateReader3DS(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxReader3DS(manager, io);
}

void KFbxRegister3dsFormats() {
    KFbxFileFormatRegistry::Get().SetReaderCreateFn(KFbxFileFormatRegistry::e3DS_READER, &CreateReader3DS);
}

}  // namespace fbxsdk_2006_11_1
