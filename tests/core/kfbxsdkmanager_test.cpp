#include <fbxfilesdk/core/FbxSdkLibrary.h>
#include <fbxfilesdk/core/KFbxClassRegistration.h>
#include <fbxfilesdk/core/KFbxFileFormatRegistryUsers.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KFbxUserNotification.h>
#include <fbxfilesdk/core/KMemoryReusePool.h>
#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KWorld.h>

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <set>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// Names of the test objects in the order their destructors ran.
std::vector<std::string> gDestroyed;

template <class Tag>
class Logged : public KFbxObject {
public:
    static inline KFbxClassId ClassId;
    Logged(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) {}
    ~Logged() override { gDestroyed.emplace_back(GetName()); }
    KFbxClassId GetClassId() const override { return ClassId; }
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name) {
        auto* object = new (std::nothrow) Logged(manager, name);
        if (object != nullptr) {
            object->CreateInternal();
        }
        return object;
    }
};
using Scene = Logged<struct SceneTag>;
using Node = Logged<struct NodeTag>;
using Thing = Logged<struct ThingTag>;
using BigThing = Logged<struct BigThingTag>;

// The stand-in classes, registered with the first manager that needs them.
void RegisterStandIns(KFbxSdkManager* manager) {
    if (Thing::ClassId != KFbxClassId()) {
        return;
    }
    Scene::ClassId = RegisterClass(manager, "TestScene", KFbxObject::ClassId, &Scene::CreateFn, nullptr, nullptr);
    Node::ClassId = RegisterClass(manager, "TestNode", KFbxObject::ClassId, &Node::CreateFn, nullptr, nullptr);
    Thing::ClassId = RegisterClass(manager, "TestThing", KFbxObject::ClassId, &Thing::CreateFn, nullptr, nullptr);
    BigThing::ClassId = RegisterClass(manager, "TestBigThing", Thing::ClassId, &BigThing::CreateFn, nullptr, nullptr);
}

template <class T>
T* Create(KFbxSdkManager* manager, const char* name) {
    return static_cast<T*>(CreateObjectOfClass(manager, T::ClassId, name));
}

bool ServicesRunning() {
    return KPlugClassRegistry::GetHandlePool() != nullptr && KWorld::GetGlobal() != nullptr &&
           KMemoryReusePool::IsSystemStarted();
}

int gRegistryMade = 0;
int gRegistryDestroyed = 0;

}  // namespace

TEST(KFbxSdkManagerServices, StartWithTheFirstManagerAndStopWithTheLastInEitherOrder) {
    KFbxSetFileFormatRegistryLife([] { ++gRegistryMade; }, [] { ++gRegistryDestroyed; });
    const int plugsBefore = KPlug::GetLiveCount();
    for (bool firstDiesFirst : {true, false}) {
        ASSERT_FALSE(ServicesRunning());
        ASSERT_EQ(KFbxSdkManager::GetLiveCount(), 0);
        KFbxSdkManager* first = CreateSdkManager();
        ASSERT_NE(first, nullptr);
        KFbxPlug* kept = CreateObjectOfClass(first, KFbxObject::ClassId, "a");
        ASSERT_NE(kept, nullptr);
        EXPECT_TRUE(ServicesRunning());
        KWorld* world = KWorld::GetGlobal();

        KFbxSdkManager* second = CreateSdkManager();
        ASSERT_NE(second, nullptr);
        ASSERT_NE(CreateObjectOfClass(second, KFbxObject::ClassId, "b"), nullptr);
        // Started once: the second manager takes no reference of its own.
        EXPECT_EQ(FbxSdkLibraryGetRefCount(), 1);
        EXPECT_EQ(KPlugClassRegistry::GetUseCount(), 1);
        EXPECT_EQ(KWorld::GetGlobal(), world);
        EXPECT_EQ(KFbxSdkManager::GetLiveCount(), 2);
        EXPECT_EQ(KFbxFileFormatRegistryGetUserCount(), 2);
        EXPECT_EQ(gRegistryMade, firstDiesFirst ? 1 : 2);

        delete (firstDiesFirst ? first : second);
        EXPECT_TRUE(ServicesRunning());
        EXPECT_EQ(KFbxSdkManager::GetLiveCount(), 1);
        EXPECT_EQ(KFbxFileFormatRegistryGetUserCount(), 1);
        KFbxSdkManager* survivor = firstDiesFirst ? second : first;
        EXPECT_EQ(survivor->GetObjectCount(), 1);
        delete survivor;

        EXPECT_FALSE(ServicesRunning());
        EXPECT_EQ(FbxSdkLibraryGetRefCount(), 0);
        EXPECT_EQ(KFbxFileFormatRegistryGetUserCount(), 0);
        EXPECT_EQ(gRegistryDestroyed, firstDiesFirst ? 1 : 2);
        // Every object, twin and list went with its manager.
        EXPECT_EQ(KPlug::GetLiveCount(), plugsBefore);
    }
    KFbxSetFileFormatRegistryLife(nullptr, nullptr);
}

