// The smallest mesh the texture benchmarks hang their materials and
// textures on: one triangle.
#ifndef QALIMOR_BENCH_BENCHTRIANGLE_H
#define QALIMOR_BENCH_BENCHTRIANGLE_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>

namespace benchfiles {

inline fbxsdk_2006_11_1::KFbxMesh* Triangle(fbxsdk_2006_11_1::KFbxSdkManager& manager, const char* name) {
    using fbxsdk_2006_11_1::KFbxVector4;
    fbxsdk_2006_11_1::KFbxMesh* mesh = fbxsdk_2006_11_1::KFbxMesh::Create(&manager, name);
    mesh->InitControlPoints(3);
    mesh->GetControlPoints()[1] = KFbxVector4(1, 0, 0, 1);
    mesh->GetControlPoints()[2] = KFbxVector4(0, 1, 0, 1);
    mesh->BeginPolygon();
    for (int corner = 0; corner < 3; ++corner) mesh->AddPolygonVertex(corner);
    mesh->EndPolygon();
    return mesh;
}

}  // namespace benchfiles

#endif
