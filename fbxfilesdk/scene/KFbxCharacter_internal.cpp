#include <fbxfilesdk/scene/KFbxCharacter_internal.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterPropertyTable.h>

namespace fbxsdk_2006_11_1 {

namespace {

// The row of the property table of that name; -1 when none.
int RowOf(const char* name) {
    const KFbxCharacterPropertyRow* row = KFbxFindCharacterPropertyRow(name);
    return row != nullptr ? static_cast<int>(row - KFbxGetCharacterPropertyRow(0)) : -1;
}

template <class T>
constexpr EFbxValueType kValueType = eFbxValueBool;
template <>
constexpr EFbxValueType kValueType<double> = eFbxValueDouble;
template <>
constexpr EFbxValueType kValueType<int> = eFbxValueEnum;

}  // namespace

KFbxCharacter_Internal::KFbxCharacter_Internal(KFbxCharacter* character)
    : KFbxConstraint_internal(character), mCharacter(character) {
    // The output reads its destinations; every input list reads its sources.
    // Each names one object: a character has one input and one output.
    RegisterObjectList(mSourceObject, "SourceObject", "SourceObject", 1, false);
    RegisterObjectList(mDestinationObject, "DestinationObject", "DestinationObject", 1, true);
    RegisterObjectList(mActor, "Actor", "Actor", 1, false);
    RegisterObjectList(mCharacterInput, "Character", "Character", 1, false);
    RegisterObjectList(mControlSet, "ControlSet", "ControlSet", 1, false);
}

KFbxCharacter_Internal::~KFbxCharacter_Internal() { EndBeforeMembers(); }

const KPlugClassInfo* KFbxCharacter_Internal::GetClassInfo() const { return &gKFbxCharacter_InternalClassInfo; }

template <class T>
T KFbxCharacter_Internal::ValueAt(int row) const {
    T value{};
    mCharacter->GetParameterProperty(row).Get(&value, kValueType<T>);
    return value;
}

template <>
KFbxVector4 KFbxCharacter_Internal::ValueAt<KFbxVector4>(int row) const {
    const fbxDouble4 value = mCharacter->GetParameterProperty(row).GetDouble4();
    return KFbxVector4(value[0], value[1], value[2], 1.0);
}

template <class T>
void KFbxCharacter_Internal::SetAt(int row, T value) {
    mCharacter->GetParameterProperty(row).Set(&value, kValueType<T>);
}

// Each accessor finds its row once, by its property's name.
#define KFBX_CHARACTER_DEFINE_RO(name, type)              \
    type KFbxCharacter_Internal::Get##name() const {      \
        static const int row = RowOf(#name);              \
        return ValueAt<type>(row);                        \
    }
#define KFBX_CHARACTER_DEFINE_RW(name, type)              \
    void KFbxCharacter_Internal::Set##name(type value) {  \
        static const int row = RowOf(#name);              \
        SetAt<type>(row, value);                          \
    }                                                     \
    KFBX_CHARACTER_DEFINE_RO(name, type)
KFBX_CHARACTER_VALUE_PROPERTIES(KFBX_CHARACTER_DEFINE_RW, KFBX_CHARACTER_DEFINE_RO)
#undef KFBX_CHARACTER_DEFINE_RW
#undef KFBX_CHARACTER_DEFINE_RO

}  // namespace fbxsdk_2006_11_1
