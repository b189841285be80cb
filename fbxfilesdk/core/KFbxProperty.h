// The public handle of a named, typed value that belongs to an object. A
// handle is one pointer and is copied freely; all copies share one internal
// property. Bound to its object, the value is mirrored into an internal
// property of the object's twin, where the animation and file layers read it:
// Get refreshes the value from there and Set pushes it there.
//
// The handle that made a property (its creator) takes it along when it goes;
// other copies must not be used once the property was destroyed.
#ifndef FBXFILESDK_CORE_KFBXPROPERTY_H
#define FBXFILESDK_CORE_KFBXPROPERTY_H

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>

#include <cstddef>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

class KDataType;
class KFbxObject;
class KFbxProperty_internal;
class KInternedText;
class KProperty;

class KFbxProperty : public KFbxPlug {
public:
    // Flags, and what they become on the bound internal property.
    static constexpr std::uint32_t kAnimatable = 1;  // info flag "animatable"
    static constexpr std::uint32_t kUser = 2;        // info flag "user"
    static constexpr std::uint32_t kPublicFlag4 = 4;  // info flag 128
    static constexpr std::uint32_t kPublicFlag8 = 8;  // the internal property's own flag 8
    // A member handle of an object's class: Destroy leaves the creator handle alone.
    static constexpr std::uint32_t kMember = 16;

    // The class id of KFbxProperty; null until the SDK classes are registered.
    static KFbxClassId ClassId;

    // The invalid property.
    KFbxProperty() = default;
    explicit KFbxProperty(KFbxProperty_internal* internal) : mInternal(internal) {}
    // Copies share the property but never made it.
    KFbxProperty(const KFbxProperty& other) : KFbxPlug(other), mInternal(other.mInternal) {}
    // Not on the handle that made a property: the property would lose its creator.
    KFbxProperty& operator=(const KFbxProperty& other);
    // Makes the property with the object's manager and registers this handle
    // with the object, which destroys it with itself: make such handles with new.
    KFbxProperty(KFbxObject* object, const char* name, const KFbxDataType& dataType, const char* label);
    // The same with the name and label interned already.
    KFbxProperty(KFbxObject* object, const KInternedText& name, const KFbxDataType& dataType,
                 const KInternedText& label);
    // A property of no object.
    KFbxProperty(KFbxSdkManager* manager, const char* name, const KFbxDataType& dataType, const char* label);
    // The creator destroys the property; other copies leave it.
    ~KFbxProperty() override;

    // Both share one internal property.
    bool operator==(const KFbxProperty& other) const { return mInternal == other.mInternal; }
    bool operator!=(const KFbxProperty& other) const { return mInternal != other.mInternal; }

    // The invalid property for a null object. Unless forced, the object's
    // property of that name; else a new one registered with the object.
    static KFbxProperty Create(KFbxObject* object, const char* name, const KFbxDataType& dataType,
                               const char* label, bool force = false);
    // The same for a class's names and labels, interned once for all its objects.
    static KFbxProperty Create(KFbxObject* object, const KInternedText& name, const KFbxDataType& dataType,
                               const KInternedText& label, bool force = false);
    // For a member handle of an object's class: shares the object's property
    // of the name, or makes one with this handle as creator and flag kMember.
    void InitOnObject(KFbxObject* object, const char* name, const KFbxDataType& dataType, const char* label);
    // InitOnObject for an object being made, which has no property of the
    // name yet: always makes the property, without looking for one.
    void InitOnNewObject(KFbxObject* object, const char* name, const KFbxDataType& dataType, const char* label);
    // The same for a class's fixed properties, whose names and labels are
    // interned once for all its objects.
    void InitOnNewObject(KFbxObject* object, const KInternedText& name, const KFbxDataType& dataType,
                         const KInternedText& label);
    // A new heap handle bound to an existing internal property, with its
    // name, label, limits, flags and enum names; null when memory runs out.
    static KFbxProperty* CreateForKProperty(KFbxSdkManager* manager, KProperty* property);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    // ---- plug operations ----
    KFbxClassId GetClassId() const override;
    // Unregisters, frees the value and the internal property, leaves this
    // handle invalid and deletes the creator unless it is a member handle.
    void Destroy(bool recursive = false, bool dependents = false) override;
    KFbxSdkManager* GetSdkManager() const override;
    void SetUserData(void* data) override;
    void* GetUserData() const override;
    // The owner object answers; a property of no object refuses.
    bool ConnectNotify(const KFbxConnectEvent& event) override;
    KPlug* GetInternalPlug() const override;

