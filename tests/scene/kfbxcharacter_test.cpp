// Characters: identity, the parameter properties loaded from the filter set
// and their setters, the link properties and the links they fill, back-links
// that empty every kind of slot when a node is destroyed, input, reset, the
// control set, and the scene's character, plug and character-pose lists.
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxCharacter_internal.h>
#include <fbxfilesdk/scene/KFbxControlSetPlug.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <limits>
#include <string>

#include "scene/SceneTestSupport.h"

namespace fbxsdk_2006_11_1 {
namespace {

class KFbxCharacterTest : public scenetest::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        mCharacter = KFbxCharacter::Create(mManager, "hero");
        ASSERT_NE(mCharacter, nullptr);
    }

    static double Double(const KFbxProperty& property) { return property.GetDouble(); }
    static bool Bool(const KFbxProperty& property) {
        bool value = false;
        property.Get(&value, eFbxValueBool);
        return value;
    }
    static int Enum(const KFbxProperty& property) {
        int value = -1;
        property.Get(&value, eFbxValueEnum);
        return value;
    }
    static void Set(KFbxProperty property, double value) { property.Set(&value, eFbxValueDouble); }
    static void SetBool(KFbxProperty property, bool value) { property.Set(&value, eFbxValueBool); }
    static void SetEnum(KFbxProperty property, int value) { property.Set(&value, eFbxValueEnum); }

    KFbxProperty Find(const char* name) const { return mCharacter->FindProperty(name); }
    const KFbxCharacterFilterSet& Filter() const { return mCharacter->GetFilterSet(); }

    KFbxCharacterLink Link(int id) const {
        KFbxCharacterLink link;
        mCharacter->GetCharacterLink(id, &link);
        return link;
    }

    KFbxCharacter* mCharacter = nullptr;
};

TEST_F(KFbxCharacterTest, IdentityAndRegistration) {
    EXPECT_NE(KFbxCharacter::ClassId, KFbxClassId());
    EXPECT_TRUE(mCharacter->Is(KFbxConstraint::ClassId));
    EXPECT_EQ(mCharacter->GetConstraintType(), KFbxConstraint::eCHARACTER_CONSTRAINT);
    EXPECT_EQ(mCharacter->GetObjectTypeCode(), 8);
    EXPECT_STREQ(mCharacter->GetTypeName(), "Character");
    EXPECT_STREQ(mCharacter->GetNameWithTypePrefix().Buffer(), "Constraint::hero");
    ASSERT_NE(mCharacter->GetInternalObject(), nullptr);
    EXPECT_EQ(mCharacter->GetInternalObject()->GetClassInfo(), &gKFbxCharacter_InternalClassInfo);
    ASSERT_NE(mCharacter->GetDefaultTakeNode(), nullptr);
    EXPECT_EQ(mCharacter->GetCurrentTakeNodeIndex(), 0);
    EXPECT_EQ(mCharacter->GetControlSet().GetCharacter(), mCharacter);
}

