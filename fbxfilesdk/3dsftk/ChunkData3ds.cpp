#include <fbxfilesdk/3dsftk/ChunkData3ds.h>

#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>
#include <fbxfilesdk/3dsftk/File3ds.h>
#include <fbxfilesdk/3dsftk/Internal3ds.h>
#include <fbxfilesdk/3dsftk/Primitives3ds.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

// The record layouts, one per struct of ChunkRecords3ds.h. Raw holds the own
// data of a tag without a record of its own; Block the whole body of a tag
// whose record is an opaque block.
enum class Kind {
    None, Raw, Block, Dword, Float, Word, Byte, Color24, ColorF, Point, Text,
    PointArray, PointFlagArray, FaceArray, MatGroup, TexVerts, SmoothGroup, MeshMatrix, MeshTextureInfo,
    BoxMap, Fog, LayerFog, View, ViewUser, Spotlight, LocalShadow, Camera, CameraRanges, ViewportLayout,
    ViewportData, ViewportSize, AutoReflect, KfSeg, KfHeader, NodeHeader, BoundBox,
    PointTrack, RotTrack, FloatTrack, MorphTrack, HideTrack
};

struct RecordInfo {
    Kind kind;
    std::uint32_t textLimit = 0;  // characters of a Text record; 0: as many as the chunk holds
};

RecordInfo InfoOf(std::uint32_t tag) {
    switch (tag) {
        case M3DMAGIC: case CMAGIC: case MLIBMAGIC: case MDATA: case SOLID_BGND: case AMBIENT_LIGHT:
        case DEFAULT_VIEW: case N_TRI_OBJECT: case XDATA_SECTION: case XDATA_GROUP: case MAT_ENTRY: case KFDATA:
        case AMBIENT_NODE_TAG: case OBJECT_NODE_TAG: case CAMERA_NODE_TAG: case TARGET_NODE_TAG:
        case LIGHT_NODE_TAG: case L_TARGET_NODE_TAG: case SPOTLIGHT_NODE_TAG:
        case MAT_AMBIENT: case MAT_DIFFUSE: case MAT_SPECULAR: case MAT_SHININESS: case MAT_SHIN2PCT:
        case MAT_SHIN3PCT: case MAT_TRANSPARENCY: case MAT_XPFALL: case MAT_REFBLUR: case MAT_SELF_ILPCT:
        case MAT_TEXMAP: case MAT_SPECMAP: case MAT_OPACMAP: case MAT_REFLMAP: case MAT_BUMPMAP: case MAT_TEX2MAP:
        case MAT_SHINMAP: case MAT_SELFIMAP: case MAT_TEXMASK: case MAT_TEX2MASK: case MAT_OPACMASK:
        case MAT_BUMPMASK: case MAT_SHINMASK: case MAT_SPECMASK: case MAT_SELFIMASK: case MAT_REFLMASK:
            return {Kind::None};
        case M3D_VERSION: case SHADOW_RANGE: case MESH_VERSION: case KFCURTIME:
            return {Kind::Dword};
        case FLOAT_PERCENTAGE: case MASTER_SCALE: case V_GRADIENT: case LO_SHADOW_BIAS: case HI_SHADOW_BIAS:
        case SHADOW_FILTER: case RAY_BIAS: case DL_SPOT_ROLL: case DL_SPOT_ASPECT: case DL_RAY_BIAS:
        case DL_INNER_RANGE: case DL_OUTER_RANGE: case DL_MULTIPLIER: case MAT_WIRESIZE: case MAT_MAP_TEXBLUR:
        case MAT_MAP_USCALE: case MAT_MAP_VSCALE: case MAT_MAP_UOFFSET: case MAT_MAP_VOFFSET: case MAT_MAP_ANG:
        case MORPH_SMOOTH:
            return {Kind::Float};
        case INT_PERCENTAGE: case SHADOW_MAP_SIZE: case SHADOW_SAMPLES: case MAT_SHADING: case MAT_BUMP_PERCENT:
        case MAT_MAP_TILING: case NODE_ID:
            return {Kind::Word};
        case MESH_COLOR:
            return {Kind::Byte};
        case COLOR_24: case LIN_COLOR_24: case MAT_MAP_COL1: case MAT_MAP_COL2: case MAT_MAP_RCOL:
        case MAT_MAP_GCOL: case MAT_MAP_BCOL:
            return {Kind::Color24};
        case COLOR_F: case LIN_COLOR_F:
            return {Kind::ColorF};
        case O_CONSTS: case N_DIRECT_LIGHT: case PIVOT:
            return {Kind::Point};
        case NAMED_OBJECT: case VIEW_CAMERA: case DL_EXCLUDE: case INSTANCE_NAME:
            return {Kind::Text, 10};
        case BIT_MAP: case PROC_NAME: case DL_SPOT_PROJECTOR:
            return {Kind::Text, 12};
        case MAT_NAME: case MAT_MAPNAME:
            return {Kind::Text, 16};
        case XDATA_APPNAME: case XDATA_STRING: case PARENT_NAME:
            return {Kind::Text, 0};
        case PROC_DATA: case XDATA_ENTRY: case MAT_SXP_TEXT_DATA: case MAT_SXP_TEXT2_DATA: case MAT_SXP_OPAC_DATA:
        case MAT_SXP_BUMP_DATA: case MAT_SXP_SPEC_DATA: case MAT_SXP_SHIN_DATA: case MAT_SXP_SELFI_DATA:
        case MAT_SXP_TEXT_MASKDATA: case MAT_SXP_TEXT2_MASKDATA: case MAT_SXP_OPAC_MASKDATA:
        case MAT_SXP_BUMP_MASKDATA: case MAT_SXP_SPEC_MASKDATA: case MAT_SXP_SHIN_MASKDATA:
        case MAT_SXP_SELFI_MASKDATA: case MAT_SXP_REFL_MASKDATA:
            return {Kind::Block};
        case POINT_ARRAY: return {Kind::PointArray};
        case POINT_FLAG_ARRAY: return {Kind::PointFlagArray};
        case FACE_ARRAY: return {Kind::FaceArray};
        case MSH_MAT_GROUP: return {Kind::MatGroup, 16};
        case TEX_VERTS: return {Kind::TexVerts};
        case SMOOTH_GROUP: return {Kind::SmoothGroup};
        case MESH_MATRIX: return {Kind::MeshMatrix};
        case MESH_TEXTURE_INFO: return {Kind::MeshTextureInfo};
        case MSH_BOXMAP: return {Kind::BoxMap, 16};
        case FOG: case DISTANCE_CUE: return {Kind::Fog};
        case LAYER_FOG: return {Kind::LayerFog};
        case VIEW_TOP: case VIEW_BOTTOM: case VIEW_LEFT: case VIEW_RIGHT: case VIEW_FRONT: case VIEW_BACK:
            return {Kind::View};
        case VIEW_USER: return {Kind::ViewUser};
        case DL_SPOTLIGHT: return {Kind::Spotlight};
        case DL_LOCAL_SHADOW2: return {Kind::LocalShadow};
        case N_CAMERA: return {Kind::Camera};
        case CAM_RANGES: return {Kind::CameraRanges};
        case VIEWPORT_LAYOUT: return {Kind::ViewportLayout};
        case VIEWPORT_DATA: case VIEWPORT_DATA_3: return {Kind::ViewportData, 10};
        case VIEWPORT_SIZE: return {Kind::ViewportSize};
        case MAT_ACUBIC: return {Kind::AutoReflect};
        case KFSEG: return {Kind::KfSeg};
        case KFHDR: return {Kind::KfHeader, 512};
        case NODE_HDR: return {Kind::NodeHeader, 10};
        case BOUNDBOX: return {Kind::BoundBox};
        case POS_TRACK_TAG: case SCL_TRACK_TAG: case COL_TRACK_TAG: return {Kind::PointTrack};
        case ROT_TRACK_TAG: return {Kind::RotTrack};
        case FOV_TRACK_TAG: case ROLL_TRACK_TAG: case HOT_TRACK_TAG: case FALL_TRACK_TAG:
            return {Kind::FloatTrack};
        case MORPH_TRACK_TAG: return {Kind::MorphTrack};
        case HIDE_TRACK_TAG: return {Kind::HideTrack};
        default: return {Kind::Raw};
    }
}

