#pragma once

#include <game/Camera.h>

#include <cstdint>
#include <string>

// Frame timing. The once-a-second rules count measured frame work, not
// wall-clock time.
extern std::int64_t frameStartCount;  // counter at the start of the frame's idle
extern std::int64_t timerFrequency;   // counts per second
inline constexpr double frameMilliseconds = 16.666666666666668;
extern int tickMilliseconds;
extern float tickRemainder;  // the part of a millisecond not yet counted

// Frame rate text, from wall-clock time.
extern int fpsFrameCount;
extern int fpsLastTime;
extern std::string fpsText;

// The play state's callbacks: the idle updates the world and calls the
// display, which draws, applies the player's input and ends the frame with
// the frame cap and the buffer swap.
void onIdle();
void onDisplay();

// The idle's work before the display: spells, hits, deaths, near lists,
// creature actions and the switches to the next screen.
void updatePlayFrame();

// The display's work before its sleep and swap; returns the milliseconds
// to sleep.
int drawPlayFrame();

// Spells, hits, deaths, rewards, near lists and creature actions of one
// frame; true when no creature is alive any more.
bool updateWorld();

// The display's closing rules for a frame of the measured work: the salvo
// rhythm and the once-a-second tick. Returns the sleep of the frame cap.
int applyFrameTime(float workMilliseconds);

// 16 minus the whole milliseconds of work (negative: no sleep).
int frameSleepMilliseconds(float workMilliseconds);

// Whether an object at the point is drawn and tested this frame: near the
// camera, or inside its view cone, or culling off.
bool isNearCamera(const Vec3& point);

// Draws nearDecors, then nearCreatures, each with a level of detail.
void drawNearObjects(const Vec3& camera);
void clearNearLists();
