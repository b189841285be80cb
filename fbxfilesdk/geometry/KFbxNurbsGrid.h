// The parameters a NURBS surface keeps per direction (count, type, order,
// step, knots and multiplicities) and the limits they are checked against.
// Surfaces and curves share the knot-count rule: an open form spans its
// points, a closed form also returns to the first point, and a periodic
// form wraps order - 1 points around so that it closes smoothly.
#ifndef FBXFILESDK_GEOMETRY_KFBXNURBSGRID_H
#define FBXFILESDK_GEOMETRY_KFBXNURBSGRID_H

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxGeometryBase;

class KFbxNurbsGrid {
public:
    // How a direction closes; the classes map their own type numbers onto it.
    enum EForm { eOPEN_FORM, eCLOSED_FORM, ePERIODIC_FORM };
    // The type numbers of NURBS surfaces (per direction).
    enum EType { ePERIODIC = 0, eCLOSED = 1, eOPEN = 2 };

    // Limits checked before anything is sized, so that counts read from a
    // file can neither overflow nor ask for absurd amounts of memory.
    static constexpr int kMaxOrder = 64;
    static constexpr int kMaxControlPoints = 1 << 20;

    struct Direction {
        int mCount = 0;
        int mType = eOPEN;
        int mOrder = 4;
        int mStep = 4;
        std::vector<double> mKnots;
        std::vector<int> mMultiplicities;
    };

    // The form of a surface type number: 0 periodic, 1 closed, others open.
    static EForm FormOfType(int type);
    // The points a form evaluates over: count, count + 1 (closed) or
    // count + order - 1 (periodic).
    static long long EffectivePointCount(int count, int order, EForm form);
    // EffectivePointCount + order; -1 for a negative count, an order outside
    // 1 to kMaxOrder, or a result above kMaxControlPoints.
    static int KnotCount(int count, int order, EForm form);
    // Knots of that count: clamped (the ends repeated order times) for the
    // open and closed forms when there are enough points, else uniform.
    static std::vector<double> DefaultKnots(int count, int order, EForm form);
    // Sizes the knots for the count, order and form; their values are reset
    // to the defaults only when the size changes. False, unchanged, when the
    // size is out of limits or memory runs out.
    static bool FitKnots(std::vector<double>& knots, int count, int order, EForm form);

    // count points (0, 0, 0, 1) on the geometry: a weight of 1 keeps a
    // rational surface that nobody weighted well defined.
    static void InitUnitPoints(KFbxGeometryBase& geometry, int count);

    // uCount x vCount points with the types; multiplicities all 1 when kept.
    // False, unchanged, for negative counts or too many points.
    bool Init(int uCount, int uType, int vCount, int vType);
    // False, unchanged, for an order outside 1 to kMaxOrder or knots that
    // would be too many.
    bool SetOrder(int uOrder, int vOrder);
    void SetStep(int uStep, int vStep);
    // U and V exchange every parameter.
    void SwapUV();
    int GetPointCount() const { return mU.mCount * mV.mCount; }

    Direction mU;
    Direction mV;
    int mSurfaceMode = 0;
};

// The items of a parameter array as callers see them: null when empty.
template <class T>
T* KFbxDataOrNull(std::vector<T>& items) {
    return items.empty() ? nullptr : items.data();
}
template <class T>
const T* KFbxDataOrNull(const std::vector<T>& items) {
    return items.empty() ? nullptr : items.data();
}

}  // namespace fbxsdk_2006_11_1

#endif
