#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KPropertyList.h>
#include <fbxfilesdk/core/KPropertyTemplate.h>
#include <fbxfilesdk/core/KStringList.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

struct WordEvent {
    int mCode;
    KPlug* mSender;
    KEventWord mA;
    KEventWord mB;
};

// Records the value and object events that reach a plug without parent.
struct EventLog {
    std::vector<WordEvent> mValue;
    std::vector<WordEvent> mObject;

    void Attach(KPlug& plug) { plug.AddCallbacks(this, &OnValue, &OnObject, nullptr); }
    std::vector<int> ObjectCodes() const {
        std::vector<int> codes;
        for (const WordEvent& e : mObject) codes.push_back(e.mCode);
        return codes;
    }

    static void OnValue(void* context, const KPlugEventChain*, int code, KPlug* sender, KEventWord a, KEventWord b,
                        KEventWord) {
        static_cast<EventLog*>(context)->mValue.push_back({code, sender, a, b});
    }
    static void OnObject(void* context, const KPlugEventChain*, int code, KPlug* sender, KEventWord a, KEventWord b,
                         KEventWord) {
        static_cast<EventLog*>(context)->mObject.push_back({code, sender, a, b});
    }
};

// An object with static (member) properties, one of them behind callbacks.
double gSpeedSource = 0.0;
double ReadSpeed(KPlug*) { return gSpeedSource; }
void WriteSpeed(KPlug*, const double& value) { gSpeedSource = value * 2.0; }

class Vehicle : public KObject {
public:
    explicit Vehicle(const std::string& colourName) {
        // The name text is a temporary: the property must keep its own copy.
        mColour.Register(std::string(colourName).c_str(), this, nullptr, nullptr);
        AddProperty(&mColour);
        mSpeed.Register("Speed", this, &ReadSpeed, &WriteSpeed);
        mSpeed.SetDataType(gKDataTypeNumber);
        AddProperty(&mSpeed);
    }
    KPropertyTemplate<KgeRGBVector> mColour;
    KPropertyTemplate<double> mSpeed;
};

// Refuses renames of its properties.
class StrictObject : public KObject {
public:
    bool EmitObjectEvent(const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                         KEventWord c) override {
        if (code == KProperty::kEventRenaming) return false;
        return KObject::EmitObjectEvent(chain, code, sender, a, b, c);
    }
};

KProperty* Make(KObject& owner, const char* name, int type) {
    KProperty* property = owner.CreateDynamicProperty(name, type, nullptr, false, false, nullptr, false);
    EXPECT_NE(property, nullptr) << name;
    return property;
}

std::string Text(KProperty* property) {
    KString text;
    property->GetValueAsString(text);
    return text.Buffer();
}

enum class Gear { eFirst, eSecond, eThird };

}  // namespace

TEST(KProperty, ANewPropertyHasTheDefaults) {
    KProperty property;
    EXPECT_STREQ(property.GetName(), "");
    EXPECT_EQ(property.GetLabel(), nullptr);
    EXPECT_EQ(property.GetMin(), 0.0);
    EXPECT_EQ(property.GetMax(), 100.0);
    EXPECT_EQ(property.GetType(), 0);
    EXPECT_EQ(property.GetWorldIndex(), -1);
    EXPECT_EQ(property.GetInfo().GetFlags(), 0u);
    EXPECT_EQ(Text(&property), "?");
    EXPECT_FALSE(property.GetValue(nullptr));
    EXPECT_TRUE(property.IsType(gKPropertyTypeId));
    EXPECT_TRUE(property.IsType(gKPlugTypeId));
    EXPECT_STREQ(property.GetClassName(), "KProperty");
    EXPECT_EQ(property.GetTypeId(), 20);
    property.SetLabel("Shown");
    EXPECT_STREQ(property.GetLabel(), "Shown");
    property.SetLabel("");
    EXPECT_EQ(property.GetLabel(), nullptr);
}

