#include <game/Hud.h>

#include <game/GameState.h>
#include <game/TerrainTiles.h>
#include <game/Texture.h>

#include <GL/glew.h>
#include <GL/glu.h>

std::vector<MinimapMarker> creatureMarkers;
std::vector<MinimapMarker> decorMarkers;

namespace {

enum HudSlot : int {
    minimapSlot = 0,
    hudImageSlot = 6,
    hudMaskSlot = 7,
    frameImageSlot = 8,
    frameMaskSlot = 9,
    damageImageSlot = 12,
    damageMaskSlot = 13,
};

constexpr double pi = 3.141592654;

void texturedSquare(GLuint texture, float side) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, side);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(side, side);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(side, 0.0f);
    glEnd();
}

// The mask darkens what is behind the image, then the image is added:
// black in the mask lets the image show, white keeps the background.
void drawMaskedImage(int maskSlot, int imageSlot, float side) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glPushMatrix();
    glLoadIdentity();
    texturedSquare(textureIds[static_cast<std::size_t>(maskSlot)], side);
    glPopMatrix();
    glBlendFunc(GL_ONE, GL_ONE);
    glPushMatrix();
    glLoadIdentity();
    texturedSquare(textureIds[static_cast<std::size_t>(imageSlot)], side);
    glPopMatrix();
}

// The minimap turns with the player about its centre.
void rotateLikeTheMinimap(int w) {
    const float centre = 0.0625f * static_cast<float>(w);
    glTranslatef(centre, centre, 0.0f);
    glRotatef(static_cast<float>(liveCamera.yawAngle * 180.0 / pi), 0.0f, 0.0f, 1.0f);
    glTranslatef(-centre, -centre, 0.0f);
}

void filledSquare(float side) {
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(0.0f, side);
    glVertex2f(side, side);
    glVertex2f(side, 0.0f);
    glEnd();
}

void drawMarkers(const std::vector<MinimapMarker>& markers, const MinimapWindow& window, int w, float red,
                 float green, float side) {
    for (const MinimapMarker& marker : markers) {
        if (!window.shows(marker)) {
            continue;
        }
        glPushMatrix();
        glLoadIdentity();
        rotateLikeTheMinimap(w);
        glTranslatef(0.125f * static_cast<float>(w) * (marker.x - window.x0) / (window.x1 - window.x0),
                     0.125f * static_cast<float>(w) * (marker.z - window.z0) / (window.z1 - window.z0), 0.0f);
        glColor3f(red, green, 0.0f);
        filledSquare(side);
        glPopMatrix();
    }
}

void drawMinimap(const MinimapWindow& window, int w) {
    const float side = static_cast<float>(w / 8);
    glPushMatrix();
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, textureIds[minimapSlot]);
    rotateLikeTheMinimap(w);
    glBegin(GL_QUADS);
    glTexCoord2f(window.s0, window.t0);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(window.s0, window.t1);
    glVertex2f(0.0f, side);
    glTexCoord2f(window.s1, window.t1);
    glVertex2f(side, side);
    glTexCoord2f(window.s1, window.t0);
    glVertex2f(side, 0.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void line(float x0, float y0, float x1, float y1) {
    glVertex2f(x0, y0);
    glVertex2f(x1, y1);
}

void drawPlayerCross(int w) {
    const auto arm = static_cast<float>(w / 64);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0625f * static_cast<float>(w), 0.0625f * static_cast<float>(w), 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_LINES);
    line(-arm, -arm, arm, arm);
    line(arm, -arm, -arm, arm);
    glEnd();
    glPopMatrix();
}

void filledRect(float x0, float y0, float x1, float y1) {
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x0, y1);
    glVertex2f(x1, y1);
    glVertex2f(x1, y0);
    glEnd();
}

