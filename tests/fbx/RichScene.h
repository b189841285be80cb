// A scene with one of nearly everything an FBX 6 file carries: every node
// attribute kind, a mesh with layer elements over three layers, Lambert and
// Phong materials with textures, an embedded video, a skin of two clusters
// with an associate model, two shapes, a bind pose and a rest pose, a
// generic node, a cache, a weighted map, two takes with TCB, cubic and
// constant keys, time settings and scene information.
#ifndef TESTS_FBX_RICHSCENE_H
#define TESTS_FBX_RICHSCENE_H

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/geometry/KFbxWeightedMapping.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include <array>
#include <fstream>
#include <memory>
#include <string>

namespace fbxsdk_2006_11_1::richscene {

inline KTime Seconds(double seconds) {
    KTime time;
    time.SetSecondDouble(seconds);
    return time;
}

inline KFbxNode* AddNode(KFbxSdkManager* manager, KFbxNode* parent, const char* name, KFbxNodeAttribute* attribute) {
    KFbxNode* node = KFbxNode::Create(manager, name);
    if (attribute != nullptr) {
        node->SetNodeAttribute(attribute);
    }
    parent->AddChild(node);
    return node;
}

// A cube of eight points: five quads and two triangles.
inline KFbxMesh* MakeMesh(KFbxSdkManager* manager) {
    KFbxMesh* mesh = KFbxMesh::Create(manager, "");
    mesh->InitControlPoints(8);
    for (int i = 0; i < 8; ++i) {
        mesh->GetControlPoints()[i] = KFbxVector4(i & 1 ? 1.25 : -1.0, i & 2 ? 2.5 : -0.5, i & 4 ? 0.1 : -3.75, 0.0);
    }
    const int faces[][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {1, 5, 7, 3}};
    for (const auto& face : faces) {
        mesh->BeginPolygon(-1, -1, -1, false);
        for (int v : face) {
            mesh->AddPolygonVertex(v);
        }
        mesh->EndPolygon();
    }
    for (const auto& triangle : {std::array<int, 3>{0, 2, 6}, std::array<int, 3>{0, 6, 4}}) {
        mesh->BeginPolygon(-1, -1, -1, false);
        for (int v : triangle) {
            mesh->AddPolygonVertex(v);
        }
        mesh->EndPolygon();
    }
    mesh->BuildMeshEdgeArray();
    return mesh;
}

template <class Element>
Element* Fill(Element* element, const char* name, KFbxLayerElement::EMappingMode mapping,
              KFbxLayerElement::EReferenceMode reference) {
    element->SetName(name);
    element->SetMappingMode(mapping);
    element->SetReferenceMode(reference);
    return element;
}

inline void AddLayers(KFbxMesh& mesh, KFbxSurfaceMaterial* lambert, KFbxSurfaceMaterial* phong, KFbxTexture* diffuse,
                      KFbxTexture* emissive) {
    const int polygonVertices = mesh.GetPolygonVertexCount();
    while (mesh.GetLayerCount() < 3) {
        mesh.CreateLayer();
    }
    KFbxLayer& layer0 = *mesh.GetLayer(0);
    auto* normals = Fill(new KFbxLayerElementNormal(), "normals", KFbxLayerElement::eBY_CONTROL_POINT,
                         KFbxLayerElement::eDIRECT);
    for (int i = 0; i < 8; ++i) {
        normals->GetDirectArray().Add(KFbxVector4(0.0, i * 0.125, 1.0 - i * 0.125, 0.0));
    }
    layer0.SetNormals(normals);
    auto* uvs = Fill(new KFbxLayerElementUV(), "map1", KFbxLayerElement::eBY_POLYGON_VERTEX,
                     KFbxLayerElement::eINDEX_TO_DIRECT);
    for (int i = 0; i < 4; ++i) {
        uvs->GetDirectArray().Add(KFbxVector2(i * 0.25, 1.0 - i * 0.3));
    }
    for (int i = 0; i < polygonVertices; ++i) {
        uvs->GetIndexArray().Add(i % 4);
    }
    layer0.SetUVs(uvs);
    auto* materials = Fill(new KFbxLayerElementMaterial(), "materials", KFbxLayerElement::eBY_POLYGON,
                           KFbxLayerElement::eINDEX_TO_DIRECT);
    materials->GetDirectArray().Add(lambert);
    materials->GetDirectArray().Add(phong);
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
        materials->GetIndexArray().Add(p % 2);
    }
    layer0.SetMaterials(materials);
    auto* textures = Fill(new KFbxLayerElementTexture(), "diffuse", KFbxLayerElement::eBY_POLYGON,
                          KFbxLayerElement::eINDEX_TO_DIRECT);
    textures->GetDirectArray().Add(diffuse);
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
        textures->GetIndexArray().Add(0);
    }
    textures->SetBlendMode(KFbxLayerElementTexture::eMODULATE);
    textures->SetAlpha(0.75);
    layer0.SetTextures(textures);
    auto* smoothing = Fill(new KFbxLayerElementSmoothing(), "smooth", KFbxLayerElement::eBY_EDGE,
                           KFbxLayerElement::eDIRECT);
    for (int e = 0; e < mesh.GetMeshEdgeCount(); ++e) {
        smoothing->GetDirectArray().Add(e % 3 != 0);
    }
    layer0.SetSmoothing(smoothing);

    KFbxLayer& layer1 = *mesh.GetLayer(1);
    auto* colors = Fill(new KFbxLayerElementVertexColor(), "colors", KFbxLayerElement::eBY_POLYGON_VERTEX,
                        KFbxLayerElement::eINDEX_TO_DIRECT);
    colors->GetDirectArray().Add(KFbxColor(1.0, 0.5, 0.25, 1.0));
    colors->GetDirectArray().Add(KFbxColor(0.0, 0.125, 0.75, 0.5));
    for (int i = 0; i < polygonVertices; ++i) {
        colors->GetIndexArray().Add(i % 2);
    }
    layer1.SetVertexColors(colors);
    auto* emissiveUVs = Fill(new KFbxLayerElementUV(), "glow", KFbxLayerElement::eBY_CONTROL_POINT,
                             KFbxLayerElement::eDIRECT);
    for (int i = 0; i < 8; ++i) {
        emissiveUVs->GetDirectArray().Add(KFbxVector2(i * 0.5, -i * 0.25));
    }
    layer1.SetUVs(emissiveUVs, KFbxLayerElement::eEMISSIVE_TEXTURES);
    auto* emissiveTextures = Fill(new KFbxLayerElementTexture(), "glowing", KFbxLayerElement::eALL_SAME,
                                  KFbxLayerElement::eINDEX_TO_DIRECT);
    emissiveTextures->GetDirectArray().Add(emissive);
    emissiveTextures->GetIndexArray().Add(0);
    layer1.SetTexturesOfChannel(emissiveTextures, KFbxLayerElement::eEMISSIVE_TEXTURES);

    KFbxLayer& layer2 = *mesh.GetLayer(2);
    auto* visibility = Fill(new KFbxLayerElementVisibility(), "shown", KFbxLayerElement::eBY_EDGE,
                            KFbxLayerElement::eDIRECT);
    for (int e = 0; e < mesh.GetMeshEdgeCount(); ++e) {
        visibility->GetDirectArray().Add(e % 2 == 0);
    }
    layer2.SetVisibility(visibility);
    auto* secondNormals = Fill(new KFbxLayerElementNormal(), "bent", KFbxLayerElement::eBY_POLYGON_VERTEX,
                               KFbxLayerElement::eDIRECT);
    for (int i = 0; i < polygonVertices; ++i) {
        secondNormals->GetDirectArray().Add(KFbxVector4(1.0, -0.5 * i, 0.25, 0.0));
    }
    layer2.SetNormals(secondNormals);
}

