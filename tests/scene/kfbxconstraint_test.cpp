// Constraints: identity, defaults, the limits of their object lists,
// offsets, per-source settings, take templates and clones that own their
// internal twin.
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>
#include <fbxfilesdk/scene/KFbxConstraintAim.h>
#include <fbxfilesdk/scene/KFbxConstraintParent.h>
#include <fbxfilesdk/scene/KFbxConstraintPosition.h>
#include <fbxfilesdk/scene/KFbxConstraintRotation.h>
#include <fbxfilesdk/scene/KFbxConstraintScale.h>
#include <fbxfilesdk/scene/KFbxConstraintSingleChainIK.h>
#include <fbxfilesdk/scene/KFbxConstraint_internal.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <string>
#include <vector>

#include "scene/SceneTestSupport.h"

namespace fbxsdk_2006_11_1 {
namespace {

class KFbxConstraintTest : public scenetest::SceneTest {
protected:
    static void ExpectVector(const KFbxVector4& v, double x, double y, double z) {
        EXPECT_DOUBLE_EQ(v[0], x);
        EXPECT_DOUBLE_EQ(v[1], y);
        EXPECT_DOUBLE_EQ(v[2], z);
        EXPECT_DOUBLE_EQ(v[3], 1.0);
    }
    static std::vector<std::string> TwinPropertyNames(const KFbxConstraint& constraint) {
        std::vector<std::string> names;
        KFbxObject_internal* twin = constraint.GetInternalObject();
        for (int i = 0; twin != nullptr && i < twin->GetPropertyCount(); ++i) {
            names.emplace_back(twin->GetPropertyAt(i)->GetName());
        }
        return names;
    }
    static bool HasChannel(KFbxTakeNode* take, const char* name) {
        return take != nullptr && take->GetKFCurveNode()->Find(name) != nullptr;
    }
};

TEST_F(KFbxConstraintTest, EachKindHasItsTypeNameClassAndTwin) {
    struct Kind {
        KFbxConstraint* constraint;
        KFbxConstraint::EConstraintType type;
        const char* typeName;
        const KPlugClassInfo* twinClass;
    };
    const Kind kinds[] = {
        {KFbxConstraintPosition::Create(mManager, "p"), KFbxConstraint::ePOSITION, "Position From Positions",
         &gKFbxConstraintPosition_internalClassInfo},
        {KFbxConstraintRotation::Create(mManager, "r"), KFbxConstraint::eROTATION, "Rotation From Rotations",
         &gKFbxConstraintRotation_internalClassInfo},
        {KFbxConstraintScale::Create(mManager, "s"), KFbxConstraint::eSCALE, "Scale From Scales",
         &gKFbxConstraintScale_internalClassInfo},
        {KFbxConstraintParent::Create(mManager, "pc"), KFbxConstraint::ePARENT, "Parent-Child",
         &gKFbxConstraintParent_internalClassInfo},
        {KFbxConstraintSingleChainIK::Create(mManager, "ik"), KFbxConstraint::eSINGLECHAIN_IK, "Single Chain IK",
         &gKFbxConstraintSingleChainIK_internalClassInfo},
        {KFbxConstraintAim::Create(mManager, "aim"), KFbxConstraint::eAIM, "Aim",
         &gKFbxConstraintAim_internalClassInfo},
    };
    for (const Kind& kind : kinds) {
        ASSERT_NE(kind.constraint, nullptr) << kind.typeName;
        EXPECT_EQ(kind.constraint->GetConstraintType(), kind.type);
        EXPECT_STREQ(kind.constraint->GetTypeName(), kind.typeName);
        EXPECT_EQ(kind.constraint->GetObjectTypeCode(), 13);
        EXPECT_STREQ(kind.constraint->GetTypePrefix().Buffer(), "Constraint::");
        EXPECT_TRUE(kind.constraint->Is(KFbxConstraint::ClassId));
        EXPECT_TRUE(kind.constraint->Is(KFbxTakeNodeContainer::ClassId));
        KFbxObject_internal* twin = kind.constraint->GetInternalObject();
        ASSERT_NE(twin, nullptr);
        EXPECT_EQ(twin->GetClassInfo(), kind.twinClass);
        EXPECT_TRUE(twin->IsType(gKFbxConstraint_internalTypeId));
        EXPECT_TRUE(twin->IsType(gKFbxTakeNodeContainer_internalTypeId));
        EXPECT_TRUE(twin->IsType(gKFbxObject_internalTypeId));
        EXPECT_NE(kind.constraint->GetDefaultTakeNode(), nullptr);
    }
    // The base class is made by its id too, as a constraint of no kind.
    auto* plain = dynamic_cast<KFbxConstraint*>(CreateObjectOfClass(mManager, KFbxConstraint::ClassId, "plain"));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetConstraintType(), KFbxConstraint::eUNIDENTIFIED);
    EXPECT_EQ(plain->GetConstraintSource(0), nullptr);
    EXPECT_FALSE(plain->AddConstraintSource(MakeNode("n")));
    plain->Destroy();
}

TEST_F(KFbxConstraintTest, NewPositionConstraintDefaultsAndTwinOrder) {
    KFbxConstraintPosition* position = KFbxConstraintPosition::Create(mManager, "p");
    ASSERT_NE(position, nullptr);
    EXPECT_TRUE(position->GetActive());
    EXPECT_FALSE(position->GetLock());
    EXPECT_TRUE(position->GetAffectX());
    EXPECT_TRUE(position->GetAffectY());
    EXPECT_TRUE(position->GetAffectZ());
    EXPECT_DOUBLE_EQ(position->GetWeight(), 100.0);
    ExpectVector(position->GetOffset(), 0.0, 0.0, 0.0);
    EXPECT_EQ(TwinPropertyNames(*position),
              (std::vector<std::string>{"Active", "Lock", "Constrained Object", "Source", "AffectX", "AffectY",
                                        "AffectZ", "Translation", "Weight"}));
    // The handles are bound to the twin: a value set publicly is the twin's.
    position->Weight.Set(40.0);
    EXPECT_DOUBLE_EQ(position->GetInternalObject()->FindProperty("Weight")->GetDouble(), 40.0);
    auto* twin = dynamic_cast<KFbxConstraint_internal*>(position->GetInternalObject());
    ASSERT_NE(twin, nullptr);
    position->Active.Set(false);
    EXPECT_FALSE(twin->GetActive());
    EXPECT_TRUE(position->FindProperty("Translation").GetFlag(KFbxProperty::kAnimatable));
    EXPECT_FALSE(position->FindProperty("Lock").GetFlag(KFbxProperty::kAnimatable));
}

TEST_F(KFbxConstraintTest, ScaleOffsetStartsAtZeroAndSetOffsetTargetsTheClassOffset) {
    KFbxConstraintScale* scale = KFbxConstraintScale::Create(mManager, "s");
    KFbxConstraintRotation* rotation = KFbxConstraintRotation::Create(mManager, "r");
    KFbxConstraintAim* aim = KFbxConstraintAim::Create(mManager, "a");
    KFbxConstraintParent* parent = KFbxConstraintParent::Create(mManager, "pc");
    KFbxConstraintSingleChainIK* ik = KFbxConstraintSingleChainIK::Create(mManager, "ik");
    ExpectVector(KFbxConstraint::ReadVector(scale->FindProperty("Scaling")), 0.0, 0.0, 0.0);

    const KFbxVector4 offset(1.0, 2.0, 3.0, 9.0);
    scale->SetOffset(offset);
    rotation->SetOffset(offset);
    aim->SetOffset(offset);
    ExpectVector(scale->GetOffset(), 1.0, 2.0, 3.0);
    ExpectVector(KFbxConstraint::ReadVector(scale->FindProperty("Scaling")), 1.0, 2.0, 3.0);
    ExpectVector(KFbxConstraint::ReadVector(rotation->FindProperty("Rotation")), 1.0, 2.0, 3.0);
    ExpectVector(aim->GetRotationOffset(), 1.0, 2.0, 3.0);

    const int parentCount = parent->GetPropertyCount();
    const int ikCount = ik->GetPropertyCount();
    parent->SetOffset(offset);
    ik->SetOffset(offset);
    EXPECT_EQ(parent->GetPropertyCount(), parentCount);
    EXPECT_EQ(ik->GetPropertyCount(), ikCount);
    ExpectVector(ik->GetPoleVector(), 0.0, 1.0, 0.0);
}


TEST_F(KFbxConstraintTest, ListsWithALimitRefuseTheObjectPastIt) {
    KFbxConstraintPosition* position = KFbxConstraintPosition::Create(mManager, "p");
    KFbxNode* first = MakeNode("first");
    KFbxNode* second = MakeNode("second");
    // "Constrained Object" takes one object, as a destination of the list.
    EXPECT_TRUE(position->ConstrainedObject.ConnectDst(first));
    EXPECT_FALSE(position->ConstrainedObject.ConnectDst(second));
    EXPECT_EQ(position->GetConstrainedObject(), first);
    // Replacing goes through letting the first one go.
    EXPECT_TRUE(position->SetConstrainedObject(second));
    EXPECT_EQ(position->GetConstrainedObject(), second);
    EXPECT_EQ(position->ConstrainedObject.GetDstCount(KFbxObject::ClassId), 1);
    EXPECT_TRUE(position->SetConstrainedObject(nullptr));
    EXPECT_EQ(position->GetConstrainedObject(), nullptr);

    // "Source" takes any number, as sources.
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(position->AddConstraintSource(MakeNode(("s" + std::to_string(i)).c_str())));
    }
    EXPECT_EQ(position->GetConstraintSourceCount(), 5);
    EXPECT_STREQ(position->GetConstraintSource(4)->GetName(), "s4");
    EXPECT_EQ(position->GetConstraintSource(5), nullptr);
    EXPECT_EQ(position->GetConstraintSource(-1), nullptr);
    EXPECT_FALSE(position->AddConstraintSource(position->GetConstraintSource(0)));
    EXPECT_FALSE(position->AddConstraintSource(nullptr));

