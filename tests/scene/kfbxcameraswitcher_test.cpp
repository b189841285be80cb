// The camera switcher's index in its node's default take and its camera
// names; the generic node's takes, channels and copies; thumbnails and scene
// information.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "scene/SceneObjectsTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

class KFbxCameraSwitcherTest : public SceneObjectTest {
protected:
    void SetUp() override {
        SceneObjectTest::SetUp();
        Enter(mManager, KFbxGenericNode::ClassId, "KFbxGenericNode", KFbxTakeNodeContainer::ClassId,
              &KFbxGenericNode::CreateFn);
    }

    KFbxCameraSwitcher* AttachedSwitcher() {
        mNode = MakeNode("switcher");
        KFbxCameraSwitcher* switcher = KFbxCameraSwitcher::Create(mManager, "");
        mNode->SetNodeAttribute(switcher);
        return switcher;
    }

    KFbxNode* mNode = nullptr;
};

TEST_F(KFbxCameraSwitcherTest, NewSwitcherHolds100AndItsTakesStartAtCamera1) {
    KFbxCameraSwitcher* switcher = AttachedSwitcher();
    ASSERT_NE(switcher, nullptr);
    EXPECT_EQ(switcher->GetCameraNameCount(), 0);
    EXPECT_EQ(switcher->CameraIndex.Get(), 100);
    EXPECT_EQ(switcher->GetAttributeType(), KFbxNodeAttribute::eCAMERA_SWITCHER);
    EXPECT_STREQ(switcher->GetTypeName(), "CameraSwitcher");
    EXPECT_EQ(switcher->GetDefaultCameraIndex(), 1);
    KFbxTakeNode* take = mNode->CreateTakeNode("Take 001");
    ASSERT_NE(take, nullptr);
    KFCurve* curve = take->GetKFCurve("Camera Index", nullptr, nullptr);
    ASSERT_NE(curve, nullptr);
    EXPECT_FLOAT_EQ(curve->GetValue(), 1.0f);
    mNode->SetNodeAttribute(nullptr);
    EXPECT_EQ(mNode->GetDefaultTakeNode()->GetKFCurve("Camera Index", nullptr, nullptr), nullptr);
}

// The channel names of a take, depth first, each with its default.
std::vector<std::string> ChannelsOf(KFCurveNode* node) {
    std::vector<std::string> names;
    for (int index = 0; node != nullptr && index < node->GetCount(); ++index) {
        KFCurveNode* child = node->Get(index);
        std::string text = child->GetName();
        if (child->FCurveGet() != nullptr) {
            text += "=" + std::to_string(child->FCurveGet()->GetValue());
        }
        names.push_back(text);
        for (const std::string& inner : ChannelsOf(child)) {
            names.push_back(std::string(child->GetName()) + "/" + inner);
        }
    }
    return names;
}

