#include <game/LevelPopulation.h>

#include <game/Creatures.h>
#include <game/DecorKinds.h>
#include <game/FbxModel.h>
#include <game/GameState.h>
#include <game/LevelSetup.h>
#include <game/Teapots.h>
#include <game/WorldLists.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

// Indices into modelList.
enum ModelIndex : int {
    cactusHigh = 0,
    cactusMid = 1,
    cactusLow = 2,
    birdModel = 3,
    aggroBirdModel = 4,
    healthTeapotModel = 5,
    weaponTeapotModel = 6,
    speedTeapotModel = 7,
    palmCrown0 = 8,
    palmCrown1 = 9,
    palmCrown2 = 10,
    palmTrunk = 11,
    demonModel = 12,
    demonReducedModel = 13,
    sandstoneModel = 14,
    wizardModel = 15,
    carpetModel = 16,
    wallModel = 17,
};

constexpr Vec3 stoneColour{0.9f, 0.1f, 0.0f};

// The model at the index, or null before the models exist.
FbxModel* model(int index) {
    return static_cast<std::size_t>(index) < modelList.size() ? modelList[static_cast<std::size_t>(index)].get()
                                                              : nullptr;
}

std::array<FbxModel*, 3> sameModel(int index) {
    return {model(index), model(index), model(index)};
}

float ground(float x, float z) {
    return centreGroundHeight(x, z);
}

// 1000 to 59000 in steps of 2000.
float gridCoordinate() {
    return static_cast<float>((std::rand() % 30) * 2000 + 1000);
}

// Whether an object at (x, z) whose collision spheres reach `reach` units
// around it would touch the player anywhere on the first stretch of the
// walk north from the start. A forward step is refused while the player
// touches decor, so an object there would hold the player at the start.
bool onStartWalk(float x, float z, float reach) {
    const float nearestZ = std::clamp(z, startCameraZ - startWalkLength, startCameraZ);
    const float dx = x - startCameraX;
    const float dz = z - nearestZ;
    const float clearance = reach + playerRadius;
    return dx * dx + dz * dz <= clearance * clearance;
}

// A drawn place, turn and size, and how far the object's collision spheres
// reach around the place.
struct Placement {
    float x = 0.0f;
    float z = 0.0f;
    float reach = 0.0f;
    int rot = 0;
    int s = 0;
};

// Draws a placement until it keeps clear of the start walk. Few places
// touch it, so a second draw nearly always does; the bound only ends the
// loop whatever the generator returns.
template <class Draw>
Placement drawClearOfStart(Draw draw) {
    constexpr int drawLimit = 1000;
    Placement placement = draw();
    for (int n = 1; n < drawLimit && onStartWalk(placement.x, placement.z, placement.reach); ++n) {
        placement = draw();
    }
    return placement;
}

// The fields the population sets one by one on the decor it builds
// directly.
void placeDecor(Decor& decor, const Vec3& position, float angle, float radius, float extraScale, int health,
                const Vec3& colour, const std::array<FbxModel*, 3>& models) {
    decor.position = position;
    decor.angle = angle;
    decor.size = radius;
    decor.extraScale = extraScale;
    decor.hitTimer = 0;
    decor.health = health;
    decor.colour = colour;
    decor.models = models;
}

void addPalms() {
    for (int a = 0; a <= 50000; a += 10000) {
        for (int b = 0; b <= 50000; b += 10000) {
            const Placement p = drawClearOfStart([a, b] {
                const int r = std::rand() % 4000;
                const int rot = std::rand() % 360;
                const int s = std::rand() % 150;
                // The crown's sphere is the wider one.
                return Placement{static_cast<float>(a + r), static_cast<float>(b + r),
                                 1.5f * static_cast<float>(500 + s), rot, s};
            });
            decorList.push_back(std::make_unique<FBX_DecorPalm>(
                model(palmCrown0), model(palmCrown1), p.x, ground(p.x, p.z) - 100.0f, p.z, static_cast<float>(p.rot),
                static_cast<float>(500 + p.s), static_cast<float>(p.s), model(palmCrown2), model(palmTrunk),
                model(palmTrunk), model(palmTrunk)));
        }
    }
}

void addBirds() {
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            const int r = std::rand() % 2000;
            const int f = std::rand() % 20 + 1;
            const double t = (std::rand() % 10) / 5.0;
            const float x = static_cast<float>(12000 * i + r);
            const float z = static_cast<float>(12000 * j + r);
            creatureList.push_back(std::make_unique<FBXCreatureBird>(
                sameModel(birdModel), Vec3{x, ground(x, z) + 10000.0f + 1000.0f * static_cast<float>(j), z}, 500.0f,
                2000.0f, static_cast<float>(t), f));
        }
    }
}

