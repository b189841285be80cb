// Stand-ins for the scene classes that the public object rules name (scene,
// node, attribute, geometry, deformers), registered with the SDK's base
// classes for the tests of the public object layer.
#ifndef QALIMOR_TESTS_CORE_KFBXTESTCLASSES_H
#define QALIMOR_TESTS_CORE_KFBXTESTCLASSES_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>

#include <gtest/gtest.h>

#include <new>

namespace fbxsdk_2006_11_1::testing_classes {

template <class Tag, int TypeCode>
class StandIn : public KFbxObject {
public:
    static inline KFbxClassId ClassId;
    StandIn(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) {}
    KFbxClassId GetClassId() const override { return ClassId; }
    int GetObjectTypeCode() const override { return TypeCode; }
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name) {
        auto* object = new (std::nothrow) StandIn(manager, name);
        if (object != nullptr) {
            object->CreateInternal();
        }
        return object;
    }
};

using TestScene = StandIn<struct SceneTag, 17>;
using TestNode = StandIn<struct NodeTag, 1>;
using TestTexture = StandIn<struct TextureTag, 2>;
using TestNodeAttribute = StandIn<struct NodeAttributeTag, 0>;
using TestGeometry = StandIn<struct GeometryTag, 14>;
using TestMesh = StandIn<struct MeshTag, 14>;
using TestDeformer = StandIn<struct DeformerTag, 18>;
using TestSkin = StandIn<struct SkinTag, 18>;
using TestCluster = StandIn<struct ClusterTag, 19>;
using TestConstraint = StandIn<struct ConstraintTag, 6>;
using TestWeightedMap = StandIn<struct WeightedMapTag, 16>;

inline void RegisterOnce() {
    if (KFbxPlug::ClassId != KFbxClassId()) {
        return;
    }
    KFbxBuildDataTypes();
    KFbxPlug::ClassId = KFbxClassId("KFbxPlug", KFbxClassId(), nullptr);
    KFbxProperty::ClassId = KFbxClassId("KFbxProperty", KFbxPlug::ClassId, &KFbxProperty::CreateFn);
    KFbxObject::ClassId = KFbxClassId("KFbxObject", KFbxPlug::ClassId, &KFbxObject::CreateFn);
    TestScene::ClassId = KFbxClassId("KFbxScene", KFbxObject::ClassId, &TestScene::CreateFn);
    TestNode::ClassId = KFbxClassId("KFbxNode", KFbxObject::ClassId, &TestNode::CreateFn);
    TestTexture::ClassId = KFbxClassId("KFbxTexture", KFbxObject::ClassId, &TestTexture::CreateFn);
    TestNodeAttribute::ClassId = KFbxClassId("KFbxNodeAttribute", KFbxObject::ClassId, &TestNodeAttribute::CreateFn);
    TestGeometry::ClassId = KFbxClassId("KFbxGeometry", TestNodeAttribute::ClassId, &TestGeometry::CreateFn);
    TestMesh::ClassId = KFbxClassId("KFbxMesh", TestGeometry::ClassId, &TestMesh::CreateFn);
    TestDeformer::ClassId = KFbxClassId("KFbxDeformer", KFbxObject::ClassId, &TestDeformer::CreateFn);
    TestSkin::ClassId = KFbxClassId("KFbxSkin", TestDeformer::ClassId, &TestSkin::CreateFn);
    TestCluster::ClassId = KFbxClassId("KFbxCluster", KFbxObject::ClassId, &TestCluster::CreateFn);
    TestConstraint::ClassId = KFbxClassId("KFbxConstraint", KFbxObject::ClassId, &TestConstraint::CreateFn);
    TestWeightedMap::ClassId = KFbxClassId("KFbxGeometryWeightedMap", KFbxObject::ClassId, &TestWeightedMap::CreateFn);
    KFbxSceneClassIds ids;
    ids.mScene = TestScene::ClassId;
    ids.mNode = TestNode::ClassId;
    ids.mNodeAttribute = TestNodeAttribute::ClassId;
    ids.mGeometry = TestGeometry::ClassId;
    ids.mGeometryWeightedMap = TestWeightedMap::ClassId;
    ids.mDeformer = TestDeformer::ClassId;
    ids.mSkin = TestSkin::ClassId;
    ids.mCluster = TestCluster::ClassId;
    ids.mConstraint = TestConstraint::ClassId;
    KFbxSetSceneClassIds(ids);
}

// Makes an object of the class as the manager would: create function, then
// the run-time class.
template <class T = KFbxObject>
T* Make(const KFbxClassId& classId, const char* name) {
    KFbxPlug* plug = classId.Create(nullptr, name);
    if (plug != nullptr) {
        plug->SetRuntimeClassId(classId);
    }
    return static_cast<T*>(plug);
}

// Registration once per process; the plug layer (handle pool) for each test.
class PublicLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        KPlugClassRegistry::AddRef();
        RegisterOnce();
    }
    void TearDown() override { KPlugClassRegistry::Release(); }
};

}  // namespace fbxsdk_2006_11_1::testing_classes

#endif
