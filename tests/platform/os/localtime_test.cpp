#include <platform/os/LocalTime.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

using namespace qalimor::os;

namespace {

// Runs the conversions of one test in a fixed time zone.
class FixedZone : public ::testing::Test {
protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        mHadZone = zone != nullptr;
        if (zone) mZone = zone;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (mHadZone) {
            setenv("TZ", mZone.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    bool mHadZone = false;
    std::string mZone;
};

}  // namespace

TEST_F(FixedZone, InstantBecomesCalendarFields) {
    // 2021-03-03 14:05:09.250 UTC
    LocalDateTime when;
    ASSERT_TRUE(LocalTimeAt(1614780309, 250000000, when));
    EXPECT_EQ(when.year, 2021);
    EXPECT_EQ(when.month, 3);
    EXPECT_EQ(when.day, 3);
    EXPECT_EQ(when.hour, 14);
    EXPECT_EQ(when.minute, 5);
    EXPECT_EQ(when.second, 9);
    EXPECT_EQ(when.millisecond, 250);
}

TEST_F(FixedZone, BadNanosecondsLeaveTheRecordAlone) {
    LocalDateTime when;
    when.year = 7;
    EXPECT_FALSE(LocalTimeAt(0, 1000000000, when));
    EXPECT_FALSE(LocalTimeAt(0, -1, when));
    EXPECT_EQ(when.year, 7);
}
