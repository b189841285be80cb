// The node elements of the visual scene: id and name, the transform (one
// matrix, or the translate / rotate / scale sequence of the pivot model),
// the "-Pivot" child node of the geometric transform and the instance of the
// node's attribute.
#include <fbxfilesdk/collada/KFbxWriterCollada.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/collada/ColladaNodeDepth.h>
#include <fbxfilesdk/collada/ColladaTransformMath.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlWrite.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

using namespace ColladaXml;

constexpr double kZero = 1e-6;

// "x y z" with "%f" each.
KString VectorText(const KFbxVector4& vector) {
    std::string text;
    AppendNumber(text, vector[0]);
    text += ' ';
    AppendNumber(text, vector[1]);
    text += ' ';
    AppendNumber(text, vector[2]);
    return KString(text.c_str());
}

// "1 0 0 45.000000" and the like.
KString RotationText(int axis, double degrees) {
    static const char* const kAxes[3] = {"1 0 0 ", "0 1 0 ", "0 0 1 "};
    return KString(kAxes[axis]) + FormatNumber(degrees);
}

// Without a sid when sid is null.
void AddTransformElement(xmlNode* nodeElement, const char* name, const char* sid, const KString& text) {
    xmlNode* element = AddElement(nodeElement, name, text.Buffer());
    if (sid != nullptr) {
        SetAttribute(element, "sid", sid);
    }
}

// Non-finite components become 0; changed tells whether there were any.
KFbxVector4 Finite(const KFbxVector4& vector, bool& changed) {
    KFbxVector4 result = vector;
    for (int axis = 0; axis < 3; ++axis) {
        if (!std::isfinite(result[axis])) {
            result[axis] = 0.0;
            changed = true;
        }
    }
    return result;
}

bool HasKeys(KFCurve* curve) { return curve != nullptr && curve->KeyGetCount() > 0; }

// The geometric transform that a node's "-Pivot" node carries; values that
// are not finite read as 0, and mNotFinite tells whether there were any.
struct GeometricTransform {
    KFbxVector4 mTranslation;
    KFbxVector4 mRotation;
    KFbxVector4 mScaling;
    bool mNotFinite = false;

    explicit GeometricTransform(const KFbxNode& node) {
        node.GetGeometricTranslation(KFbxNode::eSOURCE_SET, mTranslation);
        node.GetGeometricRotation(KFbxNode::eSOURCE_SET, mRotation);
        node.GetGeometricScaling(KFbxNode::eSOURCE_SET, mScaling);
        mTranslation = Finite(mTranslation, mNotFinite);
        mRotation = Finite(mRotation, mNotFinite);
        mScaling = Finite(mScaling, mNotFinite);
    }
    bool HasScale() const { return KFbxWriterCollada::IsVectorNotEqual(mScaling, 1.0); }
    // Whether the node is written with a "-Pivot" node.
    bool NeedsPivotNode() const {
        return KFbxWriterCollada::IsVectorNotZero(mTranslation) || KFbxWriterCollada::IsVectorNotZero(mRotation) ||
               HasScale();
    }
};

KgeMatrix EvaluateGlobal(KFbxNode& node, const KTime* time) {
    return time != nullptr ? node.EvaluateGlobalTransform(*time, KFbxNode::eSOURCE_SET)
                           : node.EvaluateDefaultGlobalTransform(KFbxNode::eSOURCE_SET);
}

}  // namespace

bool KFbxWriterCollada::IsNotZero(double value) { return !(std::fabs(value) < kZero); }

KFCurve* KFbxWriterCollada::GetRollCurve(KFbxNode& node) {
    KFbxTakeNode* take = node.GetCurrentTakeNode();
    KFCurve* curve = take != nullptr && dynamic_cast<const KFbxCamera*>(node.GetNodeAttribute()) != nullptr
                         ? take->GetCameraRoll()
                         : nullptr;
    return HasKeys(curve) ? curve : nullptr;
}

