#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxObjectNameRecord.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KGenericObjectList.h>
#include <fbxfilesdk/core/KPlugHandlePool.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KStringList.h>

#include "kfbxtestclasses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::testing_classes;

namespace {

using KFbxObjectTest = PublicLayerTest;

TEST(KFbxObjectNameRecordTest, KeepsInitialCurrentAndNameSpace) {
    KFbxObjectNameRecord record("first");
    EXPECT_STREQ(record.GetInitialName(), "first");
    EXPECT_STREQ(record.GetCurrentName(), "first");
    record.SetCurrentName("now");
    record.SetNameSpace("ns");
    EXPECT_STREQ(record.GetInitialName(), "first");
    EXPECT_STREQ(record.GetCurrentName(), "now");

    KFbxObjectNameRecord other(nullptr);
    EXPECT_STREQ(other.GetCurrentName(), "");
    other.SetNameSpace("mine");
    other = record;
    EXPECT_STREQ(other.GetInitialName(), "first");
    EXPECT_STREQ(other.GetCurrentName(), "now");
    EXPECT_STREQ(other.GetNameSpace(), "mine");
    other.SetInitialName("again");
    EXPECT_STREQ(other.GetCurrentName(), "again");
}

TEST(KFbxObjectNamesTest, TypePrefixes) {
    EXPECT_EQ(KFbxStripTypePrefixString("Texture::wood"), "wood");
    EXPECT_EQ(KFbxStripTypePrefixString("plain"), "plain");
    EXPECT_STREQ(KFbxStripTypePrefix("A::B::c"), "B::c");
    EXPECT_EQ(KFbxReplaceTypePrefix("Model::", "Texture::wood"), "Model::wood");
    EXPECT_EQ(KFbxReplaceTypePrefix("", "Texture::wood"), "wood");
    EXPECT_EQ(KFbxReplaceTypePrefix("Model::", "Texture::"), "");
    EXPECT_STREQ(KFbxGetObjectTypePrefix(5), "Video::");
    EXPECT_STREQ(KFbxGetObjectTypePrefix(13), "Constraint::");
    EXPECT_STREQ(KFbxGetObjectTypePrefix(20), "");
    EXPECT_STREQ(KFbxGetObjectTypePrefix(21), "Cache::");
    EXPECT_STREQ(KFbxGetObjectTypePrefix(-3), "");
}

TEST_F(KFbxObjectTest, NamesWithPrefixFollowTheTypeCode) {
    auto* texture = Make(TestTexture::ClassId, "t");
    texture->SetName("Texture::wood", true);
    EXPECT_STREQ(texture->GetName(), "Texture::wood");
    EXPECT_EQ(texture->GetNameWithTypePrefix(), "Texture::Texture::wood");
    auto* node = Make(TestNode::ClassId, "n");
    node->SetName("Texture::wood", true);
    EXPECT_STREQ(node->GetName(), "Model::wood");
    EXPECT_EQ(node->GetTypePrefix(), "Model::");
    auto* plain = Make(KFbxObject::ClassId, "p");
    plain->SetName("Texture::wood", true);
    EXPECT_STREQ(plain->GetName(), "wood");
    plain->SetName("", true);
    EXPECT_STREQ(plain->GetName(), "");
    plain->SetName("Model::kept", false);
    EXPECT_STREQ(plain->GetName(), "Model::kept");
    EXPECT_STREQ(plain->GetInitialName(), "p");

    node->SetInitialName("first");
    texture->CopyNameIfSameType(*node);
    EXPECT_STREQ(texture->GetName(), "Texture::wood");
    auto* other = Make(TestNode::ClassId, "other");
    other->CopyNameIfSameType(*node);
    EXPECT_STREQ(other->GetName(), "first");
    EXPECT_STREQ(other->GetInitialName(), "first");
    EXPECT_EQ(other->GetNameString(), "first");
    for (KFbxObject* object : {texture, node, plain, other}) {
        object->Destroy();
    }
}

TEST_F(KFbxObjectTest, ObjectListsFindPublicObjectsByFullNameAndSurviveThem) {
    auto* object = Make(KFbxObject::ClassId, "box");
    object->SetNameSpace("level");
    auto* list = new KGenericObjectList();
    ASSERT_EQ(list->Add(HdlKObject(object->GetInternalPlug())), 0);
    EXPECT_FALSE(list->FindByName("level:box").IsEmpty());
    object->SetName("crate");
    EXPECT_TRUE(list->FindByName("level:box").IsEmpty());
    EXPECT_FALSE(list->FindByName("level:crate").IsEmpty());
    EXPECT_TRUE(list->HoldsObjectNamed("level:crate"));

    object->Destroy();
    EXPECT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetAt(0).Resolve(), nullptr);
    EXPECT_TRUE(list->FindByName("level:crate").IsEmpty());
    list->Release();
}

