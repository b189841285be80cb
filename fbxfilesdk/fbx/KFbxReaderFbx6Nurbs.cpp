// The FBX 6 reader's parametric geometries: NURBS and patches inside their
// models, NURBS surfaces, curves, trim boundaries and trimmed surfaces in
// their own "Geometry" records.
#include <fbxfilesdk/fbx/KFbxReaderFbx6Pass.h>

#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFbx6RecordWords.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Records.h>
#include <fbxfilesdk/geometry/KFbxBoundary.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxNurbsCurve.h>
#include <fbxfilesdk/geometry/KFbxNurbsGrid.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxTrimNurbsSurface.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace fbx6read {

namespace {

bool Refuse(KString& why, const char* record, const char* text) {
    why = KString(record) + ": " + text;
    return false;
}

// A field of exactly two ints; false when it is there with another count.
bool ReadIntPair(KFbx& file, const char* name, int pair[2], bool& present) {
    std::vector<int> values;
    present = ReadInts(file, name, values);
    if (!present) {
        return true;
    }
    if (values.size() != 2) {
        return false;
    }
    pair[0] = values[0];
    pair[1] = values[1];
    return true;
}

std::vector<KString> ReadWords(KFbx& file, const char* name) {
    std::vector<KString> words;
    if (file.FieldReadBegin(name)) {
        words = RestS(file);
        file.FieldReadEnd();
    }
    return words;
}

KFbxNurbsGrid::EForm FormOfCurveType(int type) {
    return type == 2 ? KFbxNurbsGrid::ePERIODIC_FORM
                     : type == 1 ? KFbxNurbsGrid::eCLOSED_FORM : KFbxNurbsGrid::eOPEN_FORM;
}

// Counts within what a surface may hold; the product cannot overflow.
bool CountsFit(const int count[2]) {
    return count[0] >= 0 && count[1] >= 0 &&
           static_cast<long long>(count[0]) * count[1] <= KFbxNurbsGrid::kMaxControlPoints;
}

bool OrderFits(int order) { return order >= 1 && order <= KFbxNurbsGrid::kMaxOrder; }

}  // namespace

bool ParseGridRecord(KFbx& file, bool nurb, GridRecord& record, KString& why) {
    const char* kind = nurb ? "Nurb" : "NurbsSurface";
    if (file.FieldReadBegin("SurfaceDisplay")) {
        record.mSurfaceMode = NextI(file, 0);
        record.mStep[0] = NextI(file, record.mStep[0]);
        record.mStep[1] = NextI(file, record.mStep[1]);
        file.FieldReadEnd();
    }
    bool present = false;
    if (!ReadIntPair(file, nurb ? "NurbOrder" : "NurbsSurfaceOrder", record.mOrder, present) ||
        !OrderFits(record.mOrder[0]) || !OrderFits(record.mOrder[1])) {
        return Refuse(why, kind, "orders out of range");
    }
    if (!ReadIntPair(file, "Dimensions", record.mCount, present) || !present || !CountsFit(record.mCount)) {
        return Refuse(why, kind, "dimensions missing or out of range");
    }
    if (!ReadIntPair(file, "Step", record.mStep, present)) {
        return Refuse(why, kind, "steps are not two values");
    }
    const std::vector<KString> forms = ReadWords(file, "Form");
    for (int d = 0; d < 2 && d < static_cast<int>(forms.size()); ++d) {
        const int type = KFbxNurbTypeOfFormWord(forms[static_cast<std::size_t>(d)].Buffer());
        record.mType[d] = type >= 0 ? type : KFbxNurbsGrid::eOPEN;
    }
    const std::size_t pointCount = static_cast<std::size_t>(record.mCount[0]) * record.mCount[1];
    ReadDoubles(file, "Points", record.mPoints);
    if (record.mPoints.size() != pointCount * 4) {
        return Refuse(why, kind, "point values disagree with the dimensions");
    }
    const char* const knotFields[2] = {"KnotVectorU", "KnotVectorV"};
    const char* const multiplicityFields[2] = {"MultiplicityU", "MultiplicityV"};
    for (int d = 0; d < 2; ++d) {
        ReadDoubles(file, knotFields[d], record.mKnots[d]);
        const int expected = KFbxNurbsGrid::KnotCount(record.mCount[d], record.mOrder[d],
                                                      KFbxNurbsGrid::FormOfType(record.mType[d]));
        if (expected < 0 || record.mKnots[d].size() != static_cast<std::size_t>(expected)) {
            return Refuse(why, kind, "knot count disagrees with the dimensions and orders");
        }
        if (nurb) {
            ReadInts(file, multiplicityFields[d], record.mMultiplicities[d]);
            if (record.mMultiplicities[d].size() != static_cast<std::size_t>(record.mCount[d])) {
                return Refuse(why, kind, "multiplicity count disagrees with the dimensions");
            }
        }
    }
    record.mFlipNormals = !nurb && file.FieldReadIDefault("FlipNormals", 0) != 0;
    return true;
}

