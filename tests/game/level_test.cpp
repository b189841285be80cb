#include <game/Creatures.h>
#include <game/DecorKinds.h>
#include <game/FbxModel.h>
#include <game/GameState.h>
#include <game/Input.h>
#include <game/LevelPopulation.h>
#include <game/LevelSetup.h>
#include <game/PlayFrame.h>
#include <game/PlayerControl.h>
#include <game/Teapots.h>
#include <game/TerrainTiles.h>
#include <game/Texture.h>
#include <game/WorldLists.h>
#include <tools/ResourceGenerator.h>

#include "SuiteGl.h"
#include "StdoutCapture.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

namespace {

using testfiles::printed;

constexpr std::uint16_t groundLevel = 1000;

template <class T>
bool is(const GameObject& object) {
    return typeid(object) == typeid(T);
}

// Population over a flat centre tile at height 1000, without models.
class Population : public testing::Test {
protected:
    void SetUp() override {
        savedRoot_ = std::move(terrainRoots[centreTile]);
        savedTile_ = terrainTiles[centreTile];
        terrainTiles[centreTile].corners = {groundLevel, groundLevel, groundLevel, groundLevel};
        terrainRoots[centreTile] = std::make_unique<TerrainQuadtree>(terrainTiles[centreTile]);
    }
    void TearDown() override {
        nearCreatures.clear();
        nearDecors.clear();
        creatureList.clear();
        decorList.clear();
        terrainTiles[centreTile] = savedTile_;
        terrainRoots[centreTile] = std::move(savedRoot_);
    }

    static std::vector<Vec3> positions() {
        std::vector<Vec3> all;
        for (const auto& decor : decorList) {
            all.push_back(decor->position);
        }
        for (const auto& creature : creatureList) {
            all.push_back(creature->position);
        }
        return all;
    }

private:
    std::unique_ptr<TerrainQuadtree> savedRoot_;
    TerrainTile savedTile_;
};

}  // namespace

TEST_F(Population, TheFirstLevelHasItsCreaturesAndTheDecorInOrder) {
    populateLevelSeeded(1, 7);
    ASSERT_EQ(creatureList.size(), 33u);
    ASSERT_EQ(decorList.size(), 419u);
    for (std::size_t i = 0; i < 33; ++i) {
        const GameObject& c = *creatureList[i];
        EXPECT_TRUE(i < 25 ? is<FBXCreatureBird>(c) : i < 29 ? is<FBXCreatureAggroBird>(c) : is<FBXCreatureDemon>(c))
            << i;
    }
    for (std::size_t i = 0; i < 419; ++i) {
        const GameObject& d = *decorList[i];
        const bool right = i < 36    ? is<FBX_DecorPalm>(d)
                           : i == 36 ? is<FBX_DecorWeaponTeapot>(d)
                           : i == 37 ? is<FBX_DecorHealthTeapot>(d)
                           : i == 38 ? is<FBX_DecorSpeedTeapot>(d)
                           : i < 69  ? is<FBX_DecorCactus>(d)
                           : i < 79  ? is<FBX_DecorSandstone>(d)
                                     : is<FBX_DecorWall>(d);
        EXPECT_TRUE(right) << i;
    }
    const auto& demon = static_cast<const FBXCreatureDemon&>(*creatureList[29]);
    EXPECT_EQ(demon.position, (Vec3{9200.0f, 1000.0f, 9200.0f}));
    EXPECT_EQ(creatureList[32]->position, (Vec3{56000.0f, 1000.0f, 56000.0f}));
    const auto& aggro = static_cast<const FBXCreatureAggroBird&>(*creatureList[27]);
    EXPECT_EQ(aggro.position, (Vec3{16000.0f, 1000.0f + 3000.0f + 600.0f, 11000.0f}));
    EXPECT_EQ(aggro.radius, 200.0f);
    EXPECT_EQ(aggro.attackRadius, 8000.0f);
    EXPECT_EQ(aggro.extraScale, 10.0f);
}

TEST_F(Population, TheSecondLevelHasTheWizardAndOthersOnlyBirds) {
    populateLevelSeeded(2, 7);
    ASSERT_EQ(creatureList.size(), 26u);
    EXPECT_EQ(decorList.size(), 419u);
    EXPECT_TRUE(is<FBXCreatureWizard>(*creatureList[25]));
    EXPECT_EQ(creatureList[25]->position, (Vec3{30000.0f, 1000.0f, 30000.0f}));
    populateLevelSeeded(3, 7);
    EXPECT_EQ(creatureList.size(), 25u);
}

