// The transform elements of a node onto the SDK node's fixed slots: local
// translation, rotation and scaling, pre- and post-rotation (Maya's joint
// orient and post-rotation sids), pivots and their offsets, and the
// rotation order that the document order of the axis rotations gives. Each
// animatable element becomes a target of the animation channels.
#include <fbxfilesdk/collada/ColladaTransformMath.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <cmath>
#include <cstring>
#include <map>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

// Documents write six or seven significant digits: matrices equal to that
// are the same transform.
constexpr double kDocumentPrecision = 1e-5;

// The children of a node that the node pass reads, not this one.
constexpr const char* kReadByNodePass[] = {"instance",          "instance_geometry", "instance_camera",
                                          "instance_light",    "instance_controller", "instance_node",
                                          "boundingbox",       "node",              "lookat"};

bool IsReadByNodePass(const char* name) {
    for (const char* candidate : kReadByNodePass) {
        if (std::strcmp(name, candidate) == 0) {
            return true;
        }
    }
    return false;
}

// What a child of a node is to this pass.
enum class NodeChild { kOther, kPerspective, kMatrix, kRotate, kScale, kSkew, kTranslate, kExtra };

// Told by the first letter and one comparison: every child of every node
// is asked.
NodeChild NodeChildOf(const char* name) {
    const auto is = [name](const char* text) { return std::strcmp(name, text) == 0; };
    switch (name[0]) {
        case 'e': return is("extra") ? NodeChild::kExtra : NodeChild::kOther;
        case 'm': return is("matrix") ? NodeChild::kMatrix : NodeChild::kOther;
        case 'p': return is("perspective") ? NodeChild::kPerspective : NodeChild::kOther;
        case 'r': return is("rotate") ? NodeChild::kRotate : NodeChild::kOther;
        case 's': return is("scale") ? NodeChild::kScale : is("skew") ? NodeChild::kSkew : NodeChild::kOther;
        case 't': return is("translate") ? NodeChild::kTranslate : NodeChild::kOther;
        default: return NodeChild::kOther;
    }
}

KFbxVector4 ReadVector(const xmlNode* element) {
    const ElementText text(element);
    const char* cursor = text.Get();
    const double x = ParseFloat(cursor);
    const double y = ParseFloat(cursor);
    const double z = ParseFloat(cursor);
    return KFbxVector4(x, y, z, 0.0);
}

}  // namespace

void KFbxReaderColladaPass::AddTransformTargets(const KString& key, const char* kind, int turn) {
    for (unsigned component = 0; component < 3; ++component) {
        mSidTargets.Add(key, ColladaTargetRecord{KString(kind), component, turn});
    }
}

