#include <fbxfilesdk/core/KFbxTextureCopies.h>

#include <platform/os/File.h>

namespace fbxsdk_2006_11_1 {

std::string KFbxTextureCopies::NameOf(const char* source, const std::string& destination, std::size_t limit,
                                      KString& message) {
    const std::string key = source != nullptr ? source : "";
    const auto known = mNames.find(key);
    if (known != mNames.end()) return known->second;
    if (!mUser) mUser = qalimor::os::ProcessUser();
    KFbxTextureCopyNames& names =
        mCopyNames.try_emplace({destination, limit}, destination, limit, *mUser).first->second;
    std::string copy;
    names.Copy(key.c_str(), copy, message);
    // A file the write could not copy is not looked for, nor told, again.
    return mNames.emplace(key, copy).first->second;
}

}  // namespace fbxsdk_2006_11_1
