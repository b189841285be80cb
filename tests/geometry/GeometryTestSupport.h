// A manager with the scene and geometry classes entered, as the class table
// will once it lists them.
#ifndef QALIMOR_TESTS_GEOMETRY_GEOMETRYTESTSUPPORT_H
#define QALIMOR_TESTS_GEOMETRY_GEOMETRYTESTSUPPORT_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryBase.h>
#include <fbxfilesdk/geometry/KFbxLayerContainer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include "scene/SceneTestSupport.h"

#include <gtest/gtest.h>

namespace fbxsdk_2006_11_1::geometrytest {

// After the scene classes.
inline void RegisterGeometryClasses(KFbxSdkManager* manager) {
    using scenetest::Enter;
    Enter(manager, KFbxLayerContainer::ClassId, "KFbxLayerContainer", KFbxNodeAttribute::ClassId,
          &KFbxLayerContainer::CreateFn);
    Enter(manager, KFbxGeometryBase::ClassId, "KFbxGeometryBase", KFbxLayerContainer::ClassId,
          &KFbxGeometryBase::CreateFn);
    Enter(manager, KFbxShape::ClassId, "KFbxShape", KFbxGeometryBase::ClassId, &KFbxShape::CreateFn);
    Enter(manager, KFbxGeometry::ClassId, "KFbxGeometry", KFbxGeometryBase::ClassId, &KFbxGeometry::CreateFn);
    Enter(manager, KFbxMesh::ClassId, "KFbxMesh", KFbxGeometry::ClassId, &KFbxMesh::CreateFn);
    KFbxSceneClassIds ids = KFbxGetSceneClassIds();
    ids.mGeometry = KFbxGeometry::ClassId;
    KFbxSetSceneClassIds(ids);
}

class GeometryTest : public scenetest::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        if (mManager != nullptr) {
            RegisterGeometryClasses(mManager);
        }
    }

    // A mesh with the points (x, y, z, 0).
    KFbxMesh* MakeMesh(std::initializer_list<KFbxVector4> points = {}) {
        KFbxMesh* mesh = KFbxMesh::Create(mManager, "mesh");
        EXPECT_NE(mesh, nullptr);
        if (mesh != nullptr) {
            mesh->InitControlPoints(static_cast<int>(points.size()));
            int index = 0;
            for (const KFbxVector4& point : points) {
                mesh->GetControlPoints()[index++] = point;
            }
        }
        return mesh;
    }
};

}  // namespace fbxsdk_2006_11_1::geometrytest

#endif