inline KFbxShape* MakeShape(KFbxSdkManager* manager, const KFbxMesh& mesh, int moved, double by) {
    KFbxShape* shape = KFbxShape::Create(manager, "");
    shape->InitControlPoints(mesh.GetControlPointsCount());
    for (int i = 0; i < mesh.GetControlPointsCount(); ++i) {
        shape->GetControlPoints()[i] = mesh.GetControlPoints()[i];
    }
    shape->GetControlPoints()[moved][1] += by;
    shape->GetControlPoints()[moved + 1][2] -= by;
    return shape;
}

inline KgeMatrix Transform(double tx, double ty, double tz, double rx, double ry, double rz, double s) {
    KgeMatrix matrix;
    matrix.SetTRS(KFbxVector4(tx, ty, tz, 0.0), KFbxVector4(rx, ry, rz, 0.0), KFbxVector4(s, s * 1.5, s, 0.0));
    return matrix;
}

inline void AddCurves(KFbxNode& node, const char* take, double scale) {
    KFbxTakeNode* takeNode = node.CreateTakeNode(take);
    KFCurve* tx = takeNode->GetTranslationX();
    KFCurve* ry = takeNode->GetEulerRotationY();
    KFCurve* sz = takeNode->GetScaleZ();
    tx->KeySetTCB(0, Seconds(0.0), static_cast<float>(1.0 * scale), 0.25f, -0.5f, 0.125f);
    tx->KeySetTCB(1, Seconds(0.5), static_cast<float>(4.0 * scale), 0.0f, 0.0f, 0.0f);
    tx->KeySet(2, Seconds(1.5), static_cast<float>(-2.0 * scale), KFCURVE_INTERPOLATION_CUBIC);
    ry->KeySet(0, Seconds(0.0), 10.0f, KFCURVE_INTERPOLATION_CUBIC);
    ry->KeySet(1, Seconds(1.0), static_cast<float>(95.0 * scale), KFCURVE_INTERPOLATION_CUBIC);
    sz->KeySet(0, Seconds(0.25), 1.0f, KFCURVE_INTERPOLATION_CONSTANT);
    sz->KeySet(1, Seconds(0.75), 2.5f, KFCURVE_INTERPOLATION_CONSTANT);
    sz->KeySet(2, Seconds(1.25), 0.5f, KFCURVE_INTERPOLATION_LINEAR);
}