TEST_F(Population, ObjectsStandOnTheGroundAsTheirKindWants) {
    populateLevelSeeded(1, 11);
    for (std::size_t i = 0; i < 36; ++i) {
        const auto& palm = static_cast<const FBX_DecorPalm&>(*decorList[i]);
        EXPECT_EQ(palm.position[1], 900.0f) << "palms stand 100 below the ground";
        EXPECT_EQ(palm.size, 500.0f + palm.extraScale);
        const float r = palm.position[0] - static_cast<float>(i / 6 * 10000);
        EXPECT_EQ(palm.position[2] - static_cast<float>(i % 6 * 10000), r) << "the same offset on both axes";
        EXPECT_GE(r, 0.0f);
        EXPECT_LT(r, 4000.0f);
    }
    for (std::size_t i = 36; i < 79; ++i) {
        const Decor& d = *decorList[i];
        for (float c : {d.position[0], d.position[2]}) {
            EXPECT_EQ(static_cast<int>(c) % 2000, 1000) << i;
            EXPECT_GE(c, 1000.0f);
            EXPECT_LE(c, 59000.0f);
        }
        EXPECT_EQ(d.position[1], i < 39 ? 1200.0f : 1000.0f) << "teapots hover 200 above, stones stand on it";
    }
    const Decor& weapon = *decorList[36];
    EXPECT_EQ(weapon.colour, (Vec3{1.0f, 1.0f, 0.0f}));
    EXPECT_EQ(weapon.size, 200.0f);
    EXPECT_EQ(weapon.health, 30);
    EXPECT_TRUE(weapon.animated);
    EXPECT_EQ(weapon.frameTime, static_cast<float>(weapon.frameCounter));
    const Decor& cactus = *decorList[39];
    EXPECT_EQ(cactus.size, 2.0f * cactus.extraScale + 400.0f);
    EXPECT_EQ(cactus.health, 20);
    const Decor& stone = *decorList[69];
    EXPECT_EQ(stone.size, stone.extraScale + 400.0f);

    // The first step of the wall: west, south, north and east sides.
    const Vec3 expected[4] = {{-100.0f, 1000.0f, 0.0f}, {0.0f, 1000.0f, 65636.0f}, {0.0f, 1000.0f, 0.0f},
                              {65636.0f, 1000.0f, 0.0f}};
    const float angles[4] = {0.0f, 90.0f, 90.0f, 0.0f};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(decorList[79 + k]->position, expected[k]);
        EXPECT_EQ(decorList[79 + k]->angle, angles[k]);
        EXPECT_EQ(decorList[79 + k]->size, 800.0f);
    }
    EXPECT_EQ(decorList.back()->position, (Vec3{65636.0f, 1000.0f, 67200.0f}));

    for (std::size_t i = 0; i < 25; ++i) {
        const auto& bird = static_cast<const FBXCreatureBird&>(*creatureList[i]);
        EXPECT_EQ(bird.position[1], 1000.0f + 10000.0f + 1000.0f * static_cast<float>(i % 5));
        EXPECT_GE(bird.extraScale, 0.0f);
        EXPECT_LE(bird.extraScale, 1.8f);
    }
}

TEST_F(Population, TheSameSeedPlacesTheSameObjects) {
    populateLevelSeeded(1, 1234);
    const std::vector<Vec3> first = positions();
    populateLevelSeeded(1, 1234);
    EXPECT_EQ(positions(), first);
    populateLevelSeeded(1, 4321);
    EXPECT_NE(positions(), first);
}

TEST_F(Population, ReplacingALevelEmptiesTheNearLists) {
    populateLevelSeeded(1, 5);
    nearDecors.push_back(decorList[0].get());
    nearCreatures.push_back(creatureList[0].get());
    populateLevel(2);
    EXPECT_TRUE(nearDecors.empty());
    EXPECT_TRUE(nearCreatures.empty());
    EXPECT_EQ(creatureList.size(), 26u);
}

namespace {

// The level set-up in a window's GL context, over the generated images.
class LevelSetup : public testing::Test {
protected:
    static void SetUpTestSuite() {
        gl = testfiles::startSuiteGl(64, 64);
        folder = new testfiles::TempDir;
        std::vector<ResourceFile> images;
        for (ResourceFile& file : resourceFiles()) {
            if (file.path.ends_with(".tga")) {
                images.push_back(std::move(file));
            }
        }
        generated = generateFiles(folder->path() / "Ressources", images);
    }
    static void TearDownTestSuite() {
        creatureList.clear();
        decorList.clear();
        nearDecors.clear();
        nearCreatures.clear();
        delete folder;
        delete gl;
        gl = nullptr;
    }

    void SetUp() override {
        if (!gl || !gl->ready()) {
            GTEST_SKIP() << "no display for GL";
        }
        ASSERT_TRUE(generated);
    }

    static OffscreenGl* gl;
    static testfiles::TempDir* folder;
    static bool generated;
};

OffscreenGl* LevelSetup::gl = nullptr;
testfiles::TempDir* LevelSetup::folder = nullptr;
bool LevelSetup::generated = false;

}  // namespace

