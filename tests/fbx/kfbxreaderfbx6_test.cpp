// The FBX 6 reader reads back what the FBX 6 writer writes, in every file
// mode, and refuses what it must refuse with its own message.
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFileHeaderInfo.h>
#include <fbxfilesdk/fbx/KFbxReader.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalTimeSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>

#include "RichScene.h"
#include "ReaderTestSupport.h"
#include "SceneComparison.h"
#include "StableRoundTrip.h"
#include "support/BoundedRun.h"
#include "support/FolderSwap.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <utility>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fbxsdk_2006_11_1::readertest {
namespace {

using scenecompare::SceneComparison;

class RichRoundTrip : public ReaderTest, public ::testing::WithParamInterface<int> {
protected:
    // The scene written in the mode under test and read back, expected to be
    // the source again; null when either step failed.
    KFbxScene* ReadBackAsWritten(KFbxScene& source, const std::string& path) {
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        const bool done = Export(&source, path, GetParam()) && Import(path, read);
        EXPECT_TRUE(done) << mLastError;
        // Every object the definitions announce is there.
        EXPECT_EQ(mLastMessage, "");
        const std::vector<std::string> differences = DifferencesFromSource(source, *read);
        EXPECT_TRUE(differences.empty()) << SceneComparison::Join(differences);
        return done ? read : nullptr;
    }
};

TEST_P(RichRoundTrip, ReadsBackTheSceneItWrote) {
    ReadBackAsWritten(*richscene::Build(mManager, mFolder.Path().string()), Path("rich.fbx"));
}

TEST_P(RichRoundTrip, GlobalTransformsMatchOverTheTake) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    const std::string path = Path("rich.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(path, read)) << mLastError;
    ASSERT_STREQ(read->GetCurrentTakeName(), source->GetCurrentTakeName());

    for (const char* name : {"Hip", "Knee", "Body", "Eye", "Dot"}) {
        KFbxNode* a = source->FindNodeByName(KString(name));
        KFbxNode* b = read->FindNodeByName(KString(name));
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr) << name;
        for (int step = 0; step <= 30; ++step) {
            const KTime time = richscene::Seconds(step * 2.0 / 30.0);
            const KgeMatrix expected = a->EvaluateGlobalTransform(time);
            const KgeMatrix actual = b->EvaluateGlobalTransform(time);
            EXPECT_EQ(KgeMatrix::CompareWithTolerance(expected, actual, 1e-6), 0) << name << " at step " << step;
        }
    }
}

TEST_P(RichRoundTrip, ASkinnedMeshSharedByTwoNodesKeepsItsSkinOnEach) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    KFbxNode* body = source->FindNodeByName(KString("Body"));
    KFbxNode* twin = richscene::AddNode(mManager, source->GetRootNode(), "Twin", body->GetNodeAttribute());
    for (const KFbxClassId& id : {KFbxSurfaceMaterial::ClassId, KFbxTexture::ClassId}) {
        for (int i = 0; i < body->GetSrcObjectCount(id); ++i) {
            twin->ConnectSrc(body->GetSrcObject(id, i));
        }
    }
    const std::string path = Path("twins.fbx");
    KFbxScene* read = ReadBackAsWritten(*source, path);
    ASSERT_NE(read, nullptr);
    // Each node's copy of the mesh has the file's one skin.
    auto skinOf = [read](const char* name) {
        return static_cast<KFbxGeometry*>(read->FindNodeByName(KString(name))->GetNodeAttribute())->GetDeformer(0);
    };
    EXPECT_EQ(skinOf("Body"), skinOf("Twin"));
    if (GetParam() == KFbxFileFormatRegistry::eFBX_ASCII_WRITER) {
        std::ifstream in(path);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto count = [&text](const std::string& what) {
            std::size_t found = 0;
            for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++found;
            return found;
        };
        // One link of the skin to each model, and every other link once.
        for (const char* link : {"\"Deformer::Skin Body\",\"Model::Body\"", "\"Deformer::Skin Body\",\"Model::Twin\"",
                                 "\"SubDeformer::Cluster Hip\",\"Deformer::Skin Body\"",
                                 "\"Model::Hip\",\"SubDeformer::Cluster Hip\""}) {
            EXPECT_EQ(count(std::string("Connect: \"OO\",") + link), 1u) << link;
        }
    }
}

// The switcher's name and each node's with its parent's, in the scene's
// order, then the switcher's camera count.
std::string SwitcherAndLayout(const KFbxScene& scene) {
    std::string text = std::string("switcher ") + scene.GetCameraSwitcherNode()->GetName() + ":";
    for (int i = 0; i < scene.GetNodeCount(); ++i) {
        const KFbxNode* parent = scene.GetNode(i)->GetParent();
        text += std::string(" ") + scene.GetNode(i)->GetName() + "<" + (parent ? parent->GetName() : "") + ">";
    }
    const auto* switcher = static_cast<const KFbxCameraSwitcher*>(scene.GetCameraSwitcherNode()->GetNodeAttribute());
    return text + " " + std::to_string(switcher->GetCameraNameCount());
}

// Writes as the FBX 6 writers did before they gave the scene's switcher the
// name files know it by: every node, the switcher too, under its own name.
class OlderFbx6Writer : public KFbxWriterFbx6 {
public:
    using KFbxWriterFbx6::KFbxWriterFbx6;
    bool PreprocessScene(KFbxScene& scene) override {
        std::vector<std::pair<KFbxNode*, KString>> names;
        for (int i = 0; i < scene.GetNodeCount(); ++i) {
            names.emplace_back(scene.GetNode(i), scene.GetNode(i)->GetName());
        }
        const bool done = KFbxWriterFbx6::PreprocessScene(scene);
        for (const auto& [node, name] : names) {
            node->SetName(name.Buffer());
        }
        return done;
    }
};

