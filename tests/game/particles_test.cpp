#include <game/ParticleSystem.h>
#include <game/Spell.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr float frameMs = 16.666666666666668f;

int livingParticles(const ParticleSystem& system) {
    int n = 0;
    for (int i = 0; i < system.count; ++i) {
        n += system.items[static_cast<std::size_t>(i)].alive ? 1 : 0;
    }
    return n;
}

// A system whose particles all get the same values.
void setFixedSystem(ParticleSystem& s, float life) {
    resetParticleSystem(s);
    ASSERT_TRUE(allocateParticles(s, 4));
    s.lifeMin = s.lifeMax = life;
    s.alphaStartMin = s.alphaStartMax = 1.0f;
    s.alphaEndMin = s.alphaEndMax = 0.3f;
    s.sizeStartMin = s.sizeStartMax = 20.0f;
    s.sizeEndMin = s.sizeEndMax = 10.0f;
    s.baseVelocity = {1.0f, 0.0f, 0.0f};
    s.speedMin = s.speedMax = 2.0f;
    s.relativeToOrigin = true;
    s.origin = {5.0f, 6.0f, 7.0f};
}

Vec3 along(float x, float y, float z) {
    Vec3 v{x, y, z};
    normalize3(v);
    return v;
}

}  // namespace

TEST(ParticleSystem, AllocationGivesDeadParticlesAndRefusesNegativeCounts) {
    ParticleSystem s;
    ASSERT_TRUE(allocateParticles(s, 5));
    EXPECT_EQ(s.count, 5);
    EXPECT_EQ(s.aliveCount, 0);
    EXPECT_EQ(livingParticles(s), 0);
    EXPECT_FALSE(allocateParticles(s, -1));
    EXPECT_EQ(s.count, 0);
    EXPECT_TRUE(allocateParticles(s, 0));
    EXPECT_EQ(s.count, 0);
}

TEST(ParticleSystem, EmissionStartsFromTheOriginAndFadesOverItsLife) {
    ParticleSystem s;
    setFixedSystem(s, 100.0f);
    Particle& p = s.items[0];
    ASSERT_TRUE(emitParticle(s, p));
    EXPECT_TRUE(p.alive);
    EXPECT_EQ(p.system, &s);
    EXPECT_EQ(s.aliveCount, 1);
    EXPECT_EQ(p.position, (Vec3{5.0f, 6.0f, 7.0f}));
    EXPECT_FLOAT_EQ(p.velocity[0], 2.0f);

    updateParticle(p, 50.0f);
    EXPECT_NEAR(p.alpha, 0.65f, 1e-5f);
    EXPECT_NEAR(p.size, 15.0f, 1e-4f);
    EXPECT_NEAR(p.position[0], 105.0f, 1e-3f);

    updateParticle(p, 50.0f);
    EXPECT_FALSE(p.alive) << "a particle dies when its age reaches its life";
    EXPECT_EQ(p.age, 0.0f);
    EXPECT_EQ(s.aliveCount, 0);
}

TEST(ParticleSystem, SpeedFactorLiesBetweenTheBoundsEvenWhenMinIsAboveMax) {
    ParticleSystem s;
    setFixedSystem(s, 100.0f);
    s.speedMin = 1.6f;
    s.speedMax = 1.4f;
    std::srand(3);
    for (int i = 0; i < 200; ++i) {
        Particle p;
        emitParticle(s, p);
        EXPECT_GE(p.velocity[0], 1.4f - 1e-6f);
        EXPECT_LE(p.velocity[0], 1.6f + 1e-6f);
    }
}

TEST(ParticleSystem, ALifelessEmissionLeavesTheSlotDeadAndTheCountRight) {
    ParticleSystem s;
    setFixedSystem(s, 0.0f);
    s.rate = 10;
    updateParticles(s, frameMs);
    EXPECT_EQ(livingParticles(s), 0);
    EXPECT_EQ(s.aliveCount, 0) << "slots whose emission failed must not be aged as living ones";

    // A living particle re-emitted without a life dies.
    s.lifeMin = s.lifeMax = 100.0f;
    Particle& p = s.items[0];
    ASSERT_TRUE(emitParticle(s, p));
    s.lifeMin = s.lifeMax = 0.0f;
    EXPECT_FALSE(emitParticle(s, p));
    EXPECT_FALSE(p.alive);
    EXPECT_EQ(s.aliveCount, 0);
}

TEST(ParticleSystem, RespawningParticlesLiveOn) {
    ParticleSystem s;
    setFixedSystem(s, 10.0f);
    s.respawn = true;
    Particle& p = s.items[0];
    ASSERT_TRUE(emitParticle(s, p));
    updateParticle(p, 25.0f);
    EXPECT_TRUE(p.alive);
    EXPECT_LT(p.age, p.life);
    EXPECT_EQ(s.aliveCount, 1);
}

TEST(ParticleSystem, NoEmissionWithoutTime) {
    ParticleSystem s;
    setFixedSystem(s, 100.0f);
    s.rate = 1000;
    updateParticles(s, 0.0f);
    EXPECT_EQ(livingParticles(s), 0);
}

TEST(ParticleSystem, EmissionFillsDeadSlotsOnlyUpToTheRate) {
    ParticleSystem s;
    setFixedSystem(s, 1000.0f);
    s.rate = 1;
    updateParticles(s, 2.5f);  // two particles this step
    EXPECT_EQ(livingParticles(s), 2);
    EXPECT_TRUE(s.items[0].alive);
    EXPECT_TRUE(s.items[1].alive);
    EXPECT_LE(s.items[0].age, 2.5f);
    updateParticles(s, 100.0f);
    EXPECT_EQ(livingParticles(s), 4) << "the pool never grows";
    EXPECT_EQ(s.aliveCount, 4);
}

