#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxProperty_internal.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include "kfbxtestclasses.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>
#include <vector>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::testing_classes;

namespace {

class KFbxPropertyTest : public PublicLayerTest {
protected:
    void SetUp() override {
        PublicLayerTest::SetUp();
        mObject = Make(KFbxObject::ClassId, "object");
    }
    void TearDown() override {
        mObject->Destroy();
        PublicLayerTest::TearDown();
    }
    KFbxObject* mObject = nullptr;
};

const std::vector<const KFbxDataType*>& AllDataTypes() {
    static const std::vector<const KFbxDataType*> all = {
        &gKFbxDataTypeBool, &gKFbxDataTypeInteger, &gKFbxDataTypeFloat, &gKFbxDataTypeNumber,
        &gKFbxDataTypeVector, &gKFbxDataTypeVector4, &gKFbxDataTypeMatrix, &gKFbxDataTypeEnum,
        &gKFbxDataTypeStringList, &gKFbxDataTypeTime, &gKFbxDataTypeRef, &gKFbxDataTypeStream,
        &gKFbxDataTypeKString, &gKFbxDataTypeCharPtr, &gKFbxDataTypeAction, &gKFbxDataTypeEvent,
        &gKFbxDataTypeColor, &gKFbxDataTypeColorAndAlpha, &gKFbxDataTypeObject, &gKFbxDataTypeReference,
        &gKFbxDataTypeReal, &gKFbxDataTypeVector3D, &gKFbxDataTypeVector4D, &gKFbxDataTypeTranslation,
        &gKFbxDataTypeRotation, &gKFbxDataTypeScaling, &gKFbxDataTypeQuaternion, &gKFbxDataTypeLclTranslation,
        &gKFbxDataTypeLclRotation, &gKFbxDataTypeLclScaling, &gKFbxDataTypeLclQuaternion,
        &gKFbxDataTypeMatrixTransformation, &gKFbxDataTypeMatrixTranslation, &gKFbxDataTypeMatrixRotation,
        &gKFbxDataTypeMatrixScaling, &gKFbxDataTypeEmissive, &gKFbxDataTypeEmissiveFactor, &gKFbxDataTypeAmbient,
        &gKFbxDataTypeAmbientFactor, &gKFbxDataTypeDiffuse, &gKFbxDataTypeDiffuseFactor, &gKFbxDataTypeNormalMap,
        &gKFbxDataTypeBump, &gKFbxDataTypeTransparent, &gKFbxDataTypeTransparencyFactor, &gKFbxDataTypeSpecular,
        &gKFbxDataTypeSpecularFactor, &gKFbxDataTypeShininess, &gKFbxDataTypeReflection,
        &gKFbxDataTypeReflectionFactor, &gKFbxDataTypeIntensity, &gKFbxDataTypeConeAngle, &gKFbxDataTypeFog,
        &gKFbxDataTypeShape, &gKFbxDataTypeFieldOfView, &gKFbxDataTypeFieldOfViewX, &gKFbxDataTypeFieldOfViewY,
        &gKFbxDataTypeOpticalCenterX, &gKFbxDataTypeOpticalCenterY, &gKFbxDataTypeRoll, &gKFbxDataTypeCameraIndex,
        &gKFbxDataTypeTimeWarp, &gKFbxDataTypeVisibility, &gKFbxDataTypeTranslationUV, &gKFbxDataTypeScalingUV,
        &gKFbxDataTypeHSB, &gKFbxDataTypeOrientation, &gKFbxDataTypeLookAt, &gKFbxDataTypeOcclusion,
        &gKFbxDataTypeWeight, &gKFbxDataTypeIKReachTranslation, &gKFbxDataTypeIKReachRotation};
    return all;
}

// Sets a value of the type, reads it back, checks that the bound internal
// property holds it, changes it there and reads the change back.
void CheckMirroredValue(KFbxProperty& property) {
    SCOPED_TRACE(property.GetPropertyDataType().GetName());
    KProperty* link = property.GetKProperty();
    ASSERT_NE(link, nullptr);
    switch (property.GetPropertyDataType().GetType()) {
        case eFbxValueBool: {
            KFbxTypedProperty<bool> typed(property);
            ASSERT_TRUE(typed.Set(true));
            EXPECT_EQ(link->GetInt(), 1);
            link->SetInt(0);
            EXPECT_FALSE(typed.Get());
            break;
        }
        case eFbxValueInteger:
        case eFbxValueEnum: {
            KFbxTypedProperty<int> typed(property);
            ASSERT_TRUE(typed.Set(7));
            // Some integer data types are numbers inside ("Camera Index").
            EXPECT_EQ(link->GetDouble(), 7.0);
            link->SetDouble(-9.0);
            EXPECT_EQ(typed.Get(), -9);
            break;
        }
        case eFbxValueFloat: {
            KFbxTypedProperty<float> typed(property);
            ASSERT_TRUE(typed.Set(1.5f));
            EXPECT_EQ(link->GetDouble(), 1.5);
            link->SetDouble(0.25);
            EXPECT_EQ(typed.Get(), 0.25f);
            break;
        }
        case eFbxValueDouble: {
            KFbxTypedProperty<double> typed(property);
            ASSERT_TRUE(typed.Set(2.75));
            EXPECT_EQ(link->GetDouble(), 2.75);
            link->SetDouble(-4.0);
            EXPECT_EQ(typed.Get(), -4.0);
            break;
        }
        case eFbxValueDouble3: {
            KFbxTypedProperty<fbxDouble3> typed(property);
            ASSERT_TRUE(typed.Set(fbxDouble3(1.0, 2.0, 3.0)));
            double raw[4] = {};
            ASSERT_TRUE(link->GetValue(raw));
            EXPECT_EQ(raw[0], 1.0);
            EXPECT_EQ(raw[2], 3.0);
            raw[1] = 20.0;
            link->SetValue(raw);
            EXPECT_TRUE(KFbxEqualDouble3(property.GetDouble3(), fbxDouble3(1.0, 20.0, 3.0)));
            break;
        }
        case eFbxValueDouble4: {
            KFbxTypedProperty<fbxDouble4> typed(property);
            ASSERT_TRUE(typed.Set(fbxDouble4(1.0, 2.0, 3.0, 4.0)));
            double raw[4] = {};
            ASSERT_TRUE(link->GetValue(raw));
            EXPECT_EQ(raw[2], 3.0);
            raw[0] = 10.0;
            link->SetValue(raw);
            // The fourth component survives an internal property of three.
            EXPECT_TRUE(KFbxEqualDouble4(property.GetDouble4(), fbxDouble4(10.0, 2.0, 3.0, 4.0)));
            break;
        }
        case eFbxValueDouble44: {
            fbxDouble44 value;
            for (int i = 0; i < 16; ++i) {
                value[i / 4][i % 4] = i + 0.5;
            }
            ASSERT_TRUE(property.Set(&value, eFbxValueDouble44));
            double raw[16] = {};
            ASSERT_TRUE(link->GetValue(raw));
            EXPECT_EQ(raw[15], 15.5);
            raw[3] = -1.0;
            link->SetValue(raw);
            value[0][3] = -1.0;
            EXPECT_TRUE(KFbxEqualDouble44(property.GetDouble44(), value));
            break;
        }
        case eFbxValueString: {
            KFbxTypedProperty<KString> typed(property);
            ASSERT_TRUE(typed.Set(KString("hello")));
            KString text;
            link->GetValueAsString(text);
            EXPECT_EQ(text, "hello");
            link->SetValueFromString("world");
            EXPECT_EQ(property.GetString(), "world");
            break;
        }
        case eFbxValueTime: {
            KFbxTypedProperty<KTime> typed(property);
            ASSERT_TRUE(typed.Set(KTime(123456789)));
            KTime stored;
            ASSERT_TRUE(link->GetValue(&stored));
            EXPECT_EQ(stored, KTime(123456789));
            const KTime later(987654321);
            link->SetValue(&later);
            EXPECT_EQ(property.GetTime(), later);
            break;
        }
        default:
            FAIL() << "no value to mirror";
    }
}

TEST_F(KFbxPropertyTest, EveryDataTypeWithAValueIsMirroredIntoTheTwin) {
    ASSERT_EQ(AllDataTypes().size(), 72u);
    int bound = 0;
    int deferred = 0;
    for (const KFbxDataType* dataType : AllDataTypes()) {
        ASSERT_NE(*dataType, KFbxDataType());
        KFbxProperty property = KFbxProperty::Create(mObject, dataType->GetName(), *dataType, "");
        ASSERT_TRUE(property.IsValid());
        EXPECT_EQ(property.GetPropertyDataType(), *dataType);
        const EFbxValueType type = dataType->GetType();
        if (type == eFbxValueNone || type == eFbxValueReference) {
            const std::uint64_t word = 0;
            EXPECT_FALSE(property.Set(&word, type)) << dataType->GetName();
            continue;
        }
        if (type == eFbxValueStream) {
            EXPECT_EQ(property.GetKProperty(), nullptr);
            continue;
        }
        // What the handle tells of its record before it is made is what is made.
        const KDataType* toldType = nullptr;
        int toldCode = eKPropertyUnknown;
        const bool told = property.GetBoundType(toldType, toldCode);
        deferred += property.IsBindingDeferred() ? 1 : 0;
        CheckMirroredValue(property);
        ASSERT_NE(property.GetKProperty(), nullptr) << dataType->GetName();
        EXPECT_TRUE(told) << dataType->GetName();
        EXPECT_EQ(property.GetKProperty()->GetDataType(), toldType) << dataType->GetName();
        EXPECT_EQ(property.GetKProperty()->GetType(), toldCode) << dataType->GetName();
        ++bound;
    }
    EXPECT_EQ(bound, 66);
    EXPECT_GT(deferred, 0);
    // Every property's value lives in its own internal property.
    EXPECT_EQ(mObject->GetPropertyCount(), 72);
}

// A number type of its own name, based on the internal number type.
class DerivedNumberType : public KDataTypeNumber {
public:
    explicit DerivedNumberType(const char* name) : KDataTypeNumber(name) { SetBaseType(gKDataTypeNumber); }
};

// The internal data type a property is bound with follows the registry as it
// is at binding time, however many properties of that type came before.
TEST_F(KFbxPropertyTest, BindingFollowsTheInternalTypeRegistryAsItChanges) {
    const KFbxDataType dataType = KFbxRegisterDataType("BindingFollowsRegistry", eFbxValueDouble);
    ASSERT_NE(dataType, KFbxDataType());
    KFbxProperty before = KFbxProperty::Create(mObject, "before", dataType, "");
    ASSERT_NE(before.GetKProperty(), nullptr);
    const KDataType* unnamed = before.GetKProperty()->GetDataType();
    {
        DerivedNumberType internalType("BindingFollowsRegistry");
        KFbxProperty during = KFbxProperty::Create(mObject, "during", dataType, "");
        ASSERT_NE(during.GetKProperty(), nullptr);
        EXPECT_EQ(during.GetKProperty()->GetDataType(), &internalType);
        EXPECT_NE(unnamed, &internalType);
        during.Destroy();
    }
    // The type is gone: nothing may still point at it.
    KFbxProperty after = KFbxProperty::Create(mObject, "after", dataType, "");
    ASSERT_NE(after.GetKProperty(), nullptr);
    EXPECT_EQ(after.GetKProperty()->GetDataType(), unnamed);
    EXPECT_EQ(after.GetKProperty()->GetType(), before.GetKProperty()->GetType());
}

TEST_F(KFbxPropertyTest, ValueTypesMustBeAccepted) {
    KFbxProperty enumeration = KFbxProperty::Create(mObject, "Mode", gKFbxDataTypeEnum, "");
    const int two = 2;
    EXPECT_TRUE(enumeration.Set(&two, eFbxValueInteger));
    int out = 0;
    EXPECT_TRUE(enumeration.Get(&out, eFbxValueEnum));
    EXPECT_EQ(out, 2);

    KFbxProperty vector = KFbxProperty::Create(mObject, "V", gKFbxDataTypeVector, "");
    const double one = 1.0;
    EXPECT_FALSE(vector.Set(&one, eFbxValueDouble));
    EXPECT_TRUE(KFbxEqualDouble3(vector.GetDouble3(), fbxDouble3()));
    double number = 5.0;
    EXPECT_FALSE(vector.Get(&number, eFbxValueDouble));
    EXPECT_EQ(number, 5.0);
    EXPECT_EQ(vector.GetDouble(), 0.0);

    KFbxProperty invalid;
    EXPECT_FALSE(invalid.Set(&one, eFbxValueDouble));
    EXPECT_FALSE(invalid.IsValid());
    EXPECT_EQ(invalid.GetSdkManager(), nullptr);
    invalid.Destroy();
}

TEST_F(KFbxPropertyTest, CreationSharesOrForcesAndLabelsFallBackToTheName) {
    KFbxProperty first = KFbxProperty::Create(mObject, "Size", gKFbxDataTypeNumber, "");
    KFbxProperty second = KFbxProperty::Create(mObject, "Size", gKFbxDataTypeBool, "label");
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first.GetLabel(), "Size");
    KFbxProperty forced = KFbxProperty::Create(mObject, "Size", gKFbxDataTypeNumber, "Big", true);
    EXPECT_NE(forced, first);
    EXPECT_STREQ(forced.GetLabel(), "Big");
    EXPECT_STREQ(forced.GetKProperty()->GetLabel(), "Big");
    EXPECT_STREQ(first.GetKProperty()->GetLabel(), "Size");
    // The twin holds both under unique names.
    EXPECT_STREQ(forced.GetKProperty()->GetName(), "Size 0");
    EXPECT_FALSE(KFbxProperty::Create(nullptr, "x", gKFbxDataTypeNumber, "").IsValid());
    EXPECT_EQ(first.GetObject(), mObject);
    EXPECT_EQ(mObject->GetPropertyCount(), 2);

