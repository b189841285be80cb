#include <tools/ModelScenes.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveKey.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

KFbxVector4 vector(const Point3& v) { return KFbxVector4(v[0], v[1], v[2], 0.0); }

template <class Element>
Element* describe(Element* element, const char* name, KFbxLayerElement::EMappingMode mapping,
                  KFbxLayerElement::EReferenceMode reference) {
    element->SetName(name);
    element->SetMappingMode(mapping);
    element->SetReferenceMode(reference);
    return element;
}

KFbxMesh* buildMesh(KFbxSdkManager* manager, const ModelDesign& design) {
    KFbxMesh* mesh = KFbxMesh::Create(manager, (design.name + "Mesh").c_str());
    if (mesh == nullptr) {
        return nullptr;
    }
    const ShapeMesh& shape = design.mesh;
    const int count = static_cast<int>(shape.points.size());
    mesh->InitControlPoints(count);
    KFbxVector4* points = mesh->GetControlPoints();
    for (int i = 0; i < count && points != nullptr; ++i) {
        points[i] = vector(shape.points[static_cast<std::size_t>(i)]);
    }
    if (mesh->GetLayerCount() == 0) {
        mesh->CreateLayer();
    }
    KFbxLayer* layer = mesh->GetLayer(0);
    if (layer == nullptr) {
        return mesh;
    }
    // UVs are stored once per point and named per polygon vertex through
    // the index array, which AddPolygonVertex fills.
    auto* uvs = describe(new KFbxLayerElementUV(), "map1", KFbxLayerElement::eBY_POLYGON_VERTEX,
                         KFbxLayerElement::eINDEX_TO_DIRECT);
    for (const ShapeUv& uv : shape.uvs) {
        uvs->GetDirectArray().Add(KFbxVector2(uv[0], uv[1]));
    }
    layer->SetUVs(uvs);
    for (const auto& triangle : shape.triangles) {
        mesh->BeginPolygon(-1, -1, -1, false);
        for (int corner : triangle) {
            mesh->AddPolygonVertex(corner, corner);
        }
        mesh->EndPolygon();
    }
    mesh->ComputeVertexNormals(design.clockwise);
    return mesh;
}

void addSurface(KFbxSdkManager* manager, KFbxNode* node, KFbxMesh* mesh, const ModelDesign& design,
                const char* textureName) {
    KFbxLayer* layer = mesh->GetLayer(0);
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(manager, (design.name + "Material").c_str());
    KFbxTexture* texture = KFbxTexture::Create(manager, (design.name + "Texture").c_str());
    if (layer == nullptr || phong == nullptr || texture == nullptr) {
        return;
    }
    KFbxTypedProperty<fbxDouble3>(phong->GetAmbientColor()).Set(fbxDouble3(0.25, 0.25, 0.25));
    KFbxTypedProperty<fbxDouble3>(phong->GetDiffuseColor()).Set(fbxDouble3(0.85, 0.85, 0.85));
    KFbxTypedProperty<fbxDouble3>(phong->GetSpecularColor()).Set(fbxDouble3(0.2, 0.2, 0.2));
    KFbxTypedProperty<double>(phong->GetShininess()).Set(12.0);
    texture->SetFileName(textureName);
    texture->SetRelativeFileName(textureName);
    node->ConnectSrc(phong);
    node->ConnectSrc(texture);

    auto* materials = describe(new KFbxLayerElementMaterial(), "", KFbxLayerElement::eALL_SAME,
                               KFbxLayerElement::eINDEX_TO_DIRECT);
    materials->GetDirectArray().Add(phong);
    materials->GetIndexArray().Add(0);
    layer->SetMaterials(materials);
    auto* textures = describe(new KFbxLayerElementTexture(), "", KFbxLayerElement::eALL_SAME,
                              KFbxLayerElement::eINDEX_TO_DIRECT);
    textures->GetDirectArray().Add(texture);
    textures->GetIndexArray().Add(0);
    textures->SetBlendMode(KFbxLayerElementTexture::eMODULATE);
    layer->SetTextures(textures);
}

std::vector<KFbxNode*> buildSkeleton(KFbxSdkManager* manager, KFbxNode* root, const ModelDesign& design) {
    std::vector<KFbxNode*> nodes;
    for (const BoneDesign& bone : design.bones) {
        KFbxSkeleton* limb = KFbxSkeleton::Create(manager, bone.name.c_str());
        KFbxNode* node = KFbxNode::Create(manager, bone.name.c_str());
        if (limb == nullptr || node == nullptr) {
            return {};
        }
        limb->SetSkeletonType(bone.parent < 0 ? KFbxSkeleton::eROOT : KFbxSkeleton::eLIMB_NODE);
        node->SetNodeAttribute(limb);
        node->SetLclTranslation(vector(bone.offset));
        const bool hasParent = bone.parent >= 0 && bone.parent < static_cast<int>(nodes.size());
        (hasParent ? nodes[static_cast<std::size_t>(bone.parent)] : root)->AddChild(node);
        nodes.push_back(node);
    }
    return nodes;
}

