// The internal property: a plug that belongs to one internal object and
// carries an info record (name, label, type code, data type, range, getter and
// setter callbacks, enum names, flags). The value itself lives in the typed
// subclasses (KPropertyTemplate); this class reads and writes it through raw
// buffers and converts between the type code and ints, doubles, animation
// channels and text.
#ifndef FBXFILESDK_CORE_KPROPERTY_H
#define FBXFILESDK_CORE_KPROPERTY_H

#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KPropertyType.h>
#include <fbxfilesdk/core/KString.h>

#include <cstdint>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KDataType;
class KObject;
class KStringList;

// Getter and setter callbacks are kept type-erased in the info record; the
// typed property that set them casts them back to its own signatures.
using KPropertyCallback = void (*)();
// The text of an enum value from its index; null for an index it does not know.
using KPropertyEnumTextCallback = const char* (*)(KPlug* owner, int index);

// How a property's value is laid out in the raw buffers of GetValue and
// SetValue. A raw conversion runs only when the layout its type code implies
// is the one the property stores, so a changed type code can never make a
// property read or write a buffer of another shape.
enum class KPropertyValueLayout {
    eNone,
    eInt32,        // int (codes 1 and 6, and enumerations)
    eByte,         // one byte, 0 or 1 (codes 2 and 16)
    eDouble,       // codes 3 and 4
    eCharPtr,      // const char*
    eTime,         // KTime
    eString,       // a KString object
    eObjectPtr,    // KObject*
    eDouble4,      // four doubles (codes 12 to 15)
    ePropertyPtr,  // KProperty*
    eDouble16      // sixteen doubles, row by row
};

class KPropertyInfo {
public:
    static constexpr std::uint32_t kDynamic = 0x001;
    static constexpr std::uint32_t kAnimatable = 0x002;
    static constexpr std::uint32_t kList = 0x004;
    static constexpr std::uint32_t kObjectList = 0x008;
    static constexpr std::uint32_t kWorldIndexed = 0x010;
    static constexpr std::uint32_t kOwnedName = 0x020;
    static constexpr std::uint32_t kUser = 0x040;
    static constexpr std::uint32_t kPublicFlag4 = 0x080;
    static constexpr std::uint32_t kNamedReference = 0x100;
    static constexpr std::uint32_t kEnumCallback = 0x200;

    KPropertyInfo();
    ~KPropertyInfo();
    KPropertyInfo(const KPropertyInfo&) = delete;
    KPropertyInfo& operator=(const KPropertyInfo&) = delete;

    std::uint32_t GetFlags() const { return mFlags; }
    bool TestFlag(std::uint32_t bits) const { return (mFlags & bits) != 0; }
    void SetFlag(std::uint32_t bits, bool on) { mFlags = on ? mFlags | bits : mFlags & ~bits; }

    // Stores the callback as the enum source and sets kEnumCallback (null clears it).
    void SetEnumList(KPropertyEnumTextCallback callback);
    KPropertyEnumTextCallback GetEnumCallback() const { return GetRare().mEnumCallback; }

    KPropertyCallback GetGetter() const { return GetRare().mGetter; }
    KPropertyCallback GetSetter() const { return GetRare().mSetter; }

private:
    friend class KProperty;

    // What most properties keep at its default: callbacks, a range other than
    // 0 to 100, enum names, a world slot. Made on first use, so that the many
    // properties every object makes pay only for the pointer.
    struct Rare {
        KPropertyCallback mGetter = nullptr;
        KPropertyCallback mSetter = nullptr;
        double mMin = 0.0;
        double mMax = 100.0;
        std::unique_ptr<KStringList> mEnumList;
        KPropertyEnumTextCallback mEnumCallback = nullptr;
        // The slot in the world's property index; -1 when none.
        int mWorldIndex = -1;
    };

    const Rare& GetRare() const { return mRare != nullptr ? *mRare : kNoRare; }
    // Made on first call; null (noted as an allocation failure) when memory runs out.
    Rare* MakeRare();

    static const Rare kNoRare;

    std::uint32_t mFlags = 0;
    int mType = eKPropertyUnknown;
    // Never the caller's pointer, so a name given from a temporary stays valid;
    // shared with every property of the same name.
    KInternedText mName;
    // Empty means no label.
    KInternedText mLabel;
    KDataType* mDataType = nullptr;
    std::unique_ptr<Rare> mRare;
};

class KProperty : public KPlug {
public:
    // Own flags.
    static constexpr std::uint32_t kOwnPublicFlag8 = 0x08;
    static constexpr std::uint32_t kOwnSkipInOldBlock = 0x10;
    static constexpr std::uint32_t kOwnFlag32 = 0x20;
    // Set only while SetAnnouncesValues(false) holds.
    static constexpr std::uint32_t kOwnQuietValues = 0x40;

    // Object events a property sends (sender the property).
    static constexpr int kEventRenaming = 27;  // words: new text, current name; false keeps the name
    static constexpr int kEventRenamed = 28;
    static constexpr int kEventChanged = 31;   // flags or range
    // Value events of the typed properties.
    static constexpr int kEventValueChanging = 20;  // words: new value, stored value
    static constexpr int kEventValueChanged = 21;   // word: new value

    KProperty();
    // Runs Destroy first unless the property is already being destroyed.
    ~KProperty() override;

    void Destroy() override;
    const KPlugClassInfo* GetClassInfo() const override;

