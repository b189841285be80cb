#pragma once

// Prepares the level numbered levelNumber before play starts.
void loadLevel();
