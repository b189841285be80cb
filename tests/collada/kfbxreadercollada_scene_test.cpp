// Visual scenes into node trees: attributes of instances, bound materials,
// library nodes, skins linked to their joints, morphs, and the copies that
// the scene element makes.
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

#include "ColladaSceneSupport.h"
#include "ColladaTestSupport.h"

#include <map>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::colladatest;

namespace {

// A triangle with one primitive element per material symbol given (one
// without a material when none is).
std::string Triangle(const std::string& id, std::initializer_list<const char*> symbols) {
    std::string primitives;
    const auto primitive = [&](const std::string& material) {
        primitives += "<triangles count=\"1\"" + material + "><input semantic=\"VERTEX\" source=\"#" + id +
                      "-v\" offset=\"0\"/><p>0 1 2</p></triangles>";
    };
    for (const char* symbol : symbols) {
        primitive(std::string(" material=\"") + symbol + "\"");
    }
    if (symbols.size() == 0) {
        primitive("");
    }
    return "<geometry id=\"" + id + "\"><mesh>" + FloatSource(id + "-p", "0 0 0 1 0 0 0 1 0", 3, {"X", "Y", "Z"}) +
           "<vertices id=\"" + id + "-v\"><input semantic=\"POSITION\" source=\"#" + id + "-p\"/></vertices>" +
           primitives + "</mesh></geometry>";
}

const std::string kRedMaterial =
    "<library_images><image id=\"img\"><init_from>./red.tga</init_from></image></library_images>"
    "<library_effects><effect id=\"red-fx\"><profile_COMMON><technique sid=\"t\"><lambert><diffuse>"
    "<texture texture=\"img\" texcoord=\"uv\"/></diffuse></lambert></technique></profile_COMMON></effect>"
    "</library_effects><library_materials><material id=\"red\"><instance_effect url=\"#red-fx\"/></material>"
    "</library_materials>";

std::string Bind(const std::string& symbol, const std::string& target) {
    return "<bind_material><technique_common><instance_material symbol=\"" + symbol + "\" target=\"#" + target +
           "\"/></technique_common></bind_material>";
}

// Joint j1 bound at the identity and j2 one unit along X; the joints are
// named by the given words (ids or sids of the joint nodes).
std::string Skin(const std::string& source, const std::string& joints) {
    return "<controller id=\"skin\"><skin source=\"#" + source +
           "\"><source id=\"skin-j\"><Name_array id=\"skin-j-a\" count=\"2\">" + joints +
           "</Name_array><technique_common><accessor source=\"#skin-j-a\" count=\"2\"><param name=\"JOINT\" "
           "type=\"name\"/></accessor></technique_common></source><source id=\"skin-b\"><float_array id=\"skin-b-a\" "
           "count=\"32\">1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 1 0 0 -1 0 1 0 0 0 0 1 0 0 0 0 1</float_array>"
           "<technique_common><accessor source=\"#skin-b-a\" count=\"2\" stride=\"16\"><param name=\"TRANSFORM\" "
           "type=\"float4x4\"/></accessor></technique_common></source>" +
           FloatSource("skin-w", "0.5", 1, {"WEIGHT"}) +
           "<joints><input semantic=\"JOINT\" source=\"#skin-j\"/><input semantic=\"INV_BIND_MATRIX\" "
           "source=\"#skin-b\"/></joints><vertex_weights count=\"3\"><input semantic=\"JOINT\" source=\"#skin-j\" "
           "offset=\"0\"/><input semantic=\"WEIGHT\" source=\"#skin-w\" offset=\"1\"/><vcount>2 1 1</vcount>"
           "<v>0 0 1 0 1 0 0 0</v></vertex_weights></skin></controller>";
}

const std::string kRig =
    "<node id=\"rig\"><translate>0 0 1</translate><node id=\"j1\" sid=\"hip\" type=\"JOINT\"><translate>0 1 0"
    "</translate><node id=\"j2\" sid=\"knee\" type=\"JOINT\"><translate>1 0 0</translate></node></node></node>"
    "<node id=\"skinned\"><instance_controller url=\"#skin\"><skeleton>#j1</skeleton></instance_controller></node>";

std::string SkinDocument(const std::string& joints) {
    return SceneDocument("<library_geometries>" + Triangle("body", {}) +
                             "</library_geometries><library_controllers>" + Skin("body", joints) +
                             "</library_controllers>",
                         kRig);
}

// The first skin's clusters of the mesh on the node.
std::vector<KFbxCluster*> ClustersOf(KFbxNode* node) {
    std::vector<KFbxCluster*> clusters;
    auto* mesh = node != nullptr ? dynamic_cast<KFbxMesh*>(node->GetMesh()) : nullptr;
    auto* skin = mesh != nullptr ? dynamic_cast<KFbxSkin*>(mesh->GetDeformer(0, KFbxDeformer::eSKIN)) : nullptr;
    for (int index = 0; skin != nullptr && index < skin->GetClusterCount(); ++index) {
        clusters.push_back(skin->GetCluster(index));
    }
    return clusters;
}

class ColladaScene : public ColladaReadTest {
protected:
    KFbxMesh* MeshOf(const char* name) {
        KFbxNode* node = Node(mScene, name);
        return node != nullptr ? dynamic_cast<KFbxMesh*>(node->GetMesh()) : nullptr;
    }
    int AttributeTypeOf(const char* name) {
        KFbxNode* node = Node(mScene, name);
        return node != nullptr && node->GetNodeAttribute() != nullptr ? node->GetNodeAttribute()->GetAttributeType()
                                                                       : -1;
    }
};

}  // namespace

