// A node makes its properties the first time something needs them. Until
// then every getter answers what the made properties would hold, and once
// made, both property lists are those a node that made them at once has.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNull.h>

#include <string>
#include <vector>

#include "scene/SceneTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

class DeferredNodePropertiesTest : public SceneTest {
protected:
    // A node whose properties a getter made.
    KFbxNode* MadeNode(const char* name) {
        KFbxNode* node = MakeNode(name);
        node->GetNodeProperty(eShow);
        EXPECT_TRUE(node->ArePropertiesMade());
        return node;
    }

    // The names of the public list, then those of the twin's.
    static std::vector<std::string> Names(const KFbxNode* node) {
        std::vector<std::string> names;
        for (int i = 0; i < node->GetPropertyCount(); ++i) {
            names.emplace_back(node->GetPropertyAt(i).GetName());
        }
        names.emplace_back("|");
        const KObject* twin = node->GetInternalObject();
        for (int i = 0; i < twin->GetPropertyCount(); ++i) {
            names.emplace_back(twin->GetPropertyAt(i)->GetName());
        }
        return names;
    }

    static void ExpectSameGlobal(KFbxNode* node, KFbxNode* expected) {
        const KgeMatrix& global = expected->EvaluateDefaultGlobalTransform();
        double rows[4][4];
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                rows[row][column] = global[row][column];
            }
        }
        ExpectMatrixNear(node->EvaluateDefaultGlobalTransform(), rows);
    }

    // Every property's value as its type reads it, in list order.
    static std::vector<std::string> Values(const KFbxObject* node) {
        std::vector<std::string> values;
        for (int i = 0; i < node->GetPropertyCount(); ++i) {
            const KFbxProperty property = node->GetPropertyAt(i);
            std::string text = std::string(property.GetName()) + "=";
            switch (property.GetPropertyDataType().GetType()) {
                case eFbxValueDouble3: {
                    const fbxDouble3 v = property.GetDouble3();
                    text += std::to_string(v[0]) + "," + std::to_string(v[1]) + "," + std::to_string(v[2]);
                    break;
                }
                case eFbxValueDouble:
                    text += std::to_string(property.GetDouble());
                    break;
                default: {
                    int value = 0;
                    property.Get(&value, eFbxValueInteger);
                    text += std::to_string(value);
                }
            }
            text += property.GetFlag(KFbxProperty::kAnimatable) ? " a" : " -";
            text += " enums " + std::to_string(property.GetEnumCount());
            values.push_back(text);
        }
        return values;
    }
};

