#include <fbxfilesdk/fbx/KFbxFileHeaderInfo.h>

namespace fbxsdk_2006_11_1 {

KFbxFileHeaderInfo::KFbxFileHeaderInfo() { Reset(); }

void KFbxFileHeaderInfo::Reset() {
    mFileVersion = kDefaultFileVersion;
    mCreationTimeStampPresent = false;
    mCreationTimeStamp.Clear();
    mResolutionPresent = false;
    mResolutionWidth = 0.0;
    mResolutionHeight = 0.0;
    mCreator = "";
}

}  // namespace fbxsdk_2006_11_1