TEST_F(ColladaScene, NodesCarryTheAttributesOfTheirInstances) {
    const std::string libraries =
        "<library_cameras><camera id=\"cam\"><optics><technique_common><perspective><yfov>40</yfov><znear>1</znear>"
        "<zfar>10</zfar></perspective></technique_common></optics></camera></library_cameras>"
        "<library_geometries>" +
        Triangle("tri", {}) + "</library_geometries>";
    ReadValid(SceneDocument(libraries,
                            "<node id=\"group\"><node id=\"shape\"><instance_geometry url=\"#tri\"/></node>"
                            "<node id=\"bone\" type=\"JOINT\"/></node>"
                            "<node id=\"persp\"><translate>1 1 1</translate><instance_camera url=\"#cam\"/></node>"
                            "<node id=\"top\"><instance_camera url=\"#cam\"/><node id=\"under-top\"/></node>"
                            "<node id=\"front\"/><node id=\"Persp\"><instance_camera url=\"#cam\"/></node>"));
    EXPECT_EQ(AttributeTypeOf("group"), KFbxNodeAttribute::eNULL);
    EXPECT_EQ(AttributeTypeOf("shape"), KFbxNodeAttribute::eMESH);
    EXPECT_EQ(Node(mScene, "shape")->GetParent(), Node(mScene, "group"));
    ASSERT_EQ(AttributeTypeOf("bone"), KFbxNodeAttribute::eSKELETON);
    EXPECT_EQ(static_cast<KFbxSkeleton*>(Node(mScene, "bone")->GetNodeAttribute())->GetSkeletonType(),
              KFbxSkeleton::eLIMB_NODE);
    // Only a view camera of a modelling program is left out.
    EXPECT_EQ(Node(mScene, "persp"), nullptr);
    EXPECT_TRUE(MessageHas("Warning: Camera persp will not be imported."));
    EXPECT_EQ(AttributeTypeOf("top"), KFbxNodeAttribute::eCAMERA);
    EXPECT_NE(Node(mScene, "under-top"), nullptr);
    EXPECT_EQ(AttributeTypeOf("front"), KFbxNodeAttribute::eNULL);
    EXPECT_EQ(AttributeTypeOf("Persp"), KFbxNodeAttribute::eCAMERA);
    // The copy of the library mesh is the node's own.
    EXPECT_EQ(MeshOf("shape")->GetControlPointsCount(), 3);
    EXPECT_EQ(MeshOf("shape")->GetPolygonCount(), 1);
    // Node types are upper case.
    ASSERT_TRUE(Read(SceneDocument("", "<node id=\"lower\" type=\"joint\"/>")));
    EXPECT_EQ(AttributeTypeOf("lower"), KFbxNodeAttribute::eNULL);
}

TEST_F(ColladaScene, LibraryNodesAreInstancedWhereverNamed) {
    const std::string libraries =
        "<library_geometries>" + Triangle("leaf-geo", {}) +
        "</library_geometries><library_nodes><node id=\"tree\"><scale>2 2 2</scale><node id=\"leaf\">"
        "<instance_geometry url=\"#leaf-geo\"/></node></node><node id=\"loop\"><instance_node url=\"#loop\"/></node>"
        "</library_nodes>";
    ReadValid(SceneDocument(libraries, "<node id=\"a\"><translate>5 0 0</translate><instance_node url=\"#tree\"/></node>"
                                       "<node id=\"b\"><instance_node url=\"#tree\"/><instance_node url=\"#loop\"/>"
                                       "<instance_node url=\"#nothing\"/></node>"));
    KFbxNode* a = Node(mScene, "a");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->GetChildCount(), 1);
    KFbxNode* tree = a->GetChild(0);
    ASSERT_EQ(tree->GetChildCount(), 1);
    EXPECT_NE(dynamic_cast<KFbxMesh*>(tree->GetChild(0)->GetMesh()), nullptr);
    EXPECT_LT(Difference(tree->GetChild(0)->EvaluateDefaultGlobalTransform(), Translate(5, 0, 0) * Scale(2, 2, 2)),
              1e-9);
    EXPECT_EQ(Node(mScene, "b")->GetChildCount(), 2);
    EXPECT_TRUE(MessageHas("Warning: node loop instances itself"));
    EXPECT_TRUE(MessageHas("Warning: Library not found: #nothing"));
}

