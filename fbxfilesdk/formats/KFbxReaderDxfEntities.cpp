// The DXF reader's entities: colour numbers and their materials, 3D faces,
// polyface polylines, welding, and the meshes made of them.
#include <fbxfilesdk/formats/KFbxReaderDxf.h>

#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>

namespace fbxsdk_2006_11_1 {

namespace {

// Corners within this distance on every axis are one point.
constexpr double kSamePoint = 1e-6;
// The colour number that stands for the layer's colour.
constexpr int kColorByLayer = 256;

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

bool KFbxReaderDxf::IsSectionEnd(const KFbxDxfPair& pair) {
    return pair.mCode == 0 && (pair.mValue == "ENDSEC" || pair.mValue == "ENDBLK");
}

std::string_view KFbxReaderDxf::LayerOf(const Entity& entity) const {
    for (std::size_t i = 1; i < entity.size(); ++i) {
        if (entity[i].mCode == 8) {
            return entity[i].mValue;
        }
    }
    return "0";
}

int KFbxReaderDxf::LayerColor(std::string_view layer) const {
    const auto found = mLayers.find(layer);
    return found != mLayers.end() ? found->second : 0;
}

int KFbxReaderDxf::EntityColor(const Entity& entity) const {
    int color = 0;
    for (std::size_t i = 1; i < entity.size(); ++i) {
        if (entity[i].mCode == 62) {
            KFbxDxfPairs::ToInt(entity[i].mValue, color);
        }
    }
    // 0 is the colour of the block and 256 that of the layer: for an entity
    // read in a block and one drawn directly alike, the layer's.
    if (color == 0 || color == kColorByLayer) {
        // A layer switched off has a negative colour but still colours.
        const long long layer = LayerColor(LayerOf(entity));
        color = static_cast<int>(layer < 0 ? -layer : layer);
    }
    return color;
}

bool KFbxReaderDxf::ReadPoint(const Entity& entity, int xCode, KFbxVector4& point) const {
    double xyz[3] = {0.0, 0.0, 0.0};
    for (std::size_t i = 1; i < entity.size(); ++i) {
        const int code = entity[i].mCode;
        // Codes of any int value come in: the difference only once in range.
        if (code < xCode || code > xCode + 20 || (code - xCode) % 10 != 0) {
            continue;
        }
        if (!KFbxDxfPairs::ToDouble(entity[i].mValue, xyz[(code - xCode) / 10])) {
            return false;
        }
    }
    point = ToScene(xyz[0], xyz[1], xyz[2]);
    return true;
}

std::size_t KFbxReaderDxf::CellHash::operator()(const Cell& cell) const noexcept {
    const std::hash<long long> hash;
    return hash(cell.mX) ^ (hash(cell.mY) * 31) ^ (hash(cell.mZ) * 1009);
}

// The cell of the point; false beyond the cells' range, where points are
// never welded.
bool KFbxReaderDxf::CellOf(const KFbxVector4& point, Cell& cell) {
    long long* const coordinates[3] = {&cell.mX, &cell.mY, &cell.mZ};
    for (int axis = 0; axis < 3; ++axis) {
        const double scaled = std::floor(point[axis] / kSamePoint);
        if (!(std::fabs(scaled) < 4.0e18)) {
            return false;
        }
        *coordinates[axis] = static_cast<long long>(scaled);
    }
    return true;
}

int KFbxReaderDxf::AddPoint(FaceSet& set, const KFbxVector4& point, bool weld) {
    if (!weld) {
        set.mPoints.push_back(point);
        return static_cast<int>(set.mPoints.size() - 1);
    }
    // The points added before are indexed only once a point welds: meshes
    // of polyface polylines alone never need the index.
    Cell cell{0, 0, 0};
    for (; set.mIndexed < set.mPoints.size(); ++set.mIndexed) {
        if (CellOf(set.mPoints[set.mIndexed], cell)) {
            set.mWeld.emplace(cell, static_cast<int>(set.mIndexed));
        }
    }
    const bool keyed = CellOf(point, cell);
    if (keyed) {
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
    set.mIndexed = set.mPoints.size();
    return index;
}

void KFbxReaderDxf::Read3DFace(const Entity& entity, FaceSet& set, const KFbxVector4& offset) {
    // A corner that repeats one before it is no corner: a face of four
    // corners with two equal is the common way of drawing a triangle.
    KFbxVector4 corners[4];
    int count = 0;
    for (int k = 0; k < 4; ++k) {
        KFbxVector4 corner;
        if (!ReadPoint(entity, 10 + k, corner)) {
            Warn(entity[0].mLine, "3DFACE with a corner that is no number left out");
            return;
        }
        corner = Minus(corner, offset);
        bool repeated = false;
        for (int kept = 0; kept < count && !repeated; ++kept) {
            repeated = SamePoint(corners[kept], corner);
        }
        if (!repeated) {
            corners[count++] = corner;
        }
    }
    if (count < 3) {
        return;  // a line or a point
    }
    Face face{count, EntityColor(entity), {0, 0, 0, 0}};
    // The drawing's corner order: the change of axes turns, it does not
    // mirror, so the front of the face stays the drawing's.
    for (int k = 0; k < count; ++k) {
        face.mIndices[static_cast<std::size_t>(k)] = AddPoint(set, corners[k], mWeld);
    }
    set.mColored = set.mColored || face.mColor > 0;
    set.mFaces.push_back(face);
}

void KFbxReaderDxf::ReadPolyline(const Entity& head, Position& position, FaceSet& set, const KFbxVector4& offset) {
    const int polylineColor = EntityColor(head);
    const std::size_t base = set.mPoints.size();
    struct Pending {
        long long mNumbers[4];
        int mColor;
        int mLine;
    };
    std::vector<Pending> faces;
    Entity& vertex = mVertex;
    KFbxDxfPair next;
    while (PairAt(position, next) && next.Is(0, "VERTEX")) {
        ReadEntityAt(position, vertex);
        int flags = 0;
        int color = polylineColor;
        Pending face{{0, 0, 0, 0}, 0, vertex[0].mLine};
        for (std::size_t i = 1; i < vertex.size(); ++i) {
            const KFbxDxfPair& pair = vertex[i];
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
                color = value == kColorByLayer ? EntityColor(vertex) : value;
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
            AddPoint(set, Minus(point, offset), false);
        } else {
            face.mColor = color;
            faces.push_back(face);
        }
    }
    if (PairAt(position, next) && next.Is(0, "SEQEND")) {
        ReadEntityAt(position, vertex);
    }
    const long long vertexCount = static_cast<long long>(set.mPoints.size() - base);
    for (const Pending& pending : faces) {
        const long long* n = pending.mNumbers;
        if (n[0] == 0 || n[1] == 0 || n[2] == 0) {
            Warn(pending.mLine, "face with fewer than three vertices left out");
            continue;
        }
        // A face naming a vertex twice stays as it was written: meshes hold
        // such faces where a fan closes at a pole, and they come back whole.
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
        Face face{count, pending.mColor, {0, 0, 0, 0}};
        for (int k = 0; k < count; ++k) {
            face.mIndices[static_cast<std::size_t>(k)] = static_cast<int>(index[k] + static_cast<long long>(base));
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
    std::size_t corners = 0;
    for (const Face& face : set.mFaces) {
        corners += static_cast<std::size_t>(face.mCount);
    }
    if (corners <= static_cast<std::size_t>(INT_MAX)) {
        mesh->ReservePolygons(static_cast<int>(set.mFaces.size()), static_cast<int>(corners));
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
