#include <fbxfilesdk/fbx/KFbxStreamOptions.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// The option's property when it holds values of the type; invalid otherwise.
KFbxProperty TypedOption(const KFbxStreamOptions& options, const char* name, EFbxValueType type) {
    KFbxProperty property = options.GetOption(name);
    if (property.IsValid() && property.GetPropertyDataType().GetType() != type) {
        return KFbxProperty();
    }
    return property;
}

template <class T>
bool SetTyped(KFbxStreamOptions& options, const char* name, EFbxValueType type, const T& value) {
    KFbxProperty property = TypedOption(options, name, type);
    return property.IsValid() && property.Set(&value, type);
}

template <class T>
T GetTyped(const KFbxStreamOptions& options, const char* name, EFbxValueType type, const T& fallback) {
    KFbxProperty property = TypedOption(options, name, type);
    T value = fallback;
    if (!property.IsValid() || !property.Get(&value, type)) {
        return fallback;
    }
    return value;
}

}  // namespace


KFbxStreamOptions::KFbxStreamOptions(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) {
    // An importer makes its reader's options for every file: room for the
    // options of every reader at once, rather than a regrowth per few.
    try {
        mDefaults.reserve(kUsualOptionCount);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
    }
}

KFbxStreamOptions::~KFbxStreamOptions() = default;

KFbxPlug* KFbxStreamOptions::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxStreamOptions>(manager, name);
}

KFbxClassId KFbxStreamOptions::GetClassId() const { return ClassId; }

KFbxProperty KFbxStreamOptions::GetOption(const char* name) const {
    return name != nullptr ? FindProperty(name) : KFbxProperty();
}

bool KFbxStreamOptions::SetOption(const char* name, bool value) { return SetTyped(*this, name, eFbxValueBool, value); }

bool KFbxStreamOptions::SetOption(const char* name, int value) {
    return SetTyped(*this, name, eFbxValueInteger, value);
}

bool KFbxStreamOptions::SetOption(const char* name, double value) {
    return SetTyped(*this, name, eFbxValueDouble, value);
}

bool KFbxStreamOptions::SetOption(const char* name, const char* value) {
    return SetTyped(*this, name, eFbxValueString, KString(value != nullptr ? value : ""));
}

bool KFbxStreamOptions::SetOption(const char* name, const KTime& value) {
    return SetTyped(*this, name, eFbxValueTime, value);
}

bool KFbxStreamOptions::GetBoolOption(const char* name, bool fallback) const {
    return GetTyped(*this, name, eFbxValueBool, fallback);
}

int KFbxStreamOptions::GetIntOption(const char* name, int fallback) const {
    return GetTyped(*this, name, eFbxValueInteger, fallback);
}

double KFbxStreamOptions::GetDoubleOption(const char* name, double fallback) const {
    return GetTyped(*this, name, eFbxValueDouble, fallback);
}

KString KFbxStreamOptions::GetStringOption(const char* name, const char* fallback) const {
    return GetTyped(*this, name, eFbxValueString, KString(fallback != nullptr ? fallback : ""));
}

KTime KFbxStreamOptions::GetTimeOption(const char* name, const KTime& fallback) const {
    return GetTyped(*this, name, eFbxValueTime, fallback);
}

void KFbxStreamOptions::Reset() {
    for (const Default& option : mDefaults) {
        KFbxProperty property = GetOption(option.mName.Buffer());
        ApplyDefault(property, option);
    }
}

bool KFbxStreamOptions::ApplyDefault(KFbxProperty& property, const Default& option) {
    if (!property.IsValid()) {
        return false;
    }
    switch (option.mType) {
        case eFbxValueBool:
            return property.Set(&option.mBool, eFbxValueBool);
        case eFbxValueInteger:
            return property.Set(&option.mInt, eFbxValueInteger);
        case eFbxValueDouble:
            return property.Set(&option.mDouble, eFbxValueDouble);
        case eFbxValueString:
            return property.Set(&option.mString, eFbxValueString);
        case eFbxValueTime:
            return property.Set(&option.mTime, eFbxValueTime);
        default:
            return false;
    }
}

void KFbxStreamOptions::AddOption(const Default& option, const KFbxDataType& dataType) {
    for (Default& known : mDefaults) {
        if (known.mName == option.mName) {
            if (known.mType == option.mType) {
                known = option;
                KFbxProperty property = GetOption(option.mName.Buffer());
                ApplyDefault(property, known);
            }
            return;
        }
    }
    KFbxProperty property = KFbxProperty::Create(this, option.mName.Buffer(), dataType, option.mName.Buffer());
    if (!property.IsValid()) {
        return;
    }
    try {
        mDefaults.push_back(option);
    } catch (const std::bad_alloc&) {
        // The option keeps its value; only Reset will not know it.
        SdkNoteAllocationFailure();
    }
    ApplyDefault(property, option);
}

KFbxStreamOptions::Default KFbxStreamOptions::MakeDefault(const char* name, EFbxValueType type) {
    Default option;
    option.mName = KString(name);
    option.mType = type;
    return option;
}

void KFbxStreamOptions::AddBoolOption(const char* name, bool defaultValue) {
    Default option = MakeDefault(name, eFbxValueBool);
    option.mBool = defaultValue;
    AddOption(option, gKFbxDataTypeBool);
}

void KFbxStreamOptions::AddIntOption(const char* name, int defaultValue) {
    Default option = MakeDefault(name, eFbxValueInteger);
    option.mInt = defaultValue;
    AddOption(option, gKFbxDataTypeInteger);
}

void KFbxStreamOptions::AddDoubleOption(const char* name, double defaultValue) {
    Default option = MakeDefault(name, eFbxValueDouble);
    option.mDouble = defaultValue;
    AddOption(option, gKFbxDataTypeNumber);
}

void KFbxStreamOptions::AddStringOption(const char* name, const char* defaultValue) {
    Default option = MakeDefault(name, eFbxValueString);
    option.mString = KString(defaultValue != nullptr ? defaultValue : "");
    AddOption(option, gKFbxDataTypeKString);
}

void KFbxStreamOptions::AddTimeOption(const char* name, const KTime& defaultValue) {
    Default option = MakeDefault(name, eFbxValueTime);
    option.mTime = defaultValue;
    AddOption(option, gKFbxDataTypeTime);
}

void KFbxStreamOptions::AddBoolOptions(const char* const* names, int count, bool defaultValue) {
    for (int i = 0; i < count; ++i) {
        AddBoolOption(names[i], defaultValue);
    }
}

}  // namespace fbxsdk_2006_11_1
