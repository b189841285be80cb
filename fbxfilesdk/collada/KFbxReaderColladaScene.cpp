// The document's scene: the first instance of a visual scene takes the
// nodes read from it, each made into what a copy of it would be; later
// instances copy them (new nodes, attributes and bind poses, the skins of
// the copies linked to the copied joints; meshes without skin or shapes are
// shared). That scene is handed to the caller's scene once the whole read
// has succeeded.
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KRecycledContainers.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

// The copies of one instantiation found again by what skins and poses
// remember of the template's nodes: the node itself, its name or its sid.
class ColladaCopiedNodes {
public:
    ColladaCopiedNodes(const std::map<KFbxNode*, KFbxNode*>& copies, const std::map<const KFbxNode*, KString>& sids)
        : mCopies(copies) {
        for (const auto& [source, copy] : copies) {
            mByName.emplace(source->GetName(), copy);
            if (auto sid = sids.find(source); sid != sids.end()) {
                mBySid.emplace(sid->second.Buffer(), copy);
            }
        }
    }

    // The copy that stands for the node; the node itself when none does.
    KFbxNode* Resolve(KFbxNode* node) const {
        if (node == nullptr) {
            return nullptr;
        }
        if (auto copy = mCopies.find(node); copy != mCopies.end()) {
            return copy->second;
        }
        if (auto named = mByName.find(node->GetName()); named != mByName.end()) {
            return named->second;
        }
        auto bySid = mBySid.find(node->GetName());
        return bySid != mBySid.end() ? bySid->second : node;
    }

private:
    const std::map<KFbxNode*, KFbxNode*>& mCopies;
    // Made and dropped with every instantiation.
    KRecycledHashMap<std::string, KFbxNode*> mByName;
    KRecycledHashMap<std::string, KFbxNode*> mBySid;
};

bool KFbxReaderColladaPass::ImportScene(xmlNode* sceneElement) {
    for (xmlNode* child : ChildElements(sceneElement)) {
        if (IsNamed(child, "instance_visual_scene")) {
            if (ColladaVisualScene* visualScene = mVisualScenes.Find(GetUrlReference(child).mId)) {
                ++visualScene->mInstances;
            }
        }
    }
    for (xmlNode* child : ChildElements(sceneElement)) {
        if (IsNamed(child, "instance_visual_scene")) {
            const ColladaUrlReference url = GetUrlReference(child);
            ColladaVisualScene* visualScene = mVisualScenes.Find(url.mId);
            if (visualScene == nullptr) {
                return Error(KString("Scene not found: ") + url.mUrl);
            }
            if (!(mStatus = InstantiateVisualScene(*visualScene))) {
                return false;
            }
        } else if (IsNamed(child, "instance_physics_scene")) {
            Warning(KString("structure ") + "instance_physics_scene" + " is not supported.");
        } else if (!IsNamed(child, "extra")) {
            return Error(KString("structure ") + GetName(child) + " unknown");
        }
    }
    return true;
}

bool KFbxReaderColladaPass::InstantiateVisualScene(ColladaVisualScene& visualScene) {
    std::map<KFbxNode*, KFbxNode*> copies;
    // The root of the pass stands for the visual scene's, which holds a new
    // node's values under the scene's inherit type.
    mRoot->SetTransformInheritType(KFbxNode::eINHERIT_RSrs);
    if (!visualScene.mInstantiated) {
        // The first instance takes the nodes themselves, made into what
        // their copies would be; later ones copy them from there.
        visualScene.mInstantiated = true;
        for (KFbxNode* node : visualScene.mNodes) {
            if (!AdoptNodeTree(*node, copies, visualScene.mInstances == 1)) {
                return false;
            }
            mRoot->AddChild(node);
        }
    } else {
        for (KFbxNode* node : visualScene.mNodes) {
            KFbxNode* copy = CopyNodeTree(*node, copies);
            if (copy == nullptr) {
                return false;
            }
            mRoot->AddChild(copy);
        }
    }
    mSceneInstantiated = true;
    PlaceShearedMatrixNodes(copies);
    const ColladaCopiedNodes copied(copies, mNodeSids);
    for (const ColladaBindPose& source : visualScene.mBindPoses) {
        KFbxPose* pose = KFbxPose::Create(&mManager, source.mName.Buffer());
        if (pose == nullptr) {
            return Error(KString("could not copy the bind pose ") + source.mName);
        }
        pose->SetIsBindPose(true);
        // The entries name the joints and meshes of this instance.
        for (const auto& [node, matrix] : source.mEntries) {
            pose->Add(copied.Resolve(node), matrix, false);
        }
        mScenePoses.push_back(pose);
    }
    RelinkClusters(copied, copies);
    return true;
}

