// The properties every node has, in the order they are made, with their data
// types and default values.
#ifndef FBXFILESDK_SCENE_KFBXNODEPROPERTIES_H
#define FBXFILESDK_SCENE_KFBXNODEPROPERTIES_H

namespace fbxsdk_2006_11_1 {

class KFbxDataType;

enum ENodeProperty {
    eQuaternionInterpolate,
    eVisibility,
    eLclTranslation,
    eLclRotation,
    eLclScaling,
    eRotationOffset,
    eRotationPivot,
    eScalingOffset,
    eScalingPivot,
    eTranslationActive,
    eTranslationMin,
    eTranslationMax,
    eTranslationMinX,
    eTranslationMinY,
    eTranslationMinZ,
    eTranslationMaxX,
    eTranslationMaxY,
    eTranslationMaxZ,
    eRotationOrder,
    eRotationSpaceForLimitOnly,
    eAxisLen,
    ePreRotation,
    ePostRotation,
    eRotationActive,
    eRotationMin,
    eRotationMax,
    eRotationMinX,
    eRotationMinY,
    eRotationMinZ,
    eRotationMaxX,
    eRotationMaxY,
    eRotationMaxZ,
    eRotationStiffnessX,
    eRotationStiffnessY,
    eRotationStiffnessZ,
    eMinDampRangeX,
    eMinDampRangeY,
    eMinDampRangeZ,
    eMaxDampRangeX,
    eMaxDampRangeY,
    eMaxDampRangeZ,
    eMinDampStrengthX,
    eMinDampStrengthY,
    eMinDampStrengthZ,
    eMaxDampStrengthX,
    eMaxDampStrengthY,
    eMaxDampStrengthZ,
    ePreferedAngleX,
    ePreferedAngleY,
    ePreferedAngleZ,
    eInheritType,
    eScalingActive,
    eScalingMin,
    eScalingMax,
    eScalingMinX,
    eScalingMinY,
    eScalingMinZ,
    eScalingMaxX,
    eScalingMaxY,
    eScalingMaxZ,
    eGeometricTranslation,
    eGeometricRotation,
    eGeometricScaling,
    eLookAtProperty,
    eUpVectorProperty,
    eShow,
    eNegativePercentShapeSupport,
    eDefaultAttributeIndex,
    eNodePropertyCount
};

struct KFbxNodePropertyInfo {
    const char* mName;
    // One of the process-wide data type handles.
    const KFbxDataType* mDataType;
    bool mAnimatable;
    // The first component for scalars, all three for vectors.
    double mDefault[3];
};

const KFbxNodePropertyInfo& KFbxGetNodePropertyInfo(ENodeProperty which);

}  // namespace fbxsdk_2006_11_1

#endif
