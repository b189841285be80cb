#include <game/Creature.h>

#include <game/FbxModel.h>
#include <game/ModelDraw.h>
#include <game/Sound.h>
#include <game/Spell.h>
#include <game/TerrainTiles.h>
#include <game/Texture.h>
#include <game/WorldLists.h>

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int particleTextureSlot = 11;
// Near the map's edge an idle creature turns back into the playable square.
constexpr float edgeMin = 1000.0f;
constexpr float edgeMax = 65000.0f;
// Closer than this (horizontally) a creature stops and only turns.
constexpr float keepDistance = 5000.0f;
constexpr int hitDisplayFrames = 20;
// Height of the lower body sphere of the upright kinds.
constexpr float bodyHeight = 200.0f;

}  // namespace

float distance3(const Vec3& a, const Vec3& b) {
    const float dx = a[0] - b[0];
    const float dy = a[1] - b[1];
    const float dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

float horizontalDistance(const Vec3& a, const Vec3& b) {
    const float dx = a[0] - b[0];
    const float dz = a[2] - b[2];
    return std::sqrt(dx * dx + dz * dz);
}

int attackVolume(float distance) {
    const double loudness = std::min(2000.0 / std::max(static_cast<double>(distance), 500.0), 1.0);
    return static_cast<int>(256.0 * loudness);
}

float centreGroundHeight(float x, float z) {
    const auto& root = terrainRoots[centreTile];
    return root ? terrainHeightAt(*root, terrainTiles[centreTile], x, z) : 0.0f;
}

Creature::Creature(const CreatureModels& models, const Vec3& position, float radius, float attackRadius,
                   float extraScale, int startFrame)
    : radius(radius), attackRadius(attackRadius), extraScale(extraScale), models(models), frameCounter(startFrame) {
    this->position = position;
    wanderLimit = static_cast<float>(2000 + std::rand() % 500);
    wander();
}

void Creature::takeDamage(int amount) {
    health -= amount;
    if (health < 1) {
        state = creatureDead;
    }
}

void Creature::think(const Vec3& player) {
    const float d = distance3(position, player);
    switch (state) {
    case creatureIdle:
        if (d <= aggroRadius) {
            state = creatureAggro;
        }
        break;
    case creatureAttack:
        if (attackRadius < d) {
            state = creatureAggro;
        }
        break;
    case creatureAggro:
        if (d <= attackRadius) {
            state = creatureAttack;
        }
        if (aggroRadius < d) {
            wander();
            state = creatureIdle;
        }
        break;
    default:
        break;
    }
}

void Creature::act(const Vec3& player) {
    const float d = horizontalDistance(position, player);
    switch (state) {
    case creatureIdle:
        if (position[0] < edgeMin || position[0] > edgeMax || position[2] < edgeMin || position[2] > edgeMax) {
            turnAround();
        }
        moveOnGround();
        break;
    case creatureAttack:
        turnTowards(player);
        attack(player);
        if (d > keepDistance) {
            moveOnGround();
        }
        break;
    case creatureAggro:
        turnTowards(player);
        if (d > keepDistance) {
            moveOnGround();
        }
        break;
    default:
        break;
    }
}

void Creature::turnTowards(const Vec3& point) {
    direction[0] = point[0] - position[0];
    direction[2] = point[2] - position[2];
    normalize3(direction);
    updateHeading();
}

void Creature::wander() {
    direction[0] += static_cast<float>((5 - std::rand() % 10) / 20.0);
    direction[1] = 0.0f;
    direction[2] += static_cast<float>((5 - std::rand() % 10) / 20.0);
    normalize3(direction);
    updateHeading();
}

void Creature::attackIfAttacking(const Vec3& player) {
    if (state == creatureAttack) {
        attack(player);
    }
}

void Creature::turnAround() {
    for (float& c : direction) {
        c = -c;
    }
    updateHeading();
}

void Creature::countWandering() {
    wanderDistance += speed;
    if (wanderDistance > wanderLimit) {
        wander();
        wanderDistance = 0.0f;
    }
}

void Creature::updateHeading() {
    // A normalised float vector can come out a hair longer than 1.
    const double z = std::clamp(static_cast<double>(direction[2]), -1.0, 1.0);
    const double sign = direction[0] >= 0.0f ? 1.0 : -1.0;
    heading = static_cast<float>(sign * std::acos(z));
}

void FBX_Creature::drawHitDisplay(const HitBar& bar, float baseRadii, float edgeRadii) {
    --hitTimer;
    if (hitTimer < 1) {
        glColor3f(1.0f, 1.0f, 1.0f);
    } else {
        drawHitBar(bar, above(baseRadii * radius), edgeRadii * radius, health);
    }
}

void FBX_Creature::applyPlacement(float headingOffset) const {
    glTranslatef(position[0], position[1], position[2]);
    glRotatef(static_cast<float>((heading + headingOffset) * 180.0 / 3.141592654), 0.0f, 1.0f, 0.0f);
}

void FBX_Creature::drawModelAt(FbxModel* model) const {
    if (!model) {
        return;
    }
    glPushMatrix();
    drawModel(*model, extraScale);
    glPopMatrix();
}

void FBX_Creature::drawFramed(FbxModel* model, float& frameTime, float increment) {
    frameTime += increment;
    frameCounter = static_cast<int>(frameTime);
    if (model) {
        setModelFrame(*model, frameCounter);
    }
    drawModelAt(model);
}

void FBX_Creature::stepForward() {
    for (int i = 0; i < 3; ++i) {
        position[i] += speed * direction[i];
    }
}

bool FBX_Creature::markHit(bool hit) {
    if (hit) {
        hitTimer = hitDisplayFrames;
    }
    return hit;
}

bool FBX_Creature::touchesBody(const Vec3& point, const Vec3& direction, float radius) const {
    return spheresOverlap(point, direction, above(bodyHeight), radius, this->radius) ||
           spheresOverlap(point, direction, above(bodyHeight + 1.5f * this->radius), radius, this->radius);
}

void FBX_Creature::drawBodySpheres() const {
    drawBoundingSphere(above(bodyHeight), radius);
    drawBoundingSphere(above(bodyHeight + 1.5f * radius), radius);
}

void FBX_Creature::fireSpell(bool salvo, float power, const Vec3& muzzle, const Vec3& player, float& cooldown,
                             float interval) const {
    if (cooldown > 0.0f) {
        cooldown -= 1.0f;
        return;
    }
    playSample(soundCreatureExplode, attackVolume(distance3(position, player)));
    Vec3 aim{};
    for (int i = 0; i < 3; ++i) {
        aim[i] = liveCamera.position[i] - muzzle[i];
    }
    normalize3(aim);
    const GLuint texture = textureIds[particleTextureSlot];
    if (salvo) {
        creatureSpells.push_back(std::make_unique<Spell_Fireball_Salve>(muzzle, aim, texture, power));
    } else {
        creatureSpells.push_back(std::make_unique<Spell_Fireball>(muzzle, aim, texture, power));
    }
    cooldown = interval;
}
