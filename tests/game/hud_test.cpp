#include <game/GameState.h>
#include <game/Hud.h>
#include <game/Input.h>
#include <game/PlayerOptions.h>
#include <game/SkyBox.h>
#include <game/TextOverlay.h>
#include <game/Texture.h>

#include "SuiteGl.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

TEST(Minimap, ShowsHalfTheTileAroundTheCamera) {
    const MinimapWindow window = minimapWindow({30000.0f, 1234.0f, 30000.0f}, 65536, 65536);
    EXPECT_EQ(window.x0, 30000.0f - 16384.0f);
    EXPECT_EQ(window.x1, 30000.0f + 16384.0f);
    EXPECT_FLOAT_EQ(window.s0, (30000.0f - 16384.0f) / 65536.0f);
    EXPECT_FLOAT_EQ(window.s1, (30000.0f + 16384.0f) / 65536.0f);
    EXPECT_FLOAT_EQ(window.t0, window.s0);
    EXPECT_FLOAT_EQ(window.t1, window.s1);
}

TEST(Minimap, MarkersOnTheEdgeAreNotShown) {
    const MinimapWindow window = minimapWindow({30000.0f, 0.0f, 30000.0f}, 65536, 65536);
    EXPECT_TRUE(window.shows({30000.0f, 30000.0f}));
    EXPECT_TRUE(window.shows({13617.0f, 46383.0f}));
    EXPECT_FALSE(window.shows({13616.0f, 30000.0f}));
    EXPECT_FALSE(window.shows({30000.0f, 46384.0f}));
}

TEST(HudBars, LengthFollowsHealthAndPower) {
    const HudBars full = hudBars(500, 500, 500, 100, 100);
    const HudBars half = hudBars(500, 250, 500, 50, 100);
    EXPECT_FLOAT_EQ(full.x, 0.40234375f * 250.0f);
    EXPECT_FLOAT_EQ(full.healthEnd - full.x, 250.0f * 0.1315f);
    EXPECT_FLOAT_EQ(half.healthEnd - half.x, (full.healthEnd - full.x) / 2.0f);
    EXPECT_FLOAT_EQ(half.powerEnd - half.x, (full.powerEnd - full.x) / 2.0f);
    EXPECT_LT(hudBars(500, -100, 500, 0, 100).healthEnd, full.x) << "negative health reaches left";
    EXPECT_EQ(hudBars(500, 0, 500, 0, 100).powerEnd, full.x);
    EXPECT_FLOAT_EQ(hudBars(501, 500, 500, 0, 100).x, full.x) << "half the width, in whole pixels";
}

TEST(DebugText, ShowsOnlyTheHintUntilHelpIsOn) {
    helpShown = false;
    const std::vector<TextLine> hint = debugTextLines();
    ASSERT_EQ(hint.size(), 1u);
    EXPECT_EQ(hint[0].y, 30);
    EXPECT_EQ(hint[0].text, "'F1: show controls'");

    helpShown = true;
    viewFrustumOn = true;
    staticLodMode = 2;
    currentRenderMode = 0;
    liveCamera.position = {1.0f, 2.25f, -3.25f};
    const std::vector<TextLine> help = debugTextLines();
    helpShown = false;
    staticLodMode = 0;
    currentRenderMode = 1;
    ASSERT_FALSE(help.empty());
    EXPECT_EQ(help[0].y, 30);
    EXPECT_EQ(help[0].text, "'F1: hide controls'");
    for (std::size_t i = 1; i < help.size(); ++i) {
        EXPECT_GE(help[i].y, help[i - 1].y + 13) << "lines of the 13-pixel font never overlap: " << help[i].text;
    }
    for (const TextLine& line : help) {
        // A line's glyphs reach about 10 pixels above its raster position
        // and 3 below; the crosshair spans 240 to 260 in a 500-pixel window.
        EXPECT_TRUE(line.y + 3 < 240 || line.y - 11 > 260) << "over the crosshair: " << line.text;
    }
    // The status as it stands, below the controls.
    std::vector<std::string> texts;
    for (const TextLine& line : help) {
        texts.push_back(line.text);
    }
    const std::vector<std::string> status(texts.end() - 5, texts.end());
    EXPECT_EQ(status, (std::vector<std::string>{"ViewFrustum is on =  1", "static LOD Mode = 2", "renderMode = 0",
                                                "Player Position:", "1, 2, -3"}));
}

// The keys each help line names: "keys: what", several on a line
// separated by "; ", the keys of one by ", ".
std::set<std::string> namedControls(const std::vector<TextLine>& lines) {
    std::set<std::string> named;
    for (const TextLine& line : lines) {
        std::string text = line.text;
        std::erase(text, '\'');
        for (std::size_t item = 0; item < text.size();) {
            const std::size_t end = std::min(text.find("; ", item), text.size());
            const std::size_t colon = text.find(": ", item);
            for (std::size_t key = item; colon < end && key < colon;) {
                const std::size_t comma = std::min(text.find(", ", key), colon);
                named.insert(text.substr(key, comma - key));
                key = comma + 2;
            }
            item = end + 2;
        }
    }
    return named;
}