    // ---- attributes ----
    bool IsValid() const { return mInternal != nullptr; }
    const char* GetName() const;
    // The label, or the name when the label is empty.
    const char* GetLabel() const;
    KFbxDataType GetPropertyDataType() const;
    void SetMinLimit(double min);
    void SetMaxLimit(double max);
    double GetMinLimit() const;
    double GetMaxLimit() const;
    // Sets or clears the flags and their mirrors on the bound property.
    void ModifyFlag(std::uint32_t flags, bool on);
    // True when any of the flags is set.
    bool GetFlag(std::uint32_t flags) const;
    void SetUserTag(void* tag);
    void* GetUserTag() const;
    KFbxObject* GetObject() const;
    void SetObject(KFbxObject* object);
    // The bound internal property; one whose binding was deferred is bound
    // first, with every other deferred one of its object.
    KProperty* GetKProperty() const;
    bool IsLinkedTo(const KProperty* property) const;
    // The data type and type code of the internal property that holds the
    // value, or will once a deferred binding is carried out, without
    // carrying it out; false when there is none.
    bool GetBoundType(const KDataType*& dataType, int& typeCode) const;
    KFbxProperty_internal* GetInternal() const { return mInternal; }

    // ---- enums ----
    // -1 unless the value type is enum; else the new index.
    int AddEnumValue(const char* name);
    // The same for a name already interned.
    int AddEnumValue(const KInternedText& name);
    // Values 0 to count - 1 from a class's fixed table, interned for good
    // (KInternedText::InternForever): as AddEnumValue for each in turn, but
    // a property with none yet reads the table, shared by all the objects
    // of the class, until its list first changes.
    void AddFixedEnumValues(const KInternedText* names, std::size_t count);
    int GetEnumCount() const;
    // Null unless the value type is enum and the index is in range.
    const char* GetEnumValue(int index) const;

    // ---- values ----
    // False when the property's value type does not accept the type; a bound
    // property pushes the value to its internal property and its object hears of it.
    bool Set(const void* value, EFbxValueType type);
    // A bound property first reads its internal property back.
    bool Get(void* value, EFbxValueType type) const;
    double GetDouble() const;
    fbxDouble3 GetDouble3() const;
    fbxDouble4 GetDouble4() const;
    fbxDouble44 GetDouble44() const;
    KString GetString() const;
    KTime GetTime() const;
    // Both read with this property's value type; false for none, reference and stream.
    bool CompareValue(const KFbxProperty& other) const;
    // Only between the same data type; false for none, reference and stream.
    bool CopyValue(const KFbxProperty& other);

    // ---- binding ----
    // Makes the internal property on the owner's twin and links it; false
    // when already linked, for the null data type, a stream or a type the
    // twin cannot hold.
    bool BindToObject();
    // Removes the bound internal property from the owner's twin; false when
    // there is no owner or no link.
    bool Unbind();
    // For an object registering the property: marks it to be bound when the
    // owner's twin first shows its properties, instead of now. False when it
    // is bound or marked already, or binding now would fail.
    bool DeferBinding();
    bool IsBindingDeferred() const;

private:
    // Frees the internal property; this handle becomes invalid.
    void DestroyInternal();
    void PushValue() const;
    void PullValue() const;
    void MirrorFlags(std::uint32_t flags, bool on) const;

    KFbxProperty_internal* mInternal = nullptr;
    // Known by the handle itself: a copy must not read a property that may be gone.
    bool mIsCreator = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
