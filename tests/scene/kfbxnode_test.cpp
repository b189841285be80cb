// Nodes: their defaults, the hierarchy and its refusal of cycles, attributes
// and the default attribute, targets, display flags and take selection.
#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>

#include "scene/SceneTestSupport.h"

#include <functional>
#include <string>
#include <tuple>
#include <utility>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

class KFbxNodeTest : public SceneTest {};

TEST_F(KFbxNodeTest, NewNodeStartsVisibleWithDefaultTakeAndNoAttribute) {
    KFbxNode* node = MakeNode("node");
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(node->GetVisibility());
    EXPECT_EQ(node->GetShading(), 3);
    EXPECT_FALSE(node->GetMultiLayer());
    EXPECT_EQ(node->GetMultiTake(), 1);
    EXPECT_EQ(node->GetDefaultNodeAttributeIndex(), -1);
    ASSERT_EQ(node->GetTakeNodeCount(), 1);
    EXPECT_STREQ(node->GetTakeNodeName(0), "Default");
    EXPECT_EQ(node->GetChildCount(), 0);
    EXPECT_EQ(node->GetParent(), nullptr);
    EXPECT_STREQ(node->GetTypeName(), "Null");
    KStringList flags;
    node->GetTypeFlags(flags);
    ASSERT_EQ(flags.GetCount(), 1);
    EXPECT_STREQ(flags.GetStringAt(0), "Null");
    EXPECT_EQ(node->GetObjectTypeCode(), 1);
}

}  // namespace

