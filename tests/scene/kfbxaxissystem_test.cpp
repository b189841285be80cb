#include <fbxfilesdk/scene/KFbxAxisSystem.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

namespace {

struct Observed {
    int up;
    int sign;
    int coord;
};

Observed Observe(const KFbxAxisSystem& system) {
    Observed observed{};
    observed.up = system.GetUpVector(observed.sign);
    observed.coord = system.GetCoordSystem();
    return observed;
}

// Read from this unit's own static initialiser: the library's unit may start
// later, so only constant initialisation makes these values visible here.
const Observed gZUpSeenBeforeMain = Observe(KFbxAxisSystem::ZUpRightHandedA);
const Observed gLeftSeenBeforeMain = Observe(KFbxAxisSystem::YUpLeftHandedB);

TEST(KFbxAxisSystemTest, UpVectorGivesAxisAndSign) {
    for (int axis = 1; axis <= 3; ++axis) {
        int sign = 0;
        EXPECT_EQ(KFbxAxisSystem(axis, 1, 0).GetUpVector(sign), axis);
        EXPECT_EQ(sign, 1);
        sign = 0;
        EXPECT_EQ(KFbxAxisSystem(-axis, 1, 0).GetUpVector(sign), axis);
        EXPECT_EQ(sign, -1);
    }
}

TEST(KFbxAxisSystemTest, CoordSystemIsNonzeroOnlyWhenLeftHanded) {
    EXPECT_EQ(KFbxAxisSystem(2, 2, 0).GetCoordSystem(), 0);
    EXPECT_NE(KFbxAxisSystem(2, 2, 1).GetCoordSystem(), 0);
}

TEST(KFbxAxisSystemTest, PredefinedSystems) {
    struct Case {
        const KFbxAxisSystem* system;
        int up;
        bool leftHanded;
    };
    const Case cases[] = {
        {&KFbxAxisSystem::ZUpRightHandedA, 3, false}, {&KFbxAxisSystem::ZUpRightHandedB, 3, false},
        {&KFbxAxisSystem::YUpRightHandedA, 2, false}, {&KFbxAxisSystem::YUpRightHandedB, 2, false},
        {&KFbxAxisSystem::YUpRightHandedC, 2, false}, {&KFbxAxisSystem::YUpLeftHandedA, 2, true},
        {&KFbxAxisSystem::YUpLeftHandedB, 2, true},
    };
    for (const Case& c : cases) {
        const Observed observed = Observe(*c.system);
        EXPECT_EQ(observed.up, c.up);
        EXPECT_EQ(observed.sign, 1);
        EXPECT_EQ(observed.coord != 0, c.leftHanded);
    }
}

TEST(KFbxAxisSystemTest, SystemsAreSetBeforeAnyStaticInitialiserRuns) {
    EXPECT_EQ(gZUpSeenBeforeMain.up, 3);
    EXPECT_EQ(gZUpSeenBeforeMain.sign, 1);
    EXPECT_EQ(gZUpSeenBeforeMain.coord, 0);
    EXPECT_EQ(gLeftSeenBeforeMain.up, 2);
    EXPECT_NE(gLeftSeenBeforeMain.coord, 0);
}

}  // namespace
