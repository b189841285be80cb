#include <fbxfilesdk/core/KStringList.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <new>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {
constexpr int kItemsPerBlock = 16;

// Items live in SDK memory like every other SDK block.
KStringListItem* NewItem(const KString& text, void* reference) {
    void* block = SdkMalloc(sizeof(KStringListItem));
    if (!block) return nullptr;
    return new (block) KStringListItem(text, reference);
}

void DeleteItem(KStringListItem* item) {
    if (!item) return;
    item->~KStringListItem();
    SdkFree(item);
}
}  // namespace

KStringListItem::KStringListItem(const KString& text, void* reference) : mString(text), mReference(reference) {}

KStringList::KStringList() : mItems(kItemsPerBlock) {}

KStringList::~KStringList() { Clear(); }

int KStringList::InsertAt(int index, const KString& text, void* reference) {
    if (index < 0) return -1;
    KStringListItem* item = NewItem(text, reference);
    // A valid text whose copy came out invalid means the copy found no memory.
    if (item && (item->mString.IsOK() || !text.IsOK())) {
        const int at = mItems.InsertAt(index, item);
        if (at >= 0) return at;
    }
    DeleteItem(item);
    return -1;
}

int KStringList::Add(const KString& text, void* reference) { return InsertAt(GetCount(), text, reference); }

bool KStringList::RemoveAt(int index) {
    KStringListItem* item = mItems.GetAt(index);
    if (!item) return false;
    DeleteItem(item);
    return mItems.RemoveAt(index);
}

void KStringList::ClearItems() {
    for (int i = 0; i < GetCount(); ++i) DeleteItem(mItems.GetAt(i));
    mItems.RemoveAll();
}

void KStringList::Clear() {
    ClearItems();
    mItems.Clear();
}

const char* KStringList::GetStringAt(int index) const {
    const KStringListItem* item = mItems.GetAt(index);
    return item ? item->mString.Buffer() : nullptr;
}

void* KStringList::GetReferenceAt(int index) const {
    const KStringListItem* item = mItems.GetAt(index);
    return item ? item->mReference : nullptr;
}

int KStringList::Find(const char* text) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (mItems.GetAt(i)->mString == text) return i;
    }
    return -1;
}

bool KStringList::CopyFrom(const KStringList& other) {
    // Copying a list onto itself would clear the source first.
    if (&other == this) return true;
    KStringList copy;
    for (int i = 0; i < other.GetCount(); ++i) {
        const KStringListItem* item = other.mItems.GetAt(i);
        if (copy.Add(item->mString, item->mReference) < 0) return false;
    }
    Clear();
    mItems = std::move(copy.mItems);
    return true;
}

}  // namespace fbxsdk_2006_11_1
