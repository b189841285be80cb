#include "Ftk3dsTestSupport.h"

#include <cmath>
#include <cstring>
#include <string>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

class MaterialTest : public Ftk3dsTest {
protected:
    void TearDown() override {
        ReleaseMaterial3ds(&material_);
        ReleaseMaterial3ds(&read_);
        ReleaseDatabase3ds(&database_);
        Ftk3dsTest::TearDown();
    }

    // Puts the material into a new database of the kind, writes, reads back
    // and gets it into read_.
    void RoundTrip(DatabaseType3ds kind = DatabaseMeshFile3ds) {
        database_ = NewMeshDatabase(kind);
        PutMaterial3ds(database_, material_);
        ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
        database3ds* read = WriteAndRead(database_);
        ASSERT_EQ(GetMaterialCount3ds(read), 1u);
        GetMaterialByIndex3ds(read, 0, &read_);
        ReleaseDatabase3ds(&read);
        ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
        ASSERT_NE(read_, nullptr);
    }

    static void FillMap(texturemap3ds& map, const char* name, int seed) {
        std::strcpy(map.name, name);
        map.percent = 0.25f * (seed % 4);
        map.tiling = 1 + seed % 3;
        map.ignorealpha = seed % 2;
        map.filter = (seed + 1) % 2;
        map.blur = 0.5f;
        map.mirror = 1;
        map.negative = seed % 2;
        map.uscale = 2;
        map.vscale = 0.5f;
        map.uoffset = -0.25f;
        map.voffset = 0.75f;
        map.rotation = 45;
        map.tint = seed % 5;
        map.tint1 = {1, 0, 0};
        map.tint2 = {0, 1, 0};
        map.redtint = {0.2f, 0.4f, 0.6f};
        map.greentint = {1, 1, 0};
        map.bluetint = {0, 0, 0.2f};
        map.procdatasize = 2;
        map.procdata = CAlloc3ds(__FILE__, __LINE__, 1, 2);
        std::memcpy(map.procdata, "pd", 2);
    }

    static void ExpectSameMap(const texturemap3ds& a, const texturemap3ds& b) {
        EXPECT_STREQ(a.name, b.name);
        EXPECT_TRUE(SameBits(a.percent, b.percent));
        EXPECT_EQ(a.tiling, b.tiling);
        EXPECT_EQ(a.ignorealpha, b.ignorealpha);
        EXPECT_EQ(a.filter, b.filter);
        EXPECT_TRUE(SameBits(a.blur, b.blur));
        EXPECT_EQ(a.mirror, b.mirror);
        EXPECT_EQ(a.negative, b.negative);
        for (float texturemap3ds::*field : {&texturemap3ds::uscale, &texturemap3ds::vscale, &texturemap3ds::uoffset,
                                            &texturemap3ds::voffset, &texturemap3ds::rotation}) {
            EXPECT_TRUE(SameBits(a.*field, b.*field));
        }
        EXPECT_EQ(a.tint, b.tint);
        if (a.tint == 2 || a.tint == 3) {
            EXPECT_TRUE(SameColor(a.tint1, b.tint1));
            EXPECT_TRUE(SameColor(a.tint2, b.tint2));
        }
        if (a.tint == 4) {
            EXPECT_TRUE(SameColor(a.redtint, b.redtint));
            EXPECT_TRUE(SameColor(a.greentint, b.greentint));
            EXPECT_TRUE(SameColor(a.bluetint, b.bluetint));
        }
        ASSERT_EQ(a.procdatasize, b.procdatasize);
        EXPECT_TRUE(SameArray(static_cast<const char*>(a.procdata), static_cast<const char*>(b.procdata),
                              a.procdatasize));
    }

    material3ds* material_ = nullptr;
    material3ds* read_ = nullptr;
    database3ds* database_ = nullptr;
};

