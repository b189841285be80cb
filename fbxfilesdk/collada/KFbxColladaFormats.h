// The COLLADA formats of the file format registry: reader 4 (and writer 8),
// extension "dae", described as "Collada DAE (*.dae)".
#ifndef FBXFILESDK_COLLADA_KFBXCOLLADAFORMATS_H
#define FBXFILESDK_COLLADA_KFBXCOLLADAFORMATS_H

namespace fbxsdk_2006_11_1 {

// Installs the COLLADA create functions into KFbxFileFormatRegistry::Get().
void KFbxRegisterColladaFormats();

// What the formats announce: kind 0 the extensions, kind 1 the
// descriptions, each list ending with null; null for any other kind.
const char* const* GetColladaFormatInfo(int kind);
const char* const* GetColladaReaderFormatInfo(int kind);

}  // namespace fbxsdk_2006_11_1

#endif
