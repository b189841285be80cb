// The 3DS writer's frame: names, axes, times, options, the node walk, and
// that an export leaves the scene as it was.
#include "formats/Writer3dsTestSupport.h"
#include "support/BoundedRun.h"

#include <fbxfilesdk/core/KFbxCopyTextureFile.h>
#include <fbxfilesdk/core/KFbxTextureCopies.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/formats/KFbxWriter3DS.h>
#include <fbxfilesdk/formats/KFbxWriter3DSPlacement.h>
#include <fbxfilesdk/formats/KFbxWriterMesh.h>
#include <fbxfilesdk/formats/KRenamingStrategy3DS.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>

namespace fbxsdk_2006_11_1::writer3dstest {
namespace {

std::string Renamed(KRenamingStrategy3DS& names, const char* name, int limit = 10) {
    KString text(name);
    names.Rename(text, limit);
    return text.Buffer();
}

TEST(RenamingStrategy3ds, CutsNumbersAndRemembersEveryName) {
    KRenamingStrategy3DS names;
    EXPECT_EQ(Renamed(names, "Model::LongObjectName"), "LongObj");
    EXPECT_EQ(Renamed(names, "Model::LongObjectName"), "LongObj1");
    EXPECT_EQ(Renamed(names, "LongObjectName"), "LongObj2");
    // Only the first prefix goes.
    EXPECT_EQ(Renamed(names, "a::b::c", 15), "b::c");
    // A name of exactly the kept length stays whole.
    EXPECT_EQ(Renamed(names, "Exactly"), "Exactly");
    // A numbered name is remembered too: three different names.
    EXPECT_EQ(Renamed(names, "Box"), "Box");
    EXPECT_EQ(Renamed(names, "Box"), "Box1");
    EXPECT_NE(Renamed(names, "Box1"), "Box1");
    // Names other programs could not link or would split.
    EXPECT_EQ(Renamed(names, ""), "Unnamed");
    EXPECT_EQ(Renamed(names, "Model::"), "Unnamed1");
    EXPECT_EQ(Renamed(names, "m\nv 9\t\x7f", 15), "m_v 9__");
    EXPECT_EQ(Renamed(names, "<a \"b\">\xc3\xa9", 15), "<a \"b\">\xc3\xa9");
    names.Clear();
    EXPECT_EQ(Renamed(names, "Box"), "Box");
}

TEST(RenamingStrategy3ds, ManyEqualNamesStillFitTheField) {
    KRenamingStrategy3DS names;
    std::set<std::string> seen;
    for (int index = 0; index < 1200; ++index) {
        const std::string name = Renamed(names, "LongObjectName");
        EXPECT_LE(name.size(), 10u) << name;
        EXPECT_TRUE(seen.insert(name).second) << name;
    }
    KFbxObjectNameRecord record("Scene::Camera01Long");
    EXPECT_FALSE(names.Rename(record));
    EXPECT_STREQ(record.GetCurrentName(), "Camera0");
}

TEST(Writer3dsAxes, PositionsScalingsAndRotationsGoToTheFileAxes) {
    const KFbxVector4 position = KFbxWriter3DS::ConvertPosition(KFbxVector4(1, 2, 3, 0));
    EXPECT_EQ(position[0], 1);
    EXPECT_EQ(position[1], -3);
    EXPECT_EQ(position[2], 2);
    const KFbxVector4 scaling = KFbxWriter3DS::ConvertScaling(KFbxVector4(1, 2, 3, 0));
    EXPECT_EQ(scaling[0], 1);
    EXPECT_EQ(scaling[1], 3);
    EXPECT_EQ(scaling[2], 2);
    // A rotated point, then converted, is the converted point turned by the
    // converted rotation.
    const double angles[][3] = {{30, 0, 0}, {0, 45, 0}, {0, 0, 60}, {10, -70, 125}};
    const double point[3] = {0.3, -1.2, 2.5};
    for (const auto& angle : angles) {
        double scene[16] = {};
        KgeMatrixSetRotationXYZ(scene, angle[0], angle[1], angle[2]);
        double turned[3];
        KgeMatrixMultPoint(turned, scene, point);
        const KFbxVector4 expected = KFbxWriter3DS::ConvertPosition(KFbxVector4(turned[0], turned[1], turned[2], 0));
        const KFbxVector4 euler = KFbxWriter3DS::ConvertRotation(KFbxVector4(angle[0], angle[1], angle[2], 0));
        double file[16] = {};
        KgeMatrixSetRotationXYZ(file, euler[0], euler[1], euler[2]);
        const KFbxVector4 converted = KFbxWriter3DS::ConvertPosition(KFbxVector4(point[0], point[1], point[2], 0));
        double actual[3];
        KgeMatrixMultPoint(actual, file, converted);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(actual[axis], expected[axis], 1e-9) << angle[0] << " " << angle[1] << " " << angle[2];
        }
    }
}

TEST(Writer3dsTime, EachFrameTextReadsBackAsItsFrame) {
    for (std::uint32_t frame : {0u, 7u, 45u}) {
        KTime time;
        time.ParseTimeString(KFbxWriter3DS::FrameTimeText(frame).c_str(), KTime::eFrames30, KTime::eFrameCountForm);
        EXPECT_EQ(time.GetFrame(true, KTime::eFrames30), frame);
        EXPECT_EQ(KFbxWriter3DS::FrameTime(frame).Get(), static_cast<std::int64_t>(frame) * (KTime::kTicksPerSecond / 30));
    }
}

TEST(Writer3dsRotationKeys, AreRelativeToTheKeyBefore) {
    const KFbxVector4 rest(0, 0, 0, 0);
    const rotkey3ds still = KFbxWriter3DS::RelativeRotationKey(&rest, rest);
    EXPECT_EQ(still.angle, 0.0f);
    EXPECT_EQ(still.x, -1.0f);
    // 30 then 50 degrees about the scene's Y (the file's Z): 20 more degrees.
    const KFbxVector4 first(0, 30, 0, 0);
    const KFbxVector4 second(0, 50, 0, 0);
    const rotkey3ds start = KFbxWriter3DS::RelativeRotationKey(nullptr, first);
    const rotkey3ds step = KFbxWriter3DS::RelativeRotationKey(&first, second);
    EXPECT_NEAR(std::fabs(start.angle), 30.0 * 0.017453292519943295, 1e-6);
    EXPECT_NEAR(std::fabs(step.angle), 20.0 * 0.017453292519943295, 1e-6);
    EXPECT_NEAR(std::fabs(step.z), 1.0, 1e-6);
    EXPECT_NEAR(step.x, 0.0, 1e-6);
    EXPECT_NEAR(step.y, 0.0, 1e-6);
}

// Keys hold a transform whose axes are at right angles, mirrored or not;
// otherwise each axis keeps its length under the nearest turn.
TEST(Writer3dsPlacement, KeysHoldTransformsWithoutShearAndComeNearestOtherwise) {
    using writer3ds::Frame;
    const auto trs = [](const double (&t)[3], const double (&r)[3], const double (&s)[3]) {
        Frame frame = writer3ds::IdentityFrame();
        KgeMatrixSetTRS(frame.data(), t, r, s);
        return frame;
    };
    const auto near = [](const Frame& actual, const Frame& expected) {
        for (std::size_t at = 0; at < 15; ++at) {
            EXPECT_NEAR(actual[at], expected[at], 1e-9) << at;
        }
    };
    const double t[3] = {1, -2, 3};
    const double r[3] = {10, -70, 125};
    // A mirror becomes a negative X scaling.
    const Frame mirrored = trs(t, r, {2, -3, 0.5});
    const writer3ds::Placement placed = writer3ds::Fit(mirrored);
    EXPECT_LT(placed.mScaling[0], 0.0);
    near(writer3ds::ToFrame(placed), mirrored);
    // Flat on one axis: the other two keep their turn.
    const writer3ds::Placement flat = writer3ds::Fit(trs(t, r, {2, 3, 0}));
    near(flat.mTurn, trs({0, 0, 0}, r, {1, 1, 1}));
    EXPECT_EQ(flat.mScaling[2], 0.0);
    // Sheared: the axes' lengths, under a turn.
    Frame sheared = writer3ds::IdentityFrame();
    sheared[4] = 1.0;
    const writer3ds::Placement nearest = writer3ds::Fit(sheared);
    EXPECT_NEAR(nearest.mScaling[1], std::sqrt(2.0), 1e-12);
    Frame back;
    KgeMatrixTranspose(back.data(), nearest.mTurn.data());
    near(writer3ds::Then(nearest.mTurn, back), writer3ds::IdentityFrame());
    EXPECT_FALSE(KFbxWriterMesh::TurnsInsideOut(nearest.mTurn.data()));
    // Nothing left: no scaling, no turn.
    near(writer3ds::ToFrame(writer3ds::Fit(trs(t, r, {0, 0, 0}))), trs(t, {0, 0, 0}, {1, 1, 1}));
}

TEST(Writer3dsTriangles, PolygonsAreCutAcrossAndBack) {
    using Triangles = std::vector<std::array<int, 3>>;
    EXPECT_EQ(KFbxWriter3DS::TriangulatePolygon(3), (Triangles{{0, 1, 2}}));
    EXPECT_EQ(KFbxWriter3DS::TriangulatePolygon(4), (Triangles{{0, 1, 2}, {2, 3, 0}}));
    EXPECT_EQ(KFbxWriter3DS::TriangulatePolygon(5), (Triangles{{0, 1, 2}, {2, 3, 0}, {0, 3, 4}}));
    EXPECT_EQ(KFbxWriter3DS::TriangulatePolygon(6), (Triangles{{0, 1, 2}, {2, 3, 0}, {0, 3, 5}, {3, 4, 5}}));
    EXPECT_TRUE(KFbxWriter3DS::TriangulatePolygon(2).empty());
}

TEST(Writer3dsMapNames, FitTheTwelveCharacterField) {
    EXPECT_EQ(KFbxWriter3DS::MapFileName("/some/long/folder/wood.tga"), "wood.tga");
    EXPECT_EQ(KFbxWriter3DS::MapFileName("twelve12.tga"), "twelve12.tga");
    EXPECT_EQ(KFbxWriter3DS::MapFileName("/x/thirteen1.tga"), "");
    // The numbered names of a texture's copy fit where its own name does,
    // the stem giving way to the number, never within a character.
    EXPECT_EQ(KFbxNumberedCopyName("h\xC3\xA9h\xC3\xA9.tga", 100, 12), "h\xC3\xA9h100.tga");
    EXPECT_EQ(KFbxNumberedCopyName("a.bcdefghijk", 10, 12), "");
    EXPECT_EQ(KFbxNumberedCopyName("thirteen1.tga", 10, 12), "thirteen110.tga");
    EXPECT_EQ(KFbxNumberedCopyName(".hidden", 2, 0), ".hidden2");
}

// ---- the write ----------------------------------------------------------------

using Writer3dsFrameTest = Writer3dsTest;

// One write's copies beside out/wood.tga of textures named wood.tga, each
// of the bytes given in a folder of its own.
class WoodCopies {
public:
    explicit WoodCopies(const ScratchFolder& folder) : mFolder(folder) {
        std::filesystem::create_directories(mFolder / "out");
    }
    // The name of the copy of the texture in the folder in.
    std::string operator()(const std::string& in, const char* bytes) {
        std::filesystem::create_directories(mFolder / in);
        const std::string texture = mFolder.Write(in + "/wood.tga", bytes);
        return mCopies.NameOf(texture.c_str(), mFolder / "out/wood.tga", 12, mMessage);
    }
    std::string Message() const { return mMessage.Buffer(); }

private:
    const ScratchFolder& mFolder;
    KFbxTextureCopies mCopies;
    KString mMessage;
};

// A write takes a file it looked at before for a texture's copy only while
// that file holds the texture's bytes: the digest it took of them then only
// points the way.
TEST_F(Writer3dsFrameTest, AWriteTakesAFileItSawBeforeOnlyWhileItHoldsTheTexturesBytes) {
    WoodCopies copy(mFolder);
    EXPECT_EQ(copy("a", "oak"), "wood.tga");
    EXPECT_EQ(copy("b", "elm"), "wood1.tga");
    mFolder.Write("out/wood.tga", "fir");
    EXPECT_EQ(copy("c", "oak"), "wood2.tga");
    EXPECT_EQ(copy("d", "elm"), "wood1.tga");
    EXPECT_EQ(mFolder.Read("out/wood.tga"), "fir");
    EXPECT_EQ(mFolder.Read("out/wood2.tga"), "oak");
    EXPECT_EQ(copy.Message(), "");
}

// Where every copy is there already, a write finds each by comparing and
// makes no file beside the written one, not even for a while: the folder's
// time of change stays, set far back before. A texture whose bytes an
// earlier one copied passes no name a later texture's copy has.
TEST_F(Writer3dsFrameTest, AWriteWhoseCopiesAreThereMakesNoFile) {
    WoodCopies copy(mFolder);
    mFolder.Write("out/wood.tga", "oak");
    mFolder.Write("out/wood1.tga", "elm");
    const struct timespec past[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, Path("out").c_str(), past, 0), 0);
    EXPECT_EQ(copy("a", "oak"), "wood.tga");
    EXPECT_EQ(copy("b", "oak"), "wood.tga");
    EXPECT_EQ(copy("c", "elm"), "wood1.tga");
    EXPECT_EQ(copy("d", "oak"), "wood.tga");
    struct stat folder {};
    ASSERT_EQ(stat(Path("out").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mtim.tv_sec, 1000);
    EXPECT_EQ(copy.Message(), "");
}

TEST_F(Writer3dsFrameTest, FileThatCannotBeOpenedIsReportedAtCreate) {
    KFbxWriter* writer = CreateWriter3DS(*mManager, nullptr, 0);
    ASSERT_NE(writer, nullptr);
    EXPECT_FALSE(writer->FileCreate(Path("missing/folder/out.3ds").c_str()));
    EXPECT_EQ(writer->GetLastErrorID(), KFbxWriter::eFILE_NOT_OPENED);
    EXPECT_FALSE(writer->IsFileOpen());
    EXPECT_FALSE(writer->Write(mScene, nullptr));
    EXPECT_EQ(writer->GetLastErrorID(), KFbxWriter::eFILE_NOT_OPENED);
    delete writer;
    // A later write is not failed by that error.
    AddNode("Box", Quad());
    EXPECT_TRUE(Export("box.3ds")) << mLastError;
}

TEST_F(Writer3dsFrameTest, FullDiskIsReportedAsOutOfDiskSpace) {
    if (std::FILE* full = std::fopen("/dev/full", "w")) {
        std::fclose(full);
    } else {
        GTEST_SKIP() << "no /dev/full";
    }
    AddNode("Box", Quad());
    KFbxWriter* writer = CreateWriter3DS(*mManager, nullptr, 0);
    ASSERT_NE(writer, nullptr);
    ASSERT_TRUE(writer->FileCreate("/dev/full"));
    EXPECT_FALSE(writer->Write(mScene, Options()));
    EXPECT_EQ(writer->GetLastErrorID(), KFbxWriter::eOUT_OF_DISK_SPACE);
    EXPECT_EQ(writer->GetLastErrorString(),
              "Out of disk space (/dev/full: " + std::string(std::strerror(ENOSPC)) + ")");
    delete writer;
}

TEST_F(Writer3dsFrameTest, RegistryKnowsTheWriter) {
    KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    EXPECT_EQ(registry.FindWriterByExtension("scene.3ds"), KFbxFileFormatRegistry::e3DS_WRITER);
    EXPECT_STREQ(registry.GetWriterDescription(KFbxFileFormatRegistry::e3DS_WRITER).Buffer(), "3D Studio 3DS (*.3ds)");
}

TEST_F(Writer3dsFrameTest, SceneWithoutAnimationHasOneKeyPerTrackAndHundredFrames) {
    KFbxNode* box = AddNode("Box", Quad());
    box->SetLclTranslation(KFbxVector4(1, 2, 3, 0));
    box->SetLclScaling(KFbxVector4(1, 2, 3, 0));
    ASSERT_TRUE(Export("still.3ds")) << mLastError;
    WrittenFile file(Path("still.3ds"));
    ASSERT_TRUE(file.Valid());
    EXPECT_EQ(file.AnimationLength(), 100);
    const auto motion = file.Object(0);
    ASSERT_NE(motion, nullptr);
    EXPECT_EQ(Text(motion->name), "Box");
    EXPECT_EQ(Text(motion->parent), "");
    ASSERT_EQ(motion->position.keycount, 1u);
    ASSERT_EQ(motion->rotation.keycount, 1u);
    ASSERT_EQ(motion->scale.keycount, 1u);
    EXPECT_EQ(motion->position.keys[0].frame, 0u);
    EXPECT_TRUE(Near(motion->position.values[0], 1, -3, 2));
    EXPECT_TRUE(Near(motion->scale.values[0], 1, 3, 2));
}

TEST_F(Writer3dsFrameTest, AnimationOffKeepsTheValuesAtTheStart) {
    KFbxNode* box = AddNode("Box", Quad());
    Key(box, &KFbxTakeNode::GetTranslationX, 0, 5.0);
    Key(box, &KFbxTakeNode::GetTranslationX, 10, 15.0);
    ASSERT_TRUE(Export("off.3ds", OptionsWith("ANIMATION", false))) << mLastError;
    WrittenFile file(Path("off.3ds"));
    const auto motion = file.Object(0);
    ASSERT_NE(motion, nullptr);
    ASSERT_EQ(motion->position.keycount, 1u);
    EXPECT_TRUE(Near(motion->position.values[0], 5, 0, 0));
}

// A node under a still group, keyed far on: its keys cost no more than
// they are many, and a key past what the keyframer takes ends its keys at
// the last frame it takes.
TEST_F(Writer3dsFrameTest, LongAnimationsUnderAStillGroupAreWrittenInTimeThatFollowsTheirKeys) {
    const auto at = [](double seconds) {
        KTime time;
        time.SetSecondDouble(seconds);
        return time;
    };
    std::vector<KTime> everyFrame(16000);
    for (std::size_t frame = 0; frame < everyFrame.size(); ++frame) {
        everyFrame[frame].SetTime(0, 0, 0, static_cast<int>(frame), 0, KTime::eFrames30);
    }
    struct Row {
        const char* mName;
        std::vector<KTime> mTimes;
        std::uint32_t mKeys;
    };
    const Row rows[] = {{"16 000 keys", everyFrame, 16000},
                        {"a key 600 s on", {at(0.0), at(600.0)}, 18001},
                        {"a key at 1e308 s", {at(0.0), at(1.0), at(1e308)}, KFbxWriter3DS::kMaxKeys}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mName);
        mScene->Clear();
        KFbxNode* node = AddNode("Node", nullptr, AddNode("Group"));
        KFCurve* curve = node->GetCurrentTakeNode()->GetTranslationX();
        for (const KTime& time : row.mTimes) {
            curve->KeySet(curve->KeyGetCount(), time, static_cast<float>(curve->KeyGetCount()),
                          KFCURVE_INTERPOLATION_LINEAR);
        }
        const boundedrun::Outcome outcome =
            boundedrun::Run([&] { return Export("long.3ds") ? 0 : 1; }, boundedrun::SecondsFor(0));
        ASSERT_TRUE(outcome.mReturned) << "signal " << outcome.mSignal;
        ASSERT_EQ(outcome.mValue, 0);
        WrittenFile file(Path("long.3ds"));
        const auto motion = file.Object(1);
        ASSERT_NE(motion, nullptr);
        ASSERT_EQ(motion->position.keycount, row.mKeys);
        EXPECT_EQ(motion->position.keys[row.mKeys - 1].frame, row.mKeys - 1);
    }
}

