// The scene as a new one stands, the game's road through its takes to
// evaluated transforms, take names and records, membership, Clear and
// destruction through the manager.
#include <fbxfilesdk/animation/KFCurveKey.h>
#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalTimeSettings.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "scene/SceneObjectsTestSupport.h"
#include "support/DeepChain.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

const KTime kOneSecond(46186158000LL);

void Key(KFbxTakeNode* takeNode, const char* channel, const char* component, KTime time, float value) {
    KFCurve* curve = ChannelCurve(takeNode, channel, component);
    ASSERT_NE(curve, nullptr) << channel << "/" << component;
    curve->KeySet(curve->KeyGetCount(), time, value, KFCURVE_INTERPOLATION_LINEAR);
}

void DeleteNames(std::vector<KString*>& names) {
    for (KString* name : names) {
        delete name;
    }
    names.clear();
}

class KFbxSceneTest : public SceneObjectTest {
protected:
    void SetUp() override {
        SceneObjectTest::SetUp();
        mScene = KFbxScene::Create(mManager, "");
        ASSERT_NE(mScene, nullptr);
    }
    void TearDown() override {
        DeleteNames(mNames);
        SceneObjectTest::TearDown();
    }

    // A node under the root, and the take, as a reader makes it, in every
    // node of the scene.
    KFbxNode* AnimatedChild(const char* name, const char* take) {
        KFbxNode* node = MakeNode(name, mScene->GetRootNode());
        for (int index = 0; index < mScene->GetNodeCount(); ++index) {
            mScene->GetNode(index)->CreateTakeNode(take);
        }
        return node;
    }

    KFbxScene* mScene = nullptr;
    std::vector<KString*> mNames;
};

TEST_F(KFbxSceneTest, NewSceneHoldsRootSwitcherItsAttributeAndGlobalSettings) {
    EXPECT_EQ(mScene->GetSrcObjectCount(), 4);
    EXPECT_EQ(mScene->GetNodeCount(), 2);
    ASSERT_NE(mScene->GetRootNode(), nullptr);
    EXPECT_STREQ(mScene->GetRootNode()->GetName(), "RootNode");
    KFbxNode* switcherNode = mScene->GetCameraSwitcherNode();
    ASSERT_NE(switcherNode, nullptr);
    EXPECT_STREQ(switcherNode->GetName(), "Camera Switcher");
    EXPECT_FALSE(switcherNode->GetVisibility());
    ASSERT_NE(switcherNode->GetNodeAttribute(), nullptr);
    EXPECT_EQ(switcherNode->GetNodeAttribute()->GetAttributeType(), KFbxNodeAttribute::eCAMERA_SWITCHER);
    EXPECT_EQ(switcherNode->GetNodeAttribute()->GetScene(), mScene);
    ASSERT_NE(mScene->GetGlobalSettings(), nullptr);
    EXPECT_STREQ(mScene->GetGlobalSettings()->GetName(), "GlobalSettings");
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "");
    EXPECT_EQ(mScene->GetTakeInfoCount(), 0);
    EXPECT_EQ(mScene->GetSceneInfo(), nullptr);
    EXPECT_EQ(mScene->GetObjectTypeCode(), 17);
    EXPECT_EQ(mScene->GetGlobalTimeSettings().GetTimeMode(), 6);
}

