#include <game/CallbackSets.h>
#include <game/GameApp.h>
#include <game/GameState.h>
#include <game/Screens.h>
#include <tools/ResourceGenerator.h>

#include "GlTestSupport.h"
#include "ImageMatch.h"
#include "TestFiles.h"

#include <GL/freeglut.h>
#include <cstdlib>
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>

// Last: the X headers define names such as None and Status.
#include <GL/glx.h>
#include <X11/Xutil.h>

namespace fs = std::filesystem;
using testfiles::Picture;

namespace {

// These tests pin the exact console output: on a machine without an audio
// device the sound layer would add its one "sound is off" line, so they use
// the silent driver unless the caller chose one.
const bool silentAudio = setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;

constexpr int windowSize = 500;

// One window for the whole test program, started as the game starts, in a
// folder that holds the generated screen images (and no sounds).
class ScreensTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static bool started = false;
        if (started) {
            return;
        }
        started = true;
        ASSERT_TRUE(testfiles::startTestDisplay()) << "Xvfb did not start";
        // Removed at exit; the window lives until then.
        static const testfiles::TempDir folder;
        std::vector<ResourceFile> screens;
        for (ResourceFile& file : resourceFiles()) {
            if (file.path == "splashscreen.tga" || file.path == "level1Task.tga" ||
                file.path == "level2Task.tga" || file.path == "GameOver.tga") {
                screens.push_back(std::move(file));
            }
        }
        ASSERT_TRUE(generateFiles(folder.path() / "Ressources", screens));
        fs::current_path(folder.path());
        char name[] = "qalimor";
        char* argv[] = {name, nullptr};
        testing::internal::CaptureStdout();
        static GameApp* app = new GameApp(1, argv);
        EXPECT_NE(app, nullptr);
        // Nothing is read back from the window before the server has mapped
        // it, however long a busy machine takes for that.
        Display* display = glXGetCurrentDisplay();
        const Window window = glXGetCurrentDrawable();
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        XWindowAttributes attributes{};
        for (;;) {
            glutMainLoopEvent();
            const bool mapped = XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
            if (mapped || std::chrono::steady_clock::now() > limit) {
                break;
            }
            usleep(10000);
        }
        EXPECT_EQ(attributes.map_state, IsViewable) << "the window was never mapped";
        std::fflush(stdout);
        startupOutput() = testing::internal::GetCapturedStdout();
    }

    static void TearDownTestSuite() { testfiles::expectNoLeaks(); }

    void SetUp() override {
        onReshape(windowSize, windowSize);
        spacePressed = false;
        splashDone = false;
        taskDone = false;
        levelNumber = 1;
        currentLevel = 0;
    }

    static std::string& startupOutput() {
        static std::string output;
        return output;
    }

    // What the window shows after the last buffer swap, read from the X
    // server as a screenshot would (this GL reads its front buffer as black).
    static Picture shownPicture() {
        Picture picture{windowSize, windowSize, std::vector<std::uint8_t>(windowSize * windowSize * 3)};
        glFinish();
        XImage* shot = XGetImage(glXGetCurrentDisplay(), glXGetCurrentDrawable(), 0, 0, windowSize, windowSize,
                                 AllPlanes, ZPixmap);
        if (!shot) {
            ADD_FAILURE() << "no image of the window";
            return picture;
        }
        EXPECT_EQ(shot->red_mask, 0xFF0000u);
        for (int y = 0; y < windowSize; ++y) {
            for (int x = 0; x < windowSize; ++x) {
                const unsigned long pixel = XGetPixel(shot, x, y);
                std::uint8_t* out = picture.rgb.data() + (static_cast<std::size_t>(y) * windowSize + static_cast<std::size_t>(x)) * 3;
                out[0] = static_cast<std::uint8_t>(pixel >> 16);
                out[1] = static_cast<std::uint8_t>(pixel >> 8);
                out[2] = static_cast<std::uint8_t>(pixel);
            }
        }
        XDestroyImage(shot);
        return picture;
    }

    static Picture image(const char* name) { return testfiles::pictureFromTga(std::string("Ressources/") + name); }

    static std::string captured(void (*action)()) {
        testing::internal::CaptureStdout();
        action();
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }
};

}  // namespace

TEST_F(ScreensTest, StartUpOpensTheWindowOnTheSplashScreen) {
    EXPECT_EQ(glutGet(GLUT_WINDOW_WIDTH), windowSize);
    EXPECT_EQ(glutGet(GLUT_WINDOW_HEIGHT), windowSize);
    EXPECT_EQ(glutGet(GLUT_WINDOW_X), 300);
    EXPECT_EQ(glutGet(GLUT_WINDOW_Y), 150);
    EXPECT_EQ(glutGet(GLUT_WINDOW_DOUBLEBUFFER), 1);
    EXPECT_GT(glutGet(GLUT_WINDOW_DEPTH_SIZE), 0);
    EXPECT_EQ(activeScreen, ScreenState::splash);
    EXPECT_EQ(startupOutput(), "id = 0, filename = Ressources/splashscreen.tga: erfolgreich geladen\n");
    EXPECT_EQ(splashScreen.width, windowSize);
    EXPECT_EQ(splashScreen.height, windowSize);
    EXPECT_NE(splashScreen.texture, 0u);
}

TEST_F(ScreensTest, SplashFrameShowsTheSplashImage) {
    showSplashScreen();
    registerSplashCallbacks();
    onSplashFrame();
    const Picture shown = shownPicture();
    EXPECT_GE(testfiles::matchingShare(shown, image("splashscreen.tga")), 0.9);
    EXPECT_LT(testfiles::matchingShare(shown, image("level1Task.tga")), 0.5);
    EXPECT_EQ(activeScreen, ScreenState::splash);
}

