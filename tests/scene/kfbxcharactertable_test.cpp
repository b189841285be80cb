// The character's fixed tables: enumeration texts, the link groups and their
// lookups, the link record, and the filter set's parameters and mode rules.
#include <fbxfilesdk/scene/KFbxCharacterEnums.h>
#include <fbxfilesdk/scene/KFbxCharacterFilterSet.h>
#include <fbxfilesdk/scene/KFbxCharacterLink.h>
#include <fbxfilesdk/scene/KFbxCharacterLinkTable.h>
#include <fbxfilesdk/scene/KFbxCharacterPropertyTable.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace fbxsdk_2006_11_1;

namespace {

TEST(KFbxCharacterEnumsTest, TextsAndValuesWithoutText) {
    EXPECT_STREQ(kCharacterPostureText(1), "Quadruped");
    EXPECT_EQ(kCharacterPostureText(2), nullptr);
    EXPECT_EQ(kCharacterOffAutoUserText(3), nullptr);
    EXPECT_EQ(kCharacterOffAutoUserText(-1), nullptr);
    EXPECT_STREQ(kCharacterFingerContactModeText(2), "Sticky & Spread");
    EXPECT_STREQ(kCharacterHipsTranslationModeText(0), "World Rigid");
    EXPECT_STREQ(kCharacterContactBehaviourText(2), "Always Sync");
    EXPECT_STREQ(kCharacterAutoUserText(1), "User");
    // Hand and foot texts differ only at 1 and 2.
    for (int value = 0; value < 5; ++value) {
        const char* foot = kCharacterFootFloorContactTypeText(value);
        const char* hand = kCharacterHandFloorContactTypeText(value);
        if (value == 1 || value == 2) {
            EXPECT_STRNE(foot, hand);
        } else if (value < 4) {
            EXPECT_STREQ(foot, hand);
        } else {
            EXPECT_EQ(foot, nullptr);
            EXPECT_EQ(hand, nullptr);
        }
    }
    EXPECT_STREQ(kCharacterHandFloorPivotText(2), "Fingers");
    EXPECT_STREQ(kCharacterFootFloorPivotText(2), "Toes");
}

TEST(KFbxCharacterLinkTableTest, GroupsHoldEveryNamedIdOnce) {
    const int counts[kCharacterLinkGroupCount] = {15, 7, 9, 8, 1, 30, 30, 5, 12, 9, 30, 30};
    std::set<int> ids;
    std::set<std::string> names;
    int total = 0;
    for (int group = 0; group < kCharacterLinkGroupCount; ++group) {
        ASSERT_EQ(KFbxCharacterGroupCount(group), counts[group]) << group;
        for (int index = 0; index < counts[group]; ++index) {
            ids.insert(KFbxCharacterGroupElementByIndex(group, index));
            names.insert(KFbxCharacterGroupNameByIndex(group, index));
            const int version = KFbxCharacterGroupVersionByIndex(group, index);
            EXPECT_TRUE(version == 4000 || version == 4500);
            ++total;
        }
    }
    EXPECT_EQ(total, 186);
    EXPECT_EQ(ids.size(), 186u);
    EXPECT_EQ(names.size(), 186u);
    for (int id : {67, 68, 69, 88, 89}) {
        EXPECT_EQ(ids.count(id), 0u) << id;
    }
    EXPECT_EQ(*ids.begin(), 0);
    EXPECT_EQ(*ids.rbegin(), 190);
}

TEST(KFbxCharacterLinkTableTest, EntriesAndVersions) {
    EXPECT_STREQ(KFbxCharacterGroupNameByIndex(0, 0), "Hips");
    EXPECT_EQ(KFbxCharacterGroupVersionByIndex(1, 4), 4000);  // Neck
    EXPECT_EQ(KFbxCharacterGroupVersionByIndex(1, 5), 4500);  // LeftFingerBase
    EXPECT_EQ(KFbxCharacterGroupElementByIndex(6, 15), 116);
    EXPECT_STREQ(KFbxCharacterGroupNameByIndex(6, 15), "RightInHandThumb");
    EXPECT_EQ(KFbxCharacterGroupVersionByIndex(6, 14), 4000);
    EXPECT_STREQ(KFbxCharacterGroupNameByIndex(10, 29), "LeftFootExtraFinger4");
    EXPECT_STREQ(KFbxCharacterGroupNameByIndex(11, 0), "RightInFootThumb");
    EXPECT_EQ(KFbxCharacterGroupElementByIndex(11, 29), 190);
    // Out of range reads nothing.
    EXPECT_EQ(KFbxCharacterGroupCount(12), 0);
    EXPECT_EQ(KFbxCharacterGroupElementByIndex(4, 1), -1);
    EXPECT_EQ(KFbxCharacterGroupNameByIndex(-1, 0), nullptr);
    EXPECT_EQ(KFbxCharacterGroupVersionByIndex(0, 15), 0);
}

TEST(KFbxCharacterLinkTableTest, LookupsByNameAndElement) {
    int group = 1;
    int index = -1;
    EXPECT_TRUE(KFbxCharacterFindGroupIndexByName("Neck", true, group, index));
    EXPECT_EQ(group, 1);
    EXPECT_EQ(index, 4);
    group = 1;
    index = -7;
    EXPECT_FALSE(KFbxCharacterFindGroupIndexByName("Spine1", true, group, index));
    EXPECT_EQ(group, 1);
    EXPECT_EQ(index, -7);
    EXPECT_TRUE(KFbxCharacterFindGroupIndexByName("Spine1", false, group, index));
    EXPECT_EQ(group, 2);
    EXPECT_EQ(index, 0);
    // Case and the reference name are not in the groups.
    EXPECT_FALSE(KFbxCharacterFindGroupIndexByName("hips", false, group, index));
    EXPECT_FALSE(KFbxCharacterFindGroupIndexByName("Reference", false, group, index));
    EXPECT_FALSE(KFbxCharacterFindGroupIndexByName(nullptr, false, group, index));
    group = 12;
    EXPECT_FALSE(KFbxCharacterFindGroupIndexByName("Hips", true, group, index));

    EXPECT_TRUE(KFbxCharacterFindGroupIndexByElement(70, group, index));
    EXPECT_EQ(group, 4);
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(KFbxCharacterFindGroupIndexByElement(67, group, index));

    const char* name = nullptr;
    EXPECT_TRUE(KFbxCharacterLinkNameFromElement(67, name));
    EXPECT_STREQ(name, "Reference");
    EXPECT_TRUE(KFbxCharacterLinkNameFromElement(3, name));
    EXPECT_STREQ(name, "LeftFoot");
    name = nullptr;
    for (int id : {68, 69, 88, 89, 191, -1}) {
        EXPECT_FALSE(KFbxCharacterLinkNameFromElement(id, name)) << id;
    }
    EXPECT_EQ(name, nullptr);
}

TEST(KFbxCharacterLinkTest, ResetCopyAndAssign) {
    KFbxCharacterLink link;
    EXPECT_EQ(link.mNode, nullptr);
    EXPECT_TRUE(link.mName.IsEmpty());
    EXPECT_DOUBLE_EQ(link.mSOffset[0], 1.0);
    EXPECT_DOUBLE_EQ(link.mTOffset[3], 1.0);
    EXPECT_DOUBLE_EQ(link.mAxisLen, 1.0);
    EXPECT_FALSE(link.mPropertyLink.IsValid());

    link.mName = "hip";
    link.mTOffset = KFbxVector4(1.0, 2.0, 3.0, 1.0);
    link.mHasRotSpace = true;
    link.mRLimits.SetLimitMinActive(true, false, true);
    link.mRLimits.SetLimitMax(KFbxVector4(9.0, 9.0, 9.0, 0.0));
    link.mRotOrder = 4;
    link.mAxisLen = 3.5;
    const KFbxCharacterLink copy(link);
    KFbxCharacterLink assigned;
    assigned = link;
    for (const KFbxCharacterLink* other : {&copy, static_cast<const KFbxCharacterLink*>(&assigned)}) {
        EXPECT_STREQ(other->mName.Buffer(), "hip");
        EXPECT_DOUBLE_EQ(other->mTOffset[2], 3.0);
        EXPECT_TRUE(other->mHasRotSpace);
        bool x = false, y = true, z = false;
        other->mRLimits.GetLimitMinActive(x, y, z);
        EXPECT_TRUE(x && !y && z);
        EXPECT_DOUBLE_EQ(other->mRLimits.GetLimitMax()[1], 9.0);
        EXPECT_EQ(other->mRotOrder, 4);
        EXPECT_DOUBLE_EQ(other->mAxisLen, 3.5);
    }

    link.Reset();
    bool x = true, y = true, z = true;
    link.mRLimits.GetLimitMinActive(x, y, z);
    EXPECT_FALSE(x || y || z);
    EXPECT_DOUBLE_EQ(link.mRLimits.GetLimitMax()[0], 0.0);
    EXPECT_FALSE(link.mHasRotSpace);
    EXPECT_EQ(link.mRotOrder, 0);
}

TEST(KFbxCharacterFilterSetTest, InitialParametersFollowTheProperties) {
    const KFbxCharacterFilterSet filterSet;
    EXPECT_EQ(KFbxCharacterFilterSet::GetParameterCount(), 177);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(0), 10.0);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(3), 100.0);
    EXPECT_EQ(filterSet.GetParameterMode(3), 1);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(7), 80.0);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(31), 100.0);  // ReachActorLeftAnkleRotation
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(45), 7.5);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(62), 100.0);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(67), 60.0);
    EXPECT_EQ(filterSet.GetParameterMode(87), 0);
    EXPECT_EQ(filterSet.GetParameterMode(88), 1);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(105), 60.0);  // CtrlEnforceGravity
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(123), 0.0);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(141), 0.5);
    EXPECT_EQ(filterSet.GetParameterMode(165), 1);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(172), 1.0);
    EXPECT_EQ(filterSet.GetParameterMode(176), 1);
    // Out of range and the value index beyond 0 read 0.
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(177), 0.0);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(0, 1), 0.0);
    EXPECT_EQ(filterSet.GetParameterMode(-1), 0);

    EXPECT_STREQ(KFbxCharacterFilterSet::GetParameterName(0), "PullIterationCount");
    EXPECT_STREQ(KFbxCharacterFilterSet::GetParameterName(8), "ApplyLimits");
    EXPECT_STREQ(KFbxCharacterFilterSet::GetParameterName(126), "");
    EXPECT_EQ(KFbxCharacterFilterSet::GetParameterName(177), nullptr);
    EXPECT_FLOAT_EQ(KFbxCharacterFilterSet::GetParameterMax(0), 30.0f);
    EXPECT_FLOAT_EQ(KFbxCharacterFilterSet::GetParameterMin(45), 0.01f);
}