TEST_F(KFbxSceneTest, GameRoadListsTakesMakesOneCurrentAndEvaluatesItsCurves) {
    KFbxNode* node = AnimatedChild("box", "Take 001");
    KFbxTakeNode* take = node->GetTakeNode(1);
    ASSERT_NE(take, nullptr);
    Key(take, "T", "X", KTime(0), 0.0f);
    Key(take, "T", "X", kOneSecond * 2, 10.0f);
    Key(take, "R", "Z", KTime(0), 0.0f);
    Key(take, "R", "Z", kOneSecond * 2, 90.0f);
    KFbxTakeInfo info;
    info.mName = "Take 001";
    info.mLocalTimeSpan.Set(KTime(0), kOneSecond * 2);
    ASSERT_TRUE(mScene->SetTakeInfo(info));

    mScene->FillTakeNameArray(mNames);
    ASSERT_EQ(mNames.size(), 2u);
    EXPECT_STREQ(mNames[0]->Buffer(), "Default");
    EXPECT_STREQ(mNames[1]->Buffer(), "Take 001");
    ASSERT_TRUE(mScene->SetCurrentTake(mNames[1]->Buffer()));
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "Take 001");
    KFbxTakeInfo* current = mScene->GetTakeInfo(*mNames[1]);
    ASSERT_NE(current, nullptr);
    const KTime start = current->mLocalTimeSpan.GetStart();
    const KTime step((current->mLocalTimeSpan.GetStop() - start).Get() / 30);
    EXPECT_EQ(step.Get(), kOneSecond.Get() * 2 / 30);

    const KFCurve* tx = ChannelCurve(take, "T", "X");
    const KFCurve* rz = ChannelCurve(take, "R", "Z");
    for (int frame = 0; frame <= 30; ++frame) {
        const KTime time = start + step * frame;
        const KgeMatrix& global = node->EvaluateGlobalTransform(time);
        const double angle = rz->Evaluate(time) * 3.14159265358979323846 / 180.0;
        EXPECT_NEAR(global[3][0], tx->Evaluate(time), 1e-5) << frame;
        EXPECT_NEAR(global[0][0], std::cos(angle), 1e-6) << frame;
        EXPECT_NEAR(global[0][1], std::sin(angle), 1e-6) << frame;
    }
}

TEST_F(KFbxSceneTest, SetCurrentTakeAsksEveryContainerAndKeepsTheNameOnFailure) {
    KFbxNode* first = MakeNode("first", mScene->GetRootNode());
    KFbxNode* second = MakeNode("second", mScene->GetRootNode());
    first->CreateTakeNode("Run");
    second->CreateTakeNode("Walk");
    EXPECT_FALSE(mScene->SetCurrentTake("Run"));
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "Run");
    EXPECT_EQ(mScene->GetError().GetLastErrorID(), KFbxScene::eTAKE_ERROR);
    EXPECT_STREQ(mScene->GetError().GetLastErrorString(), "Not all nodes have a take node called Run");
    EXPECT_STREQ(first->GetCurrentTakeNode()->GetName(), "Run");
    EXPECT_EQ(second->GetCurrentTakeNodeIndex(), 0);
    // Names compare byte for byte.
    EXPECT_FALSE(mScene->HasTakeName(KString("run")));
    EXPECT_TRUE(mScene->HasTakeName(KString("Walk")));
}

TEST_F(KFbxSceneTest, TakeNamesComeOnceInFirstSeenOrder) {
    AnimatedChild("a", "Jump");
    MakeNode("b", mScene->GetRootNode())->CreateTakeNode("Jump");
    mNames.push_back(new KString("stale"));
    mScene->FillTakeNameArray(mNames);
    ASSERT_EQ(mNames.size(), 2u);
    EXPECT_STREQ(mNames[0]->Buffer(), "Default");
    EXPECT_STREQ(mNames[1]->Buffer(), "Jump");
}

TEST_F(KFbxSceneTest, TakeInfoIsStoredOncePerKnownName) {
    AnimatedChild("a", "Jump");
    KFbxTakeInfo info;
    info.mName = "Nowhere";
    EXPECT_FALSE(mScene->SetTakeInfo(info));
    EXPECT_EQ(mScene->GetTakeInfoCount(), 0);
    info.mName = "Jump";
    info.mDescription = "first";
    EXPECT_TRUE(mScene->SetTakeInfo(info));
    info.mDescription = "second";
    EXPECT_TRUE(mScene->SetTakeInfo(info));
    ASSERT_EQ(mScene->GetTakeInfoCount(), 1);
    EXPECT_STREQ(mScene->GetTakeInfo(KString("Jump"))->mDescription.Buffer(), "second");
    EXPECT_EQ(mScene->GetTakeInfo(KString("jump")), nullptr);
}