TEST(KPropertyTemplate, NewValuesAndTypeCodes) {
    KPropertyTemplate<KgeRGBVector> rgb;
    KPropertyTemplate<KgeRGBAVector> rgba;
    KPropertyTemplate<KgeMatrix> matrix;
    KPropertyTemplate<KgeTVector> vector;
    double raw[4] = {9, 9, 9, 9};
    ASSERT_TRUE(rgb.GetValue(raw));
    EXPECT_EQ(raw[0], 0.0);
    EXPECT_EQ(raw[3], 1.0);
    ASSERT_TRUE(rgba.GetValue(raw));
    EXPECT_EQ(raw[3], 0.0);
    EXPECT_EQ(rgb.GetType(), eKPropertyColorRGB);
    EXPECT_EQ(rgba.GetType(), eKPropertyColorRGBA);
    EXPECT_EQ(vector.GetType(), eKPropertyVector3D);
    EXPECT_EQ(matrix.GetType(), 0);
    KgeMatrix m;
    m[0][0] = 5.0;
    matrix.Get(m);
    EXPECT_TRUE(m.IsEqual(KgeMatrix()));
    EXPECT_EQ(KPropertyTemplate<KString>().GetType(), eKPropertyString);
    EXPECT_EQ(KPropertyTemplate<const char*>().GetType(), eKPropertyCharPtr);
    KPropertyTemplate<Gear> gear;
    EXPECT_EQ(gear.GetType(), eKPropertyEnum);
    gear.Set(Gear::eThird);
    EXPECT_EQ(gear.GetInt(), 2);
    EXPECT_TRUE(gear.SetInt(1));
    EXPECT_EQ(gear.Get(), Gear::eSecond);
}

TEST(KPropertyTemplate, AMatrixKeepsAllSixteenValues) {
    KPropertyTemplate<KgeMatrix> matrix;
    double values[16];
    for (int i = 0; i < 16; ++i) values[i] = i + 1.0;
    ASSERT_TRUE(matrix.SetValue(values));
    double back[16] = {};
    ASSERT_TRUE(matrix.GetValue(back));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(back[i], values[i]) << i;
}

TEST(KPropertyTemplate, SetAnnouncesBeforeAndAfterEvenWhenUnchanged) {
    KObject owner;
    EventLog log;
    log.Attach(owner);
    KPropertyTemplate<int>* size =
        static_cast<KPropertyTemplate<int>*>(Make(owner, "Size", eKPropertyInt));
    ASSERT_TRUE(size->Set(0));
    ASSERT_EQ(log.mValue.size(), 2u);
    EXPECT_EQ(log.mValue[0].mCode, 20);
    EXPECT_EQ(log.mValue[0].mSender, size);
    EXPECT_EQ(log.mValue[1].mCode, 21);
    // Event 20 carries the new value and the one still stored.
    struct Seen {
        int mNew = -1;
        int mStored = -1;
    } seen;
    owner.AddCallbacks(
        &seen,
        [](void* context, const KPlugEventChain*, int code, KPlug*, KEventWord a, KEventWord b, KEventWord) {
            if (code == 20) {
                static_cast<Seen*>(context)->mNew = *reinterpret_cast<const int*>(a);
                static_cast<Seen*>(context)->mStored = *reinterpret_cast<const int*>(b);
            }
        },
        nullptr, nullptr);
    size->Set(7);
    ASSERT_EQ(log.mValue.size(), 4u);
    EXPECT_EQ(seen.mNew, 7);
    EXPECT_EQ(seen.mStored, 0);
    EXPECT_EQ(size->Get(), 7);
    owner.Destroy();
}

TEST(KPropertyTemplate, GetterAndSetterCallbacksStandInForTheValue) {
    Vehicle car("Paint");
    gSpeedSource = 3.0;
    EXPECT_EQ(car.mSpeed.Get(), 3.0);
    EXPECT_EQ(car.mSpeed.GetDouble(), 3.0);
    car.mSpeed.Set(10.0);
    EXPECT_EQ(gSpeedSource, 20.0);
    EXPECT_EQ(car.mSpeed.Get(), 20.0);
    EXPECT_TRUE(car.mSpeed.SetDouble(1.5));
    EXPECT_EQ(gSpeedSource, 3.0);
}

