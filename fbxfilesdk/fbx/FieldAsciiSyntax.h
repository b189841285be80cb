// The lexical layer of ascii field files: a scanner that hands out tokens as
// spans of the text (it never allocates), and the quoting of strings and raw
// bytes. Records are `Name: value, value` lines with `{ }` blocks; `;` starts a
// comment that runs to the end of the line. Strings are double-quoted with
// the entities customary in FBX text files and no others: &quot; for a double
// quote, &lf; for a line feed, &cr; for a carriage return. Every other byte,
// a backslash or a lone '&' included, stands for itself, so the Windows paths
// other programs write are read as they are.
#ifndef FBXFILESDK_FBX_FIELDASCIISYNTAX_H
#define FBXFILESDK_FBX_FIELDASCIISYNTAX_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

struct AsciiToken {
    enum Kind { eWord, eString, eComma, eColon, eOpenBrace, eCloseBrace, eNewline, eEnd, eError };
    Kind kind = eEnd;
    // A word's characters, or a string's between its quotes (entities not yet decoded).
    const char* begin = nullptr;
    const char* end = nullptr;
    std::uint32_t line = 1;
};

class AsciiScanner {
public:
    AsciiScanner() = default;
    AsciiScanner(const char* begin, const char* end, std::uint32_t line) : mPosition(begin), mEnd(end), mLine(line) {}

    // The next token; eError for a string with no closing quote.
    AsciiToken Next();
    // The next word or string of a value list, past commas, line ends and
    // comments; eEnd when there is none.
    AsciiToken NextValue();
    // After a value of a list: true with the next value when a comma follows,
    // else false with the token that ends the list.
    bool NextInList(AsciiToken& token);
    // After a value of a list: passes the plain words that follow it, each
    // after a comma and any blanks or line ends, up to limit in all, adding
    // them to count; the end of the last one passed, or last when none.
    // Stops before anything else, which NextInList then takes.
    const char* SkipPlainWords(std::uint32_t& count, std::uint32_t limit, const char* last);
    const char* Position() const { return mPosition; }
    const char* End() const { return mEnd; }
    std::uint32_t Line() const { return mLine; }
    // Continues from a place the caller scanned up to itself.
    void MoveTo(const char* position, std::uint32_t line) {
        mPosition = position;
        mLine = line;
    }

private:
    // Scans the word or string at the position; the token's line is set.
    void ScanValue(AsciiToken& token);

    const char* mPosition = nullptr;
    const char* mEnd = nullptr;
    std::uint32_t mLine = 1;
};

namespace AsciiCharClass {
enum : unsigned char { eWord = 1, eBlank = 2 };

// Words are runs of eWord bytes; eBlank bytes separate tokens within a line.
constexpr std::array<unsigned char, 256> BuildTable() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = eWord;
    for (unsigned char c : {' ', '\t', '\r', '\f', '\v'}) table[c] = eBlank;
    for (unsigned char c : {'\n', ',', ':', ';', '{', '}', '"', '\0'}) table[c] = 0;
    return table;
}

inline constexpr std::array<unsigned char, 256> kTable = BuildTable();
}  // namespace AsciiCharClass

// Characters that may stand in a name or an unquoted value.
inline bool IsAsciiWordChar(char c) {
    return (AsciiCharClass::kTable[static_cast<unsigned char>(c)] & AsciiCharClass::eWord) != 0;
}

inline bool IsAsciiBlank(char c) {
    return (AsciiCharClass::kTable[static_cast<unsigned char>(c)] & AsciiCharClass::eBlank) != 0;
}

// Appends text in quotes, with the three entities where they are needed.
void AppendQuotedString(std::vector<unsigned char>& out, const char* text, std::size_t length);
// The text of a string span (between its quotes), its entities decoded.
void DecodeQuotedString(const char* begin, const char* end, std::string& out);

// Raw bytes travel in ascii files as base64 text (RFC 4648, padded).
void AppendBase64(std::vector<unsigned char>& out, const unsigned char* bytes, std::size_t length);
// False, out unspecified, when the text is not well-formed base64.
bool DecodeBase64(const char* begin, const char* end, std::string& out);

}  // namespace fbxsdk_2006_11_1

#endif
