// A small scene for FBX 5 files that damage tests and fuzz seeds start
// from: a textured triangle skinned to a bone, one animated take and a
// character pose.
#ifndef TESTS_FBX_FBX5SMALLSCENE_H
#define TESTS_FBX_FBX5SMALLSCENE_H

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

namespace fbxsdk_2006_11_1::fbx5small {

inline KFbxScene* SmallScene(KFbxSdkManager& manager) {
    KFbxScene* scene = KFbxScene::Create(&manager, "seed");
    KFbxMesh* mesh = KFbxMesh::Create(&manager, "");
    mesh->InitControlPoints(3);
    mesh->GetControlPoints()[1] = KFbxVector4(1.0, 0.0, 0.0, 0.0);
    mesh->GetControlPoints()[2] = KFbxVector4(0.0, 1.0, 0.0, 0.0);
    mesh->BeginPolygon(-1, -1, -1, false);
    for (int v = 0; v < 3; ++v) {
        mesh->AddPolygonVertex(v);
    }
    mesh->EndPolygon();
    KFbxNode* tri = KFbxNode::Create(&manager, "Tri");
    tri->SetNodeAttribute(mesh);
    scene->GetRootNode()->AddChild(tri);
    KFbxSurfacePhong* paint = KFbxSurfacePhong::Create(&manager, "Paint");
    KFbxTexture* sand = KFbxTexture::Create(&manager, "Sand");
    sand->SetFileName("sand.tga");
    tri->ConnectSrc(paint);
    tri->ConnectSrc(sand);
    KFbxLayer* layer = mesh->GetLayer(mesh->GetLayerCount() > 0 ? 0 : mesh->CreateLayer());
    auto* materials = new KFbxLayerElementMaterial();
    materials->SetMappingMode(KFbxLayerElement::eALL_SAME);
    materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    materials->GetDirectArray().Add(paint);
    materials->GetIndexArray().Add(0);
    layer->SetMaterials(materials);
    auto* textures = new KFbxLayerElementTexture();
    textures->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    textures->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    textures->GetDirectArray().Add(sand);
    textures->GetIndexArray().Add(0);
    layer->SetTextures(textures);

    KFbxSkeleton* bone = KFbxSkeleton::Create(&manager, "");
    bone->SetSkeletonType(KFbxSkeleton::eLIMB_NODE);
    KFbxNode* boneNode = KFbxNode::Create(&manager, "Bone");
    boneNode->SetNodeAttribute(bone);
    tri->AddChild(boneNode);
    KFbxSkin* skin = KFbxSkin::Create(&manager, "");
    KFbxCluster* cluster = KFbxCluster::Create(&manager, "");
    cluster->SetLink(boneNode);
    cluster->AddControlPointIndex(1, 0.5);
    skin->AddCluster(cluster);
    mesh->AddDeformer(skin);

    KTime second;
    second.SetSecondDouble(1.0);
    KFbxTakeInfo info;
    info.mName = "Move";
    info.mLocalTimeSpan.Set(KTime(), second);
    scene->SetTakeInfo(info);
    KFbxTakeNode* take = tri->CreateTakeNode("Move");
    take->GetTranslationX()->KeySet(0, KTime(), 0.0f);
    take->GetTranslationX()->KeySet(1, second, 2.0f);
    scene->SetCurrentTake("Move");
    const int pose = scene->CreateCharacterPose("Stance");
    scene->GetCharacterPose(pose)->GetPoseScene()->GetRootNode()->AddChild(KFbxNode::Create(&manager, "P"));
    return scene;
}

}  // namespace fbxsdk_2006_11_1::fbx5small

#endif
