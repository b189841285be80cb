#include "Ftk3dsTestSupport.h"

#include <fbxfilesdk/3dsftk/Internal3ds.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

// One record of a tag: how to fill it, and how to tell a read-back copy equal.
struct Row {
    std::uint32_t tag;
    std::function<void(void*)> fill;
    std::function<void(const void*, const void*)> expectSame;
};

// Records without pointers are equal when their bytes are (both come zeroed
// from the toolkit heap, so their padding agrees).
template <class R>
Row Plain(std::uint32_t tag, std::function<void(R&)> fill) {
    return {tag, [fill](void* r) { fill(*static_cast<R*>(r)); },
            [tag](const void* a, const void* b) {
                EXPECT_EQ(std::memcmp(a, b, sizeof(R)), 0) << ChunkTagToString(tag);
            }};
}

template <class R>
Row Deep(std::uint32_t tag, std::function<void(R&)> fill, std::function<void(const R&, const R&)> same) {
    return {tag, [fill](void* r) { fill(*static_cast<R*>(r)); },
            [same](const void* a, const void* b) { same(*static_cast<const R*>(a), *static_cast<const R*>(b)); }};
}

template <class T>
T* Array(std::size_t count, std::function<T(std::size_t)> value) {
    T* array = static_cast<T*>(CAlloc3ds(__FILE__, __LINE__, count, sizeof(T)));
    for (std::size_t i = 0; i < count; ++i) array[i] = value(i);
    return array;
}

template <class T>
void ExpectSameArray(const T* a, const T* b, std::size_t count) {
    ASSERT_EQ(a == nullptr, b == nullptr);
    if (count != 0) {
        EXPECT_EQ(std::memcmp(a, b, count * sizeof(T)), 0);
    }
}

void ExpectSameText(const char* a, const char* b) {
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(a, b);
}

void ExpectSameHeader(const TrackHeader3ds& a, const TrackHeader3ds& b) {
    EXPECT_EQ(a.flags, b.flags);
    EXPECT_EQ(a.reserved1, b.reserved1);
    EXPECT_EQ(a.reserved2, b.reserved2);
    EXPECT_EQ(a.keycount, b.keycount);
}

keyheader3ds Key(std::size_t i) {
    keyheader3ds key{};
    key.frame = static_cast<std::uint32_t>(i * 10);
    key.splineflags = static_cast<std::uint16_t>(i % 2 == 0 ? 0x1F : 0x0A);
    if ((key.splineflags & 0x01) != 0) key.tension = 0.1f * static_cast<float>(i);
    if ((key.splineflags & 0x02) != 0) key.continuity = -0.5f;
    if ((key.splineflags & 0x04) != 0) key.bias = 0.25f;
    if ((key.splineflags & 0x08) != 0) key.easeto = 1.0f / 3.0f;
    if ((key.splineflags & 0x10) != 0) key.easefrom = 7.0f;
    return key;
}

template <class R, class V>
Row TrackRow(std::uint32_t tag, std::function<V(std::size_t)> value) {
    return Deep<R>(
        tag,
        [value](R& r) {
            r.header = {0x0040, 0, 0, 3};
            r.keys = Array<keyheader3ds>(3, Key);
            r.values = Array<V>(3, value);
        },
        [](const R& a, const R& b) {
            ExpectSameHeader(a.header, b.header);
            ExpectSameArray(a.keys, b.keys, 3);
            ExpectSameArray(a.values, b.values, 3);
        });
}

