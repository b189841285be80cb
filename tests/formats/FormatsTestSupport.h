// What the tests of the 3DS, DXF and OBJ readers and writers look at in the
// scenes they make: a node's mesh, the names of its children, and points
// compared within a tolerance.
#ifndef TESTS_FORMATS_FORMATSTESTSUPPORT_H
#define TESTS_FORMATS_FORMATSTESTSUPPORT_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::formatstest {

// The node's mesh; null for no node or another attribute.
inline KFbxMesh* MeshOf(const KFbxNode* node) {
    return node != nullptr ? dynamic_cast<KFbxMesh*>(node->GetNodeAttribute()) : nullptr;
}

// A mesh of one triangle, (0, 0, 0), (1, 0, 0), (0, 1, 0).
inline KFbxMesh* MakePlainTriangle(KFbxSdkManager& manager) {
    KFbxMesh* mesh = KFbxMesh::Create(&manager, "");
    mesh->InitControlPoints(3);
    mesh->GetControlPoints()[1] = KFbxVector4(1, 0, 0, 1);
    mesh->GetControlPoints()[2] = KFbxVector4(0, 1, 0, 1);
    mesh->BeginPolygon();
    for (int k = 0; k < 3; ++k) mesh->AddPolygonVertex(k);
    mesh->EndPolygon();
    return mesh;
}

// The names of the node's children, in order; none for no node.
inline std::vector<std::string> ChildNames(const KFbxNode* node) {
    std::vector<std::string> names;
    for (int index = 0; node != nullptr && index < node->GetChildCount(); ++index) {
        names.emplace_back(node->GetChild(index)->GetName());
    }
    return names;
}

// Whether the point (actualX, actualY, actualZ) is (x, y, z) within tolerance.
inline ::testing::AssertionResult NearPoint(double actualX, double actualY, double actualZ, double x, double y,
                                            double z, double tolerance) {
    if (std::abs(actualX - x) <= tolerance && std::abs(actualY - y) <= tolerance &&
        std::abs(actualZ - z) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "(" << actualX << ", " << actualY << ", " << actualZ << ") is not (" << x
                                         << ", " << y << ", " << z << ")";
}

}  // namespace fbxsdk_2006_11_1::formatstest

#endif
