#include <game/Creatures.h>

#include <game/PlayerOptions.h>

#include <GL/glew.h>

#include <cstdio>

float wizardAttackInterval = 0.0f;

namespace {

// The wizard's model faces three eighths of a turn away from its heading.
constexpr float modelTurn = 2.3561945f;
// The wizard closes in further than the other kinds before it stops.
constexpr float keepDistance = 3000.0f;

}  // namespace

FBXCreatureWizard::FBXCreatureWizard(const CreatureModels& models, const Vec3& position, float radius,
                                     float attackRadius, float extraScale, int startFrame,
                                     const CreatureModels& bodyModels)
    : FBX_Creature(models, position, radius, attackRadius, extraScale, startFrame),
      hoverHeight(position[1]),
      frameTime(static_cast<float>(startFrame)),
      bodyModels(bodyModels) {
    health = 600;
    speed = 40.0f;
    reward = 50.0f;
    colour = {0.0f, 1.0f, 0.0f};
    markColour = {1.0f, 0.0f, 0.0f};
    aggressive = true;
    wizardAttackInterval = 10.0f;
}

bool FBXCreatureWizard::collides(const Vec3& point, const Vec3& direction, float radius) {
    return touchesBody(point, direction, radius);
}

bool FBXCreatureWizard::isHit(const Vec3& point, const Vec3& direction, float radius) {
    return markHit(touchesBody(point, direction, radius));
}

void FBXCreatureWizard::moveOnGround() {
    stepForward();
    position[1] = centreGroundHeight(position[0], position[2]) + hoverHeight;
    strafing = 0;
}

// The wizard hunts from the start and measures along the ground only.
void FBXCreatureWizard::think(const Vec3& player) {
    const float d = horizontalDistance(position, player);
    switch (state) {
    case creatureIdle:
        state = creatureAggro;
        break;
    case creatureAttack:
        if (d > attackRadius) {
            state = creatureAggro;
        }
        break;
    case creatureAggro:
        if (d <= attackRadius) {
            state = creatureAttack;
        }
        break;
    default:
        break;
    }
}

void FBXCreatureWizard::act(const Vec3& player) {
    switch (state) {
    case creatureIdle:
        turnTowards(player);
        moveOnGround();
        [[fallthrough]];
    case creatureAggro:
        turnTowards(player);
        moveOnGround();
        std::printf("A G G R O : MOVE\n");
        break;
    case creatureAttack:
        turnTowards(player);
        attack(player);
        if (horizontalDistance(position, player) > keepDistance) {
            moveOnGround();
        }
        break;
    default:
        break;
    }
}

void FBXCreatureWizard::draw(int lod) {
    glPushMatrix();
    drawHitDisplay(hitBar, 4.0f, 1.0f);
    glFrontFace(GL_CW);
    applyPlacement(modelTurn);
    drawFramed(modelOf(bodyModels, lod), frameTime, 1.2f);
    // The second set is seen from both sides.
    glDisable(GL_CULL_FACE);
    drawFramed(lod >= 0 && lod <= 2 ? models[0] : nullptr, frameTime, 1.2f);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glPopMatrix();
    if (boundingSpheresShown) {
        drawBodySpheres();
    }
}

void FBXCreatureWizard::attack(const Vec3& player) {
    const float dx = direction[0];
    const float dz = direction[2];
    const Vec3 muzzle{position[0] - 1.5f * radius * dz, position[1] + 2.9f * radius, position[2] + 1.5f * radius * dx};
    fireSpell(false, 200.0f, muzzle, player, attackCooldown, wizardAttackInterval);
}
