#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace testfiles {

// Runs the call and returns what it wrote to standard output.
template <class F>
std::string printed(F&& call) {
    testing::internal::CaptureStdout();
    call();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

}  // namespace testfiles
