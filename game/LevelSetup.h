#pragma once

#include <game/Camera.h>

#include <array>
#include <memory>
#include <vector>

struct FbxModel;

// The models of the game, built by the first level set-up; objects refer
// to them by index. They live until the process ends.
extern std::vector<std::unique_ptr<FbxModel>> modelList;

// True once the first set-up has built what both levels share.
extern bool levelAssetsLoaded;

// The image of each texture slot, relative to the working directory.
extern const std::array<const char*, 22> textureFiles;

// One entry of the model table.
struct ModelEntry {
    const char* modelFile;
    const char* textureFile;
    float scale;
    bool animated;
};

inline constexpr int modelCount = 18;
extern const std::array<ModelEntry, modelCount> modelTable;

// Loads the model of one table entry as the level does: its texture, its
// file, its scale and, for an animated one, its baked frames.
void loadModelEntry(const ModelEntry& entry, FbxModel& model);

// Where the first level starts, on the centre tile.
inline constexpr float startCameraX = 22700.0f;
inline constexpr float startCameraZ = 23800.0f;
// The player starts looking north (-z); no decor stands on this first
// stretch of that walk.
inline constexpr float startWalkLength = 4000.0f;

// Prepares the level numbered levelNumber before play starts: the first call
// builds terrain, camera, textures and models; every call reloads the
// textures, populates the world and sets the rendering state.
void loadLevel();

// Copies a camera record into the live camera.
Camera& restoreCamera(const Camera& camera);
