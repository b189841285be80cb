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
    // The values a file gave these placements, while they are unchanged:
    // computing them again would round them anew.
    const auto stored = [&cluster](KFbxCluster::EStoredPlacement which, const KgeMatrix& computed) {
        KgeMatrix value;
        return cluster.GetStoredPlacement(which, value) ? value : computed;
    };
    KFbxClusterFileMatrices matrices;
    KgeMatrix matrix;
    const KgeMatrix link = CleanMatrix(cluster.GetTransformLinkMatrix(matrix));
    matrices.mTransformLink = stored(KFbxCluster::eSTORED_LINK, link);
    matrices.mTransform =
        stored(KFbxCluster::eSTORED_TRANSFORM, RelativeMatrix(CleanMatrix(cluster.GetTransformMatrix(matrix)), link));
    matrices.mAssociateModel =
        stored(KFbxCluster::eSTORED_ASSOCIATE_MODEL,
               RelativeMatrix(CleanMatrix(cluster.GetTransformAssociateModelMatrix(matrix)), link));
    matrices.mTransformParent =
        stored(KFbxCluster::eSTORED_PARENT, CleanMatrix(cluster.GetTransformParentMatrix(matrix)));
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
