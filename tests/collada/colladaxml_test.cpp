// The element routines: number and array parsing, lookups, reading sources
// and the fragments the writer builds (read back by the reading half).
#include <fbxfilesdk/collada/ColladaDocument.h>
#include <fbxfilesdk/collada/ColladaParsedArray.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/ColladaXmlSource.h>
#include <fbxfilesdk/collada/ColladaXmlWrite.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <gtest/gtest.h>

#include <libxml/parser.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::ColladaXml;

namespace {

std::vector<double> Floats(const char* text) {
    std::vector<double> values;
    const char* cursor = text;
    while (*SkipBlanks(cursor) != '\0') {
        values.push_back(ParseFloat(cursor));
    }
    return values;
}

// A parsed fragment; the root element is the first element of the text.
class Fragment {
public:
    explicit Fragment(const std::string& xml) {
        KString error;
        mDocument = ColladaDocument::ParseMemory(xml.data(), xml.size(), error);
        EXPECT_FALSE(mDocument.IsEmpty()) << error.Buffer();
    }
    xmlNode* Root() const { return mDocument.GetRoot(); }

private:
    ColladaDocument mDocument;
};

// A document of its own for the writing routines, saved to text.
class Output {
public:
    Output() : mDocument(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"))) {
        mRoot = xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>("root"));
        xmlDocSetRootElement(mDocument, mRoot);
    }
    ~Output() { xmlFreeDoc(mDocument); }
    xmlNode* Root() const { return mRoot; }
    std::string Text() const {
        xmlChar* text = nullptr;
        int size = 0;
        xmlDocDumpMemory(mDocument, &text, &size);
        std::string result(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
        xmlFree(text);
        return result;
    }

private:
    xmlDoc* mDocument;
    xmlNode* mRoot;
};

std::string Content(const xmlNode* element) { return GetContent(element).Buffer(); }

}  // namespace