// A still camera at the end of a chain of still nodes, aimed at a target
// keyed to the keyframer's last frame: what does not move is evaluated once,
// so that the write keeps to little memory, and one given less than it
// needs ends with an error instead of an exception.
TEST_F(Writer3dsFrameTest, StillCameraDeepUnderStillNodesAimedAtALongAnimationTakesLittleMemory) {
    if (boundedrun::kSanitized) {
        GTEST_SKIP() << "sanitizers reserve more address space than any limit allows";
    }
    KFbxNode* parent = nullptr;
    for (int depth = 0; depth < 100; ++depth) {
        parent = AddNode(("Group" + std::to_string(depth)).c_str(), nullptr, parent);
        parent->SetLclTranslation(KFbxVector4(1, 0.5, 0, 0));
    }
    KFbxNode* camera = AddNode("Cam", KFbxCamera::Create(mManager, ""), parent);
    KFbxNode* target = AddNode("Aim");
    camera->SetTarget(target);
    KFCurve* curve = target->GetCurrentTakeNode()->GetTranslationZ();
    for (const double seconds : {0.0, 1.0, 1e308}) {
        KTime time;
        time.SetSecondDouble(seconds);
        curve->KeySet(curve->KeyGetCount(), time, static_cast<float>(curve->KeyGetCount()),
                      KFCURVE_INTERPOLATION_LINEAR);
    }
    for (const std::int64_t room : {16 * boundedrun::kMegabyte, 256 * boundedrun::kMegabyte}) {
        SCOPED_TRACE(room);
        const boundedrun::Outcome outcome = boundedrun::Run(
            [&] {
                if (!boundedrun::LimitAddressSpace(room)) return 8;
                try {
                    const bool written = Export("deep.3ds");
                    return written ? 0 : mLastError.find("Not enough memory") != std::string::npos ? 1 : 2;
                } catch (const std::bad_alloc&) {
                    return 3;
                }
            },
            boundedrun::SecondsFor(0) * 5);
        ASSERT_TRUE(outcome.mReturned) << "signal " << outcome.mSignal;
        EXPECT_EQ(outcome.mValue, room > 16 * boundedrun::kMegabyte ? 0 : 1);
    }
    WrittenFile file(Path("deep.3ds"));
    const auto motion = file.CameraMotion(0);
    ASSERT_NE(motion, nullptr);
    EXPECT_EQ(motion->roll.keycount, KFbxWriter3DS::kMaxKeys);
    EXPECT_EQ(motion->targetposition.keycount, KFbxWriter3DS::kMaxKeys);
}

