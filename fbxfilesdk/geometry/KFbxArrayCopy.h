// Whole-array copies between the SDK's growable arrays, shared by the layer
// elements and the colour array.
#ifndef FBXFILESDK_GEOMETRY_KFBXARRAYCOPY_H
#define FBXFILESDK_GEOMETRY_KFBXARRAYCOPY_H

namespace fbxsdk_2006_11_1 {

class DynamicArray;

// The target becomes a copy of the source's items. Both must have the same
// item size; false, target unchanged, otherwise or when memory runs out.
bool KFbxCopyDynamicArray(DynamicArray& target, const DynamicArray& source);

}  // namespace fbxsdk_2006_11_1

#endif