bool KFbxReaderColladaPass::ImportNodeTransforms(xmlNode* nodeElement, KFbxNode& node, KgeMatrix& parentTurn) {
    int axisPositions[3] = {-1, -1, -1};
    int axisRotations = 0;
    // A child of a turned parent may begin by undoing the turn, as the
    // writer's children do: its leading rotations without sid join the
    // turn, which then is whatever they leave of it.
    bool leading = parentTurn != KgeMatrix();
    int turnIndex = -1;
    const auto settleTurn = [&] {
        if (!leading) {
            return;
        }
        leading = false;
        if (ColladaNearlySameTransform(parentTurn, KgeMatrix(), kDocumentPrecision)) {
            parentTurn = KgeMatrix();
        } else {
            turnIndex = static_cast<int>(mTurns.size());
            mTurns.push_back(parentTurn);
        }
    };
    for (xmlNode* child : ChildElements(nodeElement)) {
        const char* name = GetName(child);
        const NodeChild kind = NodeChildOf(name);
        // Most children of a node are not transforms: only these are targets.
        const bool targeted = kind == NodeChild::kMatrix || kind == NodeChild::kRotate || kind == NodeChild::kScale ||
                              kind == NodeChild::kTranslate;
        const KString sid = targeted ? GetAttribute(child, "sid") : KString();
        const KString key = targeted ? KString(node.GetName()) + "/" + sid : KString();
        if (leading && kind == NodeChild::kRotate && sid.GetLen() == 0) {
            // The element applies after the rest of the node's, so before the turn.
            const ElementText text(child);
            const char* cursor = text.Get();
            const double x = ParseFloat(cursor);
            const double y = ParseFloat(cursor);
            const double z = ParseFloat(cursor);
            const double degrees = ParseFloat(cursor);
            parentTurn = parentTurn.GetProduct(ColladaAxisAngleMatrix(KFbxVector4(x, y, z, 0.0), degrees));
            continue;
        }
        settleTurn();
        if (kind == NodeChild::kPerspective) {
            Warning(KString("<perspective> is not supported."));
        } else if (kind == NodeChild::kMatrix) {
            const ElementText text(child);
            const char* cursor = text.Get();
            KgeMatrix matrix;
            ParseMatrix(cursor, matrix);
            // A node placed by a matrix keeps its transform in its local
            // values (alone: a node of the scene has no cached matrix).
            node.SetLclTranslation(matrix.GetT());
            node.SetLclRotation(matrix.GetR());
            node.SetLclScaling(matrix.GetS());
            KgeMatrix recomposed;
            recomposed.SetTRS(matrix.GetT(), matrix.GetR(), matrix.GetS());
            if (!ColladaNearlySameTransform(recomposed, matrix, kDocumentPrecision)) {
                mShearedMatrices.push_back(ShearedMatrix{&node, matrix, parentTurn});
            }
            // Sampled matrices animate the same local values.
            mSidTargets.Add(key, ColladaTargetRecord{KString("matrix"), 0, turnIndex});
        } else if (kind == NodeChild::kRotate) {
            // Most rotations carry neither sid: their first letter tells.
            const char first = sid.GetLen() > 0 ? sid[0] : '\0';
            const bool jointOrient =
                first == 'j' && (sid == "jointOrientX" || sid == "jointOrientY" || sid == "jointOrientZ");
            const bool postRotation =
                first == 'p' && (sid == "post-rotationX" || sid == "post-rotationY" || sid == "post-rotationZ");
            int axis = -1;
            if (jointOrient || postRotation) {
                KFbxVector4 rotation = jointOrient ? node.GetPreRotation(KFbxNode::eSOURCE_SET)
                                                   : node.GetPostRotation(KFbxNode::eSOURCE_SET);
                if (jointOrient) {
                    ReadRotate(child, axis, rotation);
                    node.SetPreRotation(KFbxNode::eSOURCE_SET, rotation);
                } else {
                    // The element turns the node as it stands in the document;
                    // the scene turns a node by the inverse of its
                    // post-rotation.
                    KFbxVector4 inverse = -rotation;
                    ReadRotate(child, axis, inverse);
                    node.SetPostRotation(KFbxNode::eSOURCE_SET, -inverse);
                }
                node.SetRotationActive(true);
                continue;
            }
            KFbxVector4 rotation;
            ReadRotate(child, axis, rotation);
            if (sid == "roll" && axis == 0) {
                // A camera's roll about its line of sight: the camera's own
                // once the node has its attribute (see ApplyNodeRoll).
                mNodeRolls[&node] = rotation[0];
                mSidTargets.Add(key, ColladaTargetRecord{KString("roll"), 0});
                continue;
            }
            KFbxVector4 local;
            node.GetLclRotation(local);
            node.SetLclRotation(local + rotation);
            node.SetRotationActive(true);
            if (axis >= 0) {
                axisPositions[axis] = axisRotations++;
            }
            mSidTargets.Add(key, ColladaTargetRecord{KString("rotate"), axis >= 0 ? static_cast<unsigned>(axis)
                                                                                   : ColladaTargetRecord::kNoAxis});
        } else if (kind == NodeChild::kScale) {
            node.SetLclScaling(ReadVector(child));
            AddTransformTargets(key, "scale");
        } else if (kind == NodeChild::kSkew) {
            WarningOnce("skew", KString("transform is not supported by FBX: ") + "skew");
        } else if (kind == NodeChild::kTranslate) {
            ImportTranslate(child, node, sid, key, turnIndex);
        } else if (kind == NodeChild::kExtra) {
            WarningOnce("extra", KString("Extra node is not supported in node"));
        } else if (!IsReadByNodePass(name)) {
            return Error(KString("structure ") + name + " unknown\n");
        }
    }
    settleTurn();
    node.SetRotationOrder(KFbxNode::eSOURCE_SET,
                          static_cast<KFbxNode::ERotationOrder>(ColladaRotationOrderFromAxes(axisPositions, axisRotations)));
    return true;
}