    // Aim: one constrained object and one up object, any number of targets.
    KFbxConstraintAim* aim = KFbxConstraintAim::Create(mManager, "a");
    EXPECT_TRUE(aim->WorldUpObject.ConnectSrc(first));
    EXPECT_FALSE(aim->WorldUpObject.ConnectSrc(second));
    EXPECT_EQ(aim->GetWorldUpObject(), first);
    EXPECT_TRUE(aim->SetConstrainedObject(first));
    EXPECT_FALSE(aim->ConstrainedObject.ConnectDst(second));
    EXPECT_TRUE(aim->AddConstraintSource(first));
    EXPECT_TRUE(aim->AddConstraintSource(second));
    EXPECT_EQ(aim->GetConstraintSourceCount(), 2);

    // IK: first joint, end joint and effector one each, pole objects any number.
    KFbxConstraintSingleChainIK* ik = KFbxConstraintSingleChainIK::Create(mManager, "ik");
    EXPECT_TRUE(ik->FirstJointObject.ConnectDst(first));
    EXPECT_FALSE(ik->FirstJointObject.ConnectDst(second));
    EXPECT_TRUE(ik->EndJointObject.ConnectDst(second));
    EXPECT_FALSE(ik->EndJointObject.ConnectDst(first));
    EXPECT_TRUE(ik->AddConstraintSource(first));
    EXPECT_FALSE(ik->EffectorObject.ConnectSrc(second));
    EXPECT_TRUE(ik->PoleVectorObjects.ConnectSrc(first));
    EXPECT_TRUE(ik->PoleVectorObjects.ConnectSrc(second));
    EXPECT_EQ(ik->GetFirstJoint(), first);
    EXPECT_EQ(ik->GetEndJoint(), second);
    EXPECT_EQ(ik->GetEffector(), first);
    EXPECT_EQ(ik->GetPoleVectorObjectCount(), 2);
    EXPECT_EQ(ik->GetPoleVectorObject(1), second);
}

