#include <game/Input.h>

#include <game/GameState.h>

#include <cstdlib>

namespace {
constexpr unsigned char escapeKey = 27;
}

void onKeyDown(unsigned char key, int, int) {
    if (key == escapeKey) {
        std::exit(0);
    }
    if (key == ' ') {
        spacePressed = true;
    }
}

void onKeyUp(unsigned char, int, int) {}

void onSpecialKey(int, int, int) {}

void onMouseButton(int, int, int, int) {}

void onMouseMove(int, int) {}
