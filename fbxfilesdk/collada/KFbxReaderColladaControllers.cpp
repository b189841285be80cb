// Skin and morph controllers into controller records: a skin gives one
// cluster per joint (its weighted control points, the bind shape and bind
// matrices, a stand-in node for the joint as its link) and a bind pose; a
// morph gives its target ids and weights. Nothing reaches a scene here: the
// nodes that instance a controller do that.
#include <fbxfilesdk/collada/ColladaTransformMath.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/ColladaXmlSource.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/collada/KgeMatrixArray.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <utility>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

// The local transform of a node from a matrix: translation, XYZ Euler
// rotation and scaling.
bool SetNodeTransformFromMatrix(KFbxNode& node, const KgeMatrix& matrix) {
    node.SetLclTranslation(matrix.GetT());
    node.SetLclRotation(matrix.GetR());
    return node.SetLclScaling(matrix.GetS());
}

// The source an input names, among the children of the element that holds the input.
xmlNode* InputSource(const xmlNode* holder, const xmlNode* input) {
    return FindChildById(holder, GetReferenceId(input, "source").Buffer());
}

KString ReadingArrayError(const xmlNode* input) {
    return KString("reading array in <source>: ") + GetAttribute(input, "source");
}

}  // namespace

bool KFbxReaderColladaPass::ImportController(xmlNode* controller) {
    auto record = std::make_unique<ColladaControllerRecord>();
    record->mId = GetAttribute(controller, "id");
    bool skinRead = false;
    bool morphRead = false;
    for (xmlNode* child : ChildElements(controller)) {
        if (IsNamed(child, "skin")) {
            if (skinRead) {
                ReleaseController(*record);
                return Error(KString("more than one skin defined for library ") + record->mId);
            }
            skinRead = true;
            if (!(mStatus = ImportSkin(child, *record))) {
                ReleaseController(*record);
                return false;
            }
        } else if (IsNamed(child, "morph")) {
            if (morphRead) {
                ReleaseController(*record);
                return Error(KString("more than one morph defined for library ") + record->mId);
            }
            morphRead = true;
            const KString method = GetAttribute(child, "method");
            if (method != "RELATIVE") {
                Warning(KString("Morph ") + record->mId + " has method " + method + ", which is not supported." +
                        " Morph will be read as RELATIVE.");
            }
            record->mSource = GetAttribute(child, "source");
            if (!(mStatus = ImportMorphTargets(child, *record))) {
                ReleaseController(*record);
                return false;
            }
        } else {
            Warning(KString("unknown structure in controller: <") + GetName(child) + ">");
        }
    }
    if (record->mSource.GetLen() == 0) {
        ReleaseController(*record);
        return Error(KString("Controller is missing a source"));
    }
    if (skinRead) {
        MakeBindPose(*record);
    }
    if (mControllers.Contains(record->mId)) {
        // The first controller of an id is the one instances find.
        ReleaseController(*record);
        return true;
    }
    const KString id = record->mId;
    mControllers.Add(id, std::move(record));
    return true;
}

void KFbxReaderColladaPass::ReleaseController(ColladaControllerRecord& record) {
    const auto forget = [](auto& list, const auto* object) {
        list.erase(std::remove(list.begin(), list.end(), object), list.end());
    };
    for (KFbxCluster* cluster : record.mClusters) {
        forget(mClusters, cluster);
        cluster->Destroy();
    }
    for (KFbxNode* node : record.mJointNodes) {
        forget(mJointStandIns, node);
        node->Destroy();
    }
    record.mClusters.clear();
    record.mJointNodes.clear();
    record.mBindPose = ColladaBindPose();
}

bool KFbxReaderColladaPass::ImportSkin(xmlNode* skin, ColladaControllerRecord& record) {
    record.mSource = GetAttribute(skin, "source");
    const ElementText bindShape(FindChild(skin, "bind_shape_matrix"));
    if (bindShape.Get()[0] != '\0') {
        const char* cursor = bindShape.Get();
        ParseMatrix(cursor, record.mBindShapeMatrix);
    }
    if (!(mStatus = ImportVertexWeights(skin, record)) || !(mStatus = ImportSkinJoints(skin, record))) {
        return false;
    }
    for (KFbxCluster* cluster : record.mClusters) {
        cluster->SetTransformMatrix(record.mBindShapeMatrix);
    }
    return true;
}

