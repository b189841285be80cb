// Skin and morph controllers. A skin lists the joints of the mesh's usable
// clusters (those with a link), their inverse bind matrices and the weights
// of every control point; a morph lists its target geometries and their
// weights. A mesh with both gets the skin over the morph.
#include <fbxfilesdk/collada/KFbxWriterCollada.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/collada/ColladaTransformMath.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlWrite.h>
#include <fbxfilesdk/collada/KgeMatrixArray.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

using namespace ColladaXml;

// The clusters of the mesh's skins that have a link in the tree under the
// root, which the file holds, in skin and cluster order.
std::vector<const KFbxCluster*> UsableClusters(KFbxMesh& mesh, const KFbxNode* root, KFbxTreeTops& tops,
                                               bool& someUnusable) {
    std::vector<const KFbxCluster*> clusters;
    someUnusable = false;
    for (int index = 0; index < mesh.GetSrcDeformerCount(); ++index) {
        const auto* skin = dynamic_cast<const KFbxSkin*>(mesh.GetDeformer(index, KFbxDeformer::eSKIN));
        for (int cluster = 0; skin != nullptr && cluster < skin->GetClusterCount(); ++cluster) {
            const KFbxCluster* candidate = skin->GetCluster(cluster);
            if (candidate != nullptr && candidate->GetLink() != nullptr && tops.Of(candidate->GetLink()) == root) {
                clusters.push_back(candidate);
            } else {
                someUnusable = true;
            }
        }
    }
    return clusters;
}

// Elements that are not finite take the identity's value; true when any did.
bool MakeFinite(KgeMatrix& matrix) {
    bool changed = false;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (!std::isfinite(matrix[row][column])) {
                matrix[row][column] = row == column ? 1.0 : 0.0;
                changed = true;
            }
        }
    }
    return changed;
}

// The shape's weight in the scene: its channel's value in the node's current
// take, or, with no such channel, the value of the shape's weight property.
double ShapeWeight(KFbxMesh& mesh, int index) {
    const char* name = mesh.GetShapeName(index);
    if (name == nullptr) {
        return 0.0;
    }
    KFbxNode* node = mesh.GetNode();
    KFbxTakeNode* take = node != nullptr ? node->GetCurrentTakeNode() : nullptr;
    KFCurveNode* root = take != nullptr ? take->GetKFCurveNode() : nullptr;
    KFCurveNode* channel = root != nullptr ? root->Find(name) : nullptr;
    if (channel != nullptr && channel->FCurveGet() != nullptr) {
        return mesh.GetShapeChannelValue(index);
    }
    return mesh.FindProperty(name).GetDouble();
}

}  // namespace

bool KFbxWriterCollada::ExportSkinController(KFbxNode& node, KFbxMesh& mesh, bool overMorph) {
    const KString& nodeId = GetNodeId(node);
    bool someUnusable = false;
    const KFbxNode* root = GetScene() != nullptr ? GetScene()->GetRootNode() : mTreeTops.Of(&node);
    const std::vector<const KFbxCluster*> clusters = UsableClusters(mesh, root, mTreeTops, someUnusable);
    if (someUnusable) {
        AddNotificationWarning(KString("Not able to export all links for mesh ") + nodeId);
    }
    if (clusters.empty()) {
        return true;
    }
    const KString& id = mIds.Get(&node, "Controller", nodeId + "Controller");
    xmlNode* controller = AddElement(GetLibrary(eLIBRARY_CONTROLLERS), "controller");
    if (controller == nullptr) {
        return false;
    }
    SetAttribute(controller, "id", id.Buffer());
    const KString* morphId = overMorph ? mIds.Find(&node, "-lib-morph") : nullptr;
    const KString& source = morphId != nullptr ? *morphId : *mIds.Find(&node, "-lib");
    xmlNode* skin = AddElement(controller, "skin");
    SetAttribute(skin, "source", (KString("#") + source).Buffer());

    // The mesh's placement at bind time: the first usable cluster's.
    KgeMatrix bindShape;
    clusters.front()->GetTransformMatrix(bindShape);
    bool notFinite = MakeFinite(bindShape);
    AddElement(skin, "bind_shape_matrix", FormatExactMatrix(bindShape).Buffer());

    std::vector<KString> jointNames;
    KgeMatrixArray inverseBindMatrices;
    for (const KFbxCluster* cluster : clusters) {
        const KFbxNode* link = cluster->GetLink();
        if (cluster->GetLinkMode() != KFbxCluster::eTOTAL1) {
            AddNotificationWarning(KString("link ") + link->GetNameString() +
                                   "'s mode is not supported. It will be treated as mode eTOTAL1.");
        }
        jointNames.push_back(GetNodeId(*link));
        KgeMatrix linkMatrix;
        cluster->GetTransformLinkMatrix(linkMatrix);
        notFinite = MakeFinite(linkMatrix) || notFinite;
        // A full inverse: bones may be scaled.
        inverseBindMatrices.Add(ColladaAffineInverse(linkMatrix));
    }
    const KString jointsId = ReserveSourceId(id + "-Joints");
    const KString matricesId = ReserveSourceId(id + "-Matrices");
    const KString weightsId = ReserveSourceId(id + "-Weights");
    AddNameSource(skin, jointsId.Buffer(), jointNames, "name", true);
    AddExactMatrixSource(skin, matricesId.Buffer(), inverseBindMatrices);

    // Per control point its (joint, weight) pairs; a point listed twice by
    // one cluster keeps the later weight.
    const int pointCount = mesh.GetControlPointsCount();
    std::vector<std::vector<std::pair<int, double>>> influences(static_cast<std::size_t>(pointCount));
    for (std::size_t joint = 0; joint < clusters.size(); ++joint) {
        const KFbxCluster* cluster = clusters[joint];
        const int* indices = cluster->GetControlPointIndices();
        const double* weights = cluster->GetControlPointWeights();
        if (indices == nullptr || weights == nullptr) {
            continue;
        }
        for (int entry = 0; entry < cluster->GetControlPointIndicesCount(); ++entry) {
            const int point = indices[entry];
            if (point < 0 || point >= pointCount) {
                continue;
            }
            if (!std::isfinite(weights[entry])) {
                notFinite = true;
                continue;
            }
            // Weights are single precision in most consumers; round here so
            // that what is written is what they will hold.
            const double weight = static_cast<float>(weights[entry]);
            auto& pairs = influences[static_cast<std::size_t>(point)];
            auto same = std::find_if(pairs.begin(), pairs.end(),
                                     [&](const auto& pair) { return pair.first == static_cast<int>(joint); });
            if (same != pairs.end()) {
                same->second = weight;
            } else {
                pairs.emplace_back(static_cast<int>(joint), weight);
            }
        }
    }
    if (notFinite) {
        AddNotificationWarning(KString("Skin of mesh ") + nodeId +
                               " has values that are not finite numbers; they are left out.");
    }
    // Weight 0 is a 1 that no pair names: a skin always has a weight.
    std::vector<double> weightValues{1.0};
    std::string counts;
    std::string pairsText;
    for (const auto& pairs : influences) {
        if (!counts.empty()) {
            counts += ' ';
        }
        AppendInteger(counts, static_cast<int>(pairs.size()));
        for (const auto& [joint, weight] : pairs) {
            if (!pairsText.empty()) {
                pairsText += ' ';
            }
            AppendInteger(pairsText, joint);
            pairsText += ' ';
            AppendInteger(pairsText, static_cast<int>(weightValues.size()));
            weightValues.push_back(weight);
        }
    }
    AddFloatSource(skin, weightsId.Buffer(), {}, weightValues, true);

    xmlNode* joints = AddElement(skin, "joints");
    AddInput(joints, "JOINT", jointsId.Buffer(), -1, -1);
    AddInput(joints, "INV_BIND_MATRIX", matricesId.Buffer(), -1, -1);
    xmlNode* vertexWeights = AddElement(skin, "vertex_weights");
    SetAttribute(vertexWeights, "count", pointCount);
    AddInput(vertexWeights, "JOINT", jointsId.Buffer(), 0, -1);
    AddInput(vertexWeights, "WEIGHT", weightsId.Buffer(), 1, -1);
    AddElement(vertexWeights, "vcount", counts.c_str());
    AddElement(vertexWeights, "v", pairsText.c_str());
    return true;
}