TEST_F(Writer3dsFrameTest, MasterScaleFollowsRescalingAndTheReadersScaleNode) {
    AddNode("Box", Quad());
    ASSERT_TRUE(Export("scaled.3ds"));
    EXPECT_NEAR(WrittenFile(Path("scaled.3ds")).Settings().masterscale, 0.3937007874015748, 1e-7);
    ASSERT_TRUE(Export("plain.3ds", OptionsWith("RESCALING", false)));
    EXPECT_EQ(WrittenFile(Path("plain.3ds")).Settings().masterscale, 1.0f);

    KFbxNode* root = AddNode("Fbx_Root");
    root->SetLclScaling(KFbxVector4(2.54, 2.54, 2.54, 0));
    AddNode("Inner", Quad(), root);
    ASSERT_TRUE(Export("root.3ds"));
    WrittenFile file(Path("root.3ds"));
    EXPECT_NEAR(file.Settings().masterscale, 1.0, 1e-6);
    // The scale node is not written, and its child has no parent in the file.
    for (std::uint32_t index = 0; index < GetObjectNodeCount3ds(file.Database()); ++index) {
        const auto motion = file.Object(index);
        EXPECT_NE(Text(motion->instance), "Fbx_Roo");
        if (Text(motion->name) == "Inner") {
            EXPECT_EQ(Text(motion->parent), "");
        }
    }
}