// Calls f with std::type_identity of the record struct of the kind.
template <class F>
void WithRecordType(Kind kind, F&& f) {
    switch (kind) {
        case Kind::None: break;
        case Kind::Raw: case Kind::Block: f(std::type_identity<BlockData3ds>{}); break;
        case Kind::Dword: f(std::type_identity<DwordData3ds>{}); break;
        case Kind::Float: f(std::type_identity<FloatData3ds>{}); break;
        case Kind::Word: f(std::type_identity<WordData3ds>{}); break;
        case Kind::Byte: f(std::type_identity<ByteData3ds>{}); break;
        case Kind::Color24: f(std::type_identity<Color24Data3ds>{}); break;
        case Kind::ColorF: f(std::type_identity<ColorFData3ds>{}); break;
        case Kind::Point: f(std::type_identity<PointData3ds>{}); break;
        case Kind::Text: f(std::type_identity<TextData3ds>{}); break;
        case Kind::PointArray: f(std::type_identity<PointArrayData3ds>{}); break;
        case Kind::PointFlagArray: f(std::type_identity<PointFlagArrayData3ds>{}); break;
        case Kind::FaceArray: f(std::type_identity<FaceArrayData3ds>{}); break;
        case Kind::MatGroup: f(std::type_identity<MatGroupData3ds>{}); break;
        case Kind::TexVerts: f(std::type_identity<TexVertsData3ds>{}); break;
        case Kind::SmoothGroup: f(std::type_identity<SmoothGroupData3ds>{}); break;
        case Kind::MeshMatrix: f(std::type_identity<MeshMatrixData3ds>{}); break;
        case Kind::MeshTextureInfo: f(std::type_identity<MeshTextureInfoData3ds>{}); break;
        case Kind::BoxMap: f(std::type_identity<BoxMapData3ds>{}); break;
        case Kind::Fog: f(std::type_identity<FogData3ds>{}); break;
        case Kind::LayerFog: f(std::type_identity<LayerFogData3ds>{}); break;
        case Kind::View: f(std::type_identity<ViewData3ds>{}); break;
        case Kind::ViewUser: f(std::type_identity<ViewUserData3ds>{}); break;
        case Kind::Spotlight: f(std::type_identity<SpotlightData3ds>{}); break;
        case Kind::LocalShadow: f(std::type_identity<LocalShadowData3ds>{}); break;
        case Kind::Camera: f(std::type_identity<CameraData3ds>{}); break;
        case Kind::CameraRanges: f(std::type_identity<CameraRangesData3ds>{}); break;
        case Kind::ViewportLayout: f(std::type_identity<ViewportLayoutData3ds>{}); break;
        case Kind::ViewportData: f(std::type_identity<ViewportData3ds>{}); break;
        case Kind::ViewportSize: f(std::type_identity<ViewportSizeData3ds>{}); break;
        case Kind::AutoReflect: f(std::type_identity<AutoReflectData3ds>{}); break;
        case Kind::KfSeg: f(std::type_identity<KfSegData3ds>{}); break;
        case Kind::KfHeader: f(std::type_identity<KfHeaderData3ds>{}); break;
        case Kind::NodeHeader: f(std::type_identity<NodeHeaderData3ds>{}); break;
        case Kind::BoundBox: f(std::type_identity<BoundBoxData3ds>{}); break;
        case Kind::PointTrack: f(std::type_identity<PointTrackData3ds>{}); break;
        case Kind::RotTrack: f(std::type_identity<RotTrackData3ds>{}); break;
        case Kind::FloatTrack: f(std::type_identity<FloatTrackData3ds>{}); break;
        case Kind::MorphTrack: f(std::type_identity<MorphTrackData3ds>{}); break;
        case Kind::HideTrack: f(std::type_identity<HideTrackData3ds>{}); break;
    }
}

