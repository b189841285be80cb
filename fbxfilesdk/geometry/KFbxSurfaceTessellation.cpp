#include <fbxfilesdk/geometry/KFbxSurfaceTessellation.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxNurbsGridGeometry.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace KFbxSurfaceTessellation {

namespace {

int ClampStep(int step) { return std::clamp(step, 1, kMaxStep); }

// The basis weights of the order functions that are not zero at u, for the
// span t[span] <= u < t[span + 1] (Cox-de Boor, evaluated as a triangle).
std::vector<double> BasisAt(const std::vector<double>& t, int span, int order, double u) {
    std::vector<double> n(static_cast<std::size_t>(order), 0.0);
    std::vector<double> left(static_cast<std::size_t>(order), 0.0);
    std::vector<double> right(static_cast<std::size_t>(order), 0.0);
    n[0] = 1.0;
    for (int j = 1; j < order; ++j) {
        left[static_cast<std::size_t>(j)] = u - t[static_cast<std::size_t>(span + 1 - j)];
        right[static_cast<std::size_t>(j)] = t[static_cast<std::size_t>(span + j)] - u;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            const double denominator = right[static_cast<std::size_t>(r + 1)] + left[static_cast<std::size_t>(j - r)];
            const double temp = denominator != 0.0 ? n[static_cast<std::size_t>(r)] / denominator : 0.0;
            n[static_cast<std::size_t>(r)] = saved + right[static_cast<std::size_t>(r + 1)] * temp;
            saved = left[static_cast<std::size_t>(j - r)] * temp;
        }
        n[static_cast<std::size_t>(j)] = saved;
    }
    return n;
}

// Uniform polynomial bases of one span, t in [0, 1].
void PatchBasis(int basis, double t, std::vector<double>& w) {
    const double s = 1.0 - t;
    switch (basis) {
        case KFbxPatch::eBEZIER:
            w = {s * s * s, 3.0 * t * s * s, 3.0 * t * t * s, t * t * t};
            break;
        case KFbxPatch::eBEZIER_QUADRIC:
            w = {s * s, 2.0 * t * s, t * t};
            break;
        case KFbxPatch::eCARDINAL:
            w = {0.5 * (-t * t * t + 2.0 * t * t - t), 0.5 * (3.0 * t * t * t - 5.0 * t * t + 2.0),
                 0.5 * (-3.0 * t * t * t + 4.0 * t * t + t), 0.5 * (t * t * t - t * t)};
            break;
        case KFbxPatch::eBSPLINE:
            w = {s * s * s / 6.0, (3.0 * t * t * t - 6.0 * t * t + 4.0) / 6.0,
                 (-3.0 * t * t * t + 3.0 * t * t + 3.0 * t + 1.0) / 6.0, t * t * t / 6.0};
            break;
        default:
            w = {s, t};
            break;
    }
}

}  // namespace

