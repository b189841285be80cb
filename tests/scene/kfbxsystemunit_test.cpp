#include <fbxfilesdk/scene/KFbxSystemUnit.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

namespace {

// Read from this unit's own static initialiser: the library's unit may start
// later, so only constant initialisation makes these values visible here.
struct SeenBeforeMain {
    double metre = KFbxSystemUnit::m.GetScaleFactor();
    double mile = KFbxSystemUnit::Mile.GetScaleFactor();
    double tableMillimetre = KFbxSystemUnit::sPredefinedUnits[0].GetScaleFactor();
    double tableYard = KFbxSystemUnit::sPredefinedUnits[7].GetScaleFactor();
};
const SeenBeforeMain gSeenBeforeMain;

TEST(KFbxSystemUnitTest, NamedUnitsInCentimetres) {
    EXPECT_EQ(KFbxSystemUnit::mm.GetScaleFactor(), 0.1);
    EXPECT_EQ(KFbxSystemUnit::cm.GetScaleFactor(), 1.0);
    EXPECT_EQ(KFbxSystemUnit::m.GetScaleFactor(), 100.0);
    EXPECT_EQ(KFbxSystemUnit::km.GetScaleFactor(), 100000.0);
    EXPECT_EQ(KFbxSystemUnit::Inch.GetScaleFactor(), 2.54);
    EXPECT_EQ(KFbxSystemUnit::Foot.GetScaleFactor(), 30.48);
    EXPECT_EQ(KFbxSystemUnit::Mile.GetScaleFactor(), 160934.721869444);
    EXPECT_EQ(KFbxSystemUnit::Yard.GetScaleFactor(), 91.44);
    EXPECT_EQ(KFbxSystemUnit(42.5).GetScaleFactor(), 42.5);
}

TEST(KFbxSystemUnitTest, TableRunsFromMillimetreToYard) {
    const double expected[] = {0.1, 1.0, 100.0, 100000.0, 2.54, 30.48, 160934.721869444, 91.44};
    ASSERT_EQ(KFbxSystemUnit::sPredefinedUnitCount, 8);
    for (int i = 0; i < KFbxSystemUnit::sPredefinedUnitCount; ++i)
        EXPECT_EQ(KFbxSystemUnit::sPredefinedUnits[i].GetScaleFactor(), expected[i]) << "entry " << i;
}

TEST(KFbxSystemUnitTest, UnitsAreSetBeforeAnyStaticInitialiserRuns) {
    EXPECT_EQ(gSeenBeforeMain.metre, 100.0);
    EXPECT_EQ(gSeenBeforeMain.mile, 160934.721869444);
    EXPECT_EQ(gSeenBeforeMain.tableMillimetre, 0.1);
    EXPECT_EQ(gSeenBeforeMain.tableYard, 91.44);
}

}  // namespace
