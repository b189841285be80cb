// Skin and morph controllers: clusters with their weights, bind matrices,
// stand-in joints and bind pose; morph targets into shapes of a mesh.
#include <fbxfilesdk/collada/ColladaDocument.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxPose.h>

#include "ColladaSceneSupport.h"
#include "ColladaTestSupport.h"

namespace fbxsdk_2006_11_1 {

// Reaches what a pass keeps, for the shapes that the node import makes.
class KFbxReaderColladaPassTest {
public:
    static const ColladaControllerRecord* Controller(KFbxReaderColladaPass& pass, const char* id) {
        auto* record = pass.mControllers.Find(KString(id));
        return record != nullptr ? record->get() : nullptr;
    }
    static KFbxMesh* Mesh(KFbxReaderColladaPass& pass, const char* id) {
        const ColladaLibraryObject* object = pass.mObjects.Find(KString(id));
        return object != nullptr ? dynamic_cast<KFbxMesh*>(object->mObject) : nullptr;
    }
    static const std::vector<ColladaMorphShapeRecord>* MorphShapes(KFbxReaderColladaPass& pass, const char* source) {
        return pass.mMorphShapes.Find(KString(source));
    }
    static bool ImportMorphShapes(KFbxReaderColladaPass& pass, KFbxMesh& mesh, const ColladaControllerRecord& record) {
        return pass.ImportMorphShapes(mesh, KString("holder"), record.mMorphTargets, record.mMorphWeightSource,
                                      record.mMorphWeights);
    }
    static void CopyMesh(KFbxReaderColladaPass& pass, KFbxMesh& destination, KFbxMesh& source) {
        pass.CopyMesh(destination, source);
    }
};

}  // namespace fbxsdk_2006_11_1

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::colladatest;

namespace {

const std::string kSkinMesh =
    "<geometry id=\"skinned\"><mesh>" + FloatSource("s-p", "0 0 0 1 0 0 0 1 0", 3, {"X", "Y", "Z"}) +
    "<vertices id=\"s-v\"><input semantic=\"POSITION\" source=\"#s-p\"/></vertices>"
    "<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#s-v\" offset=\"0\"/><p>0 1 2</p></triangles>"
    "</mesh></geometry>";

std::string NameSource(const std::string& id, const std::string& names, int count, const char* type) {
    return "<source id=\"" + id + "\"><Name_array id=\"" + id + "-a\" count=\"" + std::to_string(count) + "\">" +
           names + "</Name_array><technique_common><accessor source=\"#" + id + "-a\" count=\"" +
           std::to_string(count) + "\"><param name=\"JOINT\" type=\"" + type + "\"/></accessor></technique_common></source>";
}

// Joint j1 bound at the identity, j2 at a sheared placement.
std::string Skin(const std::string& jointNames = "j1 j2", int jointCount = 2, const std::string& vcount = "2 1 1",
                 const std::string& v = "0 1 1 2 1 0 -1 0") {
    return "<controller id=\"skin\"><skin source=\"#skinned\">"
           "<bind_shape_matrix>1 0 0 5 0 1 0 0 0 0 1 0 0 0 0 1</bind_shape_matrix>" +
           NameSource("joints", jointNames, jointCount, "name") +
           "<source id=\"binds\"><float_array id=\"binds-a\" count=\"32\">1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 "
           "1 1 0 3 0 1 0 0 0 0 1 0 0 0 0 1</float_array><technique_common><accessor source=\"#binds-a\" count=\"2\" "
           "stride=\"16\"><param name=\"TRANSFORM\" type=\"float4x4\"/></accessor></technique_common></source>" +
           FloatSource("weights", "1 0.25 0.75", 3, {"WEIGHT"}) +
           "<joints><input semantic=\"JOINT\" source=\"#joints\"/><input semantic=\"INV_BIND_MATRIX\" "
           "source=\"#binds\"/></joints><vertex_weights count=\"3\"><input semantic=\"JOINT\" source=\"#joints\" "
           "offset=\"0\"/><input semantic=\"WEIGHT\" source=\"#weights\" offset=\"1\"/><vcount>" +
           vcount + "</vcount><v>" + v + "</v></vertex_weights></skin></controller>";
}

std::string SkinDocument(const std::string& controller) {
    return Document("<library_controllers>" + controller + "</library_controllers><library_geometries>" + kSkinMesh +
                    "</library_geometries>");
}

// A square of two triangles with normals by polygon vertex, and two targets.
std::string Square(const std::string& id, const std::string& positions) {
    return "<geometry id=\"" + id + "\"><mesh>" + FloatSource(id + "-p", positions, 4, {"X", "Y", "Z"}) +
           FloatSource(id + "-n", "0 0 1", 1, {"X", "Y", "Z"}) + "<vertices id=\"" + id +
           "-v\"><input semantic=\"POSITION\" source=\"#" + id + "-p\"/></vertices><triangles count=\"2\">"
           "<input semantic=\"VERTEX\" source=\"#" + id + "-v\" offset=\"0\"/><input semantic=\"NORMAL\" source=\"#" +
           id + "-n\" offset=\"1\"/><p>0 0 1 0 2 0 0 0 2 0 3 0</p></triangles></mesh></geometry>";
}

const std::string kMorphLibraries =
    "<library_geometries>" + Square("base", "0 0 0 1 0 0 1 1 0 0 1 0") + Square("t1", "0 0 1 1 0 1 1 1 1 0 1 1") +
    Square("t2", "0 0 0 2 0 0 2 2 0 0 2 0") +
    "</library_geometries><library_controllers><controller id=\"morph\"><morph source=\"#base\" method=\"RELATIVE\">"
    "<source id=\"targets\"><IDREF_array id=\"targets-a\" count=\"2\">t1 t2</IDREF_array><technique_common>"
    "<accessor source=\"#targets-a\" count=\"2\"><param name=\"MORPH_TARGET\" type=\"IDREF\"/></accessor>"
    "</technique_common></source>" +
    FloatSource("morph-weights", "0.25 0.5", 2, {"MORPH_WEIGHT"}) +
    "<targets><input semantic=\"MORPH_TARGET\" source=\"#targets\"/><input semantic=\"MORPH_WEIGHT\" "
    "source=\"#morph-weights\"/></targets></morph></controller></library_controllers>";
const std::string kMorphDocument = Document(kMorphLibraries);

class ColladaControllers : public ColladaReadTest {
protected:
    std::vector<int> IndicesOf(const KFbxCluster* cluster) {
        const int* indices = cluster->GetControlPointIndices();
        return std::vector<int>(indices, indices + cluster->GetControlPointIndicesCount());
    }
    std::vector<double> WeightsOf(const KFbxCluster* cluster) {
        const double* weights = cluster->GetControlPointWeights();
        return std::vector<double>(weights, weights + cluster->GetControlPointIndicesCount());
    }

};

}  // namespace