TEST_F(Writer3dsFrameTest, MeshOffStillVisitsTheChildren) {
    KFbxNode* box = AddNode("Box", Quad());
    KFbxLight* light = KFbxLight::Create(mManager, "");
    light->SetLightType(KFbxLight::ePOINT);
    AddNode("Lamp", light, box);
    AddNode("Inner", Quad(), box);
    ASSERT_TRUE(Export("nomesh.3ds", OptionsWith("MESH", false))) << mLastError;
    WrittenFile file(Path("nomesh.3ds"));
    EXPECT_EQ(GetMeshCount3ds(file.Database()), 0u);
    EXPECT_EQ(GetObjectNodeCount3ds(file.Database()), 0u);
    EXPECT_EQ(GetOmnilightCount3ds(file.Database()), 1u);
    // The light's parent is not in the file, so it names none.
    const auto lamp = file.OmniMotion(0);
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(Text(lamp->parent), "");
}

TEST_F(Writer3dsFrameTest, DirectionalLightWritesNothing) {
    KFbxLight* sun = KFbxLight::Create(mManager, "");
    sun->SetLightType(KFbxLight::eDIRECTIONAL);
    AddNode("Sun", sun);
    ASSERT_TRUE(Export("sun.3ds")) << mLastError;
    WrittenFile file(Path("sun.3ds"));
    EXPECT_EQ(GetOmnilightCount3ds(file.Database()), 0u);
    EXPECT_EQ(GetSpotlightCount3ds(file.Database()), 0u);
    EXPECT_EQ(GetObjectNodeCount3ds(file.Database()), 0u);
    EXPECT_EQ(GetOmnilightNodeCount3ds(file.Database()), 0u);
}

