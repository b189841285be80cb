#pragma once

#include <cstdint>
#include <vector>

// The game's sound effects, synthesized as 16-bit mono samples.
inline constexpr int soundRate = 44100;

std::vector<std::int16_t> jumpSound();
std::vector<std::int16_t> fireballShootSound();
std::vector<std::int16_t> firesalveShootSound();
std::vector<std::int16_t> creatureExplodeSound();
std::vector<std::int16_t> teapotCollectedSound();
std::vector<std::int16_t> wizardHitSound(int variant);        // 1 to 6
std::vector<std::int16_t> outsideWarningSound(int variant);   // 1 to 12