TEST(ColladaXmlParse, FloatsFollowTheDecimalFormAndAreKeptInSinglePrecision) {
    EXPECT_EQ(Floats("1.5 -2 3.25E2 1.5e2"), (std::vector<double>{1.5, -2.0, 325.0, 150.0}));
    EXPECT_EQ(Floats("1e-3"), std::vector<double>{static_cast<double>(0.001f)});
    EXPECT_EQ(Floats("0.1"), std::vector<double>{static_cast<double>(0.1f)});
    EXPECT_NE(Floats("0.1")[0], 0.1);
    // A "+" is a sign, as the schema's number forms allow.
    EXPECT_EQ(Floats("+4"), std::vector<double>{4.0});
    // The rest of a token is passed over: one bad value never shifts the others.
    EXPECT_EQ(Floats("1,5 2"), (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(Floats("abc 3 1.5e"), (std::vector<double>{0.0, 3.0, 1.5}));
    EXPECT_EQ(Floats("1e40 -1e40 1e-60"),
              (std::vector<double>{HUGE_VAL, -HUGE_VAL, 0.0}));
    EXPECT_TRUE(std::isnan(Floats("NaN")[0]));
    EXPECT_EQ(Floats("-INF")[0], -HUGE_VAL);
}

TEST(ColladaXmlParse, TokensReadBitForBitAsFromCharsReadsThem) {
    std::vector<std::string> tokens = {"0", "-0", "0.0", "-0.000", "00012.5000", ".5", "5.", "-.25", "1e10", "1e-10",
                                       "1e11", "1e-11", "16777216", "16777217", "167772170", "1.6777217e7", "0.1",
                                       "3.4028235e38", "1e-45", "1.17549435e-38", "7e-46", "123456789", "1234567890",
                                       "0.000000000001", "9.999999e9", "1E+05", "2e0000003", "+0.5", "+-1", "1e",
                                       "1e+", "1.5x", "1..5", "-", ".", "1.0000000000000001", "12345678901234567890",
                                       "0.00000000000000000000001", "1.5.3", "-e5", "1e99999"};
    // Decimals of one to nine digits, leading and trailing zeros and a point anywhere,
    // with and without exponents, both signs.
    std::uint32_t state = 12345;
    const auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int round = 0; round < 20000; ++round) {
        std::string digits = std::to_string(next() % 1000000000u).substr(0, 1 + next() % 9);
        digits = std::string(next() % 3, '0') + digits + std::string(next() % 4, '0');
        const std::size_t point = next() % (digits.size() + 2);
        if (point <= digits.size()) {
            digits.insert(point, ".");
        }
        const int exponent = static_cast<int>(next() % 31) - 15;
        const std::string sign = next() % 2 == 0 ? "-" : "";
        tokens.push_back(sign + digits + (next() % 3 == 0 ? "e" + std::to_string(exponent) : ""));
    }
    for (const std::string& token : tokens) {
        const std::string text = token + " ";
        const char* tokenEnd = nullptr;
        const float fast = FloatTokenAt(text.data(), text.data() + text.size(), tokenEnd);
        const char* number = token[0] == '+' ? text.data() + 1 : text.data();
        float expected = 0.0f;
        const auto result = std::from_chars(number, text.data() + token.size(), expected);
        if (result.ec == std::errc() && result.ptr == text.data() + token.size()) {
            EXPECT_EQ(std::bit_cast<std::uint32_t>(fast), std::bit_cast<std::uint32_t>(expected)) << token;
        }
        EXPECT_EQ(static_cast<double>(fast), FloatOfToken(text.data(), text.data() + token.size())) << token;
        EXPECT_EQ(tokenEnd, text.data() + token.size()) << token;
    }
}

TEST(ColladaXmlParse, CursorRestsOnTheNextTokenOrTheEnd) {
    const char* text = "  7\r\n";
    const char* cursor = text;
    EXPECT_EQ(ParseFloat(cursor), 7.0);
    EXPECT_EQ(*cursor, '\0');
    EXPECT_EQ(ParseFloat(cursor), 0.0);
    const char* none = nullptr;
    EXPECT_EQ(ParseFloat(none), 0.0);
    EXPECT_EQ(ParseInt(none), 0);
    const char* tokens = " a\tbc\r\nd ";
    EXPECT_EQ(ParseToken(tokens), "a");
    EXPECT_EQ(ParseToken(tokens), "bc");
    EXPECT_EQ(ParseToken(tokens), "d");
    EXPECT_EQ(ParseToken(tokens), "");
}

TEST(ColladaXmlParse, IntegersSaturateAndCarriageReturnsSeparate) {
    std::vector<int> values;
    // A token that is no number reads as 0 and counts.
    EXPECT_EQ(ParseIntArray("12 -7 +5 1\r2 2147483648 -99999999999 x", values), 8);
    EXPECT_EQ(values, (std::vector<int>{12, -7, 5, 1, 2, INT_MAX, INT_MIN, 0}));
}

TEST(ColladaXmlParse, ColoursKeepWhatTheTextGivesAndDefaultToOne) {
    KFbxColor three = ParseColor("0.5 1.5 -1");
    EXPECT_EQ(three.mRed, 0.5);
    EXPECT_EQ(three.mGreen, 1.5);
    EXPECT_EQ(three.mBlue, -1.0);
    EXPECT_EQ(three.mAlpha, 1.0);
    EXPECT_EQ(ParseColor("0 0 0 0.25").mAlpha, 0.25);
    EXPECT_EQ(ParseColor("").mRed, 1.0);
    EXPECT_EQ(ParseColor(nullptr).mBlue, 1.0);
}

TEST(ColladaXmlParse, MatricesAreTransposedAndFormattedBack) {
    KgeMatrix translation;
    translation[3][0] = 1.0;
    translation[3][1] = 2.0;
    translation[3][2] = 3.0;
    const KString text = FormatMatrix(translation);
    EXPECT_STREQ(text.Buffer(),
                 "1.000000 0.000000 0.000000 1.000000 0.000000 1.000000 0.000000 2.000000 0.000000 0.000000 1.000000 "
                 "3.000000 0.000000 0.000000 0.000000 1.000000\n");
    KgeMatrix read;
    const char* cursor = text.Buffer();
    ParseMatrix(cursor, read);
    EXPECT_TRUE(read.IsEqual(translation));
    // Missing numbers read as 0.
    const char* shortText = "1 2";
    ParseMatrix(shortText, read);
    EXPECT_EQ(read[0][0], 1.0);
    EXPECT_EQ(read[1][0], 2.0);
    EXPECT_EQ(read[3][3], 0.0);
}

TEST(ColladaXmlParse, ArraysOverwriteThenAppendAndStopAtTheLimit) {
    std::vector<double> values{9.0, 9.0, 9.0};
    EXPECT_EQ(ParseDoubleArray("1 2", values), 2);
    EXPECT_EQ(values, (std::vector<double>{1.0, 2.0, 9.0}));
    EXPECT_EQ(ParseDoubleArray("1 2 3 4 5", values, 4), 4);
    EXPECT_EQ(values.size(), 4u);
    EXPECT_EQ(ParseDoubleArray("   ", values), 0);
    EXPECT_EQ(ParseDoubleArray(nullptr, values), 0);

    std::vector<KFbxVector2> uvs;
    EXPECT_EQ(ParseVector2Array("1 2 9 3 4 9 5", uvs, 3), 3);
    EXPECT_EQ(uvs[1][0], 3.0);
    EXPECT_EQ(uvs[2][0], 5.0);
    EXPECT_EQ(uvs[2][1], 0.0);  // a group once started is read whole

    std::vector<KFbxColor> colors;
    EXPECT_EQ(ParseColorArrayRGB("2 0.5 -1", colors), 1);
    EXPECT_EQ(colors[0].mRed, 1.0);  // clamped
    EXPECT_EQ(colors[0].mBlue, 0.0);
    EXPECT_EQ(colors[0].mAlpha, 1.0);

    KgeMatrixArray matrices;
    std::string sixteen;
    for (int k = 0; k < 16; ++k) {
        sixteen += std::to_string(k + 1) + " ";
    }
    EXPECT_EQ(ParseMatrixArray((sixteen + sixteen).c_str(), matrices), 2);
    const KgeMatrix first = matrices.GetAt(0);
    EXPECT_EQ(first[3][0], 4.0);  // the fourth number: translation x
    EXPECT_EQ(first[0][3], 0.0);  // the last column is the transform's
    EXPECT_EQ(first[3][3], 1.0);
}

TEST(ColladaXmlLookup, FindsElementsByNameIdAndProfile) {
    Fragment fragment(
        "<a><!-- c --><b id=''/><b id='x'>t<i>u</i></b><technique profile='MAYA'/><technique profile='Z'/>"
        "<array/><float_array/><input offset='3'/><input/></a>");
    xmlNode* root = fragment.Root();
    int count = 0;
    for (xmlNode* child : ChildElements(root)) {
        count += child != nullptr ? 1 : 0;
    }
    EXPECT_EQ(count, 8);
    EXPECT_EQ(FindChildById(root, "x"), FindChild(root, "b")->next);
    EXPECT_EQ(FindChildById(root, ""), nullptr);
    EXPECT_EQ(Content(FindChildById(root, "x")), "tu");
    EXPECT_TRUE(HasAttributeValue(FindTechniqueByProfile(root, "Z"), "profile", "Z"));
    EXPECT_EQ(FindTechnique(root), FindTechniqueByProfile(root, "MAYA"));
    EXPECT_TRUE(IsNamed(FindArrayElement(root, "float"), "array"));
    EXPECT_EQ(GetArrayElementName("bool"), "bool_array");
    EXPECT_EQ(GetArrayElementName("float4x4"), "");
    std::vector<xmlNode*> inputs;
    FindChildren(root, "input", inputs);
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(GetInputOffset(inputs[0]), 3);
    EXPECT_EQ(GetInputOffset(inputs[1]), 0);
    EXPECT_TRUE(GetAttribute(root, "absent").IsOK());
    EXPECT_EQ(GetAttribute(root, "absent"), "");
    EXPECT_EQ(GetAttribute(nullptr, "id"), "");
    // The attribute libxml2 reads, whatever its text is made of.
    Fragment spaced("<a xmlns:n='u' n:id='spaced' id='plain' e='' r='x&amp;y'><b id='plain' n:id='spaced'/></a>");
    for (const xmlNode* element : {spaced.Root(), FindChild(spaced.Root(), "b")}) {
        for (const char* name : {"id", "e", "r", "absent"}) {
            xmlChar* expected = xmlGetProp(element, reinterpret_cast<const xmlChar*>(name));
            EXPECT_EQ(GetAttribute(element, name), expected != nullptr ? reinterpret_cast<const char*>(expected) : "");
            xmlFree(expected);
        }
    }
}

TEST(ColladaXmlLookup, UrlReferencesKeepTheIdAfterTheHash) {
    Fragment fragment("<a><i url='#geo'/><i url='other.dae#geo'/><i url='geo'/><i/></a>");
    std::vector<xmlNode*> instances;
    FindChildren(fragment.Root(), "i", instances);
    EXPECT_EQ(GetUrlReference(instances[0]).mId, "geo");
    EXPECT_EQ(GetUrlReference(instances[1]).mId, "geo");
    EXPECT_EQ(GetUrlReference(instances[1]).mUrl, "other.dae#geo");
    EXPECT_EQ(GetUrlReference(instances[2]).mId, "");
    EXPECT_EQ(GetUrlReference(instances[3]).mUrl, "");
    EXPECT_EQ(GetReferenceId(instances[0], "url"), "geo");
}

TEST(ColladaXmlSource, CountsAndStridesMustMatchTheArray) {
    Fragment fragment(
        "<m>"
        "<source id='d'><float_array>1 2 3 4 5</float_array><technique_common>"
        "<accessor count='2' stride='3'/></technique_common></source>"
        "<source id='c2'><float_array>1 1</float_array><technique_common>"
        "<accessor count='1' stride='2'/></technique_common></source>"
        "<source id='cn'><float_array>1 1 1</float_array><technique_common>"
        "<accessor stride='3'/></technique_common></source>"
        "<source id='uv'><float_array>1 2</float_array><technique_common>"
        "<accessor count='2'/></technique_common></source>"
        "<source id='neg'><float_array>1</float_array><technique_common>"
        "<accessor count='-1'/></technique_common></source>"
        "<source id='big'><float_array>1</float_array><technique_common>"
        "<accessor count='2147483647' stride='3'/></technique_common></source>"
        "<source id='zero'><float_array></float_array><technique_common>"
        "<accessor count='1000000000' stride='0'/></technique_common></source>"
        "<source id='n'><IDREF_array>j1 j2</IDREF_array><technique_common>"
        "<accessor count='2'/></technique_common></source>"
        "</m>");
    xmlNode* root = fragment.Root();
    std::vector<double> doubles{7.0};
    EXPECT_FALSE(ReadSourceDoubles(FindChildById(root, "d"), doubles));
    EXPECT_EQ(doubles, std::vector<double>{7.0});
    std::vector<KFbxColor> colors(3);
    EXPECT_FALSE(ReadSourceColors(FindChildById(root, "c2"), colors));
    EXPECT_EQ(colors.size(), 3u);
    EXPECT_TRUE(ReadSourceColors(FindChildById(root, "cn"), colors));
    EXPECT_EQ(colors.size(), 3u);
    std::vector<KFbxVector2> uvs;
    EXPECT_FALSE(ReadSourceVector2(FindChildById(root, "uv"), uvs));
    // Counts the text cannot hold are refused before anything is sized.
    std::vector<KFbxVector4> vectors;
    EXPECT_FALSE(ReadSourceVector3(FindChildById(root, "neg"), vectors));
    EXPECT_FALSE(ReadSourceVector3(FindChildById(root, "big"), vectors));
    EXPECT_FALSE(ReadSourceDoubles(FindChildById(root, "zero"), doubles));
    EXPECT_TRUE(vectors.empty());
    std::vector<KString> names;
    EXPECT_TRUE(ReadSourceNames(FindChildById(root, "n"), names));
    EXPECT_EQ(names[1], "j2");
    EXPECT_FALSE(ReadSourceNames(nullptr, names));
}

TEST(ColladaXmlWrite, InputsAndTechniquesCarryOnlyWhatIsGiven) {
    Output out;
    AddInput(out.Root(), "VERTEX", nullptr, -1, -1);
    AddInput(out.Root(), "TEXCOORD", "uv", 2, 1);
    AddTechnique(out.Root(), "MAYA");
    const std::string text = out.Text();
    EXPECT_NE(text.find("<input semantic=\"VERTEX\"/>"), std::string::npos);
    EXPECT_NE(text.find("<input semantic=\"TEXCOORD\" offset=\"2\" set=\"1\" source=\"#uv\"/>"), std::string::npos);
    EXPECT_NE(text.find("<technique profile=\"MAYA\"/>"), std::string::npos);
}

TEST(ColladaXmlWrite, ArrayTextLayouts) {
    Output out;
    std::vector<double> values;
    for (int k = 0; k < 17; ++k) {
        values.push_back(k);
    }
    AddDoubleArray(out.Root(), "d", values);
    AddColor(out.Root(), "diffuse", KFbxColor(0.5, 0.25, 1.0, 0.3));
    const std::vector<KString> names(12, KString("joint_000"));
    AddNameArray(out.Root(), "n", names, "name");
    const std::string text = out.Text();
    EXPECT_NE(text.find("count=\"17\">\n0.000000 1.000000"), std::string::npos);
    EXPECT_NE(text.find("15.000000\n16.000000\n</float_array>"), std::string::npos);
    EXPECT_NE(text.find("<color sid=\"diffuse\">0.500000 0.250000 1.000000 1.000000</color>"), std::string::npos);
    // Seven names of nine characters fill a line of 63; the eighth starts a new one.
    EXPECT_NE(text.find(
                  "\n joint_000 joint_000 joint_000 joint_000 joint_000 joint_000 joint_000\njoint_000 joint_000"),
              std::string::npos);
}

TEST(ColladaXmlWrite, NumbersIgnoreTheLocaleAndNonFiniteValuesStayValid) {
    // Under a comma-decimal locale (when one is installed) the text is the same.
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(FormatNumber(1.0), "1.000000");
    if (previous != nullptr) {
        std::setlocale(LC_NUMERIC, "C");
    }
    EXPECT_EQ(FormatNumber(-2.5), "-2.500000");
    EXPECT_EQ(FormatNumber(1e300).GetLen(), 308);
    EXPECT_EQ(FormatNumber(HUGE_VAL), "INF");
    EXPECT_EQ(FormatNumber(-HUGE_VAL), "-INF");
    EXPECT_EQ(FormatNumber(std::nan("")), "NaN");
}

TEST(ColladaXmlWrite, SourcesReadBackThroughTheReadingRoutines) {
    Output out;
    const std::vector<KFbxVector4> points{{1, 2, 3, 0}, {-4, 5.5, 6, 0}};
    const std::vector<KFbxVector2> uvs{{0.25, 0.75}};
    const std::vector<KFbxColor> colors{KFbxColor(0.1, 0.2, 0.3, 0.4)};
    const std::vector<KString> names{KString("a&b"), KString("c<d")};
    const std::vector<KString> params{KString("X"), KString("Y")};
    const std::vector<double> pairs{1, 2, 3, 4};
    KgeMatrixArray matrices;
    KgeMatrix placed;
    placed.SetTRS(KFbxVector4(1, 2, 3, 0), KFbxVector4(10, 20, 30, 0), KFbxVector4(1, 2, 3, 0));
    matrices.Add(placed);
    AddVector3Source(out.Root(), "p", points);
    AddVector2Source(out.Root(), "t", uvs);
    AddColorSource(out.Root(), "c", colors);
    AddNameSource(out.Root(), "n", names, "name", true);
    AddFloatSource(out.Root(), "f", params, pairs, true);
    AddMatrixSource(out.Root(), "m", matrices);
    // Through the saved text, as a reader meets it.
    Fragment back(out.Text());
    xmlNode* root = back.Root();
    std::vector<KFbxVector4> pointsBack;
    ASSERT_TRUE(ReadSourceVector3(FindChildById(root, "p"), pointsBack));
    EXPECT_EQ(pointsBack[1][1], 5.5);
    std::vector<KFbxVector2> uvsBack;
    ASSERT_TRUE(ReadSourceVector2(FindChildById(root, "t"), uvsBack));
    EXPECT_EQ(uvsBack[0][1], 0.75);
    std::vector<KFbxColor> colorsBack;
    ASSERT_TRUE(ReadSourceColors(FindChildById(root, "c"), colorsBack));
    EXPECT_NEAR(colorsBack[0].mAlpha, 0.4, 1e-6);
    std::vector<KString> namesBack;
    ASSERT_TRUE(ReadSourceNames(FindChildById(root, "n"), namesBack));
    EXPECT_EQ(namesBack[0], "a&b");
    EXPECT_EQ(namesBack[1], "c<d");
    std::vector<double> pairsBack;
    ASSERT_TRUE(ReadSourceDoubles(FindChildById(root, "f"), pairsBack));
    EXPECT_EQ(pairsBack, pairs);
    KgeMatrixArray matricesBack;
    ASSERT_TRUE(ReadSourceMatrices(FindChildById(root, "m"), matricesBack));
    EXPECT_EQ(KgeMatrix::CompareWithTolerance(matricesBack.GetAt(0), placed, 1e-5), 0);
}

namespace {

std::string Owned(xmlChar* text) {
    std::string result = text != nullptr ? reinterpret_cast<const char*>(text) : "<null>";
    xmlFree(text);
    return result;
}

std::string Name(const xmlChar* name) { return name != nullptr ? reinterpret_cast<const char*>(name) : "<null>"; }

std::string NamespaceOf(const xmlNs* ns) { return ns != nullptr ? Name(ns->prefix) + "=" + Name(ns->href) : ""; }

// The tree from got on as the readers see it is the tree from want on:
// names, namespaces, attribute values, text and node types, in order. An
// element with parsed numbers has no text to compare.
void ExpectSameNodes(const xmlNode* want, const xmlNode* got, const std::string& path) {
    for (; want != nullptr || got != nullptr; want = want->next, got = got->next) {
        ASSERT_TRUE(want != nullptr && got != nullptr) << path << ": " << (want != nullptr ? "missing" : "extra")
                                                       << " node " << Name((want != nullptr ? want : got)->name);
        const std::string at = path + "/" + Name(want->name);
        ASSERT_EQ(got->type, want->type) << at;
        EXPECT_EQ(Name(got->name), Name(want->name)) << at;
        if (want->type != XML_ELEMENT_NODE) {
            EXPECT_EQ(Owned(xmlNodeGetContent(got)), Owned(xmlNodeGetContent(want))) << at;
            continue;
        }
        EXPECT_EQ(NamespaceOf(got->ns), NamespaceOf(want->ns)) << at;
        for (const xmlNs *wantNs = want->nsDef, *gotNs = got->nsDef; wantNs != nullptr || gotNs != nullptr;
             wantNs = wantNs->next, gotNs = gotNs->next) {
            ASSERT_TRUE(wantNs != nullptr && gotNs != nullptr) << at;
            EXPECT_EQ(NamespaceOf(gotNs), NamespaceOf(wantNs)) << at;
        }
        const xmlAttr* gotAttribute = got->properties;
        for (const xmlAttr* attribute = want->properties; attribute != nullptr; attribute = attribute->next) {
            ASSERT_NE(gotAttribute, nullptr) << at << " @" << Name(attribute->name);
            EXPECT_EQ(Name(gotAttribute->name), Name(attribute->name)) << at;
            EXPECT_EQ(NamespaceOf(gotAttribute->ns), NamespaceOf(attribute->ns)) << at;
            EXPECT_EQ(Owned(xmlGetProp(got, attribute->name)), Owned(xmlGetProp(want, attribute->name))) << at;
            EXPECT_EQ(Owned(xmlNodeGetContent(reinterpret_cast<const xmlNode*>(gotAttribute))),
                      Owned(xmlNodeGetContent(reinterpret_cast<const xmlNode*>(attribute))))
                << at << " @" << Name(attribute->name);
            gotAttribute = gotAttribute->next;
        }
        EXPECT_EQ(gotAttribute, nullptr) << at;
        if (GetParsedArray(got) == nullptr) {
            ExpectSameNodes(want->children, got->children, at);
        }
    }
}

// The document as libxml2 builds it, with the options ColladaDocument parses with.
std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> PlainParse(const std::string& xml) {
    constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOBLANKS | XML_PARSE_COMPACT |
                             XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    return {xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, kOptions), &xmlFreeDoc};
}

ColladaDocument StreamParse(const std::string& xml, KString& error, ColladaArrayText arrays) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    EXPECT_NE(file, nullptr);
    EXPECT_EQ(std::fwrite(xml.data(), 1, xml.size(), file.get()), xml.size());
    std::rewind(file.get());
    return ColladaDocument::ParseStream(file.get(), "stream.dae", error, arrays);
}