bool KFbxWriterCollada::ExportMorphController(KFbxNode& node, KFbxMesh& mesh) {
    const KString& nodeId = GetNodeId(node);
    // Each usable shape becomes a target geometry of an id of its own, so
    // that shapes of one name on two meshes stay apart.
    std::vector<KString> targetIds;
    std::vector<double> weights;
    for (int index = 0; index < mesh.GetShapeCount(); ++index) {
        KFbxShape* shape = mesh.GetShape(index);
        const char* shapeName = mesh.GetShapeName(index);
        if (shape == nullptr || shape->GetControlPointsCount() != mesh.GetControlPointsCount()) {
            AddNotificationWarning(KString("Shape ") + (shapeName != nullptr ? shapeName : "") + " of mesh " + nodeId +
                                   " does not have the mesh's points; it is not written.");
            continue;
        }
        const KString targetId = ReserveSourceId(KString(shapeName != nullptr ? shapeName : "") + "-lib");
        mShapeTargets.push_back(ShapeTarget{targetId, ColladaWriterIds::MakeName(shapeName), &mesh, shape});
        targetIds.push_back(targetId);
        // The scene weighs shapes from 0 to 100, COLLADA from 0 to 1; a
        // shape whose weight no take channel holds weighs its own value.
        const double weight = ShapeWeight(mesh, index) / 100.0;
        weights.push_back(std::isfinite(weight) ? weight : 0.0);
    }
    if (targetIds.empty()) {
        return true;
    }
    const KString& id = mIds.Get(&node, "-lib-morph", nodeId + "-lib-morph");
    xmlNode* controller = AddElement(GetLibrary(eLIBRARY_CONTROLLERS), "controller");
    if (controller == nullptr) {
        return false;
    }
    SetAttribute(controller, "id", id.Buffer());
    xmlNode* morph = AddElement(controller, "morph");
    SetAttribute(morph, "source", (KString("#") + *mIds.Find(&node, "-lib")).Buffer());
    SetAttribute(morph, "method", "RELATIVE");
    const KString targetsId = ReserveSourceId(id + "-targets");
    const KString weightsId = ReserveSourceId(id + "-weights");
    const KString weightName("WEIGHT");
    // The targets are geometries of the document: ids, not names.
    AddNameSource(morph, targetsId.Buffer(), targetIds, "IDREF", true);
    AddFloatSource(morph, weightsId.Buffer(), {&weightName, 1}, weights, true);
    xmlNode* targets = AddElement(morph, "targets");
    AddInput(targets, "MORPH_TARGET", targetsId.Buffer(), -1, -1);
    AddInput(targets, "MORPH_WEIGHT", weightsId.Buffer(), -1, -1);
    return true;
}

}  // namespace fbxsdk_2006_11_1
