// Curve-node trees: children and ownership, finding, keys, copying, events.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KProperty.h>

#include "CurveNodeTestSupport.h"
#include "CurveTestSupport.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

using namespace fbxsdk_2006_11_1;
using curvetest::AddVector;
using curvetest::NodePtr;
using curvetest::Sec;

namespace {

NodePtr MakeNode(const char* name, KDataType* type = nullptr) { return NodePtr(KFCurveNode::Create(name, type)); }

struct NodeEventLog {
    std::vector<unsigned int> bits;
    static void Callback(KFCurveNode*, KFCurveNodeEvent* event, void* self) {
        static_cast<NodeEventLog*>(self)->bits.push_back(event->mEventType);
    }
};

}  // namespace

TEST(KFCurveNodeTree, ChildrenIndicesAndSortedInsertion) {
    NodePtr root = MakeNode("Defaults");
    EXPECT_EQ(root->Get(-1), nullptr);
    EXPECT_EQ(root->Get(0), nullptr);
    for (const char* name : {"A", "b", "C"}) EXPECT_GE(root->Add(KFCurveNode::Create(name, nullptr)), 0);
    EXPECT_EQ(root->Get(root->GetCount()), nullptr);

    KFCurveNode* b = KFCurveNode::Create("B", nullptr);
    EXPECT_EQ(root->AddSorted(b), 1);
    EXPECT_EQ(root->Get(1), b);
    EXPECT_EQ(b->GetParent(), root.get());
    // A sorted child knows its parent, so destroying it directly leaves no
    // dangling entry behind.
    delete b;
    ASSERT_EQ(root->GetCount(), 3);
    EXPECT_STREQ(root->Get(1)->GetName(), "b");
    EXPECT_EQ(root->FindChildByName("c"), 2);
    EXPECT_EQ(root->FindChildByName("D"), -1);
}

TEST(KFCurveNodeTree, DeleteChildDestroysOnlyChildren) {
    NodePtr root = MakeNode("Defaults");
    NodePtr stranger = MakeNode("Elsewhere");
    root->Add(KFCurveNode::Create("Mine", nullptr));
    root->DeleteChild(stranger.get());
    EXPECT_STREQ(stranger->GetName(), "Elsewhere");  // still alive (AddressSanitizer would object)
    root->DeleteChild(root->Get(0));
    EXPECT_EQ(root->GetCount(), 0);
}

TEST(KFCurveNodeTree, ReferenceNodesDoNotOwnTheirChildren) {
    NodePtr owner = MakeNode("Owner");
    KFCurveNode* shared = AddVector(*owner, "T", gKDataTypeLclTranslation);
    {
        NodePtr reference = MakeNode("Ref");
        reference->SetFlag(KFCN_REFERENCE, true);
        EXPECT_TRUE(reference->IsReference());
        reference->Add(shared);
        EXPECT_EQ(shared->GetParent(), owner.get());
        EXPECT_EQ(reference->Find("T/X"), shared->Get(0));
        reference->Remove(0);
        EXPECT_EQ(shared->GetParent(), owner.get());
        reference->Add(shared);
    }
    // The reference node is gone; the shared channel and its curves remain.
    ASSERT_EQ(owner->GetCount(), 1);
    EXPECT_NE(shared->Get(0)->FCurveGet(), nullptr);
    shared->Get(0)->FCurveGet()->KeyAppendFast(Sec(1), 2.0f);
}