TEST_F(DeferredNodePropertiesTest, AFreshNodeAnswersItsGettersWithoutMakingThem) {
    KFbxNode* fresh = MakeNode("fresh");
    KFbxNode* made = MadeNode("made");
    ASSERT_FALSE(fresh->ArePropertiesMade());

    for (auto get : {&KFbxNode::GetLclTranslation, &KFbxNode::GetLclRotation, &KFbxNode::GetLclScaling}) {
        KFbxVector4 a(7.0, 7.0, 7.0, 7.0);
        KFbxVector4 b(7.0, 7.0, 7.0, 7.0);
        (fresh->*get)(a);
        (made->*get)(b);
        EXPECT_EQ(a, b);
    }
    EXPECT_EQ(fresh->GetVisibility(), made->GetVisibility());
    EXPECT_TRUE(fresh->GetVisibility());
    EXPECT_EQ(fresh->GetRotationActive(), made->GetRotationActive());
    KFbxNode::ETransformInheritType a = KFbxNode::eINHERIT_Rrs;
    KFbxNode::ETransformInheritType b = KFbxNode::eINHERIT_Rrs;
    fresh->GetTransformInheritType(a);
    made->GetTransformInheritType(b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(fresh->GetDefaultNodeAttributeIndex(), -1);
    EXPECT_EQ(fresh->GetTarget(), nullptr);
    EXPECT_EQ(fresh->GetTargetUp(), nullptr);
    EXPECT_EQ(fresh->GetPropertyCount(), made->GetPropertyCount());
    EXPECT_EQ(fresh->GetTakeNodeCount(), 1);

    // What a reader does with a model that gave no properties.
    fresh->UpdatePivotsAndLimitsFromProperties();
    made->UpdatePivotsAndLimitsFromProperties();
    // Read through the const getter first, which makes no limits block.
    const KFbxNode& constFresh = *fresh;
    const KFbxNode& constMade = *made;
    for (auto kind : {KFbxLimits::eRotation, KFbxLimits::eTranslation, KFbxLimits::eScaling}) {
        EXPECT_EQ(constFresh.GetLimits().GetLimitMin(kind), constMade.GetLimits().GetLimitMin(kind));
        EXPECT_EQ(constFresh.GetLimits().GetLimitMax(kind), constMade.GetLimits().GetLimitMax(kind));
        EXPECT_EQ(constFresh.GetLimits().GetRecord(kind).mFlags, constMade.GetLimits().GetRecord(kind).mFlags);
        EXPECT_EQ(fresh->GetLimits().GetLimitMax(kind), made->GetLimits().GetLimitMax(kind));
    }
    // A fresh node's limits before any reading are neutral.
    const KFbxNode& untouched = *MakeNode("untouched");
    EXPECT_EQ(untouched.GetLimits().GetLimitMax(KFbxLimits::eScaling), KFbxLimitRecord(1.0).mMax);
    EXPECT_EQ(fresh->GetPivotState(KFbxNode::eSOURCE_SET), made->GetPivotState(KFbxNode::eSOURCE_SET));
    EXPECT_FALSE(fresh->ArePropertiesMade());

    // Evaluated at a time, a default take not made yet is read as the node's
    // own values, as its curves, which have no keys, would give them, and is
    // not made.
    for (KFbxNode* node : {fresh, made}) {
        node->SetLclTranslation(KFbxVector4(1.1, 2, 3, 0));
        node->SetLclRotation(KFbxVector4(10, 20, 30, 0));
    }
    ASSERT_NE(made->GetCurrentTakeNode(), nullptr);
    const KTime second(46186158000LL);
    EXPECT_EQ(KgeMatrix::CompareWithTolerance(fresh->EvaluateGlobalTransform(second),
                                              made->EvaluateGlobalTransform(second), 0.0),
              0);
    EXPECT_EQ(fresh->GetCurrentTakeNodeIfMade(), nullptr);
    EXPECT_FALSE(fresh->ArePropertiesMade());

    EXPECT_EQ(Values(fresh), Values(made));
    EXPECT_TRUE(fresh->ArePropertiesMade());
    EXPECT_EQ(Names(fresh), Names(made));
}

TEST_F(DeferredNodePropertiesTest, EachListQueryMakesBothListsInTheirOrder) {
    KFbxNode* made = MadeNode("made");
    const std::vector<std::string> expected = Names(made);
    ASSERT_EQ(made->GetPropertyCount(), eNodePropertyCount);

    const std::vector<void (*)(KFbxNode*)> queries = {
        [](KFbxNode* n) { EXPECT_TRUE(n->FindProperty("RotationPivot").IsValid()); },
        [](KFbxNode* n) { EXPECT_STREQ(n->GetPropertyAt(2).GetName(), "Lcl Translation"); },
        [](KFbxNode* n) { EXPECT_TRUE(n->FindPropertyFrom("Show", 0, n->GetPropertyCount()).IsValid()); },
        [](KFbxNode* n) { EXPECT_NE(n->GetInternalObject()->FindProperty("AxisLen"), nullptr); },
        [](KFbxNode* n) { EXPECT_EQ(n->GetInternalObject()->GetPropertyCount(), eNodePropertyCount); },
        [](KFbxNode* n) { EXPECT_EQ(n->GetInternalObject()->GetUserPropertyCount(), 0); },
        [](KFbxNode* n) { EXPECT_NE(n->GetDefaultTakeNode(), nullptr); },
        [](KFbxNode* n) { EXPECT_TRUE(n->GetNodeProperty(eLclScaling).IsValid()); },
    };
    int name = 0;
    for (const auto& query : queries) {
        KFbxNode* fresh = MakeNode(("fresh" + std::to_string(name++)).c_str());
        ASSERT_FALSE(fresh->ArePropertiesMade());
        query(fresh);
        EXPECT_TRUE(fresh->ArePropertiesMade());
        EXPECT_EQ(Names(fresh), expected);
        EXPECT_EQ(Values(fresh), Values(made));
    }
}

TEST_F(DeferredNodePropertiesTest, PropertiesAddedToAFreshNodeComeAfterItsOwn) {
    KFbxNode* node = MakeNode("node");
    KFbxProperty speed = KFbxProperty::Create(node, "Speed", gKFbxDataTypeNumber, "Speed");
    ASSERT_TRUE(speed.IsValid());
    ASSERT_EQ(node->GetPropertyCount(), eNodePropertyCount + 1);
    EXPECT_STREQ(node->GetPropertyAt(eNodePropertyCount).GetName(), "Speed");
    EXPECT_STREQ(node->GetPropertyAt(0).GetName(), "QuaternionInterpolate");
    const KObject* twin = node->GetInternalObject();
    ASSERT_EQ(twin->GetPropertyCount(), eNodePropertyCount + 1);
    EXPECT_STREQ(twin->GetPropertyAt(eNodePropertyCount)->GetName(), "Speed");

    // A property made on the twin alone also follows them.
    KFbxNode* other = MakeNode("other");
    KProperty* dynamic = other->GetInternalObject()->CreateDynamicProperty("Extra", eKPropertyDouble, nullptr,
                                                                           false, true, nullptr, false);
    ASSERT_NE(dynamic, nullptr);
    EXPECT_EQ(other->GetInternalObject()->IndexOfProperty(dynamic), eNodePropertyCount);
    EXPECT_EQ(other->GetPropertyCount(), eNodePropertyCount);
}

TEST_F(DeferredNodePropertiesTest, AttributesChildrenAndDestructionLeaveThePropertiesUnmade) {
    KFbxNode* parent = MakeNode("parent");
    KFbxNode* child = MakeNode("child");
    EXPECT_TRUE(parent->AddChild(child));
    KFbxNull* null = KFbxNull::Create(mManager, "null");
    EXPECT_EQ(parent->SetNodeAttribute(null), nullptr);
    EXPECT_EQ(parent->GetNodeAttribute(), null);
    EXPECT_EQ(parent->GetDefaultNodeAttributeIndex(), 0);
    EXPECT_FALSE(parent->ArePropertiesMade());
    EXPECT_FALSE(child->ArePropertiesMade());

    // The index kept meanwhile is what the property is made with.
    int index = -1;
    EXPECT_TRUE(parent->GetNodeProperty(eDefaultAttributeIndex).Get(&index, eFbxValueInteger));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(parent->GetNodeAttribute(), null);

    KFbxNode* other = MakeNode("other");
    EXPECT_EQ(other->SetNodeAttribute(KFbxNull::Create(mManager, "gone")), nullptr);
    EXPECT_EQ(other->SetNodeAttribute(nullptr)->GetDstObjectCount(), 0);
    EXPECT_EQ(other->GetNodeAttribute(), nullptr);
    EXPECT_FALSE(other->ArePropertiesMade());
    other->Destroy();
    child->Destroy();
}

// The default take's value of a channel and component, as evaluation reads it.
double ChannelDefault(KFbxNode* node, const char* channel, const char* component) {
    KFCurveNode* found = node->GetDefaultTakeNode()->GetKFCurveNode()->Find(channel);
    if (found == nullptr) {
        return -99.0;
    }
    KFCurveNode* part = component != nullptr ? found->Find(component) : found;
    return part != nullptr && part->FCurveGet() != nullptr ? part->FCurveGet()->GetValue() : -99.0;
}

TEST_F(DeferredNodePropertiesTest, WritesBeforeThePropertiesAreMadeAreWhatTheyAreMadeWith) {
    struct Case {
        const char* name;
        void (*write)(KFbxNode*);
    };
    const KFbxVector4 t(1.0, 2.0, 3.0, 1.0);
    const Case cases[] = {
        {"translation", [](KFbxNode* n) { EXPECT_TRUE(n->SetLclTranslation(KFbxVector4(1.0, 2.0, 3.0, 1.0))); }},
        // Values a curve keeps rounded.
        {"thirds",
         [](KFbxNode* n) {
             n->SetLclTranslation(KFbxVector4(1.0 / 3.0, 0.1, -2.0 / 3.0, 1.0));
             n->SetLclRotation(KFbxVector4(10.0 / 3.0, 0.0, 0.7, 1.0));
         }},
        {"rotation then scaling",
         [](KFbxNode* n) {
             EXPECT_TRUE(n->SetLclRotation(KFbxVector4(0.0, 0.0, 30.0, 1.0)));
             EXPECT_TRUE(n->SetLclScaling(KFbxVector4(1.0, 3.0, 0.5, 1.0)));
         }},
        // Written twice: the last value counts, and a value may go back to the default.
        {"translation twice",
         [](KFbxNode* n) {
             n->SetLclTranslation(KFbxVector4(5.0, 5.0, 5.0, 1.0));
             n->SetLclTranslation(KFbxVector4(-1.0, 0.0, 0.25, 1.0));
             n->SetLclScaling(KFbxVector4(2.0, 2.0, 2.0, 1.0));
             n->SetLclScaling(KFbxVector4(1.0, 1.0, 1.0, 1.0));
         }},
        {"hidden", [](KFbxNode* n) { n->SetVisibility(false); }},
        {"hidden then shown",
         [](KFbxNode* n) {
             n->SetVisibility(false);
             n->SetVisibility(true);
         }},
        {"rotation active", [](KFbxNode* n) { n->SetRotationActive(true); }},
        {"rotation active then not",
         [](KFbxNode* n) {
             n->SetRotationActive(true);
             n->SetRotationActive(false);
         }},
        {"everything",
         [](KFbxNode* n) {
             n->SetVisibility(false);
             n->SetLclScaling(KFbxVector4(4.0, 1.0, 1.0, 1.0));
             n->SetRotationActive(true);
             n->SetTransformInheritType(KFbxNode::eINHERIT_Rrs);
             n->SetLclRotation(KFbxVector4(10.0, 20.0, 30.0, 1.0));
             n->SetLclTranslation(KFbxVector4(7.0, 8.0, 9.0, 1.0));
         }},
    };
    int name = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KFbxNode* parent = MadeNode(("parent" + std::to_string(name)).c_str());
        parent->SetLclRotation(KFbxVector4(0.0, 0.0, 45.0, 1.0));
        parent->SetLclScaling(KFbxVector4(1.0, 2.0, 1.0, 1.0));
        KFbxNode* fresh = MakeNode(("fresh" + std::to_string(name)).c_str());
        KFbxNode* made = MadeNode(("made" + std::to_string(name++)).c_str());
        for (KFbxNode* node : {fresh, made}) {
            parent->AddChild(node);
            c.write(node);
        }
        EXPECT_FALSE(fresh->ArePropertiesMade());

        // Every getter answers the value written, without making the properties.
        for (auto get : {&KFbxNode::GetLclTranslation, &KFbxNode::GetLclRotation, &KFbxNode::GetLclScaling}) {
            KFbxVector4 a;
            KFbxVector4 b;
            (fresh->*get)(a);
            (made->*get)(b);
            EXPECT_EQ(a, b);
        }
        EXPECT_EQ(fresh->GetVisibility(), made->GetVisibility());
        EXPECT_EQ(fresh->GetRotationActive(), made->GetRotationActive());
        fresh->UpdatePivotsAndLimitsFromProperties();
        made->UpdatePivotsAndLimitsFromProperties();
        const KFbxNode& constFresh = *fresh;
        const KFbxNode& constMade = *made;
        EXPECT_EQ(constFresh.GetLimits().GetRotationActive(), constMade.GetLimits().GetRotationActive());
        EXPECT_EQ(constFresh.GetLimits().GetRecord(KFbxLimits::eRotation).mFlags,
                  constMade.GetLimits().GetRecord(KFbxLimits::eRotation).mFlags);
        EXPECT_FALSE(fresh->ArePropertiesMade());

        // Evaluation reads what the default take would hold, without making it.
        ExpectSameGlobal(fresh, made);
        EXPECT_FALSE(fresh->ArePropertiesMade());
        const KgeMatrix unmadeGlobal = fresh->EvaluateDefaultGlobalTransform();
        fresh->GetDefaultTakeNode();
        fresh->ResetEvaluationCache();
        const KgeMatrix& madeGlobal = fresh->EvaluateDefaultGlobalTransform();
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                EXPECT_EQ(unmadeGlobal[row][column], madeGlobal[row][column]) << row << column;
            }
        }
        for (const char* channel : {"T", "R", "S"}) {
            for (const char* component : {"X", "Y", "Z"}) {
                EXPECT_EQ(ChannelDefault(fresh, channel, component), ChannelDefault(made, channel, component))
                    << channel << component;
            }
        }
        EXPECT_EQ(ChannelDefault(fresh, "Visibility", nullptr), ChannelDefault(made, "Visibility", nullptr));
        EXPECT_EQ(Values(fresh), Values(made));
        EXPECT_EQ(Names(fresh), Names(made));
    }

    // A write reaches the property whichever way the properties are made first.
    KFbxNode* node = MakeNode("node");
    EXPECT_TRUE(node->SetLclTranslation(t));
    EXPECT_DOUBLE_EQ(node->GetPropertyDouble3("Lcl Translation")[1], 2.0);
    EXPECT_TRUE(node->ArePropertiesMade());
    KFCurveNode* root = node->GetDefaultTakeNode()->GetKFCurveNode();
    ASSERT_NE(root, nullptr);
    EXPECT_NE(root->Find("T"), nullptr);
    // Once made, a write goes to the property and its channel at once.
    EXPECT_TRUE(node->SetLclTranslation(KFbxVector4(0.0, 6.0, 0.0, 1.0)));
    EXPECT_DOUBLE_EQ(ChannelDefault(node, "T", "Y"), 6.0);

    KFbxNode* hidden = MakeNode("hidden");
    hidden->SetVisibility(false);
    EXPECT_FALSE(hidden->GetVisibility());
    bool show = true;
    EXPECT_TRUE(hidden->GetNodeProperty(eShow).Get(&show, eFbxValueBool));
    EXPECT_FALSE(show);
    double visibility = 1.0;
    EXPECT_TRUE(hidden->FindProperty("Visibility").Get(&visibility, eFbxValueDouble));
    EXPECT_EQ(visibility, 0.0);

    // A clone of a node with kept values is the clone of a node written once made.
    KFbxNode* placed = MakeNode("placed");
    KFbxNode* madePlaced = MadeNode("madePlaced");
    for (KFbxNode* n : {placed, madePlaced}) {
        n->SetLclRotation(KFbxVector4(0.0, 90.0, 0.0, 1.0));
    }
    KFbxNode* clone = placed->Clone(2);
    KFbxNode* madeClone = madePlaced->Clone(2);
    ASSERT_NE(clone, nullptr);
    ASSERT_NE(madeClone, nullptr);
    EXPECT_EQ(Values(clone), Values(madeClone));
    EXPECT_DOUBLE_EQ(ChannelDefault(clone, "R", "Y"), 90.0);
    EXPECT_EQ(Values(placed), Values(madePlaced));
}