double KFbxWriterCollada::GetRoll(KFbxNode& node, const KTime* time) {
    const auto* camera = dynamic_cast<const KFbxCamera*>(node.GetNodeAttribute());
    if (camera == nullptr) {
        return 0.0;
    }
    const KFCurve* curve = time != nullptr ? GetRollCurve(node) : nullptr;
    const double roll = curve != nullptr ? curve->Evaluate(*time) : camera->GetDefaultRoll();
    return std::isfinite(roll) ? roll : 0.0;
}

bool KFbxWriterCollada::IsVectorNotZero(const KFbxVector4& vector) {
    return IsNotZero(vector[0]) || IsNotZero(vector[1]) || IsNotZero(vector[2]);
}

bool KFbxWriterCollada::IsVectorNotEqual(const KFbxVector4& vector, double value) {
    return IsNotZero(vector[0] - value) || IsNotZero(vector[1] - value) || IsNotZero(vector[2] - value);
}

bool KFbxWriterCollada::IsTranslationAnimated(KFbxNode& node) {
    KFbxTakeNode* take = node.GetCurrentTakeNode();
    return take != nullptr &&
           (HasKeys(take->GetTranslationX()) || HasKeys(take->GetTranslationY()) || HasKeys(take->GetTranslationZ()));
}

bool KFbxWriterCollada::IsRotationAnimated(KFbxNode& node) {
    return IsRotationAxisAnimated(node, 0) || IsRotationAxisAnimated(node, 1) || IsRotationAxisAnimated(node, 2);
}

bool KFbxWriterCollada::IsRotationAxisAnimated(KFbxNode& node, int axis) {
    KFbxTakeNode* take = node.GetCurrentTakeNode();
    if (take == nullptr) {
        return false;
    }
    KFCurve* curve = axis == 0   ? take->GetEulerRotationX()
                     : axis == 1 ? take->GetEulerRotationY()
                                 : take->GetEulerRotationZ();
    return HasKeys(curve);
}

bool KFbxWriterCollada::IsScalingAnimated(KFbxNode& node) {
    KFbxTakeNode* take = node.GetCurrentTakeNode();
    return take != nullptr && (HasKeys(take->GetScaleX()) || HasKeys(take->GetScaleY()) || HasKeys(take->GetScaleZ()));
}

int KFbxWriterCollada::GetClusterCount(const KFbxGeometry* geometry) {
    if (geometry == nullptr) {
        return 0;
    }
    auto* mutableGeometry = const_cast<KFbxGeometry*>(geometry);
    int clusters = 0;
    for (int index = 0; index < mutableGeometry->GetSrcDeformerCount(); ++index) {
        if (const auto* skin = dynamic_cast<const KFbxSkin*>(mutableGeometry->GetDeformer(index, KFbxDeformer::eSKIN))) {
            clusters += skin->GetClusterCount();
        }
    }
    return clusters;
}

xmlNode* KFbxWriterCollada::ExportNode(xmlNode* parent, KFbxNode& node) {
    xmlNode* element = AddElement(parent, "node");
    if (element == nullptr) {
        return nullptr;
    }
    const KString& id = GetNodeId(node);
    SetAttribute(element, "id", id.Buffer());
    SetAttribute(element, "name", id.Buffer());
    if (!ExportTransform(element, node)) {
        SetFailed();
        return element;
    }
    xmlNode* holder = ExportPivotNode(element, node);
    if (holder == nullptr) {
        SetFailed();
        return element;
    }
    if (!ExportNodeAttribute(holder, node)) {
        SetFailed();
    }
    return element;
}

bool KFbxWriterCollada::CheckNodeDepth(const KFbxNode& root) {
    // Walked with a list of its own: a scene too deep to write may be too
    // deep for the stack as well. The root is the visual scene itself.
    std::vector<std::pair<const KFbxNode*, int>> pending{{&root, 0}};
    int deepest = 0;
    const KFbxNode* deepestNode = nullptr;
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        const int written = level > 0 && GeometricTransform(*node).NeedsPivotNode() ? level + 1 : level;
        if (written > deepest) {
            deepest = written;
            deepestNode = node;
        }
        for (int index = 0; index < node->GetChildCount(); ++index) {
            if (KFbxNode* child = node->GetChild(index)) {
                pending.emplace_back(child, level + 1);
            }
        }
    }
    if (deepest <= kColladaMaxNodeDepth) {
        return true;
    }
    const KString message = KString("Nodes nested ") + deepest + " levels deep (down to node " +
                            deepestNode->GetNameString() + ") cannot be written: the COLLADA reader reads nodes " +
                            "nested at most " + kColladaMaxNodeDepth + " levels deep. Nothing was written to " +
                            mFileName + ".";
    mError.SetErrorWithText(eUNIDENTIFIED_ERROR, message.Buffer());
    AddNotificationError(message);
    return false;
}

