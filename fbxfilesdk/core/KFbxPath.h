// File paths taken apart and put together. Both '\' and '/' separate folders;
// normal forms use '\'. A path is absolute when it names a drive (it holds ':'),
// a network share (it begins with two backslashes) or the root (it begins with
// one separator); every other path is relative to the working folder. Nothing
// here reports errors: missing parts give empty results.
#ifndef FBXFILESDK_CORE_KFBXPATH_H
#define FBXFILESDK_CORE_KFBXPATH_H

#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

// The part after the last separator (the whole path when there is none);
// without keepExtension, cut at its last '.'.
KString KFbxExtractFileName(const KString& path, bool keepExtension);
// The text after the last '.' when that '.' follows every separator; else "".
KString KFbxExtractExtension(const KString& path);
// The path cut at its last '/', or when it has none at its last '\'; the path
// itself when it has neither.
KString KFbxRemoveFileName(const KString& path);
// As KFbxRemoveFileName, but "" when the path has no separator.
KString KFbxExtractDirectory(const KString& path);
// Drops the extension (when there is one) and appends extension as given,
// its '.' included.
KString KFbxChangeExtension(const KString& path, const KString& extension);
// The drive or share, upper-cased: "C:" for "c:\x", "\\SRV\SHARE" for
// "\\srv\share\dir\f"; "" for every other path.
KString KFbxExtractRoot(const KString& path);
// The path's folder (the working folder when it has none), ending in a
// separator, without its drive or share.
KString KFbxGetDirectoryBelowRoot(const KString& path);
// Cuts path in place at every separator and stores in parts (at most capacity
// of them) a pointer to the text after each separator. Returns the number
// stored minus one; -1 for an invalid string.
int KFbxSplitPath(KString& path, char** parts, int capacity);

// The extension equals extension, ignoring case.
bool KFbxHasExtension(const KString& path, const KString& extension);
bool KFbxIsFbxFile(const KString& path);
// False for an invalid (null) path and for absolute paths.
bool KFbxIsRelativePath(const KString& path);
// A file of a network share: two separators, then the host's name
// ("\\server\share\y.tga", or with '/'), which names a file of that host
// wherever the name is read, never one of this machine; but where the system
// finds a file by the name, or the host's name is that of a folder of this
// machine's root, the name is this machine's file (it reads "//tmp/x.png"
// as "/tmp/x.png").
bool KFbxIsSharePath(const KString& path);

// The normal form: "." parts dropped, ".." parts applied, '\' between parts,
// no trailing separator except after a bare root ("C:\", "\\", "\"). An
// absolute path that climbs above its root gives "".
KString KFbxCleanPath(const KString& path);
// The same on UTF-16 text, into out (outSize units with the terminator); false,
// out empty, when the result does not fit.
bool KFbxCleanPathW(const char16_t* path, char16_t* out, int outSize);
// Runs of characters outside separators.
int KFbxCountTokensW(const char16_t* text, const char16_t* separators);
// Copies the token at index into out; false, out empty, when there is no such
// token or it does not fit.
bool KFbxGetTokenW(const char16_t* text, int index, const char16_t* separators, char16_t* out, int outSize);
// False for a null set.
bool KFbxIsCharInSetW(char16_t c, const char16_t* set);

// A relative name joined under directory, cleaned; an absolute name is only cleaned.
KString KFbxJoinPath(const KString& directory, const KString& name);
// A relative path put under the working folder, cleaned.
KString KFbxMakeAbsolutePath(const KString& path);
// The way from base's folder to target (the last part of each, after its last
// separator, is a file name): "../" per folder to climb, then target's folders
// each followed by '/', then target's file name. Paths on different roots
// give target unchanged.
KString KFbxGetRelativePath(const KString& base, const KString& target);
// The file named relative to baseDirectory, cleaned.
KString KFbxGetRelativeFilePath(const KString& baseDirectory, const KString& file);

}  // namespace fbxsdk_2006_11_1

#endif
