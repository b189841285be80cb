#include <game/GameApp.h>

#include <game/CallbackSets.h>
#include <game/GameState.h>
#include <game/Screens.h>
#include <game/Sound.h>

#include <platform/os/StopSignals.h>

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include <algorithm>

GameApp::GameApp(int argc, char** argv) {
    qalimor::os::CatchStopSignals();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(300, 150);
    glutCreateWindow("Qalimor");
    // The buffer-object entry points of the models come from the window's
    // context.
    glewInit();
    onReshape(500, 500);
    showSplashScreen();
    registerSplashCallbacks();
    levelNumber = 1;
    initSound();
}

void endIfStopSignalled() {
    if (const int signal = qalimor::os::StopSignal()) {
        closeSound();
        qalimor::os::EndBySignal(signal);
    }
}

void onReshape(int width, int height) {
    glViewport(0, 0, width, height);
    windowWidth = width;
    windowHeight = height;
    glutWarpPointer(width / 2, height / 2);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The negative far value is deliberate: with it nothing beyond the near
    // plane is clipped for being far away. A minimised window has height 0,
    // which must not become a division by zero.
    gluPerspective(60.0, static_cast<double>(width) / std::max(height, 1), 4.0, -80000.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHT0);
    glFlush();
}