// Files of the older writers, and files that link models under the switcher
// or the switcher under the root, read as they did: a switcher model that a
// connection puts under a model other than the root is a node there; of the
// others, the one of the writers' name, else the first that no connection
// names, else the first, is the scene's switcher with its cameras, and what
// the file links under it goes under the root. Trip after trip, the nodes and
// their parents stay.
TEST_P(RichRoundTrip, TheSwitcherOfAnOlderWritersFileIsTheScenes) {
    struct Case {
        const char* mSwitcherName;
        const char* mStrayUnder;  // a second switcher node: none, beside the tree (""), or under the node named
        const char* mStageLinks;  // the ascii file's links in place of Stage's under the root; none to keep the file
        const char* mLayout;
        const char* mTripLayout;
        const char* mStrayName = "Camera Switcher";
        const char* mStrayChild = nullptr;  // a node under the second switcher
        bool mSwitcherLast = false;          // the ascii file's switcher model moved after the other models
    };
    const char* const kAsWritten =
        "switcher Camera Switcher: RootNode<> Camera Switcher<> Stage<RootNode> Prop<Stage> 3";
    // Renamed; beside an unlinked model of the writers' name; a model linked
    // under it; linked under the root; under a model; beside one under a model;
    // linked nowhere, after one under the root that holds a model.
    const Case kCases[] = {
        {"Director", nullptr, nullptr, "switcher Director: RootNode<> Director<> Stage<RootNode> Prop<Stage> 3",
         kAsWritten},
        {"Director", "", nullptr,
         "switcher Camera Switcher: RootNode<> Camera Switcher<> Director<RootNode> Stage<RootNode> Prop<Stage> 0",
         nullptr},
        {"Camera Switcher", nullptr, "\"Model::Stage\",\"Model::Camera Switcher\"", kAsWritten, nullptr},
        {"Camera Switcher", nullptr,
         "\"Model::Camera Switcher\",\"Model::Scene\"\n\tConnect: \"OO\",\"Model::Stage\",\"Model::Scene\"",
         kAsWritten, nullptr},
        {"Director", nullptr,
         "\"Model::Stage\",\"Model::Scene\"\n\tConnect: \"OO\",\"Model::Director\",\"Model::Prop\"",
         "switcher Camera Switcher: RootNode<> Camera Switcher<> Director<Prop> Stage<RootNode> Prop<Stage> 0",
         nullptr},
        {"Director", "Prop", nullptr,
         "switcher Director: RootNode<> Director<> Stage<RootNode> Prop<Stage> Camera Switcher<Prop> 3",
         "switcher Camera Switcher: RootNode<> Camera Switcher<> Stage<RootNode> Prop<Stage> Camera Switcher1<Prop> 3"},
        {"Director", "RootNode", nullptr,
         "switcher Director: RootNode<> Director<> Stage<RootNode> Prop<Stage> Stray<RootNode> X<Stray> 3",
         "switcher Camera Switcher: RootNode<> Camera Switcher<> Stage<RootNode> Prop<Stage> Stray<RootNode> X<Stray> 3",
         "Stray", "X", true},
    };
    for (const Case& row : kCases) {
        KFbxScene* scene = KFbxScene::Create(mManager, "older");
        scene->GetCameraSwitcherNode()->SetName(row.mSwitcherName);
        auto* switcher = static_cast<KFbxCameraSwitcher*>(scene->GetCameraSwitcherNode()->GetNodeAttribute());
        for (const char* camera : {"Left", "Right", "Top"}) {
            switcher->AddCameraName(camera);
        }
        KFbxNode* stage = richscene::AddNode(mManager, scene->GetRootNode(), "Stage", nullptr);
        KFbxNode* prop = richscene::AddNode(mManager, stage, "Prop", nullptr);
        if (row.mStrayUnder != nullptr) {
            KFbxNode* stray = KFbxNode::Create(mManager, row.mStrayName);
            stray->SetNodeAttribute(KFbxCameraSwitcher::Create(mManager, ""));
            scene->ConnectObject(stray);
            if (*row.mStrayUnder != '\0') {
                (row.mStrayUnder == std::string("Prop") ? prop : scene->GetRootNode())->AddChild(stray);
            }
            if (row.mStrayChild != nullptr) {
                richscene::AddNode(mManager, stray, row.mStrayChild, nullptr);
            }
        }
        OlderFbx6Writer writer(*mManager, nullptr);
        const bool edited = row.mStageLinks != nullptr || row.mSwitcherLast;
        writer.SetFileMode(edited || GetParam() == KFbxFileFormatRegistry::eFBX_ASCII_WRITER
                               ? KFbxWriterFbx6::eASCII
                           : GetParam() == KFbxFileFormatRegistry::eFBX_BINARY_WRITER ? KFbxWriterFbx6::eBINARY
                                                                                       : KFbxWriterFbx6::eENCRYPTED);
        KFbxStreamOptions* options = writer.GetWriteOptions();
        const std::string path = Path("older.fbx");
        ASSERT_TRUE(writer.FileCreate(path.c_str()) && writer.Write(scene, options) && writer.FileClose());
        options->Destroy();
        std::string text = edited ? stableroundtrip::ReadFile(path) : "";
        if (row.mStageLinks != nullptr) {
            const std::string link = "\"Model::Stage\",\"Model::Scene\"";
            ASSERT_NE(text.find(link), std::string::npos);
            text.replace(text.find(link), link.size(), row.mStageLinks);
        }
        if (row.mSwitcherLast) {
            const std::size_t begin = text.find(std::string("\tModel: \"Model::") + row.mSwitcherName + "\"");
            const std::size_t end = text.find("\n\t}\n", begin) + 4;
            const std::size_t objectsEnd = text.find("\n}\n", text.find("Objects:")) + 1;
            ASSERT_LT(end, objectsEnd);
            const std::string record = text.substr(begin, end - begin);
            text.insert(objectsEnd, record);
            text.erase(begin, end - begin);
        }
        if (edited) {
            mFolder.Write("older.fbx", text);
        }
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        ASSERT_TRUE(Import(path, read)) << mLastError;
        EXPECT_EQ(SwitcherAndLayout(*read), row.mLayout);
        const char* tripLayout = row.mTripLayout != nullptr ? row.mTripLayout : row.mLayout;
        stableroundtrip::WriteReadTimes(*mManager, *read, mFolder.Path(), GetParam(), 2, [&](KFbxScene& trip) {
            EXPECT_EQ(SwitcherAndLayout(trip), tripLayout) << row.mLayout;
        });
    }
}

// Only the scene's own switcher stands beside the tree: a node of the tree
// that carries a switcher (a copy of the scene's, or one given it) keeps its
// place and its child, and the scene's switcher, renamed, is written under
// its first name; trip after trip, no node is lost or added.
TEST_P(RichRoundTrip, NodesCarryingASwitcherKeepTheirPlaceInTheTree) {
    KFbxScene* scene = KFbxScene::Create(mManager, "switchers");
    KFbxNode* given = KFbxNode::Create(mManager, "Given");
    given->SetNodeAttribute(KFbxCameraSwitcher::Create(mManager, ""));
    for (KFbxNode* node : {scene->GetCameraSwitcherNode()->Clone(2), given}) {
        scene->GetRootNode()->AddChild(node);
        node->AddChild(KFbxNode::Create(mManager, (KString(node->GetName()) + " child").Buffer()));
    }
    scene->GetCameraSwitcherNode()->SetName("Cuts");
    std::vector<std::string> layouts;
    stableroundtrip::WriteReadTimes(*mManager, *scene, mFolder.Path(), GetParam(), 3, [&](KFbxScene& read) {
        const std::string text = SwitcherAndLayout(read);
        EXPECT_EQ(read.GetNodeCount(), 6) << text;
        layouts.push_back(text);
    });
    ASSERT_EQ(layouts.size(), 3u);
    EXPECT_EQ(layouts[0].rfind("switcher Camera Switcher:", 0), 0u) << layouts[0];
    EXPECT_TRUE(layouts[0] == layouts[1] && layouts[1] == layouts[2]) << layouts[0] << "\n" << layouts[2];
    EXPECT_STREQ(scene->GetCameraSwitcherNode()->GetName(), "Cuts");
}

INSTANTIATE_TEST_SUITE_P(Modes, RichRoundTrip, ::testing::ValuesIn(kFbx6WriterFormats), WriterFormatName);

