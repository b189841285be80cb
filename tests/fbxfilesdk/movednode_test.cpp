// A node that a program moves by linking it under its new parent first and
// unlinking it from the old one after is written under the new parent, by
// each writer that keeps the tree, and read back there.
#include <fbxfilesdk/fbxfilesdk.h>

#include "formats/FormatsTestSupport.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace fbxsdk_2006_11_1;

TEST(MovedNode, IsWrittenUnderItsNewParent) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxScene* scene = KFbxScene::Create(manager.get(), "moved");
    const auto make = [&](const char* name, KFbxNode* parent) {
        KFbxNode* node = KFbxNode::Create(manager.get(), name);
        node->SetNodeAttribute(formatstest::MakePlainTriangle(*manager));
        parent->AddChild(node);
        return node;
    };
    KFbxNode* oldParent = make("A", scene->GetRootNode());
    KFbxNode* newParent = make("B", scene->GetRootNode());
    KFbxNode* moved = make("C", oldParent);
    EXPECT_TRUE(moved->ConnectDst(newParent));
    EXPECT_FALSE(moved->DisconnectDst(oldParent));
    // One of another scene's tree comes over to this one.
    KFbxNode* foreign = make("D", KFbxScene::Create(manager.get(), "other")->GetRootNode());
    EXPECT_TRUE(foreign->ConnectDst(newParent));

    ScratchFolder folder;
    const std::pair<int, const char*> writers[] = {{KFbxFileFormatRegistry::eFBX5_ASCII_WRITER, "moved.fbx"},
                                                   {KFbxFileFormatRegistry::eFBX_ASCII_WRITER, "moved6.fbx"},
                                                   {KFbxFileFormatRegistry::e3DS_WRITER, "moved.3ds"},
                                                   {KFbxFileFormatRegistry::eCOLLADA_WRITER, "moved.dae"}};
    for (const auto& [writer, file] : writers) {
        const std::string path = folder / file;
        KFbxExporter* exporter = KFbxExporter::Create(manager.get(), "");
        exporter->SetFileFormat(writer);
        EXPECT_TRUE(exporter->Initialize(path.c_str()) && exporter->Export(scene)) << file;
        KFbxScene* read = KFbxScene::Create(manager.get(), "read");
        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        EXPECT_TRUE(importer->Initialize(path.c_str()) && importer->Import(read)) << file;
        for (const char* name : {"C", "D"}) {
            const KFbxNode* readMoved = read->GetRootNode()->FindChild(name);
            const KFbxNode* parent = readMoved != nullptr ? readMoved->GetParent() : nullptr;
            EXPECT_STREQ(parent != nullptr ? parent->GetName() : "", "B") << file << name;
        }
        EXPECT_EQ(read->GetRootNode()->GetChildCount(true), 4) << file;
    }
}

