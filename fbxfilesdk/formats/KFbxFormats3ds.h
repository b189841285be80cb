// The 3DS file formats of the formats library, installed in the file format
// registry: what a program that reads or writes 3DS files calls once.
#ifndef FBXFILESDK_FORMATS_KFBXFORMATS3DS_H
#define FBXFILESDK_FORMATS_KFBXFORMATS3DS_H

namespace fbxsdk_2006_11_1 {

class KFbxIO;
class KFbxReader;
class KFbxSdkManager;

// Installs the create function of the 3DS reader (reader 2); calling it again
// changes nothing.
void KFbxRegister3dsFormats();

// The registry's create function of the 3DS reader.
KFbxReader* CreateReader3DS(KFbxSdkManager& manager, KFbxIO* io, int subFormat);

}  // namespace fbxsdk_2006_11_1

#endif
