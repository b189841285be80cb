#include <fbxfilesdk/3dsftk/Motion3ds.h>

#include <fbxfilesdk/3dsftk/Database3ds.h>
#include <fbxfilesdk/3dsftk/Keyframer3ds.h>
#include <fbxfilesdk/3dsftk/RecordSupport3ds.h>

#include <cstring>
#include <string>

namespace fbxsdk_2006_11_1 {

using namespace ftk3ds;

namespace {

// ---- Tracks --------------------------------------------------------------

template <class Track>
void FreeTrack(Track& track) {
    FtkFree(track.keys);
    track.keys = nullptr;
    if constexpr (requires { track.values; }) {
        FtkFree(track.values);
        track.values = nullptr;
    }
    track.keycount = 0;
    track.flags = 0;
}

// count cleared keys and count values set to fill; nothing for a count of 0.
template <class Value>
void SizeTrack(kftrack3ds<Value>& track, std::uint32_t count, const Value& fill) {
    if (count == 0 || FtkErrorStops()) return;
    FreeTrack(track);
    track.keys = NewZeroed<keyheader3ds>(count);
    track.values = NewZeroed<Value>(count);
    if (track.keys == nullptr || track.values == nullptr) return;
    for (std::uint32_t i = 0; i < count; ++i) track.values[i] = fill;
    track.keycount = count;
}

void SizeTrack(kfhidetrack3ds& track, std::uint32_t count) {
    if (count == 0 || FtkErrorStops()) return;
    FreeTrack(track);
    track.keys = NewZeroed<keyheader3ds>(count);
    if (track.keys != nullptr) track.keycount = count;
}

// Takes a track over from the chunk's record; an absent chunk empties it.
template <class Data, class Track>
void TakeTrack(Chunk3ds* chunk, Track& track) {
    FreeTrack(track);
    Data* data = DataOf<Data>(chunk);
    if (data == nullptr) return;
    track.flags = data->header.flags;
    track.keys = TakeOver(data->keys);
    if constexpr (requires { track.values; }) track.values = TakeOver(data->values);
    track.keycount = track.keys != nullptr ? data->header.keycount : 0;
}

template <class Track>
bool HasKeys(const Track& track) {
    if constexpr (requires { track.values; }) {
        if (track.values == nullptr) return false;
    }
    return track.keycount > 0 && track.keys != nullptr;
}

template <class Data, class Track>
void PutTrack(std::uint32_t tag, const Track& track, Chunk3ds* node) {
    if (!HasKeys(track) || FtkErrorStops()) return;
    auto* data = AddRecordChunk<Data>(tag, node);
    if (data == nullptr) return;
    data->header = {track.flags, 0, 0, track.keycount};
    data->keys = DuplicateArray(track.keys, track.keycount);
    if constexpr (requires { track.values; }) data->values = DuplicateArray(track.values, track.keycount);
}

// ---- Node headers --------------------------------------------------------

// The name, flags and parent of a node (a copy); left empty without NODE_HDR.
void ReadNodeHeader(Chunk3ds* node, char* name, std::size_t nameSize, char (&parent)[kFullNameField3ds],
                    std::uint16_t& flags1, std::uint16_t& flags2) {
    name[0] = '\0';
    parent[0] = '\0';
    flags1 = flags2 = 0;
    if (node == nullptr) return;
    Chunk3ds* headerChunk = nullptr;
    FindChunk3ds(node, NODE_HDR, &headerChunk);
    // The name is followed by the two flag words and the parent index.
    std::string text;
    const unsigned char* words = nullptr;
    if (PeekLeadingText(headerChunk, 6, text, &words)) {
        CopyName(name, nameSize, text.c_str());
        if (words != nullptr) {
            flags1 = static_cast<std::uint16_t>(FromLittleEndian<2>(words));
            flags2 = static_cast<std::uint16_t>(FromLittleEndian<2>(words + 2));
        }
    } else if (const auto* header = DataOf<NodeHeaderData3ds>(headerChunk)) {
        CopyName(name, nameSize, header->name);
        flags1 = header->flags1;
        flags2 = header->flags2;
    }
    if (!FtkErrorStops()) GetParentName3ds(node, parent, sizeof parent);
}

Chunk3ds* FindIn(Chunk3ds* node, std::uint32_t tag) {
    Chunk3ds* found = nullptr;
    FindChunk3ds(node, tag, &found);
    return found;
}

// A motion record to fill: allocated when *motion is null.
template <class Motion>
Motion* RecordToFill(Motion** motion) {
    if (motion == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    if (*motion == nullptr) *motion = NewZeroed<Motion>();
    return *motion;
}

// The KFDATA a motion is put under, after the database checks.
Chunk3ds* KfDataForPut(database3ds* database, const void* motion, PutTarget target) {
    Chunk3ds* top = TopForPut(database, motion, target);
    if (top == nullptr) return nullptr;
    Chunk3ds* kfdata = nullptr;
    FindOrCreateKfData3ds(top, &kfdata);
    return FtkErrorStops() ? nullptr : kfdata;
}

// A new node of the tag with its id and header, listed by the caller's guard
// when the caller is done with it.
Chunk3ds* PutNode(ListedChunk& listed, Chunk3ds* kfdata, std::uint32_t tag, const char* name, std::uint16_t flags1,
                  std::uint16_t flags2, const char* parent) {
    Chunk3ds* node = listed.Add(tag, kfdata);
    if (FtkErrorStops() || node == nullptr) return nullptr;
    PutNodeId3ds(node);
    if (!FtkErrorStops()) PutNodeHeader3ds(name, flags1, flags2, parent, node);
    return FtkErrorStops() ? nullptr : node;
}

void GiveBack(ChunkTreeOwner& xdata, Chunk3ds* node) {
    if (xdata.chunk == nullptr || node == nullptr || FtkErrorStops()) return;
    AddChildOrdered3ds(node, xdata.chunk);
    xdata.chunk = nullptr;
}

bool NamesFit(const char* name, const char* parent) { return NameFits(name, 10) && NameFits(parent, 22); }

// Fills a camera or spotlight record from its node and target (a copy of each
// is read): the header and tracks of the node by readTracks, the target's
// parent, flags and position track.
template <class Motion, class ReadTracks>
void GetTargetedMotion(Chunk3ds* node, Chunk3ds* target, Motion** motion, ReadTracks readTracks) {
    if (node == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Motion* m = RecordToFill(motion);
    if (m == nullptr) return;
    ChunkTreeOwner copy;
    ChunkTreeOwner targetCopy;
    CopyChunk3ds(node, &copy.chunk);
    if (target != nullptr && !FtkErrorStops()) CopyChunk3ds(target, &targetCopy.chunk);
    if (FtkErrorStops()) return;
    ReadNodeHeader(copy.chunk, m->name, sizeof m->name, m->parent, m->flags1, m->flags2);
    readTracks(copy.chunk, *m);
    char targetName[kNameField3ds];
    ReadNodeHeader(targetCopy.chunk, targetName, sizeof targetName, m->targetparent, m->targetflags1,
                   m->targetflags2);
    TakeTrack<PointTrackData3ds>(FindIn(targetCopy.chunk, POS_TRACK_TAG), m->targetposition);
}

// Puts a camera or spotlight: the target node first (when its position track
// has keys), then the node with the tracks putTracks adds.
template <class Motion, class PutTracks>
void PutTargetedMotion(database3ds* database, const Motion* motion, PutTarget kind, std::uint32_t nodeTag,
                       std::uint32_t targetTag, PutTracks putTracks) {
    Chunk3ds* kfdata = KfDataForPut(database, motion, kind);
    if (kfdata == nullptr) return;
    const Motion& m = *motion;
    if (!NamesFit(m.name, m.parent) || !NameFits(m.targetparent, 22)) return;
    ChunkTreeOwner xdata;
    ChunkTreeOwner targetXdata;
    ClearNodeForReuse3ds(database, m.name, nodeTag, &xdata.chunk);
    if (!FtkErrorStops()) ClearNodeForReuse3ds(database, m.name, targetTag, &targetXdata.chunk);
    if (FtkErrorStops()) return;
    // The node before its target, as files of other programs have them:
    // readers that place a node by the one before it otherwise put the
    // next node at the camera or light.
    {
        // Listed before its target, which follows it.
        ListedChunk listed(database, NameList3ds::Nodes, m.name);
        Chunk3ds* node = PutNode(listed, kfdata, nodeTag, m.name, m.flags1, m.flags2, m.parent);
        if (node == nullptr) return;
        putTracks(m, node);
        GiveBack(xdata, node);
    }
    if (HasKeys(m.targetposition) && !FtkErrorStops()) {
        Chunk3ds* target = PutTargetNode3ds(m.targetparent, m.targetposition.keycount, m.targetposition.flags,
                                            m.targetposition.keys, m.targetposition.values, m.name,
                                            m.targetflags1, m.targetflags2, targetTag == TARGET_NODE_TAG, kfdata,
                                            database);
        GiveBack(targetXdata, target);
    }
}

// Fills a light or camera motion by index from the kind's name list.
template <class Motion, class Get>
void GetByIndexFromNames(database3ds* database, std::uint32_t index, Motion** motion, std::uint32_t tag,
                         std::uint32_t targetTag, Get get) {
    if (database == nullptr || motion == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (TopForPut(database, motion, PutTarget::MeshOrProject) == nullptr) return;
    stringlist3ds* names = nullptr;
    GetNodeNameListOfTag3ds(database, tag, &names);
    if (!FtkErrorStops() && names != nullptr && index < names->count) {
        Chunk3ds* node = nullptr;
        Chunk3ds* target = nullptr;
        FindNodeByNameAndTag3ds(database, names->list[index], tag, &node);
        if (targetTag != 0 && !FtkErrorStops()) FindNodeByNameAndTag3ds(database, names->list[index], targetTag, &target);
        if (node != nullptr && !FtkErrorStops()) get(node, target, motion);
    }
    ReleaseStringList3ds(&names);
}

}  // namespace

// ---- Objects --------------------------------------------------------------

void InitObjectMotion3ds(kfmesh3ds** motion, std::uint32_t positionkeys, std::uint32_t rotationkeys,
                         std::uint32_t scalekeys, std::uint32_t morphkeys, std::uint32_t hidekeys) {
    if (motion == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (*motion == nullptr) {
        *motion = NewZeroed<kfmesh3ds>();
        if (*motion == nullptr) return;
        (*motion)->morphsmooth = 24.0f;
    }
    kfmesh3ds& m = **motion;
    SizeTrack(m.position, positionkeys, point3ds{0, 0, 0});
    SizeTrack(m.rotation, rotationkeys, rotkey3ds{0, 0, 0, 0});
    SizeTrack(m.scale, scalekeys, point3ds{1, 1, 1});
    SizeTrack(m.morph, morphkeys, morphname3ds{});
    SizeTrack(m.hide, hidekeys);
}

void ReleaseObjectMotion3ds(kfmesh3ds** motion) {
    if (motion == nullptr || *motion == nullptr) return;
    kfmesh3ds& m = **motion;
    FreeTrack(m.position);
    FreeTrack(m.rotation);
    FreeTrack(m.scale);
    FreeTrack(m.morph);
    FreeTrack(m.hide);
    FtkFree(*motion);
    *motion = nullptr;
}

std::uint32_t GetObjectNodeCount3ds(database3ds* database) { return GetNodeCountOfTag3ds(database, OBJECT_NODE_TAG); }

void GetObjectMotion3ds(Chunk3ds* node, kfmesh3ds** motion) {
    if (node == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    kfmesh3ds* m = RecordToFill(motion);
    if (m == nullptr) return;
    const ReadingTree tree(node);
    if (FtkErrorStops()) return;
    ReadNodeHeader(tree.Get(), m->name, sizeof m->name, m->parent, m->flags1, m->flags2);
    // The node's chunks are found in one walk, then read in their order.
    enum Part { kInstance, kPivot, kBox, kSmooth, kPosition, kRotation, kScale, kMorph, kHide, kParts };
    static constexpr std::uint32_t kTags[kParts] = {INSTANCE_NAME,  PIVOT,         BOUNDBOX,
                                                    MORPH_SMOOTH,   POS_TRACK_TAG, ROT_TRACK_TAG,
                                                    SCL_TRACK_TAG,  MORPH_TRACK_TAG, HIDE_TRACK_TAG};
    Chunk3ds* parts[kParts];
    FindEachInSubtree(tree.Get(), kTags, parts, kParts);
    CopyNameOf(m->instance, parts[kInstance]);
    m->pivot = PointOf(parts[kPivot], point3ds{0, 0, 0});
    if (const unsigned char* own = nullptr; PeekOwnData(parts[kBox], 24, &own)) {
        m->boundmin = own != nullptr ? PointAt(own) : point3ds{0, 0, 0};
        m->boundmax = own != nullptr ? PointAt(own + 12) : point3ds{0, 0, 0};
    } else {
        const auto* box = DataOf<BoundBoxData3ds>(parts[kBox]);
        m->boundmin = box != nullptr ? box->min : point3ds{0, 0, 0};
        m->boundmax = box != nullptr ? box->max : point3ds{0, 0, 0};
    }
    m->morphsmooth = FloatOf(parts[kSmooth], 0.0f);
    TakeTrack<PointTrackData3ds>(parts[kPosition], m->position);
    TakeTrack<RotTrackData3ds>(parts[kRotation], m->rotation);
    TakeTrack<PointTrackData3ds>(parts[kScale], m->scale);
    TakeTrack<MorphTrackData3ds>(parts[kMorph], m->morph);
    TakeTrack<HideTrackData3ds>(parts[kHide], m->hide);
}

void GetObjectMotionByIndex3ds(database3ds* database, std::uint32_t index, kfmesh3ds** motion) {
    if (database == nullptr || motion == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (TopForPut(database, motion, PutTarget::MeshOrProject) == nullptr) return;
    Chunk3ds* node = FindNodeTagByIndex3ds(database, index, OBJECT_NODE_TAG);
    if (node != nullptr && !FtkErrorStops()) GetObjectMotion3ds(node, motion);
}

void PutObjectMotion3ds(database3ds* database, const kfmesh3ds* motion) {
    Chunk3ds* kfdata = KfDataForPut(database, motion, PutTarget::MeshOrProject);
    if (kfdata == nullptr) return;
    const kfmesh3ds& m = *motion;
    if (!NamesFit(m.name, m.parent) || !NameFits(m.instance, 10)) return;
    // Nodes are listed by their full name, so that instances of one object
    // (and every dummy) stay apart.
    const std::string fullName = m.instance[0] == '\0' ? std::string(m.name) : std::string(m.name) + "." + m.instance;
    ChunkTreeOwner xdata;
    ClearNodeForReuse3ds(database, fullName.c_str(), OBJECT_NODE_TAG, &xdata.chunk);
    ListedChunk listed(database, NameList3ds::Nodes, fullName);
    Chunk3ds* node = PutNode(listed, kfdata, OBJECT_NODE_TAG, m.name, m.flags1, m.flags2, m.parent);
    if (node == nullptr) return;
    if (m.instance[0] != '\0') AddTextChunk(INSTANCE_NAME, m.instance, node);
    if (std::strcmp(m.name, "$$$DUMMY") == 0) {
        if (auto* box = AddRecordChunk<BoundBoxData3ds>(BOUNDBOX, node)) *box = {m.boundmin, m.boundmax};
    }
    if ((m.flags2 & 0x0001) != 0) {
        if (auto* smooth = AddRecordChunk<FloatData3ds>(MORPH_SMOOTH, node)) smooth->value = m.morphsmooth;
    }
    if (auto* pivot = AddRecordChunk<PointData3ds>(PIVOT, node)) pivot->point = m.pivot;
    PutTrack<PointTrackData3ds>(POS_TRACK_TAG, m.position, node);
    PutTrack<RotTrackData3ds>(ROT_TRACK_TAG, m.rotation, node);
    PutTrack<PointTrackData3ds>(SCL_TRACK_TAG, m.scale, node);
    PutTrack<MorphTrackData3ds>(MORPH_TRACK_TAG, m.morph, node);
    PutTrack<HideTrackData3ds>(HIDE_TRACK_TAG, m.hide, node);
    GiveBack(xdata, node);
}

// ---- Cameras --------------------------------------------------------------

void InitCameraMotion3ds(kfcamera3ds** motion, std::uint32_t positionkeys, std::uint32_t fovkeys,
                         std::uint32_t rollkeys, std::uint32_t targetkeys) {
    kfcamera3ds* m = RecordToFill(motion);
    if (m == nullptr) return;
    SizeTrack(m->position, positionkeys, point3ds{0, 0, 0});
    SizeTrack(m->fov, fovkeys, 60.0f);
    SizeTrack(m->roll, rollkeys, 0.0f);
    SizeTrack(m->targetposition, targetkeys, point3ds{0, 0, 0});
}

void ReleaseCameraMotion3ds(kfcamera3ds** motion) {
    if (motion == nullptr || *motion == nullptr) return;
    kfcamera3ds& m = **motion;
    FreeTrack(m.position);
    FreeTrack(m.fov);
    FreeTrack(m.roll);
    FreeTrack(m.targetposition);
    FtkFree(*motion);
    *motion = nullptr;
}

std::uint32_t GetCameraNodeCount3ds(database3ds* database) { return GetNodeCountOfTag3ds(database, CAMERA_NODE_TAG); }

void GetCameraNodeNameList3ds(database3ds* database, stringlist3ds** list) {
    GetNodeNameListOfTag3ds(database, CAMERA_NODE_TAG, list);
}

void GetCameraMotion3ds(Chunk3ds* node, Chunk3ds* target, kfcamera3ds** motion) {
    GetTargetedMotion(node, target, motion, [](Chunk3ds* copy, kfcamera3ds& m) {
        TakeTrack<PointTrackData3ds>(FindIn(copy, POS_TRACK_TAG), m.position);
        TakeTrack<FloatTrackData3ds>(FindIn(copy, FOV_TRACK_TAG), m.fov);
        TakeTrack<FloatTrackData3ds>(FindIn(copy, ROLL_TRACK_TAG), m.roll);
    });
}

void GetCameraMotionByIndex3ds(database3ds* database, std::uint32_t index, kfcamera3ds** motion) {
    GetByIndexFromNames(database, index, motion, CAMERA_NODE_TAG, TARGET_NODE_TAG, &GetCameraMotion3ds);
}

void PutCameraMotion3ds(database3ds* database, const kfcamera3ds* motion) {
    PutTargetedMotion(database, motion, PutTarget::MeshFile, CAMERA_NODE_TAG, TARGET_NODE_TAG,
                      [](const kfcamera3ds& m, Chunk3ds* node) {
                          PutTrack<PointTrackData3ds>(POS_TRACK_TAG, m.position, node);
                          PutTrack<FloatTrackData3ds>(FOV_TRACK_TAG, m.fov, node);
                          PutTrack<FloatTrackData3ds>(ROLL_TRACK_TAG, m.roll, node);
                      });
}

// ---- Spotlights -----------------------------------------------------------

void InitSpotlightMotion3ds(kfspot3ds** motion, std::uint32_t positionkeys, std::uint32_t colorkeys,
                            std::uint32_t hotspotkeys, std::uint32_t falloffkeys, std::uint32_t rollkeys,
                            std::uint32_t targetkeys) {
    kfspot3ds* m = RecordToFill(motion);
    if (m == nullptr) return;
    SizeTrack(m->position, positionkeys, point3ds{0, 0, 0});
    SizeTrack(m->color, colorkeys, point3ds{0, 0, 0});
    SizeTrack(m->hotspot, hotspotkeys, 90.0f);
    SizeTrack(m->falloff, falloffkeys, 90.0f);
    SizeTrack(m->roll, rollkeys, 0.0f);
    SizeTrack(m->targetposition, targetkeys, point3ds{0, 0, 0});
}

void ReleaseSpotlightMotion3ds(kfspot3ds** motion) {
    if (motion == nullptr || *motion == nullptr) return;
    kfspot3ds& m = **motion;
    FreeTrack(m.position);
    FreeTrack(m.color);
    FreeTrack(m.hotspot);
    FreeTrack(m.falloff);
    FreeTrack(m.roll);
    FreeTrack(m.targetposition);
    FtkFree(*motion);
    *motion = nullptr;
}

std::uint32_t GetSpotlightNodeCount3ds(database3ds* database) {
    return GetNodeCountOfTag3ds(database, SPOTLIGHT_NODE_TAG);
}

void GetSpotlightNodeNameList3ds(database3ds* database, stringlist3ds** list) {
    GetNodeNameListOfTag3ds(database, SPOTLIGHT_NODE_TAG, list);
}

void GetSpotlightMotion3ds(Chunk3ds* node, Chunk3ds* target, kfspot3ds** motion) {
    GetTargetedMotion(node, target, motion, [](Chunk3ds* copy, kfspot3ds& m) {
        TakeTrack<PointTrackData3ds>(FindIn(copy, POS_TRACK_TAG), m.position);
        TakeTrack<PointTrackData3ds>(FindIn(copy, COL_TRACK_TAG), m.color);
        TakeTrack<FloatTrackData3ds>(FindIn(copy, HOT_TRACK_TAG), m.hotspot);
        TakeTrack<FloatTrackData3ds>(FindIn(copy, FALL_TRACK_TAG), m.falloff);
        TakeTrack<FloatTrackData3ds>(FindIn(copy, ROLL_TRACK_TAG), m.roll);
    });
}

void GetSpotlightMotionByIndex3ds(database3ds* database, std::uint32_t index, kfspot3ds** motion) {
    GetByIndexFromNames(database, index, motion, SPOTLIGHT_NODE_TAG, L_TARGET_NODE_TAG, &GetSpotlightMotion3ds);
}

void PutSpotlightMotion3ds(database3ds* database, const kfspot3ds* motion) {
    PutTargetedMotion(database, motion, PutTarget::MeshOrProject, SPOTLIGHT_NODE_TAG, L_TARGET_NODE_TAG,
                      [](const kfspot3ds& m, Chunk3ds* node) {
                          PutTrack<PointTrackData3ds>(POS_TRACK_TAG, m.position, node);
                          PutTrack<PointTrackData3ds>(COL_TRACK_TAG, m.color, node);
                          PutTrack<FloatTrackData3ds>(HOT_TRACK_TAG, m.hotspot, node);
                          PutTrack<FloatTrackData3ds>(FALL_TRACK_TAG, m.falloff, node);
                          PutTrack<FloatTrackData3ds>(ROLL_TRACK_TAG, m.roll, node);
                      });
}

// ---- Omni lights ----------------------------------------------------------

void InitOmnilightMotion3ds(kfomni3ds** motion, std::uint32_t positionkeys, std::uint32_t colorkeys) {
    kfomni3ds* m = RecordToFill(motion);
    if (m == nullptr) return;
    SizeTrack(m->position, positionkeys, point3ds{0, 0, 0});
    SizeTrack(m->color, colorkeys, point3ds{1, 1, 1});
}

void ReleaseOmnilightMotion3ds(kfomni3ds** motion) {
    if (motion == nullptr || *motion == nullptr) return;
    FreeTrack((*motion)->position);
    FreeTrack((*motion)->color);
    FtkFree(*motion);
    *motion = nullptr;
}

std::uint32_t GetOmnilightNodeCount3ds(database3ds* database) { return GetNodeCountOfTag3ds(database, LIGHT_NODE_TAG); }

void GetOmnilightNodeNameList3ds(database3ds* database, stringlist3ds** list) {
    GetNodeNameListOfTag3ds(database, LIGHT_NODE_TAG, list);
}

void GetOmnilightMotion3ds(Chunk3ds* node, kfomni3ds** motion) {
    if (node == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    kfomni3ds* m = RecordToFill(motion);
    if (m == nullptr) return;
    const ReadingTree tree(node);
    if (FtkErrorStops()) return;
    ReadNodeHeader(tree.Get(), m->name, sizeof m->name, m->parent, m->flags1, m->flags2);
    TakeTrack<PointTrackData3ds>(FindIn(tree.Get(), POS_TRACK_TAG), m->position);
    TakeTrack<PointTrackData3ds>(FindIn(tree.Get(), COL_TRACK_TAG), m->color);
}

void GetOmnilightMotionByIndex3ds(database3ds* database, std::uint32_t index, kfomni3ds** motion) {
    GetByIndexFromNames(database, index, motion, LIGHT_NODE_TAG, 0,
                        [](Chunk3ds* node, Chunk3ds*, kfomni3ds** record) { GetOmnilightMotion3ds(node, record); });
}

void PutOmnilightMotion3ds(database3ds* database, const kfomni3ds* motion) {
    Chunk3ds* kfdata = KfDataForPut(database, motion, PutTarget::MeshOrProject);
    if (kfdata == nullptr) return;
    const kfomni3ds& m = *motion;
    if (!NamesFit(m.name, m.parent)) return;
    ChunkTreeOwner xdata;
    ClearNodeForReuse3ds(database, m.name, LIGHT_NODE_TAG, &xdata.chunk);
    if (FtkErrorStops()) return;
    ListedChunk listed(database, NameList3ds::Nodes, m.name);
    Chunk3ds* node = PutNode(listed, kfdata, LIGHT_NODE_TAG, m.name, m.flags1, m.flags2, m.parent);
    if (node == nullptr) return;
    PutTrack<PointTrackData3ds>(POS_TRACK_TAG, m.position, node);
    PutTrack<PointTrackData3ds>(COL_TRACK_TAG, m.color, node);
    GiveBack(xdata, node);
}

}  // namespace fbxsdk_2006_11_1
