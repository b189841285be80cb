// Number arrays parsed as the document is read: whatever the text holds, the
// readers of sources and index lists get from the parsed numbers exactly what
// they get from the text kept in the tree.
#include <fbxfilesdk/collada/ColladaArrayReader.h>
#include <fbxfilesdk/collada/ColladaDocument.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/ColladaXmlSource.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::ColladaXml;

namespace {

// The first element of that name at or below the node, depth first.
xmlNode* FindFirst(xmlNode* node, const char* name) {
    for (; node != nullptr; node = node->next) {
        if (IsNamed(node, name)) {
            return node;
        }
        if (xmlNode* below = FindFirst(node->children, name)) {
            return below;
        }
    }
    return nullptr;
}

ColladaDocument Parse(const std::string& xml, ColladaArrayText arrays) {
    KString error;
    ColladaDocument document = ColladaDocument::ParseMemory(xml.data(), xml.size(), error, arrays);
    EXPECT_FALSE(document.IsEmpty()) << error.Buffer();
    return document;
}

std::string FloatSource(const std::string& arrayText, const std::string& count, int stride = 1) {
    return "<source id=\"s\"><float_array id=\"a\" count=\"" + count + "\">" + arrayText +
           "</float_array><technique_common><accessor source=\"#a\" count=\"" + count + "\" stride=\"" +
           std::to_string(stride) + "\"/></technique_common></source>";
}

// The values as ReadSourceDoubles gives them, NaN made comparable, and its verdict.
struct SourceRead {
    bool mRead = false;
    std::vector<double> mValues;
    bool operator==(const SourceRead& other) const {
        if (mRead != other.mRead || mValues.size() != other.mValues.size()) {
            return false;
        }
        for (std::size_t at = 0; at < mValues.size(); ++at) {
            const bool same = std::isnan(mValues[at]) ? std::isnan(other.mValues[at]) : mValues[at] == other.mValues[at];
            if (!same || std::signbit(mValues[at]) != std::signbit(other.mValues[at])) {
                return false;
            }
        }
        return true;
    }
};

SourceRead ReadDoubles(const std::string& xml, ColladaArrayText arrays) {
    const ColladaDocument document = Parse(xml, arrays);
    SourceRead read;
    read.mRead = ReadSourceDoubles(FindFirst(document.GetRoot(), "source"), read.mValues);
    return read;
}

void ExpectSameDoubles(const std::string& xml) {
    const SourceRead kept = ReadDoubles(xml, ColladaArrayText::kKeep);
    const SourceRead parsed = ReadDoubles(xml, ColladaArrayText::kParse);
    EXPECT_TRUE(parsed == kept) << xml.substr(0, 200);
}

std::vector<int> ReadInts(const ColladaDocument& document, const char* name) {
    std::vector<int> values;
    ParseIntArray(ElementText(FindFirst(document.GetRoot(), name)).Numbers(), values);
    return values;
}

// A long array of numbers of many lengths, so that libxml2 hands its text
// over in many pieces, cut anywhere.
std::string LongArrayText(int count) {
    std::string text;
    for (int value = 0; value < count; ++value) {
        text += std::to_string(value * 37 % 1000) + (value % 3 == 0 ? ".125" : "") + (value % 7 == 0 ? "e-3" : "") +
                (value % 5 == 0 ? "\n\t" : " ");
    }
    return text;
}

TEST(ColladaParsedArrays, FloatArraysReadAsTheirText) {
    ExpectSameDoubles(FloatSource("1 2.5 -3e2 +4 abc 1.5xyz INF -INF NaN 1e50 -1e50 1e-50 -0 0x10 . + 3", "17"));
    ExpectSameDoubles(FloatSource("  \r\n 1\t2 \r\n", "2"));
    ExpectSameDoubles(FloatSource("", "0"));
    ExpectSameDoubles(FloatSource("1 2 3", "2"));       // one more than announced
    ExpectSameDoubles(FloatSource("1 2 3", "5"));       // fewer
    ExpectSameDoubles(FloatSource("1 2 3", "1000"));    // more than the text could hold
    ExpectSameDoubles(FloatSource("1 2 3 4 5", "2", 2));  // a group cut short
    ExpectSameDoubles(FloatSource(LongArrayText(30000), "30000"));
}

TEST(ColladaParsedArrays, TextInPiecesJoinsAsTheTreeJoinsIt) {
    // Character references, CDATA sections and comments: the tokens run on
    // across them exactly as the element's whole text does.
    ExpectSameDoubles(FloatSource("1&#32;2&#x9;3&#10;4", "4"));
    ExpectSameDoubles(FloatSource("1 2<![CDATA[5 6]]> 7", "4"));
    ExpectSameDoubles(FloatSource("1 2<!-- c -->3 4", "3"));
    ExpectSameDoubles(FloatSource("1<!--a--> <!--b-->2", "2"));
    ExpectSameDoubles(FloatSource("<!--a-->  <!--b-->2 <?pi x?>5", "2"));
    ExpectSameDoubles(FloatSource(LongArrayText(2000) + "<!-- c -->" + LongArrayText(2000), "4000"));
}

TEST(ColladaParsedArrays, OtherSourcesReadAsTheirText) {
    const std::string xml = FloatSource("0.5 0.25 1 0.75 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15", "5", 4);
    for (const ColladaArrayText arrays : {ColladaArrayText::kKeep, ColladaArrayText::kParse}) {
        const ColladaDocument document = Parse(xml, arrays);
        const xmlNode* source = FindFirst(document.GetRoot(), "source");
        std::vector<KFbxColor> colors;
        std::vector<KFbxVector2> uvs;
        std::vector<KFbxVector4> points;
        KgeMatrixArray matrices;
        EXPECT_TRUE(ReadSourceColors(source, colors));
        EXPECT_TRUE(ReadSourceVector2(source, uvs));
        EXPECT_FALSE(ReadSourceVector3(source, points));  // stride 4 read as three values each
        EXPECT_FALSE(ReadSourceMatrices(source, matrices));
        ASSERT_EQ(colors.size(), 5u);
        EXPECT_EQ(colors[0].mBlue, 1.0);
        EXPECT_EQ(colors[0].mAlpha, 0.75);
        EXPECT_EQ(colors[4].mRed, 1.0);  // 16, clamped
        ASSERT_EQ(uvs.size(), 5u);
        EXPECT_EQ(uvs[1][0], 0.0);
        EXPECT_EQ(uvs[1][1], 1.0);
        ASSERT_EQ(points.size(), 6u);  // read up to one past the count
        EXPECT_EQ(points[1][0], 0.75);
        EXPECT_EQ(points[1][2], 1.0);
    }
}

TEST(ColladaParsedArrays, IndexListsReadAsTheirText) {
    const std::string xml =
        "<mesh><triangles count=\"2\"><input semantic=\"VERTEX\" offset=\"0\"/><input offset=\"1\"/>"
        "<p>1 -2 +3 99999999999 -99999999999 x 4.5 7 " + LongArrayText(5000) +
        "</p></triangles><polylist><vcount> 3 3 </vcount><p>0 1 2</p></polylist>"
        "<skin><vertex_weights><vcount>2</vcount><v>0 0 1 1</v></vertex_weights></skin>"
        "<polygons><ph><p>5 6 7</p><h>1 2</h></ph></polygons></mesh>";
    const ColladaDocument kept = Parse(xml, ColladaArrayText::kKeep);
    const ColladaDocument parsed = Parse(xml, ColladaArrayText::kParse);
    for (const char* name : {"p", "vcount", "v"}) {
        EXPECT_EQ(ReadInts(parsed, name), ReadInts(kept, name)) << name;
    }
    EXPECT_EQ(ReadInts(parsed, "p").size(), 5008u);
    // Lists no reader takes as numbers keep their text.
    EXPECT_STREQ(ElementText(FindFirst(FindFirst(parsed.GetRoot(), "ph"), "p")).Get(), "5 6 7");
    EXPECT_STREQ(ElementText(FindFirst(parsed.GetRoot(), "h")).Get(), "1 2");
}

TEST(ColladaParsedArrays, ParsedFromAStreamAsFromMemory) {
    const std::string xml = "<COLLADA>" + FloatSource(LongArrayText(50000), "50000") + "</COLLADA>";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(xml.data(), 1, xml.size(), file.get()), xml.size());
    std::rewind(file.get());
    KString error;
    const ColladaDocument streamed =
        ColladaDocument::ParseStream(file.get(), "stream.dae", error, ColladaArrayText::kParse);
    ASSERT_FALSE(streamed.IsEmpty()) << error.Buffer();
    SourceRead fromStream;
    fromStream.mRead = ReadSourceDoubles(FindFirst(streamed.GetRoot(), "source"), fromStream.mValues);
    EXPECT_TRUE(fromStream.mRead);
    EXPECT_TRUE(fromStream == ReadDoubles(xml, ColladaArrayText::kKeep));
}