TEST_F(ReaderTest, ObjectsOutsideTheHierarchyAndSettingsComeBack) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    KFbxGlobalTimeSettings& time = source->GetGlobalTimeSettings();
    time.SetTimeMode(KTime::eFrames24);
    time.SetTimelineDefaultTimeSpan(KTimeSpan(richscene::Seconds(-1.0), richscene::Seconds(9.5)));
    source->GetGlobalCameraSettings().SetDefaultCamera("Producer Top");
    source->GetGlobalCameraSettings().SetDefaultViewingMode(KFbxGlobalCameraSettings::eXRAY);
    source->GetGlobalLightSettings().SetAmbientColor(KFbxColor(0.25, 0.5, 0.75, 1.0));
    source->GetGlobalLightSettings().SetFogEnable(true);
    source->GetGlobalLightSettings().SetFogMode(KFbxGlobalLightSettings::eEXPONENTIAL);
    source->GetGlobalLightSettings().SetFogEnd(321.0);
    const std::string path = Path("others.fbx");
    ASSERT_TRUE(Export(source, path, KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(path, read)) << mLastError;

    ASSERT_EQ(read->GetGenericNodeCount(), 1);
    EXPECT_STREQ(read->GetGenericNode(0)->GetName(), "Settings");
    ASSERT_EQ(read->GetSrcObjectCount(KFbxCache::ClassId), 1);
    EXPECT_STREQ(read->GetSrcObject(KFbxCache::ClassId, 0)->GetName(), "Bake");
    ASSERT_EQ(read->GetSrcObjectCount(KFbxGeometryWeightedMap::ClassId), 1);
    auto* map = static_cast<KFbxGeometryWeightedMap*>(read->GetSrcObject(KFbxGeometryWeightedMap::ClassId, 0));
    ASSERT_NE(map->GetValues(), nullptr);
    EXPECT_EQ(map->GetValues()->GetElementCount(KFbxWeightedMapping::eSOURCE), 3);
    EXPECT_EQ(map->GetValues()->GetElementCount(KFbxWeightedMapping::eDESTINATION), 2);
    EXPECT_EQ(map->GetValues()->GetRelation(KFbxWeightedMapping::eSOURCE, 0, 0).mIndex, 1);
    EXPECT_EQ(map->GetValues()->GetRelation(KFbxWeightedMapping::eSOURCE, 2, 0).mWeight, 0.25);
    EXPECT_EQ(map->GetValues()->GetRelations(KFbxWeightedMapping::eSOURCE, 1), 0);

    EXPECT_EQ(read->GetGlobalTimeSettings().GetTimeMode(), KTime::eFrames24);
    KTimeSpan span;
    read->GetGlobalTimeSettings().GetTimelineDefaultTimeSpan(span);
    EXPECT_EQ(span.GetStart(), richscene::Seconds(-1.0));
    EXPECT_EQ(span.GetStop(), richscene::Seconds(9.5));
    EXPECT_STREQ(read->GetGlobalCameraSettings().GetDefaultCamera(), "Producer Top");
    EXPECT_EQ(read->GetGlobalCameraSettings().GetDefaultViewingMode(), KFbxGlobalCameraSettings::eXRAY);
    const KFbxGlobalLightSettings& light = read->GetGlobalLightSettings();
    EXPECT_EQ(light.GetAmbientColor().mBlue, 0.75);
    EXPECT_TRUE(light.GetFogEnable());
    EXPECT_EQ(light.GetFogMode(), KFbxGlobalLightSettings::eEXPONENTIAL);
    EXPECT_EQ(light.GetFogEnd(), 321.0);

    // The camera's own fields, outside its properties.
    auto* camera = dynamic_cast<KFbxCamera*>(read->FindNodeByName(KString("Eye"))->GetNodeAttribute());
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->GetLookAt()[1], 6.0);
    EXPECT_EQ(camera->GetUpVector()[2], 1.0);
    EXPECT_EQ(camera->GetOrthoZoom(), 3.5);
    auto* marker = dynamic_cast<KFbxMarker*>(read->FindNodeByName(KString("Dot"))->GetNodeAttribute());
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->GetType(), KFbxMarker::eOPTICAL);
}

// The comparison itself notices a change, so an empty list means something.
TEST_F(ReaderTest, SceneComparisonSeesChanges) {
    KFbxScene* a = richscene::Build(mManager, mFolder.Path().string());
    KFbxScene* b = richscene::Build(mManager, mFolder.Path().string());
    EXPECT_TRUE(SceneComparison::Compare(*a, *b).empty()) << SceneComparison::Join(SceneComparison::Compare(*a, *b));
    b->FindNodeByName(KString("Knee"))->SetLclTranslation(KFbxVector4(0.0, -4.0, 0.75, 0.0));
    auto* mesh = static_cast<KFbxMesh*>(b->FindNodeByName(KString("Body"))->GetNodeAttribute());
    mesh->GetControlPoints()[3][0] += 1e-12;
    mesh->GetLayer(0)->GetMaterials()->GetIndexArray().SetAt(0, 1);
    const std::vector<std::string> differences = SceneComparison::Compare(*a, *b);
    EXPECT_EQ(differences.size(), 3u) << SceneComparison::Join(differences);
}

