// The solving parameters of a character, as properties: one row per value
// property in the order they are listed on the character, telling its value
// type, the filter-set parameter that feeds it, its initial value and what
// setting it does. The filter set's initial state is derived from the same
// rows, so the two cannot disagree.
#ifndef FBXFILESDK_SCENE_KFBXCHARACTERPROPERTYTABLE_H
#define FBXFILESDK_SCENE_KFBXCHARACTERPROPERTYTABLE_H

#include <fbxfilesdk/scene/KFbxCharacterEnums.h>

namespace fbxsdk_2006_11_1 {

struct KFbxCharacterPropertyRow {
    // A vector reads three consecutive parameters as x, y, z.
    enum EValueType { eBool, eDouble, eVector, eEnum };
    enum ESource { eNoParameter, eValue, eMode };
    enum ESetter {
        eLocal,      // the property alone
        eBoolMode,   // the parameter's mode becomes 1 or 0
        eEnumMode,   // the parameter's mode becomes the value
        eEnumValue,  // the parameter's value becomes the value
        eClamp,      // clamped into [mMin, mMax], then the parameter's value
        eReadOnly    // no setter: only loading changes it
    };

    const char* mName;
    EValueType mType;
    // Enumerations only.
    KFbxCharacterEnumText mEnumText;
    // -1 for none.
    int mParameter;
    ESource mSource;
    // The parameter's initial value or mode; the property's own for rows
    // without parameter.
    double mInitial;
    ESetter mSetter;
    bool mAnimatable;
    double mMin;
    double mMax;
};

constexpr int kCharacterPropertyCount = 191;
constexpr int kCharacterParameterCount = 177;

// Rows 0 to kCharacterPropertyCount - 1, in listing order; null out of range.
const KFbxCharacterPropertyRow* KFbxGetCharacterPropertyRow(int row);
// The row of that exact name; null when none.
const KFbxCharacterPropertyRow* KFbxFindCharacterPropertyRow(const char* name);

// One filter-set parameter as a new filter set holds it.
struct KFbxCharacterParameterRow {
    // Which modes it keeps: 2 takes 0 to 2, 1 and 3 take 0 and 1, 0 none.
    int mModeType;
    int mMode;
    double mValue;
    float mMin;
    float mMax;
    // The property the parameter feeds; "" for the parameters that feed none.
    const char* mName;
};

// Parameters 0 to kCharacterParameterCount - 1; null out of range.
const KFbxCharacterParameterRow* KFbxGetCharacterParameterRow(int index);

}  // namespace fbxsdk_2006_11_1

#endif
