// The table of named time modes: what files store for a frame rate (a file
// code and a short name) and what users see (a long name). Its rows, their
// order and their odd entries are part of the file formats, so they stay as
// they are: 48 fps shares file code 3 with 30 fps, "30 Drop" and "23.976"
// share code 10, and the 1000 fps mode has no row at all.
#ifndef FBXFILESDK_CORE_KTIMEMODEINFO_H
#define FBXFILESDK_CORE_KTIMEMODEINFO_H

#include <span>

namespace fbxsdk_2006_11_1 {

struct KTimeModeInfo {
    double mFrameRate;
    const char* mShortName;
    int mTimeMode;
    int mFileCode;
    const char* mLongName;
    // False on the rows that lose a shared file code to an earlier row.
    bool mUsableForFileCode;
};

// The process-wide table, twelve rows in file order.
std::span<const KTimeModeInfo> KTimeModeInfoTable();

}  // namespace fbxsdk_2006_11_1

#endif