// The binary modes that embed media, FBX 5's too: both readers extract.
class EmbeddedVideoContent : public ReaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(EmbeddedVideoContent, IsExtractedWhenItsFileIsGone) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    // A second texture of the same file name, with other bytes.
    std::filesystem::create_directory(Path("more"));
    const std::string stones = "other bytes, same name";
    mFolder.Write("more/bricks.tif", stones);
    KFbxTexture* texture = KFbxTexture::Create(mManager, "Stones");
    texture->SetFileName(Path("more/bricks.tif").c_str());
    source->FindNodeByName(KString("Body"))->ConnectSrc(texture);
    KFbxVideo* video = KFbxVideo::Create(mManager, "StonesClip");
    video->SetFileName(Path("more/bricks.tif").c_str());
    texture->SetMediaName("StonesClip");
    texture->ConnectSrc(video);
    // The glow texture has no video: the writer makes it one, which names
    // its file but is not linked to it.
    const std::string glow = mFolder.Write("glow.tif", "a glowing texture's bytes");
    KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
    options->SetOption("EMBEDDED", true);
    std::filesystem::create_directory(Path("model"));
    const std::string path = Path("model/embedded.fbx");
    ASSERT_TRUE(Export(source, path, GetParam(), options));
    // Its group may read it, others not: so may they its media.
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    const std::string bricks = mFolder.Read("bricks.tif");
    std::filesystem::remove(Path("bricks.tif"));
    std::filesystem::remove(Path("more/bricks.tif"));
    std::filesystem::remove(glow);
    const std::string folder = Path("model/embedded.fbm");
    const std::string target = folder + "/bricks.tif";
    const std::string second = folder + "/bricks1.tif";
    std::filesystem::create_directory(Path("outside"));
    std::filesystem::create_directory(Path("elsewhere"));
    const std::string taken = "something that is not a regular file has its name there";
    const bool fbx5 = GetParam() == KFbxFileFormatRegistry::eFBX5_BINARY_WRITER;
    enum class Inode { eAny, eKept, eNew };
    // When the model's folder becomes a link to "outside".
    enum class ModelSwap { eNone, eAtOpen, eBeforeImport };
    // The model's folder gives its own group to what is made in it, another
    // than the model's; the import runs as us or as a user who may not give
    // files the model's group (who owns the model and its folder).
    enum class Groups { eOwn, eFolders, eFoldersAsUser };
    constexpr gid_t kModelGroup = 4321;
    constexpr gid_t kFolderGroup = 4322;
    constexpr uid_t kUser = 4323;
    constexpr gid_t kUserGroup = 4324;
    constexpr uid_t kOther = 65534;
    struct Row {
        const char* mWhat;
        std::function<void()> mPrepare;
        // Why neither medium is extracted; empty when both are.
        std::string mWhy;
        Inode mInode = Inode::eAny;
        // The folder is swapped for a link as the first file is made in it,
        // and files are limited to fewer bytes than either medium.
        bool mSwapAndLimit = false;
        // Files are so limited, SIGXFSZ left to end the process, that a
        // medium fails; it ends nothing.
        bool mKilledAtLimit = false;
        ModelSwap mModelSwap = ModelSwap::eNone;
        Groups mGroups = Groups::eOwn;
        // The model's folder's mode, and how many media folders, numbered
        // after the first, another user made there beforehand; the media
        // folder the media then go into.
        unsigned mModelMode = 0755;
        unsigned mOthersFolders = 0;
        const char* mMedia = "embedded.fbm";
    };
    const Row rows[] = {
        {"an empty media folder", [] {}, ""},
        {"no media folder yet", [&] { std::filesystem::remove(folder); }, ""},
        {"the bytes of the texture embedded before",
         [&] { mFolder.Write("model/embedded.fbm/bricks.tif", "old bricks"); }, "", Inode::eNew},
        {"the very bytes embedded", [&] { mFolder.Write("model/embedded.fbm/bricks.tif", bricks); }, "", Inode::eKept},
        {"another model's file of the second's name",
         [&] { mFolder.Write("model/embedded.fbm/bricks1.tif", "another model's"); }, ""},
        {"a link to an outside file", [&] { std::filesystem::create_symlink(Path("victim.txt"), target); }, taken},
        {"a FIFO", [&] { mkfifo(target.c_str(), 0600); }, taken},
        {"a link put in the medium's place while it is written",
         [&] {
             folderswap::AtNextCreate([&] {
                 [[maybe_unused]] const int linked = symlink(Path("victim.txt").c_str(), target.c_str());
             });
         },
         taken},
        {"a media folder that is a link",
         [&] {
             std::filesystem::remove(folder);
             std::filesystem::create_directory_symlink(Path("outside"), folder);
         },
         "the media folder is a link or not a folder"},
        {"a write cut short while the folder became a link",
         [&] { folderswap::SwapAtNextCreate(folder, Path("moved"), Path("elsewhere")); }, "it could not be written",
         Inode::eAny, true},
        {"a medium past the size limit, SIGXFSZ left to end the import", [] {}, "", Inode::eAny, false, true},
        {"the model's folder made a link once the model is read", [] {}, "", Inode::eAny, false, false,
         ModelSwap::eBeforeImport},
        {"the model's folder made a link as the model is opened",
         [&] { folderswap::AtOpenOf(path, folderswap::Swap(Path("model"), Path("model-moved"), Path("outside"))); },
         "", Inode::eAny, false, false, ModelSwap::eAtOpen},
        {"the model's folder made a link as the model is opened, to a folder with a link to the model of its name",
         [&] {
             std::filesystem::create_symlink(Path("model-moved/embedded.fbx"), Path("outside/embedded.fbx"));
             folderswap::AtOpenOf(path, folderswap::Swap(Path("model"), Path("model-moved"), Path("outside")));
         },
         "", Inode::eAny, false, false, ModelSwap::eAtOpen},
        {"a media folder that gives its group",
         [&] {
             ASSERT_EQ(chown(folder.c_str(), getuid(), kFolderGroup), 0);
             std::filesystem::permissions(folder, std::filesystem::perms(02755));
         },
         "", Inode::eAny, false, false, ModelSwap::eNone, Groups::eFolders},
        {"a model folder that gives its group", [&] { std::filesystem::remove(folder); }, "", Inode::eAny, false,
         false, ModelSwap::eNone, Groups::eFolders},
        {"a model folder that gives its group, to a user outside the model's",
         [&] { std::filesystem::remove(folder); }, "", Inode::eAny, false, false, ModelSwap::eNone,
         Groups::eFoldersAsUser},
        {.mWhat = "a media folder of another user in a sticky folder all may write", .mPrepare = [] {}, .mWhy = "",
         .mModelMode = 01777, .mOthersFolders = 1, .mMedia = "embedded1.fbm"},
        {.mWhat = "a media folder of another user, then a link of theirs, in a folder all may write",
         .mPrepare =
             [&] {
                 std::filesystem::create_directory_symlink(Path("outside"), Path("model/embedded1.fbm"));
                 ASSERT_EQ(lchown(Path("model/embedded1.fbm").c_str(), kOther, kOther), 0);
             },
         .mWhy = "", .mModelMode = 0777, .mOthersFolders = 1, .mMedia = "embedded2.fbm"},
        {.mWhat = "a media folder of our own in a sticky folder all may write", .mPrepare = [] {}, .mWhy = "",
         .mModelMode = 01777},
        {.mWhat = "a media folder of another user in a folder its group may write", .mPrepare = [] {}, .mWhy = "",
         .mModelMode = 02775, .mOthersFolders = 1},
        {.mWhat = "every media folder tried another user's in a sticky folder all may write", .mPrepare = [] {},
         .mWhy = "the media folder and its numbered names tried are other users' or no folders",
         .mModelMode = 01777, .mOthersFolders = 1000},
    };
    const auto modeOf = [](const std::string& file) {
        struct stat info {};
        return lstat(file.c_str(), &info) == 0 ? info.st_mode & 07777 : 0u;
    };
    const auto groupOf = [](const std::string& file) {
        struct stat info {};
        return lstat(file.c_str(), &info) == 0 ? info.st_gid : gid_t(-1);
    };
    const auto ownerOf = [](const std::string& file) {
        struct stat info {};
        return lstat(file.c_str(), &info) == 0 ? info.st_uid : uid_t(-1);
    };
    // As the test made them, owned by us.
    const auto restoreOwners = [&] {
        for (const std::string& file : {path, Path("model"), Path("read.txt")}) {
            [[maybe_unused]] const int owned = chown(file.c_str(), getuid(), getgid());
        }
        std::filesystem::permissions(Path("model"), std::filesystem::perms(0755));
    };
    // The model's folder back in its place after a row swapped it.
    const auto restoreModel = [&] {
        if (std::filesystem::is_directory(Path("model-moved"))) {
            std::filesystem::remove(Path("model"));
            std::filesystem::rename(Path("model-moved"), Path("model"));
        }
    };
    const auto numberedFolder = [&](unsigned number) {
        return Path(("model/embedded" + (number == 0 ? std::string() : std::to_string(number)) + ".fbm").c_str());
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mWhat);
        restoreModel();
        restoreOwners();
        for (unsigned number = 0; std::filesystem::exists(std::filesystem::symlink_status(numberedFolder(number)));
             ++number) {
            std::filesystem::remove_all(numberedFolder(number));
        }
        std::filesystem::remove_all(Path("moved"));
        std::filesystem::remove(Path("outside/embedded.fbx"));
        std::filesystem::create_directory(folder);
        mFolder.Write("victim.txt", "keep me");
        mFolder.Write("elsewhere/bricks.tif", "unrelated");
        if (row.mGroups != Groups::eOwn) {
            // Only the system's administrator gives files away.
            if (geteuid() != 0) continue;
            const uid_t owner = row.mGroups == Groups::eFoldersAsUser ? kUser : getuid();
            mFolder.Write("read.txt", "");
            ASSERT_EQ(chown(path.c_str(), owner, kModelGroup), 0);
            ASSERT_EQ(chown(Path("model").c_str(), owner, kFolderGroup), 0);
            ASSERT_EQ(chown(Path("read.txt").c_str(), owner, kUserGroup), 0);
            std::filesystem::permissions(Path("model"), std::filesystem::perms(02755));
        }
        if (row.mOthersFolders != 0 || row.mModelMode != 0755) {
            if (geteuid() != 0) continue;
            std::filesystem::permissions(Path("model"), std::filesystem::perms(row.mModelMode));
            for (unsigned number = 0; number < row.mOthersFolders; ++number) {
                std::filesystem::create_directory(numberedFolder(number));
                std::filesystem::permissions(numberedFolder(number), std::filesystem::perms(0777));
                ASSERT_EQ(chown(numberedFolder(number).c_str(), kOther, kOther), 0);
            }
        }
        row.mPrepare();
        const std::string mediaFolder = Path((std::string("model/") + row.mMedia).c_str());
        const bool folderMade = !std::filesystem::exists(mediaFolder);
        const gid_t modelGroup = groupOf(path);
        struct stat before {};
        const bool present = lstat(target.c_str(), &before) == 0;
        // Apart, so that a write that never ends ends the row only.
        const boundedrun::Outcome outcome = boundedrun::Run(
            [&] {
                umask(022);
                if (row.mGroups == Groups::eFoldersAsUser &&
                    (setgroups(0, nullptr) != 0 || setresgid(kUserGroup, kUserGroup, kUserGroup) != 0 ||
                     setresuid(kUser, kUser, kUser) != 0)) {
                    return 2;
                }
                KFbxImporter* importer = KFbxImporter::Create(mManager, "");
                KFbxScene* read = KFbxScene::Create(mManager, "read");
                bool imported = importer->Initialize(path.c_str());
                if (row.mModelSwap == ModelSwap::eBeforeImport) {
                    folderswap::Swap(Path("model"), Path("model-moved"), Path("outside"))();
                }
                {
                    const folderswap::FileSizeLimit limit(row.mSwapAndLimit || row.mKilledAtLimit ? 8 : 0,
                                                          row.mKilledAtLimit);
                    imported = imported && importer->Import(read);
                }
                if (!imported) return 1;
                KString message;
                importer->GetMessageText(message);
                std::ofstream out(Path("read.txt"));
                for (int i = 0; i < read->GetVideoCount(); ++i) {
                    const KFbxVideo* clip = read->GetVideo(i);
                    out << clip->GetOriginalFilename() << " " << clip->GetFileName() << " "
                        << clip->GetRelativeFileName() << '\n';
                }
                for (int i = 0; i < read->GetTextureCount(); ++i) {
                    const KFbxTexture* map = read->GetTexture(i);
                    out << "texture " << map->GetName() << " " << map->GetFileName() << " "
                        << map->GetRelativeFileName() << '\n';
                }
                out << message.Buffer();
                return 0;
            },
            boundedrun::SecondsFor(0));
        folderswap::Disarm();
        EXPECT_EQ(mFolder.Read("victim.txt"), "keep me");
        // Nothing but the link a row put there.
        std::filesystem::remove(Path("outside/embedded.fbx"));
        EXPECT_TRUE(std::filesystem::is_empty(Path("outside")));
        EXPECT_EQ(mFolder.Read("elsewhere/bricks.tif"), "unrelated");
        if (row.mKilledAtLimit) {
            // Not ended, it leaves no cut medium under the medium's name.
            EXPECT_TRUE(outcome.mReturned && outcome.mValue == 0) << "signal " << outcome.mSignal;
            EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(target)));
            continue;
        }
        ASSERT_TRUE(outcome.mReturned) << "signal " << outcome.mSignal;
        ASSERT_EQ(outcome.mValue, 0);
        const std::string read = mFolder.Read("read.txt");
        // Where the media went: the folder the model was read from.
        const std::string media = (row.mModelSwap != ModelSwap::eNone ? "model-moved/" : "model/") +
                                  std::string(row.mMedia) + "/";
        // Another user's media folder, in a folder all may write, is left as
        // it was.
        if (row.mOthersFolders != 0 && (row.mModelMode & 0002) != 0) {
            EXPECT_TRUE(std::filesystem::is_empty(folder));
            EXPECT_EQ(ownerOf(folder), kOther);
        }
        if (row.mWhy.empty()) {
            const std::string medium = std::string(row.mMedia) + "/bricks.tif";
            const std::string secondMedium = std::string(row.mMedia) + "/bricks1.tif";
            EXPECT_NE(read.find(Path("bricks.tif") + " " + Path(("model/" + medium).c_str()) + " " + medium + "\n"),
                      std::string::npos)
                << read;
            EXPECT_NE(read.find(Path("more/bricks.tif") + " " + Path(("model/" + secondMedium).c_str()) + " " + secondMedium +
                                "\n"),
                      std::string::npos)
                << read;
            if (row.mOthersFolders != 0) {
                EXPECT_EQ(ownerOf(mediaFolder), (row.mModelMode & 0002) != 0 ? geteuid() : kOther);
            }
            // The textures, whose files are gone, take their media's (FBX 5
            // files keep only the textures of layers).
            EXPECT_NE(read.find("texture Bricks " + Path(("model/" + medium).c_str()) + " " + medium + "\n"),
                      std::string::npos)
                << read;
            EXPECT_TRUE(fbx5 || read.find("texture Stones " + Path(("model/" + secondMedium).c_str()) + " " +
                                          secondMedium + "\n") != std::string::npos)
                << read;
            const std::string glow = std::string(row.mMedia) + "/glow.tif";
            EXPECT_TRUE(fbx5 || read.find("texture Glow " + Path(("model/" + glow).c_str()) + " " + glow + "\n") !=
                                    std::string::npos)
                << read;
            EXPECT_EQ(mFolder.Read(media + "bricks.tif"), bricks);
            EXPECT_EQ(mFolder.Read(media + "bricks1.tif"), stones);
            // Let in no more than the model lets in, and its group only:
            // where they cannot have its group, no group at all.
            const bool ownGroup = row.mGroups != Groups::eFoldersAsUser;
            const gid_t group = ownGroup ? modelGroup : kFolderGroup;
            const unsigned given = row.mGroups == Groups::eOwn ? 0 : 02000;
            EXPECT_EQ(modeOf(mFolder / (media + "bricks1.tif")), ownGroup ? 0640u : 0600u);
            EXPECT_EQ(groupOf(mFolder / (media + "bricks1.tif")), group);
            if (row.mInode != Inode::eKept) {
                EXPECT_EQ(modeOf(mFolder / (media + "bricks.tif")), ownGroup ? 0640u : 0600u);
                EXPECT_EQ(groupOf(mFolder / (media + "bricks.tif")), group);
            }
            if (folderMade) {
                EXPECT_EQ(modeOf(mediaFolder), given | (ownGroup ? 0750u : 0700u));
                EXPECT_EQ(groupOf(mediaFolder), group);
            }
        } else {
            const std::string notExtracted = "\" is not extracted into \"" + folder + "\": " + row.mWhy + ".\n";
            EXPECT_NE(read.find("The embedded media \"" + Path("bricks.tif") + notExtracted), std::string::npos) << read;
            EXPECT_NE(read.find("The embedded media \"" + Path("more/bricks.tif") + notExtracted), std::string::npos)
                << read;
            // The glow medium has a name of its own, which nothing takes.
            EXPECT_EQ(read.find("The embedded media \"" + glow + notExtracted) != std::string::npos, row.mWhy != taken)
                << read;
            EXPECT_NE(read.find(" " + Path("more/bricks.tif") + " "), std::string::npos) << read;
            EXPECT_TRUE(fbx5 || read.find("texture Stones " + Path("more/bricks.tif") + " ") != std::string::npos)
                << read;
        }
        if (row.mInode != Inode::eAny) {
            struct stat after {};
            ASSERT_TRUE(present);
            ASSERT_EQ(lstat(target.c_str(), &after), 0);
            EXPECT_EQ(after.st_ino == before.st_ino, row.mInode == Inode::eKept);
        }
        // The cut files are gone from the folder they were made in.
        if (row.mSwapAndLimit) {
            ASSERT_TRUE(std::filesystem::is_directory(Path("moved")));
            EXPECT_TRUE(std::filesystem::is_empty(Path("moved")));
        }
    }
    // A model opened through a link has its media beside the link.
    restoreModel();
    restoreOwners();
    std::filesystem::create_symlink("model/embedded.fbx", Path("linked.fbx"));
    KFbxScene* read = KFbxScene::Create(mManager, "linked");
    EXPECT_TRUE(Import(Path("linked.fbx"), read)) << mLastError;
    EXPECT_EQ(mFolder.Read("linked.fbm/bricks.tif"), bricks);
    // A copy of the model beside the model's media folder, whose file was
    // edited since: the copy shows what it carries, in media of its own.
    std::filesystem::copy_file(path, Path("model/copy.fbx"));
    mFolder.Write("model/embedded.fbm/bricks.tif", "edited since");
    KFbxScene* copy = KFbxScene::Create(mManager, "copy");
    EXPECT_TRUE(Import(Path("model/copy.fbx"), copy)) << mLastError;
    std::set<std::string> named;
    for (int i = 0; i < copy->GetVideoCount(); ++i) named.insert(copy->GetVideo(i)->GetFileName());
    EXPECT_EQ(named.count(Path("model/copy.fbm/bricks.tif")) + named.count(Path("model/copy.fbm/bricks1.tif")), 2u);
    EXPECT_EQ(mFolder.Read("model/copy.fbm/bricks.tif"), bricks);
    EXPECT_EQ(mFolder.Read("model/embedded.fbm/bricks.tif"), "edited since");
}

