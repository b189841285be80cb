// The names of a scene's objects at one moment, so that a writer that has
// to rename them for its file can give the caller's names back afterwards.
#ifndef FBXFILESDK_SCENE_KFBXSCENENAMESNAPSHOT_H
#define FBXFILESDK_SCENE_KFBXSCENENAMESNAPSHOT_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KString.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxScene;

class KFbxSceneNameSnapshot {
public:
    // Remembers the name of every object the scene holds, replacing what
    // was remembered before.
    void Remember(KFbxScene& scene);
    // Gives the remembered names back to the objects the scene still holds
    // and forgets them. Objects made or destroyed in between are left alone.
    void Restore(KFbxScene& scene);
    bool IsEmpty() const { return mNames.empty(); }

private:
    // An object with its class, which tells it apart from a new object made
    // at the address of a destroyed one.
    struct SavedName {
        KFbxObject* mObject;
        KFbxClassId mClassId;
        KString mName;
    };
    std::vector<SavedName> mNames;
};

}  // namespace fbxsdk_2006_11_1

#endif
