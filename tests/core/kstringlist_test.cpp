#include <fbxfilesdk/core/KStringList.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

using namespace fbxsdk_2006_11_1;

TEST(KStringList, AddAppendsAndReturnsTheIndex) {
    KStringList list;
    auto payload = std::make_unique<int>(5);
    ASSERT_NE(reinterpret_cast<std::uintptr_t>(payload.get()) >> 32, 0u);
    EXPECT_EQ(list.Add("first"), 0);
    EXPECT_EQ(list.Add(KString("second"), payload.get()), 1);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_STREQ(list.GetStringAt(1), "second");
    EXPECT_EQ(list.GetReferenceAt(1), payload.get());
    EXPECT_EQ(list.GetReferenceAt(0), nullptr);
}

TEST(KStringList, InsertAtPlacesItemsAndRemoveAtClosesTheGap) {
    KStringList list;
    list.Add("a");
    list.Add("c");
    EXPECT_EQ(list.InsertAt(1, "b", nullptr), 1);
    EXPECT_EQ(list.InsertAt(50, "d", nullptr), 3);
    EXPECT_TRUE(list.RemoveAt(0));
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_STREQ(list.GetStringAt(0), "b");
    EXPECT_STREQ(list.GetStringAt(2), "d");
    EXPECT_EQ(list.GetStringAt(3), nullptr);
    EXPECT_EQ(list.GetStringAt(-1), nullptr);
    EXPECT_FALSE(list.RemoveAt(3));
    EXPECT_EQ(list.InsertAt(-1, "x", nullptr), -1);
    list.ClearItems();
    EXPECT_EQ(list.Add("e"), 0);
}

TEST(KStringList, FindGivesTheFirstExactMatch) {
    KStringList list;
    EXPECT_EQ(list.Find("x"), -1);
    list.Add("Name");
    list.Add("name");
    list.Add("name");
    list.Add("");
    EXPECT_EQ(list.Find("name"), 1);
    EXPECT_EQ(list.Find("NAME"), -1);
    EXPECT_EQ(list.Find("nam"), -1);
    EXPECT_EQ(list.Find(nullptr), 3);  // null reads as ""
}

TEST(KStringList, CopyFromReplacesEveryItemNotJustAPrefix) {
    KStringList source;
    const std::string longText(100, 'x');  // longer than the inline buffer of a string
    for (int i = 0; i < 40; ++i) {
        source.Add((std::to_string(i) + longText).c_str(), reinterpret_cast<void*>(static_cast<std::uintptr_t>(i) << 40));
    }
    KStringList target;
    for (int i = 0; i < 50; ++i) target.Add("old");
    ASSERT_TRUE(target.CopyFrom(source));
    ASSERT_EQ(target.GetCount(), 40);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(target.GetStringAt(i), std::to_string(i) + longText);
        EXPECT_EQ(target.GetReferenceAt(i), source.GetReferenceAt(i));
        EXPECT_NE(target.GetStringAt(i), source.GetStringAt(i));  // copies, not shared text
    }
    source.Clear();
    EXPECT_EQ(target.GetStringAt(39), "39" + longText);
}

TEST(KStringList, CopyFromItselfKeepsTheItems) {
    KStringList list;
    list.Add("a");
    list.Add("b");
    EXPECT_TRUE(list.CopyFrom(list));
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_STREQ(list.GetStringAt(1), "b");
}

