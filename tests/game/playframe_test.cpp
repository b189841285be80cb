#include <game/CallbackSets.h>
#include <game/Creatures.h>
#include <game/DecorKinds.h>
#include <game/GameState.h>
#include <game/Hud.h>
#include <game/Input.h>
#include <game/PlayFrame.h>
#include <game/PlayerOptions.h>
#include <game/Spell.h>
#include <game/Teapots.h>
#include <game/TerrainQuadtree.h>
#include <game/TerrainTiles.h>
#include <game/Texture.h>
#include <game/WorldLists.h>

#include "SuiteGl.h"
#include "StdoutCapture.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using testfiles::printed;

const CreatureModels noModels{};
const Vec3 player{30000.0f, 1000.0f, 30000.0f};
const Vec3 north{0.0f, 0.0f, -1.0f};

int count(const std::string& text, const std::string& line) {
    int n = 0;
    for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
        ++n;
    }
    return n;
}

void clearWorld() {
    nearCreatures.clear();
    nearDecors.clear();
    creatureList.clear();
    decorList.clear();
    playerSpells.clear();
    explosionList.clear();
    creatureSpells.clear();
    creatureMarkers.clear();
    decorMarkers.clear();
}

// A scripted world with no terrain (the ground is at 0): the player at a
// fixed place looking north, full health, no power.
class PlayFrame : public testing::Test {
protected:
    void SetUp() override {
        clearWorld();
        liveCamera.init(player[0], player[1], player[2]);
        playerHealth = playerMaxHealth = 500;
        playerPower = 0;
        playerSpeed = 80.0f;
        salvoCharges = 0;
        salvoActive = false;
        salvoShotsLeft = 0;
        tickMilliseconds = 0;
        tickRemainder = 0.0f;
        outsideSeconds = 0;
        damageOverlayOn = false;
        damageOverlayFrames = 0;
        currentLevel = 1;
        gameWon = false;
        viewConeCulling = true;
        viewConeCos = 0.65f;
        keyHeld = {};
        leftClick = rightClick = false;
        mouseX = prevMouseX = mouseY = prevMouseY = 250;
        pendingYaw = pendingPitch = 0.0f;
        std::srand(3);
    }
    void TearDown() override { clearWorld(); }

    // A bird whose body sphere (radius 250 around 250 above its base)
    // is centred on the point.
    static FBXCreatureBird& addBird(const Vec3& bodyCentre) {
        creatureList.push_back(std::make_unique<FBXCreatureBird>(
            noModels, Vec3{bodyCentre[0], bodyCentre[1] - 250.0f, bodyCentre[2]}, 500.0f, 2000.0f, 0.0f, 1));
        return static_cast<FBXCreatureBird&>(*creatureList.back());
    }

    // A player fireball that will be at the point after its next update.
    static Spell& addPlayerFireball(const Vec3& at, float power) {
        auto spell = std::make_unique<Spell_Fireball>(Vec3{0, 0, 0}, north, 0u, power);
        spell->position = {at[0], at[1], at[2] + static_cast<float>(spell->step)};
        playerSpells.push_back(std::move(spell));
        return *playerSpells.back();
    }

    static bool frame() {
        bool allDead = false;
        printed([&] { allDead = updateWorld(); });
        return allDead;
    }
};

}  // namespace

TEST_F(PlayFrame, OneSpellDamagesTwoCreaturesInTheSameFrame) {
    const Vec3 at{20000.0f, 3000.0f, 20000.0f};
    FBXCreatureBird& first = addBird(at);
    FBXCreatureBird& second = addBird({at[0] + 100.0f, at[1], at[2]});
    Spell& spell = addPlayerFireball(at, 100.0f);  // 10 damage
    EXPECT_FALSE(frame());
    EXPECT_EQ(first.health, 20);
    EXPECT_EQ(second.health, 20);
    EXPECT_FALSE(spell.inFlight()) << "spent";
    EXPECT_EQ(playerSpells.size(), 1u) << "a spent spell stays until the next frame's update pass";
    EXPECT_EQ(explosionList.size(), 2u);
    EXPECT_EQ(creatureMarkers.size(), 2u);
    frame();
    EXPECT_TRUE(playerSpells.empty());
}

