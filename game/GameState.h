#pragma once

// The game's shared state: plain globals, as the callbacks of every screen
// read and write them.

// Window size, set by onReshape.
extern int windowWidth;
extern int windowHeight;

// Screen progress.
extern bool spacePressed;  // set by the space key in every state, cleared by the screens that act on it
extern bool splashDone;
extern bool taskDone;
extern int levelNumber;    // the next level to load
extern int currentLevel;   // the level being played
extern bool gameWon;

// Player values.
extern int playerMaxHealth;
extern int playerHealth;
extern int playerPower;
extern int playerMaxPower;
extern int salvoCharges;

// The player's body for the spells of creatures.
inline constexpr float playerRadius = 200.0f;

// The red overlay of a hit: on, and the frames it still shows.
extern bool damageOverlayOn;
extern int damageOverlayFrames;

// Consecutive once-a-second ticks spent outside the playable square.
extern int outsideSeconds;

// A salvo in progress (the right button with a charge starts one).
extern bool salvoActive;
extern int salvoShotsLeft;
