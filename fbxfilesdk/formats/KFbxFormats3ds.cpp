#include <fbxfilesdk/formats/KFbxFormats3ds.h>

#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/formats/KFbxReader3DS.h>
#include <fbxfilesdk/formats/KFbxWriter3DS.h>

#include <new>

namespace fbxsdk_2006_11_1 {

KFbxReader* CreateReader3DS(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxReader3DS(manager, io);
}

KFbxWriter* CreateWriter3DS(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxWriter3DS(manager, io);
}

void KFbxRegister3dsFormats() {
    KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    registry.SetReaderCreateFn(KFbxFileFormatRegistry::e3DS_READER, &CreateReader3DS);
    registry.SetWriterCreateFn(KFbxFileFormatRegistry::e3DS_WRITER, &CreateWriter3DS);
}

}  // namespace fbxsdk_2006_11_1
