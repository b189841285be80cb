#include "Ftk3dsTestSupport.h"

#include <cstring>
#include <string>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

class MeshTest : public Ftk3dsTest {
protected:
    void TearDown() override {
        ReleaseMeshObj3ds(&mesh_);
        ReleaseMeshObj3ds(&read_);
        ReleaseDatabase3ds(&database_);
        ReleaseDatabase3ds(&reread_);
        Ftk3dsTest::TearDown();
    }

    // A mesh with every field set.
    void FillMesh(std::uint16_t vertices, std::uint16_t faces) {
        InitMeshObj3ds(&mesh_, vertices, faces, 0xFF);
        ASSERT_NE(mesh_, nullptr);
        mesh3ds& m = *mesh_;
        std::strcpy(m.name, "Teapot0001");
        m.hidden = m.matte = m.frozen = 1;
        for (std::uint16_t i = 0; i < vertices; ++i) {
            m.vertices[i] = {0.5f * i, -1.0f / (i + 1), 1e-3f * i};
            m.vflags[i] = static_cast<std::uint16_t>(i ^ 0x5A5A);
            m.texverts[i] = {0.25f * (i % 4), 1.0f - 0.125f * (i % 8)};
        }
        for (std::uint16_t i = 0; i < faces; ++i) {
            m.faces[i] = {static_cast<std::uint16_t>(i % vertices), static_cast<std::uint16_t>((i + 1) % vertices),
                          static_cast<std::uint16_t>((i + 2) % vertices), 7};
            m.smoothgroups[i] = 1u << (i % 32);
        }
        m.usemapinfo = 1;
        m.maptype = 2;
        m.tilex = 3;
        m.centerz = -2;
        for (int i = 0; i < 12; ++i) {
            m.mapmatrix[i] = 0.1f * i;
            m.localmatrix[i] = 1.5f * i - 3;
        }
        m.planarheight = 4;
        m.useboxmap = 1;
        for (int i = 0; i < 6; ++i) std::strcpy(m.boxmap[i], ("BoxSide" + std::to_string(i)).c_str());
        m.meshcolor = 9;
        m.matgroupcount = 2;
        InitMeshObjField3ds(&m, MeshFieldMatGroups3ds);
        std::strcpy(m.matgroups[0].name, "Sixteen-chars-16");
        m.matgroups[0].facecount = faces;
        InitMatArrayIndex3ds(&m, 0, faces);
        for (std::uint16_t i = 0; i < faces; ++i) m.matgroups[0].faces[i] = i;
        std::strcpy(m.matgroups[1].name, "Unused");
        m.procedural = 1;
        m.procdatasize = 3;
        InitMeshObjField3ds(&m, MeshFieldProcData3ds);
        std::memcpy(m.procdata, "abc", 3);
        std::strcpy(m.procname, "twelve-chars");
        ASSERT_FALSE(FtkErrorPending);
    }

    void ExpectSameMesh(const mesh3ds& a, const mesh3ds& b) {
        EXPECT_STREQ(a.name, b.name);
        EXPECT_EQ(a.hidden, b.hidden);
        EXPECT_EQ(a.vislofter, b.vislofter);
        EXPECT_EQ(a.matte, b.matte);
        EXPECT_EQ(a.nocast, b.nocast);
        EXPECT_EQ(a.fast, b.fast);
        EXPECT_EQ(a.norcvshadow, b.norcvshadow);
        EXPECT_EQ(a.frozen, b.frozen);
        ASSERT_EQ(a.vertexcount, b.vertexcount);
        EXPECT_TRUE(SameArray(a.vertices, b.vertices, a.vertexcount));
        ASSERT_EQ(a.vflagcount, b.vflagcount);
        EXPECT_TRUE(SameArray(a.vflags, b.vflags, a.vflagcount));
        ASSERT_EQ(a.texvertcount, b.texvertcount);
        EXPECT_TRUE(SameArray(a.texverts, b.texverts, a.texvertcount));
        EXPECT_EQ(a.usemapinfo, b.usemapinfo);
        EXPECT_EQ(a.maptype, b.maptype);
        for (float mesh3ds::*field : {&mesh3ds::tilex, &mesh3ds::tiley, &mesh3ds::centerx, &mesh3ds::centery,
                                      &mesh3ds::centerz, &mesh3ds::scale, &mesh3ds::planarwidth,
                                      &mesh3ds::planarheight, &mesh3ds::cylinderheight}) {
            EXPECT_TRUE(SameBits(a.*field, b.*field));
        }
        EXPECT_TRUE(SameArray(a.mapmatrix, b.mapmatrix, 12));
        EXPECT_TRUE(SameArray(a.localmatrix, b.localmatrix, 12));
        ASSERT_EQ(a.facecount, b.facecount);
        EXPECT_TRUE(SameArray(a.faces, b.faces, a.facecount));
        EXPECT_EQ(a.smoothgroups == nullptr, b.smoothgroups == nullptr);
        if (a.smoothgroups != nullptr) {
            EXPECT_TRUE(SameArray(a.smoothgroups, b.smoothgroups, a.facecount));
        }
        EXPECT_EQ(a.useboxmap, b.useboxmap);
        for (int i = 0; a.useboxmap != 0 && i < 6; ++i) EXPECT_STREQ(a.boxmap[i], b.boxmap[i]);
        EXPECT_EQ(a.meshcolor, b.meshcolor);
        ASSERT_EQ(a.matgroupcount, b.matgroupcount);
        for (std::uint16_t g = 0; g < a.matgroupcount; ++g) {
            EXPECT_STREQ(a.matgroups[g].name, b.matgroups[g].name);
            ASSERT_EQ(a.matgroups[g].facecount, b.matgroups[g].facecount);
            EXPECT_TRUE(SameArray(a.matgroups[g].faces, b.matgroups[g].faces, a.matgroups[g].facecount));
        }
        EXPECT_EQ(a.procedural, b.procedural);
        ASSERT_EQ(a.procdatasize, b.procdatasize);
        EXPECT_TRUE(SameArray(static_cast<const char*>(a.procdata), static_cast<const char*>(b.procdata),
                              a.procdatasize));
        EXPECT_STREQ(a.procname, b.procname);
    }

