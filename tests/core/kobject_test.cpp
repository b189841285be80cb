#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFreshPropertyNamesScope.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KMemoryReusePool.h>
#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KObjectNotifier.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KPropertyTemplate.h>
#include <fbxfilesdk/core/KWorld.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

struct Notice {
    int mKind;
    KEventWord mA;
    int mIndex;
    bool operator==(const Notice& other) const {
        return mKind == other.mKind && mA == other.mA && mIndex == other.mIndex;
    }
};

std::ostream& operator<<(std::ostream& out, const Notice& n) {
    return out << "{" << n.mKind << ", " << n.mA << ", " << n.mIndex << "}";
}

KEventWord W(const void* p) { return reinterpret_cast<KEventWord>(p); }

// Logs what it sends, what it hears as a destination and as an owner.
class Recorder : public KObject {
public:
    void Notify(int kind, KEventWord a, KEventWord b, int index) override {
        mSent.push_back({kind, a, index});
        KObject::Notify(kind, a, b, index);
    }
    bool OnNotify(int kind, KObject* sender, KEventWord, KEventWord) override {
        mHeard.push_back({kind, W(sender), -1});
        return true;
    }
    bool OnDstConnectionChange(int kind, KObject* other, int index) override {
        mDstChanges.push_back({kind, W(other), index});
        return true;
    }
    bool OnPropertyListChange(int kind, KProperty* property, bool dynamic) override {
        mListChanges.push_back({kind, W(property), dynamic ? 1 : 0});
        return true;
    }
    void OnOwnedNotify(KObject* owned, int kind, KEventWord a, KEventWord, int index) override {
        mOwned.push_back({kind, a, index});
        mLastOwned = owned;
    }
    bool OnOwnedConnectionEvent(KObject*, const KPlugEventChain*, int code, KPlug*, int, KPlug*, std::uint8_t,
                                KEventWord) override {
        return !(mRefuseOwnedConnections && code == eKPlugDstMayTakeSrc);
    }
    bool AllowsMoveOf(KObject*, KObject*) override { return mAllowMoves; }
    const char* GetTypeName() const override { return mTypeName; }

    std::vector<Notice> mSent;
    std::vector<Notice> mHeard;
    std::vector<Notice> mDstChanges;
    std::vector<Notice> mListChanges;
    std::vector<Notice> mOwned;
    KObject* mLastOwned = nullptr;
    bool mRefuseOwnedConnections = false;
    bool mAllowMoves = true;
    const char* mTypeName = "";
};

// An exclusion list that holds the names it is given.
class NameList : public KObject {
public:
    bool HoldsObjectNamed(const char* fullName) override {
        for (const std::string& name : mNames) {
            if (name == fullName) return true;
        }
        return false;
    }
    std::vector<std::string> mNames;
};

class KObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        KMemoryReusePool::InitSystem();
        KPlugClassRegistry::AddRef();
        mWorld = KWorld::Create();
        ASSERT_NE(mWorld, nullptr);
    }
    void TearDown() override {
        KWorld::Delete(mWorld);
        KPlugClassRegistry::Release();
        KMemoryReusePool::TermSystem();
    }

    static KProperty* Make(KObject& owner, const char* name, int type, bool user = false) {
        return owner.CreateDynamicProperty(name, type, nullptr, false, user, nullptr, false);
    }

    KWorld* mWorld = nullptr;
};

void RecordConnection(void* context, KObjectConnectionRecord& record) {
    static_cast<std::vector<KObjectConnectionRecord>*>(context)->push_back(record);
}

}  // namespace

TEST_F(KObjectTest, ANewObject) {
    KObject object;
    EXPECT_EQ(object.GetWorldIndex(), -2);
    EXPECT_EQ(object.GetWorld(), nullptr);
    EXPECT_EQ(object.GetObjectFlags(), 0x2B3DFu);
    EXPECT_EQ(object.GetTypeId(), 1);
    EXPECT_STREQ(object.GetClassName(), "KObject");
    EXPECT_TRUE(object.IsType(1));
    EXPECT_TRUE(object.IsType(2));
    EXPECT_FALSE(object.IsType(gKPropertyClassInfo.GetId()));
    EXPECT_EQ(object.GetInterface(KObject::kInterfaceKObject, nullptr), &object);
    EXPECT_EQ(object.GetOwner(), nullptr);
    EXPECT_TRUE(object.IsUnused(0));
    EXPECT_FALSE(object.IsUnused(1));
}