TEST_F(ColladaScene, BoundMaterialsReplaceEveryStandInOfTheirSymbol) {
    const std::string libraries = kRedMaterial + "<library_geometries>" + Triangle("two", {"paint", "bare", "paint"}) +
                                  "</library_geometries><library_lights><light id=\"l\"><technique_common><point>"
                                  "<color>1 1 1</color></point></technique_common></light></library_lights>";
    ReadValid(SceneDocument(libraries, "<node id=\"n\"><instance_geometry url=\"#two\">" + Bind("paint", "red") +
                                           "</instance_geometry></node><node id=\"lamp\"><instance_light url=\"#l\"/>"
                                           "</node>"));
    KFbxMesh* mesh = MeshOf("n");
    ASSERT_NE(mesh, nullptr);
    const KFbxLayerElementMaterial* materials = mesh->GetLayer(0)->GetMaterials();
    ASSERT_EQ(materials->GetDirectArray().GetCount(), 3);
    KFbxSurfaceMaterial* red = materials->GetDirectArray().GetAt(0);
    EXPECT_STREQ(red->GetName(), "red");
    EXPECT_TRUE(red->Is(KFbxSurfaceLambert::ClassId));
    EXPECT_EQ(materials->GetDirectArray().GetAt(2), red);
    EXPECT_STREQ(materials->GetDirectArray().GetAt(1)->GetName(), "bare");
    // The material's texture shows on the polygons of its symbol.
    const KFbxLayerElementTexture* textures = mesh->GetLayer(0)->GetTextures();
    ASSERT_NE(textures, nullptr);
    ASSERT_EQ(textures->GetIndexArray().GetCount(), 3);
    EXPECT_EQ(textures->GetIndexArray().GetAt(0), 0);
    EXPECT_EQ(textures->GetIndexArray().GetAt(1), -1);
    EXPECT_EQ(textures->GetIndexArray().GetAt(2), 0);
    EXPECT_STREQ(textures->GetDirectArray().GetAt(0)->GetFileName(), "red.tga");
    // The bound material belongs to the node and the scene.
    EXPECT_TRUE(Node(mScene, "n")->IsConnectedSrc(red));
    EXPECT_EQ(red->GetScene(), mScene);

    // A symbol the mesh lacks warns; a node without a mesh warns; a missing material fails.
    ASSERT_TRUE(Read(SceneDocument(libraries, "<node id=\"n\"><instance_geometry url=\"#two\">" + Bind("gone", "red") +
                                                  "</instance_geometry></node><node id=\"lamp\"><instance_light "
                                                  "url=\"#l\">" +
                                                  Bind("paint", "red") + "</instance_light></node>")));
    EXPECT_TRUE(MessageHas("Warning: material of symbol gone not found for node n"));
    EXPECT_TRUE(MessageHas("Warning: node lamp binds materials but has no mesh"));
    ExpectReadFails(SceneDocument(libraries, "<node id=\"n\"><instance_geometry url=\"#two\">" + Bind("paint", "blue") +
                                                 "</instance_geometry></node>"),
                    "ERROR: Library not found: blue");
}

TEST_F(ColladaScene, SkinsLinkTheJointsOfTheScene) {
    ReadValid(SkinDocument("j1 j2"));
    KFbxNode* j1 = Node(mScene, "j1");
    KFbxNode* j2 = Node(mScene, "j2");
    ASSERT_TRUE(j1 != nullptr && j2 != nullptr);
    const std::vector<KFbxCluster*> clusters = ClustersOf(Node(mScene, "skinned"));
    ASSERT_EQ(clusters.size(), 2u);
    EXPECT_EQ(clusters[0]->GetLink(), j1);
    EXPECT_EQ(clusters[1]->GetLink(), j2);
    KgeMatrix bind;
    EXPECT_EQ(clusters[1]->GetTransformLinkMatrix(bind)[3][0], 1.0);
    // The bind pose names the scene's joints and mesh node.
    ASSERT_EQ(mScene->GetPoseCount(), 1);
    const KFbxPose* pose = mScene->GetPose(0);
    EXPECT_STREQ(pose->GetName(), "skin");
    EXPECT_TRUE(pose->IsBindPose());
    ASSERT_EQ(pose->GetCount(), 3);
    EXPECT_EQ(pose->GetNode(0), j1);
    EXPECT_EQ(pose->GetNode(1), j2);
    EXPECT_EQ(pose->GetNode(2), Node(mScene, "skinned"));
    for (int entry = 0; entry < pose->GetCount(); ++entry) {
        EXPECT_EQ(pose->GetNode(entry)->GetScene(), mScene);
    }
}

TEST_F(ColladaScene, SkinsMayNameTheirJointsBySid) {
    ReadValid(SkinDocument("hip knee"));
    const std::vector<KFbxCluster*> clusters = ClustersOf(Node(mScene, "skinned"));
    ASSERT_EQ(clusters.size(), 2u);
    EXPECT_EQ(clusters[0]->GetLink(), Node(mScene, "j1"));
    EXPECT_EQ(clusters[1]->GetLink(), Node(mScene, "j2"));
}

TEST_F(ColladaScene, EachCopyOfAVisualSceneLinksItsOwnJoints) {
    std::string document = SkinDocument("j1 j2");
    document = Replaced(document, "<scene>", "<scene><instance_visual_scene url=\"#vs\"/>");
    ASSERT_TRUE(Read(document)) << mMessage.Buffer();
    KFbxNode* root = mScene->GetRootNode();
    ASSERT_EQ(root->GetChildCount(), 4);
    for (int copy = 0; copy < 2; ++copy) {
        KFbxNode* rig = root->GetChild(2 * copy);
        KFbxNode* skinned = root->GetChild(2 * copy + 1);
        const std::vector<KFbxCluster*> clusters = ClustersOf(skinned);
        ASSERT_EQ(clusters.size(), 2u);
        EXPECT_EQ(clusters[0]->GetLink(), rig->GetChild(0)) << copy;
        EXPECT_EQ(clusters[1]->GetLink(), rig->GetChild(0)->GetChild(0)) << copy;
    }
    EXPECT_EQ(mScene->GetPoseCount(), 2);
    EXPECT_EQ(mScene->GetPose(1)->GetNode(0), root->GetChild(2)->GetChild(0));
}

TEST_F(ColladaScene, SkinnedVerticesMustExist) {
    ExpectReadFails(Replaced(SkinDocument("j1 j2"), "<vcount>2 1 1</vcount><v>0 0 1 0 1 0 0 0</v>",
                             "<vcount>0 0 0 1</vcount><v>0 0</v>"),
                    "ERROR: controller skin weights vertex 3, which its mesh does not have");
}