TEST_F(KFbxConstraintTest, SourcesKeepTheirOwnWeights) {
    KFbxConstraintRotation* rotation = KFbxConstraintRotation::Create(mManager, "r");
    KFbxNode* left = MakeNode("Left");
    KFbxNode* right = MakeNode("Right");
    KFbxNode* stranger = MakeNode("Stranger");
    ASSERT_TRUE(rotation->AddConstraintSource(left, 25.0));
    ASSERT_TRUE(rotation->AddConstraintSource(right));
    EXPECT_DOUBLE_EQ(rotation->GetSourceWeight(left), 25.0);
    EXPECT_DOUBLE_EQ(rotation->GetSourceWeight(right), 100.0);
    KFbxProperty weight = rotation->FindProperty("Left.Weight");
    ASSERT_TRUE(weight.IsValid());
    EXPECT_TRUE(weight.GetFlag(KFbxProperty::kAnimatable));
    EXPECT_TRUE(rotation->SetSourceWeight(right, 75.0));
    EXPECT_DOUBLE_EQ(rotation->GetSourceWeight(right), 75.0);
    EXPECT_DOUBLE_EQ(rotation->GetSourceWeight(left), 25.0);
    // A stranger has no weight property, and setting one does not make it.
    const int count = rotation->GetPropertyCount();
    EXPECT_FALSE(rotation->SetSourceWeight(stranger, 5.0));
    EXPECT_DOUBLE_EQ(rotation->GetSourceWeight(stranger), 100.0);
    EXPECT_FALSE(rotation->SetSourceWeight(nullptr, 5.0));
    EXPECT_EQ(rotation->GetPropertyCount(), count);
}

