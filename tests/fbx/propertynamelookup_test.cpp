#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/PropertyNameLookup.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

class PropertyNameLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        mManager.reset(CreateSdkManager());
        mNode = KFbxNode::Create(mManager.get(), "node");
        ASSERT_NE(mNode, nullptr);
        ASSERT_GT(mNode->GetPropertyCount(), 1);
    }

    // Every property's name finds what the object's own search finds.
    void ExpectSameAsObject(PropertyNameLookup& lookup) {
        for (int i = 0; i < mNode->GetPropertyCount(); ++i) {
            const std::string name = mNode->GetPropertyAt(i).GetName();
            EXPECT_EQ(lookup.Find(*mNode, name.c_str()), mNode->FindProperty(name.c_str())) << name;
        }
    }

    std::unique_ptr<KFbxSdkManager> mManager;
    KFbxNode* mNode = nullptr;
};

TEST_F(PropertyNameLookupTest, FindsWhatTheObjectFindsAndNothingElse) {
    PropertyNameLookup lookup;
    ExpectSameAsObject(lookup);
    const std::string first = mNode->GetPropertyAt(0).GetName();
    EXPECT_FALSE(lookup.Find(*mNode, "NoSuchProperty").IsValid());
    EXPECT_FALSE(lookup.Find(*mNode, "").IsValid());
    // Names are exact: another case or a prefix is another name.
    EXPECT_FALSE(lookup.Find(*mNode, first.substr(0, first.size() - 1).c_str()).IsValid());
}

TEST_F(PropertyNameLookupTest, FollowsPropertiesAddedAndRemovedBetweenLookUps) {
    PropertyNameLookup lookup;
    ASSERT_FALSE(lookup.Find(*mNode, "Added").IsValid());
    const KFbxProperty added = KFbxProperty::Create(mNode, "Added", gKFbxDataTypeNumber, "");
    EXPECT_EQ(lookup.Find(*mNode, "Added"), added);

    // A forced second property of a taken name: the first stays the one found.
    const std::string taken = mNode->GetPropertyAt(1).GetName();
    const KFbxProperty duplicate = KFbxProperty::Create(mNode, taken.c_str(), gKFbxDataTypeNumber, "", true);
    ASSERT_TRUE(duplicate.IsValid());
    EXPECT_EQ(lookup.Find(*mNode, taken.c_str()), mNode->GetPropertyAt(1));
    ExpectSameAsObject(lookup);

    KFbxProperty gone = lookup.Find(*mNode, "Added");
    gone.Destroy();
    EXPECT_FALSE(lookup.Find(*mNode, "Added").IsValid());
    ExpectSameAsObject(lookup);
}

TEST_F(PropertyNameLookupTest, AResetOrAnotherObjectIndexesAfresh) {
    PropertyNameLookup lookup;
    ExpectSameAsObject(lookup);
    KFbxNode* other = KFbxNode::Create(mManager.get(), "other");
    KFbxProperty::Create(other, "OnlyOther", gKFbxDataTypeNumber, "");
    EXPECT_TRUE(lookup.Find(*other, "OnlyOther").IsValid());
    EXPECT_FALSE(lookup.Find(*mNode, "OnlyOther").IsValid());
    lookup.Reset();
    ExpectSameAsObject(lookup);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
