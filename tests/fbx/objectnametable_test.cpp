#include <fbxfilesdk/fbx/ObjectNameTable.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

// Stand-ins: the table only keeps and hands back the pointers.
KFbxObject* Object(int which) { return reinterpret_cast<KFbxObject*>(static_cast<std::uintptr_t>(16 * (which + 1))); }

TEST(ObjectNameTable, FindsEachNameAsLastSetAndNoOther) {
    ObjectNameTable table;
    EXPECT_EQ(table.Find("Model::a"), nullptr);
    struct Step {
        const char* mName;
        int mObject;  // -1: set null
    };
    // Names that share a start, an empty one, one set twice, a null set.
    const Step steps[] = {{"Model::a", 0},  {"Model::ab", 1}, {"Model::", 2}, {"", 3},
                          {"Model::a", 4},  {"Model::b", -1}, {"Model::A", 5}, {"Material::a", 6}};
    for (const Step& step : steps) {
        table.Set(step.mName, step.mObject < 0 ? nullptr : Object(step.mObject));
    }
    const std::pair<const char*, KFbxObject*> expected[] = {
        {"Model::a", Object(4)}, {"Model::ab", Object(1)}, {"Model::", Object(2)},    {"", Object(3)},
        {"Model::b", nullptr},   {"Model::A", Object(5)},  {"Material::a", Object(6)}, {"Model::abc", nullptr},
        {"Model:", nullptr},     {"model::a", nullptr}};
    for (const auto& [name, object] : expected) {
        EXPECT_EQ(table.Find(name), object) << name;
    }
    table.Clear();
    EXPECT_EQ(table.Find("Model::a"), nullptr);
    table.Set("Model::a", Object(7));
    EXPECT_EQ(table.Find("Model::a"), Object(7));
}

// Room taken ahead, too little, too much, or after part of the names are
// in, gives the same look-ups as growth by itself.
TEST(ObjectNameTable, KeepsEveryNameThroughItsGrowth) {
    struct Case {
        std::size_t mReserveFirst;
        int mReserveAfter;  // names set before the second reservation
        std::size_t mReserveThen;
    };
    const Case cases[] = {{0, 0, 0}, {20000, 0, 0}, {100, 0, 0}, {50000, 0, 0}, {0, 7000, 13000}, {10, 300, 1}};
    for (const Case& c : cases) {
        ObjectNameTable table;
        table.Reserve(c.mReserveFirst);
        EXPECT_EQ(table.Find("Model::0"), nullptr);
        std::vector<std::string> names;
        for (int i = 0; i < 20000; ++i) {
            if (i == c.mReserveAfter) {
                table.Reserve(c.mReserveThen);
            }
            names.push_back("Model::" + std::to_string(i));
            table.Set(names.back(), Object(i));
        }
        // Every second name set again to another object.
        for (int i = 0; i < 20000; i += 2) {
            table.Set(names[static_cast<std::size_t>(i)], Object(i + 1));
        }
        for (int i = 0; i < 20000; ++i) {
            ASSERT_EQ(table.Find(names[static_cast<std::size_t>(i)]), Object(i % 2 == 0 ? i + 1 : i))
                << i << " after " << c.mReserveFirst;
            ASSERT_EQ(table.Find("Model::x" + std::to_string(i)), nullptr) << i;
        }
        // Backwards, and each name between two looks at one other name, as
        // connections to one parent ask.
        for (int i = 19999; i >= 0; --i) {
            ASSERT_EQ(table.Find(names[static_cast<std::size_t>(i)]), Object(i % 2 == 0 ? i + 1 : i)) << i;
        }
        for (int i = 0; i < 20000; ++i) {
            ASSERT_EQ(table.Find(names[static_cast<std::size_t>(i)]), Object(i % 2 == 0 ? i + 1 : i)) << i;
            ASSERT_EQ(table.Find(names[7]), Object(7)) << i;
        }
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