void KFbxReaderColladaPass::TurnNode(KFbxNode& node, const KgeMatrix& turn) {
    if (!(turn != KgeMatrix())) {
        return;
    }
    // Where a point of the node lands, (p - Rp) R + Rp + Ro + T with the
    // scaling steps in p, is then turned: R takes the turn after it, and
    // the rotation pivot, its offset and the translation turn with it; the
    // scaling offset keeps the points before the rotation where they were.
    constexpr KFbxNode::EPivotSet kSet = KFbxNode::eSOURCE_SET;
    KFbxVector4 translation;
    node.GetLclTranslation(translation);
    node.SetLclTranslation(turn.MultT(translation));
    const KFbxVector4 pivot = node.GetRotationPivot(kSet);
    const KFbxVector4 turnedPivot = turn.MultT(pivot);
    node.SetScalingOffset(kSet, node.GetScalingOffset(kSet) + turnedPivot - pivot);
    node.SetRotationPivot(kSet, turnedPivot);
    node.SetRotationOffset(kSet, turn.MultT(node.GetRotationOffset(kSet)));
    KgeMatrix pre;
    pre.SetROnly(node.GetPreRotation(kSet));
    node.SetPreRotation(kSet, turn.GetProduct(pre).GetR());
    node.SetRotationActive(true);
}

KgeMatrix KFbxReaderColladaPass::ChildTurn(const KFbxNode& node, const KFbxVector4& postRead) const {
    // The scene turns a node by its post-rotation inverted: the element's
    // post-rotation (with the roll before it), which the scene's lacks.
    KgeMatrix read;
    read.SetROnly(postRead);
    KgeMatrix turn = read.GetInverseOrthogonal();
    const auto roll = mNodeRolls.find(&node);
    if (roll != mNodeRolls.end() && dynamic_cast<const KFbxCamera*>(node.GetNodeAttribute()) != nullptr) {
        KgeMatrix about;
        about.SetROnly(KFbxVector4(roll->second, 0.0, 0.0, 0.0));
        turn = about.GetProduct(turn);
    }
    KgeMatrix post;
    post.SetROnly(node.GetPostRotation(KFbxNode::eSOURCE_SET));
    turn = post.GetProduct(turn);
    return ColladaNearlySameTransform(turn, KgeMatrix(), 1e-12) ? KgeMatrix() : turn;
}

namespace {

// The rows of the matrix's 3x3 part divided by their signed lengths.
KgeMatrix UnitRows(const KgeMatrix& matrix, const KFbxVector4& lengths) {
    KgeMatrix rows;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            rows[row][column] = matrix[row][column] / lengths[row];
        }
    }
    return rows;
}

}  // namespace

void KFbxReaderColladaPass::PlaceShearedMatrixNodes(const std::map<KFbxNode*, KFbxNode*>& copies) {
    for (const ShearedMatrix& sheared : mShearedMatrices) {
        const KgeMatrix& matrix = sheared.mMatrix;
        const auto copy = copies.find(sheared.mNode);
        KFbxNode* node = copy != copies.end() ? copy->second : nullptr;
        KFbxNode* parent = node != nullptr ? node->GetParent() : nullptr;
        if (parent == nullptr) {
            continue;
        }
        // Where the document puts the node: its matrix under its parent's
        // element, which is its parent turned.
        const KgeMatrix wanted = parent->EvaluateDefaultGlobalTransform().GetProduct(sheared.mTurn).GetProduct(matrix);
        // Under that inherit type the node's rows are the parent's global
        // rows (unturned, unscaled node) turned by the node's rotation and
        // stretched by its scaling: both follow from the wanted rows.
        node->SetTransformInheritType(KFbxNode::eINHERIT_RrSs);
        node->SetLclRotation(KFbxVector4(0.0, 0.0, 0.0, 0.0));
        node->SetLclScaling(KFbxVector4(1.0, 1.0, 1.0, 0.0));
        node->ResetEvaluationCache();
        const KgeMatrix base = node->EvaluateDefaultGlobalTransform();
        const KFbxVector4 wantedLengths = wanted.GetS();
        const KFbxVector4 baseLengths = base.GetS();
        bool placed = true;
        KFbxVector4 scaling(1.0, 1.0, 1.0, 0.0);
        for (int axis = 0; axis < 3; ++axis) {
            scaling[axis] = wantedLengths[axis] / baseLengths[axis];
            placed = placed && std::isfinite(scaling[axis]) && baseLengths[axis] != 0.0 && wantedLengths[axis] != 0.0;
        }
        if (placed) {
            const KgeMatrix turned = UnitRows(wanted, wantedLengths);
            const KgeMatrix unturned = UnitRows(base, baseLengths);
            // turned = rotation x unturned, and unturned is orthonormal.
            KgeMatrix rotation;
            for (int row = 0; row < 3; ++row) {
                for (int column = 0; column < 3; ++column) {
                    rotation[row][column] = turned[row][0] * unturned[column][0] +
                                            turned[row][1] * unturned[column][1] + turned[row][2] * unturned[column][2];
                }
            }
            node->SetLclRotation(rotation.GetR());
            node->SetLclScaling(scaling);
            node->ResetEvaluationCache();
            placed = ColladaNearlySameTransform(node->EvaluateDefaultGlobalTransform(), wanted, kDocumentPrecision);
        }
        if (!placed) {
            // No inherit type holds it: the closest transform of the matrix.
            node->SetTransformInheritType(KFbxNode::eINHERIT_RSrs);
            node->SetLclRotation(matrix.GetR());
            node->SetLclScaling(matrix.GetS());
            node->ResetEvaluationCache();
            WarningOnce("shear", KString("the matrix of node ") + node->GetName() +
                                     " shears it, which a scene node cannot; its nearest transform is kept");
        }
    }
}

