// The game's generated models taken through COLLADA: FBX 6, imported and
// written as COLLADA in its animated take, read again and written as FBX 6,
// load in the game with the same mesh, material and baked frames.
#include <game/FbxModel.h>
#include <tools/ModelDesigns.h>
#include <tools/ModelFiles.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "TestFiles.h"
#include "collada/ColladaTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace sdk = fbxsdk_2006_11_1;
namespace fs = std::filesystem;

// Imports the file and writes it in the format; the scene's second take (the
// one the game bakes) is made current first, since COLLADA holds one take.
bool Convert(const fs::path& from, const fs::path& to, int writerFormat) {
    const std::unique_ptr<sdk::KFbxSdkManager> manager(sdk::CreateSdkManager());
    if (!manager) {
        return false;
    }
    sdk::KFbxScene* scene = sdk::KFbxScene::Create(manager.get(), "");
    sdk::KFbxImporter* importer = sdk::KFbxImporter::Create(manager.get(), "");
    const bool imported = importer->Initialize(from.string().c_str()) && importer->Import(scene);
    importer->Destroy();
    if (!imported) {
        return false;
    }
    std::vector<sdk::KString*> takes;
    scene->FillTakeNameArray(takes);
    if (takes.size() >= 2) {
        scene->SetCurrentTake(takes[1]->Buffer());
    }
    for (sdk::KString* take : takes) {
        delete take;
    }
    sdk::KFbxExporter* exporter = sdk::KFbxExporter::Create(manager.get(), "");
    const bool exported = exporter->Initialize(to.string().c_str()) &&
                          (exporter->SetFileFormat(writerFormat), true) && exporter->Export(scene);
    exporter->Destroy();
    return exported;
}

// The file loaded as the game loads it (no texture image), baked when animated.
void Load(const fs::path& file, bool animated, FbxModel& model) {
    model.hasTexture = false;
    testing::internal::CaptureStdout();
    loadFbxModel(file.string(), model);
    static_cast<void>(testing::internal::GetCapturedStdout());
    buildDrawArrays(model);
    model.animated = animated;
    bakeModelFrames(model);
}

// The largest extent of the positions along an axis.
double SizeOf(const std::vector<float>& positions) {
    double size = 0.0;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        double low = 1e30;
        double high = -1e30;
        for (std::size_t k = axis; k < positions.size(); k += 3) {
            low = std::min(low, double(positions[k]));
            high = std::max(high, double(positions[k]));
        }
        size = std::max(size, high - low);
    }
    return size;
}

// The largest difference between two position arrays of one length.
double LargestDifference(const std::vector<float>& a, const std::vector<float>& b) {
    double largest = 0.0;
    for (std::size_t k = 0; k < a.size() && k < b.size(); ++k) {
        largest = std::max(largest, double(std::abs(a[k] - b[k])));
    }
    return largest;
}

TEST(GeneratedModelsThroughCollada, KeepMeshMaterialsAndBakedFrames) {
    testfiles::TempDir folder;
    for (const ModelFile& file : modelFiles()) {
        const std::string name = fs::path(file.path).stem().string();
        SCOPED_TRACE(name);
        const fs::path original = folder.path() / (name + ".fbx");
        const fs::path collada = folder.path() / (name + ".dae");
        const fs::path again = folder.path() / (name + "-again.fbx");
        ASSERT_TRUE(writeModelFile(file, original));
        ASSERT_TRUE(Convert(original, collada, sdk::KFbxFileFormatRegistry::eCOLLADA_WRITER));
        ASSERT_TRUE(Convert(collada, again, sdk::KFbxFileFormatRegistry::eFBX_BINARY_WRITER));
        if (sdk::colladatest::SchemaToolsInstalled()) {
            EXPECT_EQ(sdk::colladatest::SchemaReport(collada.string()), "");
        }

        const bool animated = !designModel(file.kind).bones.empty();
        FbxModel before;
        FbxModel after;
        Load(original, animated, before);
        Load(again, animated, after);

        ASSERT_EQ(after.controlPointCount, before.controlPointCount);
        ASSERT_EQ(after.polygonCount, before.polygonCount);
        ASSERT_EQ(after.positions.size(), before.positions.size());
        EXPECT_EQ(after.polygonSizes, before.polygonSizes);
        EXPECT_EQ(after.vertexIndices, before.vertexIndices);
        const double tolerance = 1e-4 * SizeOf(before.positions);
        EXPECT_LE(LargestDifference(after.positions, before.positions), tolerance);
        EXPECT_LE(LargestDifference(after.texCoords, before.texCoords), 1e-5);

        // The diffuse colour is not compared: a COLLADA channel holds either
        // a colour or a texture, and these models' diffuse channel holds
        // their texture.
        EXPECT_EQ(after.hasDiffuse, before.hasDiffuse);
        EXPECT_EQ(after.hasSpecular, before.hasSpecular);
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_NEAR(after.ambient[k], before.ambient[k], 1e-5);
            EXPECT_NEAR(after.specular[k], before.specular[k], 1e-5);
        }
        EXPECT_NEAR(after.shininess, before.shininess, 1e-4);
        EXPECT_EQ(fs::path(after.textureFileName).filename(), fs::path(before.textureFileName).filename());

        ASSERT_EQ(after.frameCount, before.frameCount);
        EXPECT_EQ(before.frameCount, animated ? 31 : 0);
        for (std::size_t frame = 0; frame < before.frames.size(); ++frame) {
            EXPECT_LE(LargestDifference(after.frames[frame], before.frames[frame]), tolerance) << "frame " << frame;
        }
    }
}

}  // namespace
