#include <fbxfilesdk/geometry/KFbxNurbsGrid.h>

#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxGeometryBase.h>

#include <new>
#include <utility>

namespace fbxsdk_2006_11_1 {

KFbxNurbsGrid::EForm KFbxNurbsGrid::FormOfType(int type) {
    switch (type) {
        case ePERIODIC:
            return ePERIODIC_FORM;
        case eCLOSED:
            return eCLOSED_FORM;
        default:
            return eOPEN_FORM;
    }
}

long long KFbxNurbsGrid::EffectivePointCount(int count, int order, EForm form) {
    switch (form) {
        case eCLOSED_FORM:
            return static_cast<long long>(count) + 1;
        case ePERIODIC_FORM:
            return static_cast<long long>(count) + order - 1;
        default:
            return count;
    }
}

int KFbxNurbsGrid::KnotCount(int count, int order, EForm form) {
    if (count < 0 || order < 1 || order > kMaxOrder) {
        return -1;
    }
    const long long knots = EffectivePointCount(count, order, form) + order;
    return knots > kMaxControlPoints ? -1 : static_cast<int>(knots);
}

std::vector<double> KFbxNurbsGrid::DefaultKnots(int count, int order, EForm form) {
    const int size = KnotCount(count, order, form);
    std::vector<double> knots(static_cast<std::size_t>(size < 0 ? 0 : size));
    const long long points = EffectivePointCount(count, order, form);
    const bool clamped = form != ePERIODIC_FORM && points >= order;
    for (int index = 0; index < size; ++index) {
        double value = index;
        if (clamped) {
            // Interior knots run 1, 2, ...; the ends stay put order times.
            const long long last = points - order + 1;
            const long long interior = static_cast<long long>(index) - order + 1;
            value = static_cast<double>(interior < 0 ? 0 : (interior > last ? last : interior));
        }
        knots[static_cast<std::size_t>(index)] = value;
    }
    return knots;
}

void KFbxNurbsGrid::InitUnitPoints(KFbxGeometryBase& geometry, int count) {
    geometry.InitControlPoints(count);
    KFbxVector4* points = geometry.GetControlPoints();
    for (int index = 0; points != nullptr && index < geometry.GetControlPointsCount(); ++index) {
        points[index][3] = 1.0;
    }
}

bool KFbxNurbsGrid::FitKnots(std::vector<double>& knots, int count, int order, EForm form) {
    const int size = KnotCount(count, order, form);
    if (size < 0) {
        return false;
    }
    if (static_cast<std::size_t>(size) != knots.size()) {
        try {
            knots = DefaultKnots(count, order, form);
        } catch (const std::bad_alloc&) {
            SdkNoteAllocationFailure();
            return false;
        }
    }
    return true;
}

bool KFbxNurbsGrid::Init(int uCount, int uType, int vCount, int vType) {
    if (uCount < 0 || vCount < 0 ||
        static_cast<long long>(uCount) * static_cast<long long>(vCount) > kMaxControlPoints ||
        KnotCount(uCount, mU.mOrder, FormOfType(uType)) < 0 || KnotCount(vCount, mV.mOrder, FormOfType(vType)) < 0) {
        return false;
    }
    mU.mCount = uCount;
    mU.mType = uType;
    mV.mCount = vCount;
    mV.mType = vType;
    mU.mMultiplicities.assign(static_cast<std::size_t>(uCount), 1);
    mV.mMultiplicities.assign(static_cast<std::size_t>(vCount), 1);
    return FitKnots(mU.mKnots, uCount, mU.mOrder, FormOfType(uType)) &&
           FitKnots(mV.mKnots, vCount, mV.mOrder, FormOfType(vType));
}

bool KFbxNurbsGrid::SetOrder(int uOrder, int vOrder) {
    if (KnotCount(mU.mCount, uOrder, FormOfType(mU.mType)) < 0 ||
        KnotCount(mV.mCount, vOrder, FormOfType(mV.mType)) < 0) {
        return false;
    }
    mU.mOrder = uOrder;
    mV.mOrder = vOrder;
    return FitKnots(mU.mKnots, mU.mCount, uOrder, FormOfType(mU.mType)) &&
           FitKnots(mV.mKnots, mV.mCount, vOrder, FormOfType(mV.mType));
}

void KFbxNurbsGrid::SetStep(int uStep, int vStep) {
    mU.mStep = uStep;
    mV.mStep = vStep;
}

void KFbxNurbsGrid::SwapUV() { std::swap(mU, mV); }

}  // namespace fbxsdk_2006_11_1
