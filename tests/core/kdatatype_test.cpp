#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KNumberText.h>
#include <fbxfilesdk/core/KPropertyType.h>
#include <fbxfilesdk/core/KTime.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// Looked up by a static initialiser of this file, before the test runner starts.
KDataType* const gNumberBeforeMain = KDataType::Find("Number");

std::string Format(const KDataType* type, const void* value, int size = 256) {
    std::vector<char> buffer(static_cast<std::size_t>(size), 'x');
    EXPECT_TRUE(type->ToString(buffer.data(), size, value));
    return buffer.data();
}

}  // namespace

TEST(KDataTypeRegistry, HoldsTheBuiltInTypesSortedByName) {
    EXPECT_EQ(gNumberBeforeMain, gKDataTypeNumber);
    ASSERT_EQ(KDataType::GetRegisteredCount(), KDataType::kBuiltInCount);
    for (int i = 1; i < KDataType::GetRegisteredCount(); ++i) {
        EXPECT_LT(std::strcmp(KDataType::GetRegisteredAt(i - 1)->GetName(), KDataType::GetRegisteredAt(i)->GetName()),
                  0);
    }
    EXPECT_EQ(KDataType::GetRegisteredAt(-1), nullptr);
    EXPECT_EQ(KDataType::GetRegisteredAt(KDataType::kBuiltInCount), nullptr);

    int numbers = 0, vectors = 0, vector4s = 0, times = 0, matrices = 0;
    for (int i = 0; i < KDataType::GetRegisteredCount(); ++i) {
        const KDataType* base = KDataType::GetRegisteredAt(i)->GetBaseType();
        numbers += base == gKDataTypeNumber;
        vectors += base == gKDataTypeVector;
        vector4s += base == gKDataTypeVector4;
        times += base == gKDataTypeTime;
        matrices += base == gKDataTypeMatrix;
    }
    EXPECT_EQ(numbers, 24);
    EXPECT_EQ(vectors, 13);
    EXPECT_EQ(vector4s, 4);
    EXPECT_EQ(times, 1);
    EXPECT_EQ(matrices, 5);
}

TEST(KDataTypeRegistry, FindsByExactNameAndTriggerAsAction) {
    EXPECT_EQ(KDataType::Find("Trigger"), KDataType::Find("Action"));
    EXPECT_EQ(KDataType::Find("Action"), gKDataTypeAction);
    EXPECT_EQ(KDataType::Find("action"), nullptr);
    EXPECT_EQ(KDataType::Find("Lcl  Translation"), nullptr);
    EXPECT_EQ(KDataType::Find(nullptr), nullptr);

    const KDataType* translation = KDataType::Find("Lcl Translation");
    ASSERT_NE(translation, nullptr);
    EXPECT_STREQ(translation->GetBaseType()->GetName(), "Vector");
    EXPECT_STREQ(translation->GetChannelName(0), "x");
    EXPECT_STREQ(translation->GetChannelName(2), "z");
    EXPECT_STREQ(translation->GetChannelName(3), "?");
    EXPECT_EQ(translation->GetValueSize(), 24);
    EXPECT_EQ(translation->GetComponentCount(), 3);

    const KDataType* hsb = KDataType::Find("HSB");
    ASSERT_NE(hsb, nullptr);
    EXPECT_STREQ(hsb->GetChannelName(1), "S");
    EXPECT_STREQ(KDataType::Find("Translation UV")->GetChannelName(1), "V");
    EXPECT_STREQ(KDataType::Find("Translation UV")->GetChannelName(2), "?");
    EXPECT_STREQ(KDataType::Find("ColorAndAlpha")->GetChannelName(3), "a");
    EXPECT_STREQ(gKDataTypeTime->GetChannelName(0), "?");
    EXPECT_EQ(gKDataTypeNumber->GetChannelName(0), nullptr);
    EXPECT_EQ(gKDataTypeMatrix->GetChannelName(0), nullptr);
    EXPECT_EQ(KDataType::Find("Matrix Rotation")->GetComponentCount(), 16);
}

TEST(KDataTypeRegistry, KeepsItsOwnCopyOfANameAndLeavesWhenDestroyed) {
    {
        std::string temporary = "Custom Speed";
        KDataTypeNumber custom(temporary.c_str());
        temporary.assign("overwritten!");
        EXPECT_STREQ(custom.GetName(), "Custom Speed");
        EXPECT_EQ(KDataType::Find("Custom Speed"), &custom);
        EXPECT_EQ(KDataType::GetRegisteredCount(), KDataType::kBuiltInCount + 1);
    }
    EXPECT_EQ(KDataType::Find("Custom Speed"), nullptr);
    EXPECT_EQ(KDataType::GetRegisteredCount(), KDataType::kBuiltInCount);
}

