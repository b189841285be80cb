#include <fbxfilesdk/core/KGenericObjectList.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace fbxsdk_2006_11_1 {

KGenericObjectList::~KGenericObjectList() {
    if ((GetFlags() & kBeingDestroyed) == 0) {
        Finalize();
        KGenericObjectList::Destroy();
    }
}

const KPlugClassInfo* KGenericObjectList::GetClassInfo() const { return &gKGenericObjectListClassInfo; }

void KGenericObjectList::Destroy() {
    Clear(false);
    KObject::Destroy();
}

bool KGenericObjectList::HoldsObjectNamed(const char* fullName) { return !FindByName(fullName).IsEmpty(); }

bool KGenericObjectList::OnListChange(int, KObject*, int) { return true; }

int KGenericObjectList::Add(const HdlKObject& handle) { return InsertAt(GetCount(), handle); }

int KGenericObjectList::InsertAt(int index, const HdlKObject& handle) {
    KObject* object = AsKObject(handle.Resolve());
    if (!OnListChange(eKObjectListMayAdd, object, index)) {
        return -1;
    }
    const int at = std::clamp(index, 0, GetCount());
    try {
        mEntries.insert(mEntries.begin() + at, handle);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return -1;
    }
    OnListChange(eKObjectListAdded, object, 0);
    return at;
}

int KGenericObjectList::SetAt(int index, const HdlKObject& handle) {
    if (index < 0 || index >= GetCount()) {
        return -1;
    }
    KObject* object = AsKObject(handle.Resolve());
    if (!OnListChange(eKObjectListMayAdd, object, index)) {
        return -1;
    }
    mEntries[static_cast<std::size_t>(index)] = handle;
    OnListChange(eKObjectListAdded, object, 0);
    return index;
}

int KGenericObjectList::AddAll(const HdlKObject* handles, int count) {
    int added = 0;
    for (int i = 0; handles != nullptr && i < count; ++i) {
        if (Add(handles[i]) != -1) {
            ++added;
        }
    }
    return added;
}

bool KGenericObjectList::RemoveAt(int index) {
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    KObject* object = AsKObject(mEntries[static_cast<std::size_t>(index)].Resolve());
    if (!OnListChange(eKObjectListMayRemove, object, index)) {
        return false;
    }
    mEntries.erase(mEntries.begin() + index);
    OnListChange(eKObjectListRemoved, object, index);
    return true;
}

bool KGenericObjectList::Remove(const HdlKObject& handle) {
    for (int i = GetCount() - 1; i >= 0; --i) {
        if (mEntries[static_cast<std::size_t>(i)] == handle) {
            return RemoveAt(i);
        }
    }
    return false;
}

HdlKObject KGenericObjectList::GetAt(int index) const {
    return index >= 0 && index < GetCount() ? mEntries[static_cast<std::size_t>(index)] : HdlKObject();
}

HdlKObject KGenericObjectList::FindByName(const char* fullName) const {
    if (fullName == nullptr) {
        return HdlKObject();
    }
    for (const HdlKObject& entry : mEntries) {
        KObject* object = AsKObject(entry.Resolve());
        if (object != nullptr && std::strcmp(object->GetFullName(), fullName) == 0) {
            return entry;
        }
    }
    return HdlKObject();
}

void KGenericObjectList::Clear(bool destroyObjects) {
    if (mEntries.empty() || !OnListChange(eKObjectListMayClear, nullptr, -1)) {
        return;
    }
    // Taken out first: releasing an object may reach back into this list.
    std::vector<HdlKObject> entries;
    entries.swap(mEntries);
    if (destroyObjects) {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if (KPlug* object = it->Resolve()) {
                object->Release();
            }
        }
    }
}

const KPlugClassInfo* KObjectList::GetClassInfo() const { return &gKObjectListClassInfo; }

}  // namespace fbxsdk_2006_11_1