// A take's channels, depth first: name, layer type, and each curve's
// default, colour and key count.
void DumpChannels(const KFCurveNode* node, const std::string& path, std::vector<std::string>& out) {
    for (int index = 0; node != nullptr && index < node->GetCount(); ++index) {
        const KFCurveNode* child = node->Get(index);
        std::string text = path + child->GetName() + " layer " + std::to_string(child->GetLayerType());
        if (const KFCurve* curve = child->FCurveGet()) {
            float rgb[3] = {};
            curve->GetColor(rgb);
            text += " = " + std::to_string(curve->GetValue()) + " keys " + std::to_string(curve->KeyGetCount()) +
                    " colour " + std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) + "," + std::to_string(rgb[2]);
        }
        out.push_back(text);
        DumpChannels(child, path + child->GetName() + "/", out);
    }
}

// Every take by name and channels, the current index, and the links.
std::vector<std::string> Takes(KFbxNode* node) {
    std::vector<std::string> out{"current " + std::to_string(node->GetCurrentTakeNodeIndex())};
    for (int index = 0; index < node->GetTakeNodeCount(); ++index) {
        KFbxTakeNode* take = node->GetTakeNode(index);
        out.push_back(std::string("take ") + take->GetName());
        DumpChannels(take->GetKFCurveNode(), "", out);
    }
    for (int index = 0; index < node->GetPropertyLinkCount(); ++index) {
        const KFbxPropertyLink* link = node->GetPropertyLink(index);
        out.push_back(std::string("link ") + link->mProperty.GetName() + " " + std::to_string(link->mComponent) +
                      " = " + std::to_string(link->mCurve->GetValue()));
    }
    return out;
}

