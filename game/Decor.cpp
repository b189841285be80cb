#include <game/Decor.h>

#include <game/FbxModel.h>
#include <game/ModelDraw.h>
#include <game/PlayerOptions.h>

#include <GL/glew.h>

void FBX_Decor::applyPlacement() const {
    glTranslatef(position[0], position[1], position[2]);
    glRotatef(angle, 0.0f, 1.0f, 0.0f);
}

void FBX_Decor::drawLevelModel(const std::array<FbxModel*, 3>& set, int lod) {
    if (lod < 0 || lod > 2 || !set[static_cast<std::size_t>(lod)]) {
        return;
    }
    if (animated) {
        advanceFrame(lod);
    }
    // The model's scale stays on the matrix it is drawn with.
    glPushMatrix();
    drawModel(*set[static_cast<std::size_t>(lod)], extraScale);
    glPopMatrix();
}

void FBX_Decor::advanceFrame(int) {
    const int n = frameCounter++;
    if (models[0]) {
        setModelFrame(*models[0], n);
    }
}

void FBX_Decor::drawPlain(int lod, const Vec3& modelColour) {
    glPushMatrix();
    glColor3f(modelColour[0], modelColour[1], modelColour[2]);
    applyPlacement();
    drawLevelModel(models, lod);
    glPopMatrix();
    if (boundingSpheresShown) {
        drawBoundingSphere(position, size);
    }
}

void damageUntilGone(Decor& decor, int amount) {
    decor.health -= amount;
    if (decor.health <= 0) {
        decor.state = decorGone;
    }
}
