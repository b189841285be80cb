#include <fbxfilesdk/fbx/FieldAsciiParser.h>
#include <fbxfilesdk/fbx/FieldAsciiSyntax.h>
#include <fbxfilesdk/fbx/FieldNumberText.h>
#include <fbxfilesdk/fbx/FieldValueCursor.h>
#include <fbxfilesdk/fbx/KFbx.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

std::string Format(double value) {
    char text[kNumberTextSize];
    return std::string(text, static_cast<std::size_t>(FormatFieldDouble(text, value)));
}

bool Parse(const std::string& text, double& value) { return ParseFieldDouble(text.data(), text.data() + text.size(), value); }

TEST(FieldNumberTextTest, ShortestFormsReadBackExactly) {
    EXPECT_EQ(Format(0.1), "0.1");
    EXPECT_EQ(Format(5.0), "5");
    EXPECT_EQ(Format(-0.0), "-0");
    EXPECT_EQ(Format(std::numeric_limits<double>::infinity()), "inf");
    for (double d : {std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(), -1.0 / 3.0}) {
        double back = 0;
        ASSERT_TRUE(Parse(Format(d), back)) << Format(d);
        EXPECT_EQ(std::memcmp(&back, &d, sizeof d), 0);
    }
}

TEST(FieldNumberTextTest, ParsingTakesWholeTokensOnly) {
    double d = 0;
    EXPECT_TRUE(Parse("+2.5", d));
    EXPECT_EQ(d, 2.5);
    EXPECT_TRUE(Parse("-inf", d));
    EXPECT_TRUE(std::isinf(d) && d < 0);
    for (const char* bad : {"", "+", "+-1", "1.5x", "1e400", " 1", "0x10"}) EXPECT_FALSE(Parse(bad, d)) << bad;
    std::int64_t i = 0;
    const char* smallest = "-9223372036854775808";
    EXPECT_TRUE(ParseFieldInteger(smallest, smallest + std::strlen(smallest), i));
    EXPECT_EQ(i, std::numeric_limits<std::int64_t>::min());
    const char* tooBig = "9223372036854775808";
    EXPECT_FALSE(ParseFieldInteger(tooBig, tooBig + std::strlen(tooBig), i));
}

std::string Quoted(const std::string& text) {
    std::vector<unsigned char> quoted;
    AppendQuotedString(quoted, text.data(), text.size());
    return std::string(quoted.begin(), quoted.end());
}

std::string Decoded(const std::string& span) {
    std::string text;
    DecodeQuotedString(span.data(), span.data() + span.size(), text);
    return text;
}

TEST(FieldAsciiSyntaxTest, StringsUseTheCustomaryEntitiesAndNothingElse) {
    // Backslashes, tabs and '&' stand as they are: only a quote and the two
    // line-end bytes have entities.
    const std::string text("say \"hi\"\nC:\\new\\tex.tga\r\tA&B\x7f\xff");
    const std::string written = Quoted(text);
    EXPECT_EQ(written, "\"say &quot;hi&quot;&lf;C:\\new\\tex.tga&cr;\tA&B\x7f\xff\"");
    EXPECT_EQ(Decoded(written.substr(1, written.size() - 2)), text);

    // A path another program wrote keeps its "\n" and "\t".
    EXPECT_EQ(Decoded("C:\\new\\tex.tga"), "C:\\new\\tex.tga");
    EXPECT_EQ(Decoded("&quot;&lf;&cr;"), "\"\n\r");
    EXPECT_EQ(Decoded("&&quot;"), "&\"");
    // Cut-short and unknown entities, and a lone '&', are plain text.
    for (const char* literal : {"&quo", "&", "a & b", "&amp;&lt;&#34;", "&QUOT;", "&lf", "x&cr"}) {
        EXPECT_EQ(Decoded(literal), literal);
    }
}