// Every way of parsing it gives libxml2's own tree.
void ExpectLibxml2Tree(const std::string& xml, const std::string& label) {
    const auto plain = PlainParse(xml);
    ASSERT_NE(plain, nullptr) << label;
    const xmlNode* want = xmlDocGetRootElement(plain.get());
    for (const ColladaArrayText arrays : {ColladaArrayText::kKeep, ColladaArrayText::kParse}) {
        KString error;
        const ColladaDocument fromMemory = ColladaDocument::ParseMemory(xml.data(), xml.size(), error, arrays);
        const ColladaDocument fromStream = StreamParse(xml, error, arrays);
        for (const ColladaDocument* document : {&fromMemory, &fromStream}) {
            ASSERT_FALSE(document->IsEmpty()) << label << ": " << error.Buffer();
            ExpectSameNodes(want, document->GetRoot(), label);
        }
    }
}

std::string LongText(char letter, std::size_t size) {
    std::string text;
    while (text.size() < size) {
        text += std::string(1, letter) + std::to_string(text.size()) + " \n";
    }
    return text;
}

const std::vector<std::string> kCraftedDocuments = {
    "<a x='1&amp;2&#x41;&lt;&#10;z' y=\"\t b\n\" e=''>&amp; &#x41;&gt; t<b/>&#65;</a>",
    "<?xml version='1.0'?><!--before--><?pi before?><a><![CDATA[ <c> ]]>t<!-- c --><?pi x?><![CDATA[]]>u</a>"
    "<!--after--><?after?>",
    "<a>text <b>bold</b> tail<c> </c>\n  <d>\n  </d>  <e>  x  </e>\"</a>",
    "<a>\n  <b>\n    <c/>\n  </b>\n  <d> </d><d>'</d><d>\"\"</d><d>&lt;</d>\n</a>",
    "<a><short>abc</short><mid>abcdefghijklmno</mid><sixteen>abcdefghijklmnop</sixteen><long>" +
        LongText('w', 200000) + "</long></a>",
    "<COLLADA><source><float_array count='5'>" + LongText('1', 100000) + "</float_array></source>"
    "<triangles count='1'><p>0 1 2</p></triangles></COLLADA>",
    "<a xmlns='urn:d' xmlns:n='urn:n' n:x='1' x='2'><n:b xmlns:m='urn:m' m:y='3'/><c xmlns=''/></a>",
    "<a xmlns='urn:d' xmlns:p='urn:p1'><b><p:c><p:d xmlns:p='urn:p2'><p:e/><f/></p:d><p:g/></p:c></b>"
    "<h xmlns='urn:e'><i><p:k/></i></h><j/></a>",
    "<!DOCTYPE a [<!ATTLIST a d CDATA 'def' i ID #IMPLIED t NMTOKENS #IMPLIED><!ELEMENT a ANY>]>"
    "<a i=' v ' t='  p   q '/>",
    "<a xml:lang='en' xml:space='preserve'>  <b/>  </a>",
    "\xEF\xBB\xBF<a>\xC3\xA9t\xC3\xA9 &#x20AC;</a>",
    "<a><u:b u:x='1' y='&#38;'/><![CDATA[c]]><![CDATA[d]]>e<!--x-->f<g xml:id='i1'/></a>",
    "<!DOCTYPE a SYSTEM 'absent.dtd'><a x='1&e;2'>t&e;u&#x26;</a>",
};

}  // namespace