namespace {

TEST_F(KFbxNodeTest, ChildrenKeepTheirOrderAndMoveBetweenParents) {
    KFbxNode* first = MakeNode("first");
    KFbxNode* second = MakeNode("second");
    KFbxNode* a = MakeNode("a", first);
    KFbxNode* b = MakeNode("b", first);
    MakeNode("grandchild", a);
    EXPECT_EQ(first->GetChildCount(), 2);
    EXPECT_EQ(first->GetChildCount(true), 3);
    EXPECT_EQ(first->GetChild(0), a);
    EXPECT_EQ(first->GetChild(1), b);
    EXPECT_EQ(a->GetParent(), first);

    EXPECT_TRUE(second->AddChild(a));
    EXPECT_EQ(first->GetChildCount(), 1);
    EXPECT_EQ(first->GetChild(0), b);
    EXPECT_EQ(a->GetParent(), second);
    EXPECT_FALSE(second->AddChild(nullptr));

    EXPECT_EQ(second->RemoveChild(a), a);
    EXPECT_EQ(a->GetParent(), nullptr);
    EXPECT_EQ(second->RemoveChild(a), nullptr);
    EXPECT_EQ(second->RemoveChild(nullptr), nullptr);

    // Every route moves a node as AddChild does (to the last place when linked
    // under its parent again): a program that links the new parent first
    // finds the old link gone when it undoes it.
    KPlug* secondPlug = second->GetInternalPlug();
    const std::pair<const char*, std::function<bool(KFbxNode*)>> moves[] = {
        {"AddChild", [&](KFbxNode* node) { return second->AddChild(node); }},
        {"ConnectSrc", [&](KFbxNode* node) { return second->ConnectSrc(node); }},
        {"ConnectDst", [&](KFbxNode* node) { return node->ConnectDst(second); }},
        {"twin ConnectDstAt", [&](KFbxNode* node) { return node->GetInternalPlug()->ConnectDstAt(0, secondPlug); }},
    };
    for (const auto& [route, move] : moves) {
        first->AddChild(b);
        first->AddChild(a);
        EXPECT_TRUE(move(a) && !a->DisconnectDst(first) && move(b) && move(a)) << route;
        EXPECT_EQ(first->GetChildCount(), 0) << route;
        EXPECT_EQ(second->GetChildCount(), 2) << route;
        EXPECT_EQ(second->GetChild(0), b) << route;
        EXPECT_EQ(a->GetParent(), second) << route;
        EXPECT_EQ(a->GetDstObjectCount(KFbxNode::ClassId), 1) << route;
        EXPECT_EQ(a->GetErrorCode(), -1) << route;
    }

    // A child put in another's place, or kept in its place, within its own
    // parent ends there, as a node from elsewhere would; the twin's list and
    // the children read through a view of it agree.
    KFbxNode* parent = MakeNode("parent");
    KPlug* parentPlug = parent->GetInternalPlug();
    ASSERT_NE(parentPlug->GetView(KFbxNode::ClassId.GetFilter()), nullptr);
    KPlug elsewhere;
    const std::tuple<const char*, std::function<bool(KPlug*, KPlug*)>, std::string> replaces[] = {
        {"twin ReplaceSrc", [&](KPlug* k, KPlug* x) { return parentPlug->ReplaceSrc(k, x); }, "xl"},
        {"twin SetSrcAt", [&](KPlug* k, KPlug* x) { return parentPlug->SetSrcAt(parentPlug->FindSrcIndex(k), x); },
         "xl"},
        {"twin ReplaceDst",
         [&](KPlug*, KPlug* x) {
             return x->ConnectDstAt(0, &elsewhere) && x->ReplaceDst(&elsewhere, parentPlug, parentPlug->FindSrcIndex(x));
         },
         "kxl"},
    };
    for (const auto& [route, replace, order] : replaces) {
        KFbxNode* k = MakeNode("k", parent);
        KFbxNode* x = MakeNode("x", parent);
        KFbxNode* l = MakeNode("l", parent);
        EXPECT_TRUE(replace(k->GetInternalPlug(), x->GetInternalPlug())) << route;
        std::string children;
        for (int i = 0; i < parent->GetChildCount(); ++i) {
            children += parent->GetChild(i)->GetName();
            EXPECT_EQ(parentPlug->GetSrc(i), parent->GetChild(i)->GetInternalPlug()) << route << i;
        }
        EXPECT_EQ(children, order) << route;
        EXPECT_EQ(parentPlug->GetSrcCount(), parent->GetChildCount()) << route;
        EXPECT_EQ(x->GetParent(), parent) << route;
        EXPECT_EQ(k->GetParent() == parent, order.size() == 3) << route;
        EXPECT_EQ(parent->GetErrorCode(), -1) << route;
        for (KFbxNode* node : {k, x, l}) {
            node->Destroy();
        }
    }
}

TEST_F(KFbxNodeTest, NodeUnderItsOwnDescendantIsRefusedWithTheCycleError) {
    KFbxNode* root = MakeNode("root");
    KFbxNode* child = MakeNode("child", root);
    KFbxNode* grandchild = MakeNode("grandchild", child);
    EXPECT_FALSE(grandchild->AddChild(root));
    EXPECT_EQ(root->GetErrorCode(), -1);
    EXPECT_EQ(grandchild->GetErrorCode(), KFbxNode::eCyclicGraph);
    EXPECT_STREQ(grandchild->GetError().GetLastErrorString(),
                 "Operation with a target of the entity would generate a cyclic graph");
    EXPECT_FALSE(root->AddChild(root));
    EXPECT_EQ(root->GetParent(), nullptr);
    EXPECT_EQ(root->GetChildCount(true), 2);

    // Whatever call makes the link, a plain connection or the twins' plugs
    // under it, the error is left on the node the call was made on, and the
    // tree stays as it was; a link made all the same is undone before
    // anything walks.
    KPlug* rootPlug = root->GetInternalPlug();
    KPlug* childPlug = child->GetInternalPlug();
    KPlug* grandchildPlug = grandchild->GetInternalPlug();
    // Each route with the node the call is made on.
    const std::tuple<const char*, KFbxNode*, std::function<bool()>> routes[] = {
        {"ConnectSrc", grandchild, [&] { return grandchild->ConnectSrc(root); }},
        {"ConnectDst", root, [&] { return root->ConnectDst(grandchild); }},
        {"twin ConnectSrcAt", grandchild, [&] { return grandchildPlug->ConnectSrcAt(0, rootPlug); }},
        {"twin ConnectDst", root, [&] { return rootPlug->ConnectDst(grandchildPlug); }},
        {"twin ReplaceDst", child, [&] { return childPlug->ReplaceDst(rootPlug, grandchildPlug); }},
        // A node under itself, by each route and by its own plug.
        {"AddChild itself", root, [&] { return root->AddChild(root); }},
        {"ConnectSrc itself", root, [&] { return root->ConnectSrc(root); }},
        {"ConnectDst itself", root, [&] { return root->ConnectDst(root); }},
        {"twin ConnectSrc itself", root, [&] { return rootPlug->ConnectSrc(rootPlug); }},
        {"twin one-way itself", root, [&] { return rootPlug->ConnectSrcAt(0, rootPlug, KPlug::kConnectionOneWay); }},
        {"twin SetSrcAt itself", root, [&] { return rootPlug->SetSrcAt(0, rootPlug); }},
        {"twin view ConnectDst itself", root,
         [&] { return rootPlug->GetView(KFbxNode::ClassId.GetFilter())->ConnectDst(rootPlug); }},
    };
    for (const auto& [route, caller, link] : routes) {
        for (KFbxNode* node : {root, child, grandchild}) {
            node->GetError().ClearError();
        }
        const bool linked = link();
        if (linked) {
            grandchildPlug->DisconnectAllSrc();
        }
        ASSERT_FALSE(linked) << route;
        for (KFbxNode* node : {root, child, grandchild}) {
            EXPECT_EQ(node->GetErrorCode(), node == caller ? KFbxNode::eCyclicGraph : -1) << route << node->GetName();
        }
        EXPECT_EQ(grandchild->GetParent(), child) << route;
        EXPECT_EQ(child->GetParent(), root) << route;
        EXPECT_EQ(root->GetChildCount(true), 2) << route;
    }
    // Found however far the new parent sits along a later branch.
    KFbxNode* side = MakeNode("side", root);
    EXPECT_FALSE(MakeNode("far", MakeNode("m2", MakeNode("m1", side)))->AddChild(root));
    root->RemoveChild(side);

    // A link the child is not told of leaves it no parent for the check to
    // walk: two of them made a loop. Refused by every route.
    KFbxNode* leaf = MakeNode("leaf");
    KPlug* leafPlug = leaf->GetInternalPlug();
    const bool oneWay = leafPlug->ConnectSrc(rootPlug, KPlug::kConnectionOneWay);
    leafPlug->DisconnectSrc(rootPlug);
    ASSERT_FALSE(oneWay);
    EXPECT_EQ(leaf->GetErrorCode(), KFbxNode::eOneWayLink);
    EXPECT_STREQ(leaf->GetError().GetLastErrorString(), "Node linked one way");
    leafPlug->SetFlags(leafPlug->GetFlags() | KPlug::kOneWay);
    EXPECT_FALSE(root->ConnectDst(leaf));
    leafPlug->SetFlags(leafPlug->GetFlags() & ~KPlug::kOneWay);
    leafPlug->DisconnectSrc(rootPlug);
    EXPECT_EQ(root->GetErrorCode(), KFbxNode::eOneWayLink);
    // A link of the twins is the parent the next walk goes through.
    ASSERT_TRUE(grandchildPlug->ConnectSrc(leafPlug));
    EXPECT_EQ(leaf->GetParent(), grandchild);
    const bool looped = leaf->ConnectSrc(root);
    if (looped) {
        leaf->DisconnectSrc(root);
    }
    ASSERT_FALSE(looped);
    KFbxNode* other = MakeNode("other");
    EXPECT_TRUE(other->ConnectSrc(child));
    EXPECT_EQ(root->GetChildCount(true), 0);
    EXPECT_EQ(other->GetChildCount(true), 3);
}

TEST_F(KFbxNodeTest, FindChildSearchesAChildsSubtreeBeforeTheNextChild) {
    KFbxNode* root = MakeNode("root");
    KFbxNode* first = MakeNode("first", root);
    KFbxNode* deep = MakeNode("twin", first);
    KFbxNode* twin = MakeNode("twin", root);
    EXPECT_EQ(root->FindChild("twin", true), deep);
    EXPECT_EQ(root->FindChild("twin", false), twin);
    EXPECT_EQ(root->FindChild("missing"), nullptr);
    deep->SetName("renamed");
    EXPECT_EQ(root->FindChild("twin", true, true), deep);
    EXPECT_EQ(root->FindChild("twin", true, false), twin);
}

TEST_F(KFbxNodeTest, AttributesAndTheDefaultIndex) {
    KFbxNode* node = MakeNode("node");
    Camera* camera = Camera::Make(mManager, "camera");
    Mesh* mesh = Mesh::Make(mManager, "mesh");
    EXPECT_FALSE(node->AddNodeAttribute(nullptr));
    EXPECT_TRUE(node->AddNodeAttribute(camera));
    EXPECT_EQ(node->GetDefaultNodeAttributeIndex(), 0);
    EXPECT_FALSE(node->AddNodeAttribute(camera));
    EXPECT_TRUE(node->AddNodeAttribute(mesh));
    EXPECT_EQ(node->GetNodeAttributeCount(), 2);
    EXPECT_EQ(camera->GetNode(), node);
    EXPECT_STREQ(node->GetTypeName(), "Kind");

    // The mesh getter falls back to the first mesh; the camera getter sees the default.
    EXPECT_EQ(node->GetMesh(), mesh);
    EXPECT_EQ(node->GetCamera(), camera);
    EXPECT_EQ(node->GetGeometry(), nullptr);
    EXPECT_EQ(node->GetLight(), nullptr);

    EXPECT_EQ(node->GetNodeAttributeIndex(mesh), 1);
    EXPECT_EQ(node->GetNodeAttributeIndex(nullptr), -1);
    EXPECT_EQ(node->GetErrorCode(), KFbxNode::eAttributeNotConnected);
    EXPECT_STREQ(node->GetError().GetLastErrorString(), "Attribute not connected");
    EXPECT_FALSE(node->SetDefaultNodeAttributeIndex(2));
    EXPECT_EQ(node->GetErrorCode(), KFbxNode::eIndexOutOfRange);
    EXPECT_STREQ(node->GetError().GetLastErrorString(), "Index out of range");

    // An attribute already carried only becomes the default.
    EXPECT_EQ(node->SetNodeAttribute(mesh), nullptr);
    EXPECT_EQ(node->GetDefaultNodeAttributeIndex(), 1);
    EXPECT_EQ(node->GetNodeAttribute(), mesh);
    EXPECT_EQ(node->GetGeometry(), mesh);
    EXPECT_STREQ(node->GetTypeName(), "Mesh");
}

TEST_F(KFbxNodeTest, ReplacingTheAttributeDestroysTheOthersButReturnsTheOldDefault) {
    KFbxNode* node = MakeNode("node");
    KFbxNode* instance = MakeNode("instance");
    Mesh* shared = Mesh::Make(mManager, "shared");
    Null* dropped = Null::Make(mManager, "dropped");
    Camera* old = Camera::Make(mManager, "old");
    node->AddNodeAttribute(old);
    node->AddNodeAttribute(shared);
    node->AddNodeAttribute(dropped);
    instance->AddNodeAttribute(shared);
    const int objects = mManager->GetObjectCount();

    Light* light = Light::Make(mManager, "light");
    EXPECT_EQ(node->SetNodeAttribute(light), old);
    EXPECT_EQ(node->GetNodeAttributeCount(), 1);
    EXPECT_EQ(node->GetNodeAttribute(), light);
    EXPECT_EQ(node->GetDefaultNodeAttributeIndex(), 0);
    EXPECT_EQ(old->GetNode(), nullptr);
    EXPECT_EQ(old->GetDstObjectCount(), 0);
    // Only the unshared, non-default one is gone; a light takes one take only.
    EXPECT_EQ(mManager->GetObjectCount(), objects);
    EXPECT_EQ(instance->GetNodeAttribute(), shared);
    EXPECT_EQ(node->GetMultiTake(), 0);

    EXPECT_EQ(node->SetNodeAttribute(nullptr), light);
    EXPECT_EQ(node->GetDefaultNodeAttributeIndex(), -1);
    EXPECT_EQ(node->GetMultiTake(), 1);
    old->Destroy();
    light->Destroy();

    // Destroying a node leaves an attribute that another node carries; the
    // last node takes it.
    node->AddNodeAttribute(shared);
    node->Destroy();
    EXPECT_EQ(instance->GetNodeAttribute(), shared);
    EXPECT_EQ(shared->GetNode(), instance);
    const int before = mManager->GetObjectCount();
    instance->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(), before - 2);
}

