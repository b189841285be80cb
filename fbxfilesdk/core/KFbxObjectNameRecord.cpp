#include <fbxfilesdk/core/KFbxObjectNameRecord.h>

namespace fbxsdk_2006_11_1 {

namespace {

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

KFbxObjectNameRecord::KFbxObjectNameRecord(const char* name) : mInitialName(OrEmpty(name)), mCurrentName(OrEmpty(name)) {}

KFbxObjectNameRecord& KFbxObjectNameRecord::operator=(const KFbxObjectNameRecord& other) {
    if (this != &other) {
        mInitialName = other.mInitialName;
        mCurrentName = other.mCurrentName;
    }
    return *this;
}

void KFbxObjectNameRecord::SetCurrentName(const char* name) { mCurrentName = OrEmpty(name); }

void KFbxObjectNameRecord::SetInitialName(const char* name) {
    mInitialName = OrEmpty(name);
    mCurrentName = mInitialName;
}

void KFbxObjectNameRecord::SetNameSpace(const char* nameSpace) { mNameSpace = OrEmpty(nameSpace); }

}  // namespace fbxsdk_2006_11_1
