#include <fbxfilesdk/formats/KRenamingStrategy3DS.h>

#include <charconv>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// Room kept for the number of a name met again.
constexpr std::size_t kNumberRoom = 3;
constexpr int kMinimumLimit = 4;

}  // namespace

bool KRenamingStrategy3DS::Rename(KFbxObjectNameRecord& name) {
    KString current(name.GetCurrentName());
    const bool renamed = Rename(current, kObjectNameLimit);
    name.SetCurrentName(current.Buffer());
    return renamed;
}

KRenamingStrategy* KRenamingStrategy3DS::Clone() { return new (std::nothrow) KRenamingStrategy3DS(); }

bool KRenamingStrategy3DS::Rename(KString& name, int limit) {
    const std::size_t size = static_cast<std::size_t>(limit < kMinimumLimit ? kMinimumLimit : limit);
    std::string base(name.Buffer());
    const std::size_t prefix = base.find("::");
    if (prefix != std::string::npos) {
        base.erase(0, prefix + 2);
    }
    if (base.size() > size - kNumberRoom) {
        base.resize(size - kNumberRoom);
    }
    auto [entry, fresh] = mCounts.emplace(base, 0);
    if (fresh) {
        name = base.c_str();
        return false;
    }
    std::string numbered;
    do {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, ++entry->second).ptr;
        const std::size_t count = static_cast<std::size_t>(end - digits);
        // A long number takes its room from the name, so that the field still
        // holds the whole result.
        const std::size_t kept = base.size() + count > size ? (count < size ? size - count : 0) : base.size();
        numbered.assign(base, 0, kept);
        numbered.append(digits, count);
    } while (IsTaken(numbered));
    mCounts.emplace(numbered, 0);
    name = numbered.c_str();
    return true;
}

}  // namespace fbxsdk_2006_11_1
