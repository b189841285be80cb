#include <game/Heightmap.h>
#include <game/TerrainTiles.h>

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using testfiles::TgaHeader;
using testfiles::tgaFile;

namespace {

TEST(HeightFromPixel, WhiteAndGreyGiveTheirExactHeights) {
    EXPECT_EQ(heightFromPixel(255, 255, 255), 7650);
    EXPECT_EQ(heightFromPixel(128, 128, 128), 3840);
    EXPECT_EQ(heightFromPixel(1, 1, 1), 30);
    EXPECT_EQ(heightFromPixel(0, 0, 0), 0);
}

TEST(HeightFromPixel, WeightsApplyToTheBytesInFileOrder) {
    EXPECT_EQ(heightFromPixel(255, 0, 0), 2287);  // first byte (blue) weighs 0.299
    EXPECT_EQ(heightFromPixel(0, 255, 0), 4490);  // second byte weighs 0.587
    EXPECT_EQ(heightFromPixel(0, 0, 255), 872);   // third byte (red) weighs 0.114
}

TEST(HeightSamples, ShortPixelDataGivesNoSamples) {
    TgaImage image;
    image.width = 4;
    image.height = 4;
    image.pixelDepth = 24;
    image.pixels.assign(4 * 4 * 3 - 1, 255);
    EXPECT_TRUE(heightSamples(image).empty());
    image.pixels.push_back(255);
    EXPECT_EQ(heightSamples(image).size(), 16u);
}

// Grey heightmaps of 4 by 4 pixels: one sample every 128 units near each
// tile's origin.
std::vector<std::uint8_t> greyMap(std::uint8_t firstRow, std::uint8_t otherRows, std::uint8_t descriptor = 0) {
    TgaHeader header;
    header.imageType = 3;
    header.pixelDepth = 8;
    header.width = 4;
    header.height = 4;
    header.descriptor = descriptor;
    std::vector<std::uint8_t> pixels(16, otherRows);
    std::fill(pixels.begin(), pixels.begin() + 4, firstRow);
    return tgaFile(header, pixels);
}

class LoadHeightmaps : public ::testing::Test {
protected:
    void SetUp() override {
        for (int t = 0; t < terrainTileCount; ++t) {
            terrainTiles[static_cast<std::size_t>(t)] = TerrainTile{};
            terrainRoots[static_cast<std::size_t>(t)] =
                std::make_unique<TerrainQuadtree>(terrainTiles[static_cast<std::size_t>(t)]);
        }
    }
    void TearDown() override {
        for (auto& root : terrainRoots) {
            root.reset();
        }
    }

    void write(int tile, const std::vector<std::uint8_t>& bytes) {
        testfiles::writeBytes(folder.path() / heightmapFiles[static_cast<std::size_t>(tile)], bytes);
    }

    std::string load() {
        testfiles::WorkingDirectory here(folder.path());
        testing::internal::CaptureStdout();
        loadHeightmaps();
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }

    float heightAt(int tile, int dx, int dz) {
        const TerrainTile& record = terrainTiles[static_cast<std::size_t>(tile)];
        return terrainHeightAt(*terrainRoots[static_cast<std::size_t>(tile)], record, float(record.originX + dx),
                               float(record.originZ + dz));
    }

    testfiles::TempDir folder;
};

TEST_F(LoadHeightmaps, AMissingFilePrintsOnceAndTheOtherTilesBuild) {
    constexpr int missing = 6;  // x2y0
    for (int t = 0; t < terrainTileCount; ++t) {
        if (t != missing) {
            write(t, greyMap(255, 128));
        }
    }
    EXPECT_EQ(load(), "Error loading Heightmap!\n");
    for (int t = 0; t < terrainTileCount; ++t) {
        const TerrainTile& record = terrainTiles[static_cast<std::size_t>(t)];
        EXPECT_EQ(record.originX, (t / 3 - 1) * 65536) << t;
        EXPECT_EQ(record.originZ, (t % 3 - 1) * 65536) << t;
        const TerrainQuadtree& root = *terrainRoots[static_cast<std::size_t>(t)];
        if (t == missing) {
            EXPECT_FALSE(root.isStatic);
            EXPECT_FALSE(root.children[0] || root.children[1] || root.children[2] || root.children[3]);
            EXPECT_EQ(heightAt(t, 128, 128), 0.0f);
        } else {
            EXPECT_TRUE(root.isStatic) << t;
            // The first stored row lies at the tile's north edge, unflipped.
            EXPECT_FLOAT_EQ(heightAt(t, 128, 0), 7650.0f) << t;
            EXPECT_FLOAT_EQ(heightAt(t, 128, 128), 3840.0f) << t;
        }
    }
}

TEST_F(LoadHeightmaps, RowsAreUsedInStoredOrderWhateverTheDescriptor) {
    for (int t = 0; t < terrainTileCount; ++t) {
        write(t, greyMap(255, 0, 0x20));
    }
    EXPECT_EQ(load(), "");
    EXPECT_FLOAT_EQ(heightAt(centreTile, 256, 0), 7650.0f);
    EXPECT_FLOAT_EQ(heightAt(centreTile, 256, 256), 0.0f);
}

TEST_F(LoadHeightmaps, BlackMapLeavesItsTileFlatAndUnreadableFilesPrintEach) {
    write(0, greyMap(0, 0));
    write(1, {1, 2, 3});                       // not an image
    TgaHeader colourMapped;                   // unmapped indexes: conversion fails
    colourMapped.imageType = 1;
    colourMapped.colorMapType = 1;
    colourMapped.colorMapLength = 1;
    colourMapped.colorMapEntrySize = 24;
    colourMapped.pixelDepth = 8;
    colourMapped.width = 2;
    colourMapped.height = 2;
    write(2, tgaFile(colourMapped, {9, 9, 9, 5, 5, 5, 5}));
    std::string expected;
    for (int t = 1; t < terrainTileCount; ++t) {
        expected += "Error loading Heightmap!\n";
    }
    EXPECT_EQ(load(), expected);
    EXPECT_FALSE(terrainRoots[0]->isStatic);
    EXPECT_EQ(heightAt(0, 128, 128), 0.0f);
}

}  // namespace