TEST(KFCurveNodeTree, FindByNamePathAndDataType) {
    NodePtr root = MakeNode("Defaults");
    KFCurveNode* transform = KFCurveNode::Create("Transform", nullptr);
    root->Add(transform);
    KFCurveNode* lcl = AddVector(*transform, "Lcl Translation", gKDataTypeLclTranslation);
    KFCurveNode* plainT = AddVector(*root, "T", gKDataTypeVector);

    // "T" matches the Lcl data type only as exactly "T"; names fold case.
    EXPECT_EQ(transform->Find("T"), lcl);
    EXPECT_EQ(transform->Find("t"), nullptr);
    EXPECT_EQ(root->Find("t"), plainT);  // nothing below "Transform" is named "t"
    EXPECT_EQ(root->Find("Transform/T/X"), lcl->Get(0));
    EXPECT_EQ(root->Find("Transform/Z"), lcl->Get(2));
    // The first segment matches deep in the tree and the search goes on from there.
    EXPECT_EQ(root->Find("Lcl Translation/y"), lcl->Get(1));
    EXPECT_EQ(root->Find("Transform/Q"), nullptr);
    EXPECT_EQ(root->Find("Defaults"), nullptr);  // never the node itself
    EXPECT_EQ(root->Find(nullptr), nullptr);
    // One walk for several names finds what Find finds for each.
    static const char* const kNames[] = {"T", "t", "x", "Transform", "Lcl Translation", "Q", "Defaults"};
    KFCurveNode* found[std::size(kNames)] = {};
    for (KFCurveNode* start : {root.get(), transform}) {
        start->FindEach(kNames, found, static_cast<int>(std::size(kNames)));
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            EXPECT_EQ(found[i], start->Find(kNames[i])) << kNames[i];
        }
    }

    // Names that share a start, differ in case only, or are the very text a
    // node holds: the child found is the one a letter-by-letter folded
    // comparison finds, whichever way the names were made.
    NodePtr channels = MakeNode("Defaults");
    const KInternedText interned("FieldOfViewX");
    for (const char* name : {"FieldOfView", "FIELDOFVIEWX", "Field", "a[", "A{"}) channels->FindOrCreate(name, true);
    EXPECT_EQ(channels->FindOrCreate(interned, false), channels->Get(1));
    EXPECT_STREQ(channels->Get(1)->GetName(), "FIELDOFVIEWX");
    KFCurveNode* made = channels->FindOrCreate(KInternedText("FieldOfViewY"), false);
    EXPECT_EQ(made->GetName(), made->GetUserName());
    EXPECT_STREQ(made->GetName(), "FieldOfViewY");
    const struct {
        const char* name;
        int index;
    } kLookups[] = {{"fieldofview", 0}, {"FieldOfViewx", 1}, {interned.Get(), 1}, {made->GetName(), 5},
                    {"fieldofviewy", 5}, {"FieldOfViewZ", -1}, {"Fiel", -1}, {"", -1}, {"A[", 3},
                    {"a{", 4}, {"A", -1}};
    for (const auto& lookup : kLookups) {
        EXPECT_EQ(channels->FindChildByName(lookup.name), lookup.index) << lookup.name;
        EXPECT_EQ(channels->Find(lookup.name), channels->Get(lookup.index)) << lookup.name;
    }

    EXPECT_EQ(root->FindByDataType(gKDataTypeLclTranslation), lcl);
    EXPECT_EQ(root->FindByDataType(gKDataTypeVector), plainT);
    EXPECT_EQ(root->FindByDataType(gKDataTypeLclRotation), nullptr);
    EXPECT_EQ(root->FindChildByDataType(gKDataTypeLclTranslation), nullptr);  // not a direct child
    EXPECT_EQ(transform->FindChildByDataType(gKDataTypeLclTranslation), lcl);
}

TEST(KFCurveNodeTree, FourComponentAndMatrixChildrenAreFoundByPath) {
    NodePtr root = MakeNode("Defaults");
    KFCurveNode* color = KFCurveNode::Create("Color", gKDataTypeColorAndAlpha);
    root->Add(color);
    for (const char* name : {"X", "Y", "Z", "toto"}) color->FindOrCreate(name, true);
    KFCurveNode* matrix = KFCurveNode::Create("Transform Matrix", gKDataTypeMatrix);
    root->Add(matrix);
    static const char* const kElements[16] = {"0", "1", "2", "3", "4", "5", "6", "7",
                                              "8", "9", "A", "B", "C", "D", "E", "F"};
    for (const char* name : kElements) matrix->FindOrCreate(name, true);

    EXPECT_EQ(root->Find("Color/toto"), color->Get(3));
    EXPECT_EQ(root->Find("Transform Matrix/a"), matrix->Get(10));
    EXPECT_EQ(root->Find("Transform Matrix/F"), matrix->Get(15));
    // "X" alone finds the first X depth-first: the colour's.
    EXPECT_EQ(root->Find("X"), color->Get(0));
    EXPECT_EQ(root->FindByDataType(gKDataTypeMatrix), matrix);
    std::vector<double> defaults(20, -1.0);
    EXPECT_EQ(root->GetDefaultValues(defaults.data()), defaults.data() + 20);
    EXPECT_EQ(root->GetValueCount(), 20);
}

