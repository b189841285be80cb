#include <fbxfilesdk/fbx/FieldAsciiEncoder.h>

#include <fbxfilesdk/fbx/FieldAsciiSyntax.h>
#include <fbxfilesdk/fbx/FieldNumberText.h>


namespace fbxsdk_2006_11_1 {

namespace {

// Past this column a value list continues on the next line.
constexpr std::uint64_t kWrapColumn = 120;

bool IsBareChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

void FieldAsciiEncoder::NewLine(int depth) {
    if (mStarted) mOutput.AppendByte('\n');
    mStarted = true;
    mLineStart = mOutput.Position();
    for (int i = 0; i < depth; ++i) mOutput.AppendByte('\t');
}

void FieldAsciiEncoder::BeginField(const char* name, std::size_t length) {
    NewLine(mDepth);
    mOutput.Append(name, length);
    mOutput.AppendByte(':');
    mValues = 0;
}

bool FieldAsciiEncoder::EndField() {
    mValues = 0;
    return true;
}

bool FieldAsciiEncoder::BeginBlock() {
    // "Name:  {" without values, as other writers have it.
    if (mValues == 0) mOutput.AppendByte(' ');
    mOutput.Append(" {", 2);
    ++mDepth;
    return true;
}

void FieldAsciiEncoder::EndBlock() {
    --mDepth;
    NewLine(mDepth);
    mOutput.AppendByte('}');
}

void FieldAsciiEncoder::BeginValue() {
    if (mValues++ == 0) {
        mOutput.AppendByte(' ');
        return;
    }
    mOutput.AppendByte(',');
    if (mOutput.Position() - mLineStart > kWrapColumn) NewLine(mDepth + 1);
}

template <typename Format, typename Number>
void FieldAsciiEncoder::AppendNumber(Format format, Number value) {
    BeginValue();
    // Formatted straight into the pending bytes: numbers are most of a file.
    std::vector<unsigned char>& pending = mOutput.Pending();
    const std::size_t size = pending.size();
    pending.resize(size + kNumberTextSize);
    const int length = format(reinterpret_cast<char*>(pending.data() + size), value);
    pending.resize(size + static_cast<std::size_t>(length));
}

void FieldAsciiEncoder::WriteChar(char value) {
    if (!IsBareChar(value)) {
        WriteString(&value, 1);
        return;
    }
    BeginValue();
    mOutput.AppendByte(static_cast<unsigned char>(value));
}

void FieldAsciiEncoder::WriteInt(std::int32_t value) { WriteLong(value); }

void FieldAsciiEncoder::WriteLong(std::int64_t value) { AppendNumber(FormatFieldInteger, value); }

void FieldAsciiEncoder::WriteFloat(float value) { AppendNumber(FormatFieldFloat, value); }

void FieldAsciiEncoder::WriteDouble(double value) { AppendNumber(FormatFieldDouble, value); }

void FieldAsciiEncoder::WriteString(const char* text, std::size_t length) {
    BeginValue();
    AppendQuotedString(mOutput.Pending(), text, length);
}

void FieldAsciiEncoder::WriteRaw(const unsigned char* bytes, std::size_t length) {
    BeginValue();
    mOutput.AppendByte('"');
    AppendBase64(mOutput.Pending(), bytes, length);
    mOutput.AppendByte('"');
}

void FieldAsciiEncoder::WriteInts(const std::int32_t* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) WriteLong(values[i]);
}

void FieldAsciiEncoder::WriteLongs(const std::int64_t* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) WriteLong(values[i]);
}

void FieldAsciiEncoder::WriteFloats(const float* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) WriteFloat(values[i]);
}

void FieldAsciiEncoder::WriteDoubles(const double* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) WriteDouble(values[i]);
}

void FieldAsciiEncoder::WriteComment(const char* text) {
    NewLine(mDepth);
    mOutput.Append("; ", 2);
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n') {
            NewLine(mDepth);
            mOutput.Append("; ", 2);
        } else if (*p != '\r') {
            mOutput.AppendByte(static_cast<unsigned char>(*p));
        }
    }
}

void FieldAsciiEncoder::Finish() {
    if (mStarted) mOutput.AppendByte('\n');
    mStarted = false;
}

}  // namespace fbxsdk_2006_11_1