xmlNode* KFbxWriterCollada::ExportPivotNode(xmlNode* nodeElement, KFbxNode& node) {
    const GeometricTransform geometric(node);
    if (geometric.mNotFinite) {
        WarnNotFiniteTransform(node);
    }
    if (!geometric.NeedsPivotNode()) {
        return nodeElement;
    }
    xmlNode* pivot = AddElement(nodeElement, "node");
    if (pivot == nullptr) {
        return nullptr;
    }
    const KString& id = mIds.Get(&node, "-Pivot", GetNodeId(node) + "-Pivot");
    SetAttribute(pivot, "id", id.Buffer());
    SetAttribute(pivot, "name", id.Buffer());
    AddElement(pivot, "translate", VectorText(geometric.mTranslation).Buffer());
    // The three Euler rotations as one rotation about an axis: q = qz qy qx.
    KFbxVector4 axis;
    double degrees = 0.0;
    ColladaQuaternionToAxisAngle(ColladaEulerToQuaternion(geometric.mRotation), axis, degrees);
    AddElement(pivot, "rotate", (VectorText(axis) + " " + FormatNumber(degrees)).Buffer());
    if (geometric.HasScale()) {
        AddElement(pivot, "scale", VectorText(geometric.mScaling).Buffer());
    }
    return pivot;
}

bool KFbxWriterCollada::ExportNodeAttribute(xmlNode* holder, KFbxNode& node) {
    KFbxNodeAttribute* attribute = node.GetNodeAttribute();
    if (attribute == nullptr) {
        return true;
    }
    const KString name = node.GetNameString();
    const KString lost = KString("Node ") + name + " will lose its geometric information." +
                         " The node transforms will be saved.";
    switch (attribute->GetAttributeType()) {
    case KFbxNodeAttribute::eNULL:
        AddNotificationWarning(KString("Null not supported by COLLADA. ") + lost);
        return true;
    case KFbxNodeAttribute::eMARKER:
        AddNotificationWarning(KString("Marker not supported by COLLADA. ") + lost);
        return true;
    case KFbxNodeAttribute::eCAMERA_SWITCHER:
        AddNotificationWarning(KString("Camera switcher not supported by COLLADA. ") + lost);
        return true;
    case KFbxNodeAttribute::eLIGHT: {
        // A light no reader could draw costs the document nothing else: the
        // node stays with its transform and children.
        const auto* kind = dynamic_cast<const KFbxLight*>(attribute);
        if (kind != nullptr && GetColladaLightType(kind->GetLightType()) == nullptr) {
            AddNotificationWarning(KString("Light ") + name + " is of unknown type " + kind->GetLightType() +
                                   "; it is left out. The node transforms will be saved.");
            return true;
        }
        // The light's own element is written with the cameras and lights;
        // the node only refers to it.
        xmlNode* light = ExportLibraryLights(node);
        if (light == nullptr) {
            return false;
        }
        SetAttribute(AddElement(holder, "instance_light"), "url", (KString("#") + GetAttribute(light, "id")).Buffer());
        return true;
    }
    case KFbxNodeAttribute::eCAMERA: {
        xmlNode* camera = ExportLibraryCameras(node);
        if (camera == nullptr) {
            return false;
        }
        SetAttribute(AddElement(holder, "instance_camera"), "url",
                     (KString("#") + GetAttribute(camera, "id")).Buffer());
        return true;
    }
    case KFbxNodeAttribute::eSKELETON:
        SetAttribute(holder, "type", "JOINT");
        return true;
    case KFbxNodeAttribute::eMESH:
        break;
    case KFbxNodeAttribute::eNURB:
    case KFbxNodeAttribute::ePATCH:
        AddNotificationWarning(KString("Nurbs and Patches not supported by COLLADA. ") + "Node " + name +
                               " will be triangulated.");
        break;
    default:
        AddNotificationWarning(KString("Unknown geometry. ") + lost);
        return true;
    }

    KFbxMesh* mesh = attribute->GetAttributeType() == KFbxNodeAttribute::eMESH ? static_cast<KFbxMesh*>(attribute)
                                                                                : TriangulatedCopy(*attribute);
    if (mesh == nullptr) {
        AddNotificationWarning(KString("Node ") + name + " could not be triangulated. " + lost);
        return true;
    }
    xmlNode* geometry = ExportGeometry(node, *mesh);
    if (geometry == nullptr) {
        return false;
    }
    // A skin over a morph names the morph as its source, so the skin is the
    // one to instance.
    const KString* controller = mIds.Find(&node, "Controller");
    if (controller == nullptr) {
        controller = mIds.Find(&node, "-lib-morph");
    }
    xmlNode* instance = nullptr;
    if (controller != nullptr) {
        instance = AddElement(holder, "instance_controller");
        SetAttribute(instance, "url", (KString("#") + *controller).Buffer());
    } else {
        instance = AddElement(holder, "instance_geometry");
        SetAttribute(instance, "url", (KString("#") + GetAttribute(geometry, "id")).Buffer());
    }
    ExportMaterialBinding(instance, node);
    return true;
}