INSTANTIATE_TEST_SUITE_P(Modes, EmbeddedVideoContent,
                         ::testing::Values(KFbxFileFormatRegistry::eFBX_BINARY_WRITER,
                                           KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER,
                                           KFbxFileFormatRegistry::eFBX5_BINARY_WRITER),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == KFbxFileFormatRegistry::eFBX5_BINARY_WRITER
                                        ? std::string("Fbx5Binary")
                                        : WriterFormatName(info);
                         });

// A texture file that is there but that the reader may not read (another
// user's, in a folder the reader may list) gives way to the readable copy
// its relative name finds from the file read, in the texture and its video.
TEST_F(ReaderTest, AFileTheReaderCannotReadGivesWayToTheCopyItsRelativeNameFinds) {
    if (geteuid() != 0) GTEST_SKIP() << "only the administrator reads as another user";
    std::filesystem::permissions(mFolder.Path(), std::filesystem::perms(0755));
    for (const char* folder : {"private", "model", "received/model", "received/private"}) {
        std::filesystem::create_directories(Path(folder));
    }
    const std::string original = mFolder.Write("private/wood.tga", "the original");
    std::filesystem::permissions(original, std::filesystem::perms(0600));
    const std::string copy = mFolder.Write("received/private/wood.tga", "the copy");
    KFbxScene* scene = KFbxScene::Create(mManager, "");
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    KFbxNode* node = richscene::AddNode(mManager, scene->GetRootNode(), "Car", mesh);
    KFbxTexture* wood = KFbxTexture::Create(mManager, "Wood");
    wood->SetFileName(original.c_str());
    node->ConnectSrc(wood);
    auto* textures = richscene::Fill(new KFbxLayerElementTexture(), "diffuse", KFbxLayerElement::eALL_SAME,
                                     KFbxLayerElement::eINDEX_TO_DIRECT);
    textures->GetDirectArray().Add(wood);
    textures->GetIndexArray().Add(0);
    if (mesh->GetLayerCount() == 0) mesh->CreateLayer();
    mesh->GetLayer(0)->SetTextures(textures);
    for (const int format : {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                             KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, KFbxFileFormatRegistry::eFBX5_ASCII_WRITER}) {
        SCOPED_TRACE(format);
        // Named "../private/wood.tga" from where it is written, which leads
        // to the copy from where it is received.
        ASSERT_TRUE(Export(scene, Path("model/car.fbx"), format));
        const std::string received = Path("received/model/car.fbx");
        std::filesystem::copy_file(Path("model/car.fbx"), received, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(received, std::filesystem::perms(0644));
        const boundedrun::Outcome outcome = boundedrun::Run(
            [&] {
                if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) return 2;
                KFbxScene* read = KFbxScene::Create(mManager, "read");
                if (!Import(received, read)) return 3;
                if (read->GetTextureCount() != 1 || read->GetVideoCount() != 1) return 4;
                if (read->GetTexture(0)->GetFileName() != copy) return 5;
                return read->GetVideo(0)->GetFileName() == copy ? 0 : 6;
            },
            boundedrun::SecondsFor(0));
        ASSERT_TRUE(outcome.mReturned) << "signal " << outcome.mSignal;
        EXPECT_EQ(outcome.mValue, 0);
    }
    // A file that carries the texture's bytes gives them where no copy is
    // beside it and the file it names cannot be read.
    std::filesystem::create_directories(Path("drop"));
    std::filesystem::permissions(Path("drop"), std::filesystem::perms(0777));
    KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
    options->SetOption("EMBEDDED", true);
    ASSERT_TRUE(Export(scene, Path("model/packed.fbx"), KFbxFileFormatRegistry::eFBX_BINARY_WRITER, options));
    std::filesystem::copy_file(Path("model/packed.fbx"), Path("drop/packed.fbx"));
    std::filesystem::permissions(Path("drop/packed.fbx"), std::filesystem::perms(0644));
    const std::string extracted = Path("drop/packed.fbm/wood.tga");
    const boundedrun::Outcome outcome = boundedrun::Run(
        [&] {
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) return 2;
            KFbxScene* read = KFbxScene::Create(mManager, "read");
            if (!Import(Path("drop/packed.fbx"), read)) return 3;
            if (read->GetTextureCount() != 1 || read->GetTexture(0)->GetFileName() != extracted) return 4;
            std::ifstream file(extracted);
            std::string bytes;
            std::getline(file, bytes);
            return bytes == "the original" ? 0 : 5;
        },
        boundedrun::SecondsFor(0));
    ASSERT_TRUE(outcome.mReturned) << "signal " << outcome.mSignal;
    EXPECT_EQ(outcome.mValue, 0);
}

