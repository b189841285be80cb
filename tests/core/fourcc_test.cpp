#include <fbxfilesdk/core/FourCC.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>

using namespace fbxsdk_2006_11_1;

namespace {

// Read from this unit's own static initialiser: the library's unit may start
// later, so only constant initialisation makes these values visible here.
struct SeenBeforeMain {
    std::uint32_t form = gFourCC_FORM.mCode;
    std::uint32_t cat = gFourCC_CAT.mCode;
    std::uint32_t shap = gFourCC_SHAP.mCode;
    std::uint32_t proPrefix = gFourCC_PROPrefix.mCode;
};
const SeenBeforeMain gSeenBeforeMain;

struct Entry {
    const char* name;
    std::uint32_t code;
};

#define FOURCC_ENTRY(name, a, b, c, d) {#name, gFourCC_##name.mCode},
const Entry kAll[] = {FBXSDK_FOURCC_LIST(FOURCC_ENTRY)};
#undef FOURCC_ENTRY

std::uint32_t PackText(const char* text) {
    return (std::uint32_t(std::uint8_t(text[0])) << 24) | (std::uint32_t(std::uint8_t(text[1])) << 16) |
           (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint32_t(std::uint8_t(text[3]));
}

// Names spelled as their code: four capitals or digits.
bool IsCodeText(const char* name) {
    if (std::strlen(name) != 4) return false;
    for (int i = 0; i < 4; ++i) {
        if (!std::isupper(static_cast<unsigned char>(name[i])) && !std::isdigit(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

TEST(FourCCTest, PacksFirstCharacterIntoMostSignificantByte) {
    EXPECT_EQ(gFourCC_FORM.mCode, 0x464F524Du);
    EXPECT_EQ(gFourCC_FORM.mCode >> 24, 0x46u);
    EXPECT_EQ(gFourCC_FORM.mCode & 0xFFu, 0x4Du);
    static_assert(FourCC('F', 'O', 'R', 'M').mCode == 0x464F524Du);
    // Bytes above 0x7F must not sign-extend into the other bytes.
    EXPECT_EQ(FourCC(0x80, 0xFF, 0, 0x81).mCode, 0x80FF0081u);
}

TEST(FourCCTest, TrailingBlanksZeroCodeMaskAndPrefixes) {
    EXPECT_EQ(gFourCC_CAT.mCode, 0x43415420u);        // "CAT "
    EXPECT_EQ(gFourCC_Copyright.mCode, 0x28632920u);  // "(c) "
    EXPECT_EQ(gFourCC_Null.mCode, 0u);
    EXPECT_EQ(gFourCC_PrefixMask.mCode, 0xFFFFFF00u);
    EXPECT_EQ(gFourCC_FORPrefix.mCode, 0x464F5200u);
    EXPECT_EQ(gFourCC_CATPrefix.mCode, 0x43415400u);
    EXPECT_EQ(gFourCC_LISPrefix.mCode, 0x4C495300u);
    EXPECT_EQ(gFourCC_PROPrefix.mCode, 0x50524F00u);
}

TEST(FourCCTest, MaskReducesEachFormVariantToItsPrefix) {
    const std::uint32_t mask = gFourCC_PrefixMask.mCode;
    for (const FourCC& code : {gFourCC_FORM, gFourCC_FOR4, gFourCC_FOR8})
        EXPECT_EQ(code.mCode & mask, gFourCC_FORPrefix.mCode);
    for (const FourCC& code : {gFourCC_CAT, gFourCC_CAT4, gFourCC_CAT8})
        EXPECT_EQ(code.mCode & mask, gFourCC_CATPrefix.mCode);
    for (const FourCC& code : {gFourCC_LIST, gFourCC_LIS4, gFourCC_LIS8})
        EXPECT_EQ(code.mCode & mask, gFourCC_LISPrefix.mCode);
    for (const FourCC& code : {gFourCC_PROP, gFourCC_PRO4, gFourCC_PRO8})
        EXPECT_EQ(code.mCode & mask, gFourCC_PROPrefix.mCode);
}

TEST(FourCCTest, AllNinetyThreeCodesAreDistinctAndMatchTheirNames) {
    ASSERT_EQ(sizeof(kAll) / sizeof(kAll[0]), 93u);
    std::set<std::uint32_t> seen;
    for (const Entry& entry : kAll) {
        EXPECT_TRUE(seen.insert(entry.code).second) << entry.name;
        if (IsCodeText(entry.name)) {
            EXPECT_EQ(entry.code, PackText(entry.name)) << entry.name;
        }
    }
}

TEST(FourCCTest, CodesAreSetBeforeAnyStaticInitialiserRuns) {
    EXPECT_EQ(gSeenBeforeMain.form, 0x464F524Du);
    EXPECT_EQ(gSeenBeforeMain.cat, 0x43415420u);
    EXPECT_EQ(gSeenBeforeMain.shap, 0x53484150u);
    EXPECT_EQ(gSeenBeforeMain.proPrefix, 0x50524F00u);
}

}  // namespace