TEST_F(KFbxCameraSwitcherTest, ASwitcherOnANodeNotYetUsedGivesItsTakesWhatAnImmediateOneDoes) {
    // Steps on a node: properties added and the switcher attached or taken
    // off, in each order. A node whose take exists from the start is the
    // reference.
    enum Step { eAddFirst, eAttach, eAddSecond, eDetach, eTake };
    const std::vector<std::vector<Step>> cases = {
        {eAttach},
        {eAddFirst, eAttach, eAddSecond},
        {eAttach, eAddFirst, eDetach, eAddSecond},
        {eAttach, eDetach, eAttach},
        {eAttach, eTake, eAddFirst},
        {eAddFirst, eAttach, eDetach},
    };
    int name = 0;
    for (const std::vector<Step>& steps : cases) {
        SCOPED_TRACE(name);
        KFbxNode* fresh = MakeNode(("fresh" + std::to_string(name)).c_str());
        KFbxNode* made = MakeNode(("made" + std::to_string(name++)).c_str());
        ASSERT_NE(made->GetDefaultTakeNode(), nullptr);
        for (KFbxNode* node : {fresh, made}) {
            KFbxCameraSwitcher* switcher = nullptr;
            for (Step step : steps) {
                switch (step) {
                    case eAddFirst:
                    case eAddSecond: {
                        KFbxProperty added = KFbxProperty::Create(node, step == eAddFirst ? "First" : "Second",
                                                                  gKFbxDataTypeNumber, "");
                        added.ModifyFlag(KFbxProperty::kAnimatable, true);
                        const double value = step == eAddFirst ? 4.0 : 5.0;
                        added.Set(&value, eFbxValueDouble);
                        break;
                    }
                    case eAttach:
                        switcher = KFbxCameraSwitcher::Create(mManager, "");
                        node->SetNodeAttribute(switcher);
                        break;
                    case eDetach:
                        node->SetNodeAttribute(nullptr);
                        break;
                    case eTake:
                        ASSERT_NE(node->CreateTakeNode("Take 001"), nullptr);
                        break;
                }
            }
        }
        // Adding a property makes the node's own first; attaching alone does not.
        if (std::all_of(steps.begin(), steps.end(), [](Step s) { return s == eAttach || s == eDetach; })) {
            EXPECT_FALSE(fresh->ArePropertiesMade());
        }
        ASSERT_EQ(fresh->GetTakeNodeCount(), made->GetTakeNodeCount());
        for (int take = 0; take < made->GetTakeNodeCount(); ++take) {
            EXPECT_EQ(ChannelsOf(fresh->GetTakeNode(take)->GetKFCurveNode()),
                      ChannelsOf(made->GetTakeNode(take)->GetKFCurveNode()));
        }
        auto* freshSwitcher = dynamic_cast<KFbxCameraSwitcher*>(fresh->GetNodeAttribute());
        auto* madeSwitcher = dynamic_cast<KFbxCameraSwitcher*>(made->GetNodeAttribute());
        ASSERT_EQ(freshSwitcher == nullptr, madeSwitcher == nullptr);
        if (madeSwitcher != nullptr) {
            EXPECT_EQ(freshSwitcher->GetDefaultCameraIndex(), madeSwitcher->GetDefaultCameraIndex());
        }
    }
}

TEST_F(KFbxCameraSwitcherTest, ANewScenesSwitcherNodeMakesNothingUntilUsed) {
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    ASSERT_NE(scene, nullptr);
    KFbxNode* node = scene->GetCameraSwitcherNode();
    ASSERT_NE(node, nullptr);
    EXPECT_FALSE(node->ArePropertiesMade());
    EXPECT_FALSE(node->GetVisibility());
    auto* switcher = dynamic_cast<KFbxCameraSwitcher*>(node->GetNodeAttribute());
    ASSERT_NE(switcher, nullptr);
    EXPECT_EQ(switcher->GetDefaultCameraIndex(), 1);
    const std::vector<std::string> channels = ChannelsOf(node->GetDefaultTakeNode()->GetKFCurveNode());
    EXPECT_EQ(channels.back(), "Camera Index=1.000000");
    double visibility = 1.0;
    EXPECT_TRUE(node->FindProperty("Visibility").Get(&visibility, eFbxValueDouble));
    EXPECT_EQ(visibility, 0.0);
    EXPECT_NE(std::find(channels.begin(), channels.end(), "Visibility=0.000000"), channels.end());
}

TEST_F(KFbxCameraSwitcherTest, DefaultIndexIsTheCurveDefaultTruncatedTowardZero) {
    KFbxCameraSwitcher* switcher = AttachedSwitcher();
    switcher->SetDefaultCameraIndex(3);
    EXPECT_EQ(switcher->GetDefaultCameraIndex(), 3);
    EXPECT_EQ(switcher->CameraIndex.Get(), 100);
    KFCurve* curve = mNode->GetDefaultTakeNode()->GetKFCurve("Camera Index", nullptr, nullptr);
    curve->SetValue(2.9f);
    EXPECT_EQ(switcher->GetDefaultCameraIndex(), 2);
    curve->SetValue(-1.5f);
    EXPECT_EQ(switcher->GetDefaultCameraIndex(), -1);
}