KFbxNode* KFbxReaderColladaPass::CopyNodeTree(KFbxNode& source, std::map<KFbxNode*, KFbxNode*>& copies) {
    KFbxNode* copy = KFbxNode::Create(&mManager, source.GetName());
    if (copy == nullptr) {
        Error(KString("could not copy node ") + source.GetName());
        return nullptr;
    }
    if (!CopyNode(*copy, source)) {
        return nullptr;
    }
    copies[&source] = copy;
    for (int index = 0; index < source.GetChildCount(false); ++index) {
        KFbxNode* child = CopyNodeTree(*source.GetChild(index), copies);
        if (child == nullptr) {
            return nullptr;
        }
        copy->AddChild(child);
    }
    return copy;
}

bool KFbxReaderColladaPass::AdoptNodeTree(KFbxNode& node, std::map<KFbxNode*, KFbxNode*>& copies, bool onlyInstance) {
    // A copy takes the node's rotation order and transform values, which the
    // node has; its attribute, which the node may have to trade for a copy;
    // and the inherit type that every node of the scene has.
    if (!AdoptNodeAttribute(node, onlyInstance)) {
        return false;
    }
    node.SetTransformInheritType(KFbxNode::eINHERIT_RSrs);
    copies[&node] = &node;
    for (int index = 0; index < node.GetChildCount(false); ++index) {
        if (!AdoptNodeTree(*node.GetChild(index), copies, onlyInstance)) {
            return false;
        }
    }
    return true;
}

namespace {

// A mesh without skin or shapes is the same in every instance of its
// visual scene, and is shared by them; a skinned mesh is linked to the
// joints of its own instance.
bool IsShareable(const KFbxMesh& mesh) { return mesh.GetDeformerCount() == 0 && mesh.GetShapeCount() == 0; }

}  // namespace

bool KFbxReaderColladaPass::AdoptNodeAttribute(KFbxNode& node, bool onlyInstance) {
    KFbxNodeAttribute* attribute = node.GetNodeAttribute();
    if (attribute == nullptr) {
        return true;
    }
    switch (attribute->GetAttributeType()) {
        case KFbxNodeAttribute::eNULL:
            return true;
        // Made with nothing but what a copy takes over; a copy reads it
        // through the node's channels, which hold single precision: the
        // values are read back the same way.
        case KFbxNodeAttribute::eLIGHT: {
            auto* light = static_cast<KFbxLight*>(attribute);
            CopyLight(*light, *light);
            return true;
        }
        case KFbxNodeAttribute::eCAMERA: {
            auto* camera = static_cast<KFbxCamera*>(attribute);
            CopyCamera(*camera, *camera);
            return true;
        }
        case KFbxNodeAttribute::eSKELETON: {
            // A copy's type counts as set, the default type too.
            auto* skeleton = static_cast<KFbxSkeleton*>(attribute);
            skeleton->SetSkeletonType(skeleton->GetSkeletonType());
            return true;
        }
        case KFbxNodeAttribute::eMESH: {
            auto* mesh = static_cast<KFbxMesh*>(attribute);
            if (IsShareable(*mesh)) {
                mSceneMeshes.emplace(mesh, mesh);
                // As a copy's attach would, the mesh names the last node of
                // the scene that shows it, not one of another visual scene.
                mesh->AttachToNode(&node);
                return true;
            }
            // No later instance copies from it: the node keeps the mesh its
            // copy would be made of, counted as that copy.
            if (onlyInstance) {
                return CountMeshCopy(*mesh);
            }
            break;
        }
        default:
            break;
    }
    // A skinned or morphed mesh is remade for each instance: the node trades
    // its mesh for a copy, and later instances copy the mesh it had.
    mTemplateAttributes.emplace(&node, attribute);
    node.SetNodeAttribute(nullptr);
    return CopyNodeAttribute(node, node);
}

KFbxNodeAttribute* KFbxReaderColladaPass::TemplateAttribute(const KFbxNode& node) const {
    auto traded = mTemplateAttributes.find(&node);
    return traded != mTemplateAttributes.end() ? traded->second : node.GetNodeAttribute();
}