namespace {

using Rgb = std::array<std::uint8_t, 3>;

// The overlay drawn into a 512 by 512 view, with one-pixel textures: every
// mask white (the background stays), every image black (adds nothing), the
// minimap blue, the damage image red.
class HudDrawing : public testing::Test {
protected:
    static constexpr int size = 512;

    static void SetUpTestSuite() { gl = testfiles::startSuiteGl(size, size); }
    static void TearDownTestSuite() {
        glDeleteTextures(4, solid.data());
        testfiles::endSuiteGl(gl);
    }

    void SetUp() override {
        if (!gl || !gl->ready()) {
            GTEST_SKIP() << "no display for GL";
        }
        if (!solid[0]) {
            solid = {testfiles::solidTexture({255, 255, 255}), testfiles::solidTexture({0, 0, 0}), testfiles::solidTexture({0, 0, 255}), testfiles::solidTexture({255, 0, 0})};
        }
        textureIds = {};
        textureIds[0] = solid[2];
        for (int slot : {7, 9, 13}) {
            textureIds[static_cast<std::size_t>(slot)] = solid[0];
        }
        for (int slot : {6, 8}) {
            textureIds[static_cast<std::size_t>(slot)] = solid[1];
        }
        textureIds[12] = solid[3];
        windowWidth = windowHeight = size;
        glViewport(0, 0, size, size);
        liveCamera.init(30000.0f, 0.0f, 30000.0f);
        playerHealth = playerMaxHealth = 500;
        playerPower = 0;
        playerMaxPower = 100;
        damageOverlayOn = false;
        damageOverlayFrames = 0;
        creatureMarkers.clear();
        decorMarkers.clear();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_FOG);
    }
    void TearDown() override { textureIds = {}; }

    static void overlay(void (*draw)()) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        beginOverlay2D();
        draw();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }

    // The pixel at overlay coordinates (from the top-left).
    static Rgb at(int x, int y) { return gl->pixel(x, size - 1 - y); }

    static bool isRed(const Rgb& p) { return p[0] > 200 && p[1] < 50 && p[2] < 50; }

    // Red pixels along the health bar's middle row.
    static int healthBarLength() {
        int red = 0;
        for (int x = 0; x < size / 2; ++x) {
            red += isRed(at(x, 4)) ? 1 : 0;
        }
        return red;
    }

    static OffscreenGl* gl;
    static std::array<GLuint, 4> solid;
};

OffscreenGl* HudDrawing::gl = nullptr;
std::array<GLuint, 4> HudDrawing::solid{};

}  // namespace

TEST_F(HudDrawing, BarsShowHealthAndPower) {
    overlay(drawHud);
    const int full = healthBarLength();
    EXPECT_NEAR(full, 256.0 * 0.1315, 1.5);
    EXPECT_TRUE(isRed(at(104, 4)));
    EXPECT_EQ(at(104, 13), (Rgb{0, 0, 0})) << "no power, no yellow bar";

    glClear(GL_COLOR_BUFFER_BIT);
    playerHealth = 250;
    playerPower = 100;
    overlay(drawHud);
    EXPECT_NEAR(healthBarLength(), full / 2.0, 1.5);
    EXPECT_EQ(at(104, 13), (Rgb{255, 255, 0}));
}

TEST_F(HudDrawing, TheMinimapShowsTheTileTextureAndMarkersInside) {
    creatureMarkers.push_back({30000.0f, 30000.0f});    // the window's centre
    creatureMarkers.push_back({13616.0f, 30000.0f});    // on its edge
    decorMarkers.push_back({30000.0f - 8192.0f, 30000.0f});
    overlay(drawHud);
    EXPECT_TRUE(creatureMarkers.empty());
    EXPECT_TRUE(decorMarkers.empty());
    // The minimap fills (0, 0) to (64, 64); a creature at the camera is a
    // black 5 by 5 square from its centre.
    EXPECT_EQ(at(10, 50), (Rgb{0, 0, 255}));
    EXPECT_EQ(at(36, 33), (Rgb{0, 0, 0}));
    EXPECT_EQ(at(39, 33), (Rgb{0, 0, 255}));
    EXPECT_EQ(at(1, 33), (Rgb{0, 0, 255})) << "no marker for the creature on the edge";
    EXPECT_EQ(at(17, 33), (Rgb{0, 255, 0})) << "a green decor marker";
}