// ---- The file layout of each record, in file order ----------------------
//
// One description per record serves reading, writing, copying and freeing:
// each Io below gives the field operations their meaning.

template <class Io> void Visit(Io& io, DwordData3ds& r) { io.Dword(r.value); }
template <class Io> void Visit(Io& io, FloatData3ds& r) { io.Float(r.value); }
template <class Io> void Visit(Io& io, WordData3ds& r) { io.Word(r.value); }
template <class Io> void Visit(Io& io, ByteData3ds& r) { io.Byte(r.value); }
template <class Io> void Visit(Io& io, Color24Data3ds& r) {
    io.Byte(r.red);
    io.Byte(r.green);
    io.Byte(r.blue);
}
template <class Io> void Visit(Io& io, ColorFData3ds& r) {
    io.Float(r.red);
    io.Float(r.green);
    io.Float(r.blue);
}
template <class Io> void Visit(Io& io, PointData3ds& r) { io.Point(r.point); }
template <class Io> void Visit(Io& io, TextData3ds& r) { io.Text(r.text); }
template <class Io> void Visit(Io& io, BlockData3ds& r) { io.Block(r); }

template <class Io> void Visit(Io& io, PointArrayData3ds& r) {
    io.Word(r.count);
    io.Array(r.count, r.points, 12, [](Io& e, point3ds& p) { e.Point(p); });
}
template <class Io> void Visit(Io& io, PointFlagArrayData3ds& r) {
    io.Word(r.count);
    io.Array(r.count, r.flags, 2, [](Io& e, std::uint16_t& w) { e.Word(w); });
}
template <class Io> void Visit(Io& io, FaceArrayData3ds& r) {
    io.Word(r.count);
    io.Array(r.count, r.faces, 8, [](Io& e, face3ds& f) { e.Face(f); });
}
template <class Io> void Visit(Io& io, MatGroupData3ds& r) {
    io.Text(r.name);
    io.Word(r.count);
    io.Array(r.count, r.faces, 2, [](Io& e, std::uint16_t& w) { e.Word(w); });
}
template <class Io> void Visit(Io& io, TexVertsData3ds& r) {
    io.Word(r.count);
    io.Array(r.count, r.texverts, 8, [](Io& e, texvertex3ds& t) {
        e.Float(t.u);
        e.Float(t.v);
    });
}
template <class Io> void Visit(Io& io, SmoothGroupData3ds& r) {
    io.CountFromChunk(r.count, 4);
    io.Array(r.count, r.groups, 4, [](Io& e, std::uint32_t& d) { e.Dword(d); });
}
template <class Io> void Visit(Io& io, MeshMatrixData3ds& r) {
    for (float& value : r.matrix) io.Float(value);
}
template <class Io> void Visit(Io& io, MeshTextureInfoData3ds& r) {
    io.Word(r.maptype);
    io.Float(r.tilex);
    io.Float(r.tiley);
    io.Point(r.iconposition);
    io.Float(r.iconscale);
    for (float& value : r.matrix) io.Float(value);
    io.Float(r.planarwidth);
    io.Float(r.planarheight);
    io.Float(r.cylinderheight);
}
template <class Io> void Visit(Io& io, BoxMapData3ds& r) {
    for (char*& name : r.names) io.Text(name);
}
template <class Io> void Visit(Io& io, FogData3ds& r) {
    io.Float(r.nearplane);
    io.Float(r.neardensity);
    io.Float(r.farplane);
    io.Float(r.fardensity);
}
template <class Io> void Visit(Io& io, LayerFogData3ds& r) {
    io.Float(r.zmin);
    io.Float(r.zmax);
    io.Float(r.density);
    io.Dword(r.flags);
}
template <class Io> void Visit(Io& io, ViewData3ds& r) {
    io.Float(r.width);
    io.Point(r.target);
}
template <class Io> void Visit(Io& io, ViewUserData3ds& r) {
    io.Float(r.width);
    io.Float(r.horizontalangle);
    io.Float(r.verticalangle);
    io.Float(r.bankangle);
    io.Point(r.target);
}
template <class Io> void Visit(Io& io, SpotlightData3ds& r) {
    io.Point(r.target);
    io.Float(r.hotspot);
    io.Float(r.falloff);
}
template <class Io> void Visit(Io& io, LocalShadowData3ds& r) {
    io.Float(r.bias);
    io.Float(r.filter);
    io.Word(r.mapsize);
}
template <class Io> void Visit(Io& io, CameraData3ds& r) {
    io.Point(r.position);
    io.Point(r.target);
    io.Float(r.roll);
    io.Float(r.lens);
}
template <class Io> void Visit(Io& io, CameraRangesData3ds& r) {
    io.Float(r.nearrange);
    io.Float(r.farrange);
}
template <class Io> void Visit(Io& io, ViewportLayoutData3ds& r) {
    for (std::uint16_t& word : r.words) io.Word(word);
}
template <class Io> void Visit(Io& io, ViewportData3ds& r) {
    for (std::uint16_t& word : r.words) io.Word(word);
    io.Float(r.zoom);
    io.Point(r.center);
    io.Float(r.horizontalangle);
    io.Float(r.verticalangle);
    io.FixedText(r.cameraname);
}
template <class Io> void Visit(Io& io, ViewportSizeData3ds& r) {
    io.Word(r.x);
    io.Word(r.y);
    io.Word(r.width);
    io.Word(r.height);
}
template <class Io> void Visit(Io& io, AutoReflectData3ds& r) {
    io.Byte(r.byte1);
    io.Byte(r.byte2);
    io.Word(r.flags);
    io.Dword(r.mapsize);
    io.Dword(r.nthframe);
}
template <class Io> void Visit(Io& io, KfSegData3ds& r) {
    io.Dword(r.begin);
    io.Dword(r.end);
}
template <class Io> void Visit(Io& io, KfHeaderData3ds& r) {
    io.Word(r.revision);
    io.Text(r.name);
    io.Dword(r.animlength);
}
template <class Io> void Visit(Io& io, NodeHeaderData3ds& r) {
    io.Text(r.name);
    io.Word(r.flags1);
    io.Word(r.flags2);
    io.Word(r.parentindex);
}
template <class Io> void Visit(Io& io, BoundBoxData3ds& r) {
    io.Point(r.min);
    io.Point(r.max);
}
template <class Io> void Visit(Io& io, PointTrackData3ds& r) {
    io.Track(r.header, r.keys, &r.values, 12, [](Io& e, point3ds& p) { e.Point(p); });
}
template <class Io> void Visit(Io& io, RotTrackData3ds& r) {
    io.Track(r.header, r.keys, &r.values, 16, [](Io& e, rotkey3ds& k) {
        e.Float(k.angle);
        e.Float(k.x);
        e.Float(k.y);
        e.Float(k.z);
    });
}
template <class Io> void Visit(Io& io, FloatTrackData3ds& r) {
    io.Track(r.header, r.keys, &r.values, 4, [](Io& e, float& f) { e.Float(f); });
}
template <class Io> void Visit(Io& io, MorphTrackData3ds& r) {
    io.Track(r.header, r.keys, &r.values, 1, [](Io& e, morphname3ds& m) { e.MorphName(m); });
}
template <class Io> void Visit(Io& io, HideTrackData3ds& r) {
    io.Track(r.header, r.keys, static_cast<char**>(nullptr), 0, [](Io&, char&) {});
}

