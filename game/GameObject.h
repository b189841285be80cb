#pragma once

#include <game/Camera.h>

// Two spheres overlap when their centres are at most the sum of their radii
// apart; touching counts. The direction is part of every collision call but
// no test looks at it.
bool spheresOverlap(const Vec3& a, const Vec3& direction, const Vec3& b, float radiusA, float radiusB);

// Everything standing in the world: creatures and decor.
class GameObject {
public:
    GameObject() = default;
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;
    virtual ~GameObject() = default;

    // Does a sphere at point with the given radius touch the object? A
    // pick-up also hands itself to the player when it does.
    virtual bool collides(const Vec3& point, const Vec3& direction, float radius) = 0;
    // The same for a spell; a hit starts the hit display of most kinds.
    virtual bool isHit(const Vec3& point, const Vec3& direction, float radius) = 0;
    // lod 0, 1 or 2, nearest first; any other value draws no model.
    virtual void draw(int lod) = 0;
    virtual void takeDamage(int amount) = 0;

    // The point the given height over the object's base.
    Vec3 above(float height) const { return {position[0], position[1] + height, position[2]}; }

    float size = 0.0f;  // decor only: scales every sphere and bar of the object
    int hitTimer = 0;   // frames the hit bar stays up
    int health = 0;
    Vec3 position{};    // the object's base
};

// The health bar shown while an object is hit: a column of cubes, each green
// while the health is above its threshold, else red.
struct HitBar {
    int firstThreshold;
    int thresholdStep;
    int cubes;

    bool cubeGreen(int cube, int health) const { return health > firstThreshold + cube * thresholdStep; }
};

// Draws the bar upwards from base with cubes of the given edge. Leaves the
// colour of the last cube current.
void drawHitBar(const HitBar& bar, const Vec3& base, float edge, int health);

// A wire sphere of 10 slices and 10 stacks.
void drawBoundingSphere(const Vec3& centre, float radius);
