#include <fbxfilesdk/animation/KFbxKFCurveFilters.h>

#include <fbxfilesdk/animation/KFCurveFilter.h>
#include <fbxfilesdk/animation/KFCurveFilterConstantKeyReducer.h>
#include <fbxfilesdk/animation/KFCurveFilterMatrixConverter.h>
#include <fbxfilesdk/animation/KFCurveFilterResample.h>
#include <fbxfilesdk/animation/KFCurveFilterUnroll.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// A wrapper of a filter class is of no use without its filter.
template <class Wrapper>
KFbxPlug* CreateWrapper(KFbxSdkManager* manager, const char* name) {
    auto* wrapper = new (std::nothrow) Wrapper(manager, name);
    if (wrapper == nullptr) {
        return nullptr;
    }
    if (!wrapper->HasFilter()) {
        delete wrapper;
        return nullptr;
    }
    wrapper->CreateInternal();
    return wrapper;
}

template <class Wrapper>
Wrapper* CreateByClassId(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, Wrapper::ClassId, name);
    return plug != nullptr && plug->Is(Wrapper::ClassId) ? static_cast<Wrapper*>(plug) : nullptr;
}

}  // namespace

// ---- base wrapper ------------------------------------------------------------


KFbxKFCurveFilters* KFbxKFCurveFilters::Create(KFbxSdkManager* manager, const char* name) {
    return CreateByClassId<KFbxKFCurveFilters>(manager, name);
}

KFbxPlug* KFbxKFCurveFilters::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* wrapper = new (std::nothrow) KFbxKFCurveFilters(manager, name);
    if (wrapper != nullptr) {
        wrapper->CreateInternal();
    }
    return wrapper;
}

KFbxKFCurveFilters::KFbxKFCurveFilters(KFbxSdkManager* manager, const char* name)
    : KFbxKFCurveFilters(manager, name, nullptr) {}

KFbxKFCurveFilters::KFbxKFCurveFilters(KFbxSdkManager* manager, const char* name, KFCurveFilter* filter)
    : KFbxObject(manager, name), mFilter(filter), mNoError(nullptr, 0) {}

KFbxKFCurveFilters::~KFbxKFCurveFilters() = default;

KFbxClassId KFbxKFCurveFilters::GetClassId() const { return ClassId; }

void KFbxKFCurveFilters::DestroyContents(bool recursive, bool dependents) {
    mFilter.reset();
    KFbxObject::DestroyContents(recursive, dependents);
}

const char* KFbxKFCurveFilters::GetName() const { return mFilter ? mFilter->GetName() : nullptr; }

KTime& KFbxKFCurveFilters::GetStartTime() { return mFilter ? mFilter->GetStartTime() : mTime; }

void KFbxKFCurveFilters::SetStartTime(KTime start) {
    if (mFilter) {
        mFilter->SetStartTime(start);
    }
}

KTime& KFbxKFCurveFilters::GetStopTime() { return mFilter ? mFilter->GetStopTime() : mTime; }

void KFbxKFCurveFilters::SetStopTime(KTime stop) {
    if (mFilter) {
        mFilter->SetStopTime(stop);
    }
}

int KFbxKFCurveFilters::GetStartKeyIndex(KFCurve& curve) { return mFilter ? mFilter->GetStartKeyIndex(curve) : 0; }

int KFbxKFCurveFilters::GetStopKeyIndex(KFCurve& curve) { return mFilter ? mFilter->GetStopKeyIndex(curve) : 0; }

bool KFbxKFCurveFilters::NeedApply(KFCurve& curve) { return mFilter && mFilter->NeedApply(curve); }

bool KFbxKFCurveFilters::NeedApply(KFCurve** curves, int count) {
    return mFilter && mFilter->NeedApply(curves, count);
}

bool KFbxKFCurveFilters::NeedApply(KFCurveNode& node, bool recursive) {
    return mFilter && mFilter->NeedApply(node, recursive);
}

bool KFbxKFCurveFilters::Apply(KFCurve& curve) { return mFilter && mFilter->Apply(curve); }

bool KFbxKFCurveFilters::Apply(KFCurve** curves, int count) { return mFilter && mFilter->Apply(curves, count); }

