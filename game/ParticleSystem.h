#pragma once

#include <game/Camera.h>

#include <memory>

struct ParticleSystem;

struct Particle {
    Vec3 position{};
    Vec3 velocity{};
    Vec3 acceleration{};
    float angle = 0.0f;
    float spin = 0.0f;
    float spinAccel = 0.0f;
    float alpha = 0.0f;
    float alphaDelta = 0.0f;
    Vec3 colour{};
    Vec3 colourDelta{};
    float size = 0.0f;
    float sizeDelta = 0.0f;
    float life = 0.0f;  // in the unit of the update steps (the game uses milliseconds)
    float age = 0.0f;
    ParticleSystem* system = nullptr;
    bool alive = false;
};

// An emitter with a fixed pool of particles. Ranges are drawn uniformly
// between their min and max; min may exceed max.
struct ParticleSystem {
    ParticleSystem() = default;
    ParticleSystem(const ParticleSystem&) = delete;  // particles point back at their system
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    Vec3 origin{};
    Vec3 positionSpread{};
    Vec3 baseVelocity{};
    Vec3 velocitySpread{};
    float speedMin = 0.0f, speedMax = 0.0f;
    float spinMin = 0.0f, spinMax = 0.0f;
    float spinAccelMin = 0.0f, spinAccelMax = 0.0f;
    Vec3 gravity{};
    float gravityMin = 0.0f, gravityMax = 0.0f;
    float alphaStartMin = 0.0f, alphaStartMax = 0.0f, alphaEndMin = 0.0f, alphaEndMax = 0.0f;
    float sizeStartMin = 0.0f, sizeStartMax = 0.0f, sizeEndMin = 0.0f, sizeEndMax = 0.0f;
    Vec3 colourStartMin{}, colourStartMax{}, colourEndMin{}, colourEndMax{};
    float lifeMin = 0.0f, lifeMax = 0.0f;
    bool respawn = false;
    int billboardMode = 0;  // 0 fixed axes, 1 from the modelview matrix, 2 the camera's right and world up
    bool useQuads = false;  // textured quads, else points
    bool relativeToOrigin = false;
    std::unique_ptr<Particle[]> items;
    int count = 0;
    int aliveCount = 0;
    int rate = 0;  // particles per unit of update step
    float rateVariance = 0.0f;
    float pointSize = 0.0f;
    Vec3 right{};
    Vec3 up{};
};

// Uniform in [0, 1]: the draw every random value of the particles starts from.
double randomUnit();

// A new pool of count dead particles; false, and no pool, when count is
// negative or the memory is not there.
bool allocateParticles(ParticleSystem& system, int count);

// Every parameter and the pool back to zero.
void resetParticleSystem(ParticleSystem& system);

// Starts the particle with fresh random values; false, and the particle
// dead, when its drawn life is zero.
bool emitParticle(ParticleSystem& system, Particle& particle);

// Ages and moves one living particle by dt.
void updateParticle(Particle& particle, float dt);

// Ages the living particles and emits rate * dt new ones into dead slots.
void updateParticles(ParticleSystem& system, float dt);

// Draw the living particles at the current matrix (GL context required).
void drawParticles(ParticleSystem& system);
void drawParticle(const Particle& particle);