TEST_F(KObjectTest, LivesInAWorldWithItsIndexedProperties) {
    auto* object = new KObject();
    KProperty* indexed = Make(*object, "Indexed", eKPropertyInt);
    indexed->GetInfo().SetFlag(KPropertyInfo::kWorldIndexed, true);
    KProperty* plain = Make(*object, "Plain", eKPropertyInt);
    object->AttachToWorld(mWorld);
    EXPECT_EQ(object->GetWorld(), mWorld);
    ASSERT_EQ(object->GetWorldIndex(), 0);
    EXPECT_EQ(mWorld->GetObject(0), object);
    ASSERT_EQ(indexed->GetWorldIndex(), 0);
    EXPECT_EQ(mWorld->GetProperty(0), indexed);
    EXPECT_EQ(plain->GetWorldIndex(), -1);

    // Removed, it gives its id back.
    object->DestroyPropertyAt(0);
    EXPECT_EQ(mWorld->GetProperty(0), nullptr);

    KObject other;
    other.AttachToWorld(mWorld);
    EXPECT_EQ(other.GetWorldIndex(), 1);
    object->Destroy();
    EXPECT_EQ(object->GetWorld(), nullptr);
    EXPECT_EQ(object->GetWorldIndex(), -1);
    EXPECT_EQ(mWorld->GetObject(0), nullptr);
    EXPECT_EQ(object->GetPropertyCount(), 0);
    object->Release();
    other.Destroy();
}

TEST_F(KObjectTest, DeletedWithoutDestroyItLeavesNothingBehind) {
    auto* object = new KObject();
    KProperty* indexed = Make(*object, "Indexed", eKPropertyString);
    indexed->GetInfo().SetFlag(KPropertyInfo::kWorldIndexed, true);
    object->AttachToWorld(mWorld);
    ASSERT_TRUE(object->AddOwnedBlock(SdkMalloc(32)));
    KObject holder;
    KProperty* reference = holder.CreateReferenceProperty(indexed, nullptr);
    ASSERT_NE(reference, nullptr);
    delete object;
    EXPECT_EQ(mWorld->GetObject(0), nullptr);
    EXPECT_EQ(mWorld->GetProperty(0), nullptr);
    EXPECT_EQ(holder.GetPropertyCount(), 0);
    holder.Destroy();
}

TEST_F(KObjectTest, StateChangesAreStampedAndAnnounced) {
    Recorder object;
    std::vector<int> events;
    object.AddCallbacks(&events, nullptr,
                        [](void* context, const KPlugEventChain*, int code, KPlug*, KEventWord, KEventWord,
                           KEventWord) { static_cast<std::vector<int>*>(context)->push_back(code); },
                        nullptr);
    EXPECT_FALSE(object.SetState(0));
    EXPECT_TRUE(object.mSent.empty());

    ASSERT_TRUE(object.SetState(KObject::kStateSelected));
    const std::uint32_t first = object.GetStateStamp();
    EXPECT_EQ(object.mSent, (std::vector<Notice>{{6, 0, -1}}));
    EXPECT_FALSE(object.SetState(KObject::kStateSelected));
    EXPECT_EQ(object.GetStateStamp(), first);
    EXPECT_TRUE(object.SetState(KObject::kStateSelected | KObject::kStateBit2));
    EXPECT_EQ(object.GetStateStamp(), first + 1);
    EXPECT_TRUE(object.SetState(0));
    std::vector<int> kinds;
    for (const Notice& n : object.mSent) kinds.push_back(n.mKind);
    EXPECT_EQ(kinds, (std::vector<int>{6, 27, 27, 16, 7, 17}));
    EXPECT_EQ(events, (std::vector<int>{24, 26, 26, 25}));
}