KFbxMesh* KFbxWriterCollada::TriangulatedCopy(const KFbxNodeAttribute& surface) {
    // The surface is copied onto a node of the writer's own, which the
    // converter triangulates; the scene's surface is never touched. Both
    // live until the write ends, since shapes and textures of the mesh are
    // written after the scene.
    KFbxNodeAttribute* copy = surface.Clone(2);
    KFbxNode* holder = copy != nullptr ? KFbxNode::Create(&mManager, surface.GetName()) : nullptr;
    if (holder == nullptr) {
        if (copy != nullptr) {
            copy->Destroy();
        }
        return nullptr;
    }
    holder->SetNodeAttribute(copy);
    mTemporaryNodes.emplace_back(holder);
    KFbxGeometryConverter* converter = KFbxGeometryConverter::Create(&mManager, "");
    const bool converted = converter != nullptr && converter->TriangulateInPlace(holder);
    if (converter != nullptr) {
        converter->Destroy(false, false);
    }
    return converted ? dynamic_cast<KFbxMesh*>(holder->GetMesh()) : nullptr;
}

void KFbxWriterCollada::ExportMaterialBinding(xmlNode* instance, const KFbxNode& node) {
    // The symbols are the ones the mesh's polygon groups carry: every
    // material group written gets one instance_material.
    const auto found = mMaterialSymbols.find(&node);
    if (found == mMaterialSymbols.end() || found->second.empty()) {
        return;
    }
    xmlNode* common = AddElement(AddElement(instance, "bind_material"), "technique_common");
    for (const KString& symbol : found->second) {
        xmlNode* binding = AddElement(common, "instance_material");
        SetAttribute(binding, "symbol", symbol.Buffer());
        SetAttribute(binding, "target", (KString("#") + symbol).Buffer());
    }
}

