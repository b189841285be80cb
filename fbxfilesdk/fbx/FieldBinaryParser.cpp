#include <fbxfilesdk/fbx/FieldBinaryParser.h>

#include <fbxfilesdk/core/KLargeArrayGrowth.h>
#include <fbxfilesdk/fbx/FieldBytes.h>
#include <fbxfilesdk/fbx/FieldFormat.h>

#include <cassert>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

bool Fail(std::string& error, std::uint64_t offset, const char* what) {
    error = "offset " + std::to_string(offset) + ": " + what;
    return false;
}

// Payload bytes of a scalar type, or of one element of an array type; 0 for
// the length-prefixed and unknown types.
int FixedWidth(char type) {
    switch (type) {
        case FieldType::kChar: return 1;
        case FieldType::kInt: case FieldType::kFloat: case FieldType::kIntArray: case FieldType::kFloatArray: return 4;
        case FieldType::kLong: case FieldType::kDouble: case FieldType::kLongArray: case FieldType::kDoubleArray: return 8;
        default: return 0;
    }
}

bool IsArrayType(char type) { return type >= 'a' && type <= 'z'; }

struct RecordHeader {
    std::uint64_t end;
    std::uint32_t valueCount;
    std::uint64_t valuesSize;
    std::uint8_t flags;
    std::uint8_t nameLength;
};

inline RecordHeader LoadRecordHeader(const unsigned char* p) {
    return {LoadU64(p), LoadU32(p + 8), LoadU64(p + 12), p[20], p[21]};
}

// Whether the record at pos, whose header fits its block, ends inside it.
bool EndsInside(const RecordHeader& header, std::uint64_t pos, std::uint64_t blockEnd) {
    return header.end <= blockEnd && header.end >= pos + kRecordHeaderSize;
}

// A block being filled: where it ends in the image, and the tree's slots
// for its children that are free yet.
struct OpenBlock {
    std::uint64_t end;
    std::size_t next;
    std::size_t stop;
};

// Appends to counts the number of children of every block of [begin, end):
// the records of the range first, then each block in the order it opens.
// Gives their sum. The walk goes by the checks a parse makes first and stops
// where one fails, so a parse that gets past a record finds it counted here,
// and one that gets through a block finds its count exact.
std::uint64_t CountChildren(const unsigned char* image, std::uint64_t begin, std::uint64_t end,
                            std::vector<std::uint32_t>& counts) {
    std::uint64_t total = 0;
    counts.push_back(0);
    // Each open block's end and the index of its count.
    std::vector<std::pair<std::uint64_t, std::size_t>> open{{end, counts.size() - 1}};
    std::uint64_t pos = begin;
    for (;;) {
        const std::uint64_t blockEnd = open.back().first;
        if (pos == blockEnd) {
            if (open.size() == 1) return total;
            open.pop_back();
            continue;
        }
        if (blockEnd - pos < kRecordHeaderSize) return total;
        const RecordHeader header = LoadRecordHeader(image + pos);
        if (!EndsInside(header, pos, blockEnd)) return total;
        ++counts[open.back().second];
        ++total;
        if ((header.flags & kRecordHasBlock) == 0) {
            pos = header.end;
            continue;
        }
        const std::uint64_t nameBegin = pos + kRecordHeaderSize;
        if (header.end - nameBegin < header.nameLength) return total;
        const std::uint64_t valuesBegin = nameBegin + header.nameLength;
        if (header.valuesSize > header.end - valuesBegin || open.size() >= static_cast<std::size_t>(kMaxNestingDepth)) {
            return total;
        }
        counts.push_back(0);
        open.emplace_back(header.end, counts.size() - 1);
        pos = valuesBegin + header.valuesSize;
    }
}

}  // namespace

bool CountBinaryValues(const unsigned char* values, std::uint64_t size, std::uint64_t& count) {
    count = 0;
    std::uint64_t pos = 0;
    while (pos < size) {
        const char type = static_cast<char>(values[pos++]);
        const int width = FixedWidth(type);
        if (type == FieldType::kString || type == FieldType::kRaw || IsArrayType(type)) {
            if (size - pos < 4) return false;
            const std::uint64_t n = LoadU32(values + pos);
            pos += 4;
            const std::uint64_t bytes = IsArrayType(type) ? n * static_cast<std::uint64_t>(width) : n;
            if (IsArrayType(type) && (width == 0 || n == 0 || n > kMaxValueCount)) return false;
            if (!IsArrayType(type) && n > kMaxStringLength) return false;
            if (size - pos < bytes) return false;
            pos += bytes;
            count += IsArrayType(type) ? n : 1;
        } else {
            if (width == 0 || size - pos < static_cast<std::uint64_t>(width)) return false;
            pos += static_cast<std::uint64_t>(width);
            ++count;
        }
    }
    return true;
}

