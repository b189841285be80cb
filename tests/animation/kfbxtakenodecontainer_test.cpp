// Take-node containers: the takes and the current take, the channels of
// animatable properties, the property links in both directions and their
// clean-up.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include "CurveTestSupport.h"
#include "core/kfbxtestclasses.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::testing_classes;
using curvetest::Sec;

namespace {

const char* const kNoMessages[] = {""};

// The same tests run again, in a file of their own, on containers whose
// default take is made when first reached: nothing may tell them apart.
#ifdef TAKE_CONTAINER_TESTS_DEFER_DEFAULT_TAKE
constexpr bool kDeferredDefaultTake = true;
#else
constexpr bool kDeferredDefaultTake = false;
#endif

// An animatable class as the scene classes make them: a translation channel
// "T" and a four-component template channel "Tint" in every fresh take, and
// animatable properties added at will.
class Animated : public KFbxTakeNodeContainer {
public:
    explicit Animated(const char* name = "animated") : KFbxTakeNodeContainer(nullptr, name, &mErrors) {
        CreateInternal();
        mTint = MakeProperty("Tint", gKFbxDataTypeColorAndAlpha, false);
        mTranslation = MakeProperty("Lcl Translation", gKFbxDataTypeLclTranslation, true);
        if (kDeferredDefaultTake) {
            DeferDefaultTakeNode();
        } else {
            CreateDefaultTakeNode();
        }
    }

    KFbxProperty MakeProperty(const char* name, const KFbxDataType& type, bool animatable) {
        auto* handle = new KFbxProperty(static_cast<KFbxSdkManager*>(nullptr), name, type, "");
        handle->ModifyFlag(KFbxProperty::kAnimatable, animatable);
        RegisterProperty(handle);
        return *handle;
    }

    void FillTakeNodeTemplate(KFbxTakeNode& takeNode) override {
        KFCurveNode* t = KFCurveNode::Create("T", gKDataTypeLclTranslation);
        takeNode.GetKFCurveNode()->Add(t);
        for (int i = 0; i < 3; ++i) {
            KFCurve* curve = t->FindOrCreate(i == 0 ? "X" : i == 1 ? "Y" : "Z", true)->FCurveGet();
            if (std::strcmp(takeNode.GetName(), "Default") == 0) {
                AddPropertyLink(mTranslation, i, curve);
            }
        }
        PropertyToChannelDefaults(mTranslation, *t);
        CreateChannelForProperty(mTint, takeNode);
    }

    const char* LastError() const { return mErrors.GetLastErrorString(); }