void addSkin(KFbxSdkManager* manager, KFbxMesh* mesh, const ModelDesign& design, const std::vector<KFbxNode*>& bones) {
    KFbxSkin* skin = KFbxSkin::Create(manager, (design.name + "Skin").c_str());
    if (skin == nullptr) {
        return;
    }
    for (std::size_t b = 0; b < bones.size(); ++b) {
        KFbxCluster* cluster = KFbxCluster::Create(manager, (design.bones[b].name + "Cluster").c_str());
        if (cluster == nullptr) {
            continue;
        }
        for (std::size_t i = 0; i < design.mesh.weights.size(); ++i) {
            for (const BoneWeight& weight : design.mesh.weights[i]) {
                if (weight.bone == static_cast<int>(b) && weight.weight > 0.0) {
                    cluster->AddControlPointIndex(static_cast<int>(i), weight.weight);
                }
            }
        }
        if (cluster->GetControlPointIndicesCount() == 0) {
            // A bone that only carries others (a wing's shoulder, say) needs no cluster.
            cluster->Destroy();
            continue;
        }
        cluster->SetLink(bones[b]);
        cluster->SetLinkMode(KFbxCluster::eNORMALIZE);
        // The mesh sits at the origin, the bones at rest carry no rotation.
        KgeMatrix meshAtBind;
        KgeMatrix boneAtBind;
        boneAtBind.SetT(vector(boneRestPosition(design, static_cast<int>(b))));
        cluster->SetTransformMatrix(meshAtBind);
        cluster->SetTransformLinkMatrix(boneAtBind);
        skin->AddCluster(cluster);
    }
    mesh->AddDeformer(skin);
}

void addTake(KFbxScene* scene, const ModelDesign& design, const std::vector<KFbxNode*>& bones) {
    const char* take = design.takeName.c_str();
    // Every animatable object of the scene knows the take, so that making
    // it current reaches them all.
    for (int c = 0; c < scene->GetTakeNodeContainerCount(); ++c) {
        scene->GetTakeNodeContainer(c)->CreateTakeNode(take);
    }
    KTime span;
    span.SetSecondDouble(design.takeSeconds);
    const std::int64_t step = span.Get() / (modelTakeKeys - 1);
    for (std::size_t b = 0; b < bones.size(); ++b) {
        KFbxNode* node = bones[b];
        if (!node->SetCurrentTakeNodeByName(take)) {
            continue;
        }
        KFbxTakeNode* takeNode = node->GetCurrentTakeNode();
        if (takeNode == nullptr) {
            continue;
        }
        const BoneMotion& motion = design.bones[b].motion;
        KFCurve* rotation[3] = {takeNode->GetEulerRotationX(), takeNode->GetEulerRotationY(),
                                takeNode->GetEulerRotationZ()};
        KFCurve* translation[3] = {takeNode->GetTranslationX(), takeNode->GetTranslationY(),
                                   takeNode->GetTranslationZ()};
        for (int key = 0; key < modelTakeKeys; ++key) {
            const KTime time(step * key);
            const double seconds = time.GetSecondDouble();
            const Point3 r = boneRotationAt(design, static_cast<int>(b), seconds);
            const Point3 t = boneTranslationAt(design, static_cast<int>(b), seconds);
            for (std::size_t k = 0; k < 3; ++k) {
                const bool turns = motion.rotationAmplitude[k] != 0.0 || (k == 1 && motion.spinDegrees != 0.0);
                if (turns && rotation[k] != nullptr) {
                    rotation[k]->KeySet(rotation[k]->KeyGetCount(), time, static_cast<float>(r[k]),
                                        KFCURVE_INTERPOLATION_LINEAR);
                }
                if (motion.translationAmplitude[k] != 0.0 && translation[k] != nullptr) {
                    translation[k]->KeySet(translation[k]->KeyGetCount(), time, static_cast<float>(t[k]),
                                           KFCURVE_INTERPOLATION_LINEAR);
                }
            }
        }
    }
    KFbxTakeInfo info;
    info.mName = take;
    info.mLocalTimeSpan.Set(KTime(0), KTime(step * (modelTakeKeys - 1)));
    info.mReferenceTimeSpan = info.mLocalTimeSpan;
    scene->SetTakeInfo(info);
    scene->SetCurrentTake(take);
}

}  // namespace

KFbxScene* buildModelScene(KFbxSdkManager* manager, const ModelDesign& design, const char* textureName) {
    KFbxScene* scene = KFbxScene::Create(manager, design.name.c_str());
    if (scene == nullptr || scene->GetRootNode() == nullptr) {
        return nullptr;
    }
    KFbxNode* root = scene->GetRootNode();
    KFbxMesh* mesh = buildMesh(manager, design);
    KFbxNode* node = KFbxNode::Create(manager, design.name.c_str());
    if (mesh == nullptr || node == nullptr) {
        return nullptr;
    }
    node->SetNodeAttribute(mesh);
    root->AddChild(node);
    addSurface(manager, node, mesh, design, textureName);
    if (!design.bones.empty()) {
        const std::vector<KFbxNode*> bones = buildSkeleton(manager, root, design);
        if (bones.size() == design.bones.size()) {
            addSkin(manager, mesh, design, bones);
            addTake(scene, design, bones);
        }
    }
    return scene;
}