TEST_F(HudDrawing, MarkersTurnWithTheMinimap) {
    liveCamera.yawAngle = static_cast<float>(3.141592654 / 2.0);
    decorMarkers.push_back({30000.0f - 8192.0f, 30000.0f});
    overlay(drawHud);
    EXPECT_NE(at(17, 33), (Rgb{0, 255, 0}));
    EXPECT_EQ(at(31, 17), (Rgb{0, 255, 0})) << "a quarter turn about the minimap's centre";
}

TEST_F(HudDrawing, DamageOverlayShowsFiveFramesAndGoesOffOnTheSixth) {
    damageOverlayOn = true;
    damageOverlayFrames = 5;
    for (int frame = 0; frame < 5; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT);
        overlay(drawDamageOverlay);
        EXPECT_EQ(at(400, 400), (Rgb{255, 0, 0})) << "frame " << frame;
    }
    EXPECT_TRUE(damageOverlayOn);
    EXPECT_EQ(damageOverlayFrames, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    overlay(drawDamageOverlay);
    EXPECT_FALSE(damageOverlayOn);
    EXPECT_EQ(at(400, 400), (Rgb{0, 0, 0}));
}

TEST_F(HudDrawing, TheWinTextIsRedAboveTheMiddle) {
    overlay(drawWinText);
    int red = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (isRed(at(x, y))) {
                ++red;
                EXPECT_GE(x, size / 2 - 70);
                EXPECT_LT(x, size / 2 + 80);
                EXPECT_GT(y, size / 2 - size / 5 - 30);
                EXPECT_LE(y, size / 2 - size / 5 + 8);
            }
        }
    }
    EXPECT_GT(red, 100);
}

TEST_F(HudDrawing, TheSkyBoxSurroundsTheCamera) {
    // Each face in its own colour; looking along each axis shows that face.
    const std::array<Rgb, 5> colours = {Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{255, 255, 0},
                                        Rgb{0, 255, 255}};
    std::array<GLuint, 5> faces{};
    for (std::size_t i = 0; i < 5; ++i) {
        faces[i] = testfiles::solidTexture(colours[i]);
        textureIds[i + 1] = faces[i];
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 4.0, -80000.0);
    glMatrixMode(GL_MODELVIEW);
    const struct {
        Vec3 forward;
        Vec3 up;
        Rgb colour;
    } views[] = {
        {{0, 0, -1}, {0, 1, 0}, colours[0]},  // front
        {{1, 0, 0}, {0, 1, 0}, colours[1]},   // right
        {{-1, 0, 0}, {0, 1, 0}, colours[2]},  // left
        {{0, 0, 1}, {0, 1, 0}, colours[3]},   // back
        {{0, 1, 0}, {0, 0, 1}, colours[4]},   // top
    };
    for (const auto& view : views) {
        liveCamera.init(1000.0f, 500.0f, -2000.0f);
        liveCamera.forward = view.forward;
        liveCamera.up = view.up;
        applyCamera(liveCamera);
        glClear(GL_COLOR_BUFFER_BIT);
        drawSkyBox();
        EXPECT_EQ(at(size / 2, size / 2), view.colour);
    }
    glDisable(GL_LIGHTING);
    glDeleteTextures(5, faces.data());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TEST_F(HudDrawing, FiveAndF3SwitchWireframeAtOnce) {
    GLint mode[2] = {};
    onKeyDown('5', 0, 0);
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE);
    EXPECT_EQ(mode[1], GL_LINE) << "both faces";
    onSpecialKey(GLUT_KEY_F3, 0, 0);
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
    EXPECT_FALSE(wireframe);
}

TEST_F(HudDrawing, TheHelpNamesEveryControlAndFitsTheSmallestWindow) {
    helpShown = true;
    const std::vector<TextLine> help = debugTextLines();
    const std::set<std::string> named = namedControls(help);
    for (const char* control : {"w", "a", "s", "d", "mouse", "left button", "right button", "q", "c", "2", "5", "9",
                                "F1", "F2", "F3", "F6", "F7", "F8", "ESC"}) {
        EXPECT_TRUE(named.contains(control)) << control;
    }
    EXPECT_EQ(namedControls({{30, "'F1: x'"}, {45, "w, a: y; mouse: z"}}),
              (std::set<std::string>{"F1", "w", "a", "mouse"}));

    // Drawn for a window of 500 into a wider picture: nothing lands right
    // of the window's edge.
    windowWidth = windowHeight = 500;
    glViewport(0, 0, 500, 500);
    overlay(drawDebugText);
    helpShown = false;
    glViewport(0, 0, size, size);
    int inside = 0;
    int beyond = 0;
    for (int y = 0; y < 500; ++y) {
        for (int x = 250; x < size; ++x) {
            const Rgb p = gl->pixel(x, y);
            (x < 500 ? inside : beyond) += p[0] > 128 ? 1 : 0;
        }
    }
    EXPECT_GT(inside, 1000) << "the help is drawn";
    EXPECT_EQ(beyond, 0) << "the help reaches past the window's right edge";
}
