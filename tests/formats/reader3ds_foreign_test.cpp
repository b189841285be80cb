// 3DS files as other programs write them: long names, float colours and
// percentages, moved meshes without keyframer data, and refusals that name
// the chunk at fault.
#include "formats/Reader3dsTestSupport.h"

#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fbxsdk_2006_11_1::reader3dstest {
namespace {

fbxDouble3 ColorOf(const KFbxProperty& property) { return KFbxTypedProperty<fbxDouble3>(property).Get(); }
double NumberOf(const KFbxProperty& property) { return KFbxTypedProperty<double>(property).Get(); }

class Reader3dsForeignTest : public Reader3dsTest {
protected:
    // Imports in file units.
    bool ImportPlain(const std::string& path) {
        KFbxStreamOptions3dsReader* options = Options();
        options->SetOption("RESCALING", false);
        return Import(path, options);
    }

    // The mesh's control points where the scene puts them.
    static std::vector<KFbxVector4> WorldPoints(KFbxNode* node) {
        std::vector<KFbxVector4> points;
        KFbxMesh* mesh = MeshOf(node);
        if (mesh == nullptr) {
            return points;
        }
        const KgeMatrix global = node->EvaluateDefaultGlobalTransform();
        for (int index = 0; index < mesh->GetControlPointsCount(); ++index) {
            points.push_back(global.MultT(mesh->GetControlPoints()[index]));
        }
        return points;
    }