bool KFbxReaderColladaPass::ImportVertexWeights(xmlNode* skin, ColladaControllerRecord& record) {
    xmlNode* weightsElement = FindChild(skin, "vertex_weights");
    if (weightsElement == nullptr) {
        return Error(KString("<") + "vertex_weights" + "> node not found in controller\n");
    }
    std::vector<xmlNode*> inputs;
    FindChildren(weightsElement, "input", inputs);
    const int stride = static_cast<int>(inputs.size());
    const KString missingInput = KString("Controller: could not find ") + "JOINT" + " or " + "WEIGHT";
    int jointOffset = stride;
    int weightOffset = stride;
    std::vector<KString> jointNames;
    std::vector<double> weights;
    for (xmlNode* input : inputs) {
        const KString semantic = GetAttribute(input, "semantic");
        if (semantic == "JOINT") {
            if (!ReadSourceNames(InputSource(skin, input), jointNames)) {
                return Error(ReadingArrayError(input));
            }
            jointOffset = GetInputOffset(input);
        } else if (semantic == "WEIGHT") {
            if (!ReadSourceDoubles(InputSource(skin, input), weights)) {
                return Error(ReadingArrayError(input));
            }
            weightOffset = GetInputOffset(input);
        } else {
            return Error(semantic + " not supported in <input>");
        }
    }
    if (stride == 0 || jointOffset < 0 || jointOffset >= stride || weightOffset < 0 || weightOffset >= stride) {
        return Error(missingInput);
    }
    std::vector<int> counts;
    std::vector<int> indices;
    ParseIntArray(ElementText(FindChild(weightsElement, "vcount")).Numbers(), counts);
    ParseIntArray(ElementText(FindChild(weightsElement, "v")).Numbers(), indices);
    if (weights.empty() || jointNames.empty()) {
        return Error(KString("Unable to find weight or jointIds for controller"));
    }
    // Each joint's influences, in the order of the vertices.
    std::vector<std::vector<std::pair<int, double>>> influences(jointNames.size());
    std::size_t at = 0;
    for (std::size_t vertex = 0; vertex < counts.size(); ++vertex) {
        if (counts[vertex] < 0) {
            return Error(KString("negative influence count in <vcount> of controller ") + record.mId);
        }
        for (int influence = 0; influence < counts[vertex]; ++influence, at += static_cast<std::size_t>(stride)) {
            if (indices.size() - std::min(at, indices.size()) < static_cast<std::size_t>(stride)) {
                return Error(KString("<v> holds fewer indices than <vcount> announces in controller ") + record.mId);
            }
            const int joint = indices[at + static_cast<std::size_t>(jointOffset)];
            const int weight = indices[at + static_cast<std::size_t>(weightOffset)];
            if (weight < 0 || static_cast<std::size_t>(weight) >= weights.size() || joint < -1 ||
                joint >= static_cast<int>(jointNames.size())) {
                return Error(KString("joint or weight index out of range in <v> of controller ") + record.mId);
            }
            // Joint -1 binds to the bind shape itself: no cluster takes it.
            if (joint >= 0) {
                influences[static_cast<std::size_t>(joint)].emplace_back(static_cast<int>(vertex),
                                                                        weights[static_cast<std::size_t>(weight)]);
            }
        }
    }
    for (const auto& jointInfluences : influences) {
        KFbxCluster* cluster = KFbxCluster::Create(&mManager, "");
        if (cluster == nullptr) {
            return Error(KString("could not create the clusters of controller ") + record.mId);
        }
        record.mClusters.push_back(cluster);
        mClusters.push_back(cluster);
        cluster->SetLinkMode(KFbxCluster::eNORMALIZE);
        for (const auto& [vertex, weight] : jointInfluences) {
            cluster->AddControlPointIndex(vertex, weight);
        }
    }
    return true;
}