bool KFbxWriterCollada::ExportTransform(xmlNode* nodeElement, KFbxNode& node) {
    // A skinned mesh is placed by its skin's bind shape matrix; the node's
    // transform is still written, since the node's children hang from it.
    // An aimed node turns by what no element sequence of its own says, and
    // a child of an aimed node or of a turn that changes would need its
    // leading undoing of that turn to change too: each is one matrix. So is
    // a camera whose roll changes under children, since a reader that takes
    // the roll channel back as the camera's own could not take it out of
    // theirs.
    KFbxNode* parent = node.GetParent();
    if (mSingleMatrix || IsAimed(node) || (GetRollCurve(node) != nullptr && node.GetChildCount() > 0) ||
        (parent != nullptr && (IsAimed(*parent) || IsTurnAnimated(*parent)))) {
        if (!mSingleMatrix) {
            mMatrixNodes.insert(&node);
        }
        ExportSingleMatrix(nodeElement, node);
        return true;
    }
    bool notFinite = false;
    KFbxVector4 translation;
    KFbxVector4 rotation;
    KFbxVector4 scaling;
    node.GetLclTranslation(translation);
    node.GetLclRotation(rotation);
    node.GetLclScaling(scaling);
    translation = Finite(translation, notFinite);
    rotation = Finite(rotation, notFinite);
    scaling = Finite(scaling, notFinite);
    const KFbxVector4 rotationOffset = Finite(node.GetRotationOffset(KFbxNode::eSOURCE_SET), notFinite);
    const KFbxVector4 rotationPivot = Finite(node.GetRotationPivot(KFbxNode::eSOURCE_SET), notFinite);
    const KFbxVector4 scalingOffset = Finite(node.GetScalingOffset(KFbxNode::eSOURCE_SET), notFinite);
    const KFbxVector4 scalingPivot = Finite(node.GetScalingPivot(KFbxNode::eSOURCE_SET), notFinite);
    // The rotation order and the pre- and post-rotations place the node only
    // while its rotation is active and not kept for limits alone; otherwise
    // the scene turns it by XYZ angles, and so does the document.
    const bool fullRotation = node.GetRotationActive() && !node.GetRotationSpaceForLimitOnly(KFbxNode::eSOURCE_SET);
    KFbxVector4 preRotation(0.0, 0.0, 0.0, 0.0);
    KFbxVector4 postRotation(0.0, 0.0, 0.0, 0.0);
    KFbxNode::ERotationOrder order = KFbxNode::eEULER_XYZ;
    if (fullRotation) {
        preRotation = Finite(node.GetPreRotation(KFbxNode::eSOURCE_SET), notFinite);
        postRotation = Finite(node.GetPostRotation(KFbxNode::eSOURCE_SET), notFinite);
        node.GetRotationOrder(KFbxNode::eSOURCE_SET, order);
    }
    if (notFinite) {
        WarnNotFiniteTransform(node);
    }
    const KFbxVector4 fix = GetOrientationFix(node);
    for (int axis = 0; axis < 3; ++axis) {
        postRotation[axis] += fix[axis];
    }

    // The elements, each with the matrix a reader composes from it.
    struct Element {
        const char* mName;
        const char* mSid;
        KString mText;
        KgeMatrix mMatrix;
    };
    std::vector<Element> elements;
    const auto translate = [&elements](const char* sid, const KFbxVector4& value) {
        KgeMatrix matrix;
        matrix.SetT(value);
        elements.push_back(Element{"translate", sid, VectorText(value), matrix});
    };
    const auto rotate = [&elements](const char* sid, int axis, double degrees) {
        KFbxVector4 angles(0.0, 0.0, 0.0, 0.0);
        angles[axis] = degrees;
        KgeMatrix matrix;
        matrix.SetROnly(angles);
        elements.push_back(Element{"rotate", sid, RotationText(axis, degrees), matrix});
    };
    // The parent's own turn is undone first, so that the node stands where
    // the scene has it whatever the parent's element turned by.
    if (parent != nullptr) {
        const KgeMatrix parentTurn = GetOwnTurn(*parent);
        if (parentTurn != KgeMatrix()) {
            KFbxVector4 axis;
            double degrees = 0.0;
            ColladaRotationToAxisAngle(parentTurn.GetInverseOrthogonal(), axis, degrees);
            elements.push_back(Element{"rotate", nullptr, VectorText(axis) + " " + FormatNumber(degrees),
                                       ColladaAxisAngleMatrix(axis, degrees)});
        }
    }
    if (IsVectorNotZero(translation) || IsTranslationAnimated(node)) {
        translate("translate", translation);
    }
    if (IsVectorNotZero(rotationOffset)) {
        translate("rotatePivotTranslation", rotationOffset);
    }
    if (IsVectorNotZero(rotationPivot)) {
        translate("rotatePivot", rotationPivot);
    }
    static const char* const kJointOrient[3] = {"jointOrientX", "jointOrientY", "jointOrientZ"};
    static const char* const kRotate[3] = {"rotateX", "rotateY", "rotateZ"};
    static const char* const kPostRotation[3] = {"post-rotationX", "post-rotationY", "post-rotationZ"};
    for (int axis = 2; axis >= 0; --axis) {
        if (IsNotZero(preRotation[axis])) {
            rotate(kJointOrient[axis], axis, preRotation[axis]);
        }
    }
    // COLLADA applies the last listed rotation first: the order's first
    // axis comes last.
    int axes[3] = {2, 1, 0};
    ColladaAxesOfRotationOrder(order, axes);
    for (const int axis : axes) {
        if (IsNotZero(rotation[axis]) || IsRotationAxisAnimated(node, axis)) {
            rotate(kRotate[axis], axis, rotation[axis]);
        }
    }
    // A camera's roll turns it about its line of sight (the scene's X),
    // which COLLADA's cameras do not know: it is a turn of the node, after
    // the orientation fix has taken the view onto that line.
    const double roll = GetRoll(node);
    if (IsNotZero(roll) || GetRollCurve(node) != nullptr) {
        rotate("roll", 0, roll);
    }
    // The scene turns a node by the inverse of its post-rotation, and a
    // document's elements are composed as they stand: the inverse is written,
    // its axes in reverse order with their angles negated.
    for (int axis = 0; axis < 3; ++axis) {
        if (IsNotZero(postRotation[axis])) {
            rotate(kPostRotation[axis], axis, -postRotation[axis]);
        }
    }
    if (IsVectorNotZero(rotationPivot)) {
        translate("rotatePivotInverse", KFbxVector4(-rotationPivot[0], -rotationPivot[1], -rotationPivot[2], 0.0));
    }
    if (IsVectorNotZero(scalingOffset)) {
        translate("scalePivotTranslation", scalingOffset);
    }
    if (IsVectorNotZero(scalingPivot)) {
        translate("scalePivot", scalingPivot);
    }
    if (IsVectorNotEqual(scaling, 1.0) || IsScalingAnimated(node)) {
        KgeMatrix matrix;
        matrix.SetS(scaling);
        elements.push_back(Element{"scale", "scale", VectorText(scaling), matrix});
    }
    if (IsVectorNotZero(scalingPivot)) {
        translate("scalePivotInverse", KFbxVector4(-scalingPivot[0], -scalingPivot[1], -scalingPivot[2], 0.0));
    }

    // A reader composes the elements under the parent's matrix. Where the
    // scene inherits otherwise (a parent's scaling is not carried through
    // the node's rotation, by default), no such sequence gives the node its
    // place: the node is written as the one matrix that does.
    KgeMatrix composed;
    for (const Element& element : elements) {
        composed = composed.GetProduct(element.mMatrix);
    }
    if (!notFinite && !ColladaNearlySameTransform(composed, GetLocalMatrix(node))) {
        mMatrixNodes.insert(&node);
        ExportSingleMatrix(nodeElement, node);
        return true;
    }
    for (const Element& element : elements) {
        AddTransformElement(nodeElement, element.mName, element.mSid, element.mText);
    }
    return true;
}

