#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KPlug.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// Create functions hand back tokens that tell which function ran.
char gObjectToken;
char gMeshToken;

struct CreateCall {
    const void* mToken;
    KFbxSdkManager* mManager;
    std::string mName;
};
std::vector<CreateCall> gCreateCalls;

KFbxPlug* Record(char& token, KFbxSdkManager* manager, const char* name) {
    gCreateCalls.push_back({&token, manager, name != nullptr ? name : "(null)"});
    return reinterpret_cast<KFbxPlug*>(&token);
}
KFbxPlug* CreateObject(KFbxSdkManager* manager, const char* name) { return Record(gObjectToken, manager, name); }
KFbxPlug* CreateMesh(KFbxSdkManager* manager, const char* name) { return Record(gMeshToken, manager, name); }

KFbxSdkManager* const kManager = reinterpret_cast<KFbxSdkManager*>(&gCreateCalls);

// Plug <- Object <- NodeAttribute <- Geometry <- Mesh, and Object <- Texture;
// only Object and Mesh can create.
class ClassIdTest : public ::testing::Test {
protected:
    void SetUp() override { gCreateCalls.clear(); }

    KFbxClassId mPlug{"KFbxPlug", KFbxClassId(), nullptr};
    KFbxClassId mObject{"KFbxObject", mPlug, &CreateObject};
    KFbxClassId mNodeAttribute{"KFbxNodeAttribute", mObject, nullptr};
    KFbxClassId mGeometry{"KFbxGeometry", mNodeAttribute, nullptr};
    KFbxClassId mMesh{"KFbxMesh", mGeometry, &CreateMesh};
    KFbxClassId mTexture{"KFbxTexture", mObject, nullptr};
};

TEST_F(ClassIdTest, IsWalksTheParentChainUpwardsOnly) {
    EXPECT_TRUE(mMesh.Is(mMesh));
    EXPECT_TRUE(mMesh.Is(mNodeAttribute));
    EXPECT_TRUE(mMesh.Is(mPlug));
    EXPECT_FALSE(mNodeAttribute.Is(mMesh));
    EXPECT_FALSE(mTexture.Is(mNodeAttribute));
    EXPECT_FALSE(mMesh.Is(mTexture));
    EXPECT_FALSE(mPlug.Is(mObject));

    // The comparison is on records, not names.
    const KFbxClassId sameName("KFbxNodeAttribute", mObject, nullptr);
    EXPECT_FALSE(mMesh.Is(sameName));
    EXPECT_NE(sameName, mNodeAttribute);
    EXPECT_EQ(KFbxClassId(mMesh.GetClassIdInfo()), mMesh);
}

TEST_F(ClassIdTest, CreateUsesTheNearestCreateFunctionInTheChain) {
    EXPECT_EQ(mPlug.Create(kManager, "p"), nullptr);
    EXPECT_TRUE(gCreateCalls.empty());

    EXPECT_EQ(mMesh.Create(kManager, "m"), reinterpret_cast<KFbxPlug*>(&gMeshToken));
    EXPECT_EQ(mGeometry.Create(kManager, "g"), reinterpret_cast<KFbxPlug*>(&gObjectToken));
    EXPECT_EQ(mTexture.Create(nullptr, nullptr), reinterpret_cast<KFbxPlug*>(&gObjectToken));

    ASSERT_EQ(gCreateCalls.size(), 3u);
    EXPECT_EQ(gCreateCalls[0].mToken, &gMeshToken);
    EXPECT_EQ(gCreateCalls[0].mManager, kManager);
    EXPECT_EQ(gCreateCalls[0].mName, "m");
    EXPECT_EQ(gCreateCalls[1].mToken, &gObjectToken);
    EXPECT_EQ(gCreateCalls[1].mName, "g");
    EXPECT_EQ(gCreateCalls[2].mManager, nullptr);
    EXPECT_EQ(gCreateCalls[2].mName, "(null)");
}