TEST(KFCurveNodeTree, FindChildForStoredChannelNames) {
    NodePtr root = MakeNode("Defaults");
    KFCurveNode* lcl = AddVector(*root, "Lcl Translation", gKDataTypeLclTranslation);
    KFCurveNode* visibility = KFCurveNode::Create("Visibility", gKDataTypeVisibility);
    root->Add(visibility);

    EXPECT_EQ(root->FindChildForChannel("T"), lcl);
    EXPECT_EQ(root->FindChildForChannel("lcl translation"), lcl);
    // The "(" rule: the text before it, less up to two spaces.
    EXPECT_EQ(root->FindChildForChannel("Visibility (hidden)"), visibility);
    EXPECT_EQ(root->FindChildForChannel("Visibility  (hidden)"), visibility);
    EXPECT_EQ(root->FindChildForChannel("Visibility(x)"), visibility);
    EXPECT_EQ(root->FindChildForChannel("Visibility   (x)"), nullptr);
    EXPECT_EQ(root->FindChildForChannel("R"), nullptr);
}

TEST(KFCurveNodeTree, CurvesDefaultsAndTransformCurves) {
    NodePtr root = MakeNode("Defaults");
    KFCurveNode* t = AddVector(*root, "T", gKDataTypeLclTranslation);
    KFCurveNode* r = AddVector(*root, "Lcl Rotation", gKDataTypeLclRotation);
    KFCurveNode* s = KFCurveNode::Create("S", gKDataTypeLclScaling);
    root->Add(s);
    s->FindOrCreate("X", true);
    s->FindOrCreate("Y", true);
    s->FindOrCreate("Z", false);

    KFCurve* tc[3];
    KFCurve* rc[3];
    KFCurve* sc[3];
    EXPECT_FALSE(root->GetTransformCurves(tc, rc, sc));  // S/Z has no curve
    root->CreateMissingCurves();
    ASSERT_TRUE(root->GetTransformCurves(tc, rc, sc));
    EXPECT_EQ(tc[1], t->Get(1)->FCurveGet());
    EXPECT_EQ(rc[2], r->Get(2)->FCurveGet());
    EXPECT_EQ(sc[2], s->Get(2)->FCurveGet());

    KFCurveNode* created = root->FindOrCreate("x", false);
    EXPECT_EQ(created, root->Get(3));
    EXPECT_EQ(created->FCurveGet(), nullptr);
    EXPECT_EQ(root->FindOrCreate("X", true), created);
    EXPECT_NE(created->FCurveGet(), nullptr);
    t->Get(0)->FCurveGet()->SetValue(1.5f);
    s->Get(2)->FCurveGet()->SetValue(-2.0f);
    std::vector<double> values(12, 99.0);
    EXPECT_EQ(t->GetDefaultValues(values.data()), values.data() + 3);
    EXPECT_EQ(values[0], 1.5);
    EXPECT_EQ(s->GetDefaultValues(values.data())[-1], -2.0);

    // Replacing a curve: the previous one is handed back unless destroyed.
    KFCurve* fresh = KFCurve::Create();
    KFCurve* previous = t->Get(0)->FCurveSet(fresh);
    EXPECT_EQ(previous, tc[0]);
    delete previous;
    EXPECT_EQ(t->Get(0)->FCurveSet(fresh), nullptr);
    t->Get(0)->FCurveSetAndDestroy(KFCurve::Create());
    EXPECT_NE(t->Get(0)->FCurveGet(), fresh);
}

