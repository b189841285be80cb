// Visual scenes into trees of nodes: each node element becomes a node named
// after its id, with its transforms, the attribute copied from the library
// object its instance names (a mesh, camera, light, or a mesh with the
// skin and shapes of a controller; a library mesh that nothing else reads
// is taken itself), the materials its bind_material names, and its child
// nodes, including the library nodes its instance_node elements name. The
// children of a camera or light take back out the turn their parent's
// attribute adds to it, and stand where the document puts them.
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
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
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

// The ids of the views that modelling programs keep as cameras of their own.
constexpr const char* kViewCameraIds[] = {"persp", "top", "bottom", "left", "right", "side", "front", "back"};

constexpr const char* kInstanceElements[] = {"instance", "instance_geometry", "instance_camera", "instance_light",
                                             "instance_controller"};

bool IsNamedOneOf(const xmlNode* element, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (IsNamed(element, name)) {
            return true;
        }
    }
    return false;
}

// The clusters of the attribute's skins (none when it is no geometry).
std::vector<KFbxCluster*> SkinClusters(KFbxNodeAttribute* attribute) {
    std::vector<KFbxCluster*> clusters;
    auto* geometry = dynamic_cast<KFbxGeometry*>(attribute);
    for (int index = 0; geometry != nullptr && index < geometry->GetDeformerCount(KFbxDeformer::eSKIN); ++index) {
        auto* skin = dynamic_cast<KFbxSkin*>(geometry->GetDeformer(index, KFbxDeformer::eSKIN));
        for (int cluster = 0; skin != nullptr && cluster < skin->GetClusterCount(); ++cluster) {
            clusters.push_back(skin->GetCluster(cluster));
        }
    }
    return clusters;
}

bool IsInstance(const xmlNode* element) {
    return std::any_of(std::begin(kInstanceElements), std::end(kInstanceElements),
                       [element](const char* name) { return IsNamed(element, name); });
}

// Post-rotations that turn the SDK's cameras and lights, which look along
// X and down Y, to COLLADA's, which look down Z. They join the post-rotation
// the node states, so that a document that states the turn already (as the
// writer's do) gives back the scene it was written from; the node's
// children, which would turn with it, take it back out (ChildTurn).
const KFbxVector4 kCameraPostRotation(0.0, -90.0, 0.0, 0.0);
const KFbxVector4 kLightPostRotation(-90.0, 0.0, 0.0, 0.0);

}  // namespace

void KFbxReaderColladaPass::CollectNodeElements(xmlNode* root) {
    std::vector<xmlNode*> pending;
    for (xmlNode* library : ChildElements(root)) {
        if (IsNamed(library, "library_nodes") || IsNamed(library, "library_visual_scenes")) {
            pending.push_back(library);
        }
    }
    while (!pending.empty()) {
        xmlNode* element = pending.back();
        pending.pop_back();
        for (xmlNode* child : ChildElements(element)) {
            if (IsNamed(child, "node") || IsNamed(child, "visual_scene")) {
                const KString id = GetAttribute(child, "id");
                if (IsNamed(child, "node") && id.GetLen() > 0) {
                    mNodeElements.Add(id, child);
                }
                pending.push_back(child);
            }
        }
    }
}

void KFbxReaderColladaPass::CollectSingleUseGeometries(xmlNode* root) {
    // Every id the document refers to ("#" references in attributes, and
    // the ids of IDREF arrays), the nodes that instance_node elements
    // repeat, and the instance_geometry elements.
    // Made and dropped with every file: their blocks are recycled.
    KRecycledHashMap<std::string, int> references;
    KRecycledHashSet<std::string> repeatedNodes;
    KRecycledVector<xmlNode*> instances;
    KRecycledVector<xmlNode*> pending{root};
    while (!pending.empty()) {
        xmlNode* element = pending.back();
        pending.pop_back();
        for (const xmlAttr* attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
            const xmlNode* text = attribute->children;
            const auto* value = text != nullptr ? reinterpret_cast<const char*>(text->content) : nullptr;
            if (value != nullptr && value[0] == '#') {
                ++references[value + 1];
            }
        }
        if (IsNamed(element, "IDREF_array")) {
            std::vector<KString> ids;
            ParseNameArray(ElementText(element).Get(), ids);
            for (const KString& id : ids) {
                references[id.Buffer()] += 2;
            }
        } else if (IsNamed(element, "instance_node")) {
            repeatedNodes.insert(GetUrlReference(element).mId.Buffer());
        } else if (IsNamed(element, "instance_geometry")) {
            instances.push_back(element);
        }
        for (xmlNode* child : ChildElements(element)) {
            pending.push_back(child);
        }
    }
    for (xmlNode* instance : instances) {
        const KString id = GetUrlReference(instance).mId;
        if (references[id.Buffer()] != 1) {
            continue;
        }
        // Read once: in a visual scene, under no node that is instanced.
        bool once = false;
        for (const xmlNode* above = instance->parent; above != nullptr && above->type == XML_ELEMENT_NODE;
             above = above->parent) {
            if (IsNamed(above, "node") && repeatedNodes.count(GetAttribute(above, "id").Buffer()) != 0) {
                break;
            }
            if (IsNamed(above, "library_visual_scenes")) {
                once = true;
                break;
            }
        }
        if (once) {
            mSingleUseGeometries.insert(id.Buffer());
        }
    }
}

