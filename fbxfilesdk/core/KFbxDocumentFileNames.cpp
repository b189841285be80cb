#include <fbxfilesdk/core/KFbxDocumentFileNames.h>

#include <fbxfilesdk/core/KFbxPath.h>

#include <platform/os/File.h>

#include <algorithm>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

namespace fs = std::filesystem;

KString ToKString(const fs::path& path) { return KString(path.generic_string().c_str()); }

// The system opens no longer name; nothing is found below one.
constexpr std::size_t kMaxSystemPath = 4096;

// Calls step with each part of the path between its '/', empty ones too
// (none before an absolute path's first '/'), until it returns false.
template <class Step>
void EachPart(std::string_view path, Step step) {
    for (std::size_t start = !path.empty() && path[0] == '/' ? 1 : 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (!step(path.substr(start, end - start))) return;
        start = end + 1;
    }
}

// Whether the path reads as the system follows it: no "." or ".." part, and
// no empty one that a cleaning would drop.
bool ReadsAsFollowed(std::string_view path) {
    bool plain = true;
    EachPart(path, [&plain](std::string_view part) {
        plain = !part.empty() && part != "." && part != "..";
        return plain;
    });
    return plain;
}

}  // namespace

KFbxDocumentFolder::KFbxDocumentFolder(const KString& document) {
    std::error_code error;
    mWorking = fs::current_path(error);
    if (error) mWorking.clear();
    if (!document.IsOK() || document.IsEmpty()) return;
    const fs::path path(qalimor::os::NativePath(document.Buffer()));
    if (path.is_relative() && mWorking.empty()) return;
    mFolder = (mWorking / path).lexically_normal().parent_path();
    mFolderText = mFolder.generic_string();
    if (mFolderText.empty() || mFolderText.back() != '/') mFolderText += '/';
    mResolvedFolder = Resolved(mFolder);
}

fs::path KFbxDocumentFolder::Resolved(const fs::path& folder) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(folder, error);
    return error ? folder.lexically_normal() : resolved;
}

const std::string& KFbxDocumentFolder::WayTo(const std::string& folder) const {
    const auto known = mWays.find(folder);
    if (known != mWays.end()) return known->second;
    const fs::path way = Resolved(folder.empty() ? fs::path("/") : fs::path(folder)).lexically_relative(mResolvedFolder);
    return mWays.emplace(folder, way.generic_string()).first->second;
}

KString KFbxDocumentFolder::NameOf(const KString& file) const {
    if (mFolder.empty() || !file.IsOK() || KFbxIsSharePath(file)) return KString();
    std::string path = qalimor::os::NativePath(file.Buffer());
    if (path.empty() || path[0] != '/') return KString();
    const std::size_t cut = path.rfind('/');
    const std::string_view name = std::string_view(path).substr(cut + 1);
    if (name.empty() || name == "." || name == "..") {
        const fs::path relative = Resolved(path).lexically_relative(mResolvedFolder);
        return relative.empty() ? KString() : ToKString(relative);
    }
    // Files of one folder, as a model's textures often are, cost the folder
    // one measure.
    const std::string named(name);
    path.resize(cut);
    const std::string& way = WayTo(path);
    if (way.empty()) return KString();
    return KString(way == "." ? named.c_str() : (way + "/" + named).c_str());
}

KString KFbxDocumentFolder::NameOfRelative(const KString& file) const {
    if (mWorking.empty() || !KFbxIsRelativePath(file) || KFbxIsSharePath(file)) return KString();
    // Joined as the system joins them: cleaned as text, a ".." after a link
    // would climb out of the link instead of the folder it leads to.
    std::string path = mWorking.generic_string();
    if (path.back() != '/') path += '/';
    path += file.Buffer();
    return NameOf(KString(path.c_str()));
}

const KFbxDocumentFolder::Place& KFbxDocumentFolder::PlaceOf(const std::string& folder) const {
    const auto known = mPlaces.find(folder);
    if (known != mPlaces.end()) return known->second;
    Place place;
    const std::string joined = mFolderText + folder;
    if (folder.empty() || ReadsAsFollowed(folder)) {
        place.mFollowed = folder.empty() ? joined : joined + '/';
    } else {
        // The system follows the name's ".." parts from where the links
        // among the folders lead, as the writer that measured it did; the
        // name is given as it reads wherever that is the same folder. A name
        // through a folder that is not there ("sub/../tex") reads as it is
        // followed.
        const fs::path reads = fs::path(joined).lexically_normal();
        const fs::path followed = Resolved(joined);
        if (Resolved(reads) == followed) {
            place.mFollowed = reads.generic_string();
        } else {
            place.mFollowed = followed.generic_string();
            place.mReads = reads.generic_string();
            if (place.mReads.back() != '/') place.mReads += '/';
        }
        if (place.mFollowed.back() != '/') place.mFollowed += '/';
    }
    return mPlaces.emplace(folder, std::move(place)).first->second;
}

