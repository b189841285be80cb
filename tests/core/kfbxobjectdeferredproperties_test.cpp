// An object may make its own properties on first need. Until then it counts
// them, and whatever could see or add a property, on the object or on its
// twin, makes them first, once, ahead of any other.
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KProperty.h>

#include "kfbxtestclasses.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

class LazyObject : public KFbxObject {
public:
    explicit LazyObject(int* makings) : KFbxObject(nullptr, "lazy"), mMakings(makings) {
        CreateInternal();
        DeferProperties(2);
    }

protected:
    void MakeDeferredProperties() override {
        ++*mMakings;
        // The making sees the ordinary lists, and does not come back here.
        EXPECT_EQ(GetPropertyCount(), 0);
        KFbxProperty::Create(this, "First", gKFbxDataTypeNumber, "");
        EXPECT_TRUE(FindProperty("First").IsValid());
        KFbxProperty::Create(this, "Second", gKFbxDataTypeBool, "");
    }

private:
    int* mMakings;
};

std::vector<std::string> TwinNames(const KFbxObject& object) {
    std::vector<std::string> names;
    const KObject* twin = object.GetInternalObject();
    for (int i = 0; i < twin->GetPropertyCount(); ++i) {
        names.emplace_back(twin->GetPropertyAt(i)->GetName());
    }
    return names;
}

using KFbxObjectDeferredPropertiesTest = testing_classes::PublicLayerTest;

TEST_F(KFbxObjectDeferredPropertiesTest, CountedBeforeMadeAndMadeOnceByEachKindOfUse) {
    const std::vector<std::function<void(KFbxObject&)>> uses = {
        [](KFbxObject& o) { EXPECT_STREQ(o.GetPropertyAt(1).GetName(), "Second"); },
        [](KFbxObject& o) { EXPECT_TRUE(o.FindProperty("first", false).IsValid()); },
        [](KFbxObject& o) { EXPECT_TRUE(o.FindPropertyOfType("Second", gKFbxDataTypeBool).IsValid()); },
        [](KFbxObject& o) { EXPECT_TRUE(KFbxProperty::Create(&o, "Third", gKFbxDataTypeNumber, "").IsValid()); },
        [](KFbxObject& o) { EXPECT_NE(o.GetInternalObject()->FindProperty("Second"), nullptr); },
        [](KFbxObject& o) { EXPECT_EQ(o.GetInternalObject()->GetUserPropertyCount(), 0); },
        [](KFbxObject& o) {
            EXPECT_NE(o.GetInternalObject()->CreateDynamicProperty("Third", eKPropertyDouble, nullptr, false, true,
                                                                   nullptr, false),
                      nullptr);
        },
        [](KFbxObject& o) { o.WrapInternalProperties(); },
    };
    for (const auto& use : uses) {
        int makings = 0;
        auto* object = new LazyObject(&makings);
        EXPECT_EQ(object->GetPropertyCount(), 2);
        EXPECT_FALSE(object->ArePropertiesMade());
        use(*object);
        EXPECT_EQ(makings, 1);
        EXPECT_TRUE(object->ArePropertiesMade());
        EXPECT_STREQ(object->GetPropertyAt(0).GetName(), "First");
        const std::vector<std::string> twin = TwinNames(*object);
        ASSERT_GE(twin.size(), 2u);
        EXPECT_EQ(twin[0], "First");
        EXPECT_EQ(twin[1], "Second");
        // Whatever the use added comes after them.
        EXPECT_LE(twin.size(), 3u);
        object->MakeProperties();
        EXPECT_EQ(makings, 1);
        object->Destroy();
    }
}

TEST_F(KFbxObjectDeferredPropertiesTest, DestroyingAnObjectNeverMakesThem) {
    int makings = 0;
    (new LazyObject(&makings))->Destroy();
    delete new LazyObject(&makings);
    EXPECT_EQ(makings, 0);
}

// Registered properties get their twin's records on the twin's first look,
// in the order they would have had made at once; meanwhile what the records
// would tell is told without making them, and a change still reaches the
// object.
TEST_F(KFbxObjectDeferredPropertiesTest, TwinRecordsAreMadeOnFirstLookInRegistrationOrder) {
    class Watched : public KFbxObject {
    public:
        Watched() : KFbxObject(nullptr, "watched") { CreateInternal(); }
        void PropertyChanged(KFbxProperty& property) override { mChanged.emplace_back(property.GetName()); }
        std::vector<std::string> mChanged;
    };
    auto* object = new Watched;
    KFbxProperty colour = KFbxProperty::Create(object, "Colour", gKFbxDataTypeColor, "");
    KFbxProperty frame = KFbxProperty::Create(object, "Frame", gKFbxDataTypeMatrix, "");
    const KDataType* deferredType = nullptr;
    int deferredCode = eKPropertyUnknown;
    ASSERT_TRUE(frame.GetBoundType(deferredType, deferredCode));
    EXPECT_TRUE(colour.IsBindingDeferred());
    EXPECT_TRUE(object->GetInternalObject()->ArePropertiesPending());
    const fbxDouble3 red(1.0, 0.0, 0.0);
    colour.Set(&red, eFbxValueDouble3);
    EXPECT_EQ(object->mChanged, std::vector<std::string>{"Colour"});
    // A record added to the twin directly comes after those registered before it.
    ASSERT_NE(object->GetInternalObject()->CreateDynamicProperty("Direct", eKPropertyDouble, nullptr, false, true,
                                                                 nullptr, false),
              nullptr);
    KFbxProperty last = KFbxProperty::Create(object, "Last", gKFbxDataTypeBool, "");
    EXPECT_EQ(TwinNames(*object), (std::vector<std::string>{"Colour", "Frame", "Direct", "Last"}));
    EXPECT_FALSE(colour.IsBindingDeferred());
    EXPECT_EQ(frame.GetKProperty()->GetDataType(), deferredType);
    EXPECT_EQ(frame.GetKProperty()->GetType(), deferredCode);
    double made[4] = {};
    ASSERT_TRUE(colour.GetKProperty()->GetValue(made));
    EXPECT_EQ(made[0], 1.0);
    object->Destroy();
}

}  // namespace
