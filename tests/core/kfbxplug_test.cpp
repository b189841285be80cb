#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxProperty_internal.h>
#include <fbxfilesdk/core/KPlug.h>

#include "kfbxtestclasses.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::testing_classes;

namespace {

// Records every event it hears, in one log shared by all listeners, and
// refuses the codes it is told to.
std::vector<std::pair<const KFbxPlug*, int>> gLog;
// Whether the link existed when each event was heard.
std::vector<bool> gLinked;

class Listener : public KFbxObject {
public:
    using KFbxObject::KFbxObject;
    int mRefuse = -1;
    bool mRefusesSources = false;
    std::vector<std::pair<const KFbxObject*, bool>> mDstLinks;
    bool ConnectNotify(const KFbxConnectEvent& event) override {
        gLog.emplace_back(this, event.mCode);
        gLinked.push_back(event.mDst->IsConnectedSrc(event.mSrc));
        return event.mCode != mRefuse && KFbxObject::ConnectNotify(event);
    }
    bool AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) override {
        return !mRefusesSources && KFbxObject::AcceptsSrcObject(source, askedOf, oneWay);
    }
    void DstObjectLinked(KFbxObject& destination, bool linked) override {
        mDstLinks.emplace_back(&destination, linked);
    }
};

class KFbxPlugTest : public PublicLayerTest {
protected:
    void SetUp() override {
        PublicLayerTest::SetUp();
        gLog.clear();
        gLinked.clear();
    }
};

TEST_F(KFbxPlugTest, ConnectAndDisconnectAnnounceTheirCodesInOrder) {
    Listener dst(nullptr, "dst");
    Listener src(nullptr, "src");
    dst.CreateInternal();
    src.CreateInternal();
    ASSERT_TRUE(dst.ConnectSrc(&src));
    const std::vector<std::pair<const KFbxPlug*, int>> connect = {{&dst, 0}, {&src, 3}, {&dst, 1},
                                                                   {&src, 4}, {&dst, 2}, {&src, 5}};
    EXPECT_EQ(gLog, connect);
    EXPECT_EQ(gLinked, (std::vector<bool>{false, false, false, false, true, true}));
    EXPECT_TRUE(dst.IsConnectedSrc(&src));
    EXPECT_TRUE(src.IsConnectedDst(&dst));

    gLog.clear();
    gLinked.clear();
    ASSERT_TRUE(src.DisconnectDst(&dst));
    const std::vector<std::pair<const KFbxPlug*, int>> disconnect = {{&dst, 6}, {&src, 9},  {&dst, 7},
                                                                      {&src, 10}, {&dst, 8}, {&src, 11}};
    EXPECT_EQ(gLog, disconnect);
    EXPECT_EQ(gLinked, (std::vector<bool>{true, true, true, true, false, false}));
    EXPECT_FALSE(dst.IsConnectedSrc(&src));
}

TEST_F(KFbxPlugTest, ARefusalAtEitherMayStepStopsWithNothingChanged) {
    Listener dst(nullptr, "dst");
    Listener src(nullptr, "src");
    dst.CreateInternal();
    src.CreateInternal();

    dst.mRefuse = 0;
    EXPECT_FALSE(dst.ConnectSrc(&src));
    EXPECT_EQ(gLog, (std::vector<std::pair<const KFbxPlug*, int>>{{&dst, 0}}));
    EXPECT_FALSE(dst.IsConnectedSrc(&src));

    gLog.clear();
    dst.mRefuse = -1;
    src.mRefuse = 3;
    EXPECT_FALSE(dst.ConnectSrc(&src));
    EXPECT_EQ(gLog, (std::vector<std::pair<const KFbxPlug*, int>>{{&dst, 0}, {&src, 3}}));
    EXPECT_EQ(dst.GetInternalPlug()->GetSrcCount(), 0);

    src.mRefuse = -1;
    ASSERT_TRUE(dst.ConnectSrc(&src));
    gLog.clear();
    src.mRefuse = 9;
    EXPECT_FALSE(dst.DisconnectSrc(&src));
    EXPECT_EQ(gLog, (std::vector<std::pair<const KFbxPlug*, int>>{{&dst, 6}, {&src, 9}}));
    EXPECT_TRUE(dst.IsConnectedSrc(&src));
    src.mRefuse = -1;
    EXPECT_TRUE(dst.DisconnectSrc(&src));

    // The object that takes the source has its say on every route, the
    // twins' own plugs too; the other end hears of each link made and broken.
    dst.mRefusesSources = true;
    EXPECT_FALSE(dst.ConnectSrc(&src));
    EXPECT_FALSE(src.GetInternalPlug()->ConnectDst(dst.GetInternalPlug()));
    dst.mRefusesSources = false;
    ASSERT_TRUE(src.GetInternalPlug()->ConnectDst(dst.GetInternalPlug()));
    ASSERT_TRUE(dst.GetInternalPlug()->DisconnectSrc(src.GetInternalPlug()));
    EXPECT_EQ(src.mDstLinks, (std::vector<std::pair<const KFbxObject*, bool>>{
                                 {&dst, true}, {&dst, false}, {&dst, true}, {&dst, false}}));
}