TEST(FieldAsciiSyntaxTest, Base64RoundTrip) {
    for (std::size_t length = 0; length < 7; ++length) {
        const std::string bytes = std::string("\0\xff\x10zq\x80!", 7).substr(0, length);
        std::vector<unsigned char> encoded;
        AppendBase64(encoded, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        std::string decoded;
        ASSERT_TRUE(DecodeBase64(reinterpret_cast<const char*>(encoded.data()),
                                 reinterpret_cast<const char*>(encoded.data() + encoded.size()), decoded));
        EXPECT_EQ(decoded, bytes);
    }
    std::string decoded;
    for (const char* bad : {"abc", "ab!d", "a===", "=abc"}) {
        EXPECT_FALSE(DecodeBase64(bad, bad + std::strlen(bad), decoded)) << bad;
    }
}

TEST(FieldAsciiSyntaxTest, ScannerCountsLinesAndSkipsComments) {
    const char text[] = "Name: \"multi\nline\" ; comment, {\n}";
    AsciiScanner scanner(text, text + sizeof text - 1, 1);
    const AsciiToken::Kind expected[] = {AsciiToken::eWord, AsciiToken::eColon, AsciiToken::eString,
                                         AsciiToken::eNewline, AsciiToken::eCloseBrace, AsciiToken::eEnd};
    for (AsciiToken::Kind kind : expected) EXPECT_EQ(scanner.Next().kind, kind);
    EXPECT_EQ(scanner.Line(), 3u);
}


// The records of ascii text, one line per record ("name: value|value"),
// blocks indented; or "error: <message>".
std::string Outline(const std::string& text) {
    FieldTree tree;
    std::uint32_t begin = 0;
    std::uint32_t count = 0;
    std::string error;
    if (!ParseAsciiRecords(text.data(), text.size(), tree, begin, count, error)) return "error: " + error;
    std::string out;
    const auto* image = reinterpret_cast<const unsigned char*>(text.data());
    auto outline = [&](auto& self, std::uint32_t first, std::uint32_t n, int depth) -> void {
        for (std::uint32_t i = first; i < first + n; ++i) {
            const FieldNode& node = tree.nodes[i];
            out += std::string(static_cast<std::size_t>(depth), ' ') + text.substr(node.nameBegin, node.nameLength) + ":";
            FieldValueCursor cursor;
            cursor.Open(image, node, false);
            FieldValue value;
            const char* separator = " ";
            while (cursor.Next(value)) {
                std::string shown;
                FieldValueToText(value, shown);
                out += separator + shown;
                separator = "|";
            }
            out += "\n";
            if (node.hasBlock) self(self, node.childBegin, node.childCount, depth + 1);
        }
    };
    outline(outline, begin, count, 0);
    return out;
}

TEST(FieldAsciiSyntaxTest, OtherWritersFormsReadAsTheirCanonicalForm) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        // The values on the lines after the colon.
        {"Key: \n\t1,2,3\nNext: 4\n", "Key: 1,2,3\nNext: 4\n"},
        {"Key:\n\n; a comment\n  \"a\", b\nNext: 4\n", "Key: \"a\",b\nNext: 4\n"},
        {"Key:\n\tL,C,n\n", "Key: L,C,n\n"},
        // Continuation lines that begin with their comma, comments between.
        {"V: 1,2,3\n,4,5\n,6\nNext: 7\n", "V: 1,2,3,4,5,6\nNext: 7\n"},
        {"V: 1\n; note\n\n  , 2 ,3\n\t,4 {\n}\n", "V: 1,2,3,4 {\n}\n"},
        // CR LF line ends, a banner, blanks or none after commas.
        {"; banner\r\nA: 1, 2,3\r\nB:\r\n  4\r\n,5\r\n", "A: 1,2,3\nB: 4,5\n"},
        // A name with no values before the next record or a closing brace.
        {"Empty:\nName: 1\n", "Empty:\nName: 1\n"},
        {"A:  {\n\tEmpty:\n}\n", "A: {\nEmpty:\n}\n"},
        {"A: {\nEmpty:\n\n}", "A: {\nEmpty:\n}\n"},
        {"Empty:\nBlock: {\n}\n", "Empty:\nBlock: {\n}\n"},
        // Entities cut short and a lone '&' are text.
        {"S: \"a&quo\",\"&\",\"x&quot;y\"\n", "S: \"a&quo\",\"&\",\"x&quot;y\"\n"},
    };
    for (const auto& [foreign, canonical] : cases) {
        const std::string expected = Outline(canonical);
        EXPECT_EQ(expected.find("error"), std::string::npos) << canonical;
        EXPECT_EQ(Outline(foreign), expected) << foreign;
    }
    EXPECT_EQ(Outline("Key:\n\tL,C,n\n"), "Key: L|C|n\n");
    EXPECT_EQ(Outline("S: \"a&quo\",\"&\",\"x&quot;y\"\n"), "S: a&quo|&|x\"y\n");
}

