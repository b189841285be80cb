#include <fbxfilesdk/core/KFbxPath.h>

#include <fbxfilesdk/core/KFbxSystemUtils.h>

#include <platform/os/File.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr std::string_view::size_type npos = std::string_view::npos;

template <class C>
bool IsSeparator(C c) {
    return c == C('\\') || c == C('/');
}

std::string_view View(const KString& text) { return text.IsOK() ? std::string_view(text.Buffer()) : std::string_view(); }

KString ToKString(std::string_view text) {
    return text.empty() ? KString() : KString(text.data(), static_cast<int>(text.size()));
}

std::string_view::size_type LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

// The last '.' that comes after every separator.
std::string_view::size_type ExtensionDot(std::string_view path) {
    const auto dot = path.rfind('.');
    if (dot == npos) return npos;
    const auto separator = LastSeparator(path);
    return separator != npos && separator > dot ? npos : dot;
}

// Where KFbxRemoveFileName cuts: the last '/', else the last '\'.
std::string_view::size_type FolderCut(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash != npos ? slash : path.rfind('\\');
}

std::string Upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

std::string Root(std::string_view path) {
    const auto colon = path.rfind(':');
    if (colon != npos) return Upper(path.substr(0, colon + 1));
    if (path.size() < 3 || path[0] != path[1] || !IsSeparator(path[0])) return {};
    int separators = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsSeparator(path[i]) && ++separators == 4) return Upper(path.substr(0, i));
    }
    return separators == 3 ? Upper(path) : std::string();
}

template <class C>
bool IsRelative(std::basic_string_view<C> path) {
    if (path.find(C(':')) != npos) return false;
    return path.empty() || !IsSeparator(path[0]);
}

template <class C>
std::vector<std::basic_string_view<C>> Parts(std::basic_string_view<C> path) {
    std::vector<std::basic_string_view<C>> parts;
    std::size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && IsSeparator(path[i])) ++i;
        const std::size_t start = i;
        while (i < path.size() && !IsSeparator(path[i])) ++i;
        if (i > start) parts.push_back(path.substr(start, i - start));
    }
    return parts;
}

template <class C>
bool IsDots(std::basic_string_view<C> part, std::size_t count) {
    if (part.size() != count) return false;
    for (C c : part) {
        if (c != C('.')) return false;
    }
    return true;
}

template <class C>
std::basic_string<C> Clean(std::basic_string_view<C> path) {
    auto parts = Parts(path);
    std::basic_string<C> prefix;
    const bool absolute = !IsRelative(path);
    if (path.find(C(':')) != npos) {
        prefix = parts.front();
        parts.erase(parts.begin());
    } else if (path.size() >= 2 && path[0] == C('\\') && path[1] == C('\\')) {
        prefix = C('\\');
    }

    std::vector<std::basic_string_view<C>> kept;
    std::vector<std::basic_string_view<C>> climbing;
    for (const auto& part : parts) {
        if (IsDots(part, 1)) continue;
        if (!IsDots(part, 2)) {
            kept.push_back(part);
        } else if (!kept.empty()) {
            kept.pop_back();
        } else {
            climbing.push_back(part);
        }
    }

    std::basic_string<C> result;
    if (absolute) {
        if (!climbing.empty()) return result;
        result = prefix;
        result += C('\\');
    } else {
        kept.insert(kept.begin(), climbing.begin(), climbing.end());
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) result += C('\\');
        result += kept[i];
    }
    return result;
}

// The folder of a path, or the working folder when it has none, ending in '/'.
std::string FolderOf(std::string_view path) {
    const auto cut = FolderCut(path);
    std::string folder;
    if (cut != npos) {
        folder = path.substr(0, cut);
    } else {
        folder = View(KFbxGetCurrentDirectory());
        if (folder.empty()) folder = ".";  // an unreadable working folder is still not the root
    }
    folder += '/';
    return folder;
}

std::string BelowRoot(const std::string& folder) { return folder.substr(Root(folder).size()); }

}  // namespace

KString KFbxExtractFileName(const KString& path, bool keepExtension) {
    std::string_view name = View(path);
    const auto separator = LastSeparator(name);
    if (separator != npos) name.remove_prefix(separator + 1);
    if (!keepExtension) {
        const auto dot = name.rfind('.');
        if (dot != npos) name = name.substr(0, dot);
    }
    return ToKString(name);
}

KString KFbxExtractExtension(const KString& path) {
    const std::string_view text = View(path);
    const auto dot = ExtensionDot(text);
    return ToKString(dot == npos ? std::string_view() : text.substr(dot + 1));
}

KString KFbxRemoveFileName(const KString& path) {
    const std::string_view text = View(path);
    const auto cut = FolderCut(text);
    return ToKString(cut == npos ? text : text.substr(0, cut));
}

KString KFbxExtractDirectory(const KString& path) {
    const std::string_view text = View(path);
    const auto cut = FolderCut(text);
    return ToKString(cut == npos ? std::string_view() : text.substr(0, cut));
}

KString KFbxChangeExtension(const KString& path, const KString& extension) {
    const std::string_view text = View(path);
    std::string result(text.substr(0, ExtensionDot(text)));
    result += View(extension);
    return ToKString(result);
}

KString KFbxExtractRoot(const KString& path) { return ToKString(Root(View(path))); }

KString KFbxGetDirectoryBelowRoot(const KString& path) { return ToKString(BelowRoot(FolderOf(View(path)))); }

