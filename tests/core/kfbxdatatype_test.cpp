#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KString.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

constexpr EFbxValueType kPastStream = static_cast<EFbxValueType>(eFbxValueStream + 1);

// Runs first (tests run in file order): the process has not built its types yet.
TEST(DataTypeTableTest, HandlesAndLookupsAreNullUntilBuilt) {
    if (KFbxDataTypesAreBuilt()) {
        GTEST_SKIP() << "types already built";
    }
    EXPECT_EQ(gKFbxDataTypeBool, KFbxDataType());
    EXPECT_EQ(gKFbxDataTypeIKReachRotation, KFbxDataType());
    EXPECT_EQ(KFbxGetBaseDataType(eFbxValueBool), KFbxDataType());
    EXPECT_EQ(KFbxDataTypeFromTypeName("bool"), KFbxDataType());
    EXPECT_EQ(KFbxGetDataTypeByName("Bool"), KFbxDataType());
    EXPECT_STREQ(KFbxDataTypeToTypeName(KFbxDataType()), "unknown");
}

class DataTypeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(KFbxBuildDataTypes()); }
};

TEST_F(DataTypeTest, BuildFillsEveryHandleOnceWithItsNamedType) {
    struct Expected {
        const KFbxDataType& mHandle;
        const char* mName;
        EFbxValueType mType;
    };
    const Expected expected[] = {
        {gKFbxDataTypeBool, "Bool", eFbxValueBool},
        {gKFbxDataTypeStringList, "stringlist", eFbxValueEnum},
        {gKFbxDataTypeStream, "Stream", eFbxValueStream},
        {gKFbxDataTypeCharPtr, "charptr", eFbxValueString},
        {gKFbxDataTypeEvent, "event", eFbxValueNone},
        {gKFbxDataTypeObject, "object", eFbxValueReference},
        {gKFbxDataTypeLclScaling, "Lcl Scaling", eFbxValueDouble3},
        {gKFbxDataTypeLclQuaternion, "Lcl Quaternion", eFbxValueDouble4},
        {gKFbxDataTypeMatrixScaling, "Matrix Scaling", eFbxValueDouble44},
        {gKFbxDataTypeConeAngle, "Cone angle", eFbxValueDouble},
        {gKFbxDataTypeCameraIndex, "Camera Index", eFbxValueInteger},
        {gKFbxDataTypeLookAt, "Look at", eFbxValueDouble3},
        {gKFbxDataTypeHSB, "HSB", eFbxValueDouble3},
        {gKFbxDataTypeIKReachRotation, "IK Reach Rotation", eFbxValueDouble},
    };
    for (const Expected& entry : expected) {
        EXPECT_STREQ(entry.mHandle.GetName(), entry.mName);
        EXPECT_EQ(entry.mHandle.GetType(), entry.mType) << entry.mName;
        EXPECT_EQ(KFbxGetDataTypeByName(entry.mName), entry.mHandle) << entry.mName;
    }

    const KFbxDataType bool1 = gKFbxDataTypeBool;
    EXPECT_TRUE(KFbxBuildDataTypes());
    EXPECT_EQ(gKFbxDataTypeBool, bool1);
    EXPECT_EQ(KFbxGetDataTypeByName("Bool"), bool1);
}

TEST_F(DataTypeTest, NullDataTypeAndUnknownNames) {
    const KFbxDataType none;
    EXPECT_EQ(none.GetType(), eFbxValueNone);
    EXPECT_STREQ(none.GetName(), "");
    EXPECT_EQ(KFbxGetDataTypeByName("Never Registered"), none);
    EXPECT_EQ(KFbxGetDataTypeByName("bool"), none);
    EXPECT_EQ(KFbxGetDataTypeByName(nullptr), none);
}

TEST_F(DataTypeTest, RegisteringANameAgainReplacesItOnlyInTheMap) {
    const KFbxDataType first = KFbxRegisterDataType("Test Twice", eFbxValueDouble);
    ASSERT_NE(first, KFbxDataType());
    const KFbxDataType second = KFbxRegisterDataType("Test Twice", eFbxValueDouble3);
    ASSERT_NE(second, KFbxDataType());
    EXPECT_NE(first, second);
    EXPECT_EQ(KFbxGetDataTypeByName("Test Twice"), second);
    // The replaced type stays whole for whoever holds it.
    EXPECT_STREQ(first.GetName(), "Test Twice");
    EXPECT_EQ(first.GetType(), eFbxValueDouble);

    const std::string longName(500, 'x');
    const KFbxDataType longType = KFbxRegisterDataType(longName.c_str(), eFbxValueTime);
    EXPECT_EQ(longType.GetName(), longName);
    EXPECT_EQ(KFbxGetDataTypeByName(longName.c_str()), longType);

    EXPECT_EQ(KFbxRegisterDataType(nullptr, eFbxValueBool), KFbxDataType());
    EXPECT_EQ(KFbxRegisterDataType("Bad Type", kPastStream), KFbxDataType());
    EXPECT_EQ(KFbxRegisterDataType("Bad Type", static_cast<EFbxValueType>(-1)), KFbxDataType());
    EXPECT_EQ(KFbxGetDataTypeByName("Bad Type"), KFbxDataType());
}