std::vector<Row> AllRows() {
    std::vector<Row> rows;
    std::uint32_t seed = 1;
    for (std::uint32_t tag : {M3D_VERSION, SHADOW_RANGE, MESH_VERSION, KFCURTIME}) {
        rows.push_back(Plain<DwordData3ds>(tag, [v = 0x01020304u + seed++](DwordData3ds& r) { r.value = v; }));
    }
    for (std::uint32_t tag : {FLOAT_PERCENTAGE, MASTER_SCALE, V_GRADIENT, LO_SHADOW_BIAS, HI_SHADOW_BIAS,
                              SHADOW_FILTER, RAY_BIAS, DL_SPOT_ROLL, DL_SPOT_ASPECT, DL_RAY_BIAS, DL_INNER_RANGE,
                              DL_OUTER_RANGE, DL_MULTIPLIER, MAT_WIRESIZE, MAT_MAP_TEXBLUR, MAT_MAP_USCALE,
                              MAT_MAP_VSCALE, MAT_MAP_UOFFSET, MAT_MAP_VOFFSET, MAT_MAP_ANG, MORPH_SMOOTH}) {
        rows.push_back(Plain<FloatData3ds>(tag, [v = 1.0f / static_cast<float>(seed++)](FloatData3ds& r) {
            r.value = v;
        }));
    }
    for (std::uint32_t tag : {INT_PERCENTAGE, SHADOW_MAP_SIZE, SHADOW_SAMPLES, MAT_SHADING, MAT_BUMP_PERCENT,
                              MAT_MAP_TILING, NODE_ID}) {
        rows.push_back(Plain<WordData3ds>(tag, [v = 0xA000 + seed++](WordData3ds& r) {
            r.value = static_cast<std::uint16_t>(v);
        }));
    }
    rows.push_back(Plain<ByteData3ds>(MESH_COLOR, [](ByteData3ds& r) { r.value = 0xC5; }));
    for (std::uint32_t tag : {COLOR_24, LIN_COLOR_24, MAT_MAP_COL1, MAT_MAP_COL2, MAT_MAP_RCOL, MAT_MAP_GCOL,
                              MAT_MAP_BCOL}) {
        rows.push_back(Plain<Color24Data3ds>(tag, [s = seed++](Color24Data3ds& r) {
            r = {static_cast<std::uint8_t>(s), 128, 255};
        }));
    }
    for (std::uint32_t tag : {COLOR_F, LIN_COLOR_F}) {
        rows.push_back(Plain<ColorFData3ds>(tag, [](ColorFData3ds& r) { r = {0.1f, 0.2f, 0.7f}; }));
    }
    for (std::uint32_t tag : {O_CONSTS, N_DIRECT_LIGHT, PIVOT}) {
        rows.push_back(Plain<PointData3ds>(tag, [](PointData3ds& r) { r.point = {-1.5f, 2e9f, 3e-9f}; }));
    }
    auto textRow = [](std::uint32_t tag, std::string text) {
        return Deep<TextData3ds>(
            tag, [text](TextData3ds& r) { r.text = StrDup3ds(text.c_str()); },
            [](const TextData3ds& a, const TextData3ds& b) { ExpectSameText(a.text, b.text); });
    };
    for (std::uint32_t tag : {NAMED_OBJECT, VIEW_CAMERA, DL_EXCLUDE, INSTANCE_NAME}) {
        rows.push_back(textRow(tag, "0123456789"));
    }
    for (std::uint32_t tag : {BIT_MAP, PROC_NAME, DL_SPOT_PROJECTOR}) rows.push_back(textRow(tag, "abcdefgh.tga"));
    for (std::uint32_t tag : {MAT_NAME, MAT_MAPNAME}) rows.push_back(textRow(tag, "sixteen-chars-16"));
    for (std::uint32_t tag : {XDATA_APPNAME, XDATA_STRING}) rows.push_back(textRow(tag, std::string(700, 'x')));
    for (std::uint32_t tag : {PROC_DATA, MAT_SXP_TEXT_DATA, MAT_SXP_TEXT2_DATA, MAT_SXP_OPAC_DATA, MAT_SXP_BUMP_DATA,
                              MAT_SXP_SPEC_DATA, MAT_SXP_SHIN_DATA, MAT_SXP_SELFI_DATA, MAT_SXP_TEXT_MASKDATA,
                              MAT_SXP_TEXT2_MASKDATA, MAT_SXP_OPAC_MASKDATA, MAT_SXP_BUMP_MASKDATA,
                              MAT_SXP_SPEC_MASKDATA, MAT_SXP_SHIN_MASKDATA, MAT_SXP_SELFI_MASKDATA,
                              MAT_SXP_REFL_MASKDATA}) {
        rows.push_back(Deep<BlockData3ds>(
            tag,
            [](BlockData3ds& r) {
                r.size = 5;
                r.data = Array<unsigned char>(5, [](std::size_t i) { return static_cast<unsigned char>(i * 50); });
            },
            [](const BlockData3ds& a, const BlockData3ds& b) {
                ASSERT_EQ(a.size, b.size);
                ExpectSameArray(static_cast<const unsigned char*>(a.data), static_cast<const unsigned char*>(b.data),
                                a.size);
            }));
    }
    rows.push_back(Deep<PointArrayData3ds>(
        POINT_ARRAY,
        [](PointArrayData3ds& r) {
            r.count = 4;
            r.points = Array<point3ds>(4, [](std::size_t i) { return point3ds{float(i), -float(i), 0.5f}; });
        },
        [](const PointArrayData3ds& a, const PointArrayData3ds& b) {
            ASSERT_EQ(a.count, b.count);
            ExpectSameArray(a.points, b.points, a.count);
        }));
    rows.push_back(Deep<PointFlagArrayData3ds>(
        POINT_FLAG_ARRAY,
        [](PointFlagArrayData3ds& r) {
            r.count = 3;
            r.flags = Array<std::uint16_t>(3, [](std::size_t i) { return static_cast<std::uint16_t>(0xF000 + i); });
        },
        [](const PointFlagArrayData3ds& a, const PointFlagArrayData3ds& b) {
            ASSERT_EQ(a.count, b.count);
            ExpectSameArray(a.flags, b.flags, a.count);
        }));
    rows.push_back(Deep<FaceArrayData3ds>(
        FACE_ARRAY,
        [](FaceArrayData3ds& r) {
            r.count = 2;
            r.faces = Array<face3ds>(2, [](std::size_t i) {
                return face3ds{std::uint16_t(i), std::uint16_t(i + 1), std::uint16_t(i + 2), 7};
            });
        },
        [](const FaceArrayData3ds& a, const FaceArrayData3ds& b) {
            ASSERT_EQ(a.count, b.count);
            ExpectSameArray(a.faces, b.faces, a.count);
        }));
    for (std::uint16_t count : {3, 0}) {
        rows.push_back(Deep<MatGroupData3ds>(
            MSH_MAT_GROUP,
            [count](MatGroupData3ds& r) {
                r.name = StrDup3ds(count == 0 ? "" : "Material #123456");
                r.count = count;
                if (count != 0) {
                    r.faces = Array<std::uint16_t>(count, [](std::size_t i) { return std::uint16_t(i * 3); });
                }
            },
            [](const MatGroupData3ds& a, const MatGroupData3ds& b) {
                ExpectSameText(a.name, b.name);
                ASSERT_EQ(a.count, b.count);
                ExpectSameArray(a.faces, b.faces, a.count);
            }));
    }
    rows.push_back(Deep<TexVertsData3ds>(
        TEX_VERTS,
        [](TexVertsData3ds& r) {
            r.count = 2;
            r.texverts = Array<texvertex3ds>(2, [](std::size_t i) { return texvertex3ds{0.5f * float(i), 1.0f}; });
        },
        [](const TexVertsData3ds& a, const TexVertsData3ds& b) {
            ASSERT_EQ(a.count, b.count);
            ExpectSameArray(a.texverts, b.texverts, a.count);
        }));
    rows.push_back(Deep<SmoothGroupData3ds>(
        SMOOTH_GROUP,
        [](SmoothGroupData3ds& r) {
            r.count = 3;
            r.groups = Array<std::uint32_t>(3, [](std::size_t i) { return std::uint32_t(1u << (i * 15)); });
        },
        [](const SmoothGroupData3ds& a, const SmoothGroupData3ds& b) {
            ASSERT_EQ(a.count, b.count);
            ExpectSameArray(a.groups, b.groups, a.count);
        }));
    rows.push_back(Plain<MeshMatrixData3ds>(MESH_MATRIX, [](MeshMatrixData3ds& r) {
        for (int i = 0; i < 12; ++i) r.matrix[i] = 0.5f * float(i) - 2.0f;
    }));
    rows.push_back(Plain<MeshTextureInfoData3ds>(MESH_TEXTURE_INFO, [](MeshTextureInfoData3ds& r) {
        r.maptype = 3;
        r.tilex = 2.0f;
        r.tiley = 4.0f;
        r.iconposition = {1, 2, 3};
        r.iconscale = 0.5f;
        for (int i = 0; i < 12; ++i) r.matrix[i] = float(i);
        r.planarwidth = 10;
        r.planarheight = 20;
        r.cylinderheight = 30;
    }));
    rows.push_back(Deep<BoxMapData3ds>(
        MSH_BOXMAP,
        [](BoxMapData3ds& r) {
            for (int i = 0; i < 6; ++i) r.names[i] = StrDup3ds(("side" + std::to_string(i)).c_str());
        },
        [](const BoxMapData3ds& a, const BoxMapData3ds& b) {
            for (int i = 0; i < 6; ++i) ExpectSameText(a.names[i], b.names[i]);
        }));
    for (std::uint32_t tag : {FOG, DISTANCE_CUE}) {
        rows.push_back(Plain<FogData3ds>(tag, [](FogData3ds& r) { r = {1, 0.5f, 1000, 0.9f}; }));
    }
    rows.push_back(Plain<LayerFogData3ds>(LAYER_FOG, [](LayerFogData3ds& r) { r = {-5, 5, 0.3f, 0x100003}; }));
    for (std::uint32_t tag : {VIEW_TOP, VIEW_BOTTOM, VIEW_LEFT, VIEW_RIGHT, VIEW_FRONT, VIEW_BACK}) {
        rows.push_back(Plain<ViewData3ds>(tag, [](ViewData3ds& r) { r = {{1, 2, 3}, 640}; }));
    }
    rows.push_back(Plain<ViewUserData3ds>(VIEW_USER, [](ViewUserData3ds& r) { r = {{1, 2, 3}, 100, 30, 45, -10}; }));
    rows.push_back(Plain<SpotlightData3ds>(DL_SPOTLIGHT, [](SpotlightData3ds& r) { r = {{4, 5, 6}, 44, 45}; }));
    rows.push_back(Plain<LocalShadowData3ds>(DL_LOCAL_SHADOW2, [](LocalShadowData3ds& r) {
        r.bias = 1;
        r.filter = 3;
        r.mapsize = 512;
    }));
    rows.push_back(Plain<CameraData3ds>(N_CAMERA, [](CameraData3ds& r) { r = {{0, -100, 0}, {0, 0, 0}, 5, 53.3f}; }));
    rows.push_back(Plain<CameraRangesData3ds>(CAM_RANGES, [](CameraRangesData3ds& r) { r = {10, 1000}; }));
    rows.push_back(Plain<ViewportLayoutData3ds>(VIEWPORT_LAYOUT, [](ViewportLayoutData3ds& r) {
        for (int i = 0; i < 7; ++i) r.words[i] = std::uint16_t(i * 1000 + 1);
    }));
    for (std::uint32_t tag : {VIEWPORT_DATA, VIEWPORT_DATA_3}) {
        for (const char* camera : {"Camera01", "0123456789"}) {
            rows.push_back(Deep<ViewportData3ds>(
                tag,
                [camera](ViewportData3ds& r) {
                    for (int i = 0; i < 7; ++i) r.words[i] = std::uint16_t(7 - i);
                    r.zoom = 2.5f;
                    r.center = {1, 1, 1};
                    r.horizontalangle = 30;
                    r.verticalangle = -15;
                    r.cameraname = StrDup3ds(camera);
                },
                [](const ViewportData3ds& a, const ViewportData3ds& b) {
                    EXPECT_EQ(std::memcmp(&a, &b, offsetof(ViewportData3ds, cameraname)), 0);
                    ExpectSameText(a.cameraname, b.cameraname);
                }));
        }
    }
    rows.push_back(Plain<ViewportSizeData3ds>(VIEWPORT_SIZE, [](ViewportSizeData3ds& r) { r = {1, 2, 640, 480}; }));
    rows.push_back(Plain<AutoReflectData3ds>(MAT_ACUBIC, [](AutoReflectData3ds& r) { r = {1, 2, 0x19, 256, 3}; }));
    rows.push_back(Plain<KfSegData3ds>(KFSEG, [](KfSegData3ds& r) { r = {5, 95}; }));
    rows.push_back(Deep<KfHeaderData3ds>(
        KFHDR,
        [](KfHeaderData3ds& r) {
            r.revision = 5;
            r.name = StrDup3ds(std::string(512, 'n').c_str());
            r.animlength = 100;
        },
        [](const KfHeaderData3ds& a, const KfHeaderData3ds& b) {
            EXPECT_EQ(a.revision, b.revision);
            ExpectSameText(a.name, b.name);
            EXPECT_EQ(a.animlength, b.animlength);
        }));
    rows.push_back(Deep<NodeHeaderData3ds>(
        NODE_HDR,
        [](NodeHeaderData3ds& r) {
            r.name = StrDup3ds("$$$DUMMY");
            r.flags1 = 0x4000;
            r.flags2 = 1;
            r.parentindex = 0xFFFF;
        },
        [](const NodeHeaderData3ds& a, const NodeHeaderData3ds& b) {
            ExpectSameText(a.name, b.name);
            EXPECT_EQ(a.flags1, b.flags1);
            EXPECT_EQ(a.flags2, b.flags2);
            EXPECT_EQ(a.parentindex, b.parentindex);
        }));
    rows.push_back(Plain<BoundBoxData3ds>(BOUNDBOX, [](BoundBoxData3ds& r) { r = {{-1, -2, -3}, {1, 2, 3}}; }));
    for (std::uint32_t tag : {POS_TRACK_TAG, SCL_TRACK_TAG, COL_TRACK_TAG}) {
        rows.push_back(TrackRow<PointTrackData3ds, point3ds>(tag, [](std::size_t i) {
            return point3ds{float(i), 2, 3};
        }));
    }
    rows.push_back(TrackRow<RotTrackData3ds, rotkey3ds>(ROT_TRACK_TAG, [](std::size_t i) {
        return rotkey3ds{0.5f * float(i), 0, 0, 1};
    }));
    for (std::uint32_t tag : {FOV_TRACK_TAG, ROLL_TRACK_TAG, HOT_TRACK_TAG, FALL_TRACK_TAG}) {
        rows.push_back(TrackRow<FloatTrackData3ds, float>(tag, [](std::size_t i) { return 45.0f + float(i); }));
    }
    rows.push_back(TrackRow<MorphTrackData3ds, morphname3ds>(MORPH_TRACK_TAG, [](std::size_t i) {
        morphname3ds name{};
        std::strcpy(name.name, i == 0 ? "Box" : i == 1 ? "0123456789" : "012345678901");
        return name;
    }));
    rows.push_back(Deep<HideTrackData3ds>(
        HIDE_TRACK_TAG,
        [](HideTrackData3ds& r) {
            r.header = {8, 0, 0, 2};
            r.keys = Array<keyheader3ds>(2, Key);
        },
        [](const HideTrackData3ds& a, const HideTrackData3ds& b) {
            ExpectSameHeader(a.header, b.header);
            ExpectSameArray(a.keys, b.keys, 2);
        }));
    return rows;
}