TEST_F(MaterialTest, AMaterialWithEveryMapComesBackFieldByField) {
    InitMaterial3ds(&material_);
    material3ds& m = *material_;
    std::strcpy(m.name, "Sixteen-chars-16");
    m.ambient = {1, 0, 0.2f};
    m.diffuse = {0.4f, 0.6f, 0.8f};
    m.specular = {1, 1, 1};
    m.shininess = 0.5f;
    m.shinstrength = 0.25f;
    m.transparency = 0.75f;
    m.transfalloff = -0.5f;
    m.reflectblur = 0.25f;
    m.selfillum = 1.0f;
    m.wiresize = 2.5f;
    m.shading = 2;
    m.useblur = m.usefalloff = m.twosided = m.selfilluminated = m.additive = m.wireabsolute = m.facemap =
        m.softphong = 1;
    texturemap3ds* maps[] = {&m.texture, &m.texmask,  &m.texture2, &m.tex2mask, &m.opacity,  &m.opacmask,
                             &m.bump,    &m.bumpmask, &m.specmap,  &m.specmask, &m.shinmap,  &m.shinmask,
                             &m.illummap, &m.illummask, &m.reflectmask};
    int seed = 0;
    for (texturemap3ds* map : maps) {
        FillMap(*map, ("map" + std::to_string(seed) + ".tga").c_str(), seed);
        ++seed;
    }
    std::strcpy(m.reflect.name, "refl.tga");
    m.reflect.percent = 0.5f;
    m.autoreflect = {1, 1, 1, 256, 3};
    RoundTrip();
    const material3ds& r = *read_;
    EXPECT_STREQ(r.name, m.name);
    EXPECT_TRUE(SameColor(r.ambient, m.ambient));
    EXPECT_TRUE(SameColor(r.diffuse, m.diffuse));
    EXPECT_TRUE(SameColor(r.specular, m.specular));
    for (float material3ds::*field : {&material3ds::shininess, &material3ds::shinstrength, &material3ds::transparency,
                                      &material3ds::transfalloff, &material3ds::reflectblur, &material3ds::selfillum,
                                      &material3ds::wiresize}) {
        EXPECT_TRUE(SameBits(r.*field, m.*field));
    }
    EXPECT_EQ(r.shading, 2);
    for (std::uint8_t material3ds::*flag : {&material3ds::useblur, &material3ds::usefalloff, &material3ds::twosided,
                                            &material3ds::selfilluminated, &material3ds::additive,
                                            &material3ds::wireframe, &material3ds::wireabsolute, &material3ds::facemap,
                                            &material3ds::softphong}) {
        EXPECT_EQ(r.*flag, m.*flag);
    }
    const texturemap3ds material3ds::*readMaps[] = {
        &material3ds::texture, &material3ds::texmask,  &material3ds::texture2, &material3ds::tex2mask,
        &material3ds::opacity, &material3ds::opacmask, &material3ds::bump,     &material3ds::bumpmask,
        &material3ds::specmap, &material3ds::specmask, &material3ds::shinmap,  &material3ds::shinmask,
        &material3ds::illummap, &material3ds::illummask, &material3ds::reflectmask};
    for (auto map : readMaps) ExpectSameMap(m.*map, r.*map);
    EXPECT_STREQ(r.reflect.name, "refl.tga");
    EXPECT_EQ(r.reflect.percent, 0.5f);
    EXPECT_EQ(r.autoreflect.used, 1);
    EXPECT_EQ(r.autoreflect.firstoption, 1);
    EXPECT_EQ(r.autoreflect.secondoption, 1);
    EXPECT_EQ(r.autoreflect.mapsize, 256);
    EXPECT_EQ(r.autoreflect.nthframe, 3);
}

TEST_F(MaterialTest, FalloffIsWrittenInWholePercentsAndFallsInwardWhenNegative) {
    InitMaterial3ds(&material_);
    std::strcpy(material_->name, "Glass");
    material_->transfalloff = -0.256f;
    material_->diffuse = {0.999f, 1.0f, 0.870588f};
    RoundTrip();
    EXPECT_FLOAT_EQ(read_->transfalloff, -0.26f);
    // Colour bytes are the nearest ones, so 222/255 comes back as 222/255.
    EXPECT_EQ(read_->diffuse.red, 1.0f);
    EXPECT_EQ(read_->diffuse.green, 1.0f);
    EXPECT_FLOAT_EQ(read_->diffuse.blue, 222.0f / 255.0f);
    // A material without maps reads back every map unused, with its defaults.
    EXPECT_STREQ(read_->texture.name, "");
    EXPECT_EQ(read_->texture.uscale, 1.0f);
    EXPECT_EQ(read_->bump.tiling, MapTile3ds);
    EXPECT_EQ(read_->autoreflect.mapsize, 100);
}

TEST_F(MaterialTest, ColoursAndPercentagesOutsideTheirRangeAreClampedAndNaNWrittenAsZero) {
    InitMaterial3ds(&material_);
    std::strcpy(material_->name, "Extreme");
    material_->diffuse = {1e30f, -5.0f, std::nanf("")};
    material_->shininess = 1e9f;
    material_->transparency = -1e9f;
    material_->selfillum = std::nanf("");
    material_->transfalloff = 1e9f;
    std::strcpy(material_->texture.name, "t.tga");
    material_->texture.percent = 1e9f;
    RoundTrip();
    EXPECT_EQ(read_->diffuse.red, 1.0f);
    EXPECT_EQ(read_->diffuse.green, 0.0f);
    EXPECT_EQ(read_->diffuse.blue, 0.0f);
    EXPECT_FLOAT_EQ(read_->shininess, 327.67f);
    EXPECT_FLOAT_EQ(read_->transparency, -327.68f);
    EXPECT_EQ(read_->selfillum, 0.0f);
    EXPECT_FLOAT_EQ(read_->transfalloff, 327.67f);
    EXPECT_FLOAT_EQ(read_->texture.percent, 327.67f);
}

