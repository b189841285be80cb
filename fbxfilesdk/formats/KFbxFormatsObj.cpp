#include <fbxfilesdk/formats/KFbxFormatsObj.h>

#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/formats/KFbxReaderObj.h>
#include <fbxfilesdk/formats/KFbxWriterObj.h>

#include <new>

namespace fbxsdk_2006_11_1 {

KFbxReader* CreateReaderObj(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxReaderObj(manager, io);
}

KFbxWriter* CreateWriterObj(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxWriterObj(manager, io);
}

void KFbxRegisterObjFormats() {
    KFbxFileFormatRegistry::Get().SetReaderCreateFn(KFbxFileFormatRegistry::eOBJ_READER, &CreateReaderObj);
    KFbxFileFormatRegistry::Get().SetWriterCreateFn(KFbxFileFormatRegistry::eOBJ_WRITER, &CreateWriterObj);
}

}  // namespace fbxsdk_2006_11_1