TEST_F(ClassIdTest, NullClassIdAnswersEverythingSafely) {
    KFbxClassId none;
    EXPECT_STREQ(none.GetName(), "");
    EXPECT_STREQ(none.GetObjectTypeName().Buffer(), "");
    EXPECT_STREQ(none.GetObjectSubTypeName().Buffer(), "");
    EXPECT_EQ(none.GetFilter(), nullptr);
    EXPECT_FALSE(none.Is(none));
    EXPECT_FALSE(none.Is(mPlug));
    EXPECT_FALSE(mPlug.Is(none));
    EXPECT_EQ(none.Create(kManager, "x"), nullptr);
    EXPECT_FALSE(none.SetObjectTypeName("Model"));
    EXPECT_FALSE(none.SetObjectSubTypeName("Mesh"));
    EXPECT_TRUE(gCreateCalls.empty());
    EXPECT_EQ(none, KFbxClassId());
    EXPECT_NE(none, mPlug);
}

TEST_F(ClassIdTest, NamesAndTypeNamesLiveInTheSharedRecord) {
    EXPECT_STREQ(mMesh.GetName(), "KFbxMesh");
    EXPECT_STREQ(mMesh.GetObjectTypeName().Buffer(), "");

    KFbxClassId copy = mMesh;
    EXPECT_TRUE(copy.SetObjectTypeName("Geometry"));
    EXPECT_TRUE(copy.SetObjectSubTypeName("Mesh"));
    EXPECT_STREQ(mMesh.GetObjectTypeName().Buffer(), "Geometry");
    EXPECT_STREQ(mMesh.GetObjectSubTypeName().Buffer(), "Mesh");
    EXPECT_STREQ(mGeometry.GetObjectTypeName().Buffer(), "");

    // A copy keeps its text when the record's text is set again.
    const KString before = mMesh.GetObjectTypeName();
    EXPECT_TRUE(mMesh.SetObjectTypeName(std::string(300, 'g').c_str()));
    EXPECT_TRUE(mMesh.SetObjectTypeName(nullptr));
    EXPECT_STREQ(mMesh.GetObjectTypeName().Buffer(), "");
    EXPECT_STREQ(before.Buffer(), "Geometry");

    const KFbxClassId unnamed(nullptr, mObject, nullptr);
    ASSERT_NE(unnamed, KFbxClassId());
    EXPECT_STREQ(unnamed.GetName(), "");
    const std::string longName(200, 'n');
    EXPECT_EQ(KFbxClassId(longName.c_str(), mObject, nullptr).GetName(), longName);
}

// Public objects made with a run-time class; the filters read that class
// through the object's internal twin.
class ClassFilterTest : public ClassIdTest {
protected:
    KFbxObject mMeshObject{nullptr, "mesh"};
    KFbxObject mTextureObject{nullptr, "texture"};
    KPlug* mMeshPlug = nullptr;
    KPlug* mTexturePlug = nullptr;

    void SetUp() override {
        ClassIdTest::SetUp();
        mMeshObject.SetRuntimeClassId(mMesh);
        mTextureObject.SetRuntimeClassId(mTexture);
        mMeshPlug = mMeshObject.CreateInternal();
        mTexturePlug = mTextureObject.CreateInternal();
    }
};

TEST_F(ClassFilterTest, AcceptsPublicPlugsOfTheClassOrDerivedRuntimeClasses) {
    KPlug bare;
    KPlugFilter* geometry = mGeometry.GetFilter();
    ASSERT_NE(geometry, nullptr);
    EXPECT_TRUE(geometry->Match(mMeshPlug));
    EXPECT_FALSE(geometry->Match(mTexturePlug));
    EXPECT_FALSE(geometry->Match(&bare));
    EXPECT_FALSE(geometry->Match(nullptr));
    EXPECT_TRUE(mObject.GetFilter()->Match(mTexturePlug));
    EXPECT_FALSE(mMesh.GetFilter()->Match(mTexturePlug));
}

