// Skeletons: roots, limbs and limb nodes, the values each kind accepts, the
// "set" flags writers rely on, and copies.
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

#include "scene/SceneObjectsTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

using KFbxSkeletonTest = SceneObjectTest;

bool ColorSkipped(const KFbxSkeleton& skeleton) {
    const KProperty* bound = skeleton.Color.GetKProperty();
    return bound != nullptr && bound->TestOwnFlag(KProperty::kOwnSkipInOldBlock);
}

TEST_F(KFbxSkeletonTest, NewSkeletonIsAGreyRootWithNothingSet) {
    KFbxSkeleton* skeleton = KFbxSkeleton::Create(mManager, "bone");
    ASSERT_NE(skeleton, nullptr);
    EXPECT_EQ(skeleton->GetAttributeType(), KFbxNodeAttribute::eSKELETON);
    EXPECT_EQ(skeleton->GetSkeletonType(), KFbxSkeleton::eROOT);
    EXPECT_DOUBLE_EQ(skeleton->GetSize(), 100.0);
    EXPECT_DOUBLE_EQ(skeleton->GetLimbLength(), 1.0);
    const KFbxColor colour = skeleton->GetLimbNodeColor();
    EXPECT_DOUBLE_EQ(colour.mRed, 0.8);
    EXPECT_DOUBLE_EQ(colour.mAlpha, 1.0);
    EXPECT_FALSE(skeleton->IsSkeletonTypeSet());
    EXPECT_FALSE(skeleton->IsSizeSet());
    EXPECT_FALSE(skeleton->IsLimbLengthSet());
    EXPECT_FALSE(skeleton->IsLimbNodeColorSet());
    EXPECT_TRUE(ColorSkipped(*skeleton));
    EXPECT_STREQ(skeleton->GetTypeName(), "Root");
    // Made by class id, it has its own kind of twin.
    ASSERT_NE(skeleton->GetInternalObject(), nullptr);
    EXPECT_EQ(skeleton->GetInternalObject()->GetClassInfo(), &gKFbxSkeleton_internalClassInfo);
}

TEST_F(KFbxSkeletonTest, EachKindAcceptsOnlyItsValues) {
    KFbxSkeleton* skeleton = KFbxSkeleton::Create(mManager, "bone");
    EXPECT_FALSE(skeleton->SetLimbLength(5.0));
    EXPECT_DOUBLE_EQ(skeleton->GetLimbLength(), 1.0);
    EXPECT_FALSE(skeleton->SetLimbNodeColor(KFbxColor(1.0, 0.0, 0.0, 1.0)));
    EXPECT_FALSE(skeleton->IsLimbNodeColorSet());

    skeleton->SetSkeletonType(KFbxSkeleton::eLIMB);
    EXPECT_TRUE(skeleton->IsSkeletonTypeSet());
    EXPECT_FALSE(ColorSkipped(*skeleton));
    EXPECT_TRUE(skeleton->SetLimbLength(5.0));
    EXPECT_DOUBLE_EQ(skeleton->GetLimbLength(), 5.0);
    EXPECT_TRUE(skeleton->IsLimbLengthSet());

    skeleton->SetSkeletonType(KFbxSkeleton::eLIMB_NODE);
    EXPECT_FALSE(skeleton->SetLimbLength(6.0));
    EXPECT_TRUE(skeleton->SetLimbNodeColor(KFbxColor(1.0, 0.0, 0.0, 0.5)));
    EXPECT_TRUE(skeleton->IsLimbNodeColorSet());
    EXPECT_DOUBLE_EQ(skeleton->GetLimbNodeColor().mRed, 1.0);
    EXPECT_DOUBLE_EQ(skeleton->GetLimbNodeColor().mAlpha, 1.0);

    skeleton->SetSize(100.0);
    EXPECT_TRUE(skeleton->IsSizeSet());
}

TEST_F(KFbxSkeletonTest, TypeNamesAndFlags) {
    KFbxSkeleton* skeleton = KFbxSkeleton::Create(mManager, "bone");
    KStringList flags;
    skeleton->SetSkeletonType(KFbxSkeleton::eEFFECTOR);
    EXPECT_STREQ(skeleton->GetTypeName(), "Root");
    skeleton->GetTypeFlags(flags);
    ASSERT_EQ(flags.GetCount(), 3);
    EXPECT_STREQ(flags.GetStringAt(0), "Null");
    EXPECT_STREQ(flags.GetStringAt(1), "Skeleton");
    EXPECT_STREQ(flags.GetStringAt(2), "Root");
    EXPECT_TRUE(ColorSkipped(*skeleton));

    skeleton->SetSkeletonType(KFbxSkeleton::eLIMB_NODE);
    EXPECT_STREQ(skeleton->GetTypeName(), "LimbNode");
    skeleton->GetTypeFlags(flags);
    ASSERT_EQ(flags.GetCount(), 1);
    EXPECT_STREQ(flags.GetStringAt(0), "Skeleton");

    skeleton->SetSkeletonType(static_cast<KFbxSkeleton::ESkeletonType>(9));
    EXPECT_STREQ(skeleton->GetTypeName(), "");
    skeleton->GetTypeFlags(flags);
    EXPECT_EQ(flags.GetCount(), 0);
}

TEST_F(KFbxSkeletonTest, CopyCarriesValuesAndTheSourceFlags) {
    KFbxSkeleton* limb = KFbxSkeleton::Create(mManager, "limb");
    limb->SetSkeletonType(KFbxSkeleton::eLIMB);
    // Changed without its setter: the length is the limb's, yet not "set".
    limb->LimbLength.Set(7.5);
    limb->SetLimbNodeColor(KFbxColor(0.0, 0.0, 1.0, 1.0));
    auto* copy = static_cast<KFbxSkeleton*>(limb->Clone(2));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->GetName(), "");
    EXPECT_EQ(copy->GetSkeletonType(), KFbxSkeleton::eLIMB);
    EXPECT_DOUBLE_EQ(copy->GetLimbLength(), 7.5);
    EXPECT_FALSE(copy->IsLimbLengthSet());
    EXPECT_FALSE(copy->IsSizeSet());
    EXPECT_TRUE(copy->IsLimbNodeColorSet());
    EXPECT_TRUE(copy->IsSkeletonTypeSet());
    EXPECT_DOUBLE_EQ(copy->GetLimbNodeColor().mBlue, 1.0);
    EXPECT_EQ(limb->Clone(3), nullptr);
}

TEST_F(KFbxSkeletonTest, SkeletonsBringNoChannels) {
    KFbxSkeleton* skeleton = KFbxSkeleton::Create(mManager, "bone");
    KFbxNode* node = MakeNode("joint");
    const int before = node->GetDefaultTakeNode()->GetKFCurveNode()->GetCount();
    node->SetNodeAttribute(skeleton);
    EXPECT_EQ(node->GetSkeleton(), skeleton);
    EXPECT_EQ(node->GetDefaultTakeNode()->GetKFCurveNode()->GetCount(), before);
}

}  // namespace