TEST_F(KObjectTest, TheFirstStampOfAProcessIsTwo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            KObject object;
            object.SetState(KObject::kStateSelected);
            std::exit(object.GetStateStamp() == 2 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(KObjectTest, SourceConnectionsBecomeNotifications) {
    Recorder object;
    Recorder source;
    Recorder listener;  // a destination of the object: hears its notifications
    KPlug plain;        // a destination that is no object: told nothing
    Recorder second;    // an object destination after it still hears
    Recorder owner;
    ASSERT_TRUE(listener.ConnectSrc(&object));
    ASSERT_TRUE(plain.ConnectSrc(&object));
    ASSERT_TRUE(second.ConnectSrc(&object));
    ASSERT_TRUE(object.ConnectDst(&owner));
    object.SetOwner(&owner);
    EXPECT_EQ(object.GetOwner(), &owner);
    std::vector<KObjectConnectionRecord> records;
    auto notifier = std::make_unique<KObjectNotifier>();
    notifier->AddCallback(&records, &RecordConnection);
    object.SetNotifier(std::move(notifier));
    object.mSent.clear();
    listener.mHeard.clear();
    second.mHeard.clear();

    ASSERT_TRUE(object.ConnectSrc(&source));
    const std::vector<Notice> added{{30, W(&source), -1}, {4, W(&source), 0}, {33, W(&source), 0}};
    EXPECT_EQ(object.mSent, added);
    EXPECT_EQ(owner.mOwned, added);
    EXPECT_EQ(owner.mLastOwned, &object);
    ASSERT_EQ(listener.mHeard.size(), 3u);
    EXPECT_EQ(listener.mHeard[1], (Notice{4, W(&object), -1}));
    EXPECT_EQ(second.mHeard, listener.mHeard);
    EXPECT_EQ(source.mDstChanges, (std::vector<Notice>{{1, W(&object), -1}, {4, W(&object), 0}}));

    object.mSent.clear();
    ASSERT_TRUE(object.DisconnectSrc(&source));
    EXPECT_EQ(object.mSent,
              (std::vector<Notice>{{31, W(&source), -1}, {5, W(&source), -1}, {33, W(&source), 0}}));

    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].mKind, 1);
    EXPECT_EQ(records[1].mKind, 4);
    EXPECT_EQ(records[3].mKind, 5);
    EXPECT_EQ(records[1].mTag, KObjectConnectionRecord::kTag);
    EXPECT_EQ(records[1].mSender, &object);
    EXPECT_EQ(HdlKObject(records[1].mOtherId, records[1].mOtherEntry).Resolve(), &source);
    EXPECT_EQ(HdlKObject(records[1].mObjectId, records[1].mObjectEntry).Resolve(), &object);

    // A live owner may refuse; a dead one is not asked.
    owner.mRefuseOwnedConnections = true;
    EXPECT_FALSE(object.ConnectSrc(&source));
    object.SetOwner(nullptr);
    EXPECT_TRUE(object.ConnectSrc(&source));
    object.Destroy();
}

TEST_F(KObjectTest, DestroyTellsTheOwnerThenEmptiesTheObject) {
    auto* object = new Recorder();
    Recorder owner;
    object->ConnectDst(&owner);
    object->SetOwner(&owner);
    KObject source;
    object->ConnectSrc(&source);
    Make(*object, "Size", eKPropertyInt);
    object->AttachToWorld(mWorld);
    std::vector<int> events;
    object->AddCallbacks(&events, nullptr,
                         [](void* context, const KPlugEventChain*, int code, KPlug*, KEventWord, KEventWord,
                            KEventWord) { static_cast<std::vector<int>*>(context)->push_back(code); },
                         nullptr);
    object->mSent.clear();
    owner.mOwned.clear();
    object->Destroy();
    ASSERT_FALSE(object->mSent.empty());
    EXPECT_EQ(object->mSent.front().mKind, 1);
    EXPECT_EQ(owner.mOwned.front().mKind, 1);
    EXPECT_EQ(events.front(), 23);
    EXPECT_EQ(events.back(), 23);
    EXPECT_EQ(object->GetSrcCount(), 0);
    EXPECT_EQ(object->GetDstCount(), 0);
    EXPECT_EQ(object->GetPropertyCount(), 0);
    EXPECT_EQ(mWorld->GetObject(0), nullptr);
    object->Release();
}