bool SampleNurbsDirection(int count, int order, KFbxNurbsGrid::EForm form, const std::vector<double>& knots, int step,
                          Samples& out) {
    out.clear();
    const int knotCount = KFbxNurbsGrid::KnotCount(count, order, form);
    if (count < 1 || knotCount < 0 || static_cast<std::size_t>(knotCount) != knots.size()) {
        return false;
    }
    const int points = static_cast<int>(KFbxNurbsGrid::EffectivePointCount(count, order, form));
    if (points < order) {
        return false;
    }
    for (std::size_t index = 1; index < knots.size(); ++index) {
        if (!(knots[index] >= knots[index - 1])) {
            return false;
        }
    }
    const double start = knots[static_cast<std::size_t>(order - 1)];
    const double end = knots[static_cast<std::size_t>(points)];
    if (!(end > start) || !std::isfinite(start) || !std::isfinite(end)) {
        return false;
    }
    step = ClampStep(step);
    try {
        for (int span = order - 1; span < points; ++span) {
            const double a = knots[static_cast<std::size_t>(span)];
            const double b = knots[static_cast<std::size_t>(span + 1)];
            if (!(b > a)) {
                continue;
            }
            // The last span also takes its end value; the end belongs to it.
            const bool last = b >= end;
            for (int division = 0; division < step + (last ? 1 : 0); ++division) {
                if (static_cast<long long>(out.size()) >= kMaxGridPoints) {
                    return false;
                }
                const double u = a + (b - a) * division / step;
                const std::vector<double> basis = BasisAt(knots, span, order, u);
                Sample sample;
                for (int term = 0; term < order; ++term) {
                    // Points past the last wrap around to the first ones.
                    sample.emplace_back((span - order + 1 + term) % count, basis[static_cast<std::size_t>(term)]);
                }
                out.push_back(std::move(sample));
            }
            if (last) {
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        out.clear();
        return false;
    }
    return out.size() >= 2;
}

bool SamplePatchDirection(int count, int basis, bool closed, int step, Samples& out) {
    out.clear();
    int degree = 0;  // points a span moves on by
    int width = 0;   // points a span uses
    switch (basis) {
        case KFbxPatch::eBEZIER:
            degree = 3;
            width = 4;
            break;
        case KFbxPatch::eBEZIER_QUADRIC:
            degree = 2;
            width = 3;
            break;
        case KFbxPatch::eCARDINAL:
        case KFbxPatch::eBSPLINE:
            degree = 1;
            width = 4;
            break;
        case KFbxPatch::eLINEAR:
            degree = 1;
            width = 2;
            break;
        default:
            return false;
    }
    if (count < 2) {
        return false;
    }
    // Open: the spans that fit; closed: the points wrap, one span per
    // degree points all the way round.
    const int spans = closed ? count / degree : (count - width) / degree + 1;
    if (spans < 1 || (!closed && count < width)) {
        return false;
    }
    step = ClampStep(step);
    if (static_cast<long long>(spans) * step + 1 > kMaxGridPoints) {
        return false;
    }
    try {
        std::vector<double> weights;
        for (int span = 0; span < spans; ++span) {
            const bool last = span == spans - 1;
            for (int division = 0; division < step + (last ? 1 : 0); ++division) {
                PatchBasis(basis, static_cast<double>(division) / step, weights);
                Sample sample;
                for (int term = 0; term < width; ++term) {
                    sample.emplace_back((span * degree + term) % count, weights[static_cast<std::size_t>(term)]);
                }
                out.push_back(std::move(sample));
            }
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        out.clear();
        return false;
    }
    return true;
}

bool EvaluateGrid(const KFbxVector4* points, int uCount, int vCount, const Samples& u, const Samples& v, bool rational,
                  std::vector<KFbxVector4>& out) {
    out.clear();
    if (points == nullptr || uCount < 1 || vCount < 1 ||
        static_cast<long long>(u.size()) * static_cast<long long>(v.size()) > kMaxGridPoints) {
        return false;
    }
    const auto inRange = [](const Samples& samples, int count) {
        for (const Sample& sample : samples) {
            for (const auto& term : sample) {
                if (term.first < 0 || term.first >= count) {
                    return false;
                }
            }
        }
        return true;
    };
    if (!inRange(u, uCount) || !inRange(v, vCount)) {
        return false;
    }
    try {
        out.reserve(u.size() * v.size());
        for (const Sample& vSample : v) {
            for (const Sample& uSample : u) {
                double sum[3] = {0.0, 0.0, 0.0};
                double weighted[3] = {0.0, 0.0, 0.0};
                double weightSum = 0.0;
                for (const auto& [vIndex, vWeight] : vSample) {
                    for (const auto& [uIndex, uWeight] : uSample) {
                        const KFbxVector4& point = points[static_cast<std::size_t>(vIndex) * uCount + uIndex];
                        const double basis = uWeight * vWeight;
                        for (int axis = 0; axis < 3; ++axis) {
                            sum[axis] += basis * point[axis];
                            weighted[axis] += basis * point[3] * point[axis];
                        }
                        weightSum += basis * point[3];
                    }
                }
                if (rational && weightSum != 0.0) {
                    out.emplace_back(weighted[0] / weightSum, weighted[1] / weightSum, weighted[2] / weightSum, 1.0);
                } else {
                    out.emplace_back(sum[0], sum[1], sum[2], 1.0);
                }
            }
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        out.clear();
        return false;
    }
    return true;
}

KFbxMesh* MeshFromGrid(const KFbxGeometry& source, const std::vector<KFbxVector4>& points, int uSamples, int vSamples) {
    if (uSamples < 2 || vSamples < 2 ||
        static_cast<long long>(uSamples) * vSamples != static_cast<long long>(points.size())) {
        return nullptr;
    }
    KFbxMesh* mesh = KFbxMesh::Create(source.GetSdkManager(), source.GetName());
    if (mesh == nullptr) {
        return nullptr;
    }
    mesh->InitControlPoints(static_cast<int>(points.size()));
    if (mesh->GetControlPointsCount() != static_cast<int>(points.size())) {
        mesh->Destroy();
        return nullptr;
    }
    std::copy(points.begin(), points.end(), mesh->GetControlPoints());
    for (int v = 0; v + 1 < vSamples; ++v) {
        for (int u = 0; u + 1 < uSamples; ++u) {
            const int a = v * uSamples + u;
            const int b = a + 1;
            const int c = a + uSamples + 1;
            const int d = a + uSamples;
            const std::array<int, 3> triangles[2] = {{a, b, c}, {a, c, d}};
            for (const std::array<int, 3>& triangle : triangles) {
                mesh->BeginPolygon(-1, -1, -1, false);
                for (int corner : triangle) {
                    mesh->AddPolygonVertex(corner);
                }
                mesh->EndPolygon();
            }
        }
    }
    KgeMatrix pivot;
    mesh->SetPivot(source.GetPivot(pivot));
    // Materials and textures are the surface's as a whole: every triangle
    // takes the first one the surface names.
    for (int index = 0; index < source.GetLayerCount(); ++index) {
        const KFbxLayer* from = source.GetLayer(index);
        KFbxLayer* to = mesh->GetLayer(mesh->CreateLayer());
        if (to == nullptr) {
            break;
        }
        for (int type = KFbxLayerElement::eMATERIAL; type < KFbxLayerElement::eLAST_ELEMENT_TYPE; ++type) {
            if (type != KFbxLayerElement::eMATERIAL && !KFbxLayerElement::IsTextureChannel(type)) {
                continue;
            }
            const KFbxLayerElement* element = from->GetLayerElementOfType(type);
            KFbxLayerElement* copy = element != nullptr ? element->Clone() : nullptr;
            if (copy == nullptr) {
                continue;
            }
            const int first = copy->GetIndexArray().GetCount() > 0 ? copy->GetIndexArray().GetAt(0) : 0;
            copy->SetMappingMode(KFbxLayerElement::eALL_SAME);
            copy->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
            copy->GetIndexArray().Clear();
            copy->GetIndexArray().Add(first);
            if (type == KFbxLayerElement::eMATERIAL) {
                to->SetMaterials(static_cast<KFbxLayerElementMaterial*>(copy));
            } else if (!to->SetTexturesOfChannel(static_cast<KFbxLayerElementTexture*>(copy), type)) {
                delete copy;
            }
        }
    }
    return mesh;
}

KFbxMesh* TessellateNurbs(const KFbxNurbsGridGeometry& surface) {
    const KFbxNurbsGrid& grid = surface.GetGrid();
    if (grid.GetPointCount() != surface.GetControlPointsCount()) {
        return nullptr;
    }
    Samples u;
    Samples v;
    std::vector<KFbxVector4> points;
    if (!SampleNurbsDirection(grid.mU.mCount, grid.mU.mOrder, KFbxNurbsGrid::FormOfType(grid.mU.mType), grid.mU.mKnots,
                              grid.mU.mStep, u) ||
        !SampleNurbsDirection(grid.mV.mCount, grid.mV.mOrder, KFbxNurbsGrid::FormOfType(grid.mV.mType), grid.mV.mKnots,
                              grid.mV.mStep, v) ||
        !EvaluateGrid(surface.GetControlPoints(), grid.mU.mCount, grid.mV.mCount, u, v, true, points)) {
        return nullptr;
    }
    return MeshFromGrid(surface, points, static_cast<int>(u.size()), static_cast<int>(v.size()));
}

KFbxMesh* TessellatePatch(const KFbxPatch& patch) {
    if (static_cast<long long>(patch.GetUCount()) * patch.GetVCount() != patch.GetControlPointsCount()) {
        return nullptr;
    }
    Samples u;
    Samples v;
    std::vector<KFbxVector4> points;
    if (!SamplePatchDirection(patch.GetUCount(), patch.GetPatchUType(), patch.GetUClosed(), patch.GetUStep(), u) ||
        !SamplePatchDirection(patch.GetVCount(), patch.GetPatchVType(), patch.GetVClosed(), patch.GetVStep(), v) ||
        !EvaluateGrid(patch.GetControlPoints(), patch.GetUCount(), patch.GetVCount(), u, v, false, points)) {
        return nullptr;
    }
    return MeshFromGrid(patch, points, static_cast<int>(u.size()), static_cast<int>(v.size()));
}

}  // namespace KFbxSurfaceTessellation

}  // namespace fbxsdk_2006_11_1
