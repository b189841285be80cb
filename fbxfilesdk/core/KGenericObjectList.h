// Ordered lists of weak references to objects. An entry names an object by
// its handle, so an object destroyed while listed leaves an entry that
// resolves to nothing. Each change is offered to the list's change hook
// first (which may refuse it) and announced to it afterwards.
#ifndef FBXFILESDK_CORE_KGENERICOBJECTLIST_H
#define FBXFILESDK_CORE_KGENERICOBJECTLIST_H

#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KPlugHandlePool.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

// Codes of the change hook.
enum EKObjectListChange {
    eKObjectListMayClear = 0,
    eKObjectListMayAdd = 1,
    eKObjectListMayRemove = 2,
    eKObjectListAdded = 4,    // index argument 0
    eKObjectListRemoved = 5  // the former index
};

class KGenericObjectList : public KObject {
public:
    KGenericObjectList() = default;
    // Finishes and destroys the list unless that already ran.
    ~KGenericObjectList() override;

    const KPlugClassInfo* GetClassInfo() const override;
    // Clears the list (keeping the objects), then as KObject.
    void Destroy() override;
    // Whether an entry's object has the full name.
    bool HoldsObjectNamed(const char* fullName) override;

    // Asked with codes 0 to 2 (false refuses) and told with 4 and 5; the
    // object is null when the entry resolves to nothing. True at this level.
    virtual bool OnListChange(int code, KObject* object, int index);

    // The new index; -1 when refused.
    int Add(const HdlKObject& handle);
    // The index is kept within [0, count]; -1 when refused.
    int InsertAt(int index, const HdlKObject& handle);
    // Overwrites the entry; -1 when refused or out of range.
    int SetAt(int index, const HdlKObject& handle);
    // How many were added.
    int AddAll(const HdlKObject* handles, int count);
    bool RemoveAt(int index);
    // Removes the last entry equal to the handle; false when there is none.
    bool Remove(const HdlKObject& handle);
    // The empty handle out of range.
    HdlKObject GetAt(int index) const;
    int GetCount() const { return static_cast<int>(mEntries.size()); }
    // The first entry whose live object has the full name; the empty handle when none.
    HdlKObject FindByName(const char* fullName) const;
    // Empties the list when permitted; with destroyObjects the live objects
    // are released, from the last. No removal is announced.
    void Clear(bool destroyObjects);

private:
    std::vector<HdlKObject> mEntries;
};

// The typed interface of object lists.
template <class T>
class KObjectListTemplate {
public:
    virtual ~KObjectListTemplate() = default;
    virtual T GetAt(int index) = 0;
    virtual int Add(T item) = 0;
    virtual int AddAll(const T* items, int count) = 0;
    virtual int InsertAt(int index, T item) = 0;
    virtual int SetAt(int index, T item) = 0;
    virtual bool Remove(T item) = 0;
    virtual bool RemoveAt(int index) = 0;
};

class KObjectList : public KGenericObjectList, public KObjectListTemplate<HdlKObject> {
public:
    const KPlugClassInfo* GetClassInfo() const override;

    HdlKObject GetAt(int index) override { return KGenericObjectList::GetAt(index); }
    int Add(HdlKObject item) override { return KGenericObjectList::Add(item); }
    int AddAll(const HdlKObject* items, int count) override { return KGenericObjectList::AddAll(items, count); }
    int InsertAt(int index, HdlKObject item) override { return KGenericObjectList::InsertAt(index, item); }
    int SetAt(int index, HdlKObject item) override { return KGenericObjectList::SetAt(index, item); }
    bool Remove(HdlKObject item) override { return KGenericObjectList::Remove(item); }
    bool RemoveAt(int index) override { return KGenericObjectList::RemoveAt(index); }
};

}  // namespace fbxsdk_2006_11_1

#endif