bool ParsePatchRecord(KFbx& file, PatchRecord& record, KString& why) {
    if (file.FieldReadBegin("SurfaceDisplay")) {
        record.mSurfaceMode = NextI(file, 0);
        record.mStep[0] = NextI(file, record.mStep[0]);
        record.mStep[1] = NextI(file, record.mStep[1]);
        file.FieldReadEnd();
    }
    const std::vector<KString> bases = ReadWords(file, "PatchType");
    for (int d = 0; d < 2 && d < static_cast<int>(bases.size()); ++d) {
        const int basis = KFbxPatchBasisOfWord(bases[static_cast<std::size_t>(d)].Buffer());
        record.mType[d] = basis >= 0 ? basis : KFbxPatch::eBEZIER;
    }
    bool present = false;
    if (!ReadIntPair(file, "Dimensions", record.mCount, present) || !present || !CountsFit(record.mCount)) {
        return Refuse(why, "Patch", "dimensions missing or out of range");
    }
    int pair[2] = {record.mStep[0], record.mStep[1]};
    if (!ReadIntPair(file, "Step", pair, present)) {
        return Refuse(why, "Patch", "steps are not two values");
    }
    record.mStep[0] = pair[0];
    record.mStep[1] = pair[1];
    const char* const flagFields[3] = {"Closed", "UCapped", "VCapped"};
    bool* const flags[3] = {record.mClosed, record.mUCapped, record.mVCapped};
    for (int f = 0; f < 3; ++f) {
        pair[0] = pair[1] = 0;
        if (!ReadIntPair(file, flagFields[f], pair, present)) {
            return Refuse(why, "Patch", "flags are not two values");
        }
        flags[f][0] = pair[0] != 0;
        flags[f][1] = pair[1] != 0;
    }
    ReadDoubles(file, "Points", record.mPoints);
    if (record.mPoints.size() != static_cast<std::size_t>(record.mCount[0]) * record.mCount[1] * 3) {
        return Refuse(why, "Patch", "point values disagree with the dimensions");
    }
    return true;
}

bool ParseCurveRecord(KFbx& file, CurveRecord& record, KString& why) {
    record.mOrder = file.FieldReadIDefault("Order", record.mOrder);
    if (!OrderFits(record.mOrder)) {
        return Refuse(why, "NurbsCurve", "order out of range");
    }
    record.mDimension = file.FieldReadIDefault("Dimension", record.mDimension);
    const int type = KFbxCurveTypeOfFormWord(file.FieldReadSDefault("Form", "Open").Buffer());
    record.mType = type >= 0 ? type : KFbxNurbsCurve::eOPEN;
    ReadDoubles(file, "Points", record.mPoints);
    if (record.mPoints.size() % 4 != 0 ||
        record.mPoints.size() / 4 > static_cast<std::size_t>(KFbxNurbsGrid::kMaxControlPoints)) {
        return Refuse(why, "NurbsCurve", "point values are not whole points");
    }
    const int count = static_cast<int>(record.mPoints.size() / 4);
    ReadDoubles(file, "KnotVector", record.mKnots);
    const int expected = KFbxNurbsGrid::KnotCount(count, record.mOrder, FormOfCurveType(record.mType));
    if (expected < 0 || record.mKnots.size() != static_cast<std::size_t>(expected)) {
        return Refuse(why, "NurbsCurve", "knot count disagrees with the points and order");
    }
    return true;
}

}  // namespace fbx6read