TEST_F(KFbxConstraintTest, ParentDefaultsAndPerSourceOffsets) {
    KFbxConstraintParent* parent = KFbxConstraintParent::Create(mManager, "pc");
    EXPECT_TRUE(parent->GetActive());
    EXPECT_FALSE(parent->GetLock());
    EXPECT_DOUBLE_EQ(parent->GetWeight(), 100.0);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_TRUE(parent->GetAffectTranslation(axis));
        EXPECT_TRUE(parent->GetAffectRotation(axis));
        EXPECT_FALSE(parent->GetAffectScaling(axis));
    }
    EXPECT_FALSE(parent->GetAffectRotation(3));
    // Scaling flags have no handle but are reached by name.
    KFbxTypedProperty<bool> scalingY = parent->FindProperty("AffectScalingY");
    ASSERT_TRUE(scalingY.IsValid());
    scalingY.Set(true);
    EXPECT_TRUE(parent->GetAffectScaling(1));
    EXPECT_EQ(TwinPropertyNames(*parent)[2], "Constrained object (Child)");
    EXPECT_EQ(TwinPropertyNames(*parent)[3], "Source (Parent)");

    KFbxNode* arm = MakeNode("Model::Arm");
    ASSERT_NE(arm, nullptr);
    // No ".Offset T" yet: the neutral vector.
    ExpectVector(parent->GetTranslationOffset(arm), 0.0, 0.0, 0.0);
    ExpectVector(parent->GetRotationOffset(nullptr), 0.0, 0.0, 0.0);
    // Setting an offset that does not exist changes and makes nothing.
    const int count = parent->GetPropertyCount();
    parent->SetRotationOffset(arm, KFbxVector4(1.0, 2.0, 3.0, 1.0));
    EXPECT_EQ(parent->GetPropertyCount(), count);
    ExpectVector(parent->GetRotationOffset(arm), 0.0, 0.0, 0.0);

    // What a reader makes: properties named after the source without its prefix.
    KFbxTypedProperty<fbxDouble3> offsetT =
        KFbxProperty::Create(parent, "Arm.Offset T", gKFbxDataTypeVector, "");
    KFbxTypedProperty<fbxDouble3> offsetR =
        KFbxProperty::Create(parent, "Arm.Offset R", gKFbxDataTypeVector, "");
    offsetT.Set(fbxDouble3(4.0, 5.0, 6.0));
    ExpectVector(parent->GetTranslationOffset(arm), 4.0, 5.0, 6.0);
    parent->SetRotationOffset(arm, KFbxVector4(7.0, 8.0, 9.0, 1.0));
    ExpectVector(parent->GetRotationOffset(arm), 7.0, 8.0, 9.0);
    ExpectVector(KFbxConstraint::ReadVector(offsetR), 7.0, 8.0, 9.0);
    // A renamed source still reaches the same offsets: set and get agree.
    arm->SetName("Forearm");
    parent->SetRotationOffset(arm, KFbxVector4(-1.0, -2.0, -3.0, 1.0));
    ExpectVector(parent->GetRotationOffset(arm), -1.0, -2.0, -3.0);
    EXPECT_FALSE(parent->FindProperty("Forearm.Offset R").IsValid());
    parent->SetTranslationOffset(arm, KFbxVector4(0.5, 0.25, 0.125, 1.0));
    ExpectVector(parent->GetTranslationOffset(arm), 0.5, 0.25, 0.125);

    // A source added here gets zero offsets of its own.
    KFbxNode* leg = MakeNode("Leg");
    ASSERT_TRUE(parent->AddConstraintSource(leg, 60.0));
    EXPECT_TRUE(parent->FindProperty("Leg.Offset T").IsValid());
    EXPECT_TRUE(parent->FindProperty("Leg.Offset R").IsValid());
    parent->SetTranslationOffset(leg, KFbxVector4(1.0, 1.0, 1.0, 1.0));
    ExpectVector(parent->GetTranslationOffset(leg), 1.0, 1.0, 1.0);
    EXPECT_EQ(parent->GetConstraintSource(0), leg);
    EXPECT_EQ(parent->GetConstraintSource(1), nullptr);
}