void drawBarsAndCrosshair(int w, int h) {
    const HudBars bars = hudBars(w, playerHealth, playerMaxHealth, playerPower, playerMaxPower);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor3f(1.0f, 0.0f, 0.0f);
    filledRect(bars.x, bars.healthTop, bars.healthEnd, bars.healthBottom);
    glColor3f(1.0f, 1.0f, 0.0f);
    filledRect(bars.x, bars.powerTop, bars.powerEnd, bars.powerBottom);
    glColor3f(1.0f, 1.0f, 1.0f);
    const auto cx = static_cast<float>(w / 2);
    const auto cy = static_cast<float>(h / 2);
    glBegin(GL_LINES);
    line(cx - 10.0f, cy - 10.0f, cx + 10.0f, cy + 10.0f);
    line(cx + 10.0f, cy - 10.0f, cx - 10.0f, cy + 10.0f);
    glEnd();
    glDisable(GL_BLEND);
    glPopMatrix();
}

}  // namespace

MinimapWindow minimapWindow(const Vec3& camera, int mapWidth, int mapHeight) {
    MinimapWindow window{};
    const auto mw = static_cast<float>(mapWidth);
    const auto mh = static_cast<float>(mapHeight);
    window.x0 = camera[0] - static_cast<float>(mapWidth / 4);
    window.x1 = camera[0] + static_cast<float>(mapWidth / 4);
    window.z0 = camera[2] - static_cast<float>(mapHeight / 4);
    window.z1 = camera[2] + static_cast<float>(mapHeight / 4);
    window.s0 = window.x0 / mw;
    window.s1 = window.x1 / mw;
    window.t0 = window.z0 / mh;
    window.t1 = window.z1 / mh;
    return window;
}

HudBars hudBars(int windowWidth, int health, int maxHealth, int power, int maxPower) {
    const auto hw = static_cast<float>(windowWidth / 2);
    const float length = hw * 0.1315f;
    HudBars bars{};
    bars.x = 0.40234375f * hw;
    bars.healthEnd = bars.x + length * static_cast<float>(health) / static_cast<float>(maxHealth);
    bars.powerEnd = bars.x + length * static_cast<float>(power) / static_cast<float>(maxPower);
    bars.healthTop = hw * 0.0078f;
    bars.healthBottom = hw * 0.0273f;
    bars.powerTop = hw * 0.04297f;
    bars.powerBottom = hw * 0.064453f;
    return bars;
}

void beginOverlay2D() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, windowWidth, 0.0, windowHeight);
    glScalef(1.0f, -1.0f, 1.0f);
    glTranslatef(0.0f, static_cast<GLfloat>(-windowHeight), 0.0f);
    glMatrixMode(GL_MODELVIEW);
}

void drawHud() {
    const int w = windowWidth;
    const int h = windowHeight;
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    drawMaskedImage(hudMaskSlot, hudImageSlot, static_cast<float>(w / 2));
    glDisable(GL_BLEND);
    glPopMatrix();

    const int tileSize = 2 << terrainTiles[centreTile].level;
    const MinimapWindow window = minimapWindow(liveCamera.position, tileSize, tileSize);
    drawMinimap(window, w);

    drawMaskedImage(frameMaskSlot, frameImageSlot, static_cast<float>(w / 4));
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);

    glPushMatrix();
    glLoadIdentity();
    drawMarkers(creatureMarkers, window, w, 0.0f, 0.0f, 5.0f);
    drawMarkers(decorMarkers, window, w, 0.0f, 1.0f, 2.0f);
    creatureMarkers.clear();
    decorMarkers.clear();
    glPopMatrix();

    drawPlayerCross(w);
    drawBarsAndCrosshair(w, h);
}

void drawDamageOverlay() {
    if (damageOverlayFrames < 1) {
        damageOverlayOn = false;
        damageOverlayFrames = 0;
        return;
    }
    glPushMatrix();
    glLoadIdentity();
    // Both sides from the width: in a wide window the square reaches below
    // the bottom edge.
    drawMaskedImage(damageMaskSlot, damageImageSlot, static_cast<float>(windowWidth));
    glDisable(GL_BLEND);
    damageOverlayFrames -= 1;
    glPopMatrix();
}