TEST_F(KFbxCharacterTest, PropertiesAreListedInOrderWithTheirInitialValues) {
    for (int row = 0; row < kCharacterPropertyCount; ++row) {
        ASSERT_STREQ(mCharacter->GetPropertyAt(row).GetName(), KFbxGetCharacterPropertyRow(row)->mName) << row;
    }
    const char* lists[] = {"SourceObject", "DestinationObject", "Actor", "Character", "ControlSet"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(mCharacter->GetPropertyAt(kCharacterPropertyCount + i).GetName(), lists[i]);
    }
    EXPECT_STREQ(mCharacter->GetPropertyAt(kCharacterPropertyCount + 5).GetName(), "HipsLink");

    EXPECT_FALSE(Bool(Find("Active")));
    EXPECT_DOUBLE_EQ(Double(Find("Weight")), 0.0);
    EXPECT_DOUBLE_EQ(Double(Find("PullIterationCount")), 10.0);
    EXPECT_DOUBLE_EQ(Double(Find("ScaleCompensation")), 100.0);
    EXPECT_EQ(Enum(Find("ScaleCompensationMode")), 1);
    EXPECT_EQ(Enum(Find("AnkleStabilizationDampingMode")), 0);
    EXPECT_TRUE(Bool(Find("SyncMode")));
    EXPECT_TRUE(Bool(Find("FingerSolving")));
    EXPECT_FALSE(Bool(Find("ApplyLimits")));
    EXPECT_EQ(Enum(Find("FootFingerContactMode")), 1);
    EXPECT_DOUBLE_EQ(Double(Find("MassCenterCompensation")), 80.0);
    EXPECT_DOUBLE_EQ(Double(Find("CtrlEnforceGravity")), 60.0);
    EXPECT_DOUBLE_EQ(Double(Find("CtrlResistLeftCollar")), 50.0);
    EXPECT_DOUBLE_EQ(Double(Find("FootBackToAnkle")), 4.5);
    EXPECT_DOUBLE_EQ(Double(Find("HandContactSize")), 100.0);
    EXPECT_DOUBLE_EQ(Double(Find("LeftArmRoll")), 60.0);
    for (int row = 0; row < kCharacterPropertyCount; ++row) {
        const KFbxCharacterPropertyRow& info = *KFbxGetCharacterPropertyRow(row);
        if (std::string(info.mName).ends_with("Tip")) {
            EXPECT_DOUBLE_EQ(Double(Find(info.mName)), 0.5) << info.mName;
        }
    }
    const fbxDouble4 offset = Find("HipsTOffset").GetDouble4();
    EXPECT_DOUBLE_EQ(offset[0], 0.0);
    EXPECT_DOUBLE_EQ(offset[2], 0.0);
    const fbxDouble3 chest = Find("ChestTOffset").GetDouble3();
    EXPECT_DOUBLE_EQ(chest[1], 0.0);
    // Enumerations name their values.
    EXPECT_STREQ(Find("FootContactType").GetEnumValue(2), "ToeBase");
    EXPECT_STREQ(Find("HandContactType").GetEnumValue(2), "FingerBase");
    EXPECT_EQ(Find("Posture").GetEnumCount(), 2);
}

TEST_F(KFbxCharacterTest, FlagsOfReadOnlyAnimatableAndSyncProperties) {
    KProperty* massCenter = Find("MassCenterCompensation").GetKProperty();
    ASSERT_NE(massCenter, nullptr);
    EXPECT_TRUE(massCenter->TestOwnFlag(KProperty::kOwnFlag32));
    EXPECT_TRUE(massCenter->IsAnimatable());
    EXPECT_FALSE(Find("PullIterationCount").GetKProperty()->TestOwnFlag(KProperty::kOwnFlag32));
    EXPECT_FALSE(Find("PullIterationCount").GetKProperty()->IsAnimatable());
    EXPECT_TRUE(Find("Weight").GetKProperty()->IsAnimatable());
    EXPECT_TRUE(Find("SyncMode").GetKProperty()->TestOwnFlag(0x01));
    // Animatable parameters have channels in the default take.
    KFCurveNode* root = mCharacter->GetDefaultTakeNode()->GetKFCurveNode();
    ASSERT_NE(root, nullptr);
    EXPECT_NE(root->Find("Weight"), nullptr);
    EXPECT_NE(root->Find("ReachActorChest"), nullptr);
    EXPECT_EQ(root->Find("PullIterationCount"), nullptr);
}

