#include <fbxfilesdk/core/ListenerList.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <map>
#include <memory>
#include <new>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

using NamedLists = std::map<std::string, std::unique_ptr<ListenerList>>;

// Made on first use and never destroyed, so registrations undone during
// process exit still find it.
NamedLists* gNamedLists = nullptr;

}  // namespace

ListenerList::~ListenerList() {
    UnregisterAll();
    for (RunningBroadcast* running = mBroadcast; running != nullptr; running = running->mInterrupted) {
        running->mList = nullptr;
    }
}

bool ListenerList::Register(void* userData, ListenerCallback callback, std::int32_t priority) {
    try {
        mRecords.insert(mRecords.begin(), Record{userData, callback, 0, priority});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    for (RunningBroadcast* running = mBroadcast; running != nullptr; running = running->mInterrupted) {
        ++running->mCurrent;
        ++running->mLowest;
    }
    return true;
}

bool ListenerList::Unregister(void* userData, ListenerCallback callback) {
    for (std::size_t i = 0; i < mRecords.size(); ++i) {
        if (mRecords[i].mUserData == userData && mRecords[i].mCallback == callback) {
            mRecords.erase(mRecords.begin() + static_cast<std::ptrdiff_t>(i));
            const int removed = static_cast<int>(i);
            for (RunningBroadcast* running = mBroadcast; running != nullptr; running = running->mInterrupted) {
                if (running->mCurrent > removed) {
                    --running->mCurrent;
                }
                if (running->mLowest > removed) {
                    --running->mLowest;
                }
            }
            return true;
        }
    }
    return false;
}

void ListenerList::UnregisterAll() {
    mRecords.clear();
    for (RunningBroadcast* running = mBroadcast; running != nullptr; running = running->mInterrupted) {
        running->mCurrent = 0;
        running->mLowest = 0;
    }
}

bool ListenerList::Broadcast(void* sender, ListenerEvent* event) {
    RunningBroadcast running{mBroadcast, this, static_cast<int>(mRecords.size()) - 1, 0};
    mBroadcast = &running;
    // Newest records are in front: walking down from the end calls the oldest first.
    while (running.mCurrent >= running.mLowest && running.mCurrent < static_cast<int>(mRecords.size())) {
        const Record record = mRecords[running.mCurrent];
        record.mCallback(record.mUserData, sender, event);
        if (running.mList == nullptr) {
            return true;
        }
        if (event != nullptr && event->mStop) {
            break;
        }
        --running.mCurrent;
    }
    mBroadcast = running.mInterrupted;
    return true;
}

ListenerList* ListenerList::GetNamed(const char* name, bool create) {
    if (name == nullptr) {
        return nullptr;
    }
    try {
        if (gNamedLists == nullptr) {
            if (!create) {
                return nullptr;
            }
            gNamedLists = new NamedLists();
        }
        const auto found = gNamedLists->find(name);
        if (found != gNamedLists->end()) {
            return found->second.get();
        }
        if (!create) {
            return nullptr;
        }
        return gNamedLists->emplace(name, std::make_unique<ListenerList>()).first->second.get();
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
}

ListenerRegistration::ListenerRegistration(const char* name, ListenerCallback callback, void* userData)
    : mName(name), mCallback(callback), mUserData(userData) {
    ListenerList* list = ListenerList::GetNamed(name, true);
    mRegistered = list != nullptr && list->Register(userData, callback, 0);
}

ListenerRegistration::~ListenerRegistration() {
    if (!mRegistered) {
        return;
    }
    ListenerList* list = ListenerList::GetNamed(mName.Buffer(), false);
    if (list == nullptr) {
        return;
    }
    list->Unregister(mUserData, mCallback);
    if (list->IsEmpty()) {
        gNamedLists->erase(mName.Buffer());
    }
}

}  // namespace fbxsdk_2006_11_1
