// The class table of the SDK manager registers the animation, scene and
// geometry classes, so objects of them are made, found and destroyed through
// any manager by class id alone.
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxClassRegistration.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryBase.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxLayerContainer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <set>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// Names of the logged objects in the order their destructors ran.
std::vector<std::string> gDestroyed;

template <class Base>
class Logged : public Base {
public:
    static inline KFbxClassId ClassId;
    Logged(KFbxSdkManager* manager, const char* name) : Base(manager, name) {}
    ~Logged() override { gDestroyed.emplace_back(this->GetName()); }
    KFbxClassId GetClassId() const override { return ClassId; }
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name) {
        auto* object = new (std::nothrow) Logged(manager, name);
        if (object != nullptr) {
            object->CreateInternal();
        }
        return object;
    }
};
using LoggedNode = Logged<KFbxNode>;
using LoggedObject = Logged<KFbxObject>;

template <class T>
T* Create(KFbxSdkManager* manager, const KFbxClassId& classId, const char* name) {
    return static_cast<T*>(CreateObjectOfClass(manager, classId, name));
}

const KFbxClassRegistration* RowOf(const char* name) {
    const KFbxClassRegistration* rows = KFbxGetClassRegistrations();
    for (int row = 0; row < kKFbxClassRegistrationCount; ++row) {
        if (std::strcmp(rows[row].mName, name) == 0) {
            return &rows[row];
        }
    }
    return nullptr;
}

class KFbxClassRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        gDestroyed.clear();
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
    }
    void TearDown() override { delete mManager; }

    KFbxSdkManager* mManager = nullptr;
};

}  // namespace

