#include <tools/SoundSynth.h>

#include <tools/Noise.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

std::vector<float> silence(double seconds) {
    return std::vector<float>(static_cast<std::size_t>(seconds * soundRate), 0.0f);
}

double timeOf(std::size_t i) {
    return static_cast<double>(i) / soundRate;
}

// Attack ramp, then exponential decay.
float envelope(double t, double attack, double decay) {
    if (t < attack) {
        return static_cast<float>(t / attack);
    }
    return static_cast<float>(std::exp(-(t - attack) / decay));
}

// Scales to a common peak and rounds to 16 bits.
std::vector<std::int16_t> finish(const std::vector<float>& wave) {
    float peak = 0.0f;
    for (float v : wave) {
        peak = std::max(peak, std::fabs(v));
    }
    const float gain = peak > 0.0f ? 0.8f / peak : 0.0f;
    std::vector<std::int16_t> out(wave.size());
    for (std::size_t i = 0; i < wave.size(); ++i) {
        out[i] = static_cast<std::int16_t>(std::lround(std::clamp(wave[i] * gain, -1.0f, 1.0f) * 32767.0f));
    }
    return out;
}

// One-pole low-pass filter over noise; the cutoff follows a curve in time.
template <typename Cutoff>
void addFilteredNoise(std::vector<float>& wave, std::uint32_t seed, float level, Cutoff cutoff, double attack,
                      double decay) {
    NoiseSource noise(seed);
    float state = 0.0f;
    for (std::size_t i = 0; i < wave.size(); ++i) {
        const double t = timeOf(i);
        const float k = static_cast<float>(1.0 - std::exp(-twoPi * cutoff(t) / soundRate));
        state += k * (noise.signedUnit() - state);
        wave[i] += level * state * envelope(t, attack, decay);
    }
}

// A tone whose frequency glides from start to end over the wave.
template <typename Shape>
void addGlide(std::vector<float>& wave, double start, double end, float level, Shape shape, double attack,
              double decay) {
    double phase = 0.0;
    const double length = static_cast<double>(wave.size());
    for (std::size_t i = 0; i < wave.size(); ++i) {
        const double f = start + (end - start) * static_cast<double>(i) / length;
        phase += f / soundRate;
        wave[i] += level * static_cast<float>(shape(phase - std::floor(phase))) * envelope(timeOf(i), attack, decay);
    }
}

double sine(double p) {
    return std::sin(twoPi * p);
}

double saw(double p) {
    return 2.0 * p - 1.0;
}

double square(double p) {
    return p < 0.5 ? 1.0 : -1.0;
}

}  // namespace

std::vector<std::int16_t> jumpSound() {
    auto wave = silence(0.25);
    addGlide(wave, 300.0, 900.0, 1.0f, sine, 0.005, 0.08);
    return finish(wave);
}

std::vector<std::int16_t> fireballShootSound() {
    auto wave = silence(0.6);
    addFilteredNoise(wave, 11, 1.0f, [](double t) { return 4000.0 * std::exp(-t * 5.0) + 200.0; }, 0.02, 0.2);
    addGlide(wave, 140.0, 50.0, 0.3f, sine, 0.01, 0.25);
    return finish(wave);
}

std::vector<std::int16_t> firesalveShootSound() {
    auto wave = silence(0.2);
    addGlide(wave, 1200.0, 300.0, 0.5f, square, 0.002, 0.05);
    addFilteredNoise(wave, 23, 0.6f, [](double) { return 3000.0; }, 0.002, 0.04);
    return finish(wave);
}

std::vector<std::int16_t> creatureExplodeSound() {
    auto wave = silence(1.0);
    addFilteredNoise(wave, 37, 1.0f, [](double t) { return 2500.0 * std::exp(-t * 3.0) + 80.0; }, 0.005, 0.3);
    addGlide(wave, 60.0, 30.0, 0.6f, sine, 0.005, 0.35);
    return finish(wave);
}

std::vector<std::int16_t> teapotCollectedSound() {
    auto wave = silence(0.55);
    const double notes[] = {523.25, 659.25, 783.99, 1046.5};
    for (int n = 0; n < 4; ++n) {
        const auto start = static_cast<std::size_t>(n * 0.08 * soundRate);
        for (std::size_t i = start; i < wave.size(); ++i) {
            const double t = timeOf(i - start);
            const double tone = std::sin(twoPi * notes[n] * t) + 0.3 * std::sin(twoPi * 2.0 * notes[n] * t);
            wave[i] += static_cast<float>(0.5 * tone) * envelope(t, 0.003, 0.12);
        }
    }
    return finish(wave);
}

std::vector<std::int16_t> wizardHitSound(int variant) {
    auto wave = silence(0.3);
    const double pitch = 120.0 + 18.0 * variant;
    addGlide(wave, pitch, pitch * 0.6, 1.0f, saw, 0.01, 0.1);
    // Soften the buzz into a grunt.
    float state = 0.0f;
    for (float& v : wave) {
        state += 0.12f * (v - state);
        v = state;
    }
    addFilteredNoise(wave, 50u + static_cast<std::uint32_t>(variant), 0.15f, [](double) { return 1500.0; }, 0.005,
                     0.05);
    return finish(wave);
}

std::vector<std::int16_t> outsideWarningSound(int variant) {
    auto wave = silence(0.5);
    const double high = 600.0 + 40.0 * variant;
    const double low = high * 0.75;
    double phase = 0.0;
    for (std::size_t i = 0; i < wave.size(); ++i) {
        const double t = timeOf(i);
        const int beep = static_cast<int>(t / 0.125);
        phase += (beep % 2 == 0 ? high : low) / soundRate;
        const double inBeep = t - beep * 0.125;
        const float gate = inBeep < 0.1 ? std::min(1.0f, static_cast<float>(inBeep / 0.005)) : 0.0f;
        wave[i] = 0.6f * static_cast<float>(square(phase - std::floor(phase))) * gate;
    }
    return finish(wave);
}
