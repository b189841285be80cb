#include <fbxfilesdk/core/KFbxClassId.h>

#include <fbxfilesdk/core/KFbxPlug.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// The type word every class filter reads; class filters are told apart by
// their class, not by this word.
constexpr int kClassFilterTypeWord = 0;

// Records are never freed; the list keeps them reachable after their last
// holder (a manager's class set, a caller's handle) is gone.
constinit KFbxClassIdInfo* gAllocatedRecords = nullptr;

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

KClassIdInfoFilter::KClassIdInfoFilter(KFbxClassIdInfo* classInfo)
    : KPlugFilter(&kClassFilterTypeWord), mClassInfo(classInfo) {}

KClassIdInfoFilter::~KClassIdInfoFilter() = default;

bool KClassIdInfoFilter::HasId(int) const { return false; }

bool KClassIdInfoFilter::IsEqual(const KPlugFilter* other) const { return other == this; }

bool KClassIdInfoFilter::IsValid(KPlug* internalPlug) const {
    const KFbxPlug* publicPlug = KFbxGetPublicPlug(internalPlug);
    return publicPlug != nullptr && publicPlug->IsRuntime(KFbxClassId(mClassInfo));
}

KFbxClassIdInfo::KFbxClassIdInfo(const char* className, KFbxClassIdInfo* parent, KFbxPlugCreateFn createFn)
    : mName(OrEmpty(className)), mParent(parent), mCreateFn(createFn), mFilter(this) {}

KFbxClassIdInfo* KFbxClassIdInfo::New(const char* className, KFbxClassIdInfo* parent, KFbxPlugCreateFn createFn) {
    auto* record = new (std::nothrow) KFbxClassIdInfo(className, parent, createFn);
    if (record == nullptr) {
        return nullptr;
    }
    if (!record->mName.IsOK() || !record->mObjectTypeName.IsOK() || !record->mObjectSubTypeName.IsOK()) {
        delete record;
        return nullptr;
    }
    record->mNextAllocated = gAllocatedRecords;
    gAllocatedRecords = record;
    return record;
}

KFbxPlug* KFbxClassIdInfo::Create(KFbxSdkManager* manager, const char* name) const {
    for (const KFbxClassIdInfo* record = this; record != nullptr; record = record->mParent) {
        if (record->mCreateFn != nullptr) {
            return record->mCreateFn(manager, name);
        }
    }
    return nullptr;
}

bool KFbxClassIdInfo::IsA(const KFbxClassIdInfo* record) const {
    for (const KFbxClassIdInfo* ancestor = this; ancestor != nullptr; ancestor = ancestor->mParent) {
        if (ancestor == record) {
            return true;
        }
    }
    return false;
}

bool KFbxClassIdInfo::SetObjectTypeName(const char* text) {
    mObjectTypeName = OrEmpty(text);
    return mObjectTypeName.IsOK();
}

bool KFbxClassIdInfo::SetObjectSubTypeName(const char* text) {
    mObjectSubTypeName = OrEmpty(text);
    return mObjectSubTypeName.IsOK();
}

KFbxClassId::KFbxClassId(const char* className, const KFbxClassId& parent, KFbxPlugCreateFn createFn)
    : mClassInfo(KFbxClassIdInfo::New(className, parent.mClassInfo, createFn)) {}

const char* KFbxClassId::GetName() const { return mClassInfo != nullptr ? mClassInfo->GetName().Buffer() : ""; }

bool KFbxClassId::Is(const KFbxClassId& other) const {
    return mClassInfo != nullptr && other.mClassInfo != nullptr && mClassInfo->IsA(other.mClassInfo);
}

KFbxPlug* KFbxClassId::Create(KFbxSdkManager* manager, const char* name) const {
    return mClassInfo != nullptr ? mClassInfo->Create(manager, name) : nullptr;
}

bool KFbxClassId::SetObjectTypeName(const char* text) {
    return mClassInfo != nullptr && mClassInfo->SetObjectTypeName(text);
}

bool KFbxClassId::SetObjectSubTypeName(const char* text) {
    return mClassInfo != nullptr && mClassInfo->SetObjectSubTypeName(text);
}

KString KFbxClassId::GetObjectTypeName() const {
    return mClassInfo != nullptr ? mClassInfo->GetObjectTypeName() : KString();
}

KString KFbxClassId::GetObjectSubTypeName() const {
    return mClassInfo != nullptr ? mClassInfo->GetObjectSubTypeName() : KString();
}

KPlugFilter* KFbxClassId::GetFilter() const { return mClassInfo != nullptr ? mClassInfo->GetFilter() : nullptr; }

}  // namespace fbxsdk_2006_11_1
