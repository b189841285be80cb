// What the SDK asks of the machine: the working folder, folder creation, the
// machine name, file existence, and a line reader for stdio streams.
#ifndef FBXFILESDK_CORE_KFBXSYSTEMUTILS_H
#define FBXFILESDK_CORE_KFBXSYSTEMUTILS_H

#include <fbxfilesdk/core/KString.h>

#include <cstdio>

namespace fbxsdk_2006_11_1 {

// The process's working folder; empty when it cannot be read.
KString KFbxGetCurrentDirectory();

// Creates every missing folder of the path's folder part (the text up to its
// last '\' or '/'; what follows is a file name and is ignored). True when the
// folder exists afterwards. A drive letter ("C:") names nothing here: false.
// The working folder is never changed.
bool KFbxCreateDirectoryPath(const char* path);

// The machine name into buffer (size bytes with the terminator). On failure,
// or when the name does not fit, the buffer holds "?" (when size allows) and
// the result is false.
bool KFbxGetComputerName(char* buffer, int size);

// True exactly when the name is a regular file we may read, found without
// opening it; false for null or "".
bool KFbxFileExists(const KString& name);

// Reads one line of at most size - 1 characters, keeping its line end: a line
// feed, a carriage return, or both. Null for size below 1 and at the end of the
// stream when nothing was read; size 1 gives "". Always terminated.
char* KFbxReadLine(char* buffer, int size, std::FILE* stream);

}  // namespace fbxsdk_2006_11_1

#endif
