// A NURBS curve: control points with their weight as fourth coordinate, an
// order, a type (2 periodic, 1 closed, any other value open), a dimension
// word and a knot vector sized by the point count, order and type. Curves
// bound the regions of trimmed surfaces.
#ifndef FBXFILESDK_GEOMETRY_KFBXNURBSCURVE_H
#define FBXFILESDK_GEOMETRY_KFBXNURBSCURVE_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxObject_internal;
class KFbxPlug;
class KFbxSdkManager;

class KFbxNurbsCurve : public KFbxGeometry {
public:
    // Values outside the named ones are kept, so the type is a full int.
    enum EType : int { eOPEN = 0, eCLOSED = 1, ePERIODIC = 2 };
    enum EDimension : int { e2D = 2, e3D = 3 };

    // The class id of KFbxNurbsCurve; null until the class is registered.
    static KFbxClassId ClassId;

    // No points, order 4, open, three dimensions.
    KFbxNurbsCurve(KFbxSdkManager* manager, const char* name);
    ~KFbxNurbsCurve() override;

    // Through the manager; null when the class is not registered or memory runs out.
    static KFbxNurbsCurve* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxObject_internal* NewInternalObject() override;
    EAttributeType GetAttributeType() const override { return eNURBS_CURVE; }
    // "NurbsCurve".
    const char* GetTypeName() const override;
    // From another curve: points, layers, pivot, shapes, order, type,
    // dimension and knots. Nothing from any other object.
    void Copy(const KFbxObject& other) override;
    // Mode 2: a new curve of the same name with this one's contents.
    KFbxNodeAttribute* Clone(int mode) const override;

    // count points (0, 0, 0, 1) of the type; the knots are sized to match.
    // False, unchanged, for a negative count or too many points.
    bool InitControlPoints(int count, EType type);
    using KFbxGeometryBase::InitControlPoints;
    // Kept as given; any value but 1 and 2 reads as open.
    EType GetType() const { return mType; }

    // Order is degree + 1; the knots are resized to match. False, unchanged,
    // for an order below 1 or above the supported maximum.
    bool SetOrder(int order);
    int GetOrder() const { return mOrder; }
    // The dimension word, kept as given.
    void SetDimension(EDimension dimension) { mDimension = dimension; }
    EDimension GetDimension() const { return mDimension; }

    int GetKnotCount() const { return static_cast<int>(mKnots.size()); }
    // Null when empty.
    double* GetKnotVector();
    const double* GetKnotVector() const;

    // True when a point's weight is not 1.
    bool IsRational() const;

private:
    // Sizes the knots for the count, order and type; values reset only when
    // the size changes. False when the size is out of limits.
    bool FitKnots(int count, int order, EType type);

    EType mType = eOPEN;
    int mOrder = 4;
    EDimension mDimension = e3D;
    std::vector<double> mKnots;
};

}  // namespace fbxsdk_2006_11_1

#endif