TEST_F(Writer3dsFrameTest, ReferenceNodeWritesTheRootAsDummyParent) {
    KFbxNode* group = AddNode("Group");
    AddNode("Box", Quad(), group);
    ASSERT_TRUE(Export("noref.3ds")) << mLastError;
    {
        WrittenFile file(Path("noref.3ds"));
        ASSERT_EQ(GetObjectNodeCount3ds(file.Database()), 2u);
        const auto dummy = file.Object(0);
        EXPECT_EQ(Text(dummy->name), "$$$DUMMY");
        EXPECT_EQ(Text(dummy->instance), "Group");
        EXPECT_EQ(Text(dummy->parent), "");
        EXPECT_TRUE(Near(dummy->boundmin, -0.5, -0.5, -0.5));
        EXPECT_TRUE(Near(dummy->boundmax, 0.5, 0.5, 0.5));
        const auto box = file.Object(1);
        EXPECT_EQ(Text(box->name), "Box");
        EXPECT_EQ(Text(box->parent), "$$$DUMMY.Group");
    }
    ASSERT_TRUE(Export("ref.3ds", OptionsWith("REFERENCENODE", true))) << mLastError;
    WrittenFile file(Path("ref.3ds"));
    ASSERT_EQ(GetObjectNodeCount3ds(file.Database()), 3u);
    const auto root = file.Object(0);
    const std::string rootName = Text(root->instance);
    EXPECT_EQ(Text(root->name), "$$$DUMMY");
    EXPECT_FALSE(rootName.empty());
    EXPECT_EQ(Text(file.Object(1)->parent), "$$$DUMMY." + rootName);
}