TEST(FieldAsciiSyntaxTest, BrokenFormsFailWithTheirLine) {
    // A dangling comma at the end, and text that is neither value nor name.
    EXPECT_EQ(Outline("A: 1\nV: 1,2,"), "error: line 2: a value must follow ','");
    EXPECT_EQ(Outline("A: 1\nV: 1,\n,2,\n"), "error: line 4: a value must follow ','");
    EXPECT_EQ(Outline("Key:\n  1 2\n"), "error: line 2: unexpected text after the values");
    EXPECT_EQ(Outline("Key:\n, 1\n"), "error: line 2: a field name was expected");
    EXPECT_EQ(Outline("S: \"&quo"), "error: line 1: string has no closing quote");
}

TEST(FieldAsciiSyntaxTest, WrappedListsKeepEveryValueAndTheLineCount) {
    // Plain lists wrapped after their commas, mixed with the forms that need
    // more care: each value is counted once and later lines keep their numbers.
    const std::string text = "V: 1,-2.5e-3,\n\t\t3,  4,\r\n\t5\n, 6 ,,7,\"s\",\n; note\n8\nBad: 1 2\n";
    EXPECT_EQ(Outline(text), "error: line 7: unexpected text after the values");
    const std::string good = text.substr(0, text.find("Bad"));
    EXPECT_EQ(Outline(good), "V: 1|-2.5e-3|3|4|5|6|7|s|8\n");
    FieldTree tree;
    std::uint32_t begin = 0;
    std::uint32_t count = 0;
    std::string error;
    ASSERT_TRUE(ParseAsciiRecords(good.data(), good.size(), tree, begin, count, error)) << error;
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(tree.nodes[begin].valueCount, 9u);
    EXPECT_EQ(good.substr(tree.nodes[begin].valuesBegin, tree.nodes[begin].valuesEnd - tree.nodes[begin].valuesBegin).back(),
              '8');

    // A dangling comma after a wrapped list names the line it stops on.
    EXPECT_EQ(Outline("V: 1,2,\n3,4,\n5,\n}\n"), "error: line 4: unexpected character");
    EXPECT_EQ(Outline("V: 1,2,\n3,4,\n5,\n"), "error: line 4: a value must follow ','");
}

TEST(FieldAsciiSyntaxTest, LongNumberListsInEveryFormKeepEachValue) {
    // Long runs of numbers, as the list walk takes them many bytes at a time,
    // broken at random by the forms that need the general path.
    const char* const separators[] = {",", ",", ",", ",", ",\n\t\t", ", ", " ,", ",,", ",\r\n", ",\n; c\n", "\n,"};
    const char* const numbers[] = {"0", "-1", "12345678", "0.1373", "-3.0000000000000004e-05", "1E+300", "+7",
                                   "2.5e-3", "nan", "-inf", "L", "/x"};
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    for (int round = 0; round < 200; ++round) {
        const std::uint32_t count = 1 + next(round < 100 ? 40 : 400);
        std::string text = "V: ";
        std::string expected = "V: ";
        std::string lastValue;
        for (std::uint32_t i = 0; i < count; ++i) {
            const bool plain = next(8) != 0;
            const std::string value = numbers[plain ? next(8) : next(12)];
            if (i > 0) {
                text += plain ? "," : separators[next(11)];
                expected += '|';
            }
            text += value;
            expected += value;
            lastValue = value;
        }
        const bool block = next(2) != 0;
        text += block ? " {\n}\n" : "\nNext: 1\n";
        expected += block ? "\n" : "\nNext: 1\n";
        ASSERT_EQ(Outline(text), expected) << text;
        // The count read ahead of the values, and where the last one ends.
        FieldTree tree;
        std::uint32_t begin = 0;
        std::uint32_t records = 0;
        std::string error;
        ASSERT_TRUE(ParseAsciiRecords(text.data(), text.size(), tree, begin, records, error)) << error;
        EXPECT_EQ(tree.nodes[begin].valueCount, count) << text;
        EXPECT_EQ(text.rfind(lastValue, tree.nodes[begin].valuesEnd), tree.nodes[begin].valuesEnd - lastValue.size())
            << text;
    }
}

