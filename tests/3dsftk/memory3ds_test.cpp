#include "Ftk3dsTestSupport.h"

#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstdlib>
#include <cstring>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

class MemoryAndListsTest : public Ftk3dsTest {};

TEST_F(MemoryAndListsTest, StrDupCopiesAndCheckStringLengthAcceptsAtMostTheMaximum) {
    char* copy = StrDup3ds("Box01");
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "Box01");
    FtkFree(copy);

    EXPECT_EQ(CheckStringLength3ds("rb", 30), 2u);
    EXPECT_EQ(CheckStringLength3ds("0123456789", 10), 10u);
    EXPECT_FALSE(FtkErrorPending);
    // One character more would make a name that a read could not take back.
    EXPECT_EQ(CheckStringLength3ds("01234567890", 10), 0u);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_STRING_TOO_LONG});
    ClearErrorList3ds();
    EXPECT_EQ(CheckStringLength3ds(nullptr, 10), 0u);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INVALID_ARG});
}

TEST_F(MemoryAndListsTest, CheckStringLengthReadsNoFurtherThanTheMaximumAndItsTerminator) {
    // Exactly maximum + 1 readable bytes, no terminator among them: under ASan
    // any read past them fails the test.
    char* text = static_cast<char*>(std::malloc(5));
    std::memcpy(text, "abcde", 5);
    EXPECT_EQ(CheckStringLength3ds(text, 4), 0u);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_STRING_TOO_LONG});
    std::free(text);
}

TEST_F(MemoryAndListsTest, StringListStartsWithCapacityFiveAndGrowsByFive) {
    stringlist3ds* list = nullptr;
    InitStringList3ds(&list, 0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count, 0u);
    EXPECT_EQ(list->capacity, 5u);
    const char* names[] = {"a", "b", "c", "d", "e", "f"};
    for (const char* name : names) AddToStringList3ds(&list, name);
    EXPECT_EQ(list->count, 6u);
    EXPECT_EQ(list->capacity, 10u);
    for (int i = 0; i < 6; ++i) EXPECT_STREQ(list->list[i], names[i]);
    for (int i = 6; i < 10; ++i) EXPECT_EQ(list->list[i], nullptr);
    ReleaseStringList3ds(&list);
    EXPECT_EQ(list, nullptr);
}

TEST_F(MemoryAndListsTest, StringListOfThreeHasThreeEmptyEntriesForTheCaller) {
    stringlist3ds* list = nullptr;
    InitStringList3ds(&list, 3);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count, 3u);
    EXPECT_EQ(list->capacity, 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list->list[i], nullptr);
    list->list[1] = StrDup3ds("kept");
    // Initialising again empties it without leaking what it held.
    InitStringList3ds(&list, 2);
    EXPECT_EQ(list->count, 2u);
    EXPECT_EQ(list->list[1], nullptr);
    ReleaseStringList3ds(&list);
}

TEST_F(MemoryAndListsTest, NameListHasCountEmptyEntriesAndReleasesTheirNames) {
    namelist3ds* list = nullptr;
    InitNameList3ds(&list, 2);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count, 2u);
    EXPECT_EQ(list->list[0].name, nullptr);
    EXPECT_EQ(list->list[1].chunk, nullptr);
    list->list[0].name = StrDup3ds("Camera01");
    InitNameList3ds(&list, 0);
    EXPECT_EQ(list->count, 0u);
    EXPECT_EQ(list->list, nullptr);
    ReleaseNameList3ds(&list);
    EXPECT_EQ(list, nullptr);
    ReleaseNameList3ds(&list);
    ReleaseNameList3ds(nullptr);
    EXPECT_FALSE(FtkErrorPending);
}

void* RefuseAll(std::size_t) { return nullptr; }
void* RefuseAllCalloc(std::size_t, std::size_t) { return nullptr; }
void* RefuseAllRealloc(void*, std::size_t) { return nullptr; }

TEST_F(MemoryAndListsTest, EveryBlockComesFromTheSdkHeapAndARefusalIsOutOfMemory) {
    ASSERT_TRUE(SdkSetAllocators(&RefuseAll, &RefuseAllCalloc, &RefuseAllRealloc, &std::free));
    EXPECT_EQ(StrDup3ds("x"), nullptr);
    stringlist3ds* list = nullptr;
    InitStringList3ds(&list, 0);
    Chunk3ds* chunk = nullptr;
    InitChunk3ds(&chunk);
    ASSERT_TRUE(SdkSetAllocators(&std::malloc, &std::calloc, &std::realloc, &std::free));
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(chunk, nullptr);
    EXPECT_EQ(RecordedErrors(), (std::vector<int>{ERR_NO_MEM, ERR_NO_MEM, ERR_NO_MEM}));
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
