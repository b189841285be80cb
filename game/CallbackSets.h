#pragma once

// Which set of GLUT callbacks is installed: each screen state is one set.
enum class ScreenState { none, splash, levelTask, play, gameOver };

extern ScreenState activeScreen;

void registerSplashCallbacks();
void registerLevelTaskCallbacks();
void registerPlayCallbacks();
void registerGameOverCallbacks();
