#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// A plug of a given class record, for testing filters against class trees.
class PlugOf : public KPlug {
public:
    explicit PlugOf(const KPlugClassInfo* info) : mInfo(info) {}
    const KPlugClassInfo* GetClassInfo() const override { return mInfo; }

private:
    const KPlugClassInfo* mInfo;
};

}  // namespace

TEST(PlugClassTable, TypeIdsFollowTheFixedRegistrationOrder) {
    // Pinned: other code and stored data rely on these ids (3 onwards, in this order).
    const char* const order[] = {
        "KFbxProperty_internal", "KFbxScene_internal", "KFbxNode_internal", "KFbxMesh_internal",
        "KFbxTexture_internal", "KFbxCluster_internal", "KFbxSkin_internal", "KFbxGeometry_internal",
        "KFbxNodeAttribute_internal", "KFbxCache_internal", "KFbxVertexCacheDeformer_internal", "KPlugList",
        "KDataPlug", "KFbxObject_internal", "KFbxPlug_internal", "KGenericObjectList", "KObjectList",
        "KProperty", "KPropertyObjectList", "KFbxTakeNodeContainer_internal", "KFbxSurfaceMaterial_internal",
        "KFbxNull_internal", "KFbxMarker_internal", "KFbxCamera_internal", "KFbxLight_internal",
        "KFbxSkeleton_internal", "KFbxPatch_internal", "KFbxNurb_internal", "KFbxNurbsSurface_internal",
        "KFbxNurbsCurve_internal", "KFbxBoundary_internal", "KFbxTrimNurbsSurface_internal",
        "KFbxGeometryWeightedMap_internal", "KFbxOpticalReference_internal", "KFbxShape_internal",
        "KFbxVideo_internal", "KFbxPose_internal", "KFbxCameraSwitcher_internal", "KFbxGenericNode_internal",
        "KFbxConstraintAim_internal", "KFbxConstraintSingleChainIK_internal", "KFbxConstraintParent_internal",
        "KFbxConstraintScale_internal", "KFbxConstraintRotation_internal", "KFbxConstraintPosition_internal",
        "KFbxCharacter_Internal", "KFbxCharacterPose_internal", "KFbxControlSetPlug_internal",
        "KFbxDeformer_internal", "KFbxStreamOptions_internal", "KFbxSubDeformer_internal",
        "KFCurveFilterMatrixConverter", "KEntity", "KEntityList", "KFbxConstraint_internal",
        "KFCurveFilterConstantKeyReducer", "KFCurveFilter", "KFCurveFilterResample", "KFCurveFilterUnroll",
        "KFCurveFilterTimeShiftAndScale", "KObjectSet", "KFBObject", "KFCurveFilterGimbleKiller",
        "KFCurveFilterKeySync", "KFCurveFilterKeyReducer",
    };
    ASSERT_EQ(std::size(order), 65u);
    const KPlugClassRegistry& registry = KPlugClassRegistry::GetProcess();
    for (int i = 0; i < 65; ++i) {
        const KPlugClassInfo* record = registry.GetClassInfo(3 + i);
        ASSERT_NE(record, nullptr) << order[i];
        EXPECT_STREQ(record->GetClassName(), order[i]);
        EXPECT_EQ(record->GetId(), 3 + i) << order[i];
    }
    EXPECT_EQ(gKFbxProperty_internalClassInfo.GetId(), 3);
    EXPECT_EQ(gKFbxNode_internalClassInfo.GetId(), 5);
    EXPECT_EQ(gKPropertyClassInfo.GetId(), 20);
    EXPECT_EQ(gKPropertyObjectListClassInfo.GetId(), 21);
    EXPECT_EQ(gKFCurveFilterKeyReducerClassInfo.GetId(), 67);
    EXPECT_EQ(registry.GetCounter(), 68);

    EXPECT_EQ(gNoneClassInfo.GetId(), -1);
    EXPECT_EQ(gKObjectClassInfo.GetId(), 1);
    EXPECT_EQ(gKPlugClassInfo.GetId(), 2);
    // Fixed entries, not registered by the table.
    EXPECT_EQ(GetPlugClassFilter(1), gKObjectClassInfo.GetFilter());
    EXPECT_EQ(GetPlugClassFilter(2), gKPlugClassInfo.GetFilter());
}

TEST(PlugClassTable, ParentsFormTheClassTree) {
    EXPECT_EQ(gKObjectClassInfo.GetParent(), &gKPlugClassInfo);
    EXPECT_EQ(gKPlugClassInfo.GetParent(), nullptr);
    EXPECT_EQ(gNoneClassInfo.GetParent(), nullptr);
    EXPECT_EQ(gKFbxMesh_internalClassInfo.GetParent(), &gKFbxGeometry_internalClassInfo);
    EXPECT_EQ(gKFbxCluster_internalClassInfo.GetParent(), &gKFbxSubDeformer_internalClassInfo);
    EXPECT_EQ(gKEntityClassInfo.GetParent(), &gKObjectSetClassInfo);
    EXPECT_EQ(gKFbxCharacter_InternalClassInfo.GetParent(), &gKFbxConstraint_internalClassInfo);
    EXPECT_EQ(gKPropertyObjectListClassInfo.GetParent(), &gKPropertyClassInfo);
    // Mesh -> Geometry -> NodeAttribute -> Object_internal -> KObject -> KPlug.
    EXPECT_TRUE(gKFbxMesh_internalClassInfo.IsA(gKFbxNodeAttribute_internalClassInfo.GetId()));
    EXPECT_TRUE(gKFbxMesh_internalClassInfo.IsA(1));
    EXPECT_TRUE(gKFbxMesh_internalClassInfo.IsA(2));
    EXPECT_FALSE(gKFbxMesh_internalClassInfo.IsA(gKPropertyClassInfo.GetId()));
}

