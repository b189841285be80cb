#include <fbxfilesdk/fbx/KFbxFbx6CharacterBlocks.h>

#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterLinkTable.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

const KFbxFbx6CharacterBlock kFbx6CharacterBlocks[kFbx6CharacterBlockCount] = {
    {"REFERENCE", true, eCharacterReference},
    {"LEFT_FLOOR", true, 68},
    {"RIGHT_FLOOR", true, 69},
    {"LEFT_HANDFLOOR", true, 88},
    {"RIGHT_HANDFLOOR", true, 89},
    {"BASE", false, eCharacterGroup_Base},
    {"AUXILIARY", false, eCharacterGroup_Auxiliary},
    {"SPINE", false, eCharacterGroup_Spine},
    {"NECK", false, eCharacterGroup_Neck},
    {"ROLL", false, eCharacterGroup_Roll},
    {"SPECIAL", false, eCharacterGroup_Special},
    {"LEFTHAND", false, eCharacterGroup_LeftHand},
    {"RIGHTHAND", false, eCharacterGroup_RightHand},
    {"LEFTFOOT", false, eCharacterGroup_LeftFoot},
    {"RIGHTFOOT", false, eCharacterGroup_RightFoot},
    {"PROPS", false, eCharacterGroup_Props},
};

int KFbxCharacterGroupLinkId(int group, const char* name) {
    for (int i = 0; name != nullptr && i < KFbxCharacter::GetCharacterGroupCount(group); ++i) {
        const char* entry = KFbxCharacter::GetCharacterGroupNameByIndex(group, i);
        if (entry != nullptr && std::strcmp(entry, name) == 0) {
            return KFbxCharacter::GetCharacterGroupElementByIndex(group, i);
        }
    }
    return -1;
}

}  // namespace fbxsdk_2006_11_1