    void PutWriteRead() {
        database_ = NewMeshDatabase();
        PutMesh3ds(database_, mesh_);
        ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
        reread_ = WriteAndRead(database_);
        ASSERT_FALSE(FtkErrorPending);
        ASSERT_EQ(GetMeshCount3ds(reread_), 1u);
        GetMeshByIndex3ds(reread_, 0, &read_);
        ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
        ASSERT_NE(read_, nullptr);
    }

    // How many chunks of the tree hold a record.
    static std::size_t Records(const Chunk3ds* chunk) {
        std::size_t count = chunk->data != nullptr ? 1 : 0;
        for (const Chunk3ds* child = chunk->children; child != nullptr; child = child->sibling) count += Records(child);
        return count;
    }

    mesh3ds* mesh_ = nullptr;
    mesh3ds* read_ = nullptr;
    database3ds* database_ = nullptr;
    database3ds* reread_ = nullptr;
};

TEST_F(MeshTest, AMeshWithEveryFieldComesBackFromTheFileFieldByField) {
    FillMesh(5, 4);
    PutWriteRead();
    ExpectSameMesh(*mesh_, *read_);
    // A get leaves no record of the file loaded and takes none of those put
    // in memory: from either database the mesh comes back again.
    EXPECT_EQ(Records(reread_->topchunk), 0u);
    database_ = NewMeshDatabase();
    PutMesh3ds(database_, mesh_);
    const std::size_t put = Records(database_->topchunk);
    EXPECT_GT(put, 0u);
    for (database3ds* database : {reread_, database_, database_}) {
        mesh3ds* again = nullptr;
        GetMeshByIndex3ds(database, 0, &again);
        ASSERT_NE(again, nullptr);
        ExpectSameMesh(*mesh_, *again);
        ReleaseMeshObj3ds(&again);
    }
    EXPECT_EQ(Records(reread_->topchunk), 0u);
    EXPECT_EQ(Records(database_->topchunk), put);
}

TEST_F(MeshTest, TheLargestCountsTheFormatHoldsComeBack) {
    FillMesh(65535, 65535);
    mesh_->matgroupcount = 0;
    InitMeshObjField3ds(mesh_, MeshFieldMatGroups3ds);
    PutWriteRead();
    ExpectSameMesh(*mesh_, *read_);
}

TEST_F(MeshTest, AnEmptyMeshComesBackEmpty) {
    InitMeshObj3ds(&mesh_, 0, 0, 0);
    std::strcpy(mesh_->name, "Empty");
    PutWriteRead();
    ExpectSameMesh(*mesh_, *read_);
    EXPECT_EQ(read_->vertices, nullptr);
    EXPECT_EQ(read_->faces, nullptr);
}

TEST_F(MeshTest, AMeshWithoutOptionalChunksReadsTheDefaults) {
    reread_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(NAMED_OBJECT, Text("Bare") + Chunk(N_TRI_OBJECT)))));
    GetMeshByIndex3ds(reread_, 0, &read_);
    ASSERT_FALSE(FtkErrorPending);
    mesh3ds* defaults = nullptr;
    InitMeshObj3ds(&defaults, 0, 0, 0);
    std::strcpy(defaults->name, "Bare");
    ExpectSameMesh(*defaults, *read_);
    EXPECT_EQ(read_->mapmatrix[8], 0.0f);
    EXPECT_EQ(read_->tilex, 1.0f);
    ReleaseMeshObj3ds(&defaults);
}