// What passing a zero-terminated string through the window did.
struct WindowedText {
    std::int64_t passed;  // bytes moved past, the zero included; 0 when the window held none
    bool ended;           // the zero was among them
};

// Moves the current file past the string bytes its window holds, at most
// limit of them, up to and including the zero; the bytes before the zero are
// appended to text where one is given. A string that goes on past the window
// is left for byte reads, which move the window.
WindowedText PassWindowedText(std::int64_t limit, std::string* text) {
    const unsigned char* data = nullptr;
    const std::int64_t held = std::min<std::int64_t>(static_cast<std::int64_t>(PeekCurrentFile3ds(&data)), limit);
    if (held <= 0) return {0, false};
    const auto* zero = static_cast<const unsigned char*>(std::memchr(data, 0, static_cast<std::size_t>(held)));
    const std::int64_t characters = zero != nullptr ? zero - data : held;
    if (text != nullptr) text->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(characters));
    const std::int64_t passed = zero != nullptr ? characters + 1 : characters;
    TakeCurrentFile3ds(static_cast<std::size_t>(passed));
    return {passed, zero != nullptr};
}

// Reads a record from the current file, never past the end of its chunk.
class FileReader {
public:
    FileReader(std::int64_t position, std::int64_t end, std::uint32_t textLimit)
        : position_(position), end_(end), textLimit_(textLimit) {}

    // Inside a run of array elements the run has been read and counted
    // whole: its values are only taken apart.
    void Byte(std::uint8_t& value) { Read(1, [&] { value = ReadByte3ds(); }); }
    void Word(std::uint16_t& value) {
        if (run_ != nullptr) {
            value = static_cast<std::uint16_t>(Take<2>());
            return;
        }
        Read(2, [&] { value = ReadWord3ds(); });
    }
    void Dword(std::uint32_t& value) {
        if (run_ != nullptr) {
            value = Take<4>();
            return;
        }
        Read(4, [&] { value = ReadDword3ds(); });
    }
    void Float(float& value) {
        if (run_ != nullptr) {
            value = std::bit_cast<float>(Take<4>());
            return;
        }
        Read(4, [&] { value = ReadFloat3ds(); });
    }
    void Point(point3ds& point) {
        if (run_ != nullptr) {
            Float(point.x);
            Float(point.y);
            Float(point.z);
            return;
        }
        Read(12, [&] { ReadPoint3ds(&point); });
    }
    void Face(face3ds& face) {
        if (run_ != nullptr) {
            Word(face.a);
            Word(face.b);
            Word(face.c);
            Word(face.flags);
            return;
        }
        Read(8, [&] { ReadFace3ds(&face); });
    }

    // The format's customary name limits bind what we write only: other
    // programs store names whole, so a string read is bounded by its chunk
    // alone, and grows with what the file holds rather than with the size the
    // chunk claims.
    void Text(char*& text) {
        if (Stopped()) return;
        std::string value;
        for (;;) {
            if (Remaining() <= 0) {
                Invalid();
                return;
            }
            const WindowedText run = PassWindowedText(Remaining(), &value);
            position_ += run.passed;
            if (run.ended) break;
            if (run.passed != 0) continue;
            const char c = static_cast<char>(ReadByte3ds());
            if (Stopped()) return;
            ++position_;
            if (c == '\0') break;
            value.push_back(c);
        }
        char* copy = StrDup3ds(value.c_str());
        if (copy == nullptr) return;
        FtkFree(text);
        text = copy;
    }
    void FixedText(char*& text) {
        Read(textLimit_ + 1, [&] { ReadFixedStringAlloc3ds(&text, textLimit_); });
    }
    void MorphName(morphname3ds& slot) {
        if (Stopped()) return;
        const std::int64_t most = std::min<std::int64_t>(sizeof(slot.name), Remaining());
        if (most <= 0) {
            Invalid();
            return;
        }
        ReadString3ds(slot.name, static_cast<std::uint32_t>(most));
        slot.name[sizeof(slot.name) - 1] = '\0';
        if (!Stopped()) position_ += static_cast<std::int64_t>(std::strlen(slot.name)) + 1;
    }
    void Block(BlockData3ds& block) {
        if (Stopped()) return;
        block.size = static_cast<std::uint32_t>(Remaining());
        if (block.size == 0) return;
        block.data = ftk3ds::NewZeroed<unsigned char>(block.size);
        if (block.data == nullptr) return;
        Read(block.size, [&] { ReadVoid3ds(block.size, block.data); });
    }
    void CountFromChunk(std::uint32_t& count, std::uint32_t elementBytes) {
        if (!Stopped()) count = static_cast<std::uint32_t>(Remaining() / elementBytes);
    }