    ErrorHolder mErrors{kNoMessages, 1};
    KFbxProperty mTint;
    KFbxProperty mTranslation;
};

struct Deleter {
    void operator()(KFbxTakeNodeContainer* container) const { delete container; }
};
using AnimatedPtr = std::unique_ptr<Animated, Deleter>;

KFCurve* CurveOf(KFbxTakeNode* takeNode, const char* path) {
    KFCurveNode* node = takeNode->GetKFCurveNode()->Find(path);
    return node != nullptr ? node->FCurveGet() : nullptr;
}

// Counts the default-value events a curve delivers.
void CountDefaultEvents(KFCurve*, KFCurveEvent* event, void* count) {
    if ((event->mEventType & KFCURVEEVENT_DEFAULT_VALUE) != 0) {
        ++*static_cast<int*>(count);
    }
}

class KFbxTakeNodeContainerTest : public PublicLayerTest {};

TEST_F(KFbxTakeNodeContainerTest, DerivedObjectsStartWithTheDefaultTakeWhichCannotBeRemoved) {
    AnimatedPtr object(new Animated());
    ASSERT_EQ(object->GetTakeNodeCount(), 1);
    EXPECT_STREQ(object->GetTakeNodeName(0), "Default");
    EXPECT_EQ(object->GetCurrentTakeNodeIndex(), 0);
    EXPECT_EQ(object->GetCurrentTakeNode(), object->GetDefaultTakeNode());
    EXPECT_EQ(object->GetTakeNodeContainer(), object.get());
    EXPECT_EQ(object->GetInternalObject()->GetClassInfo(), &gKFbxTakeNodeContainer_internalClassInfo);

    EXPECT_FALSE(object->RemoveTakeNode(0));
    EXPECT_STREQ(object->LastError(), "Cannot remove default take node");
    EXPECT_EQ(object->mErrors.GetLastErrorID(), 0);
    EXPECT_FALSE(object->RemoveTakeNode(1));
    EXPECT_STREQ(object->LastError(), "Index out of range");
    EXPECT_EQ(object->GetTakeNode(1), nullptr);
    EXPECT_EQ(object->GetTakeNodeName(-1), nullptr);
    EXPECT_STREQ(object->LastError(), "Take node does not exist");
    EXPECT_EQ(object->GetTakeNodeCount(), 1);

    // The plain container is made empty, and says so without an error holder.
    KFbxPlug* plug = KFbxTakeNodeContainer::CreateFn(nullptr, "plain");
    auto* plain = static_cast<KFbxTakeNodeContainer*>(plug);
    EXPECT_NE(plain->GetInternalObject(), nullptr);
    EXPECT_EQ(plain->GetTakeNodeCount(), 0);
    EXPECT_EQ(plain->GetCurrentTakeNodeIndex(), -1);
    EXPECT_EQ(plain->GetCurrentTakeNode(), nullptr);
    EXPECT_EQ(plain->GetDefaultTakeNode(), nullptr);
    EXPECT_FALSE(plain->SetCurrentTakeNode(0));
    EXPECT_EQ(plain->GetCurrentTakeNodeIndex(), -1);
    KTime start, stop;
    EXPECT_FALSE(plain->GetAnimationInterval(start, stop));
    plain->Destroy();
}

TEST_F(KFbxTakeNodeContainerTest, TakeNamesAreUniqueCaseSensitively) {
    AnimatedPtr object(new Animated());
    EXPECT_EQ(object->CreateTakeNode("Default"), nullptr);
    EXPECT_STREQ(object->LastError(), "Take node already exists");
    KFbxTakeNode* lower = object->CreateTakeNode("default");
    ASSERT_NE(lower, nullptr);
    EXPECT_STREQ(lower->GetName(), "default");
    EXPECT_EQ(object->GetTakeNodeCount(), 2);
    EXPECT_EQ(object->GetCurrentTakeNodeIndex(), 0);
    // Only the default take's curves are linked, whatever the others are called.
    AnimatedPtr reference(new Animated());
    EXPECT_EQ(object->GetPropertyLinkCount(), reference->GetPropertyLinkCount());
    EXPECT_STREQ(object->GetTakeNodeName(0), "Default");
}

TEST_F(KFbxTakeNodeContainerTest, NewTakesCopyTheDefaultTakeIndependently) {
    AnimatedPtr object(new Animated());
    KFCurve* defaultX = CurveOf(object->GetDefaultTakeNode(), "T/X");
    ASSERT_NE(defaultX, nullptr);
    defaultX->KeyAppendFast(Sec(1.0), 5.0f);

    KFbxTakeNode* take = object->CreateTakeNode("Take 001");
    ASSERT_NE(take, nullptr);
    KFCurve* copyX = CurveOf(take, "T/X");
    ASSERT_NE(copyX, nullptr);
    EXPECT_NE(copyX, defaultX);
    ASSERT_EQ(copyX->KeyGetCount(), 1);
    EXPECT_EQ(copyX->KeyGetValue(0), 5.0f);
    ASSERT_NE(CurveOf(take, "Tint/toto"), nullptr);

    copyX->KeyAppendFast(Sec(2.0), 6.0f);
    EXPECT_EQ(defaultX->KeyGetCount(), 1);
    // Only the default take's curves are linked to the properties.
    EXPECT_EQ(object->GetPropertyLinkCount(), 3 + 4);
}

TEST_F(KFbxTakeNodeContainerTest, SelectionAndIntervalFollowTheCurrentTake) {
    AnimatedPtr object(new Animated());
    object->CreateTakeNode("Walk");
    object->CreateTakeNode("Run");
    EXPECT_TRUE(object->SetCurrentTakeNodeByName("Run"));
    EXPECT_EQ(object->GetCurrentTakeNodeIndex(), 2);
    EXPECT_FALSE(object->SetCurrentTakeNodeByName("run"));
    EXPECT_STREQ(object->LastError(), "Unknown take node name");
    EXPECT_EQ(object->GetCurrentTakeNodeIndex(), 0);
    EXPECT_TRUE(object->SetCurrentTakeNode(1));
    EXPECT_FALSE(object->SetCurrentTakeNode(3));
    EXPECT_STREQ(object->LastError(), "Index out of range");
    EXPECT_EQ(object->GetCurrentTakeNodeIndex(), 0);

    CurveOf(object->GetTakeNode(1), "T/Y")->KeyAppendFast(Sec(2.0), 1.0f);
    CurveOf(object->GetTakeNode(1), "T/Z")->KeyAppendFast(Sec(3.0), 1.0f);
    KTime start = Sec(2.5);
    KTime stop = Sec(2.5);
    EXPECT_FALSE(object->GetAnimationInterval(start, stop));
    object->SetCurrentTakeNode(1);
    EXPECT_TRUE(object->GetAnimationInterval(start, stop));
    EXPECT_EQ(start, Sec(2.0));
    EXPECT_EQ(stop, Sec(3.0));
}

TEST_F(KFbxTakeNodeContainerTest, RemovingATakeKeepsAValidCurrentTake) {
    AnimatedPtr object(new Animated());
    object->CreateTakeNode("Take 1");
    object->CreateTakeNode("Take 2");
    object->SetCurrentTakeNode(2);
    EXPECT_TRUE(object->RemoveTakeNode(2));
    EXPECT_EQ(object->GetCurrentTakeNodeIndex(), 1);
    EXPECT_STREQ(object->GetCurrentTakeNode()->GetName(), "Take 1");

    // A take before the current one goes: the current take stays the same take.
    object->CreateTakeNode("Take 2");
    object->SetCurrentTakeNode(2);
    EXPECT_TRUE(object->RemoveTakeNode(1));
    EXPECT_EQ(object->GetCurrentTakeNodeIndex(), 1);
    ASSERT_NE(object->GetCurrentTakeNode(), nullptr);
    EXPECT_STREQ(object->GetCurrentTakeNode()->GetName(), "Take 2");

    EXPECT_TRUE(object->RemoveTakeNode(1));
    EXPECT_EQ(object->GetCurrentTakeNodeIndex(), 0);
}

TEST_F(KFbxTakeNodeContainerTest, OnlyTakesAfterTheDefaultOneCountAsAnimated) {
    AnimatedPtr object(new Animated());
    CurveOf(object->GetDefaultTakeNode(), "T/X")->KeyAppendFast(Sec(1.0), 1.0f);
    KFCurveNode* visibility = KFCurveNode::Create("Visibility", gKDataTypeVisibility);
    object->GetDefaultTakeNode()->GetKFCurveNode()->Add(visibility);
    visibility->FCurveSet(KFCurve::Create());
    visibility->FCurveGet()->KeyAppendFast(Sec(1.0), 1.0f);
    EXPECT_FALSE(object->IsChannelAnimated(nullptr, "T", "X"));
    EXPECT_FALSE(object->IsChannelAnimatedByIndex(nullptr, nullptr, gKDataTypeVisibility));

    KFbxTakeNode* take = object->CreateTakeNode("Take 001");
    CurveOf(take, "T/X")->KeyClear();
    EXPECT_FALSE(object->IsChannelAnimated(nullptr, "T", "X"));
    CurveOf(take, "T/X")->KeyAppendFast(Sec(1.0), 1.0f);
    EXPECT_TRUE(object->IsChannelAnimated(nullptr, "T", "X"));
    EXPECT_FALSE(object->IsChannelAnimated(nullptr, "T", "Y"));
    EXPECT_TRUE(object->IsChannelAnimatedByIndex(nullptr, nullptr, gKDataTypeVisibility));
}

TEST_F(KFbxTakeNodeContainerTest, AnAnimatablePropertyGetsAChannelInEveryTake) {
    AnimatedPtr object(new Animated());
    object->CreateTakeNode("Take 001");
    KFbxTypedProperty<double> weight = object->MakeProperty("Weight", gKFbxDataTypeNumber, true);
    KFbxProperty still = object->MakeProperty("Still", gKFbxDataTypeNumber, false);
    KFbxProperty tilt = object->MakeProperty("Tilt", gKFbxDataTypeVector, true);
    EXPECT_TRUE(weight.GetFlag(KFbxProperty::kPublicFlag8));
    EXPECT_FALSE(still.GetFlag(KFbxProperty::kPublicFlag8));

    object->CreateTakeNode("Take 002");
    for (int i = 0; i < object->GetTakeNodeCount(); ++i) {
        KFbxTakeNode* take = object->GetTakeNode(i);
        SCOPED_TRACE(take->GetName());
        EXPECT_NE(CurveOf(take, "Weight"), nullptr);
        EXPECT_EQ(take->GetKFCurveNode()->Find("Still"), nullptr);
        KFCurveNode* tiltChannel = take->GetKFCurveNode()->Find("Tilt");
        ASSERT_NE(tiltChannel, nullptr);
        EXPECT_EQ(tiltChannel->FCurveGet(), nullptr);
        ASSERT_EQ(tiltChannel->GetCount(), 3);
        EXPECT_STREQ(tiltChannel->Get(2)->GetName(), "Z");
        EXPECT_NE(tiltChannel->Get(2)->FCurveGet(), nullptr);
    }
    // Translation channels are the class's own, never made from the property.
    KFCurveNode* root = object->GetTakeNode(1)->GetKFCurveNode();
    root->DeleteChild(root->Find("T"));
    object->PropertyAddToTakeNodes(object->mTranslation, nullptr);
    EXPECT_EQ(root->Find("T"), nullptr);
    EXPECT_EQ(root->Find("Lcl Translation"), nullptr);
    // One link for the scalar, three for the vector, in the default take.
    EXPECT_EQ(object->GetPropertyLinkCount(), 7 + 1 + 3);

    // Added for one take only, the value lands in that take's defaults.
    ASSERT_TRUE(weight.Set(2.0));
    CurveOf(object->GetTakeNode(1), "Weight")->SetValue(0.0f);
    weight.ModifyFlag(KFbxProperty::kAnimatable, false);
    ASSERT_TRUE(weight.Set(3.0));
    weight.ModifyFlag(KFbxProperty::kAnimatable, true);
    object->PropertyAddToTakeNodes(weight, "Take 002");
    EXPECT_EQ(CurveOf(object->GetTakeNode(2), "Weight")->GetValue(), 3.0f);
    EXPECT_EQ(CurveOf(object->GetTakeNode(1), "Weight")->GetValue(), 0.0f);
}

TEST_F(KFbxTakeNodeContainerTest, PropertyChangesReachTheCurrentAndDefaultTakesWithoutWriteBack) {
    AnimatedPtr object(new Animated());
    object->CreateTakeNode("Take 001");
    object->CreateTakeNode("Take 002");
    object->SetCurrentTakeNode(2);
    KFbxTypedProperty<fbxDouble3> translation = object->mTranslation;
    KFCurve* defaultX = CurveOf(object->GetDefaultTakeNode(), "T/X");
    int events = 0;
    defaultX->CallbackRegister(&CountDefaultEvents, &events);

    ASSERT_TRUE(translation.Set(fbxDouble3(1.0, 2.0, 3.0)));
    EXPECT_EQ(defaultX->GetValue(), 1.0f);
    EXPECT_EQ(CurveOf(object->GetDefaultTakeNode(), "T/Z")->GetValue(), 3.0f);
    EXPECT_EQ(CurveOf(object->GetTakeNode(2), "T/Y")->GetValue(), 2.0f);
    EXPECT_EQ(CurveOf(object->GetTakeNode(1), "T/Y")->GetValue(), 0.0f);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(translation.Get()[1], 2.0);

    // A property that is not animatable leaves the channels alone.
    KFbxTypedProperty<double> still = object->MakeProperty("Still", gKFbxDataTypeNumber, false);
    ASSERT_TRUE(still.Set(9.0));
    EXPECT_EQ(object->GetDefaultTakeNode()->GetKFCurveNode()->Find("Still"), nullptr);
    defaultX->CallbackUnregister(&CountDefaultEvents, &events);
}

TEST_F(KFbxTakeNodeContainerTest, DefaultCurveChangesUpdateTheProperty) {
    AnimatedPtr object(new Animated());
    object->CreateTakeNode("Take 001");
    object->SetCurrentTakeNode(1);
    KFbxTypedProperty<fbxDouble3> translation = object->mTranslation;
    ASSERT_TRUE(translation.Set(fbxDouble3(1.0, 2.0, 3.0)));

    CurveOf(object->GetDefaultTakeNode(), "T/X")->SetValue(7.5f);
    EXPECT_EQ(translation.Get()[0], 7.5);
    EXPECT_EQ(translation.Get()[1], 2.0);
    // The property's change goes on to the current take's defaults.
    EXPECT_EQ(CurveOf(object->GetTakeNode(1), "T/X")->GetValue(), 7.5f);
    // A change in another take is that take's own.
    CurveOf(object->GetTakeNode(1), "T/Y")->SetValue(-1.0f);
    EXPECT_EQ(translation.Get()[1], 2.0);

    KFbxTypedProperty<int> count = object->MakeProperty("Count", gKFbxDataTypeInteger, true);
    KFbxTypedProperty<bool> shown = object->MakeProperty("Shown", gKFbxDataTypeBool, true);
    KFbxTypedProperty<fbxDouble4> tint = object->mTint;
    CurveOf(object->GetDefaultTakeNode(), "Count")->SetValue(3.75f);
    EXPECT_EQ(count.Get(), 3);
    CurveOf(object->GetDefaultTakeNode(), "Count")->SetValue(-1e30f);
    EXPECT_EQ(count.Get(), std::numeric_limits<int>::min());
    CurveOf(object->GetDefaultTakeNode(), "Shown")->SetValue(1.0f);
    EXPECT_TRUE(shown.Get());
    CurveOf(object->GetDefaultTakeNode(), "Tint/toto")->SetValue(0.25f);
    EXPECT_EQ(tint.Get()[3], 0.25);
}

TEST_F(KFbxTakeNodeContainerTest, TemplateChannelsHaveOneCurvePerComponent) {
    AnimatedPtr object(new Animated());
    KFbxTypedProperty<fbxDouble4> tint = object->mTint;
    ASSERT_TRUE(tint.Set(fbxDouble4(0.1, 0.2, 0.3, 0.4)));
    object->CreateTakeNode("Take 001");
    for (KFbxTakeNode* take : {object->GetDefaultTakeNode(), object->GetTakeNode(1)}) {
        KFCurveNode* channel = take->GetKFCurveNode()->Find("Tint");
        ASSERT_NE(channel, nullptr);
        ASSERT_EQ(channel->GetCount(), 4);
        const char* const names[] = {"X", "Y", "Z", "toto"};
        for (int i = 0; i < 4; ++i) {
            EXPECT_STREQ(channel->Get(i)->GetName(), names[i]);
        }
    }
    // Not animatable, so no property change reaches it; the template wrote
    // the value it had then: when it ran, for a deferred default take.
    EXPECT_EQ(CurveOf(object->GetDefaultTakeNode(), "Tint/toto")->GetValue(), kDeferredDefaultTake ? 0.4f : 0.0f);
    object->PropertyToChannelDefaults(object->mTint, *object->GetDefaultTakeNode()->GetKFCurveNode()->Find("Tint"));
    EXPECT_EQ(CurveOf(object->GetDefaultTakeNode(), "Tint/toto")->GetValue(), 0.4f);
    EXPECT_EQ(tint.Get()[3], 0.4);
}

TEST_F(KFbxTakeNodeContainerTest, MatrixPropertiesGetOneCurvePerElement) {
    AnimatedPtr object(new Animated());
    KFbxTypedProperty<fbxDouble44> pose = object->MakeProperty("Pose", gKFbxDataTypeMatrix, true);
    fbxDouble44 value;
    for (int i = 0; i < 16; ++i) {
        value[i / 4][i % 4] = i;
    }
    ASSERT_TRUE(pose.Set(value));
    KFCurveNode* channel = object->GetDefaultTakeNode()->GetKFCurveNode()->Find("Pose");
    ASSERT_NE(channel, nullptr);
    ASSERT_EQ(channel->GetCount(), 16);
    EXPECT_STREQ(channel->Get(15)->GetName(), "F");
    EXPECT_EQ(channel->Get(6)->FCurveGet()->GetValue(), 6.0f);

    channel->Get(6)->FCurveGet()->SetValue(60.0f);
    EXPECT_EQ(pose.Get()[1][2], 60.0);
    double out[16];
    KFbxTakeNodeContainer::GetMatrixPropertyValue(pose, out);
    EXPECT_EQ(out[6], 60.0);
    EXPECT_EQ(out[15], 15.0);
    KFbxTakeNodeContainer::GetMatrixPropertyValue(object->mTint, out);
    EXPECT_EQ(out[3], 0.0);
}

// Property-link clean-up: a link goes with its curve, with its property and
// with the container, and never outlives any of them.
TEST_F(KFbxTakeNodeContainerTest, PropertyLinkCleanUp) {
    AnimatedPtr object(new Animated());
    KFbxTypedProperty<double> weight = object->MakeProperty("Weight", gKFbxDataTypeNumber, true);
    const int links = object->GetPropertyLinkCount();
    KFCurveNode* channel = object->GetDefaultTakeNode()->GetKFCurveNode()->Find("Weight");
    KFbxProperty invalid;
    EXPECT_EQ(object->AddPropertyLink(invalid, 0, channel->FCurveGet()), nullptr);
    EXPECT_EQ(object->AddPropertyLink(weight, -1, channel->FCurveGet()), nullptr);
    EXPECT_EQ(object->AddPropertyLink(weight, 0, nullptr), nullptr);
    KFbxPropertyLink foreign{weight, 0, channel->FCurveGet(), nullptr};
    KFbxPropertyLink* foreignLink = &foreign;
    object->RemovePropertyLink(foreignLink);
    EXPECT_EQ(foreignLink, &foreign);
    EXPECT_EQ(object->GetPropertyLinkCount(), links);

    // The curve is destroyed: its link goes, and its replacement is not linked.
    channel->FCurveSetAndDestroy(KFCurve::Create());
    EXPECT_EQ(object->GetPropertyLinkCount(), links - 1);
    ASSERT_TRUE(weight.Set(1.0));
    channel->FCurveGet()->SetValue(5.0f);
    EXPECT_EQ(weight.Get(), 1.0);
    ASSERT_TRUE(weight.Set(2.0));
    EXPECT_EQ(channel->FCurveGet()->GetValue(), 2.0f);

    // The property is destroyed: its channels go from every take, with their links.
    object->CreateTakeNode("Take 001");
    KFbxProperty tilt = object->MakeProperty("Tilt", gKFbxDataTypeVector, true);
    EXPECT_EQ(object->GetPropertyLinkCount(), links - 1 + 3);
    tilt.Destroy();
    EXPECT_EQ(object->GetPropertyLinkCount(), links - 1);
    EXPECT_EQ(object->GetDefaultTakeNode()->GetKFCurveNode()->Find("Tilt"), nullptr);
    EXPECT_EQ(object->GetTakeNode(1)->GetKFCurveNode()->Find("Tilt"), nullptr);

    // A linked curve taken out of its channel outlives the container.
    KFCurveNode* t = object->GetDefaultTakeNode()->GetKFCurveNode()->Find("T");
    std::unique_ptr<KFCurve> kept(t->Get(0)->FCurveSet(nullptr));
    ASSERT_NE(kept, nullptr);
    object.reset();
    kept->SetValue(3.0f);
    kept.reset();

    // Destroy empties the container first: no takes, no current take, no links.
    auto* destroyed = new Animated();
    destroyed->MakeProperty("Weight", gKFbxDataTypeNumber, true);
    destroyed->KFbxTakeNodeContainer::DestroyContents(false, false);
    EXPECT_EQ(destroyed->GetTakeNodeCount(), 0);
    EXPECT_EQ(destroyed->GetCurrentTakeNodeIndex(), -1);
    EXPECT_EQ(destroyed->GetPropertyLinkCount(), 0);
    destroyed->Destroy();
}

TEST_F(KFbxTakeNodeContainerTest, CopyFromCopiesTakesAndCurrentButNoLinks) {
    AnimatedPtr source(new Animated("source"));
    source->CreateTakeNode("Take 001");
    CurveOf(source->GetTakeNode(1), "T/X")->KeyAppendFast(Sec(1.0), 4.0f);
    source->SetCurrentTakeNode(1);
    AnimatedPtr target(new Animated("target"));

    target->CopyFrom(*source);
    EXPECT_STREQ(target->GetName(), "source");
    ASSERT_EQ(target->GetTakeNodeCount(), 2);
    EXPECT_EQ(target->GetCurrentTakeNodeIndex(), 1);
    EXPECT_EQ(CurveOf(target->GetTakeNode(1), "T/X")->KeyGetValue(0), 4.0f);
    EXPECT_NE(CurveOf(target->GetTakeNode(1), "T/X"), CurveOf(source->GetTakeNode(1), "T/X"));
    // The target's own default curves went, and their links with them.
    EXPECT_EQ(target->GetPropertyLinkCount(), 0);

    source->CopyFrom(*source);
    EXPECT_EQ(source->GetTakeNodeCount(), 2);
    EXPECT_EQ(source->GetPropertyLinkCount(), 7);
}

}  // namespace
