// A weighted many-to-many relation between the elements of two sets (source
// and destination), as when the points of one geometry are blended from the
// points of another. Each relation is seen from both of its ends.
//
// The sets are sized by count only: an element takes memory once it has a
// relation, so a mapping costs what its relations hold, whatever the sizes.
#ifndef FBXFILESDK_GEOMETRY_KFBXWEIGHTEDMAPPING_H
#define FBXFILESDK_GEOMETRY_KFBXWEIGHTEDMAPPING_H

#include <map>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxWeightedMapping {
public:
    enum ESet { eSOURCE = 0, eDESTINATION = 1 };

    // One end of a relation: the element of the other set and the weight.
    struct KElement {
        int mIndex = -1;
        double mWeight = 0.0;
    };

    // Sets of the sizes, no relations; negative sizes count as 0.
    KFbxWeightedMapping(int sourceSize, int destinationSize);

    // Sets of the new sizes, no relations; always true.
    bool Reset(int sourceSize, int destinationSize);
    // Relates the elements; false for an index out of range or when memory
    // runs out (then nothing changes).
    bool Add(int sourceIndex, int destinationIndex, double weight);

    // 0 for a set other than 0 and 1.
    int GetElementCount(int set) const;
    // The relations of the element; 0 out of range.
    int GetRelations(int set, int index) const;
    // Relation r of the element; {-1, 0.0} out of range.
    KElement GetRelation(int set, int index, int r) const;
    // The elements of the set that have relations, in increasing order.
    std::vector<int> GetRelatedElements(int set) const;

private:
    using Relations = std::map<int, std::vector<KElement>>;

    const Relations* SetOf(int set) const;

    int mSourceCount = 0;
    int mDestinationCount = 0;
    Relations mSource;
    Relations mDestination;
};

}  // namespace fbxsdk_2006_11_1

#endif