TEST_F(DeferredNodePropertiesTest, TakesMadeBeforeTheDefaultTakeAreThoseAMadeNodeGets) {
    using Steps = void (*)(KFbxNode*, KFbxSdkManager*);
    struct Case {
        const char* name;
        Steps steps;
        // Whether the fresh node still has its properties unmade afterwards.
        bool staysUnmade;
    };
    const Case cases[] = {
        {"a take", [](KFbxNode* n, KFbxSdkManager*) { EXPECT_NE(n->CreateTakeNode("Take 001"), nullptr); }, true},
        {"values before and after, current take",
         [](KFbxNode* n, KFbxSdkManager*) {
             n->SetLclTranslation(KFbxVector4(1.0, 2.0, 3.0, 1.0));
             n->SetVisibility(false);
             ASSERT_NE(n->CreateTakeNode("Take 001"), nullptr);
             EXPECT_TRUE(n->SetCurrentTakeNodeByName("Take 001"));
             n->SetLclTranslation(KFbxVector4(4.0, 5.0, 6.0, 1.0));
             n->SetLclRotation(KFbxVector4(0.0, 30.0, 0.0, 1.0));
             n->SetVisibility(true);
             n->SetRotationActive(true);
         },
         true},
        {"values while the default take is current",
         [](KFbxNode* n, KFbxSdkManager*) {
             ASSERT_NE(n->CreateTakeNode("Take 001"), nullptr);
             n->SetLclScaling(KFbxVector4(2.0, 2.0, 2.0, 1.0));
         },
         true},
        {"a take's curve edited, then the properties made",
         [](KFbxNode* n, KFbxSdkManager*) {
             n->SetLclTranslation(KFbxVector4(1.0, 1.0, 1.0, 1.0));
             KFbxTakeNode* take = n->CreateTakeNode("Take 001");
             ASSERT_NE(take, nullptr);
             n->SetCurrentTakeNode(1);
             take->GetTranslationX()->SetValue(9.0f);
             take->GetTranslationX()->KeyAppendFast(KTime(0), 9.0f);
             EXPECT_TRUE(n->FindProperty("Lcl Translation").IsValid());
         },
         false},
        {"takes made, one removed, a clash refused",
         [](KFbxNode* n, KFbxSdkManager*) {
             EXPECT_NE(n->CreateTakeNode("Take 001"), nullptr);
             EXPECT_NE(n->CreateTakeNode("Take 002"), nullptr);
             EXPECT_NE(n->CreateTakeNode("Take 003"), nullptr);
             EXPECT_EQ(n->CreateTakeNode("Default"), nullptr);
             EXPECT_EQ(n->CreateTakeNode("Take 002"), nullptr);
             n->SetCurrentTakeNode(3);
             EXPECT_TRUE(n->RemoveTakeNode(2));
             EXPECT_FALSE(n->RemoveTakeNode(0));
             EXPECT_FALSE(n->RemoveTakeNode(3));
             EXPECT_STREQ(n->GetTakeNodeName(2), "Take 003");
         },
         true},
        {"a switcher attached before and taken off after",
         [](KFbxNode* n, KFbxSdkManager* manager) {
             n->SetNodeAttribute(KFbxCameraSwitcher::Create(manager, ""));
             ASSERT_NE(n->CreateTakeNode("Take 001"), nullptr);
             n->SetNodeAttribute(nullptr);
             n->SetNodeAttribute(KFbxCameraSwitcher::Create(manager, ""));
         },
         true},
        // A camera or light keeps its channels apart while the default
        // take waits: they join it where an attachment to a made take has
        // them, with their links after the node's own.
        {"a camera attached, its defaults set",
         [](KFbxNode* n, KFbxSdkManager* manager) {
             auto* camera = KFbxCamera::Create(manager, "");
             camera->SetDefaultFieldOfView(33.3);
             n->SetNodeAttribute(camera);
             camera->SetDefaultRoll(0.1);
             const double background[3] = {0.1, 0.2, 0.3};
             camera->SetDefaultBackgroundColor(background);
             camera->SetPosition(KFbxVector4(1.0, 2.0, 3.0, 1.0));
             EXPECT_FLOAT_EQ(static_cast<float>(camera->GetDefaultRoll()), 0.1f);
         },
         true},
        {"a light attached after a take, set in both",
         [](KFbxNode* n, KFbxSdkManager* manager) {
             ASSERT_NE(n->CreateTakeNode("Take 001"), nullptr);
             auto* light = KFbxLight::Create(manager, "");
             light->Intensity.Set(12.345);
             n->SetNodeAttribute(light);
             light->SetDefaultIntensity(55.5);
             ASSERT_NE(n->CreateTakeNode("Take 002"), nullptr);
             n->SetCurrentTakeNode(1);
             light->SetDefaultConeAngle(40.0);
         },
         true},
        {"a camera taken off, a light destroyed on its node",
         [](KFbxNode* n, KFbxSdkManager* manager) {
             auto* camera = KFbxCamera::Create(manager, "");
             n->SetNodeAttribute(camera);
             EXPECT_EQ(n->SetNodeAttribute(nullptr), camera);
             auto* light = KFbxLight::Create(manager, "");
             n->SetNodeAttribute(light);
             light->Destroy();
             n->SetNodeAttribute(camera);
         },
         true},
        {"a camera attached again over a light, then its defaults set",
         [](KFbxNode* n, KFbxSdkManager* manager) {
             auto* camera = KFbxCamera::Create(manager, "");
             n->SetNodeAttribute(camera);
             n->SetNodeAttribute(KFbxLight::Create(manager, ""));
             n->SetNodeAttribute(camera);
             camera->SetDefaultFieldOfViewX(12.5);
             const double background[3] = {0.4, 0.5, 0.6};
             camera->SetDefaultBackgroundColor(background);
         },
         true},
        {"a channel of the camera's name added, then the camera off",
         [](KFbxNode* n, KFbxSdkManager* manager) {
             auto* camera = KFbxCamera::Create(manager, "");
             n->SetNodeAttribute(camera);
             KFbxProperty roll = KFbxProperty::Create(n, "Roll", gKFbxDataTypeNumber, "");
             roll.ModifyFlag(KFbxProperty::kAnimatable, true);
             n->PropertyAddToTakeNodes(roll);
             n->SetNodeAttribute(nullptr);
         },
         false},
        {"a property added after the take",
         [](KFbxNode* n, KFbxSdkManager*) {
             ASSERT_NE(n->CreateTakeNode("Take 001"), nullptr);
             KFbxProperty added = KFbxProperty::Create(n, "Speed", gKFbxDataTypeNumber, "");
             added.ModifyFlag(KFbxProperty::kAnimatable, true);
             KFbxProperty::Create(n, "Other", gKFbxDataTypeNumber, "");
             n->PropertyAddToTakeNodes(added, "Take 001");
             n->SetCurrentTakeNode(1);
             const double speed = 7.0;
             added.Set(&speed, eFbxValueDouble);
         },
         false},
    };
    int name = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KFbxNode* fresh = MakeNode(("fresh" + std::to_string(name)).c_str());
        KFbxNode* made = MadeNode(("made" + std::to_string(name++)).c_str());
        ASSERT_NE(made->GetDefaultTakeNode(), nullptr);
        c.steps(fresh, mManager);
        c.steps(made, mManager);
        EXPECT_EQ(fresh->ArePropertiesMade(), !c.staysUnmade);
        ASSERT_EQ(fresh->GetTakeNodeCount(), made->GetTakeNodeCount());
        // The current take evaluates alike before anything else is made.
        for (int time = 0; time < 2; ++time) {
            const KgeMatrix& expected = made->EvaluateGlobalTransform(KTime(time));
            double rows[4][4];
            for (int row = 0; row < 4; ++row) {
                for (int column = 0; column < 4; ++column) {
                    rows[row][column] = expected[row][column];
                }
            }
            ExpectMatrixNear(fresh->EvaluateGlobalTransform(KTime(time)), rows);
        }
        EXPECT_EQ(Takes(fresh), Takes(made));
        EXPECT_EQ(Values(fresh), Values(made));
        EXPECT_EQ(Names(fresh), Names(made));
        ASSERT_EQ(fresh->GetNodeAttribute() == nullptr, made->GetNodeAttribute() == nullptr);
        if (fresh->GetNodeAttribute() != nullptr) {
            EXPECT_EQ(Values(fresh->GetNodeAttribute()), Values(made->GetNodeAttribute()));
        }
    }
}

