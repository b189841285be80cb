#include <fbxfilesdk/core/KFreshPropertyNamesScope.h>

namespace fbxsdk_2006_11_1 {

namespace {

thread_local const KObject* tFreshObject = nullptr;

}  // namespace

KFreshPropertyNamesScope::KFreshPropertyNamesScope(const KObject* object) : mPrevious(tFreshObject) {
    tFreshObject = object;
}

KFreshPropertyNamesScope::~KFreshPropertyNamesScope() { tFreshObject = mPrevious; }

bool KFreshPropertyNamesScope::Covers(const KObject* object) { return object != nullptr && tFreshObject == object; }

}  // namespace fbxsdk_2006_11_1
