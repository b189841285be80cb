// The internal twin of a character: it holds the character's object lists
// (its input, its output, the actor, the character and the control set plug
// that drive it) and reaches the character's filter set through its owner.
// The solving parameters are the character's own typed properties, bound to
// this twin.
#ifndef FBXFILESDK_SCENE_KFBXCHARACTER_INTERNAL_H
#define FBXFILESDK_SCENE_KFBXCHARACTER_INTERNAL_H

#include <fbxfilesdk/core/KPropertyList.h>
#include <fbxfilesdk/scene/KFbxConstraint_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxCharacter;

class KFbxCharacter_Internal : public KFbxConstraint_internal {
public:
    explicit KFbxCharacter_Internal(KFbxCharacter* character);
    ~KFbxCharacter_Internal() override;

    const KPlugClassInfo* GetClassInfo() const override;

    KFbxCharacter* GetCharacter() const { return mCharacter; }

private:
    KFbxCharacter* mCharacter;
    KPropertyObjectList mSourceObject;
    KPropertyObjectList mDestinationObject;
    KPropertyObjectList mActor;
    KPropertyObjectList mCharacterInput;
    KPropertyObjectList mControlSet;
};

}  // namespace fbxsdk_2006_11_1

#endif
