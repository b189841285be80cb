#include <fbxfilesdk/core/KPlugClassTable.h>

#include <fbxfilesdk/core/KPlugClassRegistry.h>

namespace fbxsdk_2006_11_1 {

constinit int gNoneTypeId = -1;
constinit KPlugClassInfo gNoneClassInfo(&gNoneTypeId, "None", nullptr);
constinit int gKPlugTypeId = 2;
constinit KPlugClassInfo gKPlugClassInfo(&gKPlugTypeId, "KPlug", nullptr);
constinit int gKObjectTypeId = 1;
constinit KPlugClassInfo gKObjectClassInfo(&gKObjectTypeId, "KObject", &gKPlugClassInfo);

constinit int gKFbxProperty_internalTypeId = 0;
constinit int gKFbxScene_internalTypeId = 0;
constinit int gKFbxNode_internalTypeId = 0;
constinit int gKFbxMesh_internalTypeId = 0;
constinit int gKFbxTexture_internalTypeId = 0;
constinit int gKFbxCluster_internalTypeId = 0;
constinit int gKFbxSkin_internalTypeId = 0;
constinit int gKFbxGeometry_internalTypeId = 0;
constinit int gKFbxNodeAttribute_internalTypeId = 0;
constinit int gKFbxCache_internalTypeId = 0;
constinit int gKFbxVertexCacheDeformer_internalTypeId = 0;
constinit int gKPlugListTypeId = 0;
constinit int gKDataPlugTypeId = 0;
constinit int gKFbxObject_internalTypeId = 0;
constinit int gKFbxPlug_internalTypeId = 0;
constinit int gKGenericObjectListTypeId = 0;
constinit int gKObjectListTypeId = 0;
constinit int gKPropertyTypeId = 0;
constinit int gKPropertyObjectListTypeId = 0;
constinit int gKFbxTakeNodeContainer_internalTypeId = 0;
constinit int gKFbxSurfaceMaterial_internalTypeId = 0;
constinit int gKFbxNull_internalTypeId = 0;
constinit int gKFbxMarker_internalTypeId = 0;
constinit int gKFbxCamera_internalTypeId = 0;
constinit int gKFbxLight_internalTypeId = 0;
constinit int gKFbxSkeleton_internalTypeId = 0;
constinit int gKFbxPatch_internalTypeId = 0;
constinit int gKFbxNurb_internalTypeId = 0;
constinit int gKFbxNurbsSurface_internalTypeId = 0;
constinit int gKFbxNurbsCurve_internalTypeId = 0;
constinit int gKFbxBoundary_internalTypeId = 0;
constinit int gKFbxTrimNurbsSurface_internalTypeId = 0;
constinit int gKFbxGeometryWeightedMap_internalTypeId = 0;
constinit int gKFbxOpticalReference_internalTypeId = 0;
constinit int gKFbxShape_internalTypeId = 0;
constinit int gKFbxVideo_internalTypeId = 0;
constinit int gKFbxPose_internalTypeId = 0;
constinit int gKFbxCameraSwitcher_internalTypeId = 0;
constinit int gKFbxGenericNode_internalTypeId = 0;
constinit int gKFbxConstraintAim_internalTypeId = 0;
constinit int gKFbxConstraintSingleChainIK_internalTypeId = 0;
constinit int gKFbxConstraintParent_internalTypeId = 0;
constinit int gKFbxConstraintScale_internalTypeId = 0;
constinit int gKFbxConstraintRotation_internalTypeId = 0;
constinit int gKFbxConstraintPosition_internalTypeId = 0;
constinit int gKFbxCharacter_InternalTypeId = 0;
constinit int gKFbxCharacterPose_internalTypeId = 0;
constinit int gKFbxControlSetPlug_internalTypeId = 0;
constinit int gKFbxDeformer_internalTypeId = 0;
constinit int gKFbxStreamOptions_internalTypeId = 0;
constinit int gKFbxSubDeformer_internalTypeId = 0;
constinit int gKFCurveFilterMatrixConverterTypeId = 0;
constinit int gKEntityTypeId = 0;
constinit int gKEntityListTypeId = 0;
constinit int gKFbxConstraint_internalTypeId = 0;
constinit int gKFCurveFilterConstantKeyReducerTypeId = 0;
constinit int gKFCurveFilterTypeId = 0;
constinit int gKFCurveFilterResampleTypeId = 0;
constinit int gKFCurveFilterUnrollTypeId = 0;
constinit int gKFCurveFilterTimeShiftAndScaleTypeId = 0;
constinit int gKObjectSetTypeId = 0;
constinit int gKFBObjectTypeId = 0;
constinit int gKFCurveFilterGimbleKillerTypeId = 0;
constinit int gKFCurveFilterKeySyncTypeId = 0;
constinit int gKFCurveFilterKeyReducerTypeId = 0;

constinit KPlugClassInfo gKFbxProperty_internalClassInfo(&gKFbxProperty_internalTypeId, "KFbxProperty_internal", &gKFbxPlug_internalClassInfo);
constinit KPlugClassInfo gKFbxScene_internalClassInfo(&gKFbxScene_internalTypeId, "KFbxScene_internal", &gKFbxObject_internalClassInfo);
constinit KPlugClassInfo gKFbxNode_internalClassInfo(&gKFbxNode_internalTypeId, "KFbxNode_internal", &gKFbxTakeNodeContainer_internalClassInfo);
constinit KPlugClassInfo gKFbxMesh_internalClassInfo(&gKFbxMesh_internalTypeId, "KFbxMesh_internal", &gKFbxGeometry_internalClassInfo);
constinit KPlugClassInfo gKFbxTexture_internalClassInfo(&gKFbxTexture_internalTypeId, "KFbxTexture_internal", &gKFbxTakeNodeContainer_internalClassInfo);
constinit KPlugClassInfo gKFbxCluster_internalClassInfo(&gKFbxCluster_internalTypeId, "KFbxCluster_internal", &gKFbxSubDeformer_internalClassInfo);
constinit KPlugClassInfo gKFbxSkin_internalClassInfo(&gKFbxSkin_internalTypeId, "KFbxSkin_internal", &gKFbxDeformer_internalClassInfo);
constinit KPlugClassInfo gKFbxGeometry_internalClassInfo(&gKFbxGeometry_internalTypeId, "KFbxGeometry_internal", &gKFbxNodeAttribute_internalClassInfo);
constinit KPlugClassInfo gKFbxNodeAttribute_internalClassInfo(&gKFbxNodeAttribute_internalTypeId, "KFbxNodeAttribute_internal", &gKFbxObject_internalClassInfo);
constinit KPlugClassInfo gKFbxCache_internalClassInfo(&gKFbxCache_internalTypeId, "KFbxCache_internal", &gKFbxObject_internalClassInfo);
constinit KPlugClassInfo gKFbxVertexCacheDeformer_internalClassInfo(&gKFbxVertexCacheDeformer_internalTypeId, "KFbxVertexCacheDeformer_internal", &gKFbxDeformer_internalClassInfo);
constinit KPlugClassInfo gKPlugListClassInfo(&gKPlugListTypeId, "KPlugList", &gKPlugClassInfo);
constinit KPlugClassInfo gKDataPlugClassInfo(&gKDataPlugTypeId, "KDataPlug", &gKPlugClassInfo);
constinit KPlugClassInfo gKFbxObject_internalClassInfo(&gKFbxObject_internalTypeId, "KFbxObject_internal", &gKObjectClassInfo);
constinit KPlugClassInfo gKFbxPlug_internalClassInfo(&gKFbxPlug_internalTypeId, "KFbxPlug_internal", &gKPlugClassInfo);
constinit KPlugClassInfo gKGenericObjectListClassInfo(&gKGenericObjectListTypeId, "KGenericObjectList", &gKObjectClassInfo);
constinit KPlugClassInfo gKObjectListClassInfo(&gKObjectListTypeId, "KObjectList", &gKGenericObjectListClassInfo);
constinit KPlugClassInfo gKPropertyClassInfo(&gKPropertyTypeId, "KProperty", &gKPlugClassInfo);
constinit KPlugClassInfo gKPropertyObjectListClassInfo(&gKPropertyObjectListTypeId, "KPropertyObjectList", &gKPropertyClassInfo);
constinit KPlugClassInfo gKFbxTakeNodeContainer_internalClassInfo(&gKFbxTakeNodeContainer_internalTypeId, "KFbxTakeNodeContainer_internal", &gKFbxObject_internalClassInfo);
constinit KPlugClassInfo gKFbxSurfaceMaterial_internalClassInfo(&gKFbxSurfaceMaterial_internalTypeId, "KFbxSurfaceMaterial_internal", &gKFbxTakeNodeContainer_internalClassInfo);
constinit KPlugClassInfo gKFbxNull_internalClassInfo(&gKFbxNull_internalTypeId, "KFbxNull_internal", &gKFbxNodeAttribute_internalClassInfo);
constinit KPlugClassInfo gKFbxMarker_internalClassInfo(&gKFbxMarker_internalTypeId, "KFbxMarker_internal", &gKFbxNodeAttribute_internalClassInfo);
constinit KPlugClassInfo gKFbxCamera_internalClassInfo(&gKFbxCamera_internalTypeId, "KFbxCamera_internal", &gKFbxNodeAttribute_internalClassInfo);
constinit KPlugClassInfo gKFbxLight_internalClassInfo(&gKFbxLight_internalTypeId, "KFbxLight_internal", &gKFbxNodeAttribute_internalClassInfo);
constinit KPlugClassInfo gKFbxSkeleton_internalClassInfo(&gKFbxSkeleton_internalTypeId, "KFbxSkeleton_internal", &gKFbxNodeAttribute_internalClassInfo);
constinit KPlugClassInfo gKFbxPatch_internalClassInfo(&gKFbxPatch_internalTypeId, "KFbxPatch_internal", &gKFbxGeometry_internalClassInfo);
constinit KPlugClassInfo gKFbxNurb_internalClassInfo(&gKFbxNurb_internalTypeId, "KFbxNurb_internal", &gKFbxGeometry_internalClassInfo);
constinit KPlugClassInfo gKFbxNurbsSurface_internalClassInfo(&gKFbxNurbsSurface_internalTypeId, "KFbxNurbsSurface_internal", &gKFbxGeometry_internalClassInfo);
constinit KPlugClassInfo gKFbxNurbsCurve_internalClassInfo(&gKFbxNurbsCurve_internalTypeId, "KFbxNurbsCurve_internal", &gKFbxGeometry_internalClassInfo);
constinit KPlugClassInfo gKFbxBoundary_internalClassInfo(&gKFbxBoundary_internalTypeId, "KFbxBoundary_internal", &gKFbxGeometry_internalClassInfo);
constinit KPlugClassInfo gKFbxTrimNurbsSurface_internalClassInfo(&gKFbxTrimNurbsSurface_internalTypeId, "KFbxTrimNurbsSurface_internal", &gKFbxGeometry_internalClassInfo);
constinit KPlugClassInfo gKFbxGeometryWeightedMap_internalClassInfo(&gKFbxGeometryWeightedMap_internalTypeId, "KFbxGeometryWeightedMap_internal", &gKFbxObject_internalClassInfo);
constinit KPlugClassInfo gKFbxOpticalReference_internalClassInfo(&gKFbxOpticalReference_internalTypeId, "KFbxOpticalReference_internal", &gKFbxNodeAttribute_internalClassInfo);
constinit KPlugClassInfo gKFbxShape_internalClassInfo(&gKFbxShape_internalTypeId, "KFbxShape_internal", &gKFbxNodeAttribute_internalClassInfo);
constinit KPlugClassInfo gKFbxVideo_internalClassInfo(&gKFbxVideo_internalTypeId, "KFbxVideo_internal", &gKFbxTakeNodeContainer_internalClassInfo);
constinit KPlugClassInfo gKFbxPose_internalClassInfo(&gKFbxPose_internalTypeId, "KFbxPose_internal", &gKFbxObject_internalClassInfo);
constinit KPlugClassInfo gKFbxCameraSwitcher_internalClassInfo(&gKFbxCameraSwitcher_internalTypeId, "KFbxCameraSwitcher_internal", &gKFbxNodeAttribute_internalClassInfo);
constinit KPlugClassInfo gKFbxGenericNode_internalClassInfo(&gKFbxGenericNode_internalTypeId, "KFbxGenericNode_internal", &gKFbxTakeNodeContainer_internalClassInfo);
constinit KPlugClassInfo gKFbxConstraintAim_internalClassInfo(&gKFbxConstraintAim_internalTypeId, "KFbxConstraintAim_internal", &gKFbxConstraint_internalClassInfo);
constinit KPlugClassInfo gKFbxConstraintSingleChainIK_internalClassInfo(&gKFbxConstraintSingleChainIK_internalTypeId, "KFbxConstraintSingleChainIK_internal", &gKFbxConstraint_internalClassInfo);
constinit KPlugClassInfo gKFbxConstraintParent_internalClassInfo(&gKFbxConstraintParent_internalTypeId, "KFbxConstraintParent_internal", &gKFbxConstraint_internalClassInfo);
constinit KPlugClassInfo gKFbxConstraintScale_internalClassInfo(&gKFbxConstraintScale_internalTypeId, "KFbxConstraintScale_internal", &gKFbxConstraint_internalClassInfo);
constinit KPlugClassInfo gKFbxConstraintRotation_internalClassInfo(&gKFbxConstraintRotation_internalTypeId, "KFbxConstraintRotation_internal", &gKFbxConstraint_internalClassInfo);
constinit KPlugClassInfo gKFbxConstraintPosition_internalClassInfo(&gKFbxConstraintPosition_internalTypeId, "KFbxConstraintPosition_internal", &gKFbxConstraint_internalClassInfo);
constinit KPlugClassInfo gKFbxCharacter_InternalClassInfo(&gKFbxCharacter_InternalTypeId, "KFbxCharacter_Internal", &gKFbxConstraint_internalClassInfo);
constinit KPlugClassInfo gKFbxCharacterPose_internalClassInfo(&gKFbxCharacterPose_internalTypeId, "KFbxCharacterPose_internal", &gKFbxObject_internalClassInfo);
constinit KPlugClassInfo gKFbxControlSetPlug_internalClassInfo(&gKFbxControlSetPlug_internalTypeId, "KFbxControlSetPlug_internal", &gKFbxTakeNodeContainer_internalClassInfo);
constinit KPlugClassInfo gKFbxDeformer_internalClassInfo(&gKFbxDeformer_internalTypeId, "KFbxDeformer_internal", &gKFbxTakeNodeContainer_internalClassInfo);
constinit KPlugClassInfo gKFbxStreamOptions_internalClassInfo(&gKFbxStreamOptions_internalTypeId, "KFbxStreamOptions_internal", &gKFbxObject_internalClassInfo);
constinit KPlugClassInfo gKFbxSubDeformer_internalClassInfo(&gKFbxSubDeformer_internalTypeId, "KFbxSubDeformer_internal", &gKFbxTakeNodeContainer_internalClassInfo);
constinit KPlugClassInfo gKFCurveFilterMatrixConverterClassInfo(&gKFCurveFilterMatrixConverterTypeId, "KFCurveFilterMatrixConverter", &gKFCurveFilterClassInfo);
constinit KPlugClassInfo gKEntityClassInfo(&gKEntityTypeId, "KEntity", &gKObjectSetClassInfo);
constinit KPlugClassInfo gKEntityListClassInfo(&gKEntityListTypeId, "KEntityList", &gKGenericObjectListClassInfo);
constinit KPlugClassInfo gKFbxConstraint_internalClassInfo(&gKFbxConstraint_internalTypeId, "KFbxConstraint_internal", &gKFbxTakeNodeContainer_internalClassInfo);
constinit KPlugClassInfo gKFCurveFilterConstantKeyReducerClassInfo(&gKFCurveFilterConstantKeyReducerTypeId, "KFCurveFilterConstantKeyReducer", &gKFCurveFilterClassInfo);
constinit KPlugClassInfo gKFCurveFilterClassInfo(&gKFCurveFilterTypeId, "KFCurveFilter", &gKObjectClassInfo);
constinit KPlugClassInfo gKFCurveFilterResampleClassInfo(&gKFCurveFilterResampleTypeId, "KFCurveFilterResample", &gKFCurveFilterClassInfo);
constinit KPlugClassInfo gKFCurveFilterUnrollClassInfo(&gKFCurveFilterUnrollTypeId, "KFCurveFilterUnroll", &gKFCurveFilterClassInfo);
constinit KPlugClassInfo gKFCurveFilterTimeShiftAndScaleClassInfo(&gKFCurveFilterTimeShiftAndScaleTypeId, "KFCurveFilterTimeShiftAndScale", &gKFCurveFilterClassInfo);
constinit KPlugClassInfo gKObjectSetClassInfo(&gKObjectSetTypeId, "KObjectSet", &gKFBObjectClassInfo);
constinit KPlugClassInfo gKFBObjectClassInfo(&gKFBObjectTypeId, "KFBObject", &gKObjectClassInfo);
constinit KPlugClassInfo gKFCurveFilterGimbleKillerClassInfo(&gKFCurveFilterGimbleKillerTypeId, "KFCurveFilterGimbleKiller", &gKFCurveFilterClassInfo);
constinit KPlugClassInfo gKFCurveFilterKeySyncClassInfo(&gKFCurveFilterKeySyncTypeId, "KFCurveFilterKeySync", &gKFCurveFilterClassInfo);
constinit KPlugClassInfo gKFCurveFilterKeyReducerClassInfo(&gKFCurveFilterKeyReducerTypeId, "KFCurveFilterKeyReducer", &gKFCurveFilterClassInfo);

namespace {

// The order decides the ids: entry i gets id 3 + i.
KPlugClassInfo* const kRegistrationOrder[] = {
    &gKFbxProperty_internalClassInfo,
    &gKFbxScene_internalClassInfo,
    &gKFbxNode_internalClassInfo,
    &gKFbxMesh_internalClassInfo,
    &gKFbxTexture_internalClassInfo,
    &gKFbxCluster_internalClassInfo,
    &gKFbxSkin_internalClassInfo,
    &gKFbxGeometry_internalClassInfo,
    &gKFbxNodeAttribute_internalClassInfo,
    &gKFbxCache_internalClassInfo,
    &gKFbxVertexCacheDeformer_internalClassInfo,
    &gKPlugListClassInfo,
    &gKDataPlugClassInfo,
    &gKFbxObject_internalClassInfo,
    &gKFbxPlug_internalClassInfo,
    &gKGenericObjectListClassInfo,
    &gKObjectListClassInfo,
    &gKPropertyClassInfo,
    &gKPropertyObjectListClassInfo,
    &gKFbxTakeNodeContainer_internalClassInfo,
    &gKFbxSurfaceMaterial_internalClassInfo,
    &gKFbxNull_internalClassInfo,
    &gKFbxMarker_internalClassInfo,
    &gKFbxCamera_internalClassInfo,
    &gKFbxLight_internalClassInfo,
    &gKFbxSkeleton_internalClassInfo,
    &gKFbxPatch_internalClassInfo,
    &gKFbxNurb_internalClassInfo,
    &gKFbxNurbsSurface_internalClassInfo,
    &gKFbxNurbsCurve_internalClassInfo,
    &gKFbxBoundary_internalClassInfo,
    &gKFbxTrimNurbsSurface_internalClassInfo,
    &gKFbxGeometryWeightedMap_internalClassInfo,
    &gKFbxOpticalReference_internalClassInfo,
    &gKFbxShape_internalClassInfo,
    &gKFbxVideo_internalClassInfo,
    &gKFbxPose_internalClassInfo,
    &gKFbxCameraSwitcher_internalClassInfo,
    &gKFbxGenericNode_internalClassInfo,
    &gKFbxConstraintAim_internalClassInfo,
    &gKFbxConstraintSingleChainIK_internalClassInfo,
    &gKFbxConstraintParent_internalClassInfo,
    &gKFbxConstraintScale_internalClassInfo,
    &gKFbxConstraintRotation_internalClassInfo,
    &gKFbxConstraintPosition_internalClassInfo,
    &gKFbxCharacter_InternalClassInfo,
    &gKFbxCharacterPose_internalClassInfo,
    &gKFbxControlSetPlug_internalClassInfo,
    &gKFbxDeformer_internalClassInfo,
    &gKFbxStreamOptions_internalClassInfo,
    &gKFbxSubDeformer_internalClassInfo,
    &gKFCurveFilterMatrixConverterClassInfo,
    &gKEntityClassInfo,
    &gKEntityListClassInfo,
    &gKFbxConstraint_internalClassInfo,
    &gKFCurveFilterConstantKeyReducerClassInfo,
    &gKFCurveFilterClassInfo,
    &gKFCurveFilterResampleClassInfo,
    &gKFCurveFilterUnrollClassInfo,
    &gKFCurveFilterTimeShiftAndScaleClassInfo,
    &gKObjectSetClassInfo,
    &gKFBObjectClassInfo,
    &gKFCurveFilterGimbleKillerClassInfo,
    &gKFCurveFilterKeySyncClassInfo,
    &gKFCurveFilterKeyReducerClassInfo,
};

}  // namespace

void RegisterInternalPlugClasses(KPlugClassRegistry& registry) {
    for (KPlugClassInfo* record : kRegistrationOrder) {
        const int id = registry.Register(record, -1);
        // A slot left at 0 gives a filter that matches nothing, never one that
        // matches everything as -1 would.
        if (id > 0) {
            *record->GetIdSlot() = id;
        }
    }
}

}  // namespace fbxsdk_2006_11_1
