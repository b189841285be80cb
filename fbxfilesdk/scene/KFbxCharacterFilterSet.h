// A character's block of solving parameters: each parameter a mode and a
// value, starting from the parameter table. A mode is kept only when the
// parameter's mode type allows it; values are stored as given.
#ifndef FBXFILESDK_SCENE_KFBXCHARACTERFILTERSET_H
#define FBXFILESDK_SCENE_KFBXCHARACTERFILTERSET_H

#include <fbxfilesdk/scene/KFbxCharacterPropertyTable.h>

#include <array>

namespace fbxsdk_2006_11_1 {

class KFbxCharacterFilterSet {
public:
    // Every parameter at its table row's initial mode and value.
    KFbxCharacterFilterSet();

    // Back to the initial modes and values.
    void Reset();

    static int GetParameterCount() { return kCharacterParameterCount; }
    // Null out of range.
    static const char* GetParameterName(int index);
    // The table's range; 0 out of range.
    static float GetParameterMin(int index);
    static float GetParameterMax(int index);
    static int GetParameterModeType(int index);

    // 0 out of range. A parameter holds one value, so any value index but 0 reads 0.
    double GetParameterValue(int index, int valueIndex = 0) const;
    int GetParameterMode(int index) const;
    // The third word is accepted for callers that pass one; it changes nothing.
    // Ignored out of range.
    void SetParameterValue(int index, double value, int unused = 0);
    // Mode type 2 keeps 0 to 2, types 1 and 3 keep 0 and 1, other types
    // nothing; false when the mode was not kept.
    bool SetParameterMode(int index, int mode);

private:
    struct Parameter {
        int mMode;
        double mValue;
    };

    std::array<Parameter, kCharacterParameterCount> mParameters;
};

}  // namespace fbxsdk_2006_11_1

#endif
