#include <fbxfilesdk/core/KFbxOwnedPointer.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

namespace {

struct FakeObject;
KFbxOwnedPointer<FakeObject>* gHolder = nullptr;

struct FakeObject {
    int destroyed = 0;
    bool recursive = true;
    bool holderWasClear = false;
    void Destroy(bool recursiveDestroy) {
        ++destroyed;
        recursive = recursiveDestroy;
        holderWasClear = gHolder && gHolder->mObject == nullptr && !gHolder->mOwned;
    }
};

}  // namespace

TEST(KFbxOwnedPointer, ReleaseDestroysOnlyOwnedObjectsAfterClearing) {
    FakeObject object;
    KFbxOwnedPointer<FakeObject> pointer;
    gHolder = &pointer;
    pointer.mObject = &object;
    pointer.mOwned = true;
    pointer.Release();
    EXPECT_EQ(object.destroyed, 1);
    EXPECT_FALSE(object.recursive);
    EXPECT_TRUE(object.holderWasClear);
    pointer.Release();
    EXPECT_EQ(object.destroyed, 1);

    pointer.mObject = &object;
    pointer.mOwned = false;
    pointer.Release();
    EXPECT_EQ(object.destroyed, 1);
    EXPECT_EQ(pointer.mObject, &object);
    pointer.Reset();
    EXPECT_EQ(pointer.mObject, nullptr);
    EXPECT_FALSE(pointer.mOwned);
    gHolder = nullptr;
}