class ChunkDataTest : public Ftk3dsTest {
protected:
    void TearDown() override {
        ReleaseChunk3ds(&top_);
        ReleaseDatabase3ds(&read_);
        Ftk3dsTest::TearDown();
    }

    // Writes the tree to a file and reads it back into read_.
    void RoundTrip() {
        file3ds* out = OpenFile3ds(Path("rows.3ds").c_str(), "wb");
        ASSERT_NE(out, nullptr);
        SetCurrentFile3ds(out);
        WriteChunkTree3ds(top_, out->index);
        ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
        CloseFile3ds(out);
        file3ds* in = OpenFile3ds(Path("rows.3ds").c_str(), "rb");
        ASSERT_NE(in, nullptr);
        InitDatabase3ds(&read_);
        CreateDatabase3ds(in, read_);
        ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
    }

    Chunk3ds* top_ = nullptr;
    database3ds* read_ = nullptr;
};

TEST_F(ChunkDataTest, ARecordOfEveryTagRowComesBackFieldByField) {
    const std::vector<Row> rows = AllRows();
    InitChunkAs3ds(&top_, M3DMAGIC);
    for (const Row& row : rows) {
        Chunk3ds* chunk = nullptr;
        InitChunkAs3ds(&chunk, row.tag);
        AddChild3ds(top_, chunk);
        void* record = InitChunkData3ds(chunk);
        ASSERT_NE(record, nullptr) << ChunkTagToString(row.tag);
        row.fill(record);
    }
    RoundTrip();
    const std::vector<Chunk3ds*> written = Children(top_);
    const std::vector<Chunk3ds*> read = Children(read_->topchunk);
    ASSERT_EQ(read.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(ChunkTagToString(rows[i].tag));
        ASSERT_EQ(read[i]->tag, rows[i].tag);
        EXPECT_EQ(read[i]->size, written[i]->size);
        const void* record = ReadChunkData3ds(read[i]);
        ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
        ASSERT_NE(record, nullptr);
        rows[i].expectSame(written[i]->data, record);

        // A deep copy is equal too and shares nothing with its source.
        Chunk3ds* copy = nullptr;
        InitChunkAs3ds(&copy, rows[i].tag);
        CopyChunkData3ds(written[i], copy);
        rows[i].expectSame(written[i]->data, copy->data);
        ReleaseChunk3ds(&copy);
    }
}

