#include <game/Creatures.h>
#include <game/DecorKinds.h>
#include <game/FbxModel.h>
#include <game/PlayerOptions.h>
#include <game/Spell.h>
#include <game/Teapots.h>

#include "GlTestSupport.h"
#include "OffscreenGl.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// Empty models with frames to select, so a draw shows which frame it chose.
struct ModelSet {
    ModelSet() {
        for (FbxModel& m : models) {
            m.frameCount = 31;
        }
    }
    std::array<FbxModel, 3> models;
    std::array<FbxModel*, 3> pointers() { return {&models[0], &models[1], &models[2]}; }
};

int modelviewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

GLint frontFace() {
    GLint face = 0;
    glGetIntegerv(GL_FRONT_FACE, &face);
    return face;
}

// A triangle over the middle of the view, wound clockwise or
// counter-clockwise as the window shows it.
void fillTriangle(FbxModel& model, bool clockwise) {
    model.positions = clockwise ? std::vector<float>{-0.5f, -0.5f, 0.0f, 0.0f, 0.5f, 0.0f, 0.5f, -0.5f, 0.0f}
                                : std::vector<float>{-0.5f, -0.5f, 0.0f, 0.5f, -0.5f, 0.0f, 0.0f, 0.5f, 0.0f};
    model.normals = {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f};
    model.vertexCount = 3;
    model.polygonCount = 1;
}

class WorldDraw : public testing::Test {
protected:
    static constexpr int viewSize = 32;

    static void SetUpTestSuite() {
        if (testfiles::startTestDisplay()) {
            gl = new OffscreenGl(viewSize, viewSize);
        }
    }

    static void TearDownTestSuite() {
        delete gl;
        gl = nullptr;
        testfiles::expectNoLeaks();
    }

    // Whether the middle of the view shows anything after the draw.
    static bool drawsInTheMiddle(GameObject& object) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        object.draw(0);
        return gl->pixel(viewSize / 2, viewSize / 2)[0] != 0;
    }

    static OffscreenGl* gl;

    void SetUp() override {
        if (!gl) {
            GTEST_SKIP() << "no X display for GL";
        }
        ASSERT_TRUE(gl->ready());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        depth_ = modelviewDepth();
        boundingSpheresShown = false;
        staticLodMode = 0;
    }

    void TearDown() override {
        boundingSpheresShown = false;
        staticLodMode = 0;
    }

    // Every draw leaves the matrix stack, face state and error flag as it found them.
    void expectCleanDraw(GameObject& object) {
        for (int spheres = 0; spheres < 2; ++spheres) {
            boundingSpheresShown = spheres == 1;
            for (int lod = 0; lod < 4; ++lod) {
                object.draw(lod);
                EXPECT_EQ(modelviewDepth(), depth_) << "lod " << lod;
                EXPECT_EQ(frontFace(), GL_CCW);
                EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
                EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            }
        }
    }

    int depth_ = 0;
};

OffscreenGl* WorldDraw::gl = nullptr;

}  // namespace

TEST_F(WorldDraw, EveryKindDrawsCleanlyWithEmptyModels) {
    ModelSet set;
    ModelSet crowns;
    FBX_DecorCactus cactus;
    cactus.models = set.pointers();
    cactus.size = 400.0f;
    cactus.hitTimer = 20;
    expectCleanDraw(cactus);
    FBX_DecorPalm palm(&crowns.models[0], &crowns.models[1], 0.0f, 0.0f, 0.0f, 10.0f, 500.0f, 0.0f,
                       &crowns.models[2], &set.models[0], &set.models[0], &set.models[0]);
    palm.hitTimer = 20;
    expectCleanDraw(palm);
    staticLodMode = 1;
    expectCleanDraw(palm);
    FBX_DecorSandstone stone;
    stone.models = set.pointers();
    expectCleanDraw(stone);
    FBX_DecorWall wall;
    wall.models = set.pointers();
    wall.angle = 90.0f;
    expectCleanDraw(wall);
    FBX_DecorSpeedTeapot teapot;
    teapot.models = set.pointers();
    teapot.animated = true;
    expectCleanDraw(teapot);

    const Vec3 at{100.0f, 200.0f, 300.0f};
    FBXCreatureBird bird(set.pointers(), at, 500.0f, 2000.0f, 0.0f, 1);
    FBXCreatureAggroBird aggro(set.pointers(), at, 200.0f, 8000.0f, 0.0f, 1);
    FBXCreatureDemon demon(set.pointers(), at, 215.0f, 8000.0f, 5.0f, 1);
    FBXCreatureWizard wizard(set.pointers(), at, 215.0f, 8000.0f, 5.0f, 1, crowns.pointers());
    for (Creature* creature : {static_cast<Creature*>(&bird), static_cast<Creature*>(&aggro),
                               static_cast<Creature*>(&demon), static_cast<Creature*>(&wizard)}) {
        creature->hitTimer = 20;
        expectCleanDraw(*creature);
    }
    // Models that failed to load (no frames at all) draw too.
    FbxModel empty;
    FBXCreatureDemon plain({&empty, &empty, &empty}, at, 215.0f, 8000.0f, 0.0f, 1);
    expectCleanDraw(plain);
}

