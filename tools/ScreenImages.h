#pragma once

#include <tools/Canvas.h>

// The full-window screens: what the game is, each level's task, the end.
inline constexpr int screenImageSize = 512;

Canvas splashImage();
Canvas levelTaskImage(int level);  // 1 or 2
Canvas gameOverImage();
