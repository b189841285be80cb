#include <game/FbxModel.h>

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using testfiles::TgaHeader;
using testfiles::tgaFile;

namespace {

// A textured quad over four control points, as one polygon of four vertices.
void fillQuad(FbxModel& model) {
    model.controlPoints = {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}};
    model.controlNormals = {{0, 0, 1, 0}, {0, 0, 2, 0}, {0, 0, 3, 0}, {0, 0, 4, 0}};
    model.controlPointCount = 4;
    model.uvs = {{0.0, 0.0}, {0.25, 0.5}, {0.5, 0.75}, {1.0, 1.0}};
    model.polygonCount = 1;
    model.polygonSizes = {4};
    model.maxPolygonSize = 4;
    model.vertexIndices = {{0, 1, 2, 3}};
    model.uvIndices = {{3, 2, 1, 0}};
    model.vertexCount = 4;
    model.hasTexture = true;
}

TEST(BuildDrawArrays, TexturedQuadGivesFourEntriesInEachArray) {
    FbxModel model;
    fillQuad(model);
    buildDrawArrays(model);
    EXPECT_EQ(model.positions, (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}));
    EXPECT_EQ(model.normals, (std::vector<float>{0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4}));
    EXPECT_EQ(model.texCoords, (std::vector<float>{1, 1, 0.5f, 0.75f, 0.25f, 0.5f, 0, 0}));
}

TEST(BuildDrawArrays, UntexturedModelLeavesTextureCoordinatesZero) {
    FbxModel model;
    fillQuad(model);
    model.hasTexture = false;
    buildDrawArrays(model);
    EXPECT_EQ(model.texCoords, std::vector<float>(8, 0.0f));
    EXPECT_EQ(model.positions.size(), 12u);
}

TEST(BuildDrawArrays, IndexesOutsideTheMeshReadAsZero) {
    FbxModel model;
    fillQuad(model);
    model.vertexIndices = {{0, -1, 4, 2}};
    model.uvIndices = {{-1, 1, 99}};  // one entry short too
    model.controlNormals.clear();     // a mesh without normals
    buildDrawArrays(model);
    EXPECT_EQ(model.positions, (std::vector<float>{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0}));
    EXPECT_EQ(model.normals, std::vector<float>(12, 0.0f));
    EXPECT_EQ(model.texCoords, (std::vector<float>{0, 0, 0.25f, 0.5f, 0, 0, 0, 0}));
}

TEST(BuildDrawArrays, TablesLongerThanTheVertexCountAreCutOff) {
    FbxModel model;
    fillQuad(model);
    model.vertexCount = 3;
    model.polygonCount = 5;  // more than the sizes table holds
    buildDrawArrays(model);
    EXPECT_EQ(model.positions, (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0}));
    model.vertexCount = -2;
    buildDrawArrays(model);
    EXPECT_TRUE(model.positions.empty());
}

TEST(SetModelFrame, WrapsAndRemembersThePreviousFrame) {
    FbxModel model;
    model.frameCount = 31;
    model.frames.assign(31, std::vector<float>(3, 0.0f));
    for (int i = 0; i < 31; ++i) {
        model.frames[static_cast<std::size_t>(i)][0] = float(i);
    }
    setModelFrame(model, 31);
    EXPECT_EQ(model.frame, 0);
    setModelFrame(model, 45);
    EXPECT_EQ(model.frame, 14);
    EXPECT_EQ(model.previousFrame, 0);
    EXPECT_EQ(currentPositions(model)[0], 14.0f);
    setModelFrame(model, -1);
    EXPECT_EQ(model.frame, 30);
}

TEST(SetModelFrame, ModelWithoutFramesStaysAtFrameZero) {
    FbxModel model;
    model.positions = {1, 2, 3};
    setModelFrame(model, 7);
    EXPECT_EQ(model.frame, 0);
    EXPECT_EQ(currentPositions(model), model.positions);
}

TEST(LoadFbxModel, ReportsTheImportFailureAndLeavesTheModelEmpty) {
    FbxModel model;
    testing::internal::CaptureStdout();
    loadFbxModel("Ressources/bird.fbx", model);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "loading model 'Ressources/bird.fbx'...\nModel 'Ressources/bird.fbx' could not be imported");
    EXPECT_EQ(model.vertexCount, 0);
    EXPECT_EQ(model.polygonCount, 0);
    EXPECT_TRUE(model.positions.empty());
    EXPECT_EQ(model.textureId, 0u);
    EXPECT_EQ(model.scale, 1.0f);
    EXPECT_EQ(model.takeIndex, 2);
}

class ModelImageTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const auto path = folder.path() / name;
        testfiles::writeBytes(path, bytes);
        return path.string();
    }
    std::string loadQuietly(FbxModel& model, const std::string& path, bool& loaded) {
        testing::internal::CaptureStdout();
        loaded = loadModelImage(model, path, nullptr);
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }
    testfiles::TempDir folder;
};

TEST_F(ModelImageTest, TopFirstImageIsTurnedBottomFirstAndKept) {
    TgaHeader header;
    header.width = 1;
    header.height = 2;
    header.descriptor = 0x20;
    const std::string path = write("top.tga", tgaFile(header, {1, 2, 3, 4, 5, 6}));
    FbxModel model;
    bool loaded = false;
    EXPECT_EQ(loadQuietly(model, path, loaded), "");
    ASSERT_TRUE(loaded);
    ASSERT_NE(model.image, nullptr);
    EXPECT_EQ(model.image->width, 1);
    EXPECT_EQ(model.image->height, 2);
    EXPECT_EQ(model.image->pixels, (std::vector<std::uint8_t>{4, 5, 6, 1, 2, 3}));
    EXPECT_EQ(model.images.size(), 1u);
}

TEST_F(ModelImageTest, GreyImageBecomesTwentyFourBits) {
    TgaHeader header;
    header.imageType = 3;
    header.pixelDepth = 8;
    header.width = 2;
    const std::string path = write("grey.tga", tgaFile(header, {7, 9}));
    FbxModel model;
    bool loaded = false;
    loadQuietly(model, path, loaded);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(model.image->pixels, (std::vector<std::uint8_t>{7, 7, 7, 9, 9, 9}));
}

TEST_F(ModelImageTest, MissingFileKeepsTheEarlierImage) {
    TgaHeader header;
    const std::string good = write("good.tga", tgaFile(header, {1, 2, 3}));
    FbxModel model;
    bool loaded = false;
    loadQuietly(model, good, loaded);
    ModelImage* first = model.image;
    const std::string missing = (folder.path() / "missing.tga").string();
    EXPECT_EQ(loadQuietly(model, missing, loaded), "Unable to load the Texture '" + missing + "'");
    EXPECT_FALSE(loaded);
    EXPECT_EQ(model.image, first);
    EXPECT_EQ(model.images.size(), 1u);
}

}  // namespace
