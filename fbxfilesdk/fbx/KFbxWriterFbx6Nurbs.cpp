// The FBX 6 records of the parametric geometries: NURBS in both forms,
// patches (inside their models), NURBS curves, trim boundaries and trimmed
// surfaces (in their own "Geometry" records).
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxFbx6RecordWords.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/fbx/KFbxWriterFbxSurfaces.h>
#include <fbxfilesdk/geometry/KFbxBoundary.h>
#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxNurbsCurve.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxTrimNurbsSurface.h>

#include <cstddef>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

void WriteIntPair(KFbx& file, const char* name, int first, int second) {
    file.FieldWriteBegin(name);
    file.FieldWriteI(first);
    file.FieldWriteI(second);
    file.FieldWriteEnd();
}

void WriteWordPair(KFbx& file, const char* name, const char* first, const char* second) {
    file.FieldWriteBegin(name);
    file.FieldWriteS(first);
    file.FieldWriteS(second);
    file.FieldWriteEnd();
}

void WriteSurfaceDisplay(KFbx& file, int mode, int uStep, int vStep) {
    file.FieldWriteBegin("SurfaceDisplay");
    file.FieldWriteI(mode);
    file.FieldWriteI(uStep);
    file.FieldWriteI(vStep);
    file.FieldWriteEnd();
}

// The fields both NURBS forms share, from "Dimensions" to "Form".
void WriteGridHead(KFbx& file, const KFbxNurbsGridGeometry& surface) {
    WriteIntPair(file, "Dimensions", surface.GetUCount(), surface.GetVCount());
    WriteIntPair(file, "Step", surface.GetUStep(), surface.GetVStep());
    WriteWordPair(file, "Form", KFbxNurbFormWord(surface.GetNurbUType()), KFbxNurbFormWord(surface.GetNurbVType()));
}

void WriteKnots(KFbx& file, const KFbxNurbsGridGeometry& surface) {
    WriteDoublesRecord(file, "KnotVectorU", surface.GetUKnotVector(), surface.GetUKnotCount());
    WriteDoublesRecord(file, "KnotVectorV", surface.GetVKnotVector(), surface.GetVKnotCount());
}

}  // namespace

void WriteSurfacePoints(KFbx& file, const KFbxGeometry& geometry, bool withWeight) {
    KgeMatrix pivot;
    geometry.GetPivot(pivot);
    const KFbxVector4* points = geometry.GetControlPoints();
    const int count = points != nullptr ? geometry.GetControlPointsCount() : 0;
    const std::size_t stride = withWeight ? 4 : 3;
    std::vector<double> values(static_cast<std::size_t>(count) * stride);
    for (int i = 0; i < count; ++i) {
        const double point[3] = {points[i][0], points[i][1], points[i][2]};
        double* out = &values[static_cast<std::size_t>(i) * stride];
        KgeMatrixMultPoint(out, pivot, point);
        if (withWeight) {
            out[3] = points[i][3];
        }
    }
    WriteDoublesRecord(file, "Points", values.data(), count * static_cast<int>(stride));
}

bool KFbxWriterFbx6::WriteNurb(KFbxNurb& nurb) {
    const WrittenSurface<KFbxNurb, decltype(&KFbxGeometryConverter::CopyNurbSwapUV)> written(
        nurb, &KFbxGeometryConverter::CopyNurbSwapUV);
    KFbxNurb& surface = written.Get();
    if (surface.GetControlPointsCount() <= 0) {
        return true;
    }
    WriteNurbFields(*mFbx, surface, 200);
    return WriteGeometry(surface);
}

bool KFbxWriterFbx6::WriteNurbsSurface(KFbxNurbsSurface& nurbsSurface) {
    const WrittenSurface<KFbxNurbsSurface, decltype(&KFbxGeometryConverter::CopyNurbsSurfaceSwapUV)> written(
        nurbsSurface, &KFbxGeometryConverter::CopyNurbsSurfaceSwapUV);
    KFbxNurbsSurface& surface = written.Get();
    if (surface.GetControlPointsCount() <= 0) {
        return true;
    }
    KFbx& file = *mFbx;
    mFbx->WriteStringField("Type", "NurbsSurface");
    WriteIntRecord(file, "NurbsSurfaceVersion", 100);
    WriteSurfaceDisplay(file, surface.GetSurfaceMode(), surface.GetUStep(), surface.GetVStep());
    WriteIntPair(file, "NurbsSurfaceOrder", surface.GetUOrder(), surface.GetVOrder());
    WriteGridHead(file, surface);
    WriteSurfacePoints(file, surface, true);
    WriteKnots(file, surface);
    WriteGeometry(surface);
    WriteIntRecord(file, "FlipNormals", surface.GetFlag2() ? 1 : 0);
    return true;
}