TEST(KFCurveNodeTree, KeySpansAndNeighbouringKeys) {
    NodePtr root = MakeNode("Defaults");
    KFCurveNode* t = AddVector(*root, "T", gKDataTypeLclTranslation);
    KTime start = Sec(5);
    KTime stop = Sec(6);
    EXPECT_FALSE(root->GetAnimationInterval(start, stop));
    EXPECT_EQ(start, Sec(5));
    EXPECT_EQ(stop, Sec(6));

    t->Get(0)->FCurveGet()->KeyAppendFast(Sec(1), 0.0f);
    t->Get(0)->FCurveGet()->KeyAppendFast(Sec(2), 0.0f);
    t->Get(2)->FCurveGet()->KeyAppendFast(Sec(1.5), 0.0f);
    t->Get(2)->FCurveGet()->KeyAppendFast(Sec(7), 0.0f);
    EXPECT_TRUE(root->GetAnimationInterval(start, stop));
    EXPECT_EQ(start, Sec(1));
    EXPECT_EQ(stop, Sec(7));
    EXPECT_EQ(root->KeyGetCount(), 4);

    KTime found;
    t->KeyFindPrevious(found, Sec(2));
    EXPECT_EQ(found, Sec(1.5));
    t->KeyFindNext(found, Sec(1.5));
    EXPECT_EQ(found, Sec(2));  // strictly after: the key on the time itself is skipped
    t->KeyFindNext(found, Sec(0));
    EXPECT_EQ(found, Sec(1));
    t->KeyFindPrevious(found, Sec(1));
    EXPECT_EQ(found, Sec(1));  // nothing before: the time itself
    const bool onlyX[3] = {true, false, false};
    t->KeyFindNext(found, Sec(2), onlyX);
    EXPECT_EQ(found, Sec(2));
    t->KeyFindPrevious(found, Sec(9), onlyX);
    EXPECT_EQ(found, Sec(2));

    // Layers count and widen the span on request.
    KFCurveNode* layer = t->AddLayer(1);
    ASSERT_NE(layer, nullptr);
    layer->Get(1)->FCurveGet()->KeyAppendFast(Sec(10), 0.0f);
    EXPECT_EQ(t->KeyGetCount(false), 4);
    EXPECT_EQ(t->KeyGetCount(true), 5);
    t->KeyFindNext(found, Sec(7), nullptr, true);
    EXPECT_EQ(found, Sec(10));
    EXPECT_TRUE(t->GetAnimationInterval(start, stop));
    EXPECT_EQ(stop, Sec(10));
}

TEST(KFCurveNodeTree, AppendFastUnrollsEulerAngles) {
    NodePtr r = MakeNode("R", gKDataTypeLclRotation);
    for (const char* axis : {"X", "Y", "Z"}) r->FindOrCreate(axis, true);
    const double first[3] = {0.0, 0.0, 170.0};
    EXPECT_EQ(r->KeyAppendFast(Sec(0), first, true), first + 3);
    const double second[3] = {0.0, 0.0, -170.0};
    r->KeyAppendFast(Sec(1), second, true);
    EXPECT_FLOAT_EQ(r->Get(2)->FCurveGet()->KeyGetValue(1), 190.0f);
    const double third[3] = {0.0, 0.0, -170.0};
    r->KeyAppendFast(Sec(2), third, false);
    EXPECT_FLOAT_EQ(r->Get(2)->FCurveGet()->KeyGetValue(2), -170.0f);
}

TEST(KFCurveNodeTree, ClonesAreIndependentAndCopiesShareNames) {
    NodePtr root = MakeNode("Defaults");
    KFCurveNode* t = AddVector(*root, "T", gKDataTypeLclTranslation);
    t->SetRotationOrder(4);
    t->Get(0)->FCurveGet()->KeyAppendFast(Sec(1), 3.0f);

    NodePtr copy(KFCurveNode::CloneTree(*root));
    ASSERT_NE(copy, nullptr);
    KFCurveNode* copiedX = copy->Find("T/X");
    ASSERT_NE(copiedX, nullptr);
    EXPECT_EQ(copy->Find("T")->GetDataType(), gKDataTypeLclTranslation);
    EXPECT_EQ(copy->Find("T")->GetRotationOrder(), 4);
    copiedX->FCurveGet()->KeySetValue(0, 7.0f);
    EXPECT_EQ(t->Get(0)->FCurveGet()->KeyGetValue(0), 3.0f);

    NodePtr empty(KFCurveNode::Clone(*root, false, false, true, 2));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->Find("T/X")->FCurveGet()->KeyGetCount(), 0);
    EXPECT_EQ(empty->Find("T")->GetLayerId(), 2);
    NodePtr bare(KFCurveNode::Clone(*root, true, false, false));
    EXPECT_EQ(bare->Find("T/X")->FCurveGet(), nullptr);
    EXPECT_STREQ(bare->Find("T")->GetName(), "T");

    // Taking over moves the curves out of the source.
    NodePtr target(KFCurveNode::Clone(*root, false, false, false));
    KFCurve* moved = t->Get(0)->FCurveGet();
    target->CopyFrom(*root, true);
    EXPECT_EQ(target->Find("T/X")->FCurveGet(), moved);
    EXPECT_EQ(t->Get(0)->FCurveGet(), nullptr);
    target->CopyFrom(*copy, false);
    EXPECT_EQ(target->Find("T/X")->FCurveGet(), moved);
    EXPECT_EQ(moved->KeyGetValue(0), 7.0f);
}

