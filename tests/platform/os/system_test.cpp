#include <platform/os/System.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace qalimor::os;

TEST(OsSystem, TemporaryDirectoryFollowsTmpdirAndEndsInSlash) {
    const char* saved = std::getenv("TMPDIR");
    const std::string previous = saved ? saved : "";
    setenv("TMPDIR", "/", 1);
    EXPECT_EQ(TemporaryDirectory(), "/");
    setenv("TMPDIR", "/no/such/folder/at/all", 1);
    EXPECT_EQ(TemporaryDirectory(), "/tmp/");
    if (saved) {
        setenv("TMPDIR", previous.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}
