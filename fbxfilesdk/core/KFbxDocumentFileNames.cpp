#include <fbxfilesdk/core/KFbxDocumentFileNames.h>

#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxSystemUtils.h>

#include <platform/os/File.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace fbxsdk_2006_11_1 {

namespace {

namespace fs = std::filesystem;

// The SDK's paths separate their folders by '\' or '/' (its clean form uses
// '\'); the system here knows only '/'.
fs::path SystemPath(const KString& path) { return fs::path(qalimor::os::NativePath(path.Buffer())); }

// The folder a document lies in, from the root; empty when the working
// folder a relative document needs cannot be read.
fs::path FolderOf(const KString& document) {
    std::error_code error;
    const fs::path absolute = fs::absolute(SystemPath(document), error);
    return error ? fs::path() : absolute.lexically_normal().parent_path();
}

// The path as the system resolves it where its folders exist (links
// followed, "." and ".." applied), the rest as written, cleaned.
fs::path Resolved(const fs::path& path) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(path, error);
    return error ? path.lexically_normal() : resolved;
}

// The path with its folders resolved, but not the file's own name: a link
// is named by its own name, wherever it leads.
fs::path ResolvedFolders(const fs::path& path) {
    const bool named = path.has_filename() && path.filename() != "." && path.filename() != "..";
    return named ? Resolved(path.parent_path()) / path.filename() : Resolved(path);
}

KString ToKString(const fs::path& path) { return KString(path.generic_string().c_str()); }

}  // namespace

KString KFbxNameFromDocument(const KString& document, const KString& file) {
    if (!document.IsOK() || !file.IsOK()) return KString();
    const fs::path path = SystemPath(file);
    if (!path.is_absolute()) return KString();
    const fs::path folder = FolderOf(document);
    if (folder.empty()) return KString();
    const fs::path relative = ResolvedFolders(path).lexically_relative(Resolved(folder));
    return relative.empty() ? KString() : ToKString(relative);
}

bool KFbxIsBelowDocument(const KString& name) {
    if (!name.IsOK() || name.IsEmpty()) return false;
    const fs::path path(name.Buffer());
    return path.is_relative() && (path.begin() == path.end() || *path.begin() != "..");
}

KString KFbxFindBesideDocument(const KString& document, const KString& relativeName) {
    if (!document.IsOK() || !KFbxIsRelativePath(relativeName) || relativeName.IsEmpty()) return KString();
    const fs::path folder = FolderOf(document);
    if (folder.empty()) return KString();
    // The system follows the name's ".." parts from where the links among
    // the folders lead, as the writer that measured it did; the name is
    // given as it reads wherever that is the same file. A name through a
    // folder that is not there ("sub/../tex") is taken as it reads.
    const fs::path joined = folder / SystemPath(relativeName);
    const fs::path reads = joined.lexically_normal();
    if (KFbxFileExists(ToKString(joined))) {
        std::error_code error;
        return ToKString(fs::equivalent(reads, joined, error) ? reads : ResolvedFolders(joined));
    }
    return KFbxFileExists(ToKString(reads)) ? ToKString(reads) : KString();
}

}  // namespace fbxsdk_2006_11_1
