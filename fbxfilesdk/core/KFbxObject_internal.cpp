#include <fbxfilesdk/core/KFbxObject_internal.h>

#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

namespace fbxsdk_2006_11_1 {

namespace {

KFbxObject* PublicObjectOf(KPlug* plug) {
    const KFbxObject_internal* twin = KFbxCastToObjectInternal(plug);
    return twin != nullptr ? twin->GetPublicObject() : nullptr;
}

}  // namespace

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

bool KFbxObject_internal::EmitConnectionEvent(const KPlugEventChain* chain, int code, KPlug* sender, int index,
                                              KPlug* other, std::uint8_t type, KEventWord extra) {
    // The events of this twin's own lists only: those a view or a property
    // passes up are told again by the plug whose list changes.
    if (sender == this && mPublicObject != nullptr &&
        (code == eKPlugDstMayTakeSrc || code == eKPlugDstAboutToBeAdded || code == eKPlugDstAdded ||
         code == eKPlugDstRemoved)) {
        if (KFbxObject* otherObject = PublicObjectOf(other)) {
            if (code == eKPlugDstMayTakeSrc) {
                KFbxObject* askedOf = PublicObjectOf(reinterpret_cast<KPlug*>(extra));
                if (!mPublicObject->AcceptsSrcObject(*otherObject, askedOf, (type & kConnectionOneWay) != 0)) {
                    return false;
                }
            } else if (code == eKPlugDstAboutToBeAdded) {
                mPublicObject->DstObjectAboutToLink(*otherObject);
            } else {
                mPublicObject->DstObjectLinked(*otherObject, code == eKPlugDstAdded);
            }
        }
    }
    return KObject::EmitConnectionEvent(chain, code, sender, index, other, type, extra);
}

void KFbxObject_internal::ReportPropertyChanged(KFbxProperty& property) {
    if (mPublicObject != nullptr) {
        mPublicObject->PropertyChanged(property);
    }
}

}  // namespace fbxsdk_2006_11_1
