#include <game/Screens.h>

#include <game/CallbackSets.h>
#include <game/GameState.h>
#include <game/LevelSetup.h>
#include <game/Texture.h>

#include <GL/glu.h>
#include <GL/glut.h>

ScreenImage splashScreen;
ScreenImage levelTaskScreen;
ScreenImage gameOverScreen;

namespace {

void startScreen(ScreenImage& screen, const std::string& fileName) {
    screen.width = windowWidth;
    screen.height = windowHeight;
    loadScreenTexture(screen, fileName);
    glColor3f(1.0f, 1.0f, 1.0f);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

void endOverlay() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// The image fills the recorded screen size, upright.
void drawScreenImage(const ScreenImage& screen) {
    const auto w = static_cast<GLfloat>(screen.width);
    const auto h = static_cast<GLfloat>(screen.height);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, screen.texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, h);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(w, h);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(w, 0.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void leaveSplash() {
    showLevelTaskScreen();
    registerLevelTaskCallbacks();
}

void leaveLevelTask() {
    if (levelNumber <= 2) {
        loadLevel();
        registerPlayCallbacks();
    }
    levelNumber += 1;
}

// One frame of the splash or level-task screen: leaves it when space was
// pressed, otherwise draws its image.
void runScreenFrame(ScreenImage& screen, bool& done, void (*leave)()) {
    beginScreenOverlay(screen);
    if (spacePressed && !done) {
        spacePressed = false;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        done = true;
        glPushMatrix();
        glLoadIdentity();
        glColor3f(1.0f, 1.0f, 1.0f);
        drawLoadingText(screen.width / 2, screen.height / 2);
        glPopMatrix();
        glutSwapBuffers();
        glFlush();
        endOverlay();
        glDeleteTextures(1, &screen.texture);
        screen.texture = 0;
        glFlush();
        leave();
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawScreenImage(screen);
    glutSwapBuffers();
    glFlush();
    endOverlay();
}

}  // namespace

void showSplashScreen() {
    startScreen(splashScreen, "Ressources/splashscreen.tga");
    glEnable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
}

void showLevelTaskScreen() {
    startScreen(levelTaskScreen, levelNumber == 1 ? "Ressources/level1Task.tga" : "Ressources/level2Task.tga");
    glEnable(GL_LIGHTING);
    taskDone = false;
}

void showGameOverScreen() {
    startScreen(gameOverScreen, "Ressources/GameOver.tga");
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
}

void onSplashFrame() {
    runScreenFrame(splashScreen, splashDone, leaveSplash);
}

void onLevelTaskFrame() {
    runScreenFrame(levelTaskScreen, taskDone, leaveLevelTask);
}

void onGameOverFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    beginScreenOverlay(gameOverScreen);
    glDisable(GL_LIGHTING);
    drawScreenImage(gameOverScreen);
    glutSwapBuffers();
    glFlush();
    endOverlay();
}

void beginScreenOverlay(const ScreenImage& screen) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, screen.width, 0.0, screen.height);
    glScalef(1.0f, -1.0f, 1.0f);
    glTranslatef(0.0f, static_cast<GLfloat>(-screen.height), 0.0f);
    glMatrixMode(GL_MODELVIEW);
}

void loadScreenTexture(ScreenImage& screen, const std::string& fileName) {
    loadTextureImage(0, fileName, screen.texture);
}

void drawLoadingText(int x, int y) {
    glRasterPos2i(x, y);
    for (const char* c = "LOADING.."; *c; ++c) {
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, *c);
    }
}