TEST_F(KFbxCameraSwitcherTest, WithoutNodeTheIndexIsZeroAndSetsAreIgnored) {
    KFbxCameraSwitcher* switcher = KFbxCameraSwitcher::Create(mManager, "");
    switcher->SetDefaultCameraIndex(5);
    EXPECT_EQ(switcher->GetDefaultCameraIndex(), 0);
}

TEST_F(KFbxCameraSwitcherTest, CloneCopiesTheNamesInOrder) {
    KFbxCameraSwitcher* switcher = KFbxCameraSwitcher::Create(mManager, "s");
    switcher->AddCameraName("front");
    switcher->AddCameraName("side");
    EXPECT_EQ(switcher->GetCameraName(2), nullptr);
    EXPECT_EQ(switcher->Clone(0), nullptr);
    auto* copy = static_cast<KFbxCameraSwitcher*>(switcher->Clone(2));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->GetName(), "");
    ASSERT_EQ(copy->GetCameraNameCount(), 2);
    EXPECT_STREQ(copy->GetCameraName(0), "front");
    EXPECT_STREQ(copy->GetCameraName(1), "side");
    EXPECT_NE(copy->GetCameraName(0), switcher->GetCameraName(0));
}

TEST_F(KFbxCameraSwitcherTest, GenericNodeGivesItsAnimatablePropertiesChannels) {
    KFbxGenericNode* generic = KFbxGenericNode::Create(mManager, "generic");
    ASSERT_NE(generic, nullptr);
    ASSERT_EQ(generic->GetTakeNodeCount(), 1);
    EXPECT_STREQ(generic->GetTakeNodeName(0), "Default");
    EXPECT_EQ(generic->GetObjectTypeCode(), 10);
    EXPECT_STREQ(generic->GetTypeName(), "GenericNode");
    KFbxProperty weight = KFbxProperty::Create(generic, "Weight", gKFbxDataTypeNumber, "", true);
    ASSERT_TRUE(weight.IsValid());
    weight.ModifyFlag(1, true);
    const double value = 0.25;
    weight.Set(&value, eFbxValueDouble);
    KFbxProperty::Create(generic, "Label", gKFbxDataTypeNumber, "", true);
    KFbxTakeNode take("Take 001");
    generic->FillTakeNodeTemplate(take);
    KFCurve* curve = take.GetKFCurve("Weight", nullptr, nullptr);
    ASSERT_NE(curve, nullptr);
    EXPECT_FLOAT_EQ(curve->GetValue(), 0.25f);
    EXPECT_EQ(take.GetKFCurveNode()->Find("Label"), nullptr);
}

TEST_F(KFbxCameraSwitcherTest, GenericNodeCopyTakesTakesAndLastError) {
    KFbxGenericNode* source = KFbxGenericNode::Create(mManager, "source");
    source->CreateTakeNode("Run");
    source->CreateTakeNode("Run");  // refused, so an error is recorded
    ASSERT_EQ(source->GetError().GetLastErrorID(), 0);
    KFbxGenericNode* copy = source->Clone(2);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->GetName(), "source");
    ASSERT_EQ(copy->GetTakeNodeCount(), 2);
    EXPECT_STREQ(copy->GetTakeNodeName(1), "Run");
    EXPECT_NE(copy->GetTakeNode(1), source->GetTakeNode(1));
    EXPECT_EQ(copy->GetError().GetLastErrorID(), 0);
    EXPECT_STREQ(copy->GetError().GetLastErrorString(), source->GetError().GetLastErrorString());
    EXPECT_EQ(source->Clone(1), nullptr);
}

