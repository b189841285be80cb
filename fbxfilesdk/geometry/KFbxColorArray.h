// The colour array of vertex-colour layer elements: colours of four doubles,
// grown sixteen at a time.
#ifndef FBXFILESDK_GEOMETRY_KFBXCOLORARRAY_H
#define FBXFILESDK_GEOMETRY_KFBXCOLORARRAY_H

#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KFbxColor.h>

namespace fbxsdk_2006_11_1 {

class KFbxColorArray : public DynamicArrayOf<KFbxColor> {
public:
    KFbxColorArray() = default;
    // When memory runs out the copy is empty.
    KFbxColorArray(const KFbxColorArray& other);
    KFbxColorArray& operator=(const KFbxColorArray& other);

    // The colours become copies of the other's, in order; false, unchanged,
    // when memory runs out.
    bool Copy(const KFbxColorArray& other);
};

}  // namespace fbxsdk_2006_11_1

#endif