TEST_F(KFbxClassRegistrationTest, TheManagerRegistersTheBuiltClassesUnderTheirParents) {
    const struct {
        const char* mName;
        const KFbxClassId& mClassId;
        const KFbxClassId& mParent;
        KFbxPlugCreateFn mCreateFn;
    } kClasses[] = {
        {"KFbxImageConverter", KFbxImageConverter::ClassId, KFbxObject::ClassId, &KFbxImageConverter::CreateFn},
        {"KFbxTakeNodeContainer", KFbxTakeNodeContainer::ClassId, KFbxObject::ClassId,
         &KFbxTakeNodeContainer::CreateFn},
        {"KFbxNodeAttribute", KFbxNodeAttribute::ClassId, KFbxObject::ClassId, &KFbxNodeAttribute::CreateFn},
        {"KFbxNode", KFbxNode::ClassId, KFbxTakeNodeContainer::ClassId, &KFbxNode::CreateFn},
        {"KFbxLayerContainer", KFbxLayerContainer::ClassId, KFbxNodeAttribute::ClassId,
         &KFbxLayerContainer::CreateFn},
        {"KFbxGeometryBase", KFbxGeometryBase::ClassId, KFbxLayerContainer::ClassId, &KFbxGeometryBase::CreateFn},
        {"KFbxShape", KFbxShape::ClassId, KFbxGeometryBase::ClassId, &KFbxShape::CreateFn},
        {"KFbxGeometry", KFbxGeometry::ClassId, KFbxGeometryBase::ClassId, &KFbxGeometry::CreateFn},
        {"KFbxMesh", KFbxMesh::ClassId, KFbxGeometry::ClassId, &KFbxMesh::CreateFn},
        {"KFbxThumbnail", KFbxThumbnail::ClassId, KFbxObject::ClassId, &KFbxThumbnail::CreateFn},
        {"KFbxSceneInfo", KFbxSceneInfo::ClassId, KFbxObject::ClassId, &KFbxSceneInfo::CreateFn},
        {"KFbxScene", KFbxScene::ClassId, KFbxObject::ClassId, &KFbxScene::CreateFn},
        {"KFbxGeometryWeightedMap", KFbxGeometryWeightedMap::ClassId, KFbxObject::ClassId,
         &KFbxGeometryWeightedMap::CreateFn},
        {"KFbxCache", KFbxCache::ClassId, KFbxObject::ClassId, &KFbxCache::CreateFn},
        {"KFbxGlobalSettings", KFbxGlobalSettings::ClassId, KFbxObject::ClassId, &KFbxGlobalSettings::CreateFn},
        {"KFbxGenericNode", KFbxGenericNode::ClassId, KFbxTakeNodeContainer::ClassId, &KFbxGenericNode::CreateFn},
        {"KFbxSurfaceMaterial", KFbxSurfaceMaterial::ClassId, KFbxTakeNodeContainer::ClassId,
         &KFbxSurfaceMaterial::CreateFn},
        {"KFbxTexture", KFbxTexture::ClassId, KFbxTakeNodeContainer::ClassId, &KFbxTexture::CreateFn},
        {"KFbxDeformer", KFbxDeformer::ClassId, KFbxTakeNodeContainer::ClassId, &KFbxDeformer::CreateFn},
        {"KFbxSubDeformer", KFbxSubDeformer::ClassId, KFbxTakeNodeContainer::ClassId, &KFbxSubDeformer::CreateFn},
        {"KFbxSkin", KFbxSkin::ClassId, KFbxDeformer::ClassId, &KFbxSkin::CreateFn},
        {"KFbxVertexCacheDeformer", KFbxVertexCacheDeformer::ClassId, KFbxDeformer::ClassId,
         &KFbxVertexCacheDeformer::CreateFn},
        {"KFbxCluster", KFbxCluster::ClassId, KFbxSubDeformer::ClassId, &KFbxCluster::CreateFn},
        {"KFbxNull", KFbxNull::ClassId, KFbxNodeAttribute::ClassId, &KFbxNull::CreateFn},
        {"KFbxMarker", KFbxMarker::ClassId, KFbxNodeAttribute::ClassId, &KFbxMarker::CreateFn},
        {"KFbxCameraSwitcher", KFbxCameraSwitcher::ClassId, KFbxNodeAttribute::ClassId,
         &KFbxCameraSwitcher::CreateFn},
        {"KFbxSurfaceLambert", KFbxSurfaceLambert::ClassId, KFbxSurfaceMaterial::ClassId,
         &KFbxSurfaceLambert::CreateFn},
        {"KFbxSurfacePhong", KFbxSurfacePhong::ClassId, KFbxSurfaceMaterial::ClassId, &KFbxSurfacePhong::CreateFn},
    };
    for (const auto& expected : kClasses) {
        SCOPED_TRACE(expected.mName);
        const KFbxClassRegistration* row = RowOf(expected.mName);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->mClassId, &expected.mClassId);
        EXPECT_EQ(row->mCreateFn, expected.mCreateFn);
        ASSERT_NE(expected.mClassId, KFbxClassId());
        EXPECT_STREQ(expected.mClassId.GetName(), expected.mName);
        EXPECT_EQ(expected.mClassId.GetClassIdInfo()->GetParent(), expected.mParent.GetClassIdInfo());
        EXPECT_EQ(expected.mClassId.GetClassIdInfo()->GetCreateFn(), expected.mCreateFn);
    }
    EXPECT_TRUE(KFbxMesh::ClassId.Is(KFbxNodeAttribute::ClassId));
    EXPECT_TRUE(KFbxNode::ClassId.Is(KFbxObject::ClassId));

    const KFbxSceneClassIds& sceneClasses = KFbxGetSceneClassIds();
    EXPECT_EQ(sceneClasses.mNode, KFbxNode::ClassId);
    EXPECT_EQ(sceneClasses.mNodeAttribute, KFbxNodeAttribute::ClassId);
    EXPECT_EQ(sceneClasses.mGeometry, KFbxGeometry::ClassId);
    EXPECT_EQ(sceneClasses.mScene, KFbxScene::ClassId);
    EXPECT_EQ(sceneClasses.mGeometryWeightedMap, KFbxGeometryWeightedMap::ClassId);
    EXPECT_EQ(sceneClasses.mDeformer, KFbxDeformer::ClassId);
    EXPECT_EQ(sceneClasses.mSkin, KFbxSkin::ClassId);
    EXPECT_EQ(sceneClasses.mCluster, KFbxCluster::ClassId);
    EXPECT_TRUE(KFbxSurfacePhong::ClassId.Is(KFbxSurfaceMaterial::ClassId));
    EXPECT_TRUE(KFbxSurfacePhong::ClassId.Is(KFbxTakeNodeContainer::ClassId));
    EXPECT_TRUE(KFbxCluster::ClassId.Is(KFbxSubDeformer::ClassId));
    EXPECT_FALSE(KFbxCluster::ClassId.Is(KFbxDeformer::ClassId));
}

