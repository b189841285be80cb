#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeUtilities.h>
#include <fbxfilesdk/core/KSortedPointerMap.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFieldTextWriter.h>

#include "StoredFormSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

struct NodeDeleter {
    void operator()(KFCurveNode* node) const { delete node; }
};
using NodePtr = std::unique_ptr<KFCurveNode, NodeDeleter>;

KFCurveNode* AddChild(KFCurveNode& parent, const char* name, KDataType* type = nullptr, bool withCurve = true) {
    KFCurveNode* child = KFCurveNode::Create(name, type);
    parent.Add(child);
    if (withCurve) child->FCurveSet(KFCurve::Create());
    return child;
}

void AddKeys(KFCurve* curve, float base) {
    curve->SetValue(base);
    curve->KeySet(0, Seconds(0), base, KFCURVE_INTERPOLATION_LINEAR);
    curve->KeySet(1, Seconds(1), base + 1.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 0.5, -0.5);
}

// A take root with a translation channel (three curves, a layer), a user
// property channel with its own curve, and a quaternion channel.
NodePtr MakeTree() {
    NodePtr root(KFCurveNode::Create("Root", nullptr));
    KFCurveNode* t = AddChild(*root, "Lcl Translation", gKDataTypeLclTranslation, false);
    AddKeys(AddChild(*t, "X")->FCurveGet(), 1.0f);
    AddKeys(AddChild(*t, "Y")->FCurveGet(), 2.0f);
    AddKeys(AddChild(*t, "Z")->FCurveGet(), 3.0f);
    t->SetLayerType(KFCL_TRANSLATION);
    KFCurveNode* layer = t->CreateLayer(2);
    AddKeys(layer->Get(0)->FCurveGet(), 5.0f);
    KFCurveNode* user = AddChild(*root, "Intensity", gKDataTypeNumber);
    AddKeys(user->FCurveGet(), 9.0f);
    KFCurveNode* q = AddChild(*root, "Spin", nullptr, false);
    for (const char* axis : {"X", "Y", "Z"}) AddChild(*q, axis);
    q->SetLayerType(KFCL_QUATERNION);
    return root;
}

void StoreChildren(const KFCurveNode& root, KFbx& file, bool onlyDefault = false) {
    for (int i = 0; i < root.GetCount(); ++i) root.Get(i)->FbxStore(&file, onlyDefault, true, true, "Channel", true);
}

int ReadAll(KFbx& file, KFCurveNode& root, bool onlyDefault = false, bool createMissing = true) {
    int count = 0;
    while (KFCurveNode::FbxRetrieve(&file, &root, onlyDefault, createMissing, false) != nullptr) ++count;
    return count;
}

void ExpectSameCurveKeys(const KFCurve* expected, const KFCurve* actual) {
    ASSERT_EQ(expected == nullptr, actual == nullptr);
    if (expected == nullptr) return;
    EXPECT_EQ(actual->GetValue(), expected->GetValue());
    ASSERT_EQ(actual->KeyGetCount(), expected->KeyGetCount());
    for (int k = 0; k < expected->KeyGetCount(); ++k) {
        EXPECT_EQ(actual->KeyGetTime(k), expected->KeyGetTime(k));
        EXPECT_EQ(actual->KeyGetValue(k), expected->KeyGetValue(k));
        EXPECT_EQ(actual->KeyGetInterpolation(k), expected->KeyGetInterpolation(k));
    }
}

// Short names stand for the Lcl data types, so those names are compared as written.
void ExpectSameTree(const KFCurveNode& expected, const KFCurveNode& actual, bool root = true) {
    SCOPED_TRACE(expected.GetName());
    if (!root && expected.GetDataType() != gKDataTypeLclTranslation) {
        EXPECT_STREQ(actual.GetName(), expected.GetName());
    }
    EXPECT_EQ(actual.GetLayerId(), expected.GetLayerId());
    EXPECT_EQ(actual.GetLayerType(), expected.GetLayerType());
    ExpectSameCurveKeys(expected.FCurveGet(), actual.FCurveGet());
    ASSERT_EQ(actual.GetCount(), expected.GetCount());
    for (int i = 0; i < expected.GetCount(); ++i) ExpectSameTree(*expected.Get(i), *actual.Get(i), false);
    if (!root) {
        ASSERT_EQ(expected.GetNextLayer() == nullptr, actual.GetNextLayer() == nullptr);
        if (expected.GetNextLayer() != nullptr) {
            ExpectSameTree(*expected.GetNextLayer(), *actual.GetNextLayer(), false);
            EXPECT_EQ(actual.GetNextLayer()->GetLayerRoot(), actual.GetLayerRoot());
        }
    }
}

