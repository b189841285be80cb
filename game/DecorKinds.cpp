#include <game/DecorKinds.h>

#include <game/PlayerOptions.h>

#include <GL/glew.h>

namespace {

constexpr int hitDisplayFrames = 20;
constexpr Vec3 white{1.0f, 1.0f, 1.0f};

}  // namespace

bool FBX_DecorCactus::collides(const Vec3& point, const Vec3& direction, float radius) {
    return spheresOverlap(point, direction, midCentre(), radius, 0.5f * size);
}

bool FBX_DecorCactus::isHit(const Vec3& point, const Vec3& direction, float radius) {
    if (!collides(point, direction, radius)) {
        return false;
    }
    hitTimer = hitDisplayFrames;
    return true;
}

void FBX_DecorCactus::draw(int lod) {
    glPushMatrix();
    --hitTimer;
    if (hitTimer > 0) {
        drawHitBar(hitBar, above(3.0f * size), 0.25f * size, health);
    } else {
        const float tint = position[1] / 3000.0f;
        glColor3f(tint, 1.0f, tint);
    }
    applyPlacement();
    drawLevelModel(models, lod);
    glPopMatrix();
    if (boundingSpheresShown) {
        drawBoundingSphere(midCentre(), 0.5f * size);
    }
}

void FBX_DecorCactus::takeDamage(int amount) {
    damageUntilGone(*this, amount);
}

FBX_DecorPalm::FBX_DecorPalm(FbxModel* crown0, FbxModel* crown1, float x, float y, float z, float angle, float size,
                             float extraScale, FbxModel* crown2, FbxModel* trunk0, FbxModel* trunk1,
                             FbxModel* trunk2)
    : crownModels{crown0, crown1, crown2} {
    position = {x, y, z};
    this->angle = angle;
    this->size = size;
    this->extraScale = extraScale;
    models = {trunk0, trunk1, trunk2};
    colour = {0.9f, 0.1f, 0.0f};
    health = 30;
}

bool FBX_DecorPalm::collides(const Vec3& point, const Vec3& direction, float radius) {
    return spheresOverlap(point, direction, crownCentre(), radius, 1.5f * size) ||
           spheresOverlap(point, direction, trunkCentre(), radius, 0.5f * size);
}

bool FBX_DecorPalm::isHit(const Vec3& point, const Vec3& direction, float radius) {
    if (!collides(point, direction, radius)) {
        return false;
    }
    hitTimer = hitDisplayFrames;
    return true;
}

void FBX_DecorPalm::draw(int lod) {
    // Leaves and trunk are seen from both sides.
    glDisable(GL_CULL_FACE);
    glPushMatrix();
    --hitTimer;
    if (hitTimer > 0) {
        drawHitBar(hitBar, above(3.0f * size), 0.25f * size, health);
    } else {
        const float tint = position[1] / 5000.0f;
        glColor3f(tint, 1.0f, tint);
    }
    applyPlacement();
    if (staticLodMode != 1) {
        drawLevelModel(crownModels, lod);
    }
    // The trunk counts the hit display down once more: a palm's bar stays
    // up for half as many frames.
    --hitTimer;
    glColor3f(1.0f, 1.0f, 1.0f);
    if (staticLodMode != 1) {
        drawLevelModel(models, lod);
    }
    glPopMatrix();
    if (boundingSpheresShown) {
        drawBoundingSphere(crownCentre(), 1.5f * size);
        drawBoundingSphere(trunkCentre(), 0.5f * size);
    }
    glEnable(GL_CULL_FACE);
}

void FBX_DecorPalm::takeDamage(int amount) {
    damageUntilGone(*this, amount);
}

bool FBX_DecorBlock::collides(const Vec3& point, const Vec3& direction, float radius) {
    return spheresOverlap(point, direction, position, radius, size);
}

bool FBX_DecorBlock::isHit(const Vec3& point, const Vec3& direction, float radius) {
    return spheresOverlap(point, direction, above(size), radius, 0.5f * size);
}

void FBX_DecorBlock::draw(int lod) {
    drawPlain(lod, white);
}

void FBX_DecorSandstone::takeDamage(int amount) {
    health -= amount;
}

void FBX_DecorWall::takeDamage(int) {}