TEST_F(KFbxCharacterTest, SettersClampAndWriteTheFilterSet) {
    Set(Find("PullIterationCount"), 45.0);
    EXPECT_DOUBLE_EQ(Double(Find("PullIterationCount")), 30.0);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(0), 30.0);
    Set(Find("PullIterationCount"), -1.0);
    EXPECT_DOUBLE_EQ(Double(Find("PullIterationCount")), 0.0);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(0), 0.0);
    Set(Find("PullIterationCount"), 12.0);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(0), 12.0);

    Set(Find("FootBottomToAnkle"), 0.0);
    EXPECT_DOUBLE_EQ(Double(Find("FootBottomToAnkle")), 0.01);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(45), 0.01);
    Set(Find("RightFootExtraFingerTip"), 5000.0);
    EXPECT_DOUBLE_EQ(Double(Find("RightFootExtraFingerTip")), 1000.0);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(164), 1000.0);
    // A NaN is no length: it takes the lower bound.
    Set(Find("HandContactSize"), std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(Double(Find("HandContactSize")), 0.01);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(62), 0.01);

    // Local setters leave the filter set.
    Set(Find("ScaleCompensation"), 50.0);
    EXPECT_DOUBLE_EQ(Double(Find("ScaleCompensation")), 50.0);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(3), 100.0);

    SetBool(Find("ApplyLimits"), true);
    EXPECT_EQ(Filter().GetParameterMode(8), 1);
    SetBool(Find("SyncMode"), false);
    EXPECT_EQ(Filter().GetParameterMode(176), 0);

    SetEnum(Find("ScaleCompensationMode"), 2);
    EXPECT_EQ(Filter().GetParameterMode(3), 2);
    // A mode the parameter refuses leaves the entry; the property keeps it.
    SetEnum(Find("ScaleCompensationMode"), 3);
    EXPECT_EQ(Enum(Find("ScaleCompensationMode")), 3);
    EXPECT_EQ(Filter().GetParameterMode(3), 2);
    SetEnum(Find("DisplacementMemoryMode"), 2);
    EXPECT_EQ(Filter().GetParameterMode(78), 0);

    SetEnum(Find("HipsTranslationMode"), 1);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(132), 1.0);
    SetEnum(Find("Posture"), 7);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(1), 7.0);

    // Without setter the value is stored, the filter set untouched.
    Set(Find("MassCenterCompensation"), 12.0);
    EXPECT_DOUBLE_EQ(Double(Find("MassCenterCompensation")), 12.0);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(7), 80.0);
}

TEST_F(KFbxCharacterTest, EveryNamedLinkHasItsProperty) {
    for (int id = 0; id < kCharacterLinkCount; ++id) {
        const char* name = nullptr;
        const bool named = KFbxCharacter::GetCharacterGroupNameFromElement(id, name);
        const KFbxCharacterLink link = [&] {
            KFbxCharacterLink stored;
            // An empty slot is not handed out; its property is still there.
            stored.mPropertyLink = Find((std::string(named ? name : "?") + "Link").c_str());
            return stored;
        }();
        if (named) {
            ASSERT_TRUE(link.mPropertyLink.IsValid()) << id;
            EXPECT_EQ(mCharacter->GetLinkIdOfProperty(link.mPropertyLink), id);
            EXPECT_EQ(link.mPropertyLink.GetPropertyDataType(), gKFbxDataTypeObject);
        }
    }
    EXPECT_TRUE(Find("HipsLink").IsValid());
    EXPECT_TRUE(Find("ReferenceLink").IsValid());
    EXPECT_EQ(mCharacter->GetLinkIdOfProperty(Find("ReferenceLink")), 67);
    EXPECT_EQ(mCharacter->GetLinkIdOfProperty(Find("SourceObject")), -1);
    EXPECT_EQ(mCharacter->GetPropertyCount(), kCharacterPropertyCount + 5 + 187);
}

