// The Wavefront OBJ file formats of the formats library, installed in the
// file format registry: what a program that reads or writes OBJ files calls
// once.
#ifndef FBXFILESDK_FORMATS_KFBXFORMATSOBJ_H
#define FBXFILESDK_FORMATS_KFBXFORMATSOBJ_H

namespace fbxsdk_2006_11_1 {

class KFbxIO;
class KFbxReader;
class KFbxSdkManager;
class KFbxWriter;

// Installs the create functions of the OBJ reader (reader 3) and writer
// (writer 7); calling it again changes nothing.
void KFbxRegisterObjFormats();

// The registry's create function of the OBJ reader.
KFbxReader* CreateReaderObj(KFbxSdkManager& manager, KFbxIO* io, int subFormat);
// The registry's create function of the OBJ writer.
KFbxWriter* CreateWriterObj(KFbxSdkManager& manager, KFbxIO* io, int subFormat);

}  // namespace fbxsdk_2006_11_1

#endif