TEST(KPropertyTemplate, MemberPropertiesKeepTheirNameAndLeaveWithTheirObject) {
    auto* car = new Vehicle("Metallic Blue");
    EXPECT_STREQ(car->mColour.GetName(), "Metallic Blue");
    EXPECT_EQ(car->FindProperty("Metallic Blue"), &car->mColour);
    EXPECT_FALSE(car->mColour.IsDynamic());
    EXPECT_EQ(car->mColour.GetOwnerObject(), car);
    // A dynamic property of another object refers to the member.
    KObject other;
    other.SetName("Other");
    KProperty* reference = other.CreateReferenceProperty(&car->mSpeed, nullptr);
    ASSERT_NE(reference, nullptr);
    delete car;
    EXPECT_EQ(other.GetPropertyCount(), 0);
}

TEST(KProperty, ConvertsByTypeCode) {
    KObject owner;
    KProperty* flag = Make(owner, "Flag", eKPropertyBool);
    EXPECT_TRUE(flag->SetValueFromString("TRUE"));
    EXPECT_EQ(flag->GetInt(), 1);
    EXPECT_FALSE(flag->SetValueFromString("yes"));
    EXPECT_EQ(flag->GetInt(), 1);
    EXPECT_TRUE(flag->SetValueFromString("false"));
    EXPECT_EQ(flag->GetDouble(), 0.0);

    KProperty* count = Make(owner, "Count", eKPropertyInt);
    EXPECT_TRUE(count->SetDouble(2.9));
    EXPECT_EQ(count->GetInt(), 2);
    EXPECT_TRUE(count->SetDouble(-2.9));
    EXPECT_EQ(count->GetInt(), -2);
    EXPECT_TRUE(count->SetDouble(1e20));
    EXPECT_EQ(count->GetInt(), std::numeric_limits<int>::max());
    EXPECT_TRUE(count->SetDouble(std::nan("")));
    EXPECT_EQ(count->GetInt(), 0);
    EXPECT_TRUE(count->SetValueFromString("  -12abc"));
    EXPECT_EQ(count->GetInt(), -12);
    EXPECT_TRUE(count->SetValueFromString("abc"));
    EXPECT_EQ(count->GetInt(), 0);

    KProperty* choice = Make(owner, "Choice", eKPropertyEnum);
    EXPECT_EQ(choice->GetType(), eKPropertyEnum);
    EXPECT_TRUE(choice->SetDouble(2.9));
    EXPECT_EQ(choice->GetInt(), 2);
    EXPECT_FALSE(choice->SetValueFromString("1"));

    KProperty* ratio = Make(owner, "Ratio", eKPropertyDouble);
    ratio->SetType(eKPropertyFloat);
    EXPECT_TRUE(ratio->SetDouble(0.25));
    EXPECT_EQ(ratio->GetDouble(), 0.25);
    EXPECT_EQ(ratio->GetInt(), 0);
    EXPECT_FALSE(ratio->SetInt(3));
    EXPECT_TRUE(ratio->SetValueFromString("1.5e2"));
    EXPECT_EQ(ratio->GetDouble(), 150.0);

    KProperty* title = Make(owner, "Title", eKPropertyString);
    EXPECT_FALSE(title->SetDouble(1.0));
    EXPECT_EQ(title->GetDouble(), 0.0);
    EXPECT_FALSE(title->SetValueFromString(nullptr));
    owner.Destroy();
}

