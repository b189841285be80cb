#include <fbxfilesdk/formats/KFbxFormatsDxf.h>

#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/formats/KFbxReaderDxf.h>
#include <fbxfilesdk/formats/KFbxWriterDxf.h>

#include <new>

namespace fbxsdk_2006_11_1 {

KFbxReader* CreateReaderDxf(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxReaderDxf(manager, io);
}

KFbxWriter* CreateWriterDxf(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxWriterDxf(manager, io);
}

void KFbxRegisterDxfFormats() {
    KFbxFileFormatRegistry::Get().SetReaderCreateFn(KFbxFileFormatRegistry::eDXF_READER, &CreateReaderDxf);
    KFbxFileFormatRegistry::Get().SetWriterCreateFn(KFbxFileFormatRegistry::eDXF_WRITER, &CreateWriterDxf);
}

}  // namespace fbxsdk_2006_11_1