TEST(ColladaDocument, TreesAreTheTreesLibxml2Builds) {
    for (std::size_t at = 0; at < kCraftedDocuments.size(); ++at) {
        ExpectLibxml2Tree(kCraftedDocuments[at], "crafted " + std::to_string(at));
    }
    const std::filesystem::path models = "/usr/share/assimp/models/Collada";
    std::error_code absent;
    for (const auto& entry : std::filesystem::directory_iterator(models, absent)) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (extension == ".dae") {
            std::ifstream file(entry.path(), std::ios::binary);
            ExpectLibxml2Tree(std::string(std::istreambuf_iterator<char>(file), {}), entry.path().filename());
        }
    }
}

TEST(ColladaDocument, EachOfSeveralParsesOnAThreadIsAFreshParse) {
    // More names than a thread keeps between parses: the next parse starts over.
    std::string manyNames = "<a>";
    for (int name = 0; name < 6000; ++name) {
        manyNames += "<n" + std::to_string(name) + " v='" + std::to_string(name) + "'/>";
    }
    manyNames += "</a>";
    const std::vector<std::string> documents = {
        kCraftedDocuments[0],
        "<a><b></a>",
        kCraftedDocuments[6],
        "<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>",
        manyNames,
        kCraftedDocuments[2],
        "<a>\n<b/>\n<c x='1' x='2'/></a>",
        "",
        kCraftedDocuments[5],
    };
    // Documents stay while the next ones are parsed.
    std::vector<ColladaDocument> kept;
    for (const std::string& xml : documents) {
        KString error;
        kept.push_back(ColladaDocument::ParseMemory(xml.data(), xml.size(), error, ColladaArrayText::kParse));
        KString freshError;
        bool freshEmpty = false;
        std::thread([&] {
            freshEmpty =
                ColladaDocument::ParseMemory(xml.data(), xml.size(), freshError, ColladaArrayText::kParse).IsEmpty();
        }).join();
        EXPECT_EQ(kept.back().IsEmpty(), freshEmpty) << xml;
        EXPECT_STREQ(error.Buffer(), freshError.Buffer()) << xml;
        EXPECT_EQ(error.IsEmpty(), !freshEmpty) << xml;
    }
    for (std::size_t at = 0; at < documents.size(); ++at) {
        if (!kept[at].IsEmpty()) {
            const auto plain = PlainParse(documents[at]);
            ExpectSameNodes(xmlDocGetRootElement(plain.get()), kept[at].GetRoot(), documents[at]);
        }
    }
}

