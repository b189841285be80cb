// The FBX 5 reader reads back what the FBX 5 writer writes, binary and
// ascii, through the importer, and refuses what it must refuse with its
// own message.
#include <fbxfilesdk/fbx/KFbxReaderFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterFilterSet.h>
#include <fbxfilesdk/scene/KFbxCharacterLink.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxControlSet.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalTimeSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>

#include "RichScene.h"
#include "ReaderTestSupport.h"
#include "SceneComparison.h"

#include <algorithm>
#include <set>

namespace fbxsdk_2006_11_1::readertest {
namespace {

using scenecompare::SceneComparison;

// What an FBX 5 file cannot hold of the full scene, each with its reason;
// a difference line containing the text is expected.
struct Exception {
    const char* mText;
    const char* mReason;
};
constexpr Exception kFbx5Exceptions[] = {
    {"@mesh edges:", "FBX 5 files store no edges"},
    {"@mesh layers:", "only the first layer and the diffuse texture layers are stored"},
    {"normals name:", "layer elements carry no names"},
    {"materials name:", "layer elements carry no names"},
    {"uvs name:", "layer elements carry no names"},
    {"textures name:", "layer elements carry no names"},
    {"layer 0 colors present", "vertex colours of any layer are stored as the first layer's"},
    {"layer 0 smoothing present", "smoothing is not stored"},
    {"layer 0 channel 3 blend", "the first texture layer's blend mode is not stored"},
    {"layer 0 channel 3 alpha", "the first texture layer's alpha is not stored"},
    {"skin accuracy", "links carry no deform accuracy"},
    {"root/Body connected count", "only diffuse textures are stored (the emissive \"Glow\" is not)"},
};

bool IsExpected(const std::string& line) {
    return std::any_of(std::begin(kFbx5Exceptions), std::end(kFbx5Exceptions),
                       [&](const Exception& exception) { return line.find(exception.mText) != std::string::npos; });
}

class Fbx5ReaderTest : public ReaderTest {
protected:
    // The rich scene with what the FBX 5 writer's own tests add to it: a
    // second camera, a character, a character pose and a light with a gobo.
    KFbxScene* BuildFullScene() {
        KFbxScene* scene = richscene::Build(mManager, mFolder.Path().string());
        AddChild(*scene, "Viewer", KFbxCamera::Create(mManager, ""));
        const int character = scene->CreateCharacter("Hero");
        KFbxCharacterLink link;
        link.mNode = scene->FindNodeByName(KString("Hip"));
        link.mTOffset = KFbxVector4(1.0, 2.0, 3.0, 0.0);
        KFbxCharacter* hero = scene->GetCharacter(character);
        hero->SetCharacterLink(eCharacterHips, link, true);
        // The first parameter that takes a mode other than its default.
        for (int i = 0; i < KFbxCharacterFilterSet::GetParameterCount() && mModeParameter < 0; ++i) {
            if (hero->GetFilterSet().GetParameterMode(i) != 1 && hero->GetFilterSet().SetParameterMode(i, 1)) {
                mModeParameter = i;
            }
        }
        hero->GetFilterSet().SetParameterValue(1, 0.25);
        KFbxControlSet& controls = hero->GetControlSet();
        controls.SetType(KFbxControlSet::eIkOnly);
        controls.SetLockPick(true);
        KFbxControlSetLink controlLink;
        controlLink.mNode = scene->FindNodeByName(KString("Knee"));
        controls.SetControlSetLink(eCharacterHips, controlLink);
        KFbxEffector effector;
        effector.mNode = link.mNode;
        effector.mShow = true;
        effector.mRActive = true;
        controls.SetEffector(0, effector);
        controls.SetEffectorAux(0, controlLink.mNode, 1);
        const int shadow = scene->CreateCharacter("Shadow");
        scene->GetCharacter(shadow)->SetCharacterInput(1, hero);
        const int poseIndex = scene->CreateCharacterPose("Stance");
        scene->GetCharacterPose(poseIndex)->GetPoseScene()->GetRootNode()->AddChild(KFbxNode::Create(mManager, "Pose"));
        KFbxLight* light = KFbxLight::Create(mManager, "");
        light->SetFileName("gobo.tga");
        light->SetDrawGroundProjection(false);
        AddChild(*scene, "Spot", light);
        KFbxNode* empty = scene->FindNodeByName(KString("Empty"));
        empty->GetLimits().SetRotationActive(true);
        empty->GetLimits().SetLimitMinActive(true, true, true);
        empty->GetLimits().SetLimitMaxActive(true, true, true);
        empty->GetLimits().SetLimitMin(KFbxVector4(-10.0, 0.0, -30.0, 0.0));
        empty->GetLimits().SetLimitMax(KFbxVector4(10.0, 20.0, 0.0, 0.0));
        empty->UpdatePropertiesFromPivotsAndLimits();
        scene->GetGlobalLightSettings().SetFogEnable(true);
        KFbxTimeMarker marker;
        marker.mName = "Jump";
        marker.mTime = richscene::Seconds(0.5);
        marker.mLoop = true;
        scene->GetGlobalTimeSettings().AddTimeMarker(marker);
        return scene;
    }

