#include <fbxfilesdk/scene/KRenamingStrategy.h>

#include <new>

namespace fbxsdk_2006_11_1 {

bool KNumberRenamingStrategy::Rename(KFbxObjectNameRecord& name) {
    KString current(name.GetCurrentName());
    const bool renamed = Rename(current);
    if (renamed) {
        name.SetCurrentName(current.Buffer());
    }
    return renamed;
}

bool KNumberRenamingStrategy::Rename(KString& name) {
    const std::string base(name.Buffer());
    auto [entry, fresh] = mCounters.emplace(base, 0);
    if (fresh) {
        return false;
    }
    std::string numbered;
    do {
        ++entry->second;
        numbered = base + std::to_string(entry->second);
    } while (mCounters.count(numbered) != 0);
    // The given name is met too: a later object of that name is numbered in turn.
    mCounters.emplace(numbered, 0);
    name = numbered.c_str();
    return true;
}

KRenamingStrategy* KNumberRenamingStrategy::Clone() { return new (std::nothrow) KNumberRenamingStrategy(); }

}  // namespace fbxsdk_2006_11_1