using namespace fbx6read;

namespace {

void CopyPoints(KFbxGeometry& geometry, const std::vector<double>& values, std::size_t stride) {
    KFbxVector4* points = geometry.GetControlPoints();
    const int count = geometry.GetControlPointsCount();
    if (points == nullptr || values.size() != static_cast<std::size_t>(count) * stride) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        const double* value = &values[static_cast<std::size_t>(i) * stride];
        points[i] = KFbxVector4(value[0], value[1], value[2], stride == 4 ? value[3] : points[i][3]);
    }
}

void CopyValues(double* out, int outCount, const std::vector<double>& values) {
    if (out != nullptr && values.size() == static_cast<std::size_t>(outCount)) {
        std::copy(values.begin(), values.end(), out);
    }
}

bool ApplyGrid(KFbxNurbsGridGeometry& surface, const GridRecord& record) {
    using EType = KFbxNurbsGridGeometry::ENurbType;
    if (!surface.InitControlPoints(record.mCount[0], static_cast<EType>(record.mType[0]), record.mCount[1],
                                   static_cast<EType>(record.mType[1])) ||
        !surface.SetOrder(record.mOrder[0], record.mOrder[1])) {
        return false;
    }
    surface.SetStep(record.mStep[0], record.mStep[1]);
    surface.SetSurfaceMode(record.mSurfaceMode);
    CopyPoints(surface, record.mPoints, 4);
    CopyValues(surface.GetUKnotVector(), surface.GetUKnotCount(), record.mKnots[0]);
    CopyValues(surface.GetVKnotVector(), surface.GetVKnotCount(), record.mKnots[1]);
    return true;
}

}  // namespace

bool KFbxReaderFbx6Pass::ReadParametricAttribute(KFbxObject& attribute) {
    KString why;
    if (auto* nurb = dynamic_cast<KFbxNurb*>(&attribute)) {
        GridRecord record;
        if (!mFile.FieldReadBegin("NurbVersion")) {
            return true;
        }
        mFile.FieldReadEnd();
        if (!ParseGridRecord(mFile, true, record, why) || !ApplyGrid(*nurb, record)) {
            return false;
        }
        for (int d = 0; d < 2; ++d) {
            int* multiplicities = d == 0 ? nurb->GetUMultiplicityVector() : nurb->GetVMultiplicityVector();
            if (multiplicities != nullptr) {
                std::copy(record.mMultiplicities[d].begin(), record.mMultiplicities[d].end(), multiplicities);
            }
        }
        ReadGeometryContents(*nurb);
    } else if (auto* patch = dynamic_cast<KFbxPatch*>(&attribute)) {
        PatchRecord record;
        if (!mFile.FieldReadBegin("PatchVersion")) {
            return true;
        }
        mFile.FieldReadEnd();
        if (!ParsePatchRecord(mFile, record, why) ||
            !patch->InitControlPoints(record.mCount[0], static_cast<KFbxPatch::EPatchType>(record.mType[0]),
                                      record.mCount[1], static_cast<KFbxPatch::EPatchType>(record.mType[1]))) {
            return false;
        }
        patch->SetSurfaceMode(record.mSurfaceMode);
        patch->SetStep(record.mStep[0], record.mStep[1]);
        patch->SetClosed(record.mClosed[0], record.mClosed[1]);
        patch->SetUCapped(record.mUCapped[0], record.mUCapped[1]);
        patch->SetVCapped(record.mVCapped[0], record.mVCapped[1]);
        CopyPoints(*patch, record.mPoints, 3);
        ReadGeometryContents(*patch);
    }
    return true;
}