TEST(KFbxSdkManagerServices, ARegistryInstalledWhileManagersLiveIsMadeAtOnce) {
    gRegistryMade = gRegistryDestroyed = 0;
    KFbxSdkManager* manager = CreateSdkManager();
    ASSERT_NE(manager, nullptr);
    KFbxSetFileFormatRegistryLife([] { ++gRegistryMade; }, [] { ++gRegistryDestroyed; });
    EXPECT_EQ(gRegistryMade, 1);
    KFbxSdkManager* second = CreateSdkManager();
    EXPECT_EQ(gRegistryMade, 1);
    delete second;
    delete manager;
    EXPECT_EQ(gRegistryDestroyed, 1);
    KFbxSetFileFormatRegistryLife(nullptr, nullptr);
}

TEST(KFbxSdkManagerServices, ServicesStartedByOthersAreLeftRunning) {
    ASSERT_TRUE(KMemoryReusePool::InitSystem());
    KFbxSdkManager* manager = CreateSdkManager();
    ASSERT_NE(manager, nullptr);
    delete manager;
    EXPECT_TRUE(KMemoryReusePool::IsSystemStarted());
    EXPECT_EQ(KPlugClassRegistry::GetHandlePool(), nullptr);
    KMemoryReusePool::TermSystem();
}

TEST(KFbxSdkManagerClasses, TheFirstManagerRegistersAndLaterOnesReuseTheClassIds) {
    KFbxSdkManager* first = CreateSdkManager();
    ASSERT_NE(first, nullptr);
    const KFbxClassId plug = KFbxPlug::ClassId;
    const KFbxClassId property = KFbxProperty::ClassId;
    const KFbxClassId object = KFbxObject::ClassId;
    ASSERT_NE(plug, KFbxClassId());
    EXPECT_STREQ(plug.GetName(), "KFbxPlug");
    EXPECT_EQ(plug.GetClassIdInfo()->GetParent(), nullptr);
    EXPECT_STREQ(object.GetName(), "KFbxObject");
    EXPECT_TRUE(object.Is(plug));
    EXPECT_TRUE(property.Is(plug));
    EXPECT_FALSE(property.Is(object));

    KFbxSdkManager* second = CreateSdkManager();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(KFbxObject::ClassId, object);
    // Class ids are process-wide: an object of one manager's class in the other.
    KFbxPlug* made = CreateObjectOfClass(second, object, "x");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetSdkManager(), second);
    EXPECT_EQ(made->GetRuntimeClassId(), object);
    delete first;
    delete second;

    // After every manager died, a new one registers nothing again.
    KFbxSdkManager* later = CreateSdkManager();
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(KFbxPlug::ClassId, plug);
    EXPECT_EQ(KFbxProperty::ClassId, property);
    EXPECT_EQ(KFbxObject::ClassId, object);
    delete later;
}

TEST(KFbxSdkManagerClasses, OnItsOwnTheBaseLibrarySuppliesOnlyItsOwnRows) {
    const KFbxClassRegistration* rows = KFbxGetClassRegistrations();
    EXPECT_STREQ(rows[0].mName, "KFbxPlug");
    EXPECT_STREQ(rows[1].mName, "KFbxProperty");
    EXPECT_STREQ(rows[2].mName, "KFbxObject");
    EXPECT_EQ(rows[2].mClassId, &KFbxObject::ClassId);
    for (int row = 3; row < kKFbxClassRegistrationCount; ++row) {
        EXPECT_EQ(rows[row].mName, nullptr) << row;
    }
    EXPECT_EQ(KFbxFindRegisteredClass("KFbxNode"), KFbxClassId());
}

