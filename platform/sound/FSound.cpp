#include <platform/sound/FSound.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <memory>
#include <vector>

struct FSOUND_SAMPLE {
    Mix_Chunk* chunk = nullptr;
};

namespace {

// Everything the layer opened, closed again at process exit so that no
// mixing thread runs while the program's statics are destroyed.
class SoundOutput {
public:
    ~SoundOutput() { close(); }

    bool open(int mixRate, int channels);
    void close();
    bool isOpen() const { return open_; }
    int channelCount() const { return channels_; }
    FSOUND_SAMPLE* keep(Mix_Chunk* chunk);

private:
    bool tryDriver(int mixRate);

    bool open_ = false;
    int channels_ = 0;
    std::vector<std::unique_ptr<FSOUND_SAMPLE>> samples_;
};

SoundOutput output;
int lastError = FSOUND_ERR_NONE;

constexpr float layerVersion = 3.74f;
constexpr int bufferFrames = 1024;

bool SoundOutput::tryDriver(int mixRate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, 2, bufferFrames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

bool SoundOutput::open(int mixRate, int channels) {
    // Set up once: a second call must not invalidate loaded samples.
    if (open_) {
        return true;
    }
    // What Ctrl+C and kill do is the program's to decide: left to itself,
    // SDL turns them into a quit event, which nothing here reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3);
    if (!tryDriver(mixRate)) {
        // SDL does not fall back to its silent driver by itself; without it
        // a machine with no sound could not run the game at all.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        if (!tryDriver(mixRate)) {
            Mix_Quit();
            return false;
        }
        std::printf("No audio device could be opened: sound is off\n");
    }
    channels_ = Mix_AllocateChannels(channels);
    open_ = true;
    return true;
}

void SoundOutput::close() {
    if (!open_) {
        return;
    }
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    for (auto& sample : samples_) {
        Mix_FreeChunk(sample->chunk);
    }
    samples_.clear();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_Quit();
    open_ = false;
    channels_ = 0;
}

FSOUND_SAMPLE* SoundOutput::keep(Mix_Chunk* chunk) {
    samples_.push_back(std::make_unique<FSOUND_SAMPLE>());
    samples_.back()->chunk = chunk;
    return samples_.back().get();
}

bool fileExists(const char* name) {
    std::FILE* file = std::fopen(name, "rb");
    if (!file) {
        return false;
    }
    std::fclose(file);
    return true;
}

}  // namespace

float FSOUND_GetVersion() {
    return layerVersion;
}

bool FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int) {
    if (mixRate <= 0 || maxSoftwareChannels <= 0) {
        lastError = FSOUND_ERR_INVALID_PARAM;
        return false;
    }
    if (!output.open(mixRate, maxSoftwareChannels)) {
        lastError = FSOUND_ERR_INIT;
        return false;
    }
    lastError = FSOUND_ERR_NONE;
    return true;
}

void FSOUND_Close() {
    output.close();
}

int FSOUND_GetError() {
    return lastError;
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int, int, int) {
    if (!output.isOpen()) {
        lastError = FSOUND_ERR_UNINITIALIZED;
        return nullptr;
    }
    if (!name || index < FSOUND_ANY_FREE) {
        lastError = FSOUND_ERR_INVALID_PARAM;
        return nullptr;
    }
    if (!fileExists(name)) {
        lastError = FSOUND_ERR_FILE_NOTFOUND;
        return nullptr;
    }
    Mix_Chunk* chunk = Mix_LoadWAV(name);
    if (!chunk) {
        lastError = FSOUND_ERR_FILE_FORMAT;
        return nullptr;
    }
    lastError = FSOUND_ERR_NONE;
    return output.keep(chunk);
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
    if (!output.isOpen()) {
        lastError = FSOUND_ERR_UNINITIALIZED;
        return -1;
    }
    if (!sample || channel < FSOUND_ANY_FREE || channel >= output.channelCount()) {
        lastError = FSOUND_ERR_INVALID_PARAM;
        return -1;
    }
    int played = Mix_PlayChannel(channel, sample->chunk, 0);
    if (played < 0) {
        lastError = channel == FSOUND_ANY_FREE ? FSOUND_ERR_CHANNEL_ALLOC : FSOUND_ERR_PLAY;
        return -1;
    }
    lastError = FSOUND_ERR_NONE;
    return played;
}

bool FSOUND_SetVolume(int channel, int volume) {
    if (!output.isOpen()) {
        lastError = FSOUND_ERR_UNINITIALIZED;
        return false;
    }
    if (channel < 0 || channel >= output.channelCount()) {
        lastError = FSOUND_ERR_INVALID_PARAM;
        return false;
    }
    // Callers pass 0 to 255 and sometimes 256 for "as loud as it goes"; the
    // mixer's scale ends at MIX_MAX_VOLUME.
    const int clamped = volume < 0 ? 0 : (volume > 255 ? 255 : volume);
    Mix_Volume(channel, (clamped * MIX_MAX_VOLUME + 127) / 255);
    lastError = FSOUND_ERR_NONE;
    return true;
}
