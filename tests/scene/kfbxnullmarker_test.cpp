// Null and marker attributes: their typed properties and defaults, look
// names, clones, and the marker channels that follow its type in every take
// of its node.
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KStringList.h>

#include "scene/SceneObjectsTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

using KFbxNullTest = SceneObjectTest;

TEST_F(KFbxNullTest, NewNullIsACrossOfSize100WithoutSizeSet) {
    KFbxNull* null = KFbxNull::Create(mManager, "null");
    ASSERT_NE(null, nullptr);
    EXPECT_DOUBLE_EQ(null->GetSize(), 100.0);
    EXPECT_EQ(null->GetLook(), KFbxNull::eCROSS);
    EXPECT_FALSE(null->IsSizeSet());
    EXPECT_EQ(null->GetAttributeType(), KFbxNodeAttribute::eNULL);
    EXPECT_EQ(null->GetObjectTypeCode(), 14);
    EXPECT_STREQ(null->GetTypeName(), "Null");
    KStringList flags;
    null->GetTypeFlags(flags);
    ASSERT_EQ(flags.GetCount(), 1);
    EXPECT_STREQ(flags.GetStringAt(0), "Null");
    // The typed properties are reachable by name.
    EXPECT_DOUBLE_EQ(null->FindProperty("Size").GetDouble(), 100.0);
    EXPECT_STREQ(null->FindProperty("Look").GetEnumValue(1), "Cross");

    null->SetSize(100.0);
    EXPECT_TRUE(null->IsSizeSet());
    null->SetLook(7);
    EXPECT_EQ(null->GetLook(), 7);
    null->Reset();
    EXPECT_FALSE(null->IsSizeSet());
    EXPECT_EQ(null->GetLook(), KFbxNull::eCROSS);
}

TEST_F(KFbxNullTest, LookNamesEndWithTheEnumeration) {
    EXPECT_STREQ(KFbxNull::GetLookName(0), "None");
    EXPECT_STREQ(KFbxNull::GetLookName(1), "Cross");
    EXPECT_EQ(KFbxNull::GetLookName(2), nullptr);
    EXPECT_EQ(KFbxNull::GetLookName(-1), nullptr);
    EXPECT_STREQ(KFbxMarker::GetLookName(3), "Sphere");
    EXPECT_EQ(KFbxMarker::GetLookName(4), nullptr);
}

TEST_F(KFbxNullTest, CloneKeepsNameAndValues) {
    KFbxNull* null = KFbxNull::Create(mManager, "origin");
    null->SetSize(12.5);
    null->SetLook(KFbxNull::eNONE);
    EXPECT_EQ(null->Clone(1), nullptr);
    auto* copy = static_cast<KFbxNull*>(null->Clone(2));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, null);
    EXPECT_STREQ(copy->GetName(), "origin");
    EXPECT_DOUBLE_EQ(copy->GetSize(), 12.5);
    EXPECT_TRUE(copy->IsSizeSet());
    EXPECT_EQ(copy->GetLook(), KFbxNull::eNONE);
}

class KFbxMarkerTest : public SceneObjectTest {
protected:
    // An attached marker on a node with a second take.
    KFbxMarker* AttachedMarker() {
        mNode = MakeNode("node");
        mNode->CreateTakeNode("Take 001");
        KFbxMarker* marker = KFbxMarker::Create(mManager, "marker");
        mNode->SetNodeAttribute(marker);
        return marker;
    }
    bool HasChannel(int take, const char* name) const {
        return mNode->GetTakeNode(take)->GetKFCurveNode()->FindChildByDataType(KDataType::Find(name)) != nullptr;
    }

    KFbxNode* mNode = nullptr;
};

TEST_F(KFbxMarkerTest, NewMarkerIsAStandardRedCube) {
    KFbxMarker* marker = KFbxMarker::Create(mManager, "m");
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->GetType(), KFbxMarker::eSTANDARD);
    EXPECT_EQ(marker->GetLook(), KFbxMarker::eCUBE);
    EXPECT_DOUBLE_EQ(marker->GetSize(), 100.0);
    EXPECT_FALSE(marker->GetShowLabel());
    const KFbxColor color = marker->GetColor();
    EXPECT_DOUBLE_EQ(color.mRed, 1.0);
    EXPECT_DOUBLE_EQ(color.mGreen, 0.0);
    EXPECT_DOUBLE_EQ(color.mAlpha, 1.0);
    EXPECT_STREQ(marker->GetTypeName(), "Marker");
    marker->SetColor(KFbxColor(0.2, 0.4, 0.6, 0.5));
    EXPECT_DOUBLE_EQ(marker->GetColor().mBlue, 0.6);
    EXPECT_DOUBLE_EQ(marker->GetColor().mAlpha, 1.0);
}

