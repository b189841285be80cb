#include "Ftk3dsTestSupport.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

// A mesh file of known chunks only, as the toolkit writes it: versions of
// release 2, nodes numbered in order, sizes exact.
std::string KnownFile() {
    const std::string points = Chunk(POINT_ARRAY, Le16(3) + LeFloat(0) + LeFloat(0) + LeFloat(0) + LeFloat(1) +
                                                      LeFloat(0) + LeFloat(0) + LeFloat(0) + LeFloat(1) + LeFloat(0));
    const std::string faces =
        Chunk(FACE_ARRAY, Le16(1) + Le16(0) + Le16(1) + Le16(2) + Le16(7) +
                              Chunk(MSH_MAT_GROUP, Text("Red") + Le16(1) + Le16(0)) + Chunk(SMOOTH_GROUP, Le32(1)));
    const std::string matrix = Chunk(MESH_MATRIX, std::string(48, '\0'));
    const std::string mesh = Chunk(N_TRI_OBJECT, points + matrix + Chunk(MESH_COLOR, "\x02") + faces);
    const std::string xdata = Chunk(XDATA_SECTION, Chunk(XDATA_ENTRY, Chunk(XDATA_APPNAME, Text("app")) +
                                                                          Chunk(XDATA_STRING, Text("payload"))));
    const std::string object = Chunk(NAMED_OBJECT, Text("Box") + mesh + xdata);
    const std::string material =
        Chunk(MAT_ENTRY, Chunk(MAT_NAME, Text("Red")) +
                             Chunk(MAT_DIFFUSE, Chunk(COLOR_24, std::string("\xFF\0\0", 3)) +
                                                   Chunk(LIN_COLOR_24, std::string("\xFF\0\0", 3))));
    const std::string mdata =
        Chunk(MDATA, Chunk(MESH_VERSION, Le32(3)) + Chunk(MASTER_SCALE, LeFloat(1)) + material + object);
    auto node = [](std::uint32_t tag, std::uint16_t id, const std::string& name, std::uint16_t parent,
                   const std::string& extra) {
        return Chunk(tag, Chunk(NODE_ID, Le16(id)) + Chunk(NODE_HDR, Text(name) + Le16(0) + Le16(0) + Le16(parent)) +
                              extra);
    };
    const std::string track = Chunk(POS_TRACK_TAG, Le16(0) + Le32(0) + Le32(0) + Le32(1) + Le32(0) + Le16(0) +
                                                       LeFloat(1) + LeFloat(2) + LeFloat(3));
    const std::string kfdata =
        Chunk(KFDATA, Chunk(KFHDR, Le16(5) + Text("") + Le32(30)) + Chunk(KFSEG, Le32(0) + Le32(30)) +
                          Chunk(KFCURTIME, Le32(0)) + node(OBJECT_NODE_TAG, 0, "Box", 0xFFFF, track) +
                          node(OBJECT_NODE_TAG, 1, "Box", 0, Chunk(INSTANCE_NAME, Text("B"))));
    return Chunk(M3DMAGIC, Chunk(M3D_VERSION, Le32(3)) + mdata + kfdata);
}

class DatabaseTest : public Ftk3dsTest {
protected:
    void TearDown() override {
        ReleaseDatabase3ds(&database_);
        Ftk3dsTest::TearDown();
    }
    database3ds* database_ = nullptr;
};

TEST_F(DatabaseTest, AFileOfKnownChunksIsWrittenBackByteForByte) {
    const std::string original = KnownFile();
    database_ = ReadImage(original);
    ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
    EXPECT_EQ(GetDatabaseType3ds(database_), DatabaseMeshFile3ds);
    EXPECT_EQ(WriteImage(database_), original);
    // The tree read back is as good as the first.
    database3ds* again = ReadImage(ReadBytes(Path("out.3ds")), "again.3ds");
    EXPECT_EQ(WriteImage(again, "again-out.3ds"), original);
    ReleaseDatabase3ds(&again);
}

TEST_F(DatabaseTest, ReadingGivesTheNodesTheirParentNamesAndTheListsTheirNames) {
    database_ = ReadImage(KnownFile());
    ASSERT_FALSE(FtkErrorPending);
    Chunk3ds* child = FindNodeTagByName3ds(database_, "Box.B", OBJECT_NODE_TAG);
    ASSERT_NE(child, nullptr);
    char parent[32];
    GetParentName3ds(child, parent, sizeof parent);
    EXPECT_STREQ(parent, "Box");
    EXPECT_EQ(FindNodeTagByIndex3ds(database_, 1, OBJECT_NODE_TAG), child);
    EXPECT_EQ(FindNodeTagByIndex3ds(database_, 2, OBJECT_NODE_TAG), nullptr);

    Chunk3ds* object = nullptr;
    FindNamedObject3ds(database_, "Box", &object);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->tag, NAMED_OBJECT);
    FindNamedObject3ds(database_, "box", &object);
    EXPECT_EQ(object, nullptr);
    Chunk3ds* material = nullptr;
    FindMaterial3ds(database_, "Red", &material);
    EXPECT_EQ(material, GetMaterialChunkByIndex3ds(database_, 0));
    EXPECT_EQ(GetMaterialChunkByIndex3ds(database_, 1), nullptr);
    EXPECT_FALSE(FtkErrorPending);
    // Names are read when the lists are built, and let go afterwards.
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(database_->topchunk->children->sibling->data, nullptr);
}

