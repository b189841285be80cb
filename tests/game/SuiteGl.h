#pragma once

// One offscreen GL context shared by the tests of a suite, and plain
// one-pixel textures to draw with.

#include "GlTestSupport.h"
#include "OffscreenGl.h"

#include <GL/glew.h>

#include <array>
#include <cstdint>

namespace testfiles {

// A context of the size, or null when there is no display.
inline OffscreenGl* startSuiteGl(int width, int height) {
    return startTestDisplay() ? new OffscreenGl(width, height) : nullptr;
}

// Ends the suite's context and checks that the suite leaked nothing.
inline void endSuiteGl(OffscreenGl*& gl) {
    delete gl;
    gl = nullptr;
    expectNoLeaks();
}

// A one-pixel texture of the colour (red, green, blue), nearest filtered.
inline GLuint solidTexture(const std::array<std::uint8_t, 3>& rgb) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const std::uint8_t bgr[3] = {rgb[2], rgb[1], rgb[0]};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_BGR, GL_UNSIGNED_BYTE, bgr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

}  // namespace testfiles
