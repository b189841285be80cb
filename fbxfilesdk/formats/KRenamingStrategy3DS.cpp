#include <fbxfilesdk/formats/KRenamingStrategy3DS.h>

#include <charconv>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// Room kept for the number of a name met again.
constexpr std::size_t kNumberRoom = 3;
constexpr int kMinimumLimit = 4;
const char* const kUnnamed = "Unnamed";

bool IsControl(char character) {
    const unsigned char byte = static_cast<unsigned char>(character);
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

bool KRenamingStrategy3DS::HasControlCharacters(const char* name) {
    for (; name != nullptr && *name != '\0'; ++name) {
        if (IsControl(*name)) {
            return true;
        }
    }
    return false;
}

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
    // A control character (a line end, a tab) is no part of a name other
    // programs show or match, and an empty name is one they cannot link to.
    for (char& character : base) {
        if (IsControl(character)) {
            character = '_';
        }
    }
    if (base.empty()) {
        base = kUnnamed;
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
