// The 3DS reader's lights, cameras and look-at targets, one node per
// keyframer node, and the hierarchy by parent names.
#include <fbxfilesdk/formats/KFbxReader3DS.h>

#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <string>
#include <unordered_map>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kTargetSuffix = ".Target";
// The lens of a 3DS camera is this divided by its field of view.
constexpr double kLensTimesFieldOfView = 2400.0;
// 3DS keeps the far range in smaller units than the scene's far plane.
constexpr double kFarPlaneFactor = 10.0;
// Shading of a node whose mesh shows a texture.
constexpr int kTexturedShading = 4;
// A spot light looks down its own -Y axis, not along the node's look-at axis.
const KFbxVector4 kSpotPostTargetRotation(0.0, 0.0, 90.0, 0.0);

// The first record of each name.
template <class Slots>
std::unordered_map<std::string, std::size_t> IndexByName(const Slots& slots) {
    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        if (slots[slot].mRecord != nullptr) {
            index.emplace(reader3ds::NameOf(slots[slot].mRecord->name), slot);
        }
    }
    return index;
}

template <class Slot>
Slot* FindByName(std::vector<Slot>& slots, const std::unordered_map<std::string, std::size_t>& index,
                 const std::string& name) {
    const auto found = index.find(name);
    return found != index.end() ? &slots[found->second] : nullptr;
}

bool ShowsTexture(const KFbxMesh& mesh) {
    const KFbxLayer* layer = mesh.GetLayer(0);
    return layer != nullptr && layer->GetTextures() != nullptr && layer->GetTextures()->GetDirectArray().GetCount() > 0;
}

}  // namespace

// ---- attributes -------------------------------------------------------------

void KFbxReader3DS::SetupOmniLight(KFbxLight& light) { light.SetLightType(KFbxLight::ePOINT); }

void KFbxReader3DS::SetupSpotLight(KFbxLight& light, const light3ds& record) {
    light.SetLightType(KFbxLight::eSPOT);
    if (record.spot != nullptr && record.spot->projector != 0 && record.spot->projectorname != nullptr) {
        light.SetFileName(record.spot->projectorname);
    }
}

void KFbxReader3DS::SetupCamera(KFbxCamera& camera, const camera3ds& record) {
    camera.SetNearPlane(record.nearrange * mScale);
    camera.SetFarPlane(record.farrange * mScale * kFarPlaneFactor);
    if (record.fov != 0.0f) {
        camera.SetDefaultFocalLength(kLensTimesFieldOfView / record.fov);
    }
    camera.SetApertureMode(KFbxCamera::eHORIZONTAL);
    camera.SetDefaultBackgroundColor(mBackgroundColor);
}

bool KFbxReader3DS::CreateLightAndCameraAttributes() {
    for (OmniSlot& slot : mOmniLights) {
        slot.mLight = KFbxLight::Create(&mManager, "");
        if (slot.mLight != nullptr) {
            SetupOmniLight(*slot.mLight);
        }
    }
    for (SpotSlot& slot : mSpotLights) {
        slot.mLight = KFbxLight::Create(&mManager, "");
        if (slot.mLight != nullptr && slot.mRecord != nullptr) {
            SetupSpotLight(*slot.mLight, *slot.mRecord);
        }
        slot.mTarget = KFbxMarker::Create(&mManager, "");
    }
    for (CameraSlot& slot : mCameras) {
        slot.mCamera = KFbxCamera::Create(&mManager, "");
        if (slot.mCamera != nullptr && slot.mRecord != nullptr) {
            SetupCamera(*slot.mCamera, *slot.mRecord);
        }
        slot.mTarget = KFbxMarker::Create(&mManager, "");
    }
    return true;
}

bool KFbxReader3DS::CreateNodeAttributes() { return CreateMeshAttributes() && CreateLightAndCameraAttributes(); }

// ---- nodes ------------------------------------------------------------------

KFbxNode* KFbxReader3DS::CreateNode(const std::string& name, KFbxNodeAttribute* attribute) {
    KFbxNode* node = KFbxNode::Create(&mManager, name.c_str());
    if (node == nullptr) {
        return nullptr;
    }
    // The keyframer places a node by its keys times its parent's whole
    // transform, the parent's scaling included along whatever axes the
    // node turns to.
    node->SetTransformInheritType(KFbxNode::eINHERIT_RSrs);
    if (attribute != nullptr) {
        node->SetNodeAttribute(attribute);
    }
    mNodesByName.emplace(name, node);
    return node;
}

void KFbxReader3DS::MovePivot(MeshSlot& slot, const point3ds& pivot) {
    // Instances share their mesh: it moves once, for all of them.
    if (slot.mPivotApplied || slot.mMesh == nullptr) {
        return;
    }
    slot.mPivotApplied = true;
    const double scale = LengthScale();
    const double offset[4] = {pivot.x * scale, pivot.z * scale, -pivot.y * scale, 0.0};
    KFbxVector4* points = slot.mMesh->GetControlPoints();
    const int count = points != nullptr ? slot.mMesh->GetControlPointsCount() : 0;
    for (int point = 0; point < count; ++point) {
        double* coordinates = points[point];
        for (int axis = 0; axis < 4; ++axis) {
            coordinates[axis] -= offset[axis];
        }
    }
}