// The tree's room is taken once, before the first record: every shape of
// text fits it, so no record placed is copied again, and text that is mostly
// line breaks takes no more room than its bytes could fill.
TEST(FieldAsciiSyntaxTest, TheRecordsFitTheRoomTakenBeforeTheFirst) {
    const std::string texts[] = {
        "A: 1",
        "A: 1\nB: 2\n",
        "A: {\n\tB: 1\n\tC: {\n\t\tD: 2\n\t}\n}\nE: 3\n",
        // Several records on one line, between braces.
        "A:{B:{C:{D:1}}}E:{F:2}G:3",
        "A: {}B: {}C: {}D: {}",
        "A:{B:1\nC:{}}D:{E:{F:{}}}",
        // Values over several lines, comments and blank lines.
        "V: 1,2,\n3,4,\n5\n; note { } {\n\n\n\nW: \"{}\"\n",
    };
    for (const std::string& text : texts) {
        FieldTree tree;
        std::uint32_t begin = 0;
        std::uint32_t count = 0;
        std::string error;
        ASSERT_TRUE(ParseAsciiRecords(text.data(), text.size(), tree, begin, count, error)) << text << ": " << error;
        const std::size_t bound = AsciiRecordBound(text.data(), text.size());
        EXPECT_GE(bound, tree.nodes.size()) << text;
        EXPECT_EQ(tree.nodes.capacity(), bound) << text;
        EXPECT_LE(bound, text.size() / 2 + 1) << text;
    }
    // Text of line breaks, comments or wrapped values holds no record and
    // asks for no more than the start.
    const std::string breaks(1000, '\n');
    EXPECT_LE(AsciiRecordBound(breaks.data(), breaks.size()), 501u);
    EXPECT_EQ(AsciiRecordBound(breaks.data(), breaks.size()), 1u);
    const std::string comments = "; a comment { }\n;\n;\n" + std::string(500, ';') + "\n";
    EXPECT_EQ(AsciiRecordBound(comments.data(), comments.size()), 1u);
    std::string wrapped = "V: 1";
    for (int i = 0; i < 500; ++i) wrapped += ",\n2";
    EXPECT_EQ(AsciiRecordBound(wrapped.data(), wrapped.size()), 2u);
    EXPECT_EQ(AsciiRecordBound("", 0), 1u);
}

TEST(FieldAsciiSyntaxTest, IntegerListsReadAsTheirNumbers) {
    const std::string text =
        "I: 2147483647,-2147483648,2147483648,-0,007,99999999999999999999,1.5,-3,+4\n"
        "L: 9223372036854775807,-9223372036854775808,123456789012345678,-1234567890123456789,1e3\n";
    KFbx file;
    ASSERT_TRUE(file.FileOpen(text.data(), static_cast<int>(text.size()), false));
    ASSERT_TRUE(file.FieldReadBegin("I"));
    std::vector<int> ints(9);
    EXPECT_EQ(file.FieldReadArrayI(ints.data(), 9), 9);
    // Out of range saturates; a fraction is cut.
    const std::vector<int> expectedInts = {std::numeric_limits<int>::max(), std::numeric_limits<int>::min(),
                                           std::numeric_limits<int>::max(), 0, 7, std::numeric_limits<int>::max(),
                                           1, -3, 4};
    EXPECT_EQ(ints, expectedInts);
    file.FieldReadEnd();
    ASSERT_TRUE(file.FieldReadBegin("L"));
    std::vector<std::int64_t> longs(5);
    EXPECT_EQ(file.FieldReadArrayL(longs.data(), 5), 5);
    const std::vector<std::int64_t> expectedLongs = {std::numeric_limits<std::int64_t>::max(),
                                                     std::numeric_limits<std::int64_t>::min(), 123456789012345678,
                                                     -1234567890123456789, 1000};
    EXPECT_EQ(longs, expectedLongs);
    file.FieldReadEnd();
    EXPECT_LT(file.GetLastErrorCode(), 0) << file.GetLastErrorText();
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
