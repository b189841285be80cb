#pragma once

#include <tools/ModelDesigns.h>

#include <cstdint>
#include <filesystem>
#include <vector>

// The model files of the game: where each goes, the texture it names, and
// whether it is stored binary or as text.
struct ModelFile {
    ModelKind kind;
    const char* path;         // under the resource folder
    const char* textureName;  // the texture the file names; the game picks its own
    bool binary;
};

const std::vector<ModelFile>& modelFiles();

// Writes the model's scene to the file through the SDK's exporter; false
// when the scene cannot be built or written.
bool writeModelFile(const ModelFile& model, const std::filesystem::path& file);

// The bytes of the model's file; empty when it cannot be written.
std::vector<std::uint8_t> modelFileBytes(const ModelFile& model);