bool KFbxReaderColladaPass::CopyNode(KFbxNode& destination, KFbxNode& source) {
    const bool copied = CopyNodeAttribute(destination, source);
    KFbxNode::ERotationOrder order = KFbxNode::eEULER_XYZ;
    source.GetRotationOrder(KFbxNode::eSOURCE_SET, order);
    destination.SetRotationOrder(KFbxNode::eSOURCE_SET, order);
    destination.SetTransformInheritType(KFbxNode::eINHERIT_RSrs);
    CopyNodeTransform(destination, source);
    return copied;
}

bool KFbxReaderColladaPass::CopyNodeAttribute(KFbxNode& destination, KFbxNode& source) {
    KFbxNodeAttribute* attribute = TemplateAttribute(source);
    if (attribute == nullptr) {
        return true;
    }
    // Each copy joins its node before it takes the values, so that the
    // values that animation channels hold reach the node's channels.
    const auto attach = [&destination](KFbxNodeAttribute* copy) {
        if (copy != nullptr) {
            destination.SetNodeAttribute(copy);
        }
        return copy;
    };
    switch (attribute->GetAttributeType()) {
        case KFbxNodeAttribute::eCAMERA:
            // A camera keeps what it is given before it joins, and its node
            // starts the focal length from that, as for the first instance.
            if (auto* camera = KFbxCamera::Create(&mManager, "")) {
                CopyCamera(*camera, static_cast<const KFbxCamera&>(*attribute));
                attach(camera);
            }
            break;
        case KFbxNodeAttribute::eLIGHT:
            if (auto* light = static_cast<KFbxLight*>(attach(KFbxLight::Create(&mManager, "")))) {
                CopyLight(*light, static_cast<const KFbxLight&>(*attribute));
            }
            break;
        case KFbxNodeAttribute::eMESH: {
            auto& source = static_cast<KFbxMesh&>(*attribute);
            // Shared meshes are counted once, each copy of a skinned one.
            const bool shareable = IsShareable(source);
            if (auto copied = mSceneMeshes.find(&source); shareable && copied != mSceneMeshes.end()) {
                attach(copied->second);
                break;
            }
            if (!CountMeshCopy(source)) {
                return false;
            }
            if (shareable) {
                attach(&source);
                mSceneMeshes.emplace(&source, &source);
            } else if (auto* mesh = static_cast<KFbxMesh*>(attach(KFbxMesh::Create(&mManager, "")))) {
                CopyMesh(*mesh, source);
            }
            break;
        }
        case KFbxNodeAttribute::eNULL:
            attach(KFbxNull::Create(&mManager, ""));
            break;
        case KFbxNodeAttribute::eNURB:
            attach(attribute->Clone(2));
            break;
        case KFbxNodeAttribute::eSKELETON:
            if (auto* skeleton = static_cast<KFbxSkeleton*>(attach(KFbxSkeleton::Create(&mManager, "")))) {
                skeleton->SetSkeletonType(static_cast<const KFbxSkeleton&>(*attribute).GetSkeletonType());
            }
            break;
        default:
            Warning(KString("unknown attribute type found in node ") + source.GetName());
            break;
    }
    return true;
}

void KFbxReaderColladaPass::CopyNodeTransform(KFbxNode& destination, const KFbxNode& source) {
    KFbxVector4 value;
    source.GetLclTranslation(value);
    destination.SetLclTranslation(value);
    source.GetLclRotation(value);
    destination.SetLclRotation(value);
    source.GetLclScaling(value);
    destination.SetLclScaling(value);
    constexpr KFbxNode::EPivotSet kSet = KFbxNode::eSOURCE_SET;
    destination.SetPreRotation(kSet, source.GetPreRotation(kSet));
    destination.SetPostRotation(kSet, source.GetPostRotation(kSet));
    destination.SetRotationPivot(kSet, source.GetRotationPivot(kSet));
    destination.SetScalingPivot(kSet, source.GetScalingPivot(kSet));
    destination.SetRotationOffset(kSet, source.GetRotationOffset(kSet));
    destination.SetScalingOffset(kSet, source.GetScalingOffset(kSet));
    destination.SetRotationActive(source.GetRotationActive());
}

