#include <game/LevelSetup.h>

#include <game/FbxModel.h>
#include <game/FrameTimer.h>
#include <game/GameState.h>
#include <game/Heightmap.h>
#include <game/LevelPopulation.h>
#include <game/ModelDraw.h>
#include <game/PlayFrame.h>
#include <game/PlayerControl.h>
#include <game/TerrainTiles.h>
#include <game/Texture.h>

#include <GL/glew.h>
#include <GL/glut.h>

#include <cstdio>

std::vector<std::unique_ptr<FbxModel>> modelList;
bool levelAssetsLoaded = false;

const std::array<const char*, 22> textureFiles = {
    "Ressources/newlevel/texture_x1y1.tga",
    "Ressources/skyFront.tga",
    "Ressources/skyRight.tga",
    "Ressources/skyLeft.tga",
    "Ressources/skyBack.tga",
    "Ressources/skyTop.tga",
    "Ressources/HUD.tga",
    "Ressources/HudMask.tga",
    "Ressources/minimap.tga",
    "Ressources/minimapMask.tga",
    "Ressources/minimapMask.tga",
    "Ressources/particle1_.tga",
    "Ressources/damage.tga",
    "Ressources/damageMask.tga",
    "Ressources/newlevel/texture_x0y0.tga",
    "Ressources/newlevel/texture_x0y1.tga",
    "Ressources/newlevel/texture_x0y2.tga",
    "Ressources/newlevel/texture_x1y2.tga",
    "Ressources/newlevel/texture_x2y2.tga",
    "Ressources/newlevel/texture_x2y1.tga",
    "Ressources/newlevel/texture_x2y0.tga",
    "Ressources/newlevel/texture_x1y0.tga",
};

static_assert(textureFiles.size() == textureSlotCount);

const std::array<ModelEntry, modelCount> modelTable = {{
    {"Ressources/plants/cactus/kaktusHigh.fbx", "Ressources/plants/cactus/cactus_texture.tga", 100.0f, false},
    {"Ressources/plants/cactus/kaktusMid.fbx", "Ressources/plants/cactus/cactus_texture.tga", 100.0f, false},
    {"Ressources/plants/cactus/kaktusLow.fbx", "Ressources/plants/cactus/cactus_texture.tga", 100.0f, false},
    {"Ressources/bird.fbx", "Ressources/birdUVTex.tga", 40.0f, true},
    {"Ressources/aggroBird.fbx", "Ressources/birdAggroTex.tga", 60.0f, true},
    {"Ressources/teapot.fbx", "Ressources/teapotHealthTexture.tga", 200.0f, true},
    {"Ressources/teapot.fbx", "Ressources/teapotWeaponTexture.tga", 200.0f, true},
    {"Ressources/teapot.fbx", "Ressources/teapotSpeedTexture.tga", 200.0f, true},
    {"Ressources/palmeKroneLOD0.fbx", "Ressources/palmeKroneTexture.tga", 100.0f, false},
    {"Ressources/palmeKroneLOD1.fbx", "Ressources/palmeKroneTexture.tga", 100.0f, false},
    {"Ressources/palmeKroneLOD2.fbx", "Ressources/palmeKroneTexture.tga", 100.0f, false},
    {"Ressources/palmeStammLOD012.fbx", "Ressources/palmeStammTexture.tga", 100.0f, false},
    {"Ressources/demonTextured.fbx", "Ressources/demonTexture.tga", 500.0f, true},
    {"Ressources/demonTexturedLOD1.fbx", "Ressources/demonTexture.tga", 500.0f, true},
    {"Ressources/sandstone.fbx", "Ressources/sandstone.tga", 100.0f, false},
    {"Ressources/wizard.fbx", "Ressources/wizardTexture.tga", 10.0f, true},
    {"Ressources/carpet.fbx", "Ressources/carpetTexture.tga", 10.0f, true},
    {"Ressources/wallNormal.fbx", "Ressources/sandstein.tga", 200.0f, false},
}};

void loadModelEntry(const ModelEntry& entry, FbxModel& model) {
    model.textureFileName = entry.textureFile;
    model.hasTexture = true;
    loadFbxModel(entry.modelFile, model);
    model.scale = entry.scale;
    if (entry.animated) {
        model.animated = true;
        bakeModelFrames(model);
    }
}

namespace {

constexpr int aggroBirdModel = 4;
constexpr float startHeightAboveGround = 500.0f;

void loadTextureTable() {
    for (int slot = 0; slot < textureSlotCount; ++slot) {
        loadTexture(slot, textureFiles[static_cast<std::size_t>(slot)]);
    }
}

void buildTerrain() {
    for (int t = 0; t < terrainTileCount; ++t) {
        terrainRoots[static_cast<std::size_t>(t)] =
            std::make_unique<TerrainQuadtree>(terrainTiles[static_cast<std::size_t>(t)]);
    }
    loadHeightmaps();
}

void placeStartCamera() {
    const float ground =
        terrainHeightAt(*terrainRoots[centreTile], terrainTiles[centreTile], startCameraX, startCameraZ);
    Camera start;
    start.init(startCameraX, ground + startHeightAboveGround, startCameraZ);
    restoreCamera(start);
}

void loadModels() {
    for (int index = 0; index < modelCount; ++index) {
        const ModelEntry& entry = modelTable[static_cast<std::size_t>(index)];
        modelList.push_back(std::make_unique<FbxModel>());
        FbxModel& model = *modelList.back();
        loadModelEntry(entry, model);
        if (index == aggroBirdModel) {
            rebuildModelBuffers(model, renderVertexArrays);
        }
    }
}

void buildSharedAssets() {
    buildTerrain();
    placeStartCamera();
    loadTextureTable();
    glColor3f(1.0f, 1.0f, 1.0f);
    std::printf("culling quadtree\n");
    refineAllTiles();
    std::printf("done culling quadtree\n");
    timerFrequency = frameCounterFrequency();
    glutSetCursor(GLUT_CURSOR_NONE);
    loadModels();
    setRenderModeAll(renderVertexArrays);
    levelAssetsLoaded = true;
}

void setRenderingState() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glPolygonMode(GL_FRONT, GL_FILL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glShadeModel(GL_SMOOTH);

    const GLfloat lightPosition[] = {-40000.0f, 26000.0f, 37000.0f, 1.0f};
    const GLfloat dim[] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glLightfv(GL_LIGHT0, GL_AMBIENT, dim);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, dim);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    const GLfloat emission[] = {0.3f, 0.3f, 0.3f, 0.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, white);
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialf(GL_FRONT, GL_SHININESS, 128.0f);
    glMaterialfv(GL_FRONT, GL_EMISSION, emission);

    const GLfloat fogColour[] = {0.0f, 0.0f, 0.0f, 0.0f};
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_START, viewDistance);
    glFogf(GL_FOG_END, 120000.0f);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glEnable(GL_FOG);
}

}  // namespace

Camera& restoreCamera(const Camera& camera) {
    liveCamera = camera;
    return liveCamera;
}

void loadLevel() {
    currentLevel = levelNumber;
    if (!levelAssetsLoaded) {
        buildSharedAssets();
    } else {
        loadTextureTable();
    }
    populateLevel(currentLevel);
    setRenderingState();
}