    // ---- value by type ----
    virtual int GetInt();
    virtual bool SetInt(int value);
    virtual double GetDouble();
    virtual bool SetDouble(double value);
    // out / in hold up to sixteen doubles (a matrix); four for vectors, one for numbers.
    virtual bool GetChannelValue(double* out);
    virtual bool SetChannelValue(const double* in);
    // Renames (announced as events 27 and 28); the stored name has no double quotes.
    virtual bool SetName(const char* name, bool makeUnique);
    // Raw value in the layout of GetValueLayout; false at this level (no value).
    virtual bool GetValue(void* out);
    virtual bool SetValue(const void* in);
    virtual KPropertyValueLayout GetValueLayout() const;
    // A new dynamic property like this one on the object (value not copied), or null.
    virtual KProperty* CloneToObject(KObject* object);
    // Nothing at this level.
    virtual void CopyData(KProperty* other);
    // Copies other's value when both have the same type code; true when copied.
    virtual bool CopyValue(KProperty* other);
    virtual bool Assign(KProperty* other);

    // ---- construction and registration ----
    // A static property: the owner adopts it as a child; the name is copied.
    void Register(const char* name, KObject* owner, KPropertyCallback getter, KPropertyCallback setter);
    // A dynamic property: own flags, adoption, an owned name without double
    // quotes, the user mark, the dynamic mark, the data type, and the source
    // connected when given.
    void InitDynamic(KObject* owner, const char* name, KDataType* dataType, bool user, KProperty* source,
                     std::uint32_t ownFlags);
    // The same with a name already as StoredName gives it.
    void InitDynamic(KObject* owner, const KInternedText& name, KDataType* dataType, bool user, KProperty* source,
                     std::uint32_t ownFlags);
    // A name as properties store it: interned, without double quotes.
    static KInternedText StoredName(const char* name);
    void SetNameAndType(const char* name, int type);

    // ---- info record ----
    KPropertyInfo& GetInfo() { return mInfo; }
    const KPropertyInfo& GetInfo() const { return mInfo; }
    const char* GetName() const;
    // Null when there is none.
    const char* GetLabel() const;
    // Null or "" removes the label.
    void SetLabel(const char* label);
    void SetLabel(const KInternedText& label) { mInfo.mLabel = label; }
    void SetType(int type) { mInfo.mType = type; }
    int GetType() const { return mInfo.mType; }
    double GetMin() const { return mInfo.GetRare().mMin; }
    double GetMax() const { return mInfo.GetRare().mMax; }
    // Each announces event 31 unless nothing changes (a NaN always counts as a change).
    bool SetMin(double min);
    bool SetMax(double max);
    bool SetMinMax(double min, double max);
    // The enum names, made (empty) on request; null while an enum callback is set.
    KStringList* GetEnumList(bool create);
    const char* GetEnumText(int index);
    // The stored data type, else the default of the type code (or null).
    KDataType* GetDataType() const;
    void SetDataType(KDataType* dataType) { mInfo.mDataType = dataType; }
    // The parent when it is a KObject.
    KObject* GetOwnerObject() const;
    bool TestFlag(std::uint32_t bits) const { return mInfo.TestFlag(bits); }
    bool TestOwnFlag(std::uint32_t bits) const { return (mOwnFlags & bits) != 0; }
    // While off, a typed property's Set stores the value without events 20
    // and 21: for the value a property is set up with as it is made, which
    // nothing can have heard of yet.
    void SetAnnouncesValues(bool on) { mOwnFlags = on ? mOwnFlags & ~kOwnQuietValues : mOwnFlags | kOwnQuietValues; }
    bool AnnouncesValues() const { return (mOwnFlags & kOwnQuietValues) == 0; }
    // Own flags; announces event 31.
    void SetFlag(std::uint32_t bits, bool on);
    std::uint32_t GetOwnFlags() const { return mOwnFlags; }
    void SetOwnFlag32(bool on) { SetFlag(kOwnFlag32, on); }
    bool IsAnimatable() const { return mInfo.TestFlag(KPropertyInfo::kAnimatable); }
    bool IsObjectList() const { return mInfo.TestFlag(KPropertyInfo::kObjectList); }
    bool IsDynamic() const { return mInfo.TestFlag(KPropertyInfo::kDynamic); }
    bool IsUser() const { return mInfo.TestFlag(KPropertyInfo::kUser); }
    bool IsReference() const { return mInfo.mType == eKPropertyReference; }
    bool IsNumeric() const;
    bool IsVector() const;
    int GetWorldIndex() const { return mInfo.GetRare().mWorldIndex; }
    void SetWorldIndex(int index);

    // ---- references ----
    // The index-th source or destination that is a property; null past the end.
    KProperty* GetSrcProperty(int index) const;
    KProperty* GetDstProperty(int index) const;
    // The first property source of a reference property; else this one.
    KProperty* GetReferencedProperty();
    // 0 for a view; else the number of destinations that are properties.
    int GetDstPropertyCount() const;

    // ---- text ----
    void GetValueAsString(KString& out);
    bool SetValueFromString(const char* text);
    // Trims the name and numbers it until no other property of the owner has it:
    // "Size" gives "Size 1", "Size 2", ...; "Take7" gives "Take8".
    void MakeUniqueName(KString& name);

protected:
    // Reads or writes the raw value when the property stores the given layout.
    bool ReadRaw(KPropertyValueLayout layout, void* out);
    bool WriteRaw(KPropertyValueLayout layout, const void* in);

private:
    // The layout that raw values of a type code take.
    static KPropertyValueLayout LayoutOfType(int type);
    bool StoresDoubles() const;
    void StoreName(const char* name);
    // Keeps the owner's name index in step.
    void NameChanged();

    friend class KObject;

    KPropertyInfo mInfo;
    std::uint32_t mOwnFlags = 0;
    // How many object lists hold this property: a property no list holds is
    // known to be none of them without searching any.
    std::uint32_t mListings = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