TEST_F(ChunkDataTest, ViewWidthStandsBeforeThePointAndTheKeyframerHeaderHasOneZero) {
    InitChunkAs3ds(&top_, M3DMAGIC);
    auto* view = static_cast<ViewData3ds*>(InitChunkAndData3ds(&top_->children, VIEW_TOP));
    *view = {{1, 2, 3}, 640};
    auto* header = static_cast<KfHeaderData3ds*>(InitChunkAndData3ds(&top_->children->sibling, KFHDR));
    header->revision = 5;
    header->name = StrDup3ds("x");
    header->animlength = 30;
    RoundTrip();
    const std::string bytes = ReadBytes(Path("rows.3ds"));
    EXPECT_EQ(bytes.substr(6, 22), Chunk(VIEW_TOP, LeFloat(640) + LeFloat(1) + LeFloat(2) + LeFloat(3)));
    EXPECT_EQ(bytes.substr(28), Chunk(KFHDR, Le16(5) + Text("x") + Le32(30)));
}

TEST_F(ChunkDataTest, AnUnknownTagKeepsItsBytesAndAnEmptyOneHasNoRecord) {
    InitChunkAs3ds(&top_, M3DMAGIC);
    Chunk3ds* unknown = nullptr;
    InitChunkAs3ds(&unknown, 0x1234);
    unknown->size = 10;
    AddChild3ds(top_, unknown);
    auto* block = static_cast<BlockData3ds*>(InitChunkData3ds(unknown));
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(block->size, 4u);
    std::memcpy(block->data, "\x01\x02\x03\x04", 4);
    Chunk3ds* empty = nullptr;
    InitChunkAs3ds(&empty, 0x1235);
    empty->size = 6;
    AddChild3ds(top_, empty);
    EXPECT_EQ(InitChunkData3ds(empty), nullptr);
    RoundTrip();
    EXPECT_EQ(ReadBytes(Path("rows.3ds")).substr(6), Chunk(0x1234, "\x01\x02\x03\x04") + Chunk(0x1235));
    const std::vector<Chunk3ds*> read = Children(read_->topchunk);
    ASSERT_EQ(read.size(), 2u);
    const auto* readBlock = static_cast<BlockData3ds*>(ReadChunkData3ds(read[0]));
    ASSERT_NE(readBlock, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(readBlock->data), readBlock->size), "\x01\x02\x03\x04");
    EXPECT_EQ(ReadChunkData3ds(read[1]), nullptr);
    EXPECT_FALSE(FtkErrorPending);
}

