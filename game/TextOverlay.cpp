#include <game/TextOverlay.h>

#include <game/Camera.h>
#include <game/GameState.h>
#include <game/Input.h>
#include <game/PlayFrame.h>
#include <game/PlayerOptions.h>

#include <GL/glew.h>
#include <GL/glut.h>

#include <cstdio>

namespace {

void bitmapText(void* font, const std::string& text) {
    for (char c : text) {
        glutBitmapCharacter(font, c);
    }
}

template <class... Values>
std::string formatted(const char* format, Values... values) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

}  // namespace

std::vector<TextLine> debugTextLines() {
    if (!helpShown) {
        return {{30, "'F1: show controls'"}};
    }
    // Every control, each line short enough to fit between the middle of
    // the smallest window the game opens in (500 pixels) and its right edge:
    // 31 characters of the 8-pixel font. The status follows below the
    // crosshair.
    const Vec3& p = liveCamera.position;
    return {
        {30, "'F1: hide controls'"},
        {45, "w, a, s, d: move; mouse: look"},
        {60, "left button: fireball"},
        {75, "right button: salvo (charges)"},
        {90, "q: switch speed"},
        {105, "c: kill every creature"},
        {120, "2: toggle bounding spheres"},
        {135, "5, F3: toggle wireframe"},
        {150, "9: narrow or wide view cone"},
        {165, "F2: show frame rate"},
        {180, "F6: change render mode"},
        {195, "F7: change static LOD mode"},
        {210, "F8: toggle view frustum"},
        {225, "ESC: quit game"},
        {285, formatted("ViewFrustum is on =  %i", viewFrustumOn ? 1 : 0)},
        {300, formatted("static LOD Mode = %i", staticLodMode)},
        {315, formatted("renderMode = %i", currentRenderMode)},
        {330, "Player Position:"},
        {345, formatted("%.0f, %.0f, %.0f", static_cast<double>(p[0]), static_cast<double>(p[1]),
                        static_cast<double>(p[2]))},
    };
}

void drawDebugText() {
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(static_cast<float>(windowWidth - windowWidth / 2), 0.0f, 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (const TextLine& line : debugTextLines()) {
        glRasterPos2i(0, line.y);
        bitmapText(GLUT_BITMAP_8_BY_13, line.text);
    }
    glPopMatrix();
}

void drawWinText() {
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(static_cast<float>(windowWidth / 2), static_cast<float>(windowHeight / 2), 0.0f);
    glColor3f(1.0f, 0.0f, 0.0f);
    glRasterPos2i(-70, -(windowHeight / 5));
    bitmapText(GLUT_BITMAP_TIMES_ROMAN_24, "YOU WIN!!!");
    glPopMatrix();
}

void drawFps() {
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glTranslatef(static_cast<float>(windowWidth - 400), 0.0f, 0.0f);
    if (fpsShown) {
        glRasterPos2i(0, 200);
        bitmapText(GLUT_BITMAP_8_BY_13, fpsText);
    }
    glPopMatrix();
}
