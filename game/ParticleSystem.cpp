#include <game/ParticleSystem.h>

#include <GL/glew.h>

#include <cmath>
#include <cstdlib>
#include <new>

namespace {

float between(float a, float b) {
    return static_cast<float>(a + randomUnit() * (b - a));
}

float spread(float width) {
    return static_cast<float>(width * (2.0 * randomUnit() - 1.0));
}

// One random factor for all three components, so the colour moves along the
// line between the two bounds.
Vec3 colourBetween(const Vec3& a, const Vec3& b) {
    const double r = randomUnit();
    Vec3 c{};
    for (int i = 0; i < 3; ++i) {
        c[i] = static_cast<float>(a[i] + r * (b[i] - a[i]));
    }
    return c;
}

void kill(Particle& particle) {
    particle.alive = false;
    particle.age = 0.0f;
    if (particle.system) {
        --particle.system->aliveCount;
    }
}

}  // namespace

double randomUnit() {
    return std::rand() / static_cast<double>(RAND_MAX);
}

bool allocateParticles(ParticleSystem& system, int count) {
    system.items.reset();
    system.count = 0;
    system.aliveCount = 0;
    if (count < 0) {
        return false;
    }
    system.items.reset(new (std::nothrow) Particle[static_cast<std::size_t>(count)]());
    if (!system.items) {
        return false;
    }
    system.count = count;
    return true;
}

void resetParticleSystem(ParticleSystem& system) {
    system.items.reset();
    system.origin = system.positionSpread = system.baseVelocity = system.velocitySpread = Vec3{};
    system.speedMin = system.speedMax = 0.0f;
    system.spinMin = system.spinMax = system.spinAccelMin = system.spinAccelMax = 0.0f;
    system.gravity = Vec3{};
    system.gravityMin = system.gravityMax = 0.0f;
    system.alphaStartMin = system.alphaStartMax = system.alphaEndMin = system.alphaEndMax = 0.0f;
    system.sizeStartMin = system.sizeStartMax = system.sizeEndMin = system.sizeEndMax = 0.0f;
    system.colourStartMin = system.colourStartMax = system.colourEndMin = system.colourEndMax = Vec3{};
    system.lifeMin = system.lifeMax = 0.0f;
    system.respawn = false;
    system.billboardMode = 0;
    system.useQuads = false;
    system.relativeToOrigin = false;
    system.count = system.aliveCount = system.rate = 0;
    system.rateVariance = system.pointSize = 0.0f;
    system.right = system.up = Vec3{};
}

bool emitParticle(ParticleSystem& system, Particle& p) {
    p.system = &system;
    p.life = between(system.lifeMin, system.lifeMax);
    if (p.life == 0.0f) {
        // A particle without a life must not be aged or drawn as a living one.
        if (p.alive) {
            kill(p);
        }
        return false;
    }
    p.age = 0.0f;
    p.position = system.relativeToOrigin ? system.origin : Vec3{};
    for (int i = 0; i < 3; ++i) {
        p.position[i] += spread(system.positionSpread[i]);
    }
    for (int i = 0; i < 3; ++i) {
        p.velocity[i] = system.baseVelocity[i] + spread(system.velocitySpread[i]);
    }
    const float speed = between(system.speedMin, system.speedMax);
    const float gravity = between(system.gravityMin, system.gravityMax);
    for (int i = 0; i < 3; ++i) {
        p.velocity[i] *= speed;
        p.acceleration[i] = system.gravity[i] * gravity;
    }
    p.colour = colourBetween(system.colourStartMin, system.colourStartMax);
    const Vec3 endColour = colourBetween(system.colourEndMin, system.colourEndMax);
    for (int i = 0; i < 3; ++i) {
        p.colourDelta[i] = (endColour[i] - p.colour[i]) / p.life;
    }
    p.alpha = between(system.alphaStartMin, system.alphaStartMax);
    p.alphaDelta = (between(system.alphaEndMin, system.alphaEndMax) - p.alpha) / p.life;
    p.size = between(system.sizeStartMin, system.sizeStartMax);
    p.sizeDelta = (between(system.sizeEndMin, system.sizeEndMax) - p.size) / p.life;
    p.angle = 0.0f;
    p.spin = between(system.spinMin, system.spinMax);
    p.spinAccel = between(system.spinAccelMin, system.spinAccelMax);
    if (!p.alive) {
        ++system.aliveCount;
    }
    p.alive = true;
    return true;
}