// The scene; the video's image goes into the folder.
inline KFbxScene* Build(KFbxSdkManager* manager, const std::string& folder) {
    KFbxScene* scene = KFbxScene::Create(manager, "rich");
    KFbxNode* root = scene->GetRootNode();

    KFbxSkeleton* hipBone = KFbxSkeleton::Create(manager, "");
    hipBone->SetSkeletonType(KFbxSkeleton::eROOT);
    KFbxNode* hip = AddNode(manager, root, "Hip", hipBone);
    hip->SetLclTranslation(KFbxVector4(0.0, 10.0, 0.0, 0.0));
    KFbxSkeleton* kneeBone = KFbxSkeleton::Create(manager, "");
    kneeBone->SetSkeletonType(KFbxSkeleton::eLIMB_NODE);
    KFbxNode* knee = AddNode(manager, hip, "Knee", kneeBone);
    knee->SetLclTranslation(KFbxVector4(0.0, -4.0, 0.5, 0.0));
    knee->SetLclRotation(KFbxVector4(30.0, 0.0, -15.0, 0.0));

    KFbxSurfaceLambert* lambert = KFbxSurfaceLambert::Create(manager, "Skin");
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(manager, "Metal");
    KFbxProperty shininess = phong->GetShininess();
    const double shine = 42.5;
    shininess.Set(&shine, eFbxValueDouble);
    KFbxTexture* diffuse = KFbxTexture::Create(manager, "Bricks");
    diffuse->SetFileName((folder + "/bricks.tif").c_str());
    diffuse->SetRelativeFileName("bricks.tif");
    diffuse->SetTranslationUV(0.5, 0.25);
    diffuse->SetCropping(1, 2, 3, 4);
    diffuse->SetAlphaSource(KFbxTexture::eBLACK);
    KFbxTexture* emissive = KFbxTexture::Create(manager, "Glow");
    emissive->SetFileName((folder + "/glow.tif").c_str());

    KFbxMesh* mesh = MakeMesh(manager);
    KFbxNode* body = AddNode(manager, root, "Body", mesh);
    body->SetLclScaling(KFbxVector4(2.0, 2.0, 2.0, 0.0));
    body->ConnectSrc(lambert);
    body->ConnectSrc(phong);
    body->ConnectSrc(diffuse);
    body->ConnectSrc(emissive);
    AddLayers(*mesh, lambert, phong, diffuse, emissive);
    mesh->AddShape(MakeShape(manager, *mesh, 2, 0.75), "Smile");
    mesh->AddShape(MakeShape(manager, *mesh, 5, -1.5), "Frown");

    KFbxSkin* skin = KFbxSkin::Create(manager, "");
    skin->SetDeformAccuracy(25.0);
    for (int c = 0; c < 2; ++c) {
        KFbxCluster* cluster = KFbxCluster::Create(manager, "");
        cluster->SetLink(c == 0 ? hip : knee);
        cluster->SetLinkMode(c == 0 ? KFbxCluster::eNORMALIZE : KFbxCluster::eTOTAL1);
        for (int i = c; i < 8; i += 2) {
            cluster->AddControlPointIndex(i, 0.25 + 0.125 * i);
        }
        cluster->SetTransformMatrix(Transform(0.5, 1.0, -2.0, 10.0, 20.0, 30.0, 1.0));
        cluster->SetTransformLinkMatrix(Transform(0.0, 10.0 - 4.0 * c, 0.5 * c, 30.0 * c, 5.0, -15.0 * c, 1.0 + c));
        if (c == 1) {
            cluster->SetAssociateModel(body);
            cluster->SetTransformAssociateModelMatrix(Transform(1.0, 2.0, 3.0, 0.0, 45.0, 0.0, 2.0));
            cluster->SetUserData("7", "kneecap");
        }
        skin->AddCluster(cluster);
    }
    mesh->AddDeformer(skin);

    KFbxCamera* camera = KFbxCamera::Create(manager, "");
    camera->SetUpVector(KFbxVector4(0.0, 0.0, 1.0, 0.0));
    camera->SetLookAt(KFbxVector4(5.0, 6.0, 7.0, 0.0));
    camera->SetOrthoZoom(3.5);
    KFbxNode* cameraNode = AddNode(manager, root, "Eye", camera);
    cameraNode->SetLclTranslation(KFbxVector4(-10.0, 3.0, 20.0, 0.0));
    KFbxLight* light = KFbxLight::Create(manager, "");
    light->SetDefaultIntensity(75.0);
    AddNode(manager, root, "Lamp", light);
    KFbxMarker* marker = KFbxMarker::Create(manager, "");
    marker->SetType(KFbxMarker::eOPTICAL);
    AddNode(manager, knee, "Dot", marker);
    KFbxNode* empty = AddNode(manager, root, "Empty", KFbxNull::Create(manager, ""));
    empty->SetVisibility(false);
    empty->SetShading(3);

    KFbxGenericNode* generic = KFbxGenericNode::Create(manager, "Settings");
    scene->ConnectObject(generic);
    KFbxCache* cache = KFbxCache::Create(manager, "Bake");
    scene->ConnectObject(cache);
    KFbxGeometryWeightedMap* weightedMap = KFbxGeometryWeightedMap::Create(manager, "Transfer");
    auto mapping = std::make_unique<KFbxWeightedMapping>(3, 2);
    mapping->Add(0, 1, 0.5);
    mapping->Add(2, 0, 0.25);
    weightedMap->SetValues(std::move(mapping));
    scene->ConnectObject(weightedMap);

    {
        std::ofstream image(folder + "/bricks.tif", std::ios::binary);
        image << "not really an image, but bytes to embed";
    }
    KFbxVideo* video = KFbxVideo::Create(manager, "BricksClip");
    video->SetFileName((folder + "/bricks.tif").c_str());
    diffuse->SetMediaName("BricksClip");
    diffuse->ConnectSrc(video);

    KFbxPose* bind = KFbxPose::Create(manager, "BindPose");
    bind->SetIsBindPose(true);
    bind->Add(hip, Transform(0.0, 10.0, 0.0, 0.0, 0.0, 0.0, 1.0));
    bind->Add(knee, Transform(0.0, 6.0, 0.5, 30.0, 0.0, -15.0, 1.0));
    scene->ConnectObject(bind);
    KFbxPose* rest = KFbxPose::Create(manager, "Rest");
    rest->SetIsBindPose(false);
    rest->Add(body, Transform(1.0, 0.0, 0.0, 0.0, 90.0, 0.0, 2.0), true);
    scene->ConnectObject(rest);

    for (const char* takeName : {"Walk", "Run"}) {
        KFbxTakeInfo info;
        info.mName = takeName;
        info.mDescription = std::string(takeName) == "Walk" ? "slow" : "";
        info.mLocalTimeSpan.Set(Seconds(0.0), Seconds(2.0));
        info.mReferenceTimeSpan.Set(Seconds(0.0), Seconds(std::string(takeName) == "Walk" ? 2.0 : 3.0));
        scene->SetTakeInfo(info);
        const double scale = std::string(takeName) == "Walk" ? 1.0 : 2.0;
        AddCurves(*hip, takeName, scale);
        AddCurves(*knee, takeName, -scale);
        AddCurves(*body, takeName, 0.5 * scale);
    }
    scene->SetCurrentTake("Walk");

    KFbxSceneInfo* info = KFbxSceneInfo::Create(manager, "GlobalInfo");
    info->mTitle = "Rich";
    info->mAuthor = "Tests";
    info->mComment = "every record kind";
    scene->SetSceneInfo(info);
    return scene;
}

}  // namespace fbxsdk_2006_11_1::richscene

#endif
