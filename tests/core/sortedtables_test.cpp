#include <fbxfilesdk/core/KSortedPointerMap.h>
#include <fbxfilesdk/core/KSortedStringTable.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {
const void* Key(std::uintptr_t n) { return reinterpret_cast<const void*>(n); }
void* Value(std::uintptr_t n) { return reinterpret_cast<void*>(n); }

std::vector<std::uintptr_t> ValuesInOrder(KSortedPointerMap& map) {
    std::vector<std::uintptr_t> values;
    for (int i = 0; i < map.GetCount(); ++i) values.push_back(reinterpret_cast<std::uintptr_t>(map.GetAt(i)));
    return values;
}

std::vector<std::string> KeysInOrder(KSortedStringTable& table) {
    std::vector<std::string> keys;
    const char* key = nullptr;
    for (int i = 0; i < table.GetCount(); ++i) {
        table.GetAt(i, &key);
        keys.emplace_back(key);
    }
    return keys;
}
}  // namespace

TEST(KSortedPointerMap, KeysOrderAsUnsignedFullWidthAddresses) {
    KSortedPointerMap map(4);
    int index = 5;
    EXPECT_EQ(map.Find(Key(1), &index), nullptr);
    EXPECT_EQ(index, -1);
    const std::uintptr_t high = 0xFFFF800012345678u;  // negative as a signed word
    const std::uintptr_t above4G = 0x0000000100000000u;
    map.Add(Key(high), Value(3));
    map.Add(Key(above4G), Value(2));
    map.Add(Key(7), Value(1));
    EXPECT_EQ(ValuesInOrder(map), (std::vector<std::uintptr_t>{1, 2, 3}));
    const void* key = nullptr;
    EXPECT_EQ(map.GetAt(2, &key), Value(3));
    EXPECT_EQ(key, Key(high));
    EXPECT_EQ(map.GetAt(3, &key), nullptr);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(map.Find(Key(above4G), &index), Value(2));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(map.Find(Key(above4G & 0xFFFFFFFFu), &index), nullptr);  // a truncated key must not match
    EXPECT_EQ(index, -1);
}

TEST(KSortedPointerMap, EqualKeysGoBeforeTheFirstEqualPairTheSearchMeets) {
    KSortedPointerMap map(2);
    map.Add(Key(1), Value(100));
    map.Add(Key(9), Value(900));
    map.Add(Key(5), Value(51));  // [1 9] -> after 1
    map.Add(Key(5), Value(52));  // search meets 51 at the middle
    map.Add(Key(5), Value(53));  // [1 52 51 9]: meets 52
    map.Add(Key(5), Value(54));  // [1 53 52 51 9]: meets 52 at the middle
    EXPECT_EQ(ValuesInOrder(map), (std::vector<std::uintptr_t>{100, 53, 54, 52, 51, 900}));
    int index = -1;
    const std::uintptr_t found = reinterpret_cast<std::uintptr_t>(map.Find(Key(5), &index));
    EXPECT_TRUE(found >= 51 && found <= 54);
    EXPECT_GE(index, 1);
    EXPECT_LE(index, 4);
}

TEST(KSortedStringTable, CaseInsensitiveByDefault) {
    KSortedStringTable table(4);
    EXPECT_FALSE(table.IsCaseSensitive());
    table.Add("b", Value(1));
    table.Add("A", Value(2));
    table.Add("a", Value(3));
    EXPECT_EQ(table.Find("B"), Value(1));
    const std::vector<std::string> keys = KeysInOrder(table);
    EXPECT_EQ(keys.back(), "b");
    void* either = table.Find("a");
    EXPECT_TRUE(either == Value(2) || either == Value(3));
}

TEST(KSortedStringTable, CaseSensitiveTablesCompareBytesAsUnsigned) {
    KSortedStringTable table(4, true);
    table.Add("b", Value(1));
    table.Add("\xE9t\xE9", Value(4));  // high bytes sort after ASCII
    table.Add("A", Value(2));
    table.Add("a", Value(3));
    EXPECT_EQ(table.Find("B"), nullptr);
    EXPECT_EQ(table.Find("A"), Value(2));
    EXPECT_EQ(KeysInOrder(table), (std::vector<std::string>{"A", "a", "b", "\xE9t\xE9"}));
}

TEST(KSortedStringTable, FoldingIsToLowerCaseAscii) {
    // '_' lies between the upper- and lower-case letters, so the fold direction shows.
    KSortedStringTable folded(4);
    folded.Add("Z", Value(1));
    folded.Add("_", Value(2));
    EXPECT_EQ(KeysInOrder(folded), (std::vector<std::string>{"_", "Z"}));
    KSortedStringTable exact(4, true);
    exact.Add("Z", Value(1));
    exact.Add("_", Value(2));
    EXPECT_EQ(KeysInOrder(exact), (std::vector<std::string>{"Z", "_"}));
}

TEST(KSortedStringTable, ChangingTheCaseRuleSortsAgainBeforeTheNextLookup) {
    KSortedStringTable table(4);
    table.Add("b", Value(1));
    table.Add("C", Value(2));
    table.Add("a", Value(3));
    EXPECT_EQ(KeysInOrder(table), (std::vector<std::string>{"a", "b", "C"}));
    table.SetCaseSensitive(true);
    EXPECT_EQ(KeysInOrder(table), (std::vector<std::string>{"C", "a", "b"}));
    EXPECT_EQ(table.Find("c"), nullptr);
    table.Add("B", Value(4));
    EXPECT_EQ(KeysInOrder(table), (std::vector<std::string>{"B", "C", "a", "b"}));
}

TEST(KSortedStringTable, KeysAreTheTablesOwnCopies) {
    KSortedStringTable table(4);
    char name[] = "texture";
    table.Add(name, Value(1));
    std::strcpy(name, "changed");
    EXPECT_EQ(table.Find("texture"), Value(1));
    EXPECT_EQ(table.Find("changed"), nullptr);
    const char* key = nullptr;
    table.GetAt(0, &key);
    EXPECT_NE(key, name);
    EXPECT_STREQ(key, "texture");
    EXPECT_FALSE(table.Add(nullptr, Value(2)));
    EXPECT_EQ(table.Find(nullptr), nullptr);
    EXPECT_EQ(table.GetCount(), 1);
}

TEST(KSortedStringTable, RemoveOfAKeyWhoseValueIsNullRemovesItAndSaysSo) {
    KSortedStringTable table(4);
    table.Add("zero", nullptr);
    table.Add("one", Value(1));
    EXPECT_TRUE(table.Remove("ZERO"));
    EXPECT_EQ(table.GetCount(), 1);
    EXPECT_FALSE(table.Remove("zero"));
    EXPECT_FALSE(table.Remove(nullptr));
    EXPECT_FALSE(table.RemoveAt(1));
    void** ref = table.GetValueRefAt(0);
    ASSERT_NE(ref, nullptr);
    *ref = Value(2);
    EXPECT_EQ(table.Find("ONE"), Value(2));
    EXPECT_TRUE(table.RemoveAt(0));
    EXPECT_EQ(table.GetCount(), 0);
    EXPECT_EQ(table.GetValueRefAt(0), nullptr);
}