TEST_F(LevelSetup, TheFirstLevelBuildsEverythingAndTheSecondOnlyRepopulates) {
    testfiles::WorkingDirectory inside(folder->path());
    levelNumber = 1;
    ASSERT_FALSE(levelAssetsLoaded);
    const std::string first = printed(loadLevel);
    EXPECT_EQ(currentLevel, 1);
    EXPECT_TRUE(levelAssetsLoaded);
    const std::size_t culling = first.find("culling quadtree\n");
    const std::size_t done = first.find("done culling quadtree\n");
    const std::size_t mode = first.find("Changing RenderMode to 1\n");
    ASSERT_NE(culling, std::string::npos) << first;
    EXPECT_LT(culling, done);
    EXPECT_LT(done, mode);
    EXPECT_EQ(first.find("Error loading Heightmap!"), std::string::npos);
    EXPECT_NE(first.find("id = 21, filename = Ressources/newlevel/texture_x1y0.tga: erfolgreich geladen\n"),
              std::string::npos);
    EXPECT_NE(first.find("loading model 'Ressources/wallNormal.fbx'...\n"), std::string::npos);
    for (GLuint name : textureIds) {
        EXPECT_NE(name, 0u);
    }

    ASSERT_EQ(modelList.size(), 18u);
    EXPECT_EQ(modelList[0]->textureFileName, "Ressources/plants/cactus/cactus_texture.tga");
    EXPECT_EQ(modelList[12]->scale, 500.0f);
    EXPECT_TRUE(modelList[4]->animated);
    EXPECT_FALSE(modelList[17]->animated);
    EXPECT_EQ(modelList[4]->renderMode, renderImmediate) << "animated models stay in mode 0";
    EXPECT_EQ(modelList[0]->renderMode, renderVertexArrays);

    const float ground = terrainHeightAt(*terrainRoots[centreTile], terrainTiles[centreTile], 22700.0f, 23800.0f);
    EXPECT_GT(ground, 0.0f) << "the generated landscape has relief";
    EXPECT_EQ(liveCamera.position, (Vec3{22700.0f, ground + 500.0f, 23800.0f}));
    EXPECT_EQ(liveCamera.forward, (Vec3{0.0f, 0.0f, -1.0f}));
    EXPECT_EQ(creatureList.size(), 33u);
    EXPECT_EQ(decorList.size(), 419u);
    EXPECT_EQ(creatureList[0]->models[0], modelList[3].get());
    EXPECT_GT(timerFrequency, 0);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLfloat fog[2] = {};
    glGetFloatv(GL_FOG_START, &fog[0]);
    glGetFloatv(GL_FOG_END, &fog[1]);
    EXPECT_EQ(fog[0], 80000.0f);
    EXPECT_EQ(fog[1], 120000.0f);

    liveCamera.position = {1.0f, 2.0f, 3.0f};
    levelNumber = 2;
    const std::string second = printed(loadLevel);
    EXPECT_EQ(currentLevel, 2);
    EXPECT_EQ(second.find("culling quadtree"), std::string::npos);
    EXPECT_EQ(second.find("loading model"), std::string::npos);
    EXPECT_NE(second.find("id = 0, filename = Ressources/newlevel/texture_x1y1.tga: erfolgreich geladen\n"),
              std::string::npos);
    EXPECT_EQ(modelList.size(), 18u);
    EXPECT_EQ(liveCamera.position, (Vec3{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(creatureList.size(), 26u);
    EXPECT_EQ(decorList.size(), 419u);
    testfiles::expectNoLeaks();
}

TEST_F(LevelSetup, NoDecorStandsInTheWayOfTheFirstStepsForwardInEitherLevel) {
    testfiles::WorkingDirectory inside(folder->path());
    if (!levelAssetsLoaded) {
        levelNumber = 1;
        printed(loadLevel);
    }
    const float ground =
        terrainHeightAt(*terrainRoots[centreTile], terrainTiles[centreTile], startCameraX, startCameraZ);
    Camera start;
    start.init(startCameraX, ground + 500.0f, startCameraZ);
    windowWidth = windowHeight = 500;
    mouseX = prevMouseX = mouseY = prevMouseY = 250;
    pendingYaw = pendingPitch = 0.0f;
    playerSpeed = 80.0f;
    keyHeld = {};
    keyHeld['w'] = true;
    // The layout is drawn anew on every start: many layouts of each level,
    // walked as the player walks, with every object of the level near.
    const int steps = static_cast<int>(startWalkLength / playerSpeed);
    for (int level = 1; level <= 2; ++level) {
        for (unsigned int seed = 0; seed < 150; ++seed) {
            populateLevelSeeded(level, seed);
            nearDecors.clear();
            for (const auto& decor : decorList) {
                nearDecors.push_back(decor.get());
            }
            restoreCamera(start);
            bool blocked = false;
            for (int step = 0; step < steps && !blocked; ++step) {
                for (Decor* decor : nearDecors) {
                    blocked = blocked || decor->collides(liveCamera.position, liveCamera.forward, playerRadius);
                }
                const float z = liveCamera.position[2];
                printed(updatePlayer);
                blocked = blocked || !(liveCamera.position[2] < z);
            }
            EXPECT_FALSE(blocked) << "level " << level << ", layout " << seed << ": stopped at "
                                  << startCameraZ - liveCamera.position[2] << " units from the start";
        }
    }
    keyHeld = {};
    nearDecors.clear();
    EXPECT_EQ(decorList.size(), 419u) << "kept clear by drawing again, not by leaving objects out";
}
