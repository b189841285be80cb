// The direct array of a material or texture layer element. Materials and
// textures live and die apart from the geometries that use them (a user
// deletes a material in an editor, a scene or the manager goes first), so
// the array holds each one by its handle rather than by pointer: once the
// object is destroyed, by whatever route, its entry reads as no object. The
// entry keeps its place, so the element's index array still points in range.
#ifndef FBXFILESDK_GEOMETRY_KFBXLAYERELEMENTOBJECTARRAY_H
#define FBXFILESDK_GEOMETRY_KFBXLAYERELEMENTOBJECTARRAY_H

#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KPlugHandlePool.h>

namespace fbxsdk_2006_11_1 {

// Object is KFbxSurfaceMaterial or KFbxTexture. Items go in and come out as
// pointers; a null pointer is an entry that names no object.
template <class Object>
class KFbxLayerElementObjectArray {
public:
    explicit KFbxLayerElementObjectArray(int itemsPerBlock = 16) : mHandles(itemsPerBlock) {}

    int GetCount() const { return mHandles.GetCount(); }
    // The size of an item as handed out: a pointer.
    int GetItemSize() const { return static_cast<int>(sizeof(Object*)); }

    // The object at index while it lives; null once it is destroyed, for a
    // null entry and outside [0, count).
    Object* GetAt(int index) const;
    // Each returns the index used, or -1 (array unchanged) for a negative
    // index or when memory runs out, a live object's handle included.
    int Add(Object* object);
    int InsertAt(int index, Object* object);
    // False outside [0, count) or when the object's handle cannot be made.
    bool SetAt(int index, Object* object);
    bool RemoveAt(int index) { return mHandles.RemoveAt(index); }
    // Entries past the old count name no object.
    bool SetCount(int n) { return mHandles.SetCount(n); }
    bool Resize(int n) { return mHandles.Resize(n); }
    void RemoveAll() { mHandles.RemoveAll(); }
    void Clear() { mHandles.Clear(); }
    // Removes the last entry and returns its object; null when empty.
    Object* Pop();

    // The entries become the other's, naming the same objects; false,
    // unchanged, when memory runs out.
    bool Copy(const KFbxLayerElementObjectArray& other);

    // The entries as raw items, for work that only moves whole entries
    // about (reordering polygons, say); each item is a handle, not a pointer.
    DynamicArray& GetEntryArray() { return mHandles; }

private:
    // The handle naming the object (the empty handle for null); false when
    // a live object can be given none.
    static bool HandleOf(Object* object, HdlKObject& handle);

    DynamicArrayOf<HdlKObject> mHandles;
};

class KFbxSurfaceMaterial;
class KFbxTexture;
extern template class KFbxLayerElementObjectArray<KFbxSurfaceMaterial>;
extern template class KFbxLayerElementObjectArray<KFbxTexture>;

}  // namespace fbxsdk_2006_11_1

#endif
