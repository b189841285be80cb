#include <fbxfilesdk/geometry/KFbxLayerElementObjectArray.h>

#include <fbxfilesdk/geometry/KFbxArrayCopy.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <mutex>
#include <unordered_set>

namespace fbxsdk_2006_11_1 {

namespace {

// The objects of one kind that live now, so that a pointer written through
// the raw storage is only followed while its object lives. Guarded, as
// managers in several threads make and destroy objects at once; never
// freed, as an object may go after the process's statics.
struct LiveObjects {
    std::mutex mLock;
    std::unordered_set<const void*> mObjects;
};

template <class Object>
LiveObjects& LiveObjectsOf() {
    static LiveObjects* live = new LiveObjects;
    return *live;
}

}  // namespace

template <class Object>
void KFbxLayerElementObjectArray<Object>::ObjectMade(Object* object) {
    LiveObjects& live = LiveObjectsOf<Object>();
    std::lock_guard<std::mutex> guard(live.mLock);
    live.mObjects.insert(object);
}

template <class Object>
void KFbxLayerElementObjectArray<Object>::ObjectGone(Object* object) {
    {
        LiveObjects& live = LiveObjectsOf<Object>();
        std::lock_guard<std::mutex> guard(live.mLock);
        live.mObjects.erase(object);
    }
    gKFbxLayerObjectDestructions.fetch_add(1, std::memory_order_release);
}

template <class Object>
bool KFbxLayerElementObjectArray<Object>::EntryOf(Object* object, Entry& entry) {
    entry = {object != nullptr ? HdlKObject(object->GetInternalPlug()) : HdlKObject(), object};
    return object == nullptr || !entry.mHandle.IsEmpty();
}

template <class Object>
void KFbxLayerElementObjectArray<Object>::RefreshNow() {
    const std::uint64_t at = Destructions();
    const int count = this->GetCount();
    if (mEntries.GetCount() != count) {
        // The pointers were moved about through the base array: each is
        // taken up anew. Without memory for that, each call checks them all.
        mEntries.RemoveAll();
        mEntries.SetCount(count);
    }
    const bool haveEntries = mEntries.GetCount() == count;
    Object** pointers = Base::GetArray();
    LiveObjects& live = LiveObjectsOf<Object>();
    std::unique_lock<std::mutex> liveLock(live.mLock, std::defer_lock);
    for (int i = 0; i < count; ++i) {
        Object*& pointer = pointers[i];
        Entry unkept{};
        Entry& entry = haveEntries ? mEntries.GetArray()[i] : unkept;
        if (pointer == nullptr) {
            entry = {};
            continue;
        }
        if (!liveLock.owns_lock()) {
            liveLock.lock();
        }
        // Only a live object is looked at (under the lock, it cannot be
        // freed meanwhile), and the handle tells it from a new object made
        // where a gone one was; a pointer written through the raw storage
        // names whatever lives there. No handle of a gone object is
        // followed: its pool may have gone with the last manager.
        Entry now;
        const bool written = pointer != entry.mPointer;
        if (live.mObjects.count(pointer) != 0 && EntryOf(pointer, now) && !now.mHandle.IsEmpty() &&
            (written || now.mHandle == entry.mHandle)) {
            entry = now;
        } else {
            pointer = nullptr;
            entry = {};
        }
    }
    mRefreshedAt = at;
}

template <class Object>
int KFbxLayerElementObjectArray<Object>::InsertAt(int index, Object* object) {
    Entry entry;
    if (index < 0 || !EntryOf(object, entry)) {
        return -1;
    }
    Align();
    const int at = Base::InsertAt(index, object);
    if (at >= 0) {
        mEntries.InsertAt(at, entry);
    }
    return at;
}

template <class Object>
bool KFbxLayerElementObjectArray<Object>::SetAt(int index, Object* object) {
    Entry entry;
    if (index < 0 || index >= this->GetCount() || !EntryOf(object, entry)) {
        return false;
    }
    Align();
    Base::SetAt(index, object);
    mEntries.SetAt(index, entry);
    return true;
}

template <class Object>
bool KFbxLayerElementObjectArray<Object>::RemoveAt(int index) {
    Align();
    mEntries.RemoveAt(index);
    return Base::RemoveAt(index);
}

template <class Object>
Object* KFbxLayerElementObjectArray<Object>::Pop() {
    Object* object = GetAt(this->GetCount() - 1);
    RemoveAt(this->GetCount() - 1);
    return object;
}

// Where the handles cannot follow the pointers for want of memory, the
// counts differ and the next call takes every pointer up anew.
template <class Object>
template <class Change>
bool KFbxLayerElementObjectArray<Object>::ChangeCount(Change change) {
    Align();
    if (!change(static_cast<DynamicArray&>(*this))) {
        return false;
    }
    change(static_cast<DynamicArray&>(mEntries));
    return true;
}

template <class Object>
bool KFbxLayerElementObjectArray<Object>::SetCount(int n) {
    return ChangeCount([n](DynamicArray& array) { return array.SetCount(n); });
}

template <class Object>
bool KFbxLayerElementObjectArray<Object>::Grow(int n) {
    return ChangeCount([n](DynamicArray& array) { return array.Grow(n); });
}

template <class Object>
bool KFbxLayerElementObjectArray<Object>::Resize(int n) {
    return ChangeCount([n](DynamicArray& array) { return array.Resize(n); });
}

template <class Object>
void KFbxLayerElementObjectArray<Object>::RemoveAll() {
    Base::RemoveAll();
    mEntries.RemoveAll();
}

template <class Object>
void KFbxLayerElementObjectArray<Object>::Clear() {
    Base::Clear();
    mEntries.Clear();
}

template <class Object>
void* KFbxLayerElementObjectArray<Object>::TakeRoomAtEnd() {
    Align();
    void* slot = Base::TakeRoomAtEnd();
    if (slot != nullptr) {
        mEntries.Grow(1);
    }
    return slot;
}

template <class Object>
bool KFbxLayerElementObjectArray<Object>::Copy(const KFbxLayerElementObjectArray& other) {
    other.Refresh();
    if (!KFbxCopyDynamicArray(*this, other)) {
        return false;
    }
    if (!KFbxCopyDynamicArray(mEntries, other.mEntries)) {
        mEntries.RemoveAll();
    }
    mRefreshedAt = other.mRefreshedAt;
    return true;
}

template class KFbxLayerElementObjectArray<KFbxSurfaceMaterial>;
template class KFbxLayerElementObjectArray<KFbxTexture>;

}  // namespace fbxsdk_2006_11_1