bool KFbxKFCurveFilters::Apply(KFCurveNode& node, bool recursive) {
    return mFilter && mFilter->Apply(node, recursive);
}

void KFbxKFCurveFilters::Reset() {
    if (mFilter) {
        mFilter->Reset();
    }
}

ErrorHolder& KFbxKFCurveFilters::GetError() { return mFilter ? mFilter->GetError() : mNoError; }

int KFbxKFCurveFilters::GetLastErrorID() const { return mFilter ? mFilter->GetLastErrorID() : -1; }

const char* KFbxKFCurveFilters::GetLastErrorString() const {
    return mFilter ? mFilter->GetLastErrorString() : nullptr;
}

// ---- the four filter wrappers ------------------------------------------------


KFbxKFCurveFilterConstantKeyReducer* KFbxKFCurveFilterConstantKeyReducer::Create(KFbxSdkManager* manager,
                                                                                 const char* name) {
    return CreateByClassId<KFbxKFCurveFilterConstantKeyReducer>(manager, name);
}

KFbxPlug* KFbxKFCurveFilterConstantKeyReducer::CreateFn(KFbxSdkManager* manager, const char* name) {
    return CreateWrapper<KFbxKFCurveFilterConstantKeyReducer>(manager, name);
}

KFbxKFCurveFilterConstantKeyReducer::KFbxKFCurveFilterConstantKeyReducer(KFbxSdkManager* manager, const char* name)
    : KFbxKFCurveFilters(manager, name, new (std::nothrow) KFCurveFilterConstantKeyReducer()) {}

KFbxClassId KFbxKFCurveFilterConstantKeyReducer::GetClassId() const { return ClassId; }


KFbxKFCurveFilterMatrixConverter* KFbxKFCurveFilterMatrixConverter::Create(KFbxSdkManager* manager,
                                                                           const char* name) {
    return CreateByClassId<KFbxKFCurveFilterMatrixConverter>(manager, name);
}

KFbxPlug* KFbxKFCurveFilterMatrixConverter::CreateFn(KFbxSdkManager* manager, const char* name) {
    return CreateWrapper<KFbxKFCurveFilterMatrixConverter>(manager, name);
}

KFbxKFCurveFilterMatrixConverter::KFbxKFCurveFilterMatrixConverter(KFbxSdkManager* manager, const char* name)
    : KFbxKFCurveFilters(manager, name, new (std::nothrow) KFCurveFilterMatrixConverter()) {}

KFbxClassId KFbxKFCurveFilterMatrixConverter::GetClassId() const { return ClassId; }


KFbxKFCurveFilterResample* KFbxKFCurveFilterResample::Create(KFbxSdkManager* manager, const char* name) {
    return CreateByClassId<KFbxKFCurveFilterResample>(manager, name);
}

KFbxPlug* KFbxKFCurveFilterResample::CreateFn(KFbxSdkManager* manager, const char* name) {
    return CreateWrapper<KFbxKFCurveFilterResample>(manager, name);
}

KFbxKFCurveFilterResample::KFbxKFCurveFilterResample(KFbxSdkManager* manager, const char* name)
    : KFbxKFCurveFilters(manager, name, new (std::nothrow) KFCurveFilterResample()) {}

KFbxClassId KFbxKFCurveFilterResample::GetClassId() const { return ClassId; }


KFbxKFCurveFilterUnroll* KFbxKFCurveFilterUnroll::Create(KFbxSdkManager* manager, const char* name) {
    return CreateByClassId<KFbxKFCurveFilterUnroll>(manager, name);
}

KFbxPlug* KFbxKFCurveFilterUnroll::CreateFn(KFbxSdkManager* manager, const char* name) {
    return CreateWrapper<KFbxKFCurveFilterUnroll>(manager, name);
}

KFbxKFCurveFilterUnroll::KFbxKFCurveFilterUnroll(KFbxSdkManager* manager, const char* name)
    : KFbxKFCurveFilters(manager, name, new (std::nothrow) KFCurveFilterUnroll()) {}

KFbxClassId KFbxKFCurveFilterUnroll::GetClassId() const { return ClassId; }

}  // namespace fbxsdk_2006_11_1
