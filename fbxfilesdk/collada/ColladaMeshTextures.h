// The textures of a COLLADA material on the polygons of a mesh.
#ifndef FBXFILESDK_COLLADA_COLLADAMESHTEXTURES_H
#define FBXFILESDK_COLLADA_COLLADAMESHTEXTURES_H

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxMesh;
class KFbxSdkManager;
class KFbxTexture;

// A texture an effect uses: the texture, the layer and the texture channel
// (a KFbxLayerElement::ELayerElementType) of the mesh layer element it goes to.
struct ColladaTextureBinding {
    KFbxTexture* mTexture = nullptr;
    int mLayer = 0;
    int mChannel = 0;
};
using ColladaTextureBindings = std::vector<ColladaTextureBinding>;

// Shows the bound textures on the polygons listed. Each texture enters the
// texture element of its binding's layer and channel once (textures of one
// name share an entry), and the element's index of each listed polygon
// names it. The elements go by polygon through indices, one index per
// polygon of the mesh, -1 where no texture shows.
void ColladaBindTextures(KFbxMesh& mesh, KFbxSdkManager& manager, const ColladaTextureBindings& bindings,
                         const std::vector<int>& polygons);

// Every texture element of the mesh gets an index for each of its polygons
// (-1 for the polygons added since it was filled).
void ColladaPadTextureIndices(KFbxMesh& mesh);

}  // namespace fbxsdk_2006_11_1

#endif