TEST_F(ScreensTest, SpaceOnTheSplashShowsLoadingThenTheFirstTask) {
    showSplashScreen();
    registerSplashCallbacks();
    spacePressed = true;
    const std::string output = captured(onSplashFrame);

    // "LOADING.." in white from the window centre, on black.
    const Picture shown = shownPicture();
    int whiteInText = 0;
    int litOutside = 0;
    for (int y = 0; y < windowSize; ++y) {
        for (int x = 0; x < windowSize; ++x) {
            const std::uint8_t* p = shown.at(x, y);
            const bool inText = x >= 250 && x < 250 + 9 * 8 && y >= 250 - 14 && y < 250 + 4;
            if (inText && p[0] > 200 && p[1] > 200 && p[2] > 200) {
                ++whiteInText;
            } else if (!inText && (p[0] | p[1] | p[2]) != 0) {
                ++litOutside;
            }
        }
    }
    EXPECT_GT(whiteInText, 80);
    EXPECT_EQ(litOutside, 0);

    EXPECT_FALSE(spacePressed);
    EXPECT_TRUE(splashDone);
    EXPECT_EQ(splashScreen.texture, 0u) << "the splash image is released";
    EXPECT_EQ(activeScreen, ScreenState::levelTask);
    EXPECT_FALSE(taskDone);
    EXPECT_EQ(output, "id = 0, filename = Ressources/level1Task.tga: erfolgreich geladen\n");

    onLevelTaskFrame();
    EXPECT_GE(testfiles::matchingShare(shownPicture(), image("level1Task.tga")), 0.9);
    EXPECT_EQ(activeScreen, ScreenState::levelTask);
}

TEST_F(ScreensTest, SpaceOnTheTaskScreenLoadsTheLevelAndStartsPlay) {
    showLevelTaskScreen();
    registerLevelTaskCallbacks();
    onLevelTaskFrame();
    EXPECT_EQ(activeScreen, ScreenState::levelTask) << "no space yet";
    spacePressed = true;
    onLevelTaskFrame();
    EXPECT_EQ(activeScreen, ScreenState::play);
    EXPECT_EQ(currentLevel, 1);
    EXPECT_EQ(levelNumber, 2);
    EXPECT_TRUE(taskDone);
    EXPECT_EQ(levelTaskScreen.texture, 0u);
}

TEST_F(ScreensTest, SpacePressedDuringPlayLeavesTheNextTaskScreenAtOnce) {
    levelNumber = 2;
    spacePressed = true;  // pressed while level 1 was played
    const std::string output = captured([] {
        showLevelTaskScreen();
        registerLevelTaskCallbacks();
    });
    EXPECT_EQ(output, "id = 0, filename = Ressources/level2Task.tga: erfolgreich geladen\n");
    onLevelTaskFrame();
    EXPECT_EQ(activeScreen, ScreenState::play);
    EXPECT_EQ(currentLevel, 2);
    EXPECT_EQ(levelNumber, 3);
}

TEST_F(ScreensTest, GameOverShowsItsImageAndIgnoresSpace) {
    showGameOverScreen();
    registerGameOverCallbacks();
    spacePressed = true;
    onGameOverFrame();
    onGameOverFrame();
    EXPECT_EQ(activeScreen, ScreenState::gameOver);
    EXPECT_TRUE(spacePressed);
    EXPECT_GE(testfiles::matchingShare(shownPicture(), image("GameOver.tga")), 0.9);
}

TEST_F(ScreensTest, MissingScreenImageLeavesAPlainWhiteScreen) {
    testfiles::TempDir empty;
    testfiles::WorkingDirectory inside(empty.path());
    const std::string output = captured([] {
        showSplashScreen();
        registerSplashCallbacks();
    });
    EXPECT_EQ(output, "id = 0, filename = Ressources/splashscreen.tga: Unable to load the Texture "
                      "'Ressources/splashscreen.tga'\n");
    EXPECT_EQ(splashScreen.texture, 0u);
    onSplashFrame();
    EXPECT_EQ(testfiles::brightShare(shownPicture()), 1.0);
}

TEST_F(ScreensTest, ScreensKeepTheSizeTheyStartedWith) {
    showSplashScreen();
    onReshape(300, 200);
    EXPECT_EQ(windowWidth, 300);
    EXPECT_EQ(windowHeight, 200);
    EXPECT_EQ(splashScreen.width, windowSize);
    EXPECT_EQ(splashScreen.height, windowSize);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 200);
}

TEST_F(ScreensTest, ReshapeSetsTheGamePerspective) {
    onReshape(400, 300);
    GLdouble m[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    const double f = 1.0 / std::tan(30.0 * 3.14159265358979 / 180.0);
    EXPECT_NEAR(m[5], f, 1e-6);
    EXPECT_NEAR(m[0], f / (400.0 / 300.0), 1e-6);
    // The far value of -80000 is deliberate: nothing is clipped for distance.
    EXPECT_NEAR(m[10], (-80000.0 + 4.0) / (4.0 + 80000.0), 1e-6);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
}

TEST_F(ScreensTest, ReshapeToZeroHeightKeepsAFiniteProjection) {
    onReshape(500, 0);
    GLdouble m[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    for (double v : m) {
        EXPECT_TRUE(std::isfinite(v));
    }
    EXPECT_EQ(windowHeight, 0);
}
