#include <fbxfilesdk/3dsftk/NodeHierarchy3ds.h>

#include <fbxfilesdk/3dsftk/ChunkData3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>
#include <fbxfilesdk/3dsftk/Database3ds.h>
#include <fbxfilesdk/3dsftk/Internal3ds.h>
#include <fbxfilesdk/3dsftk/Keyframer3ds.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

using ftk3ds::FindChild;
using ftk3ds::LoadedRecord;

namespace {

constexpr std::uint16_t kNoId = 0xFFFF;

// One keyframer node of KFDATA, in node order.
struct NodeIdEntry {
    std::uint16_t id = kNoId;
    std::uint32_t tag = 0;
    std::string name;
    std::string instance;
    std::uint16_t parentId = kNoId;
    Chunk3ds* node = nullptr;
};

Chunk3ds* FindKfData(database3ds* database) {
    Chunk3ds* kfdata = nullptr;
    FindChunk3ds(database->topchunk, KFDATA, &kfdata);
    return kfdata;
}

std::string FullName(const NodeIdEntry& entry) {
    return entry.instance.empty() ? entry.name : entry.name + "." + entry.instance;
}

// The entry of a node: its name and parent from its NODE_HDR (none: no name,
// no parent), its id, and for an object node its instance name.
NodeIdEntry FillNodeIdEntry(Chunk3ds* node, std::uint16_t id) {
    NodeIdEntry entry;
    entry.id = id;
    entry.tag = node->tag;
    entry.node = node;
    Chunk3ds* header = nullptr;
    FindChunk3ds(node, NODE_HDR, &header);
    // The name is followed by two words of flags and the parent index.
    const unsigned char* words = nullptr;
    if (header != nullptr && ftk3ds::PeekLeadingText(header, 6, entry.name, &words)) {
        if (words != nullptr) entry.parentId = static_cast<std::uint16_t>(ftk3ds::FromLittleEndian<2>(words + 4));
    } else if (header != nullptr) {
        LoadedRecord record(header);
        if (const auto* data = record.As<NodeHeaderData3ds>()) {
            if (data->name != nullptr) entry.name = data->name;
            entry.parentId = data->parentindex;
        }
    }
    if (node->tag == OBJECT_NODE_TAG && !FtkErrorStops()) {
        Chunk3ds* instance = nullptr;
        FindChunk3ds(node, INSTANCE_NAME, &instance);
        if (!ftk3ds::PeekLeadingText(instance, 0, entry.instance)) {
            LoadedRecord record(instance);
            if (const auto* data = record.As<TextData3ds>()) {
                if (data->text != nullptr) entry.instance = data->text;
            }
        }
    }
    return entry;
}

// The nodes of KFDATA with the ids of their NODE_IDs; when any node has none,
// every node is numbered by its place instead.
std::vector<NodeIdEntry> BuildNodeIdList(Chunk3ds* kfdata) {
    std::vector<NodeIdEntry> entries;
    bool anyMissing = false;
    for (Chunk3ds* node = kfdata->children; node != nullptr; node = node->sibling) {
        if (!IsNodeTag3ds(node->tag)) continue;
        entries.push_back(FillNodeIdEntry(node, GetNodeId3ds(node)));
        if (FtkErrorStops()) return entries;
        anyMissing = anyMissing || entries.back().id == kNoId;
    }
    if (anyMissing) {
        for (std::size_t i = 0; i < entries.size(); ++i) entries[i].id = static_cast<std::uint16_t>(i);
    }
    return entries;
}

const NodeIdEntry* FindNodeIdEntry(const std::vector<NodeIdEntry>& entries, std::uint16_t id) {
    for (const NodeIdEntry& entry : entries) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

// The first node of each text that names one: "name" a node without instance
// name, "name.instance" (split at the first period) a node with that
// instance name.
class NodeIdEntriesByName {
public:
    explicit NodeIdEntriesByName(const std::vector<NodeIdEntry>& entries) {
        for (const NodeIdEntry& entry : entries) {
            if (entry.instance.empty()) {
                plain_.try_emplace(entry.name, &entry);
            } else {
                instanced_.try_emplace(Key(entry.name, entry.instance), &entry);
            }
        }
    }
    const NodeIdEntry* Find(std::string_view text) const {
        const std::size_t period = text.find('.');
        const auto& entries = period == std::string_view::npos ? plain_ : instanced_;
        const auto found = entries.find(period == std::string_view::npos
                                            ? std::string(text)
                                            : Key(text.substr(0, period), text.substr(period + 1)));
        return found != entries.end() ? found->second : nullptr;
    }

private:
    // Names hold no zero byte, so the pair stays apart.
    static std::string Key(std::string_view name, std::string_view instance) {
        std::string key(name);
        key += '\0';
        key += instance;
        return key;
    }

    std::unordered_map<std::string, const NodeIdEntry*> plain_;
    std::unordered_map<std::string, const NodeIdEntry*> instanced_;
};

void SetParentName(Chunk3ds* header, const std::string& name) {
    Chunk3ds* parentName = nullptr;
    FindChunk3ds(header, PARENT_NAME, &parentName);
    if (parentName == nullptr) {
        PutParentName3ds(header, name.c_str());
        return;
    }
    auto* data = static_cast<TextData3ds*>(parentName->data);
    if (data == nullptr) data = static_cast<TextData3ds*>(InitChunkData3ds(parentName));
    if (data != nullptr) ftk3ds::ReplaceText(data->text, name.c_str());
}

}  // namespace

bool IsNodeTag3ds(std::uint32_t tag) {
    switch (tag) {
        case TARGET_NODE_TAG: case OBJECT_NODE_TAG: case CAMERA_NODE_TAG: case LIGHT_NODE_TAG:
        case L_TARGET_NODE_TAG: case SPOTLIGHT_NODE_TAG:
            return true;
        default:
            return false;
    }
}

std::uint16_t GetNodeId3ds(Chunk3ds* node) {
    Chunk3ds* idChunk = nullptr;
    FindChunk3ds(node, NODE_ID, &idChunk);
    if (idChunk == nullptr) return kNoId;
    if (const unsigned char* own = nullptr; ftk3ds::PeekOwnData(idChunk, 2, &own)) {
        return own != nullptr ? static_cast<std::uint16_t>(ftk3ds::FromLittleEndian<2>(own)) : kNoId;
    }
    LoadedRecord record(idChunk);
    const auto* data = record.As<WordData3ds>();
    return data != nullptr ? data->value : kNoId;
}

void SetNodeId3ds(Chunk3ds* node, std::uint16_t id) {
    Chunk3ds* idChunk = nullptr;
    FindChunk3ds(node, NODE_ID, &idChunk);
    if (idChunk == nullptr) return;
    auto* data = static_cast<WordData3ds*>(ReadChunkData3ds(idChunk));
    if (FtkErrorStops()) return;
    if (data == nullptr) data = static_cast<WordData3ds*>(InitChunkData3ds(idChunk));
    if (data != nullptr) data->value = id;
}

void ResolveNodeHierarchy3ds(database3ds* database) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds* kfdata = FindKfData(database);
    if (kfdata == nullptr) return;
    const std::vector<NodeIdEntry> entries = BuildNodeIdList(kfdata);
    if (FtkErrorStops()) return;
    // Each node's own entry gives its parent, so that nodes without NODE_ID
    // (numbered by place) find theirs too.
    for (const NodeIdEntry& entry : entries) {
        Chunk3ds* header = FindChild(entry.node, NODE_HDR);
        if (header == nullptr || entry.parentId == kNoId) continue;
        const NodeIdEntry* parent = FindNodeIdEntry(entries, entry.parentId);
        if (parent == nullptr) continue;
        SetParentName(header, FullName(*parent));
        if (FtkErrorStops()) return;
    }
    MarkNodeListDirty3ds(database);
}