bool KFbxReaderColladaPass::ImportSkinJoints(xmlNode* skin, ColladaControllerRecord& record) {
    xmlNode* joints = FindChild(skin, "joints");
    if (joints == nullptr) {
        return Error(KString("<") + "joints" + "> node not found in controller\n");
    }
    std::vector<KString> names;
    KgeMatrixArray inverseBindMatrices;
    for (xmlNode* input : ChildElements(joints)) {
        if (!IsNamed(input, "input")) {
            continue;
        }
        const KString semantic = GetAttribute(input, "semantic");
        if (semantic == "JOINT") {
            if (!ReadSourceNames(InputSource(skin, input), names)) {
                return Error(ReadingArrayError(input));
            }
        } else if (semantic == "INV_BIND_MATRIX") {
            if (!ReadSourceMatrices(InputSource(skin, input), inverseBindMatrices)) {
                return Error(ReadingArrayError(input));
            }
        } else {
            return Error(semantic + " not supported in <input>");
        }
    }
    const int matrixCount = inverseBindMatrices.GetCount();
    const int nameCount = static_cast<int>(names.size());
    const int clusterCount = static_cast<int>(record.mClusters.size());
    if (matrixCount == 0 || nameCount == 0) {
        return Error(KString("Unable to find weight or bind matrices for controller"));
    }
    if (nameCount != matrixCount) {
        return Error(KString("in controller, number of joints ") + nameCount +
                     " is different than number of bind pose matrices " + matrixCount);
    }
    if (clusterCount != matrixCount) {
        return Error(KString("in controller, number of links ") + clusterCount +
                     " is different than number of bind pose matrices " + matrixCount);
    }
    for (int index = 0; index < matrixCount; ++index) {
        // The joint's placement at bind time; the inverse takes scaling into
        // account as well as rotation.
        const KgeMatrix bind = ColladaAffineInverse(inverseBindMatrices.GetAt(index));
        KFbxCluster* cluster = record.mClusters[static_cast<std::size_t>(index)];
        cluster->SetTransformLinkMatrix(bind);
        KFbxNode* joint = KFbxNode::Create(&mManager, names[static_cast<std::size_t>(index)].Buffer());
        if (joint == nullptr) {
            return Error(KString("could not create the joints of controller ") + record.mId);
        }
        record.mJointNodes.push_back(joint);
        mJointStandIns.push_back(joint);
        SetNodeTransformFromMatrix(*joint, bind);
        cluster->SetLink(joint);
    }
    return true;
}

void ColladaBindPose::Add(KFbxNode* node, const KgeMatrix& matrix) {
    const auto held = [node](const std::pair<KFbxNode*, KgeMatrix>& entry) { return entry.first == node; };
    if (node != nullptr && std::none_of(mEntries.begin(), mEntries.end(), held)) {
        mEntries.emplace_back(node, matrix);
    }
}

void KFbxReaderColladaPass::MakeBindPose(ColladaControllerRecord& record) {
    // Kept as entries until a scene's pose is made of it: no pose object is
    // made only to be copied and left unused.
    record.mBindPose.mName = record.mId;
    for (KFbxCluster* cluster : record.mClusters) {
        if (KFbxNode* link = cluster->GetLink()) {
            record.mBindPose.Add(link, link->EvaluateDefaultGlobalTransform());
        }
    }
}

bool KFbxReaderColladaPass::ImportMorphTargets(xmlNode* morph, ColladaControllerRecord& record) {
    xmlNode* targets = FindChild(morph, "targets");
    if (targets == nullptr) {
        return Error(KString("<") + "targets" + "> node not found in controller\n");
    }
    for (xmlNode* input : ChildElements(targets)) {
        if (!IsNamed(input, "input")) {
            continue;
        }
        const KString semantic = GetAttribute(input, "semantic");
        if (semantic == "MORPH_TARGET") {
            if (!ReadSourceNames(InputSource(morph, input), record.mMorphTargets)) {
                return Error(ReadingArrayError(input));
            }
        } else if (semantic == "MORPH_WEIGHT") {
            if (!ReadSourceDoubles(InputSource(morph, input), record.mMorphWeights)) {
                return Error(ReadingArrayError(input));
            }
            record.mMorphWeightSource = GetReferenceId(input, "source");
        } else {
            return Error(semantic + " not supported in <input>");
        }
    }
    const int targetCount = static_cast<int>(record.mMorphTargets.size());
    const int weightCount = static_cast<int>(record.mMorphWeights.size());
    if (targetCount == 0 || weightCount == 0) {
        return Error(KString("Unable to find weight or bind matrices for controller"));
    }
    if (targetCount != weightCount) {
        return Error(KString("in controller, number of targets ") + targetCount + " is different than number of weights " +
                     weightCount);
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