TEST_F(ChunkDataTest, TextsLongerThanTheirFieldAreRefusedOnWrite) {
    InitChunkAs3ds(&top_, M3DMAGIC);
    auto* name = static_cast<TextData3ds*>(InitChunkAndData3ds(&top_->children, NAMED_OBJECT));
    name->text = StrDup3ds("01234567890");
    file3ds* out = OpenFile3ds(Path("long.3ds").c_str(), "wb");
    SetCurrentFile3ds(out);
    WriteChunkTree3ds(top_, out->index);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_STRING_TOO_LONG});
}

TEST_F(ChunkDataTest, SmoothingGroupsCountTheWholeDwordsOfTheChunk) {
    const std::string bytes = Chunk(M3DMAGIC, Chunk(SMOOTH_GROUP, Le32(1) + Le32(2) + Le32(4) + "\xEE\xEE"));
    database3ds* database = ReadImage(bytes);
    ASSERT_FALSE(FtkErrorPending);
    const auto* groups = static_cast<SmoothGroupData3ds*>(ReadChunkData3ds(database->topchunk->children));
    ASSERT_NE(groups, nullptr);
    ASSERT_EQ(groups->count, 3u);
    EXPECT_EQ(groups->groups[2], 4u);
    ReleaseDatabase3ds(&database);
}

