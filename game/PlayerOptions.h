#pragma once

// Switches the player's keys flip and the world objects' drawing reads.
extern bool boundingSpheresShown;  // wire spheres over every collision sphere
extern int staticLodMode;          // 0 by distance, 1 all at level 2, 2 all at level 0

// The speed a speed pick-up gives; a creature spell hitting the player ends it.
inline constexpr float boostSpeed = 150.0f;
