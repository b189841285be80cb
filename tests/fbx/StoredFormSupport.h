// Writing stored forms into a field file and opening them again, for the
// curve and curve-node stored-form tests.
#ifndef TESTS_FBX_STOREDFORMSUPPORT_H
#define TESTS_FBX_STOREDFORMSUPPORT_H

#include "FieldFileModes.h"

#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFileHeaderInfo.h>

#include <gtest/gtest.h>

#include <functional>

namespace fbxsdk_2006_11_1 {

// Exact for the quarter seconds the tests use.
inline KTime Seconds(double seconds) { return KTime(static_cast<long long>(seconds * 46186158000.0)); }

// A file of the mode (and, for files, the version) holding what body wrote,
// open for reading at the top level.
class StoredFile {
public:
    StoredFile(FieldFileMode mode, const std::function<void(KFbx&)>& body, int version = 0) : mTrip(mode) {
        KFbxFileHeaderInfo info;
        if (version != 0) info.mFileVersion = version;
        if (mTrip.Write(body, version != 0 ? &info : nullptr)) mTrip.Open(mFile);
    }
    KFbx& File() { return mFile; }

private:
    FieldFileRoundTrip mTrip;
    KFbx mFile;
};

}  // namespace fbxsdk_2006_11_1

#endif