TEST_F(KFbxConstraintTest, AimDefaultsAndUpTypeTexts) {
    KFbxConstraintAim* aim = KFbxConstraintAim::Create(mManager, "a");
    EXPECT_TRUE(aim->GetActive());
    EXPECT_FALSE(aim->GetLock());
    EXPECT_DOUBLE_EQ(aim->GetWeight(), 100.0);
    ExpectVector(aim->GetRotationOffset(), 0.0, 0.0, 0.0);
    EXPECT_EQ(aim->GetWorldUpType(), KFbxConstraintAim_internal::eAimAtSceneUp);
    ExpectVector(aim->GetWorldUpVector(), 0.0, 1.0, 0.0);
    ExpectVector(aim->GetUpVector(), 0.0, 1.0, 0.0);
    ExpectVector(aim->GetAimVector(), 1.0, 0.0, 0.0);
    EXPECT_TRUE(aim->GetAffectX() && aim->GetAffectY() && aim->GetAffectZ());
    // The twin holds the lists and the up type first; the public side adds the rest after them.
    std::vector<std::string> twinNames = TwinPropertyNames(*aim);
    ASSERT_GE(twinNames.size(), 4u);
    twinNames.resize(4);
    EXPECT_EQ(twinNames,
              (std::vector<std::string>{"Constrained Object", "Aim At Object", "World Up Object", "WorldUpType"}));

    EXPECT_STREQ(aim->WorldUpType.GetEnumValue(0), "Scene Up");
    EXPECT_STREQ(aim->WorldUpType.GetEnumValue(3), "Vector");
    EXPECT_STREQ(aim->WorldUpType.GetEnumValue(4), "None");
    EXPECT_EQ(aim->WorldUpType.GetEnumValue(5), nullptr);
    EXPECT_EQ(KFbxConstraintAim_internal::GetWorldUpTypeText(5), nullptr);
    EXPECT_EQ(KFbxConstraintAim_internal::GetWorldUpTypeText(-1), nullptr);

    // The twin's accessors and the public handle see one value, kept as given.
    auto* twin = dynamic_cast<KFbxConstraintAim_internal*>(aim->GetInternalObject());
    ASSERT_NE(twin, nullptr);
    aim->SetWorldUpType(KFbxConstraintAim_internal::eAimAtVector);
    EXPECT_EQ(twin->GetWorldUpType(), 3);
    EXPECT_EQ(twin->SetWorldUpType(7), 7);
    EXPECT_EQ(aim->GetWorldUpType(), 7);
}