void KFbxWriterCollada::WarnNotFiniteTransform(const KFbxNode& node) {
    AddNotificationWarning(KString("Node ") + node.GetNameString() +
                           " has transform values that are not finite numbers; they are written as 0.");
}

void KFbxWriterCollada::ExportSingleMatrix(xmlNode* nodeElement, KFbxNode& node) {
    KgeMatrix local = GetLocalMatrix(node);
    bool notFinite = false;
    for (int row = 0; row < 4; ++row) {
        const KFbxVector4 finite = Finite(KFbxVector4(local[row][0], local[row][1], local[row][2], 0.0), notFinite);
        for (int column = 0; column < 3; ++column) {
            local[row][column] = finite[column];
        }
    }
    if (notFinite) {
        WarnNotFiniteTransform(node);
    }
    // An animated transform needs the element its sampled matrices target.
    if (local != KgeMatrix() || IsSampled(node)) {
        AddTransformElement(nodeElement, "matrix", "matrix", FormatMatrix(local));
    }
}

KgeMatrix KFbxWriterCollada::GetLocalMatrix(KFbxNode& node, const KTime* time) {
    const KgeMatrix global = EvaluateGlobal(node, time);
    KgeMatrix local = global;
    KFbxNode* parent = node.GetParent();
    if (parent != nullptr) {
        // A full affine inverse: the parent may be scaled.
        local = ColladaAffineInverse(EvaluateGlobal(*parent, time)).GetProduct(global);
    }
    // The own turn first (A.GetProduct(B) is B then A), the parent's undone last.
    local = local.GetProduct(GetOwnTurn(node, time));
    if (parent != nullptr) {
        local = GetOwnTurn(*parent, time).GetInverseOrthogonal().GetProduct(local);
    }
    return local;
}