TEST_F(ChunkDataTest, ArraysLongerThanOneReadRunComeBackWhole) {
    // Arrays are read in runs of a few thousand elements: an array of more
    // runs, the last one partial, reads every element in its place.
    const std::uint16_t count = 9000;
    std::string points = Le16(count);
    std::string faces = Le16(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        points += LeFloat(float(i)) + LeFloat(-float(i)) + LeFloat(0.5f);
        faces += Le16(i) + Le16(i + 1) + Le16(i + 2) + Le16(7);
    }
    database3ds* database = ReadImage(Chunk(M3DMAGIC, Chunk(POINT_ARRAY, points) + Chunk(FACE_ARRAY, faces)));
    ASSERT_FALSE(FtkErrorPending);
    const auto* read = static_cast<PointArrayData3ds*>(ReadChunkData3ds(database->topchunk->children));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->count, count);
    const auto* readFaces = static_cast<FaceArrayData3ds*>(ReadChunkData3ds(database->topchunk->children->sibling));
    ASSERT_NE(readFaces, nullptr);
    for (std::uint32_t i : {0u, 4095u, 4096u, 8191u, 8192u, 8999u}) {
        EXPECT_TRUE(SamePoint(read->points[i], {float(i), -float(i), 0.5f})) << i;
        EXPECT_EQ(readFaces->faces[i].a, i) << i;
        EXPECT_EQ(readFaces->faces[i].c, i + 2) << i;
        EXPECT_EQ(readFaces->faces[i].flags, 7) << i;
    }
    ReleaseDatabase3ds(&database);
}

