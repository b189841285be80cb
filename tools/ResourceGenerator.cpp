#include <tools/ResourceGenerator.h>

#include <tools/HudImages.h>
#include <tools/LandscapeImages.h>
#include <tools/ModelFiles.h>
#include <tools/ModelTextures.h>
#include <tools/ScreenImages.h>
#include <tools/SoundEncoders.h>
#include <tools/SoundSynth.h>
#include <tools/TgaWriter.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

void addImage(std::vector<ResourceFile>& files, std::string path, Canvas (*make)()) {
    files.push_back({std::move(path), [make] { return encodeTga(make()); }});
}

std::string tileName(const char* kind, int i, int j) {
    return "newlevel/" + std::string(kind) + "_x" + std::to_string(i) + "y" + std::to_string(j) + ".tga";
}

void addLandscape(std::vector<ResourceFile>& files) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            files.push_back({tileName("height", i, j), [i, j] {
                                 return encodeGreyTga(heightmapSize, heightmapSize, heightmapRows(i, j));
                             }});
            files.push_back({tileName("texture", i, j), [i, j] { return encodeTga(terrainTexture(i, j)); }});
        }
    }
    const std::pair<const char*, SkyFace> faces[] = {
        {"skyFront.tga", SkyFace::front}, {"skyRight.tga", SkyFace::right}, {"skyLeft.tga", SkyFace::left},
        {"skyBack.tga", SkyFace::back},   {"skyTop.tga", SkyFace::top},
    };
    for (const auto& [name, face] : faces) {
        files.push_back({name, [face] { return encodeTga(skyFace(face)); }});
    }
}

void addScreensAndHud(std::vector<ResourceFile>& files) {
    addImage(files, "splashscreen.tga", splashImage);
    files.push_back({"level1Task.tga", [] { return encodeTga(levelTaskImage(1)); }});
    files.push_back({"level2Task.tga", [] { return encodeTga(levelTaskImage(2)); }});
    addImage(files, "GameOver.tga", gameOverImage);
    addImage(files, "HUD.tga", hudImage);
    addImage(files, "HudMask.tga", hudMask);
    addImage(files, "minimap.tga", minimapImage);
    addImage(files, "minimapMask.tga", minimapMask);
    addImage(files, "damage.tga", damageImage);
    addImage(files, "damageMask.tga", damageMask);
    addImage(files, "particle1_.tga", particleImage);
}

void addModelTextures(std::vector<ResourceFile>& files) {
    addImage(files, "plants/cactus/cactus_texture.tga", cactusTexture);
    addImage(files, "birdUVTex.tga", birdTexture);
    addImage(files, "birdAggroTex.tga", aggroBirdTexture);
    files.push_back({"teapotHealthTexture.tga", [] { return encodeTga(teapotTexture(TeapotKind::health)); }});
    files.push_back({"teapotWeaponTexture.tga", [] { return encodeTga(teapotTexture(TeapotKind::weapon)); }});
    files.push_back({"teapotSpeedTexture.tga", [] { return encodeTga(teapotTexture(TeapotKind::speed)); }});
    addImage(files, "palmeKroneTexture.tga", palmCrownTexture);
    addImage(files, "palmeStammTexture.tga", palmTrunkTexture);
    addImage(files, "demonTexture.tga", demonTexture);
    addImage(files, "sandstone.tga", sandstoneTexture);
    addImage(files, "wizardTexture.tga", wizardTexture);
    addImage(files, "carpetTexture.tga", carpetTexture);
    addImage(files, "sandstein.tga", wallTexture);
}

void addModels(std::vector<ResourceFile>& files) {
    for (const ModelFile& model : modelFiles()) {
        files.push_back({model.path, [model] { return modelFileBytes(model); }});
    }
}

void addSounds(std::vector<ResourceFile>& files) {
    using Encoder = Bytes (*)(const std::vector<std::int16_t>&, int);
    auto add = [&files](std::string name, Encoder encode, std::function<std::vector<std::int16_t>()> synth) {
        files.push_back({"sounds/" + name, [encode, synth] { return encode(synth(), soundRate); }});
    };
    add("jump.ogg", encodeOgg, jumpSound);
    add("FIREBALL_SHOOT.mp3", encodeMp3, fireballShootSound);
    add("FIRESALVE_SHOOT.wav", encodeWav, firesalveShootSound);
    add("CREATURE_EXPLODE.wav", encodeWav, creatureExplodeSound);
    add("TEAPOT_COLLECTED.mp3", encodeMp3, teapotCollectedSound);
    for (int k = 1; k <= 6; ++k) {
        add("WIZARD_HIT" + std::to_string(k) + ".wav", encodeWav, [k] { return wizardHitSound(k); });
    }
    for (int k = 1; k <= 12; ++k) {
        add("OUTSIDE" + std::to_string(k) + ".wav", encodeWav, [k] { return outsideWarningSound(k); });
    }
}

bool writeAtomically(const fs::path& path, const Bytes& bytes) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    fs::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, path, error);
    return !error;
}

bool makeFile(const fs::path& folder, const ResourceFile& file) {
    const fs::path path = folder / file.path;
    if (fs::exists(path)) {
        return true;
    }
    const Bytes bytes = file.make();
    if (bytes.empty() || !writeAtomically(path, bytes)) {
        std::fprintf(stderr, "qalimor-resources: could not write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

}  // namespace

std::vector<ResourceFile> resourceFiles() {
    std::vector<ResourceFile> files;
    addScreensAndHud(files);
    addLandscape(files);
    addModelTextures(files);
    addModels(files);
    addSounds(files);
    return files;
}

bool generateFiles(const fs::path& folder, const std::vector<ResourceFile>& files) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> allWritten{true};
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            if (!makeFile(folder, files[i])) {
                allWritten = false;
            }
        }
    };
    const unsigned threadCount = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 1; t < threadCount; ++t) {
            workers.emplace_back(work);
        }
        work();
    }
    return allWritten;
}

bool generateResources(const fs::path& folder) {
    if (!generateFiles(folder, resourceFiles())) {
        return false;
    }
    return writeAtomically(folder / ".complete", Bytes{'o', 'k', '\n'});
}