bool KFbxReaderColladaPass::ImportVisualScene(xmlNode* visualScene) {
    mVisualSceneElement = visualScene;
    const KString id = GetAttribute(visualScene, "id");
    ColladaVisualScene scene;
    const std::size_t firstPose = mPendingBindPoses.size();
    for (xmlNode* child : ChildElements(visualScene)) {
        if (IsNamed(child, "node")) {
            const KString nodeId = GetAttribute(child, "id");
            if (!IsImportableNode(child, nodeId)) {
                continue;
            }
            KFbxNode* node = KFbxNode::Create(&mManager, nodeId.Buffer());
            if (node == nullptr) {
                return Error(KString("could not create node ") + nodeId);
            }
            node->SetTransformInheritType(KFbxNode::eINHERIT_RSrs);
            if (!(mStatus = ImportNode(child, *node, nodeId))) {
                return false;
            }
            // Parented once, where the scene takes it.
            scene.mNodes.push_back(node);
        } else if (IsNamed(child, "extra")) {
            Warning(KString("Extra node is not supported in node ") + "visual_scene");
        } else if (IsNamed(child, "boundingbox")) {
            WarningOnce("boundingbox", KString("Bounding boxes are not supported"));
        } else if (IsNamed(child, "asset") || IsNamed(child, "evaluate_scene")) {
            Warning(KString("structure ") + GetName(child) + " is not supported.");
        } else {
            return Error(KString("structure ") + GetName(child) + " unknown");
        }
    }
    // The bind poses of the controllers this visual scene instances.
    scene.mBindPoses.assign(mPendingBindPoses.begin() + static_cast<std::ptrdiff_t>(firstPose), mPendingBindPoses.end());
    mVisualScenes.Add(id, scene);
    return true;
}

bool KFbxReaderColladaPass::IsImportableNode(xmlNode* nodeElement, const KString& id) {
    if (std::none_of(std::begin(kViewCameraIds), std::end(kViewCameraIds),
                     [&id](const char* view) { return id == view; })) {
        return true;
    }
    // A view camera of a modelling program holds its camera and nothing else.
    int cameras = 0;
    for (xmlNode* child : ChildElements(nodeElement)) {
        if (IsNamed(child, "instance_camera")) {
            ++cameras;
        } else if (IsInstance(child) || IsNamedOneOf(child, {"node", "instance_node"})) {
            return true;
        }
    }
    if (cameras != 1) {
        return true;
    }
    Warning(KString("Camera ") + id + " will not be imported.");
    return false;
}