template <class Motion, class Source, class Attribute>
void KFbxReader3DS::CreateTargetedNodes(std::vector<Motion>& motions, std::vector<Source>& sources, bool use,
                                        Attribute* Source::*attribute) {
    const auto index = IndexByName(sources);
    for (Motion& motion : motions) {
        const std::string name = reader3ds::NameOf(motion.mRecord->name);
        Source* source = use ? FindByName(sources, index, name) : nullptr;
        motion.mSource = source != nullptr ? source->mRecord.get() : nullptr;
        motion.mNode = CreateNode(name, source != nullptr ? source->*attribute : nullptr);
        motion.mTargetNode = CreateNode(name + kTargetSuffix, source != nullptr ? source->mTarget : nullptr);
    }
}

bool KFbxReader3DS::CreateNodes() {
    const auto meshes = IndexByName(mMeshes);
    for (ObjectMotionSlot& motion : mObjectMotions) {
        const kfmesh3ds* record = motion.mRecord.get();
        if (record == nullptr) {
            continue;
        }
        const std::string name = reader3ds::NameOf(record->name);
        const std::string instance = reader3ds::NameOf(record->instance);
        const std::string nodeName = instance.empty() ? name : name + "." + instance;
        MeshSlot* mesh = mFlags.mMesh ? FindByName(mMeshes, meshes, name) : nullptr;
        if (mesh == nullptr || mesh->mMesh == nullptr) {
            motion.mNode = CreateNode(nodeName, nullptr);
            continue;
        }
        MovePivot(*mesh, record->pivot);
        motion.mMesh = mesh->mRecord.get();
        motion.mNode = CreateNode(nodeName, mesh->mMesh);
        if (motion.mNode != nullptr && ShowsTexture(*mesh->mMesh)) {
            motion.mNode->SetShading(kTexturedShading);
        }
    }
    const auto omniLights = IndexByName(mOmniLights);
    for (OmniMotionSlot& motion : mOmniMotions) {
        const std::string name = reader3ds::NameOf(motion.mRecord->name);
        OmniSlot* light = mFlags.mLight ? FindByName(mOmniLights, omniLights, name) : nullptr;
        motion.mSource = light != nullptr ? light->mRecord.get() : nullptr;
        motion.mNode = CreateNode(name, light != nullptr ? light->mLight : nullptr);
    }
    CreateTargetedNodes(mSpotMotions, mSpotLights, mFlags.mLight, &SpotSlot::mLight);
    CreateTargetedNodes(mCameraMotions, mCameras, mFlags.mCamera, &CameraSlot::mCamera);
    return true;
}

// ---- hierarchy --------------------------------------------------------------

KFbxNode* KFbxReader3DS::DefaultParent() const {
    return mReferenceNode != nullptr ? mReferenceNode : mScene->GetRootNode();
}

bool KFbxReader3DS::AttachToParent(KFbxNode* node, const std::string& parentName) {
    // Parents are looked for among this file's nodes only: a node of the same
    // name elsewhere in the manager may belong to another scene.
    const auto found = mNodesByName.find(parentName);
    return found != mNodesByName.end() && found->second->AddChild(node);
}

void KFbxReader3DS::AttachOrDefault(KFbxNode* node, const std::string& parentName) {
    if (node == nullptr) {
        return;
    }
    if (!parentName.empty() && AttachToParent(node, parentName)) {
        return;
    }
    DefaultParent()->AddChild(node);
}

void KFbxReader3DS::AttachTarget(KFbxNode* node, KFbxNode* target, const std::string& parentName,
                                 const std::string& targetParentName) {
    if (target == nullptr) {
        return;
    }
    // A target without a parent of its own follows the one it is the
    // target of.
    const bool own = !targetParentName.empty();
    if (own ? !AttachToParent(target, targetParentName) : parentName.empty() || !AttachToParent(target, parentName)) {
        DefaultParent()->AddChild(target);
    }
    if (node != nullptr) {
        node->SetTarget(target);
    }
}

bool KFbxReader3DS::BuildObjectHierarchy(KFbxScene& /*scene*/) {
    for (ObjectMotionSlot& motion : mObjectMotions) {
        AttachOrDefault(motion.mNode, reader3ds::NameOf(motion.mRecord->parent));
    }
    return true;
}

bool KFbxReader3DS::BuildOmniHierarchy(KFbxScene& /*scene*/) {
    for (OmniMotionSlot& motion : mOmniMotions) {
        AttachOrDefault(motion.mNode, reader3ds::NameOf(motion.mRecord->parent));
    }
    return true;
}

template <class Motion>
void KFbxReader3DS::AttachWithTargets(std::vector<Motion>& motions) {
    for (Motion& motion : motions) {
        const std::string parent = reader3ds::NameOf(motion.mRecord->parent);
        AttachOrDefault(motion.mNode, parent);
        AttachTarget(motion.mNode, motion.mTargetNode, parent, reader3ds::NameOf(motion.mRecord->targetparent));
    }
}

bool KFbxReader3DS::BuildSpotHierarchy(KFbxScene& /*scene*/) {
    AttachWithTargets(mSpotMotions);
    for (SpotMotionSlot& motion : mSpotMotions) {
        if (motion.mNode != nullptr) {
            motion.mNode->SetPostTargetRotation(kSpotPostTargetRotation);
        }
    }
    return true;
}

bool KFbxReader3DS::BuildCameraHierarchy(KFbxScene& /*scene*/) {
    AttachWithTargets(mCameraMotions);
    return true;
}

}  // namespace fbxsdk_2006_11_1