TEST_F(PlayFrame, AKillAtExactlyZeroHealthRewardsWithoutSound) {
    FBXCreatureBird& bird = addBird({20000.0f, 3000.0f, 20000.0f});
    bird.colour = {0.25f, 0.5f, 0.75f};
    const Vec3 place = bird.position;
    addPlayerFireball({20000.0f, 3000.0f, 20000.0f}, 300.0f);  // 30 damage, the bird's whole health
    std::string output = printed([] { EXPECT_TRUE(updateWorld()) << "an empty list counts as all dead"; });
    EXPECT_TRUE(creatureList.empty());
    EXPECT_EQ(playerPower, 2);
    ASSERT_EQ(explosionList.size(), 2u) << "the impact and the death";
    const Spell& death = *explosionList[1];
    EXPECT_EQ(death.range, 2000.0f * 2.0f);
    EXPECT_EQ(death.position, place);
    EXPECT_EQ(death.particles.colourStartMin, (Vec3{0.25f, 0.5f, 0.75f}));
    EXPECT_EQ(count(output, "SOUND NOT FOUND!"), 0) << output;
}

TEST_F(PlayFrame, AKillBelowZeroHealthAndADestroyedDecorAtZeroMakeTheSound) {
    FBXCreatureBird& bird = addBird({20000.0f, 3000.0f, 20000.0f});
    bird.health = 5;
    addPlayerFireball({20000.0f, 3000.0f, 20000.0f}, 100.0f);
    EXPECT_EQ(count(printed([] { updateWorld(); }), "SOUND NOT FOUND!"), 1);

    auto cactus = std::make_unique<FBX_DecorCactus>();
    cactus->position = {10000.0f, 0.0f, 10000.0f};
    cactus->size = 400.0f;
    cactus->health = 10;
    decorList.push_back(std::move(cactus));
    addPlayerFireball({10000.0f, 200.0f, 10000.0f}, 100.0f);
    const std::string output = printed([] { updateWorld(); });
    EXPECT_TRUE(decorList.empty());
    EXPECT_EQ(count(output, "SOUND NOT FOUND!"), 1);
}

TEST_F(PlayFrame, PowerNeverExceedsOneHundred) {
    playerPower = 98;
    auto demon = std::make_unique<FBXCreatureDemon>(noModels, Vec3{1000.0f, 0.0f, 1000.0f}, 215.0f, 8000.0f, 5.0f, 1);
    demon->state = creatureDead;
    creatureList.push_back(std::move(demon));
    frame();
    EXPECT_EQ(playerPower, 100);
}

TEST_F(PlayFrame, EveryCreatureThatDiesIsRewardedBeforeItsLevelCanEnd) {
    // Two neighbours in the list die in the same frame.
    for (int i = 0; i < 4; ++i) {
        addBird({player[0] + 100.0f * static_cast<float>(i), player[1], player[2] - 1000.0f});
    }
    Creature* last = creatureList[3].get();
    creatureList[1]->state = creatureDead;
    creatureList[2]->state = creatureDead;
    EXPECT_FALSE(frame());
    EXPECT_EQ(playerPower, 4);
    EXPECT_EQ(explosionList.size(), 2u);
    EXPECT_EQ(creatureList.size(), 2u);
    ASSERT_EQ(nearCreatures.size(), 2u);
    EXPECT_EQ(nearCreatures[1], last) << "the living creature after them is still seen in that frame";

    // The kill key on a level of 33: the frame that ends the level has
    // rewarded and exploded every one of them.
    clearWorld();
    playerPower = 0;
    for (int i = 0; i < 33; ++i) {
        addBird({1000.0f + 500.0f * static_cast<float>(i), 3000.0f, 1000.0f}).state = creatureDead;
    }
    EXPECT_TRUE(frame());
    EXPECT_TRUE(creatureList.empty());
    EXPECT_EQ(playerPower, 66);
    EXPECT_EQ(explosionList.size(), 33u);
}

TEST_F(PlayFrame, SpellsBelowTheGroundExplodeAndSpentOnesGo) {
    auto low = std::make_unique<Spell_Fireball>(Vec3{0, 0, 0}, Vec3{0.0f, -1.0f, 0.0f}, 0u, 100.0f);
    low->position = {5000.0f, 50.0f, 5000.0f};
    creatureSpells.push_back(std::move(low));
    addPlayerFireball({1000.0f, 1000.0f, 1000.0f}, 100.0f).markSpent();
    addPlayerFireball({2000.0f, 1000.0f, 2000.0f}, 100.0f).markSpent();
    frame();
    EXPECT_TRUE(creatureSpells.empty());
    ASSERT_EQ(explosionList.size(), 1u);
    EXPECT_EQ(explosionList[0]->range, 2000.0f);
    // The second spent spell slid into the freed place and waits a frame.
    EXPECT_EQ(playerSpells.size(), 1u);
    frame();
    EXPECT_TRUE(playerSpells.empty());
}

