#include <fbxfilesdk/3dsftk/ChunkTags3ds.h>

#include <algorithm>
#include <iterator>

namespace fbxsdk_2006_11_1 {

namespace {

struct TagName {
    std::uint32_t tag;
    const char* name;
};

#define FTK_TAG_NAME(name, value) {value, #name},
#define FTK_TAG_NAME_BLANK(name, value) {value, #name " "},
constexpr TagName kTagNames[] = {FTK_CHUNK_TAGS_3DS(FTK_TAG_NAME, FTK_TAG_NAME_BLANK)};
#undef FTK_TAG_NAME
#undef FTK_TAG_NAME_BLANK

static_assert(std::size(kTagNames) == 589);
static_assert(std::is_sorted(std::begin(kTagNames), std::end(kTagNames),
                             [](const TagName& a, const TagName& b) { return a.tag < b.tag; }));

}  // namespace

const char* ChunkTagToString(std::uint32_t tag) {
    const auto* found = std::lower_bound(std::begin(kTagNames), std::end(kTagNames), tag,
                                         [](const TagName& entry, std::uint32_t value) { return entry.tag < value; });
    return found != std::end(kTagNames) && found->tag == tag ? found->name : "UNKNOWN_CHUNK";
}

int GetChunkOrder3ds(std::uint32_t tag) {
    switch (tag) {
        case NULL_CHUNK: return 35;
        case SMAGIC: return 34;
        case LMAGIC: return 33;
        case M3DMAGIC: return 32;
        case M3D_VERSION: return 31;
        case MDATA: return 30;
        case KFDATA: return 29;
        case COLOR_24: return 28;
        case LIN_COLOR_24: return 27;
        case MESH_VERSION: return 26;
        case MAT_ENTRY: return 25;
        case KFHDR: return 24;
        case MASTER_SCALE: return 23;
        case VIEWPORT_LAYOUT: return 22;
        case LO_SHADOW_BIAS: return 21;
        case SHADOW_MAP_SIZE: return 20;
        case SHADOW_FILTER: return 19;
        case RAY_BIAS: return 18;
        case O_CONSTS: return 17;
        case AMBIENT_LIGHT: return 16;
        case SOLID_BGND: return 15;
        case BIT_MAP: return 14;
        case V_GRADIENT: return 13;
        case USE_BIT_MAP:
        case USE_SOLID_BGND:
        case USE_V_GRADIENT: return 12;
        case FOG: return 11;
        case LAYER_FOG: return 10;
        case DISTANCE_CUE: return 9;
        case DEFAULT_VIEW: return 8;
        case NAMED_OBJECT: return 7;
        case KFSEG: return 6;
        case KFCURTIME: return 5;
        // Omni light nodes stand among the other nodes, in the order they
        // are put: readers that find a node's parent among the nodes before
        // it would lose the parent of anything hung under a light.
        case OBJECT_NODE_TAG:
        case CAMERA_NODE_TAG:
        case TARGET_NODE_TAG:
        case LIGHT_NODE_TAG:
        case L_TARGET_NODE_TAG:
        case SPOTLIGHT_NODE_TAG: return 4;
        case AMBIENT_NODE_TAG: return 3;
        case N_TRI_OBJECT:
        case N_DIRECT_LIGHT:
        case N_CAMERA: return 2;
        case OBJ_HIDDEN: return 1;
        default: return 0;
    }
}

}  // namespace fbxsdk_2006_11_1