    // The file's world triangle (0,0,0), (2,0,0), (0,4,3) in the scene's axes.
    static void ExpectFileTriangle(const std::vector<KFbxVector4>& points) {
        ASSERT_EQ(points.size(), 3u);
        EXPECT_TRUE(Near(points[0], 0, 0, 0, 1e-4));
        EXPECT_TRUE(Near(points[1], 2, 0, 0, 1e-4));
        EXPECT_TRUE(Near(points[2], 0, 3, -4, 1e-4));
    }
};

TEST_F(Reader3dsForeignTest, LongNamesFloatColoursAndFloatPercentagesReadWhole) {
    const OtherProgramScene scene;
    const std::string path = Path("other.3ds");
    ASSERT_TRUE(WriteOtherProgramScene(path, scene));
    ASSERT_TRUE(ImportPlain(path)) << mLastError;

    KFbxNode* node = Node(scene.mObject.c_str());
    ASSERT_NE(node, nullptr) << "the object's name is kept whole";
    ExpectFileTriangle(WorldPoints(node));

    auto* phong = dynamic_cast<KFbxSurfacePhong*>(mScene->FindMaterialByName(scene.mMaterial.c_str()));
    ASSERT_NE(phong, nullptr) << "the material's name is kept whole";
    EXPECT_NEAR(ColorOf(phong->GetDiffuseColor())[1], 0.4, 1e-6);
    EXPECT_NEAR(ColorOf(phong->GetAmbientColor())[0], 0.1, 1e-6);
    EXPECT_NEAR(ColorOf(phong->GetSpecularColor())[2], 0.75, 1e-6);
    EXPECT_NEAR(NumberOf(phong->GetTransparencyFactor()), 0.3, 1e-6);
    // 2^(10 x min(2 x 0.45, 1)).
    EXPECT_NEAR(NumberOf(phong->GetShininess()), std::pow(2.0, 9.0), 1e-2);
    ASSERT_EQ(MeshOf(node)->GetMaterialCount(), 1);
    EXPECT_EQ(MeshOf(node)->GetMaterial(0), phong);

    const KFbxTexture* texture = mScene->FindTextureByName(scene.mTexture.c_str());
    ASSERT_NE(texture, nullptr);
    EXPECT_STREQ(texture->GetFileName(), scene.mTexture.c_str());
}

TEST_F(Reader3dsForeignTest, NameLongerThanItsFieldIsCutNotRefused) {
    OtherProgramScene scene;
    scene.mObject = std::string(kNameField3ds + 40, 'n');
    scene.mMaterial = std::string(kNameField3ds + 10, 'm');
    const std::string path = Path("huge-names.3ds");
    ASSERT_TRUE(WriteOtherProgramScene(path, scene));
    ASSERT_TRUE(ImportPlain(path)) << mLastError;
    const std::string kept(kNameField3ds - 1, 'n');
    KFbxNode* node = Node(kept.c_str());
    ASSERT_NE(node, nullptr);
    ExpectFileTriangle(WorldPoints(node));
    EXPECT_NE(mScene->FindMaterialByName(std::string(kNameField3ds - 1, 'm').c_str()), nullptr);
}

TEST_F(Reader3dsForeignTest, MovedMeshWithoutKeyframerDataKeepsItsWorldPositions) {
    OtherProgramScene scene;
    scene.mKeyframer = false;
    const std::string path = Path("moved.3ds");
    ASSERT_TRUE(WriteOtherProgramScene(path, scene));
    ASSERT_TRUE(ImportPlain(path)) << mLastError;
    KFbxNode* node = Node(scene.mObject.c_str());
    ASSERT_NE(node, nullptr);
    ExpectFileTriangle(WorldPoints(node));
    KFbxVector4 translation;
    node->GetLclTranslation(translation);
    EXPECT_TRUE(Near(translation, 10, 0, -3));
    // The take's constant curves say the same as the node's own values.
    KFbxVector4 rotation;
    KFbxVector4 scaling;
    node->GetLclRotation(rotation);
    node->GetLclScaling(scaling);
    const char* const axes[] = {"X", "Y", "Z"};
    for (int axis = 0; axis < 3; ++axis) {
        for (const auto& [channel, value] : {std::pair{"T", translation}, {"R", rotation}, {"S", scaling}}) {
            const KFCurve* curve = TakeCurve(node, "Transform", channel, axes[axis]);
            ASSERT_NE(curve, nullptr) << channel << axes[axis];
            EXPECT_EQ(curve->KeyGetCount(), 0) << channel << axes[axis];
            EXPECT_NEAR(curve->GetValue(), value[axis], 1e-5) << channel << axes[axis];
        }
    }
}

TEST_F(Reader3dsForeignTest, RotatedScaledOrMirroredMeshWithoutKeyframerDataKeepsItsWorldPositions) {
    // Origin (10, 5, 1). Axes: X turned onto Y doubled, Y onto -X, Z
    // tripled; the same with Y onto X, a mirror; X, Y and Z all reversed.
    const std::array<float, 12> frames[] = {{0, 2, 0, -1, 0, 0, 0, 0, 3, 10, 5, 1},
                                            {0, 2, 0, 1, 0, 0, 0, 0, 3, 10, 5, 1},
                                            {-1, 0, 0, 0, -1, 0, 0, 0, -1, 10, 5, 1}};
    for (const std::array<float, 12>& frame : frames) {
        SCOPED_TRACE(::testing::PrintToString(frame));
        mScene->Clear();
        Mesh mesh;
        mesh.mName = "Turned";
        mesh.mVertices = {{12.0f, 5.0f, 1.0f}, {10.0f, 9.0f, 1.0f}, {10.0f, 5.0f, 7.0f}};
        mesh.mFaces = {{0, 1, 2}};
        mesh.mLocal = frame;
        File file;
        file.Add(mesh);
        KFbxStreamOptions3dsReader* options = Options();
        options->SetOption("RESCALING", false);
        ASSERT_TRUE(WriteAndImport(file, options)) << mLastError;
        KFbxNode* node = Node("Turned");
        const std::vector<KFbxVector4> points = WorldPoints(node);
        ASSERT_EQ(points.size(), 3u);
        for (std::size_t index = 0; index < points.size(); ++index) {
            const point3ds& v = mesh.mVertices[index];
            EXPECT_TRUE(Near(points[index], v.x, v.z, -v.y, 1e-4)) << index;
        }
        // The face turns the way the file's does where the node puts it.
        const KgeMatrix global = node->EvaluateDefaultGlobalTransform();
        const KFbxMesh* read = MeshOf(node);
        const auto placed = [&](int corner) {
            return global.MultT(read->GetControlPoints()[read->GetPolygonVertex(0, corner)]);
        };
        const KFbxVector4 normal = (placed(1) - placed(0)).CrossProduct(placed(2) - placed(0));
        // (-2, 4, 0) x (-2, 0, 6) in the file is (24, 12, 8): (24, 8, -12) in the scene.
        EXPECT_GT(normal.DotProduct(KFbxVector4(24, 8, -12, 0)), 0.0);
    }
}

TEST_F(Reader3dsForeignTest, RescalingScalesTheMovedMeshsOrigin) {
    OtherProgramScene scene;
    scene.mKeyframer = false;
    const std::string path = Path("scaled.3ds");
    ASSERT_TRUE(WriteOtherProgramScene(path, scene));
    ASSERT_TRUE(Import(path, Options())) << mLastError;
    const std::vector<KFbxVector4> points = WorldPoints(Node(scene.mObject.c_str()));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_TRUE(Near(points[2], 0, 3 * kInch, -4 * kInch, 1e-4));
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

TEST_F(Reader3dsForeignTest, RefusalNamesTheChunkAndItsOffset) {
    OtherProgramScene scene;
    const std::string good = Path("good.3ds");
    ASSERT_TRUE(WriteOtherProgramScene(good, scene));
    std::string bytes = ReadAll(good);
    // The diffuse holder's COLOR_F becomes a chunk no colour is read from.
    const std::string diffuse("\x20\xA0", 2);
    const std::size_t holder = bytes.find(diffuse);
    ASSERT_NE(holder, std::string::npos);
    ASSERT_EQ(bytes.substr(holder + 6, 2), std::string("\x10\x00", 2));
    bytes[holder + 6] = '\x55';
    const std::string bad = Path("bad.3ds");
    WriteAll(bad, bytes);
    ASSERT_FALSE(ImportPlain(bad));
    EXPECT_NE(mLastError.find("ERR_UNFOUND_CHUNK"), std::string::npos) << mLastError;
    EXPECT_NE(mLastError.find("MAT_DIFFUSE 0xA020 at offset " + std::to_string(holder)), std::string::npos)
        << mLastError;
}

TEST_F(Reader3dsForeignTest, ChunkRunningPastItsParentIsNamedWithItsOffset) {
    OtherProgramScene scene;
    const std::string good = Path("good.3ds");
    ASSERT_TRUE(WriteOtherProgramScene(good, scene));
    std::string bytes = ReadAll(good);
    const std::string array("\x10\x41", 2);
    const std::size_t at = bytes.find(array);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 4] = '\x7F';  // a POINT_ARRAY of megabytes inside a small object
    const std::string bad = Path("long-chunk.3ds");
    WriteAll(bad, bytes);
    ASSERT_FALSE(ImportPlain(bad));
    EXPECT_NE(mLastError.find("POINT_ARRAY 0x4110 at offset " + std::to_string(at)), std::string::npos)
        << mLastError;
}

// An independent program's own 3DS output, where it is installed.
TEST_F(Reader3dsForeignTest, IndependentExportersFileReadsWithItsNamesWhole) {
    if (std::system("command -v assimp > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "assimp is not installed";
    }
    const std::string obj = Path("dune.obj");
    const std::string mtl = Path("dune.mtl");
    WriteAll(mtl, "newmtl Wind_Carved_Sandstone_Material\nKd 0.8 0.6 0.2\nKa 0 0 0\nKs 0.1 0.1 0.1\nd 1\n");
    WriteAll(obj,
             "mtllib dune.mtl\no Wind_Carved_Dune_Object\nv 0 0 0\nv 2 0 0\nv 0 4 3\n"
             "usemtl Wind_Carved_Sandstone_Material\nf 1 2 3\n");
    const std::string out = Path("dune.3ds");
    const std::string command = "assimp export '" + obj + "' '" + out + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(ImportPlain(out)) << mLastError;
    bool found = false;
    for (int index = 0; index < mScene->GetMaterialCount(); ++index) {
        const std::string name = mScene->GetMaterial(index)->GetName();
        if (name.find("Wind_Carved_Sandstone_Material") == 0) {
            found = true;
            const auto* phong = dynamic_cast<const KFbxSurfacePhong*>(mScene->GetMaterial(index));
            ASSERT_NE(phong, nullptr);
            EXPECT_NEAR(ColorOf(phong->GetDiffuseColor())[0], 0.8, 1e-6);
        }
    }
    EXPECT_TRUE(found);
    // The mesh node carries the object's name whole (the exporter may add to it).
    KFbxNode* meshNode = nullptr;
    for (int index = 0; index < mScene->GetNodeCount(); ++index) {
        KFbxNode* node = mScene->GetNode(index);
        if (MeshOf(node) != nullptr) {
            meshNode = node;
        }
    }
    ASSERT_NE(meshNode, nullptr);
    EXPECT_NE(std::string(meshNode->GetName()).find("Wind_Carved_Dune_Object"), std::string::npos);
    std::vector<KFbxVector4> points = WorldPoints(meshNode);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_TRUE(Near(points[2], 0, 3, -4, 1e-4));
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::reader3dstest