TEST_F(KFbxClassRegistrationTest, ObjectsMadeByClassIdAreFoundByClassAndNameAndDieWithTheManager) {
    KFbxNode* node = Create<KFbxNode>(mManager, KFbxNode::ClassId, "node");
    KFbxMesh* mesh = Create<KFbxMesh>(mManager, KFbxMesh::ClassId, "mesh");
    KFbxTakeNodeContainer* container =
        Create<KFbxTakeNodeContainer>(mManager, KFbxTakeNodeContainer::ClassId, "container");
    ASSERT_NE(node, nullptr);
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(node->GetRuntimeClassId(), KFbxNode::ClassId);
    EXPECT_EQ(mesh->GetRuntimeClassId(), KFbxMesh::ClassId);
    EXPECT_EQ(container->GetRuntimeClassId(), KFbxTakeNodeContainer::ClassId);
    EXPECT_EQ(node->GetClassId(), KFbxNode::ClassId);
    EXPECT_EQ(mesh->GetClassId(), KFbxMesh::ClassId);

    EXPECT_EQ(mManager->GetObjectCount(), 3);
    EXPECT_EQ(mManager->GetObjectCount(KFbxNode::ClassId), 1);
    EXPECT_EQ(mManager->GetObjectCount(KFbxMesh::ClassId), 1);
    EXPECT_EQ(mManager->GetObjectCount(KFbxNodeAttribute::ClassId), 1);
    // A node is a take-node container; a mesh is not.
    EXPECT_EQ(mManager->GetObjectCount(KFbxTakeNodeContainer::ClassId), 2);
    EXPECT_EQ(mManager->GetObject(KFbxMesh::ClassId, 0), mesh);
    EXPECT_EQ(mManager->GetObject(KFbxNode::ClassId, 0), node);
    EXPECT_EQ(mManager->GetObject(KFbxNode::ClassId, 1), nullptr);

    EXPECT_EQ(mManager->FindObjectByName(KFbxNode::ClassId, "node"), node);
    EXPECT_EQ(mManager->FindObjectByName(KFbxMesh::ClassId, "mesh"), mesh);
    EXPECT_EQ(mManager->FindObjectByName(KFbxTakeNodeContainer::ClassId, "container"), container);
    EXPECT_EQ(mManager->FindObjectByName(KFbxTakeNodeContainer::ClassId, "node"), node);
    EXPECT_EQ(mManager->FindObjectByName(KFbxNode::ClassId, "mesh"), nullptr);
    EXPECT_EQ(mManager->FindObjectByName(KFbxNode::ClassId, "container"), nullptr);
    // The typed creators go through the same table.
    KFbxNode* other = KFbxNode::Create(mManager, "other");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(mManager->FindObjectByName(KFbxNode::ClassId, "other"), other);

    // One leaves early; the rest go with the manager, which the leak check
    // of the sanitized build holds to.
    mesh->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(KFbxMesh::ClassId), 0);
    EXPECT_EQ(mManager->FindObjectByName(KFbxMesh::ClassId, "mesh"), nullptr);
    EXPECT_EQ(mManager->GetObjectCount(), 3);
}

TEST_F(KFbxClassRegistrationTest, EveryManagerMakesTheRegisteredClasses) {
    KFbxSdkManager* second = CreateSdkManager();
    ASSERT_NE(second, nullptr);
    KFbxPlug* shape = CreateObjectOfClass(second, KFbxShape::ClassId, "shape");
    KFbxPlug* converter = CreateObjectOfClass(mManager, KFbxImageConverter::ClassId, "converter");
    ASSERT_NE(shape, nullptr);
    ASSERT_NE(converter, nullptr);
    EXPECT_TRUE(shape->Is(KFbxGeometryBase::ClassId));
    EXPECT_EQ(second->FindObjectByName(KFbxShape::ClassId, "shape"), shape);
    EXPECT_EQ(mManager->FindObjectByName(KFbxShape::ClassId, "shape"), nullptr);
    EXPECT_EQ(mManager->FindObjectByName(KFbxImageConverter::ClassId, "converter"), converter);
    delete second;
}

