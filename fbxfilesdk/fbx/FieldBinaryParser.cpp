#include <fbxfilesdk/fbx/FieldBinaryParser.h>

#include <fbxfilesdk/fbx/FieldBytes.h>
#include <fbxfilesdk/fbx/FieldFormat.h>
#include <fbxfilesdk/fbx/FieldTreeBuilder.h>

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

bool ParseBinaryRecords(const unsigned char* image, std::uint64_t begin, std::uint64_t end, FieldTree& tree,
                        std::uint32_t& first, std::uint32_t& count, std::string& error) {
    FieldTreeBuilder builder(tree);
    builder.Start();
    std::vector<std::uint64_t> blockEnds{end};
    std::uint64_t pos = begin;
    for (;;) {
        if (pos == blockEnds.back()) {
            if (blockEnds.size() == 1) break;
            builder.Ascend();
            blockEnds.pop_back();
            continue;
        }
        const std::uint64_t blockEnd = blockEnds.back();
        if (blockEnd - pos < kRecordHeaderSize) return Fail(error, pos, "record header runs past its block");
        const unsigned char* p = image + pos;
        const std::uint64_t recordEnd = LoadU64(p);
        const std::uint32_t valueCount = LoadU32(p + 8);
        const std::uint64_t valuesSize = LoadU64(p + 12);
        const std::uint8_t flags = p[20];
        const std::uint8_t nameLength = p[21];
        if (recordEnd > blockEnd || recordEnd < pos + kRecordHeaderSize) {
            return Fail(error, pos, "record end lies outside its block");
        }
        const std::uint64_t nameBegin = pos + kRecordHeaderSize;
        if (nameLength == 0 || recordEnd - nameBegin < nameLength) return Fail(error, pos, "bad record name");
        const std::uint64_t valuesBegin = nameBegin + nameLength;
        if (valuesSize > recordEnd - valuesBegin) return Fail(error, pos, "values run past the record end");
        if ((flags & ~kRecordHasBlock) != 0) return Fail(error, pos, "unknown record flags");
        const bool hasBlock = (flags & kRecordHasBlock) != 0;
        const std::uint64_t valuesEnd = valuesBegin + valuesSize;
        if (!hasBlock && valuesEnd != recordEnd) return Fail(error, pos, "record end does not follow its values");
        std::uint64_t counted = 0;
        if (!CountBinaryValues(image + valuesBegin, valuesSize, counted) || counted != valueCount) {
            return Fail(error, valuesBegin, "malformed values");
        }

        FieldNode node;
        node.nameBegin = nameBegin;
        node.nameLength = nameLength;
        node.valuesBegin = valuesBegin;
        node.valuesEnd = valuesEnd;
        node.valueCount = valueCount;
        node.hasBlock = hasBlock;
        builder.Add(node);
        if (hasBlock) {
            if (!builder.Descend()) return Fail(error, pos, "blocks are nested too deeply");
            blockEnds.push_back(recordEnd);
            pos = valuesEnd;
        } else {
            pos = recordEnd;
        }
    }
    builder.Finish(first, count);
    return true;
}

}  // namespace fbxsdk_2006_11_1