    KFbxProperty* made = static_cast<KFbxProperty*>(KFbxProperty::CreateFn(nullptr, "made"));
    EXPECT_EQ(made->GetPropertyDataType(), KFbxDataType());
    EXPECT_STREQ(made->GetLabel(), "made");
    EXPECT_FALSE(made->BindToObject());
    made->Destroy();
}

TEST_F(KFbxPropertyTest, TheTwinSharesTheNameAndLabelText) {
    KFbxProperty plain = KFbxProperty::Create(mObject, "Plain", gKFbxDataTypeNumber, "");
    KFbxProperty labelled = KFbxProperty::Create(mObject, "Labelled", gKFbxDataTypeVector, "Shown");
    ASSERT_NE(plain.GetKProperty(), nullptr);
    ASSERT_NE(labelled.GetKProperty(), nullptr);
    EXPECT_EQ(plain.GetKProperty()->GetName(), plain.GetName());
    EXPECT_EQ(plain.GetKProperty()->GetLabel(), plain.GetName());
    EXPECT_EQ(labelled.GetKProperty()->GetName(), labelled.GetName());
    EXPECT_EQ(labelled.GetKProperty()->GetLabel(), labelled.GetLabel());
    // A name with quotes is stored without them on the twin only.
    KFbxProperty quoted = KFbxProperty::Create(mObject, "\"Q\"", gKFbxDataTypeNumber, "");
    EXPECT_STREQ(quoted.GetName(), "\"Q\"");
    EXPECT_STREQ(quoted.GetKProperty()->GetName(), "Q");
}

