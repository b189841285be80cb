// Named, typed options that a caller hands to a reader or a writer. Each
// option is a property of the option set; every set knows the default of
// each of its options and Reset puts them back.
#ifndef FBXFILESDK_FBX_KFBXSTREAMOPTIONS_H
#define FBXFILESDK_FBX_KFBXSTREAMOPTIONS_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KRecycledAllocator.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxStreamOptions : public KFbxObject {
public:
    // The class id of KFbxStreamOptions; null until the SDK classes are registered.
    static KFbxClassId ClassId;

    // An empty set: no options.
    KFbxStreamOptions(KFbxSdkManager* manager, const char* name);
    ~KFbxStreamOptions() override;

    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);
    KFbxClassId GetClassId() const override;

    // The option's property; the invalid property when the set has none of the name.
    KFbxProperty GetOption(const char* name) const;
    // False when the option is absent or not of the value's type.
    bool SetOption(const char* name, bool value);
    bool SetOption(const char* name, int value);
    bool SetOption(const char* name, double value);
    bool SetOption(const char* name, const char* value);
    bool SetOption(const char* name, const KTime& value);

    // The option's value; the fallback when the option is absent or of another type.
    bool GetBoolOption(const char* name, bool fallback) const;
    int GetIntOption(const char* name, int fallback) const;
    double GetDoubleOption(const char* name, double fallback) const;
    KString GetStringOption(const char* name, const char* fallback) const;
    KTime GetTimeOption(const char* name, const KTime& fallback) const;

    // Every option back to its default.
    virtual void Reset();

protected:
    // Declares an option with its default (its current value too); an option
    // declared twice keeps its first type and takes the new default.
    void AddBoolOption(const char* name, bool defaultValue);
    void AddIntOption(const char* name, int defaultValue);
    void AddDoubleOption(const char* name, double defaultValue);
    void AddStringOption(const char* name, const char* defaultValue);
    void AddTimeOption(const char* name, const KTime& defaultValue);
    // Bool options of the names, all with the default.
    void AddBoolOptions(const char* const* names, int count, bool defaultValue);

private:
    struct Default {
        KString mName;
        EFbxValueType mType = eFbxValueNone;
        bool mBool = false;
        int mInt = 0;
        double mDouble = 0.0;
        KString mString;
        KTime mTime;
    };

    static Default MakeDefault(const char* name, EFbxValueType type);
    void AddOption(const Default& option, const KFbxDataType& dataType);
    static bool ApplyDefault(KFbxProperty& property, const Default& option);

    static constexpr std::size_t kUsualOptionCount = 16;

    std::vector<Default, KRecycledAllocator<Default>> mDefaults;
};

// The members every option set class repeats: its class id, the
// constructor, Create through the manager's class table and the create
// function that table calls. KFBX_STREAM_OPTIONS_DEFINE gives all but the
// constructor and the class id, which stays with the library's class rows.
#define KFBX_STREAM_OPTIONS_DECLARE(Class)                                  \
public:                                                                     \
    static KFbxClassId ClassId;                                             \
    Class(KFbxSdkManager* manager, const char* name);                      \
    static Class* Create(KFbxSdkManager* manager, const char* name);       \
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);  \
    KFbxClassId GetClassId() const override;

#define KFBX_STREAM_OPTIONS_DEFINE(Class)                                  \
    Class* Class::Create(KFbxSdkManager* manager, const char* name) {      \
        return KFbxCreateObjectOfClass<Class>(manager, ClassId, name);     \
    }                                                                       \
    KFbxPlug* Class::CreateFn(KFbxSdkManager* manager, const char* name) { \
        return KFbxConstructObject<Class>(manager, name);                  \
    }                                                                       \
    KFbxClassId Class::GetClassId() const { return ClassId; }

}  // namespace fbxsdk_2006_11_1

#endif
