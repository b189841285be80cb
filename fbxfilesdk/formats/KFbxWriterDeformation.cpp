#include <fbxfilesdk/formats/KFbxWriterDeformation.h>

#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <array>
#include <new>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

// All sixteen elements: the sums of the skin need the fourth column too.
using Matrix16 = std::array<double, 16>;

Matrix16 ToArray(const KgeMatrix& matrix) {
    Matrix16 out{};
    const double* values = matrix;
    for (int i = 0; i < 16; ++i) {
        out[i] = values[i];
    }
    return out;
}

KgeMatrix FromArray(const Matrix16& values) {
    KgeMatrix matrix;
    matrix.CopyFrom16(values.data());
    return matrix;
}

void MatrixScale(Matrix16& matrix, double factor) {
    for (double& value : matrix) {
        value *= factor;
    }
}

void MatrixAdd(Matrix16& matrix, const Matrix16& other) {
    for (int i = 0; i < 16; ++i) {
        matrix[i] += other[i];
    }
}

void MatrixAddToDiagonal(Matrix16& matrix, double value) {
    for (int i = 0; i < 4; ++i) {
        matrix[i * 5] += value;
    }
}

}  // namespace

KgeMatrix GetNodeLocalMatrix(const KFbxNode& node) {
    KFbxVector4 translation;
    KFbxVector4 rotation;
    KFbxVector4 scaling;
    node.GetLclTranslation(translation);
    node.GetLclRotation(rotation);
    node.GetLclScaling(scaling);
    KgeMatrix local;
    local.SetTRS(translation, rotation, scaling);
    return local;
}

KgeMatrix GetNodeGlobalMatrix(const KFbxNode& node) {
    // Iterative, so that a deep tree cannot exhaust the stack.
    KgeMatrix global = GetNodeLocalMatrix(node);
    for (const KFbxNode* parent = node.GetParent(); parent != nullptr; parent = parent->GetParent()) {
        global = GetNodeLocalMatrix(*parent).GetProduct(global);
    }
    return global;
}

bool ApplyShapeDeformation(const KFbxGeometry& geometry, KFbxVector4* points, int count) {
    if (points == nullptr || count != geometry.GetControlPointsCount()) {
        return false;
    }
    const int shapes = geometry.GetShapeCount();
    for (int s = 0; s < shapes; ++s) {
        const KFbxShape* shape = geometry.GetShape(s);
        if (shape != nullptr && shape->GetControlPointsCount() < count) {
            return false;
        }
    }
    std::vector<KFbxVector4> deformed;
    try {
        deformed.assign(points, points + count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int s = 0; s < shapes; ++s) {
        const KFbxShape* shape = geometry.GetShape(s);
        const KFbxVector4* target = shape != nullptr ? shape->GetControlPoints() : nullptr;
        if (target == nullptr) {
            continue;
        }
        const double weight = geometry.GetShapeChannelValue(s);
        for (int i = 0; i < count; ++i) {
            for (int axis = 0; axis < 3; ++axis) {
                deformed[i][axis] += (target[i][axis] - points[i][axis]) * weight;
            }
        }
    }
    std::copy(deformed.begin(), deformed.end(), points);
    return true;
}

bool ApplySkinDeformation(const KgeMatrix& global, KFbxGeometry& geometry, KFbxVector4* points, int count) {
    if (points == nullptr || count != geometry.GetControlPointsCount()) {
        return false;
    }
    auto* skin = geometry.GetDeformerCount(KFbxDeformer::eSKIN) > 0
                     ? dynamic_cast<KFbxSkin*>(geometry.GetDeformer(0, KFbxDeformer::eSKIN))
                     : nullptr;
    if (skin == nullptr || skin->GetClusterCount() == 0 || skin->GetCluster(0) == nullptr) {
        return true;
    }
    const KFbxCluster::ELinkMode mode = skin->GetCluster(0)->GetLinkMode();
    std::vector<Matrix16> sums;
    std::vector<double> weights;
    try {
        Matrix16 start{};
        if (mode == KFbxCluster::eADDITIVE) {
            start = ToArray(KgeMatrix());
        }
        sums.assign(static_cast<std::size_t>(count), start);
        weights.assign(static_cast<std::size_t>(count), 0.0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int c = 0; c < skin->GetClusterCount(); ++c) {
        const KFbxCluster* cluster = skin->GetCluster(c);
        const KFbxNode* link = cluster != nullptr ? cluster->GetLink() : nullptr;
        if (link == nullptr) {
            continue;
        }
        KgeMatrix referenceInitial;
        KgeMatrix referenceCurrent;
        const KFbxNode* associate = cluster->GetAssociateModel();
        if (mode == KFbxCluster::eADDITIVE && associate != nullptr) {
            cluster->GetTransformAssociateModelMatrix(referenceInitial);
            referenceCurrent = GetNodeGlobalMatrix(*associate);
        } else {
            cluster->GetTransformMatrix(referenceInitial);
            referenceCurrent = global;
        }
        KgeMatrix linkInitial;
        cluster->GetTransformLinkMatrix(linkInitial);
        const KgeMatrix linkCurrent = GetNodeGlobalMatrix(*link);
        // The bind placement first, then the link's motion since the bind,
        // then back into the geometry's own space.
        const KgeMatrix vertexTransform =
            referenceCurrent.GetInverseOrthogonal()
                .GetProduct(linkCurrent)
                .GetProduct(linkInitial.GetInverseOrthogonal().GetProduct(referenceInitial));
        const Matrix16 base = ToArray(vertexTransform);
        const int* indices = cluster->GetControlPointIndices();
        const double* clusterWeights = cluster->GetControlPointWeights();
        const int indexCount = cluster->GetControlPointIndicesCount();
        for (int k = 0; k < indexCount && indices != nullptr && clusterWeights != nullptr; ++k) {
            const int index = indices[k];
            const double weight = clusterWeights[k];
            if (index < 0 || index >= count || weight == 0.0) {
                continue;
            }
            Matrix16 influence = base;
            MatrixScale(influence, weight);
            if (mode == KFbxCluster::eADDITIVE) {
                MatrixAddToDiagonal(influence, 1.0 - weight);
                sums[index] = ToArray(FromArray(influence).GetProduct(FromArray(sums[index])));
                weights[index] = 1.0;
            } else {
                MatrixAdd(sums[index], influence);
                weights[index] += weight;
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        if (weights[i] == 0.0) {
            continue;
        }
        const KFbxVector4 original = points[i];
        KFbxVector4 moved = FromArray(sums[i]).MultT(original);
        if (mode == KFbxCluster::eNORMALIZE) {
            for (int axis = 0; axis < 3; ++axis) {
                moved[axis] /= weights[i];
            }
        } else if (mode == KFbxCluster::eTOTAL1) {
            for (int axis = 0; axis < 3; ++axis) {
                moved[axis] += original[axis] * (1.0 - weights[i]);
            }
        }
        moved[3] = original[3];
        points[i] = moved;
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
