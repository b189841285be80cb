#include <game/Heightmap.h>

#include <game/TerrainTiles.h>

#include <cstdio>

const std::array<const char*, 9> heightmapFiles = {
    "Ressources/newlevel/height_x0y0.tga", "Ressources/newlevel/height_x0y1.tga",
    "Ressources/newlevel/height_x0y2.tga", "Ressources/newlevel/height_x1y0.tga",
    "Ressources/newlevel/height_x1y1.tga", "Ressources/newlevel/height_x1y2.tga",
    "Ressources/newlevel/height_x2y0.tga", "Ressources/newlevel/height_x2y1.tga",
    "Ressources/newlevel/height_x2y2.tga",
};

namespace {

constexpr int tileSize = 2 << tileLevel;

// Reads a heightmap and brings it to 24 bits. The rows stay in stored order:
// a heightmap is not flipped.
std::vector<std::int16_t> readHeightmap(const char* fileName, int& width, int& height) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) {
        return {};
    }
    TgaImage image;
    const TgaResult result = tgaRead(file, image);
    std::fclose(file);
    // A conversion that fails leaves pixels of another size than the
    // samples read from them.
    if (result != tgaOk || tgaConvertTo24(image) != tgaOk) {
        return {};
    }
    width = image.width;
    height = image.height;
    return heightSamples(image);
}

}  // namespace

std::int16_t heightFromPixel(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    // The weights are single-precision values widened to double: with double
    // literals a grey of 128 would give 3839 instead of 3840.
    constexpr double weight1 = 0.587f;
    constexpr double weight0 = 0.299f;
    constexpr double weight2 = 0.114f;
    return static_cast<std::int16_t>((b1 * weight1 + b0 * weight0 + b2 * weight2) * 30.0);
}

std::vector<std::int16_t> heightSamples(const TgaImage& image) {
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    if (image.pixelDepth != 24 || image.pixels.size() < count * 3) {
        return {};
    }
    std::vector<std::int16_t> samples(count);
    for (std::size_t p = 0; p < count; ++p) {
        const std::uint8_t* pixel = image.pixels.data() + 3 * p;
        samples[p] = heightFromPixel(pixel[0], pixel[1], pixel[2]);
    }
    return samples;
}

void loadHeightmaps() {
    for (int t = 0; t < terrainTileCount; ++t) {
        TerrainTile& tile = terrainTiles[static_cast<std::size_t>(t)];
        const int originX = (t / 3 - 1) * tileSize;
        const int originZ = (t % 3 - 1) * tileSize;

        int width = 0;
        int height = 0;
        const std::vector<std::int16_t> samples = readHeightmap(heightmapFiles[static_cast<std::size_t>(t)], width, height);
        if (samples.empty()) {
            std::printf("Error loading Heightmap!\n");
        }

        tile.originX = originX;
        tile.originZ = originZ;
        TerrainQuadtree* root = terrainRoots[static_cast<std::size_t>(t)].get();
        if (!samples.empty() && root) {
            const HeightGrid grid{samples, originX, originZ, width, height, width, heightmapScaleShift};
            buildQuadtree(*root, tile, grid);
        }
    }
}
