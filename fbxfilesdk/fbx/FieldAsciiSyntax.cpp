#include <fbxfilesdk/fbx/FieldAsciiSyntax.h>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fbxsdk_2006_11_1 {

namespace {

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

struct StringEntity {
    const char* text;
    std::size_t length;
    char byte;
};

constexpr StringEntity kStringEntities[] = {{"&quot;", 6, '"'}, {"&lf;", 4, '\n'}, {"&cr;", 4, '\r'}};

// Past blanks, line ends and comments; the line ends passed are counted.
const char* SkipToText(const char* p, const char* end, std::uint32_t& lines) {
    while (p < end) {
        if (*p == '\n') {
            ++lines;
        } else if (*p == ';') {
            while (p < end && *p != '\n') ++p;
            continue;
        } else if (!IsAsciiBlank(*p)) {
            break;
        }
        ++p;
    }
    return p;
}

// From p at a comma that follows a value, passes 16 bytes at a time over
// text made only of number characters and single commas, as long lists of
// numbers are written: the commas passed (at most room), each of which a
// value follows. p is left at the last of them, whose value is not counted,
// so that the caller goes on from a comma after a value.
std::uint32_t PassNumberRun(const char*& p, const char* end, std::uint32_t room) {
#if defined(__SSE2__)
    const __m128i belowPlus = _mm_set1_epi8('+' - 1);
    const __m128i aboveNine = _mm_set1_epi8('9' + 1);
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i lowerE = _mm_set1_epi8('e');
    const __m128i upperE = _mm_set1_epi8('E');
    const __m128i one = _mm_set1_epi8(1);
    const char* q = p;
    const char* lastComma = nullptr;
    std::uint32_t passed = 0;
    bool commaBefore = false;
    while (end - q >= 16 && room - passed >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        // '+' to '9' hold the signs, the point, the digits and the comma; bytes above 127 compare as negative.
        const __m128i number = _mm_or_si128(
            _mm_and_si128(_mm_cmpgt_epi8(bytes, belowPlus), _mm_cmplt_epi8(bytes, aboveNine)),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, lowerE), _mm_cmpeq_epi8(bytes, upperE)));
        if (_mm_movemask_epi8(number) != 0xFFFF) break;
        const __m128i isComma = _mm_cmpeq_epi8(bytes, comma);
        const unsigned commas = static_cast<unsigned>(_mm_movemask_epi8(isComma));
        // Two commas in a row are left to the general path.
        if ((commas & (commas >> 1)) != 0 || (commaBefore && (commas & 1u) != 0)) break;
        if (commas != 0) {
            // The sums of the two halves' bytes, each comma counting one.
            const __m128i sums = _mm_sad_epu8(_mm_and_si128(isComma, one), _mm_setzero_si128());
            passed += static_cast<std::uint32_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
            lastComma = q + (31 - __builtin_clz(commas));
        }
        commaBefore = (commas & 0x8000u) != 0;
        q += 16;
    }
    if (passed == 0) return 0;
    p = lastComma;
    return passed - 1;
#else
    (void)p;
    (void)end;
    (void)room;
    return 0;
#endif
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

AsciiToken AsciiScanner::Next() {
    AsciiToken token;
    const char* p = mPosition;
    for (;;) {
        while (p < mEnd && IsAsciiBlank(*p)) ++p;
        if (p < mEnd && *p == ';') {
            while (p < mEnd && *p != '\n') ++p;
            continue;
        }
        break;
    }
    mPosition = p;
    token.line = mLine;
    token.begin = token.end = p;
    if (p >= mEnd) {
        token.kind = AsciiToken::eEnd;
        return token;
    }
    switch (*p) {
        case '\n':
            token.kind = AsciiToken::eNewline;
            ++mLine;
            break;
        case ',': token.kind = AsciiToken::eComma; break;
        case ':': token.kind = AsciiToken::eColon; break;
        case '{': token.kind = AsciiToken::eOpenBrace; break;
        case '}': token.kind = AsciiToken::eCloseBrace; break;
        default:
            ScanValue(token);
            return token;
    }
    mPosition = p + 1;
    return token;
}

AsciiToken AsciiScanner::NextValue() {
    const char* p = mPosition;
    AsciiToken token;
    token.line = mLine;
    if (p < mEnd && IsAsciiWordChar(*p)) {
        // The common case in long lists: a word right after its comma.
        token.kind = AsciiToken::eWord;
        token.begin = p;
        while (p < mEnd && IsAsciiWordChar(*p)) ++p;
        token.end = mPosition = p;
        return token;
    }
    for (;;) {
        while (p < mEnd && (IsAsciiBlank(*p) || *p == ',')) ++p;
        if (p >= mEnd) break;
        if (*p == '\n') {
            ++mLine;
            ++p;
        } else if (*p == ';') {
            while (p < mEnd && *p != '\n') ++p;
        } else {
            break;
        }
    }
    mPosition = p;
    token.line = mLine;
    token.begin = token.end = p;
    if (p < mEnd) ScanValue(token);
    return token;
}

bool AsciiScanner::NextInList(AsciiToken& token) {
    const char* p = mPosition;
    while (p < mEnd && IsAsciiBlank(*p)) ++p;
    if (p < mEnd && (*p == '\n' || *p == ';')) {
        // Other writers begin a continuation line with its comma.
        std::uint32_t lines = 0;
        const char* next = SkipToText(p, mEnd, lines);
        if (next < mEnd && *next == ',') {
            p = next;
            mLine += lines;
        }
    }
    mPosition = p;
    if (p < mEnd && *p == ',') {
        mPosition = p + 1;
        token = NextValue();
        return true;
    }
    token = Next();
    return false;
}