TEST_F(KFbxCharacterTest, GetAndSetLinksWithBackLinks) {
    KFbxNode* hips = MakeNode("hips");
    KFbxNode* other = MakeNode("other");
    EXPECT_FALSE(mCharacter->GetCharacterLink(0, nullptr));
    EXPECT_FALSE(mCharacter->GetCharacterLink(191, nullptr));
    EXPECT_FALSE(mCharacter->GetCharacterLink(-1, nullptr));

    KFbxCharacterLink named;
    named.mName = "from file";
    ASSERT_TRUE(mCharacter->SetCharacterLink(5, named));
    EXPECT_TRUE(mCharacter->GetCharacterLink(5, nullptr));

    KFbxCharacterLink link;
    link.mNode = hips;
    link.mTOffset = KFbxVector4(1.0, 2.0, 3.0, 1.0);
    ASSERT_TRUE(mCharacter->SetCharacterLink(0, link, true));
    const KFbxCharacterLink stored = Link(0);
    EXPECT_EQ(stored.mNode, hips);
    EXPECT_DOUBLE_EQ(stored.mTOffset[1], 2.0);
    // The slot keeps its property, even from a record without one.
    EXPECT_EQ(stored.mPropertyLink, Find("HipsLink"));
    ASSERT_EQ(hips->GetCharacterBackLinkCount(), 1);
    const KFbxCharacterBackLink expected{mCharacter, KFbxCharacterBackLink::eCharacterLink, 0, 0};
    EXPECT_EQ(hips->FindCharacterBackLink(expected), 0);
    EXPECT_EQ(hips->FindCharacterBackLink(KFbxCharacterBackLink{nullptr, 0, 0, 0}), -1);
    // With the connect flag the node is the property's source.
    EXPECT_EQ(Find("HipsLink").GetSrc(0, KFbxObject::ClassId), hips);

    link.mNode = other;
    ASSERT_TRUE(mCharacter->SetCharacterLink(0, link, true));
    EXPECT_EQ(hips->GetCharacterBackLinkCount(), 0);
    EXPECT_EQ(other->GetCharacterBackLinkCount(), 1);
    EXPECT_EQ(Find("HipsLink").GetSrcCount(KFbxObject::ClassId), 1);
    EXPECT_EQ(Find("HipsLink").GetSrc(0, KFbxObject::ClassId), other);

    // A record without node clears the old node's back-link.
    KFbxCharacterLink empty;
    ASSERT_TRUE(mCharacter->SetCharacterLink(0, empty));
    EXPECT_EQ(other->GetCharacterBackLinkCount(), 0);
    EXPECT_FALSE(mCharacter->GetCharacterLink(0, nullptr));
    EXPECT_FALSE(mCharacter->SetCharacterLink(191, link));
    EXPECT_FALSE(mCharacter->SetCharacterLink(-1, link));
    EXPECT_EQ(other->GetCharacterBackLinkCount(), 0);
}

TEST_F(KFbxCharacterTest, ConnectingALinkPropertyFillsTheLink) {
    KFbxNode* foot = MakeNode("foot");
    KFbxCharacterLink link = Link(3);
    link.mROffset = KFbxVector4(0.0, 45.0, 0.0, 1.0);
    link.mName = "kept";
    mCharacter->SetCharacterLink(3, link);

    KFbxProperty property = Find("LeftFootLink");
    ASSERT_TRUE(property.ConnectSrc(foot));
    EXPECT_EQ(Link(3).mNode, foot);
    EXPECT_EQ(foot->FindCharacterBackLink(
                  KFbxCharacterBackLink{mCharacter, KFbxCharacterBackLink::eCharacterLink, 3, 0}),
              0);

    // Another object leaving the property leaves the link alone.
    KFbxNode* stranger = MakeNode("stranger");
    property.ConnectSrc(stranger);
    EXPECT_EQ(Link(3).mNode, stranger);
    property.DisconnectSrc(foot);
    EXPECT_EQ(Link(3).mNode, stranger);
    property.DisconnectSrc(stranger);
    EXPECT_EQ(Link(3).mNode, nullptr);
    EXPECT_EQ(stranger->GetCharacterBackLinkCount(), 0);
    EXPECT_EQ(foot->GetCharacterBackLinkCount(), 0);
    // The offsets and the name stay.
    EXPECT_DOUBLE_EQ(Link(3).mROffset[1], 45.0);
    EXPECT_STREQ(Link(3).mName.Buffer(), "kept");
}