TEST(KDataTypeRegistry, RefusesTypesBeyondItsCapacity) {
    std::vector<std::unique_ptr<KDataType>> extra;
    for (int i = 0; i < 3; ++i) {
        extra.push_back(std::make_unique<KDataTypeNumber>(("Extra " + std::to_string(i)).c_str()));
    }
    ASSERT_EQ(KDataType::GetRegisteredCount(), KDataType::kRegistryCapacity);
    KDataTypeVector overflow("Overflow");
    EXPECT_EQ(KDataType::GetRegisteredCount(), KDataType::kRegistryCapacity);
    EXPECT_EQ(KDataType::Find("Overflow"), nullptr);
    // A refused type of a known name gets the registered one back.
    KDataTypeNumber again("Number");
    EXPECT_EQ(KDataType::Register(&again), gKDataTypeNumber);
    EXPECT_EQ(KDataType::Find("Number"), gKDataTypeNumber);
    extra.clear();
    EXPECT_EQ(KDataType::GetRegisteredCount(), KDataType::kBuiltInCount);
}

TEST(KDataTypeRegistry, ASecondTypeOfANameGoesBesideTheFirst) {
    KDataType* second = new KDataTypeNumber("Weight");
    EXPECT_EQ(KDataType::GetRegisteredCount(), KDataType::kBuiltInCount + 1);
    EXPECT_EQ(KDataType::Find("Weight"), gKDataTypeWeight);
    delete second;
    EXPECT_EQ(KDataType::Find("Weight"), gKDataTypeWeight);
}

TEST(KDataTypeText, ParsesVectorsStrictly) {
    double v[3] = {};
    EXPECT_TRUE(gKDataTypeVector->FromString("{1,2,3}", v));
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(v[2], 3.0);
    EXPECT_TRUE(gKDataTypeVector->FromString("{1, 2, 3}", v));
    double partial[3] = {9, 9, 9};
    EXPECT_FALSE(gKDataTypeVector->FromString("{1 ,2,3}", partial));
    EXPECT_EQ(partial[0], 1.0);  // read before the failure
    EXPECT_FALSE(gKDataTypeVector->FromString("{1,2}", v));
    EXPECT_FALSE(gKDataTypeVector->FromString("1,2,3}", v));
    EXPECT_FALSE(gKDataTypeVector->FromString("{1,2,3", v));
    EXPECT_FALSE(gKDataTypeVector->FromString("{1,,3}", v));
    EXPECT_FALSE(gKDataTypeVector->FromString(nullptr, v));
    double q[4] = {};
    EXPECT_TRUE(gKDataTypeQuaternion->FromString("{-0.5,+2.5e1,3,4}", q));
    EXPECT_EQ(q[0], -0.5);
    EXPECT_EQ(q[1], 25.0);
}

TEST(KDataTypeText, FormatsWithTheDecimalCountAndBoundsTheBuffer) {
    EXPECT_EQ(KDataType::GetDecimalCount(), 2);
    const double colour[3] = {0.5, 0.25, 1.0};
    EXPECT_EQ(Format(gKDataTypeColor, colour), "{0.50,0.25,1.00}");
    EXPECT_EQ(Format(gKDataTypeColor, colour, 4), "{0.");
    const double number = -1234.5678;
    EXPECT_EQ(Format(gKDataTypeNumber, &number), "-1234.57");
    EXPECT_EQ(Format(gKDataTypeNumber, &number, 1), "");
    char buffer[8];
    EXPECT_FALSE(gKDataTypeNumber->ToString(buffer, 0, &number));
    EXPECT_FALSE(gKDataTypeNumber->ToString(nullptr, 8, &number));
    const double huge[4] = {1e300, -1e300, 0, 0};
    // "1" and 300 zeros, the same negated, two "0.00", three commas, two braces.
    EXPECT_EQ(Format(gKDataTypeVector4, huge, 1000).size(), 304u + 305u + 8u + 3u + 2u);
}