TEST_F(ChunkDataTest, ACopyOfAFileBackedChunkTakesItsRecordAndTheSourceLoadsItAgain) {
    database3ds* database = ReadImage(Chunk(M3DMAGIC, Chunk(MASTER_SCALE, LeFloat(2.5f))));
    Chunk3ds* scale = database->topchunk->children;
    ASSERT_NE(ReadChunkData3ds(scale), nullptr);
    void* record = scale->data;
    Chunk3ds* copy = nullptr;
    CopyChunk3ds(scale, &copy);
    EXPECT_EQ(copy->data, record);
    EXPECT_EQ(scale->data, nullptr);
    const auto* again = static_cast<FloatData3ds*>(ReadChunkData3ds(scale));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->value, 2.5f);
    ReleaseChunkDataIfOnFile3ds(scale);
    EXPECT_EQ(scale->data, nullptr);
    ReleaseChunk3ds(&copy);
    ReleaseDatabase3ds(&database);
}

TEST_F(ChunkDataTest, SkippingAFaceArrayLandsOnItsFirstSubChunk) {
    const std::string faces = Le16(2) + std::string(16, '\0');
    const std::string group = Chunk(MSH_MAT_GROUP, Text("Mat") + Le16(1) + Le16(0));
    database3ds* database = ReadImage(Chunk(M3DMAGIC, Chunk(FACE_ARRAY, faces + group)));
    ASSERT_FALSE(FtkErrorPending);
    Chunk3ds* faceArray = database->topchunk->children;
    ASSERT_EQ(ChildTags(faceArray), std::vector<std::uint32_t>{MSH_MAT_GROUP});
    const auto* data = static_cast<MatGroupData3ds*>(ReadChunkData3ds(faceArray->children));
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(data->name, "Mat");
    ReleaseDatabase3ds(&database);
}

TEST_F(ChunkDataTest, AMapNameOfSixteenCharactersIsReadIntoATree) {
    const std::string name = "0123456789abcdef";
    database3ds* database =
        ReadImage(Chunk(MLIBMAGIC, Chunk(MAT_ENTRY, Chunk(MAT_TEXMAP, Chunk(MAT_MAPNAME, Text(name))))));
    ASSERT_FALSE(FtkErrorPending);
    Chunk3ds* mapName = nullptr;
    FindChunk3ds(database->topchunk, MAT_MAPNAME, &mapName);
    ASSERT_NE(mapName, nullptr);
    EXPECT_STREQ(static_cast<TextData3ds*>(ReadChunkData3ds(mapName))->text, name.c_str());
    ReleaseDatabase3ds(&database);
}