TEST_F(KObjectTest, ConnectionQueriesFilterByClass) {
    KObject object;
    KObject a;
    KPlug plain;
    KProperty* property = Make(a, "P", eKPropertyInt);
    object.ConnectSrc(&a);
    object.ConnectSrc(&plain);
    object.ConnectSrc(property);
    EXPECT_EQ(object.GetSrcCount(-1), 3);
    EXPECT_EQ(object.GetSrcCount(gKPlugTypeId), 3);
    EXPECT_EQ(object.GetSrcCount(gKObjectTypeId), 1);
    EXPECT_EQ(object.GetSrcObject(0, gKObjectTypeId), &a);
    EXPECT_EQ(object.GetSrcObject(1, -1), nullptr);
    EXPECT_EQ(object.GetSrc(0, gKPropertyClassInfo.GetId()), property);
    EXPECT_EQ(object.GetSrcCount(gKGenericObjectListClassInfo.GetId()), 0);
    EXPECT_EQ(object.GetSrcCount(600), 0);
    EXPECT_EQ(object.GetSrc(0, 600), nullptr);
    EXPECT_EQ(a.GetDstCount(gKObjectTypeId), 1);
    EXPECT_EQ(a.GetDstObject(0, gKObjectTypeId), &object);
    EXPECT_EQ(KObject::RootObjectOf(property), &a);
    object.Destroy();
    a.Destroy();
}

// The name look-up keeps answering as a search of the list would, through
// many properties, removals from the middle, renames and shared names.
TEST_F(KObjectTest, PropertyLookUpByNameFollowsAddsRemovesAndRenames) {
    Recorder object;
    const auto indexOf = [&object](const KProperty* property) {
        for (int i = 0; i < object.GetPropertyCount(); ++i) {
            if (object.GetPropertyAt(i) == property) {
                return i;
            }
        }
        return -1;
    };
    std::vector<KProperty*> made;
    for (int i = 0; i < 300; ++i) {
        made.push_back(Make(object, ("P" + std::to_string(i)).c_str(), eKPropertyInt));
        ASSERT_NE(made.back(), nullptr);
        ASSERT_EQ(object.FindProperty(made.back()->GetName()), made.back());
    }
    for (int i = 0; i < 300; i += 3) {
        ASSERT_TRUE(object.DestroyPropertyAt(indexOf(made[i])));
    }
    for (int i = 0; i < 300; ++i) {
        const std::string name = "P" + std::to_string(i);
        EXPECT_EQ(object.FindProperty(name.c_str()), i % 3 == 0 ? nullptr : made[i]) << name;
    }
    EXPECT_EQ(object.FindProperty("P"), nullptr);
    EXPECT_EQ(object.FindProperty(""), nullptr);

    ASSERT_TRUE(made[1]->SetName("Renamed", false));
    EXPECT_EQ(object.FindProperty("P1"), nullptr);
    EXPECT_EQ(object.FindProperty("Renamed"), made[1]);
    // Two properties of one name: the first in the list answers, and the one
    // after it once the first is gone.
    ASSERT_TRUE(made[5]->SetName("P2", false));
    EXPECT_EQ(object.FindProperty("P2"), made[2]);
    ASSERT_TRUE(object.DestroyPropertyAt(indexOf(made[2])));
    EXPECT_EQ(object.FindProperty("P2"), made[5]);
    EXPECT_EQ(object.FindProperty("P4"), made[4]);
    object.Destroy();
}

