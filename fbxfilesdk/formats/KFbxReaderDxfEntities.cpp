// The DXF reader's entities: colour numbers and their materials, 3D faces,
// polyface polylines, welding, and the meshes made of them.
#include <fbxfilesdk/formats/KFbxReaderDxf.h>

#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>

namespace fbxsdk_2006_11_1 {

namespace {

// Corners within this distance on every axis are one point.
constexpr double kSamePoint = 1e-6;

bool SamePoint(const KFbxVector4& a, const KFbxVector4& b) {
    return std::fabs(a[0] - b[0]) <= kSamePoint && std::fabs(a[1] - b[1]) <= kSamePoint &&
           std::fabs(a[2] - b[2]) <= kSamePoint;
}

}  // namespace

KFbxVector4 KFbxReaderDxf::ToScene(double x, double y, double z) { return KFbxVector4(x, z, -y, 1.0); }

KFbxVector4 KFbxReaderDxf::Minus(const KFbxVector4& a, const KFbxVector4& b) {
    return KFbxVector4(a[0] - b[0], a[1] - b[1], a[2] - b[2], 1.0);
}

// ---- colours ---------------------------------------------------------------

void KFbxReaderDxf::ColorIndexToRgb(int color, double rgb[3]) {
    if (color < 1 || color > 255) {
        return;
    }
    static const double kBasic[9][3] = {{1, 0, 0},
                                        {1, 1, 0},
                                        {0, 1, 0},
                                        {0, 1, 1},
                                        {0, 0, 1},
                                        {1, 0, 1},
                                        {1, 1, 1},
                                        {0.502, 0.502, 0.502},
                                        {0.753, 0.753, 0.753}};
    if (color < 10) {
        for (int i = 0; i < 3; ++i) {
            rgb[i] = kBasic[color - 1][i];
        }
        return;
    }
    const int digit = color % 10;
    if (color >= 250) {
        const double grey = digit * 0.134 + 0.33;
        rgb[0] = rgb[1] = rgb[2] = grey;
        return;
    }
    // Quarter steps of one hue circle; each component reads it at its own
    // phase.
    static const int kRamp[24] = {4, 4, 4, 4, 4, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 4, 4, 4};
    int ramp[3];
    if (color < 90) {
        const int q = (color - 10) / 10;
        ramp[0] = kRamp[q];
        ramp[1] = kRamp[q + 16];
        ramp[2] = kRamp[q + 8];
    } else if (color < 170) {
        const int q = (color - 90) / 10;
        ramp[0] = kRamp[q + 8];
        ramp[1] = kRamp[q];
        ramp[2] = kRamp[q + 16];
    } else {
        const int q = (color - 170) / 10;
        ramp[0] = kRamp[q + 16];
        ramp[1] = kRamp[q + 8];
        ramp[2] = kRamp[q];
    }
    static const double kBrightness[10] = {1.0, 1.0, 0.65, 0.65, 0.5, 0.5, 0.3, 0.3, 0.15, 0.15};
    for (int i = 0; i < 3; ++i) {
        double value = ramp[i] * 0.25;
        if (color % 2 == 1) {
            // Odd numbers are half way to white.
            value += 0.125 * (4 - ramp[i]);
        }
        rgb[i] = value * kBrightness[digit];
    }
}

KFbxSurfaceLambert* KFbxReaderDxf::MaterialOf(int color) {
    if (color < 1 || color > 255) {
        return nullptr;
    }
    KFbxSurfaceLambert*& cached = mColorMaterials[static_cast<std::size_t>(color)];
    if (cached == nullptr) {
        const std::string name = "Material" + std::to_string(mMaterialCounter++);
        cached = KFbxSurfaceLambert::Create(&mManager, name.c_str());
        if (cached != nullptr) {
            double rgb[3] = {1.0, 1.0, 1.0};
            ColorIndexToRgb(color, rgb);
            const fbxDouble3 value(rgb[0], rgb[1], rgb[2]);
            cached->GetDiffuseColor().Set(&value, eFbxValueDouble3);
            mScene->ConnectObject(cached);
        }
    }
    return cached;
}

// ---- entities --------------------------------------------------------------

KFbxReaderDxf::Span KFbxReaderDxf::EntityAt(std::size_t position) const {
    std::size_t end = position + 1;
    while (end < mPairs.Size() && mPairs[end].mCode != 0) {
        ++end;
    }
    return {position, end};
}

bool KFbxReaderDxf::IsSectionEnd(const KFbxDxfPair& pair) const {
    return pair.mCode == 0 && (pair.mValue == "ENDSEC" || pair.mValue == "ENDBLK");
}

std::string_view KFbxReaderDxf::LayerOf(const Span& span) const {
    for (std::size_t i = span.mBegin + 1; i < span.mEnd; ++i) {
        if (mPairs[i].mCode == 8) {
            return mPairs[i].mValue;
        }
    }
    return "0";
}

int KFbxReaderDxf::LayerColor(std::string_view layer) const {
    const auto found = mLayers.find(std::string(layer));
    return found != mLayers.end() ? found->second : 0;
}

int KFbxReaderDxf::EntityColor(const Span& span) const {
    int color = 0;
    for (std::size_t i = span.mBegin + 1; i < span.mEnd; ++i) {
        if (mPairs[i].mCode == 62) {
            KFbxDxfPairs::ToInt(mPairs[i].mValue, color);
        }
    }
    if (color == 0) {
        // A layer switched off has a negative colour but still colours.
        const long long layer = LayerColor(LayerOf(span));
        color = static_cast<int>(layer < 0 ? -layer : layer);
    }
    return color;
}

bool KFbxReaderDxf::ReadPoint(const Span& span, int xCode, KFbxVector4& point) const {
    double xyz[3] = {0.0, 0.0, 0.0};
    for (std::size_t i = span.mBegin + 1; i < span.mEnd; ++i) {
        const int code = mPairs[i].mCode;
        for (int axis = 0; axis < 3; ++axis) {
            if (code == xCode + axis * 10 && !KFbxDxfPairs::ToDouble(mPairs[i].mValue, xyz[axis])) {
                return false;
            }
        }
    }
    point = ToScene(xyz[0], xyz[1], xyz[2]);
    return true;
}

std::size_t KFbxReaderDxf::CellHash::operator()(const Cell& cell) const noexcept {
    const std::hash<long long> hash;
    return hash(cell.mX) ^ (hash(cell.mY) * 31) ^ (hash(cell.mZ) * 1009);
}

int KFbxReaderDxf::AddPoint(FaceSet& set, const KFbxVector4& point, bool weld, bool findable) {
    Cell cell{0, 0, 0};
    bool keyed = weld || findable;
    long long* const coordinates[3] = {&cell.mX, &cell.mY, &cell.mZ};
    for (int axis = 0; axis < 3 && keyed; ++axis) {
        const double scaled = std::floor(point[axis] / kSamePoint);
        // Points beyond the cells' range are never welded.
        keyed = std::fabs(scaled) < 4.0e18;
        *coordinates[axis] = keyed ? static_cast<long long>(scaled) : 0;
    }
    if (keyed && weld) {
        // Points within the weld distance lie in the same or a neighbouring
        // cell; the first of them in the order of the points is taken.
        int first = -1;
        for (long long dx = -1; dx <= 1; ++dx) {
            for (long long dy = -1; dy <= 1; ++dy) {
                for (long long dz = -1; dz <= 1; ++dz) {
                    const auto found = set.mWeld.find(Cell{cell.mX + dx, cell.mY + dy, cell.mZ + dz});
                    if (found != set.mWeld.end() && (first < 0 || found->second < first) &&
                        SamePoint(set.mPoints[static_cast<std::size_t>(found->second)], point)) {
                        first = found->second;
                    }
                }
            }
        }
        if (first >= 0) {
            return first;
        }
    }
    set.mPoints.push_back(point);
    const int index = static_cast<int>(set.mPoints.size() - 1);
    if (keyed) {
        set.mWeld.emplace(cell, index);
    }
    return index;
}

void KFbxReaderDxf::Read3DFace(const Span& span, FaceSet& set, const KFbxVector4& offset) {
    KFbxVector4 corners[4];
    for (int k = 0; k < 4; ++k) {
        if (!ReadPoint(span, 10 + k, corners[k])) {
            Warn(mPairs[span.mBegin].mLine, "3DFACE with a corner that is no number left out");
            return;
        }
        corners[k] = Minus(corners[k], offset);
    }
    const int count = SamePoint(corners[2], corners[3]) ? 3 : 4;
    for (int a = 0; a < count; ++a) {
        for (int b = a + 1; b < count; ++b) {
            if (SamePoint(corners[a], corners[b])) {
                return;  // degenerate
            }
        }
    }
    Face face{count, EntityColor(span), {0, 0, 0, 0}};
    // Last corner first: the scene winds the other way round.
    for (int k = 0; k < count; ++k) {
        face.mIndices[static_cast<std::size_t>(k)] = AddPoint(set, corners[count - 1 - k], mWeld, mWeld);
    }
    set.mColored = set.mColored || face.mColor > 0;
    set.mFaces.push_back(face);
}

void KFbxReaderDxf::ReadPolyline(std::size_t& position, FaceSet& set, const KFbxVector4& offset) {
    const Span head = EntityAt(position);
    const int polylineColor = EntityColor(head);
    position = head.mEnd;
    const std::size_t base = set.mPoints.size();
    struct Pending {
        long long mNumbers[4];
        int mColor;
        int mLine;
    };
    std::vector<Pending> faces;
    while (position < mPairs.Size() && mPairs[position].Is(0, "VERTEX")) {
        const Span vertex = EntityAt(position);
        position = vertex.mEnd;
        int flags = 0;
        int color = polylineColor;
        Pending face{{0, 0, 0, 0}, 0, mPairs[vertex.mBegin].mLine};
        for (std::size_t i = vertex.mBegin + 1; i < vertex.mEnd; ++i) {
            const KFbxDxfPair& pair = mPairs[i];
            int value = 0;
            if (pair.mCode == 70 || pair.mCode == 62 || (pair.mCode >= 71 && pair.mCode <= 74)) {
                if (!KFbxDxfPairs::ToInt(pair.mValue, value)) {
                    Warn(pair.mLine, "an integer was expected");
                    continue;
                }
            }
            if (pair.mCode == 70) {
                flags = value;
            } else if (pair.mCode == 62) {
                color = value;
            } else if (pair.mCode >= 71 && pair.mCode <= 74) {
                face.mNumbers[pair.mCode - 71] = value;
            }
        }
        // Bit 128: a polyface record; with bit 64 a point, without a face.
        if ((flags & 128) == 0) {
            continue;
        }
        if ((flags & 64) != 0) {
            KFbxVector4 point;
            if (!ReadPoint(vertex, 10, point)) {
                Warn(face.mLine, "vertex with a coordinate that is no number taken as 0");
                point = ToScene(0.0, 0.0, 0.0);
            }
            // Never welded, but later faces may weld to it.
            AddPoint(set, Minus(point, offset), false, mWeld);
        } else {
            face.mColor = color;
            faces.push_back(face);
        }
    }
    if (position < mPairs.Size() && mPairs[position].Is(0, "SEQEND")) {
        position = EntityAt(position).mEnd;
    }
    const long long vertexCount = static_cast<long long>(set.mPoints.size() - base);
    for (const Pending& pending : faces) {
        const long long* n = pending.mNumbers;
        if (n[0] == 0 || n[1] == 0 || n[2] == 0) {
            Warn(pending.mLine, "face with fewer than three vertices left out");
            continue;
        }
        const int count = n[3] != 0 ? 4 : 3;
        long long index[4];
        bool inRange = true;
        for (int k = 0; k < count; ++k) {
            index[k] = std::llabs(n[k]) - 1;
            inRange = inRange && index[k] < vertexCount;
        }
        if (!inRange) {
            Warn(pending.mLine, "face naming a vertex its polyline does not have left out");
            continue;
        }
        if (count == 3 && (index[0] == index[1] || index[1] == index[2] || index[0] == index[2])) {
            continue;
        }
        Face face{count, pending.mColor, {0, 0, 0, 0}};
        for (int k = 0; k < count; ++k) {
            face.mIndices[static_cast<std::size_t>(k)] =
                static_cast<int>(index[count - 1 - k] + static_cast<long long>(base));
        }
        set.mColored = set.mColored || face.mColor > 0;
        set.mFaces.push_back(face);
    }
}

// ---- meshes and nodes ------------------------------------------------------

KFbxMesh* KFbxReaderDxf::BuildMesh(const FaceSet& set) {
    if (set.mPoints.size() > static_cast<std::size_t>(INT_MAX)) {
        return nullptr;
    }
    KFbxMesh* mesh = KFbxMesh::Create(&mManager, "");
    if (mesh == nullptr) {
        return nullptr;
    }
    const int count = static_cast<int>(set.mPoints.size());
    mesh->InitControlPoints(count);
    if (mesh->GetControlPointsCount() != count) {
        mesh->Destroy();
        return nullptr;
    }
    std::copy(set.mPoints.begin(), set.mPoints.end(), mesh->GetControlPoints());
    if (set.mColored) {
        mesh->InitMaterialIndices(KFbxLayerElement::eBY_POLYGON);
    }
    std::map<int, int> materialByColor;
    for (const Face& face : set.mFaces) {
        int material = -1;
        if (set.mColored) {
            material = 0;
            if (face.mColor >= 1 && face.mColor <= 255) {
                const auto found = materialByColor.find(face.mColor);
                if (found != materialByColor.end()) {
                    material = found->second;
                } else {
                    const int added = mesh->AddMaterial(MaterialOf(face.mColor), 0);
                    material = added >= 0 ? added : 0;
                    materialByColor.emplace(face.mColor, material);
                }
            }
        }
        mesh->BeginPolygon(material, -1, -1);
        for (int k = 0; k < face.mCount; ++k) {
            mesh->AddPolygonVertex(face.mIndices[static_cast<std::size_t>(k)]);
        }
        mesh->EndPolygon();
    }
    return mesh;
}

KFbxNode* KFbxReaderDxf::CreateNode(const char* name) {
    KString unique(name);
    mRenaming.Rename(unique);
    return KFbxNode::Create(&mManager, unique.Buffer());
}

}  // namespace fbxsdk_2006_11_1