TEST(KProperty, WritesEveryTypeAsText) {
    KObject owner;
    owner.SetName("Owner");
    KProperty* count = Make(owner, "Count", eKPropertyInt);
    count->SetInt(42);
    EXPECT_EQ(Text(count), "42");
    KProperty* action = Make(owner, "Go", eKPropertyAction);
    EXPECT_EQ(action->GetType(), eKPropertyAction);
    action->SetInt(5);
    EXPECT_EQ(Text(action), "True");
    KProperty* ratio = Make(owner, "Ratio", eKPropertyDouble);
    ratio->SetDouble(2.5);
    EXPECT_EQ(Text(ratio), "2.500000");
    KProperty* title = Make(owner, "Title", eKPropertyString);
    title->SetValueFromString("Hello");
    EXPECT_EQ(Text(title), "Hello");
    KProperty* when = Make(owner, "When", eKPropertyTime);
    when->SetValueFromString(Text(when).c_str());
    EXPECT_FALSE(Text(when).empty());

    KProperty* target = Make(owner, "Target", eKPropertyObject);
    EXPECT_EQ(Text(target), "Object!");
    KObject* pointed = &owner;
    target->SetValue(&pointed);
    EXPECT_EQ(Text(target), "Owner");

    auto* position = static_cast<KPropertyTemplate<KgeTVector>*>(Make(owner, "Position", eKPropertyVector3D));
    position->Set(KgeTVector(1, 2, 3));
    EXPECT_EQ(Text(position), "{1.000000,2.000000,3.000000}");
    position->SetType(eKPropertyVector4D);
    EXPECT_EQ(Text(position), "{1.000000,2.000000,3.000000,1.000000}");
    KProperty* colour = Make(owner, "Colour", eKPropertyColorRGB);
    EXPECT_EQ(Text(colour), "{0.000000,0.000000,0.000000,1.000000}");
    KProperty* tint = Make(owner, "Tint", eKPropertyColorRGBA);
    EXPECT_EQ(Text(tint), "{0.000000,0.000000,0.000000,0.000000}");
    EXPECT_EQ(Text(Make(owner, "Pose", eKPropertyMatrix4x4)), "?");

    KProperty* choice = Make(owner, "Choice", eKPropertyEnum);
    choice->GetEnumList(true)->Add("Low");
    choice->GetEnumList(true)->Add("High");
    choice->SetInt(1);
    EXPECT_EQ(Text(choice), "High");
    owner.Destroy();
}

TEST(KProperty, AChangedTypeCodeNeverReadsAnotherShapeOfValue) {
    KObject owner;
    KProperty* count = Make(owner, "Count", eKPropertyInt);
    count->SetInt(7);
    count->SetType(eKPropertyString);
    EXPECT_EQ(Text(count), "");
    EXPECT_TRUE(count->SetValueFromString("a long text that is not an int at all"));
    count->SetType(eKPropertyMatrix4x4);
    double out[16];
    EXPECT_FALSE(count->GetChannelValue(out));
    count->SetType(eKPropertyInt);
    EXPECT_EQ(count->GetInt(), 7);
    owner.Destroy();
}

TEST(KProperty, ChannelValuesAreDoubles) {
    KObject owner;
    KProperty* count = owner.CreateDynamicProperty("Count", eKPropertyInt, nullptr, true, false, nullptr, false);
    ASSERT_TRUE(count->IsAnimatable());
    count->SetInt(5);
    double value[16] = {};
    ASSERT_TRUE(count->GetChannelValue(value));
    EXPECT_EQ(value[0], 5.0);
    const double in[1] = {8.7};
    EXPECT_TRUE(count->SetChannelValue(in));
    EXPECT_EQ(count->GetInt(), 8);

    KProperty* position =
        owner.CreateDynamicProperty("Position", eKPropertyVector3D, gKDataTypeVector, true, false, nullptr, false);
    const double xyz[4] = {1, 2, 3, 1};
    EXPECT_TRUE(position->SetChannelValue(xyz));
    double back[4] = {};
    EXPECT_TRUE(position->GetChannelValue(back));
    EXPECT_EQ(back[2], 3.0);
    EXPECT_FALSE(Make(owner, "Title", eKPropertyString)->GetChannelValue(back));
    owner.Destroy();
}