TEST_F(KFbxNodeTest, TargetsAreSingleNodeLinks) {
    KFbxNode* node = MakeNode("node");
    KFbxNode* first = MakeNode("first");
    KFbxNode* second = MakeNode("second");
    EXPECT_EQ(node->GetTarget(), nullptr);
    node->SetTarget(first);
    node->SetTarget(second);
    EXPECT_EQ(node->GetTarget(), second);
    node->SetTargetUp(first);
    EXPECT_EQ(node->GetTargetUp(), first);
    EXPECT_EQ(node->GetTarget(), second);
    node->SetTarget(nullptr);
    EXPECT_EQ(node->GetTarget(), nullptr);
}

TEST_F(KFbxNodeTest, VisibilityWritesShowAndTheVisibilityValue) {
    KFbxNode* node = MakeNode("node");
    node->SetVisibility(false);
    EXPECT_FALSE(node->GetVisibility());
    bool show = true;
    node->GetNodeProperty(eShow).Get(&show, eFbxValueBool);
    EXPECT_FALSE(show);
    EXPECT_DOUBLE_EQ(node->GetNodeProperty(eVisibility).GetDouble(), 0.0);
    EXPECT_FLOAT_EQ(node->GetDefaultTakeNode()->GetKFCurveNode()->Find("Visibility")->FCurveGet()->GetValue(), 0.0f);
}