class CurveNodeStoreTest : public ::testing::TestWithParam<FieldFileMode> {};

TEST_P(CurveNodeStoreTest, TreeRoundTripsIntoAFreshRoot) {
    const NodePtr tree = MakeTree();
    StoredFile stored(GetParam(), [&](KFbx& file) { StoreChildren(*tree, file); });
    NodePtr read(KFCurveNode::Create("Root", nullptr));
    EXPECT_EQ(ReadAll(stored.File(), *read), 3);
    ASSERT_EQ(read->GetCount(), 3);
    EXPECT_STREQ(read->Get(0)->GetName(), "T");
    // The layer channel carries the first component's keys of its own.
    ExpectSameTree(*tree, *read);
    EXPECT_EQ(read->Get(2)->GetCount(), 4);
    EXPECT_EQ(stored.File().GetLastErrorCode(), -1) << stored.File().GetLastErrorText();
}

TEST_P(CurveNodeStoreTest, TreeRoundTripsIntoTheSameShape) {
    const NodePtr tree = MakeTree();
    StoredFile stored(GetParam(), [&](KFbx& file) { StoreChildren(*tree, file); });
    NodePtr target = MakeTree();
    for (int i = 0; i < 3; ++i) target->Get(0)->Get(i)->FCurveGet()->KeyClear();
    EXPECT_EQ(ReadAll(stored.File(), *target, false, false), 3);
    ASSERT_EQ(target->GetCount(), 3);
    // "T" found the translation channel by its data type.
    EXPECT_STREQ(target->Get(0)->GetName(), "Lcl Translation");
    ExpectSameTree(*tree, *target);
}

TEST_P(CurveNodeStoreTest, OnlyDefaultWritesNoLayersOrKeys) {
    const NodePtr tree = MakeTree();
    StoredFile stored(GetParam(), [&](KFbx& file) { StoreChildren(*tree, file, true); });
    NodePtr read(KFCurveNode::Create("Root", nullptr));
    EXPECT_EQ(ReadAll(stored.File(), *read, true), 3);
    const KFCurveNode* t = read->Get(0);
    EXPECT_EQ(t->GetNextLayer(), nullptr);
    ASSERT_EQ(t->GetCount(), 3);
    EXPECT_EQ(t->Get(1)->FCurveGet()->KeyGetCount(), 0);
    EXPECT_EQ(t->Get(1)->FCurveGet()->GetValue(), 2.0f);
}

INSTANTIATE_TEST_SUITE_P(AllModes, CurveNodeStoreTest,
                         ::testing::Values(FieldFileMode::eBinary, FieldFileMode::eAscii, FieldFileMode::eMemoryBinary,
                                           FieldFileMode::eMemoryAscii),
                         [](const ::testing::TestParamInfo<FieldFileMode>& info) { return ModeName(info.param); });

class CurveNodeStoreFileTest : public ::testing::TestWithParam<FieldFileMode> {};

TEST(CurveNodeStoreWriteTest, NamesAndOptionalFields) {
    NodePtr node(new KFCurveNode("Lcl Translation", "Move", gKDataTypeLclTranslation));
    NodePtr same(KFCurveNode::Create("Plain", nullptr));
    StoredFile stored(FieldFileMode::eMemoryAscii, [&](KFbx& file) {
        node->FbxStore(&file, false, true, false, "Channel", true);
        node->FbxStore(&file, false, false, false, "Channel", true);
        same->FbxStore(&file, false, false, false, "Channel", true);
        KFbxFieldTextWriter::WriteStringField(&file, "Note", "text");
        KFbxFieldTextWriter::WriteStringField(nullptr, "Note", "text");
    });
    KFbx& file = stored.File();
    const char* const names[3] = {"T", "Lcl Translation", "Plain"};
    for (const char* name : names) {
        ASSERT_TRUE(file.FieldReadBegin("Channel"));
        EXPECT_STREQ(file.FieldReadS().Buffer(), name);
        ASSERT_TRUE(file.FieldReadBlockBegin());
        const KString userName = file.FieldReadSDefault("UserName", "<none>");
        EXPECT_STREQ(userName.Buffer(), name == names[2] ? "<none>" : "Move");
        EXPECT_FALSE(file.FieldReadBegin("LayerID"));
        EXPECT_FALSE(file.FieldReadBegin("LayerType"));
        file.FieldReadBlockEnd();
        file.FieldReadEnd();
    }
    EXPECT_STREQ(file.FieldReadSDefault("Note", "").Buffer(), "text");
}