void KFbxReaderColladaPass::ApplyNodeRoll(KFbxNode& node) {
    const auto found = mNodeRolls.find(&node);
    if (found == mNodeRolls.end()) {
        return;
    }
    if (auto* camera = dynamic_cast<KFbxCamera*>(node.GetNodeAttribute())) {
        camera->SetDefaultRoll(found->second);
    } else {
        // Any other node turns by it as by any rotation about X.
        KFbxVector4 rotation;
        node.GetLclRotation(rotation);
        rotation[0] += found->second;
        node.SetLclRotation(rotation);
    }
}

void KFbxReaderColladaPass::ImportTranslate(xmlNode* translate, KFbxNode& node, const KString& sid,
                                            const KString& key, int turn) {
    const KFbxVector4 value = ReadVector(translate);
    if (sid == "rotatePivot") {
        node.SetRotationPivot(KFbxNode::eSOURCE_SET, value);
    } else if (sid == "scalePivot") {
        node.SetScalingPivot(KFbxNode::eSOURCE_SET, value);
    } else if (sid == "rotatePivotTranslation") {
        node.SetRotationOffset(KFbxNode::eSOURCE_SET, value);
    } else if (sid == "scalePivotTranslation") {
        node.SetScalingOffset(KFbxNode::eSOURCE_SET, value);
    } else if (sid != "rotatePivotInverse" && sid != "scalePivotInverse") {
        node.SetLclTranslation(value);
        AddTransformTargets(key, "translate", turn);
    }
}

void KFbxReaderColladaPass::ReadRotate(xmlNode* rotate, int& axis, KFbxVector4& rotation) {
    const ElementText text(rotate);
    const char* cursor = text.Get();
    KFbxVector4 direction;
    for (int component = 0; component < 3; ++component) {
        direction[component] = ParseFloat(cursor);
    }
    const double angle = ParseFloat(cursor);
    // Rotations about an axis of any length turn by the angle about its direction.
    const double length = direction.Length();
    if (length > 0.0) {
        direction /= length;
    }
    static const KFbxVector4 kAxes[3] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    for (int candidate = 0; candidate < 3; ++candidate) {
        if (direction == kAxes[candidate]) {
            axis = candidate;
            rotation[candidate] = angle;
            return;
        }
    }
    const KFbxVector4 euler = ColladaAxisAngleToEuler(direction, angle);
    for (int component = 0; component < 3; ++component) {
        rotation[component] = euler[component];
    }
}

bool KFbxReaderColladaPass::ReadLookAt(xmlNode* nodeElement, KFbxVector4& eye, KFbxVector4& interest,
                                       KFbxVector4& up, KgeMatrix& frame) {
    xmlNode* lookAt = FindChild(nodeElement, "lookat");
    if (lookAt == nullptr) {
        return false;
    }
    const ElementText text(lookAt);
    const char* cursor = text.Get();
    for (KFbxVector4* vector : {&eye, &interest, &up}) {
        for (int component = 0; component < 3; ++component) {
            (*vector)[component] = ParseFloat(cursor);
        }
    }
    up.Normalize();
    frame = ColladaLookAtMatrix(eye, interest, up);
    return true;
}

}  // namespace fbxsdk_2006_11_1