TEST(KFCurveNodeTree, LayerCopiesShareNamesWithTheirSourceAndOutliveIt) {
    NodePtr source = MakeNode("Channel", gKDataTypeLclRotation);
    NodePtr layer(KFCurveNode::CreateCopy(*source));
    NodePtr clone(KFCurveNode::Clone(*source, false, false, false));
    ASSERT_NE(layer, nullptr);
    ASSERT_NE(clone, nullptr);
    KProperty owner;
    owner.SetNameAndType("Renamed", 0);
    layer->SetOwnerProperty(&owner);
    EXPECT_STREQ(source->GetName(), "Renamed");
    EXPECT_STREQ(clone->GetName(), "Channel");
    clone->SetOwnerProperty(&owner);
    clone->SetOwnerProperty(nullptr);
    EXPECT_STREQ(layer->GetName(), "Renamed");
    source->SetOwnerProperty(nullptr);
    EXPECT_STREQ(layer->GetName(), "Channel");

    source.reset();
    EXPECT_STREQ(layer->GetName(), "Channel");
    EXPECT_EQ(layer->GetDataType(), gKDataTypeLclRotation);
    NodePtr second(KFCurveNode::CreateCopy(*layer));
    NodePtr named(KFCurveNode::Clone(*layer, false, false, false));
    EXPECT_STREQ(second->GetUserName(), "Channel");
    EXPECT_STREQ(named->GetName(), "Channel");
}

TEST(KFCurveNodeTree, TimeWarpNodeHasNoUserName) {
    NodePtr warp = MakeNode("Warp", gKDataTypeTimeWarp);
    EXPECT_STREQ(warp->GetUserName(), "");
    NodePtr plain = MakeNode("Plain", gKDataTypeNumber);
    EXPECT_STREQ(plain->GetUserName(), "Plain");
    EXPECT_EQ(plain->GetFlags(), 0x60u);
}

TEST(KFCurveNodeTree, EventsReachRegisteredCallbacks) {
    NodeEventLog log;
    KFCurveNode* node = KFCurveNode::Create("T", gKDataTypeLclTranslation);
    node->FCurveSet(KFCurve::Create(), true);  // no record yet: nobody hears
    EXPECT_EQ(node->GetUpdateCounter(), 0);
    node->CallbackRegister(&NodeEventLog::Callback, &log);
    node->FCurveSet(KFCurve::Create(), true);
    KFCurveNode* warp = KFCurveNode::Create("Warp", gKDataTypeTimeWarp);
    node->SetTimeWarp(warp);
    node->SetFlag(KFCN_LAYERED, true);
    node->AddLayer(3);
    node->CallbackEnable(false);
    node->PostEvent(KFCURVENODEEVENT_LAYERS);
    node->ClearEvent();
    node->CallbackEnable(true);
    delete node;
    const std::vector<unsigned int> expected = {KFCURVENODEEVENT_CURVE, KFCURVENODEEVENT_TIMEWARP,
                                                KFCURVENODEEVENT_LAYERS, KFCURVENODEEVENT_DESTROYED};
    EXPECT_EQ(log.bits, expected);

    // Callbacks turned off hear not even the end, by when their data may be
    // gone.
    KFCurveNode* quiet = KFCurveNode::Create("R", gKDataTypeLclRotation);
    auto* freed = new NodeEventLog;
    quiet->CallbackRegister(&NodeEventLog::Callback, freed);
    quiet->CallbackRegister(&NodeEventLog::Callback, &log);
    quiet->CallbackEnable(false);
    delete freed;
    delete quiet;
    EXPECT_EQ(log.bits, expected);
}

TEST(KFCurveNodeTree, CallbackMayUnregisterItselfDuringDelivery) {
    struct SelfRemover {
        KFCurveNode* node;
        int calls = 0;
        static void Callback(KFCurveNode* node, KFCurveNodeEvent*, void* self) {
            auto* me = static_cast<SelfRemover*>(self);
            ++me->calls;
            node->CallbackUnregister(&Callback, self);
        }
    };
    NodePtr node = MakeNode("N");
    SelfRemover first{node.get()};
    SelfRemover second{node.get()};
    node->CallbackRegister(&SelfRemover::Callback, &first);
    node->CallbackRegister(&SelfRemover::Callback, &second);
    node->PostEvent(KFCURVENODEEVENT_CURVE);
    node->PostEvent(KFCURVENODEEVENT_CURVE);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 1);
}
