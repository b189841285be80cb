#pragma once

// The version 3 style sound interface the game is written against: set up
// the output once, load samples, play them on free channels.

struct FSOUND_SAMPLE;  // a loaded sample; owned by the sound layer

// Codes reported by FSOUND_GetError.
enum FSoundError : int {
    FSOUND_ERR_NONE = 0,
    FSOUND_ERR_BUSY = 1,
    FSOUND_ERR_UNINITIALIZED = 2,
    FSOUND_ERR_INIT = 3,
    FSOUND_ERR_ALLOCATED = 4,
    FSOUND_ERR_PLAY = 5,
    FSOUND_ERR_OUTPUT_FORMAT = 6,
    FSOUND_ERR_COOPERATIVELEVEL = 7,
    FSOUND_ERR_CREATEBUFFER = 8,
    FSOUND_ERR_FILE_NOTFOUND = 9,
    FSOUND_ERR_FILE_FORMAT = 10,
    FSOUND_ERR_FILE_BAD = 11,
    FSOUND_ERR_MEMORY = 12,
    FSOUND_ERR_VERSION = 13,
    FSOUND_ERR_INVALID_PARAM = 14,
    FSOUND_ERR_NO_EAX = 15,
    FSOUND_ERR_CHANNEL_ALLOC = 16,
    FSOUND_ERR_RECORD = 17,
    FSOUND_ERR_MEDIAPLAYER = 18,
};

// Pass as a channel or sample index to mean "any free one".
inline constexpr int FSOUND_ANY_FREE = -1;

float FSOUND_GetVersion();

// Opens the output. Where no audio device can be opened, the output is a
// silent one and a single console line says that sound is off; the call
// fails only when even that cannot be opened.
bool FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags);

// Stops every channel, frees every loaded sample and closes the output;
// FSOUND_Init may open it again.
void FSOUND_Close();

int FSOUND_GetError();

// Loads a WAV, OGG or MP3 file; null on failure. The mode, offset and length
// of the interface are accepted for the callers' sake; whole files are
// always loaded and converted to the output format.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset, int length);

// Starts the sample once; returns the channel it plays on, or -1.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);

// Volume 0 to 255; larger values play at full volume.
bool FSOUND_SetVolume(int channel, int volume);