// A node of one scene linked under a node of another scene's tree, with a
// child: the second scene's file keeps both where they are, and no link of
// either file (an FBX 6 connection, a pose's node, a skin's bone) names a
// node that file does not hold.
TEST(MovedNode, LinkedFromAnotherSceneIsWrittenWithTheTree) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxScene* scenes[] = {KFbxScene::Create(manager.get(), "second"), KFbxScene::Create(manager.get(), "first")};
    const auto make = [&](const char* name, KFbxNode* parent) {
        KFbxNode* node = KFbxNode::Create(manager.get(), name);
        KFbxMesh* mesh = formatstest::MakePlainTriangle(*manager);
        mesh->AddMaterial(KFbxSurfacePhong::Create(manager.get(), (std::string(name) + "Paint").c_str()));
        node->SetNodeAttribute(mesh);
        parent->AddChild(node);
        return node;
    };
    KFbxNode* linked = make("Linked", scenes[1]->GetRootNode());
    make("Child", linked);
    KFbxNode* holder = make("Holder", scenes[0]->GetRootNode());
    ASSERT_TRUE(holder->AddChild(linked));
    // A pose of the second scene that also holds a node only the first has.
    KFbxPose* pose = KFbxPose::Create(manager.get(), "Rest");
    KFbxNode* apart = make("Apart", scenes[1]->GetRootNode());
    EXPECT_TRUE(pose->Add(holder, KgeMatrix()) == 0 && pose->Add(apart, KgeMatrix()) == 1);
    scenes[0]->ConnectObject(pose);
    // And a skin whose bone is that node.
    KFbxCluster* cluster = KFbxCluster::Create(manager.get(), "Weights");
    cluster->SetLink(apart);
    cluster->AddControlPointIndex(0, 1.0);
    KFbxSkin* skin = KFbxSkin::Create(manager.get(), "Skin");
    skin->AddCluster(cluster);
    static_cast<KFbxMesh*>(holder->GetNodeAttribute())->AddDeformer(skin);

    ScratchFolder folder;
    const std::pair<int, const char*> writers[] = {
        {KFbxFileFormatRegistry::eFBX_ASCII_WRITER, "6.fbx"}, {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, "6b.fbx"},
        {KFbxFileFormatRegistry::eFBX5_ASCII_WRITER, "5.fbx"}, {KFbxFileFormatRegistry::e3DS_WRITER, ".3ds"},
        {KFbxFileFormatRegistry::eCOLLADA_WRITER, ".dae"}};
    for (const auto& [writer, suffix] : writers) {
        for (KFbxScene* scene : scenes) {
            const std::string path = folder / (scene->GetName() + std::string(suffix));
            KFbxExporter* exporter = KFbxExporter::Create(manager.get(), "");
            exporter->SetFileFormat(writer);
            EXPECT_TRUE(exporter->Initialize(path.c_str()) && exporter->Export(scene)) << path;
            std::ifstream in(path);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            // The objects after the link kind: "Kind::Name", with its record earlier in the file.
            for (std::size_t at = text.find("Connect: "); at != std::string::npos; at = text.find("Connect: ", at + 1)) {
                for (std::size_t open = text.find("\",\"", at); open < text.find('\n', at); open = text.find("\",\"", open + 1)) {
                    const std::string name = text.substr(open + 3, text.find('"', open + 3) - open - 3);
                    EXPECT_TRUE(name.find("::") == std::string::npos || name == "Model::Scene" ||
                                text.find(": \"" + name + "\"") < at) << path << ": " << name;
                }
            }
            EXPECT_TRUE(scene == scenes[1] || text.find("Apart") == std::string::npos) << path;
            // The moved subtree is the second scene's alone, with what it carries.
            EXPECT_TRUE(scene == scenes[0] || text.find("Linked") == std::string::npos) << path;
            EXPECT_TRUE(scene == scenes[1] || text.find("LinkedPaint") != std::string::npos) << path;
            if (writer == KFbxFileFormatRegistry::eFBX_ASCII_WRITER && scene == scenes[0]) {
                EXPECT_NE(text.find("NbPoseNodes: 1\n\t\tPoseNode:  {\n\t\t\tNode: \"Model::Holder\""), std::string::npos);
            }
        }
        KFbxScene* read = KFbxScene::Create(manager.get(), "read");
        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        const std::string path = folder / ("second" + std::string(suffix));
        EXPECT_TRUE(importer->Initialize(path.c_str()) && importer->Import(read)) << path;
        const KFbxNode* child = read->GetRootNode()->FindChild("Child");
        const KFbxNode* parent = child != nullptr ? child->GetParent() : nullptr;
        EXPECT_STREQ(parent != nullptr ? parent->GetName() : "", "Linked") << path;
        EXPECT_STREQ(parent != nullptr && parent->GetParent() ? parent->GetParent()->GetName() : "", "Holder") << path;
        const auto* mesh = parent != nullptr ? dynamic_cast<const KFbxMesh*>(parent->GetNodeAttribute()) : nullptr;
        EXPECT_TRUE(mesh != nullptr && mesh->GetPolygonCount() == 1) << path;
    }
}