TEST_F(ColladaScene, MorphsGiveTheirMeshShapesAndASkinMayDeformAMorph) {
    const std::string geometries = "<library_geometries>" + Triangle("base", {}) +
                                   Replaced(Triangle("bent", {}), "0 0 0 1 0 0 0 1 0", "0 0 1 1 0 1 0 1 1") +
                                   "</library_geometries>";
    const std::string morph =
        "<controller id=\"morph\"><morph source=\"#base\" method=\"RELATIVE\"><source id=\"m-t\"><IDREF_array "
        "id=\"m-t-a\" count=\"1\">bent</IDREF_array><technique_common><accessor source=\"#m-t-a\" count=\"1\"><param "
        "name=\"MORPH_TARGET\" type=\"IDREF\"/></accessor></technique_common></source>" +
        FloatSource("m-w", "0.25", 1, {"MORPH_WEIGHT"}) +
        "<targets><input semantic=\"MORPH_TARGET\" source=\"#m-t\"/><input semantic=\"MORPH_WEIGHT\" "
        "source=\"#m-w\"/></targets></morph></controller>";
    ReadValid(SceneDocument(geometries + "<library_controllers>" + morph + Skin("morph", "j1 j2") +
                                "</library_controllers>",
                            kRig + "<node id=\"face\"><instance_controller url=\"#morph\"/></node>"));
    KFbxMesh* face = MeshOf("face");
    ASSERT_NE(face, nullptr);
    ASSERT_EQ(face->GetShapeCount(), 1);
    EXPECT_STREQ(face->GetShapeName(0), "bent");
    EXPECT_EQ(face->FindProperty("bent").GetDouble(), 25.0);
    EXPECT_EQ(face->GetShape(0)->GetControlPoints()[1][2], 1.0);
    // The skin over the morph: shapes and clusters on one mesh.
    KFbxMesh* skinned = MeshOf("skinned");
    ASSERT_NE(skinned, nullptr);
    EXPECT_EQ(skinned->GetShapeCount(), 1);
    const std::vector<KFbxCluster*> clusters = ClustersOf(Node(mScene, "skinned"));
    ASSERT_EQ(clusters.size(), 2u);
    EXPECT_EQ(clusters[0]->GetLink(), Node(mScene, "j1"));
}

TEST_F(ColladaScene, ScenesThatAreNotThere) {
    ExpectReadFails(Replaced(SkinDocument("j1 j2"), "url=\"#vs\"", "url=\"vs\""), "ERROR: Scene not found: vs");
    ExpectReadFails(Replaced(SkinDocument("j1 j2"), "<scene>", "<scene><instance_rig/>"),
                    "ERROR: structure instance_rig unknown");
    ASSERT_TRUE(Read(Replaced(SkinDocument("j1 j2"), "<scene>", "<scene><instance_physics_scene url=\"#p\"/>")));
    EXPECT_TRUE(MessageHas("Warning: structure instance_physics_scene is not supported."));
    ExpectReadFails(Replaced(SkinDocument("j1 j2"), "url=\"#skin\"", "url=\"#skins\""), "ERROR: Library not found: #skins");
}

TEST_F(ColladaScene, AFailedReadLeavesTheSceneAsItWas) {
    KFbxNode* kept = KFbxNode::Create(mManager, "kept");
    mScene->GetRootNode()->AddChild(kept);
    const int nodes = mScene->GetNodeCount();
    EXPECT_FALSE(Read(Replaced(SkinDocument("j1 j2"), "</visual_scene>", "<node id=\"bad\"><instance_geometry "
                                                                      "url=\"#none\"/></node></visual_scene>")));
    EXPECT_EQ(mScene->GetNodeCount(), nodes);
    EXPECT_EQ(mScene->GetRootNode()->GetChildCount(), 1);
    EXPECT_EQ(mScene->GetPoseCount(), 0);
    ASSERT_TRUE(Read(SkinDocument("j1 j2")));
    EXPECT_EQ(mScene->GetRootNode()->GetChildCount(), 3);
    EXPECT_EQ(mScene->GetRootNode()->GetChild(0), kept);
}

TEST_F(ColladaScene, LibrariesComeInAnyOrder) {
    // The scene first, the controllers before the geometry they deform, the
    // camera and light after the nodes that instance them.
    const std::string body =
        "<library_visual_scenes><visual_scene id=\"vs\">" + kRig +
        "<node id=\"shot\"><instance_camera url=\"#PerspCamera\"/></node>"
        "<node id=\"lamp\"><instance_light url=\"#sun\"/></node></visual_scene></library_visual_scenes>"
        "<library_controllers>" +
        Skin("body", "j1 j2") + "</library_controllers><library_geometries>" + Triangle("body", {}) +
        "</library_geometries><library_cameras><camera id=\"PerspCamera\"><optics><technique_common><perspective>"
        "<yfov>40</yfov><znear>1</znear><zfar>10</zfar></perspective></technique_common></optics></camera>"
        "</library_cameras><library_lights><light id=\"sun\"><technique_common><point><color>1 1 1</color>"
        "</point></technique_common></light></library_lights>"
        "<scene><instance_visual_scene url=\"#vs\"/></scene>\n";
    ReadValid(Document(body));
    EXPECT_FALSE(MessageHas("Library not found")) << mMessage.Buffer();
    EXPECT_EQ(AttributeTypeOf("shot"), KFbxNodeAttribute::eCAMERA);
    EXPECT_EQ(AttributeTypeOf("lamp"), KFbxNodeAttribute::eLIGHT);
    EXPECT_EQ(ClustersOf(Node(mScene, "skinned")).size(), 2u);
}