bool KFbxReaderColladaPass::ImportNode(xmlNode* nodeElement, KFbxNode& node, const KString& id,
                                       const KgeMatrix& parentTurn) {
    if (mNodeDepth >= kMaxNodeDepth) {
        return Error(KString("nodes nested deeper than ") + kMaxNodeDepth + " levels at node " + id);
    }
    ++mNodeDepth;
    const bool imported = [&] {
        KgeMatrix turn = parentTurn;
        if (!(mStatus = ImportNodeTransforms(nodeElement, node, turn))) {
            return false;
        }
        const KFbxVector4 postRead = node.GetPostRotation(KFbxNode::eSOURCE_SET);
        const KString sid = GetAttribute(nodeElement, "sid");
        if (sid.GetLen() > 0) {
            mNodeSids.emplace(&node, sid);
        }
        // The node's own content first: its children take the turn its
        // attribute gives it, whatever the order of the elements.
        for (xmlNode* child : ChildElements(nodeElement)) {
            if (IsNamed(child, "boundingbox")) {
                WarningOnce("boundingbox", KString("Bounding boxes are not supported"));
            } else if (IsInstance(child)) {
                // Nodes that instance one geometry with the same materials
                // share one mesh, as instances do in the scene graph.
                const KString sharing = SharedMeshKey(child);
                if (KFbxNodeAttribute** shared = sharing.GetLen() > 0 ? mSharedMeshes.Find(sharing) : nullptr) {
                    AttachInstance(node, *shared);
                    continue;
                }
                if (!(mStatus = ImportNodeInstance(nodeElement, child, node))) {
                    return false;
                }
                std::vector<xmlNode*> bindings;
                FindChildren(child, "bind_material", bindings);
                for (xmlNode* binding : bindings) {
                    if (!(mStatus = ImportBindMaterial(binding, node))) {
                        return false;
                    }
                }
                if (auto* mesh = dynamic_cast<KFbxMesh*>(node.GetMesh()); mesh != nullptr && sharing.GetLen() > 0) {
                    mSharedMeshes.Add(sharing, mesh);
                }
            }
        }
        ApplyNodeRoll(node);
        TurnNode(node, turn);
        const KgeMatrix childTurn = ChildTurn(node, postRead);
        for (xmlNode* child : ChildElements(nodeElement)) {
            if (IsNamed(child, "instance_node")) {
                if (!(mStatus = ImportInstanceNode(child, node, childTurn))) {
                    return false;
                }
            } else if (IsNamed(child, "node")) {
                if (!(mStatus = ImportChildNode(child, node, GetAttribute(child, "id"), childTurn))) {
                    return false;
                }
            }
        }
        if (node.GetNodeAttribute() == nullptr) {
            if (GetAttribute(nodeElement, "type") == "JOINT") {
                MakeJoint(node, id);
            } else if (KFbxNull* null = KFbxNull::Create(&mManager, "")) {
                node.SetNodeAttribute(null);
            }
        }
        return true;
    }();
    --mNodeDepth;
    return imported;
}

bool KFbxReaderColladaPass::ImportChildNode(xmlNode* childElement, KFbxNode& parent, const KString& id,
                                            const KgeMatrix& parentTurn) {
    if (!IsImportableNode(childElement, id)) {
        return true;
    }
    KFbxNode* child = KFbxNode::Create(&mManager, id.Buffer());
    if (child == nullptr) {
        return Error(KString("could not create node ") + id);
    }
    if (!ImportNode(childElement, *child, id, parentTurn)) {
        return false;
    }
    parent.AddChild(child);
    return true;
}

bool KFbxReaderColladaPass::ImportInstanceNode(xmlNode* instance, KFbxNode& parent, const KgeMatrix& parentTurn) {
    const ColladaUrlReference url = GetUrlReference(instance);
    xmlNode** found = mNodeElements.Find(url.mId);
    if (found == nullptr) {
        Warning(KString("Library not found: ") + url.mUrl + "; the node instance is left out");
        return true;
    }
    // A node that instances itself, directly or further down, would never end.
    if (std::find(mInstancedNodes.begin(), mInstancedNodes.end(), *found) != mInstancedNodes.end()) {
        Warning(KString("node ") + url.mId + " instances itself; the inner instance is left out");
        return true;
    }
    mInstancedNodes.push_back(*found);
    const bool imported = ImportChildNode(*found, parent, url.mId, parentTurn);
    mInstancedNodes.pop_back();
    return imported;
}

bool KFbxReaderColladaPass::ImportNodeInstance(xmlNode* nodeElement, xmlNode* instance, KFbxNode& node) {
    const ColladaUrlReference url = GetUrlReference(instance);
    if (const ColladaLibraryObject* object = mObjects.Find(url.mId)) {
        auto* mesh = dynamic_cast<KFbxMesh*>(object->mObject);
        if (mesh != nullptr && IsNamed(instance, "instance_geometry") &&
            mSingleUseGeometries.erase(url.mId.Buffer()) != 0) {
            // Nothing else reads the library's mesh: the node takes it, as
            // it would take a copy of it.
            return AttachInstance(node, mesh);
        }
        if (!object->IsEmpty()) {
            if (!SetNodeAttributeFromInstance(nodeElement, node, *object) && mOverNodeLimit) {
                return false;
            }
        }
        return true;
    }
    if (std::unique_ptr<ColladaControllerRecord>* controller = mControllers.Find(url.mId)) {
        return ImportControllerInstance(nodeElement, **controller, node);
    }
    return Error(KString("Library not found: ") + url.mUrl);
}

