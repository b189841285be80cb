#pragma once

#include <tools/ModelDesigns.h>

namespace fbxsdk_2006_11_1 {
class KFbxSdkManager;
class KFbxScene;
}  // namespace fbxsdk_2006_11_1

// Builds the scene of a model in the manager: the triangulated mesh as a
// child of the root with normals per control point, indexed UVs, a Phong
// material and one diffuse texture named textureName; an animated design
// adds its skeleton, a skin with one cluster per bone, and a second take
// after "Default" that starts at time 0 with a key on every baked frame.
// Null when the SDK cannot make the scene.
fbxsdk_2006_11_1::KFbxScene* buildModelScene(fbxsdk_2006_11_1::KFbxSdkManager* manager, const ModelDesign& design,
                                             const char* textureName);

// Keys per take: one on each of the 31 frames the game bakes.
inline constexpr int modelTakeKeys = 31;
