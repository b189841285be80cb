// The classes of this library: their ids, and their rows in the order in
// which the first SDK manager registers them.
#include <fbxfilesdk/core/KFbxClassRegistration.h>
#include <fbxfilesdk/core/KFbxObject.h>

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

namespace fbxsdk_2006_11_1 {

// Defined here rather than with each class, so that a program using any of
// these classes also links their rows below.
KFbxClassId KFbxGeometryConverter::ClassId;
KFbxClassId KFbxGeometryWeightedMap::ClassId;
KFbxClassId KFbxCache::ClassId;
KFbxClassId KFbxSurfaceMaterial::ClassId;
KFbxClassId KFbxTexture::ClassId;
KFbxClassId KFbxDeformer::ClassId;
KFbxClassId KFbxSubDeformer::ClassId;
KFbxClassId KFbxSkin::ClassId;
KFbxClassId KFbxVertexCacheDeformer::ClassId;
KFbxClassId KFbxCluster::ClassId;
KFbxClassId KFbxOpticalReference::ClassId;
KFbxClassId KFbxLayerContainer::ClassId;
KFbxClassId KFbxGeometryBase::ClassId;
KFbxClassId KFbxShape::ClassId;
KFbxClassId KFbxGeometry::ClassId;
KFbxClassId KFbxMesh::ClassId;
KFbxClassId KFbxPatch::ClassId;
KFbxClassId KFbxNurb::ClassId;
KFbxClassId KFbxNurbsSurface::ClassId;
KFbxClassId KFbxNurbsCurve::ClassId;
KFbxClassId KFbxTrimNurbsSurface::ClassId;
KFbxClassId KFbxBoundary::ClassId;
KFbxClassId KFbxSurfaceLambert::ClassId;
KFbxClassId KFbxSurfacePhong::ClassId;

namespace {

// The object rules of the base library reach these classes through their
// ids, and the scene reaches a geometry's pivot only through its hook.
void InstallGeometryClassIds() {
    KFbxSceneClassIds ids = KFbxGetSceneClassIds();
    ids.mGeometry = KFbxGeometry::ClassId;
    ids.mGeometryWeightedMap = KFbxGeometryWeightedMap::ClassId;
    ids.mDeformer = KFbxDeformer::ClassId;
    ids.mSkin = KFbxSkin::ClassId;
    ids.mCluster = KFbxCluster::ClassId;
    KFbxSetSceneClassIds(ids);
    KFbxInstallGeometryPivotTransform();
}

constexpr KFbxClassRegistrationPlace kRows[] = {
    {5, {"KFbxGeometryConverter", "KFbxObject", &KFbxGeometryConverter::ClassId, &KFbxGeometryConverter::CreateFn}},
    {8, {"KFbxGeometryWeightedMap", "KFbxObject", &KFbxGeometryWeightedMap::ClassId, &KFbxGeometryWeightedMap::CreateFn}},
    {12, {"KFbxCache", "KFbxObject", &KFbxCache::ClassId, &KFbxCache::CreateFn}},
    {39, {"KFbxSurfaceMaterial", "KFbxTakeNodeContainer", &KFbxSurfaceMaterial::ClassId, &KFbxSurfaceMaterial::CreateFn}},
    {40, {"KFbxTexture", "KFbxTakeNodeContainer", &KFbxTexture::ClassId, &KFbxTexture::CreateFn}},
    {42, {"KFbxDeformer", "KFbxTakeNodeContainer", &KFbxDeformer::ClassId, &KFbxDeformer::CreateFn}},
    {43, {"KFbxSubDeformer", "KFbxTakeNodeContainer", &KFbxSubDeformer::ClassId, &KFbxSubDeformer::CreateFn}},
    {45, {"KFbxSkin", "KFbxDeformer", &KFbxSkin::ClassId, &KFbxSkin::CreateFn}},
    {46, {"KFbxVertexCacheDeformer", "KFbxDeformer", &KFbxVertexCacheDeformer::ClassId, &KFbxVertexCacheDeformer::CreateFn}},
    {47, {"KFbxCluster", "KFbxSubDeformer", &KFbxCluster::ClassId, &KFbxCluster::CreateFn}},
    {61, {"KFbxOpticalReference", "KFbxNodeAttribute", &KFbxOpticalReference::ClassId, &KFbxOpticalReference::CreateFn}},
    {62, {"KFbxLayerContainer", "KFbxNodeAttribute", &KFbxLayerContainer::ClassId, &KFbxLayerContainer::CreateFn}},
    {63, {"KFbxGeometryBase", "KFbxLayerContainer", &KFbxGeometryBase::ClassId, &KFbxGeometryBase::CreateFn}},
    {64, {"KFbxShape", "KFbxGeometryBase", &KFbxShape::ClassId, &KFbxShape::CreateFn}},
    {65, {"KFbxGeometry", "KFbxGeometryBase", &KFbxGeometry::ClassId, &KFbxGeometry::CreateFn}},
    {66, {"KFbxMesh", "KFbxGeometry", &KFbxMesh::ClassId, &KFbxMesh::CreateFn}},
    {67, {"KFbxPatch", "KFbxGeometry", &KFbxPatch::ClassId, &KFbxPatch::CreateFn}},
    {68, {"KFbxNurb", "KFbxGeometry", &KFbxNurb::ClassId, &KFbxNurb::CreateFn}},
    {69, {"KFbxNurbsSurface", "KFbxGeometry", &KFbxNurbsSurface::ClassId, &KFbxNurbsSurface::CreateFn}},
    {70, {"KFbxNurbsCurve", "KFbxGeometry", &KFbxNurbsCurve::ClassId, &KFbxNurbsCurve::CreateFn}},
    {71, {"KFbxTrimNurbsSurface", "KFbxGeometry", &KFbxTrimNurbsSurface::ClassId, &KFbxTrimNurbsSurface::CreateFn}},
    {72, {"KFbxBoundary", "KFbxGeometry", &KFbxBoundary::ClassId, &KFbxBoundary::CreateFn}},
    {73, {"KFbxSurfaceLambert", "KFbxSurfaceMaterial", &KFbxSurfaceLambert::ClassId, &KFbxSurfaceLambert::CreateFn}},
    {74, {"KFbxSurfacePhong", "KFbxSurfaceMaterial", &KFbxSurfacePhong::ClassId, &KFbxSurfacePhong::CreateFn}},
};

const KFbxClassRows kClassRows(kRows, InstallGeometryClassIds);

}  // namespace

}  // namespace fbxsdk_2006_11_1
