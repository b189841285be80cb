#include <fbxfilesdk/core/KFbxClassRegistration.h>

#include <fbxfilesdk/animation/KFbxKFCurveFilters.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxIO.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/geometry/KFbxBoundary.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryBase.h>
#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>
#include <fbxfilesdk/geometry/KFbxGeometryPivotTransform.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxLayerContainer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxNurbsCurve.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxOpticalReference.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/geometry/KFbxTrimNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>
#include <fbxfilesdk/scene/KFbxConstraintAim.h>
#include <fbxfilesdk/scene/KFbxConstraintParent.h>
#include <fbxfilesdk/scene/KFbxConstraintPosition.h>
#include <fbxfilesdk/scene/KFbxConstraintRotation.h>
#include <fbxfilesdk/scene/KFbxConstraintScale.h>
#include <fbxfilesdk/scene/KFbxConstraintSingleChainIK.h>
#include <fbxfilesdk/scene/KFbxControlSetPlug.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// Group after group as the classes derive from one another. Rows without
// class id belong to libraries that are not part of this build yet; they fill
// their row when they join, at the place it has here.
constinit const KFbxClassRegistration kRows[kKFbxClassRegistrationCount] = {
    {"KFbxPlug", nullptr, &KFbxPlug::ClassId, nullptr},
    {"KFbxProperty", "KFbxPlug", &KFbxProperty::ClassId, &KFbxProperty::CreateFn},
    {"KFbxObject", "KFbxPlug", &KFbxObject::ClassId, &KFbxObject::CreateFn},
    {"KFbxThumbnail", "KFbxObject", &KFbxThumbnail::ClassId, &KFbxThumbnail::CreateFn},
    {"KFbxSceneInfo", "KFbxObject", &KFbxSceneInfo::ClassId, &KFbxSceneInfo::CreateFn},
    {"KFbxGeometryConverter", "KFbxObject", &KFbxGeometryConverter::ClassId, &KFbxGeometryConverter::CreateFn},
    {"KFbxImageConverter", "KFbxObject", &KFbxImageConverter::ClassId, &KFbxImageConverter::CreateFn},
    {"KFbxScene", "KFbxObject", &KFbxScene::ClassId, &KFbxScene::CreateFn},
    {"KFbxGeometryWeightedMap", "KFbxObject", &KFbxGeometryWeightedMap::ClassId, &KFbxGeometryWeightedMap::CreateFn},
    {"KFbxPose", "KFbxObject", &KFbxPose::ClassId, &KFbxPose::CreateFn},
    {"KFbxControlSetPlug", "KFbxObject", &KFbxControlSetPlug::ClassId, &KFbxControlSetPlug::CreateFn},
    {"KFbxCharacterPose", "KFbxObject", &KFbxCharacterPose::ClassId, &KFbxCharacterPose::CreateFn},
    {"KFbxCache", "KFbxObject", &KFbxCache::ClassId, &KFbxCache::CreateFn},
    {"KFbxGlobalSettings", "KFbxObject", &KFbxGlobalSettings::ClassId, &KFbxGlobalSettings::CreateFn},
    {"KFbxIO", "KFbxObject", &KFbxIO::ClassId, &KFbxIO::CreateFn},
    {"KFbxTakeNodeContainer", "KFbxObject", &KFbxTakeNodeContainer::ClassId, &KFbxTakeNodeContainer::CreateFn},
    // Its create function gives null: only its derived kinds are made by class id.
    {"KFbxNodeAttribute", "KFbxObject", &KFbxNodeAttribute::ClassId, &KFbxNodeAttribute::CreateFn},
    {"KFbxStreamOptions", "KFbxObject", &KFbxStreamOptions::ClassId, &KFbxStreamOptions::CreateFn},
    {"KFbxKFCurveFilters", "KFbxObject", &KFbxKFCurveFilters::ClassId, &KFbxKFCurveFilters::CreateFn},
    {"KFbxKFCurveFilterConstantKeyReducer", "KFbxKFCurveFilters", &KFbxKFCurveFilterConstantKeyReducer::ClassId, &KFbxKFCurveFilterConstantKeyReducer::CreateFn},
    {"KFbxKFCurveFilterMatrixConverter", "KFbxKFCurveFilters", &KFbxKFCurveFilterMatrixConverter::ClassId, &KFbxKFCurveFilterMatrixConverter::CreateFn},
    {"KFbxKFCurveFilterResample", "KFbxKFCurveFilters", &KFbxKFCurveFilterResample::ClassId, &KFbxKFCurveFilterResample::CreateFn},
    {"KFbxKFCurveFilterUnroll", "KFbxKFCurveFilters", &KFbxKFCurveFilterUnroll::ClassId, &KFbxKFCurveFilterUnroll::CreateFn},
    {"KFbxStreamOptionsFbxReader", "KFbxStreamOptions", &KFbxStreamOptionsFbxReader::ClassId, &KFbxStreamOptionsFbxReader::CreateFn},
    {"KFbxStreamOptionsFbxWriter", "KFbxStreamOptions", &KFbxStreamOptionsFbxWriter::ClassId, &KFbxStreamOptionsFbxWriter::CreateFn},
    {"KFbxStreamOptionsMotionReader", "KFbxStreamOptions", &KFbxStreamOptionsMotionReader::ClassId, &KFbxStreamOptionsMotionReader::CreateFn},
    {"KFbxStreamOptionsMotionWriter", "KFbxStreamOptions", &KFbxStreamOptionsMotionWriter::ClassId, &KFbxStreamOptionsMotionWriter::CreateFn},
    {"KFbxStreamOptions3dsReader", "KFbxStreamOptions", &KFbxStreamOptions3dsReader::ClassId, &KFbxStreamOptions3dsReader::CreateFn},
    {"KFbxStreamOptions3dsWriter", "KFbxStreamOptions", &KFbxStreamOptions3dsWriter::ClassId, &KFbxStreamOptions3dsWriter::CreateFn},
    {"KFbxStreamOptionsDxfReader", "KFbxStreamOptions", &KFbxStreamOptionsDxfReader::ClassId, &KFbxStreamOptionsDxfReader::CreateFn},
    {"KFbxStreamOptionsDxfWriter", "KFbxStreamOptions", &KFbxStreamOptionsDxfWriter::ClassId, &KFbxStreamOptionsDxfWriter::CreateFn},
    {"KFbxStreamOptionsObjReader", "KFbxStreamOptions", &KFbxStreamOptionsObjReader::ClassId, &KFbxStreamOptionsObjReader::CreateFn},
    {"KFbxStreamOptionsObjWriter", "KFbxStreamOptions", &KFbxStreamOptionsObjWriter::ClassId, &KFbxStreamOptionsObjWriter::CreateFn},
    {"KFbxStreamOptionsColladaReader", "KFbxStreamOptions", &KFbxStreamOptionsColladaReader::ClassId, &KFbxStreamOptionsColladaReader::CreateFn},
    {"KFbxStreamOptionsColladaWriter", "KFbxStreamOptions", &KFbxStreamOptionsColladaWriter::ClassId, &KFbxStreamOptionsColladaWriter::CreateFn},
    {"KFbxImporter", "KFbxIO", &KFbxImporter::ClassId, &KFbxImporter::CreateFn},
    {"KFbxExporter", "KFbxIO", &KFbxExporter::ClassId, &KFbxExporter::CreateFn},
    {"KFbxNode", "KFbxTakeNodeContainer", &KFbxNode::ClassId, &KFbxNode::CreateFn},
    {"KFbxGenericNode", "KFbxTakeNodeContainer", &KFbxGenericNode::ClassId, &KFbxGenericNode::CreateFn},
    {"KFbxSurfaceMaterial", "KFbxTakeNodeContainer", &KFbxSurfaceMaterial::ClassId, &KFbxSurfaceMaterial::CreateFn},
    {"KFbxTexture", "KFbxTakeNodeContainer", &KFbxTexture::ClassId, &KFbxTexture::CreateFn},
    {"KFbxVideo", "KFbxTakeNodeContainer", &KFbxVideo::ClassId, &KFbxVideo::CreateFn},
    {"KFbxDeformer", "KFbxTakeNodeContainer", &KFbxDeformer::ClassId, &KFbxDeformer::CreateFn},
    {"KFbxSubDeformer", "KFbxTakeNodeContainer", &KFbxSubDeformer::ClassId, &KFbxSubDeformer::CreateFn},
    {"KFbxConstraint", "KFbxTakeNodeContainer", &KFbxConstraint::ClassId, &KFbxConstraint::CreateFn},
    {"KFbxSkin", "KFbxDeformer", &KFbxSkin::ClassId, &KFbxSkin::CreateFn},
    {"KFbxVertexCacheDeformer", "KFbxDeformer", &KFbxVertexCacheDeformer::ClassId, &KFbxVertexCacheDeformer::CreateFn},
    {"KFbxCluster", "KFbxSubDeformer", &KFbxCluster::ClassId, &KFbxCluster::CreateFn},
    {"KFbxConstraintAim", "KFbxConstraint", &KFbxConstraintAim::ClassId, &KFbxConstraintAim::CreateFn},
    {"KFbxConstraintParent", "KFbxConstraint", &KFbxConstraintParent::ClassId, &KFbxConstraintParent::CreateFn},
    {"KFbxConstraintPosition", "KFbxConstraint", &KFbxConstraintPosition::ClassId, &KFbxConstraintPosition::CreateFn},
    {"KFbxConstraintRotation", "KFbxConstraint", &KFbxConstraintRotation::ClassId, &KFbxConstraintRotation::CreateFn},
    {"KFbxConstraintScale", "KFbxConstraint", &KFbxConstraintScale::ClassId, &KFbxConstraintScale::CreateFn},
    {"KFbxCharacter", "KFbxConstraint", &KFbxCharacter::ClassId, &KFbxCharacter::CreateFn},
    {"KFbxConstraintSingleChainIK", "KFbxConstraint", &KFbxConstraintSingleChainIK::ClassId, &KFbxConstraintSingleChainIK::CreateFn},
    {"KFbxNull", "KFbxNodeAttribute", &KFbxNull::ClassId, &KFbxNull::CreateFn},
    {"KFbxMarker", "KFbxNodeAttribute", &KFbxMarker::ClassId, &KFbxMarker::CreateFn},
    {"KFbxCamera", "KFbxNodeAttribute", &KFbxCamera::ClassId, &KFbxCamera::CreateFn},
    {"KFbxCameraSwitcher", "KFbxNodeAttribute", &KFbxCameraSwitcher::ClassId, &KFbxCameraSwitcher::CreateFn},
    {"KFbxLight", "KFbxNodeAttribute", &KFbxLight::ClassId, &KFbxLight::CreateFn},
    {"KFbxSkeleton", "KFbxNodeAttribute", &KFbxSkeleton::ClassId, &KFbxSkeleton::CreateFn},
    {"KFbxOpticalReference", "KFbxNodeAttribute", &KFbxOpticalReference::ClassId, &KFbxOpticalReference::CreateFn},
    {"KFbxLayerContainer", "KFbxNodeAttribute", &KFbxLayerContainer::ClassId, &KFbxLayerContainer::CreateFn},
    {"KFbxGeometryBase", "KFbxLayerContainer", &KFbxGeometryBase::ClassId, &KFbxGeometryBase::CreateFn},
    {"KFbxShape", "KFbxGeometryBase", &KFbxShape::ClassId, &KFbxShape::CreateFn},
    {"KFbxGeometry", "KFbxGeometryBase", &KFbxGeometry::ClassId, &KFbxGeometry::CreateFn},
    {"KFbxMesh", "KFbxGeometry", &KFbxMesh::ClassId, &KFbxMesh::CreateFn},
    {"KFbxPatch", "KFbxGeometry", &KFbxPatch::ClassId, &KFbxPatch::CreateFn},
    {"KFbxNurb", "KFbxGeometry", &KFbxNurb::ClassId, &KFbxNurb::CreateFn},
    {"KFbxNurbsSurface", "KFbxGeometry", &KFbxNurbsSurface::ClassId, &KFbxNurbsSurface::CreateFn},
    {"KFbxNurbsCurve", "KFbxGeometry", &KFbxNurbsCurve::ClassId, &KFbxNurbsCurve::CreateFn},
    {"KFbxTrimNurbsSurface", "KFbxGeometry", &KFbxTrimNurbsSurface::ClassId, &KFbxTrimNurbsSurface::CreateFn},
    {"KFbxBoundary", "KFbxGeometry", &KFbxBoundary::ClassId, &KFbxBoundary::CreateFn},
    {"KFbxSurfaceLambert", "KFbxSurfaceMaterial", &KFbxSurfaceLambert::ClassId, &KFbxSurfaceLambert::CreateFn},
    {"KFbxSurfacePhong", "KFbxSurfaceMaterial", &KFbxSurfacePhong::ClassId, &KFbxSurfacePhong::CreateFn},
};