namespace {

// Library nodes n0 to n(links - 1), each instancing the next twice; the
// last holds a triangle. The tree of n0 has 2^(links + 1) - 1 nodes.
std::string Doubling(int links, const std::string& lastInstances = "") {
    std::string nodes;
    for (int link = 0; link < links; ++link) {
        const std::string next = "#n" + std::to_string(link + 1);
        nodes += "<node id=\"n" + std::to_string(link) + "\"><instance_node url=\"" + next +
                 "\"/><instance_node url=\"" + next + "\"/></node>";
    }
    nodes += "<node id=\"n" + std::to_string(links) + "\"><instance_geometry url=\"#leaf\"/>" + lastInstances +
             "</node>";
    return SceneDocument("<library_geometries>" + Triangle("leaf", {}) + "</library_geometries><library_nodes>" +
                             nodes + "</library_nodes>",
                         "<node id=\"top\"><instance_node url=\"#n0\"/></node>");
}

int NodesBelow(const KFbxNode* node) { return node->GetChildCount(true); }

class ColladaInstancing : public ColladaScene {
protected:
    // Reads with the node limit given (the default when negative).
    bool ReadWithLimit(const std::string& text, int limit) {
        KFbxReaderCollada reader(*mManager);
        const std::string path = Write(text);
        if (!reader.FileOpen(path.c_str())) {
            return false;
        }
        KFbxStreamOptions* options = reader.GetReadOptions();
        if (limit >= 0) {
            options->SetOption("NODE LIMIT", limit);
        }
        const bool read = reader.Read(mScene, options);
        reader.GetMessageText(mMessage);
        options->Destroy();
        reader.FileClose();
        return read;
    }
};

}  // namespace

TEST_F(ColladaInstancing, NodesThatMultiplyAreCountedBeforeAnyIsMadeAndRefusedPastTheLimit) {
    // Thirty doublings: a billion nodes from a few kilobytes.
    const std::string bomb = Doubling(30);
    ASSERT_LT(bomb.size(), 8000u);
    const int objects = mManager->GetObjectCount();
    EXPECT_FALSE(ReadWithLimit(bomb, -1));
    EXPECT_TRUE(MessageHas("more than 100000 nodes")) << mMessage.Buffer();
    EXPECT_TRUE(MessageHas("\"NODE LIMIT\"")) << mMessage.Buffer();
    EXPECT_EQ(mManager->GetObjectCount(), objects);
    EXPECT_EQ(NodesBelow(mScene->GetRootNode()), 0);

    // Eight doublings: 511 nodes under the top node, with the top node, the
    // visual scene's root and the leaf's mesh, each counted once: the scene
    // takes the nodes of the visual scene it instances once.
    EXPECT_FALSE(ReadWithLimit(Doubling(8), 500));
    EXPECT_TRUE(MessageHas("more than 500 nodes")) << mMessage.Buffer();
    ASSERT_TRUE(ReadWithLimit(Doubling(8), 520)) << mMessage.Buffer();
    EXPECT_EQ(NodesBelow(mScene->GetRootNode()), 512);
}

TEST_F(ColladaInstancing, ACycleInsideTheDoublingIsCountedOnEveryPath) {
    // The last node instances the first again, which the reader leaves out
    // below the first; reached from elsewhere, the last node holds the whole
    // tree of the first again. A count kept from the first path (where the
    // last node is one node) would pass what the read then makes.
    std::string backs;
    for (int index = 0; index < 10; ++index) {
        backs += "<node id=\"back" + std::to_string(index) + "\"><instance_node url=\"#n14\"/></node>";
    }
    const std::string bomb = Replaced(Doubling(14, "<instance_node url=\"#n0\"/>"),
                                      "<node id=\"top\"><instance_node url=\"#n0\"/></node>",
                                      "<node id=\"top\"><instance_node url=\"#n0\"/></node>" + backs);
    EXPECT_FALSE(ReadWithLimit(bomb, -1));
    EXPECT_TRUE(MessageHas("more than 100000 nodes")) << mMessage.Buffer();
    // With one way back the document is within the limit, and reads.
    const std::string one = Replaced(Doubling(10, "<instance_node url=\"#n0\"/>"),
                                     "<node id=\"top\"><instance_node url=\"#n0\"/></node>",
                                     "<node id=\"top\"><instance_node url=\"#n0\"/></node>"
                                     "<node id=\"back\"><instance_node url=\"#n10\"/></node>");
    ASSERT_TRUE(ReadWithLimit(one, -1)) << mMessage.Buffer();
    // The top's 2^11 - 1 nodes and itself; the back node, the last node and
    // the first's tree without its last level.
    EXPECT_EQ(NodesBelow(mScene->GetRootNode()), 2048 + 2 + 1023);
}