TEST_F(ReaderTest, PasswordProtectedFileNeedsTheRightPassword) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    const std::string path = Path("locked.fbx");
    ASSERT_TRUE(Export(source, path, KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER, WriterOptionsWithPassword("open")));

    KFbxScene* read = KFbxScene::Create(mManager, "read");
    KFbxNode* kept = KFbxNode::Create(mManager, "Kept");
    read->GetRootNode()->AddChild(kept);

    KFbxStreamOptionsFbxReader* wrong = ReaderOptions();
    wrong->SetOption("PASSWORD", "shut");
    EXPECT_FALSE(Import(path, read, wrong));
    EXPECT_EQ(mLastErrorId, KFbxIO::eWRONG_PASSWORD);
    EXPECT_EQ(mLastError, "Wrong password");
    // A refused read leaves the scene as it was.
    ASSERT_EQ(read->GetRootNode()->GetChildCount(), 1);
    EXPECT_EQ(read->GetRootNode()->GetChild(0), kept);

    EXPECT_FALSE(Import(path, read));
    EXPECT_EQ(mLastErrorId, KFbxIO::eWRONG_PASSWORD);

    KFbxStreamOptionsFbxReader* right = ReaderOptions();
    right->SetOption("PASSWORD", "open");
    ASSERT_TRUE(Import(path, read, right)) << mLastError;
    const std::vector<std::string> differences = DifferencesFromSource(*source, *read);
    EXPECT_TRUE(differences.empty()) << SceneComparison::Join(differences);
}