TEST_F(KFbxCharacterTest, DestroyingANodeEmptiesEveryKindOfSlot) {
    KFbxNode* node = MakeNode("limb");
    KFbxNode* survivor = MakeNode("survivor");
    KFbxControlSet& controlSet = mCharacter->GetControlSet();

    ASSERT_TRUE(Find("HeadLink").ConnectSrc(node));
    KFbxControlSetLink fk;
    fk.mNode = node;
    fk.mTemplateName = "fk";
    ASSERT_TRUE(controlSet.SetControlSetLink(20, fk));
    KFbxEffector effector;
    effector.mNode = node;
    effector.mTActive = true;
    ASSERT_TRUE(controlSet.SetEffector(15, effector));
    ASSERT_TRUE(controlSet.SetEffectorAux(15, node, 14));
    ASSERT_TRUE(controlSet.SetEffectorAux(15, survivor, 1));
    EXPECT_EQ(node->GetCharacterBackLinkCount(), 4);

    node->Destroy();

    EXPECT_EQ(Link(20).mNode, nullptr);
    EXPECT_FALSE(mCharacter->GetCharacterLink(20, nullptr));
    KFbxControlSetLink keptName;
    ASSERT_TRUE(controlSet.GetControlSetLink(20, &keptName));
    EXPECT_EQ(keptName.mNode, nullptr);
    EXPECT_STREQ(keptName.mTemplateName.Buffer(), "fk");
    EXPECT_FALSE(controlSet.GetEffector(15, nullptr));
    EXPECT_EQ(controlSet.GetEffectorAux(15, 14), nullptr);
    EXPECT_EQ(controlSet.GetEffectorAux(15, 1), survivor);
    EXPECT_EQ(survivor->GetCharacterBackLinkCount(), 1);
}

TEST_F(KFbxCharacterTest, DestroyingTheCharacterDropsTheBackLinks) {
    KFbxNode* node = MakeNode("limb");
    ASSERT_TRUE(Find("SpineLink").ConnectSrc(node));
    KFbxEffector effector;
    effector.mNode = node;
    mCharacter->GetControlSet().SetEffector(0, effector);
    mCharacter->GetControlSet().SetEffectorAux(0, node, 2);
    EXPECT_EQ(node->GetCharacterBackLinkCount(), 3);
    mCharacter->Destroy();
    mCharacter = nullptr;
    EXPECT_EQ(node->GetCharacterBackLinkCount(), 0);
    // The node is destroyed later without reaching the character.
    node->Destroy();
}

TEST_F(KFbxCharacterTest, ResetEmptiesLinksNameAndControlSet) {
    KFbxNode* node = MakeNode("limb");
    KFbxCharacterLink link;
    link.mNode = node;
    link.mName = "named";
    for (int id : {0, 67, 190}) {
        mCharacter->SetCharacterLink(id, link);
    }
    mCharacter->GetControlSet().SetLockPick(true);
    mCharacter->GetControlSet().SetEffectorAux(43, node, 3);
    mCharacter->Reset();
    EXPECT_STREQ(mCharacter->GetName(), "");
    for (int id = 0; id < kCharacterLinkCount; ++id) {
        EXPECT_FALSE(mCharacter->GetCharacterLink(id, nullptr)) << id;
    }
    EXPECT_EQ(node->GetCharacterBackLinkCount(), 0);
    EXPECT_FALSE(mCharacter->GetControlSet().GetLockPick());
    EXPECT_EQ(mCharacter->GetControlSet().GetEffectorAux(43, 3), nullptr);
    // The link properties still lead to their links.
    ASSERT_TRUE(Find("HipsLink").ConnectSrc(node));
    EXPECT_EQ(Link(0).mNode, node);
}

