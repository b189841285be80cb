// Where an internal object sends the records of its own connection changes:
// callbacks registered by whoever wants to follow them, offered each record
// from the last registered to the first until one marks it handled.
#ifndef FBXFILESDK_CORE_KOBJECTNOTIFIER_H
#define FBXFILESDK_CORE_KOBJECTNOTIFIER_H

#include <cstdint>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KPlug;
struct KPlugHandleEntry;

struct KObjectConnectionRecord {
    static constexpr std::uint32_t kTag = 336738;

    std::uint32_t mTag = kTag;
    // Set by the callback that takes the record; later callbacks do not see it.
    int mHandled = 0;
    KPlug* mSender = nullptr;
    // Weak references to the object and to the other end (0 / null for none).
    std::uint32_t mObjectId = 0;
    KPlugHandleEntry* mObjectEntry = nullptr;
    std::uint32_t mOtherId = 0;
    KPlugHandleEntry* mOtherEntry = nullptr;
    // The notification kind of KObject::ConnectionNotify.
    int mKind = 0;
};

class KObjectNotifier {
public:
    using Callback = void (*)(void* context, KObjectConnectionRecord& record);

    KObjectNotifier() = default;
    KObjectNotifier(const KObjectNotifier&) = delete;
    KObjectNotifier& operator=(const KObjectNotifier&) = delete;

    // False when memory runs out.
    bool AddCallback(void* context, Callback callback);
    // Removes every registration of the context.
    void RemoveCallback(void* context);
    int GetCallbackCount() const { return static_cast<int>(mCallbacks.size()); }

    // Offers the record to the callbacks, the last registered first, until one
    // sets its handled flag.
    void Offer(KObjectConnectionRecord& record);

private:
    struct Entry {
        void* mContext;
        Callback mCallback;
    };
    std::vector<Entry> mCallbacks;
};

}  // namespace fbxsdk_2006_11_1

#endif
