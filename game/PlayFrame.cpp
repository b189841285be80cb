#include <game/PlayFrame.h>

#include <GL/glew.h>
#include <GL/glut.h>

void onIdle() {
    onDisplay();
}

// The world is not drawn yet: play shows an empty screen.
void onDisplay() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}
