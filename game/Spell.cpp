#include <game/Spell.h>

#include <GL/glew.h>

namespace {

constexpr float launchDistance = 100.0f;

struct Bolt {
    float rangePerPower;
    float stepBase;
    float damageDivisor;
    int particleCount;
    int rate;
};

constexpr Bolt fireball{150.0f, 190.0f, 10.0f, 100, 50};
constexpr Bolt salvo{100.0f, 200.0f, 100.0f, 10, 8};

// What every spell's particles share.
void setCommonParameters(ParticleSystem& s) {
    // Min above max on purpose: the factor lies between 1.4 and 1.6 either way.
    s.speedMin = 1.6f;
    s.speedMax = 1.4f;
    s.spinMin = -2.576106f;
    s.spinMax = 2.576106f;
    s.billboardMode = 1;
    s.useQuads = true;
    s.relativeToOrigin = true;
}

void setAlphaAndSize(ParticleSystem& s, float sizeStart, float sizeEnd) {
    s.alphaStartMin = s.alphaStartMax = 1.0f;
    s.alphaEndMin = s.alphaEndMax = 0.3f;
    s.sizeStartMin = s.sizeStartMax = sizeStart;
    s.sizeEndMin = s.sizeEndMax = sizeEnd;
}

void setBolt(Spell& spell, const Bolt& bolt, const Vec3& start, const Vec3& direction, unsigned int texture,
             float power) {
    spell.direction = direction;
    for (int i = 0; i < 3; ++i) {
        spell.position[i] = start[i] + launchDistance * direction[i];
    }
    spell.texture = texture;
    spell.range = bolt.rangePerPower * power;
    spell.step = static_cast<int>(power / 500.0f + bolt.stepBase);
    spell.damage = static_cast<int>(power / bolt.damageDivisor);
    spell.radius = power / 5.0f;
    spell.flag = 1;
    spell.alive = true;

    ParticleSystem& s = spell.particles;
    resetParticleSystem(s);
    allocateParticles(s, bolt.particleCount);
    s.rate = bolt.rate;
    s.positionSpread = {7.2f, 7.2f, 0.0f};
    s.baseVelocity = s.gravity = {-direction[0], -direction[1], -direction[2]};
    s.velocitySpread = {0.3f, 0.3f, 0.3f};
    setAlphaAndSize(s, power / 5.0f, power / 10.0f);
    s.colourStartMin = {0.5f, 0.0f, 0.0f};
    s.colourStartMax = {0.5f, 0.1f, 0.1f};
    s.colourEndMin = {0.2f, 0.2f, 0.0f};
    s.colourEndMax = {0.8f, 0.8f, 0.0f};
    s.lifeMin = 0.5f * power;
    s.lifeMax = 0.75f * power;
    setCommonParameters(s);
}

void setBlast(Spell& spell, const Vec3& position, unsigned int texture, float range, int particleCount) {
    spell.position = position;
    spell.texture = texture;
    spell.name = "Explosion";
    spell.range = range;
    spell.step = 100;

    ParticleSystem& s = spell.particles;
    resetParticleSystem(s);
    allocateParticles(s, particleCount);
    s.rate = particleCount;
    s.positionSpread = {10.0f, 10.0f, 0.0f};
    s.velocitySpread = {1.0f, 1.0f, 1.0f};
    setAlphaAndSize(s, 25.0f, 12.0f);
    s.colourEndMin = s.colourEndMax = {0.2f, 0.2f, 0.2f};
    s.lifeMin = range * 500.0f / 2000.0f;
    s.lifeMax = range * 700.0f / 2000.0f;
    setCommonParameters(s);
}

void fly(Spell& spell, float dt) {
    for (int i = 0; i < 3; ++i) {
        spell.position[i] += spell.step * spell.direction[i];
    }
    spell.travelled += spell.step;
    updateParticles(spell.particles, dt);
}

}  // namespace

void Spell::draw() {
    // The particles' quads face the view but are wound clockwise as it sees
    // them: with back faces culled, not one of them would show.
    const GLboolean culling = glIsEnabled(GL_CULL_FACE);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glPushMatrix();
    glTranslatef(position[0], position[1], position[2]);
    glScalef(2.0f, 2.0f, 2.0f);
    drawParticles(particles);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    if (culling) {
        glEnable(GL_CULL_FACE);
    }
}

Spell_Fireball::Spell_Fireball(const Vec3& start, const Vec3& direction, unsigned int texture, float power) {
    name = "Feuerball";
    setBolt(*this, fireball, start, direction, texture, power);
}

void Spell_Fireball::update(float dt) {
    fly(*this, dt);
}

Spell_Fireball_Salve::Spell_Fireball_Salve(const Vec3& start, const Vec3& direction, unsigned int texture,
                                           float power) {
    name = "Feuerball-Salve";
    setBolt(*this, salvo, start, direction, texture, power);
}

void Spell_Fireball_Salve::update(float dt) {
    fly(*this, dt);
}

Spell_Explosion::Spell_Explosion(const Vec3& position, unsigned int texture, const Vec3& colour, float size) {
    const int particleCount = static_cast<int>(100.0f * size);
    setBlast(*this, position, texture, 2000.0f * size, particleCount);
    particles.colourStartMin = particles.colourStartMax = colour;
}

Spell_Explosion::Spell_Explosion(const Vec3& position, unsigned int texture, float size) {
    setBlast(*this, position, texture, size, 200);
    particles.colourStartMin = {0.5f, 0.3f, 0.0f};
    particles.colourStartMax = {0.5f, 0.1f, 0.1f};
}

void Spell_Explosion::update(float dt) {
    travelled += step;
    updateParticles(particles, dt);
}
