#include <game/CallbackSets.h>

#include <game/GameApp.h>
#include <game/Input.h>
#include <game/PlayFrame.h>
#include <game/Screens.h>

#include <GL/glut.h>

ScreenState activeScreen = ScreenState::none;

namespace {

void (*screenIdle)() = nullptr;

// Every screen's idle runs behind this: GLUT calls it between every two
// frames, the one safe place for the game to end when asked from outside.
void onScreenIdle() {
    endIfStopSignalled();
    screenIdle();
}

// The sets differ only in their display and idle callbacks; input and
// reshape are the same in every state.
void registerCallbacks(ScreenState state, void (*display)(), void (*idle)()) {
    glutDisplayFunc(display);
    screenIdle = idle;
    glutIdleFunc(onScreenIdle);
    glutReshapeFunc(onReshape);
    glutIgnoreKeyRepeat(1);
    glutKeyboardFunc(onKeyDown);
    glutKeyboardUpFunc(onKeyUp);
    glutSpecialFunc(onSpecialKey);
    glutMouseFunc(onMouseButton);
    glutPassiveMotionFunc(onMouseMove);
    glutMotionFunc(onMouseMove);
    activeScreen = state;
}

}  // namespace

void registerSplashCallbacks() {
    registerCallbacks(ScreenState::splash, onSplashFrame, onSplashFrame);
}

void registerLevelTaskCallbacks() {
    registerCallbacks(ScreenState::levelTask, onLevelTaskFrame, onLevelTaskFrame);
}

void registerPlayCallbacks() {
    registerCallbacks(ScreenState::play, onDisplay, onIdle);
}

void registerGameOverCallbacks() {
    registerCallbacks(ScreenState::gameOver, onGameOverFrame, onGameOverFrame);
}
