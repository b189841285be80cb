#include <game/Creatures.h>

#include <game/PlayerOptions.h>

#include <GL/glew.h>

float demonAttackInterval = 0.0f;

FBXCreatureDemon::FBXCreatureDemon(const CreatureModels& models, const Vec3& position, float radius,
                                   float attackRadius, float extraScale, int startFrame)
    : FBX_Creature(models, position, radius, attackRadius, extraScale, startFrame),
      frameTime(static_cast<float>(startFrame)) {
    health = 200;
    speed = 20.0f;
    reward = 10.0f;
    colour = {1.0f, 0.1f, 0.1f};
    markColour = {1.0f, 0.1f, 0.1f};
    aggressive = true;
    demonAttackInterval = 1.0f;
}

bool FBXCreatureDemon::collides(const Vec3& point, const Vec3& direction, float radius) {
    return touchesBody(point, direction, radius);
}

bool FBXCreatureDemon::isHit(const Vec3& point, const Vec3& direction, float radius) {
    return markHit(touchesBody(point, direction, radius));
}

void FBXCreatureDemon::moveOnGround() {
    stepForward();
    position[1] = centreGroundHeight(position[0], position[2]);
    countWandering();
}

void FBXCreatureDemon::draw(int lod) {
    glPushMatrix();
    drawHitDisplay(hitBar, 4.0f, 0.5f);
    // The demon's model winds its front faces clockwise.
    glFrontFace(GL_CW);
    applyPlacement(0.0f);
    drawFramed(modelOf(models, lod), frameTime, 1.0f);
    glFrontFace(GL_CCW);
    glPopMatrix();
    if (boundingSpheresShown) {
        drawBodySpheres();
    }
}

void FBXCreatureDemon::attack(const Vec3& player) {
    const float dx = direction[0];
    const float dz = direction[2];
    const Vec3 muzzle{position[0] - radius * dz, position[1] + 3.0f * radius, position[2] + radius * dx};
    fireSpell(true, 150.0f, muzzle, player, attackCooldown, demonAttackInterval);
}