// Channels written by hand, to read them into a given tree.
void WriteChannel(KFbx& file, const char* name, double defaultValue) {
    file.FieldWriteBegin("Channel");
    file.FieldWriteS(name);
    file.FieldWriteBlockBegin();
    file.FieldWriteBegin("Default");
    file.FieldWriteD(defaultValue);
    file.FieldWriteEnd();
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
}

TEST(CurveNodeStoreReadTest, ChannelsFindTheirChildren) {
    StoredFile stored(FieldFileMode::eMemoryBinary, [](KFbx& file) {
        WriteChannel(file, "Unknown", 1.0);
        WriteChannel(file, "Intensity (percent)", 2.0);
        WriteChannel(file, "intensity", 3.0);
    });
    NodePtr root(KFCurveNode::Create("Root", nullptr));
    KFCurveNode* intensity = AddChild(*root, "Intensity");
    // Without create missing the unknown channel is passed over.
    EXPECT_EQ(KFCurveNode::FbxRetrieve(&stored.File(), root.get(), false, false), intensity);
    EXPECT_EQ(intensity->FCurveGet()->GetValue(), 2.0f);
    EXPECT_EQ(KFCurveNode::FbxRetrieve(&stored.File(), root.get(), false, false), intensity);
    EXPECT_EQ(intensity->FCurveGet()->GetValue(), 3.0f);
    EXPECT_EQ(KFCurveNode::FbxRetrieve(&stored.File(), root.get(), false, false), nullptr);
    EXPECT_EQ(root->GetCount(), 1);
}

TEST(CurveNodeStoreReadTest, ParentWithACurveSkipsUnknownChannels) {
    StoredFile stored(FieldFileMode::eMemoryAscii, [](KFbx& file) {
        WriteChannel(file, "Stray", 1.0);
        WriteChannel(file, "Known", 2.0);
    });
    NodePtr root(KFCurveNode::Create("Root", nullptr));
    root->FCurveSet(KFCurve::Create());
    KFCurveNode* known = AddChild(*root, "Known");
    EXPECT_EQ(KFCurveNode::FbxRetrieve(&stored.File(), root.get(), false, true), known);
    EXPECT_EQ(root->GetCount(), 1);
    EXPECT_EQ(known->FCurveGet()->GetValue(), 2.0f);
}

TEST(CurveNodeStoreReadTest, CurveOfANodeWithChildrenIsDiscarded) {
    StoredFile stored(FieldFileMode::eMemoryBinary, [](KFbx& file) { WriteChannel(file, "Group", 4.0); });
    NodePtr root(KFCurveNode::Create("Root", nullptr));
    KFCurveNode* group = AddChild(*root, "Group", nullptr, false);
    AddChild(*group, "X");
    EXPECT_EQ(KFCurveNode::FbxRetrieve(&stored.File(), root.get()), group);
    EXPECT_EQ(group->FCurveGet(), nullptr);
}

TEST(CurveNodeStoreReadTest, LayerTypesAreRepairedFromNames) {
    StoredFile stored(FieldFileMode::eMemoryAscii, [](KFbx& file) {
        for (const char* name : {"R", "T", "Scaling", "Other"}) {
            file.FieldWriteBegin("Channel");
            file.FieldWriteS(name);
            file.FieldWriteBlockBegin();
            file.FieldWriteBegin("LayerType");
            file.FieldWriteI(KFCL_EULER_ROTATION);
            file.FieldWriteEnd();
            if (name[0] == 'R') {
                for (const char* axis : {"X", "Y", "Z"}) WriteChannel(file, axis, 0.0);
            }
            file.FieldWriteBlockEnd();
            file.FieldWriteEnd();
        }
    });
    NodePtr root(KFCurveNode::Create("Root", nullptr));
    EXPECT_EQ(ReadAll(stored.File(), *root), 4);
    EXPECT_EQ(root->Get(0)->GetLayerType(), KFCL_EULER_ROTATION);
    EXPECT_EQ(root->Get(1)->GetLayerType(), KFCL_TRANSLATION);
    EXPECT_EQ(root->Get(2)->GetLayerType(), KFCL_SCALING);
    EXPECT_EQ(root->Get(3)->GetLayerType(), KFCL_EULER_ROTATION);
}

