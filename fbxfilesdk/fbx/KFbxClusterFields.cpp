#include <fbxfilesdk/fbx/KFbxClusterFields.h>

#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/fbx/KFbxRecordWords.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>

#include <cmath>
#include <vector>

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

// The inverse of any invertible affine transform, shear included (the
// adjugate of the 3x3 part over its determinant). A singular one has no
// inverse: it gets the orthogonal routine's, which zeroes collapsed axes.
KgeMatrix InverseAffine(const KgeMatrix& m) {
    KgeMatrix inverse;
    const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const double c01 = m[0][2] * m[2][1] - m[0][1] * m[2][2];
    const double c02 = m[0][1] * m[1][2] - m[0][2] * m[1][1];
    const double determinant = m[0][0] * c00 + m[1][0] * c01 + m[2][0] * c02;
    if (determinant == 0.0 || !std::isfinite(determinant)) {
        KgeMatrixInverseOrthogonal(inverse, m);
        return inverse;
    }
    const double adjugate[3][3] = {
        {c00, c01, c02},
        {m[1][2] * m[2][0] - m[1][0] * m[2][2], m[0][0] * m[2][2] - m[0][2] * m[2][0],
         m[0][2] * m[1][0] - m[0][0] * m[1][2]},
        {m[1][0] * m[2][1] - m[1][1] * m[2][0], m[0][1] * m[2][0] - m[0][0] * m[2][1],
         m[0][0] * m[1][1] - m[0][1] * m[1][0]}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            inverse[r][c] = adjugate[r][c] / determinant;
        }
    }
    for (int c = 0; c < 3; ++c) {
        inverse[3][c] = -(m[3][0] * inverse[0][c] + m[3][1] * inverse[1][c] + m[3][2] * inverse[2][c]);
    }
    return inverse;
}

// transform x inverse(link) for row vectors: the placement relative to the link.
KgeMatrix RelativeMatrix(const KgeMatrix& transform, const KgeMatrix& link) {
    const KgeMatrix inverse = InverseAffine(link);
    KgeMatrix relative;
    KgeMatrixMultAffine(relative, inverse, transform);
    return relative;
}

}  // namespace

KFbxClusterFileMatrices KFbxGetClusterFileMatrices(const KFbxCluster& cluster, EClusterMatrixForm form) {
    // The values a file gave these placements, while they are unchanged:
    // computing them again would round them anew.
    const auto stored = [&cluster](KFbxCluster::EStoredPlacement which, const KgeMatrix& computed) {
        KgeMatrix value;
        return cluster.GetStoredPlacement(which, value) ? value : computed;
    };
    const auto prepared = [form](const KgeMatrix& matrix) {
        return form == eCLUSTER_MATRICES_CLEANED ? CleanMatrix(matrix) : matrix;
    };
    KFbxClusterFileMatrices matrices;
    KgeMatrix matrix;
    const KgeMatrix link = prepared(cluster.GetTransformLinkMatrix(matrix));
    matrices.mTransformLink = stored(KFbxCluster::eSTORED_LINK, link);
    matrices.mTransform =
        stored(KFbxCluster::eSTORED_TRANSFORM, RelativeMatrix(prepared(cluster.GetTransformMatrix(matrix)), link));
    matrices.mAssociateModel =
        stored(KFbxCluster::eSTORED_ASSOCIATE_MODEL,
               RelativeMatrix(prepared(cluster.GetTransformAssociateModelMatrix(matrix)), link));
    matrices.mTransformParent = stored(KFbxCluster::eSTORED_PARENT, prepared(cluster.GetTransformParentMatrix(matrix)));
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

namespace {

// The transform stored relative to the link matrix, made absolute again:
// the stored matrix applies first, then the link's.
KgeMatrix AbsoluteFromRelative(const KgeMatrix& relative, const KgeMatrix& link) {
    KgeMatrix absolute;
    KgeMatrixMultAffine(absolute, link, relative);
    return absolute;
}

}  // namespace

KString KFbxReadClusterFields(KFbx& file, KFbxCluster& cluster) {
    using namespace fbx6read;
    cluster.SetLinkMode(static_cast<KFbxCluster::ELinkMode>(
        KFbxLinkModeOfWord(file.FieldReadSDefault("Mode", "").Buffer())));
    if (file.FieldReadBegin("UserData")) {
        const KString id = NextS(file);
        const KString data = NextS(file);
        cluster.SetUserData(id.Buffer(), data.Buffer());
        file.FieldReadEnd();
    }
    std::vector<int> indices;
    std::vector<double> weights;
    ReadInts(file, "Indexes", indices);
    ReadDoubles(file, "Weights", weights);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        cluster.AddControlPointIndex(indices[i], i < weights.size() ? weights[i] : 0.0);
    }
    // Each placement read is noted with the file's value, which a writer
    // gives back while the placement stays unchanged.
    KgeMatrix link;
    if (ReadMatrix(file, "TransformLink", link)) {
        cluster.SetTransformLinkMatrix(link);
        cluster.NoteStoredPlacement(KFbxCluster::eSTORED_LINK, link);
    }
    KgeMatrix relative;
    if (ReadMatrix(file, "Transform", relative)) {
        cluster.SetTransformMatrix(AbsoluteFromRelative(relative, link));
        cluster.NoteStoredPlacement(KFbxCluster::eSTORED_TRANSFORM, relative);
    }
    KString associate;
    if (file.FieldReadBegin("AssociateModel")) {
        associate = NextS(file);
        if (file.FieldReadBlockBegin()) {
            if (ReadMatrix(file, "Transform", relative)) {
                cluster.SetTransformAssociateModelMatrix(AbsoluteFromRelative(relative, link));
                cluster.NoteStoredPlacement(KFbxCluster::eSTORED_ASSOCIATE_MODEL, relative);
            }
            file.FieldReadBlockEnd();
        }
        file.FieldReadEnd();
    }
    KgeMatrix parent;
    if (ReadMatrix(file, "TransformParent", parent)) {
        cluster.SetTransformParentMatrix(parent);
        cluster.NoteStoredPlacement(KFbxCluster::eSTORED_PARENT, parent);
    }
    return associate;
}

}  // namespace fbxsdk_2006_11_1