    // count elements of at least minBytes each in the file, after checking
    // that the chunk can hold them.
    template <class Count, class T, class Element>
    void Array(Count count, T*& array, std::uint32_t minBytes, Element element) {
        if (Stopped() || count == 0) return;
        if (static_cast<std::int64_t>(count) * minBytes > Remaining()) {
            Invalid();
            return;
        }
        array = ftk3ds::NewZeroed<T>(count);
        if (array == nullptr) return;
        // Every array element has a fixed size: runs of elements come from
        // the file in one read each (in place, when the read window holds
        // them) and are taken apart in memory.
        constexpr std::uint32_t kRunElements = 4096;
        std::vector<unsigned char> run;
        for (std::uint32_t first = 0; first < count && !Stopped();) {
            const std::uint32_t elements = std::min<std::uint32_t>(kRunElements, count - first);
            const std::size_t bytes = static_cast<std::size_t>(elements) * minBytes;
            const unsigned char* data = TakeCurrentFile3ds(bytes);
            if (data == nullptr) {
                run.assign(bytes, 0);
                ReadVoid3ds(static_cast<std::uint32_t>(bytes), run.data());
                if (Stopped()) return;
                data = run.data();
            }
            position_ += static_cast<std::int64_t>(bytes);
            run_ = data;
            runEnd_ = data + bytes;
            for (std::uint32_t i = 0; i < elements && !Stopped(); ++i) element(*this, array[first + i]);
            run_ = nullptr;
            first += elements;
        }
    }

    // A track header, then key headers each followed by its value.
    template <class T, class Element>
    void Track(TrackHeader3ds& header, keyheader3ds*& keys, T** values, std::uint32_t valueMinBytes,
               Element element) {
        Read(14, [&] { ReadTrackHeader3ds(&header); });
        if (Stopped() || header.keycount == 0) return;
        if (static_cast<std::int64_t>(header.keycount) * (6 + valueMinBytes) > Remaining()) {
            Invalid();
            return;
        }
        keys = ftk3ds::NewZeroed<keyheader3ds>(header.keycount);
        if (keys == nullptr) return;
        if (values != nullptr) {
            *values = ftk3ds::NewZeroed<T>(header.keycount);
            if (*values == nullptr) return;
        }
        for (std::uint32_t i = 0; i < header.keycount && !Stopped(); ++i) {
            Key(keys[i]);
            if (values != nullptr && !Stopped()) element(*this, (*values)[i]);
        }
    }

private:
    bool Stopped() const { return FtkErrorStops(); }
    std::int64_t Remaining() const { return end_ - position_; }
    void Invalid() { PushError3ds(ERR_INVALID_CHUNK); }

    template <class F>
    void Read(std::int64_t bytes, F read) {
        if (Stopped()) return;
        if (bytes > Remaining()) {
            Invalid();
            return;
        }
        read();
        position_ += bytes;
    }

    // The flags say which parameters follow; each read stays within the chunk.
    void Key(keyheader3ds& key) {
        key = {};
        Dword(key.frame);
        Word(key.splineflags);
        float* const parameters[] = {&key.tension, &key.continuity, &key.bias, &key.easeto, &key.easefrom};
        for (unsigned bit = 0; bit < 5; ++bit) {
            if ((key.splineflags & (1u << bit)) != 0) Float(*parameters[bit]);
        }
    }

    // The next N bytes of the run as a little-endian value.
    template <std::size_t N>
    std::uint32_t Take() {
        if (static_cast<std::size_t>(runEnd_ - run_) < N) {
            Invalid();
            return 0;
        }
        const std::uint32_t value = ftk3ds::FromLittleEndian<N>(run_);
        run_ += N;
        return value;
    }

    std::int64_t position_;
    std::int64_t end_;
    std::uint32_t textLimit_;
    // The rest of the run of array elements being taken apart; null outside.
    const unsigned char* run_ = nullptr;
    const unsigned char* runEnd_ = nullptr;
};

// Writes a record to the current file.
class FileWriter {
public:
    explicit FileWriter(std::uint32_t textLimit) : textLimit_(textLimit) {}

