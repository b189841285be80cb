// The values a 3DS file is made of and the data record of each chunk tag: the
// decoded form of a chunk's own data (the bytes between its header and its
// first sub-chunk). A record owns its texts, arrays and blocks, which come from
// the toolkit heap (Memory3ds.h).
#ifndef FBXFILESDK_3DSFTK_CHUNKRECORDS3DS_H
#define FBXFILESDK_3DSFTK_CHUNKRECORDS3DS_H

#include <cstddef>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

// The name fields of the records. The put routines keep to the format's
// customary limits (10 characters for objects, 16 for materials, 12 for
// files); names read from a file are bounded only by their chunk, since other
// programs store them whole, and the fields keep them whole up to
// kNameField3ds - 1 characters.
inline constexpr std::size_t kNameField3ds = 256;
// A keyframer parent's full name, "name.instance".
inline constexpr std::size_t kFullNameField3ds = 2 * kNameField3ds;

// Three floats: a point, a direction or a colour.
struct point3ds {
    float x, y, z;
};

// A colour: red, green and blue from 0 to 1.
struct color3ds {
    float red, green, blue;
};

struct texvertex3ds {
    float u, v;
};

// A triangle: three corner indices into the vertices, then its flags.
struct face3ds {
    std::uint16_t a, b, c;
    std::uint16_t flags;
};

// The header of one key of a keyframe track. In the file only the parameters
// whose bit is set in splineflags follow the frame and the flags (0x01
// tension, 0x02 continuity, 0x04 bias, 0x08 ease to, 0x10 ease from); a
// parameter whose bit is clear reads as 0.
struct keyheader3ds {
    std::uint32_t frame;
    std::uint16_t splineflags;
    float tension;
    float continuity;
    float bias;
    float easeto;
    float easefrom;
};

// The header of a keyframe track (14 bytes in the file).
struct TrackHeader3ds {
    std::uint16_t flags;
    std::uint32_t reserved1;
    std::uint32_t reserved2;
    std::uint32_t keycount;
};

// One key value of a rotation track: an angle about an axis.
struct rotkey3ds {
    float angle;
    float x, y, z;
};

// One key value of a morph track: an object name in a 13-byte slot.
struct morphname3ds {
    char name[13];
};

// ---- Data records, by tag ------------------------------------------------

// Tags without own data (M3DMAGIC, MDATA, N_TRI_OBJECT, KFDATA, the node
// tags, the material colour, percentage and map holders, ...) have no record.

// M3D_VERSION, SHADOW_RANGE, MESH_VERSION, KFCURTIME.
struct DwordData3ds {
    std::uint32_t value;
};

// FLOAT_PERCENTAGE, MASTER_SCALE, V_GRADIENT, the shadow and ray biases,
// SHADOW_FILTER, the light's float settings (DL_SPOT_ROLL ... DL_MULTIPLIER),
// MAT_WIRESIZE, the map blur, scales, offsets and angle, MORPH_SMOOTH.
struct FloatData3ds {
    float value;
};

// INT_PERCENTAGE, SHADOW_MAP_SIZE, SHADOW_SAMPLES, MAT_SHADING,
// MAT_BUMP_PERCENT, MAT_MAP_TILING, NODE_ID.
struct WordData3ds {
    std::uint16_t value;
};

// MESH_COLOR.
struct ByteData3ds {
    std::uint8_t value;
};

// COLOR_24, LIN_COLOR_24 and the five map colours (MAT_MAP_COL1 ...).
struct Color24Data3ds {
    std::uint8_t red, green, blue;
};

// COLOR_F, LIN_COLOR_F.
struct ColorFData3ds {
    float red, green, blue;
};

// O_CONSTS, N_DIRECT_LIGHT (the light's position), PIVOT.
struct PointData3ds {
    point3ds point;
};

// The names (NAMED_OBJECT, VIEW_CAMERA, DL_EXCLUDE, INSTANCE_NAME: written
// with at most 10 characters; BIT_MAP, PROC_NAME, DL_SPOT_PROJECTOR: 12;
// MAT_NAME, MAT_MAPNAME: 16; read as long as the chunk holds them),
// XDATA_APPNAME and XDATA_STRING, and PARENT_NAME, which lives in memory only.
struct TextData3ds {
    char* text;
};

// PROC_DATA, XDATA_ENTRY and the fifteen material SXP data and mask data
// tags: size bytes of opaque data.
struct BlockData3ds {
    std::uint32_t size;
    void* data;
};

// Any tag without a record of its own keeps its own data as a plain block of
// bytes, whose length follows from the chunk (see ChunkData3ds.h).

struct PointArrayData3ds {  // POINT_ARRAY
    std::uint16_t count;
    point3ds* points;
};