TEST(PlugClassFilter, FiltersMatchTheirClassAndDerivedClasses) {
    PlugOf node(&gKFbxNode_internalClassInfo);
    PlugOf property(&gKPropertyClassInfo);
    KPlug plain;

    const KPlugFilter* objectFilter = GetPlugClassFilter(1);
    const KPlugFilter* propertyFilter = GetPlugClassFilter(gKPropertyClassInfo.GetId());
    ASSERT_NE(objectFilter, nullptr);
    ASSERT_NE(propertyFilter, nullptr);
    EXPECT_TRUE(objectFilter->Match(&node));
    EXPECT_FALSE(propertyFilter->Match(&node));
    EXPECT_TRUE(propertyFilter->Match(&property));
    EXPECT_FALSE(objectFilter->Match(&plain));
    EXPECT_FALSE(objectFilter->Match(nullptr));

    const KPlugFilter* none = GetPlugClassFilter(-1);
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->Match(nullptr));
    EXPECT_TRUE(none->Match(&plain));
    EXPECT_TRUE(none->Match(&node));
    EXPECT_EQ(none->GetId(), -1);

    EXPECT_EQ(GetPlugClassFilter(0), nullptr);
    EXPECT_NE(GetPlugClassFilter(2), nullptr);
    EXPECT_EQ(GetPlugClassFilter(68), nullptr);
    EXPECT_EQ(GetPlugClassFilter(699), nullptr);
    EXPECT_EQ(GetPlugClassFilter(-2), nullptr);

    // Filters are equal by id, wherever they are stored.
    const KPlugFilter copy(gKPropertyClassInfo.GetIdSlot());
    EXPECT_TRUE(copy.IsEqual(propertyFilter));
    EXPECT_TRUE(copy.HasId(20));
    EXPECT_FALSE(copy.IsEqual(objectFilter));
    EXPECT_FALSE(copy.IsEqual(nullptr));

    EXPECT_TRUE(node.IsType(gKFbxNode_internalClassInfo.GetId()));
    EXPECT_EQ(node.GetTypeId(), 5);
    EXPECT_STREQ(node.GetClassName(), "KFbxNode_internal");
    EXPECT_EQ(plain.GetTypeId(), 2);
    EXPECT_EQ(plain.GetTypeIdCopy(), 2);
    EXPECT_STREQ(plain.GetClassName(), "KPlug");
    EXPECT_STREQ(plain.GetTypeName(), "");
}

TEST(PlugClassRegistry, CountedIdsStartAtThreeAndTheTableRefusesOverflow) {
    KPlugClassRegistry registry;
    int slots[700] = {};
    std::vector<std::string> names(700);
    std::vector<KPlugClassInfo*> records;
    for (int i = 0; i < 700; ++i) {
        names[i] = "Test" + std::to_string(i);
        records.push_back(new KPlugClassInfo(&slots[i], names[i].c_str(), &gKPlugClassInfo));
    }
    EXPECT_EQ(registry.Register(records[0], -1), 3);
    EXPECT_EQ(registry.Register(records[1], -1), 4);
    // An explicit id is stored as given; the counter steps over it.
    EXPECT_EQ(registry.Register(records[2], 5), 5);
    EXPECT_EQ(registry.Register(records[3], 5), -1);
    EXPECT_EQ(registry.Register(records[3], -1), 6);
    EXPECT_EQ(registry.Register(records[4], 0), -1);
    EXPECT_EQ(registry.Register(records[4], 699), -1);
    EXPECT_EQ(registry.Register(nullptr, -1), -1);

    int registered = 4;
    while (registry.Register(records[registered], -1) != -1) {
        ++registered;
    }
    // Ids 3 to 698: 696 records.
    EXPECT_EQ(registered, 696);
    EXPECT_EQ(registry.GetClassInfo(698), records[695]);
    EXPECT_EQ(registry.GetClassInfo(1), &gKObjectClassInfo);
    EXPECT_EQ(registry.GetClassInfo(-1), &gNoneClassInfo);
    for (KPlugClassInfo* record : records) {
        delete record;
    }
}

TEST(PlugClassRegistry, TheLastReleaseDeletesRunTimeRecordsAndTheHandlePool) {
    EXPECT_EQ(KPlugClassRegistry::GetHandlePool(), nullptr);
    KPlugClassRegistry::AddRef();
    KPlugClassRegistry::AddRef();
    ASSERT_NE(KPlugClassRegistry::GetHandlePool(), nullptr);

    static int slot = 0;
    auto* record = new KPlugClassInfo(&slot, "RunTimeClass", &gKObjectClassInfo);
    record->MarkMadeAtRunTime();
    slot = RegisterPlugClass(record, -1);
    ASSERT_EQ(slot, 68);
    EXPECT_EQ(GetPlugClassFilter(68), record->GetFilter());

    KPlugClassRegistry::Release();
    EXPECT_NE(GetPlugClassFilter(68), nullptr);
    KPlugClassRegistry::Release();
    // Deleted (the leak checker would see it otherwise) and its entry emptied.
    EXPECT_EQ(GetPlugClassFilter(68), nullptr);
    EXPECT_EQ(KPlugClassRegistry::GetHandlePool(), nullptr);
    EXPECT_EQ(KPlugClassRegistry::GetUseCount(), 0);
    KPlugClassRegistry::Release();
    EXPECT_EQ(KPlugClassRegistry::GetUseCount(), 0);
}
