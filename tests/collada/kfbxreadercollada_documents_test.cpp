// A whole document of every kind of element, read through the importer as
// an SDK user does: the scene it gives is complete.
#include <fbxfilesdk/collada/KFbxColladaFormats.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include "ColladaSceneSupport.h"
#include "ColladaTestSupport.h"

#include <filesystem>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::colladatest;

namespace {

const std::string kOasis =
    (std::filesystem::path(__FILE__).parent_path() / "../../fuzz/collada_seeds/animated_scene.dae").string();

class ColladaDocuments : public ColladaReadTest {
protected:
    bool Import(const std::string& path) {
        KFbxRegisterColladaFormats();
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(mScene);
        importer->Destroy();
        return imported;
    }
    template <class T>
    T* AttributeOf(const char* name) {
        KFbxNode* node = Node(mScene, name);
        return node != nullptr ? dynamic_cast<T*>(node->GetNodeAttribute()) : nullptr;
    }
};

}  // namespace

TEST_F(ColladaDocuments, AnOasisWithAKeeper) {
    COLLADA_EXPECT_SCHEMA_VALID(kOasis);
    ASSERT_TRUE(Import(kOasis));
    int sign = 0;
    EXPECT_EQ(mScene->GetGlobalSettings()->GetAxisSystem().GetUpVector(sign), 3);
    EXPECT_EQ(mScene->GetGlobalSettings()->GetSystemUnit().GetScaleFactor(), 1.0);
    EXPECT_EQ(mScene->GetSceneInfo()->mComment, "An oasis with a keeper");

    // The ground: its mesh, the sand material bound and its texture shown.
    auto* ground = AttributeOf<KFbxMesh>("ground-node");
    ASSERT_NE(ground, nullptr);
    EXPECT_EQ(ground->GetPolygonSize(0), 4);
    KFbxSurfaceMaterial* sand = ground->GetLayer(0)->GetMaterials()->GetDirectArray().GetAt(0);
    EXPECT_STREQ(sand->GetName(), "sand");
    EXPECT_TRUE(Node(mScene, "ground-node")->IsConnectedSrc(sand));
    EXPECT_EQ(sand->GetScene(), mScene);
    const KFbxLayerElementTexture* textures = ground->GetLayer(0)->GetTextures();
    ASSERT_NE(textures, nullptr);
    EXPECT_STREQ(textures->GetDirectArray().GetAt(0)->GetFileName(), "textures/sand.tga");
    EXPECT_EQ(ground->GetLayer(0)->GetUVs()->GetDirectArray().GetAt(2)[0], 8.0);

    // Library nodes under both palms, the second placed by a matrix.
    ASSERT_EQ(Node(mScene, "palm-b")->GetChildCount(), 1);
    EXPECT_NE(dynamic_cast<KFbxMesh*>(Node(mScene, "palm-b")->GetChild(0)->GetMesh()), nullptr);
    EXPECT_LT(Difference(Node(mScene, "palm-b")->EvaluateDefaultGlobalTransform(),
                         Translate(30, 0, 0) * FromRows({0, -1, 0, 0, 1, 0, 0, 20, 0, 0, 1, 0, 0, 0, 0, 1})),
              1e-9);

    // The keeper: skinned to the scene's joints, in cloth.
    auto* keeper = AttributeOf<KFbxMesh>("keeper-body");
    ASSERT_NE(keeper, nullptr);
    auto* skin = dynamic_cast<KFbxSkin*>(keeper->GetDeformer(0, KFbxDeformer::eSKIN));
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->GetClusterCount(), 2);
    EXPECT_EQ(skin->GetCluster(0)->GetLink(), Node(mScene, "spine"));
    EXPECT_EQ(skin->GetCluster(1)->GetLink(), Node(mScene, "head"));
    EXPECT_EQ(Node(mScene, "head")->GetParent(), Node(mScene, "spine"));
    KFbxSurfaceMaterial* cloth = keeper->GetLayer(0)->GetMaterials()->GetDirectArray().GetAt(0);
    EXPECT_TRUE(cloth->Is(KFbxSurfacePhong::ClassId));
    ASSERT_EQ(mScene->GetPoseCount(), 1);
    EXPECT_EQ(mScene->GetPose(0)->GetNode(2), Node(mScene, "keeper-body"));

    // Cameras and lights with their values; the modelling program's view is left out.
    auto* watch = AttributeOf<KFbxCamera>("watch-node");
    ASSERT_NE(watch, nullptr);
    EXPECT_EQ(watch->GetDefaultFieldOfView(), 45.0);
    EXPECT_EQ(watch->GetFarPlane(), 5000.0);
    EXPECT_EQ(AttributeOf<KFbxCamera>("map-node")->GetProjectionType(), KFbxCamera::eORTHOGONAL);
    EXPECT_EQ(Node(mScene, "persp"), nullptr);
    EXPECT_EQ(AttributeOf<KFbxLight>("sun-node")->GetLightType(), KFbxLight::eDIRECTIONAL);
    EXPECT_EQ(AttributeOf<KFbxLight>("fire-node")->GetDefaultIntensity(), 80.0);
    EXPECT_EQ(AttributeOf<KFbxLight>("torch-node")->GetDefaultConeAngle(), 35.0);
    EXPECT_NEAR(mScene->GetGlobalLightSettings().GetAmbientColor().mBlue, 0.25, 1e-6);

    // The take spans every key, the nested intensity's last included.
    const KFbxTakeInfo* take = mScene->GetTakeInfo("Take 001");
    ASSERT_NE(take, nullptr);
    KTime four;
    four.SetSecondDouble(4.0);
    EXPECT_EQ(take->mLocalTimeSpan.GetStop().Get(), four.Get());
    KTime one;
    one.SetSecondDouble(1.0);
    KFbxVector4 walked = Node(mScene, "keeper-rig")->EvaluateGlobalTransform(one).GetT();
    EXPECT_NEAR(walked[0], 10.0, 1e-6);
}

// Past the depth the reader reads, and past what an XML parser may take
// (which refuses first depends on its version), a read fails with its error.
TEST_F(ColladaDocuments, NodesNestedBeyondReasonFail) {
    for (const auto& [levels, message] : {std::pair{300, "ERROR: nodes nested deeper than 256 levels at node n256"},
                                          std::pair{3000, "ERROR: "}, std::pair{70000, "ERROR: "}}) {
        std::string nodes;
        for (int depth = 0; depth < levels; ++depth) {
            nodes += "<node id=\"n" + std::to_string(depth) + "\">";
        }
        for (int depth = 0; depth < levels; ++depth) {
            nodes += "</node>";
        }
        ExpectReadFails(SceneDocument("", nodes), message);
    }
    // Library nodes that instance each other end where the loop closes.
    ASSERT_TRUE(Read(SceneDocument("<library_nodes><node id=\"a\"><instance_node url=\"#b\"/></node><node id=\"b\">"
                                   "<instance_node url=\"#a\"/></node></library_nodes>",
                                   "<node id=\"top\"><instance_node url=\"#a\"/></node>")));
    EXPECT_TRUE(MessageHas("Warning: node a instances itself"));
}
