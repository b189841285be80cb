#include <fbxfilesdk/core/KFbxClassRegistration.h>

#include <fbxfilesdk/animation/KFbxKFCurveFilters.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryBase.h>
#include <fbxfilesdk/geometry/KFbxGeometryPivotTransform.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxLayerContainer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>

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
    {"KFbxGeometryConverter", "KFbxObject", nullptr, nullptr},
    {"KFbxImageConverter", "KFbxObject", &KFbxImageConverter::ClassId, &KFbxImageConverter::CreateFn},
    {"KFbxScene", "KFbxObject", &KFbxScene::ClassId, &KFbxScene::CreateFn},
    {"KFbxGeometryWeightedMap", "KFbxObject", &KFbxGeometryWeightedMap::ClassId, &KFbxGeometryWeightedMap::CreateFn},
    {"KFbxPose", "KFbxObject", nullptr, nullptr},
    {"KFbxControlSetPlug", "KFbxObject", nullptr, nullptr},
    {"KFbxCharacterPose", "KFbxObject", nullptr, nullptr},
    {"KFbxCache", "KFbxObject", &KFbxCache::ClassId, &KFbxCache::CreateFn},
    {"KFbxGlobalSettings", "KFbxObject", &KFbxGlobalSettings::ClassId, &KFbxGlobalSettings::CreateFn},
    {"KFbxIO", "KFbxObject", nullptr, nullptr},
    {"KFbxTakeNodeContainer", "KFbxObject", &KFbxTakeNodeContainer::ClassId, &KFbxTakeNodeContainer::CreateFn},
    // No create function of its own: creating by its id falls back to
    // KFbxObject's, so only its derived kinds are made by class id.
    {"KFbxNodeAttribute", "KFbxObject", &KFbxNodeAttribute::ClassId, nullptr},
    {"KFbxStreamOptions", "KFbxObject", nullptr, nullptr},
    {"KFbxKFCurveFilters", "KFbxObject", &KFbxKFCurveFilters::ClassId, &KFbxKFCurveFilters::CreateFn},
    {"KFbxKFCurveFilterConstantKeyReducer", "KFbxKFCurveFilters", &KFbxKFCurveFilterConstantKeyReducer::ClassId, &KFbxKFCurveFilterConstantKeyReducer::CreateFn},
    {"KFbxKFCurveFilterMatrixConverter", "KFbxKFCurveFilters", &KFbxKFCurveFilterMatrixConverter::ClassId, &KFbxKFCurveFilterMatrixConverter::CreateFn},
    {"KFbxKFCurveFilterResample", "KFbxKFCurveFilters", &KFbxKFCurveFilterResample::ClassId, &KFbxKFCurveFilterResample::CreateFn},
    {"KFbxKFCurveFilterUnroll", "KFbxKFCurveFilters", &KFbxKFCurveFilterUnroll::ClassId, &KFbxKFCurveFilterUnroll::CreateFn},
    {"KFbxStreamOptionsFbxReader", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptionsFbxWriter", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptionsMotionReader", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptionsMotionWriter", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptions3dsReader", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptions3dsWriter", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptionsDxfReader", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptionsDxfWriter", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptionsObjReader", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptionsObjWriter", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptionsColladaReader", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxStreamOptionsColladaWriter", "KFbxStreamOptions", nullptr, nullptr},
    {"KFbxImporter", "KFbxIO", nullptr, nullptr},
    {"KFbxExporter", "KFbxIO", nullptr, nullptr},
    {"KFbxNode", "KFbxTakeNodeContainer", &KFbxNode::ClassId, &KFbxNode::CreateFn},
    {"KFbxGenericNode", "KFbxTakeNodeContainer", &KFbxGenericNode::ClassId, &KFbxGenericNode::CreateFn},
    {"KFbxSurfaceMaterial", "KFbxTakeNodeContainer", &KFbxSurfaceMaterial::ClassId, &KFbxSurfaceMaterial::CreateFn},
    {"KFbxTexture", "KFbxTakeNodeContainer", &KFbxTexture::ClassId, &KFbxTexture::CreateFn},
    {"KFbxVideo", "KFbxTakeNodeContainer", nullptr, nullptr},
    {"KFbxDeformer", "KFbxTakeNodeContainer", &KFbxDeformer::ClassId, &KFbxDeformer::CreateFn},
    {"KFbxSubDeformer", "KFbxTakeNodeContainer", &KFbxSubDeformer::ClassId, &KFbxSubDeformer::CreateFn},
    {"KFbxConstraint", "KFbxTakeNodeContainer", nullptr, nullptr},
    {"KFbxSkin", "KFbxDeformer", &KFbxSkin::ClassId, &KFbxSkin::CreateFn},
    {"KFbxVertexCacheDeformer", "KFbxDeformer", &KFbxVertexCacheDeformer::ClassId, &KFbxVertexCacheDeformer::CreateFn},
    {"KFbxCluster", "KFbxSubDeformer", &KFbxCluster::ClassId, &KFbxCluster::CreateFn},
    {"KFbxConstraintAim", "KFbxConstraint", nullptr, nullptr},
    {"KFbxConstraintParent", "KFbxConstraint", nullptr, nullptr},
    {"KFbxConstraintPosition", "KFbxConstraint", nullptr, nullptr},
    {"KFbxConstraintRotation", "KFbxConstraint", nullptr, nullptr},
    {"KFbxConstraintScale", "KFbxConstraint", nullptr, nullptr},
    {"KFbxCharacter", "KFbxConstraint", nullptr, nullptr},
    {"KFbxConstraintSingleChainIK", "KFbxConstraint", nullptr, nullptr},
    {"KFbxNull", "KFbxNodeAttribute", &KFbxNull::ClassId, &KFbxNull::CreateFn},
    {"KFbxMarker", "KFbxNodeAttribute", &KFbxMarker::ClassId, &KFbxMarker::CreateFn},
    {"KFbxCamera", "KFbxNodeAttribute", nullptr, nullptr},
    {"KFbxCameraSwitcher", "KFbxNodeAttribute", &KFbxCameraSwitcher::ClassId, &KFbxCameraSwitcher::CreateFn},
    {"KFbxLight", "KFbxNodeAttribute", nullptr, nullptr},
    {"KFbxSkeleton", "KFbxNodeAttribute", nullptr, nullptr},
    {"KFbxOpticalReference", "KFbxNodeAttribute", nullptr, nullptr},
    {"KFbxLayerContainer", "KFbxNodeAttribute", &KFbxLayerContainer::ClassId, &KFbxLayerContainer::CreateFn},
    {"KFbxGeometryBase", "KFbxLayerContainer", &KFbxGeometryBase::ClassId, &KFbxGeometryBase::CreateFn},
    {"KFbxShape", "KFbxGeometryBase", &KFbxShape::ClassId, &KFbxShape::CreateFn},
    {"KFbxGeometry", "KFbxGeometryBase", &KFbxGeometry::ClassId, &KFbxGeometry::CreateFn},
    {"KFbxMesh", "KFbxGeometry", &KFbxMesh::ClassId, &KFbxMesh::CreateFn},
    {"KFbxPatch", "KFbxGeometry", nullptr, nullptr},
    {"KFbxNurb", "KFbxGeometry", nullptr, nullptr},
    {"KFbxNurbsSurface", "KFbxGeometry", nullptr, nullptr},
    {"KFbxNurbsCurve", "KFbxGeometry", nullptr, nullptr},
    {"KFbxTrimNurbsSurface", "KFbxGeometry", nullptr, nullptr},
    {"KFbxBoundary", "KFbxGeometry", nullptr, nullptr},
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