bool KFbxReaderColladaPass::ImportControllerInstance(xmlNode* nodeElement, ColladaControllerRecord& record,
                                                     KFbxNode& node) {
    // A skin may deform the result of a morph controller: the morph's
    // geometry then carries both.
    const ColladaControllerRecord* morph = record.mMorphTargets.empty() ? nullptr : &record;
    KString geometryId = record.mSource.GetLen() > 1 ? record.mSource.Mid(1) : KString("");
    if (std::unique_ptr<ColladaControllerRecord>* inner = mControllers.Find(geometryId);
        inner != nullptr && inner->get() != &record && !(*inner)->mMorphTargets.empty()) {
        morph = inner->get();
        geometryId = morph->mSource.GetLen() > 1 ? morph->mSource.Mid(1) : KString("");
    }
    const ColladaLibraryObject* geometry = mObjects.Find(geometryId);
    if (geometry == nullptr || geometry->IsEmpty()) {
        return Error(KString("Library not found for controller target: ") + record.mSource);
    }
    if (!SetNodeAttributeFromInstance(nodeElement, node, *geometry) && mOverNodeLimit) {
        return false;
    }
    auto* mesh = dynamic_cast<KFbxMesh*>(node.GetMesh());
    if (mesh == nullptr) {
        Warning(KString("controller ") + record.mId + " does not deform a mesh; it is left out");
        return true;
    }
    for (const KFbxCluster* cluster : record.mClusters) {
        const int* indices = cluster->GetControlPointIndices();
        for (int index = 0; index < cluster->GetControlPointIndicesCount(); ++index) {
            if (indices[index] >= mesh->GetControlPointsCount()) {
                return Error(KString("controller ") + record.mId + " weights vertex " + indices[index] +
                             ", which its mesh does not have");
            }
        }
    }
    if (!record.mClusters.empty()) {
        for (const KFbxCluster* cluster : record.mClusters) {
            KFbxCluster* copy = KFbxCluster::Create(&mManager, "");
            if (copy == nullptr) {
                return Error(KString("could not create the clusters of controller ") + record.mId);
            }
            CopyCluster(*copy, *cluster);
            mesh->AddCluster(copy);
        }
        ColladaBindPose pose = record.mBindPose;
        pose.mName = record.mId;
        pose.Add(&node, record.mBindShapeMatrix);
        mPendingBindPoses.push_back(std::move(pose));
    }
    if (morph != nullptr) {
        ImportMorphShapes(*mesh, KString(node.GetName()), morph->mMorphTargets, morph->mMorphWeightSource,
                          morph->mMorphWeights);
        mStatus = true;
    }
    // Joints read later relink the clusters the mesh ends with: giving it
    // the morph's points replaced the copies above with clusters over them.
    const std::vector<KFbxCluster*> clusters = SkinClusters(mesh);
    mClusters.insert(mClusters.end(), clusters.begin(), clusters.end());
    return true;
}

bool KFbxReaderColladaPass::ImportBindMaterial(xmlNode* bindMaterial, KFbxNode& node) {
    xmlNode* common = FindTechniqueCommon(bindMaterial);
    if (common == nullptr) {
        return Error(KString("no <technique_common> node found for bind_material node "));
    }
    auto* mesh = dynamic_cast<KFbxMesh*>(node.GetMesh());
    if (mesh == nullptr) {
        Warning(KString("node ") + node.GetName() + " binds materials but has no mesh");
        return true;
    }
    std::vector<xmlNode*> instances;
    FindChildren(common, "instance_material", instances);
    for (xmlNode* instance : instances) {
        const KString symbol = GetAttribute(instance, "symbol");
        if (mesh->GetMaterialIndex(symbol.Buffer(), 0) < 0) {
            Warning(KString("material of symbol ") + symbol + " not found for node " + node.GetName());
            continue;
        }
        const KString target = GetReferenceId(instance, "target");
        KFbxSurfaceMaterial** material = mMaterials.Find(target);
        if (material == nullptr) {
            return Error(KString("Library not found: ") + target);
        }
        BindMaterial(*mesh, symbol, **material, target);
    }
    return true;
}

