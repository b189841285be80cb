// What a scene knows of one take besides its curves: the names it goes by,
// whether it is selected, its local and reference time spans, the offset
// it was imported with and its preview image. Records copy field by field;
// the preview is an object of the manager that records only point at, so
// copies share it and none destroys it.
#ifndef FBXFILESDK_SCENE_KFBXTAKEINFO_H
#define FBXFILESDK_SCENE_KFBXTAKEINFO_H

#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/scene/KTimeSpan.h>

namespace fbxsdk_2006_11_1 {

class KFbxThumbnail;

class KFbxTakeInfo {
public:
    enum EImportOffsetType { eABSOLUTE = 0, eRELATIVE = 1 };

    // Selected, empty names, zero spans and offset, relative offset, no
    // thumbnail.
    KFbxTakeInfo() = default;
    KFbxTakeInfo(const KFbxTakeInfo& other) = default;
    KFbxTakeInfo& operator=(const KFbxTakeInfo& other) = default;
    ~KFbxTakeInfo() = default;

    void SetImportOffsetType(EImportOffsetType type) { mImportOffsetType = type; }

    // The take's name, by which the scene finds the record.
    KString mName;
    KString mDescription;
    KString mImportName;
    bool mSelect = true;
    KTimeSpan mLocalTimeSpan;
    KTimeSpan mReferenceTimeSpan;
    KTime mImportOffset;
    EImportOffsetType mImportOffsetType = eRELATIVE;
    KFbxThumbnail* mTakeThumbnail = nullptr;
};

}  // namespace fbxsdk_2006_11_1

#endif