TEST_F(KFbxNodeTest, AnimationIntervalCoversTheSubtree) {
    KFbxNode* root = MakeNode("root");
    KFbxNode* child = MakeNode("child", root);
    KTime start(100);
    KTime stop(200);
    EXPECT_FALSE(root->GetAnimationInterval(start, stop));
    EXPECT_EQ(start, KTime(100));
    KFCurve* curve = ChannelCurve(child->GetDefaultTakeNode(), "T", "X");
    curve->KeySet(0, KTime(50), 1.0f);
    curve->KeySet(1, KTime(150), 2.0f);
    EXPECT_TRUE(root->GetAnimationInterval(start, stop));
    EXPECT_EQ(start, KTime(50));
    EXPECT_EQ(stop, KTime(200));
}

TEST_F(KFbxNodeTest, ChildNamesAndMarks) {
    KFbxNode* node = MakeNode("node");
    node->AddChildName("a");
    node->AddChildName("b");
    EXPECT_EQ(node->GetChildNameCount(), 2);
    EXPECT_STREQ(node->GetChildName(1), "b");
    EXPECT_EQ(node->GetChildName(2), nullptr);
    EXPECT_FALSE(node->IsMarked(true));
}

}  // namespace

namespace {

TEST_F(KFbxNodeTest, DestroyedParentLeavesTheChildWithoutParent) {
    KFbxNode* parent = MakeNode("parent");
    KFbxNode* child = MakeNode("child", parent);
    KFbxNode* other = MakeNode("other");
    KFbxNode* moved = MakeNode("moved", other);
    parent->Destroy();
    EXPECT_EQ(child->GetParent(), nullptr);
    EXPECT_DOUBLE_EQ(child->EvaluateGlobalTransform(KTime())[3][0], 0.0);
    moved->Destroy();
    EXPECT_EQ(other->GetChildCount(), 0);

    // A recursive destroy takes the subtree along.
    KFbxNode* top = MakeNode("top");
    MakeNode("leaf", MakeNode("middle", top));
    const int before = mManager->GetObjectCount(KFbxNode::ClassId);
    top->Destroy(true);
    EXPECT_EQ(mManager->GetObjectCount(KFbxNode::ClassId), before - 3);
}

}  // namespace