KgeMatrix KFbxWriterCollada::GetOwnTurn(KFbxNode& node, const KTime* time) {
    KgeMatrix turn;
    const KFbxVector4 fix = GetOrientationFix(node);
    if (!IsVectorNotZero(fix)) {
        return turn;
    }
    // The fix as a post-rotation, which the scene applies inverted: COLLADA's
    // view down -Z onto the scene's (a camera's X, a light's -Y).
    turn.SetROnly(KFbxVector4(-fix[0], -fix[1], -fix[2], 0.0));
    // A camera's roll turns it about its line of sight (the scene's X),
    // which COLLADA's cameras do not know.
    if (const double roll = GetRoll(node, time); IsNotZero(roll)) {
        KgeMatrix about;
        about.SetROnly(KFbxVector4(roll, 0.0, 0.0, 0.0));
        turn = about.GetProduct(turn);
    }
    KFbxNode* target = node.GetTarget();
    if (target == nullptr) {
        return turn;
    }
    // A node with a target looks along its X at the target, its Y towards
    // the up node or, without one, along a camera's up vector (the scene's
    // Y for a light), after its post-target rotation and its roll: the
    // rotation it takes in place of its own.
    const KgeMatrix global = EvaluateGlobal(node, time);
    const KFbxVector4 eye = global.GetT();
    KFbxVector4 up(0.0, 1.0, 0.0, 0.0);
    if (KFbxNode* upNode = node.GetTargetUp()) {
        up = EvaluateGlobal(*upNode, time).GetT() - eye;
    } else if (const auto* camera = dynamic_cast<const KFbxCamera*>(node.GetNodeAttribute())) {
        up = camera->GetUpVector();
    }
    const KFbxVector4 interest = EvaluateGlobal(*target, time).GetT();
    // Rows: side, up and back (from the interest to the eye).
    const KgeMatrix frame = ColladaLookAtMatrix(eye, interest, up);
    KFbxVector4 view = interest - eye;
    view.Normalize();
    if (!(std::fabs(frame[2][0] + view[0]) + std::fabs(frame[2][1] + view[1]) + std::fabs(frame[2][2] + view[2]) <=
          kZero)) {
        // No direction to look in, or no up across it: the node keeps its own.
        return turn;
    }
    KgeMatrix aim;
    for (int column = 0; column < 3; ++column) {
        aim[0][column] = -frame[2][column];
        aim[1][column] = frame[1][column];
        aim[2][column] = frame[0][column];
    }
    KgeMatrix postTarget;
    postTarget.SetROnly(node.GetPostTargetRotation());
    // turn, then the post-target rotation, the aim, and the node's own
    // rotation undone.
    return ColladaRotationPart(global).GetInverseOrthogonal().GetProduct(aim).GetProduct(postTarget).GetProduct(turn);
}

bool KFbxWriterCollada::IsAimed(const KFbxNode& node) {
    return node.GetTarget() != nullptr && IsVectorNotZero(GetOrientationFix(node));
}

bool KFbxWriterCollada::IsTurnAnimated(KFbxNode& node) {
    if (GetRollCurve(node) != nullptr) {
        return true;
    }
    if (!IsAimed(node)) {
        return false;
    }
    // Whether the node or one of its ancestors has keys on its transform.
    const auto moves = [](KFbxNode* start) {
        for (KFbxNode* at = start; at != nullptr; at = at->GetParent()) {
            if (IsTranslationAnimated(*at) || IsRotationAnimated(*at) || IsScalingAnimated(*at)) {
                return true;
            }
        }
        return false;
    };
    return moves(&node) || moves(node.GetTarget()) || moves(node.GetTargetUp());
}

}  // namespace fbxsdk_2006_11_1