TEST_F(KFbxObjectTest, PropertyRegistryAndLookups) {
    auto* object = Make(KFbxObject::ClassId, "o");
    const char* names[] = {"Alpha", "beta", "Gamma", "beta", "Delta"};
    for (int i = 0; i < 5; ++i) {
        KFbxProperty::Create(object, names[i], i == 2 ? gKFbxDataTypeBool : gKFbxDataTypeNumber, "", true);
    }
    ASSERT_EQ(object->GetPropertyCount(), 5);
    EXPECT_EQ(object->GetPropertyAt(1), object->FindProperty("beta"));
    EXPECT_FALSE(object->GetPropertyAt(5).IsValid());
    EXPECT_FALSE(object->FindProperty("BETA").IsValid());
    EXPECT_EQ(object->FindProperty("BETA", false), object->GetPropertyAt(1));
    EXPECT_FALSE(object->FindProperty(nullptr).IsValid());
    EXPECT_EQ(object->FindPropertyOfType("Gamma", gKFbxDataTypeBool), object->GetPropertyAt(2));
    EXPECT_FALSE(object->FindPropertyOfType("Gamma", gKFbxDataTypeNumber).IsValid());

    // From index 2 with count 5 the search looks at 2, 3, 4, 0, 1.
    EXPECT_EQ(object->FindPropertyFrom("beta", 2, 5), object->GetPropertyAt(3));
    EXPECT_EQ(object->FindPropertyFrom("beta", 4, 5), object->GetPropertyAt(1));
    EXPECT_EQ(object->FindPropertyFrom("Alpha", 3, 5), object->GetPropertyAt(0));
    EXPECT_FALSE(object->FindPropertyFrom("Alpha", 5, 5).IsValid());
    EXPECT_FALSE(object->FindPropertyFrom("Zeta", 0, 5).IsValid());
    EXPECT_FALSE(object->FindPropertyFrom(nullptr, 0, 5).IsValid());

    // Registering a second handle on one property adds no entry.
    KFbxProperty copy = object->GetPropertyAt(0);
    object->RegisterProperty(&copy);
    EXPECT_EQ(object->GetPropertyCount(), 5);
    object->RegisterProperty(nullptr);
    KStringList flags;
    flags.Add("x");
    object->GetTypeFlags(flags);
    EXPECT_EQ(flags.GetCount(), 0);
    object->Destroy();
}