struct PointFlagArrayData3ds {  // POINT_FLAG_ARRAY
    std::uint16_t count;
    std::uint16_t* flags;
};

struct FaceArrayData3ds {  // FACE_ARRAY; its sub-chunks follow the faces
    std::uint16_t count;
    face3ds* faces;
};

struct MatGroupData3ds {  // MSH_MAT_GROUP
    char* name;
    std::uint16_t count;
    std::uint16_t* faces;  // null when count is 0
};

struct TexVertsData3ds {  // TEX_VERTS
    std::uint16_t count;
    texvertex3ds* texverts;
};

// SMOOTH_GROUP: one mask per face; the file holds no count, the chunk length
// gives it.
struct SmoothGroupData3ds {
    std::uint32_t count;
    std::uint32_t* groups;
};

struct MeshMatrixData3ds {  // MESH_MATRIX: three axis rows, then the origin
    float matrix[12];
};

struct MeshTextureInfoData3ds {  // MESH_TEXTURE_INFO
    std::uint16_t maptype;
    float tilex, tiley;
    point3ds iconposition;
    float iconscale;
    float matrix[12];
    float planarwidth, planarheight, cylinderheight;
};

struct BoxMapData3ds {  // MSH_BOXMAP: six material names
    char* names[6];
};

struct FogData3ds {  // FOG, DISTANCE_CUE
    float nearplane, neardensity, farplane, fardensity;
};

struct LayerFogData3ds {  // LAYER_FOG
    float zmin, zmax, density;
    std::uint32_t flags;
};

// VIEW_TOP ... VIEW_BACK (the file holds the width first).
struct ViewData3ds {
    point3ds target;
    float width;
};

// VIEW_USER (the file holds the four floats first).
struct ViewUserData3ds {
    point3ds target;
    float width, horizontalangle, verticalangle, bankangle;
};

struct SpotlightData3ds {  // DL_SPOTLIGHT
    point3ds target;
    float hotspot, falloff;
};

struct LocalShadowData3ds {  // DL_LOCAL_SHADOW2
    float bias, filter;
    std::uint16_t mapsize;
};

struct CameraData3ds {  // N_CAMERA
    point3ds position;
    point3ds target;
    float roll;
    float lens;
};

struct CameraRangesData3ds {  // CAM_RANGES
    float nearrange, farrange;
};

struct ViewportLayoutData3ds {  // VIEWPORT_LAYOUT
    std::uint16_t words[7];
};

struct ViewportData3ds {  // VIEWPORT_DATA, VIEWPORT_DATA_3
    std::uint16_t words[7];
    float zoom;
    point3ds center;
    float horizontalangle, verticalangle;
    char* cameraname;  // an 11-byte field in the file: at most 10 characters
};

struct ViewportSizeData3ds {  // VIEWPORT_SIZE
    std::uint16_t x, y, width, height;
};

struct AutoReflectData3ds {  // MAT_ACUBIC
    std::uint8_t byte1, byte2;
    std::uint16_t flags;
    std::uint32_t mapsize;
    std::uint32_t nthframe;
};

struct KfSegData3ds {  // KFSEG
    std::uint32_t begin, end;
};

struct KfHeaderData3ds {  // KFHDR
    std::uint16_t revision;
    char* name;
    std::uint32_t animlength;
};

struct NodeHeaderData3ds {  // NODE_HDR
    char* name;
    std::uint16_t flags1, flags2;
    std::uint16_t parentindex;  // 0xFFFF: no parent
};

struct BoundBoxData3ds {  // BOUNDBOX
    point3ds min, max;
};

// Keyframe tracks: the track header, then keycount key headers and, but for
// the hide track, keycount values.
struct PointTrackData3ds {  // POS_TRACK_TAG, SCL_TRACK_TAG, COL_TRACK_TAG
    TrackHeader3ds header;
    keyheader3ds* keys;
    point3ds* values;
};

struct RotTrackData3ds {  // ROT_TRACK_TAG
    TrackHeader3ds header;
    keyheader3ds* keys;
    rotkey3ds* values;
};

struct FloatTrackData3ds {  // FOV_TRACK_TAG, ROLL_TRACK_TAG, HOT_TRACK_TAG, FALL_TRACK_TAG
    TrackHeader3ds header;
    keyheader3ds* keys;
    float* values;
};

struct MorphTrackData3ds {  // MORPH_TRACK_TAG
    TrackHeader3ds header;
    keyheader3ds* keys;
    morphname3ds* values;
};

struct HideTrackData3ds {  // HIDE_TRACK_TAG
    TrackHeader3ds header;
    keyheader3ds* keys;
};

}  // namespace fbxsdk_2006_11_1

#endif
