// The internal twin of a public object: an internal object that knows its
// public object, gives it the object's type name, and tells it when one of
// its properties changed value.
#ifndef FBXFILESDK_CORE_KFBXOBJECT_INTERNAL_H
#define FBXFILESDK_CORE_KFBXOBJECT_INTERNAL_H

#include <fbxfilesdk/core/KObject.h>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxProperty;

class KFbxObject_internal : public KObject {
public:
    explicit KFbxObject_internal(KFbxObject* publicObject) : mPublicObject(publicObject) {}
    // Finishes and destroys the object unless that already ran, and lets go
    // of the public object, which may outlive it.
    ~KFbxObject_internal() override;

    const KPlugClassInfo* GetClassInfo() const override;
    KFbxObject_internal* AsObjectInternal() override { return this; }
    // Deletes the object once it was fully constructed.
    void Release() override;
    // The public object's type name ("" without public object).
    const char* GetTypeName() const override;

    KFbxObject* GetPublicObject() const { return mPublicObject; }
    // Every link between two objects' twins, whichever call makes it, is
    // put to the public object that takes the source (which may refuse it),
    // and told to the public object that gains or loses the destination.
    bool EmitConnectionEvent(const KPlugEventChain* chain, int code, KPlug* sender, int index, KPlug* other,
                             std::uint8_t type, KEventWord extra) override;
    // Tells the public object (when there is one) that the property changed.
    void ReportPropertyChanged(KFbxProperty& property);

protected:
    // The public object makes both lists together, in its order.
    void MakePendingPropertiesNow() override;

private:
    friend class KFbxObject;

    KFbxObject* mPublicObject;
};

}  // namespace fbxsdk_2006_11_1

#endif
