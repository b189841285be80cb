#pragma once

#include <game/Camera.h>
#include <game/ParticleSystem.h>

// A projectile or blast. All that is drawn of it are its particles. The
// play frame updates a spell while it has not travelled its range, and a
// spell is spent once it has.
class Spell {
public:
    Spell() = default;
    Spell(const Spell&) = delete;
    Spell& operator=(const Spell&) = delete;
    virtual ~Spell() = default;

    virtual void noop() {}
    // Additive, depth-write-free particles at the spell's position.
    virtual void draw();
    // dt is the frame length in milliseconds; particle lives count in it.
    virtual void update(float dt) = 0;

    bool inFlight() const { return travelled < range; }
    void markSpent() { travelled = range; }

    const char* name = "";
    float range = 0.0f;
    float travelled = 0.0f;
    int step = 0;  // distance per update
    int flag = 0;
    bool alive = false;
    int damage = 0;
    float radius = 0.0f;  // hit radius
    Vec3 direction{};     // normalised by the callers
    Vec3 position{};
    ParticleSystem particles;
    unsigned int texture = 0;  // GL texture of the particles
};

// A fireball: the player's left button, the aggressive bird and the wizard.
class Spell_Fireball : public Spell {
public:
    Spell_Fireball(const Vec3& start, const Vec3& direction, unsigned int texture, float power);
    void update(float dt) override;
};

// One shot of a salvo: the player's right button and the demon.
class Spell_Fireball_Salve : public Spell {
public:
    Spell_Fireball_Salve(const Vec3& start, const Vec3& direction, unsigned int texture, float power);
    void update(float dt) override;
};

// A blast that stays where it was made.
class Spell_Explosion : public Spell {
public:
    // A creature's death: its colour, and its reward as the size.
    Spell_Explosion(const Vec3& position, unsigned int texture, const Vec3& colour, float size);
    // An impact, in the fire colours.
    Spell_Explosion(const Vec3& position, unsigned int texture, float size);
    void update(float dt) override;
};

// The player's inert spell object.
class Spell_Possess : public Spell {
public:
    void draw() override {}
    void update(float) override {}
};
