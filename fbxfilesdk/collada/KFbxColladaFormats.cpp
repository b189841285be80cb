#include <fbxfilesdk/collada/KFbxColladaFormats.h>

#include <fbxfilesdk/collada/KFbxReaderCollada.h>
#include <fbxfilesdk/collada/KFbxWriterCollada.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kExtensions[] = {"dae", nullptr};
const char* const kDescriptions[] = {"Collada DAE (*.dae)", nullptr};

}  // namespace

void KFbxRegisterColladaFormats() {
    KFbxFileFormatRegistry::Get().SetReaderCreateFn(KFbxFileFormatRegistry::eCOLLADA_READER, &CreateColladaReader);
    KFbxFileFormatRegistry::Get().SetWriterCreateFn(KFbxFileFormatRegistry::eCOLLADA_WRITER, &CreateColladaWriter);
}

const char* const* GetColladaFormatInfo(int kind) {
    return kind == 0 ? kExtensions : kind == 1 ? kDescriptions : nullptr;
}

const char* const* GetColladaReaderFormatInfo(int kind) { return GetColladaFormatInfo(kind); }

}  // namespace fbxsdk_2006_11_1