namespace {

TEST_F(KFbxNodeTest, AttributeColourStartsGreyAndTravelsWithItsClone) {
    Mesh* mesh = Mesh::Make(mManager, "mesh");
    fbxDouble3 colour = mesh->Color.GetDouble3();
    EXPECT_DOUBLE_EQ(colour[0], 0.8);
    EXPECT_DOUBLE_EQ(colour[2], 0.8);
    EXPECT_EQ(mesh->GetObjectTypeCode(), 14);
    const fbxDouble3 red(1.0, 0.0, 0.0);
    mesh->Color.Set(&red, eFbxValueDouble3);
    EXPECT_EQ(mesh->Clone(1), nullptr);
    KFbxNodeAttribute* clone = mesh->Clone(2);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetAttributeType(), KFbxNodeAttribute::eMESH);
    EXPECT_DOUBLE_EQ(clone->Color.GetDouble3()[1], 0.0);
    EXPECT_STREQ(clone->GetName(), "mesh");
}

}  // namespace

namespace {

// Whether any channel of the node is bound to a property of the attribute.
bool BindsTo(const KFbxNode* node, const KFbxNodeAttribute* attribute) {
    for (int index = 0; index < node->GetPropertyLinkCount(); ++index) {
        if (node->GetPropertyLink(index)->mProperty.GetObject() == attribute) {
            return true;
        }
    }
    return false;
}

// The ends of a link, and their twins' plugs.
struct Ends {
    KFbxNode* mNode;
    KFbxNodeAttribute* mAttribute;
    KFbxNodeAttribute* mSpare;
    KFbxNode* mOther;
    KPlug* N() const { return mNode->GetInternalPlug(); }
    KPlug* A() const { return mAttribute->GetInternalPlug(); }
    KPlug* S() const { return mSpare->GetInternalPlug(); }
    KPlug* O() const { return mOther->GetInternalPlug(); }
};
using Route = std::pair<const char*, std::function<bool(const Ends&)>>;

// Every call that links an attribute to a node or takes it off, on either
// end, public or the twins', leaves the attribute naming a node that carries
// it (or none) and each node's channels bound to what it carries: a node that
// let an attribute go, first or last of its carriers, outlives it, and so
// does the attribute the node. Cameras and lights bind channels; the mesh
// kind only adds one.
TEST_F(KFbxNodeTest, EveryLinkRouteKeepsTheAttributesNodeAndChannels) {
    const std::pair<const char*, std::function<KFbxNodeAttribute*()>> kinds[] = {
        {"camera", [&] { return KFbxCamera::Create(mManager, "camera"); }},
        {"light", [&] { return KFbxLight::Create(mManager, "light"); }},
        {"mesh", [&] { return Mesh::Make(mManager, "mesh"); }},
    };
    // Each takes the attribute off the node, leaving it to the others.
    const Route unlinks[] = {
        {"DisconnectSrc", [](const Ends& e) { return e.mNode->DisconnectSrc(e.mAttribute); }},
        {"DisconnectDst", [](const Ends& e) { return e.mAttribute->DisconnectDst(e.mNode); }},
        {"SetNodeAttribute", [](const Ends& e) { return e.mNode->SetNodeAttribute(e.mSpare) != nullptr; }},
        {"twin DisconnectSrc", [](const Ends& e) { return e.N()->DisconnectSrc(e.A()); }},
        {"twin DisconnectDst", [](const Ends& e) { return e.A()->DisconnectDst(e.N()); }},
        {"twin DisconnectSrcAt", [](const Ends& e) { return e.N()->DisconnectSrcAt(e.N()->FindSrcIndex(e.A())); }},
        {"twin DisconnectDstAt", [](const Ends& e) { return e.A()->DisconnectDstAt(e.A()->FindDstIndex(e.N())); }},
        {"twin DisconnectAllSrc", [](const Ends& e) { return e.N()->DisconnectAllSrc(), true; }},
        {"twin ReplaceSrc", [](const Ends& e) { return e.N()->ReplaceSrc(e.A(), e.S()); }},
        {"twin ReplaceDst", [](const Ends& e) { return e.A()->ReplaceDst(e.N(), e.O()); }},
        {"twin SetSrcAt", [](const Ends& e) { return e.N()->SetSrcAt(e.N()->FindSrcIndex(e.A()), e.S()); }},
        {"twin SetDstAt", [](const Ends& e) { return e.A()->SetDstAt(e.A()->FindDstIndex(e.N()), e.O()); }},
    };
    const auto carriesOrNone = [](const KFbxNodeAttribute* a) {
        return a->GetNode() == nullptr || a->IsConnectedDst(a->GetNode());
    };
    for (const auto& [kind, make] : kinds) {
        for (const auto& [route, unlink] : unlinks) {
            for (const int order : {0, 1, 2, 3}) {
                const bool first = order < 2;
                const bool nodeFirst = order % 2 == 0;
                const std::string row = std::string(kind) + " " + route + " " + std::to_string(order);
                const Ends ends{MakeNode(first ? "a" : "b"), make(), make(), MakeNode("other")};
                KFbxNode* staying = MakeNode(first ? "b" : "a");
                (first ? ends.mNode : staying)->AddNodeAttribute(ends.mAttribute);
                (first ? staying : ends.mNode)->AddNodeAttribute(ends.mAttribute);
                unlink(ends);
                ASSERT_FALSE(ends.mAttribute->IsConnectedDst(ends.mNode)) << row;
                EXPECT_TRUE(carriesOrNone(ends.mAttribute) && carriesOrNone(ends.mSpare)) << row;
                EXPECT_EQ(ends.mAttribute->GetNode() != nullptr, ends.mAttribute->GetDstObjectCount() > 0) << row;
                EXPECT_FALSE(BindsTo(ends.mNode, ends.mAttribute)) << row;
                EXPECT_EQ(BindsTo(staying, ends.mAttribute), std::string(kind) != "mesh") << row;
                if (!nodeFirst) {
                    ends.mAttribute->Destroy();
                    // Its channels bound anew, the node reads none of the old.
                    ends.mNode->SetNodeAttribute(make());
                }
                ends.mNode->Destroy();
                if (nodeFirst) {
                    ends.mAttribute->Destroy();
                }
                staying->Destroy();
                ends.mOther->Destroy();
            }
        }
    }

    // Linked by any call, the attribute names the node and fills its channels.
    const Route links[] = {
        {"AddNodeAttribute", [](const Ends& e) { return e.mNode->AddNodeAttribute(e.mAttribute); }},
        {"ConnectSrc", [](const Ends& e) { return e.mNode->ConnectSrc(e.mAttribute); }},
        {"ConnectDst", [](const Ends& e) { return e.mAttribute->ConnectDst(e.mNode); }},
        {"twin ConnectSrc", [](const Ends& e) { return e.N()->ConnectSrc(e.A()); }},
        {"twin ConnectDstAt", [](const Ends& e) { return e.A()->ConnectDstAt(0, e.N()); }},
        {"twin ReplaceSrc", [](const Ends& e) {
             return e.mNode->AddNodeAttribute(e.mSpare) && e.N()->ReplaceSrc(e.S(), e.A());
         }},
        {"twin SetDstAt", [](const Ends& e) {
             return e.mOther->AddNodeAttribute(e.mAttribute) && e.A()->SetDstAt(e.A()->FindDstIndex(e.O()), e.N());
         }},
    };
    // Each channel bound once, whatever the route.
    int boundChannels = -1;
    for (const auto& [route, link] : links) {
        const Ends ends{MakeNode("node"), KFbxCamera::Create(mManager, "camera"), KFbxCamera::Create(mManager, "spare"),
                        MakeNode("other")};
        EXPECT_TRUE(link(ends)) << route;
        boundChannels = boundChannels < 0 ? ends.mNode->GetPropertyLinkCount() : boundChannels;
        EXPECT_EQ(ends.mNode->GetPropertyLinkCount(), boundChannels) << route;
        EXPECT_EQ(ends.mAttribute->GetNode(), ends.mNode) << route;
        EXPECT_TRUE(BindsTo(ends.mNode, ends.mAttribute)) << route;
        EXPECT_FALSE(BindsTo(ends.mNode, ends.mSpare) || BindsTo(ends.mOther, ends.mAttribute)) << route;
        ends.mAttribute->Destroy();
        EXPECT_FALSE(BindsTo(ends.mNode, ends.mAttribute)) << route;
    }
    // Linked again to the attribute it carries, by any call, a node is
    // refused as AddNodeAttribute refuses it, so that one unlink leaves it
    // carrying nothing rather than an attribute whose channels went.
    for (const auto& [route, link] : links) {
        const Ends ends{MakeNode("node"), KFbxCamera::Create(mManager, "camera"), KFbxCamera::Create(mManager, "spare"),
                        MakeNode("other")};
        ASSERT_TRUE(ends.mNode->AddNodeAttribute(ends.mAttribute));
        EXPECT_FALSE(link(ends)) << route;
        EXPECT_EQ(ends.mNode->GetPropertyLinkCount(), boundChannels) << route;
        ASSERT_TRUE(ends.N()->DisconnectSrc(ends.A())) << route;
        EXPECT_FALSE(ends.mAttribute->IsConnectedDst(ends.mNode)) << route;
        EXPECT_FALSE(BindsTo(ends.mNode, ends.mAttribute)) << route;
    }

    // A link the attribute is not told of is refused, on either end, so
    // that the node does not destroy it behind its back.
    const Ends ends{MakeNode("node"), Mesh::Make(mManager, "mesh"), nullptr, nullptr};
    const Route oneWays[] = {
        {"twin ConnectSrc", [](const Ends& e) { return e.N()->ConnectSrc(e.A(), KPlug::kConnectionOneWay); }},
        {"twin ConnectDst", [](const Ends& e) { return e.A()->ConnectDst(e.N(), KPlug::kConnectionOneWay); }},
        {"one-way node", [](const Ends& e) {
             e.N()->SetFlags(e.N()->GetFlags() | KPlug::kOneWay);
             const bool linked = e.mNode->AddNodeAttribute(e.mAttribute);
             e.N()->SetFlags(e.N()->GetFlags() & ~KPlug::kOneWay);
             return linked;
         }},
    };
    for (const auto& [route, link] : oneWays) {
        ends.mNode->GetError().ClearError();
        const bool linked = link(ends);
        if (linked) {
            ends.N()->DisconnectSrc(ends.A());
        }
        EXPECT_FALSE(linked) << route;
        EXPECT_EQ(ends.mNode->GetErrorCode(), KFbxNode::eOneWayLink) << route;
    }
}

}  // namespace
