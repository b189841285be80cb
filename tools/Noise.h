#pragma once

#include <cstdint>

// Smooth value noise in [0, 1], deterministic for a seed, and its fractal
// sums (octaves of doubling frequency and halving weight, also in [0, 1]).
float valueNoise(double x, double y, std::uint32_t seed);
float valueNoise(double x, double y, double z, std::uint32_t seed);
float fractalNoise(double x, double y, int octaves, std::uint32_t seed);
float fractalNoise(double x, double y, double z, int octaves, std::uint32_t seed);

// A small deterministic generator for sample noise and scattered details.
class NoiseSource {
public:
    explicit NoiseSource(std::uint32_t seed) : state_((seed * 2654435761u) | 1u) {}
    float uniform();   // [0, 1)
    float signedUnit();  // [-1, 1)

private:
    std::uint32_t state_;
};
