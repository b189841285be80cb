#include <game/Sound.h>
#include <game/TgaImage.h>
#include <tools/ResourceGenerator.h>

#include "ImageMatch.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <string>

namespace fs = std::filesystem;
using testfiles::Picture;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Generates the whole resource folder once for the tests below.
class ResourcesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new testfiles::TempDir;
        generated_ = generateResources(root());
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }

    static fs::path root() { return folder_->path() / "Ressources"; }

    static TgaImage readImage(const std::string& name) {
        TgaImage image;
        std::FILE* file = std::fopen((root() / name).c_str(), "rb");
        EXPECT_NE(file, nullptr) << name;
        if (file) {
            EXPECT_EQ(tgaRead(file, image), tgaOk) << name;
            std::fclose(file);
        }
        return image;
    }

    static Picture picture(const std::string& name) { return testfiles::pictureFromTga((root() / name).string()); }

    static inline testfiles::TempDir* folder_ = nullptr;
    static inline bool generated_ = false;
};

std::string tile(const char* kind, int i, int j) {
    return std::string("newlevel/") + kind + "_x" + std::to_string(i) + "y" + std::to_string(j) + ".tga";
}

const char* const screenFiles[] = {"splashscreen.tga", "level1Task.tga", "level2Task.tga", "GameOver.tga"};

const char* const uploadedFiles[] = {
    "skyFront.tga", "skyRight.tga", "skyLeft.tga", "skyBack.tga", "skyTop.tga",
    "HUD.tga", "HudMask.tga", "minimap.tga", "minimapMask.tga", "particle1_.tga", "damage.tga", "damageMask.tga",
    "plants/cactus/cactus_texture.tga", "birdUVTex.tga", "birdAggroTex.tga", "teapotHealthTexture.tga",
    "teapotWeaponTexture.tga", "teapotSpeedTexture.tga", "palmeKroneTexture.tga", "palmeStammTexture.tga",
    "demonTexture.tga", "sandstone.tga", "wizardTexture.tga", "carpetTexture.tga", "sandstein.tga",
};

// The sixteen model files behind the eighteen model slots.
const char* const modelFiles[] = {
    "plants/cactus/kaktusHigh.fbx", "plants/cactus/kaktusMid.fbx", "plants/cactus/kaktusLow.fbx", "bird.fbx",
    "aggroBird.fbx", "teapot.fbx", "palmeKroneLOD0.fbx", "palmeKroneLOD1.fbx", "palmeKroneLOD2.fbx",
    "palmeStammLOD012.fbx", "demonTextured.fbx", "demonTexturedLOD1.fbx", "sandstone.fbx", "wizard.fbx",
    "carpet.fbx", "wallNormal.fbx",
};

std::set<std::string> expectedFiles() {
    std::set<std::string> files(std::begin(screenFiles), std::end(screenFiles));
    files.insert(std::begin(uploadedFiles), std::end(uploadedFiles));
    files.insert(std::begin(modelFiles), std::end(modelFiles));
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            files.insert(tile("height", i, j));
            files.insert(tile("texture", i, j));
        }
    }
    for (const char* path : soundFiles) {
        files.insert(std::string(path).substr(std::strlen("Ressources/")));
    }
    files.insert(".complete");
    return files;
}

bool powerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t le16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

double meanDifference(const Picture& a, int ax, int ay, const Picture& b, int bx, int by, int steps, int dax,
                      int day, int dbx, int dby) {
    double sum = 0.0;
    for (int k = 0; k < steps; ++k) {
        const std::uint8_t* p = a.at(ax + k * dax, ay + k * day);
        const std::uint8_t* q = b.at(bx + k * dbx, by + k * dby);
        for (int c = 0; c < 3; ++c) {
            sum += std::abs(p[c] - q[c]);
        }
    }
    return sum / (steps * 3.0);
}

}  // namespace

TEST_F(ResourcesTest, WritesExactlyTheFilesTheGameReads) {
    ASSERT_TRUE(generated_);
    std::set<std::string> written;
    for (const auto& entry : fs::recursive_directory_iterator(root())) {
        if (entry.is_regular_file()) {
            written.insert(fs::relative(entry.path(), root()).generic_string());
        }
    }
    EXPECT_EQ(written, expectedFiles());
    EXPECT_EQ(expectedFiles().size(), 4u + 25u + 16u + 18u + 23u + 1u);
}

