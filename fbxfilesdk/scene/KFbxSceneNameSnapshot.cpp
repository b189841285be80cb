#include <fbxfilesdk/scene/KFbxSceneNameSnapshot.h>

#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstring>
#include <unordered_map>

namespace fbxsdk_2006_11_1 {

void KFbxSceneNameSnapshot::Remember(KFbxScene& scene) {
    mNames.clear();
    for (int i = 0; i < scene.GetSrcObjectCount(KFbxObject::ClassId); ++i) {
        if (KFbxObject* object = scene.GetSrcObject(KFbxObject::ClassId, i)) {
            mNames.push_back({object, object->GetClassId(), KString(object->GetName())});
        }
    }
}

void KFbxSceneNameSnapshot::Restore(KFbxScene& scene) {
    // Objects are found by address among those the scene still holds.
    std::unordered_map<const KFbxObject*, const SavedName*> saved;
    for (const SavedName& entry : mNames) {
        saved.emplace(entry.mObject, &entry);
    }
    for (int i = 0; i < scene.GetSrcObjectCount(KFbxObject::ClassId); ++i) {
        KFbxObject* object = scene.GetSrcObject(KFbxObject::ClassId, i);
        auto found = saved.find(object);
        if (found != saved.end() && object->GetClassId() == found->second->mClassId &&
            std::strcmp(object->GetName(), found->second->mName.Buffer()) != 0) {
            object->SetName(found->second->mName.Buffer());
        }
    }
    mNames.clear();
}

}  // namespace fbxsdk_2006_11_1