TEST_F(KFbxSceneTest, AnObjectJoinsTheSceneOnce) {
    KFbxNode* node = MakeNode("loose");
    EXPECT_TRUE(mScene->ConnectObject(node));
    EXPECT_FALSE(mScene->ConnectObject(node));
    EXPECT_FALSE(mScene->ConnectObject(nullptr));
    EXPECT_EQ(mScene->GetNodeCount(), 3);
    EXPECT_EQ(mScene->FindNodeByName(KString("loose")), node);
    EXPECT_EQ(mScene->FindNodeByName(KString("Loose")), nullptr);
}

TEST_F(KFbxSceneTest, NodesByAttributeTypeRecursiveFromTheRootOrInNodeOrder) {
    KFbxNode* root = mScene->GetRootNode();
    KFbxNode* parent = MakeNode("parent", root);
    KFbxNode* child = MakeNode("child", parent);
    KFbxNode* plain = MakeNode("plain", root);
    root->SetNodeAttribute(Null::Make(mManager));
    child->SetNodeAttribute(Null::Make(mManager));
    parent->SetNodeAttribute(Null::Make(mManager));
    plain->SetNodeAttribute(Mesh::Make(mManager));
    std::vector<KFbxNode*> nodes{plain};
    mScene->FillNodeArrayByAttributeType(nodes, KFbxNodeAttribute::eNULL, true);
    EXPECT_EQ(nodes, (std::vector<KFbxNode*>{root, parent, child}));
    mScene->FillNodeArrayByAttributeType(nodes, KFbxNodeAttribute::eNULL, false);
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0], root);
    mScene->FillNodeArrayByAttributeType(nodes, KFbxNodeAttribute::eMESH, false);
    EXPECT_EQ(nodes, (std::vector<KFbxNode*>{plain}));
}

TEST_F(KFbxSceneTest, ClearReturnsToAFreshSceneWithTheSameRootAndSwitcher) {
    KFbxNode* root = mScene->GetRootNode();
    KFbxNode* switcherNode = mScene->GetCameraSwitcherNode();
    KFbxNodeAttribute* switcher = switcherNode->GetNodeAttribute();
    // Marked, since a fresh object may well take the freed one's address.
    mScene->GetGlobalSettings()->SetName("before clear");
    AnimatedChild("box", "Take 001");
    KFbxTakeInfo info;
    info.mName = "Take 001";
    ASSERT_TRUE(mScene->SetTakeInfo(info));
    ASSERT_TRUE(mScene->SetCurrentTake("Take 001"));
    switcherNode->SetName("renamed");
    static_cast<KFbxCameraSwitcher*>(switcher)->SetDefaultCameraIndex(4);
    mScene->SetSceneInfo(KFbxSceneInfo::Create(mManager, "info"));
    mScene->GetGlobalTimeSettings().SetTimeMode(11);

    mScene->Clear();
    EXPECT_EQ(mScene->GetRootNode(), root);
    EXPECT_EQ(mScene->GetCameraSwitcherNode(), switcherNode);
    EXPECT_EQ(switcherNode->GetNodeAttribute(), switcher);
    EXPECT_EQ(mScene->GetSrcObjectCount(), 4);
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_EQ(root->GetTakeNodeCount(), 1);
    EXPECT_EQ(switcherNode->GetTakeNodeCount(), 1);
    EXPECT_STREQ(switcherNode->GetName(), "Camera Switcher");
    EXPECT_EQ(static_cast<KFbxCameraSwitcher*>(switcher)->GetDefaultCameraIndex(), 0);
    ASSERT_NE(mScene->GetGlobalSettings(), nullptr);
    EXPECT_STRNE(mScene->GetGlobalSettings()->GetName(), "before clear");
    EXPECT_EQ(mScene->GetSceneInfo(), nullptr);
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "");
    EXPECT_EQ(mScene->GetTakeInfoCount(), 0);
    EXPECT_EQ(mScene->GetGlobalTimeSettings().GetTimeMode(), 6);
}