void KFbxReaderFbx6Pass::ReadGeometryContents(KFbxGeometry& geometry) {
    LayerElements elements;
    ReadLayerElements(elements);
    ReadLayers(geometry, elements);
    if (Option("SHAPE")) {
        ReadShapes(geometry);
    }
}

void KFbxReaderFbx6Pass::ReadGeometry(const KString& prefixedName, const KString& typeName) {
    const char* className = typeName == "NurbsCurve"         ? "KFbxNurbsCurve"
                            : typeName == "NurbsSurface"     ? "KFbxNurbsSurface"
                            : typeName == "Boundary"         ? "KFbxBoundary"
                            : typeName == "TrimNurbsSurface" ? "KFbxTrimNurbsSurface"
                                                             : nullptr;
    KFbxObject* object = className != nullptr ? CreateObject(className, WithoutPrefix(prefixedName).Buffer()) : nullptr;
    if (object == nullptr) {
        return;
    }
    mScene.ConnectObject(object);
    Remember(prefixedName, object);
    // An empty record (a geometry with nothing to store) keeps the defaults.
    if (!mFile.FieldReadBegin("GeometryVersion")) {
        return;
    }
    mFile.FieldReadEnd();
    KString why;
    if (auto* curve = dynamic_cast<KFbxNurbsCurve*>(object)) {
        CurveRecord record;
        if (!ParseCurveRecord(mFile, record, why) ||
            !curve->InitControlPoints(static_cast<int>(record.mPoints.size() / 4),
                                      static_cast<KFbxNurbsCurve::EType>(record.mType)) ||
            !curve->SetOrder(record.mOrder)) {
            return;
        }
        curve->SetDimension(static_cast<KFbxNurbsCurve::EDimension>(record.mDimension));
        CopyPoints(*curve, record.mPoints, 4);
        CopyValues(curve->GetKnotVector(), curve->GetKnotCount(), record.mKnots);
        ReadGeometryContents(*curve);
    } else if (auto* surface = dynamic_cast<KFbxNurbsSurface*>(object)) {
        GridRecord record;
        if (!ParseGridRecord(mFile, false, record, why) || !ApplyGrid(*surface, record)) {
            return;
        }
        surface->SetFlag2(record.mFlipNormals);
        ReadGeometryContents(*surface);
    } else if (auto* boundary = dynamic_cast<KFbxBoundary*>(object)) {
        ReadGeometryContents(*boundary);
        ReadPropertiesBlock(*boundary);
    } else if (auto* trim = dynamic_cast<KFbxTrimNurbsSurface*>(object)) {
        trim->SetFlipNormals(mFile.FieldReadIDefault("FlipNormals", 0) != 0);
        ReadGeometryContents(*trim);
        mTrimSurfaces.push_back(trim);
    }
}

void KFbxReaderFbx6Pass::ResolveTrimSurfaces() {
    if (KFbxBoundary::ClassId == KFbxClassId()) {
        return;
    }
    for (KFbxObject* object : mTrimSurfaces) {
        auto* trim = static_cast<KFbxTrimNurbsSurface*>(object);
        // Connections made the boundaries plain sources; the trimmed surface
        // takes them again into its first region, in the order they came
        // (files keep no other regions).
        std::vector<KFbxBoundary*> boundaries;
        for (int i = 0; i < trim->GetSrcObjectCount(KFbxBoundary::ClassId); ++i) {
            boundaries.push_back(static_cast<KFbxBoundary*>(trim->GetSrcObject(KFbxBoundary::ClassId, i)));
        }
        for (KFbxBoundary* boundary : boundaries) {
            bool known = false;
            for (int i = 0; i < trim->GetBoundaryCount(0); ++i) {
                known = known || trim->GetBoundary(i, 0) == boundary;
            }
            if (!known) {
                trim->DisconnectSrc(boundary);
                trim->AddBoundary(boundary, 0);
            }
        }
    }
}

}  // namespace fbxsdk_2006_11_1