TEST_F(MaterialTest, AMapWithDefaultPlacementWritesOnlyItsStrengthNameAndTiling) {
    InitMaterial3ds(&material_);
    std::strcpy(material_->name, "M");
    std::strcpy(material_->texture.name, "a.tga");
    material_->texture.percent = 1.0f;
    material_->texture.tiling = MapDecal3ds;
    database_ = NewMeshDatabase();
    PutMaterial3ds(database_, material_);
    const std::string bytes = WriteImage(database_);
    const std::string map = Chunk(MAT_TEXMAP, Chunk(INT_PERCENTAGE, Le16(100)) + Chunk(MAT_MAPNAME, Text("a.tga")) +
                                                  Chunk(MAT_MAP_TILING, Le16(0x0011)));
    EXPECT_NE(bytes.find(map), std::string::npos);
}

TEST_F(MaterialTest, ALibraryTakesMaterialsUnderItsTopAndASecondPutReplacesTheFirst) {
    InitMaterial3ds(&material_);
    std::strcpy(material_->name, "Lib");
    database_ = NewMeshDatabase(DatabaseMaterialLibrary3ds);
    PutMaterial3ds(database_, material_);
    material_->shading = 1;
    PutMaterial3ds(database_, material_);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_EQ(ChildTags(database_->topchunk), (std::vector<std::uint32_t>{MAT_ENTRY}));
    EXPECT_EQ(GetMaterialCount3ds(database_), 1u);
    GetMaterialByIndex3ds(database_, 0, &read_);
    EXPECT_EQ(read_->shading, 1);
    std::memset(material_->name, 'x', sizeof material_->name);
    PutMaterial3ds(database_, material_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_STRING_TOO_LONG});
}

TEST_F(MaterialTest, ByteColoursAreFractionsOf255AndWireframeMeansWireShading) {
    const std::string entry = Chunk(MAT_ENTRY, Chunk(MAT_NAME, Text("W")) +
                                                   Chunk(MAT_AMBIENT, Chunk(COLOR_24, std::string("\xFF\0\0", 3))) +
                                                   Chunk(MAT_SHADING, Le16(3)) + Chunk(MAT_WIRE));
    database_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, entry)));
    GetMaterialByIndex3ds(database_, 0, &read_);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_TRUE(SameColor(read_->ambient, {1, 0, 0}));
    EXPECT_EQ(read_->shading, 0);
    EXPECT_EQ(read_->wireframe, 1);
}

TEST_F(MaterialTest, FloatColoursAndFloatPercentagesAsOtherProgramsStoreThem) {
    const std::string name(40, 'x');
    const std::string entry =
        Chunk(MAT_ENTRY,
              Chunk(MAT_NAME, Text(name)) +
                  Chunk(MAT_DIFFUSE, Chunk(COLOR_F, LeFloat(0.25f) + LeFloat(0.5f) + LeFloat(0.75f))) +
                  Chunk(MAT_SPECULAR, Chunk(LIN_COLOR_F, LeFloat(0.125f) + LeFloat(1.0f) + LeFloat(0.0f))) +
                  Chunk(MAT_AMBIENT, Chunk(COLOR_F, LeFloat(0.0f) + LeFloat(0.0f) + LeFloat(0.0f)) +
                                         Chunk(LIN_COLOR_F, LeFloat(0.5f) + LeFloat(0.5f) + LeFloat(0.5f))) +
                  Chunk(MAT_TRANSPARENCY, Chunk(FLOAT_PERCENTAGE, LeFloat(0.3f))) +
                  Chunk(MAT_TEXMAP, Chunk(FLOAT_PERCENTAGE, LeFloat(0.6f)) +
                                        Chunk(MAT_MAPNAME, Text("a_texture_file_name_of_many_letters.png"))));
    database_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, entry)));
    ASSERT_FALSE(FtkErrorPending);
    GetMaterialByIndex3ds(database_, 0, &read_);
    ASSERT_TRUE(RecordedErrors().empty());
    EXPECT_EQ(read_->name, name);
    EXPECT_TRUE(SameColor(read_->diffuse, {0.25f, 0.5f, 0.75f}));
    EXPECT_TRUE(SameColor(read_->specular, {0.125f, 1.0f, 0.0f}));
    EXPECT_TRUE(SameColor(read_->ambient, {0.5f, 0.5f, 0.5f})) << "the linear form wins";
    EXPECT_FLOAT_EQ(read_->transparency, 0.3f);
    EXPECT_FLOAT_EQ(read_->texture.percent, 0.6f);
    EXPECT_STREQ(read_->texture.name, "a_texture_file_name_of_many_letters.png");
}

TEST_F(MaterialTest, AChunkAMaterialDoesNotHoldIsPassedOverAndAColourWithoutBytesIsMissing) {
    database_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(MAT_ENTRY, Chunk(MAT_NAME, Text("U")) + Chunk(0xA0FF) +
                                                                        Chunk(MAT_SHADING, Le16(3))))));
    GetMaterialByIndex3ds(database_, 0, &read_);
    EXPECT_TRUE(RecordedErrors().empty());
    EXPECT_STREQ(read_->name, "U");
    EXPECT_EQ(read_->shading, 3);
    ReleaseDatabase3ds(&database_);
    database_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(MAT_ENTRY, Chunk(MAT_DIFFUSE)))), "nocolor.3ds");
    GetMaterialByIndex3ds(database_, 0, &read_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_UNFOUND_CHUNK});
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
