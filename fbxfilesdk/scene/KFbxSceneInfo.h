// A document's descriptive data: six texts and a preview image. The
// thumbnail is an object of the manager in its own right: the scene
// information points at it and never destroys it.
#ifndef FBXFILESDK_SCENE_KFBXSCENEINFO_H
#define FBXFILESDK_SCENE_KFBXSCENEINFO_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxThumbnail;

class KFbxSceneInfo : public KFbxObject {
public:
    // The class id of KFbxSceneInfo; null until the class is registered.
    static KFbxClassId ClassId;

    // Empty texts, no thumbnail.
    KFbxSceneInfo(KFbxSdkManager* manager, const char* name);

    static KFbxSceneInfo* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;

    // The texts and the thumbnail pointer; the name stays.
    KFbxSceneInfo& operator=(const KFbxSceneInfo& other);

    KFbxThumbnail* GetSceneThumbnail() const { return mSceneThumbnail; }
    void SetSceneThumbnail(KFbxThumbnail* thumbnail) { mSceneThumbnail = thumbnail; }
    // Empty texts; the thumbnail is dropped, not destroyed.
    void Clear();

    KString mTitle;
    KString mSubject;
    KString mAuthor;
    KString mKeywords;
    KString mRevision;
    KString mComment;

private:
    KFbxThumbnail* mSceneThumbnail = nullptr;
};

}  // namespace fbxsdk_2006_11_1

#endif