namespace {

// Parses one range into the slots the tree has room for, taking the counts
// of its blocks from childCounts at nextCount on.
bool ParseRange(const unsigned char* image, BinaryRecordRange& range, FieldTree& tree,
                const std::vector<std::uint32_t>& childCounts, std::size_t& nextCount, std::string& error) {
    std::vector<OpenBlock> open;
    const auto openBlock = [&](std::uint64_t blockEnd) {
        const std::size_t slot = tree.nodes.size();
        const std::uint32_t children = childCounts[nextCount++];
        tree.nodes.resize(slot + children);
        open.push_back({blockEnd, slot, slot + children});
        return slot;
    };
    range.count = childCounts[nextCount];
    range.first = static_cast<std::uint32_t>(openBlock(range.end));
    std::uint64_t pos = range.begin;
    for (;;) {
        OpenBlock& block = open.back();
        if (pos == block.end) {
            if (open.size() == 1) return true;
            open.pop_back();
            continue;
        }
        const std::uint64_t blockEnd = block.end;
        if (blockEnd - pos < kRecordHeaderSize) return Fail(error, pos, "record header runs past its block");
        const RecordHeader header = LoadRecordHeader(image + pos);
        if (!EndsInside(header, pos, blockEnd)) return Fail(error, pos, "record end lies outside its block");
        const std::uint64_t recordEnd = header.end;
        const std::uint64_t nameBegin = pos + kRecordHeaderSize;
        if (header.nameLength == 0 || recordEnd - nameBegin < header.nameLength) {
            return Fail(error, pos, "bad record name");
        }
        const std::uint64_t valuesBegin = nameBegin + header.nameLength;
        if (header.valuesSize > recordEnd - valuesBegin) return Fail(error, pos, "values run past the record end");
        if ((header.flags & ~kRecordHasBlock) != 0) return Fail(error, pos, "unknown record flags");
        const bool hasBlock = (header.flags & kRecordHasBlock) != 0;
        const std::uint64_t valuesEnd = valuesBegin + header.valuesSize;
        if (!hasBlock && valuesEnd != recordEnd) return Fail(error, pos, "record end does not follow its values");
        std::uint64_t counted = 0;
        if (!CountBinaryValues(image + valuesBegin, header.valuesSize, counted) || counted != header.valueCount) {
            return Fail(error, valuesBegin, "malformed values");
        }
        if (hasBlock && open.size() >= static_cast<std::size_t>(kMaxNestingDepth)) {
            return Fail(error, pos, "blocks are nested too deeply");
        }
        // The count walk stops only where a check above fails, so every
        // record that passes them has its slot, and every block its count.
        const bool hasSlot = block.next < block.stop && (!hasBlock || nextCount < childCounts.size());
        assert(hasSlot);
        if (!hasSlot) return Fail(error, pos, "record end lies outside its block");
        const std::size_t slot = block.next++;
        {
            FieldNode& node = tree.nodes[slot];
            node.nameBegin = nameBegin;
            node.nameLength = header.nameLength;
            node.valuesBegin = valuesBegin;
            node.valuesEnd = valuesEnd;
            node.valueCount = header.valueCount;
            node.hasBlock = hasBlock;
        }
        if (hasBlock) {
            const std::uint32_t children = childCounts[nextCount];
            const auto childBegin = static_cast<std::uint32_t>(openBlock(recordEnd));
            tree.nodes[slot].childBegin = childBegin;
            tree.nodes[slot].childCount = children;
            pos = valuesEnd;
        } else {
            pos = recordEnd;
        }
    }
}

}  // namespace

bool ParseBinaryRecords(const unsigned char* image, std::vector<BinaryRecordRange>& ranges, FieldTree& tree,
                        std::string& error) {
    std::vector<std::uint32_t> childCounts;
    std::uint64_t total = 0;
    for (const BinaryRecordRange& range : ranges) total += CountChildren(image, range.begin, range.end, childCounts);
    // The records go straight to their places: the tree grows once, and a
    // block's children are side by side without waiting anywhere first.
    KReserveLarge(tree.nodes, tree.nodes.size() + static_cast<std::size_t>(total));
    std::size_t nextCount = 0;
    for (BinaryRecordRange& range : ranges) {
        if (!ParseRange(image, range, tree, childCounts, nextCount, error)) return false;
    }
    return true;
}

bool ParseBinaryRecords(const unsigned char* image, std::uint64_t begin, std::uint64_t end, FieldTree& tree,
                        std::uint32_t& first, std::uint32_t& count, std::string& error) {
    std::vector<BinaryRecordRange> ranges(1);
    ranges[0].begin = begin;
    ranges[0].end = end;
    if (!ParseBinaryRecords(image, ranges, tree, error)) return false;
    first = ranges[0].first;
    count = ranges[0].count;
    return true;
}

}  // namespace fbxsdk_2006_11_1
