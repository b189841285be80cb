#include <fbxfilesdk/geometry/KFbxWeightedMapping.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstddef>
#include <new>

namespace fbxsdk_2006_11_1 {

KFbxWeightedMapping::KFbxWeightedMapping(int sourceSize, int destinationSize) {
    Reset(sourceSize, destinationSize);
}

bool KFbxWeightedMapping::Reset(int sourceSize, int destinationSize) {
    mSource.clear();
    mDestination.clear();
    mSourceCount = sourceSize > 0 ? sourceSize : 0;
    mDestinationCount = destinationSize > 0 ? destinationSize : 0;
    return true;
}

bool KFbxWeightedMapping::Add(int sourceIndex, int destinationIndex, double weight) {
    if (sourceIndex < 0 || sourceIndex >= mSourceCount || destinationIndex < 0 ||
        destinationIndex >= mDestinationCount) {
        return false;
    }
    // Either end may be new; a failure takes back what the other end gained.
    const bool newSource = mSource.find(sourceIndex) == mSource.end();
    const bool newDestination = mDestination.find(destinationIndex) == mDestination.end();
    std::vector<KElement>* forward = nullptr;
    try {
        forward = &mSource[sourceIndex];
        forward->push_back(KElement{destinationIndex, weight});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        if (newSource) mSource.erase(sourceIndex);
        return false;
    }
    try {
        mDestination[destinationIndex].push_back(KElement{sourceIndex, weight});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        if (newDestination) mDestination.erase(destinationIndex);
        forward->pop_back();
        if (newSource) mSource.erase(sourceIndex);
        return false;
    }
    return true;
}

const KFbxWeightedMapping::Relations* KFbxWeightedMapping::SetOf(int set) const {
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
    switch (set) {
        case eSOURCE:
            return mSourceCount;
        case eDESTINATION:
            return mDestinationCount;
        default:
            return 0;
    }
}

int KFbxWeightedMapping::GetRelations(int set, int index) const {
    const Relations* relations = SetOf(set);
    if (relations == nullptr) {
        return 0;
    }
    const auto found = relations->find(index);
    return found != relations->end() ? static_cast<int>(found->second.size()) : 0;
}

KFbxWeightedMapping::KElement KFbxWeightedMapping::GetRelation(int set, int index, int r) const {
    const Relations* relations = SetOf(set);
    if (relations == nullptr || r < 0) {
        return KElement{};
    }
    const auto found = relations->find(index);
    if (found == relations->end() || static_cast<std::size_t>(r) >= found->second.size()) {
        return KElement{};
    }
    return found->second[static_cast<std::size_t>(r)];
}

std::vector<int> KFbxWeightedMapping::GetRelatedElements(int set) const {
    std::vector<int> elements;
    if (const Relations* relations = SetOf(set)) {
        elements.reserve(relations->size());
        for (const auto& entry : *relations) {
            elements.push_back(entry.first);
        }
    }
    return elements;
}

}  // namespace fbxsdk_2006_11_1