TEST_F(ReaderTest, FlippedByteIsReportedAsCorruption) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    const std::string path = Path("flipped.fbx");
    ASSERT_TRUE(Export(source, path, KFbxFileFormatRegistry::eFBX_BINARY_WRITER));
    std::string bytes = mFolder.Read("flipped.fbx");
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x20);
    mFolder.Write("flipped.fbx", bytes);

    KFbxScene* read = KFbxScene::Create(mManager, "read");
    EXPECT_FALSE(Import(path, read));
    EXPECT_EQ(mLastErrorId, KFbxIO::eFILE_CORRUPTED);
    EXPECT_NE(mLastError.find("File is corrupted"), std::string::npos) << mLastError;
    EXPECT_NE(mLastError.find("CRC"), std::string::npos) << mLastError;
    EXPECT_EQ(read->GetRootNode()->GetChildCount(), 0);
}

TEST_F(ReaderTest, NewerMajorVersionIsRefused) {
    for (bool binary : {true, false}) {
        const std::string path = Path(binary ? "seven.fbx" : "seven-ascii.fbx");
        KFbxFileHeaderInfo header;
        header.mFileVersion = 7100;
        KFbx file;
        ASSERT_TRUE(file.FileCreate(path.c_str(), binary, false, &header));
        file.WriteStringField("Objects", "");
        ASSERT_TRUE(file.FileClose());

        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        EXPECT_FALSE(importer->Initialize(path.c_str()));
        EXPECT_EQ(importer->GetLastErrorID(), KFbxIO::eFILE_VERSION_NOT_SUPPORTED_YET);
        EXPECT_STREQ(importer->GetLastErrorString(), "FBX File version 7100 is not supported in this product");
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        EXPECT_FALSE(importer->Import(read));
        EXPECT_EQ(importer->GetLastErrorID(), KFbxIO::eFILE_NOT_OPENED);
        importer->Destroy();
    }
}

TEST_F(ReaderTest, ModelAndAnimationOptionsGateTheirSections) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    const std::string path = Path("gated.fbx");
    ASSERT_TRUE(Export(source, path, KFbxFileFormatRegistry::eFBX_BINARY_WRITER));

    KFbxScene* withoutModels = KFbxScene::Create(mManager, "a");
    KFbxStreamOptionsFbxReader* noModels = ReaderOptions();
    noModels->SetOption("MODEL", false);
    ASSERT_TRUE(Import(path, withoutModels, noModels)) << mLastError;
    EXPECT_EQ(withoutModels->GetRootNode()->GetChildCount(), 0);
    EXPECT_GT(withoutModels->GetTakeInfoCount(), 0);

    KFbxScene* withoutTakes = KFbxScene::Create(mManager, "b");
    KFbxStreamOptionsFbxReader* noAnimation = ReaderOptions();
    noAnimation->SetOption("ANIMATION", false);
    ASSERT_TRUE(Import(path, withoutTakes, noAnimation)) << mLastError;
    EXPECT_GT(withoutTakes->GetRootNode()->GetChildCount(), 0);
    EXPECT_EQ(withoutTakes->GetTakeInfoCount(), 0);
    KFbxNode* hip = withoutTakes->FindNodeByName(KString("Hip"));
    ASSERT_NE(hip, nullptr);
    for (int t = 0; t < hip->GetTakeNodeCount(); ++t) {
        EXPECT_STREQ(hip->GetTakeNodeName(t), "Default");
    }
}

TEST_F(ReaderTest, CurrentTakeNameOptionSelectsTheTake) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    const std::string path = Path("takes.fbx");
    ASSERT_TRUE(Export(source, path, KFbxFileFormatRegistry::eFBX_ASCII_WRITER));

    KFbxImporter* importer = KFbxImporter::Create(mManager, "");
    ASSERT_TRUE(importer->Initialize(path.c_str()));
    auto* options = dynamic_cast<KFbxStreamOptionsFbxReader*>(importer->GetImportOptions());
    ASSERT_NE(options, nullptr);
    // The options announce the file's takes and its current one.
    EXPECT_EQ(options->GetStringOption("CURRENT TAKE NAME", ""), KString("Walk"));
    ASSERT_EQ(options->GetTakeList().GetTakeInfoCount(), 2);
    EXPECT_NE(options->GetTakeList().FindTakeInfo("Run"), nullptr);

    options->SetOption("CURRENT TAKE NAME", "Run");
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(importer->Import(read, options)) << importer->GetLastErrorString();
    EXPECT_STREQ(read->GetCurrentTakeName(), "Run");

    // A take the file does not have leaves the file's own current take.
    options->SetOption("CURRENT TAKE NAME", "Swim");
    KFbxScene* again = KFbxScene::Create(mManager, "again");
    ASSERT_TRUE(importer->Import(again, options));
    EXPECT_STREQ(again->GetCurrentTakeName(), "Walk");
    options->Destroy();
    importer->Destroy();
}

TEST_F(ReaderTest, ImportReplacesWhatTheSceneHeld) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    const std::string path = Path("replace.fbx");
    ASSERT_TRUE(Export(source, path, KFbxFileFormatRegistry::eFBX_BINARY_WRITER));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    read->GetRootNode()->AddChild(KFbxNode::Create(mManager, "Old"));
    ASSERT_TRUE(Import(path, read));
    ASSERT_TRUE(Import(path, read));
    EXPECT_EQ(read->FindNodeByName(KString("Old")), nullptr);
    const std::vector<std::string> differences = DifferencesFromSource(*source, *read);
    EXPECT_TRUE(differences.empty()) << SceneComparison::Join(differences);
}

TEST_F(ReaderTest, ReaderNeedsItsOwnOptionsAndAnOpenFile) {
    KFbxReaderFbx6 reader(*mManager, nullptr);
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    EXPECT_EQ(reader.GetReadOptions(), nullptr);
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eFILE_NOT_OPENED);
    EXPECT_FALSE(reader.Read(scene, ReaderOptions()));
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eFILE_NOT_OPENED);

    const std::string path = Path("small.fbx");
    ASSERT_TRUE(Export(scene, path, KFbxFileFormatRegistry::eFBX_BINARY_WRITER));
    ASSERT_TRUE(reader.FileOpen(path.c_str()));
    int major = 0;
    int minor = 0;
    int revision = 0;
    reader.GetVersion(major, minor, revision);
    EXPECT_EQ(major * 1000 + minor * 100 + revision, 6100);
    KFbxStreamOptions* foreign = KFbxStreamOptionsObjReader::Create(mManager, "");
    EXPECT_FALSE(reader.Read(scene, foreign));
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eSTREAM_OPTIONS_NOT_SET);
    EXPECT_STREQ(reader.GetError().GetLastErrorString(), "Stream options not set");
    EXPECT_TRUE(reader.FileClose());
    EXPECT_FALSE(reader.IsFileOpen());
}


// The animated values of lights and cameras, each with what its getter gives
// after the value went through a file: the getters read the default take.
struct AnimatedValue {
    const char* mName;
    double mValue;
    void (*mSet)(KFbxNode&, double);
    double (*mGet)(const KFbxNode&);
};

KFbxLight& LightOf(const KFbxNode& node) { return *static_cast<KFbxLight*>(node.GetNodeAttribute()); }
KFbxCamera& CameraOf(const KFbxNode& node) { return *static_cast<KFbxCamera*>(node.GetNodeAttribute()); }