TEST(KDataTypeText, AMatrixReadsBackWhatItWrote) {
    double m[16];
    for (int i = 0; i < 16; ++i) {
        m[i] = i * 1.5 - 4.0;
    }
    const std::string text = Format(gKDataTypeMatrixTransformation, m, 1024);
    double back[16] = {};
    ASSERT_TRUE(gKDataTypeMatrix->FromString(text.c_str(), back));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(back[i], m[i]) << i;
    }
    double zero[16];
    std::fill(zero, zero + 16, 7.0);
    EXPECT_TRUE(gKDataTypeMatrix->GetZeroValue(zero));
    EXPECT_EQ(zero[0], 0.0);
    EXPECT_EQ(zero[15], 0.0);
}

TEST(KDataTypeText, NumbersAndTimes) {
    double value = 7.0;
    EXPECT_TRUE(gKDataTypeNumber->FromString("  2.5xyz", &value));
    EXPECT_EQ(value, 2.5);
    EXPECT_TRUE(gKDataTypeNumber->FromString("none", &value));
    EXPECT_EQ(value, 0.0);

    KTime time(KTime::kTicksPerSecond);
    char text[64];
    ASSERT_TRUE(gKDataTypeTime->ToString(text, sizeof(text), &time));
    KTime back(5);
    EXPECT_TRUE(gKDataTypeTime->FromString(text, &back));
    EXPECT_EQ(back, time);
    EXPECT_TRUE(gKDataTypeTime->GetZeroValue(&back));
    EXPECT_EQ(back, KTime(0));
    EXPECT_FALSE(KDataType("Plain", false).GetZeroValue(&value));
}

TEST(KPropertyTypeNames, MapNamesAndDataTypesToCodes) {
    EXPECT_EQ(KPropertyTypeFromName("Vector3D"), eKPropertyVector3D);
    EXPECT_EQ(KPropertyTypeFromName("KTime"), eKPropertyTime);
    EXPECT_EQ(KPropertyTypeFromName("Matrix4x4"), eKPropertyMatrix4x4);
    EXPECT_EQ(KPropertyTypeFromName("vector3d"), eKPropertyUnknown);
    EXPECT_EQ(KPropertyTypeFromName(nullptr), eKPropertyUnknown);

    EXPECT_EQ(PropertyTypeFromDataType(nullptr), eKPropertyUnknown);
    EXPECT_EQ(PropertyTypeFromDataType(gKDataTypeAction), eKPropertyAction);
    EXPECT_EQ(PropertyTypeFromDataType(gKDataTypeBool), eKPropertyBool);
    EXPECT_EQ(PropertyTypeFromDataType(gKDataTypeEnum), eKPropertyEnum);
    EXPECT_EQ(PropertyTypeFromDataType(gKDataTypeIntensity), eKPropertyDouble);
    EXPECT_EQ(PropertyTypeFromDataType(gKDataTypeColor), eKPropertyColorRGB);
    EXPECT_EQ(PropertyTypeFromDataType(gKDataTypeLclRotation), eKPropertyVector3D);
    EXPECT_EQ(PropertyTypeFromDataType(gKDataTypeLclQuaternion), eKPropertyVector4D);
    EXPECT_EQ(PropertyTypeFromDataType(gKDataTypeMatrixScaling), eKPropertyMatrix4x4);
    EXPECT_EQ(PropertyTypeFromDataType(gKDataTypeTime), eKPropertyTime);
}

TEST(KNumberText, ReadsAndWritesWithoutTheLocale) {
    double d = 0;
    const char* end = nullptr;
    EXPECT_TRUE(ReadLeadingDouble(" \t-12.75e1,", d, &end));
    EXPECT_EQ(d, -127.5);
    EXPECT_EQ(*end, ',');
    EXPECT_FALSE(ReadLeadingDouble("+-1", d));
    EXPECT_FALSE(ReadLeadingDouble(".", d));
    EXPECT_TRUE(ReadLeadingDouble("1e999", d));
    EXPECT_TRUE(std::isinf(d));
    EXPECT_TRUE(ReadLeadingDouble("-1e-999", d));
    EXPECT_EQ(d, 0.0);

    int i = 5;
    EXPECT_TRUE(ReadLeadingInt("  -42abc", i));
    EXPECT_EQ(i, -42);
    EXPECT_TRUE(ReadLeadingInt("99999999999999999999", i));
    EXPECT_EQ(i, 2147483647);
    EXPECT_FALSE(ReadLeadingInt("x1", i));
    EXPECT_EQ(i, 0);

    char text[16];
    EXPECT_EQ(FormatFixed(text, sizeof(text), 3.14159, 3), 5);
    EXPECT_STREQ(text, "3.142");
    EXPECT_EQ(FormatFixed(text, 3, 3.14159, 3), 2);
    EXPECT_STREQ(text, "3.");
}
