// Files whose declared sizes or repeated records would have the reader take
// far more memory than their content holds, and reads that run out of memory:
// those fail with the reader's out-of-memory error and leave the caller's
// scene as it was. Shapes all come back, whatever names their records give.
#include "ReaderTestSupport.h"

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxWeightedMapping.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::readertest {
namespace {

const char kHeader[] =
    "; FBX 6.1.0 project file\n"
    "FBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n";

KFbxWeightedMapping* OnlyMapping(KFbxScene& scene) {
    if (scene.GetSrcObjectCount(KFbxGeometryWeightedMap::ClassId) != 1) return nullptr;
    auto* map = static_cast<KFbxGeometryWeightedMap*>(scene.GetSrcObject(KFbxGeometryWeightedMap::ClassId, 0));
    return map->GetValues();
}

void ExpectHugeMapping(const KFbxWeightedMapping* mapping) {
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(mapping->GetElementCount(KFbxWeightedMapping::eSOURCE), 1073741824);
    EXPECT_EQ(mapping->GetElementCount(KFbxWeightedMapping::eDESTINATION), 2000000000);
    EXPECT_EQ(mapping->GetRelatedElements(KFbxWeightedMapping::eSOURCE), (std::vector<int>{5, 1073741823}));
    EXPECT_EQ(mapping->GetRelatedElements(KFbxWeightedMapping::eDESTINATION), (std::vector<int>{0, 7, 1999999999}));
    ASSERT_EQ(mapping->GetRelations(KFbxWeightedMapping::eSOURCE, 5), 2);
    EXPECT_EQ(mapping->GetRelation(KFbxWeightedMapping::eSOURCE, 5, 1).mIndex, 1999999999);
    EXPECT_EQ(mapping->GetRelation(KFbxWeightedMapping::eSOURCE, 5, 1).mWeight, 0.75);
    ASSERT_EQ(mapping->GetRelations(KFbxWeightedMapping::eDESTINATION, 7), 1);
    EXPECT_EQ(mapping->GetRelation(KFbxWeightedMapping::eDESTINATION, 7, 0).mIndex, 5);
    EXPECT_EQ(mapping->GetRelations(KFbxWeightedMapping::eSOURCE, 6), 0);
}

TEST_F(ReaderTest, WeightedMapsCostTheirEntriesAndKeepTheDeclaredCounts) {
    // Both sides allocated in full would take gigabytes for a few bytes of file.
    const std::string text = std::string(kHeader) +
                             "Objects:  {\n"
                             "\tGeometryWeightedMap: \"GeometryWeightedMap::W\", \"\" {\n"
                             "\t\tVersion: 100\n\t\tSourceCount: 1073741824\n\t\tDestinationCount: 2000000000\n"
                             "\t\tIndexMapping: 5,2,7,0.25,1999999999,0.75\n"
                             "\t\tIndexMapping: 1073741823,1,0,1\n"
                             "\t\tIndexMapping: 1e300,1,0,1\n"
                             "\t\tIndexMapping: 4,1,-1,1\n"
                             "\t}\n}\n";
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    ASSERT_TRUE(Import(mFolder.Write("huge_map.fbx", text), scene)) << mLastError;
    ExpectHugeMapping(OnlyMapping(*scene));

    // A round trip gives the declared counts back, in each file mode.
    for (int format : kFbx6WriterFormats) {
        SCOPED_TRACE(format);
        const std::string path = Path("huge_map_again.fbx");
        ASSERT_TRUE(Export(scene, path, format));
        ExpectHugeMapping(OnlyMapping(*scene));
        KFbxScene* read = KFbxScene::Create(mManager, "r");
        ASSERT_TRUE(Import(path, read)) << mLastError;
        ExpectHugeMapping(OnlyMapping(*read));
    }
}

TEST(WeightedMapping, AddRefusesIndexesOutsideTheCountsAndResetForgetsRelations) {
    KFbxWeightedMapping mapping(3, 2);
    EXPECT_FALSE(mapping.Add(3, 0, 1.0));
    EXPECT_FALSE(mapping.Add(0, 2, 1.0));
    EXPECT_FALSE(mapping.Add(-1, 0, 1.0));
    EXPECT_TRUE(mapping.GetRelatedElements(KFbxWeightedMapping::eSOURCE).empty());
    EXPECT_TRUE(mapping.Add(2, 1, 0.5));
    EXPECT_EQ(mapping.GetRelatedElements(7), std::vector<int>{});
    EXPECT_EQ(mapping.GetRelation(KFbxWeightedMapping::eSOURCE, 2, 1).mIndex, -1);
    mapping.Reset(-4, 9);
    EXPECT_EQ(mapping.GetElementCount(KFbxWeightedMapping::eSOURCE), 0);
    EXPECT_EQ(mapping.GetElementCount(KFbxWeightedMapping::eDESTINATION), 9);
    EXPECT_EQ(mapping.GetRelations(KFbxWeightedMapping::eDESTINATION, 1), 0);
}

// A mesh of four points with shapes: empty, moving point 2 twice (the moves
// add up), moving a point the mesh does not have.
std::string MeshWithShapes() {
    return std::string(kHeader) +
           "Objects:  {\n"
           "\tModel: \"Model::Face\", \"Mesh\" {\n"
           "\t\tVertices: 0,0,0,1,0,0,1,1,0,0,1,0\n"
           "\t\tPolygonVertexIndex: 0,1,2,-4\n"
           "\t\tShape: \"Empty\" {\n\t\t}\n"
           "\t\tShape: \"Moved\" {\n\t\t\tIndexes: 2,2\n\t\t\tVertices: 1,0,0,0,0.5,0\n\t\t}\n"
           "\t\tShape: \"Outside\" {\n\t\t\tIndexes: 9\n\t\t\tVertices: 1,1,1\n\t\t}\n"
           "\t}\n}\n"
           "Connections:  {\n\tConnect: \"OO\", \"Model::Face\", \"Model::Scene\"\n}\n";
}

KFbxMesh* MeshOf(KFbxScene& scene) {
    KFbxNode* node = scene.FindNodeByName(KString("Face"));
    return node != nullptr ? dynamic_cast<KFbxMesh*>(node->GetNodeAttribute()) : nullptr;
}

void ExpectShapes(const KFbxMesh& mesh) {
    ASSERT_EQ(mesh.GetShapeCount(), 3);
    for (int s = 0; s < 3; ++s) {
        ASSERT_EQ(mesh.GetShape(s)->GetControlPointsCount(), 4);
    }
    EXPECT_EQ(mesh.GetShape(0)->GetControlPointAt(2), KFbxVector4(1, 1, 0, 0));
    EXPECT_EQ(mesh.GetShape(1)->GetControlPointAt(2), KFbxVector4(2, 1.5, 0, 0));
    EXPECT_EQ(mesh.GetShape(1)->GetControlPointAt(1), KFbxVector4(1, 0, 0, 0));
    EXPECT_EQ(mesh.GetShape(2)->GetControlPointAt(3), KFbxVector4(0, 1, 0, 0));
}

TEST_F(ReaderTest, ShapesHoldWhatTheirRecordsMoveUntilAskedForAllTheirPoints) {
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    ASSERT_TRUE(Import(mFolder.Write("shapes.fbx", MeshWithShapes()), scene)) << mLastError;
    KFbxMesh* mesh = MeshOf(*scene);
    ASSERT_NE(mesh, nullptr);
    ExpectShapes(*mesh);
    for (int s = 0; s < mesh->GetShapeCount(); ++s) {
        EXPECT_TRUE(mesh->GetShape(s)->HasDeferredControlPoints());
    }

    // Writing reads the shapes point by point: they stay as the reader left them.
    for (int format : kFbx6WriterFormats) {
        SCOPED_TRACE(format);
        const std::string path = Path("shapes_again.fbx");
        ASSERT_TRUE(Export(scene, path, format));
        EXPECT_TRUE(mesh->GetShape(1)->HasDeferredControlPoints());
        KFbxScene* read = KFbxScene::Create(mManager, "r");
        ASSERT_TRUE(Import(path, read)) << mLastError;
        ASSERT_NE(MeshOf(*read), nullptr);
        ExpectShapes(*MeshOf(*read));
    }

    // Asked for all its points, a shape makes them whole, with the same values.
    KFbxShape* moved = mesh->GetShape(1);
    const KFbxVector4* points = moved->GetControlPoints();
    ASSERT_NE(points, nullptr);
    EXPECT_FALSE(moved->HasDeferredControlPoints());
    EXPECT_EQ(points[2], KFbxVector4(2, 1.5, 0, 0));
    EXPECT_EQ(points[0], KFbxVector4(0, 0, 0, 0));
    // A copy of a deferred shape stays deferred and equal.
    KFbxShape* copy = KFbxShape::Create(mManager, "copy");
    ASSERT_TRUE(copy->Copy(*mesh->GetShape(2)));
    EXPECT_TRUE(copy->HasDeferredControlPoints());
    EXPECT_EQ(copy->GetControlPointAt(3), KFbxVector4(0, 1, 0, 0));
    ExpectShapes(*mesh);
}

// A mesh of four points with a shape of each name, shape k moving point k
// by k + 1, a user property "Frown1" and a take animating "Smile".
std::string MeshWithNamedShapes(const std::vector<std::string>& names) {
    std::string text = std::string(kHeader) + "Objects:  {\n\tModel: \"Model::Face\", \"Mesh\" {\n"
                       "\t\tProperties60:  {\n\t\t\tProperty: \"Frown1\",\"double\",\"U\",5\n\t\t}\n"
                       "\t\tVertices: 0,0,0,1,0,0,1,1,0,0,1,0\n\t\tPolygonVertexIndex: 0,1,2,-4\n";
    for (std::size_t k = 0; k < names.size(); ++k) {
        text += "\t\tShape: \"" + names[k] + "\" {\n\t\t\tIndexes: " + std::to_string(k) + "\n\t\t\tVertices: 0,0," +
                std::to_string(k + 1) + "\n\t\t}\n";
    }
    return text + "\t}\n}\nConnections:  {\n\tConnect: \"OO\", \"Model::Face\", \"Model::Scene\"\n}\nTakes:  {\n"
                  "\tTake: \"Talk\" {\n\t\tModel: \"Model::Face\" {\n\t\t\tChannel: \"Smile\" {\n\t\t\t\tDefault: 40\n"
                  "\t\t\t}\n\t\t}\n\t}\n}\n";
}

TEST_F(ReaderTest, ShapesOfOneNameOrNoneAreReadUnderNamesOfTheirOwnAndKeepThem) {
    // Numbered past the names of later shapes ("Shape") and of the model's
    // property ("Frown1"); "Color" is the mesh's own property.
    const std::vector<std::string> rows[][2] = {{{"Smile", "Smile", "Smile"}, {"Smile", "Smile1", "Smile2"}},
                                                {{"", "", "Shape"}, {"Shape1", "Shape2", "Shape"}},
                                                {{"Color", "Frown", "Frown"}, {"Color1", "Frown", "Frown2"}}};
    // Read into a scene that holds the one before, which a first read into
    // a scene of its own tries, the warnings are told once all the same.
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    for (const auto& [names, given] : rows) {
        std::string told;
        for (std::size_t k = 0; k < 3; ++k) {
            const std::string why = names[k].empty()     ? "a shape needs a name"
                                    : names[k] == "Color" ? "the geometry has a property of that name"
                                                          : "an earlier shape of the geometry has that name";
            told += names[k] == given[k] ? "" : "The shape \"" + names[k] + "\" of \"Model::Face\" is read as \"" +
                                                    given[k] + "\": " + why + "\n";
        }
        ASSERT_TRUE(Import(mFolder.Write("named.fbx", MeshWithNamedShapes(names)), scene)) << mLastError;
        EXPECT_EQ(mLastMessage, told);
        // Two writes and reads in every mode, FBX 5 too, keep them without a word.
        for (int format : {kFbx6WriterFormats[0], kFbx6WriterFormats[1], kFbx6WriterFormats[2],
                           kFbx5WriterFormats[0], kFbx5WriterFormats[1]}) {
            KFbxScene* read = scene;
            for (int trip = 0; trip < 3; ++trip) {
                SCOPED_TRACE(given[1] + " " + std::to_string(format) + " trip " + std::to_string(trip));
                if (trip > 0) {
                    ASSERT_TRUE(Export(read, Path("named_again.fbx"), format));
                    read = KFbxScene::Create(mManager, "again");
                    ASSERT_TRUE(Import(Path("named_again.fbx"), read)) << mLastError;
                    EXPECT_EQ(mLastMessage, "");
                }
                KFbxMesh* mesh = MeshOf(*read);
                ASSERT_TRUE(mesh != nullptr && mesh->GetShapeCount() == 3);
                ASSERT_TRUE(mesh->GetNode()->SetCurrentTakeNodeByName("Talk"));
                EXPECT_TRUE(mesh->GetNode()->FindProperty("Frown1").IsValid());
                for (int k = 0; k < 3; ++k) {
                    const std::string& name = given[static_cast<std::size_t>(k)];
                    EXPECT_EQ(mesh->GetShapeName(k), name);
                    EXPECT_EQ(mesh->GetShape(k)->GetControlPointAt(k)[2], k + 1.0);
                    // The file's channel animates the shape that kept its name, no other.
                    EXPECT_EQ(mesh->GetShapeChannelValue(k), name == "Smile" ? 40.0 : 0.0);
                }
            }
        }
    }
}

// The SDK heap refuses every block above a size, as a full heap would.
class RefusingHeap {
public:
    explicit RefusingHeap(std::size_t largest) {
        sLargest = largest;
        SdkSetAllocators(&Malloc, &Calloc, &Realloc, &std::free);
    }
    ~RefusingHeap() { SdkSetAllocators(&std::malloc, &std::calloc, &std::realloc, &std::free); }
    RefusingHeap(const RefusingHeap&) = delete;
    RefusingHeap& operator=(const RefusingHeap&) = delete;

private:
    static void* Malloc(std::size_t size) { return size > sLargest ? nullptr : std::malloc(size); }
    static void* Calloc(std::size_t count, std::size_t size) {
        return size != 0 && count > sLargest / size ? nullptr : std::calloc(count, size);
    }
    static void* Realloc(void* block, std::size_t size) { return size > sLargest ? nullptr : std::realloc(block, size); }
    static inline std::size_t sLargest = 0;
};

// A mesh whose normals take 64 KB of layer element: more than the refusing heap gives.
std::string MeshWithManyNormals(const char* name) {
    std::string normals;
    for (int i = 0; i < 2048; ++i) normals += i == 0 ? "0,0,1" : ",0,0,1";
    return std::string(kHeader) + "Objects:  {\n\tModel: \"Model::" + name +
           "\", \"Mesh\" {\n"
           "\t\tVertices: 0,0,0,1,0,0,1,1,0\n\t\tPolygonVertexIndex: 0,1,-3\n"
           "\t\tLayerElementNormal: 0 {\n\t\t\tMappingInformationType: \"ByPolygonVertex\"\n"
           "\t\t\tReferenceInformationType: \"Direct\"\n\t\t\tNormals: " +
           normals +
           "\n\t\t}\n"
           "\t\tLayer: 0 {\n\t\t\tLayerElement:  {\n\t\t\t\tType: \"LayerElementNormal\"\n"
           "\t\t\t\tTypedIndex: 0\n\t\t\t}\n\t\t}\n\t}\n}\n";
}

// What the caller's scene holds, to be compared before and after.
std::vector<std::string> Contents(KFbxScene& scene) {
    std::vector<std::string> names;
    for (int i = 0; i < scene.GetNodeCount(); ++i) names.emplace_back(scene.GetNode(i)->GetName());
    names.push_back("children " + std::to_string(scene.GetRootNode()->GetChildCount()));
    names.push_back("objects " + std::to_string(scene.GetSrcObjectCount()));
    names.push_back("takes " + std::to_string(scene.GetTakeInfoCount()));
    return names;
}

TEST_F(ReaderTest, AReadThatRunsOutOfMemoryFailsAndLeavesTheSceneAsItWas) {
    const std::string path = mFolder.Write("normals.fbx", MeshWithManyNormals("Big"));
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    ASSERT_TRUE(Import(mFolder.Write("shapes.fbx", MeshWithShapes()), scene)) << mLastError;
    KFbxNode* kept = scene->FindNodeByName(KString("Face"));
    const std::vector<std::string> before = Contents(*scene);
    KFbxScene* empty = KFbxScene::Create(mManager, "e");
    const std::vector<std::string> emptyBefore = Contents(*empty);
    {
        RefusingHeap heap(16 * 1024);
        EXPECT_FALSE(Import(path, scene));
        EXPECT_EQ(mLastError, "Out of memory");
        EXPECT_FALSE(Import(path, empty));
        EXPECT_EQ(mLastError, "Out of memory");
    }
    EXPECT_EQ(Contents(*scene), before);
    EXPECT_EQ(scene->FindNodeByName(KString("Face")), kept);
    ASSERT_NE(MeshOf(*scene), nullptr);
    ExpectShapes(*MeshOf(*scene));
    EXPECT_EQ(Contents(*empty), emptyBefore);

    // With memory enough, the same file reads.
    ASSERT_TRUE(Import(path, scene)) << mLastError;
    EXPECT_NE(scene->FindNodeByName(KString("Big")), nullptr);
    EXPECT_EQ(scene->FindNodeByName(KString("Face")), nullptr);
}

// The process's address space capped, in a child process: a file whose
// content needs more than the cap fails to read, a file of shapes that
// would take gigabytes if each shape held all its mesh's points reads whole.
TEST_F(ReaderTest, UnderACappedAddressSpaceReadsFailCleanlyOrFit) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any cap leaves";
#else
    constexpr int kPoints = 4 * 1024 * 1024;  // 128 MB of points, 96 MB of read values
    std::string big = std::string(kHeader) + "Objects:  {\n\tModel: \"Model::Huge\", \"Mesh\" {\n\t\tVertices: ";
    big.reserve(big.size() + static_cast<std::size_t>(kPoints) * 6 + 64);
    for (int i = 0; i < kPoints; ++i) big += i == 0 ? "0,0,0" : ",0,0,0";
    big += "\n\t}\n}\n";
    const std::string bigPath = mFolder.Write("huge.fbx", big);
    std::string().swap(big);

    // 2000 shapes over 20 000 points and their normals, each shape moving
    // one point and its normal: 1.28 GB of points and as much of normals
    // held whole, a few KB as recorded.
    std::string shapes = std::string(kHeader) + "Objects:  {\n\tModel: \"Model::Many\", \"Mesh\" {\n\t\tVertices: ";
    for (int i = 0; i < 20000; ++i) shapes += i == 0 ? "0,0,0" : ",0,0,0";
    shapes += "\n\t\tLayerElementNormal: 0 {\n\t\t\tMappingInformationType: \"ByVertice\"\n"
              "\t\t\tReferenceInformationType: \"Direct\"\n\t\t\tNormals: ";
    for (int i = 0; i < 20000; ++i) shapes += i == 0 ? "0,0,1" : ",0,0,1";
    shapes += "\n\t\t}\n\t\tLayer: 0 {\n\t\t\tLayerElement:  {\n\t\t\t\tType: \"LayerElementNormal\"\n"
              "\t\t\t\tTypedIndex: 0\n\t\t\t}\n\t\t}\n";
    for (int s = 0; s < 2000; ++s) {
        shapes += "\t\tShape: \"S" + std::to_string(s) + "\" {\n\t\t\tIndexes: " + std::to_string(s) +
                  "\n\t\t\tVertices: 0,0,1\n\t\t\tNormals: 0,1,-1\n\t\t}\n";
    }
    shapes += "\t}\n}\n";
    const std::string shapesPath = mFolder.Write("many_shapes.fbx", shapes);

    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    ASSERT_TRUE(Import(mFolder.Write("shapes.fbx", MeshWithShapes()), scene)) << mLastError;
    const std::vector<std::string> before = Contents(*scene);

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t cap = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (64u << 20);
        const rlimit limit{cap, cap};
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(10);
        if (Import(bigPath, scene)) _exit(11);
        if (mLastError != "Out of memory") _exit(12);
        if (Contents(*scene) != before || MeshOf(*scene) == nullptr) _exit(13);
        if (!Import(shapesPath, scene)) _exit(14);
        KFbxNode* node = scene->FindNodeByName(KString("Many"));
        auto* mesh = node != nullptr ? dynamic_cast<KFbxMesh*>(node->GetNodeAttribute()) : nullptr;
        if (mesh == nullptr || mesh->GetShapeCount() != 2000) _exit(15);
        if (mesh->GetShape(1999)->GetControlPointAt(1999) != KFbxVector4(0, 0, 1, 0)) _exit(16);
        if (!mesh->GetShape(0)->HasDeferredNormals() || !mesh->GetShape(1999)->HasDeferredNormals()) _exit(17);
        const KFbxVector4* normals = mesh->GetShape(1999)->GetNormals();
        if (normals == nullptr || normals[1999] != KFbxVector4(0, 1, 0, 0) || normals[0] != KFbxVector4(0, 0, 1, 0)) {
            _exit(18);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 cap refused, 11 read, 12 error text, 13 scene changed, "
                                         "14 shapes refused, 15 shapes lost, 16 shape values, "
                                         "17 normals made whole, 18 normal values";
#endif
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