TEST(Spells, FireballOfPowerHundred) {
    const Vec3 d = along(0.0f, 0.0f, -1.0f);
    Spell_Fireball f({10.0f, 20.0f, 30.0f}, d, 7, 100.0f);
    EXPECT_STREQ(f.name, "Feuerball");
    EXPECT_EQ(f.position, (Vec3{10.0f, 20.0f, -70.0f})) << "starts 100 units ahead";
    EXPECT_EQ(f.step, 190);
    EXPECT_EQ(f.damage, 10);
    EXPECT_FLOAT_EQ(f.radius, 20.0f);
    EXPECT_FLOAT_EQ(f.range, 15000.0f);
    EXPECT_EQ(f.flag, 1);
    EXPECT_TRUE(f.alive);
    EXPECT_EQ(f.texture, 7u);
    EXPECT_EQ(f.particles.count, 100);
    EXPECT_EQ(f.particles.rate, 50);
    EXPECT_FLOAT_EQ(f.particles.lifeMin, 50.0f);
    EXPECT_FLOAT_EQ(f.particles.lifeMax, 75.0f);
    EXPECT_EQ(f.particles.baseVelocity, (Vec3{-0.0f, -0.0f, 1.0f}));
    EXPECT_EQ(f.particles.gravity, f.particles.baseVelocity);
    EXPECT_EQ(f.particles.billboardMode, 1);

    int updates = 0;
    while (f.inFlight()) {
        f.update(frameMs);
        ++updates;
    }
    EXPECT_EQ(updates, 79) << "spent after 15000 units in steps of 190";
    EXPECT_FLOAT_EQ(f.position[2], -70.0f - 79 * 190.0f);
}

TEST(Spells, PlayerAndCreaturePowers) {
    const Vec3 d = along(1.0f, 0.0f, 0.0f);
    Spell_Fireball player({}, d, 0, 300.0f);
    EXPECT_EQ(player.damage, 30);
    EXPECT_EQ(player.step, 190);

    Spell_Fireball_Salve demon({}, d, 0, 150.0f);
    EXPECT_STREQ(demon.name, "Feuerball-Salve");
    EXPECT_EQ(demon.damage, 1);
    EXPECT_EQ(demon.step, 200);
    EXPECT_FLOAT_EQ(demon.range, 15000.0f);
    EXPECT_FLOAT_EQ(demon.radius, 30.0f);
    EXPECT_EQ(demon.position, (Vec3{100.0f, 0.0f, 0.0f}));
}

TEST(Spells, SalvoNeverHasMoreThanTenParticlesAndCountsThemRight) {
    std::srand(11);
    Spell_Fireball_Salve s({}, along(0.0f, 0.0f, 1.0f), 0, 700.0f);
    for (int frame = 0; frame < 60; ++frame) {
        s.update(frameMs);
        EXPECT_LE(livingParticles(s.particles), 10);
        EXPECT_EQ(s.particles.aliveCount, livingParticles(s.particles));
    }
    // Once nothing more is emitted every particle dies and none counts as alive.
    s.particles.rate = 0;
    for (int frame = 0; frame < 60; ++frame) {
        s.update(frameMs);
    }
    EXPECT_EQ(livingParticles(s.particles), 0);
    EXPECT_EQ(s.particles.aliveCount, 0);
}

TEST(Spells, ExplosionsStayPutAndLiveByTheirSize) {
    const Vec3 at{100.0f, 200.0f, 300.0f};
    Spell_Explosion death(at, 3, {0.0f, 1.0f, 0.0f}, 5.0f);
    EXPECT_STREQ(death.name, "Explosion");
    EXPECT_FLOAT_EQ(death.range, 10000.0f);
    EXPECT_EQ(death.step, 100);
    EXPECT_EQ(death.damage, 0);
    EXPECT_EQ(death.particles.count, 500);
    EXPECT_EQ(death.particles.rate, 500);
    EXPECT_EQ(death.particles.colourStartMin, (Vec3{0.0f, 1.0f, 0.0f}));
    EXPECT_FLOAT_EQ(death.particles.lifeMin, 2500.0f);
    EXPECT_FLOAT_EQ(death.particles.lifeMax, 3500.0f);
    death.update(frameMs);
    EXPECT_EQ(death.position, at);
    EXPECT_FLOAT_EQ(death.travelled, 100.0f);
    EXPECT_GT(death.particles.aliveCount, 0);

    Spell_Explosion impact(at, 3, 2000.0f);
    EXPECT_FLOAT_EQ(impact.range, 2000.0f);
    EXPECT_EQ(impact.particles.count, 200);
    EXPECT_FLOAT_EQ(impact.particles.lifeMin, 500.0f);
    EXPECT_FLOAT_EQ(impact.particles.lifeMax, 700.0f);
    EXPECT_EQ(impact.particles.colourStartMin, (Vec3{0.5f, 0.3f, 0.0f}));
    int updates = 0;
    while (impact.inFlight()) {
        impact.update(frameMs);
        ++updates;
    }
    EXPECT_EQ(updates, 20);
}

TEST(Spells, AnExplosionOfSizeZeroHasNoParticles) {
    Spell_Explosion none({}, 0, {1.0f, 1.0f, 1.0f}, 0.0f);
    EXPECT_EQ(none.particles.count, 0);
    EXPECT_FALSE(none.inFlight());
    none.update(frameMs);
    EXPECT_EQ(none.particles.aliveCount, 0);
}