    void Byte(std::uint8_t& value) { Write([&] { WriteByte3ds(value); }); }
    void Word(std::uint16_t& value) { Write([&] { WriteWord3ds(value); }); }
    void Dword(std::uint32_t& value) { Write([&] { WriteDword3ds(value); }); }
    void Float(float& value) { Write([&] { WriteFloat3ds(value); }); }
    void Point(point3ds& point) { Write([&] { WritePoint3ds(&point); }); }
    void Face(face3ds& face) { Write([&] { WriteFace3ds(&face); }); }
    // What we write keeps to the format's customary name limits, which
    // readers of other programs expect: a longer text is refused.
    void Text(char*& text) {
        const char* value = text != nullptr ? text : "";
        if (textLimit_ != 0 && !Fits(value, textLimit_)) return;
        Write([&] { WriteString3ds(value); });
    }
    void FixedText(char*& text) {
        const char* value = text != nullptr ? text : "";
        if (!Fits(value, textLimit_)) return;
        Write([&] { WriteFixedString3ds(value, textLimit_ + 1); });
    }
    void MorphName(morphname3ds& slot) {
        if (std::memchr(slot.name, '\0', sizeof(slot.name)) == nullptr) {
            PushError3ds(ERR_STRING_TOO_LONG);
            return;
        }
        Write([&] { WriteString3ds(slot.name); });
    }
    void Block(BlockData3ds& block) {
        if (block.size != 0 && block.data == nullptr) {
            PushError3ds(ERR_INVALID_DATA);
            return;
        }
        Write([&] { WriteVoid3ds(block.size, block.data); });
    }
    void CountFromChunk(std::uint32_t&, std::uint32_t) {}

    template <class Count, class T, class Element>
    void Array(Count count, T*& array, std::uint32_t, Element element) {
        if (FtkErrorStops() || count == 0) return;
        if (array == nullptr) {
            PushError3ds(ERR_INVALID_DATA);
            return;
        }
        for (Count i = 0; i < count && !FtkErrorStops(); ++i) element(*this, array[i]);
    }

    template <class T, class Element>
    void Track(TrackHeader3ds& header, keyheader3ds*& keys, T** values, std::uint32_t, Element element) {
        Write([&] { WriteTrackHeader3ds(&header); });
        if (FtkErrorStops() || header.keycount == 0) return;
        if (keys == nullptr || (values != nullptr && *values == nullptr)) {
            PushError3ds(ERR_INVALID_DATA);
            return;
        }
        for (std::uint32_t i = 0; i < header.keycount && !FtkErrorStops(); ++i) {
            WriteKeyHeader3ds(&keys[i]);
            if (values != nullptr && !FtkErrorStops()) element(*this, (*values)[i]);
        }
    }

private:
    static bool Fits(const char* text, std::uint32_t limit) {
        if (std::memchr(text, '\0', static_cast<std::size_t>(limit) + 1) != nullptr) return true;
        PushError3ds(ERR_STRING_TOO_LONG);
        return false;
    }

    template <class F>
    void Write(F write) {
        if (!FtkErrorStops()) write();
    }

    std::uint32_t textLimit_;
};

// Turns a byte-for-byte copy of a record into a deep copy. After a failed
// duplication the remaining pointers are nulled, so that the copy never shares
// a block with its source.
class Duplicator {
public:
    template <class T> void Byte(T&) {}
    template <class T> void Word(T&) {}
    template <class T> void Dword(T&) {}
    template <class T> void Float(T&) {}
    template <class T> void Point(T&) {}
    template <class T> void Face(T&) {}
    void MorphName(morphname3ds&) {}
    void CountFromChunk(std::uint32_t&, std::uint32_t) {}
    void Text(char*& text) {
        if (text == nullptr) return;
        text = failed_ ? nullptr : StrDup3ds(text);
        failed_ = failed_ || text == nullptr;
    }
    void FixedText(char*& text) { Text(text); }
    void Block(BlockData3ds& block) { Duplicate(block.data, block.size); }
    template <class Count, class T, class Element>
    void Array(Count count, T*& array, std::uint32_t, Element) {
        Duplicate(array, static_cast<std::size_t>(count) * sizeof(T));
    }
    template <class T, class Element>
    void Track(TrackHeader3ds& header, keyheader3ds*& keys, T** values, std::uint32_t, Element) {
        Duplicate(keys, static_cast<std::size_t>(header.keycount) * sizeof(keyheader3ds));
        if (values != nullptr) Duplicate(*values, static_cast<std::size_t>(header.keycount) * sizeof(T));
    }
    bool Failed() const { return failed_; }

private:
    template <class T>
    void Duplicate(T*& block, std::size_t bytes) {
        if (block == nullptr) return;
        if (failed_ || bytes == 0) {
            block = nullptr;
            return;
        }
        block = static_cast<T*>(ftk3ds::DuplicateBlock(block, bytes));
        failed_ = block == nullptr;
    }

    bool failed_ = false;
};

// Frees what a record owns.
class Releaser {
public:
    template <class T> void Byte(T&) {}
    template <class T> void Word(T&) {}
    template <class T> void Dword(T&) {}
    template <class T> void Float(T&) {}
    template <class T> void Point(T&) {}
    template <class T> void Face(T&) {}
    void MorphName(morphname3ds&) {}
    void CountFromChunk(std::uint32_t&, std::uint32_t) {}
    void Text(char*& text) { Free(text); }
    void FixedText(char*& text) { Free(text); }
    void Block(BlockData3ds& block) { Free(block.data); }
    template <class Count, class T, class Element>
    void Array(Count, T*& array, std::uint32_t, Element) { Free(array); }
    template <class T, class Element>
    void Track(TrackHeader3ds&, keyheader3ds*& keys, T** values, std::uint32_t, Element) {
        Free(keys);
        if (values != nullptr) Free(*values);
    }

private:
    template <class T>
    static void Free(T*& block) {
        FtkFree(block);
        block = nullptr;
    }
};

template <class Io>
void VisitRecord(Kind kind, void* record, Io& io) {
    WithRecordType(kind, [&](auto type) {
        using Record = typename decltype(type)::type;
        Visit(io, *static_cast<Record*>(record));
    });
}

std::size_t RecordSize(Kind kind) {
    std::size_t size = 0;
    WithRecordType(kind, [&](auto type) { size = sizeof(typename decltype(type)::type); });
    return size;
}

