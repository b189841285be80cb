#include <fbxfilesdk/formats/KFbxToolkitFile3DS.h>

namespace fbxsdk_2006_11_1 {

bool KFbxToolkitFile3DS::Open(const char* fileName, const char* mode) {
    const ToolkitScope3ds scope(mContext);
    mOwns = FindFileByName3ds(fileName) == nullptr;
    mFile = OpenFile3ds(fileName, mode);
    if (mFile == nullptr) {
        mOwns = false;
        return false;
    }
    return true;
}

bool KFbxToolkitFile3DS::Attach(std::FILE* stream) {
    Close();
    const ToolkitScope3ds scope(mContext);
    mFile = AttachFile3ds(stream);
    mOwns = mFile != nullptr;
    return mOwns;
}

void KFbxToolkitFile3DS::Close() {
    if (mFile != nullptr && mOwns) {
        const ToolkitScope3ds scope(mContext);
        CloseFile3ds(mFile);
    }
    mFile = nullptr;
    mOwns = false;
}

const char* KFbxToolkitFile3DS::LastErrorText() { return ErrorCodeToString3ds(ErrList3ds[0].errorid); }

}  // namespace fbxsdk_2006_11_1