TEST_F(KFbxSceneTest, DestroyingTheSceneTakesItsObjectsWithIt) {
    AnimatedChild("box", "Take 001");
    mScene->SetSceneInfo(KFbxSceneInfo::Create(mManager, "info"));
    mScene->GetRootNode()->Destroy(true);
    const int before = mManager->GetObjectCount();
    mScene->Destroy(true, false);
    // Scene, root, switcher node and attribute, settings, info and the box.
    EXPECT_EQ(mManager->GetObjectCount(), before - 7);
}

TEST_F(KFbxSceneTest, ManagerDestroysAScenePopulatedWithAnimatedNodes) {
    AnimatedChild("box", "Take 001");
    MakeNode("inner", mScene->GetRootNode()->GetChild(0));
    KFbxScene::Create(mManager, "second");
}

// The scene reaches its root, switcher and producer camera nodes for as long
// as it lives: a destroy of any leaves it whole and says why, the root takes
// no parent that would take the scene's tree out of the scene, and the
// switcher and producer cameras stay beside the tree.
TEST_F(KFbxSceneTest, TheSceneKeepsItsRootAndSwitcherNodes) {
    KFbxNode* root = mScene->GetRootNode();
    KFbxNode* switcherNode = mScene->GetCameraSwitcherNode();
    KFbxNode* producer = mScene->GetGlobalCameraSettings().GetCameraProducerTop();
    KFbxNode* child = MakeNode("child", root);
    KFbxNode* loose = MakeNode("loose");
    KFbxScene* other = KFbxScene::Create(mManager, "other");
    KFbxNode* otherProducer = other->GetGlobalCameraSettings().GetCameraProducerLeft();
    const int objects = mManager->GetObjectCount();
    for (KFbxNode* held : {root, switcherNode, producer}) {
        static_cast<KFbxObject*>(held)->Destroy(true, true);
        EXPECT_EQ(held->GetErrorCode(), KFbxNode::eHeldByScene);
    }
    EXPECT_EQ(mManager->GetObjectCount(), objects);
    EXPECT_FALSE(loose->AddChild(root));
    EXPECT_FALSE(loose->ConnectSrc(root));
    EXPECT_FALSE(loose->GetInternalPlug()->ConnectSrc(root->GetInternalPlug()));
    EXPECT_EQ(loose->GetChildCount(), 0);
    EXPECT_EQ(root->GetParent(), nullptr);
    // Neither child nor parent, by any route, another scene's producer
    // camera no more than this scene's.
    for (KFbxNode* held : {switcherNode, producer, otherProducer}) {
        EXPECT_FALSE(child->AddChild(held));
        EXPECT_EQ(child->GetErrorCode(), KFbxNode::eHeldByScene);
        EXPECT_FALSE(child->ConnectSrc(held));
        EXPECT_FALSE(held->ConnectDst(child));
        EXPECT_FALSE(child->GetInternalPlug()->ConnectSrc(held->GetInternalPlug()));
        EXPECT_FALSE(held->AddChild(loose));
        EXPECT_EQ(held->GetErrorCode(), KFbxNode::eHeldByScene);
        EXPECT_FALSE(loose->ConnectDst(held));
        EXPECT_EQ(held->GetParent(), nullptr);
    }
    EXPECT_EQ(child->GetChildCount(), 0);
    EXPECT_EQ(loose->GetParent(), nullptr);
    // Nor does a producer camera join a scene, even linked to one of its objects.
    const int nodes = mScene->GetNodeCount();
    for (KFbxNode* camera : {producer, otherProducer}) {
        EXPECT_FALSE(mScene->ConnectObject(camera));
        EXPECT_TRUE(mScene->GetGlobalSettings()->ConnectSrc(camera));
        EXPECT_EQ(camera->GetScene(), nullptr);
    }
    EXPECT_EQ(mScene->GetNodeCount(), nodes);
    child->Destroy(true);
    // The root taken for the switcher node is not destroyed as the next one
    // comes; a producer camera is never taken.
    mScene->SetCameraSwitcherNode(root);
    // Nor is a node of the tree, which would take the switcher into it.
    KFbxNode* parent = MakeNode("parent", root);
    for (KFbxNode* taken : {producer, parent, MakeNode("leaf", parent)}) {
        mScene->GetError().ClearError();
        mScene->SetCameraSwitcherNode(taken);
        EXPECT_EQ(mScene->GetError().GetLastErrorID(), KFbxScene::eKFBX_OBJECT_ALREADY_OWNED);
    }
    parent->Destroy(true);
    mScene->SetCameraSwitcherNode(loose);
    EXPECT_EQ(mManager->GetObjectCount(), objects - 3);

    // Another scene's nodes are that scene's: its root and switcher stay its
    // own, and a node of its tree or a producer camera of its is not taken
    // for this scene's switcher.
    KFbxNode* otherChild = MakeNode("otherChild", other->GetRootNode());
    for (KFbxNode* taken : {other->GetRootNode(), other->GetCameraSwitcherNode(), otherChild, otherProducer}) {
        mScene->GetError().ClearError();
        mScene->SetCameraSwitcherNode(taken);
        EXPECT_EQ(mScene->GetCameraSwitcherNode(), loose);
        EXPECT_EQ(mScene->GetError().GetLastErrorID(), KFbxScene::eKFBX_OBJECT_OF_ANOTHER_SCENE);
    }
    EXPECT_EQ(other->GetRootNode()->GetSceneRoles(), KFbxNode::eSceneRoot);
    EXPECT_FALSE(loose->AddChild(other->GetRootNode()));
    other->Destroy(true, false);
    EXPECT_STREQ(mScene->GetCameraSwitcherNode()->GetName(), "loose");
    mScene->Clear();
    EXPECT_EQ(mScene->GetNodeCount(), 2);
}