TEST(KFbxCharacterFilterSetTest, ModeTypesDecideWhichModesAreKept) {
    KFbxCharacterFilterSet filterSet;
    // Type 2 (Off/Auto/User) keeps 0 to 2.
    ASSERT_EQ(KFbxCharacterFilterSet::GetParameterModeType(3), 2);
    EXPECT_TRUE(filterSet.SetParameterMode(3, 2));
    EXPECT_EQ(filterSet.GetParameterMode(3), 2);
    EXPECT_FALSE(filterSet.SetParameterMode(3, 3));
    EXPECT_FALSE(filterSet.SetParameterMode(3, -1));
    EXPECT_EQ(filterSet.GetParameterMode(3), 2);
    // Type 1 (switches, Auto/User) keeps 0 and 1.
    ASSERT_EQ(KFbxCharacterFilterSet::GetParameterModeType(8), 1);
    ASSERT_EQ(KFbxCharacterFilterSet::GetParameterModeType(78), 1);
    EXPECT_TRUE(filterSet.SetParameterMode(8, 1));
    EXPECT_FALSE(filterSet.SetParameterMode(8, 2));
    EXPECT_EQ(filterSet.GetParameterMode(8), 1);
    // A parameter without modes keeps none.
    ASSERT_EQ(KFbxCharacterFilterSet::GetParameterModeType(0), 0);
    EXPECT_FALSE(filterSet.SetParameterMode(0, 0));
    EXPECT_FALSE(filterSet.SetParameterMode(500, 0));
    // Values are stored unchecked.
    filterSet.SetParameterValue(0, -1000.0, 7);
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(0), -1000.0);
    filterSet.SetParameterValue(-3, 1.0);
    filterSet.Reset();
    EXPECT_DOUBLE_EQ(filterSet.GetParameterValue(0), 10.0);
    EXPECT_EQ(filterSet.GetParameterMode(8), 0);
}

TEST(KFbxCharacterPropertyTableTest, RowsInListingOrder) {
    ASSERT_NE(KFbxGetCharacterPropertyRow(0), nullptr);
    EXPECT_STREQ(KFbxGetCharacterPropertyRow(0)->mName, "Active");
    EXPECT_STREQ(KFbxGetCharacterPropertyRow(kCharacterPropertyCount - 1)->mName, "ContactBehaviour");
    EXPECT_EQ(KFbxGetCharacterPropertyRow(kCharacterPropertyCount), nullptr);
    const KFbxCharacterPropertyRow* roll = KFbxFindCharacterPropertyRow("LeftUpLegRoll");
    ASSERT_NE(roll, nullptr);
    EXPECT_STREQ((roll + 1)->mName, "LeftUpLegRollMode");
    EXPECT_EQ(KFbxFindCharacterPropertyRow("NoSuchProperty"), nullptr);
}

}  // namespace
