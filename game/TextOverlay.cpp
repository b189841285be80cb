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
    const Vec3& p = liveCamera.position;
    return {
        {30, "'F1: hide controls'"},
        {60, "'F2: show frame rate'"},
        {75, "'F3: toggle wireframe mode'"},
        {90, "'F6: change render mode (0: immediate, 1: vertex array)'"},
        {105, "'F7: change static LOD mode (0: on, 1: off (low), 2: off (high))'"},
        {120, "'F8: toggle view frustum'"},
        {150, "'ESC: quit game'"},
        {180, "'2': toggle Bounding Spheres"},
        {195, formatted("ViewFrustum is on =  %i", viewFrustumOn ? 1 : 0)},
        {210, formatted("static LOD Mode = %i", staticLodMode)},
        {225, formatted("Player Position: %4.2f, %4.2f, %4.2f", static_cast<double>(p[0]),
                        static_cast<double>(p[1]), static_cast<double>(p[2]))},
        {240, formatted("renderMode = %i", currentRenderMode)},
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