TEST_F(ClassFilterTest, FiltersAreKnownByTheirClassNotByAnId) {
    KPlugFilter* geometry = mGeometry.GetFilter();
    KPlugFilter* mesh = mMesh.GetFilter();
    EXPECT_EQ(mGeometry.GetFilter(), geometry);
    EXPECT_TRUE(geometry->IsEqual(geometry));
    EXPECT_FALSE(geometry->IsEqual(mesh));
    EXPECT_FALSE(geometry->IsEqual(nullptr));
    EXPECT_FALSE(geometry->HasId(geometry->GetId()));
    EXPECT_EQ(geometry->GetId(), 0);
    EXPECT_EQ(static_cast<KClassIdInfoFilter*>(geometry)->GetClassInfo(), mGeometry.GetClassIdInfo());
}

// A plug asked about a class answers as the class's view of it would, at
// every length of its list and as the list changes, and makes that view only
// once the list is long.
TEST_F(ClassFilterTest, FilteredQueriesAnswerAsTheClassViewAtEveryLength) {
    for (const int length : {0, 1, 5, 8, 9, 12, 40}) {
        std::vector<std::unique_ptr<KFbxObject>> objects;
        std::vector<KPlug*> plugs;
        for (int i = 0; i < length; ++i) {
            objects.push_back(std::make_unique<KFbxObject>(nullptr, "object"));
            objects.back()->SetRuntimeClassId(i % 3 == 0 ? mMesh : i % 3 == 1 ? mTexture : mObject);
            plugs.push_back(objects.back()->CreateInternal());
        }
        KPlug asked;
        KPlug viewed;
        KPlug* view = viewed.GetView(mGeometry.GetFilter());
        ASSERT_NE(view, nullptr);
        const auto expectSame = [&](const char* step) {
            const KPlugFilter* filter = mGeometry.GetFilter();
            ASSERT_EQ(asked.GetSrcCount(filter), view->GetSrcCount()) << length << step;
            for (int i = -1; i <= view->GetSrcCount(); ++i) {
                EXPECT_EQ(asked.GetSrc(i, filter), view->GetSrc(i)) << length << step << i;
            }
            EXPECT_EQ(asked.GetSrcCount(mObject.GetFilter()), viewed.GetView(mObject.GetFilter())->GetSrcCount());
            EXPECT_EQ(asked.GetDstCount(filter), 0);
            EXPECT_EQ(asked.GetDst(0, filter), nullptr);
        };
        for (KPlug* plug : plugs) {
            ASSERT_TRUE(asked.ConnectSrc(plug));
            ASSERT_TRUE(viewed.ConnectSrc(plug));
        }
        expectSame(" connected");
        EXPECT_EQ(asked.GetViewCount(), length <= 8 ? 0 : 2) << length;
        for (int i = 0; i < length; i += 2) {
            asked.DisconnectSrc(plugs[static_cast<std::size_t>(i)]);
            viewed.DisconnectSrc(plugs[static_cast<std::size_t>(i)]);
        }
        expectSame(" halved");
        asked.DisconnectAll();
        viewed.DisconnectAll();
    }
}

TEST_F(ClassFilterTest, ClassFilteredViewsOfAnInternalPlugHoldOnlyThatClass) {
    KPlug dst;
    KPlug bare;
    ASSERT_TRUE(dst.ConnectSrc(mTexturePlug));
    ASSERT_TRUE(dst.ConnectSrc(&bare));
    ASSERT_TRUE(dst.ConnectSrc(mMeshPlug));

    KPlug* geometries = dst.GetView(mGeometry.GetFilter());
    ASSERT_NE(geometries, nullptr);
    ASSERT_EQ(geometries->GetSrcCount(), 1);
    EXPECT_EQ(geometries->GetSrc(0), mMeshPlug);

    KPlug* objects = dst.GetView(mObject.GetFilter());
    ASSERT_NE(objects, nullptr);
    EXPECT_NE(objects, geometries);
    ASSERT_EQ(objects->GetSrcCount(), 2);
    EXPECT_EQ(objects->GetSrc(0), mTexturePlug);
    EXPECT_EQ(objects->GetSrc(1), mMeshPlug);

    EXPECT_EQ(dst.GetView(mGeometry.GetFilter()), geometries);
    EXPECT_EQ(dst.GetViewCount(), 2);
    dst.DisconnectAll();
}

}  // namespace
