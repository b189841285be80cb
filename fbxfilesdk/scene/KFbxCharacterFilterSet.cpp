#include <fbxfilesdk/scene/KFbxCharacterFilterSet.h>

namespace fbxsdk_2006_11_1 {

namespace {

bool InRange(int index) { return index >= 0 && index < kCharacterParameterCount; }

}  // namespace

KFbxCharacterFilterSet::KFbxCharacterFilterSet() { Reset(); }

void KFbxCharacterFilterSet::Reset() {
    for (int index = 0; index < kCharacterParameterCount; ++index) {
        const KFbxCharacterParameterRow* row = KFbxGetCharacterParameterRow(index);
        mParameters[static_cast<std::size_t>(index)] = Parameter{row->mMode, row->mValue};
    }
}

const char* KFbxCharacterFilterSet::GetParameterName(int index) {
    const KFbxCharacterParameterRow* row = KFbxGetCharacterParameterRow(index);
    return row != nullptr ? row->mName : nullptr;
}

float KFbxCharacterFilterSet::GetParameterMin(int index) {
    const KFbxCharacterParameterRow* row = KFbxGetCharacterParameterRow(index);
    return row != nullptr ? row->mMin : 0.0f;
}

float KFbxCharacterFilterSet::GetParameterMax(int index) {
    const KFbxCharacterParameterRow* row = KFbxGetCharacterParameterRow(index);
    return row != nullptr ? row->mMax : 0.0f;
}

int KFbxCharacterFilterSet::GetParameterModeType(int index) {
    const KFbxCharacterParameterRow* row = KFbxGetCharacterParameterRow(index);
    return row != nullptr ? row->mModeType : 0;
}

double KFbxCharacterFilterSet::GetParameterValue(int index, int valueIndex) const {
    return InRange(index) && valueIndex == 0 ? mParameters[static_cast<std::size_t>(index)].mValue : 0.0;
}

int KFbxCharacterFilterSet::GetParameterMode(int index) const {
    return InRange(index) ? mParameters[static_cast<std::size_t>(index)].mMode : 0;
}

void KFbxCharacterFilterSet::SetParameterValue(int index, double value, int /*unused*/) {
    if (InRange(index)) {
        mParameters[static_cast<std::size_t>(index)].mValue = value;
    }
}

bool KFbxCharacterFilterSet::SetParameterMode(int index, int mode) {
    if (!InRange(index)) {
        return false;
    }
    int highest = -1;
    switch (GetParameterModeType(index)) {
        case 2:
            highest = 2;
            break;
        case 1:
        case 3:
            highest = 1;
            break;
        default:
            return false;
    }
    if (mode < 0 || mode > highest) {
        return false;
    }
    mParameters[static_cast<std::size_t>(index)].mMode = mode;
    return true;
}

}  // namespace fbxsdk_2006_11_1