TEST_F(KFbxObjectTest, LookupsByNameFollowPropertiesMadeAndDestroyedBetweenThem) {
    auto* object = Make(KFbxObject::ClassId, "o");
    std::vector<KFbxProperty> made;
    for (int i = 0; i < 40; ++i) {
        made.push_back(KFbxProperty::Create(object, ("p" + std::to_string(i)).c_str(), gKFbxDataTypeNumber, ""));
    }
    EXPECT_EQ(object->FindProperty("p17"), made[17]);
    EXPECT_EQ(KFbxProperty::Create(object, "p17", gKFbxDataTypeBool, ""), made[17]);  // found, not made
    EXPECT_EQ(object->GetPropertyCount(), 40);

    made[17].Destroy();
    made[39].Destroy();
    EXPECT_FALSE(object->FindProperty("p17").IsValid());
    EXPECT_FALSE(object->FindProperty("p39").IsValid());
    EXPECT_EQ(object->FindProperty("p18"), object->GetPropertyAt(17));
    EXPECT_EQ(object->FindPropertyOfType("p38", gKFbxDataTypeNumber), object->GetPropertyAt(37));
    EXPECT_FALSE(object->FindPropertyOfType("p38", gKFbxDataTypeBool).IsValid());

    const KFbxProperty again = KFbxProperty::Create(object, "p17", gKFbxDataTypeBool, "");
    EXPECT_EQ(object->FindProperty("p17"), again);
    EXPECT_EQ(object->GetPropertyAt(38), again);
    // A second property of a name: the first listed is still the one found.
    const KFbxProperty twin = KFbxProperty::Create(object, "p3", gKFbxDataTypeBool, "", true);
    EXPECT_NE(twin, made[3]);
    EXPECT_EQ(object->FindProperty("p3"), made[3]);
    made[3].Destroy();
    EXPECT_EQ(object->FindProperty("p3"), twin);
    EXPECT_EQ(object->FindProperty("P3", false), twin);
    object->Destroy();
}

// Looks every property it still lists up by name, on itself and on its twin,
// as each of them leaves.
class LookingOnTheWayOut : public KFbxObject {
public:
    LookingOnTheWayOut(int& removed, int& misses) : KFbxObject(nullptr, "leaving"), mRemoved(removed), mMisses(misses) {
        CreateInternal();
    }
    void RemoveProperty(KFbxProperty* property) override {
        for (int i = 0; i < GetPropertyCount(); ++i) {
            const KFbxProperty listed = GetPropertyAt(i);
            if (FindProperty(listed.GetName()) != listed ||
                GetInternalObject()->FindProperty(listed.GetName()) != listed.GetKProperty()) {
                ++mMisses;
            }
        }
        ++mRemoved;
        KFbxObject::RemoveProperty(property);
    }
    int& mRemoved;
    int& mMisses;
};

TEST_F(KFbxObjectTest, LookupsByNameStillFindWhatAGoingObjectHasLeft) {
    int removed = 0;
    int misses = 0;
    auto* object = new LookingOnTheWayOut(removed, misses);
    for (int i = 0; i < 30; ++i) {
        KFbxProperty::Create(object, ("q" + std::to_string(i)).c_str(), gKFbxDataTypeNumber, "");
    }
    // The indexes were built before the object goes.
    ASSERT_TRUE(object->FindProperty("q29").IsValid());
    ASSERT_NE(object->GetInternalObject()->FindProperty("q29"), nullptr);
    object->Destroy();
    EXPECT_EQ(removed, 30);
    EXPECT_EQ(misses, 0);
}

TEST_F(KFbxObjectTest, WrapsTheTwinsOwnPropertiesOnce) {
    auto* object = Make(KFbxObject::ClassId, "o");
    KProperty* size = object->GetInternalObject()->CreateDynamicProperty("Size", eKPropertyDouble, nullptr, true,
                                                                           true, nullptr, false);
    ASSERT_NE(size, nullptr);
    size->SetDouble(2.5);
    KFbxProperty bound = KFbxProperty::Create(object, "Bound", gKFbxDataTypeInteger, "");
    const int twinCount = object->GetInternalObject()->GetPropertyCount();
    object->WrapInternalProperties();
    object->WrapInternalProperties();
    EXPECT_EQ(object->GetPropertyCount(), 2);
    EXPECT_EQ(object->GetInternalObject()->GetPropertyCount(), twinCount);
    KFbxProperty* wrapped = object->FindPropertyByInternal(size);
    ASSERT_NE(wrapped, nullptr);
    EXPECT_STREQ(wrapped->GetName(), "Size");
    EXPECT_EQ(wrapped->GetPropertyDataType(), gKFbxDataTypeNumber);
    EXPECT_TRUE(wrapped->GetFlag(KFbxProperty::kAnimatable | KFbxProperty::kUser));
    EXPECT_EQ(wrapped->GetObject(), object);
    EXPECT_DOUBLE_EQ(wrapped->GetDouble(), 2.5);
    EXPECT_EQ(object->FindPropertyByInternal(nullptr), nullptr);
    object->Destroy();
}

