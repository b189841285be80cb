// The camera switcher's index in its node's default take and its camera
// names; the generic node's takes, channels and copies; thumbnails and scene
// information.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>

#include <cstring>

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