namespace {

// The SDK heap refuses every block above a size, as a full heap would.
std::size_t gLargestBlock = SIZE_MAX;
void* RefusingMalloc(std::size_t size) { return size > gLargestBlock ? nullptr : std::malloc(size); }
void* RefusingCalloc(std::size_t count, std::size_t size) {
    return size != 0 && count > gLargestBlock / size ? nullptr : std::calloc(count, size);
}
void* RefusingRealloc(void* block, std::size_t size) {
    return size > gLargestBlock ? nullptr : std::realloc(block, size);
}

}  // namespace

TEST(ColladaDocument, ATreeThatFindsNoMemoryIsRefusedWholeNeverCutShort) {
    // Records past the first block of the tree's memory, and a text grown past it.
    std::string records = "<a>";
    for (int element = 0; element < 500; ++element) {
        records += "<b x='" + std::to_string(element) + "'>t</b>";
    }
    records += "</a>";
    for (const std::string& xml : {records, kCraftedDocuments[4]}) {
        for (const std::size_t largest : {std::size_t{0}, std::size_t{8192}, std::size_t{SIZE_MAX}}) {
            gLargestBlock = largest;
            ASSERT_TRUE(SdkSetAllocators(&RefusingMalloc, &RefusingCalloc, &RefusingRealloc, &std::free));
            KString error;
            const ColladaDocument document =
                ColladaDocument::ParseMemory(xml.data(), xml.size(), error, ColladaArrayText::kParse);
            SdkSetAllocators(&std::malloc, &std::calloc, &std::realloc, &std::free);
            if (largest == SIZE_MAX) {
                ASSERT_FALSE(document.IsEmpty()) << error.Buffer();
                ExpectSameNodes(xmlDocGetRootElement(PlainParse(xml).get()), document.GetRoot(), "records");
            } else {
                EXPECT_TRUE(document.IsEmpty()) << largest;
                EXPECT_STREQ(error.Buffer(), "out of memory") << largest;
            }
        }
    }
}
