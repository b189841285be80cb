#include <game/Texture.h>

#include <game/TgaImage.h>

#include <GL/glu.h>

#include <cstdio>

std::array<GLuint, textureSlotCount> textureIds{};

namespace {

// Reads the file and brings it to 24-bit BGR with its first row at the
// bottom, as GL expects. A conversion that fails is a failed load: the
// pixels would not have the size the upload reads.
bool readUploadImage(const std::string& fileName, TgaImage& image) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) {
        return false;
    }
    TgaResult result = tgaRead(file, image);
    std::fclose(file);
    if (result != tgaOk) {
        return false;
    }
    if (image.descriptor & tgaRightToLeft) {
        std::printf("flipping horiz.\n");
        tgaFlipHorizontal(image);
    }
    if (image.descriptor & tgaTopToBottom) {
        std::printf("flipping vert.\n");
        tgaFlipVertical(image);
    }
    return tgaConvertTo24(image) == tgaOk;
}

void upload(const TgaImage& image, GLuint& name) {
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    // Rows of three-byte pixels are tightly packed; with the default
    // alignment of 4 GL would skew odd widths and read past the buffer.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_BGR, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image.width, image.height, GL_BGR, GL_UNSIGNED_BYTE,
                      image.pixels.data());
    glPopClientAttrib();
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

}  // namespace

bool loadTextureImage(int shownId, const std::string& fileName, GLuint& name) {
    std::printf("id = %i", shownId);
    std::printf(", filename = %s: ", fileName.c_str());
    name = 0;
    TgaImage image;
    if (!readUploadImage(fileName, image)) {
        std::printf("Unable to load the Texture '%s'\n", fileName.c_str());
        return false;
    }
    upload(image, name);
    std::printf("erfolgreich geladen\n");
    return true;
}

void loadTexture(int slot, const std::string& fileName) {
    GLuint name = 0;
    loadTextureImage(slot, fileName, name);
    if (slot >= 0 && slot < textureSlotCount) {
        textureIds[static_cast<std::size_t>(slot)] = name;
    }
}