TEST_F(KFbxPropertyTest, LimitsFlagsAndTheirMirrors) {
    KFbxProperty loose(static_cast<KFbxSdkManager*>(nullptr), "Loose", gKFbxDataTypeNumber, "");
    EXPECT_EQ(loose.GetMinLimit(), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(loose.GetMaxLimit(), std::numeric_limits<double>::infinity());

    KFbxProperty property = KFbxProperty::Create(mObject, "Speed", gKFbxDataTypeNumber, "");
    property.SetMinLimit(-2.0);
    property.SetMaxLimit(8.0);
    EXPECT_EQ(property.GetKProperty()->GetMin(), -2.0);
    EXPECT_EQ(property.GetKProperty()->GetMax(), 8.0);

    KProperty* link = property.GetKProperty();
    property.ModifyFlag(KFbxProperty::kAnimatable | KFbxProperty::kUser, true);
    EXPECT_TRUE(link->GetInfo().TestFlag(KPropertyInfo::kAnimatable));
    EXPECT_TRUE(link->GetInfo().TestFlag(KPropertyInfo::kUser));
    property.ModifyFlag(KFbxProperty::kPublicFlag8, true);
    EXPECT_TRUE(link->TestOwnFlag(KProperty::kOwnPublicFlag8));
    // Other flags leave the mirror of flag 8 alone.
    property.ModifyFlag(KFbxProperty::kPublicFlag4, true);
    EXPECT_TRUE(link->GetInfo().TestFlag(KPropertyInfo::kPublicFlag4));
    EXPECT_TRUE(link->TestOwnFlag(KProperty::kOwnPublicFlag8));
    property.ModifyFlag(KFbxProperty::kPublicFlag8 | KFbxProperty::kUser, false);
    EXPECT_FALSE(link->TestOwnFlag(KProperty::kOwnPublicFlag8));
    EXPECT_FALSE(link->GetInfo().TestFlag(KPropertyInfo::kUser));
    EXPECT_TRUE(property.GetFlag(KFbxProperty::kAnimatable | KFbxProperty::kUser));
    EXPECT_FALSE(property.GetFlag(KFbxProperty::kUser));

    // Flags set before binding go to the new internal property.
    KFbxProperty early(static_cast<KFbxSdkManager*>(nullptr), "Early", gKFbxDataTypeNumber, "");
    early.ModifyFlag(KFbxProperty::kAnimatable | KFbxProperty::kPublicFlag4, true);
    const double value = 3.5;
    early.Set(&value, eFbxValueDouble);
    early.SetObject(mObject);
    // Binding announces no value to the twin's listeners; the sets after it do.
    std::vector<int> heard;
    mObject->GetInternalObject()->AddCallbacks(
        &heard,
        [](void* context, const KPlugEventChain*, int code, KPlug*, KEventWord, KEventWord, KEventWord) {
            static_cast<std::vector<int>*>(context)->push_back(code);
        },
        nullptr, nullptr);
    ASSERT_TRUE(early.BindToObject());
    EXPECT_TRUE(heard.empty());
    EXPECT_TRUE(early.GetKProperty()->AnnouncesValues());
    EXPECT_EQ(early.GetKProperty()->GetDouble(), 3.5);
    EXPECT_TRUE(early.Set(&value, eFbxValueDouble));
    EXPECT_EQ(heard, (std::vector<int>{KProperty::kEventValueChanging, KProperty::kEventValueChanged}));
    mObject->GetInternalObject()->RemoveCallbacks(&heard);
    EXPECT_FALSE(early.BindToObject());
    EXPECT_TRUE(early.GetKProperty()->IsAnimatable());
    EXPECT_TRUE(early.GetKProperty()->TestOwnFlag(KProperty::kOwnPublicFlag8));
    EXPECT_TRUE(early.GetKProperty()->GetInfo().TestFlag(KPropertyInfo::kPublicFlag4));
    // The value set before binding is not lost to the new internal property.
    EXPECT_EQ(early.GetDouble(), 3.5);
    EXPECT_TRUE(early.Unbind());
    EXPECT_EQ(early.GetKProperty(), nullptr);
    EXPECT_EQ(mObject->GetInternalObject()->FindProperty("Early"), nullptr);
    EXPECT_FALSE(early.Unbind());

    int tagTarget = 0;
    void* tag = &tagTarget;
    property.SetUserTag(tag);
    property.SetUserData(&tag);
    EXPECT_EQ(property.GetUserTag(), tag);
    EXPECT_EQ(property.GetUserData(), &tag);
}

TEST_F(KFbxPropertyTest, EnumValues) {
    KFbxProperty number = KFbxProperty::Create(mObject, "N", gKFbxDataTypeNumber, "");
    EXPECT_EQ(number.AddEnumValue("a"), -1);
    EXPECT_EQ(number.GetEnumValue(0), nullptr);

    KFbxProperty mode = KFbxProperty::Create(mObject, "Mode", gKFbxDataTypeEnum, "");
    EXPECT_EQ(mode.GetEnumCount(), 0);
    EXPECT_EQ(mode.AddEnumValue("off"), 0);
    EXPECT_EQ(mode.AddEnumValue("on"), 1);
    EXPECT_EQ(mode.GetEnumCount(), 2);
    EXPECT_STREQ(mode.GetEnumValue(1), "on");
    EXPECT_EQ(mode.GetEnumValue(2), nullptr);
    EXPECT_EQ(mode.GetEnumValue(-1), nullptr);
    EXPECT_STREQ(mode.GetKProperty()->GetEnumList(false)->GetStringAt(1), "on");
    // No name reads back empty; the same name on two properties is one text.
    EXPECT_EQ(mode.AddEnumValue(nullptr), 2);
    EXPECT_STREQ(mode.GetEnumValue(2), "");
    EXPECT_STREQ(mode.GetKProperty()->GetEnumList(false)->GetStringAt(2), "");
    KFbxProperty other = KFbxProperty::Create(mObject, "Other", gKFbxDataTypeEnum, "");
    EXPECT_EQ(other.AddEnumValue("on"), 0);
    EXPECT_EQ(other.GetEnumValue(0), mode.GetEnumValue(1));

    // Names given before binding reach the internal property at binding.
    KFbxProperty early(static_cast<KFbxSdkManager*>(nullptr), "Early", gKFbxDataTypeEnum, "");
    early.AddEnumValue("x");
    early.SetObject(mObject);
    ASSERT_TRUE(early.BindToObject());
    EXPECT_STREQ(early.GetKProperty()->GetEnumList(false)->GetStringAt(0), "x");
    early.Unbind();
}

const char* const kFixedModes[] = {"off", "on", "auto"};

TEST_F(KFbxPropertyTest, FixedEnumValuesReadAsTheirOwnUntilAListChanges) {
    const KInternedText* table = KInternedText::InternedForever<kFixedModes>();
    KFbxObject* second = Make(KFbxObject::ClassId, "second");
    KFbxObject* third = Make(KFbxObject::ClassId, "third");
    KFbxProperty changed = KFbxProperty::Create(mObject, "Mode", gKFbxDataTypeEnum, "");
    KFbxProperty kept = KFbxProperty::Create(second, "Mode", gKFbxDataTypeEnum, "");
    KFbxProperty survivor = KFbxProperty::Create(third, "Mode", gKFbxDataTypeEnum, "");
    KFbxProperty after = KFbxProperty::Create(mObject, "After", gKFbxDataTypeEnum, "");
    KFbxProperty number = KFbxProperty::Create(mObject, "N", gKFbxDataTypeNumber, "");
    for (KFbxProperty* property : {&changed, &kept, &survivor, &number}) {
        property->AddFixedEnumValues(table, std::size(kFixedModes));
    }
    after.AddEnumValue("first");
    after.AddFixedEnumValues(table, std::size(kFixedModes));
    EXPECT_EQ(number.GetEnumCount(), 0);

    EXPECT_EQ(changed.AddEnumValue("extra"), 3);
    const std::vector<const char*> expected[] = {{"off", "on", "auto", "extra"},
                                                 {"off", "on", "auto"},
                                                 {"first", "off", "on", "auto"}};
    const KFbxProperty* properties[] = {&changed, &kept, &after};
    for (int which = 0; which < 3; ++which) {
        const KFbxProperty& property = *properties[which];
        const KStringList* bound = property.GetKProperty()->GetEnumList(false);
        ASSERT_EQ(property.GetEnumCount(), static_cast<int>(expected[which].size()));
        ASSERT_EQ(bound->GetCount(), property.GetEnumCount());
        for (int index = 0; index < property.GetEnumCount(); ++index) {
            EXPECT_STREQ(property.GetEnumValue(index), expected[which][index]) << which;
            EXPECT_STREQ(bound->GetStringAt(index), expected[which][index]) << which;
        }
        EXPECT_EQ(property.GetEnumValue(property.GetEnumCount()), nullptr);
        // A handle made over the bound property lists the names as its own.
        KFbxProperty* wrapped = KFbxProperty::CreateForKProperty(nullptr, property.GetKProperty());
        ASSERT_NE(wrapped, nullptr);
        EXPECT_EQ(wrapped->AddEnumValue("more"), property.GetEnumCount());
        EXPECT_STREQ(wrapped->GetEnumValue(0), expected[which][0]);
        EXPECT_EQ(property.GetEnumCount(), static_cast<int>(expected[which].size()));
        wrapped->Destroy();
    }
    second->Destroy();
    EXPECT_EQ(survivor.GetEnumCount(), 3);
    EXPECT_STREQ(survivor.GetEnumValue(2), "auto");
    third->Destroy();
}

TEST_F(KFbxPropertyTest, CompareAndCopyValues) {
    KFbxProperty a = KFbxProperty::Create(mObject, "A", gKFbxDataTypeVector, "");
    KFbxProperty b = KFbxProperty::Create(mObject, "B", gKFbxDataTypeVector, "");
    KFbxProperty c = KFbxProperty::Create(mObject, "C", gKFbxDataTypeColor, "");
    const fbxDouble3 value(1.0, 2.0, 3.0);
    a.Set(&value, eFbxValueDouble3);
    EXPECT_FALSE(a.CompareValue(b));
    EXPECT_TRUE(b.CopyValue(a));
    EXPECT_TRUE(a.CompareValue(b));
    EXPECT_TRUE(KFbxEqualDouble3(b.GetDouble3(), value));
    // Another data type of the same value type is not copied.
    EXPECT_FALSE(c.CopyValue(a));

    KFbxProperty s = KFbxProperty::Create(mObject, "S", gKFbxDataTypeKString, "");
    KFbxProperty t = KFbxProperty::Create(mObject, "T", gKFbxDataTypeKString, "");
    const KString text("same");
    s.Set(&text, eFbxValueString);
    t.Set(&text, eFbxValueString);
    EXPECT_TRUE(s.CompareValue(t));

    KFbxProperty r1 = KFbxProperty::Create(mObject, "R1", gKFbxDataTypeReference, "");
    KFbxProperty r2 = KFbxProperty::Create(mObject, "R2", gKFbxDataTypeReference, "");
    EXPECT_FALSE(r1.CompareValue(r2));
    EXPECT_FALSE(r1.CopyValue(r2));
}

class Watcher : public KFbxObject {
public:
    using KFbxObject::KFbxObject;
    std::vector<std::string> mChanged;
    KFbxObject* mContainer = nullptr;
    void PropertyChanged(KFbxProperty& property) override {
        mChanged.emplace_back(property.GetName());
        KFbxObject::PropertyChanged(property);
    }
    KFbxObject* GetTakeNodeContainer() override { return mContainer; }
};

TEST_F(KFbxPropertyTest, BoundSetsAreReportedToTheObjectAndItsContainer) {
    Watcher watcher(nullptr, "watcher");
    Watcher container(nullptr, "container");
    watcher.CreateInternal();
    watcher.mContainer = &container;
    KFbxProperty property = KFbxProperty::Create(&watcher, "Size", gKFbxDataTypeNumber, "");
    const double value = 1.0;
    EXPECT_TRUE(property.Set(&value, eFbxValueDouble));
    EXPECT_EQ(watcher.mChanged, std::vector<std::string>{"Size"});
    EXPECT_EQ(container.mChanged, std::vector<std::string>{"Size"});

    KFbxProperty loose(static_cast<KFbxSdkManager*>(nullptr), "Loose", gKFbxDataTypeNumber, "");
    loose.SetObject(&watcher);
    EXPECT_TRUE(loose.Set(&value, eFbxValueDouble));
    EXPECT_EQ(watcher.mChanged.size(), 1u);
    loose.SetObject(nullptr);
}

// A class with a member property handle, as the scene classes keep theirs.
class WithMember : public KFbxObject {
public:
    WithMember(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) {
        CreateInternal();
        Visibility.InitOnObject(this, "Visibility", gKFbxDataTypeVisibility, "");
    }
    KFbxTypedProperty<double> Visibility;
};

TEST_F(KFbxPropertyTest, MemberPropertiesAreSharedAndDieWithTheirObject) {
    auto* object = new WithMember(nullptr, "m");
    EXPECT_TRUE(object->Visibility.GetFlag(KFbxProperty::kMember));
    EXPECT_EQ(object->FindProperty("Visibility"), object->Visibility);
    EXPECT_TRUE(object->Visibility.Set(0.5));
    EXPECT_EQ(object->GetPropertyAt(0).GetDouble(), 0.5);
    KFbxProperty again;
    again.InitOnObject(object, "Visibility", gKFbxDataTypeVisibility, "");
    EXPECT_EQ(again, object->Visibility);
    object->Destroy();

    // Deleted without Destroy, the member takes its property along.
    delete new WithMember(nullptr, "n");
}

TEST_F(KFbxPropertyTest, WrappedInternalPropertiesTakeTheirDataTypeFromTheTypeCode) {
    KFbxObject_internal* twin = mObject->GetInternalObject();
    KProperty* count = twin->CreateDynamicProperty("Count", eKPropertyInt, nullptr, false, false, nullptr, false);
    KProperty* pick = twin->CreateDynamicProperty("Pick", eKPropertyEnum, nullptr, false, true, nullptr, false);
    pick->GetEnumList(true)->Add("first");
    pick->SetFlag(KProperty::kOwnPublicFlag8, true);
    count->SetMinMax(1.0, 9.0);
    count->SetLabel("How many");
    KFbxProperty* wrappedCount = KFbxProperty::CreateForKProperty(nullptr, count);
    KFbxProperty* wrappedPick = KFbxProperty::CreateForKProperty(nullptr, pick);
    EXPECT_EQ(wrappedCount->GetPropertyDataType(), gKFbxDataTypeInteger);
    EXPECT_EQ(wrappedCount->GetMinLimit(), 1.0);
    EXPECT_STREQ(wrappedCount->GetLabel(), "How many");
    EXPECT_EQ(wrappedPick->GetPropertyDataType(), gKFbxDataTypeEnum);
    EXPECT_STREQ(wrappedPick->GetEnumValue(0), "first");
    EXPECT_TRUE(wrappedPick->GetFlag(KFbxProperty::kUser));
    EXPECT_TRUE(wrappedPick->GetFlag(KFbxProperty::kPublicFlag8));
    EXPECT_FALSE(wrappedPick->GetFlag(KFbxProperty::kAnimatable));
    EXPECT_TRUE(wrappedCount->IsLinkedTo(count));
    EXPECT_FALSE(wrappedCount->IsLinkedTo(nullptr));
    // Without an object the wrapped handles leave the twin's properties alone.
    wrappedCount->Destroy();
    wrappedPick->Destroy();
    EXPECT_EQ(twin->FindProperty("Count"), count);
    EXPECT_EQ(KFbxProperty::CreateForKProperty(nullptr, nullptr), nullptr);
}

using KFbxPropertyValueTest = PublicLayerTest;

TEST_F(KFbxPropertyValueTest, StreamValuesKeepWholePointersAndCopyTheirText) {
    ASSERT_EQ(KFbxGetValueSize(eFbxValueStream), static_cast<int>(sizeof(void*)));
    auto* block = static_cast<KFbxStreamValue*>(SdkCalloc(1, sizeof(KFbxStreamValue)));
    ASSERT_NE(block, nullptr);
    block->mBuffer = static_cast<char*>(SdkMalloc(6));
    std::memcpy(block->mBuffer, "hello", 6);
    block->mSize = 6;
    // A writer address above 4 GiB must come back whole.
    block->mWriter = reinterpret_cast<KFbx*>(static_cast<std::uintptr_t>(0x123456789ABCull));

    KFbxProperty stream(static_cast<KFbxSdkManager*>(nullptr), "Stream", gKFbxDataTypeStream, "");
    ASSERT_TRUE(stream.Set(&block, eFbxValueStream));
    KFbxStreamValue* stored = *static_cast<KFbxStreamValue**>(stream.GetInternal()->GetValueData());
    ASSERT_NE(stored, nullptr);
    EXPECT_NE(stored, block);
    EXPECT_NE(stored->mBuffer, block->mBuffer);
    EXPECT_STREQ(stored->mBuffer, "hello");
    EXPECT_EQ(stored->mSize, 6u);
    // Two blocks never share one writer.
    EXPECT_EQ(stored->mWriter, nullptr);

    KFbxStreamValue* out = nullptr;
    ASSERT_TRUE(stream.Get(&out, eFbxValueStream));
    ASSERT_NE(out, nullptr);
    EXPECT_STREQ(out->mBuffer, "hello");
    KFbxStreamValue* none = nullptr;
    ASSERT_TRUE(KFbxCopyValue(&out, eFbxValueStream, &none, eFbxValueStream));
    EXPECT_EQ(out, nullptr);

    std::uintptr_t word = 0;
    std::memcpy(&word, &block->mWriter, sizeof(word));
    EXPECT_EQ(word, 0x123456789ABCull);
    block->mWriter = nullptr;
    KFbxFreeStreamValue(block);
    KFbxFreeStreamValue(nullptr);
}

TEST_F(KFbxPropertyValueTest, CopyRules) {
    int integer = 4;
    int enumeration = 0;
    EXPECT_TRUE(KFbxCopyValue(&enumeration, eFbxValueEnum, &integer, eFbxValueInteger));
    EXPECT_EQ(enumeration, 4);
    double number = 0.0;
    EXPECT_FALSE(KFbxCopyValue(&number, eFbxValueDouble, &integer, eFbxValueInteger));
    unsigned char reference = 0;
    EXPECT_FALSE(KFbxCopyValue(&reference, eFbxValueReference, &reference, eFbxValueReference));
    EXPECT_FALSE(KFbxCopyValue(nullptr, eFbxValueInteger, &integer, eFbxValueInteger));
    KFbxValueBuffer text(eFbxValueString);
    const KString source("abc");
    ASSERT_TRUE(KFbxCopyValue(text.Get(), eFbxValueString, &source, eFbxValueString));
    EXPECT_EQ(*static_cast<KString*>(text.Get()), "abc");
    KFbxValueBuffer nothing(eFbxValueNone);
    EXPECT_EQ(nothing.Get(), nullptr);
    // Zero at the start, whether kept inside or on the heap.
    KFbxValueBuffer three(eFbxValueDouble3);
    KFbxValueBuffer four(eFbxValueDouble4);
    KFbxValueBuffer matrix(eFbxValueDouble44);
    ASSERT_NE(three.Get(), nullptr);
    ASSERT_NE(four.Get(), nullptr);
    ASSERT_NE(matrix.Get(), nullptr);
    EXPECT_TRUE(KFbxEqualDouble3(*static_cast<fbxDouble3*>(three.Get()), fbxDouble3()));
    EXPECT_TRUE(KFbxEqualDouble4(*static_cast<fbxDouble4*>(four.Get()), fbxDouble4()));
    EXPECT_TRUE(KFbxEqualDouble44(*static_cast<fbxDouble44*>(matrix.Get()), fbxDouble44()));
    EXPECT_EQ(three.GetType(), eFbxValueDouble3);
    fbxDouble44 m;
    fbxDouble44 n;
    n[3][3] = 1.0;
    EXPECT_FALSE(KFbxEqualDouble44(m, n));
    EXPECT_FALSE(KFbxEqualDouble4(fbxDouble4(1, 2, 3, 4), fbxDouble4(1, 2, 3, 5)));

    // Each plain value is copied whole, by the size its type states.
    for (const EFbxValueType type : {eFbxValueBool, eFbxValueInteger, eFbxValueFloat, eFbxValueDouble,
                                     eFbxValueDouble3, eFbxValueDouble4, eFbxValueDouble44, eFbxValueEnum,
                                     eFbxValueTime}) {
        KFbxValueBuffer from(type);
        KFbxValueBuffer to(type);
        const auto size = static_cast<std::size_t>(KFbxGetValueSize(type));
        for (std::size_t i = 0; i < size; ++i) {
            static_cast<unsigned char*>(from.Get())[i] = static_cast<unsigned char>(i + 1);
        }
        ASSERT_TRUE(KFbxCopyValue(to.Get(), type, from.Get(), type)) << type;
        EXPECT_EQ(std::memcmp(to.Get(), from.Get(), size), 0) << type;
        EXPECT_TRUE(KFbxCopyValue(to.Get(), type, to.Get(), type)) << type;
    }
}

}  // namespace
