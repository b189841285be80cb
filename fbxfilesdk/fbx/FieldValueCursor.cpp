#include <fbxfilesdk/fbx/FieldValueCursor.h>

#include <fbxfilesdk/fbx/FieldBytes.h>
#include <fbxfilesdk/fbx/FieldFormat.h>
#include <fbxfilesdk/fbx/FieldNumberText.h>

#include <charconv>
#include <cmath>
#include <system_error>
#include <limits>

namespace fbxsdk_2006_11_1 {

namespace {

char ScalarTypeOf(char arrayType) { return static_cast<char>(arrayType - 'a' + 'A'); }

bool IsArrayType(char type) {
    return type == FieldType::kIntArray || type == FieldType::kLongArray || type == FieldType::kFloatArray ||
           type == FieldType::kDoubleArray;
}

std::size_t ElementWidth(char arrayType) {
    return arrayType == FieldType::kIntArray || arrayType == FieldType::kFloatArray ? 4 : 8;
}

std::int64_t SaturatedInteger(double d) {
    if (std::isnan(d)) return 0;
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (d >= kTwoTo63) return std::numeric_limits<std::int64_t>::max();
    if (d < -kTwoTo63) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(d);
}

// Decodes one scalar of the given type at p.
void DecodeScalar(char type, const unsigned char* p, FieldValue& value) {
    value.type = type;
    switch (type) {
        case FieldType::kChar: value.integer = static_cast<char>(p[0]); break;
        case FieldType::kInt: value.integer = static_cast<std::int32_t>(LoadU32(p)); break;
        case FieldType::kLong: value.integer = static_cast<std::int64_t>(LoadU64(p)); break;
        case FieldType::kFloat: value.single = LoadF32(p); break;
        case FieldType::kDouble: value.real = LoadF64(p); break;
        default: break;
    }
}

}  // namespace

void FieldValueCursor::Clear() {
    mImage = nullptr;
    mRemaining = 0;
    mRunType = 0;
    mRunLeft = 0;
}

void FieldValueCursor::Open(const unsigned char* image, const FieldNode& node, bool binary) {
    mImage = image;
    mBinary = binary;
    mPosition = node.valuesBegin;
    mRemaining = node.valueCount;
    mRunType = 0;
    mRunLeft = 0;
    if (!binary) {
        const char* text = reinterpret_cast<const char*>(image);
        mScanner = AsciiScanner(text + node.valuesBegin, text + node.valuesEnd, node.line);
    }
}

char FieldValueCursor::PeekType() const {
    if (mRemaining == 0) return FieldType::kString;
    if (mBinary) {
        if (mRunLeft > 0) return ScalarTypeOf(mRunType);
        const char type = static_cast<char>(mImage[mPosition]);
        return IsArrayType(type) ? ScalarTypeOf(type) : type;
    }
    AsciiScanner scanner = mScanner;
    const AsciiToken token = scanner.NextValue();
    if (token.kind != AsciiToken::eWord) return FieldType::kString;
    std::int64_t integer = 0;
    double real = 0;
    if (ParseFieldInteger(token.begin, token.end, integer)) {
        return integer >= std::numeric_limits<std::int32_t>::min() && integer <= std::numeric_limits<std::int32_t>::max()
                   ? FieldType::kInt
                   : FieldType::kLong;
    }
    if (ParseFieldDouble(token.begin, token.end, real)) return FieldType::kDouble;
    return token.end - token.begin == 1 ? FieldType::kChar : FieldType::kString;
}

bool FieldValueCursor::Next(FieldValue& value) {
    if (mRemaining == 0) return false;
    value = FieldValue();
    if (!mBinary) {
        const AsciiToken token = mScanner.NextValue();
        // The parser counted these values: anything else means the text moved.
        if (token.kind != AsciiToken::eWord && token.kind != AsciiToken::eString) {
            mRemaining = 0;
            return false;
        }
        value.type = token.kind == AsciiToken::eWord ? FieldValue::kWord : FieldValue::kQuoted;
        value.text = token.begin;
        value.length = static_cast<std::size_t>(token.end - token.begin);
        --mRemaining;
        return true;
    }
    if (mRunLeft == 0) {
        const char type = static_cast<char>(mImage[mPosition++]);
        if (IsArrayType(type)) {
            mRunType = type;
            mRunLeft = LoadU32(mImage + mPosition);
            mPosition += 4;
        } else if (type == FieldType::kString || type == FieldType::kRaw) {
            value.type = type;
            value.length = LoadU32(mImage + mPosition);
            value.text = reinterpret_cast<const char*>(mImage + mPosition + 4);
            mPosition += 4 + value.length;
            --mRemaining;
            return true;
        } else {
            DecodeScalar(type, mImage + mPosition, value);
            mPosition += type == FieldType::kChar ? 1 : (type == FieldType::kInt || type == FieldType::kFloat ? 4 : 8);
            --mRemaining;
            return true;
        }
    }
    DecodeScalar(ScalarTypeOf(mRunType), mImage + mPosition, value);
    mPosition += ElementWidth(mRunType);
    --mRunLeft;
    --mRemaining;
    return true;
}

template <typename Number>
std::size_t FieldValueCursor::ReadAsciiNumbers(Number* out, std::size_t count) {
    // from_chars finds where each number ends, so the text is walked once.
    const char* p = mScanner.Position();
    const char* end = mScanner.End();
    std::uint32_t line = mScanner.Line();
    std::size_t done = 0;
    while (done < count && done < mRemaining) {
        while (p < end && (IsAsciiBlank(*p) || *p == ',' || *p == '\n')) {
            if (*p == '\n') ++line;
            ++p;
        }
        if (p >= end || *p == '+') break;
        Number value{};
        const auto result = std::from_chars(p, end, value);
        if (result.ec != std::errc() || (result.ptr < end && IsAsciiWordChar(*result.ptr))) break;
        out[done++] = value;
        p = result.ptr;
    }
    mScanner.MoveTo(p, line);
    mRemaining -= static_cast<std::uint32_t>(done);
    return done;
}

std::size_t FieldValueCursor::ReadRun(char arrayType, void* out, std::size_t count) {
    if (mRemaining == 0 || count == 0) return 0;
    if (!mBinary) {
        switch (arrayType) {
            case FieldType::kIntArray: return ReadAsciiNumbers(static_cast<std::int32_t*>(out), count);
            case FieldType::kLongArray: return ReadAsciiNumbers(static_cast<std::int64_t*>(out), count);
            case FieldType::kFloatArray: return ReadAsciiNumbers(static_cast<float*>(out), count);
            default: return ReadAsciiNumbers(static_cast<double*>(out), count);
        }
    }
    if (mRunLeft == 0) {
        if (static_cast<char>(mImage[mPosition]) != arrayType) return 0;
        mRunType = arrayType;
        mRunLeft = LoadU32(mImage + mPosition + 1);
        mPosition += 5;
    } else if (mRunType != arrayType) {
        return 0;
    }
    const std::size_t n = count < mRunLeft ? count : mRunLeft;
    const unsigned char* p = mImage + mPosition;
    switch (arrayType) {
        case FieldType::kIntArray: LoadLittleEndianArray(static_cast<std::int32_t*>(out), p, n); break;
        case FieldType::kLongArray: LoadLittleEndianArray(static_cast<std::int64_t*>(out), p, n); break;
        case FieldType::kFloatArray: LoadLittleEndianArray(static_cast<float*>(out), p, n); break;
        default: LoadLittleEndianArray(static_cast<double*>(out), p, n); break;
    }
    mPosition += n * ElementWidth(arrayType);
    mRunLeft -= static_cast<std::uint32_t>(n);
    mRemaining -= static_cast<std::uint32_t>(n);
    return n;
}

bool FieldValueCursor::PeekRun(char arrayType, std::uint64_t& offset, std::size_t& count) const {
    if (!mBinary || mRemaining == 0 || mRunLeft != 0 || static_cast<char>(mImage[mPosition]) != arrayType) {
        return false;
    }
    offset = mPosition + 5;
    count = LoadU32(mImage + mPosition + 1);
    return true;
}

void FieldValueCursor::SkipRun(std::size_t count) {
    mPosition += 5 + count * ElementWidth(static_cast<char>(mImage[mPosition]));
    mRemaining -= static_cast<std::uint32_t>(count);
}

bool FieldValueToDouble(const FieldValue& value, double& out) {
    switch (value.type) {
        case FieldType::kChar: case FieldType::kInt: case FieldType::kLong: out = double(value.integer); return true;
        case FieldType::kFloat: out = value.single; return true;
        case FieldType::kDouble: out = value.real; return true;
        case FieldType::kRaw: return false;
        default: return ParseFieldDouble(value.text, value.text + value.length, out);
    }
}

bool FieldValueToFloat(const FieldValue& value, float& out) {
    switch (value.type) {
        case FieldType::kFloat: out = value.single; return true;
        case FieldType::kDouble: out = static_cast<float>(value.real); return true;
        case FieldType::kChar: case FieldType::kInt: case FieldType::kLong: out = float(value.integer); return true;
        case FieldType::kRaw: return false;
        default: return ParseFieldFloat(value.text, value.text + value.length, out);
    }
}

bool FieldValueToInteger(const FieldValue& value, std::int64_t& out) {
    double real = 0;
    switch (value.type) {
        case FieldType::kChar: case FieldType::kInt: case FieldType::kLong: out = value.integer; return true;
        case FieldType::kFloat: out = SaturatedInteger(value.single); return true;
        case FieldType::kDouble: out = SaturatedInteger(value.real); return true;
        case FieldType::kRaw: return false;
        default:
            if (ParseFieldInteger(value.text, value.text + value.length, out)) return true;
            if (!ParseFieldDouble(value.text, value.text + value.length, real)) return false;
            out = SaturatedInteger(real);
            return true;
    }
}

bool FieldValueToChar(const FieldValue& value, char& out) {
    std::int64_t integer = 0;
    switch (value.type) {
        case FieldValue::kQuoted: {
            std::string text;
            DecodeQuotedString(value.text, value.text + value.length, text);
            out = text.empty() ? '\0' : text[0];
            return true;
        }
        case FieldValue::kWord: case FieldType::kString: case FieldType::kRaw:
            out = value.length > 0 ? value.text[0] : '\0';
            return true;
        default:
            if (!FieldValueToInteger(value, integer)) return false;
            out = static_cast<char>(integer);
            return true;
    }
}

void FieldValueToText(const FieldValue& value, std::string& out) {
    char number[kNumberTextSize];
    int length = 0;
    switch (value.type) {
        case FieldType::kChar: out.assign(1, static_cast<char>(value.integer)); return;
        case FieldType::kInt: case FieldType::kLong: length = FormatFieldInteger(number, value.integer); break;
        case FieldType::kFloat: length = FormatFieldFloat(number, value.single); break;
        case FieldType::kDouble: length = FormatFieldDouble(number, value.real); break;
        case FieldValue::kQuoted: DecodeQuotedString(value.text, value.text + value.length, out); return;
        default: out.assign(value.text, value.length); return;
    }
    out.assign(number, static_cast<std::size_t>(length));
}

bool FieldValueToBytes(const FieldValue& value, std::string& scratch, const char*& bytes, std::size_t& length) {
    if (value.type == FieldType::kRaw || value.type == FieldType::kString) {
        bytes = value.text;
        length = value.length;
        return true;
    }
    if (value.type != FieldValue::kQuoted) return false;
    // Base64 uses no entity, so the quoted text is the encoding itself.
    if (!DecodeBase64(value.text, value.text + value.length, scratch)) return false;
    bytes = scratch.data();
    length = scratch.size();
    return true;
}

}  // namespace fbxsdk_2006_11_1