TEST(KProperty, RenamesWithoutQuotesUnlessRefused) {
    KObject owner;
    EventLog log;
    log.Attach(owner);
    KProperty* size = Make(owner, "Size", eKPropertyInt);
    EXPECT_TRUE(size->SetName("My \"big\" size", false));
    EXPECT_STREQ(size->GetName(), "My big size");
    EXPECT_TRUE(size->TestFlag(KPropertyInfo::kOwnedName));
    EXPECT_EQ(log.ObjectCodes(), (std::vector<int>{27, 28}));
    EXPECT_STREQ(reinterpret_cast<const char*>(log.mObject[1].mB), "My big size");

    StrictObject strict;
    KProperty* kept = Make(strict, "Kept", eKPropertyInt);
    EXPECT_FALSE(kept->SetName("Other", false));
    EXPECT_STREQ(kept->GetName(), "Kept");
    owner.Destroy();
    strict.Destroy();
}

TEST(KProperty, MakesNamesUniqueByCountingOn) {
    KObject owner;
    Make(owner, "Size", eKPropertyInt);
    KProperty* second = Make(owner, "Other", eKPropertyInt);
    KString name("  Size ");
    second->MakeUniqueName(name);
    EXPECT_STREQ(name.Buffer(), "Size 1");
    second->SetName("Size", true);
    EXPECT_STREQ(second->GetName(), "Size 1");
    KProperty* third = Make(owner, "Third", eKPropertyInt);
    third->SetName("Size", true);
    EXPECT_STREQ(third->GetName(), "Size 2");

    Make(owner, "Take7", eKPropertyInt);
    name = "Take7";
    third->MakeUniqueName(name);
    EXPECT_STREQ(name.Buffer(), "Take8");
    name = "   ";
    third->MakeUniqueName(name);
    EXPECT_STREQ(name.Buffer(), "1");
    // A property does not clash with itself.
    name = "Size 2";
    third->MakeUniqueName(name);
    EXPECT_STREQ(name.Buffer(), "Size 2");
    owner.Destroy();
}

TEST(KProperty, ClonesOntoAnotherObjectWithGrowingNames) {
    KObject from;
    KObject to;
    KProperty* speed = from.CreateDynamicProperty("Speed", eKPropertyEnum, nullptr, false, true, nullptr, false);
    speed->SetMinMax(-1.0, 1.0);
    speed->SetInt(3);
    Make(to, "Speed", eKPropertyInt);
    Make(to, "Speed 0", eKPropertyInt);
    KProperty* clone = speed->CloneToObject(&to);
    ASSERT_NE(clone, nullptr);
    EXPECT_STREQ(clone->GetName(), "Speed 0 1");
    EXPECT_EQ(clone->GetType(), eKPropertyEnum);
    EXPECT_TRUE(clone->IsUser());
    EXPECT_TRUE(clone->IsDynamic());
    EXPECT_EQ(clone->GetMin(), -1.0);
    EXPECT_EQ(clone->GetInt(), 0);
    EXPECT_EQ(to.GetPropertyCount(), 3);

    KProperty* v4 = Make(from, "V4", eKPropertyVector3D);
    v4->SetType(eKPropertyVector4D);
    EXPECT_EQ(v4->CloneToObject(&to), nullptr);
    EXPECT_EQ(Make(from, "M", eKPropertyMatrix4x4)->CloneToObject(&to), nullptr);
    KProperty* animated = from.CreateDynamicProperty("A", eKPropertyDouble, nullptr, true, false, nullptr, false);
    EXPECT_EQ(animated->CloneToObject(&to), nullptr);
    EXPECT_EQ(speed->CloneToObject(nullptr), nullptr);
    from.Destroy();
    to.Destroy();
}