TEST_F(Writer3dsFrameTest, ChildOfTheReadersScaleNodeNamesTheRootOnlyWithTheReferenceNode) {
    KFbxNode* scale = AddNode("Fbx_Root");
    AddNode("Box", Quad(), scale);
    ASSERT_TRUE(Export("ref.3ds", OptionsWith("REFERENCENODE", true))) << mLastError;
    WrittenFile file(Path("ref.3ds"));
    ASSERT_EQ(GetObjectNodeCount3ds(file.Database()), 2u);
    EXPECT_EQ(Text(file.Object(0)->instance), "RootNod");
    EXPECT_EQ(Text(file.Object(1)->name), "Box");
    EXPECT_EQ(Text(file.Object(1)->parent), "$$$DUMMY.RootNod");
}

TEST_F(Writer3dsFrameTest, CameraRollAddsTheTurnAboutItsViewAxis) {
    KFbxCamera* camera = KFbxCamera::Create(mManager, "");
    KFbxNode* node = AddNode("Cam", camera);
    camera->SetDefaultRoll(5.0);
    // Its up turned from the scene's Y towards its Z: clockwise seen along
    // its line of sight, which the format's roll counts negative.
    node->SetLclRotation(KFbxVector4(20, 0, 0, 0));
    ASSERT_TRUE(Export("roll.3ds")) << mLastError;
    WrittenFile file(Path("roll.3ds"));
    const auto motion = file.CameraMotion(0);
    ASSERT_NE(motion, nullptr);
    ASSERT_EQ(motion->roll.keycount, 1u);
    EXPECT_NEAR(motion->roll.values[0], -15.0, 1e-4);
    EXPECT_NEAR(file.Camera(0)->roll, -15.0, 1e-4);
    // A parent's turn about the view axis rolls the camera as well.
    mScene->GetRootNode()->RemoveChild(node);
    KFbxNode* rig = AddNode("Rig");
    rig->SetLclRotation(KFbxVector4(20, 0, 0, 0));
    rig->AddChild(node);
    node->SetLclRotation(KFbxVector4(0, 0, 0, 0));
    ASSERT_TRUE(Export("rig.3ds")) << mLastError;
    EXPECT_NEAR(WrittenFile(Path("rig.3ds")).CameraMotion(0)->roll.values[0], -15.0, 1e-4);
    // An aimed camera's up is its up vector's, whatever the turn of the rig.
    KFbxNode* aim = AddNode("Aim");
    aim->SetLclTranslation(KFbxVector4(5, 1, 0, 0));
    node->SetTarget(aim);
    ASSERT_TRUE(Export("aimed.3ds")) << mLastError;
    EXPECT_NEAR(WrittenFile(Path("aimed.3ds")).CameraMotion(0)->roll.values[0], 5.0, 1e-4);
    // Looking down from far off the origin, off straight down by less than
    // the file's floats keep there: its up along the scene's X is half a turn
    // from the -X that a roll of 0 means straight down.
    mScene->Clear();
    KFbxNode* down = AddNode("Down", KFbxCamera::Create(mManager, ""));
    down->SetLclTranslation(KFbxVector4(1000, 10, 0, 0));
    down->SetLclRotation(KFbxVector4(0, 0, -89.999885, 0));
    ASSERT_TRUE(Export("down.3ds")) << mLastError;
    const auto looking = WrittenFile(Path("down.3ds")).CameraMotion(0);
    EXPECT_NEAR(std::fabs(looking->roll.values[0]), 180.0, 1e-3);
}

