#include <fbxfilesdk/geometry/KFbxLayerElementObjectArray.h>

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxArrayCopy.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <mutex>
#include <new>
#include <unordered_map>

namespace fbxsdk_2006_11_1 {

namespace {

// The objects of one kind that live now, each with its handle, taken by the
// thread that made it: an array checks a pointer here and never asks the
// object, which by then may be another thread's object made at a gone one's
// address. Guarded, as managers in several threads make and destroy objects
// at once; never freed, as an object may go after the process's statics.
struct LiveObjects {
    std::mutex mLock;
    std::unordered_map<const void*, HdlKObject> mObjects;
};

template <class Object>
LiveObjects& LiveObjectsOf() {
    static LiveObjects* live = new LiveObjects;
    return *live;
}

}  // namespace

template <class Object>
void KFbxLayerElementObjectArray<Object>::ObjectMade(Object* object) {
    const HdlKObject handle(object->GetInternalPlug());
    LiveObjects& live = LiveObjectsOf<Object>();
    std::lock_guard<std::mutex> guard(live.mLock);
    try {
        live.mObjects.insert_or_assign(object, handle);
    } catch (const std::bad_alloc&) {
        // Unlisted, the object reads as none in every array.
        SdkNoteAllocationFailure();
    }
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
void KFbxLayerElementObjectArray<Object>::CheckLocked(Object*& pointer, Entry& entry) {
    // The handle tells a new object made where a gone one was from the gone
    // one; a pointer written through the raw storage names whatever lives
    // there. No handle of a gone object is followed: its pool may have gone
    // with the last manager.
    const LiveObjects& live = LiveObjectsOf<Object>();
    const auto found = pointer != nullptr ? live.mObjects.find(pointer) : live.mObjects.end();
    const bool written = pointer != entry.mPointer;
    if (found != live.mObjects.end() && !found->second.IsEmpty() && (written || found->second == entry.mHandle)) {
        entry = {found->second, pointer};
    } else {
        pointer = nullptr;
        entry = {};
    }
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
    std::unique_lock<std::mutex> liveLock(LiveObjectsOf<Object>().mLock, std::defer_lock);
    for (int i = 0; i < count; ++i) {
        Entry unkept{};
        Entry& entry = haveEntries ? mEntries.GetArray()[i] : unkept;
        if (pointers[i] == nullptr) {
            entry = {};
            continue;
        }
        if (!liveLock.owns_lock()) {
            liveLock.lock();
        }
        CheckLocked(pointers[i], entry);
    }
    mRefreshedAt = at;
}

template <class Object>
Object* KFbxLayerElementObjectArray<Object>::TakeUp(int index) const {
    auto& self = const_cast<KFbxLayerElementObjectArray&>(*this);
    Object*& pointer = self.Base::GetArray()[index];
    std::lock_guard<std::mutex> guard(LiveObjectsOf<Object>().mLock);
    CheckLocked(pointer, self.mEntries.GetArray()[index]);
    return pointer;
}

template <class Object>
Object* KFbxLayerElementObjectArray<Object>::CheckedAt(int index) const {
    Refresh();
    Object* pointer = Base::GetArray()[index];
    // Without memory for the entries, the refresh checked every pointer.
    if (mEntries.GetCount() != this->GetCount() || pointer == mEntries.GetArray()[index].mPointer) {
        return pointer;
    }
    return TakeUp(index);
}

template <class Object>
void KFbxLayerElementObjectArray<Object>::TakeUpWritten() const {
    Refresh();
    if (mEntries.GetCount() != this->GetCount()) {
        return;  // every pointer was checked just now
    }
    for (int i = 0; i < this->GetCount(); ++i) {
        if (Base::GetArray()[i] != mEntries.GetArray()[i].mPointer) {
            TakeUp(i);
        }
    }
}

template <class Object>
int KFbxLayerElementObjectArray<Object>::InsertAt(int index, Object* object) {
    Entry entry;
    if (index < 0 || !EntryOf(object, entry)) {
        return -1;
    }
    Refresh();
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
    Refresh();
    Base::SetAt(index, object);
    mEntries.SetAt(index, entry);
    return true;
}

template <class Object>
bool KFbxLayerElementObjectArray<Object>::RemoveAt(int index) {
    Refresh();
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
    Refresh();
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
    Refresh();
    auto* slot = static_cast<Object**>(Base::TakeRoomAtEnd());
    if (slot != nullptr) {
        // The storage past the count may still hold an entry that left.
        *slot = nullptr;
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
