// What a COLLADA read files under the ids of a document's elements, so that
// later elements can reach it through their "#id" references. When two
// elements share an id, the first one filed is the one found.
#ifndef FBXFILESDK_COLLADA_COLLADAIDMAP_H
#define FBXFILESDK_COLLADA_COLLADAIDMAP_H

#include <fbxfilesdk/core/KRecycledContainers.h>
#include <fbxfilesdk/core/KString.h>

#include <iterator>
#include <string>
#include <unordered_map>
#include <utility>

namespace fbxsdk_2006_11_1 {

template <class T>
class ColladaIdMap {
public:
    // False, changing nothing, when the id is filed already.
    bool Add(const KString& id, T value) { return mItems.try_emplace(Key(id), std::move(value)).second; }
    // Null when the id is not filed.
    T* Find(const KString& id) {
        auto found = mItems.find(Key(id));
        return found != mItems.end() ? &found->second : nullptr;
    }
    const T* Find(const KString& id) const {
        auto found = mItems.find(Key(id));
        return found != mItems.end() ? &found->second : nullptr;
    }
    // The item filed under the id, made from its default when there is none.
    T& FindOrAdd(const KString& id) { return mItems[Key(id)]; }
    bool Contains(const KString& id) const { return mItems.count(Key(id)) != 0; }
    // Forgets every id the value is filed under.
    void RemoveValue(const T& value) {
        for (auto item = mItems.begin(); item != mItems.end();) {
            item = item->second == value ? mItems.erase(item) : std::next(item);
        }
    }
    int GetCount() const { return static_cast<int>(mItems.size()); }

    template <class Visit>
    void ForEach(Visit visit) const {
        for (const auto& [id, value] : mItems) {
            visit(value);
        }
    }

private:
    static std::string Key(const KString& id) { return std::string(id.Buffer(), static_cast<std::size_t>(id.GetLen())); }

    // Filled and dropped with every file read.
    KRecycledHashMap<std::string, T> mItems;
};

}  // namespace fbxsdk_2006_11_1

#endif
