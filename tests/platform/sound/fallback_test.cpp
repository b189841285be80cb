#include <platform/sound/FSound.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Both tests need a sound layer that has not been started yet, and the
// second starts it: they stay in this order, in a program of their own.

TEST(FSoundBeforeStart, EveryOperationFailsAsNotStarted) {
    EXPECT_EQ(FSOUND_Sample_Load(-1, "anything.wav", 0x130, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_UNINITIALIZED);
    EXPECT_EQ(FSOUND_PlaySound(-1, nullptr), -1);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_UNINITIALIZED);
    EXPECT_FALSE(FSOUND_SetVolume(0, 100));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_UNINITIALIZED);
    EXPECT_FALSE(FSOUND_Init(0, 16, 0));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
}

TEST(FSoundFallback, WithoutAnAudioDeviceSoundIsOffAndTheGameGoesOn) {
    // A driver that does not exist stands for a machine without sound.
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStdout();
    const bool started = FSOUND_Init(44100, 16, 0);
    std::fflush(stdout);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(started);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NONE);
    EXPECT_EQ(output, "No audio device could be opened: sound is off\n");
    EXPECT_EQ(FSOUND_Sample_Load(-1, "missing.wav", 0x130, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_FILE_NOTFOUND) << "the silent output still takes samples";
}
