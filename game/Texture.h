#pragma once

#include <GL/glew.h>

#include <array>
#include <string>

// GL texture names of the images the play screens use, by slot.
inline constexpr int textureSlotCount = 22;
extern std::array<GLuint, textureSlotCount> textureIds;

// Reads a TGA file and uploads it as a mipmapped texture, printing the
// loader's console lines with shownId as the "id". On success name holds the
// new texture; on any failure it is 0, the "no texture" name.
bool loadTextureImage(int shownId, const std::string& fileName, GLuint& name);

// Loads a file into textureIds[slot].
void loadTexture(int slot, const std::string& fileName);