TEST_F(PlayFrame, ACreatureSpellHurtsThePlayerAndEndsTheBoost) {
    playerSpeed = boostSpeed;
    auto spell = std::make_unique<Spell_Fireball>(Vec3{0, 0, 0}, north, 0u, 200.0f);  // 20 damage
    spell->position = {player[0], player[1], player[2] + static_cast<float>(spell->step) + 100.0f};
    creatureSpells.push_back(std::move(spell));
    const std::string output = printed([] { updateWorld(); });
    EXPECT_EQ(playerHealth, 480);
    EXPECT_TRUE(damageOverlayOn);
    EXPECT_EQ(damageOverlayFrames, 5);
    EXPECT_EQ(playerSpeed, 80.0f);
    EXPECT_FALSE(creatureSpells[0]->inFlight());
    EXPECT_EQ(count(output, "SOUND NOT FOUND!"), 1) << "a hit sound";
}

TEST_F(PlayFrame, ACreatureSpellTouchingAPickUpGivesItToThePlayer) {
    auto teapot = std::make_unique<FBX_DecorWeaponTeapot>();
    teapot->position = {10000.0f, 200.0f, 10000.0f};
    teapot->size = 200.0f;
    nearDecors.push_back(teapot.get());
    decorList.push_back(std::move(teapot));
    auto spell = std::make_unique<Spell_Fireball>(Vec3{0, 0, 0}, north, 0u, 100.0f);
    spell->position = {10000.0f, 200.0f, 10000.0f + static_cast<float>(spell->step)};
    creatureSpells.push_back(std::move(spell));
    frame();
    EXPECT_EQ(salvoCharges, 3);
    EXPECT_FALSE(creatureSpells[0]->inFlight());
    EXPECT_EQ(explosionList.size(), 1u);
    EXPECT_TRUE(decorList.empty()) << "collected: removed in the same frame's decor pass";
    EXPECT_TRUE(nearDecors.empty());
}

TEST_F(PlayFrame, NearListsHoldWhatIsCloseOrInTheViewCone) {
    FBXCreatureBird& ahead = addBird({player[0], player[1] + 250.0f, player[2] - 50000.0f});
    FBXCreatureBird& behindClose = addBird({player[0], player[1] + 250.0f, player[2] + 2000.0f});
    addBird({player[0], player[1] + 250.0f, player[2] + 3000.0f});
    addBird({player[0], player[1] + 250.0f, player[2] - 90000.0f});
    frame();
    ASSERT_EQ(nearCreatures.size(), 2u);
    EXPECT_EQ(nearCreatures[0], &ahead);
    EXPECT_EQ(nearCreatures[1], &behindClose);
    viewConeCulling = false;
    frame();
    EXPECT_EQ(nearCreatures.size(), 4u);
    EXPECT_TRUE(isNearCamera(player)) << "zero distance passes as close";
}

TEST_F(PlayFrame, TheFrameCapSleepsSixteenMinusTheWholeMillisecondsOfWork) {
    EXPECT_EQ(frameSleepMilliseconds(3.7f), 13);
    EXPECT_EQ(frameSleepMilliseconds(0.0f), 16);
    EXPECT_EQ(frameSleepMilliseconds(16.2f), 0);
    EXPECT_LT(frameSleepMilliseconds(21.0f), 0);
    EXPECT_EQ(applyFrameTime(3.7f), 13);
    EXPECT_EQ(tickMilliseconds, 3);
    applyFrameTime(3.7f);
    EXPECT_EQ(tickMilliseconds, 7) << "the fraction of a millisecond is carried";
}

TEST_F(PlayFrame, FramesOfLessThanAMillisecondStillAddUpToTheTick) {
    playerHealth = 400;
    int ticks = 0;
    for (int frame = 0; frame < 2000; ++frame) {
        const int before = playerHealth;
        applyFrameTime(0.6f);
        ticks += playerHealth - before;
    }
    EXPECT_EQ(ticks, 1) << "1200 ms of work";
}

TEST_F(PlayFrame, TheSecondTickRunsAfterASecondOfWorkAndRegenerates) {
    playerHealth = 400;
    FBXCreatureBird& bird = addBird({player[0], player[1], player[2] - 1000.0f});
    bird.state = creatureIdle;
    tickMilliseconds = 990;
    printed([] { applyFrameTime(9.5f); });
    EXPECT_EQ(tickMilliseconds, 999);
    EXPECT_EQ(playerHealth, 400);
    printed([] { applyFrameTime(1.0f); });
    EXPECT_EQ(tickMilliseconds, 0);
    EXPECT_EQ(playerHealth, 401);
    EXPECT_EQ(bird.state, creatureAggro) << "creatures think at the tick";
}