TEST_F(KFbxConstraintTest, SingleChainIKDefaultsAndEnumerationTexts) {
    KFbxConstraintSingleChainIK* ik = KFbxConstraintSingleChainIK::Create(mManager, "ik");
    EXPECT_TRUE(ik->GetActive());
    EXPECT_FALSE(ik->GetLock());
    EXPECT_EQ(ik->GetSolverType(), KFbxConstraintSingleChainIK_internal::eSC_SOLVER);
    EXPECT_STREQ(ik->SolverType.GetEnumValue(ik->GetSolverType()), "ikSCSolver");
    EXPECT_EQ(ik->GetPoleVectorType(), 0);
    EXPECT_STREQ(ik->PoleVectorType.GetEnumValue(0), "Vector");
    EXPECT_EQ(ik->GetEvaluateTSAnim(), 0);
    EXPECT_STREQ(ik->EvaluateTSAnim.GetEnumValue(0), "Never");
    ExpectVector(ik->GetPoleVector(), 0.0, 1.0, 0.0);
    EXPECT_DOUBLE_EQ(ik->GetTwist(), 0.0);
    EXPECT_DOUBLE_EQ(ik->GetWeight(), 100.0);

    EXPECT_EQ(ik->SolverType.GetEnumValue(2), nullptr);
    EXPECT_EQ(KFbxConstraintSingleChainIK_internal::GetSolverTypeText(2), nullptr);
    EXPECT_STREQ(ik->EvaluateTSAnim.GetEnumValue(2), "Always");
    EXPECT_STREQ(KFbxConstraintSingleChainIK_internal::GetEvaluateTSAnimText(2), "Always");
    EXPECT_STREQ(KFbxConstraintSingleChainIK_internal::GetPoleVectorTypeText(1), "Object");

    auto* twin = dynamic_cast<KFbxConstraintSingleChainIK_internal*>(ik->GetInternalObject());
    ASSERT_NE(twin, nullptr);
    // The twin keeps its own (0, 0, 0) pole vector default out of sight:
    // the public default is what both read.
    KFbxProperty* twinPole = nullptr;
    for (int i = 0; i < twin->GetPropertyCount(); ++i) {
        if (std::string(twin->GetPropertyAt(i)->GetName()) == "PoleVector") {
            twinPole = ik->FindPropertyByInternal(twin->GetPropertyAt(i));
        }
    }
    ASSERT_NE(twinPole, nullptr);
    ExpectVector(KFbxConstraint::ReadVector(*twinPole), 0.0, 1.0, 0.0);
    // An unnamed value is stored unchanged, through either side.
    ik->SetSolverType(2);
    EXPECT_EQ(twin->GetSolverType(), 2);
    EXPECT_EQ(twin->SetEvaluateTSAnim(1), 1);
    EXPECT_EQ(ik->GetEvaluateTSAnim(), 1);
}

TEST_F(KFbxConstraintTest, TakeTemplateHoldsTheAnimatableProperties) {
    KFbxConstraintPosition* position = KFbxConstraintPosition::Create(mManager, "p");
    KFbxTakeNode take("Run");
    position->FillTakeNodeTemplate(take);
    EXPECT_TRUE(HasChannel(&take, "Translation"));
    EXPECT_TRUE(HasChannel(&take, "Weight"));
    EXPECT_FALSE(HasChannel(&take, "Lock"));
    EXPECT_FALSE(HasChannel(&take, "Active"));
    // Aim's animatable properties are made on the public side; they count too.
    KFbxConstraintAim* aim = KFbxConstraintAim::Create(mManager, "a");
    KFbxTakeNode aimTake("Run");
    aim->FillTakeNodeTemplate(aimTake);
    for (const char* name : {"Weight", "RotationOffset", "WorldUpVector", "UpVector", "AimVector"}) {
        EXPECT_TRUE(HasChannel(&aimTake, name)) << name;
    }
    EXPECT_FALSE(HasChannel(&aimTake, "AffectX"));
    KFbxTakeNode* added = position->CreateTakeNode("Walk");
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(HasChannel(added, "Weight"));
}