TEST_F(ColladaControllers, ASkinOfTwoJoints) {
    ReadValidWithPass(SkinDocument(Skin()));
    const std::vector<KFbxCluster*> clusters = Objects<KFbxCluster>();
    ASSERT_EQ(clusters.size(), 2u);
    // Vertex 0 has both joints, vertex 1 the second, vertex 2 the bind shape only.
    EXPECT_EQ(IndicesOf(clusters[0]), std::vector<int>{0});
    EXPECT_EQ(WeightsOf(clusters[0]), std::vector<double>{0.25});
    EXPECT_EQ(IndicesOf(clusters[1]), (std::vector<int>{0, 1}));
    EXPECT_EQ(WeightsOf(clusters[1]), (std::vector<double>{0.75, 1.0}));
    EXPECT_EQ(clusters[0]->GetLinkMode(), KFbxCluster::eNORMALIZE);
    KgeMatrix matrix;
    EXPECT_EQ(clusters[1]->GetTransformMatrix(matrix)[3][0], 5.0);
    // The bind placement is the whole inverse of the sheared inverse bind matrix.
    clusters[1]->GetTransformLinkMatrix(matrix);
    KgeMatrix inverseBind;
    inverseBind[1][0] = 1.0;
    inverseBind[3][0] = 3.0;
    EXPECT_EQ(KgeMatrix::CompareWithTolerance(matrix.GetProduct(inverseBind), KgeMatrix(), 1e-9), 0);
    KFbxNode* second = clusters[1]->GetLink();
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->GetName(), "j2");
    KFbxVector4 translation;
    second->GetLclTranslation(translation);
    EXPECT_EQ(translation[0], -3.0);
    // The bind pose waits as entries for a scene's pose to be made of it.
    EXPECT_TRUE(Objects<KFbxPose>().empty());
    const ColladaControllerRecord* record = KFbxReaderColladaPassTest::Controller(*mPass, "skin");
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->mBindPose.mName.Buffer(), "skin");
    ASSERT_EQ(record->mBindPose.mEntries.size(), 2u);
    EXPECT_EQ(record->mBindPose.mEntries[1].first, second);
    EXPECT_EQ(mScene->GetPoseCount(), 0);
}