TEST_F(KFbxSceneTest, ReplacingTheSwitcherNodeWithItselfKeepsIt) {
    KFbxNode* switcherNode = mScene->GetCameraSwitcherNode();
    mScene->SetCameraSwitcherNode(switcherNode);
    EXPECT_EQ(mScene->GetCameraSwitcherNode(), switcherNode);
    EXPECT_STREQ(switcherNode->GetName(), "Camera Switcher");
}

// Chains of nodes, each the child of the one before, far deeper than a call
// per level could go, through the operations over a hierarchy that no file
// read or written reaches.
TEST_F(KFbxSceneTest, DeepChainsKeepOffTheCallStack) {
    deepchain::OnChainStack([&] {
        constexpr int kChainLength = deepchain::kDepth;
        // The chain's top is in no scene yet.
        const auto chain = [&](KFbxNode*& top, KFbxNode*& leaf) {
            top = leaf = MakeNode("n0");
            for (int i = 1; i < kChainLength; ++i) {
                leaf = MakeNode(("n" + std::to_string(i)).c_str(), leaf);
                leaf->SetLclTranslation(KFbxVector4(1.0, 0.5, 0.0, 1.0));
            }
        };
        KFbxNode* top = nullptr;
        KFbxNode* leaf = nullptr;
        chain(top, leaf);
        EXPECT_EQ(top->FindChild(("n" + std::to_string(kChainLength - 1)).c_str(), true, true), leaf);
        EXPECT_FALSE(top->IsMarked(true));
        leaf->SetMarked(true);
        EXPECT_TRUE(top->IsMarked(true));
        EXPECT_DOUBLE_EQ(leaf->EvaluateGlobalTransform(kOneSecond)[3][1], (kChainLength - 1) * 0.5);
        KFCurve* curve = ChannelCurve(leaf->GetDefaultTakeNode(), "T", "X");
        ASSERT_NE(curve, nullptr);
        curve->KeySet(0, kOneSecond, 1.0f);
        KTime start(kOneSecond.Get() * 2);
        KTime stop(kOneSecond.Get() * 3);
        EXPECT_TRUE(top->GetAnimationInterval(start, stop));
        EXPECT_EQ(start, kOneSecond);
        leaf->SetRotationPivot(KFbxNode::eSOURCE_SET, KFbxVector4(1.0, 2.0, 3.0, 1.0));
        top->ConvertPivotAnimationRecursive(30.0, false);
        EXPECT_EQ(leaf->GetRotationPivot(KFbxNode::eSOURCE_SET)[1], 0.0);
        ASSERT_TRUE(mScene->GetRootNode()->AddChild(top));
        EXPECT_EQ(leaf->GetScene(), mScene);
        EXPECT_EQ(mScene->GetNodeCount(), kChainLength + 2);
        mScene->Clear();
        EXPECT_EQ(mScene->GetNodeCount(), 2);
        const int before = mManager->GetObjectCount(KFbxNode::ClassId);
        chain(top, leaf);
        top->Destroy(true);
        EXPECT_EQ(mManager->GetObjectCount(KFbxNode::ClassId), before);
    });
}

}  // namespace

