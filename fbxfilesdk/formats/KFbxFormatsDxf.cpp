#include <fbxfilesdk/formats/KFbxFormatsDxf.h>

#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/formats/KFbxWriterDxf.h>

#include <new>

namespace fbxsdk_2006_11_1 {

KFbxWriter* CreateWriterDxf(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxWriterDxf(manager, io);
}

void KFbxRegisterDxfFormats() {
    KFbxFileFormatRegistry::Get().SetWriterCreateFn(KFbxFileFormatRegistry::eDXF_WRITER, &CreateWriterDxf);
}

}  // namespace fbxsdk_2006_11_1
