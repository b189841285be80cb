// The direct array of a material or texture layer element. Materials and
// textures live and die apart from the geometries that use them (a user
// deletes a material in an editor, a scene or the manager goes first), so
// beside the pointers that callers read the array keeps each object's
// handle, and the pointers are brought up to date from the handles whenever
// a material or texture has been destroyed since they last were: a destroyed
// object's entry then reads as null, keeping its place so that the element's
// index array still points in range. Between destructions a read is a plain
// read of the pointer and of the pointer its handle stood for.
//
// The array is an array of pointers like every other kind's, with all of its
// calls, and an entry past the count that a call brings in names no object.
// A pointer written through the raw storage (GetArray, GetData, GetItemAt)
// is checked against the live objects before a read of this array gives it
// out (GetAt, GetItemAt, and GetArray or GetData, which look at every entry):
// one whose object went reads as null, unless a new object has taken its
// address before that read. Pointers read through the raw storage, or
// through a reference to the base array, are those of the last call made on
// this array itself; call one again after a destruction.
#ifndef FBXFILESDK_GEOMETRY_KFBXLAYERELEMENTOBJECTARRAY_H
#define FBXFILESDK_GEOMETRY_KFBXLAYERELEMENTOBJECTARRAY_H

#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KPlugHandlePool.h>

#include <atomic>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

// How many materials and textures have been destroyed in the process: an
// array brought up to date at this count holds no pointer to a destroyed one.
inline std::atomic<std::uint64_t> gKFbxLayerObjectDestructions{0};

// Object is KFbxSurfaceMaterial or KFbxTexture. Items go in and come out as
// pointers; a null pointer is an entry that names no object.
template <class Object>
class KFbxLayerElementObjectArray : public DynamicArrayOf<Object*> {
    using Base = DynamicArrayOf<Object*>;

public:
    explicit KFbxLayerElementObjectArray(int itemsPerBlock = 16)
        : Base(itemsPerBlock), mEntries(itemsPerBlock), mRefreshedAt(Destructions()) {}

    // Null for an entry whose object was destroyed, a null entry and outside
    // [0, count).
    Object* GetAt(int index) const {
        const int count = this->GetCount();
        if (index < 0 || index >= count) {
            return nullptr;
        }
        if (mRefreshedAt == Destructions() && mEntries.GetCount() == count) {
            Object* pointer = Base::GetArray()[index];
            if (pointer == mEntries.GetArray()[index].mPointer) {
                return pointer;
            }
        }
        return CheckedAt(index);
    }
    Object** GetArray() {
        TakeUpWritten();
        return Base::GetArray();
    }
    Object* const* GetArray() const {
        TakeUpWritten();
        return Base::GetArray();
    }
    void* GetData() { return GetArray(); }
    const void* GetData() const { return GetArray(); }
    void* GetItemAt(int index) {
        GetAt(index);
        return Base::GetItemAt(index);
    }
    const void* GetItemAt(int index) const {
        GetAt(index);
        return Base::GetItemAt(index);
    }

    // Each returns the index used, or -1 (array unchanged) for a negative
    // index or when memory runs out.
    int Add(Object* object) { return InsertAt(this->GetCount(), object); }
    int AddPointer(void* object) { return Add(static_cast<Object*>(object)); }
    int InsertAt(int index, Object* object);
    // False outside [0, count).
    bool SetAt(int index, Object* object);
    bool RemoveAt(int index);
    // Removes the last entry and returns its object; null when empty.
    Object* Pop();
    // Entries past the old count name no object. False, unchanged, when
    // memory runs out.
    bool SetCount(int n);
    bool SetCountForOverwrite(int n) { return SetCount(n); }
    bool Grow(int n);
    bool Resize(int n);
    void RemoveAll();
    void Clear();
    // The next entry, for the caller to write the pointer to; null when the
    // storage has no room for it.
    void* TakeRoomAtEnd();

    // The entries become the other's, naming the same objects; false,
    // unchanged, when memory runs out.
    bool Copy(const KFbxLayerElementObjectArray& other);

    // The two arrays whose items move together when whole entries are moved
    // about (reordering polygons, say): the pointers and their handles. An
    // item that comes from nowhere must be zero in both.
    DynamicArray& GetPointerArray() { return *this; }
    DynamicArray& GetHandleArray() { return mEntries; }

    // Called by the object's class as an object is made and as it goes.
    static void ObjectMade(Object* object);
    static void ObjectGone(Object* object);

private:
    // What the array knows of an entry: the handle of its object, and the
    // pointer the handle stood for when last checked (a pointer that differs
    // from it was written through the raw storage).
    struct Entry {
        HdlKObject mHandle;
        Object* mPointer;
    };

    // Nothing to do unless a material or texture was destroyed since the
    // last time, or the pointers were moved about through the base array.
    // Before the entries move, the handles so line up with the pointers.
    void Refresh() const {
        if (mRefreshedAt != Destructions() || mEntries.GetCount() != this->GetCount()) {
            const_cast<KFbxLayerElementObjectArray*>(this)->RefreshNow();
        }
    }
    // GetAt after a destruction or a raw write, for an index in range.
    Object* CheckedAt(int index) const;
    void RefreshNow();
    // Checks the pointer written at index, whose entry is kept, and returns
    // what the entry names now.
    Object* TakeUp(int index) const;
    // Checks every pointer written through the raw storage.
    void TakeUpWritten() const;
    // Applies a change of count to the pointers, then to the handles.
    template <class Change>
    bool ChangeCount(Change change);
    static std::uint64_t Destructions() { return gKFbxLayerObjectDestructions.load(std::memory_order_acquire); }
    // The entry naming the object (empty for null); false when a live object
    // can be given no handle.
    static bool EntryOf(Object* object, Entry& entry);
    // With the live objects' lock held: the entry names the live object at
    // the pointer when it is the entry's own or the pointer was written;
    // else both become null.
    static void CheckLocked(Object*& pointer, Entry& entry);

    DynamicArrayOf<Entry> mEntries;
    std::uint64_t mRefreshedAt;
};

class KFbxSurfaceMaterial;
class KFbxTexture;
extern template class KFbxLayerElementObjectArray<KFbxSurfaceMaterial>;
extern template class KFbxLayerElementObjectArray<KFbxTexture>;

}  // namespace fbxsdk_2006_11_1

#endif
