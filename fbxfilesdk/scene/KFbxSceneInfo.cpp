#include <fbxfilesdk/scene/KFbxSceneInfo.h>

#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {


KFbxSceneInfo::KFbxSceneInfo(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) {}

KFbxSceneInfo* KFbxSceneInfo::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxSceneInfo>(manager, ClassId, name);
}

KFbxPlug* KFbxSceneInfo::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxSceneInfo>(manager, name);
}

KFbxClassId KFbxSceneInfo::GetClassId() const { return ClassId; }

KFbxSceneInfo& KFbxSceneInfo::operator=(const KFbxSceneInfo& other) {
    if (this != &other) {
        mTitle = other.mTitle;
        mSubject = other.mSubject;
        mAuthor = other.mAuthor;
        mKeywords = other.mKeywords;
        mRevision = other.mRevision;
        mComment = other.mComment;
        mSceneThumbnail = other.mSceneThumbnail;
    }
    return *this;
}

void KFbxSceneInfo::Clear() {
    mTitle = "";
    mSubject = "";
    mAuthor = "";
    mKeywords = "";
    mRevision = "";
    mComment = "";
    mSceneThumbnail = nullptr;
}

}  // namespace fbxsdk_2006_11_1