TEST_F(KFbxObjectTest, SourcesOfSceneMembersJoinTheSceneAndStay) {
    auto* scene = Make(TestScene::ClassId, "scene");
    auto* node = Make(TestNode::ClassId, "node");
    auto* mesh = Make(TestMesh::ClassId, "mesh");
    auto* skin = Make(TestSkin::ClassId, "skin");
    ASSERT_TRUE(mesh->ConnectSrc(skin));
    ASSERT_TRUE(node->ConnectSrc(mesh));
    EXPECT_EQ(node->GetScene(), nullptr);

    ASSERT_TRUE(scene->ConnectSrc(node));
    EXPECT_EQ(node->GetScene(), scene);
    EXPECT_EQ(mesh->GetScene(), scene);
    EXPECT_EQ(skin->GetScene(), scene);
    // Each object joins once.
    EXPECT_EQ(scene->GetSrcObjectCount(), 3);

    auto* texture = Make(TestTexture::ClassId, "texture");
    ASSERT_TRUE(node->ConnectSrc(texture));
    EXPECT_EQ(texture->GetScene(), scene);
    ASSERT_TRUE(node->DisconnectSrc(texture));
    EXPECT_EQ(texture->GetScene(), scene);

    // An object stays in the first scene it joined.
    auto* other = Make(TestScene::ClassId, "other");
    texture->SetScene(other);
    EXPECT_EQ(texture->GetScene(), scene);
    texture->SetScene(nullptr);
    EXPECT_EQ(texture->GetScene(), nullptr);
    texture->SetScene(other);
    EXPECT_EQ(texture->GetScene(), other);

    scene->Destroy(true);
    other->Destroy(true);
}

// Records which objects were destroyed, by name.
std::vector<std::string> gDestroyed;

template <class Base>
class Recorded : public Base {
public:
    using Base::Base;
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name) {
        auto* object = new Recorded(manager, name);
        object->CreateInternal();
        return object;
    }
    ~Recorded() override { gDestroyed.emplace_back(this->GetName()); }
};

class OwnershipTest : public KFbxObjectTest {
protected:
    template <class T>
    KFbxObject* New(const char* name) {
        KFbxPlug* plug = Recorded<T>::CreateFn(nullptr, name);
        plug->SetRuntimeClassId(T::ClassId);
        return static_cast<KFbxObject*>(plug);
    }
    void SetUp() override {
        KFbxObjectTest::SetUp();
        gDestroyed.clear();
        mNode = New<TestNode>("node");
        mChild = New<TestNode>("child");
        mMesh = New<TestMesh>("mesh");
        mSkin = New<TestSkin>("skin");
        mCluster = New<TestCluster>("cluster");
        mMap = New<TestWeightedMap>("map");
        mTexture = New<TestTexture>("texture");
        ASSERT_TRUE(mSkin->ConnectSrc(mCluster));
        ASSERT_TRUE(mMesh->ConnectSrc(mSkin));
        ASSERT_TRUE(mMesh->ConnectSrc(mMap));
        ASSERT_TRUE(mNode->ConnectSrc(mChild));
        ASSERT_TRUE(mNode->ConnectSrc(mMesh));
        ASSERT_TRUE(mNode->ConnectSrc(mTexture));
    }
    KFbxObject* mNode = nullptr;
    KFbxObject* mChild = nullptr;
    KFbxObject* mMesh = nullptr;
    KFbxObject* mSkin = nullptr;
    KFbxObject* mCluster = nullptr;
    KFbxObject* mMap = nullptr;
    KFbxObject* mTexture = nullptr;
};