TEST_F(ColladaInstancing, InstancesOfOneGeometryShareOneMesh) {
    std::string nodes;
    for (int index = 0; index < 200; ++index) {
        nodes += "<node id=\"i" + std::to_string(index) + "\"><instance_geometry url=\"#leaf\"/></node>";
    }
    nodes += "<node id=\"painted\"><instance_geometry url=\"#leaf\">" + Bind("paint", "red") +
             "</instance_geometry></node>";
    const std::string libraries = kRedMaterial + "<library_geometries>" + Triangle("leaf", {"paint"}) +
                                  "</library_geometries>";
    // The visual scene instanced twice (which the schema does not allow): two
    // copies of every node.
    const std::string twice = Replaced(SceneDocument(libraries, nodes), "<instance_visual_scene url=\"#vs\"/>",
                                       "<instance_visual_scene url=\"#vs\"/><instance_visual_scene url=\"#vs\"/>");
    ASSERT_TRUE(Read(twice)) << mMessage.Buffer();
    ASSERT_EQ(mScene->GetRootNode()->GetChildCount(), 402);
    KFbxNodeAttribute* shared = mScene->GetRootNode()->GetChild(0)->GetNodeAttribute();
    ASSERT_NE(dynamic_cast<KFbxMesh*>(shared), nullptr);
    std::map<const KFbxNodeAttribute*, int> users;
    for (int index = 0; index < 402; ++index) {
        ++users[mScene->GetRootNode()->GetChild(index)->GetNodeAttribute()];
    }
    EXPECT_EQ(users[shared], 400);
    // The node that binds a material has a mesh of its own, shared by its copies.
    EXPECT_EQ(users[MeshOf("painted")], 2);
    EXPECT_EQ(Objects<KFbxMesh>().size(), 2u);
    EXPECT_NE(MeshOf("painted"), shared);
    EXPECT_STREQ(MeshOf("painted")->GetLayer(0)->GetMaterials()->GetDirectArray().GetAt(0)->GetName(), "red");
    EXPECT_STREQ(static_cast<KFbxMesh*>(shared)->GetLayer(0)->GetMaterials()->GetDirectArray().GetAt(0)->GetName(),
                 "paint");
    // Every node that shows the mesh shows its material.
    for (int index = 0; index < 402; ++index) {
        const KFbxNode* node = mScene->GetRootNode()->GetChild(index);
        EXPECT_EQ(node->GetSrcObjectCount(KFbxSurfaceMaterial::ClassId), 1) << index;
    }
}

TEST_F(ColladaInstancing, AMeshOfTheSceneBelongsToTheSceneNodesAlone) {
    const std::string libraries = "<library_geometries>" + Triangle("leaf", {}) + "</library_geometries>";
    ASSERT_TRUE(Read(SceneDocument(libraries, "<node id=\"a\"><instance_geometry url=\"#leaf\"/></node>"
                                              "<node id=\"b\"><instance_geometry url=\"#leaf\"/></node>")))
        << mMessage.Buffer();
    KFbxMesh* mesh = MeshOf("a");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(MeshOf("b"), mesh);
    EXPECT_EQ(mesh->GetPolygonCount(), 1);
    // The nodes the read passed through on its way hold it no more.
    EXPECT_EQ(mesh->GetDstObjectCount(KFbxNode::ClassId), 2);
    EXPECT_EQ(mesh->GetNode(), Node(mScene, "b"));
    EXPECT_EQ(Objects<KFbxMesh>().size(), 1u);
}

TEST_F(ColladaInstancing, CopiesOfSkinnedMeshesCountAgainstTheLimit) {
    // A skinned mesh is copied for each copy of its visual scene.
    std::string document = SkinDocument("j1 j2");
    std::string instances;
    for (int copy = 0; copy < 40; ++copy) {
        instances += "<instance_visual_scene url=\"#vs\"/>";
    }
    document = Replaced(document, "<instance_visual_scene url=\"#vs\"/>", instances);
    // Four nodes and a root, 41 times (the template and the copies): 205
    // nodes; and 41 copies of the skinned mesh.
    EXPECT_FALSE(ReadWithLimit(document, 230));
    EXPECT_TRUE(MessageHas("more than 230 nodes")) << mMessage.Buffer();
    EXPECT_TRUE(ReadWithLimit(document, 250)) << mMessage.Buffer();
}

TEST_F(ColladaInstancing, AVisualSceneInstancedOnceGivesItsOwnNodesLaterInstancesCopies) {
    std::string nodes;
    for (int index = 0; index < 100; ++index) {
        nodes += "<node id=\"n" + std::to_string(index) + "\"><translate>" + std::to_string(index) +
                 " 0 0</translate></node>";
    }
    const std::string once = SceneDocument("", nodes);
    const auto nodesMadeBy = [this](const std::string& document) {
        mPass.reset();
        const int before = mManager->GetObjectCount(KFbxNode::ClassId);
        EXPECT_TRUE(ReadWithPass(document)) << mMessage.Buffer();
        return mManager->GetObjectCount(KFbxNode::ClassId) - before;
    };
    // The hundred nodes and the root the read gathers the scene under.
    EXPECT_EQ(nodesMadeBy(once), 101);
    EXPECT_EQ(nodesMadeBy(Replaced(once, "<instance_visual_scene url=\"#vs\"/>",
                                   "<instance_visual_scene url=\"#vs\"/><instance_visual_scene url=\"#vs\"/>")),
              201);
}

TEST_F(ColladaInstancing, AReadThatFailsAfterTakingItsNodesLeavesNothingBehind) {
    // The animations, read last, fail once the scene holds the visual
    // scene's own nodes and the copies of the second instance.
    std::string document = Replaced(SkinDocument("j1 j2"), "<library_visual_scenes>",
                                    "<library_animations><animation id=\"a\"><channel source=\"#s\" "
                                    "target=\"/none\"/></animation></library_animations><library_visual_scenes>");
    document = Replaced(document, "<scene>", "<scene><instance_visual_scene url=\"#vs\"/>");
    const int objects = mManager->GetObjectCount();
    EXPECT_FALSE(Read(document));
    EXPECT_TRUE(MessageHas("ERROR: shape not found for animation: /none")) << mMessage.Buffer();
    EXPECT_EQ(mScene->GetRootNode()->GetChildCount(), 0);
    EXPECT_EQ(mScene->GetPoseCount(), 0);
    EXPECT_EQ(mManager->GetObjectCount(), objects);
}