TEST_F(Writer3dsFrameTest, OnlyTheWrittenSceneIsNamed) {
    KFbxScene* other = KFbxScene::Create(mManager, "other");
    KFbxNode* stranger = KFbxNode::Create(mManager, "Box");
    other->GetRootNode()->AddChild(stranger);
    KFbxNode* box = AddNode("Box", Quad());
    Key(box, &KFbxTakeNode::GetTranslationX, 0, 1.0);
    Key(box, &KFbxTakeNode::GetTranslationX, 5, 2.0);
    const int take = box->GetCurrentTakeNodeIndex();
    ASSERT_TRUE(Export("one.3ds")) << mLastError;
    WrittenFile file(Path("one.3ds"));
    EXPECT_EQ(Text(file.Mesh(0)->name), "Box");
    EXPECT_STREQ(stranger->GetName(), "Box");
    EXPECT_EQ(box->GetCurrentTakeNodeIndex(), take);
    EXPECT_EQ(box->GetCurrentTakeNode()->GetTranslationX()->KeyGetCount(), 2);
}

TEST_F(Writer3dsFrameTest, HostileScenesWriteAFileOfTheSameMeaningWithAWarningPerChange) {
    const double nan = std::nan("");
    const double infinity = HUGE_VAL;
    // Names with a line end, markup, quotes and non-ASCII bytes; points and
    // keys that are not numbers; an empty mesh; polygons of 0 to 2 corners.
    KFbxMesh* odd = MakeMesh({KFbxVector4(nan, 0, 0, 0), KFbxVector4(1, infinity, 0, 0), KFbxVector4(1, 1, 0, 0)},
                             {{0, 1, 2}, {}, {0}, {0, 1}});
    odd->AddMaterial(Phong("", nan, 0.5, 0.5));
    KFbxNode* node = AddNode("m\nv 9 9 9", odd);
    Key(node, &KFbxTakeNode::GetTranslationX, 0, 0.0);
    Key(node, &KFbxTakeNode::GetTranslationX, 5, nan);
    AddNode("<b \"q\">\xc3\xa9", MakeMesh({}, {}));
    KFbxLight* lamp = KFbxLight::Create(mManager, "");
    lamp->SetLightType(KFbxLight::ePOINT);
    const double colour[3] = {infinity, 1.0, 1.0};
    lamp->SetDefaultColor(colour);
    AddNode("Lamp", lamp);
    KFbxCamera* camera = KFbxCamera::Create(mManager, "");
    AddNode("Cam", camera, node)->SetLclTranslation(KFbxVector4(0, nan, 0, 0));
    ASSERT_TRUE(Export("hostile.3ds")) << mLastError;
    const std::string message = mMessage.Buffer();
    // One warning per record with the values it had to change.
    EXPECT_NE(message.find("The record \"m_v_9_9\" has 2 values that are not finite"), std::string::npos) << message;
    EXPECT_NE(message.find("The record \"Lamp\" has 2 values that are not finite"), std::string::npos) << message;
    EXPECT_NE(message.find("The record \"Unnamed\" has 1 values that are not finite"), std::string::npos) << message;
    EXPECT_NE(message.find("The record \"Cam\" has "), std::string::npos) << message;
    EXPECT_NE(message.find("\"m_v_9_9\": 3 polygons of fewer"), std::string::npos) << message;

    WrittenFile file(Path("hostile.3ds"));
    ASSERT_TRUE(file.Valid());
    const auto mesh = file.Mesh(0);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(Text(mesh->name), "m_v_9_9");
    ASSERT_EQ(mesh->vertexcount, 3u);
    EXPECT_EQ(mesh->facecount, 1u);
    EXPECT_TRUE(Near(mesh->vertices[0], 0, 0, 0));
    EXPECT_TRUE(Near(mesh->vertices[1], 1, 0, 0));
    EXPECT_EQ(Text(file.Material(0)->name), "Unnamed");
    EXPECT_EQ(file.Material(0)->diffuse.red, 0.0f);
    const auto motion = file.Object(0);
    ASSERT_NE(motion, nullptr);
    for (std::uint32_t key = 0; key < motion->position.keycount; ++key) {
        EXPECT_TRUE(std::isfinite(motion->position.values[key].x)) << key;
    }
    EXPECT_EQ(file.Omni(0)->color.red, 0.0f);
    EXPECT_TRUE(Near(file.Camera(0)->position, 0, 0, 0));
}

