// The names by which a document (a written model file) names the files that
// travel with it, as textures, relative to its own folder, so that the
// document still finds them when it moves with them.
#ifndef FBXFILESDK_CORE_KFBXDOCUMENTFILENAMES_H
#define FBXFILESDK_CORE_KFBXDOCUMENTFILENAMES_H

#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

// Both take paths with '\' or '/' between their folders.

// The path from the folder of document (absolute, or from the working
// folder) to file, '/' between its parts, with a ".." part for each folder
// to climb and no "." part. The links among file's folders are followed as
// the system follows them when it opens the name, so a ".." climbs out of
// the folder a link leads to; file itself, a link or not, keeps its name.
// Empty when file is not an absolute path of this system (a Windows drive's
// name, or a relative name, whose folder the caller knows better).
KString KFbxNameFromDocument(const KString& document, const KString& file);

// Whether a name made by KFbxNameFromDocument stays in the document's folder
// or below it.
bool KFbxIsBelowDocument(const KString& name);

// Where a reader finds a file that document names by relativeName, a path
// relative to the document's folder, whose ".." parts the system follows
// from where the links among its folders lead (or, through a folder that is
// not there, as the name reads): that path from the root, without "." or
// ".." parts, as it reads where that is the same file, else with its
// folders' links resolved, when it names a file (KFbxFileExists); else
// empty, as for an empty or absolute relativeName.
KString KFbxFindBesideDocument(const KString& document, const KString& relativeName);

}  // namespace fbxsdk_2006_11_1

#endif