void KFbxReaderColladaPass::BindMaterial(KFbxMesh& mesh, const KString& symbol, KFbxSurfaceMaterial& material,
                                         const KString& materialId) {
    KFbxLayerElementMaterial* materials = mesh.GetLayer(0)->GetMaterials();
    materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    // Every primitive element of the symbol has a stand-in: each is replaced.
    auto& direct = materials->GetDirectArray();
    std::vector<int> entries;
    for (int entry = 0; entry < direct.GetCount(); ++entry) {
        KFbxSurfaceMaterial* standIn = direct.GetAt(entry);
        if (standIn != nullptr && standIn != &material && symbol == standIn->GetName()) {
            direct.SetAt(entry, &material);
            entries.push_back(entry);
        }
    }
    // The material's textures show on the polygons of those primitive elements.
    const std::shared_ptr<ColladaTextureBindings>* bindings = mTextureBindings.Find(materialId);
    if (bindings == nullptr || *bindings == nullptr || entries.empty()) {
        return;
    }
    const bool allSame = materials->GetMappingMode() == KFbxLayerElement::eALL_SAME;
    const DynamicArrayOf<int>& indices = materials->GetIndexArray();
    std::vector<int> polygons;
    for (int polygon = 0; polygon < mesh.GetPolygonCount(); ++polygon) {
        const int entry = allSame ? indices.GetAt(0) : indices.GetAt(polygon);
        if (std::find(entries.begin(), entries.end(), entry) != entries.end()) {
            polygons.push_back(polygon);
        }
    }
    ColladaBindTextures(mesh, mManager, **bindings, polygons);
}

void KFbxReaderColladaPass::MakeJoint(KFbxNode& node, const KString& id) {
    if (KFbxSkeleton* skeleton = KFbxSkeleton::Create(&mManager, "")) {
        skeleton->SetSkeletonType(KFbxSkeleton::eLIMB_NODE);
        node.SetNodeAttribute(skeleton);
    }
    // The clusters of this read that stand-ins of the joint's name still
    // link now move to the joint itself.
    for (KFbxCluster* cluster : mClusters) {
        KFbxNode* link = cluster->GetLink();
        if (link != nullptr && id == link->GetName() &&
            std::find(mJointStandIns.begin(), mJointStandIns.end(), link) != mJointStandIns.end()) {
            cluster->SetLink(&node);
        }
    }
}

KString KFbxReaderColladaPass::SharedMeshKey(xmlNode* instance) {
    if (!IsNamed(instance, "instance_geometry")) {
        return KString();
    }
    const ColladaUrlReference url = GetUrlReference(instance);
    const ColladaLibraryObject* object = mObjects.Find(url.mId);
    if (object == nullptr || dynamic_cast<KFbxMesh*>(object->mObject) == nullptr) {
        return KString();
    }
    // The geometry, then each material binding in document order.
    KString key = url.mId;
    std::vector<xmlNode*> bindings;
    FindChildren(instance, "bind_material", bindings);
    for (xmlNode* binding : bindings) {
        key += "\n";
        std::vector<xmlNode*> materials;
        FindChildren(FindTechniqueCommon(binding), "instance_material", materials);
        for (xmlNode* material : materials) {
            key += KString(" ") + GetAttribute(material, "symbol") + "=" + GetAttribute(material, "target");
        }
    }
    return key;
}

bool KFbxReaderColladaPass::AttachInstance(KFbxNode& node, KFbxNodeAttribute* attribute) {
    if (attribute == nullptr) {
        return false;
    }
    // A node instancing twice keeps the last instance; the one it drops
    // goes unless another node shares it.
    KFbxNodeAttribute* previous = node.SetNodeAttribute(attribute);
    if (previous != nullptr && previous != attribute && previous->GetDstObjectCount() == 0) {
        mSharedMeshes.RemoveValue(previous);
        // Its clusters go with it: no joint read later may relink them.
        // One pass over the list, however many clusters the mesh had.
        std::vector<KFbxCluster*> gone = SkinClusters(previous);
        if (!gone.empty()) {
            std::sort(gone.begin(), gone.end());
            mClusters.erase(std::remove_if(mClusters.begin(), mClusters.end(),
                                           [&gone](KFbxCluster* cluster) {
                                               return std::binary_search(gone.begin(), gone.end(), cluster);
                                           }),
                            mClusters.end());
        }
        previous->Destroy();
    }
    return true;
}