namespace {

// What holds an object, by a link both ends know of or by one only the
// holder lists, in the object's scene or another.
struct Holding {
    const char* mName;
    // The holder and the object, each made in its scene.
    std::function<KFbxObject*(KFbxSdkManager&, KFbxScene&)> mHolder;
    std::function<KFbxObject*(KFbxSdkManager&, KFbxScene&)> mObject;
    // The holder's own call for a link both ends know of.
    std::function<bool(KFbxObject&, KFbxObject&)> mLink;
};

KFbxNode* NodeIn(KFbxSdkManager& manager, KFbxScene& scene, const char* name) {
    KFbxNode* node = KFbxNode::Create(&manager, name);
    scene.GetRootNode()->AddChild(node);
    return node;
}

KFbxMesh* MeshIn(KFbxSdkManager& manager, KFbxScene& scene, const char* name) {
    KFbxMesh* mesh = formatstest::MakePlainTriangle(manager);
    NodeIn(manager, scene, name)->SetNodeAttribute(mesh);
    return mesh;
}

template <class T>
KFbxObject* ListedIn(KFbxScene& scene, T* object) {
    scene.ConnectObject(object);
    return object;
}

// A shape of the plain triangle, one point moved.
KFbxShape* TriangleShape(KFbxSdkManager& manager, const char* name) {
    KFbxShape* shape = KFbxShape::Create(&manager, name);
    shape->InitControlPoints(3);
    shape->GetControlPoints()[2] = KFbxVector4(0, 2, 0, 1);
    return shape;
}

const Holding kHoldings[] = {
    {"node holds node", [](auto& m, auto& s) { return NodeIn(m, s, "Holder"); },
     [](auto& m, auto& s) { return NodeIn(m, s, "Held"); },
     [](KFbxObject& h, KFbxObject& o) { return static_cast<KFbxNode&>(h).AddChild(static_cast<KFbxNode*>(&o)); }},
    {"node holds attribute", [](auto& m, auto& s) { return NodeIn(m, s, "Holder"); },
     [](auto& m, auto& s) { return MeshIn(m, s, "Held"); },
     [](KFbxObject& h, KFbxObject& o) {
         return static_cast<KFbxNode&>(h).AddNodeAttribute(static_cast<KFbxNodeAttribute*>(&o));
     }},
    {"attribute holds material", [](auto& m, auto& s) { return MeshIn(m, s, "Holder"); },
     [](auto& m, auto& s) { return ListedIn(s, KFbxSurfacePhong::Create(&m, "Held")); },
     [](KFbxObject& h, KFbxObject& o) { return h.ConnectSrc(&o); }},
    {"attribute holds scene", [](auto& m, auto& s) { return MeshIn(m, s, "Holder"); },
     [](auto& m, auto&) { return KFbxScene::Create(&m, "Held"); },
     [](KFbxObject& h, KFbxObject& o) { return h.ConnectSrc(&o); }},
    {"material holds node", [](auto& m, auto& s) { return ListedIn(s, KFbxSurfaceLambert::Create(&m, "Holder")); },
     [](auto& m, auto& s) { return NodeIn(m, s, "Held"); },
     [](KFbxObject& h, KFbxObject& o) { return h.ConnectSrc(&o); }},
    {"pose holds node", [](auto& m, auto& s) { return ListedIn(s, KFbxPose::Create(&m, "Holder")); },
     [](auto& m, auto& s) { return NodeIn(m, s, "Held"); },
     [](KFbxObject& h, KFbxObject& o) {
         return static_cast<KFbxPose&>(h).Add(static_cast<KFbxNode*>(&o), KgeMatrix()) >= 0;
     }},
    {"constraint holds node", [](auto& m, auto& s) { return ListedIn(s, KFbxConstraintPosition::Create(&m, "Holder")); },
     [](auto& m, auto& s) { return NodeIn(m, s, "Held"); },
     [](KFbxObject& h, KFbxObject& o) { return static_cast<KFbxConstraint&>(h).AddConstraintSource(&o); }},
    {"scene holds material", [](auto&, auto& s) { return &s; },
     [](auto& m, auto&) { return KFbxSurfacePhong::Create(&m, "Held"); },
     [](KFbxObject& h, KFbxObject& o) { return static_cast<KFbxScene&>(h).ConnectObject(&o); }},
    {"cluster holds node", [](auto& m, auto& s) { return ListedIn(s, KFbxCluster::Create(&m, "Holder")); },
     [](auto& m, auto& s) { return NodeIn(m, s, "Held"); },
     [](KFbxObject& h, KFbxObject& o) {
         static_cast<KFbxCluster&>(h).SetLink(static_cast<KFbxNode*>(&o));
         static_cast<KFbxCluster&>(h).SetAssociateModel(static_cast<KFbxNode*>(&o));
         return static_cast<KFbxCluster&>(h).GetLink() == &o && static_cast<KFbxCluster&>(h).GetAssociateModel() == &o;
     }},
    {"character holds node", [](auto& m, auto& s) { return ListedIn(s, KFbxCharacter::Create(&m, "Holder")); },
     [](auto& m, auto& s) { return NodeIn(m, s, "Held"); },
     [](KFbxObject& h, KFbxObject& o) {
         KFbxCharacterLink link;
         link.mNode = static_cast<KFbxNode*>(&o);
         KFbxCharacter& character = static_cast<KFbxCharacter&>(h);
         KFbxControlSetLink fk;
         fk.mNode = link.mNode;
         return character.SetCharacterLink(0, link, true) && character.GetControlSet().SetControlSetLink(1, fk);
     }},
    // The layer element's own hold on what it names.
    {"layer element holds material", [](auto& m, auto& s) { return MeshIn(m, s, "Holder"); },
     [](auto& m, auto& s) { return ListedIn(s, KFbxSurfacePhong::Create(&m, "Held")); },
     [](KFbxObject& h, KFbxObject& o) {
         return static_cast<KFbxMesh&>(h).AddMaterial(static_cast<KFbxSurfaceMaterial*>(&o)) >= 0;
     }},
    {"layer element holds texture", [](auto& m, auto& s) { return MeshIn(m, s, "Holder"); },
     [](auto& m, auto& s) { return ListedIn(s, KFbxTexture::Create(&m, "Held")); },
     [](KFbxObject& h, KFbxObject& o) {
         return static_cast<KFbxMesh&>(h).AddTexture(static_cast<KFbxTexture*>(&o)) >= 0;
     }},
    // The geometry's own hold on its shapes, the held one before one it
    // keeps, which then moves down to its place.
    {"geometry holds shape", [](auto& m, auto& s) { return MeshIn(m, s, "Holder"); },
     [](auto& m, auto& s) { return ListedIn(s, TriangleShape(m, "Held")); },
     [](KFbxObject& h, KFbxObject& o) {
         auto& mesh = static_cast<KFbxMesh&>(h);
         return mesh.AddShape(static_cast<KFbxShape*>(&o), "HeldShape") == 0 &&
                mesh.AddShape(TriangleShape(*h.GetSdkManager(), "Kept"), "KeptShape") == 1;
     }},
};
// The rows after the others: the layer elements', then the shape's, which
// has no one-way link of its own.
constexpr int kFirstLayerElementHolding = static_cast<int>(std::size(kHoldings)) - 3;
constexpr int kShapeHolding = static_cast<int>(std::size(kHoldings)) - 1;

enum class Going { Object, Holder, Scene, Manager };

using Case = std::tuple<int, bool, bool, Going>;  // holding, one-way, another scene, what goes

// Every object the manager holds links only objects it holds, both ways
// for the links both ends list.
void ExpectNothingDangles(KFbxSdkManager& manager, const std::string& row) {
    std::set<const KFbxObject*> live;
    for (int i = 0; i < manager.GetObjectCount(); ++i) {
        live.insert(manager.GetObject(KFbxClassId(), i));
    }
    for (const KFbxObject* object : live) {
        for (int i = 0; i < object->GetSrcObjectCount(); ++i) {
            EXPECT_EQ(live.count(object->GetSrcObject(KFbxClassId(), i)), 1u) << row << " " << object->GetName();
        }
        for (int i = 0; i < object->GetDstObjectCount(); ++i) {
            const KFbxObject* dst = object->GetDstObject(KFbxClassId(), i);
            EXPECT_EQ(live.count(dst), 1u) << row << " " << object->GetName();
            EXPECT_TRUE(dst == nullptr || live.count(dst) == 0 || dst->IsConnectedSrc(object)) << row;
        }
    }
}

class LinkedObjectGoing : public ::testing::TestWithParam<Case> {};

// Whatever holds an object, by whatever link, in its scene or another, and
// whichever goes (the object, its holder, the scene, the manager), nothing
// left names what went, and every writer writes the scenes left.
TEST_P(LinkedObjectGoing, LeavesNothingDanglingAndTheScenesLeftWrite) {
    const auto [holdingIndex, oneWay, another, going] = GetParam();
    const Holding& holding = kHoldings[holdingIndex];
    const std::string row = std::string(holding.mName) + (oneWay ? " one-way" : "") + (another ? " another" : "") +
                            " " + std::to_string(static_cast<int>(going));
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxScene* scenes[] = {KFbxScene::Create(manager.get(), "first"), KFbxScene::Create(manager.get(), "second")};
    KFbxObject* holder = holding.mHolder(*manager, *scenes[0]);
    KFbxObject* object = holding.mObject(*manager, *scenes[another ? 1 : 0]);
    const bool linked = oneWay ? holder->GetInternalPlug()->ConnectSrc(object->GetInternalPlug(), KPlug::kConnectionOneWay)
                               : holding.mLink(*holder, *object);
    // One-way links are taken wherever the object need not hear of them.
    EXPECT_TRUE(linked || oneWay) << row;
    switch (going) {
        case Going::Object:
            object->Destroy();
            break;
        case Going::Holder:
            holder->Destroy();
            break;
        case Going::Scene:
            if (KFbxObject* scene = object->Is(KFbxScene::ClassId) ? object : object->GetScene()) {
                scene->Destroy();
            }
            break;
        case Going::Manager:
            manager.reset();
            return;
    }
    ExpectNothingDangles(*manager, row);
    const auto lives = [&manager](const KFbxObject* what) {
        for (int i = 0; i < manager->GetObjectCount(); ++i) {
            if (manager->GetObject(KFbxClassId(), i) == what) {
                return true;
            }
        }
        return false;
    };
    // Where the held shape went and its geometry stayed, the files hold the
    // shape kept, in its new place, and no trace of the other.
    const bool shapeLeft = holdingIndex == kShapeHolding && lives(holder) && !lives(object);
    ScratchFolder folder;
    const std::pair<int, const char*> writers[] = {
        {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, "6.fbx"}, {KFbxFileFormatRegistry::eFBX5_ASCII_WRITER, "5.fbx"},
        {KFbxFileFormatRegistry::eCOLLADA_WRITER, ".dae"},     {KFbxFileFormatRegistry::eOBJ_WRITER, ".obj"},
        {KFbxFileFormatRegistry::e3DS_WRITER, ".3ds"},         {KFbxFileFormatRegistry::eDXF_WRITER, ".dxf"}};
    for (KFbxScene* scene : scenes) {
        if (!lives(scene)) {
            continue;
        }
        for (const auto& [writer, suffix] : writers) {
            const std::string path = folder / (scene->GetName() + std::string(suffix));
            KFbxExporter* exporter = KFbxExporter::Create(manager.get(), "");
            exporter->SetFileFormat(writer);
            EXPECT_TRUE(exporter->Initialize(path.c_str()) && exporter->Export(scene)) << row << " " << path;
            exporter->Destroy();
            if (shapeLeft && scene == scenes[0]) {
                std::ifstream in(path, std::ios::binary);
                const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                EXPECT_EQ(text.find("Held"), std::string::npos) << row << " " << path;
                const bool writesShapes = writer == KFbxFileFormatRegistry::eFBX_BINARY_WRITER ||
                                          writer == KFbxFileFormatRegistry::eFBX5_ASCII_WRITER ||
                                          writer == KFbxFileFormatRegistry::eCOLLADA_WRITER;
                EXPECT_EQ(text.find("KeptShape") != std::string::npos, writesShapes) << row << " " << path;
            }
        }
    }
    ExpectNothingDangles(*manager, row);
}

const auto kWays = ::testing::Values(Going::Object, Going::Holder, Going::Scene, Going::Manager);
INSTANTIATE_TEST_SUITE_P(LayerElementHolders, LinkedObjectGoing,
                         ::testing::Combine(::testing::Range(kFirstLayerElementHolding, kShapeHolding),
                                            ::testing::Bool(), ::testing::Bool(), kWays));
INSTANTIATE_TEST_SUITE_P(ShapeHolders, LinkedObjectGoing,
                         ::testing::Combine(::testing::Values(kShapeHolding), ::testing::Values(false),
                                            ::testing::Bool(), kWays));
INSTANTIATE_TEST_SUITE_P(EveryHolderAndWay, LinkedObjectGoing,
                         ::testing::Combine(::testing::Range(0, kFirstLayerElementHolding), ::testing::Bool(),
                                            ::testing::Bool(), kWays));

}  // namespace
