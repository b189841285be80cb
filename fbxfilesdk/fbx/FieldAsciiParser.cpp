#include <fbxfilesdk/fbx/FieldAsciiParser.h>

#include <fbxfilesdk/core/KLargeArrayGrowth.h>
#include <fbxfilesdk/fbx/FieldAsciiSyntax.h>
#include <fbxfilesdk/fbx/FieldFormat.h>
#include <fbxfilesdk/fbx/FieldTreeBuilder.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace fbxsdk_2006_11_1 {

namespace {

bool Fail(std::string& error, std::uint32_t line, const char* what) {
    error = "line " + std::to_string(line) + ": " + what;
    return false;
}

// Whether the parse stopped at a token that more text could have made
// another: the end itself, or a string that the end leaves unclosed.
bool MoreTextMayMend(const AsciiToken& token) {
    return token.kind == AsciiToken::eEnd || (token.kind == AsciiToken::eError && *token.begin == '"');
}

bool IsValue(const AsciiToken& token) {
    return token.kind == AsciiToken::eWord || token.kind == AsciiToken::eString;
}

// The scanner stops at an unclosed string or at a byte no text may hold.
const char* ScanErrorText(const AsciiToken& token) {
    return *token.begin == '"' ? "string has no closing quote" : "unexpected character";
}

// Other writers may put a whole value list on the lines after "Name:". A
// word there is a value unless a colon makes it the next field's name. With
// values, the scanner and token move to the first one.
void ValuesOnFollowingLine(AsciiScanner& scanner, AsciiToken& token) {
    AsciiScanner ahead = scanner;
    AsciiToken first = ahead.Next();
    while (first.kind == AsciiToken::eNewline) first = ahead.Next();
    const bool values = first.kind == AsciiToken::eString ||
                        (first.kind == AsciiToken::eWord && AsciiScanner(ahead).Next().kind != AsciiToken::eColon);
    if (values) {
        scanner = ahead;
        token = first;
    }
}

const char* ValueStart(const AsciiToken& token) {
    return token.kind == AsciiToken::eString ? token.begin - 1 : token.begin;
}

const char* ValueEnd(const AsciiToken& token) {
    return token.kind == AsciiToken::eString ? token.end + 1 : token.end;
}

// How often any of the characters occurs in the text.
std::size_t Occurrences(const char* text, std::size_t size, std::initializer_list<char> characters) {
    std::size_t count = 0;
    const char* const end = text + size;
    for (const char c : characters) {
        for (const char* at = text; at != end; ++at, ++count) {
            at = static_cast<const char*>(std::memchr(at, c, static_cast<std::size_t>(end - at)));
            if (at == nullptr) break;
        }
    }
    return count;
}

}  // namespace

std::size_t AsciiRecordBound(const char* text, std::size_t size) {
    // A record ends its line, opens a block or follows a closed one, and its
    // name is followed by a colon: there are no more records than either
    // count, plus the last line. Blank lines, comments and values wrapped
    // over lines hold no colon, so they ask for no room.
    const std::size_t breaks = 1 + Occurrences(text, size, {'\n', '{', '}'});
    const std::size_t colons = 1 + Occurrences(text, size, {':'});
    // A record takes at least two bytes.
    return std::min({breaks, colons, size / 2 + 1});
}

