// The shapes a geometry holds, in the order they were added, each with its
// name and the channels a write made for it. A shape that leaves moves no
// other entry: its place stays as a gap, counted in a tree of running sums
// over the places, until gaps fill half the list and it is closed up. Taking
// a shape out so costs what the list's size does not, and reaching the n-th
// shape while gaps stand costs a step per doubling of the list.
#ifndef FBXFILESDK_GEOMETRY_KFBXGEOMETRYSHAPES_H
#define FBXFILESDK_GEOMETRY_KFBXGEOMETRYSHAPES_H

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFCurveNode;
class KFbxShape;

class KFbxGeometryShapes {
public:
    struct Entry {
        // Null for a gap.
        KFbxShape* mShape = nullptr;
        std::string mName;
        std::vector<KFCurveNode*> mChannels;
    };

    int GetCount() const { return static_cast<int>(mEntries.size() - mGaps); }
    // The index-th shape's entry; null outside [0, count).
    Entry* Get(int index);
    const Entry* Get(int index) const { return const_cast<KFbxGeometryShapes*>(this)->Get(index); }
    // The shape's entry; null when the list does not hold it.
    Entry* Find(const KFbxShape* shape);

    // Appends the shape under the name; false, unchanged, when the list
    // holds it already or memory runs out.
    bool Add(KFbxShape* shape, const char* name);
    // The shape's entry leaves the list into gone; false when the list does
    // not hold it.
    bool Remove(const KFbxShape* shape, Entry& gone);
    // Each entry of a shape, in order.
    template <class Visit>
    void ForEach(Visit visit) {
        for (Entry& entry : mEntries) {
            if (entry.mShape != nullptr) {
                visit(entry);
            }
        }
    }
    template <class Visit>
    void ForEach(Visit visit) const {
        for (const Entry& entry : mEntries) {
            if (entry.mShape != nullptr) {
                visit(entry);
            }
        }
    }

private:
    // The running sums over the places, one-based: mSums[i] counts the
    // shapes among the lowbit(i) places that end at place i.
    void BuildSums();
    int SumBefore(std::size_t end) const;
    void CloseGaps();

    std::vector<Entry> mEntries;
    std::unordered_map<const KFbxShape*, std::size_t> mPlaces;
    // Empty while there is no gap.
    std::vector<int> mSums;
    std::size_t mGaps = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