TEST_F(KFbxConstraintTest, CloneOnlyInModeTwo) {
    KFbxConstraintPosition* position = KFbxConstraintPosition::Create(mManager, "p");
    EXPECT_EQ(position->Clone(0), nullptr);
    EXPECT_EQ(position->Clone(1), nullptr);
    EXPECT_EQ(position->Clone(3), nullptr);
}

// Builds a parent constraint with a value of every kind, a source with its
// per-source properties, a constrained object and a second take.
KFbxConstraintParent* MakeRichParent(KFbxSdkManager* manager, KFbxNode* child, KFbxNode* source) {
    KFbxConstraintParent* parent = KFbxConstraintParent::Create(manager, "rich");
    parent->Lock.Set(true);
    parent->AffectRotationY.Set(false);
    parent->Weight.Set(33.0);
    KFbxTypedProperty<bool>(parent->FindProperty("AffectScalingZ")).Set(true);
    parent->SetConstrainedObject(child);
    parent->AddConstraintSource(source, 45.0);
    parent->SetTranslationOffset(source, KFbxVector4(1.0, 2.0, 3.0, 1.0));
    parent->SetRotationOffset(source, KFbxVector4(4.0, 5.0, 6.0, 1.0));
    parent->CreateTakeNode("Take 001");
    parent->GetError().SetErrorWithText(0, "Error");
    return parent;
}

TEST_F(KFbxConstraintTest, CloneCopiesEverythingIntoItsOwnTwin) {
    KFbxNode* child = MakeNode("child");
    KFbxNode* source = MakeNode("src");
    KFbxConstraintParent* parent = MakeRichParent(mManager, child, source);
    auto* clone = dynamic_cast<KFbxConstraintParent*>(parent->Clone(2));
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone, parent);
    EXPECT_STREQ(clone->GetName(), "rich");
    EXPECT_NE(clone->GetInternalObject(), parent->GetInternalObject());
    EXPECT_TRUE(clone->GetLock());
    EXPECT_FALSE(clone->GetAffectRotation(1));
    EXPECT_TRUE(clone->GetAffectScaling(2));
    EXPECT_DOUBLE_EQ(clone->GetWeight(), 33.0);
    EXPECT_EQ(clone->GetConstrainedObject(), child);
    EXPECT_EQ(clone->GetConstraintSource(0), source);
    EXPECT_DOUBLE_EQ(clone->GetSourceWeight(source), 45.0);
    ExpectVector(clone->GetTranslationOffset(source), 1.0, 2.0, 3.0);
    ExpectVector(clone->GetRotationOffset(source), 4.0, 5.0, 6.0);
    EXPECT_EQ(clone->GetTakeNodeCount(), 2);
    EXPECT_EQ(clone->GetError().GetLastErrorID(), 0);
    EXPECT_STREQ(clone->GetError().GetLastErrorString(), "Error");

    // Separate twins: a change on one is not seen on the other.
    clone->Weight.Set(10.0);
    clone->SetRotationOffset(source, KFbxVector4(0.0, 0.0, 0.0, 1.0));
    EXPECT_DOUBLE_EQ(parent->GetWeight(), 33.0);
    ExpectVector(parent->GetRotationOffset(source), 4.0, 5.0, 6.0);
    clone->Destroy();
    parent->Destroy();
}