TEST_F(KFbxPlugTest, NullPlugsAndFailedLinks) {
    Listener dst(nullptr, "dst");
    dst.CreateInternal();
    EXPECT_FALSE(dst.ConnectSrc(nullptr));
    EXPECT_FALSE(dst.ConnectDst(nullptr));
    EXPECT_FALSE(dst.DisconnectSrc(nullptr));
    EXPECT_FALSE(dst.IsConnectedSrc(nullptr));
    EXPECT_TRUE(gLog.empty());

    // A link the internal plugs refuse (a plug to itself) still sends the after-events.
    EXPECT_FALSE(dst.ConnectSrc(&dst));
    EXPECT_EQ(gLog.size(), 6u);
    EXPECT_EQ(gLog.back().second, 5);

    // Without internal plugs there is nothing to link or count.
    Listener bare(nullptr, "bare");
    EXPECT_FALSE(dst.ConnectSrc(&bare));
    EXPECT_EQ(bare.GetSrcCount(KFbxObject::ClassId), 0);
    EXPECT_EQ(bare.GetSrc(0, KFbxObject::ClassId), nullptr);
}

TEST_F(KFbxPlugTest, QueriesByClassFollowTheRunTimeClass) {
    KFbxObject* node = Make(TestNode::ClassId, "node");
    KFbxObject* child = Make(TestNode::ClassId, "child");
    KFbxObject* mesh = Make(TestMesh::ClassId, "mesh");
    KFbxObject* texture = Make(TestTexture::ClassId, "texture");
    KFbxProperty property = KFbxProperty::Create(texture, "Size", gKFbxDataTypeNumber, "");
    ASSERT_TRUE(node->ConnectSrc(child));
    ASSERT_TRUE(node->ConnectSrc(mesh));
    ASSERT_TRUE(node->ConnectSrc(&property));

    EXPECT_EQ(node->GetSrcCount(KFbxObject::ClassId), 2);
    EXPECT_EQ(node->GetSrcCount(KFbxPlug::ClassId), 3);
    EXPECT_EQ(node->GetSrcCount(TestGeometry::ClassId), 1);
    EXPECT_EQ(node->GetSrc(0, TestGeometry::ClassId), mesh);
    EXPECT_EQ(node->GetSrc(1, TestGeometry::ClassId), nullptr);
    EXPECT_EQ(node->GetSrc(-1, KFbxObject::ClassId), nullptr);
    EXPECT_EQ(*static_cast<KFbxProperty*>(node->GetSrc(2, KFbxPlug::ClassId)), property);
    EXPECT_EQ(node->GetSrcCount(KFbxClassId()), 0);
    EXPECT_EQ(node->GetSrc(0, KFbxClassId()), nullptr);
    EXPECT_EQ(mesh->GetDst(0, TestNode::ClassId), node);
    EXPECT_EQ(mesh->GetDstCount(TestScene::ClassId), 0);

    EXPECT_EQ(node->FindSrcByName("mesh", KFbxObject::ClassId, 0), mesh);
    EXPECT_EQ(node->FindSrcByName("mesh", KFbxObject::ClassId, 2), nullptr);
    EXPECT_EQ(node->FindSrcByName("Size", KFbxPlug::ClassId, 0), nullptr);
    EXPECT_EQ(node->FindSrcObject(KFbxClassId(), "child"), child);

    // Child nodes go from the last to the first; the attribute stays.
    EXPECT_TRUE(node->DisconnectAllSrcObject(TestNode::ClassId));
    EXPECT_EQ(node->GetSrcObjectCount(TestNode::ClassId), 0);
    EXPECT_EQ(node->GetSrcObject(KFbxClassId(), 0), mesh);

    // The node takes its attribute along.
    for (KFbxObject* object : {node, child, texture}) {
        object->Destroy();
    }
}