TEST_F(ColladaInstancing, AGeometryReadOnceGivesItsNodeTheLibraryMeshItself) {
    const std::string libraries = kRedMaterial + "<library_geometries>" + Triangle("leaf", {"paint"}) +
                                  "</library_geometries>";
    const std::string painted = "<instance_geometry url=\"#leaf\">" + Bind("paint", "red") + "</instance_geometry>";
    const auto meshesMadeBy = [this](const std::string& document) {
        mPass.reset();
        const int before = mManager->GetObjectCount(KFbxMesh::ClassId);
        EXPECT_TRUE(ReadWithPass(document)) << mMessage.Buffer();
        return mManager->GetObjectCount(KFbxMesh::ClassId) - before;
    };
    const std::string once = SceneDocument(libraries, "<node id=\"a\">" + painted + "</node>");
    EXPECT_EQ(meshesMadeBy(once), 1);
    // Read twice, or by a node that instance_node repeats: a copy each.
    EXPECT_EQ(meshesMadeBy(SceneDocument(libraries, "<node id=\"a\">" + painted +
                                                        "</node><node id=\"b\"><instance_geometry url=\"#leaf\"/></node>")),
              3);
    EXPECT_EQ(meshesMadeBy(SceneDocument(libraries, "<node id=\"a\">" + painted +
                                                        "</node><node id=\"b\"><instance_node url=\"#a\"/></node>")),
              2);
    // The mesh holds what a copy held: the bound material on its polygon.
    mPass.reset();
    const int before = mManager->GetObjectCount(KFbxMesh::ClassId);
    ASSERT_TRUE(Read(once)) << mMessage.Buffer();
    ASSERT_NE(MeshOf("a"), nullptr);
    EXPECT_EQ(MeshOf("a")->GetPolygonCount(), 1);
    EXPECT_STREQ(MeshOf("a")->GetLayer(0)->GetMaterials()->GetDirectArray().GetAt(0)->GetName(), "red");
    EXPECT_EQ(mManager->GetObjectCount(KFbxMesh::ClassId) - before, 1);
}

namespace {

// Whatever a node of the scene holds that its visual scene gave it (names
// aside: the scene renames the copies apart).
void ExpectSameNode(KFbxNode* first, KFbxNode* copy) {
    ASSERT_TRUE(first != nullptr && copy != nullptr);
    SCOPED_TRACE(first->GetName());
    EXPECT_EQ(first->GetShading(), copy->GetShading());
    KFbxNode::ETransformInheritType inherit[2];
    first->GetTransformInheritType(inherit[0]);
    copy->GetTransformInheritType(inherit[1]);
    EXPECT_EQ(inherit[0], inherit[1]);
    EXPECT_EQ(inherit[0], KFbxNode::eINHERIT_RSrs);
    KFbxNode::ERotationOrder order[2];
    first->GetRotationOrder(KFbxNode::eSOURCE_SET, order[0]);
    copy->GetRotationOrder(KFbxNode::eSOURCE_SET, order[1]);
    EXPECT_EQ(order[0], order[1]);
    KFbxVector4 values[2];
    for (void (KFbxNode::*get)(KFbxVector4&) const :
         {&KFbxNode::GetLclTranslation, &KFbxNode::GetLclRotation, &KFbxNode::GetLclScaling}) {
        (first->*get)(values[0]);
        (copy->*get)(values[1]);
        EXPECT_EQ(values[0], values[1]);
    }
    EXPECT_EQ(first->GetPostRotation(KFbxNode::eSOURCE_SET), copy->GetPostRotation(KFbxNode::eSOURCE_SET));
    EXPECT_EQ(first->GetPreRotation(KFbxNode::eSOURCE_SET), copy->GetPreRotation(KFbxNode::eSOURCE_SET));
    EXPECT_EQ(first->GetRotationActive(), copy->GetRotationActive());
    EXPECT_TRUE(first->GetMatrixRecord(1).mMatrix.IsEqual(copy->GetMatrixRecord(1).mMatrix));
    EXPECT_EQ(first->GetTakeNodeCount(), copy->GetTakeNodeCount());
    ASSERT_EQ(first->GetChildCount(), copy->GetChildCount());
    KFbxNodeAttribute* attributes[2] = {first->GetNodeAttribute(), copy->GetNodeAttribute()};
    ASSERT_EQ(attributes[0] == nullptr, attributes[1] == nullptr);
    if (attributes[0] != nullptr) {
        ASSERT_EQ(attributes[0]->GetAttributeType(), attributes[1]->GetAttributeType());
        // Every value, as its property holds it (channels keep theirs in
        // single precision, properties not).
        for (int index = 0; index < attributes[0]->GetPropertyCount(); ++index) {
            const KFbxProperty property = attributes[0]->GetPropertyAt(index);
            const KFbxProperty other = attributes[1]->FindProperty(property.GetName());
            const EFbxValueType type = property.GetPropertyDataType().GetType();
            if (type != eFbxValueReference && type != eFbxValueStream && type != eFbxValueNone) {
                EXPECT_TRUE(property.CompareValue(other)) << property.GetName();
            }
        }
        if (auto* camera = dynamic_cast<KFbxCamera*>(attributes[0])) {
            const auto* other = static_cast<KFbxCamera*>(attributes[1]);
            EXPECT_EQ(camera->GetUpVector(), other->GetUpVector());
            EXPECT_EQ(camera->GetLookAt(), other->GetLookAt());
            EXPECT_EQ(camera->GetFocusDistanceSource(), other->GetFocusDistanceSource());
            EXPECT_EQ(camera->GetFocusDistance(), other->GetFocusDistance());
            EXPECT_EQ(camera->GetProjectionType(), other->GetProjectionType());
            EXPECT_EQ(camera->GetDefaultFieldOfView(), other->GetDefaultFieldOfView());
            EXPECT_EQ(camera->GetDefaultFieldOfViewX(), other->GetDefaultFieldOfViewX());
            EXPECT_EQ(camera->GetApertureWidth(), other->GetApertureWidth());
            EXPECT_EQ(camera->GetApertureHeight(), other->GetApertureHeight());
            EXPECT_EQ(camera->GetAspectWidth(), other->GetAspectWidth());
            EXPECT_EQ(camera->GetNearPlane(), other->GetNearPlane());
            EXPECT_EQ(camera->GetFarPlane(), other->GetFarPlane());
        }
        if (auto* light = dynamic_cast<KFbxLight*>(attributes[0])) {
            EXPECT_EQ(light->GetLightType(), static_cast<KFbxLight*>(attributes[1])->GetLightType());
            EXPECT_EQ(light->GetDefaultIntensity(), static_cast<KFbxLight*>(attributes[1])->GetDefaultIntensity());
            EXPECT_EQ(light->GetDefaultConeAngle(), static_cast<KFbxLight*>(attributes[1])->GetDefaultConeAngle());
        }
        if (auto* mesh = dynamic_cast<KFbxMesh*>(attributes[0])) {
            const auto* other = static_cast<KFbxMesh*>(attributes[1]);
            EXPECT_EQ(mesh->GetPolygonVertexCount(), other->GetPolygonVertexCount());
            EXPECT_EQ(mesh->GetLayerCount(), other->GetLayerCount());
            EXPECT_EQ(mesh->GetShapeCount(), other->GetShapeCount());
            EXPECT_EQ(mesh->GetDeformerCount(), other->GetDeformerCount());
            // A shared mesh is one object; a skinned one each instance's own.
            EXPECT_EQ(mesh == other, mesh->GetDeformerCount() == 0);
        }
    }
    for (int child = 0; child < first->GetChildCount(); ++child) {
        ExpectSameNode(first->GetChild(child), copy->GetChild(child));
    }
}

}  // namespace