TEST_F(KObjectTest, DynamicPropertiesGetUniqueNames) {
    Recorder object;
    KProperty* size = Make(object, "Size", eKPropertyDouble);
    KProperty* size0 = Make(object, "Size", eKPropertyDouble);
    KProperty* size1 = Make(object, "Size", eKPropertyInt);
    ASSERT_NE(size1, nullptr);
    EXPECT_STREQ(size0->GetName(), "Size 0");
    EXPECT_STREQ(size1->GetName(), "Size 1");
    EXPECT_EQ(object.CreateDynamicProperty("Size", eKPropertyInt, nullptr, false, false, nullptr, true), size);
    EXPECT_EQ(object.FindProperty("Size 1"), size1);
    EXPECT_EQ(object.GetPropertyCount(), 3);
    EXPECT_EQ(object.mListChanges.front(), (Notice{8, W(size), 1}));
    EXPECT_EQ(object.mListChanges[1], (Notice{11, W(size), 1}));
    EXPECT_EQ(size->GetMin(), 0.0);
    EXPECT_EQ(size->GetMax(), 100.0);
    EXPECT_TRUE(size->IsDynamic());

    EXPECT_EQ(Make(object, "V", eKPropertyVector4D)->GetType(), eKPropertyVector3D);
    EXPECT_EQ(Make(object, "Go", eKPropertyAction)->GetType(), eKPropertyAction);
    for (int type : {-1, 0, 3, 5, 10, 11, 19}) {
        EXPECT_EQ(Make(object, "Bad", type), nullptr) << type;
    }
    EXPECT_EQ(object.GetPropertyCount(), 5);

    KProperty* animated =
        object.CreateDynamicProperty("Anim", eKPropertyDouble, gKDataTypeIntensity, true, false, nullptr, false);
    EXPECT_TRUE(animated->IsAnimatable());
    EXPECT_EQ(animated->GetDataType(), gKDataTypeIntensity);

    object.SetObjectFlags(object.GetObjectFlags() | KObject::kObjectFlagNoUserProperties);
    EXPECT_EQ(Make(object, "User", eKPropertyInt, true), nullptr);
    EXPECT_NE(Make(object, "NotUser", eKPropertyInt, false), nullptr);
    EXPECT_NE(object.CreateDynamicProperty("Ref", eKPropertyReference, nullptr, false, true, size, false), nullptr);
    EXPECT_EQ(object.GetUserPropertyCount(), 1);
    object.Destroy();
}

TEST_F(KObjectTest, AnInternedNameIsKeptWhenFreeAndNumberedWhenTaken) {
    Recorder object;
    const KInternedText size("Size");
    KProperty* first = object.CreateDynamicProperty(size, eKPropertyDouble, nullptr, false, false, nullptr, false);
    ASSERT_NE(first, nullptr);
    // The very text block is shared, not a copy of it.
    EXPECT_EQ(first->GetName(), size.Get());
    EXPECT_EQ(object.FindProperty("Size"), first);
    EXPECT_EQ(object.mListChanges.front(), (Notice{8, W(first), 1}));
    EXPECT_EQ(first->GetMin(), 0.0);
    EXPECT_EQ(first->GetMax(), 100.0);

    KProperty* second = object.CreateDynamicProperty(size, eKPropertyInt, nullptr, true, false, nullptr, false);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->GetName(), "Size 0");
    EXPECT_TRUE(second->IsAnimatable());
    EXPECT_EQ(object.CreateDynamicProperty(size, eKPropertyInt, nullptr, false, false, nullptr, true), first);

    // Quotes never reach a stored name, whichever way it comes in.
    KProperty* quoted = object.CreateDynamicProperty(KInternedText("\"Q\""), eKPropertyInt, nullptr, false, false,
                                                     nullptr, false);
    ASSERT_NE(quoted, nullptr);
    EXPECT_STREQ(quoted->GetName(), "Q");
    EXPECT_EQ(object.CreateDynamicProperty(KInternedText("C"), eKPropertyCharPtr, nullptr, false, false, nullptr,
                                           false),
              nullptr);
    object.SetObjectFlags(object.GetObjectFlags() | KObject::kObjectFlagNoUserProperties);
    EXPECT_EQ(object.CreateDynamicProperty(KInternedText("U"), eKPropertyInt, nullptr, false, true, nullptr, false),
              nullptr);
    EXPECT_EQ(object.GetPropertyCount(), 3);
    object.Destroy();
}

