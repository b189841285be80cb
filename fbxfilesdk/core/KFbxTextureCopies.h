// The copies of texture files that one write puts beside the file it
// writes.
#ifndef FBXFILESDK_CORE_KFBXTEXTURECOPIES_H
#define FBXFILESDK_CORE_KFBXTEXTURECOPIES_H

#include <fbxfilesdk/core/KFbxCopyTextureFile.h>
#include <fbxfilesdk/core/KString.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace fbxsdk_2006_11_1 {

// Each texture file a write names is copied once (KFbxTextureCopyNames), and
// every texture of that file is named by that copy.
class KFbxTextureCopies {
public:
    // The name, without folder, by which the written file names the texture
    // file source: that of its copy beside destination, the path of the
    // copy under the texture's own name, with names of at most limit bytes
    // where that one fits (0: any). The first call for a source copies it,
    // telling in message why it could not; an empty source is not copied
    // and is named by destination's name.
    std::string NameOf(const char* source, const std::string& destination, std::size_t limit, KString& message);
    // Forgets the copies, and what was learnt of the names beside the
    // written file, for the next write.
    void Clear() {
        mNames.clear();
        mCopyNames.clear();
        mUser.reset();
    }

private:
    std::map<std::string, std::string> mNames;
    // By destination and limit: the textures of one name share their
    // numbered names.
    std::map<std::pair<std::string, std::size_t>, KFbxTextureCopyNames> mCopyNames;
    // The user the copies are made by, asked once for the write.
    std::optional<std::uint32_t> mUser;
};

}  // namespace fbxsdk_2006_11_1

#endif