TEST_F(ColladaInstancing, TheFirstInstanceOfAVisualSceneHoldsWhatItsCopiesHold) {
    const std::string libraries =
        kRedMaterial +
        "<library_cameras><camera id=\"cam\"><optics><technique_common><perspective><yfov>37.8</yfov><znear>0.1"
        "</znear><zfar>10</zfar></perspective></technique_common></optics></camera></library_cameras>"
        "<library_lights><light id=\"spot\"><technique_common><spot><color>1 1 1</color><falloff_angle>35.3"
        "</falloff_angle></spot></technique_common><technique profile=\"MAYA\"><intensity>0.8</intensity>"
        "</technique></light></library_lights><library_geometries>" +
        Triangle("body", {}) + Triangle("leaf", {"paint"}) + "</library_geometries><library_controllers>" +
        Skin("body", "j1 j2") + "</library_controllers>";
    const std::string nodes =
        kRig +
        "<node id=\"eye\"><lookat>0 -5 3 1 2 3 0 1 0.5</lookat><instance_camera url=\"#cam\"/></node>"
        "<node id=\"lamp\"><rotate>0 0 1 30</rotate><rotate>1 0 0 10</rotate><instance_light url=\"#spot\"/></node>"
        "<node id=\"placed\"><matrix>1 0 0 2 0 1 0 3 0 0 1 4 0 0 0 1</matrix><node id=\"leaf\">"
        "<instance_geometry url=\"#leaf\">" +
        Bind("paint", "red") + "</instance_geometry></node></node>";
    const std::string twice = Replaced(SceneDocument(libraries, nodes), "<instance_visual_scene url=\"#vs\"/>",
                                       "<instance_visual_scene url=\"#vs\"/><instance_visual_scene url=\"#vs\"/>");
    ASSERT_TRUE(Read(twice)) << mMessage.Buffer();
    KFbxNode* root = mScene->GetRootNode();
    ASSERT_EQ(root->GetChildCount(), 10);
    for (int index = 0; index < 5; ++index) {
        ExpectSameNode(root->GetChild(index), root->GetChild(index + 5));
    }
    // Each instance's skin links its own joints, and the mesh nodes keep
    // the shading of new nodes.
    EXPECT_EQ(ClustersOf(root->GetChild(1))[0]->GetLink(), root->GetChild(0)->GetChild(0));
    EXPECT_EQ(ClustersOf(root->GetChild(6))[0]->GetLink(), root->GetChild(5)->GetChild(0));
    EXPECT_EQ(root->GetChild(4)->GetChild(0)->GetShading(), KFbxNode::Create(mManager, "new")->GetShading());
    EXPECT_EQ(MeshOf("leaf")->GetNode(), root->GetChild(9)->GetChild(0));
    // Instanced once, the skinned node keeps the mesh it was read with,
    // holding what a copy would.
    KFbxScene* once = KFbxScene::Create(mManager, "once");
    ASSERT_TRUE(ReadFile(Write(SceneDocument(libraries, nodes), "once.dae"), once)) << mMessage.Buffer();
    KFbxNode* onceRoot = once->GetRootNode();
    ExpectSameNode(onceRoot->GetChild(1), root->GetChild(6));
    EXPECT_EQ(ClustersOf(onceRoot->GetChild(1))[0]->GetLink(), onceRoot->GetChild(0)->GetChild(0));
    once->Destroy(true);
}