TEST(KProperty, CopiesValuesOnlyBetweenTheSameTypes) {
    KObject owner;
    KProperty* a = Make(owner, "A", eKPropertyString);
    KProperty* b = Make(owner, "B", eKPropertyString);
    KProperty* n = Make(owner, "N", eKPropertyInt);
    a->SetValueFromString("copied");
    EXPECT_TRUE(b->Assign(a));
    EXPECT_EQ(Text(b), "copied");
    n->SetInt(4);
    EXPECT_FALSE(n->CopyValue(a));
    EXPECT_EQ(n->GetInt(), 4);
    EXPECT_FALSE(n->CopyValue(n));
    EXPECT_FALSE(n->CopyValue(nullptr));
    // Type 0 on both sides, but only one of them stores a value.
    KProperty plain;
    KProperty* matrix = Make(owner, "M", eKPropertyMatrix4x4);
    EXPECT_FALSE(matrix->CopyValue(&plain));
    EXPECT_FALSE(plain.CopyValue(matrix));
    owner.Destroy();
}

TEST(KProperty, DataTypesAndRange) {
    KObject owner;
    EXPECT_EQ(Make(owner, "D", eKPropertyDouble)->GetDataType(), gKDataTypeNumber);
    EXPECT_EQ(Make(owner, "I", eKPropertyInt)->GetDataType(), nullptr);
    EXPECT_EQ(Make(owner, "C", eKPropertyColorRGB)->GetDataType(), gKDataTypeColor);
    KProperty* typed = owner.CreateDynamicProperty("T", eKPropertyDouble, gKDataTypeIntensity, false, false,
                                                   nullptr, false);
    EXPECT_EQ(typed->GetDataType(), gKDataTypeIntensity);

    EventLog log;
    KProperty property;
    log.Attach(property);
    EXPECT_TRUE(property.SetMinMax(0.0, 100.0));
    EXPECT_TRUE(log.mObject.empty());
    EXPECT_TRUE(property.SetMax(5.0));
    EXPECT_EQ(property.GetMax(), 5.0);
    const double nan = std::nan("");
    property.SetMin(nan);
    property.SetMin(nan);
    EXPECT_EQ(log.ObjectCodes(), (std::vector<int>{31, 31, 31}));
    property.SetFlag(KProperty::kOwnPublicFlag8, true);
    EXPECT_TRUE(property.TestOwnFlag(KProperty::kOwnPublicFlag8));
    EXPECT_EQ(log.mObject.size(), 4u);
    owner.Destroy();
}

TEST(KProperty, RarelySetPartsKeepTheirDefaultsUntilSet) {
    KProperty property;
    EXPECT_TRUE(property.SetMin(-3.0));
    EXPECT_EQ(property.GetMin(), -3.0);
    EXPECT_EQ(property.GetMax(), 100.0);
    EXPECT_EQ(property.GetWorldIndex(), -1);
    EXPECT_EQ(property.GetInfo().GetGetter(), nullptr);
    EXPECT_EQ(property.GetInfo().GetSetter(), nullptr);
    EXPECT_EQ(property.GetInfo().GetEnumCallback(), nullptr);

    KProperty other;
    other.SetWorldIndex(-1);
    other.GetInfo().SetEnumList(nullptr);
    EXPECT_EQ(other.GetWorldIndex(), -1);
    EXPECT_FALSE(other.TestFlag(KPropertyInfo::kEnumCallback));
    other.SetWorldIndex(7);
    EXPECT_EQ(other.GetWorldIndex(), 7);
    EXPECT_EQ(other.GetMin(), 0.0);
    EXPECT_EQ(other.GetMax(), 100.0);
    EXPECT_EQ(other.GetEnumList(false), nullptr);
    other.SetWorldIndex(-1);
    EXPECT_EQ(other.GetWorldIndex(), -1);
}

namespace {
const char* EnumFromCallback(KPlug*, int index) { return index == 0 ? "Zero" : nullptr; }
}  // namespace