// The bytes a chunk's own data takes before its first sub-chunk, for the tags
// whose own data has a fixed length; none for a string or computed skip and
// for tags whose own data runs to the end of the chunk.
std::optional<std::uint32_t> FixedOwnDataLength(std::uint32_t tag) {
    // An extra-data group is read as one block, sub-chunks and all.
    if (InfoOf(tag).kind == Kind::None && tag != XDATA_GROUP) return 0;
    switch (tag) {
        case XDATA_ENTRY: case MATMAGIC: case SMAGIC: case LMAGIC:
            return 0;
        case INT_PERCENTAGE: case SHADOW_MAP_SIZE: case SHADOW_SAMPLES: case NODE_ID: return 2;
        case COLOR_24: return 3;
        case M3D_VERSION: case FLOAT_PERCENTAGE: case MASTER_SCALE: case V_GRADIENT: case LO_SHADOW_BIAS:
        case HI_SHADOW_BIAS: case MESH_VERSION: case KFCURTIME: case MORPH_SMOOTH: case VPDATA:
            return 4;
        case KFSEG: return 8;
        case DL_LOCAL_SHADOW2: return 10;
        case COLOR_F: case O_CONSTS: case N_DIRECT_LIGHT: case MAT_ACUBIC: case PIVOT: return 12;
        case VIEWPORT_LAYOUT: return 14;
        case FOG: case DISTANCE_CUE: case LAYER_FOG: case VIEW_TOP: case VIEW_BOTTOM: case VIEW_LEFT:
        case VIEW_RIGHT: case VIEW_FRONT: case VIEW_BACK:
            return 16;
        case DL_SPOTLIGHT: return 20;
        case BOUNDBOX: return 24;
        case VIEW_USER: return 28;
        case N_CAMERA: return 32;
        case MESH_MATRIX: return 48;
        default: return std::nullopt;
    }
}

// The own data of a tag without a record of its own: its fixed length, or
// everything after the header.
std::uint32_t RawLength(const Chunk3ds& chunk) {
    if (auto fixed = FixedOwnDataLength(chunk.tag)) return *fixed;
    return chunk.size > 6 ? chunk.size - 6 : 0;
}

// Tags without own data, and tags without a record of their own whose own
// data is empty, get no record.
bool HasRecord(const Chunk3ds& chunk, const RecordInfo& info) {
    return info.kind != Kind::None && (info.kind != Kind::Raw || RawLength(chunk) != 0);
}

void* NewRecord(const RecordInfo& info) {
    void* record = CAlloc3ds(__FILE__, __LINE__, 1, RecordSize(info.kind));
    if (record == nullptr) PushError3ds(ERR_NO_MEM);
    return record;
}

bool IsMemoryOnly(std::uint32_t tag) { return tag == PARENT_NAME; }

}  // namespace

void* InitChunkData3ds(Chunk3ds* chunk) {
    if (chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    FreeChunkData3ds(chunk);
    const RecordInfo info = InfoOf(chunk->tag);
    if (!HasRecord(*chunk, info)) return nullptr;
    void* record = NewRecord(info);
    if (record == nullptr) return nullptr;
    if (info.kind == Kind::Raw) {
        auto* block = static_cast<BlockData3ds*>(record);
        block->size = RawLength(*chunk);
        block->data = ftk3ds::NewZeroed<unsigned char>(block->size);
        if (block->data == nullptr) {
            FtkFree(record);
            return nullptr;
        }
    }
    chunk->data = record;
    return record;
}

namespace {

// The own data of a chunk of the file whose record is not loaded, as far as
// the read window holds it within the chunk, with the file set at its start
// as loading the record would set it.
struct Peek {
    enum { Refused, Failed, Ready } state = Refused;
    const unsigned char* data = nullptr;
    std::size_t held = 0;
};

Peek PeekOwnDataOf(Chunk3ds* chunk) {
    if (chunk == nullptr || chunk->data != nullptr || chunk->size < 6 || FtkErrorStops() ||
        !IsValidFileIndex3ds(chunk->readindex)) {
        return {};
    }
    ErrorChunkScope3ds scope(chunk->tag, chunk->position);
    const std::int64_t start = static_cast<std::int64_t>(chunk->position) + 6;
    const std::int64_t end = static_cast<std::int64_t>(chunk->position) + chunk->size;
    SetCurrentFileByIndex3ds(chunk->readindex);
    SetFilePosition3ds(start);
    if (FtkErrorStops()) return {Peek::Failed};
    Peek peek{Peek::Ready};
    peek.held = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(PeekCurrentFile3ds(&peek.data)), end - start));
    return peek;
}

}  // namespace

bool ftk3ds::PeekOwnData(Chunk3ds* chunk, std::size_t bytes, const unsigned char** data) {
    const Peek peek = PeekOwnDataOf(chunk);
    if (peek.state == Peek::Refused || (peek.state == Peek::Ready && peek.held < bytes)) return false;
    *data = peek.state == Peek::Ready ? peek.data : nullptr;
    if (*data != nullptr) TakeCurrentFile3ds(bytes);
    return true;
}

bool ftk3ds::PeekLeadingText(Chunk3ds* chunk, std::size_t trailing, std::string& text, const unsigned char** after) {
    const Peek peek = PeekOwnDataOf(chunk);
    if (peek.state == Peek::Refused) return false;
    if (peek.state == Peek::Failed) {
        // As loading would have failed: no text.
        text.clear();
        if (after != nullptr) *after = nullptr;
        return true;
    }
    const unsigned char* data = peek.data;
    const std::size_t held = peek.held;
    const auto* zero = held != 0 ? static_cast<const unsigned char*>(std::memchr(data, 0, held)) : nullptr;
    if (zero == nullptr) return false;
    const auto length = static_cast<std::size_t>(zero - data);
    if (length + 1 + trailing > held) return false;
    text.assign(reinterpret_cast<const char*>(data), length);
    if (after != nullptr) *after = data + length + 1;
    TakeCurrentFile3ds(length + 1 + trailing);
    return true;
}

