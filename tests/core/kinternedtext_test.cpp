// Shared property texts: equal texts are held once, a holder reads its own
// text whatever the others do, and the last holder frees the text.
#include <fbxfilesdk/core/KInternedText.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

TEST(KInternedText, EqualTextsShareOneBlockUntilTheLastHolderGoes) {
    const std::size_t before = KInternedText::GetPoolSize();
    {
        std::string text = "Lcl Translation unit test";
        KInternedText a(text.c_str());
        text[0] = 'X';  // the holder never keeps the caller's pointer
        KInternedText b("Lcl Translation unit test");
        EXPECT_STREQ(a.Get(), "Lcl Translation unit test");
        EXPECT_EQ(a.Get(), b.Get());
        EXPECT_TRUE(a == b);
        EXPECT_EQ(KInternedText::GetPoolSize(), before + 1);
        KInternedText c(a);
        a = "another text of the test";
        EXPECT_STREQ(b.Get(), "Lcl Translation unit test");
        EXPECT_STREQ(c.Get(), "Lcl Translation unit test");
        EXPECT_EQ(KInternedText::GetPoolSize(), before + 2);
        b = KInternedText();
        c = std::move(a);
        EXPECT_TRUE(a.IsEmpty());
        EXPECT_STREQ(c.Get(), "another text of the test");
        EXPECT_EQ(KInternedText::GetPoolSize(), before + 1);
    }
    EXPECT_EQ(KInternedText::GetPoolSize(), before);
}

TEST(KInternedText, NullAndEmptyReadAsEmptyAndAHolderTakesItsOwnText) {
    KInternedText none;
    KInternedText null(nullptr);
    KInternedText empty("");
    EXPECT_STREQ(none.Get(), "");
    EXPECT_STREQ(null.Get(), "");
    EXPECT_TRUE(empty.IsEmpty());
    KInternedText self("only this holder has it");
    self = self.Get();
    EXPECT_STREQ(self.Get(), "only this holder has it");
    self = self;
    EXPECT_STREQ(self.Get(), "only this holder has it");
}

TEST(KInternedText, HoldersOnManyThreadsLeaveNothingBehind) {
    const std::size_t before = KInternedText::GetPoolSize();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 2000; ++i) {
                const std::string name = "thread text " + std::to_string(i % 17);
                KInternedText a(name.c_str());
                KInternedText b(a);
                if (std::string(b.Get()) != name) {
                    ADD_FAILURE() << b.Get();
                    return;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(KInternedText::GetPoolSize(), before);
}

}  // namespace