TEST(KProperty, EnumNamesFromAListOrACallback) {
    KObject owner;
    KProperty* shared = Make(owner, "Shared", eKPropertyEnum);
    shared->GetInfo().SetEnumList(&EnumFromCallback);
    EXPECT_TRUE(shared->TestFlag(KPropertyInfo::kEnumCallback));
    EXPECT_STREQ(shared->GetEnumText(0), "Zero");
    EXPECT_EQ(shared->GetEnumText(1), nullptr);
    EXPECT_EQ(shared->GetEnumList(true), nullptr);
    shared->GetInfo().SetEnumList(nullptr);
    EXPECT_FALSE(shared->TestFlag(KPropertyInfo::kEnumCallback));
    ASSERT_NE(shared->GetEnumList(true), nullptr);
    shared->GetEnumList(false)->Add("Listed");
    EXPECT_STREQ(shared->GetEnumText(0), "Listed");
    EXPECT_EQ(shared->GetEnumText(-1), nullptr);

    // A user property reads only its own list.
    KProperty* user = owner.CreateDynamicProperty("User", eKPropertyEnum, nullptr, false, true, nullptr, false);
    user->GetInfo().SetEnumList(&EnumFromCallback);
    EXPECT_EQ(user->GetEnumText(0), nullptr);
    owner.Destroy();
}

TEST(KProperty, ReferencesAndPropertyConnections) {
    KObject owner;
    KProperty* target = Make(owner, "Target", eKPropertyDouble);
    KProperty* reference = owner.CreateReferenceProperty(target, "Ref");
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(reference->GetReferencedProperty(), target);
    EXPECT_EQ(target->GetReferencedProperty(), target);
    EXPECT_EQ(target->GetDstProperty(0), reference);
    EXPECT_EQ(target->GetDstProperty(1), nullptr);
    EXPECT_EQ(target->GetDstPropertyCount(), 1);
    KObject plugOwner;
    target->ConnectDst(&plugOwner);
    EXPECT_EQ(target->GetDstCount(), 2);
    EXPECT_EQ(target->GetDstPropertyCount(), 1);
    EXPECT_EQ(Text(reference), "?");
    target->DisconnectDst(&plugOwner);
    owner.Destroy();
}

TEST(KPropertyObjectList, ItemsAreTheConnectedPlugs) {
    KObject owner;
    KPropertyObjectList list;
    list.Register("Items", &owner, nullptr, nullptr);
    owner.AddProperty(&list);
    EXPECT_TRUE(list.IsObjectList());
    EXPECT_TRUE(list.TestFlag(KPropertyInfo::kList));
    EXPECT_EQ(list.GetTypeId(), 21);
    EXPECT_TRUE(list.IsType(gKPropertyTypeId));

    KObject a, b;
    EXPECT_TRUE(list.Add(&a));
    EXPECT_TRUE(list.InsertAt(0, &b));
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetAt(0), &b);
    EXPECT_EQ(list.Find(&a), 1);
    EXPECT_EQ(list.Find(&owner), -1);
    // Add and InsertAt each count once themselves and once on the added event.
    EXPECT_EQ(list.GetChangeCount(), 4);

    KProperty* plain = Make(owner, "Plain", eKPropertyInt);
    EXPECT_TRUE(list.ConnectSrc(plain));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetAt(2), nullptr);
    EXPECT_EQ(Text(&list), "?");

    EXPECT_TRUE(list.Remove(&b));
    EXPECT_EQ(list.GetAt(0), &a);
    EXPECT_TRUE(list.Clear());
    EXPECT_EQ(list.GetCount(), 0);

    // Restricted to objects: a plain property is refused.
    list.SetObjectType(-1, gKObjectTypeId);
    KEventWord classId = 0;
    int typeId = 0;
    list.GetObjectType(classId, typeId);
    EXPECT_EQ(classId, -1);
    EXPECT_EQ(typeId, gKObjectTypeId);
    EXPECT_FALSE(list.ConnectSrc(plain));
    EXPECT_TRUE(list.Add(&a));
    EXPECT_EQ(list.GetCount(), 1);
    owner.Destroy();
}