TEST_F(KFbxClassRegistrationTest, DestroyAllObjectsTakesNodesWithTheirChildrenBeforeTheRest) {
    LoggedNode::ClassId = RegisterClass(mManager, "TestLoggedNode", KFbxNode::ClassId, &LoggedNode::CreateFn,
                                        nullptr, nullptr);
    LoggedObject::ClassId = RegisterClass(mManager, "TestLoggedObject", KFbxObject::ClassId,
                                          &LoggedObject::CreateFn, nullptr, nullptr);
    ASSERT_NE(LoggedNode::ClassId, KFbxClassId());
    ASSERT_NE(LoggedObject::ClassId, KFbxClassId());

    // Made before every node, so only the node rule puts it last.
    ASSERT_NE(Create<LoggedObject>(mManager, LoggedObject::ClassId, "thing"), nullptr);
    ASSERT_NE(Create<KFbxMesh>(mManager, KFbxMesh::ClassId, "mesh"), nullptr);
    auto* root = Create<LoggedNode>(mManager, LoggedNode::ClassId, "root");
    auto* loose = Create<LoggedNode>(mManager, LoggedNode::ClassId, "loose");
    auto* child = Create<LoggedNode>(mManager, LoggedNode::ClassId, "child");
    ASSERT_NE(root, nullptr);
    ASSERT_NE(loose, nullptr);
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(root->AddChild(child));
    EXPECT_EQ(mManager->GetObjectCount(KFbxNode::ClassId), 3);

    mManager->DestroyAllObjects();
    // The child goes with its parent although it joined after the loose node.
    const std::vector<std::string> expected = {"child", "root", "loose", "thing"};
    EXPECT_EQ(gDestroyed, expected);
    EXPECT_EQ(mManager->GetObjectCount(), 0);
}

TEST_F(KFbxClassRegistrationTest, SceneMaterialTextureAndDeformersAreMadeByClassIdAndDieWithTheManager) {
    auto* scene = Create<KFbxScene>(mManager, KFbxScene::ClassId, "scene");
    auto* phong = Create<KFbxSurfacePhong>(mManager, KFbxSurfacePhong::ClassId, "phong");
    auto* texture = Create<KFbxTexture>(mManager, KFbxTexture::ClassId, "texture");
    auto* skin = Create<KFbxSkin>(mManager, KFbxSkin::ClassId, "skin");
    auto* cluster = Create<KFbxCluster>(mManager, KFbxCluster::ClassId, "cluster");
    ASSERT_NE(scene, nullptr);
    ASSERT_NE(phong, nullptr);
    ASSERT_NE(texture, nullptr);
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(cluster, nullptr);
    EXPECT_EQ(scene->GetClassId(), KFbxScene::ClassId);
    EXPECT_EQ(phong->GetClassId(), KFbxSurfacePhong::ClassId);
    EXPECT_EQ(texture->GetClassId(), KFbxTexture::ClassId);
    EXPECT_EQ(skin->GetClassId(), KFbxSkin::ClassId);
    EXPECT_EQ(cluster->GetClassId(), KFbxCluster::ClassId);
    EXPECT_EQ(phong->GetRuntimeClassId(), KFbxSurfacePhong::ClassId);
    EXPECT_EQ(cluster->GetRuntimeClassId(), KFbxCluster::ClassId);
    EXPECT_TRUE(phong->Is(KFbxSurfaceMaterial::ClassId));
    EXPECT_TRUE(skin->Is(KFbxDeformer::ClassId));

    // The scene made its root and switcher nodes, its settings and the
    // switcher attribute through the same table.
    ASSERT_NE(scene->GetRootNode(), nullptr);
    ASSERT_NE(scene->GetCameraSwitcherNode(), nullptr);
    ASSERT_NE(scene->GetGlobalSettings(), nullptr);
    EXPECT_EQ(mManager->GetObjectCount(KFbxScene::ClassId), 1);
    EXPECT_EQ(mManager->GetObjectCount(KFbxGlobalSettings::ClassId), 1);
    EXPECT_EQ(mManager->GetObjectCount(KFbxCameraSwitcher::ClassId), 1);
    EXPECT_EQ(mManager->GetObjectCount(KFbxNode::ClassId), 2);
    EXPECT_EQ(mManager->GetObjectCount(KFbxSurfaceMaterial::ClassId), 1);
    EXPECT_EQ(mManager->GetObjectCount(KFbxDeformer::ClassId), 1);
    EXPECT_EQ(mManager->GetObjectCount(KFbxSubDeformer::ClassId), 1);
    EXPECT_EQ(mManager->FindObjectByName(KFbxSurfaceMaterial::ClassId, "phong"), phong);
    EXPECT_EQ(mManager->FindObjectByName(KFbxTexture::ClassId, "texture"), texture);
    EXPECT_EQ(mManager->FindObjectByName(KFbxCluster::ClassId, "cluster"), cluster);

    // The cluster belongs to the skin, the material and texture to the scene;
    // the manager takes them all, which the sanitized build's leak check
    // holds to.
    EXPECT_EQ(skin->AddCluster(cluster), 0);
    EXPECT_TRUE(scene->ConnectObject(phong));
    EXPECT_TRUE(scene->ConnectObject(texture));
}

