// What both FBX versions store of a cluster alike. FBX 6 rebuilds each
// matrix from its translation, Euler XYZ rotation and signed scale (shear
// dropped); FBX 5 stores them as the cluster holds them. The transform T and
// the associate model's transform A are stored relative to the link matrix
// L, in the row-vector convention (rows 0 to 2 the axes, row 3 the
// translation):
//     X = T * inverse(L),   XA = A * inverse(L).
// A reader rebuilds T = X * L and A = XA * L with the stored L.
#ifndef FBXFILESDK_FBX_KFBXCLUSTERFIELDS_H
#define FBXFILESDK_FBX_KFBXCLUSTERFIELDS_H

#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KgeMatrix.h>

namespace fbxsdk_2006_11_1 {

class KFbx;
class KFbxCluster;

struct KFbxClusterFileMatrices {
    KgeMatrix mTransform;
    KgeMatrix mTransformLink;
    KgeMatrix mAssociateModel;
    KgeMatrix mTransformParent;
};

enum EClusterMatrixForm { eCLUSTER_MATRICES_CLEANED, eCLUSTER_MATRICES_AS_HELD };

KFbxClusterFileMatrices KFbxGetClusterFileMatrices(const KFbxCluster& cluster, EClusterMatrixForm form);

// "Mode" (not for the normalize mode), "UserData", "Indexes" and "Weights".
void KFbxWriteClusterWeights(KFbx& file, const KFbxCluster& cluster);

// The inverse, from the open block of a cluster record: the mode, user data,
// indices and weights, and the matrices rebuilt from the stored link matrix
// (each noted with its stored value). The name the "AssociateModel" record
// gives its model, empty when it names none; the caller resolves it.
KString KFbxReadClusterFields(KFbx& file, KFbxCluster& cluster);

}  // namespace fbxsdk_2006_11_1

#endif
