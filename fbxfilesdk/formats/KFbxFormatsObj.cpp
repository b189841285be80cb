#include <fbxfilesdk/formats/KFbxFormatsObj.h>

#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/formats/KFbxReaderObj.h>

#include <new>

namespace fbxsdk_2006_11_1 {

KFbxReader* CreateReaderObj(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxReaderObj(manager, io);
}

void KFbxRegisterObjFormats() {
    KFbxFileFormatRegistry::Get().SetReaderCreateFn(KFbxFileFormatRegistry::eOBJ_READER, &CreateReaderObj);
}

}  // namespace fbxsdk_2006_11_1