std::uint32_t GetKeyframerNodeCount3ds(database3ds* database) {
    Chunk3ds* kfdata = database != nullptr ? FindKfData(database) : nullptr;
    std::uint32_t count = 0;
    for (Chunk3ds* node = kfdata != nullptr ? kfdata->children : nullptr; node != nullptr; node = node->sibling) {
        if (IsNodeTag3ds(node->tag)) ++count;
    }
    return count;
}

void PrepareNodeHierarchy3ds(database3ds* database) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds* kfdata = FindKfData(database);
    if (kfdata == nullptr) return;
    if (GetKeyframerNodeCount3ds(database) > kMaxKeyframerNodes3ds) {
        PushError3ds(ERR_INVALID_DATABASE);
        return;
    }
    std::vector<NodeIdEntry> entries;
    std::uint16_t counter = 0;
    for (Chunk3ds* node = kfdata->children; node != nullptr; node = node->sibling) {
        if (node->tag == AMBIENT_NODE_TAG) {
            SetNodeId3ds(node, kNoId);
        } else if (IsNodeTag3ds(node->tag)) {
            SetNodeId3ds(node, counter);
            if (FtkErrorStops()) return;
            entries.push_back(FillNodeIdEntry(node, counter));
            ++counter;
        }
        if (FtkErrorStops()) return;
    }
    const NodeIdEntriesByName byName(entries);
    for (Chunk3ds* node = kfdata->children; node != nullptr; node = node->sibling) {
        if (!IsNodeTag3ds(node->tag)) continue;
        Chunk3ds* header = FindChild(node, NODE_HDR);
        if (header == nullptr) continue;
        // The header's record stays loaded: it is what the writer writes.
        auto* data = static_cast<NodeHeaderData3ds*>(ReadChunkData3ds(header));
        if (FtkErrorStops()) return;
        if (data == nullptr) continue;
        Chunk3ds* parentName = nullptr;
        FindChunk3ds(header, PARENT_NAME, &parentName);
        data->parentindex = kNoId;
        const auto* text = parentName != nullptr ? static_cast<TextData3ds*>(parentName->data) : nullptr;
        if (text != nullptr && text->text != nullptr) {
            if (const NodeIdEntry* parent = byName.Find(text->text)) {
                data->parentindex = parent->id;
            }
        }
    }
}

}  // namespace fbxsdk_2006_11_1
