#include <fbxfilesdk/collada/ColladaWriterIds.h>

#include <charconv>

namespace fbxsdk_2006_11_1 {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

KString ColladaWriterIds::MakeName(const char* wanted) {
    std::string name;
    for (const char* at = wanted != nullptr ? wanted : ""; *at != '\0'; ++at) {
        const char c = *at;
        name += IsAsciiLetter(c) || IsDigit(c) || c == '_' || c == '-' || c == '.' ? c : '_';
    }
    if (name.empty() || !(IsAsciiLetter(name[0]) || name[0] == '_')) {
        name.insert(name.begin(), '_');
    }
    return KString(name.c_str());
}

KString ColladaWriterIds::Reserve(const KString& wanted) {
    const std::string base = MakeName(wanted.Buffer()).Buffer();
    std::string id = base;
    for (int suffix = 1; !mTaken.insert(id).second; ++suffix) {
        char digits[16];
        const std::to_chars_result end = std::to_chars(digits, digits + sizeof(digits), suffix);
        id = base + "_" + std::string(digits, end.ptr);
    }
    return KString(id.c_str());
}

const KString& ColladaWriterIds::Get(const void* object, const char* kind, const KString& wanted) {
    auto key = std::make_pair(object, std::string(kind != nullptr ? kind : ""));
    auto found = mAssigned.find(key);
    if (found == mAssigned.end()) {
        found = mAssigned.emplace(std::move(key), Reserve(wanted)).first;
    }
    return found->second;
}

const KString* ColladaWriterIds::Find(const void* object, const char* kind) const {
    const auto found = mAssigned.find(std::make_pair(object, std::string(kind != nullptr ? kind : "")));
    return found != mAssigned.end() ? &found->second : nullptr;
}

void ColladaWriterIds::Clear() {
    mTaken.clear();
    mAssigned.clear();
}

}  // namespace fbxsdk_2006_11_1