TEST_F(KFbxCameraSwitcherTest, SceneListsItsGenericNodesByName) {
    KFbxScene* scene = KFbxScene::Create(mManager, "");
    KFbxGenericNode* generic = KFbxGenericNode::Create(mManager, "extra");
    ASSERT_TRUE(scene->ConnectObject(generic));
    EXPECT_EQ(scene->GetGenericNodeCount(), 1);
    EXPECT_EQ(scene->GetGenericNode(0), generic);
    EXPECT_EQ(scene->FindGenericNodeByName(KString("extra")), generic);
    EXPECT_EQ(scene->FindGenericNodeByName(KString("other")), nullptr);
    // A generic node is animatable: the scene switches its take too.
    EXPECT_FALSE(scene->SetCurrentTake("Run"));
}

using KFbxSceneInfoTest = SceneObjectTest;

TEST_F(KFbxSceneInfoTest, ThumbnailSizesItsPixelsByFormat) {
    KFbxThumbnail* thumbnail = KFbxThumbnail::Create(mManager, "thumb");
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(thumbnail->GetDataFormat(), 0);
    EXPECT_EQ(thumbnail->GetSize(), 0);
    EXPECT_EQ(thumbnail->GetThumbnailImage(), nullptr);
    EXPECT_EQ(thumbnail->GetSizeInBytes(), 0u);
    thumbnail->SetSize(64);
    EXPECT_EQ(thumbnail->GetSizeInBytes(), 12288u);
    ASSERT_NE(thumbnail->GetThumbnailImage(), nullptr);
    std::memset(thumbnail->GetThumbnailImage(), 0x7f, thumbnail->GetSizeInBytes());
    thumbnail->SetDataFormat(KFbxThumbnail::eRGBA_32);
    thumbnail->SetSize(64);
    EXPECT_EQ(thumbnail->GetSizeInBytes(), 16384u);
    thumbnail->SetSize(128);
    EXPECT_EQ(thumbnail->GetSizeInBytes(), 65536u);
    std::memset(thumbnail->GetThumbnailImage(), 0, thumbnail->GetSizeInBytes());
    thumbnail->SetSize(100);
    EXPECT_EQ(thumbnail->GetSizeInBytes(), 0u);
    EXPECT_EQ(thumbnail->GetThumbnailImage(), nullptr);
}

TEST_F(KFbxSceneInfoTest, MetaDataCopiesAndClearsWithoutTouchingTheThumbnail) {
    KFbxSceneInfo* info = KFbxSceneInfo::Create(mManager, "info");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->mTitle.IsEmpty());
    EXPECT_EQ(info->GetSceneThumbnail(), nullptr);
    KFbxThumbnail* thumbnail = KFbxThumbnail::Create(mManager, "thumb");
    thumbnail->SetSize(64);
    info->mTitle = "Desert";
    info->mAuthor = "me";
    info->mComment = "first";
    info->SetSceneThumbnail(thumbnail);
    KFbxSceneInfo* other = KFbxSceneInfo::Create(mManager, "other");
    *other = *info;
    EXPECT_STREQ(other->GetName(), "other");
    EXPECT_STREQ(other->mTitle.Buffer(), "Desert");
    EXPECT_STREQ(other->mAuthor.Buffer(), "me");
    EXPECT_STREQ(other->mComment.Buffer(), "first");
    EXPECT_EQ(other->GetSceneThumbnail(), thumbnail);
    const int objects = mManager->GetObjectCount();
    info->Clear();
    EXPECT_TRUE(info->mTitle.IsEmpty());
    EXPECT_TRUE(info->mComment.IsEmpty());
    EXPECT_EQ(info->GetSceneThumbnail(), nullptr);
    EXPECT_EQ(mManager->GetObjectCount(), objects);
    EXPECT_EQ(thumbnail->GetSizeInBytes(), 12288u);
}

}  // namespace