TEST_F(ColladaControllers, SkinFaultsFailAndLeaveNothingBehind) {
    const std::pair<std::string, std::string> cases[] = {
        {Skin("j1 j2 j3", 3), "in controller, number of joints 3 is different than number of bind pose matrices 2"},
        {Skin("j1 j2", 2, "2 1 1", "0 1 1 2 1 0 -1"), "<v> holds fewer indices than <vcount> announces"},
        {Skin("j1 j2", 2, "2 1 1", "0 1 1 3 1 0 -1 0"), "joint or weight index out of range"},
        {Skin("j1 j2", 2, "2 1 1", "0 1 2 2 1 0 -1 0"), "joint or weight index out of range"},
        {Skin("j1 j2", 2, "2 -1 1", "0 1 1 2 1 0 -1 0"), "negative influence count"},
        {Replaced(Skin(), "<input semantic=\"JOINT\" source=\"#joints\" offset=\"0\"/>", ""),
         "Controller: could not find JOINT or WEIGHT"},
        {Replaced(Skin(), "</skin>", "</skin><skin source=\"#skinned\"/>"),
         "more than one skin defined for library skin"},
        {Replaced(Skin(), "source=\"#skinned\"", "source=\"\""), "Controller is missing a source"},
        {Replaced(Skin(), "<joints>", "<joints><input semantic=\"EXTRA\" source=\"#joints\"/>"),
         "EXTRA not supported in <input>"},
        {Replaced(Replaced(Skin(), "<vertex_weights", "<vertex_weight"), "</vertex_weights>", "</vertex_weight>"),
         "<vertex_weights> node not found in controller\n"},
    };
    for (const auto& [controller, message] : cases) {
        ExpectReadFails(SkinDocument(controller), message);
        EXPECT_TRUE(Objects<KFbxCluster>().empty()) << message;
        EXPECT_TRUE(Objects<KFbxPose>().empty()) << message;
    }
    // Four joints weighted, three bound.
    std::string threeBound = Replaced(Skin("j1 j2 j3 j4", 4), "<joints><input semantic=\"JOINT\" source=\"#joints\"",
                                      "<joints><input semantic=\"JOINT\" source=\"#bound\"");
    threeBound = Replaced(threeBound, "<source id=\"binds\">",
                          NameSource("bound", "j1 j2", 2, "name") + "<source id=\"binds\">");
    EXPECT_FALSE(Read(SkinDocument(threeBound)));
    EXPECT_TRUE(MessageHas("in controller, number of links 4 is different than number of bind pose matrices 2"));
}

TEST_F(ColladaControllers, AMorphOfTwoTargetsBecomesShapes) {
    const std::string path = Write(kMorphDocument);
    COLLADA_EXPECT_SCHEMA_VALID(path);
    ASSERT_TRUE(ReadWithPass(kMorphDocument));
    const ColladaControllerRecord* record = KFbxReaderColladaPassTest::Controller(*mPass, "morph");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->mSource, "#base");
    ASSERT_EQ(record->mMorphTargets.size(), 2u);
    EXPECT_EQ(record->mMorphTargets[1], "t2");
    EXPECT_EQ(record->mMorphWeightSource, "morph-weights");
    EXPECT_EQ(record->mMorphWeights, (std::vector<double>{0.25, 0.5}));

    KFbxMesh* base = KFbxReaderColladaPassTest::Mesh(*mPass, "base");
    ASSERT_NE(base, nullptr);
    KFbxMesh* instance = KFbxMesh::Create(mManager, "");
    KFbxReaderColladaPassTest::CopyMesh(*mPass, *instance, *base);
    EXPECT_EQ(instance->GetPolygonVertexCount(), 6);
    ASSERT_TRUE(KFbxReaderColladaPassTest::ImportMorphShapes(*mPass, *instance, *record));
    ASSERT_EQ(instance->GetShapeCount(), 2);
    EXPECT_STREQ(instance->GetShapeName(0), "t1");
    EXPECT_EQ(instance->FindProperty("t2").GetDouble(), 50.0);
    // Mesh and shapes have one point per polygon vertex now.
    ASSERT_EQ(instance->GetControlPointsCount(), 6);
    const KFbxShape* moved = instance->GetShape(1);
    ASSERT_EQ(moved->GetControlPointsCount(), 6);
    EXPECT_EQ(moved->GetControlPoints()[2][0], 2.0);
    EXPECT_EQ(moved->GetControlPoints()[5][1], 2.0);
    const auto* shapes = KFbxReaderColladaPassTest::MorphShapes(*mPass, "morph-weights");
    ASSERT_NE(shapes, nullptr);
    ASSERT_EQ(shapes->size(), 2u);
    EXPECT_EQ((*shapes)[1].mShapeName, "t2");
    EXPECT_EQ((*shapes)[1].mNodeName, "holder");
    EXPECT_EQ((*shapes)[1].mShapeIndex, 1);
}