const AnimatedValue kLightValues[] = {
    {"intensity", 80.0, [](KFbxNode& n, double v) { LightOf(n).SetDefaultIntensity(v); },
     [](const KFbxNode& n) { return LightOf(n).GetDefaultIntensity(); }},
    {"cone angle", 30.0, [](KFbxNode& n, double v) { LightOf(n).SetDefaultConeAngle(v); },
     [](const KFbxNode& n) { return LightOf(n).GetDefaultConeAngle(); }},
    {"fog", 20.0, [](KFbxNode& n, double v) { LightOf(n).SetDefaultFog(v); },
     [](const KFbxNode& n) { return LightOf(n).GetDefaultFog(); }},
    {"red", 0.25,
     [](KFbxNode& n, double v) {
         const double rgb[3] = {v, 1.0, 0.75};
         LightOf(n).SetDefaultColor(rgb);
     },
     [](const KFbxNode& n) {
         double rgb[3];
         LightOf(n).GetDefaultColor(rgb);
         return rgb[0];
     }},
};

const AnimatedValue kCameraValues[] = {
    {"focal length", 35.0, [](KFbxNode& n, double v) { CameraOf(n).SetDefaultFocalLength(v); },
     [](const KFbxNode& n) { return CameraOf(n).GetDefaultFocalLength(); }},
    {"field of view", 49.13, [](KFbxNode& n, double v) { CameraOf(n).SetDefaultFieldOfView(v); },
     [](const KFbxNode& n) { return CameraOf(n).GetDefaultFieldOfView(); }},
    {"field of view x", 30.0, [](KFbxNode& n, double v) { CameraOf(n).SetDefaultFieldOfViewX(v); },
     [](const KFbxNode& n) { return CameraOf(n).GetDefaultFieldOfViewX(); }},
    {"optical centre x", 0.125, [](KFbxNode& n, double v) { CameraOf(n).SetDefaultOpticalCenterX(v); },
     [](const KFbxNode& n) { return CameraOf(n).GetDefaultOpticalCenterX(); }},
    {"roll", 12.0, [](KFbxNode& n, double v) { CameraOf(n).SetDefaultRoll(v); },
     [](const KFbxNode& n) { return CameraOf(n).GetDefaultRoll(); }},
};

void ExpectValues(KFbxScene& scene, const char* nodeName, const AnimatedValue* values, std::size_t count) {
    const KFbxNode* node = scene.FindNodeByName(KString(nodeName));
    ASSERT_NE(node, nullptr) << nodeName;
    ASSERT_NE(node->GetNodeAttribute(), nullptr) << nodeName;
    for (std::size_t i = 0; i < count; ++i) {
        // The default take keeps floats.
        EXPECT_NEAR(values[i].mGet(*node), values[i].mValue, 1e-5) << values[i].mName;
    }
}

class AnimatedValueRoundTrip : public ReaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(AnimatedValueRoundTrip, LightAndCameraGettersGiveTheValuesWritten) {
    KFbxScene* source = KFbxScene::Create(mManager, "source");
    KFbxNode* lamp = KFbxNode::Create(mManager, "Lamp");
    lamp->SetNodeAttribute(KFbxLight::Create(mManager, "Lamp"));
    KFbxNode* eye = KFbxNode::Create(mManager, "Eye");
    eye->SetNodeAttribute(KFbxCamera::Create(mManager, "Eye"));
    source->GetRootNode()->AddChild(lamp);
    source->GetRootNode()->AddChild(eye);
    for (const AnimatedValue& value : kLightValues) value.mSet(*lamp, value.mValue);
    for (const AnimatedValue& value : kCameraValues) value.mSet(*eye, value.mValue);
    ExpectValues(*source, "Lamp", kLightValues, std::size(kLightValues));

    const std::string path = Path("animated_values.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(path, read)) << mLastError;
    ExpectValues(*read, "Lamp", kLightValues, std::size(kLightValues));
    ExpectValues(*read, "Eye", kCameraValues, std::size(kCameraValues));
    // The properties hold the same values.
    KFbxNode* readLamp = read->FindNodeByName(KString("Lamp"));
    ASSERT_NE(readLamp, nullptr);
    EXPECT_NEAR(LightOf(*readLamp).Intensity.GetDouble(), 80.0, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Modes, AnimatedValueRoundTrip,
                         ::testing::Values(KFbxFileFormatRegistry::eFBX_BINARY_WRITER,
                                           KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                                           KFbxFileFormatRegistry::eFBX5_BINARY_WRITER,
                                           KFbxFileFormatRegistry::eFBX5_ASCII_WRITER));

TEST_F(ReaderTest, LightAndCameraOfAnotherProgramsFileGiveTheirValuesToTheGetters) {
    // As another program writes them: only some properties, in its own order.
    const std::string text =
        "; FBX 6.1.0 project file\n"
        "FBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n"
        "Objects:  {\n"
        "\tModel: \"Model::Eye\", \"Camera\" {\n\t\tVersion: 232\n\t\tProperties60:  {\n"
        "\t\t\tProperty: \"Lcl Translation\", \"Lcl Translation\", \"A+\",7.4,-6.5,5.3\n"
        "\t\t\tProperty: \"FieldOfView\", \"FieldOfView\", \"A+\",49.13\n"
        "\t\t\tProperty: \"FieldOfViewX\", \"FieldOfView\", \"A+\",30\n"
        "\t\t\tProperty: \"FocalLength\", \"Real\", \"A+\",35\n"
        "\t\t\tProperty: \"OpticalCenterX\", \"Real\", \"A+\",0.125\n"
        "\t\t\tProperty: \"Roll\", \"Real\", \"A+\",12\n"
        "\t\t}\n\t\tMultiLayer: 0\n\t\tMultiTake: 0\n\t\tShading: Y\n\t\tCulling: \"CullingOff\"\n"
        "\t\tTypeFlags: \"Camera\"\n\t\tGeometryVersion: 124\n\t}\n"
        "\tModel: \"Model::Lamp\", \"Light\" {\n\t\tVersion: 232\n\t\tProperties60:  {\n"
        "\t\t\tProperty: \"LightType\", \"enum\", \"\",2\n"
        "\t\t\tProperty: \"Color\", \"Color\", \"A+\",0.25,1,0.75\n"
        "\t\t\tProperty: \"Intensity\", \"Intensity\", \"A+\",80\n"
        "\t\t\tProperty: \"Cone angle\", \"Cone angle\", \"A+\",30\n"
        "\t\t\tProperty: \"Fog\", \"Fog\", \"A+\",20\n"
        "\t\t}\n\t\tTypeFlags: \"Light\"\n\t\tGeometryVersion: 124\n\t}\n}\n"
        "Connections:  {\n\tConnect: \"OO\", \"Model::Eye\", \"Model::Scene\"\n"
        "\tConnect: \"OO\", \"Model::Lamp\", \"Model::Scene\"\n}\n";
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(mFolder.Write("other_program.fbx", text), read)) << mLastError;
    ExpectValues(*read, "Lamp", kLightValues, std::size(kLightValues));
    ExpectValues(*read, "Eye", kCameraValues, std::size(kCameraValues));
    KFbxNode* lamp = read->FindNodeByName(KString("Lamp"));
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(LightOf(*lamp).GetLightType(), KFbxLight::eSPOT);
    // A value set after the read goes to both, as on a light made in memory.
    LightOf(*lamp).SetDefaultIntensity(60.0);
    EXPECT_DOUBLE_EQ(LightOf(*lamp).GetDefaultIntensity(), 60.0);
    EXPECT_DOUBLE_EQ(LightOf(*lamp).Intensity.GetDouble(), 60.0);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
