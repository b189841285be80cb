// The material, texture and deformer classes come from the manager's class
// table; the helpers only enter them again, which is harmless once an id is
// set.
#ifndef QALIMOR_TESTS_GEOMETRY_REGISTERTESTCLASSES_H
#define QALIMOR_TESTS_GEOMETRY_REGISTERTESTCLASSES_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>

#include "scene/SceneTestSupport.h"

namespace fbxsdk_2006_11_1::geometrytest {

inline void RegisterMaterialClasses(KFbxSdkManager* manager) {
    using scenetest::Enter;
    Enter(manager, KFbxSurfaceMaterial::ClassId, "KFbxSurfaceMaterial", KFbxTakeNodeContainer::ClassId,
          &KFbxSurfaceMaterial::CreateFn);
    Enter(manager, KFbxSurfaceLambert::ClassId, "KFbxSurfaceLambert", KFbxSurfaceMaterial::ClassId,
          &KFbxSurfaceLambert::CreateFn);
    Enter(manager, KFbxSurfacePhong::ClassId, "KFbxSurfacePhong", KFbxSurfaceMaterial::ClassId,
          &KFbxSurfacePhong::CreateFn);
    Enter(manager, KFbxTexture::ClassId, "KFbxTexture", KFbxTakeNodeContainer::ClassId, &KFbxTexture::CreateFn);
}

// The table also makes them the classes the ownership rules name.
inline void RegisterDeformerClasses(KFbxSdkManager* manager) {
    using scenetest::Enter;
    Enter(manager, KFbxDeformer::ClassId, "KFbxDeformer", KFbxTakeNodeContainer::ClassId, &KFbxDeformer::CreateFn);
    Enter(manager, KFbxSubDeformer::ClassId, "KFbxSubDeformer", KFbxTakeNodeContainer::ClassId,
          &KFbxSubDeformer::CreateFn);
    Enter(manager, KFbxSkin::ClassId, "KFbxSkin", KFbxDeformer::ClassId, &KFbxSkin::CreateFn);
    Enter(manager, KFbxCluster::ClassId, "KFbxCluster", KFbxSubDeformer::ClassId, &KFbxCluster::CreateFn);
    Enter(manager, KFbxVertexCacheDeformer::ClassId, "KFbxVertexCacheDeformer", KFbxDeformer::ClassId,
          &KFbxVertexCacheDeformer::CreateFn);
    Enter(manager, KFbxCache::ClassId, "KFbxCache", KFbxObject::ClassId, &KFbxCache::CreateFn);
    Enter(manager, KFbxGeometryWeightedMap::ClassId, "KFbxGeometryWeightedMap", KFbxObject::ClassId,
          &KFbxGeometryWeightedMap::CreateFn);
    EXPECT_NE(KFbxDeformer::ClassId, KFbxClassId());
    EXPECT_EQ(KFbxGetSceneClassIds().mDeformer, KFbxDeformer::ClassId);
    EXPECT_EQ(KFbxGetSceneClassIds().mSkin, KFbxSkin::ClassId);
    EXPECT_EQ(KFbxGetSceneClassIds().mCluster, KFbxCluster::ClassId);
    EXPECT_EQ(KFbxGetSceneClassIds().mGeometryWeightedMap, KFbxGeometryWeightedMap::ClassId);
}

}  // namespace fbxsdk_2006_11_1::geometrytest

#endif