TEST_F(KFbxCharacterTest, InputTakesOnlyObjectsOfTheMatchingType) {
    EXPECT_EQ(mCharacter->GetCharacterInputType(), KFbxCharacter::eNoInput);
    EXPECT_EQ(mCharacter->GetCharacterInputObject(), nullptr);

    KFbxControlSetPlug* plug = KFbxControlSetPlug::Create(mManager, "plug");
    KFbxCharacter* source = KFbxCharacter::Create(mManager, "source");
    KFbxCharacter* second = KFbxCharacter::Create(mManager, "second");
    ASSERT_NE(plug, nullptr);
    ASSERT_NE(source, nullptr);

    mCharacter->SetCharacterInput(KFbxCharacter::eCharacterInput, plug);
    mCharacter->SetCharacterInput(KFbxCharacter::eCharacterInput, nullptr);
    mCharacter->SetCharacterInput(3, source);
    mCharacter->SetCharacterInput(KFbxCharacter::eActorInput, source);
    EXPECT_EQ(mCharacter->GetCharacterInputType(), KFbxCharacter::eNoInput);

    mCharacter->SetCharacterInput(KFbxCharacter::eCharacterInput, source);
    mCharacter->SetCharacterInput(KFbxCharacter::eCharacterInput, second);
    EXPECT_EQ(mCharacter->GetCharacterInputType(), KFbxCharacter::eCharacterInput);
    EXPECT_EQ(mCharacter->GetCharacterInputObject(), second);
    EXPECT_EQ(Find("SourceObject").GetSrcCount(KFbxObject::ClassId), 1);
    EXPECT_EQ(Find("Character").GetSrcCount(KFbxObject::ClassId), 1);
    EXPECT_EQ(Find("Character").GetSrc(0, KFbxObject::ClassId), second);

    mCharacter->SetCharacterInput(KFbxCharacter::eControlSetInput, plug);
    EXPECT_EQ(mCharacter->GetCharacterInputType(), KFbxCharacter::eControlSetInput);
    EXPECT_EQ(mCharacter->GetControlSet().GetControlSetPlug(), plug);
    // The earlier character stays on its own list.
    EXPECT_EQ(Find("Character").GetSrc(0, KFbxObject::ClassId), second);

    // An input of another type code counts as none.
    KFbxNode* node = MakeNode("node");
    Find("SourceObject").DisconnectSrc(plug);
    Find("SourceObject").ConnectSrc(node);
    EXPECT_EQ(mCharacter->GetCharacterInputType(), KFbxCharacter::eNoInput);
    EXPECT_EQ(mCharacter->GetCharacterInputObject(), node);
}

TEST_F(KFbxCharacterTest, EachObjectListHoldsOneObjectAtMost) {
    KFbxCharacter* first = KFbxCharacter::Create(mManager, "first");
    KFbxCharacter* second = KFbxCharacter::Create(mManager, "second");
    for (const char* name : {"SourceObject", "Actor", "Character", "ControlSet"}) {
        SCOPED_TRACE(name);
        KFbxProperty list = Find(name);
        ASSERT_TRUE(list.IsValid());
        EXPECT_TRUE(list.ConnectSrc(first));
        EXPECT_FALSE(list.ConnectSrc(second));
        EXPECT_EQ(list.GetSrcCount(KFbxObject::ClassId), 1);
        EXPECT_EQ(list.GetSrc(0, KFbxObject::ClassId), first);
        // The place is free again once the object has left.
        EXPECT_TRUE(list.DisconnectSrc(first));
        EXPECT_TRUE(list.ConnectSrc(second));
        list.DisconnectSrc(second);
    }
    KFbxProperty output = Find("DestinationObject");
    EXPECT_TRUE(output.ConnectDst(first));
    EXPECT_FALSE(output.ConnectDst(second));
    EXPECT_EQ(output.GetDstCount(KFbxObject::ClassId), 1);
    // Replacing the input still works: the old one leaves first.
    mCharacter->SetCharacterInput(KFbxCharacter::eCharacterInput, first);
    mCharacter->SetCharacterInput(KFbxCharacter::eCharacterInput, second);
    EXPECT_EQ(mCharacter->GetCharacterInputObject(), second);
}

TEST_F(KFbxCharacterTest, OffsetsAreFourComponentsWithAFourthOfOne) {
    for (const char* name : {"HipsTOffset", "ChestTOffset"}) {
        SCOPED_TRACE(name);
        const fbxDouble4 offset = Find(name).GetDouble4();
        EXPECT_DOUBLE_EQ(offset[0], 0.0);
        EXPECT_DOUBLE_EQ(offset[1], 0.0);
        EXPECT_DOUBLE_EQ(offset[2], 0.0);
        EXPECT_DOUBLE_EQ(offset[3], 1.0);
    }
}