TEST_F(KFbxMarkerTest, ChannelsFollowTheTypeInEveryTake) {
    KFbxMarker* marker = AttachedMarker();
    EXPECT_FALSE(HasChannel(0, "IK Reach Translation"));
    marker->SetType(KFbxMarker::eIK_EFFECTOR);
    EXPECT_STREQ(marker->GetTypeName(), "IKEffector");
    for (int take = 0; take < 2; ++take) {
        EXPECT_TRUE(HasChannel(take, "IK Reach Translation")) << take;
        EXPECT_TRUE(HasChannel(take, "IK Reach Rotation")) << take;
    }
    EXPECT_DOUBLE_EQ(marker->GetDefaultIKReachTranslation(), 0.0);
    marker->SetDefaultIKReachTranslation(40.0);
    marker->SetDefaultIKReachRotation(0.5);
    EXPECT_DOUBLE_EQ(marker->GetDefaultIKReachTranslation(), 40.0);
    EXPECT_DOUBLE_EQ(marker->GetDefaultIKReachRotation(), 0.5);
    // Setting the same type again leaves the channels and their values.
    marker->SetType(KFbxMarker::eIK_EFFECTOR);
    EXPECT_DOUBLE_EQ(marker->GetDefaultIKReachTranslation(), 40.0);

    marker->SetType(KFbxMarker::eOPTICAL);
    for (int take = 0; take < 2; ++take) {
        EXPECT_TRUE(HasChannel(take, "Occlusion")) << take;
        EXPECT_FALSE(HasChannel(take, "IK Reach Translation")) << take;
        EXPECT_FALSE(HasChannel(take, "IK Reach Rotation")) << take;
    }
    EXPECT_DOUBLE_EQ(marker->GetDefaultIKReachRotation(), 0.0);
    marker->SetDefaultIKReachRotation(3.0);
    EXPECT_DOUBLE_EQ(marker->GetDefaultIKReachRotation(), 0.0);

    mNode->SetNodeAttribute(nullptr);
    EXPECT_FALSE(HasChannel(0, "Occlusion"));
}

// Any attribute kind, not only cameras and lights: a destroyed attribute
// leaves no channel of its node bound to its properties.
TEST_F(KFbxMarkerTest, ADestroyedMarkerTakesItsChannelsAlong) {
    KFbxMarker* marker = AttachedMarker();
    marker->SetType(KFbxMarker::eIK_EFFECTOR);
    ASSERT_TRUE(HasChannel(1, "IK Reach Translation"));
    marker->Destroy();
    for (int take = 0; take < 2; ++take) {
        EXPECT_FALSE(HasChannel(take, "IK Reach Translation")) << take;
        EXPECT_FALSE(HasChannel(take, "Occlusion")) << take;
    }
    for (int index = 0; index < mNode->GetPropertyLinkCount(); ++index) {
        EXPECT_NE(mNode->GetPropertyLink(index)->mProperty.GetObject(), nullptr);
    }
}

TEST_F(KFbxMarkerTest, IKReachWithoutNodeIsZeroAndIgnored) {
    KFbxMarker* marker = KFbxMarker::Create(mManager, "loose");
    marker->SetType(KFbxMarker::eIK_EFFECTOR);
    marker->SetDefaultIKReachTranslation(2.0);
    EXPECT_DOUBLE_EQ(marker->GetDefaultIKReachTranslation(), 0.0);
}

TEST_F(KFbxMarkerTest, CloneHasAnEmptyNameAndNoIKPivot) {
    KFbxMarker* marker = KFbxMarker::Create(mManager, "source");
    marker->SetType(KFbxMarker::eFK_EFFECTOR);
    marker->SetLook(KFbxMarker::eSPHERE);
    marker->SetSize(3.0);
    marker->SetShowLabel(true);
    marker->SetIKPivot(KFbxVector4(1.0, 2.0, 3.0, 1.0));
    marker->SetColor(KFbxColor(0.0, 1.0, 0.0, 1.0));
    auto* copy = static_cast<KFbxMarker*>(marker->Clone(2));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->GetName(), "");
    EXPECT_EQ(copy->GetType(), KFbxMarker::eFK_EFFECTOR);
    EXPECT_EQ(copy->GetLook(), KFbxMarker::eSPHERE);
    EXPECT_DOUBLE_EQ(copy->GetSize(), 3.0);
    EXPECT_TRUE(copy->GetShowLabel());
    EXPECT_DOUBLE_EQ(copy->GetColor().mGreen, 1.0);
    EXPECT_DOUBLE_EQ(copy->GetIKPivot()[0], 0.0);
}

}  // namespace
