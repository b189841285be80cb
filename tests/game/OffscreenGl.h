#pragma once

// A GL context for tests and benchmarks: a hidden GLUT window whose drawing
// goes to a framebuffer object of its own, so that pixels read back are
// defined whether or not the window is ever shown. Needs a display (DISPLAY
// set and the server running): GLUT ends the process when there is none.

#include <GL/glew.h>
#include <GL/glut.h>

#include <array>
#include <cstdint>

class OffscreenGl {
public:
    OffscreenGl(int width, int height) : mWidth(width), mHeight(height) {
        initGlut();
        glutInitWindowSize(width, height);
        mWindow = glutCreateWindow("offscreen");
        glutHideWindow();
        if (glewInit() != GLEW_OK || !glGenFramebuffers) {
            return;
        }
        glGenFramebuffers(1, &mFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
        glGenRenderbuffers(2, mRenderbuffers.data());
        glBindRenderbuffer(GL_RENDERBUFFER, mRenderbuffers[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, mRenderbuffers[0]);
        glBindRenderbuffer(GL_RENDERBUFFER, mRenderbuffers[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, mRenderbuffers[1]);
        mReady = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glViewport(0, 0, width, height);
    }

    ~OffscreenGl() {
        if (mFramebuffer) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDeleteRenderbuffers(2, mRenderbuffers.data());
            glDeleteFramebuffers(1, &mFramebuffer);
        }
        if (mWindow) {
            glutDestroyWindow(mWindow);
        }
    }

    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    bool ready() const { return mReady; }
    int width() const { return mWidth; }
    int height() const { return mHeight; }

    // Red, green, blue of the pixel at (x, y), y counted from the bottom.
    std::array<std::uint8_t, 3> pixel(int x, int y) const {
        std::array<std::uint8_t, 4> rgba{};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return {rgba[0], rgba[1], rgba[2]};
    }

private:
    static void initGlut() {
        static bool initialised = false;
        if (initialised) {
            return;
        }
        initialised = true;
        static char name[] = "offscreen";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    }

    int mWidth = 0;
    int mHeight = 0;
    int mWindow = 0;
    GLuint mFramebuffer = 0;
    std::array<GLuint, 2> mRenderbuffers{};
    bool mReady = false;
};
