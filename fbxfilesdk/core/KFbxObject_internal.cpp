#include <fbxfilesdk/core/KFbxObject_internal.h>

#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

namespace fbxsdk_2006_11_1 {

KFbxObject_internal::~KFbxObject_internal() {
    if ((GetFlags() & kBeingDestroyed) == 0) {
        Finalize();
        Destroy();
    }
    if (mPublicObject != nullptr) {
        mPublicObject->ForgetInternal(this);
    }
}

const KPlugClassInfo* KFbxObject_internal::GetClassInfo() const { return &gKFbxObject_internalClassInfo; }

void KFbxObject_internal::Release() {
    if ((GetFlags() & kConstructed) != 0) {
        delete this;
    }
}

const char* KFbxObject_internal::GetTypeName() const {
    return mPublicObject != nullptr ? mPublicObject->GetTypeName() : "";
}

void KFbxObject_internal::MakePendingPropertiesNow() {
    // Bound first are the properties registered before the public object's
    // deferred ones would have been made; those are registered, deferred in
    // turn, and bound on the next round.
    do {
        KObject::MakePendingPropertiesNow();
        if (mPublicObject == nullptr) {
            return;
        }
        mPublicObject->BindDeferredProperties();
        mPublicObject->MakeProperties();
    } while (ArePropertiesPending());
}

void KFbxObject_internal::ReportPropertyChanged(KFbxProperty& property) {
    if (mPublicObject != nullptr) {
        mPublicObject->PropertyChanged(property);
    }
}

}  // namespace fbxsdk_2006_11_1