TEST_F(KFbxClassRegistrationTest, DestroyAllObjectsTakesScenesWithTheirObjectsFirst) {
    LoggedNode::ClassId = RegisterClass(mManager, "TestLoggedNode", KFbxNode::ClassId, &LoggedNode::CreateFn,
                                        nullptr, nullptr);
    LoggedObject::ClassId = RegisterClass(mManager, "TestLoggedObject", KFbxObject::ClassId,
                                          &LoggedObject::CreateFn, nullptr, nullptr);
    ASSERT_NE(LoggedNode::ClassId, KFbxClassId());
    ASSERT_NE(LoggedObject::ClassId, KFbxClassId());

    ASSERT_NE(Create<LoggedObject>(mManager, LoggedObject::ClassId, "thing"), nullptr);
    ASSERT_NE(Create<LoggedNode>(mManager, LoggedNode::ClassId, "loose"), nullptr);
    // The scene and its root node come after the loose node, so only the
    // scene rule takes the inner node before it.
    auto* scene = Create<KFbxScene>(mManager, KFbxScene::ClassId, "scene");
    ASSERT_NE(scene, nullptr);
    auto* inner = Create<LoggedNode>(mManager, LoggedNode::ClassId, "inner");
    ASSERT_NE(inner, nullptr);
    ASSERT_TRUE(scene->GetRootNode()->AddChild(inner));
    ASSERT_NE(Create<KFbxSkin>(mManager, KFbxSkin::ClassId, "skin"), nullptr);

    mManager->DestroyAllObjects();
    const std::vector<std::string> expected = {"inner", "loose", "thing"};
    EXPECT_EQ(gDestroyed, expected);
    EXPECT_EQ(mManager->GetObjectCount(), 0);
}

TEST(KFbxClassTable, EveryLibrarySuppliesItsRowsInTheOneOrderParentsFirst) {
    const KFbxClassRegistration* rows = KFbxGetClassRegistrations();
    std::set<std::string> seen;
    for (int row = 0; row < kKFbxClassRegistrationCount; ++row) {
        ASSERT_NE(rows[row].mName, nullptr) << "no library filled place " << row;
        if (rows[row].mParentName != nullptr) {
            EXPECT_TRUE(seen.count(rows[row].mParentName)) << rows[row].mName;
        } else {
            EXPECT_EQ(row, 0);
        }
        EXPECT_TRUE(seen.insert(rows[row].mName).second) << rows[row].mName;
        // A create function without a class id to register it under is lost.
        if (rows[row].mClassId == nullptr) {
            EXPECT_EQ(rows[row].mCreateFn, nullptr) << rows[row].mName;
        }
    }
    EXPECT_STREQ(rows[0].mName, "KFbxPlug");
    EXPECT_STREQ(rows[2].mName, "KFbxObject");
    EXPECT_STREQ(rows[3].mName, "KFbxThumbnail");
    EXPECT_STREQ(rows[19].mName, "KFbxKFCurveFilterConstantKeyReducer");
    EXPECT_STREQ(rows[35].mName, "KFbxImporter");
    EXPECT_STREQ(rows[37].mName, "KFbxNode");
    EXPECT_STREQ(rows[37].mParentName, "KFbxTakeNodeContainer");
    EXPECT_STREQ(rows[65].mName, "KFbxGeometry");
    EXPECT_STREQ(rows[74].mName, "KFbxSurfacePhong");
    EXPECT_STREQ(rows[74].mParentName, "KFbxSurfaceMaterial");
    EXPECT_EQ(rows[1].mCreateFn, &KFbxProperty::CreateFn);
    EXPECT_EQ(rows[2].mCreateFn, &KFbxObject::CreateFn);
}
