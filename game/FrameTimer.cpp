#include <game/FrameTimer.h>

#include <chrono>
#include <thread>

namespace {
using FrameClock = std::chrono::steady_clock;
}

std::int64_t readFrameCounter() {
    return static_cast<std::int64_t>(FrameClock::now().time_since_epoch().count());
}

std::int64_t frameCounterFrequency() {
    return static_cast<std::int64_t>(FrameClock::period::den / FrameClock::period::num);
}

void sleepMilliseconds(int milliseconds) {
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}
