#include <fbxfilesdk/3dsftk/NameLists3ds.h>

#include <fbxfilesdk/3dsftk/Internal3ds.h>

namespace fbxsdk_2006_11_1 {

using ftk3ds::NewZeroed;

namespace {

void FreeNameEntries(namelist3ds& list) {
    for (std::uint32_t i = 0; i < list.count; ++i) FtkFree(list.list[i].name);
    FtkFree(list.list);
    list.list = nullptr;
    list.count = 0;
}

void FreeStrings(stringlist3ds& list) {
    if (list.list != nullptr) {
        for (std::uint32_t i = 0; i < list.capacity; ++i) FtkFree(list.list[i]);
    }
    FtkFree(list.list);
    list.list = nullptr;
    list.count = 0;
    list.capacity = 0;
}

// The list to initialise: a new one when *list is null, else the old one
// emptied; null after an error.
template <class List>
List* FreshList(List** list, void (*empty)(List&)) {
    if (list == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    if (*list == nullptr) {
        *list = NewZeroed<List>();
    } else {
        empty(**list);
    }
    return *list;
}

}  // namespace

void InitNameList3ds(namelist3ds** list, std::uint32_t count) {
    namelist3ds* names = FreshList(list, &FreeNameEntries);
    if (names == nullptr || count == 0) return;
    names->list = NewZeroed<namelistentry3ds>(count);
    if (names->list != nullptr) names->count = count;
}

void ReleaseNameList3ds(namelist3ds** list) {
    if (list == nullptr || *list == nullptr) return;
    FreeNameEntries(**list);
    FtkFree(*list);
    *list = nullptr;
}

void InitStringList3ds(stringlist3ds** list, std::uint32_t count) {
    stringlist3ds* strings = FreshList(list, &FreeStrings);
    if (strings == nullptr) return;
    const std::uint32_t capacity = count == 0 ? 5 : count;
    strings->list = NewZeroed<char*>(capacity);
    if (strings->list == nullptr) return;
    strings->capacity = capacity;
    strings->count = count;
}

void AddToStringList3ds(stringlist3ds** list, const char* text) {
    if (list == nullptr || *list == nullptr || text == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    stringlist3ds& strings = **list;
    if (strings.count >= strings.capacity) {
        char** grown = NewZeroed<char*>(static_cast<std::size_t>(strings.capacity) + 5);
        if (grown == nullptr) return;
        for (std::uint32_t i = 0; i < strings.capacity; ++i) grown[i] = strings.list[i];
        FtkFree(strings.list);
        strings.list = grown;
        strings.capacity += 5;
    }
    char* copy = StrDup3ds(text);
    if (copy == nullptr) return;
    FtkFree(strings.list[strings.count]);
    strings.list[strings.count++] = copy;
}

void ReleaseStringList3ds(stringlist3ds** list) {
    if (list == nullptr || *list == nullptr) return;
    FreeStrings(**list);
    FtkFree(*list);
    *list = nullptr;
}

}  // namespace fbxsdk_2006_11_1