namespace {

// Whether the scene lists the node among its own.
bool Lists(const KFbxScene* scene, const KFbxNode* node) {
    for (int index = 0; index < scene->GetNodeCount(); ++index) {
        if (scene->GetNode(index) == node) {
            return true;
        }
    }
    return false;
}

// Every node of the scene's tree is the scene's, and listed by it.
void ExpectListsItsTree(KFbxScene* scene, const std::string& row) {
    std::vector<KFbxNode*> tree{scene->GetRootNode()};
    for (std::size_t next = 0; next < tree.size(); ++next) {
        EXPECT_EQ(tree[next]->GetScene(), scene) << row << " " << tree[next]->GetName();
        EXPECT_TRUE(Lists(scene, tree[next])) << row << " " << tree[next]->GetName();
        for (int child = 0; child < tree[next]->GetChildCount(); ++child) {
            tree.push_back(tree[next]->GetChild(child));
        }
    }
}

// A node of one scene linked under a node of another, by whatever call on
// either end, moves there with its subtree and what they carry: it leaves
// the first scene's lists, which destroys it no more, for the second's.
TEST_F(KFbxSceneTest, ANodeLinkedIntoAnotherScenesTreeMovesThereWithItsSubtree) {
    // (node, its parent, the new parent, a child of the new parent)
    using Move = std::function<bool(KFbxNode*, KFbxNode*, KFbxNode*, KFbxNode*)>;
    const auto P = [](KFbxPlug* object) { return object->GetInternalPlug(); };
    const std::pair<const char*, Move> moves[] = {
        {"AddChild", [](KFbxNode* n, auto, KFbxNode* p, auto) { return p->AddChild(n); }},
        {"ConnectDst", [](KFbxNode* n, auto, KFbxNode* p, auto) { return n->ConnectDst(p); }},
        {"twin ConnectSrc", [&](KFbxNode* n, auto, KFbxNode* p, auto) { return P(p)->ConnectSrc(P(n)); }},
        {"twin ConnectDst", [&](KFbxNode* n, auto, KFbxNode* p, auto) { return P(n)->ConnectDst(P(p)); }},
        {"twin ConnectSrcAt", [&](KFbxNode* n, auto, KFbxNode* p, auto) { return P(p)->ConnectSrcAt(0, P(n)); }},
        {"twin ConnectDstAt", [&](KFbxNode* n, auto, KFbxNode* p, auto) { return P(n)->ConnectDstAt(0, P(p)); }},
        {"twin ReplaceDst", [&](KFbxNode* n, KFbxNode* o, KFbxNode* p, auto) { return P(n)->ReplaceDst(P(o), P(p)); }},
        {"twin SetDstAt", [&](KFbxNode* n, KFbxNode* o, KFbxNode* p, auto) {
             return P(n)->SetDstAt(P(n)->FindDstIndex(P(o)), P(p));
         }},
        {"twin ReplaceSrc", [&](KFbxNode* n, auto, KFbxNode* p, KFbxNode* c) { return P(p)->ReplaceSrc(P(c), P(n)); }},
        {"twin SetSrcAt", [&](KFbxNode* n, auto, KFbxNode* p, KFbxNode* c) {
             return P(p)->SetSrcAt(P(p)->FindSrcIndex(P(c)), P(n));
         }},
    };
    for (const auto& [route, move] : moves) {
        for (const bool firstGoesFirst : {true, false}) {
            const std::string row = std::string(route) + (firstGoesFirst ? " first scene destroyed first" : "");
            KFbxScene* first = KFbxScene::Create(mManager, "first");
            KFbxScene* second = KFbxScene::Create(mManager, "second");
            KFbxNode* parent = MakeNode("parent", first->GetRootNode());
            KFbxNode* node = MakeNode("node", parent);
            KFbxNode* child = MakeNode("child", node);
            Mesh* mesh = Mesh::Make(mManager, "mesh");
            node->AddNodeAttribute(mesh);
            KFbxNode* target = MakeNode("target", second->GetRootNode());
            KFbxNode* placeholder = MakeNode("placeholder", target);
            ASSERT_EQ(mesh->GetScene(), first) << row;

            EXPECT_TRUE(move(node, parent, target, placeholder)) << row;
            EXPECT_EQ(node->GetParent(), target) << row;
            for (KFbxObject* object : std::initializer_list<KFbxObject*>{node, child, mesh}) {
                EXPECT_EQ(object->GetScene(), second) << row << " " << object->GetName();
                EXPECT_FALSE(object->IsConnectedDst(first)) << row << " " << object->GetName();
            }
            ExpectListsItsTree(first, row);
            ExpectListsItsTree(second, row);
            EXPECT_EQ(first->GetNodeCount(), 3) << row;
            (firstGoesFirst ? first : second)->Destroy();
            (firstGoesFirst ? second : first)->Destroy();
        }
    }

    // Shared with a node that stays, an attribute stays with it.
    KFbxScene* other = KFbxScene::Create(mManager, "other");
    KFbxNode* staying = MakeNode("staying", mScene->GetRootNode());
    KFbxNode* leaving = MakeNode("leaving", mScene->GetRootNode());
    Mesh* shared = Mesh::Make(mManager, "shared");
    staying->AddNodeAttribute(shared);
    leaving->AddNodeAttribute(shared);
    EXPECT_TRUE(other->GetRootNode()->AddChild(leaving));
    EXPECT_EQ(leaving->GetScene(), other);
    EXPECT_EQ(shared->GetScene(), mScene);
    // Held by nothing of its scene, an attribute follows the node it joins.
    Mesh* listed = Mesh::Make(mManager, "listed");
    mScene->ConnectObject(listed);
    EXPECT_TRUE(leaving->GetInternalPlug()->ConnectSrc(listed->GetInternalPlug()));
    EXPECT_EQ(listed->GetScene(), other);
    other->Destroy();
    EXPECT_EQ(shared->GetNode(), staying);

    // Taken by another scene's link that puts it in no tree of that scene, a
    // node (or a scene's root or switcher) stays its own scene's alone, by
    // whatever call on either end: destroying the other scene leaves it and
    // its subtree in the first scene's tree.
    using Take = std::function<bool(KFbxScene*, KFbxNode*)>;
    const std::pair<const char*, Take> takes[] = {
        {"ConnectObject", [](KFbxScene* s, KFbxNode* n) { return s->ConnectObject(n); }},
        {"ConnectSrc", [](KFbxScene* s, KFbxNode* n) { return s->ConnectSrc(n); }},
        {"ConnectDst", [](KFbxScene* s, KFbxNode* n) { return n->ConnectDst(s); }},
        {"twin ConnectSrc", [&](KFbxScene* s, KFbxNode* n) { return P(s)->ConnectSrc(P(n)); }},
        {"twin ConnectDstAt", [&](KFbxScene* s, KFbxNode* n) { return P(n)->ConnectDstAt(0, P(s)); }},
    };
    for (const auto& [route, take] : takes) {
        KFbxScene* taker = KFbxScene::Create(mManager, "taker");
        KFbxNode* node = MakeNode("taken", mScene->GetRootNode());
        KFbxNode* child = MakeNode("takenChild", node);
        for (KFbxNode* taken : {node, child, mScene->GetRootNode(), mScene->GetCameraSwitcherNode()}) {
            taker->GetError().ClearError();
            EXPECT_FALSE(take(taker, taken)) << route << " " << taken->GetName();
            EXPECT_EQ(taker->GetError().GetLastErrorID(), KFbxScene::eKFBX_OBJECT_ALREADY_OWNED) << route;
            EXPECT_FALSE(Lists(taker, taken)) << route << " " << taken->GetName();
        }
        taker->Destroy();
        EXPECT_EQ(child->GetParent(), node) << route;
        EXPECT_EQ(node->GetParent(), mScene->GetRootNode()) << route;
        ExpectListsItsTree(mScene, route);
        node->Destroy(true);
    }
}

// Scenes hold what they list and destroy it with themselves: a link that
// would make two scenes hold each other, directly or through the scene a
// node takes its source into, is refused by every route, and a chain of
// scenes each holding the next goes without a call per scene.
TEST_F(KFbxSceneTest, ScenesHoldingEachOtherAreRefusedAndChainsGoWithoutDeepCalls) {
    KFbxScene* first = KFbxScene::Create(mManager, "first");
    KFbxScene* second = KFbxScene::Create(mManager, "second");
    ASSERT_TRUE(second->ConnectObject(first));
    EXPECT_FALSE(first->ConnectObject(second));
    EXPECT_EQ(first->GetError().GetLastErrorID(), KFbxScene::eKFBX_OBJECT_ALREADY_OWNED);
    EXPECT_FALSE(first->GetInternalPlug()->ConnectSrc(second->GetInternalPlug()));
    EXPECT_FALSE(second->ConnectDst(first));
    // A scene linked under a node of another scene joins that scene.
    KFbxScene* third = KFbxScene::Create(mManager, "third");
    KFbxNode* node = MakeNode("node", first->GetRootNode());
    EXPECT_TRUE(third->GetInternalPlug()->ConnectDst(node->GetInternalPlug()));
    EXPECT_FALSE(third->ConnectObject(first));
    EXPECT_FALSE(third->ConnectObject(second));
    // The rest is left to the manager.

    constexpr int kChainLength = 3000;
    for (const bool destroyed : {true, false}) {
        KFbxScene* top = KFbxScene::Create(mManager, "top");
        KFbxScene* last = top;
        for (int i = 0; i < kChainLength; ++i) {
            KFbxScene* next = KFbxScene::Create(mManager, "link");
            ASSERT_TRUE(last->ConnectObject(next));
            EXPECT_EQ(next->GetScene(), last);
            last = next;
        }
        if (destroyed) {
            const int scenes = mManager->GetObjectCount(KFbxScene::ClassId);
            top->Destroy();
            EXPECT_EQ(mManager->GetObjectCount(KFbxScene::ClassId), scenes - kChainLength - 1);
        }
    }
}

}  // namespace
