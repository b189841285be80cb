// What start-up and the first SDK manager of a process leave behind. One test
// only: it reads the process's state before any manager exists.
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

TEST(SdkStartUp, TheFirstManagerFillsTheHandlesAndTheTypeIdsStayPinned) {
    // Before any manager: the internal tables are complete, the public handles null.
    EXPECT_NE(KDataType::Find("Number"), nullptr);
    EXPECT_EQ(KFbxPlug::ClassId, KFbxClassId());
    EXPECT_EQ(KFbxObject::ClassId, KFbxClassId());
    EXPECT_FALSE(KFbxDataTypesAreBuilt());
    EXPECT_EQ(gKFbxDataTypeNumber, KFbxDataType());
    EXPECT_EQ(gKFbxDataTypeLclTranslation, KFbxDataType());

    KFbxSdkManager* first = CreateSdkManager();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(KFbxDataTypesAreBuilt());
    EXPECT_STREQ(gKFbxDataTypeBool.GetName(), "Bool");
    EXPECT_EQ(gKFbxDataTypeBool.GetType(), eFbxValueBool);
    EXPECT_STREQ(gKFbxDataTypeNumber.GetName(), "Number");
    EXPECT_EQ(gKFbxDataTypeNumber.GetType(), eFbxValueDouble);
    EXPECT_STREQ(gKFbxDataTypeLclTranslation.GetName(), "Lcl Translation");
    EXPECT_EQ(gKFbxDataTypeLclTranslation.GetType(), eFbxValueDouble3);
    EXPECT_EQ(KFbxGetDataTypeByName("Number"), gKFbxDataTypeNumber);
    const KFbxDataType number = gKFbxDataTypeNumber;
    const KFbxDataType matrix = gKFbxDataTypeMatrix;

    // The plug class ids, as the manager's objects and list carry them.
    KFbxPlug* object = CreateObjectOfClass(first, KFbxObject::ClassId, "o");
    ASSERT_NE(object, nullptr);
    KPlug* twin = object->GetInternalPlug();
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->GetTypeId(), 16);
    EXPECT_STREQ(twin->GetClassName(), "KFbxObject_internal");
    ASSERT_EQ(twin->GetDstCount(), 1);
    EXPECT_EQ(twin->GetDst(0)->GetTypeId(), 19);
    EXPECT_STREQ(twin->GetDst(0)->GetClassName(), "KObjectList");
    EXPECT_TRUE(twin->GetDst(0)->IsType(18));
    // Destroyed with its object.
    auto* property = new KFbxProperty(static_cast<KFbxObject*>(object), "p", gKFbxDataTypeNumber, "");
    ASSERT_NE(property->GetInternalPlug(), nullptr);
    EXPECT_EQ(property->GetInternalPlug()->GetTypeId(), 3);
    EXPECT_EQ(gKPropertyClassInfo.GetId(), 20);
    EXPECT_EQ(gKFCurveFilterKeyReducerClassInfo.GetId(), 67);
    EXPECT_EQ(KPlugClassRegistry::GetProcess().GetCounter(), 68);

    // Later managers, even after all died, build nothing again.
    KFbxSdkManager* second = CreateSdkManager();
    ASSERT_NE(second, nullptr);
    delete first;
    delete second;
    KFbxSdkManager* later = CreateSdkManager();
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(gKFbxDataTypeNumber, number);
    EXPECT_EQ(gKFbxDataTypeMatrix, matrix);
    EXPECT_EQ(KPlugClassRegistry::GetProcess().GetCounter(), 68);
    delete later;
}