TEST_F(PlayFrame, OutsideThePlayableSquareEveryTickCostsAndTheFifthOnesCostAThousand) {
    liveCamera.position[0] = -1.0f;
    const auto tick = [] {
        tickMilliseconds = 1000;
        return printed([] { applyFrameTime(0.0f); });
    };
    EXPECT_EQ(count(tick(), "SOUND NOT FOUND!"), 1);
    EXPECT_EQ(outsideSeconds, 1);
    EXPECT_TRUE(damageOverlayOn);
    EXPECT_EQ(damageOverlayFrames, 5);
    EXPECT_EQ(playerHealth, 490);
    for (int second = 2; second <= 4; ++second) {
        tick();
    }
    EXPECT_EQ(playerHealth, 490 - 3 * 9);
    tick();
    EXPECT_EQ(outsideSeconds, 5);
    EXPECT_EQ(playerHealth, 463 + 1 - 1000);
    tick();
    EXPECT_EQ(playerHealth, -536 + 1 - 1000) << "every later outside tick costs a thousand again";
    liveCamera.position[0] = 0.0f;
    tick();
    EXPECT_EQ(outsideSeconds, 0) << "the edge is inside";
}

TEST_F(PlayFrame, ASalvoFiresFiftyShotsWithASoundOnEveryFifth) {
    salvoCharges = 1;
    rightClick = true;
    printed([] { updateWorld(); });
    EXPECT_EQ(salvoCharges, 0);
    ASSERT_TRUE(salvoActive);
    EXPECT_EQ(salvoShotsLeft, 50);
    std::string output;
    for (int n = 0; n < 60; ++n) {
        tickMilliseconds = 0;
        output += printed([] { applyFrameTime(0.0f); });
    }
    EXPECT_FALSE(salvoActive);
    EXPECT_EQ(playerSpells.size(), 50u);
    EXPECT_EQ(count(output, "SOUND NOT FOUND!"), 10);
    tickMilliseconds = 5;
    salvoActive = true;
    salvoShotsLeft = 3;
    applyFrameTime(0.0f);
    EXPECT_EQ(salvoShotsLeft, 3) << "no shot when the tick count ends in 5 to 9";
}

namespace {

// The whole frame, with a GL context: screen switches and drawing.
class PlayFrameDrawn : public PlayFrame {
protected:
    static constexpr int size = 200;

    static void SetUpTestSuite() { gl = testfiles::startSuiteGl(size, size); }
    static void TearDownTestSuite() { testfiles::endSuiteGl(gl); }

    void SetUp() override {
        if (!gl || !gl->ready()) {
            GTEST_SKIP() << "no display for GL";
        }
        PlayFrame::SetUp();
        windowWidth = windowHeight = size;
        glViewport(0, 0, size, size);
        registerPlayCallbacks();
        activeScreen = ScreenState::play;
    }

    static int redPixels() {
        int red = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const auto p = gl->pixel(x, y);
                red += (p[0] > 200 && p[1] < 60 && p[2] < 60) ? 1 : 0;
            }
        }
        return red;
    }

    static OffscreenGl* gl;
};

OffscreenGl* PlayFrameDrawn::gl = nullptr;

}  // namespace

TEST_F(PlayFrameDrawn, LastCreatureOfTheFirstLevelLeadsToTheNextTask) {
    addBird({1000.0f, 1000.0f, 1000.0f}).state = creatureDead;
    levelNumber = 2;
    printed(onIdle);
    EXPECT_EQ(activeScreen, ScreenState::levelTask);
    EXPECT_FALSE(gameWon);
}

TEST_F(PlayFrameDrawn, WinningTheSecondLevelKeepsPlayingAndShowsTheTextAtOnce) {
    currentLevel = 2;
    FBXCreatureBird& last = addBird({1000.0f, 1000.0f, 1000.0f});
    printed([] {
        updatePlayFrame();
        drawPlayFrame();
    });
    EXPECT_FALSE(gameWon);
    EXPECT_EQ(redPixels(), 0) << "not won while a creature lives";
    last.state = creatureDead;
    printed([] {
        updatePlayFrame();
        drawPlayFrame();
    });
    EXPECT_TRUE(gameWon);
    EXPECT_EQ(activeScreen, ScreenState::play);
    EXPECT_GT(redPixels(), 40) << "\"YOU WIN!!!\" in red";
}

