// Nodes and node attributes made through an SDK manager, whose class table
// registers the scene classes, and a few attribute kinds standing in for the
// real ones.
#ifndef QALIMOR_TESTS_SCENE_SCENETESTSUPPORT_H
#define QALIMOR_TESTS_SCENE_SCENETESTSUPPORT_H

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <gtest/gtest.h>

#include <new>

namespace fbxsdk_2006_11_1::scenetest {

// An attribute of one type code; the mesh kind adds a channel of its own.
template <int Type>
class Attribute : public KFbxNodeAttribute {
public:
    static inline KFbxClassId ClassId;
    using KFbxNodeAttribute::KFbxNodeAttribute;
    KFbxClassId GetClassId() const override { return ClassId; }
    EAttributeType GetAttributeType() const override { return static_cast<EAttributeType>(Type); }
    const char* GetTypeName() const override { return Type == eMESH ? "Mesh" : "Kind"; }
    void FillTakeNodeTemplate(KFbxTakeNode& takeNode) override {
        if (Type == eMESH) {
            takeNode.GetKFCurveNode()->Add(KFCurveNode::Create("MeshChannel", nullptr));
        }
    }
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name) {
        auto* attribute = new (std::nothrow) Attribute(manager, name);
        if (attribute != nullptr) {
            attribute->CreateInternal();
        }
        return attribute;
    }
    static Attribute* Make(KFbxSdkManager* manager, const char* name = "attribute") {
        return static_cast<Attribute*>(CreateObjectOfClass(manager, ClassId, name));
    }
};

using Mesh = Attribute<KFbxNodeAttribute::eMESH>;
using Camera = Attribute<KFbxNodeAttribute::eCAMERA>;
using Light = Attribute<KFbxNodeAttribute::eLIGHT>;
using Null = Attribute<KFbxNodeAttribute::eNULL>;

// A test class enters the manager: registered by the first manager that
// needs it, merely added to the later ones.
inline void Enter(KFbxSdkManager* manager, KFbxClassId& classId, const char* name, const KFbxClassId& parent,
                  KFbxPlugCreateFn createFn) {
    if (classId == KFbxClassId()) {
        classId = RegisterClass(manager, name, parent, createFn, nullptr, nullptr);
    } else {
        manager->AddClassId(classId);
    }
}

// The SDK's scene classes come from the manager's own class table; only the
// stand-in attribute kinds are the tests' to register.
inline void RegisterSceneClasses(KFbxSdkManager* manager) {
    EXPECT_NE(KFbxTakeNodeContainer::ClassId, KFbxClassId());
    EXPECT_NE(KFbxNode::ClassId, KFbxClassId());
    EXPECT_NE(KFbxNodeAttribute::ClassId, KFbxClassId());
    EXPECT_EQ(KFbxGetSceneClassIds().mNode, KFbxNode::ClassId);
    EXPECT_EQ(KFbxGetSceneClassIds().mNodeAttribute, KFbxNodeAttribute::ClassId);
    Enter(manager, Mesh::ClassId, "TestMesh", KFbxNodeAttribute::ClassId, &Mesh::CreateFn);
    Enter(manager, Camera::ClassId, "TestCamera", KFbxNodeAttribute::ClassId, &Camera::CreateFn);
    Enter(manager, Light::ClassId, "TestLight", KFbxNodeAttribute::ClassId, &Light::CreateFn);
    Enter(manager, Null::ClassId, "TestNull", KFbxNodeAttribute::ClassId, &Null::CreateFn);
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
        RegisterSceneClasses(mManager);
    }
    void TearDown() override { delete mManager; }

    KFbxNode* MakeNode(const char* name, KFbxNode* parent = nullptr) {
        KFbxNode* node = KFbxNode::Create(mManager, name);
        if (node != nullptr && parent != nullptr) {
            parent->AddChild(node);
        }
        return node;
    }

    KFbxSdkManager* mManager = nullptr;
};

// The curve of a component ("T/X" ...) in a take.
inline KFCurve* ChannelCurve(KFbxTakeNode* takeNode, const char* channel, const char* component) {
    KFCurveNode* node = takeNode->GetKFCurveNode()->Find(channel);
    KFCurveNode* child = node != nullptr ? node->Find(component) : nullptr;
    return child != nullptr ? child->FCurveGet() : nullptr;
}

// Every element of the 4x4 matrices within the tolerance.
inline void ExpectMatrixNear(const KgeMatrix& actual, const double (&expected)[4][4], double tolerance = 1e-9) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(actual[row][column], expected[row][column], tolerance) << "element " << row << "," << column;
        }
    }
}

}  // namespace fbxsdk_2006_11_1::scenetest

#endif
