#include <fbxfilesdk/scene/KFbxCharacterPropertyTable.h>

#include <array>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

using Row = KFbxCharacterPropertyRow;
using enum KFbxCharacterPropertyRow::EValueType;
using enum KFbxCharacterPropertyRow::ESource;
using enum KFbxCharacterPropertyRow::ESetter;

// Columns: name, type, enum texts, parameter, source, initial, setter,
// animatable, clamp minimum, clamp maximum.
constexpr Row kRows[] = {
    {"Active", eBool, nullptr, -1, eNoParameter, 0.0, eLocal, false, 0.0, 0.0},
    {"Lock", eBool, nullptr, -1, eNoParameter, 0.0, eLocal, false, 0.0, 0.0},
    {"Weight", eDouble, nullptr, -1, eNoParameter, 0.0, eLocal, true, 0.0, 0.0},
    {"PullIterationCount", eDouble, nullptr, 0, eValue, 10.0, eClamp, false, 0.0, 30.0},
    {"Posture", eEnum, kCharacterPostureText, 1, eValue, 0.0, eEnumValue, false, 0.0, 0.0},
    {"ForceActorSpace", eBool, nullptr, 2, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"ScaleCompensation", eDouble, nullptr, 3, eValue, 100.0, eLocal, true, 0.0, 0.0},
    {"ScaleCompensationMode", eEnum, kCharacterOffAutoUserText, 3, eMode, 1.0, eEnumMode, false, 0.0, 0.0},
    {"HipsHeightCompensation", eDouble, nullptr, 4, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"HipsHeightCompensationMode", eEnum, kCharacterOffAutoUserText, 4, eMode, 1.0, eEnumMode, false, 0.0, 0.0},
    {"AnkleHeightCompensation", eDouble, nullptr, 5, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"AnkleHeightCompensationMode", eEnum, kCharacterOffAutoUserText, 5, eMode, 1.0, eEnumMode, false, 0.0, 0.0},
    {"AnkleProximityCompensation", eDouble, nullptr, 6, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"AnkleProximityCompensationMode", eEnum, kCharacterOffAutoUserText, 6, eMode, 1.0, eEnumMode, false, 0.0, 0.0},
    {"MassCenterCompensation", eDouble, nullptr, 7, eValue, 80.0, eReadOnly, true, 0.0, 0.0},
    {"ApplyLimits", eBool, nullptr, 8, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"ChestReduction", eDouble, nullptr, 9, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CollarReduction", eDouble, nullptr, 10, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"NeckReduction", eDouble, nullptr, 11, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"HeadReduction", eDouble, nullptr, 12, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLeftAnkle", eDouble, nullptr, 13, eValue, 100.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorRightAnkle", eDouble, nullptr, 14, eValue, 100.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLeftKnee", eDouble, nullptr, 15, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorRightKnee", eDouble, nullptr, 16, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorChest", eDouble, nullptr, 17, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorHead", eDouble, nullptr, 18, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLeftWrist", eDouble, nullptr, 19, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorRightWrist", eDouble, nullptr, 20, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLeftElbow", eDouble, nullptr, 21, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorRightElbow", eDouble, nullptr, 22, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLeftFingerBase", eDouble, nullptr, 23, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorRightFingerBase", eDouble, nullptr, 24, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLeftToesBase", eDouble, nullptr, 25, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorRightToesBase", eDouble, nullptr, 26, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLeftFingerBaseRotation", eDouble, nullptr, 27, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorRightFingerBaseRotation", eDouble, nullptr, 28, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLeftToesBaseRotation", eDouble, nullptr, 29, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorRightToesBaseRotation", eDouble, nullptr, 30, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLeftAnkleRotation", eDouble, nullptr, 31, eValue, 100.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorRightAnkleRotation", eDouble, nullptr, 32, eValue, 100.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorHeadRotation", eDouble, nullptr, 33, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLeftWristRotation", eDouble, nullptr, 34, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorRightWristRotation", eDouble, nullptr, 35, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorChestRotation", eDouble, nullptr, 36, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ReachActorLowerChestRotation", eDouble, nullptr, 37, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"HipsTOffset", eVector, nullptr, 38, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"ChestTOffset", eVector, nullptr, 41, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"LeftUpLegRoll", eDouble, nullptr, 67, eValue, 60.0, eLocal, true, 0.0, 0.0},
    {"LeftUpLegRollMode", eBool, nullptr, 67, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"LeftLegRoll", eDouble, nullptr, 68, eValue, 60.0, eLocal, true, 0.0, 0.0},
    {"LeftLegRollMode", eBool, nullptr, 68, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"RightUpLegRoll", eDouble, nullptr, 69, eValue, 60.0, eLocal, true, 0.0, 0.0},
    {"RightUpLegRollMode", eBool, nullptr, 69, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"RightLegRoll", eDouble, nullptr, 70, eValue, 60.0, eLocal, true, 0.0, 0.0},
    {"RightLegRollMode", eBool, nullptr, 70, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"LeftArmRoll", eDouble, nullptr, 71, eValue, 60.0, eLocal, true, 0.0, 0.0},
    {"LeftArmRollMode", eBool, nullptr, 71, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"LeftForeArmRoll", eDouble, nullptr, 72, eValue, 60.0, eLocal, true, 0.0, 0.0},
    {"LeftForeArmRollMode", eBool, nullptr, 72, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"RightArmRoll", eDouble, nullptr, 73, eValue, 60.0, eLocal, true, 0.0, 0.0},
    {"RightArmRollMode", eBool, nullptr, 73, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"RightForeArmRoll", eDouble, nullptr, 74, eValue, 60.0, eLocal, true, 0.0, 0.0},
    {"RightForeArmRollMode", eBool, nullptr, 74, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"RollExtractionMode", eEnum, kCharacterRollExtractionModeText, 66, eValue, 0.0, eEnumValue, false, 0.0, 0.0},
    {"FootFloorContact", eBool, nullptr, 44, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"FootAutomaticToes", eBool, nullptr, 52, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"FootFloorPivot", eEnum, kCharacterFootFloorPivotText, 53, eValue, 0.0, eEnumValue, false, 0.0, 0.0},
    {"FootBottomToAnkle", eDouble, nullptr, 45, eValue, 7.5, eClamp, false, 0.01, 1000.0},
    {"FootBackToAnkle", eDouble, nullptr, 46, eValue, 4.5, eClamp, false, 0.01, 1000.0},
    {"FootMiddleToAnkle", eDouble, nullptr, 47, eValue, 13.0, eClamp, false, 0.01, 1000.0},
    {"FootFrontToMiddle", eDouble, nullptr, 48, eValue, 7.0, eClamp, false, 0.01, 1000.0},
    {"FootInToAnkle", eDouble, nullptr, 49, eValue, 5.0, eClamp, false, 0.01, 1000.0},
    {"FootOutToAnkle", eDouble, nullptr, 50, eValue, 5.0, eClamp, false, 0.01, 1000.0},
    {"FootContactSize", eDouble, nullptr, 51, eValue, 100.0, eClamp, false, 0.01, 1000.0},
    {"FootContactStiffness", eDouble, nullptr, 54, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"FootFingerContactRollStiffness", eDouble, nullptr, 173, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"HandFloorContact", eBool, nullptr, 55, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"HandAutomaticFingers", eBool, nullptr, 63, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"HandFloorPivot", eEnum, kCharacterHandFloorPivotText, 64, eValue, 0.0, eEnumValue, false, 0.0, 0.0},
    {"HandBottomToWrist", eDouble, nullptr, 56, eValue, 7.5, eClamp, false, 0.01, 1000.0},
    {"HandBackToWrist", eDouble, nullptr, 57, eValue, 4.5, eClamp, false, 0.01, 1000.0},
    {"HandMiddleToWrist", eDouble, nullptr, 58, eValue, 13.0, eClamp, false, 0.01, 1000.0},
    {"HandFrontToMiddle", eDouble, nullptr, 59, eValue, 7.0, eClamp, false, 0.01, 1000.0},
    {"HandInToWrist", eDouble, nullptr, 60, eValue, 5.0, eClamp, false, 0.01, 1000.0},
    {"HandOutToWrist", eDouble, nullptr, 61, eValue, 5.0, eClamp, false, 0.01, 1000.0},
    {"HandContactSize", eDouble, nullptr, 62, eValue, 100.0, eClamp, false, 0.01, 1000.0},
    {"HandContactStiffness", eDouble, nullptr, 65, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"HandFingerContactRollStiffness", eDouble, nullptr, 169, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullLeftToeBase", eDouble, nullptr, 89, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullLeftFoot", eDouble, nullptr, 90, eValue, 100.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullLeftKnee", eDouble, nullptr, 91, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullRightToeBase", eDouble, nullptr, 92, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullRightFoot", eDouble, nullptr, 93, eValue, 100.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullRightKnee", eDouble, nullptr, 94, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullLeftFingerBase", eDouble, nullptr, 95, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullLeftHand", eDouble, nullptr, 96, eValue, 100.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullLeftElbow", eDouble, nullptr, 97, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullRightFingerBase", eDouble, nullptr, 98, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullRightHand", eDouble, nullptr, 99, eValue, 100.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullRightElbow", eDouble, nullptr, 100, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlChestPullLeftHand", eDouble, nullptr, 101, eValue, 100.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlChestPullRightHand", eDouble, nullptr, 102, eValue, 100.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlPullHead", eDouble, nullptr, 103, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistHipsPosition", eDouble, nullptr, 104, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlEnforceGravity", eDouble, nullptr, 105, eValue, 60.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistHipsOrientation", eDouble, nullptr, 106, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistChestPosition", eDouble, nullptr, 107, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistChestOrientation", eDouble, nullptr, 108, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistLeftCollar", eDouble, nullptr, 109, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistRightCollar", eDouble, nullptr, 110, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistLeftKnee", eDouble, nullptr, 111, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistMaximumExtensionLeftKnee", eDouble, nullptr, 112, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistCompressionFactorLeftKnee", eDouble, nullptr, 113, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistRightKnee", eDouble, nullptr, 114, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistMaximumExtensionRightKnee", eDouble, nullptr, 115, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistCompressionFactorRightKnee", eDouble, nullptr, 116, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistLeftElbow", eDouble, nullptr, 117, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistMaximumExtensionLeftElbow", eDouble, nullptr, 118, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistCompressionFactorLeftElbow", eDouble, nullptr, 119, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistRightElbow", eDouble, nullptr, 120, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistMaximumExtensionRightElbow", eDouble, nullptr, 121, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlResistCompressionFactorRightElbow", eDouble, nullptr, 122, eValue, 50.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlSpineStiffness", eDouble, nullptr, 123, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"CtrlNeckStiffness", eDouble, nullptr, 124, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"MirrorMode", eBool, nullptr, 125, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"ShoulderCorrection", eDouble, nullptr, 127, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"LeftKneeKillPitch", eBool, nullptr, 128, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"RightKneeKillPitch", eBool, nullptr, 129, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"LeftElbowKillPitch", eBool, nullptr, 130, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"RightElbowKillPitch", eBool, nullptr, 131, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"HipsTranslationMode", eEnum, kCharacterHipsTranslationModeText, 132, eValue, 0.0, eEnumValue, false, 0.0, 0.0},
    {"WriteReference", eBool, nullptr, 175, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"SyncMode", eBool, nullptr, 176, eMode, 1.0, eBoolMode, false, 0.0, 0.0},
    {"Damping", eDouble, nullptr, 75, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"OrientationDamping", eDouble, nullptr, 76, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"OrientationDampingMode", eEnum, kCharacterOffAutoUserText, 76, eMode, 1.0, eEnumMode, false, 0.0, 0.0},
    {"DisplacementDamping", eDouble, nullptr, 77, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"DisplacementDampingMode", eEnum, kCharacterOffAutoUserText, 77, eMode, 1.0, eEnumMode, false, 0.0, 0.0},
    {"DisplacementMemory", eDouble, nullptr, 78, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"DisplacementMemoryMode", eEnum, kCharacterAutoUserText, 78, eMode, 0.0, eEnumMode, false, 0.0, 0.0},
    {"HipsDisplacementDamping", eDouble, nullptr, 79, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"HipsDisplacementDampingMode", eEnum, kCharacterAutoUserText, 79, eMode, 0.0, eEnumMode, false, 0.0, 0.0},
    {"AnkleDisplacementDamping", eDouble, nullptr, 80, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"AnkleDisplacementDampingMode", eEnum, kCharacterAutoUserText, 80, eMode, 0.0, eEnumMode, false, 0.0, 0.0},
    {"WristDisplacementDamping", eDouble, nullptr, 81, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"WristDisplacementDampingMode", eEnum, kCharacterAutoUserText, 81, eMode, 0.0, eEnumMode, false, 0.0, 0.0},
    {"Stabilization", eDouble, nullptr, 82, eValue, 0.0, eReadOnly, true, 0.0, 0.0},
    {"AnkleStabilizationTime", eDouble, nullptr, 83, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"AnkleStabilizationTimeMode", eEnum, kCharacterAutoUserText, 83, eMode, 0.0, eEnumMode, false, 0.0, 0.0},
    {"AnkleStabilizationPerimeter", eDouble, nullptr, 84, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"AnkleStabilizationPerimeterMode", eEnum, kCharacterAutoUserText, 84, eMode, 0.0, eEnumMode, false, 0.0, 0.0},
    {"AnkleStabilizationAngularPerimeter", eDouble, nullptr, 85, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"AnkleStabilizationAngularPerimeterMode", eEnum, kCharacterOffAutoUserText, 85,
      eMode, 1.0, eEnumMode, false, 0.0, 0.0},
    {"AnkleStabilizationFloorProximity", eDouble, nullptr, 86, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"AnkleStabilizationFloorProximityMode", eEnum, kCharacterOffAutoUserText, 86,
      eMode, 1.0, eEnumMode, false, 0.0, 0.0},
    {"AnkleStabilizationDamping", eDouble, nullptr, 87, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"AnkleStabilizationDampingMode", eEnum, kCharacterOffAutoUserText, 87, eMode, 0.0, eEnumMode, false, 0.0, 0.0},
    {"AnkleStabilizationRecoveryTime", eDouble, nullptr, 88, eValue, 0.0, eLocal, true, 0.0, 0.0},
    {"AnkleStabilizationRecoveryTimeMode", eEnum, kCharacterOffAutoUserText, 88,
      eMode, 1.0, eEnumMode, false, 0.0, 0.0},
    {"LeftHandThumbTip", eDouble, nullptr, 141, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftHandIndexTip", eDouble, nullptr, 142, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftHandMiddleTip", eDouble, nullptr, 143, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftHandRingTip", eDouble, nullptr, 144, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftHandPinkyTip", eDouble, nullptr, 145, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftHandExtraFingerTip", eDouble, nullptr, 146, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightHandThumbTip", eDouble, nullptr, 147, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightHandIndexTip", eDouble, nullptr, 148, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightHandMiddleTip", eDouble, nullptr, 149, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightHandRingTip", eDouble, nullptr, 150, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightHandPinkyTip", eDouble, nullptr, 151, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightHandExtraFingerTip", eDouble, nullptr, 152, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftFootThumbTip", eDouble, nullptr, 153, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftFootIndexTip", eDouble, nullptr, 154, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftFootMiddleTip", eDouble, nullptr, 155, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftFootRingTip", eDouble, nullptr, 156, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftFootPinkyTip", eDouble, nullptr, 157, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"LeftFootExtraFingerTip", eDouble, nullptr, 158, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightFootThumbTip", eDouble, nullptr, 159, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightFootIndexTip", eDouble, nullptr, 160, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightFootMiddleTip", eDouble, nullptr, 161, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightFootRingTip", eDouble, nullptr, 162, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightFootPinkyTip", eDouble, nullptr, 163, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"RightFootExtraFingerTip", eDouble, nullptr, 164, eValue, 0.5, eClamp, false, 0.01, 1000.0},
    {"FingerSolving", eBool, nullptr, 165, eMode, 1.0, eBoolMode, false, 0.0, 0.0},
    {"FootFingerContact", eBool, nullptr, 171, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"FootContactType", eEnum, kCharacterFootFloorContactTypeText, 170, eValue, 0.0, eEnumValue, false, 0.0, 0.0},
    {"FootFingerContactMode", eEnum, kCharacterFingerContactModeText, 172, eValue, 1.0, eEnumValue, false, 0.0, 0.0},
    {"HandFingerContact", eBool, nullptr, 167, eMode, 0.0, eBoolMode, false, 0.0, 0.0},
    {"HandContactType", eEnum, kCharacterHandFloorContactTypeText, 166, eValue, 0.0, eEnumValue, false, 0.0, 0.0},
    {"HandFingerContactMode", eEnum, kCharacterFingerContactModeText, 168, eValue, 1.0, eEnumValue, false, 0.0, 0.0},
    {"ContactBehaviour", eEnum, kCharacterContactBehaviourText, 174, eValue, 0.0, eEnumValue, false, 0.0, 0.0},
};
static_assert(sizeof(kRows) / sizeof(kRows[0]) == kCharacterPropertyCount);

// Ranges of parameters that no clamp setter bounds; property ranges default to the same.
constexpr float kDefaultMin = 0.0f;
constexpr float kDefaultMax = 100.0f;

std::array<KFbxCharacterParameterRow, kCharacterParameterCount> BuildParameters() {
    std::array<KFbxCharacterParameterRow, kCharacterParameterCount> parameters{};
    for (auto& parameter : parameters) {
        parameter = KFbxCharacterParameterRow{0, 0, 0.0, kDefaultMin, kDefaultMax, ""};
    }
    for (const Row& row : kRows) {
        if (row.mSource == eNoParameter) {
            continue;
        }
        const int width = row.mType == eVector ? 3 : 1;
        for (int component = 0; component < width; ++component) {
            KFbxCharacterParameterRow& parameter = parameters[static_cast<std::size_t>(row.mParameter + component)];
            if (row.mSource == eMode) {
                // Three-way modes come from the Off/Auto/User properties; every
                // other mode is a switch.
                parameter.mModeType = row.mEnumText == &kCharacterOffAutoUserText ? 2 : 1;
                parameter.mMode = static_cast<int>(row.mInitial);
                if (parameter.mName[0] == '\0') {
                    parameter.mName = row.mName;
                }
                continue;
            }
            parameter.mValue = row.mInitial;
            parameter.mName = row.mName;
            if (row.mSetter == eClamp) {
                parameter.mMin = static_cast<float>(row.mMin);
                parameter.mMax = static_cast<float>(row.mMax);
            }
        }
    }
    return parameters;
}

const std::array<KFbxCharacterParameterRow, kCharacterParameterCount>& Parameters() {
    static const std::array<KFbxCharacterParameterRow, kCharacterParameterCount> parameters = BuildParameters();
    return parameters;
}

}  // namespace

const KFbxCharacterPropertyRow* KFbxGetCharacterPropertyRow(int row) {
    return row >= 0 && row < kCharacterPropertyCount ? &kRows[row] : nullptr;
}

const KFbxCharacterPropertyRow* KFbxFindCharacterPropertyRow(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (const Row& row : kRows) {
        if (std::strcmp(row.mName, name) == 0) {
            return &row;
        }
    }
    return nullptr;
}

const KFbxCharacterParameterRow* KFbxGetCharacterParameterRow(int index) {
    return index >= 0 && index < kCharacterParameterCount ? &Parameters()[static_cast<std::size_t>(index)] : nullptr;
}

}  // namespace fbxsdk_2006_11_1