TEST_F(KFbxCharacterTest, TheInternalObjectHasAGetterAndASetterPerProperty) {
    auto* twin = dynamic_cast<KFbxCharacter_Internal*>(mCharacter->GetInternalObject());
    ASSERT_NE(twin, nullptr);
    EXPECT_DOUBLE_EQ(twin->GetPullIterationCount(), 10.0);
    EXPECT_EQ(twin->GetScaleCompensationMode(), 1);
    EXPECT_TRUE(twin->GetSyncMode());
    EXPECT_DOUBLE_EQ(twin->GetRightFootExtraFingerTip(), 0.5);
    EXPECT_EQ(twin->GetHipsTOffset(), KFbxVector4(0.0, 0.0, 0.0, 1.0));
    EXPECT_DOUBLE_EQ(twin->GetMassCenterCompensation(), 80.0);

    // A setter does what setting the property does.
    twin->SetPullIterationCount(45.0);
    EXPECT_DOUBLE_EQ(twin->GetPullIterationCount(), 30.0);
    EXPECT_DOUBLE_EQ(Double(Find("PullIterationCount")), 30.0);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(0), 30.0);
    twin->SetApplyLimits(true);
    EXPECT_TRUE(Bool(Find("ApplyLimits")));
    EXPECT_EQ(Filter().GetParameterMode(8), 1);
    twin->SetScaleCompensation(50.0);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(3), 100.0);
    twin->SetFootFingerContactMode(2);
    EXPECT_EQ(Enum(Find("FootFingerContactMode")), 2);
    twin->SetRightFootExtraFingerTip(5000.0);
    EXPECT_DOUBLE_EQ(Filter().GetParameterValue(164), 1000.0);
    // "Active" keeps the constraint base's pair.
    twin->SetActive(true);
    EXPECT_TRUE(twin->GetActive());
}

TEST_F(KFbxCharacterTest, ControlSetSlotsAndRanges) {
    KFbxControlSet& controlSet = mCharacter->GetControlSet();
    KFbxNode* node = MakeNode("node");
    EXPECT_EQ(controlSet.GetType(), KFbxControlSet::eNone);
    EXPECT_FALSE(controlSet.GetControlSetLink(0, nullptr));
    EXPECT_FALSE(controlSet.GetControlSetLink(191, nullptr));
    KFbxControlSetLink link;
    link.mNode = node;
    EXPECT_FALSE(controlSet.SetControlSetLink(-1, link));
    EXPECT_FALSE(controlSet.SetEffector(44, KFbxEffector()));
    EXPECT_FALSE(controlSet.SetEffectorAux(0, node, 0));
    EXPECT_FALSE(controlSet.SetEffectorAux(0, node, 15));
    EXPECT_EQ(node->GetCharacterBackLinkCount(), 0);
    KFbxNode* out = node;
    EXPECT_FALSE(controlSet.GetEffectorAux(0, out, 1));
    EXPECT_EQ(out, nullptr);

    EXPECT_STREQ(KFbxControlSet::GetEffectorNodeName(0), "HipsEffector");
    EXPECT_STREQ(KFbxControlSet::GetEffectorNodeName(43), "RightFootExtraFingerEffector");
    EXPECT_EQ(KFbxControlSet::GetEffectorNodeName(44), nullptr);
    EXPECT_EQ(KFbxControlSet::GetEffectorNodeName(-1), nullptr);

    // Setting the same node twice keeps one back-link.
    ASSERT_TRUE(controlSet.SetControlSetLink(7, link));
    ASSERT_TRUE(controlSet.SetControlSetLink(7, link));
    EXPECT_EQ(node->GetCharacterBackLinkCount(), 1);
    EXPECT_EQ(node->GetCharacterBackLink(0).mKind, KFbxCharacterBackLink::eControlSetLink);
    controlSet.Reset();
    EXPECT_EQ(node->GetCharacterBackLinkCount(), 0);
}