// Chunks read together share heap blocks: one let go on its own leaves the
// others whole, and the tree still releases them all.
TEST_F(DatabaseTest, AChunkReadFromTheFileIsReleasedOnItsOwnWhileTheRestOfTheTreeLives) {
    database_ = ReadImage(Chunk(M3DMAGIC, Chunk(M3D_VERSION, Le32(3)) +
                                              Chunk(MDATA, Chunk(MESH_VERSION, Le32(3)) + Chunk(MASTER_SCALE, Le32(0)))));
    ASSERT_FALSE(FtkErrorPending);
    Chunk3ds* mdata = database_->topchunk->children->sibling;
    ASSERT_NE(mdata, nullptr);
    Chunk3ds* version = mdata->children;
    ASSERT_NE(version, nullptr);
    mdata->children = version->sibling;
    version->sibling = nullptr;
    ReleaseChunk3ds(&version);
    ASSERT_NE(mdata->children, nullptr);
    EXPECT_EQ(mdata->children->tag, MASTER_SCALE);
    EXPECT_EQ(mdata->children->sibling, nullptr);
}

TEST_F(DatabaseTest, AForeignTopChunkGivesADatabaseWithoutChildrenAndNoError) {
    database_ = ReadImage(Chunk(0x1234, Chunk(MDATA)));
    EXPECT_FALSE(FtkErrorPending);
    ASSERT_NE(database_->topchunk, nullptr);
    EXPECT_EQ(database_->topchunk->tag, 0x1234u);
    EXPECT_EQ(database_->topchunk->children, nullptr);
    EXPECT_EQ(GetDatabaseType3ds(database_), DatabaseNone3ds);
}

TEST_F(DatabaseTest, ANewDatabaseIsWrittenWithItsSizesPatchedAndWithoutParentNames) {
    InitDatabase3ds(&database_);
    CreateNewDatabase3ds(database_, DatabaseMeshFile3ds);
    Chunk3ds* kfdata = nullptr;
    FindOrCreateKfData3ds(database_->topchunk, &kfdata);
    Chunk3ds* node = AddChildChunk3ds(OBJECT_NODE_TAG, kfdata);
    PutNodeId3ds(node);
    PutNodeHeader3ds("Box", 0, 0, "Ghost", node);
    Chunk3ds* cleared = AddChildChunk3ds(KFSEG, kfdata);
    ClearChunk3ds(cleared);
    ASSERT_FALSE(FtkErrorPending);
    const std::string bytes = WriteImage(database_);
    const std::string expected =
        Chunk(M3DMAGIC, Chunk(M3D_VERSION, Le32(3)) + Chunk(MDATA, Chunk(MESH_VERSION, Le32(3))) +
                            Chunk(KFDATA, Chunk(KFHDR, Le16(5) + Text("") + Le32(30)) +
                                              Chunk(OBJECT_NODE_TAG, Chunk(NODE_ID, Le16(0)) +
                                                                         Chunk(NODE_HDR, Text("Box") + Le16(0) +
                                                                                             Le16(0) + Le16(0xFFFF)))));
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(database_->topchunk->size, expected.size());
}

TEST_F(DatabaseTest, ExtraDataEntriesAreWrittenOnceAndForeignSubChunksEndThem) {
    const std::string entry = Chunk(XDATA_ENTRY, Chunk(XDATA_APPNAME, Text("app")) + Chunk(0x1111, "zz") +
                                                     Chunk(XDATA_STRING, Text("lost")));
    database_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(XDATA_SECTION, entry))));
    ASSERT_FALSE(FtkErrorPending);
    Chunk3ds* xdataEntry = nullptr;
    FindChunk3ds(database_->topchunk, XDATA_ENTRY, &xdataEntry);
    ASSERT_NE(xdataEntry, nullptr);
    EXPECT_EQ(ChildTags(xdataEntry), std::vector<std::uint32_t>{XDATA_APPNAME});
    const std::string bytes = WriteImage(database_);
    const std::string written = Chunk(XDATA_ENTRY, Chunk(XDATA_APPNAME, Text("app")));
    EXPECT_NE(bytes.find(written), std::string::npos);
    EXPECT_EQ(bytes.find("app"), bytes.rfind("app"));
}

