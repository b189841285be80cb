// A user of the SDK includes one header and gets every public class.
#include <fbxfilesdk/fbxfilesdk.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

TEST(UmbrellaHeader, BringsTheWholeSdkIntoOneTranslationUnit) {
    KString name("Cube");
    KTime second;
    second.SetSecondDouble(1.0);
    KFCurve curve;
    EXPECT_EQ(name.GetLen(), 4);
    EXPECT_EQ(second.Get(), 46186158000LL);
    EXPECT_EQ(curve.KeyGetCount(), 0);
    EXPECT_DOUBLE_EQ(KFbxSystemUnit::m.GetScaleFactor(), 100.0);
}
