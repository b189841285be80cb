#include <game/Texture.h>

#include "GlTestSupport.h"
#include "TestFiles.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using testfiles::TgaHeader;
using testfiles::tgaFile;
using Bytes = std::vector<std::uint8_t>;

namespace {

class TextureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static bool windowOpen = false;
        ASSERT_TRUE(testfiles::startTestDisplay()) << "Xvfb did not start";
        if (!windowOpen) {
            int argc = 1;
            char name[] = "texture_test";
            char* argv[] = {name, nullptr};
            glutInit(&argc, argv);
            glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
            glutInitWindowSize(64, 64);
            glutCreateWindow("texture test");
            windowOpen = true;
        }
    }

    static void TearDownTestSuite() { testfiles::expectNoLeaks(); }

    std::string file(const std::string& name, const Bytes& bytes) {
        const auto path = dir_.path() / name;
        testfiles::writeBytes(path, bytes);
        return path.string();
    }

    // Loads into a slot and returns what the loader printed.
    std::string load(int slot, const std::string& path) {
        testing::internal::CaptureStdout();
        loadTexture(slot, path);
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }

    // Level 0 of the texture as blue-green-red rows, bottom row first.
    static Bytes textureBytes(GLuint name, int& width, int& height) {
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        Bytes bytes(static_cast<std::size_t>(width * height * 3));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR, GL_UNSIGNED_BYTE, bytes.data());
        return bytes;
    }

    testfiles::TempDir dir_;
};

TgaHeader image24(std::uint16_t width, std::uint16_t height, std::uint8_t descriptor) {
    TgaHeader h;
    h.width = width;
    h.height = height;
    h.descriptor = descriptor;
    return h;
}

// Pixels A B (top row) and C D (bottom row) as stored with the first row at the top.
const Bytes topRowFirst = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};

}  // namespace

TEST_F(TextureTest, TopFirstImageIsFlippedOnceAndUploadedBottomFirst) {
    const std::string path = file("top.tga", tgaFile(image24(2, 2, 0x20), topRowFirst));
    textureIds[3] = 0;
    EXPECT_EQ(load(3, path), "id = 3, filename = " + path + ": flipping vert.\nerfolgreich geladen\n");
    ASSERT_NE(textureIds[3], 0u);
    EXPECT_TRUE(glIsTexture(textureIds[3]));
    int width = 0;
    int height = 0;
    const Bytes texture = textureBytes(textureIds[3], width, height);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    // Two-pixel rows are six bytes long: packed without padding, the
    // bottom row (C D) first.
    EXPECT_EQ(texture, (Bytes{70, 80, 90, 100, 110, 120, 10, 20, 30, 40, 50, 60}));
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
}

TEST_F(TextureTest, RightToLeftImageIsFlippedHorizontally) {
    const std::string path = file("right.tga", tgaFile(image24(2, 2, 0x10), topRowFirst));
    EXPECT_EQ(load(4, path), "id = 4, filename = " + path + ": flipping horiz.\nerfolgreich geladen\n");
    int width = 0;
    int height = 0;
    EXPECT_EQ(textureBytes(textureIds[4], width, height),
              (Bytes{40, 50, 60, 10, 20, 30, 100, 110, 120, 70, 80, 90}));
}

TEST_F(TextureTest, OddRowLengthsUploadWithoutSkewAndLeaveTheUnpackAlignment) {
    // One pixel per row: three-byte rows, which an alignment of 4 would pad.
    const Bytes column = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::string path = file("column.tga", tgaFile(image24(1, 4, 0), column));
    EXPECT_EQ(load(5, path), "id = 5, filename = " + path + ": erfolgreich geladen\n");
    int width = 0;
    int height = 0;
    EXPECT_EQ(textureBytes(textureIds[5], width, height), column);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
}

TEST_F(TextureTest, MissingFileLeavesTheSlotWithoutTexture) {
    textureIds[7] = 99;
    EXPECT_EQ(load(7, "Ressources/nothing.tga"),
              "id = 7, filename = Ressources/nothing.tga: Unable to load the Texture 'Ressources/nothing.tga'\n");
    EXPECT_EQ(textureIds[7], 0u);
}

TEST_F(TextureTest, UnreadableOrUnconvertibleImagesAreFailedLoads) {
    // A colour index past the end of the map reads, but cannot be converted.
    TgaHeader h;
    h.colorMapType = 1;
    h.imageType = 1;
    h.colorMapLength = 1;
    h.colorMapEntrySize = 24;
    h.width = 2;
    h.pixelDepth = 8;
    const std::string badIndex = file("index.tga", tgaFile(h, {1, 2, 3, 0, 1}));
    EXPECT_EQ(load(8, badIndex), "id = 8, filename = " + badIndex + ": Unable to load the Texture '" + badIndex + "'\n");
    EXPECT_EQ(textureIds[8], 0u);

    const Bytes whole = tgaFile(image24(2, 2, 0), topRowFirst);
    const std::string truncated = file("short.tga", Bytes(whole.begin(), whole.end() - 1));
    EXPECT_EQ(load(9, truncated),
              "id = 9, filename = " + truncated + ": Unable to load the Texture '" + truncated + "'\n");
    EXPECT_EQ(textureIds[9], 0u);
}

TEST_F(TextureTest, GreyAndSixteenBitImagesUploadAsColour) {
    TgaHeader grey = image24(2, 1, 0);
    grey.imageType = 3;
    grey.pixelDepth = 8;
    const std::string path = file("grey.tga", tgaFile(grey, {0, 200}));
    load(10, path);
    int width = 0;
    int height = 0;
    EXPECT_EQ(textureBytes(textureIds[10], width, height), (Bytes{0, 0, 0, 200, 200, 200}));

    TgaHeader wide = image24(1, 1, 0);
    wide.pixelDepth = 16;
    const std::string path16 = file("sixteen.tga", tgaFile(wide, {0x1F, 0x00}));
    load(11, path16);
    EXPECT_EQ(textureBytes(textureIds[11], width, height), (Bytes{248, 0, 0}));
}
