#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

namespace fbxsdk_2006_11_1 {

// Readable failure messages.
void PrintTo(const KString& s, std::ostream* out) {
    if (!s.IsOK()) {
        *out << "<invalid>";
    } else {
        *out << '"' << std::string(s.Buffer(), static_cast<std::size_t>(s.GetLen())) << '"';
    }
}

namespace {

// Built during static initialisation, before main.
const KString gStaticName("built before main");

// Records SDK heap requests and can refuse them.
struct HeapProbe {
    static inline int mallocCount = 0;
    static inline std::size_t lastSize = 0;
    static inline bool fail = false;

    static void* Malloc(std::size_t size) {
        ++mallocCount;
        lastSize = size;
        return fail ? nullptr : std::malloc(size);
    }
    static void* Calloc(std::size_t count, std::size_t size) { return fail ? nullptr : std::calloc(count, size); }
    static void* Realloc(void* block, std::size_t size) { return fail ? nullptr : std::realloc(block, size); }
    static void Free(void* block) { std::free(block); }
};

class KStringHeap : public ::testing::Test {
protected:
    void SetUp() override {
        HeapProbe::mallocCount = 0;
        HeapProbe::lastSize = 0;
        HeapProbe::fail = false;
        ASSERT_TRUE(SdkSetAllocators(&HeapProbe::Malloc, &HeapProbe::Calloc, &HeapProbe::Realloc, &HeapProbe::Free));
    }
    void TearDown() override { SdkSetAllocators(&std::malloc, &std::calloc, &std::realloc, &std::free); }
};

bool IsInline(const KString& s) {
    const char* text = s.Buffer();
    const char* self = reinterpret_cast<const char*>(&s);
    return text >= self && text < self + sizeof(KString);
}

// --- Storage rule -----------------------------------------------------------

TEST_F(KStringHeap, SixtyTwoCharactersStayInline) {
    const std::string text(62, 'x');
    KString s(text.c_str());
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(HeapProbe::mallocCount, 0);
    EXPECT_EQ(s.GetLen(), 62);
    // Copies and the empty text are kept the same way.
    const KString copy(s);
    const KString empty("");
    EXPECT_TRUE(IsInline(copy));
    EXPECT_TRUE(IsInline(empty));
    EXPECT_EQ(HeapProbe::mallocCount, 0);
    EXPECT_STREQ(copy.Buffer(), text.c_str());
    EXPECT_TRUE(empty.IsOK() && empty.IsEmpty());
}

TEST_F(KStringHeap, SixtyThreeCharactersTakeAnExactHeapBlock) {
    const std::string text(63, 'x');
    KString s(text.c_str());
    EXPECT_FALSE(IsInline(s));
    EXPECT_EQ(HeapProbe::mallocCount, 1);
    EXPECT_EQ(HeapProbe::lastSize, 64u);
    EXPECT_STREQ(s.Buffer(), text.c_str());
    const KString copy(s);
    EXPECT_FALSE(IsInline(copy));
    EXPECT_EQ(HeapProbe::mallocCount, 2);
    EXPECT_STREQ(copy.Buffer(), text.c_str());
}

TEST_F(KStringHeap, AppendingGrowsByHalfAgainSoThatManyAppendsStayLinear) {
    KString s(std::string(100, 'a').c_str());
    s += 'b';
    EXPECT_EQ(HeapProbe::mallocCount, 2);
    EXPECT_EQ(HeapProbe::lastSize, 151u);
    s += "cd";
    EXPECT_EQ(HeapProbe::mallocCount, 2);
    EXPECT_EQ(s.GetLen(), 103);
    // A message of a hundred thousand warnings: a few dozen blocks, not one
    // per warning; appending a string to itself survives every move.
    for (int i = 0; i < 100000; ++i) {
        s += "warning\n";
    }
    EXPECT_LT(HeapProbe::mallocCount, 40);
    s += s;
    EXPECT_EQ(s.GetLen(), 2 * (103 + 800000));
    EXPECT_EQ(std::string(s.Buffer() + 103, 8), "warning\n");
    EXPECT_EQ(std::string(s.Buffer() + s.GetLen() - 8, 8), "warning\n");
    // Assignment still takes just what it needs.
    KString t;
    t = std::string(200, 'x').c_str();
    EXPECT_EQ(HeapProbe::lastSize, 201u);
}

TEST_F(KStringHeap, ShrinkingBackToInlineFreesTheHeapBlock) {
    KString s(std::string(100, 'a').c_str());
    s = "short";
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(s, "short");
}

TEST(KStringState, DefaultStringsShareTheEmptyText) {
    KString a;
    KString b;
    EXPECT_EQ(a.Buffer(), b.Buffer());
    EXPECT_TRUE(a.IsOK());
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_STREQ(a.Buffer(), "");
}

TEST(KStringState, UsableDuringStaticInitialisation) {
    EXPECT_TRUE(gStaticName.IsOK());
    EXPECT_EQ(gStaticName, "built before main");
}

TEST(KStringState, BytesAreKeptAsTheyAreIncludingZeros) {
    KString s("a\0b", 3);
    EXPECT_EQ(s.GetLen(), 3);
    EXPECT_EQ(s[2], 'b');
    KString copy(s);
    EXPECT_EQ(copy.GetLen(), 3);
    EXPECT_EQ(copy[2], 'b');
}

TEST(KStringState, RepeatedCharacter) {
    EXPECT_EQ(KString('z', 3), "zzz");
    EXPECT_TRUE(KString('z', 0).IsEmpty());
    EXPECT_TRUE(KString('z', -4).IsOK());
    EXPECT_EQ(KString('q', 70).GetLen(), 70);
}

TEST(KStringState, SetLengthMakesRoomAndTerminates) {
    KString s("old content");
    ASSERT_TRUE(s.SetLength(80));
    EXPECT_EQ(s.GetLen(), 80);
    EXPECT_EQ(s.Buffer()[80], 0);
    std::memset(s.Buffer(), 'k', 80);
    EXPECT_EQ(s.Find('k', 79), 79);
    EXPECT_FALSE(s.SetLength(-1));
    EXPECT_FALSE(s.IsOK());
}

TEST(KStringState, ClearEndsTheInvalidState) {
    KString s(static_cast<const char*>(nullptr));
    s.Clear();
    EXPECT_TRUE(s.IsOK());
    EXPECT_TRUE(s.IsEmpty());
}

// --- Invalid state ------------------------------------------------------------

TEST(KStringInvalid, NullSourceToConstructorAssignmentAndAppend) {
    const char* none = nullptr;
    KString built(none);
    EXPECT_FALSE(built.IsOK());
    EXPECT_STREQ(built.Buffer(), "");
    EXPECT_EQ(built.GetLen(), 0);

    EXPECT_FALSE(KString(none, 3).IsOK());
    EXPECT_FALSE(KString("abc", -1).IsOK());

    EXPECT_FALSE((KString("abc") = none).IsOK());
    EXPECT_FALSE((KString("abc") += none).IsOK());
}

TEST(KStringInvalid, SpreadsThroughCopiesAndConcatenation) {
    const KString invalid(static_cast<const char*>(nullptr));
    const KString valid("ok");
    EXPECT_FALSE(KString(invalid).IsOK());
    EXPECT_FALSE((valid + invalid).IsOK());
    EXPECT_FALSE((invalid + valid).IsOK());
    EXPECT_FALSE((valid + static_cast<const char*>(nullptr)).IsOK());

    EXPECT_FALSE((KString("x") = invalid).IsOK());
    EXPECT_FALSE((KString("x") += invalid).IsOK());
}

TEST(KStringInvalid, ReadsAsEmptyInComparisonsAndSearches) {
    const KString invalid(static_cast<const char*>(nullptr));
    EXPECT_EQ(invalid.Compare(""), 0);
    EXPECT_TRUE(invalid == "");
    EXPECT_EQ(invalid.Find('a'), -1);
    EXPECT_EQ(invalid.Find("a"), -1);
    EXPECT_EQ(invalid.GetTokenCount(","), 0);
    EXPECT_TRUE(invalid.GetToken(0, ",").IsOK());
}

TEST(KStringInvalid, AppendDoesNothingAndDerivedStringsAreInvalid) {
    KString invalid(static_cast<const char*>(nullptr));
    EXPECT_FALSE(invalid.AppendCopy(2, "ab"));
    invalid += 'c';
    invalid += 5;
    EXPECT_FALSE(invalid.IsOK());
    EXPECT_EQ(invalid.GetLen(), 0);
    EXPECT_FALSE(invalid.Mid(0).IsOK());
    EXPECT_FALSE(invalid.Trim(2).IsOK());
    EXPECT_FALSE(invalid.Upper().IsOK());
    EXPECT_FALSE(invalid.FindAndReplace("", "x"));
}

TEST(KStringInvalid, LeftByAnySuccessfulAssignment) {
    KString s(static_cast<const char*>(nullptr));
    s = KString("back");
    EXPECT_TRUE(s.IsOK());
    EXPECT_EQ(s, "back");
}

TEST_F(KStringHeap, FailedAllocationMakesTheStringInvalid) {
    HeapProbe::fail = true;
    KString s(std::string(100, 'a').c_str());
    EXPECT_FALSE(s.IsOK());
    EXPECT_EQ(s.GetLen(), 0);

    HeapProbe::fail = false;
    KString grown(std::string(60, 'a').c_str());
    HeapProbe::fail = true;
    grown += "four";
    EXPECT_FALSE(grown.IsOK());
    EXPECT_FALSE(grown.SetLength(500));
    EXPECT_EQ(KString::Create(), nullptr);
}

TEST_F(KStringHeap, FailedReplaceLeavesTheStringUnchanged) {
    KString s("abc");
    HeapProbe::fail = true;
    EXPECT_FALSE(s.FindAndReplace("b", std::string(200, 'y').c_str()));
    EXPECT_EQ(s, "abc");
}

// --- Self-assignment and self-append ---------------------------------------

TEST(KStringAliasing, AppendingToItselfDoublesTheText) {
    KString shortText("abc");
    shortText += shortText;
    EXPECT_EQ(shortText, "abcabc");

    KString crossing(std::string(40, 'm').c_str());
    crossing += crossing;
    EXPECT_EQ(crossing, std::string(80, 'm').c_str());

    KString longText(std::string(100, 'n').c_str());
    longText += longText;
    EXPECT_EQ(longText.GetLen(), 200);
    EXPECT_EQ(longText, std::string(200, 'n').c_str());

    KString raw("xy");
    raw.AppendCopy(raw.GetLen(), raw.Buffer());
    EXPECT_EQ(raw, "xyxy");
}

TEST(KStringAliasing, AssigningItselfOrAPartOfItself) {
    KString same("same");
    const KString& alias = same;
    same = alias;
    EXPECT_EQ(same, "same");

    KString inlineText("abcdefgh");
    inlineText = inlineText.Buffer() + 2;
    EXPECT_EQ(inlineText, "cdefgh");

    const std::string longSource = std::string(70, 'p') + "tail";
    KString heapText(longSource.c_str());
    heapText = heapText.Buffer() + 3;
    EXPECT_EQ(heapText, longSource.c_str() + 3);
    heapText = heapText.Buffer() + 60;
    EXPECT_EQ(heapText, "ppppppptail");

    KString joined("left");
    joined.ConcatCopy(2, joined.Buffer() + 2, 4, joined.Buffer());
    EXPECT_EQ(joined, "ftleft");
}

// --- Numbers ------------------------------------------------------------------

std::string Printed(const char* format, double value) {
    char text[400];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

TEST(KStringNumbers, IntegersPrintLikePercentD) {
    EXPECT_EQ(KString(0), "0");
    EXPECT_EQ(KString(-2147483647 - 1), "-2147483648");
    KString s("n=");
    s += 2147483647;
    EXPECT_EQ(s, "n=2147483647");
    EXPECT_EQ(KString("v") + 42, "v42");
    s = -7;
    EXPECT_EQ(s, "-7");
}

TEST(KStringNumbers, DoublesPrintLikePercentFForTheWholeRange) {
    EXPECT_EQ(KString(1.5), "1.500000");
    EXPECT_EQ(KString(-0.0000004), "-0.000000");
    for (double value : {1e43, 1e300, -DBL_MAX, DBL_MAX, DBL_MIN, 123456.7890125}) {
        const KString s(value);
        EXPECT_EQ(s, Printed("%f", value).c_str()) << value;
    }
    EXPECT_EQ(KString(-DBL_MAX).GetLen(), 317);
    KString assigned;
    assigned = 2.25;
    EXPECT_EQ(assigned, "2.250000");
}

TEST(KStringNumbers, PointIsDotWhateverTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr && std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    const KString s(0.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(s, "0.500000");
}

// --- Comparison ---------------------------------------------------------------

TEST(KStringCompare, ByteWiseUnsignedAndCaseFolding) {
    EXPECT_EQ(KString("a").Compare("b"), -1);
    EXPECT_EQ(KString("b").Compare("a"), 1);
    EXPECT_EQ(KString("\xe9").Compare("a"), 1);
    EXPECT_EQ(KString("").Compare(nullptr), 0);
    EXPECT_EQ(KString("a").Compare(nullptr), 1);
    EXPECT_EQ(KString("ABC").CompareNoCase("abc"), 0);
    EXPECT_LT(KString("abc").CompareNoCase("ABD"), 0);
    EXPECT_GT(KString("x").CompareNoCase(nullptr), 0);
    EXPECT_TRUE(KString("a") != "b");
    EXPECT_TRUE(KString("a") == KString("a"));
    EXPECT_FALSE(KString("a") != KString("a"));
}

// --- Search -------------------------------------------------------------------

TEST(KStringSearch, IndexPastTheLengthGivesAZeroByte) {
    KString s("abc");
    EXPECT_EQ(s[1], 'b');
    EXPECT_EQ(s[5], 0);
    s[7] = 'X';
    EXPECT_EQ(s[9], 0);
    EXPECT_EQ(s[-1], 0);
    s[0] = 'A';
    EXPECT_EQ(s, "Abc");
}

TEST(KStringSearch, FindClampsTheStart) {
    const KString s("abcabc");
    EXPECT_EQ(s.Find('c'), 2);
    EXPECT_EQ(s.Find('c', 3), 5);
    EXPECT_EQ(KString("abc").Find('c', 99), -1);
    EXPECT_EQ(s.Find('\0', 99), 6);
    EXPECT_EQ(s.ReverseFind('a'), 3);
    EXPECT_EQ(s.ReverseFind('z'), -1);
    EXPECT_EQ(s.Find("ca"), 2);
    EXPECT_EQ(s.Find("bc", 2), 4);
    EXPECT_EQ(s.Find("bc", 99), -1);
    EXPECT_EQ(s.Find(""), 0);
    EXPECT_EQ(s.Find(static_cast<const char*>(nullptr), 3), 0);
    EXPECT_EQ(s.FindOneOf("xc"), 2);
    EXPECT_EQ(s.FindOneOf("xc", 3), 5);
    EXPECT_EQ(s.FindOneOf("xyz"), -1);
    EXPECT_EQ(s.FindOneOf(nullptr), -1);
}

TEST(KStringSearch, CharIsIn) {
    EXPECT_TRUE(KStringCharIsIn('b', "abc"));
    EXPECT_FALSE(KStringCharIsIn('d', "abc"));
    EXPECT_FALSE(KStringCharIsIn('a', nullptr));
}

// --- Tokens -------------------------------------------------------------------

TEST(KStringTokens, RunsOfDelimitersCountOnce) {
    const KString s(",a,,b,");
    EXPECT_EQ(s.GetTokenCount(","), 2);
    EXPECT_EQ(s.GetToken(0, ","), "a");
    EXPECT_EQ(s.GetToken(1, ","), "b");
    EXPECT_TRUE(s.GetToken(2, ",").IsEmpty());
    EXPECT_TRUE(s.GetToken(-1, ",").IsEmpty());
    EXPECT_EQ(KString("one two\tthree").GetToken(2, " \t"), "three");
    EXPECT_EQ(KString(",,,").GetTokenCount(","), 0);
    EXPECT_EQ(KString("a,b").GetTokenCount(nullptr), 1);
    EXPECT_EQ(KString("a,b").GetToken(0, nullptr), "a,b");
    EXPECT_EQ(KString("").GetTokenCount(nullptr), 0);
}

// --- Sub-strings and transformations -----------------------------------------

TEST(KStringParts, MidLeftRightBounds) {
    const KString s("abc");
    EXPECT_EQ(s.Right(10), "abc");
    EXPECT_EQ(s.Right(2), "bc");
    EXPECT_FALSE(s.Mid(5).IsOK());
    EXPECT_TRUE(s.Mid(3).IsOK());
    EXPECT_TRUE(s.Mid(3).IsEmpty());
    EXPECT_EQ(s.Mid(1, 1), "b");
    EXPECT_EQ(s.Mid(1, 50), "bc");
    EXPECT_FALSE(s.Mid(1, -1).IsOK());
    EXPECT_FALSE(s.Mid(-1, 2).IsOK());
    EXPECT_EQ(s.Left(2), "ab");
    EXPECT_EQ(s.Left(9), "abc");
    EXPECT_EQ(s, "abc");
}

TEST(KStringParts, UpperLowerTouchOnlyAsciiLetters) {
    const KString s("aZ9-\xe9");
    EXPECT_EQ(s.Upper(), "AZ9-\xe9");
    EXPECT_EQ(s.Lower(), "az9-\xe9");
    EXPECT_EQ(s, "aZ9-\xe9");
    EXPECT_TRUE(KString().Upper().IsEmpty());
}

TEST(KStringParts, TrimModes) {
    const KString s("  a  ");
    EXPECT_EQ(s.Trim(0), "  a");
    EXPECT_EQ(s.Trim(1), "a  ");
    EXPECT_EQ(s.Trim(2), "a");
    EXPECT_EQ(s.Trim(-3), "a");
    EXPECT_EQ(KString("\t\n\v\f\r ").Trim(2), "");
}

// --- Find and replace ---------------------------------------------------------

TEST(KStringReplace, FirstOccurrenceFromStart) {
    KString s("abc");
    EXPECT_TRUE(s.FindAndReplace("b", "xyz", 0));
    EXPECT_EQ(s, "axyzc");

    KString absent("ac");
    EXPECT_FALSE(absent.FindAndReplace("b", "xyz", 0));
    EXPECT_EQ(absent, "ac");

    KString later("abab");
    EXPECT_TRUE(later.FindAndReplace("ab", "", 1));
    EXPECT_EQ(later, "ab");
    EXPECT_FALSE(later.FindAndReplace(nullptr, "x"));
    EXPECT_FALSE(later.FindAndReplace("a", nullptr));
    EXPECT_EQ(later, "ab");
}

TEST(KStringReplace, ResultsOfAnyLengthFit) {
    KString s("[x]");
    const std::string big(5000, 'r');
    EXPECT_TRUE(s.FindAndReplace("x", big.c_str()));
    EXPECT_EQ(s, ("[" + big + "]").c_str());

    // A match far past 4096 characters is still replaced.
    const std::string longText = std::string(10000, '.') + "needle" + std::string(10, '.');
    KString far(longText.c_str());
    EXPECT_TRUE(far.FindAndReplace("needle", "N", 5000));
    EXPECT_EQ(far.GetLen(), 10011);
    EXPECT_EQ(far.Find('N'), 10000);
}

// --- Heap strings and detaching -----------------------------------------------

TEST(KStringHeapStrings, CreateAndHelpers) {
    KString* created = KString::Create();
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->IsEmpty());
    EXPECT_EQ(KStringOrNew(created), created);
    EXPECT_EQ(KStringDeleteIfEmpty(created), nullptr);

    KString* fresh = KStringOrNew(nullptr);
    ASSERT_NE(fresh, nullptr);
    *fresh = "kept";
    EXPECT_EQ(KStringDeleteIfEmpty(fresh), fresh);
    KString::Delete(fresh);
    KString::Delete(nullptr);
    EXPECT_EQ(KStringDeleteIfEmpty(nullptr), nullptr);

    const KString* empty = KStringOrEmpty(nullptr);
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->IsEmpty());
    EXPECT_EQ(KStringOrEmpty(nullptr), empty);
    const KString mine("mine");
    EXPECT_EQ(KStringOrEmpty(&mine), &mine);
}

TEST(KStringHeapStrings, DetachBufferHandsOverOnlyHeapBlocks) {
    KString small("small");
    EXPECT_EQ(small.DetachBuffer(), nullptr);
    EXPECT_TRUE(small.IsEmpty());

    const std::string text(90, 'h');
    KString big(text.c_str());
    char* block = big.DetachBuffer();
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(block, text.c_str());
    EXPECT_TRUE(big.IsEmpty());
    EXPECT_TRUE(big.IsOK());
    SdkFree(block);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
