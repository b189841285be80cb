#include <fbxfilesdk/fbx/KFbxFieldTextWriter.h>

#include <fbxfilesdk/fbx/KFbx.h>

namespace fbxsdk_2006_11_1 {

void KFbxFieldTextWriter::WriteStringField(KFbx* file, const char* name, const char* text) {
    // One helper for both names of this call: the field file's own does the work.
    if (file != nullptr) file->WriteStringField(name, text);
}

}  // namespace fbxsdk_2006_11_1
