// Shared property texts: equal texts are held once, a holder reads its own
// text whatever the others do, and a text no holder has is kept only within
// a bound.
#include <fbxfilesdk/core/KInternedText.h>

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(KInternedText, AKeptTextComesBackWithItsTextAndTheKeptOnesStayBounded) {
    const char* const text = "kept text of the test";
    const char* first = nullptr;
    {
        KInternedText a(text);
        first = a.Get();
    }
    // Held by no one: not counted as held, but its block serves the next
    // holder, which reads the same text from it.
    const std::size_t held = KInternedText::GetPoolSize();
    KInternedText again(text);
    EXPECT_STREQ(again.Get(), text);
    EXPECT_EQ(again.Get(), first);
    EXPECT_EQ(KInternedText::GetPoolSize(), held + 1);
    EXPECT_TRUE(again == KInternedText(again.Get()));

    // Many distinct texts let go one after another: what is kept stays
    // within the larger of the held count and a small floor.
    std::size_t mostKept = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string name = "passing text " + std::to_string(i);
        KInternedText passing(name.c_str());
        EXPECT_STREQ(passing.Get(), name.c_str());
        mostKept = std::max(mostKept, KInternedText::GetKeptUnheldCount());
    }
    EXPECT_LE(mostKept, std::max<std::size_t>(1024, KInternedText::GetPoolSize()));
    EXPECT_EQ(KInternedText::GetPoolSize(), held + 1);
    EXPECT_STREQ(again.Get(), text);
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
