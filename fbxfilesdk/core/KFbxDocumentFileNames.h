// The names by which a document (a written model file) names the files that
// travel with it, as textures, relative to its own folder, so that the
// document still finds them when it moves with them.
#ifndef FBXFILESDK_CORE_KFBXDOCUMENTFILENAMES_H
#define FBXFILESDK_CORE_KFBXDOCUMENTFILENAMES_H

#include <fbxfilesdk/core/KString.h>

#include <filesystem>
#include <string>
#include <unordered_map>

namespace fbxsdk_2006_11_1 {

// Every path here may have '\' or '/' between its folders.

// One document's folder and the working folder, measured once for a read or
// a write of it, and each folder of the files it names resolved once, so
// that naming many files costs no more than the names themselves. A read or
// a write holds one for as long as it runs: folders moved or linked
// elsewhere meanwhile are not seen.
class KFbxDocumentFolder {
public:
    // document: absolute, or from the working folder; empty for none, and
    // then every name below is empty too.
    explicit KFbxDocumentFolder(const KString& document);

    // The path from the document's folder to file, '/' between its parts,
    // with a ".." part for each folder to climb and no "." part. The links
    // among file's folders are followed as the system follows them when it
    // opens the name, so a ".." climbs out of the folder a link leads to;
    // file itself, a link or not, keeps its name. Empty when file is not an
    // absolute path of this system (a Windows drive's name, a network
    // share's, or a relative name, whose folder the caller knows better).
    KString NameOf(const KString& file) const;
    // The same for a relative file name, taken from the working folder
    // measured with the document's, its ".." parts left for the measure to
    // follow as the system does; empty for any other name.
    KString NameOfRelative(const KString& file) const;

    // Where a reader finds a file that the document names by relativeName,
    // a path relative to the document's folder, whose ".." parts the system
    // follows from where the links among its folders lead (or, through a
    // folder that is not there, as the name reads): that path from the
    // root, without "." or ".." parts, as it reads where that is the same
    // file, else with its folders' links resolved, when a regular file that
    // this process can read is there (one it may not read is no texture to
    // it); else empty, as for an empty or absolute relativeName.
    KString Find(const KString& relativeName) const;

    // path ('/' between its parts) without its "." parts and without each
    // ".." part with the folder before it where that folder is no link, so
    // that it names what path names as the system resolves it; a ".." after
    // a link stays, as does one that climbs above a relative path's start.
    // A relative path is looked at from the working folder.
    std::string WithoutDotSteps(const std::string& path) const;

private:
    // The folder as the system resolves it where it exists (links followed,
    // "." and ".." applied), the rest as written, cleaned.
    static std::filesystem::path Resolved(const std::filesystem::path& folder);
    // The way from the document's folder to the folder (absolute, '/'
    // between its parts) as the system resolves it: "." for the document's
    // own; measured once per folder.
    const std::string& WayTo(const std::string& folder) const;
    // Where the files a folder relative to the document's ('/' between its
    // parts) holds are: as the system follows the folder's name, and, where
    // that is not where the name reads, as it reads (else empty); each
    // ending in '/', measured once per folder.
    struct Place {
        std::string mFollowed;
        std::string mReads;
    };
    const Place& PlaceOf(const std::string& folder) const;

    std::filesystem::path mWorking;
    // The document's folder from the root as its name reads, and as the
    // system resolves it; empty when there is none (no document, or no
    // working folder to start from).
    std::filesystem::path mFolder;
    std::string mFolderText;
    std::filesystem::path mResolvedFolder;
    mutable std::unordered_map<std::string, std::string> mWays;
    mutable std::unordered_map<std::string, Place> mPlaces;
};

// A KFbxDocumentFolder's NameOf, measured for the one name.
KString KFbxNameFromDocument(const KString& document, const KString& file);

// Whether a name made by NameOf stays in the document's folder or below it.
bool KFbxIsBelowDocument(const KString& name);

// A KFbxDocumentFolder's Find, measured for the one name.
KString KFbxFindBesideDocument(const KString& document, const KString& relativeName);

}  // namespace fbxsdk_2006_11_1

#endif
