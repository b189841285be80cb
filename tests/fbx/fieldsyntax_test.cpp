#include <fbxfilesdk/fbx/FieldAsciiSyntax.h>
#include <fbxfilesdk/fbx/FieldNumberText.h>

#include <gtest/gtest.h>

#include <cmath>
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

TEST(FieldAsciiSyntaxTest, QuotingAndBase64RoundTrip) {
    const std::string text("a\"b\\c\nd\re\tf\x01g\x7f\xff", 15);
    std::vector<unsigned char> quoted;
    AppendQuotedString(quoted, text.data(), text.size());
    const std::string written(quoted.begin(), quoted.end());
    EXPECT_EQ(written, "\"a\\\"b\\\\c\\nd\\re\\tf\\x01g\\x7F\xff\"");
    std::string back;
    UnescapeString(written.data() + 1, written.data() + written.size() - 1, back);
    EXPECT_EQ(back, text);
    UnescapeString("\\x4g\\", std::strchr("\\x4g\\", '\0'), back);
    EXPECT_EQ(back, "\\x4g\\");  // malformed escapes stay as written

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

}  // namespace
}  // namespace fbxsdk_2006_11_1
