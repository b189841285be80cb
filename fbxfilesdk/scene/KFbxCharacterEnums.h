// The enumerated solving parameters of a character, and the texts that name
// their values wherever a value is shown or stored as text.
#ifndef FBXFILESDK_SCENE_KFBXCHARACTERENUMS_H
#define FBXFILESDK_SCENE_KFBXCHARACTERENUMS_H

namespace fbxsdk_2006_11_1 {

enum kCharacterPosture { eCharacterBiped = 0, eCharacterQuadruped = 1 };
enum kCharacterOffAutoUser { eCharacterOff = 0, eCharacterAuto = 1, eCharacterUser = 2 };
enum kCharacterAutoUser { eCharacterAutoUserAuto = 0, eCharacterAutoUserUser = 1 };
enum kCharacterRollExtractionMode { eCharacterRelativeRollExtraction = 0, eCharacterAbsoluteRollExtraction = 1 };
// Foot and hand properties share the values; only their texts differ.
enum kCharacterFloorPivot { eCharacterAutomaticPivot = 0, eCharacterAnklePivot = 1, eCharacterToesPivot = 2 };
enum kCharacterFloorContactType {
    eCharacterNormalContact = 0,
    eCharacterAnkleContact = 1,
    eCharacterToeBaseContact = 2,
    eCharacterHoofContact = 3
};
enum kCharacterFingerContactMode { eCharacterSticky = 0, eCharacterSpread = 1, eCharacterStickySpread = 2 };
enum kCharacterHipsTranslationMode { eCharacterWorldRigid = 0, eCharacterBodyRigid = 1 };
enum kCharacterContactBehaviour { eCharacterNeverSync = 0, eCharacterSyncOnKey = 1, eCharacterAlwaysSync = 2 };

// The text of a value; null for any value the enumeration does not have.
using KFbxCharacterEnumText = const char* (*)(int value);

const char* kCharacterPostureText(int value);
const char* kCharacterOffAutoUserText(int value);
const char* kCharacterRollExtractionModeText(int value);
const char* kCharacterFootFloorPivotText(int value);
const char* kCharacterHandFloorPivotText(int value);
const char* kCharacterFootFloorContactTypeText(int value);
const char* kCharacterHandFloorContactTypeText(int value);
const char* kCharacterFingerContactModeText(int value);
const char* kCharacterHipsTranslationModeText(int value);
const char* kCharacterAutoUserText(int value);
const char* kCharacterContactBehaviourText(int value);

}  // namespace fbxsdk_2006_11_1

#endif