TEST_P(CurveNodeStoreFileTest, Version4000DropsLooseRotationLayerTypes) {
    for (int version : {4000, 6100}) {
        SCOPED_TRACE(version);
        NodePtr tree(KFCurveNode::Create("Root", nullptr));
        KFCurveNode* rotation = AddChild(*tree, "Rotation", gKDataTypeLclRotation, false);
        for (const char* axis : {"X", "Y", "Z"}) AddChild(*rotation, axis);
        rotation->SetLayerType(KFCL_EULER_ROTATION);
        StoredFile stored(GetParam(), [&](KFbx& file) { rotation->FbxStore(&file, false, false); }, version);
        NodePtr target(KFCurveNode::Create("Root", nullptr));
        KFCurveNode* into = AddChild(*target, "Rotation", gKDataTypeLclRotation, false);
        EXPECT_EQ(KFCurveNode::FbxRetrieve(&stored.File(), target.get(), false, true), into);
        EXPECT_EQ(into->GetCount(), 3);
        EXPECT_EQ(into->GetLayerType(), version == 4000 ? KFCL_PLAIN : KFCL_EULER_ROTATION);
    }
}

INSTANTIATE_TEST_SUITE_P(BothSyntaxes, CurveNodeStoreFileTest,
                         ::testing::Values(FieldFileMode::eBinary, FieldFileMode::eAscii),
                         [](const ::testing::TestParamInfo<FieldFileMode>& info) { return ModeName(info.param); });

TEST(CurveNodeStoreTimeWarpTest, IdsGoThroughTheTimeWarpSet) {
    // Time warps live as long as their holders: the nodes below own this one.
    KFCurveNode* warp = KFCurveNode::Create("Warp", gKDataTypeTimeWarp);
    KSortedPointerMap set(4);
    set.Add(reinterpret_cast<const void*>(std::intptr_t{7}), warp);
    KFCurveSetTimeWarpSet(&set);
    NodePtr t(KFCurveNode::Create("T", gKDataTypeLclTranslation));
    KFCurveNode* x = AddChild(*t, "X");
    x->SetTimeWarp(warp);
    NodePtr other(KFCurveNode::Create("Other", nullptr));
    other->SetTimeWarp(KFCurveNode::Create("Unknown", gKDataTypeTimeWarp));
    StoredFile stored(FieldFileMode::eMemoryAscii, [&](KFbx& file) {
        t->FbxStore(&file);
        other->FbxStore(&file);
    });
    NodePtr root(KFCurveNode::Create("Root", nullptr));
    EXPECT_EQ(ReadAll(stored.File(), *root), 2);
    KFCurveSetTimeWarpSet(nullptr);
    ASSERT_EQ(root->GetCount(), 2);
    // The id written for "X" lands on its vector node.
    EXPECT_EQ(root->Get(0)->GetTimeWarp(), warp);
    EXPECT_EQ(root->Get(0)->Get(0)->GetTimeWarp(), nullptr);
    // A time warp the set does not know is not written.
    EXPECT_EQ(root->Get(1)->GetTimeWarp(), nullptr);
}

TEST(CurveNodeStoreBadInputTest, ManyUnknownChannelsAreSkippedWithoutRecursion) {
    StoredFile stored(FieldFileMode::eMemoryBinary, [](KFbx& file) {
        for (int i = 0; i < 100000; ++i) {
            file.FieldWriteBegin("Channel");
            file.FieldWriteS("Nothing");
            file.FieldWriteEnd();
        }
        file.FieldWriteBegin("Channel");
        file.FieldWriteEnd();  // no name at all
    });
    NodePtr root(KFCurveNode::Create("Root", nullptr));
    EXPECT_EQ(KFCurveNode::FbxRetrieve(&stored.File(), root.get(), false, false), nullptr);
    EXPECT_EQ(KFCurveNode::FbxRetrieve(nullptr, root.get()), nullptr);
    EXPECT_FALSE(root->FbxStore(nullptr));
}

TEST(CurveNodeStoreBadInputTest, LongNamesAndEmptyBlocksAreRead) {
    const std::string longName = std::string(5000, 'n') + " (x)";
    StoredFile stored(FieldFileMode::eMemoryAscii, [&](KFbx& file) {
        WriteChannel(file, longName.c_str(), 1.0);
        file.FieldWriteBegin("Channel");
        file.FieldWriteI(5);  // a number where the name belongs, and no block
        file.FieldWriteEnd();
    });
    NodePtr root(KFCurveNode::Create("Root", nullptr));
    KFCurveNode* named = AddChild(*root, std::string(5000, 'n').c_str());
    EXPECT_EQ(KFCurveNode::FbxRetrieve(&stored.File(), root.get()), named);
    EXPECT_EQ(named->FCurveGet()->GetValue(), 1.0f);
    KFCurveNode* created = KFCurveNode::FbxRetrieve(&stored.File(), root.get());
    ASSERT_NE(created, nullptr);
    EXPECT_STREQ(created->GetName(), "5");
    EXPECT_EQ(created->FCurveGet(), nullptr);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