TEST_F(DatabaseTest, TheDatabaseListsFollowThePutRoutinesOnlyOnceMarkedOutOfDate) {
    database_ = ReadImage(KnownFile());
    UpdateNamedObjectList3ds(database_);
    ASSERT_NE(database_->objlist, nullptr);
    EXPECT_EQ(database_->objlist->count, 1u);
    Chunk3ds* mdata = nullptr;
    FindChunk3ds(database_->topchunk, MDATA, &mdata);
    Chunk3ds* added = AddChildChunk3ds(NAMED_OBJECT, mdata);
    auto* name = static_cast<TextData3ds*>(InitChunkData3ds(added));
    name->text = StrDup3ds("Sphere");
    UpdateNamedObjectList3ds(database_);
    EXPECT_EQ(database_->objlist->count, 1u);
    MarkNamedObjectListDirty3ds(database_);
    Chunk3ds* sphere = nullptr;
    FindNamedObject3ds(database_, "Sphere", &sphere);
    EXPECT_NE(sphere, nullptr);
    EXPECT_EQ(database_->objlist->count, 2u);
}

// The entries of a list as the put routines left it, against those a rebuild
// finds in the tree; the list must have been kept up to date.
::testing::AssertionResult KeptAsARebuildFindsIt(database3ds* database, NameList3ds which) {
    namelist3ds* database3ds::*list = which == NameList3ds::Objects     ? &database3ds::objlist
                                      : which == NameList3ds::Materials ? &database3ds::matlist
                                                                        : &database3ds::nodelist;
    std::uint8_t database3ds::*dirty = which == NameList3ds::Objects     ? &database3ds::objlistdirty
                                       : which == NameList3ds::Materials ? &database3ds::matlistdirty
                                                                         : &database3ds::nodelistdirty;
    if (database->*dirty != 0 || database->*list == nullptr) return ::testing::AssertionFailure() << "out of date";
    const auto entries = [&] {
        std::vector<std::pair<std::string, Chunk3ds*>> all;
        for (std::uint32_t i = 0; i < (database->*list)->count; ++i) {
            const namelistentry3ds& entry = (database->*list)->list[i];
            all.emplace_back(entry.name != nullptr ? entry.name : "(none)", entry.chunk);
        }
        return all;
    };
    const auto kept = entries();
    database->*dirty = 1;
    which == NameList3ds::Objects     ? UpdateNamedObjectList3ds(database)
    : which == NameList3ds::Materials ? UpdateMaterialList3ds(database)
                                      : UpdateNodeList3ds(database);
    if (kept != entries()) return ::testing::AssertionFailure() << "a rebuild lists other chunks";
    return ::testing::AssertionSuccess();
}

TEST_F(DatabaseTest, ThePutRoutinesKeepTheListsAsARebuildFindsThem) {
    database_ = NewMeshDatabase();
    // Records of each kind, one replacing another of its name.
    kfmesh3ds* dummy = nullptr;
    InitObjectMotion3ds(&dummy, 1, 1, 1, 0, 0);
    std::strcpy(dummy->name, "$$$DUMMY");
    for (const char* instance : {"Group", "B", "Group", "Other"}) {
        std::strcpy(dummy->instance, instance);
        PutObjectMotion3ds(database_, dummy);
    }
    ReleaseObjectMotion3ds(&dummy);
    kfcamera3ds* camera = nullptr;
    InitCameraMotion3ds(&camera, 1, 1, 1, 1);
    std::strcpy(camera->name, "Cam");
    PutCameraMotion3ds(database_, camera);
    ReleaseCameraMotion3ds(&camera);
    kfomni3ds* omni = nullptr;
    InitOmnilightMotion3ds(&omni, 1, 1);
    std::strcpy(omni->name, "Lamp");
    PutOmnilightMotion3ds(database_, omni);
    ReleaseOmnilightMotion3ds(&omni);
    ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
    EXPECT_TRUE(KeptAsARebuildFindsIt(database_, NameList3ds::Nodes));
    EXPECT_NE(FindNodeTagByName3ds(database_, "Cam", TARGET_NODE_TAG), nullptr);
    EXPECT_NE(FindNodeTagByName3ds(database_, "$$$DUMMY.Other", OBJECT_NODE_TAG), nullptr);

    mesh3ds* mesh = nullptr;
    InitMeshObj3ds(&mesh, 3, 1, 0);
    for (const char* name : {"Box", "Box", "Sphere"}) {
        std::strcpy(mesh->name, name);
        PutMesh3ds(database_, mesh);
    }
    ReleaseMeshObj3ds(&mesh);
    camera3ds* lens = nullptr;
    InitCamera3ds(&lens);
    std::strcpy(lens->name, "Cam");
    PutCamera3ds(database_, lens);
    ReleaseCamera3ds(&lens);
    light3ds* light = nullptr;
    InitLight3ds(&light);
    std::strcpy(light->name, "Lamp");
    PutLight3ds(database_, light);
    ReleaseLight3ds(&light);
    material3ds* material = nullptr;
    InitMaterial3ds(&material);
    for (const char* name : {"Red", "Blue", "Red", "Green"}) {
        std::strcpy(material->name, name);
        PutMaterial3ds(database_, material);
    }
    ReleaseMaterial3ds(&material);
    ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
    EXPECT_TRUE(KeptAsARebuildFindsIt(database_, NameList3ds::Objects));
    EXPECT_TRUE(KeptAsARebuildFindsIt(database_, NameList3ds::Materials));
    Chunk3ds* found = nullptr;
    FindNamedObject3ds(database_, "Lamp", &found);
    EXPECT_NE(found, nullptr);
}