void* ReadChunkData3ds(Chunk3ds* chunk) {
    if (chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    if (chunk->data != nullptr) return chunk->data;
    ErrorChunkScope3ds scope(chunk->tag, chunk->position);
    const RecordInfo info = InfoOf(chunk->tag);
    if (!HasRecord(*chunk, info) || IsMemoryOnly(chunk->tag) || chunk->readindex == kNoFile3ds) return nullptr;
    if (!IsValidFileIndex3ds(chunk->readindex)) {
        PushError3ds(ERR_READING_FILE);
        return nullptr;
    }
    if (chunk->size < 6) {
        PushError3ds(ERR_INVALID_CHUNK);
        return nullptr;
    }
    void* record = NewRecord(info);
    if (record == nullptr) return nullptr;
    chunk->data = record;
    SetCurrentFileByIndex3ds(chunk->readindex);
    const std::int64_t start = static_cast<std::int64_t>(chunk->position) + 6;
    std::int64_t end = static_cast<std::int64_t>(chunk->position) + chunk->size;
    if (info.kind == Kind::Raw) end = std::min<std::int64_t>(end, start + RawLength(*chunk));
    SetFilePosition3ds(start);
    if (FtkErrorStops()) return record;
    FileReader reader(start, end, info.textLimit);
    VisitRecord(info.kind, record, reader);
    return record;
}

void WriteChunkData3ds(Chunk3ds* chunk) {
    if (chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    // The bytes of an extra-data entry are its sub-chunks, which are written
    // after it: writing its loaded body too would store them twice.
    if (chunk->data == nullptr || IsMemoryOnly(chunk->tag) || chunk->tag == NULL_CHUNK ||
        chunk->tag == XDATA_ENTRY) {
        return;
    }
    const RecordInfo info = InfoOf(chunk->tag);
    if (info.kind == Kind::None) return;
    if (!IsValidFileIndex3ds(chunk->writeindex)) {
        PushError3ds(ERR_WRITING_FILE);
        return;
    }
    SetCurrentFileByIndex3ds(chunk->writeindex);
    FileWriter writer(info.textLimit);
    VisitRecord(info.kind, chunk->data, writer);
}

void CopyChunkData3ds(Chunk3ds* source, Chunk3ds* destination) {
    if (source == nullptr || destination == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (source->data == nullptr || destination->data != nullptr) return;
    const RecordInfo info = InfoOf(source->tag);
    const std::size_t size = RecordSize(info.kind);
    if (size == 0) return;
    void* record = Alloc3ds(__FILE__, __LINE__, size);
    if (record == nullptr) {
        PushError3ds(ERR_NO_MEM);
        return;
    }
    std::memcpy(record, source->data, size);
    Duplicator duplicator;
    VisitRecord(info.kind, record, duplicator);
    destination->data = record;
}

void FreeChunkData3ds(Chunk3ds* chunk) {
    if (chunk == nullptr || chunk->data == nullptr) return;
    Releaser releaser;
    VisitRecord(InfoOf(chunk->tag).kind, chunk->data, releaser);
    FtkFree(chunk->data);
    chunk->data = nullptr;
}

void ReleaseChunkDataIfOnFile3ds(Chunk3ds* chunk) {
    if (chunk != nullptr && chunk->data != nullptr && IsValidFileIndex3ds(chunk->readindex)) {
        FreeChunkData3ds(chunk);
    }
}

void SkipChunkData3ds(Chunk3ds* chunk) {
    if (chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    const std::int64_t start = GetFilePosition3ds();
    const std::int64_t end = static_cast<std::int64_t>(chunk->position) + chunk->size;
    if (start < 0 || chunk->size < 6 || start > end) {
        PushError3ds(ERR_INVALID_CHUNK);
        return;
    }
    // A zero-terminated string that must end within the chunk.
    auto skipString = [&] {
        for (std::int64_t here = GetFilePosition3ds(); !FtkErrorStops(); ++here) {
            if (here >= end) {
                PushError3ds(ERR_INVALID_CHUNK);
                return;
            }
            const WindowedText run = PassWindowedText(end - here, nullptr);
            if (run.ended) return;
            if (run.passed != 0) {
                here += run.passed - 1;
                continue;
            }
            if (ReadByte3ds() == 0) return;
        }
    };
    auto skipBytes = [&](std::int64_t bytes) {
        if (FtkErrorStops()) return;
        const std::int64_t target = GetFilePosition3ds() + bytes;
        if (target > end) {
            PushError3ds(ERR_INVALID_CHUNK);
            return;
        }
        SetFilePosition3ds(target);
    };
    if (auto fixed = FixedOwnDataLength(chunk->tag)) {
        // Nothing was read yet: the file stands at start.
        if (FtkErrorStops()) return;
        if (start + *fixed > end) {
            PushError3ds(ERR_INVALID_CHUNK);
            return;
        }
        SetFilePosition3ds(start + *fixed);
        return;
    }
    switch (chunk->tag) {
        case NAMED_OBJECT: case VIEW_CAMERA: case INSTANCE_NAME:
            skipString();
            break;
        case BIT_MAP: case PROC_NAME:
            skipString();
            break;
        case MAT_NAME: case MAT_MAPNAME:
            skipString();
            break;
        case NODE_HDR:
            skipString();
            skipBytes(6);
            break;
        case KFHDR:
            skipBytes(2);
            if (!FtkErrorStops()) skipString();
            skipBytes(4);
            break;
        case FACE_ARRAY: {
            if (end - start < 2) {
                PushError3ds(ERR_INVALID_CHUNK);
                return;
            }
            const std::uint16_t faces = ReadWord3ds();
            skipBytes(8 * static_cast<std::int64_t>(faces));
            break;
        }
        default:
            skipBytes(end - start);
            break;
    }
}

}  // namespace fbxsdk_2006_11_1
