#pragma once

#include <array>

// GLUT input callbacks, installed in every screen state. They only record
// what happened (ESC, '5', F3 and '9' act at once); the play frame acts on
// the rest through updatePlayer and castPlayerSpell.
void onKeyDown(unsigned char key, int x, int y);
void onKeyUp(unsigned char key, int x, int y);
void onSpecialKey(int key, int x, int y);
void onMouseButton(int button, int state, int x, int y);
void onMouseMove(int x, int y);

// Lower-case letters held down, by character code; upper case is not
// recorded.
extern std::array<bool, 256> keyHeld;

// Presses waiting for the play frame, each cleared by the step that acts
// on it.
extern bool key2Pressed;
extern bool f1Pressed;
extern bool f2Pressed;
extern bool f6Pressed;
extern bool f7Pressed;
extern bool f8Pressed;
extern bool leftClick;
extern bool rightClick;

// Display switches.
extern bool wireframe;
extern bool helpShown;
extern bool fpsShown;
extern bool viewFrustumOn;
extern bool narrowViewCone;
extern int currentRenderMode;

// The pointer: its last position, its position at the last look update,
// and the look rotation not yet applied.
extern int mouseX;
extern int mouseY;
extern int prevMouseX;
extern int prevMouseY;
extern float pendingYaw;
extern float pendingPitch;

// Puts the pointer at a window position; the play frame recentres it
// through this.
extern void (*warpPointer)(int x, int y);