// Names vouched free are taken without a search only inside the scope, only
// for its object, and stay findable afterwards.
TEST_F(KObjectTest, FreshNamesAreTakenAsGivenOnlyInTheirScope) {
    Recorder object;
    Recorder other;
    const KInternedText names[] = {KInternedText("A"), KInternedText("B")};
    ASSERT_NE(Make(other, "A", eKPropertyInt), nullptr);
    {
        const KFreshPropertyNamesScope scope(&object);
        EXPECT_TRUE(KFreshPropertyNamesScope::Covers(&object));
        EXPECT_FALSE(KFreshPropertyNamesScope::Covers(&other));
        for (const KInternedText& name : names) {
            KProperty* made = object.CreateDynamicProperty(name, eKPropertyInt, nullptr, false, false, nullptr, false);
            ASSERT_NE(made, nullptr);
            EXPECT_EQ(made->GetName(), name.Get());
        }
        // Another object in the same scope still searches its own list.
        KProperty* taken = other.CreateDynamicProperty(names[0], eKPropertyInt, nullptr, false, false, nullptr, false);
        ASSERT_NE(taken, nullptr);
        EXPECT_STREQ(taken->GetName(), "A 0");
        {
            const KFreshPropertyNamesScope none(nullptr);
            EXPECT_FALSE(KFreshPropertyNamesScope::Covers(&object));
        }
        EXPECT_TRUE(KFreshPropertyNamesScope::Covers(&object));
    }
    EXPECT_FALSE(KFreshPropertyNamesScope::Covers(&object));
    EXPECT_EQ(object.FindProperty("A"), object.GetPropertyAt(0));
    EXPECT_EQ(object.FindProperty("B"), object.GetPropertyAt(1));
    KProperty* again = object.CreateDynamicProperty(names[1], eKPropertyInt, nullptr, false, false, nullptr, false);
    ASSERT_NE(again, nullptr);
    EXPECT_STREQ(again->GetName(), "B 0");
    object.Destroy();
    other.Destroy();
}

TEST_F(KObjectTest, APropertyListedByTwoObjectsLeavesEachListOnItsOwn) {
    Recorder owner;
    Recorder other;
    KProperty* shared = Make(owner, "Shared", eKPropertyInt);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(other.AddProperty(shared), -1);
    EXPECT_EQ(other.FindProperty("Shared"), shared);
    // Added once only.
    other.AddProperty(shared);
    EXPECT_EQ(other.GetPropertyCount(), 1);
    ASSERT_TRUE(other.RemovePropertyAt(0));
    EXPECT_EQ(other.GetPropertyCount(), 0);
    // Still listed by its owner: a rename reaches the owner's look-up.
    ASSERT_TRUE(shared->SetName("Moved", false));
    EXPECT_EQ(owner.FindProperty("Shared"), nullptr);
    EXPECT_EQ(owner.FindProperty("Moved"), shared);
    // Listed again after leaving: found again, and refused a second time.
    other.AddProperty(shared);
    other.AddProperty(shared);
    EXPECT_EQ(other.GetPropertyCount(), 1);
    EXPECT_EQ(other.FindProperty("Moved"), shared);
    ASSERT_TRUE(other.RemovePropertyAt(0));
    other.Destroy();
    owner.Destroy();
}

TEST_F(KObjectTest, ReferencePropertiesFollowTheirTarget) {
    auto* target = new KObject();
    target->SetName("Cube");
    KProperty* translation = Make(*target, "Translation", eKPropertyVector3D);
    translation->SetMinMax(-5.0, 5.0);
    KObject holder;
    KProperty* unnamed = holder.CreateReferenceProperty(translation, nullptr);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_STREQ(unnamed->GetName(), "Cube.Translation");
    EXPECT_TRUE(unnamed->IsReference());
    EXPECT_FALSE(unnamed->TestFlag(KPropertyInfo::kNamedReference));
    EXPECT_EQ(unnamed->GetMin(), -5.0);
    KProperty* named = holder.CreateReferenceProperty(translation, "Link");
    ASSERT_NE(named, nullptr);
    EXPECT_TRUE(named->TestFlag(KPropertyInfo::kNamedReference));
    EXPECT_EQ(holder.CreateReferenceProperty(nullptr, "X"), nullptr);
    EXPECT_EQ(holder.CreateReferenceProperty(Make(*target, "Obj", eKPropertyObject), "X"), nullptr);

    // A clone of a reference refers to the same property.
    KObject copy;
    KProperty* cloned = copy.CloneProperty(named);
    ASSERT_NE(cloned, nullptr);
    EXPECT_EQ(cloned->GetReferencedProperty(), translation);

    // Removing the target property takes its references with it.
    KProperty* scaling = Make(*target, "Scaling", eKPropertyVector3D);
    holder.CreateReferenceProperty(scaling, "ScaleLink");
    EXPECT_EQ(holder.GetPropertyCount(), 3);
    target->DestroyPropertyAt(target->GetPropertyCount() - 1);
    EXPECT_EQ(holder.FindProperty("ScaleLink"), nullptr);
    EXPECT_EQ(holder.GetPropertyCount(), 2);

    // So does the death of the target's object.
    target->Destroy();
    target->Release();
    EXPECT_EQ(holder.GetPropertyCount(), 0);
    EXPECT_EQ(copy.GetPropertyCount(), 0);
    holder.Destroy();
    copy.Destroy();
}