int FindRow(const char* name, int before) {
    for (int row = 0; row < before && name != nullptr; ++row) {
        if (std::strcmp(kRows[row].mName, name) == 0) {
            return row;
        }
    }
    return -1;
}

// The class id of the row's nearest ancestor that is registered; null for
// the root.
KFbxClassId RegisteredParentOf(int row) {
    for (int parent = FindRow(kRows[row].mParentName, row); parent != -1;
         parent = FindRow(kRows[parent].mParentName, parent)) {
        if (kRows[parent].mClassId != nullptr && *kRows[parent].mClassId != KFbxClassId()) {
            return *kRows[parent].mClassId;
        }
    }
    return KFbxClassId();
}

// The scene library's classes that the object rules name, from the rows
// that carry them; a class without row entry keeps what was installed.
void InstallSceneClassIds() {
    KFbxSceneClassIds ids = KFbxGetSceneClassIds();
    const struct {
        const char* mName;
        KFbxClassId KFbxSceneClassIds::*mField;
    } kSceneClasses[] = {
        {"KFbxScene", &KFbxSceneClassIds::mScene},
        {"KFbxNode", &KFbxSceneClassIds::mNode},
        {"KFbxNodeAttribute", &KFbxSceneClassIds::mNodeAttribute},
        {"KFbxGeometry", &KFbxSceneClassIds::mGeometry},
        {"KFbxGeometryWeightedMap", &KFbxSceneClassIds::mGeometryWeightedMap},
        {"KFbxDeformer", &KFbxSceneClassIds::mDeformer},
        {"KFbxSkin", &KFbxSceneClassIds::mSkin},
        {"KFbxCluster", &KFbxSceneClassIds::mCluster},
        {"KFbxConstraint", &KFbxSceneClassIds::mConstraint},
    };
    bool any = false;
    for (const auto& sceneClass : kSceneClasses) {
        const int row = FindRow(sceneClass.mName, kKFbxClassRegistrationCount);
        if (row != -1 && kRows[row].mClassId != nullptr) {
            ids.*sceneClass.mField = *kRows[row].mClassId;
            any = true;
        }
    }
    if (any) {
        KFbxSetSceneClassIds(ids);
    }
}

}  // namespace

const KFbxClassRegistration* KFbxGetClassRegistrations() { return kRows; }

bool RegisterClasses(KFbxSdkManager* manager) {
    bool complete = true;
    bool registered = false;
    for (int row = 0; row < kKFbxClassRegistrationCount; ++row) {
        KFbxClassId* classId = kRows[row].mClassId;
        if (classId == nullptr) {
            continue;
        }
        if (*classId != KFbxClassId()) {
            // Registered by an earlier manager: the class ids are process-wide.
            if (manager != nullptr && !manager->AddClassId(*classId)) {
                complete = false;
            }
            continue;
        }
        *classId = RegisterClass(manager, kRows[row].mName, RegisteredParentOf(row), kRows[row].mCreateFn, nullptr,
                                 nullptr);
        if (*classId == KFbxClassId()) {
            complete = false;
        } else {
            registered = true;
        }
    }
    if (registered) {
        InstallSceneClassIds();
        // The scene reaches a geometry's pivot only through this hook, since
        // the scene library cannot see the geometry classes.
        KFbxInstallGeometryPivotTransform();
    }
    return complete;
}

}  // namespace fbxsdk_2006_11_1