TEST(KFbxSdkManagerClasses, TypeNamesAreFoundOnlyInTheManagerThatRegisteredThem) {
    KFbxSdkManager* reader = CreateSdkManager();
    KFbxSdkManager* other = CreateSdkManager();
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(reader->FindClassByTypeNames("Model", "Mesh"), KFbxClassId());
    const KFbxClassId mesh = RegisterClass(reader, "FileMesh", KFbxObject::ClassId, nullptr, "Model", "Mesh");
    ASSERT_NE(mesh, KFbxClassId());
    EXPECT_EQ(reader->FindClassByTypeNames("Model", "Mesh"), mesh);
    EXPECT_EQ(reader->FindClassByTypeNames("Model", "mesh"), KFbxClassId());
    EXPECT_EQ(reader->FindClassByTypeNames("Model", nullptr), KFbxClassId());
    EXPECT_EQ(other->FindClassByTypeNames("Model", "Mesh"), KFbxClassId());
    EXPECT_EQ(mesh.GetObjectTypeName(), "Model");
    // Without both names the class is not entered by type names.
    RegisterClass(reader, "Half", KFbxObject::ClassId, nullptr, "Half", nullptr);
    EXPECT_EQ(reader->FindClassByTypeNames("Half", ""), KFbxClassId());
    // A class made from a type-named class is made by the nearest create function.
    KFbxPlug* made = CreateObjectOfClass(reader, mesh, "m");
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsRuntime(mesh));
    EXPECT_EQ(reader->GetObjectCount(mesh), 1);
    EXPECT_FALSE(reader->AddClassId(KFbxClassId()));
    delete reader;
    delete other;
}

class KFbxSdkManagerObjects : public ::testing::Test {
protected:
    void SetUp() override {
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
        RegisterStandIns(mManager);
        gDestroyed.clear();
    }
    void TearDown() override { delete mManager; }

    KFbxSdkManager* mManager = nullptr;
};

TEST_F(KFbxSdkManagerObjects, AreFoundByClassAndByName) {
    KFbxPlug* plain = CreateObjectOfClass(mManager, KFbxObject::ClassId, "box");
    Thing* thing = Create<Thing>(mManager, "box");
    BigThing* big = Create<BigThing>(mManager, "crate");
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(thing, nullptr);
    ASSERT_NE(big, nullptr);

    EXPECT_EQ(mManager->GetObjectCount(), 3);
    EXPECT_EQ(mManager->GetObjectCount(KFbxObject::ClassId), 3);
    EXPECT_EQ(mManager->GetObjectCount(Thing::ClassId), 2);
    EXPECT_EQ(mManager->GetObjectCount(BigThing::ClassId), 1);
    EXPECT_EQ(mManager->GetObject(KFbxClassId(), 0), plain);
    EXPECT_EQ(mManager->GetObject(Thing::ClassId, 1), big);
    EXPECT_EQ(mManager->GetObject(Thing::ClassId, 2), nullptr);
    EXPECT_EQ(mManager->GetObject(Thing::ClassId, -1), nullptr);

    EXPECT_EQ(mManager->FindObjectByName(KFbxClassId(), "box"), plain);
    EXPECT_EQ(mManager->FindObjectByName(KFbxClassId(), "box", 1), thing);
    EXPECT_EQ(mManager->FindObjectByName(Thing::ClassId, "box"), thing);
    EXPECT_EQ(mManager->FindObjectByName(Thing::ClassId, "crate"), big);
    EXPECT_EQ(mManager->FindObjectByName(Thing::ClassId, "Box"), nullptr);
    EXPECT_EQ(mManager->FindObjectByName(Thing::ClassId, "crate", 2), nullptr);
    EXPECT_EQ(mManager->FindObjectByName(Thing::ClassId, nullptr), nullptr);
    // The current name counts, not the one the object was made with.
    big->SetName("barrel");
    EXPECT_EQ(mManager->FindObjectByName(Thing::ClassId, "crate"), nullptr);
    EXPECT_EQ(mManager->FindObjectByName(KFbxClassId(), "barrel"), big);

    thing->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(Thing::ClassId), 1);
    EXPECT_EQ(mManager->FindObjectByName(KFbxClassId(), "box", 1), nullptr);
}