void updateParticle(Particle& p, float dt) {
    p.age += dt;
    while (p.age >= p.life) {
        if (!p.system || !p.system->respawn || !emitParticle(*p.system, p)) {
            if (p.alive) {
                kill(p);
            }
            return;
        }
        dt = static_cast<float>(randomUnit() * dt);
        p.age += dt;
    }
    p.alpha += p.alphaDelta * dt;
    p.size += p.sizeDelta * dt;
    for (int i = 0; i < 3; ++i) {
        p.colour[i] += p.colourDelta[i] * dt;
        p.velocity[i] += p.acceleration[i] * dt;
        p.position[i] += p.velocity[i] * dt;
    }
    p.spin += p.spinAccel * dt;
    p.angle += p.spin * dt;
}

void updateParticles(ParticleSystem& system, float dt) {
    int toEmit = static_cast<int>(system.rate * dt * (1.0 + (randomUnit() - 0.5) * system.rateVariance));
    for (int i = 0; i < system.count; ++i) {
        Particle& p = system.items[static_cast<std::size_t>(i)];
        if (p.alive) {
            updateParticle(p, dt);
        } else if (toEmit > 0) {
            if (emitParticle(system, p)) {
                updateParticle(p, static_cast<float>(randomUnit() * dt));
            }
            --toEmit;
        }
    }
}

void drawParticles(ParticleSystem& system) {
    if (!system.useQuads) {
        glGetFloatv(GL_POINT_SIZE, &system.pointSize);
    } else if (system.billboardMode == 0) {
        system.right = {1.0f, 0.0f, 0.0f};
        system.up = {0.0f, 1.0f, 0.0f};
    } else if (system.billboardMode == 1) {
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        system.right = {-m[0], -m[4], -m[8]};
        system.up = {m[1], m[5], m[9]};
    } else if (system.billboardMode == 2) {
        system.right = liveCamera.right;
        system.up = {0.0f, 1.0f, 0.0f};
    }
    for (int i = 0; i < system.count; ++i) {
        const Particle& p = system.items[static_cast<std::size_t>(i)];
        if (p.alive) {
            drawParticle(p);
        }
    }
}

void drawParticle(const Particle& p) {
    const ParticleSystem& system = *p.system;
    glColor4f(p.colour[0], p.colour[1], p.colour[2], p.alpha);
    if (!system.useQuads) {
        glPointSize(system.pointSize * p.size);
        glBegin(GL_POINTS);
        glVertex3f(p.position[0], p.position[1], p.position[2]);
        glEnd();
        return;
    }
    Vec3 right = system.right;
    Vec3 up = system.up;
    if (p.angle > 0.0f) {
        const float c = std::cos(p.angle);
        const float s = std::sin(p.angle);
        for (int i = 0; i < 3; ++i) {
            right[i] = c * system.right[i] + s * system.up[i];
            up[i] = c * system.up[i] - s * system.right[i];
        }
    }
    const float h = p.size * 0.5f;
    const auto corner = [&](float u, float v, float sr, float su) {
        glTexCoord2f(u, v);
        glVertex3f(p.position[0] + h * (sr * right[0] + su * up[0]), p.position[1] + h * (sr * right[1] + su * up[1]),
                   p.position[2] + h * (sr * right[2] + su * up[2]));
    };
    glBegin(GL_POLYGON);
    corner(0.0f, 0.0f, -1.0f, -1.0f);
    corner(1.0f, 0.0f, 1.0f, -1.0f);
    corner(1.0f, 1.0f, 1.0f, 1.0f);
    corner(0.0f, 1.0f, -1.0f, 1.0f);
    glEnd();
}
