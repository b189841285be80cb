#pragma once

// For test programs that draw with GL in their own process: one private X
// server for the whole process, and a leak check made while the GL driver
// is still loaded. At exit the driver unloads itself and leaves memory that
// the leak checker can no longer attribute, so the exit-time check is off
// in these programs and each suite checks before it ends instead.

#include "XvfbServer.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

extern "C" __attribute__((used)) const char* __asan_default_options() {
    return "leak_check_at_exit=0";
}

// The sound library's desktop-bus connection keeps memory it no longer points to.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

namespace testfiles {

// Starts the server on first use. It is never stopped from here: it ends
// with the test process, after every GL call of the process has been made.
inline bool startTestDisplay() {
    static XvfbServer* server = new XvfbServer;
    return server->running();
}

inline void expectNoLeaks() {
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "memory leaked (see the report above)";
#endif
}

}  // namespace testfiles