TEST_F(ResourcesTest, ImagesHaveTheirTypesAndSizes) {
    for (const char* name : screenFiles) {
        const TgaImage image = readImage(name);
        EXPECT_EQ(image.imageType, 2) << name;
        EXPECT_EQ(image.pixelDepth, 24) << name;
        EXPECT_EQ(image.width, 512) << name;
        EXPECT_EQ(image.height, 512) << name;
    }
    for (const char* name : uploadedFiles) {
        const TgaImage image = readImage(name);
        EXPECT_EQ(image.imageType, 2) << name;
        EXPECT_EQ(image.pixelDepth, 24) << name;
        EXPECT_TRUE(powerOfTwo(image.width) && powerOfTwo(image.height)) << name;
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const TgaImage texture = readImage(tile("texture", i, j));
            EXPECT_EQ(texture.width, 512);
            EXPECT_EQ(texture.height, 512);
            const TgaImage height = readImage(tile("height", i, j));
            EXPECT_EQ(height.imageType, 3);
            EXPECT_EQ(height.pixelDepth, 8);
            EXPECT_EQ(height.width, 514);
            EXPECT_EQ(height.height, 514);
            EXPECT_EQ(height.descriptor & (tgaRightToLeft | tgaTopToBottom), 0);
        }
    }
}

