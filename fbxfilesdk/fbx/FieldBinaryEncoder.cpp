#include <fbxfilesdk/fbx/FieldBinaryEncoder.h>

#include <fbxfilesdk/fbx/FieldBytes.h>
#include <fbxfilesdk/fbx/FieldFormat.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

char ArrayTypeOf(char scalarType) { return static_cast<char>(scalarType - 'A' + 'a'); }

}  // namespace

void FieldBinaryEncoder::BeginField(const char* name, std::size_t length) {
    OpenRecord record;
    record.header = mOutput.Position();
    unsigned char* header = mOutput.Extend(kRecordHeaderSize);
    std::fill(header, header + kRecordHeaderSize, 0);
    header[kRecordHeaderSize - 1] = static_cast<unsigned char>(length);
    mOutput.Append(name, length);
    record.valuesBegin = mOutput.Position();
    mOpen.push_back(record);
}

bool FieldBinaryEncoder::FinishValues(OpenRecord& record) {
    if (record.valuesDone) return true;
    record.valuesDone = true;
    if (record.valueCount > UINT32_MAX) {
        mOutput.FailFormatLimit("a record of " + std::to_string(record.valueCount) +
                                " values; the binary layout counts at most " + std::to_string(UINT32_MAX));
        return false;
    }
    return mOutput.PatchLittleEndian(record.header + 8, record.valueCount, 4) &&
           mOutput.PatchLittleEndian(record.header + 12, mOutput.Position() - record.valuesBegin, 8);
}

bool FieldBinaryEncoder::BeginBlock() {
    OpenRecord& record = mOpen.back();
    const bool finished = FinishValues(record);
    return mOutput.PatchLittleEndian(record.header + 20, kRecordHasBlock, 1) && finished;
}

bool FieldBinaryEncoder::EndField() {
    OpenRecord& record = mOpen.back();
    const bool finished = FinishValues(record);
    const bool ended = mOutput.PatchLittleEndian(record.header, mOutput.Position(), 8);
    mOpen.pop_back();
    return finished && ended;
}

void FieldBinaryEncoder::AppendScalar(char type, std::uint64_t bits, int width) {
    OpenRecord& record = mOpen.back();
    ++record.valueCount;
    const bool numeric = type != FieldType::kChar;
    if (numeric && record.hasLastItem && mOutput.IsPending(record.lastItem)) {
        unsigned char* item = mOutput.PendingAt(record.lastItem);
        if (item[0] == static_cast<unsigned char>(type)) {
            // A second number of the same type: the item becomes an array of two.
            std::vector<unsigned char>& pending = mOutput.Pending();
            const auto at = pending.end() - width;
            pending.insert(at, 4, 0);
            item = mOutput.PendingAt(record.lastItem);
            item[0] = static_cast<unsigned char>(ArrayTypeOf(type));
            StoreLittleEndian(item + 1, 2, 4);
            mOutput.AppendLittleEndian(bits, width);
            return;
        }
        if (item[0] == static_cast<unsigned char>(ArrayTypeOf(type)) && LoadU32(item + 1) < kMaxValueCount) {
            StoreLittleEndian(item + 1, LoadU32(item + 1) + 1, 4);
            mOutput.AppendLittleEndian(bits, width);
            return;
        }
    }
    record.lastItem = mOutput.Position();
    record.hasLastItem = numeric;
    mOutput.AppendByte(static_cast<unsigned char>(type));
    mOutput.AppendLittleEndian(bits, width);
}

template <typename Element>
void FieldBinaryEncoder::AppendArray(char arrayType, const Element* values, std::size_t count) {
    OpenRecord& record = mOpen.back();
    while (count > 0) {
        std::size_t n = count < kMaxValueCount ? count : kMaxValueCount;
        unsigned char* item = record.hasLastItem && mOutput.IsPending(record.lastItem)
                                  ? mOutput.PendingAt(record.lastItem)
                                  : nullptr;
        if (item != nullptr && item[0] == static_cast<unsigned char>(arrayType) &&
            LoadU32(item + 1) <= kMaxValueCount - n) {
            StoreLittleEndian(item + 1, LoadU32(item + 1) + n, 4);
        } else {
            record.lastItem = mOutput.Position();
            record.hasLastItem = true;
            mOutput.AppendByte(static_cast<unsigned char>(arrayType));
            mOutput.AppendLittleEndian(n, 4);
        }
        StoreLittleEndianArray(mOutput.Extend(n * sizeof(Element)), values, n);
        record.valueCount += n;
        values += n;
        count -= n;
    }
}

void FieldBinaryEncoder::AppendBytes(char type, const void* bytes, std::size_t length) {
    if (length > kMaxStringLength) {
        // Readers refuse longer values: the file would not read back.
        mOutput.FailFormatLimit("a value of " + std::to_string(length) + " bytes; the binary layout holds at most " +
                                std::to_string(kMaxStringLength));
        return;
    }
    OpenRecord& record = mOpen.back();
    ++record.valueCount;
    record.hasLastItem = false;
    mOutput.AppendByte(static_cast<unsigned char>(type));
    mOutput.AppendLittleEndian(length, 4);
    mOutput.Append(bytes, length);
}

void FieldBinaryEncoder::WriteChar(char value) {
    AppendScalar(FieldType::kChar, static_cast<unsigned char>(value), 1);
}
void FieldBinaryEncoder::WriteInt(std::int32_t value) {
    AppendScalar(FieldType::kInt, static_cast<std::uint32_t>(value), 4);
}
void FieldBinaryEncoder::WriteLong(std::int64_t value) {
    AppendScalar(FieldType::kLong, static_cast<std::uint64_t>(value), 8);
}
void FieldBinaryEncoder::WriteFloat(float value) {
    AppendScalar(FieldType::kFloat, std::bit_cast<std::uint32_t>(value), 4);
}
void FieldBinaryEncoder::WriteDouble(double value) {
    AppendScalar(FieldType::kDouble, std::bit_cast<std::uint64_t>(value), 8);
}
void FieldBinaryEncoder::WriteString(const char* text, std::size_t length) {
    AppendBytes(FieldType::kString, text, length);
}
void FieldBinaryEncoder::WriteRaw(const unsigned char* bytes, std::size_t length) {
    AppendBytes(FieldType::kRaw, bytes, length);
}
void FieldBinaryEncoder::WriteInts(const std::int32_t* values, std::size_t count) {
    AppendArray(FieldType::kIntArray, values, count);
}
void FieldBinaryEncoder::WriteLongs(const std::int64_t* values, std::size_t count) {
    AppendArray(FieldType::kLongArray, values, count);
}
void FieldBinaryEncoder::WriteFloats(const float* values, std::size_t count) {
    AppendArray(FieldType::kFloatArray, values, count);
}
void FieldBinaryEncoder::WriteDoubles(const double* values, std::size_t count) {
    AppendArray(FieldType::kDoubleArray, values, count);
}

}  // namespace fbxsdk_2006_11_1
