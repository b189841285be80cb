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

TEST(ObjectNameTable, KeepsEveryNameThroughItsGrowth) {
    ObjectNameTable table;
    std::vector<std::string> names;
    for (int i = 0; i < 20000; ++i) {
        names.push_back("Model::" + std::to_string(i));
        table.Set(names.back(), Object(i));
    }
    // Every second name set again to another object.
    for (int i = 0; i < 20000; i += 2) {
        table.Set(names[static_cast<std::size_t>(i)], Object(i + 1));
    }
    for (int i = 0; i < 20000; ++i) {
        ASSERT_EQ(table.Find(names[static_cast<std::size_t>(i)]), Object(i % 2 == 0 ? i + 1 : i)) << i;
        ASSERT_EQ(table.Find("Model::x" + std::to_string(i)), nullptr) << i;
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
