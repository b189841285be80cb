#pragma once

#include <GL/glew.h>

#include <string>

// A full-window image screen (splash, level task, game over). It draws with
// the window size it recorded when it started, not with the live size.
struct ScreenImage {
    int width = 0;
    int height = 0;
    GLuint texture = 0;  // owned from the screen's start until it is left
};

extern ScreenImage splashScreen;
extern ScreenImage levelTaskScreen;
extern ScreenImage gameOverScreen;

void showSplashScreen();
void showLevelTaskScreen();
void showGameOverScreen();

// Each is both the display and the idle callback of its screen.
void onSplashFrame();
void onLevelTaskFrame();
void onGameOverFrame();

// Pushes the projection matrix and sets an overlay projection with (0, 0)
// at the top-left corner and the screen's recorded size at the bottom-right.
void beginScreenOverlay(const ScreenImage& screen);
void loadScreenTexture(ScreenImage& screen, const std::string& fileName);
void drawLoadingText(int x, int y);
