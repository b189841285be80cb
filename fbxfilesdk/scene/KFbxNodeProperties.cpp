#include <fbxfilesdk/scene/KFbxNodeProperties.h>

#include <fbxfilesdk/core/KFbxDataType.h>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr bool kAnimated = true;
constexpr bool kStill = false;

const KFbxNodePropertyInfo kInfos[eNodePropertyCount] = {
    {"QuaternionInterpolate", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"Visibility", &gKFbxDataTypeVisibility, kAnimated, {1.0, 0.0, 0.0}},
    {"Lcl Translation", &gKFbxDataTypeLclTranslation, kAnimated, {0.0, 0.0, 0.0}},
    {"Lcl Rotation", &gKFbxDataTypeLclRotation, kAnimated, {0.0, 0.0, 0.0}},
    {"Lcl Scaling", &gKFbxDataTypeLclScaling, kAnimated, {1.0, 1.0, 1.0}},
    {"RotationOffset", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"RotationPivot", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"ScalingOffset", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"ScalingPivot", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"TranslationActive", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"TranslationMin", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"TranslationMax", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"TranslationMinX", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"TranslationMinY", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"TranslationMinZ", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"TranslationMaxX", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"TranslationMaxY", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"TranslationMaxZ", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"RotationOrder", &gKFbxDataTypeEnum, kStill, {0.0, 0.0, 0.0}},
    {"RotationSpaceForLimitOnly", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"AxisLen", &gKFbxDataTypeNumber, kStill, {10.0, 0.0, 0.0}},
    {"PreRotation", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"PostRotation", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"RotationActive", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"RotationMin", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"RotationMax", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"RotationMinX", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"RotationMinY", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"RotationMinZ", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"RotationMaxX", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"RotationMaxY", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"RotationMaxZ", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"RotationStiffnessX", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"RotationStiffnessY", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"RotationStiffnessZ", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MinDampRangeX", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MinDampRangeY", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MinDampRangeZ", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MaxDampRangeX", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MaxDampRangeY", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MaxDampRangeZ", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MinDampStrengthX", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MinDampStrengthY", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MinDampStrengthZ", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MaxDampStrengthX", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MaxDampStrengthY", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"MaxDampStrengthZ", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"PreferedAngleX", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"PreferedAngleY", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"PreferedAngleZ", &gKFbxDataTypeNumber, kStill, {0.0, 0.0, 0.0}},
    {"InheritType", &gKFbxDataTypeEnum, kStill, {0.0, 0.0, 0.0}},
    {"ScalingActive", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"ScalingMin", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"ScalingMax", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"ScalingMinX", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"ScalingMinY", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"ScalingMinZ", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"ScalingMaxX", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"ScalingMaxY", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"ScalingMaxZ", &gKFbxDataTypeBool, kStill, {0.0, 0.0, 0.0}},
    {"GeometricTranslation", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"GeometricRotation", &gKFbxDataTypeVector, kStill, {0.0, 0.0, 0.0}},
    {"GeometricScaling", &gKFbxDataTypeVector, kStill, {1.0, 1.0, 1.0}},
    {"LookAtProperty", &gKFbxDataTypeObject, kStill, {0.0, 0.0, 0.0}},
    {"UpVectorProperty", &gKFbxDataTypeObject, kStill, {0.0, 0.0, 0.0}},
    {"Show", &gKFbxDataTypeBool, kStill, {1.0, 0.0, 0.0}},
    {"NegativePercentShapeSupport", &gKFbxDataTypeBool, kStill, {1.0, 0.0, 0.0}},
    {"DefaultAttributeIndex", &gKFbxDataTypeInteger, kStill, {-1.0, 0.0, 0.0}},
};

}  // namespace

const KFbxNodePropertyInfo& KFbxGetNodePropertyInfo(ENodeProperty which) { return kInfos[which]; }

}  // namespace fbxsdk_2006_11_1