TEST_F(KFbxPlugTest, PublicPlugsOfInternalPlugs) {
    KFbxObject* object = Make(KFbxObject::ClassId, "object");
    KFbxProperty property = KFbxProperty::Create(object, "P", gKFbxDataTypeBool, "");
    KPlug plain;
    EXPECT_EQ(KFbxGetPublicPlug(object->GetInternalPlug()), object);
    EXPECT_EQ(KFbxCastToObjectInternal(object->GetInternalPlug()), object->GetInternalObject());
    EXPECT_EQ(KFbxGetPublicPlug(property.GetInternalPlug()), object->FindPropertyByInternal(property.GetKProperty()));
    EXPECT_EQ(KFbxCastToObjectInternal(property.GetInternalPlug()), nullptr);
    EXPECT_EQ(KFbxGetPublicPlug(&plain), nullptr);
    EXPECT_EQ(KFbxGetPublicPlug(nullptr), nullptr);
    // The casts answer as dynamic casts would.
    EXPECT_EQ(KFbxCastToObjectInternal(&plain), nullptr);
    EXPECT_EQ(KObject::AsKObject(&plain), nullptr);
    EXPECT_EQ(KObject::AsKObject(object->GetInternalPlug()), object->GetInternalObject());
    KFbxPlug* handle = &property;
    EXPECT_EQ(KFbxCastToObject(static_cast<KFbxPlug*>(object)), object);
    EXPECT_EQ(KFbxCastToObject(handle), dynamic_cast<KFbxObject*>(handle));
    EXPECT_EQ(KFbxCastToObject(static_cast<const KFbxPlug*>(nullptr)), nullptr);
    object->Destroy();
}

TEST_F(KFbxPlugTest, APropertyAsksItsObjectAndRefusesWithoutOne) {
    Listener owner(nullptr, "owner");
    owner.CreateInternal();
    Listener dst(nullptr, "dst");
    dst.CreateInternal();
    KFbxProperty loose(static_cast<KFbxSdkManager*>(nullptr), "loose", gKFbxDataTypeNumber, "");
    EXPECT_FALSE(dst.ConnectSrc(&loose));
    EXPECT_EQ(gLog, (std::vector<std::pair<const KFbxPlug*, int>>{{&dst, 0}}));
    EXPECT_FALSE(dst.IsConnectedSrc(&loose));

    KFbxProperty owned = KFbxProperty::Create(&owner, "owned", gKFbxDataTypeNumber, "");
    gLog.clear();
    owner.mRefuse = 3;
    EXPECT_FALSE(dst.ConnectSrc(&owned));
    // The source's answer came from its object.
    EXPECT_EQ(gLog, (std::vector<std::pair<const KFbxPlug*, int>>{{&dst, 0}, {&owner, 3}}));
    owner.mRefuse = -1;
    EXPECT_TRUE(dst.ConnectSrc(&owned));
    EXPECT_TRUE(dst.IsConnectedSrc(&owned));
}

bool gRemoveResult = false;
std::vector<std::pair<KFbxSdkManager*, KFbxPlug*>> gRemoved;
bool RecordRemove(KFbxSdkManager* manager, KFbxPlug* plug) {
    gRemoved.emplace_back(manager, plug);
    return gRemoveResult;
}

TEST_F(KFbxPlugTest, DestroyLeavesTheManagerEvenWhenItDoesNotHoldThePlug) {
    auto* manager = reinterpret_cast<KFbxSdkManager*>(&gRemoved);
    KFbxPlug::SetRemoveFromManagerFn(&RecordRemove);
    gRemoved.clear();
    KFbxPlug* object = KFbxObject::CreateFn(manager, "held");
    object->Destroy();
    ASSERT_EQ(gRemoved.size(), 1u);
    EXPECT_EQ(gRemoved[0].first, manager);
    EXPECT_EQ(gRemoved[0].second, object);

    KFbxObject::CreateFn(nullptr, "free")->Destroy();
    EXPECT_EQ(gRemoved.size(), 1u);
    KFbxPlug::SetRemoveFromManagerFn(nullptr);
}

TEST_F(KFbxPlugTest, ClassTests) {
    KFbxObject* mesh = Make(TestMesh::ClassId, "mesh");
    EXPECT_TRUE(mesh->Is(TestNodeAttribute::ClassId));
    EXPECT_TRUE(mesh->Is(KFbxPlug::ClassId));
    EXPECT_FALSE(mesh->Is(TestNode::ClassId));
    KFbxPlug plug;
    EXPECT_FALSE(plug.SetRuntimeClassId(TestMesh::ClassId));
    EXPECT_EQ(plug.GetRuntimeClassId(), KFbxPlug::ClassId);
    // Made as a mesh by a parent's create function: the run-time class says mesh.
    KFbxObject* made = Make(TestMesh::ClassId, "made");
    KFbxObject* plain = Make(KFbxObject::ClassId, "plain");
    plain->SetRuntimeClassId(TestMesh::ClassId);
    EXPECT_EQ(plain->GetClassId(), KFbxObject::ClassId);
    EXPECT_EQ(plain->GetRuntimeClassId(), TestMesh::ClassId);
    EXPECT_TRUE(plain->IsRuntime(TestGeometry::ClassId));
    EXPECT_FALSE(plain->Is(TestGeometry::ClassId));
    for (KFbxObject* object : {mesh, made, plain}) {
        object->Destroy();
    }
}

}  // namespace
