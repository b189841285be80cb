#include <fbxfilesdk/core/KObjectNotifier.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <new>

namespace fbxsdk_2006_11_1 {

bool KObjectNotifier::AddCallback(void* context, Callback callback) {
    if (callback == nullptr) {
        return false;
    }
    try {
        mCallbacks.push_back(Entry{context, callback});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

void KObjectNotifier::RemoveCallback(void* context) {
    mCallbacks.erase(std::remove_if(mCallbacks.begin(), mCallbacks.end(),
                                    [context](const Entry& entry) { return entry.mContext == context; }),
                     mCallbacks.end());
}

void KObjectNotifier::Offer(KObjectConnectionRecord& record) {
    // By index, re-checked: a callback may register or remove callbacks.
    for (std::size_t i = mCallbacks.size(); i-- > 0 && record.mHandled == 0;) {
        if (i < mCallbacks.size()) {
            const Entry entry = mCallbacks[i];
            entry.mCallback(entry.mContext, record);
        }
    }
}

}  // namespace fbxsdk_2006_11_1
