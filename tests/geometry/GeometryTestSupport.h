// A manager with the scene and geometry classes entered by its class table,
// and meshes made through it.
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

// The manager's class table registers the geometry classes.
inline void ExpectGeometryClassesRegistered() {
    EXPECT_NE(KFbxLayerContainer::ClassId, KFbxClassId());
    EXPECT_NE(KFbxGeometryBase::ClassId, KFbxClassId());
    EXPECT_NE(KFbxShape::ClassId, KFbxClassId());
    EXPECT_NE(KFbxGeometry::ClassId, KFbxClassId());
    EXPECT_NE(KFbxMesh::ClassId, KFbxClassId());
    EXPECT_EQ(KFbxGetSceneClassIds().mGeometry, KFbxGeometry::ClassId);
}

class GeometryTest : public scenetest::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        ExpectGeometryClassesRegistered();
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
