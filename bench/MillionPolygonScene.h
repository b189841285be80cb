// The scene the import and export benchmarks share: a mesh of a million
// quads with its layers (normals by control point, UVs by polygon vertex
// through an index, one material per polygon) on one node.
#ifndef BENCH_MILLIONPOLYGONSCENE_H
#define BENCH_MILLIONPOLYGONSCENE_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

namespace fbxsdk_2006_11_1::benchscene {

constexpr int kSide = 1001;  // points per row: 1000 x 1000 quads

inline KFbxScene* MillionPolygonScene(KFbxSdkManager& manager) {
    KFbxScene* scene = KFbxScene::Create(&manager, "bench");
    KFbxMesh* mesh = KFbxMesh::Create(&manager, "");
    mesh->InitControlPoints(kSide * kSide);
    KFbxVector4* points = mesh->GetControlPoints();
    for (int i = 0; i < kSide * kSide; ++i) {
        points[i] = KFbxVector4((i % kSide) * 0.01, 0.0, (i / kSide) * 0.01, 0.0);
    }
    auto* normals = new KFbxLayerElementNormal("normals");
    normals->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    normals->GetDirectArray().SetCount(kSide * kSide);
    for (int i = 0; i < kSide * kSide; ++i) {
        normals->GetDirectArray().GetArray()[i] = KFbxVector4(0.0, 1.0, 0.0, 0.0);
    }
    for (int row = 0; row + 1 < kSide; ++row) {
        for (int column = 0; column + 1 < kSide; ++column) {
            const int corner = row * kSide + column;
            mesh->BeginPolygon(-1, -1, -1, false);
            for (int v : {corner, corner + 1, corner + kSide + 1, corner + kSide}) {
                mesh->AddPolygonVertex(v);
            }
            mesh->EndPolygon();
        }
    }
    auto* uvs = new KFbxLayerElementUV("map1");
    uvs->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
    uvs->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    for (int i = 0; i < 4; ++i) {
        uvs->GetDirectArray().Add(KFbxVector2(i & 1, i >> 1));
    }
    uvs->GetIndexArray().SetCount(mesh->GetPolygonVertexCount());
    for (int i = 0; i < mesh->GetPolygonVertexCount(); ++i) {
        uvs->GetIndexArray().GetArray()[i] = i % 4;
    }
    auto* materials = new KFbxLayerElementMaterial("materials");
    materials->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(&manager, "Paint");
    materials->GetDirectArray().Add(phong);
    materials->GetIndexArray().SetCount(mesh->GetPolygonCount());
    KFbxLayer* layer = mesh->GetLayer(mesh->GetLayerCount() > 0 ? 0 : mesh->CreateLayer());
    layer->SetNormals(normals);
    layer->SetUVs(uvs);
    layer->SetMaterials(materials);
    KFbxNode* node = KFbxNode::Create(&manager, "Terrain");
    node->SetNodeAttribute(mesh);
    node->ConnectSrc(phong);
    scene->GetRootNode()->AddChild(node);
    return scene;
}

}  // namespace fbxsdk_2006_11_1::benchscene

#endif
