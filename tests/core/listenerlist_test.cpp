#include <fbxfilesdk/core/KFbxObjectManager.h>
#include <fbxfilesdk/core/ListenerList.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/core/kLibraryBaseProxy.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// A listener whose behaviour a test chooses; it records its calls in a shared log.
struct Listener {
    std::string mName;
    std::vector<std::string>* mLog;
    std::function<void(ListenerEvent*)> mAction;
};

void OnEvent(void* userData, void*, ListenerEvent* event) {
    Listener* listener = static_cast<Listener*>(userData);
    listener->mLog->push_back(listener->mName);
    if (listener->mAction) {
        listener->mAction(event);
    }
}

ListenerEvent MakeEvent() { return ListenerEvent{1, false, 0, 0}; }

}  // namespace

TEST(ListenerList, BroadcastCallsTheOldestRegistrationFirst) {
    std::vector<std::string> log;
    Listener a{"a", &log, {}}, b{"b", &log, {}}, c{"c", &log, {}};
    ListenerList list;
    list.Register(&a, OnEvent, 0);
    list.Register(&b, OnEvent, 0);
    list.Register(&c, OnEvent, 0);
    ListenerEvent event = MakeEvent();
    EXPECT_TRUE(list.Broadcast(nullptr, &event));
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));

    EXPECT_TRUE(list.Unregister(&b, OnEvent));
    EXPECT_FALSE(list.Unregister(&b, OnEvent));
    EXPECT_FALSE(list.Unregister(&a, nullptr));
    log.clear();
    list.Broadcast(nullptr, &event);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "c"}));
}

TEST(ListenerList, AListenerRegisteredDuringABroadcastIsNotCalledByIt) {
    std::vector<std::string> log;
    ListenerList list;
    Listener late{"late", &log, {}};
    Listener a{"a", &log, [&](ListenerEvent*) { list.Register(&late, OnEvent, 0); }};
    Listener b{"b", &log, {}};
    list.Register(&a, OnEvent, 0);
    list.Register(&b, OnEvent, 0);
    ListenerEvent event = MakeEvent();
    list.Broadcast(nullptr, &event);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
    log.clear();
    a.mAction = nullptr;
    list.Broadcast(nullptr, &event);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "late"}));
}

TEST(ListenerList, AListenerRemovedBeforeItsTurnIsNotCalledAndNoneIsSkipped) {
    std::vector<std::string> log;
    ListenerList list;
    Listener c{"c", &log, {}}, d{"d", &log, {}};
    Listener a{"a", &log, [&](ListenerEvent*) { list.Unregister(&c, OnEvent); }};
    // Removes itself: the next one must still be called.
    Listener b{"b", &log, nullptr};
    b.mAction = [&](ListenerEvent*) { list.Unregister(&b, OnEvent); };
    for (Listener* listener : {&a, &b, &c, &d}) {
        list.Register(listener, OnEvent, 0);
    }
    ListenerEvent event = MakeEvent();
    list.Broadcast(nullptr, &event);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(list.GetCount(), 2);
}

TEST(ListenerList, TheStopFlagEndsTheBroadcastAfterTheListenerThatSetIt) {
    std::vector<std::string> log;
    ListenerList list;
    Listener a{"a", &log, {}}, c{"c", &log, {}};
    Listener b{"b", &log, [](ListenerEvent* event) { event->mStop = true; }};
    for (Listener* listener : {&a, &b, &c}) {
        list.Register(listener, OnEvent, 0);
    }
    ListenerEvent event = MakeEvent();
    list.Broadcast(nullptr, &event);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
}

TEST(ListenerList, UnregisterAllOrDestroyingTheListDuringABroadcastEndsIt) {
    std::vector<std::string> log;
    auto* list = new ListenerList();
    Listener a{"a", &log, [&](ListenerEvent*) { list->UnregisterAll(); }};
    Listener b{"b", &log, {}};
    list->Register(&a, OnEvent, 0);
    list->Register(&b, OnEvent, 0);
    ListenerEvent event = MakeEvent();
    list->Broadcast(nullptr, &event);
    EXPECT_EQ(log, (std::vector<std::string>{"a"}));
    EXPECT_TRUE(list->IsEmpty());

    log.clear();
    a.mAction = [&](ListenerEvent*) {
        delete list;
        list = nullptr;
    };
    list->Register(&a, OnEvent, 0);
    list->Register(&b, OnEvent, 0);
    list->Broadcast(nullptr, &event);
    EXPECT_EQ(log, (std::vector<std::string>{"a"}));
    EXPECT_EQ(list, nullptr);
}

TEST(ListenerList, NestedBroadcastsOverOneListBothStaySafe) {
    std::vector<std::string> log;
    ListenerList list;
    int depth = 0;
    Listener b{"b", &log, {}};
    Listener a{"a", &log, nullptr};
    a.mAction = [&](ListenerEvent* event) {
        if (depth++ == 0) {
            list.Unregister(&b, OnEvent);
            list.Broadcast(nullptr, event);
        }
    };
    list.Register(&a, OnEvent, 0);
    list.Register(&b, OnEvent, 0);
    ListenerEvent event = MakeEvent();
    list.Broadcast(nullptr, &event);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "a"}));
}

