#pragma once

#include <cstdint>

// The high-resolution counter the frame timing reads, over the monotonic
// clock of the standard library.
std::int64_t readFrameCounter();

// Counts per second of readFrameCounter.
std::int64_t frameCounterFrequency();

// Sleeps whole milliseconds; zero or less returns at once.
void sleepMilliseconds(int milliseconds);
