#include <game/Input.h>

#include <game/GameState.h>
#include <game/PlayerControl.h>

#include <GL/glew.h>
#include <GL/glut.h>

#include <cstdlib>

std::array<bool, 256> keyHeld{};

bool key2Pressed = false;
bool f1Pressed = false;
bool f2Pressed = false;
bool f6Pressed = false;
bool f7Pressed = false;
bool f8Pressed = false;
bool leftClick = false;
bool rightClick = false;

bool wireframe = false;
bool helpShown = false;
bool fpsShown = false;
bool viewFrustumOn = true;
bool narrowViewCone = false;
int currentRenderMode = 1;

int mouseX = 0;
int mouseY = 0;
int prevMouseX = 0;
int prevMouseY = 0;
float pendingYaw = 0.0f;
float pendingPitch = 0.0f;

void (*warpPointer)(int x, int y) = glutWarpPointer;

namespace {

constexpr unsigned char escapeKey = 27;

bool isRecordedLetter(unsigned char key) {
    return key >= 'a' && key <= 'z';
}

void toggleWireframe() {
    wireframe = !wireframe;
    glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
}

}  // namespace

void onKeyDown(unsigned char key, int, int) {
    if (isRecordedLetter(key)) {
        keyHeld[key] = true;
    }
    switch (key) {
    case escapeKey:
        std::exit(0);
    case ' ':
        spacePressed = true;
        break;
    case '2':
        key2Pressed = true;
        break;
    case '5':
        toggleWireframe();
        break;
    case '9':
        toggleViewCone();
        break;
    default:
        break;
    }
}

void onKeyUp(unsigned char key, int, int) {
    if (isRecordedLetter(key)) {
        keyHeld[key] = false;
    }
}

void onSpecialKey(int key, int, int) {
    switch (key) {
    case GLUT_KEY_F1:
        f1Pressed = true;
        break;
    case GLUT_KEY_F2:
        f2Pressed = true;
        break;
    case GLUT_KEY_F3:
        toggleWireframe();
        break;
    case GLUT_KEY_F6:
        f6Pressed = true;
        break;
    case GLUT_KEY_F7:
        f7Pressed = true;
        break;
    case GLUT_KEY_F8:
        f8Pressed = true;
        break;
    default:
        break;
    }
}

void onMouseButton(int button, int state, int, int) {
    if (state != GLUT_DOWN) {
        return;
    }
    if (button == GLUT_LEFT_BUTTON) {
        leftClick = true;
    } else if (button == GLUT_RIGHT_BUTTON) {
        rightClick = true;
    }
}

void onMouseMove(int x, int y) {
    prevMouseX = mouseX;
    prevMouseY = mouseY;
    mouseX = x;
    mouseY = y;
}
