#include <game/Sound.h>

#include <platform/sound/FSound.h>

#include <cstdio>
#include <cstdlib>

const std::array<const char*, soundSampleCount> soundFiles = {
    "Ressources/sounds/jump.ogg",
    "Ressources/sounds/FIREBALL_SHOOT.mp3",
    "Ressources/sounds/FIRESALVE_SHOOT.wav",
    "Ressources/sounds/CREATURE_EXPLODE.wav",
    "Ressources/sounds/TEAPOT_COLLECTED.mp3",
    "Ressources/sounds/WIZARD_HIT1.wav",
    "Ressources/sounds/WIZARD_HIT2.wav",
    "Ressources/sounds/WIZARD_HIT3.wav",
    "Ressources/sounds/WIZARD_HIT4.wav",
    "Ressources/sounds/WIZARD_HIT5.wav",
    "Ressources/sounds/WIZARD_HIT6.wav",
    "Ressources/sounds/OUTSIDE1.wav",
    "Ressources/sounds/OUTSIDE2.wav",
    "Ressources/sounds/OUTSIDE3.wav",
    "Ressources/sounds/OUTSIDE4.wav",
    "Ressources/sounds/OUTSIDE5.wav",
    "Ressources/sounds/OUTSIDE6.wav",
    "Ressources/sounds/OUTSIDE7.wav",
    "Ressources/sounds/OUTSIDE8.wav",
    "Ressources/sounds/OUTSIDE9.wav",
    "Ressources/sounds/OUTSIDE10.wav",
    "Ressources/sounds/OUTSIDE11.wav",
    "Ressources/sounds/OUTSIDE12.wav",
};

std::array<FSOUND_SAMPLE*, soundSampleCount> soundSamples{};

namespace {

// The version check compares in single precision: 3.74 as a float is the
// oldest accepted version, and exactly that must pass.
constexpr float requiredVersion = 3.74f;
constexpr unsigned int sampleMode = 0x130;  // 16-bit, mono, signed

constexpr std::array<const char*, 19> errorTexts = {
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

}  // namespace

void initSound() {
    initSoundWithVersion(FSOUND_GetVersion());
}

void initSoundWithVersion(float libraryVersion) {
    if (libraryVersion < requiredVersion) {
        std::printf("Error :wrong DLL version!  You should be using FMOD %.02f\n", requiredVersion);
        std::exit(1);
    }
    if (!FSOUND_Init(44100, 16, 0)) {
        std::printf("%s\n", soundErrorText(FSOUND_GetError()));
        std::exit(1);
    }
    for (int id = 0; id < soundSampleCount; ++id) {
        soundSamples[static_cast<std::size_t>(id)] =
            FSOUND_Sample_Load(-1, soundFiles[static_cast<std::size_t>(id)], sampleMode, 0, 0);
    }
}

void closeSound() {
    FSOUND_Close();
    soundSamples.fill(nullptr);
}

const char* soundErrorText(int code) {
    if (code < 0 || code >= static_cast<int>(errorTexts.size())) {
        return "Unknown error";
    }
    return errorTexts[static_cast<std::size_t>(code)];
}

void playSample(int id, int volume) {
    FSOUND_SAMPLE* sample =
        id >= 0 && id < soundSampleCount ? soundSamples[static_cast<std::size_t>(id)] : nullptr;
    if (!sample) {
        std::printf("SOUND NOT FOUND!\n");
        return;
    }
    FSOUND_SetVolume(FSOUND_PlaySound(-1, sample), volume);
}