TEST_F(KObjectTest, AReferenceOutlivesTheReplacementOfItsTarget) {
    KObject target;
    KProperty* first = Make(target, "First", eKPropertyDouble);
    KProperty* second = Make(target, "Second", eKPropertyDouble);
    KObject holder;
    KProperty* reference = holder.CreateReferenceProperty(first, "Link");
    ASSERT_NE(reference, nullptr);

    ASSERT_TRUE(reference->ReplaceSrc(first, second));
    EXPECT_EQ(holder.FindProperty("Link"), reference);
    EXPECT_EQ(reference->GetReferencedProperty(), second);
    // Both ends closed their record of the replacement.
    EXPECT_EQ(holder.GetPendingPairCount(), 0);
    EXPECT_EQ(target.GetPendingPairCount(), 0);
    EXPECT_FALSE(target.IsPairPending(first, reference));

    // Losing its last target outside a replacement removes it.
    ASSERT_TRUE(second->DisconnectDst(reference));
    EXPECT_EQ(holder.GetPropertyCount(), 0);
    holder.Destroy();
    target.Destroy();
}

TEST_F(KObjectTest, CopiesPropertyValuesAndUserProperties) {
    KObject source;
    KObject target;
    Make(source, "A", eKPropertyInt)->SetInt(1);
    Make(source, "B", eKPropertyInt)->SetInt(2);
    source.CreateDynamicProperty("Anim", eKPropertyInt, nullptr, true, false, nullptr, false)->SetInt(3);
    Make(source, "User", eKPropertyString, true)->SetValueFromString("user value");
    Make(target, "B", eKPropertyInt);
    Make(target, "A", eKPropertyInt);
    Make(target, "Anim", eKPropertyInt);

    target.CopyFrom(&source, KObject::kCopyValues);
    EXPECT_EQ(target.FindProperty("A")->GetInt(), 1);
    EXPECT_EQ(target.FindProperty("B")->GetInt(), 2);
    EXPECT_EQ(target.FindProperty("Anim")->GetInt(), 0);
    EXPECT_EQ(target.GetUserPropertyCount(), 0);

    target.CopyFrom(&source, KObject::kCopyCloneUserProperties | KObject::kCopyUserValues);
    ASSERT_EQ(target.GetUserPropertyCount(), 1);
    KString text;
    target.GetUserPropertyAt(0)->GetValueAsString(text);
    EXPECT_STREQ(text.Buffer(), "user value");
    EXPECT_EQ(target.GetUserPropertyAt(1), nullptr);
    source.Destroy();
    target.Destroy();
}

TEST_F(KObjectTest, MergingMovesConnectionsToTheTarget) {
    KObject merged;
    merged.SetName("Merged");
    KObject target;
    KObject source, kept, destination, shared;
    source.SetName("Source");
    kept.SetName("Kept");
    merged.ConnectSrc(&source);
    merged.ConnectSrc(&kept);
    merged.ConnectSrc(&shared);
    target.ConnectSrc(&shared);
    merged.ConnectDst(&destination);
    KProperty* from = Make(merged, "Size", eKPropertyInt);
    from->SetInt(9);
    KProperty* to = Make(target, "Size", eKPropertyInt);
    KObject feeder;
    KProperty* feed = Make(feeder, "Feed", eKPropertyInt);
    from->ConnectSrc(feed);
    merged.SetState(KObject::kStateSelected);
    NameList excluded;
    excluded.mNames.push_back("Kept");

    ASSERT_TRUE(merged.MergeInto(&target, KObject::kMergeValues | KObject::kMergeDsts | KObject::kMergeSrcs, 0,
                                 &excluded, nullptr));
    EXPECT_EQ(to->GetInt(), 9);
    EXPECT_EQ(merged.GetState(), 0u);
    EXPECT_EQ(merged.GetSrcCount(), 0);
    EXPECT_EQ(merged.GetDstCount(), 0);
    EXPECT_TRUE(target.HasSrc(&source));
    EXPECT_FALSE(target.HasSrc(&kept));
    EXPECT_EQ(kept.GetDstCount(), 0);
    EXPECT_EQ(target.GetSrcCount(), 2);  // shared once, then source
    EXPECT_EQ(target.GetSrc(1), &source);
    EXPECT_TRUE(target.HasDst(&destination));
    EXPECT_TRUE(to->HasSrc(feed));
    EXPECT_FALSE(from->HasSrc(feed));
    EXPECT_EQ(merged.GetPendingPairCount(), 0);
    EXPECT_EQ(merged.MoveConnectionsTo(3, 0, &target, nullptr, nullptr), true);
    EXPECT_FALSE(merged.MoveConnectionsTo(KObject::kMoveSrcs, 0, nullptr, nullptr, nullptr));
    for (KObject* object : {&merged, &target, &source, &kept, &destination, &shared, &feeder}) {
        object->Destroy();
    }
}