TEST(ListenerList, NamedListsLiveWhileTheirRegistrationsDo) {
    std::vector<std::string> log;
    Listener a{"a", &log, {}}, b{"b", &log, {}};
    EXPECT_EQ(ListenerList::GetNamed("test.named", false), nullptr);
    EXPECT_EQ(ListenerList::GetNamed(nullptr, true), nullptr);
    {
        ListenerRegistration first("test.named", OnEvent, &a);
        ASSERT_TRUE(first.IsRegistered());
        EXPECT_STREQ(first.GetName().Buffer(), "test.named");
        {
            std::string transient = "test.named";
            ListenerRegistration second(transient.c_str(), OnEvent, &b);
            transient.assign("something else");
            ListenerList* list = ListenerList::GetNamed("test.named", false);
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->GetCount(), 2);
            ListenerEvent event = MakeEvent();
            list->Broadcast(nullptr, &event);
            EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
        }
        EXPECT_EQ(ListenerList::GetNamed("test.named", false)->GetCount(), 1);
    }
    EXPECT_EQ(ListenerList::GetNamed("test.named", false), nullptr);
}

TEST(KFbxObjectManager, RegistersOnlyObjectMessagesAndBroadcastsThem) {
    KFbxObjectManager* manager = KFbxObjectManager::GetInstance();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(KFbxObjectManager::GetInstance(), manager);
    EXPECT_EQ(manager->GetInterface(0, nullptr), manager);
    EXPECT_EQ(manager->GetInterface(2, nullptr), manager);
    IRegister* registry = static_cast<IRegister*>(manager->GetInterface(3, nullptr));
    ASSERT_EQ(registry, static_cast<IRegister*>(manager));
    EXPECT_EQ(manager->GetInterface(4, nullptr), nullptr);

    std::vector<std::string> log;
    struct Seen {
        void* mSender = nullptr;
        ListenerEvent mEvent{};
    } seen;
    Listener other{"other", &log, {}};
    EXPECT_FALSE(registry->Register(0x1234, &other, OnEvent));
    EXPECT_FALSE(registry->Unregister(0x1234, &other, OnEvent));

    auto record = [](void* userData, void* sender, ListenerEvent* event) {
        Seen* target = static_cast<Seen*>(userData);
        target->mSender = sender;
        target->mEvent = *event;
    };
    ASSERT_TRUE(KFbxObjectManager::RegisterGlobal(&seen, record));
    KFbxObjectManager::Broadcast(16, 99);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(seen.mSender, static_cast<void*>(registry));
    EXPECT_EQ(seen.mEvent.mType, KFbxObjectManager::kObjectMessageEvent);
    EXPECT_EQ(seen.mEvent.mMessage, 16);
    EXPECT_EQ(seen.mEvent.mParameter, 99);
    EXPECT_TRUE(KFbxObjectManager::UnregisterGlobal(&seen, record));
    EXPECT_FALSE(KFbxObjectManager::UnregisterGlobal(&seen, record));
}

namespace {

void Ignore(void*, void*, ListenerEvent*) {}

// Made before the manager, so destroyed after it when the process ends.
struct LateUnregister {
    ~LateUnregister() {
        const bool unregistered = KFbxObjectManager::UnregisterGlobal(this, Ignore);
        const bool remade = KFbxObjectManager::GetInstance() != nullptr;
        KFbxObjectManager::Broadcast(15, 0);
        std::_Exit(unregistered || remade ? 3 : 0);
    }
};

void RegisterThenExit() {
    static LateUnregister late;
    KFbxObjectManager::RegisterGlobal(&late, Ignore);
    std::exit(0);
}

}  // namespace

TEST(KFbxObjectManagerDeathTest, AfterProcessEndDestroyedItItIsNotMadeAgain) {
    // A fresh process: the manager must not exist before the child's static object.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RegisterThenExit(), ::testing::ExitedWithCode(0), "");
}

TEST(kLibraryBaseProxy, AnswersItsInterfacesOwnsItsBlockAndLeavesTheProcessList) {
    const int before = kLibraryBaseProxy::GetProcessCount();
    auto* proxy = new kLibraryBaseProxy();
    EXPECT_EQ(kLibraryBaseProxy::GetProcessCount(), before + 1);
    EXPECT_EQ(proxy->GetInterface(0, nullptr), proxy);
    EXPECT_EQ(proxy->GetInterface(2, nullptr), proxy);
    EXPECT_EQ(proxy->GetInterface(1, nullptr), nullptr);
    proxy->SetBlock(SdkMalloc(32));
    proxy->SetBlock(SdkMalloc(16));  // the first is freed

    std::vector<std::string> log;
    Listener a{"a", &log, {}};
    EXPECT_FALSE(proxy->Listen(4, "test.proxy", OnEvent, &a));
    ASSERT_TRUE(proxy->Listen(0, "test.proxy", OnEvent, &a));
    ASSERT_TRUE(proxy->Listen(0, "test.proxy", OnEvent, &a));  // replaces, not doubles
    EXPECT_EQ(ListenerList::GetNamed("test.proxy", false)->GetCount(), 1);

    proxy->Destroy();
    EXPECT_EQ(kLibraryBaseProxy::GetProcessCount(), before);
    EXPECT_EQ(ListenerList::GetNamed("test.proxy", false), nullptr);
    // One left for the process's end to destroy.
    new kLibraryBaseProxy();
}