TEST_F(OwnershipTest, RecursiveDestroyOfANodeTakesWhatItOwns) {
    mNode->Destroy(true);
    EXPECT_EQ(gDestroyed, (std::vector<std::string>{"child", "cluster", "skin", "map", "mesh", "node"}));
    EXPECT_EQ(mTexture->GetDstObjectCount(), 0);
    mTexture->Destroy();
}

TEST_F(OwnershipTest, WithoutTheFlagChildNodesStayAndLoseTheirParent) {
    mNode->Destroy(false);
    EXPECT_EQ(gDestroyed, (std::vector<std::string>{"cluster", "skin", "map", "mesh", "node"}));
    EXPECT_EQ(mChild->GetDstObjectCount(), 0);
    mChild->Destroy();
    mTexture->Destroy();
}

TEST_F(OwnershipTest, TheOwnershipTable) {
    EXPECT_TRUE(KFbxIsOwnedSource(mNode, mChild, true));
    EXPECT_FALSE(KFbxIsOwnedSource(mNode, mChild, false));
    EXPECT_TRUE(KFbxIsOwnedSource(mNode, mSkin, false));
    EXPECT_FALSE(KFbxIsOwnedSource(mNode, mTexture, true));
    EXPECT_TRUE(KFbxIsOwnedSource(mMesh, mMap, false));
    EXPECT_FALSE(KFbxIsOwnedSource(mMesh, mChild, true));
    EXPECT_TRUE(KFbxIsOwnedSource(mSkin, mCluster, false));
    EXPECT_FALSE(KFbxIsOwnedSource(mCluster, mSkin, true));
    EXPECT_FALSE(KFbxIsOwnedSource(mTexture, mMesh, true));
    EXPECT_FALSE(KFbxIsOwnedSource(nullptr, mMesh, true));
    auto* attribute = Make(TestNodeAttribute::ClassId, "attribute");
    EXPECT_FALSE(KFbxIsOwnedSource(attribute, mSkin, true));
    auto* scene = Make(TestScene::ClassId, "scene");
    EXPECT_TRUE(KFbxIsOwnedSource(scene, mTexture, false));
    scene->Destroy();
    attribute->Destroy();
    mNode->Destroy(true);
    mTexture->Destroy();
}

TEST_F(OwnershipTest, ASceneDestroysEverySource) {
    auto* scene = New<TestScene>("scene");
    ASSERT_TRUE(scene->ConnectSrc(mNode));
    scene->Destroy(false);
    EXPECT_EQ(gDestroyed.back(), "scene");
    // Its node (and so the node's attribute) went with it; the child joined
    // the scene as a source of the node, so it went too.
    EXPECT_EQ(gDestroyed.size(), 8u);
}

TEST_F(KFbxObjectTest, AnObjectDeletedWithoutDestroyLeavesNothingBehind) {
    auto* object = new KFbxObject(nullptr, "loose");
    object->CreateInternal();
    KFbxProperty::Create(object, "P", gKFbxDataTypeNumber, "");
    auto* list = new KGenericObjectList();
    list->Add(HdlKObject(object->GetInternalPlug()));
    delete object;
    EXPECT_EQ(list->GetAt(0).Resolve(), nullptr);
    list->Release();

    // A twin released by someone else leaves its object without one.
    auto* other = Make(KFbxObject::ClassId, "other");
    other->GetInternalObject()->Release();
    EXPECT_EQ(other->GetInternalObject(), nullptr);
    EXPECT_EQ(other->GetSrcObjectCount(), 0);
    other->Destroy();
}

}  // namespace
