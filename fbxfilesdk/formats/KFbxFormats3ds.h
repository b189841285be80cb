// The 3DS file formats of the formats library, installed in the file format
// registry: what a program that reads or writes 3DS files calls once.
#ifndef FBXFILESDK_FORMATS_KFBXFORMATS3DS_H
#define FBXFILESDK_FORMATS_KFBXFORMATS3DS_H

namespace fbxsdk_2006_11_1 {

class KFbxIO;
class KFbxReader;
class KFbxSdkManager;
class KFbxWriter;

// Installs the create functions of the 3DS reader (reader 2) and writer
// (writer 6); calling it again changes nothing.
void KFbxRegister3dsFormats();

// The registry's create function of the 3DS reader.
KFbxReader* CreateReader3DS(KFbxSdkManager& manager, KFbxIO* io, int subFormat);
// The registry's create function of the 3DS writer.
KFbxWriter* CreateWriter3DS(KFbxSdkManager& manager, KFbxIO* io, int subFormat);

}  // namespace fbxsdk_2006_11_1

#endif