TEST_F(KObjectTest, AskedWhetherItMayMove) {
    KObject object;
    Recorder fed;
    KObject target;
    fed.ConnectSrc(&object);
    EXPECT_TRUE(object.CanBeMovedTo(&target));
    fed.mAllowMoves = false;
    EXPECT_FALSE(object.CanBeMovedTo(&target));
    object.Destroy();
}

TEST_F(KObjectTest, UnusedOnlyWhenAloneWithItsOwner) {
    KObject object;
    KObject owner;
    EXPECT_TRUE(object.IsUnused(0));
    object.ConnectDst(&owner);
    EXPECT_FALSE(object.IsUnused(0));
    object.SetOwner(&owner);
    EXPECT_TRUE(object.IsUnused(0));
    KProperty* size = Make(object, "Size", eKPropertyInt);
    EXPECT_TRUE(object.IsUnused(0));
    KObject other;
    size->ConnectSrc(Make(other, "Other", eKPropertyInt));
    EXPECT_FALSE(object.IsUnused(0));
    object.Destroy();
    other.Destroy();
}

TEST_F(KObjectTest, NamesAndTheFullName) {
    Recorder object;
    EXPECT_TRUE(object.SetName("   "));
    EXPECT_STREQ(object.GetName(), "1");
    object.mSent.clear();
    EXPECT_FALSE(object.SetName("1"));
    EXPECT_TRUE(object.mSent.empty());
    EXPECT_STREQ(object.GetFullName(), "1");

    EXPECT_TRUE(object.SetName("Cube"));
    EXPECT_EQ(object.mSent.size(), 2u);
    EXPECT_EQ(object.mSent[0].mKind, 8);
    EXPECT_EQ(object.mSent[1].mKind, 12);
    EXPECT_STREQ(object.GetFullName(), "Cube");
    EXPECT_TRUE(object.SetNameRaw("   "));
    EXPECT_STREQ(object.GetName(), "   ");
    EXPECT_STREQ(object.GetGivenName(), "Cube");
    EXPECT_EQ(object.mSent[2].mKind, 10);
    EXPECT_EQ(object.mSent[3].mKind, 14);
    object.mTypeName = "Model";
    object.SetFullNameDirty(true);
    EXPECT_STREQ(object.GetFullName(), "Model::   ");
    EXPECT_FALSE(object.IsFullNameDirty());
}

TEST_F(KObjectTest, ClonedPropertiesKeepTheirKind) {
    KObject source;
    KObject target;
    KProperty* anim = source.CreateDynamicProperty("Colour", eKPropertyColorRGB, gKDataTypeColor, true, true,
                                                   nullptr, false);
    anim->SetMinMax(0.0, 1.0);
    KProperty* clone = target.CloneProperty(anim);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetType(), eKPropertyColorRGB);
    EXPECT_EQ(clone->GetDataType(), gKDataTypeColor);
    EXPECT_TRUE(clone->IsAnimatable());
    EXPECT_TRUE(clone->IsUser());
    EXPECT_EQ(clone->GetMax(), 1.0);
    EXPECT_STREQ(target.CloneProperty(anim)->GetName(), "Colour 0");
    EXPECT_EQ(target.CloneProperty(nullptr), nullptr);
    source.Destroy();
    target.Destroy();
}
