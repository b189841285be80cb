#include <tools/Noise.h>

#include <cmath>

namespace {

float lattice(std::int64_t x, std::int64_t y, std::int64_t z, std::uint32_t seed) {
    std::uint64_t h = seed * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<std::uint64_t>(x) * 0xBF58476D1CE4E5B9ull;
    h ^= static_cast<std::uint64_t>(y) * 0x94D049BB133111EBull;
    h ^= static_cast<std::uint64_t>(z) * 0xD6E8FEB86659FD93ull;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return static_cast<float>(h >> 40) / static_cast<float>(1u << 24);
}

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

}  // namespace

float valueNoise(double x, double y, std::uint32_t seed) {
    return valueNoise(x, y, 0.0, seed);
}

float valueNoise(double x, double y, double z, std::uint32_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const double fz = std::floor(z);
    const auto ix = static_cast<std::int64_t>(fx);
    const auto iy = static_cast<std::int64_t>(fy);
    const auto iz = static_cast<std::int64_t>(fz);
    const double tx = smooth(x - fx);
    const double ty = smooth(y - fy);
    const double tz = smooth(z - fz);
    double planes[2];
    for (int k = 0; k < 2; ++k) {
        const double a = lerp(lattice(ix, iy, iz + k, seed), lattice(ix + 1, iy, iz + k, seed), tx);
        const double b = lerp(lattice(ix, iy + 1, iz + k, seed), lattice(ix + 1, iy + 1, iz + k, seed), tx);
        planes[k] = lerp(a, b, ty);
    }
    return static_cast<float>(lerp(planes[0], planes[1], tz));
}

float fractalNoise(double x, double y, int octaves, std::uint32_t seed) {
    return fractalNoise(x, y, 0.0, octaves, seed);
}

float fractalNoise(double x, double y, double z, int octaves, std::uint32_t seed) {
    double sum = 0.0;
    double weight = 0.5;
    double total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * valueNoise(x, y, z, seed + static_cast<std::uint32_t>(i) * 101u);
        total += weight;
        x *= 2.0;
        y *= 2.0;
        z *= 2.0;
        weight *= 0.5;
    }
    return static_cast<float>(sum / total);
}

float NoiseSource::uniform() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_ >> 8) / static_cast<float>(1u << 24);
}

float NoiseSource::signedUnit() {
    return uniform() * 2.0f - 1.0f;
}
