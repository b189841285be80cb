#include <fbxfilesdk/scene/KFbxCharacterEnums.h>

#include <cstddef>

namespace fbxsdk_2006_11_1 {

namespace {

template <std::size_t N>
const char* TextOf(const char* const (&texts)[N], int value) {
    return value >= 0 && static_cast<std::size_t>(value) < N ? texts[value] : nullptr;
}

constexpr const char* kPosture[] = {"Biped", "Quadruped"};
constexpr const char* kOffAutoUser[] = {"Off", "Auto", "User"};
constexpr const char* kRollExtraction[] = {"Relative", "Absolute"};
constexpr const char* kFootFloorPivot[] = {"Auto", "Ankle", "Toes"};
constexpr const char* kHandFloorPivot[] = {"Auto", "Wrist", "Fingers"};
constexpr const char* kFootContactType[] = {"Normal", "Ankle", "ToeBase", "Hoof"};
constexpr const char* kHandContactType[] = {"Normal", "Wrist", "FingerBase", "Hoof"};
constexpr const char* kFingerContactMode[] = {"Sticky", "Spread", "Sticky & Spread"};
constexpr const char* kHipsTranslationMode[] = {"World Rigid", "Body Rigid"};
constexpr const char* kAutoUser[] = {"Auto", "User"};
constexpr const char* kContactBehaviour[] = {"Never Sync", "Sync On Key", "Always Sync"};

}  // namespace

const char* kCharacterPostureText(int value) { return TextOf(kPosture, value); }
const char* kCharacterOffAutoUserText(int value) { return TextOf(kOffAutoUser, value); }
const char* kCharacterRollExtractionModeText(int value) { return TextOf(kRollExtraction, value); }
const char* kCharacterFootFloorPivotText(int value) { return TextOf(kFootFloorPivot, value); }
const char* kCharacterHandFloorPivotText(int value) { return TextOf(kHandFloorPivot, value); }
const char* kCharacterFootFloorContactTypeText(int value) { return TextOf(kFootContactType, value); }
const char* kCharacterHandFloorContactTypeText(int value) { return TextOf(kHandContactType, value); }
const char* kCharacterFingerContactModeText(int value) { return TextOf(kFingerContactMode, value); }
const char* kCharacterHipsTranslationModeText(int value) { return TextOf(kHipsTranslationMode, value); }
const char* kCharacterAutoUserText(int value) { return TextOf(kAutoUser, value); }
const char* kCharacterContactBehaviourText(int value) { return TextOf(kContactBehaviour, value); }

}  // namespace fbxsdk_2006_11_1