TEST_F(KFbxConstraintTest, CloneAndSourceDieInEitherOrder) {
    KFbxNode* child = MakeNode("child");
    KFbxNode* source = MakeNode("src");
    for (bool sourceFirst : {true, false}) {
        KFbxConstraintParent* parent = MakeRichParent(mManager, child, source);
        KFbxConstraint* clone = parent->Clone(2);
        ASSERT_NE(clone, nullptr);
        KFbxConstraint* first = sourceFirst ? static_cast<KFbxConstraint*>(parent) : clone;
        KFbxConstraint* second = sourceFirst ? clone : static_cast<KFbxConstraint*>(parent);
        first->Destroy();
        // The survivor still works on its own twin and connections.
        auto* survivor = dynamic_cast<KFbxConstraintParent*>(second);
        ASSERT_NE(survivor, nullptr);
        EXPECT_DOUBLE_EQ(survivor->GetWeight(), 33.0);
        survivor->Weight.Set(1.0);
        EXPECT_EQ(survivor->GetConstraintSource(0), source);
        ExpectVector(survivor->GetRotationOffset(source), 4.0, 5.0, 6.0);
        KFbxTakeNode take("t");
        survivor->FillTakeNodeTemplate(take);
        EXPECT_TRUE(HasChannel(&take, "Weight"));
        second->Destroy();
        EXPECT_EQ(source->GetDstObjectCount(), 0) << "the constraints let go of the source";
    }
    // Every kind clones into its own class.
    for (KFbxConstraint* constraint :
         {static_cast<KFbxConstraint*>(KFbxConstraintPosition::Create(mManager, "p")),
          static_cast<KFbxConstraint*>(KFbxConstraintRotation::Create(mManager, "r")),
          static_cast<KFbxConstraint*>(KFbxConstraintScale::Create(mManager, "s")),
          static_cast<KFbxConstraint*>(KFbxConstraintAim::Create(mManager, "a")),
          static_cast<KFbxConstraint*>(KFbxConstraintSingleChainIK::Create(mManager, "ik"))}) {
        constraint->AddConstraintSource(source, 12.0);
        KFbxConstraint* clone = constraint->Clone(2);
        ASSERT_NE(clone, nullptr);
        EXPECT_EQ(clone->GetClassId(), constraint->GetClassId());
        EXPECT_EQ(clone->GetConstraintType(), constraint->GetConstraintType());
        EXPECT_EQ(clone->GetConstraintSource(0), source);
        EXPECT_DOUBLE_EQ(clone->GetSourceWeight(source), 12.0);
        constraint->Destroy();
        clone->Destroy();
    }
}

TEST_F(KFbxConstraintTest, SceneCountsItsConstraintsAndANodeOwnsThem) {
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    ASSERT_NE(scene, nullptr);
    KFbxConstraintAim* aim = KFbxConstraintAim::Create(mManager, "a");
    KFbxConstraintParent* parent = KFbxConstraintParent::Create(mManager, "pc");
    EXPECT_EQ(KFbxGetSceneClassIds().mConstraint, KFbxConstraint::ClassId);
    scene->ConnectSrc(aim);
    scene->ConnectSrc(parent);
    EXPECT_EQ(scene->GetSrcObjectCount(KFbxConstraint::ClassId), 2);
    EXPECT_EQ(scene->GetSrcObjectCount(KFbxConstraintAim::ClassId), 1);
    // A node owns the constraints connected to it and takes them along.
    KFbxNode* owner = MakeNode("owner");
    scene->ConnectSrc(owner);
    owner->ConnectSrc(parent);
    EXPECT_TRUE(KFbxIsOwnedSource(owner, parent, false));
    owner->Destroy();
    EXPECT_EQ(scene->GetSrcObjectCount(KFbxConstraint::ClassId), 1);
    scene->Destroy();
}

TEST_F(KFbxConstraintTest, ADestroyedObjectLeavesTheConstraintsItWasIn) {
    KFbxConstraintPosition* position = KFbxConstraintPosition::Create(mManager, "p");
    KFbxNode* child = MakeNode("child");
    KFbxNode* driver = MakeNode("driver");
    ASSERT_TRUE(position->SetConstrainedObject(child));
    ASSERT_TRUE(position->AddConstraintSource(driver));
    child->Destroy();
    driver->Destroy();
    EXPECT_EQ(position->GetConstrainedObject(), nullptr);
    EXPECT_EQ(position->GetConstraintSourceCount(), 0);
    // The freed place takes a new object.
    EXPECT_TRUE(position->SetConstrainedObject(MakeNode("other")));
    position->Destroy();
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
