#include <game/SkyBox.h>

#include <game/Camera.h>
#include <game/Texture.h>

#include <GL/glew.h>

#include <array>

namespace {

constexpr float half = 100000.0f;
constexpr float side = 200000.0f;

// One face: its texture slot, its corner relative to the box's lower
// corner level, and four corners with their texture coordinates.
struct SkyFace {
    int slot;
    std::array<float, 3> offset;
    std::array<std::array<float, 5>, 4> corners;  // x, y, z, s, t
};

constexpr std::array<SkyFace, 5> faces = {{
    {1, {-half, 0.0f, -half}, {{{0, 0, 0, 0, 0}, {side, 0, 0, 1, 0}, {side, side, 0, 1, 1}, {0, side, 0, 0, 1}}}},
    {2, {half, 0.0f, half}, {{{0, 0, 0, 1, 0}, {0, side, 0, 1, 1}, {0, side, -side, 0, 1}, {0, 0, -side, 0, 0}}}},
    {4, {-half, 0.0f, half}, {{{0, 0, 0, 1, 0}, {0, side, 0, 1, 1}, {side, side, 0, 0, 1}, {side, 0, 0, 0, 0}}}},
    {3, {-half, 0.0f, half}, {{{0, 0, 0, 0, 0}, {0, 0, -side, 1, 0}, {0, side, -side, 1, 1}, {0, side, 0, 0, 1}}}},
    {5, {-half, side, half}, {{{0, 0, 0, 0, 1}, {0, 0, -side, 0, 0}, {side, 0, -side, 1, 0}, {side, 0, 0, 1, 1}}}},
}};

}  // namespace

void drawSkyBox() {
    const Vec3& eye = liveCamera.position;
    glPushMatrix();
    glTranslatef(eye[0], eye[1], eye[2]);
    glTranslatef(0.0f, -half, 0.0f);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (const SkyFace& face : faces) {
        glPushMatrix();
        glTranslatef(face.offset[0], face.offset[1], face.offset[2]);
        glBindTexture(GL_TEXTURE_2D, textureIds[static_cast<std::size_t>(face.slot)]);
        glBegin(GL_QUADS);
        for (const auto& c : face.corners) {
            glTexCoord2f(c[3], c[4]);
            glVertex3f(c[0], c[1], c[2]);
        }
        glEnd();
        glPopMatrix();
    }
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}