void KFbxReaderColladaPass::RelinkClusters(const ColladaCopiedNodes& copied, const std::map<KFbxNode*, KFbxNode*>& copies) {
    // Links to the template's joints, or to stand-ins of their names or
    // sids, move to the joints of this copy; others stay.
    for (const auto& entry : copies) {
        auto* mesh = dynamic_cast<KFbxMesh*>(entry.second->GetMesh());
        for (int index = 0; mesh != nullptr && index < mesh->GetDeformerCount(KFbxDeformer::eSKIN); ++index) {
            auto* skin = dynamic_cast<KFbxSkin*>(mesh->GetDeformer(index, KFbxDeformer::eSKIN));
            for (int cluster = 0; skin != nullptr && cluster < skin->GetClusterCount(); ++cluster) {
                KFbxCluster* linked = skin->GetCluster(cluster);
                KFbxNode* link = linked != nullptr ? linked->GetLink() : nullptr;
                KFbxNode* joint = copied.Resolve(link);
                if (joint != link) {
                    linked->SetLink(joint);
                }
            }
        }
    }
}

void KFbxReaderColladaPass::ConnectMaterials(KFbxScene& scene) {
    // Node by node: nodes that share a mesh each show its materials.
    std::vector<KFbxNode*> pending{scene.GetRootNode()};
    while (!pending.empty()) {
        KFbxNode* node = pending.back();
        pending.pop_back();
        if (node == nullptr) {
            continue;
        }
        for (int child = 0; child < node->GetChildCount(); ++child) {
            pending.push_back(node->GetChild(child));
        }
        auto* geometry = dynamic_cast<KFbxGeometry*>(node->GetNodeAttribute());
        for (int layer = 0; geometry != nullptr && layer < geometry->GetLayerCount(); ++layer) {
            // The scene owns the textures its layers show, so that they go with it.
            for (int channel = 0; channel < KFbxLayerElement::eLAST_ELEMENT_TYPE; ++channel) {
                const KFbxLayerElementTexture* textures = geometry->GetLayer(layer)->GetTexturesOfChannel(channel);
                for (int entry = 0; textures != nullptr && entry < textures->GetDirectArray().GetCount(); ++entry) {
                    KFbxTexture* texture = textures->GetDirectArray().GetAt(entry);
                    if (texture != nullptr && !scene.IsConnectedSrc(texture)) {
                        scene.ConnectObject(texture);
                    }
                }
            }
            const KFbxLayerElementMaterial* materials = geometry->GetLayer(layer)->GetMaterials();
            if (materials == nullptr || materials->GetReferenceMode() == KFbxLayerElement::eINDEX) {
                continue;
            }
            for (int entry = 0; entry < materials->GetDirectArray().GetCount(); ++entry) {
                KFbxSurfaceMaterial* material = materials->GetDirectArray().GetAt(entry);
                if (material == nullptr) {
                    continue;
                }
                if (!node->IsConnectedSrc(material)) {
                    node->ConnectSrc(material);
                }
                KFbxObject* owner = material->GetScene();
                if (owner != &scene) {
                    if (owner != nullptr) {
                        owner->DisconnectSrc(material);
                    }
                    scene.ConnectObject(material);
                }
            }
        }
    }
}

void KFbxReaderColladaPass::MoveInto(KFbxScene& scene) {
    KFbxGlobalSettings* global = scene.GetGlobalSettings();
    if (global != nullptr && mSettings.mAxisSystem) {
        global->SetAxisSystem(*mSettings.mAxisSystem);
    }
    if (global != nullptr && mSettings.mSystemUnit) {
        global->SetSystemUnit(*mSettings.mSystemUnit);
    }
    scene.GetGlobalLightSettings().SetAmbientColor(mSettings.mAmbientColor);
    if (mSettings.mSceneInfo != nullptr) {
        scene.SetSceneInfo(mSettings.mSceneInfo);
        mSettings.mSceneInfo = nullptr;
    }
    if (mRoot == nullptr) {
        return;
    }
    KFbxNode* root = scene.GetRootNode();
    if (mSceneInstantiated) {
        // The root takes over the values of the visual scene's root.
        CopyNode(*root, *mRoot);
    }
    // Taken off from the last, which a node finds at once among its
    // children, then added in their order.
    std::vector<KFbxNode*> nodes(static_cast<std::size_t>(mRoot->GetChildCount()));
    for (std::size_t index = nodes.size(); index-- > 0;) {
        nodes[index] = mRoot->RemoveChild(mRoot->GetChild(static_cast<int>(index)));
    }
    for (KFbxNode* node : nodes) {
        root->AddChild(node);
    }
    for (KFbxPose* pose : mScenePoses) {
        scene.ConnectObject(pose);
    }
    mScenePoses.clear();
    mRoot->Destroy(true, false);
    mRoot = nullptr;
    ConnectMaterials(scene);
}

}  // namespace fbxsdk_2006_11_1
