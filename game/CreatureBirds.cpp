#include <game/Creatures.h>

#include <game/FbxModel.h>
#include <game/ModelDraw.h>
#include <game/PlayerOptions.h>

#include <GL/glew.h>

float aggroBirdAttackInterval = 0.0f;

FBXCreatureBird::FBXCreatureBird(const CreatureModels& models, const Vec3& position, float radius,
                                 float attackRadius, float extraScale, int startFrame)
    : FBX_Creature(models, position, radius, attackRadius, extraScale, startFrame) {
    health = 30;
    speed = 10.0f;
    reward = 2.0f;
    colour = {1.0f, 1.0f, 1.0f};
    markColour = {0.9f, 0.2f, 0.0f};
}

bool FBXCreatureBird::collides(const Vec3& point, const Vec3& direction, float radius) {
    return spheresOverlap(point, direction, above(0.5f * this->radius), radius, 0.5f * this->radius);
}

bool FBXCreatureBird::isHit(const Vec3& point, const Vec3& direction, float radius) {
    return markHit(collides(point, direction, radius));
}

void FBXCreatureBird::moveOnGround() {
    stepForward();
    countWandering();
}

void FBXCreatureBird::act(const Vec3&) {
    moveOnGround();
}

void FBXCreatureBird::draw(int lod) {
    glPushMatrix();
    drawHitDisplay(hitBar, 2.0f, 1.0f);
    applyPlacement(0.0f);
    const int n = frameCounter++;
    if (models[0]) {
        setModelFrame(*models[0], n);
    }
    // Birds use client arrays whatever the render mode.
    if (FbxModel* model = modelOf(models, lod)) {
        glPushMatrix();
        drawVertexArrays(*model, extraScale);
        glPopMatrix();
    }
    glPopMatrix();
    if (boundingSpheresShown) {
        drawBoundingSphere(above(0.5f * radius), radius);
    }
}

void FBXCreatureBird::attack(const Vec3&) {}

void FBXCreatureBird::turnTowards(const Vec3&) {}

FBXCreatureAggroBird::FBXCreatureAggroBird(const CreatureModels& models, const Vec3& position, float radius,
                                           float attackRadius, float extraScale, int startFrame)
    : FBX_Creature(models, position, radius, attackRadius, extraScale, startFrame),
      hoverHeight(position[1]),
      frameTime(static_cast<float>(startFrame)) {
    health = 50;
    speed = 20.0f;
    reward = 5.0f;
    colour = {1.0f, 1.0f, 1.0f};
    markColour = {1.0f, 0.0f, 0.0f};
    aggressive = true;
    aggroBirdAttackInterval = 15.0f;
}

bool FBXCreatureAggroBird::collides(const Vec3& point, const Vec3& direction, float radius) {
    return spheresOverlap(point, direction, position, radius, this->radius);
}

bool FBXCreatureAggroBird::isHit(const Vec3& point, const Vec3& direction, float radius) {
    return markHit(collides(point, direction, radius));
}

void FBXCreatureAggroBird::moveOnGround() {
    stepForward();
    // The hover height is the start height, ground included.
    position[1] = centreGroundHeight(position[0], position[2]) + hoverHeight;
    countWandering();
}

void FBXCreatureAggroBird::draw(int lod) {
    glPushMatrix();
    drawHitDisplay(hitBar, 2.0f, 1.0f);
    applyPlacement(0.0f);
    drawFramed(modelOf(models, lod), frameTime, 1.2f);
    glPopMatrix();
    if (boundingSpheresShown) {
        drawBoundingSphere(position, radius);
    }
}

void FBXCreatureAggroBird::attack(const Vec3& player) {
    fireSpell(false, 100.0f, position, player, attackCooldown, aggroBirdAttackInterval);
}
