// The records of the SDK's internal plug classes and their registration. Type
// ids are handed out in one fixed order by RegisterInternalPlugClasses, run
// once on the first use of the class registry; other code relies on the ids
// (3 for KFbxProperty_internal up to 67 for KFCurveFilterKeyReducer), so the
// order below must not change and new classes go at its end.
//
// Records and id slots are constant-initialised and may be referred to from
// any static initialiser. Read a class's id through its record's GetId(),
// which registers the classes first; a slot read directly before that holds 0.
#ifndef FBXFILESDK_CORE_KPLUGCLASSTABLE_H
#define FBXFILESDK_CORE_KPLUGCLASSTABLE_H

namespace fbxsdk_2006_11_1 {

class KPlugClassInfo;
class KPlugClassRegistry;

// Records with fixed entries, not counted: "None" (-1), KObject (1), KPlug (2).
extern int gNoneTypeId;
extern KPlugClassInfo gNoneClassInfo;
extern int gKObjectTypeId;
extern KPlugClassInfo gKObjectClassInfo;
extern int gKPlugTypeId;
extern KPlugClassInfo gKPlugClassInfo;

// Counted records, in registration order (ids 3 to 67).
extern int gKFbxProperty_internalTypeId;
extern KPlugClassInfo gKFbxProperty_internalClassInfo;
extern int gKFbxScene_internalTypeId;
extern KPlugClassInfo gKFbxScene_internalClassInfo;
extern int gKFbxNode_internalTypeId;
extern KPlugClassInfo gKFbxNode_internalClassInfo;
extern int gKFbxMesh_internalTypeId;
extern KPlugClassInfo gKFbxMesh_internalClassInfo;
extern int gKFbxTexture_internalTypeId;
extern KPlugClassInfo gKFbxTexture_internalClassInfo;
extern int gKFbxCluster_internalTypeId;
extern KPlugClassInfo gKFbxCluster_internalClassInfo;
extern int gKFbxSkin_internalTypeId;
extern KPlugClassInfo gKFbxSkin_internalClassInfo;
extern int gKFbxGeometry_internalTypeId;
extern KPlugClassInfo gKFbxGeometry_internalClassInfo;
extern int gKFbxNodeAttribute_internalTypeId;
extern KPlugClassInfo gKFbxNodeAttribute_internalClassInfo;
extern int gKFbxCache_internalTypeId;
extern KPlugClassInfo gKFbxCache_internalClassInfo;
extern int gKFbxVertexCacheDeformer_internalTypeId;
extern KPlugClassInfo gKFbxVertexCacheDeformer_internalClassInfo;
extern int gKPlugListTypeId;
extern KPlugClassInfo gKPlugListClassInfo;
extern int gKDataPlugTypeId;
extern KPlugClassInfo gKDataPlugClassInfo;
extern int gKFbxObject_internalTypeId;
extern KPlugClassInfo gKFbxObject_internalClassInfo;
extern int gKFbxPlug_internalTypeId;
extern KPlugClassInfo gKFbxPlug_internalClassInfo;
extern int gKGenericObjectListTypeId;
extern KPlugClassInfo gKGenericObjectListClassInfo;
extern int gKObjectListTypeId;
extern KPlugClassInfo gKObjectListClassInfo;
extern int gKPropertyTypeId;
extern KPlugClassInfo gKPropertyClassInfo;
extern int gKPropertyObjectListTypeId;
extern KPlugClassInfo gKPropertyObjectListClassInfo;
extern int gKFbxTakeNodeContainer_internalTypeId;
extern KPlugClassInfo gKFbxTakeNodeContainer_internalClassInfo;
extern int gKFbxSurfaceMaterial_internalTypeId;
extern KPlugClassInfo gKFbxSurfaceMaterial_internalClassInfo;
extern int gKFbxNull_internalTypeId;
extern KPlugClassInfo gKFbxNull_internalClassInfo;
extern int gKFbxMarker_internalTypeId;
extern KPlugClassInfo gKFbxMarker_internalClassInfo;
extern int gKFbxCamera_internalTypeId;
extern KPlugClassInfo gKFbxCamera_internalClassInfo;
extern int gKFbxLight_internalTypeId;
extern KPlugClassInfo gKFbxLight_internalClassInfo;
extern int gKFbxSkeleton_internalTypeId;
extern KPlugClassInfo gKFbxSkeleton_internalClassInfo;
extern int gKFbxPatch_internalTypeId;
extern KPlugClassInfo gKFbxPatch_internalClassInfo;
extern int gKFbxNurb_internalTypeId;
extern KPlugClassInfo gKFbxNurb_internalClassInfo;
extern int gKFbxNurbsSurface_internalTypeId;
extern KPlugClassInfo gKFbxNurbsSurface_internalClassInfo;
extern int gKFbxNurbsCurve_internalTypeId;
extern KPlugClassInfo gKFbxNurbsCurve_internalClassInfo;
extern int gKFbxBoundary_internalTypeId;
extern KPlugClassInfo gKFbxBoundary_internalClassInfo;
extern int gKFbxTrimNurbsSurface_internalTypeId;
extern KPlugClassInfo gKFbxTrimNurbsSurface_internalClassInfo;
extern int gKFbxGeometryWeightedMap_internalTypeId;
extern KPlugClassInfo gKFbxGeometryWeightedMap_internalClassInfo;
extern int gKFbxOpticalReference_internalTypeId;
extern KPlugClassInfo gKFbxOpticalReference_internalClassInfo;
extern int gKFbxShape_internalTypeId;
extern KPlugClassInfo gKFbxShape_internalClassInfo;
extern int gKFbxVideo_internalTypeId;
extern KPlugClassInfo gKFbxVideo_internalClassInfo;
extern int gKFbxPose_internalTypeId;
extern KPlugClassInfo gKFbxPose_internalClassInfo;
extern int gKFbxCameraSwitcher_internalTypeId;
extern KPlugClassInfo gKFbxCameraSwitcher_internalClassInfo;
extern int gKFbxGenericNode_internalTypeId;
extern KPlugClassInfo gKFbxGenericNode_internalClassInfo;
extern int gKFbxConstraintAim_internalTypeId;
extern KPlugClassInfo gKFbxConstraintAim_internalClassInfo;
extern int gKFbxConstraintSingleChainIK_internalTypeId;
extern KPlugClassInfo gKFbxConstraintSingleChainIK_internalClassInfo;
extern int gKFbxConstraintParent_internalTypeId;
extern KPlugClassInfo gKFbxConstraintParent_internalClassInfo;
extern int gKFbxConstraintScale_internalTypeId;
extern KPlugClassInfo gKFbxConstraintScale_internalClassInfo;
extern int gKFbxConstraintRotation_internalTypeId;
extern KPlugClassInfo gKFbxConstraintRotation_internalClassInfo;
extern int gKFbxConstraintPosition_internalTypeId;
extern KPlugClassInfo gKFbxConstraintPosition_internalClassInfo;
extern int gKFbxCharacter_InternalTypeId;
extern KPlugClassInfo gKFbxCharacter_InternalClassInfo;
extern int gKFbxCharacterPose_internalTypeId;
extern KPlugClassInfo gKFbxCharacterPose_internalClassInfo;
extern int gKFbxControlSetPlug_internalTypeId;
extern KPlugClassInfo gKFbxControlSetPlug_internalClassInfo;
extern int gKFbxDeformer_internalTypeId;
extern KPlugClassInfo gKFbxDeformer_internalClassInfo;
extern int gKFbxStreamOptions_internalTypeId;
extern KPlugClassInfo gKFbxStreamOptions_internalClassInfo;
extern int gKFbxSubDeformer_internalTypeId;
extern KPlugClassInfo gKFbxSubDeformer_internalClassInfo;
extern int gKFCurveFilterMatrixConverterTypeId;
extern KPlugClassInfo gKFCurveFilterMatrixConverterClassInfo;
extern int gKEntityTypeId;
extern KPlugClassInfo gKEntityClassInfo;
extern int gKEntityListTypeId;
extern KPlugClassInfo gKEntityListClassInfo;
extern int gKFbxConstraint_internalTypeId;
extern KPlugClassInfo gKFbxConstraint_internalClassInfo;
extern int gKFCurveFilterConstantKeyReducerTypeId;
extern KPlugClassInfo gKFCurveFilterConstantKeyReducerClassInfo;
extern int gKFCurveFilterTypeId;
extern KPlugClassInfo gKFCurveFilterClassInfo;
extern int gKFCurveFilterResampleTypeId;
extern KPlugClassInfo gKFCurveFilterResampleClassInfo;
extern int gKFCurveFilterUnrollTypeId;
extern KPlugClassInfo gKFCurveFilterUnrollClassInfo;
extern int gKFCurveFilterTimeShiftAndScaleTypeId;
extern KPlugClassInfo gKFCurveFilterTimeShiftAndScaleClassInfo;
extern int gKObjectSetTypeId;
extern KPlugClassInfo gKObjectSetClassInfo;
extern int gKFBObjectTypeId;
extern KPlugClassInfo gKFBObjectClassInfo;
extern int gKFCurveFilterGimbleKillerTypeId;
extern KPlugClassInfo gKFCurveFilterGimbleKillerClassInfo;
extern int gKFCurveFilterKeySyncTypeId;
extern KPlugClassInfo gKFCurveFilterKeySyncClassInfo;
extern int gKFCurveFilterKeyReducerTypeId;
extern KPlugClassInfo gKFCurveFilterKeyReducerClassInfo;

// Registers the counted records above, in order, into registry and stores each
// id in its record's slot. KPlugClassRegistry::GetProcess runs it once for the
// process registry.
void RegisterInternalPlugClasses(KPlugClassRegistry& registry);

}  // namespace fbxsdk_2006_11_1

#endif