TEST_F(KFbxCharacterTest, SceneListsOfCharactersPlugsAndPoses) {
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->GetCharacterCount(), 0);
    EXPECT_EQ(scene->CreateCharacter("a"), 0);
    EXPECT_EQ(scene->CreateCharacter("b"), 1);
    EXPECT_EQ(scene->GetCharacterCount(), 2);
    EXPECT_STREQ(scene->GetCharacter(1)->GetName(), "b");
    EXPECT_EQ(scene->GetCharacter(2), nullptr);

    EXPECT_EQ(scene->CreateControlSetPlug("plug"), 0);
    ASSERT_NE(scene->GetControlSetPlug(0), nullptr);
    EXPECT_STREQ(scene->GetControlSetPlug(0)->GetNameWithTypePrefix().Buffer(), "ControlSetPlug::plug");
    EXPECT_EQ(scene->GetControlSetPlugCount(), 1);

    EXPECT_EQ(scene->CreateCharacterPose("pose"), 0);
    ASSERT_EQ(scene->GetCharacterPoseCount(), 1);
    KFbxCharacterPose* pose = scene->GetCharacterPose(0);
    ASSERT_NE(pose, nullptr);
    EXPECT_STREQ(pose->GetNameWithTypePrefix().Buffer(), "Pose::pose");
    KFbxScene* own = pose->GetPoseScene();
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, scene);
    // The pose's scene is none of the outer scene's objects.
    EXPECT_EQ(scene->GetSrcObjectCount(KFbxScene::ClassId), 0);

    scene->DestroyCharacterPose(3);
    EXPECT_EQ(scene->GetCharacterPoseCount(), 1);
    scene->DestroyCharacterPose(0);
    EXPECT_EQ(scene->GetCharacterPoseCount(), 0);
}

TEST_F(KFbxCharacterTest, SceneEndsWithLinkedNodesInAnyOrder) {
    // Objects go in the manager's order, character or node first; neither
    // may reach the other once it is gone.
    for (bool characterFirst : {true, false}) {
        KFbxScene* scene = KFbxScene::Create(mManager, "scene");
        ASSERT_NE(scene, nullptr);
        KFbxCharacter* character = nullptr;
        if (characterFirst) {
            character = scene->GetCharacter(scene->CreateCharacter("c"));
        }
        KFbxNode* node = MakeNode("n", scene->GetRootNode());
        if (!characterFirst) {
            character = scene->GetCharacter(scene->CreateCharacter("c"));
        }
        ASSERT_NE(character, nullptr);
        ASSERT_TRUE(character->FindProperty("HipsLink").ConnectSrc(node));
        character->GetControlSet().SetEffectorAux(1, node, 1);
        scene->Destroy(true, true);
    }
    // And with the manager's own end, inside a character pose's scene.
    KFbxCharacterPose* pose = KFbxCharacterPose::Create(mManager, "pose");
    ASSERT_NE(pose, nullptr);
    KFbxScene* own = pose->GetPoseScene();
    KFbxCharacter* character = own->GetCharacter(own->CreateCharacter("posed"));
    ASSERT_NE(character, nullptr);
    KFbxCharacterLink link;
    link.mNode = MakeNode("limb", own->GetRootNode());
    character->SetCharacterLink(190, link, true);
}

TEST_F(KFbxCharacterTest, CharacterPoseOwnsItsScene) {
    const int scenesBefore = mManager->GetObjectCount(KFbxScene::ClassId);
    KFbxCharacterPose* pose = KFbxCharacterPose::Create(mManager, "pose");
    ASSERT_NE(pose, nullptr);
    KFbxScene* own = pose->GetPoseScene();
    ASSERT_NE(own, nullptr);
    ASSERT_NE(own->GetRootNode(), nullptr);
    MakeNode("posed", own->GetRootNode());
    EXPECT_EQ(mManager->GetObjectCount(KFbxScene::ClassId), scenesBefore + 1);
    pose->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(KFbxScene::ClassId), scenesBefore);

    // A pose whose scene the manager ended first does not end it again.
    KFbxCharacterPose* orphan = KFbxCharacterPose::Create(mManager, "orphan");
    ASSERT_NE(orphan, nullptr);
    orphan->GetPoseScene()->Destroy(true, true);
    EXPECT_EQ(orphan->GetPoseScene(), nullptr);
    orphan->Destroy();
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
