#include <fbxfilesdk/core/ErrorHolder.h>

#include <gtest/gtest.h>

namespace fbxsdk_2006_11_1 {
namespace {

const char* const kMessages[] = {"First failure", nullptr, "Third failure"};
constexpr int kMessageCount = 3;

void ExpectError(const ErrorHolder& holder, int code, const char* text) {
    EXPECT_EQ(holder.GetLastErrorID(), code);
    EXPECT_STREQ(holder.GetLastErrorString(), text);
}

TEST(ErrorHolder, StartsWithoutError) {
    const ErrorHolder holder(kMessages, kMessageCount);
    ExpectError(holder, -1, "");
}

TEST(ErrorHolder, CodeTakesItsTableMessage) {
    ErrorHolder holder(kMessages, kMessageCount);
    holder.SetError(2);
    ExpectError(holder, 2, "Third failure");
    holder.SetError(0);
    ExpectError(holder, 0, "First failure");
}

TEST(ErrorHolder, NullTableEntryReadsAsEmpty) {
    ErrorHolder holder(kMessages, kMessageCount);
    holder.SetError(2);
    holder.SetError(1);
    ExpectError(holder, 1, "");
}

TEST(ErrorHolder, CodeOutsideTheTableNeverReadsPastIt) {
    ErrorHolder holder(kMessages, kMessageCount);
    holder.SetError(0);
    holder.SetError(kMessageCount);
    ExpectError(holder, kMessageCount, "");
    holder.SetError(-5);
    ExpectError(holder, -5, "");

    ErrorHolder withoutTable(nullptr, 4);
    withoutTable.SetError(1);
    ExpectError(withoutTable, 1, "");
}

TEST(ErrorHolder, GivenTextReplacesTheTableMessage) {
    ErrorHolder holder(kMessages, kMessageCount);
    holder.SetErrorWithText(0, "Own words");
    ExpectError(holder, 0, "Own words");

    holder.SetErrorText("Only the text");
    ExpectError(holder, 0, "Only the text");

    holder.SetErrorWithText(2, nullptr);
    ExpectError(holder, 2, "");
}

TEST(ErrorHolder, ClearErrorStartsAfresh) {
    ErrorHolder holder(kMessages, kMessageCount);
    holder.SetError(2);
    holder.ClearError();
    ExpectError(holder, -1, "");
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
