#include <game/CallbackSets.h>

#include <game/GameApp.h>
#include <game/Input.h>
#include <game/PlayFrame.h>
#include <game/Screens.h>

#include <GL/glut.h>

ScreenState activeScreen = ScreenState::none;

namespace {

// The sets differ only in their display and idle callbacks; input and
// reshape are the same in every state.
void registerCallbacks(ScreenState state, void (*display)(), void (*idle)()) {
    glutDisplayFunc(display);
    glutIdleFunc(idle);
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
