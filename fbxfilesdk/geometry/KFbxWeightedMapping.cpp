#include <fbxfilesdk/geometry/KFbxWeightedMapping.h>

#include <cstddef>
#include <new>

namespace fbxsdk_2006_11_1 {

KFbxWeightedMapping::KFbxWeightedMapping(int sourceSize, int destinationSize) {
    Reset(sourceSize, destinationSize);
}

bool KFbxWeightedMapping::Reset(int sourceSize, int destinationSize) {
    try {
        std::vector<std::vector<KElement>> source(static_cast<std::size_t>(sourceSize > 0 ? sourceSize : 0));
        std::vector<std::vector<KElement>> destination(
            static_cast<std::size_t>(destinationSize > 0 ? destinationSize : 0));
        mSource.swap(source);
        mDestination.swap(destination);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool KFbxWeightedMapping::Add(int sourceIndex, int destinationIndex, double weight) {
    if (sourceIndex < 0 || sourceIndex >= GetElementCount(eSOURCE) || destinationIndex < 0 ||
        destinationIndex >= GetElementCount(eDESTINATION)) {
        return false;
    }
    std::vector<KElement>& forward = mSource[static_cast<std::size_t>(sourceIndex)];
    std::vector<KElement>& backward = mDestination[static_cast<std::size_t>(destinationIndex)];
    try {
        forward.push_back(KElement{destinationIndex, weight});
    } catch (const std::bad_alloc&) {
        return false;
    }
    try {
        backward.push_back(KElement{sourceIndex, weight});
    } catch (const std::bad_alloc&) {
        forward.pop_back();
        return false;
    }
    return true;
}

const std::vector<std::vector<KFbxWeightedMapping::KElement>>* KFbxWeightedMapping::SetOf(int set) const {
    switch (set) {
        case eSOURCE:
            return &mSource;
        case eDESTINATION:
            return &mDestination;
        default:
            return nullptr;
    }
}

int KFbxWeightedMapping::GetElementCount(int set) const {
    const auto* elements = SetOf(set);
    return elements != nullptr ? static_cast<int>(elements->size()) : 0;
}

int KFbxWeightedMapping::GetRelations(int set, int index) const {
    if (index < 0 || index >= GetElementCount(set)) {
        return 0;
    }
    return static_cast<int>((*SetOf(set))[static_cast<std::size_t>(index)].size());
}

KFbxWeightedMapping::KElement KFbxWeightedMapping::GetRelation(int set, int index, int r) const {
    if (r < 0 || r >= GetRelations(set, index)) {
        return KElement{};
    }
    return (*SetOf(set))[static_cast<std::size_t>(index)][static_cast<std::size_t>(r)];
}

}  // namespace fbxsdk_2006_11_1
