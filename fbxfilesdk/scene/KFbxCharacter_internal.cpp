#include <fbxfilesdk/scene/KFbxCharacter_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>

namespace fbxsdk_2006_11_1 {

KFbxCharacter_Internal::KFbxCharacter_Internal(KFbxCharacter* character)
    : KFbxConstraint_internal(character), mCharacter(character) {
    // The output reads its destinations; every input list reads its sources.
    RegisterObjectList(mSourceObject, "SourceObject", "SourceObject", kNoLimit, false);
    RegisterObjectList(mDestinationObject, "DestinationObject", "DestinationObject", kNoLimit, true);
    RegisterObjectList(mActor, "Actor", "Actor", kNoLimit, false);
    RegisterObjectList(mCharacterInput, "Character", "Character", kNoLimit, false);
    RegisterObjectList(mControlSet, "ControlSet", "ControlSet", kNoLimit, false);
}

KFbxCharacter_Internal::~KFbxCharacter_Internal() { EndBeforeMembers(); }

const KPlugClassInfo* KFbxCharacter_Internal::GetClassInfo() const { return &gKFbxCharacter_InternalClassInfo; }

}  // namespace fbxsdk_2006_11_1
