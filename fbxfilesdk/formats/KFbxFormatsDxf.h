// The DXF file format of the formats library, installed in the file format
// registry: what a program that reads or writes DXF drawings calls once.
#ifndef FBXFILESDK_FORMATS_KFBXFORMATSDXF_H
#define FBXFILESDK_FORMATS_KFBXFORMATSDXF_H

namespace fbxsdk_2006_11_1 {

class KFbxIO;
class KFbxReader;
class KFbxSdkManager;
class KFbxWriter;

// Installs the create functions of the DXF reader (reader 1) and writer
// (writer 5); calling it again changes nothing.
void KFbxRegisterDxfFormats();

// The registry's create functions.
KFbxReader* CreateReaderDxf(KFbxSdkManager& manager, KFbxIO* io, int subFormat);
KFbxWriter* CreateWriterDxf(KFbxSdkManager& manager, KFbxIO* io, int subFormat);

}  // namespace fbxsdk_2006_11_1

#endif