TEST_F(DeferredNodePropertiesTest, AnInheritTypeSetOnAFreshNodeIsTheOneItsPropertyIsMadeWith) {
    // A parent that rotates and scales unevenly: each inherit type places the child elsewhere.
    KFbxNode* parent = MakeNode("parent");
    parent->SetLclRotation(KFbxVector4(0.0, 0.0, 30.0, 1.0));
    parent->SetLclScaling(KFbxVector4(1.0, 3.0, 1.0, 1.0));
    const KFbxNode::ETransformInheritType types[] = {KFbxNode::eINHERIT_RSrs, KFbxNode::eINHERIT_Rrs,
                                                     KFbxNode::eINHERIT_RrSs};
    int name = 0;
    for (KFbxNode::ETransformInheritType type : types) {
        SCOPED_TRACE(type);
        KFbxNode* fresh = MakeNode(("fresh" + std::to_string(name)).c_str());
        KFbxNode* made = MadeNode(("made" + std::to_string(name++)).c_str());
        for (KFbxNode* node : {fresh, made}) {
            parent->AddChild(node);
            // Set twice: only the last one counts.
            node->SetTransformInheritType(KFbxNode::eINHERIT_Rrs);
            node->SetTransformInheritType(type);
        }
        KFbxNode::ETransformInheritType read = KFbxNode::eINHERIT_RrSs;
        fresh->GetTransformInheritType(read);
        EXPECT_EQ(read, type);
        // Evaluation follows the type before the properties exist.
        ExpectSameGlobal(fresh, made);
        EXPECT_EQ(Values(fresh), Values(made));
        EXPECT_TRUE(fresh->ArePropertiesMade());
        int stored = -1;
        EXPECT_TRUE(fresh->FindProperty("InheritType").Get(&stored, eFbxValueInteger));
        EXPECT_EQ(stored, type);
        fresh->GetTransformInheritType(read);
        EXPECT_EQ(read, type);
        // Written through the property once made, the type still reaches evaluation.
        const int other = KFbxNode::eINHERIT_Rrs;
        EXPECT_TRUE(fresh->FindProperty("InheritType").Set(&other, eFbxValueInteger));
        made->SetTransformInheritType(KFbxNode::eINHERIT_Rrs);
        ExpectSameGlobal(fresh, made);
    }
}

TEST_F(DeferredNodePropertiesTest, ClonesOfFreshAndMadeNodesAgree) {
    KFbxNode* fresh = MakeNode("fresh");
    KFbxNode* made = MadeNode("made");
    KFbxNode* freshClone = fresh->Clone(2);
    KFbxNode* madeClone = made->Clone(2);
    ASSERT_NE(freshClone, nullptr);
    ASSERT_NE(madeClone, nullptr);
    EXPECT_EQ(Values(freshClone), Values(madeClone));
    EXPECT_EQ(Names(freshClone), Names(madeClone));
    EXPECT_EQ(freshClone->GetTakeNodeCount(), madeClone->GetTakeNodeCount());

    // Onto a fresh node.
    KFbxNode* target = MakeNode("target");
    made->SetLclRotation(KFbxVector4(0.0, 45.0, 0.0, 1.0));
    target->CopyFrom(*made);
    EXPECT_EQ(Names(target), Names(made));
}

}  // namespace