KString KFbxDocumentFolder::Find(const KString& relativeName) const {
    if (mFolder.empty() || !KFbxIsRelativePath(relativeName) || relativeName.IsEmpty()) return KString();
    const std::string relative = qalimor::os::NativePath(relativeName.Buffer());
    const std::size_t cut = relative.rfind('/');
    const std::string_view name = cut == std::string::npos ? relative : std::string_view(relative).substr(cut + 1);
    if (name.empty() || name == "." || name == "..") return KString();
    // Files of one folder, as a model's textures often are, cost the folder
    // one measure.
    const Place& place = PlaceOf(cut == std::string::npos ? std::string() : relative.substr(0, cut));
    std::string file = place.mFollowed;
    file += name;
    if (qalimor::os::OpensAsRegularFile(file.c_str())) return KString(file.c_str());
    if (place.mReads.empty()) return KString();
    file = place.mReads;
    file += name;
    return qalimor::os::OpensAsRegularFile(file.c_str()) ? KString(file.c_str()) : KString();
}

std::string KFbxDocumentFolder::WithoutDotSteps(const std::string& path) const {
    if (ReadsAsFollowed(path)) return path;
    const bool absolute = !path.empty() && path[0] == '/';
    // The kept parts as the system is given them (from the working folder
    // for a relative path), each with where it ends there and what the
    // system has at it, asked once per part and from the left: a parent that
    // is no folder has nothing below it, so a long name costs its length,
    // not the square of its steps.
    std::string probe;
    if (!absolute) {
        probe = mWorking.empty() ? std::string(".") : mWorking.generic_string();
        while (probe.size() > 1 && probe.back() == '/') probe.pop_back();
        if (probe == "/") probe.clear();
    }
    const std::size_t start = probe.size();
    enum class Kind { eUnknown, eLink, eFolder, eNothing };
    struct Kept {
        std::size_t mEnd;
        bool mClimbs;
        Kind mKind;
    };
    std::vector<Kept> kept;
    // Parts before this one have their kind.
    std::size_t known = 0;
    const auto kindOfLast = [&]() {
        for (; known < kept.size(); ++known) {
            Kind& kind = kept[known].mKind;
            const Kind parent = known == 0 ? Kind::eFolder : kept[known - 1].mKind;
            if (parent == Kind::eNothing || kept[known].mEnd >= kMaxSystemPath) {
                kind = Kind::eNothing;
                continue;
            }
            std::error_code error;
            const fs::file_status status = fs::symlink_status(probe.substr(0, kept[known].mEnd), error);
            kind = fs::is_symlink(status) ? Kind::eLink : fs::is_directory(status) ? Kind::eFolder : Kind::eNothing;
        }
        return kept.back().mKind;
    };
    EachPart(path, [&](std::string_view part) {
        if (part.empty() || part == ".") return true;
        const bool climb = part == "..";
        // The root is its own parent; from a link the system climbs out of
        // the folder it leads to.
        if (climb && kept.empty() && absolute) return true;
        if (climb && !kept.empty() && !kept.back().mClimbs && kindOfLast() != Kind::eLink) {
            kept.pop_back();
            known = std::min(known, kept.size());
            probe.resize(kept.empty() ? start : kept.back().mEnd);
            return true;
        }
        probe += '/';
        probe += part;
        kept.push_back(Kept{probe.size(), climb, Kind::eUnknown});
        return true;
    });
    if (absolute) return probe.empty() ? std::string("/") : probe;
    return probe.size() > start ? probe.substr(start + 1) : std::string();
}

KString KFbxNameFromDocument(const KString& document, const KString& file) {
    return KFbxDocumentFolder(document).NameOf(file);
}

bool KFbxIsBelowDocument(const KString& name) {
    if (!name.IsOK() || name.IsEmpty() || name.Buffer()[0] == '/') return false;
    const std::string_view text(name.Buffer());
    return text.substr(0, text.find('/')) != "..";
}

KString KFbxFindBesideDocument(const KString& document, const KString& relativeName) {
    return KFbxDocumentFolder(document).Find(relativeName);
}

}  // namespace fbxsdk_2006_11_1
