// An ordered list of texts, each paired with a pointer-sized reference word
// that the list carries but never owns. Equal texts may repeat.
#ifndef FBXFILESDK_CORE_KSTRINGLIST_H
#define FBXFILESDK_CORE_KSTRINGLIST_H

#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

struct KStringListItem {
    KStringListItem(const KString& text, void* reference);

    KString mString;
    void* mReference;
};

class KStringList {
public:
    KStringList();
    ~KStringList();

    KStringList(const KStringList&) = delete;
    KStringList& operator=(const KStringList&) = delete;

    // Inserts an item holding a copy of text (every byte of it) and reference;
    // an index past the count appends. Returns the index, or -1 (list
    // unchanged) for a negative index or when memory runs out.
    int InsertAt(int index, const KString& text, void* reference);
    // Appends through InsertAt and returns its result.
    int Add(const KString& text, void* reference = nullptr);
    // Frees the item and its string; the reference word is not touched.
    bool RemoveAt(int index);
    // Frees every item; the item storage is kept.
    void ClearItems();
    // Frees every item and the item storage.
    void Clear();

    int GetCount() const { return mItems.GetCount(); }
    // Null outside [0, count).
    const char* GetStringAt(int index) const;
    // Null outside [0, count).
    void* GetReferenceAt(int index) const;
    // Index of the first item whose text equals text byte for byte (null
    // counts as ""), -1 when none.
    int Find(const char* text) const;

    // Makes this list a copy of other's texts and reference words, in order.
    // False when memory runs out, and then this list is left as it was.
    bool CopyFrom(const KStringList& other);

private:
    DynamicArrayOf<KStringListItem*> mItems;
};

}  // namespace fbxsdk_2006_11_1

#endif
