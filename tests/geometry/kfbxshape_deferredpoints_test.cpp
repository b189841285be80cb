// Shapes whose points are a shared base and their own changes: the same
// points as a whole copy would hold, through every way of reading and
// changing them.
#include "geometry/GeometryTestSupport.h"

#include <memory>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1::geometrytest {
namespace {

using Points = std::vector<KFbxVector4>;
using Changes = std::vector<std::pair<int, KFbxVector4>>;

std::shared_ptr<const Points> Base() {
    return std::make_shared<const Points>(Points{{0, 0, 0, 0}, {1, 0, 0, 0}, {2, 0, 0, 0}});
}

class DeferredPointsTest : public GeometryTest {
protected:
    KFbxShape* MakeShape(Changes changes) {
        KFbxShape* shape = KFbxShape::Create(mManager, "shape");
        EXPECT_TRUE(shape->SetControlPointsOver(Base(), std::move(changes)));
        return shape;
    }
};

TEST_F(DeferredPointsTest, TheLastChangeOfAPointCountsAndChangesOutsideAreIgnored) {
    KFbxShape* shape = MakeShape({{1, {5, 5, 5, 0}}, {7, {9, 9, 9, 0}}, {1, {6, 6, 6, 0}}, {-1, {9, 9, 9, 0}}});
    EXPECT_TRUE(shape->HasDeferredControlPoints());
    EXPECT_EQ(shape->GetControlPointsCount(), 3);
    EXPECT_EQ(shape->GetControlPointAt(1), KFbxVector4(6, 6, 6, 0));
    EXPECT_EQ(shape->GetControlPointAt(2), KFbxVector4(2, 0, 0, 0));
    EXPECT_EQ(shape->GetControlPointAt(3), KFbxVector4(0, 0, 0, 0));
    const KFbxShape& reading = *shape;
    const KFbxVector4* points = reading.GetControlPoints();
    ASSERT_NE(points, nullptr);
    EXPECT_FALSE(shape->HasDeferredControlPoints());
    EXPECT_EQ(points[1], KFbxVector4(6, 6, 6, 0));
    EXPECT_EQ(points[2], KFbxVector4(2, 0, 0, 0));
    EXPECT_EQ(shape->GetControlPointAt(1), KFbxVector4(6, 6, 6, 0));
}

TEST_F(DeferredPointsTest, WritingOrReplacingThePointsEndsTheDeferral) {
    KFbxShape* grown = MakeShape({{0, {4, 4, 4, 0}}});
    ASSERT_TRUE(grown->SetControlPointAt(KFbxVector4(8, 8, 8, 0), KFbxVector4(0, 0, 1, 0), 4));
    EXPECT_FALSE(grown->HasDeferredControlPoints());
    EXPECT_EQ(grown->GetControlPointsCount(), 5);
    EXPECT_EQ(grown->GetControlPointAt(0), KFbxVector4(4, 4, 4, 0));
    EXPECT_EQ(grown->GetControlPointAt(4), KFbxVector4(8, 8, 8, 0));

    KFbxShape* replaced = MakeShape({{0, {4, 4, 4, 0}}});
    replaced->InitControlPoints(2);
    EXPECT_FALSE(replaced->HasDeferredControlPoints());
    EXPECT_EQ(replaced->GetControlPointsCount(), 2);
    EXPECT_EQ(replaced->GetControlPointAt(0), KFbxVector4(0, 0, 0, 0));

    // A whole shape copied over a deferred one replaces it too.
    KFbxShape* whole = KFbxShape::Create(mManager, "whole");
    whole->InitControlPoints(1);
    ASSERT_TRUE(replaced->SetControlPointsOver(Base(), {}));
    ASSERT_TRUE(replaced->Copy(*whole));
    EXPECT_FALSE(replaced->HasDeferredControlPoints());
    EXPECT_EQ(replaced->GetControlPointsCount(), 1);

    KFbxShape* refused = KFbxShape::Create(mManager, "refused");
    refused->InitControlPoints(2);
    EXPECT_FALSE(refused->SetControlPointsOver(nullptr, {}));
    EXPECT_EQ(refused->GetControlPointsCount(), 2);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::geometrytest
