#include <fbxfilesdk/fbx/KFbxClusterFields.h>

#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxRecordWords.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>

namespace fbxsdk_2006_11_1 {

namespace {

// The transform rebuilt from its translation, Euler XYZ rotation and signed
// scale, which drops any shear.
KgeMatrix CleanMatrix(const KgeMatrix& matrix) {
    double rotation[3];
    double scale[3];
    KgeMatrixGetEulerXYZ(rotation, matrix);
    KgeMatrixGetScale(scale, matrix);
    const double translation[3] = {matrix[3][0], matrix[3][1], matrix[3][2]};
    KgeMatrix clean;
    KgeMatrixSetTRS(clean, translation, rotation, scale);
    return clean;
}

// transform x inverse(link) for row vectors: the placement relative to the link.
KgeMatrix RelativeMatrix(const KgeMatrix& transform, const KgeMatrix& link) {
    KgeMatrix inverse;
    KgeMatrixInverseOrthogonal(inverse, link);
    KgeMatrix relative;
    KgeMatrixMultAffine(relative, inverse, transform);
    return relative;
}

}  // namespace

KFbxClusterFileMatrices KFbxGetClusterFileMatrices(const KFbxCluster& cluster) {
    KFbxClusterFileMatrices matrices;
    KgeMatrix matrix;
    matrices.mTransformLink = CleanMatrix(cluster.GetTransformLinkMatrix(matrix));
    matrices.mTransform = RelativeMatrix(CleanMatrix(cluster.GetTransformMatrix(matrix)), matrices.mTransformLink);
    matrices.mAssociateModel =
        RelativeMatrix(CleanMatrix(cluster.GetTransformAssociateModelMatrix(matrix)), matrices.mTransformLink);
    matrices.mTransformParent = CleanMatrix(cluster.GetTransformParentMatrix(matrix));
    return matrices;
}

void KFbxWriteClusterWeights(KFbx& file, const KFbxCluster& cluster) {
    if (const char* mode = KFbxLinkModeWord(cluster.GetLinkMode())) {
        file.WriteStringField("Mode", mode);
    }
    file.FieldWriteBegin("UserData");
    file.FieldWriteS(cluster.GetUserDataID());
    file.FieldWriteS(cluster.GetUserDataText());
    file.FieldWriteEnd();
    const int count = cluster.GetControlPointIndicesCount();
    WriteIntsRecord(file, "Indexes", cluster.GetControlPointIndices(), count);
    WriteDoublesRecord(file, "Weights", cluster.GetControlPointWeights(), count);
}

}  // namespace fbxsdk_2006_11_1
