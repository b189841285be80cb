// Keeping the material and texture elements of a geometry's layers and the
// materials and textures connected to its node in agreement, both ways,
// and the other scene-wide preparations that readers and writers run on
// geometry. The scene's reconciliation operations are built on these.
#ifndef FBXFILESDK_GEOMETRY_KFBXLAYERRECONCILIATION_H
#define FBXFILESDK_GEOMETRY_KFBXLAYERRECONCILIATION_H

namespace fbxsdk_2006_11_1 {

class KFbxGeometry;
class KFbxScene;

namespace KFbxLayerReconciliation {

// The texture channels in the order they are visited.
constexpr int kChannelOrder[] = {10, 11, 12, 13, 3, 14, 15, 17, 18, 19, 16, 20, 21, 22, 23};

// From the node's connections into every layer's material element (channel
// 2) or texture element of the channel: a direct element gains the node's
// objects it lacks (for textures, on the diffuse channel only); an indexed
// one becomes index-to-direct, each index naming the node's object at that
// index, found or added in the direct array (-1 when the node has none
// there). Nothing for a geometry without node.
void FillFromConnections(KFbxGeometry& geometry, int channel);
// From the layers to the node: a direct element becomes index-to-direct
// with indices 0 to count - 1; the objects of an index-to-direct element
// are connected to the node when they are not yet, and indices past its
// direct array become -1. Nothing for a geometry without node.
void ConnectFromLayers(KFbxGeometry& geometry, int channel);

// Over every geometry of the scene: the material element, or the texture
// elements of every channel in kChannelOrder.
void FillMaterialLayers(KFbxScene& scene);
void FillTextureLayers(KFbxScene& scene);
void ConnectMaterials(KFbxScene& scene);
void ConnectTextures(KFbxScene& scene);

// Every node carrying a NURBS surface gets a NURB in its place.
void ConvertNurbsSurfaceNodes(KFbxScene& scene);
// Every mesh whose normals are by polygon vertex gets them recomputed.
void ComputeMeshNormals(KFbxScene& scene);
// Every node carrying a NURBS curve is left without attribute.
void RemoveNurbsCurveAttributes(KFbxScene& scene);

}  // namespace KFbxLayerReconciliation

}  // namespace fbxsdk_2006_11_1

#endif
