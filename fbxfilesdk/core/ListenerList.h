// Ordered lists of (user data, callback) records that an event is broadcast
// to. A callback may register or unregister listeners, or destroy the list,
// while a broadcast over it runs: every running broadcast is linked to the list
// and adjusted by each change. Lists can also be found by name through a
// process-wide table. Single-threaded.
#ifndef FBXFILESDK_CORE_LISTENERLIST_H
#define FBXFILESDK_CORE_LISTENERLIST_H

#include <fbxfilesdk/core/KString.h>

#include <cstdint>
#include <vector>

namespace fbxsdk_2006_11_1 {

// What a broadcast hands to each callback. A callback sets mStop to end the
// broadcast after it.
struct ListenerEvent {
    std::uint32_t mType;
    bool mStop;
    std::intptr_t mMessage;
    std::intptr_t mParameter;
};

using ListenerCallback = void (*)(void* userData, void* sender, ListenerEvent* event);

class ListenerList {
public:
    ListenerList() = default;
    // Tells running broadcasts that the list is gone.
    ~ListenerList();
    ListenerList(const ListenerList&) = delete;
    ListenerList& operator=(const ListenerList&) = delete;

    // Adds a record in front, so it is called after every earlier one; a
    // running broadcast does not call it. Returns true (false when memory runs out).
    bool Register(void* userData, ListenerCallback callback, std::int32_t priority);
    // Removes the first record with both values; a running broadcast that had
    // not reached it does not call it. False when none matches.
    bool Unregister(void* userData, ListenerCallback callback);
    void UnregisterAll();
    // Calls every record, oldest registration first, with (user data, sender,
    // event); stops after a callback that set the event's stop flag, and at
    // once when a callback destroyed the list. Returns true.
    bool Broadcast(void* sender, ListenerEvent* event);

    int GetCount() const { return static_cast<int>(mRecords.size()); }
    bool IsEmpty() const { return mRecords.empty(); }

    // The process-wide list with the name; made when create is set. Null for a
    // null name, when absent (without create) or when memory runs out.
    static ListenerList* GetNamed(const char* name, bool create);

private:
    struct Record {
        void* mUserData;
        ListenerCallback mCallback;
        std::int32_t mReserved;
        std::int32_t mPriority;
    };
    // Kept on the stack of each running broadcast, innermost first.
    struct RunningBroadcast {
        RunningBroadcast* mInterrupted;
        ListenerList* mList;
        int mCurrent;
        int mLowest;
    };

    std::vector<Record> mRecords;
    RunningBroadcast* mBroadcast = nullptr;
};

// A registration in the named list: made (with its list when needed) at
// construction, undone at destruction; the last registration of a name
// destroys the list and removes the name.
class ListenerRegistration {
public:
    ListenerRegistration(const char* name, ListenerCallback callback, void* userData);
    ~ListenerRegistration();
    ListenerRegistration(const ListenerRegistration&) = delete;
    ListenerRegistration& operator=(const ListenerRegistration&) = delete;

    // False when the list could not be made.
    bool IsRegistered() const { return mRegistered; }
    const KString& GetName() const { return mName; }

private:
    KString mName;
    ListenerCallback mCallback;
    void* mUserData;
    bool mRegistered = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
