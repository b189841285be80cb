#include <fbxfilesdk/core/KFbxTextureCopies.h>

#include <fbxfilesdk/core/KFbxCopyTextureFile.h>

namespace fbxsdk_2006_11_1 {

std::string KFbxTextureCopies::NameOf(const char* source, const std::string& destination, std::size_t limit,
                                      KString& message) {
    const std::string key = source != nullptr ? source : "";
    const auto known = mNames.find(key);
    if (known != mNames.end()) return known->second;
    std::string copy;
    KFbxCopyTextureFile(key.c_str(), destination.c_str(), limit, copy, message);
    // A file the write could not copy is not looked for, nor told, again.
    return mNames.emplace(key, copy).first->second;
}

}  // namespace fbxsdk_2006_11_1
