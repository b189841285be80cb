#include <game/Sound.h>
#include <tools/ResourceGenerator.h>

#include "TestFiles.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// These tests pin the exact console output: on a machine without an audio
// device the sound layer would add its one "sound is off" line, so they use
// the silent driver unless the caller chose one.
const bool silentAudio = setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;

std::string printedBy(void (*action)()) {
    testing::internal::CaptureStdout();
    action();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// Console lines go to standard output; death tests read standard error.
void initSoundPrintingToStderr(float version) {
    dup2(STDERR_FILENO, STDOUT_FILENO);
    initSoundWithVersion(version);
}

}  // namespace

TEST(SoundErrorText, EveryCodeHasItsText) {
    const char* expected[] = {
        "No errors",
        "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
        "This command failed because FSOUND_Init was not called",
        "Error initializing output device.",
        "The output device is already in use and cannot be reused.",
        "Playing the sound failed.",
        "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
        "Error setting cooperative level for hardware.",
        "Error creating hardware sound buffer.",
        "File not found",
        "Unknown file format",
        "Error loading file",
        "Not enough memory ",
        "The version number of this file format is not supported",
        "An invalid parameter was passed to this function",
        "Tried to use an EAX command on a non EAX enabled channel or output.",
        "Failed to allocate a new channel",
        "Recording not supported on this device",
        "Required Mediaplayer codec is not installed",
    };
    for (int code = 0; code < 19; ++code) {
        EXPECT_STREQ(soundErrorText(code), expected[code]) << code;
    }
    for (int code : {19, 20, 1000, -1, INT_MIN, INT_MAX}) {
        EXPECT_STREQ(soundErrorText(code), "Unknown error") << code;
    }
}

TEST(SoundStart, OlderLibraryEndsTheProgramWithCodeOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(initSoundPrintingToStderr(3.73f), testing::ExitedWithCode(1),
                "Error :wrong DLL version!  You should be using FMOD 3\\.74\n$");
    // The largest single-precision value below 3.74 is still too old.
    EXPECT_EXIT(initSoundPrintingToStderr(std::nextafter(3.74f, 0.0f)), testing::ExitedWithCode(1),
                "wrong DLL version");
}

TEST(SoundStart, VersionExactly374StartsWithEverySampleMissing) {
    testfiles::TempDir empty;
    testfiles::WorkingDirectory inside(empty.path());
    EXPECT_EQ(printedBy([] { initSoundWithVersion(3.74f); }), "");
    for (FSOUND_SAMPLE* sample : soundSamples) {
        EXPECT_EQ(sample, nullptr);
    }
    // Every would-be effect says so and the game goes on.
    EXPECT_EQ(printedBy([] { playSample(soundFireballShoot, 153); }), "SOUND NOT FOUND!\n");
    EXPECT_EQ(printedBy([] { playSample(soundOutside1 + 11, 256); }), "SOUND NOT FOUND!\n");
    EXPECT_EQ(printedBy([] { playSample(soundSampleCount, 256); }), "SOUND NOT FOUND!\n");
    EXPECT_EQ(printedBy([] { playSample(-1, 256); }), "SOUND NOT FOUND!\n");
}

TEST(SoundStart, AllGeneratedSamplesLoadAndPlay) {
    testfiles::TempDir folder;
    std::vector<ResourceFile> sounds;
    for (ResourceFile& file : resourceFiles()) {
        if (file.path.rfind("sounds/", 0) == 0) {
            sounds.push_back(std::move(file));
        }
    }
    ASSERT_EQ(sounds.size(), 23u);
    ASSERT_TRUE(generateFiles(folder.path() / "Ressources", sounds));
    testfiles::WorkingDirectory inside(folder.path());
    initSound();
    for (int id = 0; id < soundSampleCount; ++id) {
        EXPECT_NE(soundSamples[static_cast<std::size_t>(id)], nullptr) << soundFiles[static_cast<std::size_t>(id)];
    }
    EXPECT_EQ(printedBy([] {
                  playSample(soundFireballShoot, 153);
                  playSample(soundCreatureExplode, 256);
                  playSample(soundTeapotCollected, 204);
              }),
              "");
}