bool KFbxReaderColladaPass::SetNodeAttributeFromInstance(xmlNode* nodeElement, KFbxNode& node,
                                                         const ColladaLibraryObject& object) {
    const auto attach = [this, &node](KFbxNodeAttribute* attribute) { return AttachInstance(node, attribute); };
    switch (object.GetAttributeType()) {
        case KFbxNodeAttribute::eNULL:
            return attach(KFbxNull::Create(&mManager, ""));
        case KFbxNodeAttribute::eMARKER:
            return Error(KString("bad geometry: marker not implemented."));
        case KFbxNodeAttribute::eLIGHT: {
            KFbxLight* light = KFbxLight::Create(&mManager, "");
            if (light == nullptr) {
                return false;
            }
            const ColladaLightCopy& copy = object.mLight->CopyFor(*light);
            attach(light);
            copy.SetOn(*light);
            if (light->GetLightType() == KFbxLight::eSPOT || light->GetLightType() == KFbxLight::eDIRECTIONAL) {
                node.SetPostRotation(KFbxNode::eSOURCE_SET,
                                     node.GetPostRotation(KFbxNode::eSOURCE_SET) + kLightPostRotation);
                node.SetRotationActive(true);
            }
            return true;
        }
        case KFbxNodeAttribute::eCAMERA: {
            KFbxCamera* camera = KFbxCamera::Create(&mManager, "");
            if (camera == nullptr) {
                return false;
            }
            // Set before it joins the node, whose takes start from its values.
            object.mCamera->CopyFor(*camera).SetOn(*camera);
            attach(camera);
            ApplyLookAt(nodeElement, node, *camera);
            node.SetPostRotation(KFbxNode::eSOURCE_SET, node.GetPostRotation(KFbxNode::eSOURCE_SET) + kCameraPostRotation);
            node.SetRotationActive(true);
            return true;
        }
        case KFbxNodeAttribute::eCAMERA_SWITCHER:
            return Error(KString("bad node attributed: camera switcher not implemented."));
        case KFbxNodeAttribute::eSKELETON:
            return attach(KFbxSkeleton::Create(&mManager, ""));
        case KFbxNodeAttribute::eMESH: {
            auto& source = static_cast<KFbxMesh&>(*object.mObject);
            if (!CountMeshCopy(source)) {
                return false;
            }
            KFbxMesh* mesh = KFbxMesh::Create(&mManager, "");
            if (!attach(mesh)) {
                return false;
            }
            CopyMesh(*mesh, source);
            // The node keeps a new node's shading, which the scene's nodes
            // have whether the visual scene's nodes or copies of them.
            return true;
        }
        case KFbxNodeAttribute::eNURB:
        case KFbxNodeAttribute::ePATCH:
            return Error(KString("bad geometry in node ") + node.GetName() + ": nurb and patches not implemented.\n");
        default:
            Warning(KString("unknown geometry for node ") + node.GetName());
            return true;
    }
}

void KFbxReaderColladaPass::ApplyLookAt(xmlNode* nodeElement, KFbxNode& node, KFbxCamera& camera) {
    KFbxVector4 eye;
    KFbxVector4 interest;
    KFbxVector4 up;
    KgeMatrix frame;
    if (!ReadLookAt(nodeElement, eye, interest, up, frame)) {
        return;
    }
    // The scene's cameras hold what copies of a camera take over (position,
    // interest, focus distance, and the node's rotation); its up vector and
    // focus source stay those of a new camera.
    camera.SetPosition(eye);
    camera.SetLookAt(interest);
    node.SetLclRotation(frame.GetR());
    camera.SetFocusDistance((interest - eye).Length());
}

void KFbxReaderColladaPass::CopyCamera(KFbxCamera& destination, const KFbxCamera& source) {
    ColladaCameraCopy(source).SetOn(destination);
}

void KFbxReaderColladaPass::CopyLight(KFbxLight& destination, const KFbxLight& source) {
    ColladaLightCopy(source).SetOn(destination);
}

std::vector<KFbxNode*> KFbxReaderColladaPass::FindInstancingNodes(xmlNode* visualScene, KFbxNode& scope,
                                                                  const KString& id) {
    std::vector<KFbxNode*> nodes;
    std::vector<xmlNode*> pending{visualScene};
    while (!pending.empty()) {
        xmlNode* element = pending.back();
        pending.pop_back();
        if (IsNamed(element, "node")) {
            xmlNode* instance = nullptr;
            for (const char* kind : {"instance_camera", "instance_controller", "instance_geometry", "instance_light"}) {
                if (instance == nullptr) {
                    instance = FindChild(element, kind);
                }
            }
            // Nodes are named after their ids.
            if (instance != nullptr && GetUrlReference(instance).mId == id) {
                nodes.push_back(scope.FindChild(GetAttribute(element, "id").Buffer(), true));
            }
        }
        std::vector<xmlNode*> children;
        FindChildren(element, "node", children);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return nodes;
}

}  // namespace fbxsdk_2006_11_1