int KFbxSplitPath(KString& path, char** parts, int capacity) {
    if (!path.IsOK()) return -1;
    char* text = path.Buffer();
    int stored = 0;
    for (char* c = text; *c; ++c) {
        if (!IsSeparator(*c)) continue;
        *c = '\0';
        if (parts && stored < capacity) parts[stored++] = c + 1;
    }
    return stored - 1;
}

bool KFbxHasExtension(const KString& path, const KString& extension) {
    return KFbxExtractExtension(path).CompareNoCase(View(extension).data()) == 0;
}

bool KFbxIsFbxFile(const KString& path) { return KFbxHasExtension(path, "fbx"); }

bool KFbxIsRelativePath(const KString& path) { return path.IsOK() && IsRelative(View(path)); }

bool KFbxIsSharePath(const KString& path) {
    const std::string_view view = View(path);
    if (view.size() <= 2 || !IsSeparator(view[0]) || !IsSeparator(view[1]) || IsSeparator(view[2])) return false;
    // This system reads the two separators as one, and such names come from
    // joins of the root folder and a path, or from programs of this system.
    const std::string_view host = view.substr(2, view.find_first_of("\\/", 2) - 2);
    const std::string top = "/" + std::string(host);
    return !qalimor::os::IsDirectory(top.c_str()) && !qalimor::os::Exists(std::string(view).c_str());
}

KString KFbxCleanPath(const KString& path) { return ToKString(Clean(View(path))); }

bool KFbxIsCharInSetW(char16_t c, const char16_t* set) {
    if (!set) return false;
    for (; *set; ++set) {
        if (*set == c) return true;
    }
    return false;
}

int KFbxCountTokensW(const char16_t* text, const char16_t* separators) {
    if (!text) return 0;
    int count = 0;
    bool inToken = false;
    for (; *text; ++text) {
        const bool separator = KFbxIsCharInSetW(*text, separators);
        if (!separator && !inToken) ++count;
        inToken = !separator;
    }
    return count;
}

bool KFbxGetTokenW(const char16_t* text, int index, const char16_t* separators, char16_t* out, int outSize) {
    if (!out || outSize < 1) return false;
    out[0] = u'\0';
    if (!text || index < 0) return false;
    int current = -1;
    const char16_t* start = nullptr;
    for (const char16_t* p = text;; ++p) {
        const bool separator = !*p || KFbxIsCharInSetW(*p, separators);
        if (!separator && !start) {
            start = p;
            ++current;
        } else if (separator && start) {
            if (current == index) {
                const std::ptrdiff_t length = p - start;
                if (length >= outSize) return false;
                std::char_traits<char16_t>::copy(out, start, static_cast<std::size_t>(length));
                out[length] = u'\0';
                return true;
            }
            start = nullptr;
        }
        if (!*p) return false;
    }
}

bool KFbxCleanPathW(const char16_t* path, char16_t* out, int outSize) {
    if (!out || outSize < 1) return false;
    out[0] = u'\0';
    if (!path) return false;
    const std::u16string clean = Clean(std::u16string_view(path));
    if (clean.size() >= static_cast<std::size_t>(outSize)) return false;
    std::char_traits<char16_t>::copy(out, clean.c_str(), clean.size() + 1);
    return true;
}

KString KFbxJoinPath(const KString& directory, const KString& name) {
    if (!KFbxIsRelativePath(name)) return KFbxCleanPath(name);
    std::string joined(View(directory));
    if (!joined.empty() && !IsSeparator(joined.back())) joined += '/';
    joined += View(name);
    return ToKString(Clean(std::string_view(joined)));
}

KString KFbxMakeAbsolutePath(const KString& path) {
    if (!KFbxIsRelativePath(path)) return KFbxCleanPath(path);
    std::string absolute(View(KFbxGetCurrentDirectory()));
    if (!absolute.empty() && !IsSeparator(absolute.back())) absolute += '\\';
    absolute += View(path);
    return ToKString(Clean(std::string_view(absolute)));
}

KString KFbxGetRelativePath(const KString& base, const KString& target) {
    const std::string baseFolder = FolderOf(View(base));
    const std::string targetFolder = FolderOf(View(target));
    if (Root(baseFolder) != Root(targetFolder) ||
        IsRelative(std::string_view(baseFolder)) != IsRelative(std::string_view(targetFolder))) {
        return target;
    }
    const std::string baseBelow = BelowRoot(baseFolder);
    const std::string targetBelow = BelowRoot(targetFolder);
    const auto from = Parts(std::string_view(baseBelow));
    const auto to = Parts(std::string_view(targetBelow));

    std::size_t shared = 0;
    while (shared < from.size() && shared < to.size() && from[shared] == to[shared]) ++shared;

    std::string relative;
    for (std::size_t i = shared; i < from.size(); ++i) relative += "../";
    for (std::size_t i = shared; i < to.size(); ++i) {
        relative += to[i];
        relative += '/';
    }
    relative += View(KFbxExtractFileName(target, true));
    return ToKString(relative);
}

KString KFbxGetRelativeFilePath(const KString& baseDirectory, const KString& file) {
    const KString folder = ToKString(FolderOf(View(file)));
    return KFbxJoinPath(KFbxGetRelativePath(baseDirectory, folder), KFbxExtractFileName(file, true));
}

}  // namespace fbxsdk_2006_11_1