TEST(ColladaParsedArrays, CountsReserveNoMoreThanTheInputHolds) {
    // Read under the sanitizers: a count of two billion values must not make
    // the parse ask for eight gigabytes.
    const std::string xml =
        FloatSource("1 2", "2000000000") +
        "<triangles count=\"2000000000\"><input offset=\"0\"/><p>0 1 2</p></triangles>";
    const ColladaDocument document = Parse("<m>" + xml + "</m>", ColladaArrayText::kParse);
    std::vector<double> values;
    EXPECT_FALSE(ReadSourceDoubles(FindFirst(document.GetRoot(), "source"), values));
    EXPECT_EQ(ReadInts(document, "p"), (std::vector<int>{0, 1, 2}));
}

TEST(ColladaParsedArrays, CountsReserveNoMoreThanTheRestOfTheInputHolds) {
    // A large document whose last array announces a huge count: what is
    // already read cannot hold that array's values.
    std::deque<ColladaParsedArray> arrays;
    ColladaArrayReader reader(arrays);
    std::unique_ptr<xmlNode, decltype(&xmlFreeNode)> source(xmlNewNode(nullptr, BAD_CAST "source"), &xmlFreeNode);
    xmlNode* array = xmlNewChild(source.get(), nullptr, BAD_CAST "float_array", nullptr);
    xmlNewProp(array, BAD_CAST "count", BAD_CAST "2000000000");
    ColladaParsedArray* made = reader.StartElement(array, source.get());
    ASSERT_NE(made, nullptr);
    ColladaArrayReader::Reserve(*made, 1000);
    ASSERT_EQ(arrays.size(), 1u);
    EXPECT_LE(arrays.back().mFloats.capacity(), 500u);
    reader.EndElement(array);
}

TEST(ColladaParsedArrays, ReleasedNumbersReadAsFreedText) {
    const ColladaDocument document = Parse(FloatSource("1 2 3", "3"), ColladaArrayText::kParse);
    xmlNode* source = FindFirst(document.GetRoot(), "source");
    std::vector<double> values;
    EXPECT_TRUE(ReadSourceDoubles(source, values));
    ReleaseParsedArray(FindFirst(source, "float_array"));
    EXPECT_FALSE(ReadSourceDoubles(source, values));
}

}  // namespace