TEST_F(DataTypeTest, BaseDataTypeOfEachValueType) {
    EXPECT_EQ(KFbxGetBaseDataType(eFbxValueNone), KFbxDataType());
    for (int code = eFbxValueBool; code <= eFbxValueStream; ++code) {
        const KFbxDataType base = KFbxGetBaseDataType(static_cast<EFbxValueType>(code));
        EXPECT_EQ(base.GetType(), code) << base.GetName();
    }
    EXPECT_EQ(KFbxGetBaseDataType(eFbxValueDouble), gKFbxDataTypeNumber);
    EXPECT_EQ(KFbxGetBaseDataType(eFbxValueString), gKFbxDataTypeKString);
    EXPECT_EQ(KFbxGetBaseDataType(eFbxValueReference), gKFbxDataTypeRef);
    EXPECT_EQ(KFbxGetBaseDataType(kPastStream), gKFbxDataTypeAction);
    EXPECT_EQ(KFbxGetBaseDataType(static_cast<EFbxValueType>(eFbxValueStream + 2)), KFbxDataType());
    EXPECT_EQ(KFbxGetBaseDataType(static_cast<EFbxValueType>(-1)), KFbxDataType());
}

TEST_F(DataTypeTest, FileTypeNamesByOwnNameThenByValueType) {
    EXPECT_STREQ(KFbxDataTypeToTypeName(gKFbxDataTypeReal), "double");
    EXPECT_STREQ(KFbxDataTypeToTypeName(gKFbxDataTypeLclTranslation), "ColorRGB");
    EXPECT_STREQ(KFbxDataTypeToTypeName(gKFbxDataTypeStream), "unknown");
    EXPECT_STREQ(KFbxDataTypeToTypeName(gKFbxDataTypeRef), "Reference");
    EXPECT_STREQ(KFbxDataTypeToTypeName(gKFbxDataTypeVector4D), "ColorRGBA");
    EXPECT_STREQ(KFbxDataTypeToTypeName(gKFbxDataTypeMatrixRotation), "matrix4x4");
    EXPECT_STREQ(KFbxDataTypeToTypeName(gKFbxDataTypeCharPtr), "charptr");
    EXPECT_STREQ(KFbxDataTypeToTypeName(gKFbxDataTypeEvent), "event");
    EXPECT_STREQ(KFbxDataTypeToTypeName(KFbxDataType()), "unknown");

    EXPECT_EQ(KFbxDataTypeFromTypeName("double"), gKFbxDataTypeNumber);
    EXPECT_EQ(KFbxDataTypeFromTypeName("Double"), KFbxDataType());
    EXPECT_EQ(KFbxDataTypeFromTypeName(""), KFbxDataType());
    EXPECT_EQ(KFbxDataTypeFromTypeName(nullptr), KFbxDataType());

    // Each file name leads to a type whose file name it is.
    const char* const fileNames[] = {"Action",    "bool",   "int",      "ColorRGB",  "ColorRGBA", "KTime",
                                     "enum",      "double", "Vector3D", "Vector4D",  "Reference", "KString",
                                     "object",    "event",  "stringlist", "float",   "charptr",   "matrix4x4"};
    for (const char* fileName : fileNames) {
        const KFbxDataType dataType = KFbxDataTypeFromTypeName(fileName);
        ASSERT_NE(dataType, KFbxDataType()) << fileName;
        EXPECT_STREQ(KFbxDataTypeToTypeName(dataType), fileName);
    }
}

TEST_F(DataTypeTest, PropertyTypesOfOlderFiles) {
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeMatrix), 7);
    EXPECT_EQ(KFbxGetPropertyTypeName(7), nullptr);
    EXPECT_EQ(KFbxGetPropertyTypeName(-1), nullptr);
    const char* const names[] = {"Unidentified", "Bool", "Real", "Color", "Integer", "Vector", "Enum"};
    for (int code = 0; code < 7; ++code) {
        EXPECT_STREQ(KFbxGetPropertyTypeName(code), names[code]);
    }

    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeColor), 3);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeColorAndAlpha), 3);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeDiffuse), 5);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeVector4D), 5);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeBool), 1);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeCameraIndex), 4);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeFloat), 2);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeShininess), 2);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeStringList), 6);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeKString), 0);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(gKFbxDataTypeTime), 0);
    EXPECT_EQ(KFbxGetPropertyTypeFromDataType(KFbxDataType()), 0);
}

TEST(ValueSizeTest, StreamValuesHoldAWholePointer) {
    EXPECT_EQ(KFbxGetValueSize(eFbxValueStream), static_cast<int>(sizeof(void*)));
    EXPECT_EQ(KFbxGetValueSize(eFbxValueString), static_cast<int>(sizeof(KString)));
    EXPECT_EQ(KFbxGetValueSize(eFbxValueDouble44), 128);
    EXPECT_EQ(KFbxGetValueSize(eFbxValueReference), 1);
    EXPECT_EQ(KFbxGetValueSize(eFbxValueNone), 0);
    EXPECT_EQ(KFbxGetValueSize(kPastStream), 0);
    EXPECT_EQ(KFbxGetValueSize(static_cast<EFbxValueType>(-1)), 0);

    // A stream value buffer of the stated size carries a full 64-bit address.
    std::vector<unsigned char> buffer(static_cast<std::size_t>(KFbxGetValueSize(eFbxValueStream)));
    const auto address = static_cast<std::uintptr_t>(0xFEDCBA9876543210ull & UINTPTR_MAX);
    std::memcpy(buffer.data(), &address, buffer.size());
    std::uintptr_t back = 0;
    std::memcpy(&back, buffer.data(), buffer.size());
    EXPECT_EQ(back, address);
}

}  // namespace
