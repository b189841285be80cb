#include <platform/sound/FSound.h>

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A mono 16-bit WAV of a tone, written field by field.
void writeWav(const fs::path& path, double seconds) {
    const auto count = static_cast<std::uint32_t>(seconds * 22050);
    std::vector<std::uint8_t> bytes;
    auto u16 = [&bytes](std::uint16_t v) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&u16](std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xFFFF));
        u16(static_cast<std::uint16_t>(v >> 16));
    };
    auto tag = [&bytes](const char* t) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(t[i]));
        }
    };
    tag("RIFF");
    u32(36 + count * 2);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    tag("data");
    u32(count * 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000.0 * std::sin(i * 0.1))));
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

class FSoundTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = fs::temp_directory_path() / ("fsound-test-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        writeWav(folder_ / "tone.wav", 3.0);
        std::FILE* garbage = std::fopen((folder_ / "garbage.wav").c_str(), "wb");
        std::fputs("this is not a sound file at all, only some text", garbage);
        std::fclose(garbage);
        ASSERT_TRUE(FSOUND_Init(44100, 16, 0));
    }
    static void TearDownTestSuite() { fs::remove_all(folder_); }

    static std::string path(const char* name) { return (folder_ / name).string(); }

    static inline fs::path folder_;
};

}  // namespace

TEST(FSoundVersion, ReportsTheVersionTheGameAsksFor) {
    EXPECT_EQ(FSOUND_GetVersion(), 3.74f);
}

TEST_F(FSoundTest, LoadsAndPlaysASample) {
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(-1, path("tone.wav").c_str(), 0x130, 0, 0);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NONE);
    const int channel = FSOUND_PlaySound(-1, sample);
    EXPECT_GE(channel, 0);
    EXPECT_LT(channel, 16);
    EXPECT_TRUE(FSOUND_SetVolume(channel, 153));
    Mix_HaltChannel(-1);
}

TEST_F(FSoundTest, VolumesMapOntoTheMixerScale) {
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(-1, path("tone.wav").c_str(), 0x130, 0, 0);
    ASSERT_NE(sample, nullptr);
    const int channel = FSOUND_PlaySound(-1, sample);
    ASSERT_GE(channel, 0);
    const std::pair<int, int> volumes[] = {{0, 0}, {255, MIX_MAX_VOLUME}, {256, MIX_MAX_VOLUME},
                                           {1000, MIX_MAX_VOLUME}, {-7, 0}, {128, 64}};
    for (const auto& [given, mixed] : volumes) {
        EXPECT_TRUE(FSOUND_SetVolume(channel, given));
        EXPECT_EQ(Mix_Volume(channel, -1), mixed) << given;
    }
    EXPECT_FALSE(FSOUND_SetVolume(-1, 100));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    EXPECT_FALSE(FSOUND_SetVolume(16, 100));
    Mix_HaltChannel(-1);
}

TEST_F(FSoundTest, SixteenChannelsPlayAtOnce) {
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(-1, path("tone.wav").c_str(), 0x130, 0, 0);
    ASSERT_NE(sample, nullptr);
    std::vector<int> channels;
    for (int i = 0; i < 16; ++i) {
        channels.push_back(FSOUND_PlaySound(-1, sample));
        EXPECT_GE(channels.back(), 0);
    }
    std::sort(channels.begin(), channels.end());
    EXPECT_EQ(std::unique(channels.begin(), channels.end()), channels.end());
    EXPECT_EQ(FSOUND_PlaySound(-1, sample), -1);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_CHANNEL_ALLOC);
    Mix_HaltChannel(-1);
}

TEST_F(FSoundTest, BadFilesAndArgumentsFailWithTheirCodes) {
    EXPECT_EQ(FSOUND_Sample_Load(-1, path("missing.wav").c_str(), 0x130, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_FILE_NOTFOUND);
    EXPECT_EQ(FSOUND_Sample_Load(-1, path("garbage.wav").c_str(), 0x130, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_FILE_FORMAT);
    EXPECT_EQ(FSOUND_Sample_Load(-1, nullptr, 0x130, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    EXPECT_EQ(FSOUND_PlaySound(-1, nullptr), -1);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
}

TEST_F(FSoundTest, ASecondStartKeepsLoadedSamples) {
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(-1, path("tone.wav").c_str(), 0x130, 0, 0);
    ASSERT_NE(sample, nullptr);
    EXPECT_TRUE(FSOUND_Init(44100, 16, 0));
    EXPECT_GE(FSOUND_PlaySound(-1, sample), 0);
    Mix_HaltChannel(-1);
}

namespace {

std::array<void (*)(int), 2> stopSignalHandlers() {
    std::array<void (*)(int), 2> handlers{};
    const int signals[] = {SIGINT, SIGTERM};
    for (std::size_t i = 0; i < handlers.size(); ++i) {
        struct sigaction current {};
        sigaction(signals[i], nullptr, &current);
        handlers[i] = current.sa_handler;
    }
    return handlers;
}

}  // namespace

// Ctrl+C and kill must keep doing what the program made them do: the audio
// library would otherwise take them over for events nobody reads.
TEST(FSoundSignals, OpeningTheOutputLeavesStopSignalsAlone) {
    FSOUND_Close();
    const auto before = stopSignalHandlers();
    ASSERT_TRUE(FSOUND_Init(44100, 16, 0));
    EXPECT_EQ(stopSignalHandlers(), before);
    FSOUND_Close();
    EXPECT_EQ(FSOUND_PlaySound(-1, nullptr), -1);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_UNINITIALIZED) << "closed";
    ASSERT_TRUE(FSOUND_Init(44100, 16, 0)) << "and opened again";
    EXPECT_EQ(stopSignalHandlers(), before);
}