    // The filter set parameter of the full scene's character given mode 1.
    int mModeParameter = -1;

    void AddChild(KFbxScene& scene, const char* name, KFbxNodeAttribute* attribute) {
        KFbxNode* node = KFbxNode::Create(mManager, name);
        node->SetNodeAttribute(attribute);
        scene.GetRootNode()->AddChild(node);
    }

    // The differences of the read scene from the source that an FBX 5 file
    // does not explain. The import filters may change keys (a rotation step
    // beyond half a turn is unrolled): the source is taken as the import
    // leaves it.
    std::vector<std::string> UnexpectedDifferences(KFbxScene& source, KFbxScene& read) {
        if (KFbxNode* root = source.GetRootNode()) {
            importfilters::ApplyToTree(*root);
        }
        std::vector<std::string> kept;
        for (const std::string& line : SceneComparison::Compare(source, read)) {
            if (!IsExpected(line)) {
                kept.push_back(line);
            }
        }
        return kept;
    }

    KFbxScene* ImportNew(const std::string& path, KFbxStreamOptions* options = nullptr) {
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        EXPECT_TRUE(Import(path, read, options)) << mLastError;
        return read;
    }
};

class Fbx5RoundTrip : public Fbx5ReaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(Fbx5RoundTrip, ReadsBackTheFullSceneButWhatTheFileCannotHold) {
    KFbxScene* source = BuildFullScene();
    const std::string path = Path("full.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxScene* read = ImportNew(path);
    const std::vector<std::string> differences = UnexpectedDifferences(*source, *read);
    EXPECT_TRUE(differences.empty()) << SceneComparison::Join(differences);
    // Every exception is met: the list states no more than the file loses.
    const std::vector<std::string> all = SceneComparison::Compare(*source, *read);
    for (const Exception& exception : kFbx5Exceptions) {
        EXPECT_TRUE(std::any_of(all.begin(), all.end(),
                                [&](const std::string& line) { return line.find(exception.mText) != std::string::npos; }))
            << exception.mText << " (" << exception.mReason << ")";
    }
}

TEST_P(Fbx5RoundTrip, ReadsTheSceneWideRecords) {
    KFbxScene* source = BuildFullScene();
    const std::string path = Path("full.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxScene* read = ImportNew(path);

    // The character with its link to the hips, and the character pose with
    // the pose's own scene.
    ASSERT_EQ(read->GetCharacterCount(), 2);
    KFbxCharacter* hero = read->GetCharacter(0);
    EXPECT_STREQ(hero->GetName(), "Hero");
    KFbxCharacterLink link;
    ASSERT_TRUE(hero->GetCharacterLink(eCharacterHips, &link));
    KFbxNode* hip = read->FindNodeByName(KString("Hip"));
    EXPECT_EQ(link.mNode, hip);
    EXPECT_EQ(link.mTOffset[1], 2.0);
    // Its filter set, its control set and its place as the other's input.
    ASSERT_GE(mModeParameter, 0);
    EXPECT_EQ(hero->GetFilterSet().GetParameterMode(mModeParameter), 1);
    EXPECT_EQ(hero->GetFilterSet().GetParameterValue(1), 0.25);
    const KFbxControlSet& controls = hero->GetControlSet();
    EXPECT_EQ(controls.GetType(), KFbxControlSet::eIkOnly);
    EXPECT_TRUE(controls.GetLockPick());
    KFbxControlSetLink controlLink;
    ASSERT_TRUE(controls.GetControlSetLink(eCharacterHips, &controlLink));
    EXPECT_EQ(controlLink.mNode, read->FindNodeByName(KString("Knee")));
    KFbxEffector effector;
    ASSERT_TRUE(controls.GetEffector(0, &effector));
    EXPECT_EQ(effector.mNode, hip);
    EXPECT_TRUE(effector.mShow);
    EXPECT_TRUE(effector.mRActive);
    EXPECT_FALSE(effector.mTActive);
    EXPECT_EQ(controls.GetEffectorAux(0, 1), read->FindNodeByName(KString("Knee")));
    EXPECT_EQ(read->GetCharacter(1)->GetCharacterInputObject(), hero);
    ASSERT_EQ(read->GetCharacterPoseCount(), 1);
    KFbxScene* poseScene = read->GetCharacterPose(0)->GetPoseScene();
    ASSERT_NE(poseScene, nullptr);
    ASSERT_EQ(poseScene->GetRootNode()->GetChildCount(), 1);
    EXPECT_STREQ(poseScene->GetRootNode()->GetChild(0)->GetName(), "Pose");

    // The rotation limits.
    const KFbxLimits& limits = read->FindNodeByName(KString("Empty"))->GetLimits();
    EXPECT_TRUE(limits.GetRotationActive());
    EXPECT_FALSE(limits.GetTranslationActive());
    EXPECT_EQ(limits.GetLimitMin()[2], -30.0);
    EXPECT_EQ(limits.GetLimitMax()[1], 20.0);

    // The gobo of the light, the switcher's cameras, and the settings.
    auto* light = dynamic_cast<KFbxLight*>(read->FindNodeByName(KString("Spot"))->GetNodeAttribute());
    ASSERT_NE(light, nullptr);
    EXPECT_STREQ(light->GetFileName(), "gobo.tga");
    EXPECT_FALSE(light->GetDrawGroundProjection());
    auto* switcher = dynamic_cast<KFbxCameraSwitcher*>(read->GetCameraSwitcherNode()->GetNodeAttribute());
    ASSERT_NE(switcher, nullptr);
    ASSERT_EQ(switcher->GetCameraNameCount(), 2);
    EXPECT_STREQ(switcher->GetCameraName(1), "Model::Viewer");
    EXPECT_TRUE(read->GetGlobalLightSettings().GetFogEnable());
    KFbxGlobalTimeSettings& time = read->GetGlobalTimeSettings();
    ASSERT_EQ(time.GetTimeMarkerCount(), 1);
    EXPECT_EQ(time.GetTimeMarker(0)->mName, KString("Jump"));
    EXPECT_EQ(time.GetTimeMarker(0)->mTime.Get(), richscene::Seconds(0.5).Get());
    EXPECT_TRUE(time.GetTimeMarker(0)->mLoop);
}

TEST_P(Fbx5RoundTrip, GlobalTransformsMatchAtThirtyOneTimes) {
    KFbxScene* source = BuildFullScene();
    const std::string path = Path("full.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxScene* read = ImportNew(path);
    ASSERT_STREQ(read->GetCurrentTakeName(), source->GetCurrentTakeName());
    // None of these nodes has pivots, which an FBX 5 file does not hold.
    for (const char* name : {"Hip", "Knee", "Body", "Eye", "Dot", "Lamp", "Empty", "Viewer", "Spot"}) {
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

TEST_P(Fbx5RoundTrip, AnFbx6CopyOfTheReadSceneReadsTheSame) {
    KFbxScene* source = BuildFullScene();
    const std::string path = Path("full.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxScene* direct = ImportNew(path);
    const std::string copy = Path("copy.fbx");
    ASSERT_TRUE(Export(direct, copy, KFbxFileFormatRegistry::eFBX_BINARY_WRITER));
    KFbxScene* again = ImportNew(copy);
    const std::vector<std::string> differences = SceneComparison::Compare(*direct, *again);
    EXPECT_TRUE(differences.empty()) << SceneComparison::Join(differences);
}

TEST_P(Fbx5RoundTrip, ImportOptionsChooseWhatIsRead) {
    KFbxScene* source = BuildFullScene();
    const std::string path = Path("full.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));

    KFbxStreamOptionsFbxReader* options = ReaderOptions();
    options->SetOption("ANIMATION", false);
    options->SetOption("MATERIAL", false);
    options->SetOption("CURRENT TAKE NAME", "Run");
    KFbxScene* read = ImportNew(path, options);
    KFbxNode* body = read->FindNodeByName(KString("Body"));
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->GetSrcObjectCount(KFbxSurfaceMaterial::ClassId), 0);
    EXPECT_EQ(body->GetSrcObjectCount(KFbxTexture::ClassId), 1);
    EXPECT_EQ(body->GetTakeNodeCount(), 1);
    options->Destroy();

    // The caller's take is made current, and a take offset moves its keys.
    options = ReaderOptions();
    options->SetOption("CURRENT TAKE NAME", "Run");
    KFbxTakeInfo offset;
    offset.mName = "Run";
    offset.mImportOffsetType = KFbxTakeInfo::eRELATIVE;
    offset.mImportOffset = richscene::Seconds(1.0);
    options->GetTakeList().AddTakeInfo(offset);
    read = ImportNew(path, options);
    EXPECT_STREQ(read->GetCurrentTakeName(), "Run");
    KFbxNode* hip = read->FindNodeByName(KString("Hip"));
    ASSERT_NE(hip, nullptr);
    ASSERT_TRUE(hip->SetCurrentTakeNodeByName("Run"));
    KFCurve* curve = hip->GetCurrentTakeNode()->GetTranslationX();
    ASSERT_NE(curve, nullptr);
    ASSERT_GT(curve->KeyGetCount(), 0);
    EXPECT_EQ(curve->KeyGetTime(0).Get(), richscene::Seconds(1.0).Get());
    options->Destroy();
}

TEST_P(Fbx5RoundTrip, WithoutModelsOnlyTheSceneWideRecordsAreRead) {
    KFbxScene* source = BuildFullScene();
    const std::string path = Path("full.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxStreamOptionsFbxReader* options = ReaderOptions();
    options->SetOption("MODEL", false);
    KFbxScene* read = ImportNew(path, options);
    options->Destroy();
    EXPECT_EQ(read->GetRootNode()->GetChildCount(), 0);
    EXPECT_TRUE(read->GetGlobalLightSettings().GetFogEnable());
    EXPECT_NE(read->GetTakeInfo(KString("Walk")), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Modes, Fbx5RoundTrip, ::testing::ValuesIn(kFbx5WriterFormats), Fbx5FormatName);

// ---- refusals ----

std::string WithText(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST_F(Fbx5ReaderTest, DamagedAndRefusedFilesEachSayWhy) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    const std::string binary = Path("binary.fbx");
    KFbxStreamOptionsFbxWriter* protect = WriterOptionsWithPassword("dune");
    ASSERT_TRUE(Export(source, binary, KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, protect));
    protect->Destroy();
    const std::string bytes = mFolder.Read("binary.fbx");

    KFbxScene* target = KFbxScene::Create(mManager, "target");
    KFbxNode* marker = KFbxNode::Create(mManager, "Marker");
    target->GetRootNode()->AddChild(marker);
    std::set<std::string> messages;
    auto refused = [&](const std::string& path, KFbxStreamOptions* options) {
        EXPECT_FALSE(Import(path, target, options)) << path;
        EXPECT_FALSE(mLastError.empty());
        messages.insert(mLastError);
        // The caller's scene is left as it was.
        EXPECT_EQ(target->GetRootNode()->GetChildCount(), 1);
        EXPECT_EQ(target->GetRootNode()->GetChild(0), marker);
        return mLastError;
    };

    KFbxStreamOptionsFbxReader* options = ReaderOptions();
    options->SetOption("PASSWORD", "sand");
    EXPECT_NE(refused(binary, options).find("password"), std::string::npos) << mLastError;
    std::string flipped = bytes;
    flipped[bytes.size() / 2] = static_cast<char>(flipped[bytes.size() / 2] ^ 0x10);
    EXPECT_NE(refused(mFolder.Write("flipped.fbx", flipped), options).find("CRC"), std::string::npos) << mLastError;
    EXPECT_NE(refused(mFolder.Write("truncated.fbx", bytes.substr(0, bytes.size() / 2)), options).find("cut short"),
              std::string::npos)
        << mLastError;

    const std::string ascii = Path("ascii.fbx");
    ASSERT_TRUE(Export(source, ascii, KFbxFileFormatRegistry::eFBX5_ASCII_WRITER));
    const std::string text = mFolder.Read("ascii.fbx");
    ASSERT_NE(text.find("FBXVersion: 5800"), std::string::npos);
    const std::string unknown =
        refused(mFolder.Write("v4.fbx", WithText(text, "FBXVersion: 5800", "FBXVersion: 4800")), nullptr);
    EXPECT_EQ(unknown, "FBX File version 4800 is not supported in this product");
    EXPECT_EQ(refused(mFolder.Write("v7.fbx", WithText(text, "FBXVersion: 5800", "FBXVersion: 7100")), nullptr),
              "FBX File version 7100 is not supported in this product");
    EXPECT_EQ(messages.size(), 5u) << ::testing::PrintToString(messages);

    // The right password opens the file.
    options->SetOption("PASSWORD", "dune");
    EXPECT_TRUE(Import(binary, target, options)) << mLastError;
    EXPECT_NE(target->FindNodeByName(KString("Body")), nullptr);
    options->Destroy();
}

// The line starts of the text where a record begins (a line that goes on
// with the values of the line before begins none).
std::vector<std::size_t> RecordStarts(const std::string& text) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
        const std::size_t first = text.find_first_not_of(" \t", at);
        const bool goesOn = at >= 2 && (text[at - 2] == ',' || text[first] == ',');
        if (first != std::string::npos && !goesOn && text[first] != '\n') {
            starts.push_back(at);
        }
        if (text.find('\n', at) == std::string::npos) {
            break;
        }
    }
    return starts;
}

TEST_F(Fbx5ReaderTest, AsciiFileCutBetweenRecordsSaysItIsCutShort) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    ASSERT_TRUE(Export(source, Path("whole.fbx"), KFbxFileFormatRegistry::eFBX5_ASCII_WRITER));
    const std::string text = mFolder.Read("whole.fbx");
    KFbxScene* target = KFbxScene::Create(mManager, "target");
    ASSERT_TRUE(Import(Path("whole.fbx"), target)) << mLastError;

    // Every cut where a block ends or the summary begins (where no brace is
    // left open to show the loss), from the file of no record on, and a
    // sample of the cuts inside blocks.
    const std::vector<std::size_t> starts = RecordStarts(text);
    ASSERT_GT(starts.size(), 50u);
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const bool topLevel = text[starts[i]] != '\t' && text[starts[i]] != ' ';
        if (topLevel || i % 17 == 0) {
            cuts.push_back(starts[i]);
        }
    }
    const std::size_t summary = text.find("\nSection: ");
    ASSERT_NE(summary, std::string::npos);
    cuts.push_back(text.find('\n', summary + 1) + 1);
    for (std::size_t cut : cuts) {
        SCOPED_TRACE(cut);
        EXPECT_FALSE(Import(mFolder.Write("cut.fbx", text.substr(0, cut)), target));
        EXPECT_NE(mLastError.find("cut short"), std::string::npos) << mLastError;
    }
    // What the cuts were refused with left the scene that was read whole.
    EXPECT_NE(target->FindNodeByName(KString("Body")), nullptr);
}

TEST_F(Fbx5ReaderTest, AsciiFilesReadWithAndWithoutTheirVersionLine) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    ASSERT_TRUE(Export(source, Path("ascii.fbx"), KFbxFileFormatRegistry::eFBX5_ASCII_WRITER));
    std::string text = mFolder.Read("ascii.fbx");
    const std::string line = "; FBX 5.8.0 project file\n";
    if (text.rfind(line, 0) == 0) {
        text.erase(0, line.size());
    }
    KFbxScene* without = ImportNew(mFolder.Write("without.fbx", text));
    KFbxScene* with = ImportNew(mFolder.Write("with.fbx", line + text));
    EXPECT_NE(without->FindNodeByName(KString("Body")), nullptr);
    const std::vector<std::string> differences = SceneComparison::Compare(*without, *with);
    EXPECT_TRUE(differences.empty()) << SceneComparison::Join(differences);
}

// The producer cameras of the time settings, seven as this writer puts
// them or five as older files hold them.
TEST_F(Fbx5ReaderTest, FiveOrSevenProducerCamerasAreRead) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    ASSERT_TRUE(Export(source, Path("ascii.fbx"), KFbxFileFormatRegistry::eFBX5_ASCII_WRITER));
    std::string text = mFolder.Read("ascii.fbx");
    const std::string top = "\tCamera: \"Producer Top\" {\n";
    const std::size_t topAt = text.find(top);
    ASSERT_NE(topAt, std::string::npos);
    const std::size_t farAt = text.find("\t\tFarPlane: ", topAt);
    ASSERT_NE(farAt, std::string::npos);
    text.replace(farAt, text.find('\n', farAt) - farAt, "\t\tFarPlane: 1234.5");
    KFbxScene* seven = ImportNew(mFolder.Write("seven.fbx", text));
    for (const char* name : {"Producer Right", "Producer Left"}) {
        const std::size_t begin = text.find(std::string("\tCamera: \"") + name + "\" {\n");
        ASSERT_NE(begin, std::string::npos) << name;
        const std::size_t end = text.find("\n\t}\n", begin);
        ASSERT_NE(end, std::string::npos) << name;
        text.erase(begin, end + 4 - begin);
    }
    KFbxScene* five = ImportNew(mFolder.Write("five.fbx", text));
    for (KFbxScene* read : {seven, five}) {
        KFbxCamera* camera = read->GetGlobalCameraSettings().GetProducerCamera(KFbxGlobalCameraSettings::ePRODUCER_TOP);
        ASSERT_NE(camera, nullptr);
        EXPECT_EQ(camera->GetFarPlane(), 1234.5);
    }
}

TEST_F(Fbx5ReaderTest, EachReaderKeepsToItsOwnVersion) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    const std::string fbx5 = Path("five.fbx");
    const std::string fbx6 = Path("six.fbx");
    ASSERT_TRUE(Export(source, fbx5, KFbxFileFormatRegistry::eFBX5_BINARY_WRITER));
    ASSERT_TRUE(Export(source, fbx6, KFbxFileFormatRegistry::eFBX_BINARY_WRITER));

    // The importer hands each file to the reader of its version.
    KFbxImporter* importer = KFbxImporter::Create(mManager, "");
    ASSERT_TRUE(importer->Initialize(fbx5.c_str()));
    int major = 0;
    int minor = 0;
    int revision = 0;
    importer->GetFileVersion(major, minor, revision);
    EXPECT_EQ(major * 1000 + minor * 100 + revision, 5800);
    importer->Destroy();

    // A reader given a file of the other version refuses it rather than
    // reading an empty scene.
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    for (const auto& [reader, path] : {std::pair<KFbxReader*, std::string>{new KFbxReaderFbx6(*mManager, nullptr), fbx5},
                                       std::pair<KFbxReader*, std::string>{new KFbxReaderFbx(*mManager, nullptr), fbx6}}) {
        std::unique_ptr<KFbxReader> owned(reader);
        ASSERT_TRUE(reader->FileOpen(path.c_str()));
        KFbxStreamOptions* options = reader->GetReadOptions();
        EXPECT_FALSE(reader->Read(scene, options)) << path;
        EXPECT_EQ(reader->GetError().GetLastErrorID(), KFbxReader::eFILE_VERSION_NOT_SUPPORTED);
        options->Destroy();
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