TEST_F(ResourcesTest, NeighbouringHeightmapsShareTheirBorders) {
    // Sample 512 of a tile lies exactly on sample 0 of the next tile along x
    // (or z), and 513 on 1.
    std::array<std::array<TgaImage, 3>, 3> maps;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            maps[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = readImage(tile("height", i, j));
        }
    }
    auto at = [&](int i, int j, int c, int r) {
        return maps[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]
            .pixels[static_cast<std::size_t>(r) * 514 + static_cast<std::size_t>(c)];
    };
    int mismatches = 0;
    for (int a = 0; a < 2; ++a) {
        for (int b = 0; b < 3; ++b) {
            for (int k = 0; k < 514; ++k) {
                for (int edge = 0; edge < 2; ++edge) {
                    mismatches += at(a, b, 512 + edge, k) != at(a + 1, b, edge, k);  // along x
                    mismatches += at(b, a, k, 512 + edge) != at(b, a + 1, k, edge);  // along z
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(ResourcesTest, PlayableGroundHasModerateRelief) {
    const TgaImage centre = readImage(tile("height", 1, 1));
    const auto [low, high] = std::minmax_element(centre.pixels.begin(), centre.pixels.end());
    EXPECT_GT(*high - *low, 20) << "not flat";
    EXPECT_LT(*high - *low, 160);
    EXPECT_LT(*high, 200) << "the start position is low enough for the camera";
}

TEST_F(ResourcesTest, SkyFacesMeetAtTheirEdges) {
    const Picture front = picture("skyFront.tga");
    const Picture right = picture("skyRight.tga");
    const Picture left = picture("skyLeft.tga");
    const Picture back = picture("skyBack.tga");
    const Picture top = picture("skyTop.tga");
    const int n = front.width;
    ASSERT_EQ(n, 512);
    // Side faces in turn: front's right edge is the right face's left edge, and so on.
    EXPECT_LT(meanDifference(front, n - 1, 0, right, 0, 0, n, 0, 1, 0, 1), 3.0);
    EXPECT_LT(meanDifference(right, n - 1, 0, back, 0, 0, n, 0, 1, 0, 1), 3.0);
    EXPECT_LT(meanDifference(back, n - 1, 0, left, 0, 0, n, 0, 1, 0, 1), 3.0);
    EXPECT_LT(meanDifference(left, n - 1, 0, front, 0, 0, n, 0, 1, 0, 1), 3.0);
    // The front's top row is the top face's bottom row.
    EXPECT_LT(meanDifference(front, 0, 0, top, 0, n - 1, n, 1, 0, 1, 0), 3.0);
    // Blue above, sand-coloured haze below the horizon.
    const std::uint8_t* sky = front.at(n / 2, n / 8);
    const std::uint8_t* haze = front.at(n / 2, n - 8);
    EXPECT_GT(sky[2], sky[0]);
    EXPECT_GT(haze[0], haze[2]);
}

TEST_F(ResourcesTest, ImagesAreBlackWhereTheirMasksLetTheSceneThrough) {
    const std::pair<const char*, const char*> pairs[] = {
        {"HUD.tga", "HudMask.tga"}, {"minimap.tga", "minimapMask.tga"}, {"damage.tga", "damageMask.tga"}};
    for (const auto& [imageName, maskName] : pairs) {
        const Picture image = picture(imageName);
        const Picture mask = picture(maskName);
        ASSERT_EQ(image.rgb.size(), mask.rgb.size());
        int shown = 0;
        int clash = 0;
        for (std::size_t i = 0; i < image.rgb.size(); i += 3) {
            const bool keep = mask.rgb[i] == 255 && mask.rgb[i + 1] == 255 && mask.rgb[i + 2] == 255;
            const bool black = (image.rgb[i] | image.rgb[i + 1] | image.rgb[i + 2]) == 0;
            clash += keep && !black;
            shown += !black;
        }
        EXPECT_EQ(clash, 0) << imageName;
        EXPECT_GT(shown, 100) << imageName;
    }
    // The map turns under the middle of the minimap frame, which must be see-through.
    const Picture minimapMask = picture("minimapMask.tga");
    EXPECT_EQ(minimapMask.at(64, 64)[0], 255);
    EXPECT_EQ(minimapMask.at(64, 64 + 90)[0], 0) << "the ring hides the turning map's corners";
}

TEST_F(ResourcesTest, TeapotKindsLookDifferent) {
    auto mean = [](const Picture& p) {
        std::array<double, 3> sum{};
        for (std::size_t i = 0; i < p.rgb.size(); ++i) {
            sum[i % 3] += p.rgb[i];
        }
        for (double& s : sum) {
            s /= static_cast<double>(p.rgb.size() / 3);
        }
        return sum;
    };
    const auto health = mean(picture("teapotHealthTexture.tga"));
    const auto weapon = mean(picture("teapotWeaponTexture.tga"));
    const auto speed = mean(picture("teapotSpeedTexture.tga"));
    auto distance = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
        return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
    };
    EXPECT_GT(distance(health, weapon), 80.0);
    EXPECT_GT(distance(health, speed), 80.0);
    EXPECT_GT(distance(weapon, speed), 80.0);
}

TEST_F(ResourcesTest, SoundsAreSixteenBitMonoInTheFormatTheirNamesSay) {
    for (const char* path : soundFiles) {
        const std::string name = std::string(path).substr(std::strlen("Ressources/"));
        const Bytes bytes = testfiles::readBytes(root() / name);
        ASSERT_GT(bytes.size(), 64u) << name;
        const std::string extension = name.substr(name.size() - 4);
        if (extension == ".wav") {
            EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF") << name;
            EXPECT_EQ(le32(bytes, 4), bytes.size() - 8) << name;
            EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ") << name;
            EXPECT_EQ(le16(bytes, 20), 1) << name << ": PCM";
            EXPECT_EQ(le16(bytes, 22), 1) << name << ": mono";
            EXPECT_EQ(le32(bytes, 24), 44100u) << name;
            EXPECT_EQ(le16(bytes, 34), 16) << name << ": 16 bits";
            EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data") << name;
            EXPECT_EQ(le32(bytes, 40), bytes.size() - 44) << name;
        } else if (extension == ".ogg") {
            EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "OggS") << name;
            EXPECT_EQ(std::string(bytes.begin() + 29, bytes.begin() + 35), "vorbis") << name;
            EXPECT_EQ(bytes[39], 1) << name << ": one channel";
            EXPECT_EQ(le32(bytes, 40), 44100u) << name;
        } else {
            ASSERT_EQ(extension, ".mp3");
            // An MPEG-1 layer III frame header, single channel.
            EXPECT_EQ(bytes[0], 0xFF) << name;
            EXPECT_EQ(bytes[1] & 0xFE, 0xFA) << name;
            EXPECT_EQ(bytes[3] >> 6, 3) << name << ": mono";
        }
    }
}

TEST_F(ResourcesTest, FilesThatAreThereAlreadyAreKept) {
    testfiles::TempDir other;
    const fs::path own = other.path() / "splashscreen.tga";
    testfiles::writeBytes(own, {'m', 'i', 'n', 'e'});
    std::vector<ResourceFile> files;
    for (ResourceFile& file : resourceFiles()) {
        if (file.path == "splashscreen.tga" || file.path == "GameOver.tga") {
            files.push_back(std::move(file));
        }
    }
    ASSERT_EQ(files.size(), 2u);
    EXPECT_TRUE(generateFiles(other.path(), files));
    EXPECT_EQ(testfiles::readBytes(own), (Bytes{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(testfiles::readBytes(other.path() / "GameOver.tga"), testfiles::readBytes(root() / "GameOver.tga"));
    EXPECT_FALSE(fs::exists(other.path() / "GameOver.tga.part"));
}

TEST(ResourceGeneration, AFolderThatCannotBeWrittenFailsWithoutMarkingItComplete) {
    testfiles::TempDir folder;
    // A plain file where the folder should be.
    testfiles::writeBytes(folder.path() / "Ressources", {'x'});
    std::vector<ResourceFile> one;
    one.push_back(resourceFiles().front());
    EXPECT_FALSE(generateFiles(folder.path() / "Ressources", one));
    EXPECT_FALSE(fs::exists(folder.path() / "Ressources" / ".complete"));
}
