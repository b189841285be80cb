#include <fbxfilesdk/core/KFbxClassRegistration.h>

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryBase.h>
#include <fbxfilesdk/geometry/KFbxLayerContainer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

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
    {"KFbxThumbnail", "KFbxObject", nullptr, nullptr},
    {"KFbxSceneInfo", "KFbxObject", nullptr, nullptr},
    {"KFbxGeometryConverter", "KFbxObject", nullptr, nullptr},
    {"KFbxImageConverter", "KFbxObject", &KFbxImageConverter::ClassId, &KFbxImageConverter::CreateFn},
    {"KFbxScene", "KFbxObject", nullptr, nullptr},
    {"KFbxGeometryWeightedMap", "KFbxObject", nullptr, nullptr},
    {"KFbxPose", "KFbxObject", nullptr, nullptr},
    {"KFbxControlSetPlug", "KFbxObject", nullptr, nullptr},
    {"KFbxCharacterPose", "KFbxObject", nullptr, nullptr},
    {"KFbxCache", "KFbxObject", nullptr, nullptr},
    {"KFbxGlobalSettings", "KFbxObject", nullptr, nullptr},
    {"KFbxIO", "KFbxObject", nullptr, nullptr},
    {"KFbxTakeNodeContainer", "KFbxObject", &KFbxTakeNodeContainer::ClassId, &KFbxTakeNodeContainer::CreateFn},
    // No create function of its own: creating by its id falls back to
    // KFbxObject's, so only its derived kinds are made by class id.
    {"KFbxNodeAttribute", "KFbxObject", &KFbxNodeAttribute::ClassId, nullptr},
    {"KFbxStreamOptions", "KFbxObject", nullptr, nullptr},
    {"KFbxKFCurveFilters", "KFbxObject", nullptr, nullptr},
    {"KFbxKFCurveFilterConstantKeyReducer", "KFbxKFCurveFilters", nullptr, nullptr},
    {"KFbxKFCurveFilterMatrixConverter", "KFbxKFCurveFilters", nullptr, nullptr},
    {"KFbxKFCurveFilterResample", "KFbxKFCurveFilters", nullptr, nullptr},
    {"KFbxKFCurveFilterUnroll", "KFbxKFCurveFilters", nullptr, nullptr},
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
    {"KFbxGenericNode", "KFbxTakeNodeContainer", nullptr, nullptr},
    {"KFbxSurfaceMaterial", "KFbxTakeNodeContainer", nullptr, nullptr},
    {"KFbxTexture", "KFbxTakeNodeContainer", nullptr, nullptr},
    {"KFbxVideo", "KFbxTakeNodeContainer", nullptr, nullptr},
    {"KFbxDeformer", "KFbxTakeNodeContainer", nullptr, nullptr},
    {"KFbxSubDeformer", "KFbxTakeNodeContainer", nullptr, nullptr},
    {"KFbxConstraint", "KFbxTakeNodeContainer", nullptr, nullptr},
    {"KFbxSkin", "KFbxDeformer", nullptr, nullptr},
    {"KFbxVertexCacheDeformer", "KFbxDeformer", nullptr, nullptr},
    {"KFbxCluster", "KFbxSubDeformer", nullptr, nullptr},
    {"KFbxConstraintAim", "KFbxConstraint", nullptr, nullptr},
    {"KFbxConstraintParent", "KFbxConstraint", nullptr, nullptr},
    {"KFbxConstraintPosition", "KFbxConstraint", nullptr, nullptr},
    {"KFbxConstraintRotation", "KFbxConstraint", nullptr, nullptr},
    {"KFbxConstraintScale", "KFbxConstraint", nullptr, nullptr},
    {"KFbxCharacter", "KFbxConstraint", nullptr, nullptr},
    {"KFbxConstraintSingleChainIK", "KFbxConstraint", nullptr, nullptr},
    {"KFbxNull", "KFbxNodeAttribute", nullptr, nullptr},
    {"KFbxMarker", "KFbxNodeAttribute", nullptr, nullptr},
    {"KFbxCamera", "KFbxNodeAttribute", nullptr, nullptr},
    {"KFbxCameraSwitcher", "KFbxNodeAttribute", nullptr, nullptr},
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
    {"KFbxSurfaceLambert", "KFbxSurfaceMaterial", nullptr, nullptr},
    {"KFbxSurfacePhong", "KFbxSurfaceMaterial", nullptr, nullptr},
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
    }
    return complete;
}

}  // namespace fbxsdk_2006_11_1