template <class Teapot>
void addTeapot(int modelIndex, const Vec3& colour) {
    constexpr float radius = 200.0f;
    const Placement p = drawClearOfStart([] { return Placement{gridCoordinate(), gridCoordinate(), radius}; });
    const int f = std::rand() % 20 + 1;
    auto teapot = std::make_unique<Teapot>();
    placeDecor(*teapot, {p.x, ground(p.x, p.z) + 200.0f, p.z}, 0.0f, radius, 0.0f, 30, colour,
               sameModel(modelIndex));
    teapot->animated = true;
    teapot->frameCounter = f;
    teapot->frameTime = static_cast<float>(f);
    decorList.push_back(std::move(teapot));
}

// Cacti and sandstones: a place on the grid, a turn and a size.
template <class Kind>
void addGridDecor(int count, int radiusPerSize, int health, const std::array<FbxModel*, 3>& models) {
    for (int n = 0; n < count; ++n) {
        // No stone's sphere reaches farther than its radius around it.
        const Placement p = drawClearOfStart([radiusPerSize] {
            const float x = gridCoordinate();
            const float z = gridCoordinate();
            const int rot = std::rand() % 360;
            const int s = std::rand() % 100;
            return Placement{x, z, static_cast<float>(radiusPerSize * s + 400), rot, s};
        });
        auto decor = std::make_unique<Kind>();
        placeDecor(*decor, {p.x, ground(p.x, p.z), p.z}, static_cast<float>(p.rot), p.reach, static_cast<float>(p.s),
                   health, stoneColour, models);
        decorList.push_back(std::move(decor));
    }
}

void addWall(float x, float groundX, float z, float groundZ, float angle) {
    auto wall = std::make_unique<FBX_DecorWall>();
    placeDecor(*wall, {x, ground(groundX, groundZ), z}, angle, 800.0f, 0.0f, 30, stoneColour, sameModel(wallModel));
    decorList.push_back(std::move(wall));
}

// The heights of the far sides are read inside the square, short of where
// the walls stand.
void addWalls() {
    for (int step = 0; step <= 67200; step += 800) {
        const auto t = static_cast<float>(step);
        addWall(-100.0f, -100.0f, t, t, 0.0f);
        addWall(t, t, 65636.0f, 65000.0f, 90.0f);
        addWall(t, t, 0.0f, 0.0f, 90.0f);
        addWall(65636.0f, 65000.0f, t, t, 0.0f);
    }
}

void addFirstLevelCreatures() {
    for (int n = 0; n < 4; ++n) {
        const int k = 2000 * n;
        const int f = std::rand() % 20 + 1;
        const auto x = static_cast<float>(12000 + k);
        const auto z = static_cast<float>(15000 - k);
        creatureList.push_back(std::make_unique<FBXCreatureAggroBird>(
            sameModel(aggroBirdModel), Vec3{x, ground(x, z) + 3000.0f + 300.0f * static_cast<float>(n), z}, 200.0f,
            8000.0f, 5.0f * static_cast<float>(n), f));
    }
    constexpr float demonPlaces[4][2] = {{9200.0f, 9200.0f}, {9000.0f, 56000.0f}, {56000.0f, 9000.0f},
                                         {56000.0f, 56000.0f}};
    for (const auto& place : demonPlaces) {
        const int f = std::rand() % 20 + 1;
        creatureList.push_back(std::make_unique<FBXCreatureDemon>(
            CreatureModels{model(demonModel), model(demonReducedModel), model(demonReducedModel)},
            Vec3{place[0], ground(place[0], place[1]), place[1]}, 215.0f, 8000.0f, 5.0f, f));
    }
}

void addWizard() {
    const int f = std::rand() % 20 + 1;
    creatureList.push_back(std::make_unique<FBXCreatureWizard>(sameModel(wizardModel),
                                                               Vec3{30000.0f, ground(30000.0f, 30000.0f), 30000.0f},
                                                               215.0f, 8000.0f, 5.0f, f, sameModel(carpetModel)));
}

}  // namespace

void populateLevel(int level) {
    populateLevelSeeded(level, static_cast<unsigned int>(std::time(nullptr)));
}

void populateLevelSeeded(int level, unsigned int seed) {
    std::srand(seed);
    // The near lists point into the object lists: they go with them, or
    // the next frame would read destroyed objects.
    nearDecors.clear();
    nearCreatures.clear();
    decorList.clear();
    creatureList.clear();

    addPalms();
    addBirds();
    addTeapot<FBX_DecorWeaponTeapot>(weaponTeapotModel, {1.0f, 1.0f, 0.0f});
    addTeapot<FBX_DecorHealthTeapot>(healthTeapotModel, {1.0f, 1.0f, 1.0f});
    addTeapot<FBX_DecorSpeedTeapot>(speedTeapotModel, {0.5f, 1.0f, 0.5f});
    addGridDecor<FBX_DecorCactus>(30, 2, 20, {model(cactusHigh), model(cactusMid), model(cactusLow)});
    addGridDecor<FBX_DecorSandstone>(10, 1, 30, sameModel(sandstoneModel));
    addWalls();
    if (level == 1) {
        addFirstLevelCreatures();
    } else if (level == 2) {
        addWizard();
    }
}
