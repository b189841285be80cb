// Shapes whose layer-0 normals are a shared base and their own changes: the
// same normals as a whole element would hold, put in place on the first way
// to the layers.
#include "geometry/GeometryTestSupport.h"

#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>

#include <memory>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1::geometrytest {
namespace {

using Normals = std::vector<KFbxVector4>;
using Changes = std::vector<std::pair<int, KFbxVector4>>;

std::shared_ptr<const Normals> Base() {
    return std::make_shared<const Normals>(Normals{{0, 0, 1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}});
}

const KFbxLayerElementNormal* NormalsOf(const KFbxShape& shape) {
    const KFbxLayer* layer = shape.GetLayer(0);
    return layer != nullptr ? layer->GetNormals() : nullptr;
}

class DeferredNormalsTest : public GeometryTest {
protected:
    KFbxShape* MakeShape(Changes changes) {
        KFbxShape* shape = KFbxShape::Create(mManager, "shape");
        EXPECT_TRUE(shape->SetNormalsOver(Base(), std::move(changes), "smooth"));
        return shape;
    }
};

TEST_F(DeferredNormalsTest, TheFirstWayToTheLayersPutsInTheBaseWithItsLastChanges) {
    KFbxShape* shape = MakeShape({{1, {0, 0, -1, 0}}, {7, {9, 9, 9, 0}}, {1, {0, -1, 0, 0}}, {-1, {9, 9, 9, 0}}});
    EXPECT_TRUE(shape->HasDeferredNormals());
    EXPECT_EQ(shape->GetLayerCount(), 1);
    EXPECT_FALSE(shape->HasDeferredNormals());
    const KFbxLayerElementNormal* normals = NormalsOf(*shape);
    ASSERT_NE(normals, nullptr);
    EXPECT_STREQ(normals->GetName(), "smooth");
    EXPECT_EQ(normals->GetMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    EXPECT_EQ(normals->GetReferenceMode(), KFbxLayerElement::eDIRECT);
    ASSERT_EQ(normals->GetDirectArray().GetCount(), 3);
    EXPECT_EQ(normals->GetDirectArray().GetAt(0), KFbxVector4(0, 0, 1, 0));
    EXPECT_EQ(normals->GetDirectArray().GetAt(1), KFbxVector4(0, -1, 0, 0));
    EXPECT_EQ(normals->GetDirectArray().GetAt(2), KFbxVector4(1, 0, 0, 0));
}

TEST_F(DeferredNormalsTest, EveryWayToTheLayersSeesTheNormals) {
    KFbxShape* byLayer = MakeShape({{2, {0, 0, 2, 0}}});
    ASSERT_NE(byLayer->GetLayer(0), nullptr);
    EXPECT_EQ(byLayer->GetNormals()[2], KFbxVector4(0, 0, 2, 0));

    KFbxShape* byType = MakeShape({});
    EXPECT_EQ(byType->GetLayerCountOfType(KFbxLayerElement::eNORMAL), 1);

    // A layer made next goes after layer 0, which holds the normals.
    KFbxShape* grown = MakeShape({});
    EXPECT_EQ(grown->CreateLayer(), 1);
    ASSERT_NE(NormalsOf(*grown), nullptr);
    EXPECT_EQ(NormalsOf(*grown)->GetDirectArray().GetCount(), 3);
}

TEST_F(DeferredNormalsTest, ACopyStaysDeferredAndARefusedBaseChangesNothing) {
    KFbxShape* source = MakeShape({{0, {1, 1, 1, 0}}});
    KFbxShape* copy = KFbxShape::Create(mManager, "copy");
    ASSERT_TRUE(copy->Copy(*source));
    EXPECT_TRUE(copy->HasDeferredNormals());
    EXPECT_TRUE(source->HasDeferredNormals());
    ASSERT_NE(NormalsOf(*copy), nullptr);
    EXPECT_EQ(NormalsOf(*copy)->GetDirectArray().GetAt(0), KFbxVector4(1, 1, 1, 0));
    ASSERT_NE(NormalsOf(*source), nullptr);
    EXPECT_EQ(NormalsOf(*source)->GetDirectArray().GetAt(0), KFbxVector4(1, 1, 1, 0));

    // A whole shape copied over a deferred one replaces it.
    KFbxShape* replaced = MakeShape({});
    KFbxShape* whole = KFbxShape::Create(mManager, "whole");
    ASSERT_TRUE(replaced->Copy(*whole));
    EXPECT_FALSE(replaced->HasDeferredNormals());
    EXPECT_EQ(replaced->GetLayerCount(), 0);

    KFbxShape* refused = KFbxShape::Create(mManager, "refused");
    EXPECT_FALSE(refused->SetNormalsOver(nullptr, {}, "none"));
    EXPECT_FALSE(refused->HasDeferredNormals());
    EXPECT_EQ(refused->GetLayerCount(), 0);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::geometrytest
