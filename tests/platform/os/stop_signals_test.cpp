#include <platform/os/StopSignals.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace qalimor::os;

namespace {

void (*disposition(int signal))(int) {
    struct sigaction current {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler;
}

}  // namespace

// Each case runs in a child process of its own: the dispositions and the
// note are the whole process's.

TEST(StopSignals, TheFirstSignalIsNotedAndTheSecondEndsTheProcess) {
    EXPECT_EXIT(
        {
            CatchStopSignals();
            if (StopSignal() != 0) {
                std::_Exit(1);
            }
            std::raise(SIGTERM);
            if (StopSignal() != SIGTERM) {
                std::_Exit(2);
            }
            std::raise(SIGINT);  // either kind ends it now
            std::_Exit(3);
        },
        testing::KilledBySignal(SIGINT), "");
}

TEST(StopSignals, AProgramThatDoesNotEndWithinItsGraceIsEndedByTheSignal) {
    EXPECT_EXIT(
        {
            CatchStopSignals();
            std::raise(SIGTERM);
            // Busy elsewhere, never looking at the note.
            for (int second = 0; second < 10; ++second) {
                sleep(1);
            }
            std::_Exit(1);
        },
        testing::KilledBySignal(SIGTERM), "");
}

TEST(StopSignals, EndingBySignalLooksLikeTheSignalsOwnEndAndKeepsTheOutput) {
    const std::string path = testing::TempDir() + "stop-signals-output.txt";
    EXPECT_EXIT(
        {
            CatchStopSignals();
            std::raise(SIGINT);
            std::FILE* file = std::fopen(path.c_str(), "w");
            std::fputs("written before the end\n", file);
            EndBySignal(StopSignal());
        },
        testing::KilledBySignal(SIGINT), "");
    std::ifstream written(path);
    std::string line;
    EXPECT_TRUE(std::getline(written, line));
    EXPECT_EQ(line, "written before the end");
    std::remove(path.c_str());
    EXPECT_EXIT(
        {
            CatchStopSignals();
            EndBySignal(SIGTERM);
        },
        testing::KilledBySignal(SIGTERM), "");
}

TEST(StopSignals, ASignalIgnoredAtTheStartStaysIgnored) {
    EXPECT_EXIT(
        {
            std::signal(SIGINT, SIG_IGN);
            CatchStopSignals();
            std::raise(SIGINT);
            std::_Exit(StopSignal() == 0 && disposition(SIGINT) == SIG_IGN && disposition(SIGTERM) != SIG_DFL
                           ? 0
                           : 1);
        },
        testing::ExitedWithCode(0), "");
}