namespace {

// The parse of ParseAsciiRecords; on failure, mendable tells whether the
// token it stopped at (the end, a string left open by it) could be other
// with more text after it, which only a parse of the text's beginning cares for.
bool ParseRecords(const char* text, std::size_t size, FieldTree& tree, std::uint32_t& begin, std::uint32_t& count,
                  std::string& error, bool& mendable) {
    AsciiScanner scanner(text, text + size, 1);
    // The tree's room in one block from the start: growing it would copy
    // every record placed so far, and it is only ever filled to the end.
    KReserveLarge(tree.nodes, tree.nodes.size() + AsciiRecordBound(text, size));
    FieldTreeBuilder builder(tree);
    builder.Start();
    // The line of each open block, to say which one was never closed.
    std::vector<std::uint32_t> openLines;

    AsciiToken token = scanner.Next();
    for (;;) {
        switch (token.kind) {
            case AsciiToken::eNewline:
                token = scanner.Next();
                continue;
            case AsciiToken::eEnd:
                if (builder.Depth() > 0) {
                    mendable = true;
                    return Fail(error, openLines.back(), "block is never closed: the file is cut short");
                }
                builder.Finish(begin, count);
                return true;
            case AsciiToken::eCloseBrace:
                if (builder.Depth() == 0) return Fail(error, token.line, "'}' closes no block");
                builder.Ascend();
                openLines.pop_back();
                token = scanner.Next();
                continue;
            case AsciiToken::eError:
                mendable = MoreTextMayMend(token);
                return Fail(error, token.line, ScanErrorText(token));
            case AsciiToken::eWord:
                break;
            default:
                return Fail(error, token.line, "a field name was expected");
        }

        FieldNode node;
        const std::size_t nameLength = static_cast<std::size_t>(token.end - token.begin);
        if (nameLength > static_cast<std::size_t>(kMaxNameLength)) return Fail(error, token.line, "name is too long");
        node.nameBegin = static_cast<std::uint64_t>(token.begin - text);
        node.nameLength = static_cast<std::uint8_t>(nameLength);
        node.line = token.line;
        const AsciiToken afterName = scanner.Next();
        if (afterName.kind != AsciiToken::eColon) {
            mendable = afterName.kind == AsciiToken::eEnd;
            return Fail(error, token.line, "':' must follow a field name");
        }

        token = scanner.Next();
        if (token.kind == AsciiToken::eNewline) ValuesOnFollowingLine(scanner, token);
        node.valuesBegin = node.valuesEnd = static_cast<std::uint64_t>(token.begin - text);
        if (IsValue(token)) {
            node.line = token.line;
            node.valuesBegin = static_cast<std::uint64_t>(ValueStart(token) - text);
            std::uint32_t values = 0;
            for (;;) {
                if (++values > kMaxValueCount) return Fail(error, token.line, "too many values");
                const char* last = scanner.SkipPlainWords(values, kMaxValueCount, ValueEnd(token));
                node.valuesEnd = static_cast<std::uint64_t>(last - text);
                if (!scanner.NextInList(token)) break;
                if (!IsValue(token)) {
                    mendable = MoreTextMayMend(token);
                    return Fail(error, token.line,
                                token.kind == AsciiToken::eError ? ScanErrorText(token) : "a value must follow ','");
                }
            }
            node.valueCount = values;
        }
        switch (token.kind) {
            case AsciiToken::eOpenBrace:
                node.hasBlock = true;
                builder.Add(node);
                if (!builder.Descend()) return Fail(error, token.line, "blocks are nested too deeply");
                openLines.push_back(token.line);
                token = scanner.Next();
                break;
            case AsciiToken::eNewline:
            case AsciiToken::eEnd:
            case AsciiToken::eCloseBrace:
                builder.Add(node);
                break;
            case AsciiToken::eError:
                mendable = MoreTextMayMend(token);
                return Fail(error, token.line, ScanErrorText(token));
            default:
                return Fail(error, token.line, "unexpected text after the values");
        }
    }
}

}  // namespace

bool ParseAsciiRecords(const char* text, std::size_t size, FieldTree& tree, std::uint32_t& begin,
                       std::uint32_t& count, std::string& error) {
    bool mendable = false;
    return ParseRecords(text, size, tree, begin, count, error, mendable);
}

bool AsciiRecordsMayFollow(const char* text, std::size_t size, std::string& error) {
    FieldTree tree;
    std::uint32_t begin = 0;
    std::uint32_t count = 0;
    bool mendable = false;
    return ParseRecords(text, size, tree, begin, count, error, mendable) || mendable;
}

}  // namespace fbxsdk_2006_11_1