const char* AsciiScanner::SkipPlainWords(std::uint32_t& count, std::uint32_t limit, const char* last) {
    // The long number lists of meshes are walked here byte by byte, without
    // a token per value: their values are converted only when read.
    const char* p = mPosition;
    std::uint32_t line = mLine;
    while (count < limit && p < mEnd && *p == ',') {
        const std::uint32_t passed = PassNumberRun(p, mEnd, limit - count);
        if (passed > 0) {
            count += passed;
            last = p;
        }
        const char* q = p + 1;
        std::uint32_t lines = 0;
        while (q < mEnd && (IsAsciiBlank(*q) || *q == '\n')) {
            lines += *q == '\n';
            ++q;
        }
        if (q >= mEnd || !IsAsciiWordChar(*q)) break;
        while (q < mEnd && IsAsciiWordChar(*q)) ++q;
        ++count;
        line += lines;
        p = last = q;
    }
    mPosition = p;
    mLine = line;
    return last;
}

void AsciiScanner::ScanValue(AsciiToken& token) {
    const char* p = mPosition;
    if (*p == '"') {
        const char* q = p + 1;
        std::uint32_t lines = 0;
        while (q < mEnd && *q != '"') {
            if (*q == '\n') ++lines;
            ++q;
        }
        if (q >= mEnd) {
            // The error names the line where the string began.
            token.kind = AsciiToken::eError;
            mPosition = mEnd;
            return;
        }
        token.kind = AsciiToken::eString;
        token.begin = p + 1;
        token.end = q;
        mLine += lines;
        mPosition = q + 1;
        return;
    }
    if (!IsAsciiWordChar(*p)) {
        // A byte no text may hold, or punctuation where a value belongs.
        token.kind = AsciiToken::eError;
        return;
    }
    while (p < mEnd && IsAsciiWordChar(*p)) ++p;
    token.kind = AsciiToken::eWord;
    token.end = p;
    mPosition = p;
}

void AppendQuotedString(std::vector<unsigned char>& out, const char* text, std::size_t length) {
    out.push_back('"');
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        const StringEntity* entity = nullptr;
        for (const StringEntity& candidate : kStringEntities) {
            if (candidate.byte == c) entity = &candidate;
        }
        if (entity != nullptr) {
            out.insert(out.end(), entity->text, entity->text + entity->length);
        } else {
            out.push_back(static_cast<unsigned char>(c));
        }
    }
    out.push_back('"');
}

void DecodeQuotedString(const char* begin, const char* end, std::string& out) {
    out.clear();
    out.reserve(static_cast<std::size_t>(end - begin));
    for (const char* p = begin; p < end;) {
        // The text up to the next entity goes in whole.
        const auto* amp = static_cast<const char*>(std::memchr(p, '&', static_cast<std::size_t>(end - p)));
        out.append(p, amp != nullptr ? amp : end);
        if (amp == nullptr) {
            break;
        }
        p = amp;
        const StringEntity* entity = nullptr;
        for (const StringEntity& candidate : kStringEntities) {
            if (static_cast<std::size_t>(end - p) >= candidate.length &&
                std::memcmp(p, candidate.text, candidate.length) == 0) {
                entity = &candidate;
            }
        }
        // Anything else, a cut-short entity included, is text as it stands.
        out.push_back(entity != nullptr ? entity->byte : *p);
        p += entity != nullptr ? entity->length : 1;
    }
}

void AppendBase64(std::vector<unsigned char>& out, const unsigned char* bytes, std::size_t length) {
    out.reserve(out.size() + (length + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        const std::uint32_t v = (std::uint32_t(bytes[i]) << 16) | (std::uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
        out.push_back(kBase64Alphabet[v >> 18]);
        out.push_back(kBase64Alphabet[(v >> 12) & 63]);
        out.push_back(kBase64Alphabet[(v >> 6) & 63]);
        out.push_back(kBase64Alphabet[v & 63]);
    }
    if (i < length) {
        const bool two = length - i == 2;
        const std::uint32_t v = (std::uint32_t(bytes[i]) << 16) | (two ? std::uint32_t(bytes[i + 1]) << 8 : 0);
        out.push_back(kBase64Alphabet[v >> 18]);
        out.push_back(kBase64Alphabet[(v >> 12) & 63]);
        out.push_back(two ? kBase64Alphabet[(v >> 6) & 63] : '=');
        out.push_back('=');
    }
}

bool DecodeBase64(const char* begin, const char* end, std::string& out) {
    out.clear();
    const std::size_t length = static_cast<std::size_t>(end - begin);
    if (length % 4 != 0) return false;
    out.reserve(length / 4 * 3);
    for (const char* p = begin; p < end; p += 4) {
        const bool last = end - p == 4;
        const int padding = last ? (p[3] == '=') + (p[2] == '=' && p[3] == '=') : 0;
        int v[4];
        for (int k = 0; k < 4 - padding; ++k) {
            v[k] = Base64Value(p[k]);
            if (v[k] < 0) return false;
        }
        for (int k = 4 - padding; k < 4; ++k) v[k] = 0;
        const std::uint32_t bits = (std::uint32_t(v[0]) << 18) | (std::uint32_t(v[1]) << 12) |
                                   (std::uint32_t(v[2]) << 6) | std::uint32_t(v[3]);
        out.push_back(static_cast<char>(bits >> 16));
        if (padding < 2) out.push_back(static_cast<char>((bits >> 8) & 0xFF));
        if (padding < 1) out.push_back(static_cast<char>(bits & 0xFF));
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
