#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// An object whose namespace is enclosed by its first KObject destination,
// with a type name, that records its object events.
class Named : public KObject {
public:
    explicit Named(const char* name, const char* typeName = "") : mTypeName(typeName) {
        SetName(name);
        AddCallbacks(this, nullptr, &Record, nullptr);
    }
    int GetOwnerClassId() const override { return gKObjectClassInfo.GetId(); }
    const char* GetTypeName() const override { return mTypeName; }

    std::vector<int> mEvents;

private:
    static void Record(void* context, const KPlugEventChain*, int code, KPlug*, KEventWord, KEventWord,
                       KEventWord) {
        static_cast<Named*>(context)->mEvents.push_back(code);
    }
    const char* mTypeName;
};

class NameSpaceTest : public ::testing::Test {
protected:
    void SetUp() override { KPlugClassRegistry::AddRef(); }
    void TearDown() override { KPlugClassRegistry::Release(); }
};

TEST_F(NameSpaceTest, RenamingRules) {
    Named object("box");
    object.mEvents.clear();
    EXPECT_FALSE(object.SetName("box"));
    EXPECT_TRUE(object.mEvents.empty());
    EXPECT_TRUE(object.SetName("   "));
    EXPECT_STREQ(object.GetName(), "1");
    EXPECT_EQ(object.mEvents, (std::vector<int>{kKObjectEventRenaming, kKObjectEventRenamed}));
    EXPECT_STREQ(object.GetFullName(), "1");
    object.SetName("crate");
    EXPECT_STREQ(object.GetFullName(), "crate");
}

TEST_F(NameSpaceTest, FullNamesComposeTypeNameSpacePathAndName) {
    Named outer("outer", "Scene");
    Named inner("inner", "Model");
    ASSERT_TRUE(inner.ConnectDst(&outer));
    EXPECT_STREQ(inner.GetFullName(), "Model::inner");

    outer.SetNameSpace("A");
    inner.SetNameSpace(":B");
    EXPECT_STREQ(inner.GetFullName(), "Model::A:B:inner");
    inner.SetNameSpace("A:B");
    EXPECT_EQ(inner.GetNameSpacePath(), "A:B");
    inner.SetNameSpace("");
    EXPECT_EQ(inner.GetNameSpacePath(), "A");
    EXPECT_EQ(inner.GetNameWithNameSpace(true), "A:inner");
    EXPECT_EQ(inner.GetNameWithNameSpace(false), "inner");
    outer.SetNameSpace("");
    inner.SetNameSpace(":B");
    EXPECT_EQ(inner.GetNameSpacePath(), "B");
    EXPECT_STREQ(outer.GetFullName(), "Scene::outer");
    inner.DisconnectDst(&outer);
}

TEST_F(NameSpaceTest, NameSpaceChangesReachTheEnclosedObjects) {
    Named outer("outer");
    Named inner("inner");
    Named innermost("innermost");
    ASSERT_TRUE(inner.ConnectDst(&outer));
    ASSERT_TRUE(innermost.ConnectDst(&inner));
    EXPECT_STREQ(innermost.GetFullName(), "innermost");
    outer.mEvents.clear();
    inner.mEvents.clear();
    innermost.mEvents.clear();

    outer.SetNameSpace("N");
    EXPECT_EQ(outer.mEvents, (std::vector<int>{kKObjectEventNameSpaceChanging, kKObjectEventNameSpaceChanged}));
    EXPECT_EQ(inner.mEvents, std::vector<int>{kKObjectEventNameSpaceChanged});
    EXPECT_EQ(innermost.mEvents, std::vector<int>{kKObjectEventNameSpaceChanged});
    EXPECT_STREQ(innermost.GetFullName(), "N:innermost");
    innermost.DisconnectDst(&inner);
    inner.DisconnectDst(&outer);
}

TEST_F(NameSpaceTest, AbsoluteNameSpacesAndComposedNames) {
    Named outer("outer");
    Named inner("inner");
    outer.SetNameSpace("A");
    ASSERT_TRUE(inner.ConnectDst(&outer));
    inner.SetAbsoluteNameSpace("A:B:C");
    EXPECT_STREQ(inner.GetNameSpace(), "B:C");
    EXPECT_STREQ(inner.GetAbsoluteNameSpace(), "A:B:C");
    EXPECT_STREQ(inner.GetFullName(), "A:B:C:inner");
    inner.SetAbsoluteNameSpace("Z");
    EXPECT_STREQ(inner.GetNameSpace(), "Z");

    inner.mEvents.clear();
    inner.SetFullName("Type::X:Y:leaf");
    EXPECT_STREQ(inner.GetName(), "leaf");
    EXPECT_STREQ(inner.GetAbsoluteNameSpace(), "X:Y");
    inner.SetFullName("Outer:::Type::lone");
    EXPECT_STREQ(inner.GetName(), "lone");
    EXPECT_STREQ(inner.GetAbsoluteNameSpace(), "");
    inner.DisconnectDst(&outer);

    Named plain("plain");
    plain.SetAbsoluteNameSpace("P");
    plain.mEvents.clear();
    plain.SetAbsoluteNameSpace("P");
    EXPECT_TRUE(plain.mEvents.empty());
}

TEST_F(NameSpaceTest, ANewSourceTakesItsSegmentUnderItsNewOwner) {
    Named owner("owner");
    owner.SetNameSpace("A");
    Named source("source");
    source.SetAbsoluteNameSpace("A:B");
    EXPECT_STREQ(source.GetNameSpace(), "A:B");
    ASSERT_TRUE(owner.ConnectSrc(&source));
    EXPECT_STREQ(source.GetNameSpace(), "B");
    EXPECT_STREQ(source.GetFullName(), "A:B:source");
    owner.DisconnectSrc(&source);
}

}  // namespace