TEST_F(ColladaControllers, MorphFaults) {
    const std::string normalized = Replaced(kMorphDocument, "RELATIVE", "NORMALIZED");
    ASSERT_TRUE(Read(normalized));
    EXPECT_TRUE(MessageHas("Warning: Morph morph has method NORMALIZED, which is not supported. Morph will be read "
                           "as RELATIVE."));
    std::string uneven = Replaced(kMorphDocument, "count=\"2\">t1 t2", "count=\"3\">t1 t2 t2");
    uneven = Replaced(uneven, "count=\"2\"><param name=\"MORPH_TARGET\"", "count=\"3\"><param name=\"MORPH_TARGET\"");
    EXPECT_FALSE(Read(uneven));
    EXPECT_TRUE(MessageHas("in controller, number of targets 3 is different than number of weights 2"));

    // A target that names no geometry is left out; the others are shapes.
    const std::string dangling = Replaced(kMorphDocument, ">t1 t2<", ">t1 tx<");
    ASSERT_TRUE(ReadWithPass(dangling));
    const ColladaControllerRecord* record = KFbxReaderColladaPassTest::Controller(*mPass, "morph");
    KFbxMesh* instance = KFbxMesh::Create(mManager, "");
    KFbxReaderColladaPassTest::CopyMesh(*mPass, *instance, *KFbxReaderColladaPassTest::Mesh(*mPass, "base"));
    ASSERT_TRUE(KFbxReaderColladaPassTest::ImportMorphShapes(*mPass, *instance, *record));
    EXPECT_EQ(instance->GetShapeCount(), 1);
    // A target of another point count is refused by the mesh.
    const std::string mismatched =
        Replaced(Replaced(kMorphDocument, ">t1 t2<", ">t1 skinned<"), "</library_geometries>",
                 kSkinMesh + "</library_geometries>");
    ASSERT_TRUE(ReadWithPass(mismatched));
    record = KFbxReaderColladaPassTest::Controller(*mPass, "morph");
    instance = KFbxMesh::Create(mManager, "");
    KFbxReaderColladaPassTest::CopyMesh(*mPass, *instance, *KFbxReaderColladaPassTest::Mesh(*mPass, "base"));
    EXPECT_FALSE(KFbxReaderColladaPassTest::ImportMorphShapes(*mPass, *instance, *record));
}

TEST_F(ColladaControllers, JointsLinkASkinOverAMorphAsASkinOverItsMesh) {
    const std::string joints = "<node id=\"j1\" type=\"JOINT\"><node id=\"j2\" type=\"JOINT\"/></node>";
    const std::string body = "<node id=\"body\"><instance_controller url=\"#skin\"/></node>";
    // Per cluster: its joint, bind matrices and the weight of each polygon
    // vertex (the morph gives each polygon vertex its own point).
    const auto links = [this]() {
        std::string text;
        auto* mesh = dynamic_cast<KFbxMesh*>(Node(mScene, "body")->GetMesh());
        auto* skin = dynamic_cast<KFbxSkin*>(mesh->GetDeformer(0, KFbxDeformer::eSKIN));
        for (int index = 0; skin != nullptr && index < skin->GetClusterCount(); ++index) {
            KFbxCluster* cluster = skin->GetCluster(index);
            KFbxNode* link = cluster->GetLink();
            text += std::string(link->GetName()) + (link == Node(mScene, link->GetName()) ? " joint" : " stand-in");
            KgeMatrix matrix;
            for (const KgeMatrix& bind : {cluster->GetTransformMatrix(matrix), cluster->GetTransformLinkMatrix(matrix)}) {
                for (int cell = 0; cell < 16; ++cell) {
                    text += " " + std::to_string(bind[cell / 4][cell % 4]);
                }
            }
            const std::vector<int> points = IndicesOf(cluster);
            for (int vertex = 0; vertex < mesh->GetPolygonVertexCount(); ++vertex) {
                const auto at = std::find(points.begin(), points.end(), mesh->GetPolygonVertices()[vertex]);
                text += at == points.end() ? " -" : " " + std::to_string(WeightsOf(cluster)[at - points.begin()]);
            }
            text += "\n";
        }
        return text;
    };
    const auto read = [this](const char* source, const std::string& nodes) {
        mScene = KFbxScene::Create(mManager, "");
        ReadValid(SceneDocument(Replaced(kMorphLibraries, "</library_controllers>",
                                         Replaced(Skin(), "#skinned", source) + "</library_controllers>"),
                                nodes));
    };
    std::string plain;
    for (const char* source : {"#base", "#morph"}) {
        for (bool jointsFirst : {false, true}) {
            read(source, jointsFirst ? joints + body : body + joints);
            plain = plain.empty() ? links() : plain;
            EXPECT_EQ(links(), plain) << source << " " << jointsFirst;
        }
    }
    EXPECT_NE(plain.find("j2 joint"), std::string::npos) << plain;
    // A second instance drops the skinned mesh with its clusters.
    read("#base", Replaced(body, "</node>", "<instance_geometry url=\"#t1\"/></node>") + joints);
}