TEST_F(WorldDraw, HitDisplaysCountDownPerDraw) {
    FBX_DecorCactus cactus;
    cactus.size = 400.0f;
    cactus.health = 7;
    ASSERT_TRUE(cactus.isHit(cactus.position, {}, 1.0f));
    cactus.draw(0);
    EXPECT_EQ(cactus.hitTimer, 19);

    FBX_DecorPalm palm(nullptr, nullptr, 0.0f, 0.0f, 0.0f, 0.0f, 500.0f, 0.0f, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(palm.isHit({0.0f, 1000.0f, 0.0f}, {}, 1.0f));
    palm.draw(3);
    EXPECT_EQ(palm.hitTimer, 18) << "crown and trunk both count down";

    FBXCreatureDemon demon({}, {}, 215.0f, 8000.0f, 0.0f, 1);
    ASSERT_TRUE(demon.isHit({0.0f, 200.0f, 0.0f}, {}, 1.0f));
    demon.draw(0);
    EXPECT_EQ(demon.hitTimer, 19);
}

TEST_F(WorldDraw, AnimatedDecorAdvancesItsFrameBeforeTheModelIsDrawn) {
    ModelSet set;
    FBX_DecorCactus cactus;
    cactus.models = set.pointers();
    cactus.animated = true;
    cactus.frameCounter = 5;
    cactus.draw(1);
    EXPECT_EQ(cactus.frameCounter, 6);
    EXPECT_EQ(set.models[0].frame, 5) << "the frame is selected on the level-0 model";
    EXPECT_EQ(set.models[1].frame, 0);

    ModelSet teapotSet;
    FBX_DecorWeaponTeapot teapot;
    teapot.models = teapotSet.pointers();
    teapot.animated = true;
    teapot.frameTime = 3.0f;
    teapot.draw(2);
    EXPECT_FLOAT_EQ(teapot.frameTime, 4.0f);
    EXPECT_EQ(teapot.frameCounter, 4);
    EXPECT_EQ(teapotSet.models[2].frame, 4) << "teapots select it on the model drawn";
    EXPECT_EQ(teapotSet.models[0].frame, 0);
    teapot.draw(3);
    EXPECT_FLOAT_EQ(teapot.frameTime, 4.0f) << "no model drawn, no frame advanced";
}

TEST_F(WorldDraw, CreatureFrameCountersPerKind) {
    ModelSet birdSet;
    FBXCreatureBird bird(birdSet.pointers(), {}, 500.0f, 2000.0f, 0.0f, 5);
    bird.draw(2);
    EXPECT_EQ(bird.frameCounter, 6);
    EXPECT_EQ(birdSet.models[0].frame, 5);
    EXPECT_EQ(birdSet.models[2].frame, 0);

    ModelSet aggroSet;
    FBXCreatureAggroBird aggro(aggroSet.pointers(), {}, 200.0f, 8000.0f, 0.0f, 1);
    aggro.draw(1);
    aggro.draw(1);
    EXPECT_NEAR(aggro.frameTime, 3.4f, 1e-5f);
    EXPECT_EQ(aggro.frameCounter, 3);
    EXPECT_EQ(aggroSet.models[1].frame, 3);

    ModelSet demonSet;
    FBXCreatureDemon demon(demonSet.pointers(), {}, 215.0f, 8000.0f, 0.0f, 1);
    demon.draw(0);
    demon.draw(0);
    EXPECT_FLOAT_EQ(demon.frameTime, 3.0f);
    EXPECT_EQ(demonSet.models[0].frame, 3);

    // The wizard draws its second set at the level, then its level-0 model,
    // each a frame further on.
    ModelSet wizardSet;
    ModelSet carpetSet;
    FBXCreatureWizard wizard(wizardSet.pointers(), {}, 215.0f, 8000.0f, 0.0f, 1, carpetSet.pointers());
    wizard.draw(1);
    EXPECT_EQ(carpetSet.models[1].frame, 2);
    EXPECT_EQ(wizardSet.models[0].frame, 3);
    EXPECT_EQ(wizardSet.models[1].frame, 0);
    EXPECT_EQ(wizard.frameCounter, 3);
}

TEST_F(WorldDraw, SpellsDrawTheirParticlesAndRestoreTheState) {
    Spell_Fireball ball({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}, 0, 100.0f);
    Spell_Explosion none({}, 0, {1.0f, 1.0f, 1.0f}, 0.0f);
    for (int i = 0; i < 3; ++i) {
        ball.update(16.666666666666668f);
    }
    ASSERT_GT(ball.particles.aliveCount, 0);
    for (Spell* spell : {static_cast<Spell*>(&ball), static_cast<Spell*>(&none)}) {
        spell->draw();
        EXPECT_EQ(modelviewDepth(), depth_);
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_EQ(depthWrites, GL_TRUE);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(WorldDraw, SpellsShowFromEverySideAndLeaveCullingAsItWas) {
    Spell_Fireball ball({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}, 0, 100.0f);
    for (int i = 0; i < 3; ++i) {
        ball.update(16.666666666666668f);
    }
    ball.position = {0.0f, 0.0f, 0.0f};
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-150.0, 150.0, -150.0, 150.0, -3000.0, 3000.0);
    glMatrixMode(GL_MODELVIEW);
    for (bool culling : {true, false}) {
        for (float pitch : {-60.0f, 0.0f, 60.0f}) {
            for (float yaw : {0.0f, 90.0f, 180.0f, 270.0f}) {
                glLoadIdentity();
                glRotatef(pitch, 1.0f, 0.0f, 0.0f);
                glRotatef(yaw, 0.0f, 1.0f, 0.0f);
                culling ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
                glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
                glClear(GL_COLOR_BUFFER_BIT);
                ball.draw();
                int lit = 0;
                for (int y = 0; y < viewSize; ++y) {
                    for (int x = 0; x < viewSize; ++x) {
                        lit += gl->pixel(x, y)[0] > 0 ? 1 : 0;
                    }
                }
                EXPECT_GT(lit, 20) << "culling " << culling << ", pitch " << pitch << ", yaw " << yaw;
                EXPECT_EQ(glIsEnabled(GL_CULL_FACE), culling ? GL_TRUE : GL_FALSE);
            }
        }
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(WorldDraw, BillboardAxesByMode) {
    ParticleSystem s;
    ASSERT_TRUE(allocateParticles(s, 1));
    s.useQuads = true;
    s.billboardMode = 0;
    drawParticles(s);
    EXPECT_EQ(s.right, (Vec3{1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(s.up, (Vec3{0.0f, 1.0f, 0.0f}));

    glLoadIdentity();
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    s.billboardMode = 1;
    drawParticles(s);
    EXPECT_NEAR(s.right[0], 0.0f, 1e-6f);
    EXPECT_NEAR(s.right[2], -1.0f, 1e-6f);
    EXPECT_NEAR(s.up[1], 1.0f, 1e-6f);

    s.billboardMode = 2;
    drawParticles(s);
    EXPECT_EQ(s.right, liveCamera.right);

    s.useQuads = false;
    glPointSize(3.0f);
    drawParticles(s);
    EXPECT_FLOAT_EQ(s.pointSize, 3.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(WorldDraw, DemonAndWizardModelsShowTheirClockwiseFaces) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    FbxModel clockwise;
    fillTriangle(clockwise, true);
    FbxModel counterClockwise;
    fillTriangle(counterClockwise, false);
    const CreatureModels cw{&clockwise, &clockwise, &clockwise};
    const CreatureModels ccw{&counterClockwise, &counterClockwise, &counterClockwise};

    FBXCreatureDemon demon(cw, {}, 215.0f, 8000.0f, 0.0f, 1);
    demon.heading = 0.0f;
    EXPECT_TRUE(drawsInTheMiddle(demon));
    FBXCreatureAggroBird bird(cw, {}, 200.0f, 8000.0f, 0.0f, 1);
    bird.heading = 0.0f;
    EXPECT_FALSE(drawsInTheMiddle(bird)) << "other kinds cull clockwise faces";

    // A heading that cancels the wizard's own model turn, so its models face
    // the view as built.
    FBXCreatureWizard wizard(ccw, {}, 215.0f, 8000.0f, 0.0f, 1, cw);
    wizard.heading = -2.3561945f;
    EXPECT_TRUE(drawsInTheMiddle(wizard)) << "the second set is drawn clockwise";
    FBXCreatureWizard hidden({}, {}, 215.0f, 8000.0f, 0.0f, 1, ccw);
    hidden.heading = -2.3561945f;
    EXPECT_FALSE(drawsInTheMiddle(hidden));
    FBXCreatureWizard twoSided(ccw, {}, 215.0f, 8000.0f, 0.0f, 1, {});
    twoSided.heading = -2.3561945f;
    EXPECT_TRUE(drawsInTheMiddle(twoSided)) << "its level-0 model is drawn without culling";
}
