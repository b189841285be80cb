#pragma once

#include <cstdint>
#include <vector>

// 16-bit mono PCM to file images; an empty result means the encoder failed.
std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples, int sampleRate);
std::vector<std::uint8_t> encodeOgg(const std::vector<std::int16_t>& samples, int sampleRate);
std::vector<std::uint8_t> encodeMp3(const std::vector<std::int16_t>& samples, int sampleRate);