TEST_F(Writer3dsFrameTest, AmbientLightFollowsItsOption) {
    mScene->GetGlobalLightSettings().SetAmbientColor(KFbxColor(0.25, 0.5, 0.75, 1.0));
    AddNode("Box", Quad());
    ASSERT_TRUE(Export("ambient.3ds"));
    const meshsettings3ds on = WrittenFile(Path("ambient.3ds")).Settings();
    EXPECT_NEAR(on.ambientlight.red, 0.25, 1e-2);
    EXPECT_NEAR(on.ambientlight.blue, 0.75, 1e-2);
    ASSERT_TRUE(Export("dark.3ds", OptionsWith("AMBIENT LIGHT", false)));
    const meshsettings3ds off = WrittenFile(Path("dark.3ds")).Settings();
    EXPECT_EQ(off.ambientlight.red, 0.0f);
    EXPECT_EQ(off.ambientlight.green, 0.0f);
    EXPECT_EQ(off.ambientlight.blue, 0.0f);
}

TEST_F(Writer3dsFrameTest, ExportLeavesTheSceneAsItWasAndRepeatsByteForByte) {
    KFbxNode* group = AddNode("Model::A long group name");
    KFbxNode* first = AddNode("Box", Quad(), group);
    KFbxNode* second = AddNode("Box", Quad(), group);
    KFbxMesh* mesh = static_cast<KFbxMesh*>(first->GetNodeAttribute());
    KFbxTexture* texture = Texture("Wood", Path("wood.tga"));
    mesh->AddTexture(texture);
    mesh->InitTextureUVMapping(KFbxLayerElement::eBY_POLYGON_VERTEX);
    Key(second, &KFbxTakeNode::GetTranslationY, 0, 1.0);
    Key(second, &KFbxTakeNode::GetTranslationY, 3, 2.0);
    mFolder.Write("wood.tga", "pixels");
    const int materialsBefore = mesh->GetMaterialCount();
    const int pointsBefore = mesh->GetControlPointsCount();

    ASSERT_TRUE(Export("one.3ds")) << mLastError;
    ASSERT_TRUE(Export("two.3ds")) << mLastError;
    EXPECT_EQ(mFolder.Read("one.3ds"), mFolder.Read("two.3ds"));
    EXPECT_STREQ(group->GetName(), "Model::A long group name");
    EXPECT_STREQ(first->GetName(), "Box");
    EXPECT_STREQ(second->GetName(), "Box");
    EXPECT_EQ(mesh->GetMaterialCount(), materialsBefore);
    EXPECT_EQ(mesh->GetControlPointsCount(), pointsBefore);
    EXPECT_EQ(static_cast<KFbxMesh*>(second->GetNodeAttribute())->GetControlPointsCount(), 4);
    // The file holds both boxes under their own names.
    WrittenFile file(Path("one.3ds"));
    ASSERT_EQ(GetMeshCount3ds(file.Database()), 2u);
    EXPECT_EQ(Text(file.Mesh(0)->name), "Box");
    EXPECT_EQ(Text(file.Mesh(1)->name), "Box1");
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::writer3dstest