class OpenFilesTest : public Ftk3dsTest {};

TEST_F(OpenFilesTest, ModesGiveStatesAndTheSameNameAndModeGiveTheSameRecord) {
    WriteBytes(Path("a.3ds"), KnownFile());
    file3ds* first = OpenFile3ds(Path("a.3ds").c_str(), "rb");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->state, FileStateRead3ds);
    EXPECT_EQ(OpenFile3ds(Path("a.3ds").c_str(), "rb"), first);
    EXPECT_EQ(GetFileCount3ds(), 1);
    file3ds* written = OpenFile3ds(Path("b.3ds").c_str(), "wb");
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->state, FileStateWrite3ds);
    EXPECT_EQ(OpenFile3ds(Path("c.3ds").c_str(), "a"), nullptr);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INIT_FAILED});
    EXPECT_EQ(OpenFile3ds(Path("c.3ds").c_str(), std::string(31, 'r').c_str()), nullptr);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_STRING_TOO_LONG});
    EXPECT_EQ(OpenFile3ds(Path("missing/c.3ds").c_str(), "rb"), nullptr);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_OPENING_FILE});
    // A freed slot is used again.
    const std::uint8_t slot = first->index;
    CloseFile3ds(first);
    EXPECT_FALSE(IsValidFileIndex3ds(slot));
    file3ds* again = OpenFile3ds(Path("a.3ds").c_str(), "rb");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->index, slot);
}

TEST_F(OpenFilesTest, WritingANameThatIsBeingReadMovesTheReadFileAsideUntilItIsClosed) {
    const std::string original = KnownFile();
    WriteBytes(Path("scene.3ds"), original);
    file3ds* in = OpenFile3ds(Path("scene.3ds").c_str(), "rb");
    database3ds* database = nullptr;
    InitDatabase3ds(&database);
    CreateDatabase3ds(in, database);
    ASSERT_FALSE(FtkErrorPending);
    file3ds* out = OpenFile3ds(Path("scene.3ds").c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_NE(out, in);
    EXPECT_EQ(in->temporary, 1);
    const std::string temporary = in->name;
    EXPECT_EQ(std::filesystem::path(temporary).parent_path(), dir_);
    EXPECT_EQ(ReadBytes(temporary), original);
    // The chunks still read from the moved file.
    WriteDatabase3ds(out, database);
    EXPECT_FALSE(FtkErrorPending);
    CloseFile3ds(out);
    EXPECT_EQ(ReadBytes(Path("scene.3ds")), original);
    ReleaseDatabase3ds(&database);
    CloseFile3ds(in);
    EXPECT_FALSE(std::filesystem::exists(temporary));
}

TEST_F(OpenFilesTest, OneHundredAndTwoHundredFiftyThreeFilesAreTooMany) {
    for (int i = 0; i < kMaxOpenFiles3ds; ++i) {
        ASSERT_NE(OpenFile3ds(Path("f" + std::to_string(i)).c_str(), "wb"), nullptr) << i;
    }
    EXPECT_EQ(OpenFile3ds(Path("one-more").c_str(), "wb"), nullptr);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_TOO_MANY_FILES});
    CloseAllFiles3ds();
    EXPECT_EQ(GetFileCount3ds(), 0);
    EXPECT_NE(OpenFile3ds(Path("one-more").c_str(), "wb"), nullptr);
}

TEST_F(OpenFilesTest, OpeningAFileClearsAnEarlierError) {
    PushError3ds(ERR_READING_DATABASE);
    WriteBytes(Path("a.3ds"), KnownFile());
    file3ds* file = OpenFile3ds(Path("a.3ds").c_str(), "rb");
    EXPECT_NE(file, nullptr);
    EXPECT_FALSE(FtkErrorPending);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
