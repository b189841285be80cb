#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// One file the game reads, and how to make its content.
struct ResourceFile {
    std::string path;  // under the resource folder, with forward slashes
    std::function<std::vector<std::uint8_t>()> make;
};

// Every image, model and sound file of the game.
std::vector<ResourceFile> resourceFiles();

// Writes those of the files that do not exist yet, each through a temporary
// name so that no half-written file is ever left under its real name.
// Files already there are kept. False when any file could not be written.
bool generateFiles(const std::filesystem::path& folder, const std::vector<ResourceFile>& files);

// Writes every missing resource file, then "<folder>/.complete" to mark the
// folder as finished.
bool generateResources(const std::filesystem::path& folder);