TEST_F(KFbxSdkManagerObjects, CreationRefusesClassesWithoutCreateFunction) {
    EXPECT_EQ(CreateObjectOfClass(mManager, KFbxClassId(), "x"), nullptr);
    EXPECT_EQ(CreateObjectOfClass(mManager, KFbxPlug::ClassId, "x"), nullptr);
    EXPECT_EQ(CreateObjectOfClass(nullptr, KFbxObject::ClassId, "x"), nullptr);
    EXPECT_EQ(mManager->GetObjectCount(), 0);
    // A property is made but not held: only objects belong to the manager.
    KFbxPlug* property = CreateObjectOfClass(mManager, KFbxProperty::ClassId, "p");
    ASSERT_NE(property, nullptr);
    EXPECT_EQ(mManager->GetObjectCount(), 0);
    EXPECT_FALSE(mManager->AddObject(property));
    property->Destroy();
}

TEST_F(KFbxSdkManagerObjects, AnObjectIsHeldOnceAndRemovingAStrangerFails) {
    Thing* thing = Create<Thing>(mManager, "t");
    EXPECT_TRUE(mManager->AddObject(thing));
    EXPECT_EQ(mManager->GetObjectCount(), 1);

    KFbxPlug* stranger = Thing::CreateFn(mManager, "stranger");
    EXPECT_EQ(mManager->GetError().GetLastErrorID(), -1);
    EXPECT_FALSE(mManager->RemoveObject(stranger));
    EXPECT_EQ(mManager->GetError().GetLastErrorID(), KFbxSdkManager::eObjectNotFound);
    EXPECT_STREQ(mManager->GetError().GetLastErrorString(), "Object not found");
    // Destroy still deletes it.
    stranger->Destroy();
    EXPECT_EQ(gDestroyed, std::vector<std::string>{"stranger"});
    EXPECT_FALSE(mManager->RemoveObject(nullptr));
}

TEST_F(KFbxSdkManagerObjects, AnObjectLetGoMayOutliveItsManager) {
    KFbxSdkManager* keeper = CreateSdkManager();
    ASSERT_NE(keeper, nullptr);
    Thing* thing = Create<Thing>(mManager, "free");
    ASSERT_TRUE(mManager->RemoveObject(thing));
    EXPECT_EQ(mManager->GetObjectCount(), 0);
    delete mManager;
    mManager = keeper;
    // Its manager is gone: destroying it must not reach the freed manager.
    thing->Destroy();
    EXPECT_EQ(gDestroyed, std::vector<std::string>{"free"});
    EXPECT_EQ(keeper->GetError().GetLastErrorID(), -1);
}

TEST_F(KFbxSdkManagerObjects, DestroyAllObjectsTakesScenesThenNodesThenTheRest) {
    KFbxSceneClassIds sceneClasses;
    sceneClasses.mScene = Scene::ClassId;
    sceneClasses.mNode = Node::ClassId;
    KFbxSetSceneClassIds(sceneClasses);

    Thing* first = Create<Thing>(mManager, "thing");
    Node* loose = Create<Node>(mManager, "loose node");
    Scene* scene = Create<Scene>(mManager, "scene");
    Node* inScene = Create<Node>(mManager, "scene node");
    ASSERT_TRUE(scene->ConnectSrc(inScene));
    Node* child = Create<Node>(mManager, "child");
    ASSERT_TRUE(loose->ConnectSrc(child));
    ASSERT_NE(mManager->CreateUserNotification("a", "b"), nullptr);

    mManager->DestroyAllObjects();
    // The scene takes what it owns, a node its children; nodes go before
    // objects made before them.
    const std::vector<std::string> expected = {"scene node", "scene", "child", "loose node", "thing"};
    EXPECT_EQ(gDestroyed, expected);
    EXPECT_EQ(mManager->GetObjectCount(), 0);
    EXPECT_EQ(mManager->GetUserNotification(), nullptr);
    (void)first;
    KFbxSetSceneClassIds(KFbxSceneClassIds());
}

TEST_F(KFbxSdkManagerObjects, OneUserNotificationAtATime) {
    KFbxUserNotification* notification = mManager->CreateUserNotification("one", "two");
    ASSERT_NE(notification, nullptr);
    EXPECT_EQ(mManager->CreateUserNotification("three", "four"), nullptr);
    EXPECT_EQ(mManager->GetUserNotification(), notification);
    EXPECT_TRUE(mManager->DestroyUserNotification());
    EXPECT_EQ(mManager->GetUserNotification(), nullptr);
    EXPECT_TRUE(mManager->DestroyUserNotification());
    EXPECT_NE(mManager->CreateUserNotification("five", "six"), nullptr);
    // The last one goes with the manager.
}
