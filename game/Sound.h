#pragma once

#include <array>

struct FSOUND_SAMPLE;

// Index into soundSamples; the numbers are fixed by the sample table.
enum SoundId : int {
    soundJump = 0,
    soundFireballShoot = 1,
    soundFiresalveShoot = 2,
    soundCreatureExplode = 3,
    soundTeapotCollected = 4,
    soundWizardHit1 = 5,   // to soundWizardHit1 + 5
    soundOutside1 = 11,    // to soundOutside1 + 11
};

inline constexpr int soundSampleCount = 23;

// File of each sample, relative to the working directory.
extern const std::array<const char*, soundSampleCount> soundFiles;

// Loaded samples by SoundId; null where loading failed.
extern std::array<FSOUND_SAMPLE*, soundSampleCount> soundSamples;

// Checks the sound library's version, opens the output and loads every
// sample. Ends the process with exit code 1 when the version is too old or
// the output cannot be opened.
void initSound();
void initSoundWithVersion(float libraryVersion);

// Stops every sound and closes the output; every sample is gone after it.
void closeSound();

const char* soundErrorText(int code);

// Plays a sample on a free channel at the given volume; a sample that did
// not load prints "SOUND NOT FOUND!".
void playSample(int id, int volume);