TEST_F(MeshTest, PuttingAMeshTwiceReplacesItAndKeepsItsExtraData) {
    FillMesh(3, 1);
    database_ = NewMeshDatabase();
    PutMesh3ds(database_, mesh_);
    Chunk3ds* object = nullptr;
    FindNamedObject3ds(database_, mesh_->name, &object);
    ASSERT_NE(object, nullptr);
    Chunk3ds* triObject = nullptr;
    FindChunk3ds(object, N_TRI_OBJECT, &triObject);
    Chunk3ds* section = AddChildChunk3ds(XDATA_SECTION, triObject);
    AddChildChunk3ds(XDATA_ENTRY, section);
    mesh_->vertices[0].x = 42;
    PutMesh3ds(database_, mesh_);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_EQ(GetMeshCount3ds(database_), 1u);
    Chunk3ds* xdata = nullptr;
    FindChunk3ds(database_->topchunk, XDATA_ENTRY, &xdata);
    EXPECT_NE(xdata, nullptr);
    GetMeshByIndex3ds(database_, 0, &read_);
    EXPECT_EQ(read_->vertices[0].x, 42.0f);
}

TEST_F(MeshTest, NamesLongerThanTheFormatTakesAreRefused) {
    FillMesh(3, 1);
    database_ = NewMeshDatabase();
    std::memset(mesh_->name, 'n', sizeof mesh_->name);
    PutMesh3ds(database_, mesh_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_STRING_TOO_LONG});
    EXPECT_EQ(GetMeshCount3ds(database_), 0u);
    ClearErrorList3ds();
    std::strcpy(mesh_->name, "Ok");
    std::memset(mesh_->matgroups[1].name, 'm', sizeof mesh_->matgroups[1].name);
    PutMesh3ds(database_, mesh_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_STRING_TOO_LONG});
}

TEST_F(MeshTest, FacesAndGroupsNamingWhatIsNotThereAreInvalid) {
    FillMesh(3, 2);
    database_ = NewMeshDatabase();
    mesh_->faces[1].c = 3;
    PutMesh3ds(database_, mesh_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INVALID_DATA});
    ClearErrorList3ds();
    mesh_->faces[1].c = 2;
    mesh_->matgroups[0].faces[1] = 2;
    PutMesh3ds(database_, mesh_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INVALID_DATA});
    ClearErrorList3ds();
    mesh_->matgroups[0].faces[1] = 1;
    ReleaseMeshObjField3ds(mesh_, MeshFieldFaces3ds);
    PutMesh3ds(database_, mesh_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INVALID_DATA});

    const std::string points = Chunk(POINT_ARRAY, Le16(1) + std::string(12, '\0'));
    const std::string faces = Chunk(FACE_ARRAY, Le16(1) + Le16(0) + Le16(0) + Le16(5) + Le16(0));
    reread_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(NAMED_OBJECT, Text("Bad") + Chunk(N_TRI_OBJECT, points + faces)))));
    GetMeshByIndex3ds(reread_, 0, &read_);
    EXPECT_TRUE(Recorded(ERR_INVALID_DATA));
}

TEST_F(MeshTest, SmoothingGroupsAlwaysHaveOneMaskPerFace) {
    const std::string faces = Chunk(FACE_ARRAY, Le16(3) + std::string(24, '\0') + Chunk(SMOOTH_GROUP, Le32(6)));
    const std::string points = Chunk(POINT_ARRAY, Le16(3) + std::string(36, '\0'));
    reread_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(NAMED_OBJECT, Text("S") + Chunk(N_TRI_OBJECT, points + faces)))));
    GetMeshByIndex3ds(reread_, 0, &read_);
    ASSERT_FALSE(FtkErrorPending);
    ASSERT_EQ(read_->facecount, 3);
    ASSERT_NE(read_->smoothgroups, nullptr);
    EXPECT_EQ(read_->smoothgroups[0], 6u);
    EXPECT_EQ(read_->smoothgroups[2], 0u);
    EXPECT_EQ(read_->matgroupcount, 0);
}

TEST_F(MeshTest, CamerasAndLightsAreNoMeshes) {
    database_ = NewMeshDatabase();
    camera3ds* camera = nullptr;
    InitCamera3ds(&camera);
    std::strcpy(camera->name, "Cam");
    PutCamera3ds(database_, camera);
    ReleaseCamera3ds(&camera);
    FillMesh(3, 1);
    PutMesh3ds(database_, mesh_);
    EXPECT_EQ(GetMeshCount3ds(database_), 1u);
    GetMeshByIndex3ds(database_, 0, &read_);
    EXPECT_STREQ(read_->name, "Teapot0001");
    GetMeshByIndex3ds(database_, 1, &read_);
    EXPECT_STREQ(read_->name, "Teapot0001");
    Chunk3ds* cameraObject = nullptr;
    FindNamedObject3ds(database_, "Cam", &cameraObject);
    GetMeshEntryChunk3ds(cameraObject, &read_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_WRONG_OBJECT});
}