TEST_F(PlayFrameDrawn, DyingInTheFrameThatWinsEndsTheGame) {
    for (int level = 1; level <= 2; ++level) {
        activeScreen = ScreenState::play;
        currentLevel = level;
        levelNumber = level + 1;
        addBird({1000.0f, 1000.0f, 1000.0f}).state = creatureDead;
        playerHealth = 0;
        printed(onIdle);
        EXPECT_EQ(activeScreen, ScreenState::gameOver) << "level " << level;
        EXPECT_EQ(gameWon, level == 2);
    }
}

TEST_F(PlayFrameDrawn, AFrameLastsAtLeastTheCap) {
    addBird({1000.0f, 1000.0f, 1000.0f});
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < 5; ++n) {
        printed(onIdle);
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5 * 15));
}

TEST_F(PlayFrameDrawn, FogDarkensTheFarLandscape) {
    // Nine flat tiles, untextured (white); the camera 3000 units up at the
    // south edge of the landscape, looking north over 196000 units of it.
    const auto savedTiles = terrainTiles;
    std::array<std::unique_ptr<TerrainQuadtree>, terrainTileCount> savedRoots;
    for (int t = 0; t < terrainTileCount; ++t) {
        savedRoots[static_cast<std::size_t>(t)] = std::move(terrainRoots[static_cast<std::size_t>(t)]);
    }
    // Fresh roots for each frame: refinement splits the squares, and the
    // view cone then leaves out the small ones farther than 80000 units.
    const auto flatLandscape = [] {
        for (int t = 0; t < terrainTileCount; ++t) {
            const auto i = static_cast<std::size_t>(t);
            terrainRoots[i].reset();
            terrainTiles[i] = TerrainTile{};
            terrainTiles[i].originX = (t / 3 - 1) * 65536;
            terrainTiles[i].originZ = (t % 3 - 1) * 65536;
            terrainRoots[i] = std::make_unique<TerrainQuadtree>(terrainTiles[i]);
        }
    };
    textureIds = {};
    GLuint blue = testfiles::solidTexture({0, 0, 255});
    for (int face = 1; face <= 5; ++face) {
        textureIds[static_cast<std::size_t>(face)] = blue;
    }
    liveCamera.init(32768.0f, 3000.0f, 131000.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 4.0, -80000.0);
    glMatrixMode(GL_MODELVIEW);
    applyCamera(liveCamera);
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glFogfv(GL_FOG_COLOR, black);
    glFogi(GL_FOG_MODE, GL_LINEAR);

    // Row 5 below the horizon (the middle row) sees the ground about 95000
    // units away, row 10 about 52000; above it, the sky is blue.
    const auto frameRows = [&flatLandscape](float fogStart, float fogEnd) {
        flatLandscape();
        glFogf(GL_FOG_START, fogStart);
        glFogf(GL_FOG_END, fogEnd);
        liveCamera.init(32768.0f, 3000.0f, 131000.0f);
        applyCamera(liveCamera);
        // The camera stands outside the playable square: a once-a-second
        // tick, which the measured work of a slow frame brings about, would
        // lay the damage overlay over the next frame.
        tickMilliseconds = 0;
        tickRemainder = 0.0f;
        damageOverlayOn = false;
        damageOverlayFrames = 0;
        printed([] {
            updatePlayFrame();
            drawPlayFrame();
        });
        std::array<int, 2> rows{};
        const int columns[] = {130, 160, 190};
        const int below[] = {5, 10};
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (int x : columns) {
                rows[r] += gl->pixel(x, size / 2 - 1 - below[r])[0];
            }
            rows[r] /= 3;
        }
        return rows;
    };
    const std::array<int, 2> clear = frameRows(1.0e9f, 2.0e9f);
    const std::array<int, 2> fogged = frameRows(80000.0f, 120000.0f);
    glDeleteTextures(1, &blue);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    for (int t = 0; t < terrainTileCount; ++t) {
        terrainRoots[static_cast<std::size_t>(t)] = std::move(savedRoots[static_cast<std::size_t>(t)]);
    }
    terrainTiles = savedTiles;

    EXPECT_GT(clear[0], 240) << "without fog the far ground is as white as the near";
    EXPECT_GT(clear[1], 240);
    EXPECT_LT(fogged[0], 200) << "between 80000 and 120000 the fog darkens it";
    EXPECT_GT(fogged[0], 100);
    EXPECT_GT(fogged[1], 240) << "inside the fog's start the ground keeps its colour";
}
