// What the header of a field file tells about the file: its version, when it
// was made and by what, and the current camera's resolution.
#ifndef FBXFILESDK_FBX_KFBXFILEHEADERINFO_H
#define FBXFILESDK_FBX_KFBXFILEHEADERINFO_H

#include <fbxfilesdk/core/KFbxDateTime.h>
#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxFileHeaderInfo {
public:
    // The version files get when the caller names none.
    static constexpr int kDefaultFileVersion = 6100;

    KFbxFileHeaderInfo();
    void Reset();

    int mFileVersion;
    bool mCreationTimeStampPresent;
    KFbxDateTime mCreationTimeStamp;
    bool mResolutionPresent;
    double mResolutionWidth;
    double mResolutionHeight;
    KString mCreator;
};

}  // namespace fbxsdk_2006_11_1

#endif
