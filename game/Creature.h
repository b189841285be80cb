#pragma once

#include <game/GameObject.h>

#include <array>

struct FbxModel;

enum CreatureState : int {
    creatureIdle = 0,
    creatureAttack = 1,
    creatureAggro = 2,
    creatureDead = 9,
};

// The models of a creature by level of detail, nearest first.
using CreatureModels = std::array<FbxModel*, 3>;

// An enemy. Once a second it thinks (chooses a state from the player's
// distance); every frame it acts (turns, moves, attacks).
class Creature : public GameObject {
public:
    void takeDamage(int amount) override;
    virtual void moveOnGround() = 0;
    virtual void think(const Vec3& player);
    virtual void act(const Vec3& player);
    virtual void attack(const Vec3& player) = 0;
    // Heads horizontally towards the point.
    virtual void turnTowards(const Vec3& point);
    // Bends the direction by a small random amount.
    virtual void wander();
    virtual void attackIfAttacking(const Vec3& player);
    virtual void turnAround();

    float radius = 0.0f;
    float attackRadius = 0.0f;
    int state = creatureIdle;
    float aggroRadius = 15000.0f;
    float reward = 0.0f;  // power for the kill; also the size of the death explosion
    Vec3 colour{};        // of the death explosion
    bool aggressive = false;
    Vec3 markColour{};
    Vec3 direction{};
    float heading = 0.0f;  // radians about the vertical axis
    float extraScale = 0.0f;
    CreatureModels models{};
    bool animated = true;
    int frameCounter = 0;
    float wanderDistance = 0.0f;  // moved since the last change of direction
    float wanderLimit = 0.0f;
    float speed = 0.0f;

protected:
    Creature(const CreatureModels& models, const Vec3& position, float radius, float attackRadius, float extraScale,
             int startFrame);

    // Adds the distance of a move and changes direction after wanderLimit.
    void countWandering();
    // The heading that faces along direction.
    void updateHeading();
};

// A creature drawn from models.
class FBX_Creature : public Creature {
protected:
    using Creature::Creature;

    // Step 1 of every draw: counts the hit display down and shows the bar
    // (or sets white) with the bar's base height and cube edge in radii.
    void drawHitDisplay(const HitBar& bar, float baseRadii, float edgeRadii);
    // Translates to the position and turns by the heading (radians) plus an offset.
    void applyPlacement(float headingOffset) const;
    // Draws one model at the current matrix, keeping its scale off the matrix.
    void drawModelAt(FbxModel* model) const;
    // Advances the running frame by increment, selects it on the model and
    // draws the model.
    void drawFramed(FbxModel* model, float& frameTime, float increment);
    // Position += speed * direction.
    void stepForward();
    // Starts the hit display on a hit; returns hit.
    bool markHit(bool hit);
    // The two spheres of the upright kinds, one over the other.
    bool touchesBody(const Vec3& point, const Vec3& direction, float radius) const;
    void drawBodySpheres() const;
    // The spell attack of the aggressive kinds: counts the cooldown down in
    // attack calls, or fires from the muzzle at the camera and reloads.
    void fireSpell(bool salvo, float power, const Vec3& muzzle, const Vec3& player, float& cooldown,
                   float interval) const;

    // The model of the level, or null for levels other than 0, 1 and 2.
    static FbxModel* modelOf(const CreatureModels& set, int lod) {
        return lod >= 0 && lod <= 2 ? set[static_cast<std::size_t>(lod)] : nullptr;
    }
};

// Distances between points: through space, and along the ground (y ignored).
float distance3(const Vec3& a, const Vec3& b);
float horizontalDistance(const Vec3& a, const Vec3& b);

// Volume of an attack heard at a distance: full up to 2000, then falling.
int attackVolume(float distance);

// Ground height of the playable tile; 0 before the terrain exists.
float centreGroundHeight(float x, float z);