TEST_F(MeshTest, FieldsResizeKeepingWhatTheyHeld) {
    InitMeshObj3ds(&mesh_, 2, 1, 0);
    mesh_->vertices[1] = {1, 2, 3};
    mesh_->vertexcount = 4;
    InitMeshObjField3ds(mesh_, MeshFieldVertices3ds | MeshFieldFaces3ds);
    EXPECT_TRUE(SamePoint(mesh_->vertices[1], {1, 2, 3}));
    EXPECT_TRUE(SamePoint(mesh_->vertices[3], {0, 0, 0}));
    EXPECT_EQ(mesh_->faces[0].c, 2);
    mesh_->matgroupcount = 3;
    InitMeshObjField3ds(mesh_, MeshFieldMatGroups3ds);
    InitMatArrayIndex3ds(mesh_, 2, 5);
    mesh_->matgroupcount = 1;
    InitMeshObjField3ds(mesh_, MeshFieldMatGroups3ds);
    InitMatArrayIndex3ds(mesh_, 1, 5);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INVALID_DATA});
    // Reusing the record leaves nothing of the old mesh behind.
    InitMeshObj3ds(&mesh_, 0, 0, 0);
    EXPECT_EQ(mesh_->matgroups, nullptr);
    EXPECT_EQ(mesh_->vertices, nullptr);
}

class MeshSettingsTest : public Ftk3dsTest {
protected:
    void TearDown() override {
        ReleaseMeshSet3ds(&settings_);
        ReleaseDatabase3ds(&database_);
        Ftk3dsTest::TearDown();
    }
    meshsettings3ds* settings_ = nullptr;
    database3ds* database_ = nullptr;
};

TEST_F(MeshSettingsTest, SettingsComeBackFromTheFile) {
    InitMeshSet3ds(&settings_);
    EXPECT_EQ(settings_->shadowmapsize, 512);
    EXPECT_EQ(settings_->ambientlight.red, 0.39216f);
    *settings_ = {0.3937f, 2, 3, 1024, 4.5f, {0.1f, 0.2f, 0.3f}, {7, 8, 9}};
    const meshsettings3ds written = *settings_;
    database_ = NewMeshDatabase();
    PutMeshSet3ds(database_, settings_);
    PutMeshSet3ds(database_, settings_);
    database3ds* read = WriteAndRead(database_);
    GetMeshSet3ds(read, &settings_);
    ReleaseDatabase3ds(&read);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_TRUE(SameBits(settings_->masterscale, written.masterscale));
    EXPECT_TRUE(SameBits(settings_->shadowbias, written.shadowbias));
    EXPECT_TRUE(SameBits(settings_->raybias, written.raybias));
    EXPECT_EQ(settings_->shadowmapsize, written.shadowmapsize);
    EXPECT_TRUE(SameBits(settings_->shadowfilter, written.shadowfilter));
    EXPECT_TRUE(SameColor(settings_->ambientlight, written.ambientlight));
    EXPECT_TRUE(SamePoint(settings_->oconsts, written.oconsts));
}

TEST_F(MeshSettingsTest, ByteColoursAreSixteenthsOfAByteAndLinearColoursWin) {
    database_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(AMBIENT_LIGHT, Chunk(COLOR_24, std::string("\xFF\x80\x00", 3))))));
    GetMeshSet3ds(database_, &settings_);
    EXPECT_TRUE(SameColor(settings_->ambientlight, {255.0f / 256.0f, 0.5f, 0.0f}));
    ReleaseDatabase3ds(&database_);
    database_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(AMBIENT_LIGHT, Chunk(COLOR_F, LeFloat(1) + LeFloat(1) + LeFloat(1)) +
                                                                                Chunk(LIN_COLOR_F, LeFloat(0.5f) + LeFloat(0.25f) + LeFloat(0))))),
                          "linear.3ds");
    GetMeshSet3ds(database_, &settings_);
    EXPECT_TRUE(SameColor(settings_->ambientlight, {0.5f, 0.25f, 0.0f}));
    EXPECT_EQ(settings_->masterscale, 1.0f);
    ReleaseDatabase3ds(&database_);
    database_ = ReadImage(Chunk(M3DMAGIC), "none.3ds");
    settings_->masterscale = 9;
    GetMeshSet3ds(database_, &settings_);
    EXPECT_EQ(settings_->masterscale, 9.0f);
    EXPECT_FALSE(FtkErrorPending);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