// Names are taken from the read window where it holds them: one that runs
// over the window's edge, and one longer than the window, are skipped and read
// whole all the same.
TEST_F(ChunkDataTest, NamesAcrossAndBeyondTheReadWindowAreSkippedAndReadWhole) {
    const std::string across = "runs-over-the-edge";
    const std::string beyond(70000, 'n');
    // The padding puts the first name's text six bytes before the window ends.
    const std::string padding = Chunk(0x7FF0, std::string(65512, 'p'));
    const std::string image =
        Chunk(M3DMAGIC, padding + Chunk(NAMED_OBJECT, Text(across) + Chunk(N_TRI_OBJECT)) +
                            Chunk(NAMED_OBJECT, Text(beyond) + Chunk(N_TRI_OBJECT)));
    ASSERT_EQ(image.find(across), 65530u);
    database3ds* database = ReadImage(image);
    ASSERT_FALSE(FtkErrorPending);
    const std::vector<Chunk3ds*> objects = Children(database->topchunk);
    ASSERT_EQ(objects.size(), 3u);
    for (std::size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(ChildTags(objects[i]), std::vector<std::uint32_t>{N_TRI_OBJECT}) << i;
        // A name the window does not hold whole is not taken from it.
        std::string peeked;
        EXPECT_FALSE(ftk3ds::PeekLeadingText(objects[i], 0, peeked)) << i;
        const auto* name = static_cast<TextData3ds*>(ReadChunkData3ds(objects[i]));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(std::string(name->text), i == 1 ? across : beyond);
    }
    EXPECT_FALSE(FtkErrorPending);
    ReleaseDatabase3ds(&database);
}

// Names and values taken from the read window in place are what the records
// loaded from the file hold, and the file is left where loading leaves it;
// where the chunk does not hold them whole nothing is taken, and loading
// meets the error.
TEST_F(ChunkDataTest, WhatIsTakenInPlaceIsWhatTheLoadedRecordHolds) {
    struct Case {
        std::uint32_t tag;
        std::string body;
        std::size_t bytes;     // a record of fixed fields: their size; 0 for a leading text
        std::size_t trailing;  // bytes that must follow the text
        bool taken;
    };
    const std::string floats = LeFloat(1.5f) + LeFloat(-2.0f) + LeFloat(0.25f);
    const std::vector<Case> cases = {
        {NAMED_OBJECT, Text("Box01") + Chunk(N_TRI_OBJECT), 0, 0, true},
        {NAMED_OBJECT, Text(""), 0, 0, true},
        {NAMED_OBJECT, "Box01", 0, 0, false},
        {NODE_HDR, Text("Box") + Le16(1) + Le16(2) + Le16(0xFFFF), 0, 6, true},
        {NODE_HDR, Text("Box") + Le16(1), 0, 6, false},
        {NODE_ID, Le16(7), 2, 0, true},
        {PIVOT, floats, 12, 0, true},
        {COLOR_24, std::string("\x10\x20\x30", 3), 3, 0, true},
        {COLOR_F, floats, 12, 0, true},
        {COLOR_F, LeFloat(1.0f), 12, 0, false},
        {MESH_MATRIX, floats + floats + floats + floats, 48, 0, true},
        {MESH_COLOR, std::string(1, '\x05'), 1, 0, true},
    };
    std::string image;
    for (const Case& row : cases) image += Chunk(row.tag, row.body);
    WriteBytes(Path("peek.3ds"), image);
    file3ds* file = OpenFile3ds(Path("peek.3ds").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    // A first read fills the window, as reading the chunk tree does.
    SetCurrentFile3ds(file);
    ReadByte3ds();
    std::uint32_t position = 0;
    for (const Case& row : cases) {
        const std::string name = ChunkTagToString(row.tag);
        Chunk3ds* chunk = nullptr;
        InitChunkAs3ds(&chunk, row.tag);
        ASSERT_NE(chunk, nullptr);
        chunk->position = position;
        chunk->size = static_cast<std::uint32_t>(row.body.size() + 6);
        chunk->readindex = file->index;
        position += chunk->size;
        std::string text;
        const unsigned char* own = nullptr;
        const bool taken = row.bytes == 0 ? ftk3ds::PeekLeadingText(chunk, row.trailing, text, &own)
                                          : ftk3ds::PeekOwnData(chunk, row.bytes, &own);
        EXPECT_EQ(taken, row.taken) << name;
        EXPECT_FALSE(FtkErrorPending) << name;
        const std::int64_t after = GetFilePosition3ds();
        void* record = ReadChunkData3ds(chunk);
        EXPECT_EQ(FtkErrorPending, !row.taken) << name;
        if (taken && record != nullptr) {
            EXPECT_EQ(after, GetFilePosition3ds()) << name;
            if (row.bytes == 0) {
                const char* loaded = row.tag == NODE_HDR ? static_cast<NodeHeaderData3ds*>(record)->name
                                                         : static_cast<TextData3ds*>(record)->text;
                EXPECT_EQ(text, loaded) << name;
            } else {
                EXPECT_EQ(std::memcmp(own, record, row.bytes), 0) << name;
            }
        }
        ReleaseChunk3ds(&chunk);
        ClearErrorList3ds();
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