void WriteNurbFields(KFbx& file, const KFbxNurb& nurb, int version) {
    WriteIntRecord(file, "NurbVersion", version);
    WriteSurfaceDisplay(file, nurb.GetSurfaceMode(), nurb.GetUStep(), nurb.GetVStep());
    WriteIntPair(file, "NurbOrder", nurb.GetUOrder(), nurb.GetVOrder());
    WriteGridHead(file, nurb);
    WriteSurfacePoints(file, nurb, true);
    const int* uMultiplicities = nurb.GetUMultiplicityVector();
    const int* vMultiplicities = nurb.GetVMultiplicityVector();
    WriteIntsRecord(file, "MultiplicityU", uMultiplicities, uMultiplicities != nullptr ? nurb.GetUCount() : 0);
    WriteIntsRecord(file, "MultiplicityV", vMultiplicities, vMultiplicities != nullptr ? nurb.GetVCount() : 0);
    WriteKnots(file, nurb);
}

void WritePatchBasisValue(KFbx& file, int basis) {
    // A basis without a word still takes its place, so that the value after
    // it is not read as this one: it is stored as the default basis.
    const char* word = KFbxPatchBasisWord(basis);
    file.FieldWriteS(word != nullptr ? word : KFbxPatchBasisWord(KFbxPatch::eBEZIER));
}

void WritePatchFields(KFbx& file, const KFbxPatch& patch) {
    WriteIntRecord(file, "PatchVersion", 100);
    WriteSurfaceDisplay(file, patch.GetSurfaceMode(), patch.GetUStep(), patch.GetVStep());
    file.FieldWriteBegin("PatchType");
    WritePatchBasisValue(file, patch.GetPatchUType());
    WritePatchBasisValue(file, patch.GetPatchVType());
    file.FieldWriteEnd();
    WriteIntPair(file, "Dimensions", patch.GetUCount(), patch.GetVCount());
    WriteIntPair(file, "Step", patch.GetUStep(), patch.GetVStep());
    WriteIntPair(file, "Closed", patch.GetUClosed() ? 1 : 0, patch.GetVClosed() ? 1 : 0);
    WriteIntPair(file, "UCapped", patch.GetUCappedBottom() ? 1 : 0, patch.GetUCappedTop() ? 1 : 0);
    WriteIntPair(file, "VCapped", patch.GetVCappedBottom() ? 1 : 0, patch.GetVCappedTop() ? 1 : 0);
    WriteSurfacePoints(file, patch, false);
}

void KFbxWriterFbx6::WritePatchTypeName(const KFbxPatch& /*patch*/, int basis) { WritePatchBasisValue(*mFbx, basis); }

bool KFbxWriterFbx6::WritePatch(KFbxPatch& patch) {
    if (patch.GetControlPointsCount() <= 0) {
        return true;
    }
    WritePatchFields(*mFbx, patch);
    return WriteGeometry(patch);
}

bool KFbxWriterFbx6::WriteNurbsCurve(KFbxNurbsCurve& curve) {
    if (curve.GetControlPointsCount() <= 0) {
        return true;
    }
    KFbx& file = *mFbx;
    WriteGeometry(curve);
    mFbx->WriteStringField("Type", "NurbsCurve");
    WriteIntRecord(file, "NurbsCurveVersion", 100);
    WriteIntRecord(file, "Order", curve.GetOrder());
    WriteIntRecord(file, "Dimension", curve.GetDimension());
    mFbx->WriteStringField("Form", KFbxCurveFormWord(curve.GetType()));
    WriteIntRecord(file, "Rational", curve.IsRational() ? 1 : 0);
    WriteSurfacePoints(file, curve, true);
    WriteDoublesRecord(file, "KnotVector", curve.GetKnotVector(), curve.GetKnotCount());
    return true;
}

bool KFbxWriterFbx6::WriteBoundary(KFbxBoundary& boundary) {
    if (boundary.GetCurveCount() < 1) {
        return false;
    }
    WriteGeometry(boundary);
    mFbx->WriteStringField("Type", "Boundary");
    WriteIntRecord(*mFbx, "BoundaryVersion", 100);
    WriteProperties(boundary);
    return true;
}

bool KFbxWriterFbx6::WriteTrimNurbsSurface(KFbxTrimNurbsSurface& trim) {
    const KFbxBoundary* outer = trim.GetBoundary(0, 0);
    if (trim.GetNurbsSurface() == nullptr || outer == nullptr || outer->GetCurveCount() < 1) {
        return false;
    }
    WriteIntRecord(*mFbx, "TrimmedNurbVersion", 100);
    mFbx->WriteStringField("Type", "TrimNurbsSurface");
    WriteIntRecord(*mFbx, "FlipNormals", trim.GetFlipNormals() ? 1 : 0);
    return WriteGeometry(trim);
}

bool KFbxWriterFbx6::WriteStandaloneGeometryContents(KFbxGeometry& geometry) {
    switch (geometry.GetAttributeType()) {
        case KFbxNodeAttribute::eNURBS_CURVE:
            return WriteNurbsCurve(static_cast<KFbxNurbsCurve&>(geometry));
        case KFbxNodeAttribute::eTRIM_NURBS_SURFACE:
            return WriteTrimNurbsSurface(static_cast<KFbxTrimNurbsSurface&>(geometry));
        case KFbxNodeAttribute::eBOUNDARY:
            return WriteBoundary(static_cast<KFbxBoundary&>(geometry));
        case KFbxNodeAttribute::eNURBS_SURFACE:
            return WriteNurbsSurface(static_cast<KFbxNurbsSurface&>(geometry));
        default:
            return false;
    }
}

}  // namespace fbxsdk_2006_11_1
