#include <fbxfilesdk/formats/KFbxReaderDxf.h>

#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kReferenceNodeName = "Fbx_Root";
// Blocks nested deeper than this are taken for a loop.
constexpr std::size_t kMaxInsertDepth = 64;
// Entities that inserts may add, per pair of the file.
constexpr long long kInsertEntitiesPerPair = 4;
constexpr long long kInsertEntitiesAtLeast = 10000;
constexpr double kSamePoint = 1e-6;

// The drawing's Z up becomes the scene's Y up.
KFbxVector4 ToScene(double x, double y, double z) { return KFbxVector4(x, z, -y, 1.0); }

bool SamePoint(const KFbxVector4& a, const KFbxVector4& b) {
    return std::fabs(a[0] - b[0]) <= kSamePoint && std::fabs(a[1] - b[1]) <= kSamePoint &&
           std::fabs(a[2] - b[2]) <= kSamePoint;
}

KFbxVector4 Minus(const KFbxVector4& a, const KFbxVector4& b) {
    return KFbxVector4(a[0] - b[0], a[1] - b[1], a[2] - b[2], 1.0);
}

}  // namespace

KFbxReaderDxf::KFbxReaderDxf(KFbxSdkManager& manager, KFbxIO* /*io*/) : KFbxReader(manager) {}

KFbxReaderDxf::~KFbxReaderDxf() { FileClose(); }

bool KFbxReaderDxf::FileOpen(const char* fileName) {
    FileClose();
    mError.ClearError();
    mFile = fileName != nullptr && fileName[0] != '\0' ? std::fopen(fileName, "rb") : nullptr;
    if (mFile == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    mFileName = fileName;
    return true;
}

bool KFbxReaderDxf::FileClose() {
    bool closed = true;
    if (mFile != nullptr) {
        closed = std::fclose(mFile) == 0;
        mFile = nullptr;
    }
    mFileName = KString();
    mText.clear();
    mText.shrink_to_fit();
    return closed;
}

KFbxStreamOptions* KFbxReaderDxf::GetReadOptions() {
    KFbxStreamOptions* options = KFbxStreamOptionsDxfReader::Create(&mManager, "");
    if (options == nullptr) {
        mError.SetError(eOUT_OF_MEMORY);
    }
    return options;
}

// ---- colours ---------------------------------------------------------------

void KFbxReaderDxf::ColorIndexToRgb(int color, double rgb[3]) {
    if (color < 1 || color > 255) {
        return;
    }
    static const double kBasic[9][3] = {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1},
                                        {1, 1, 1}, {0.502, 0.502, 0.502}, {0.753, 0.753, 0.753}};
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

// ---- pairs and entities ----------------------------------------------------

bool KFbxReaderDxf::LoadFile() {
    mText.clear();
    if (std::fseek(mFile, 0, SEEK_SET) != 0) {
        return false;
    }
    // Grows with what the file holds, never by what it claims.
    char block[65536];
    try {
        for (std::size_t got; (got = std::fread(block, 1, sizeof block, mFile)) > 0;) {
            mText.append(block, got);
        }
    } catch (const std::bad_alloc&) {
        mError.SetError(eOUT_OF_MEMORY);
        return false;
    }
    return std::ferror(mFile) == 0;
}

void KFbxReaderDxf::Warn(int line, const char* text) {
    mMessage += "Line ";
    mMessage += line;
    mMessage += ": ";
    mMessage += text;
    mMessage += "\n";
}

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

int KFbxReaderDxf::AddPoint(FaceSet& set, const KFbxVector4& point, bool weld, bool findable) {
    std::string key;
    if (weld || findable) {
        // Points equal to within the weld distance mostly share their cell.
        bool keyed = true;
        long long cells[3];
        for (int axis = 0; axis < 3; ++axis) {
            const double scaled = point[axis] / kSamePoint;
            keyed = keyed && std::fabs(scaled) < 9.0e18;
            cells[axis] = keyed ? std::llround(scaled) : 0;
        }
        if (keyed) {
            key.assign(reinterpret_cast<const char*>(cells), sizeof cells);
            const auto found = weld ? set.mWeld.find(key) : set.mWeld.end();
            if (found != set.mWeld.end() && SamePoint(set.mPoints[static_cast<std::size_t>(found->second)], point)) {
                return found->second;
            }
        }
    }
    set.mPoints.push_back(point);
    const int index = static_cast<int>(set.mPoints.size() - 1);
    if (!key.empty()) {
        set.mWeld.emplace(std::move(key), index);
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
            face.mIndices[static_cast<std::size_t>(k)] = static_cast<int>(index[count - 1 - k] + static_cast<long long>(base));
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

// ---- sections --------------------------------------------------------------

void KFbxReaderDxf::ReadTables(std::size_t& position) {
    while (position < mPairs.Size()) {
        const KFbxDxfPair& pair = mPairs[position];
        if (pair.Is(0, "ENDSEC")) {
            ++position;
            return;
        }
        if (!pair.Is(0, "LAYER")) {
            ++position;
            continue;
        }
        const Span entry = EntityAt(position);
        position = entry.mEnd;
        std::string_view name;
        int color = 0;
        for (std::size_t i = entry.mBegin + 1; i < entry.mEnd; ++i) {
            if (mPairs[i].mCode == 2) {
                name = mPairs[i].mValue;
            } else if (mPairs[i].mCode == 62 && !KFbxDxfPairs::ToInt(mPairs[i].mValue, color)) {
                Warn(mPairs[i].mLine, "layer colour that is no integer taken as 0");
                color = 0;
            }
        }
        if (!name.empty()) {
            mLayers.emplace(std::string(name), color);
        }
    }
}

void KFbxReaderDxf::IndexBlocks(std::size_t& position) {
    while (position < mPairs.Size() && !mPairs[position].Is(0, "ENDSEC")) {
        if (!mPairs[position].Is(0, "BLOCK")) {
            ++position;
            continue;
        }
        const Span header = EntityAt(position);
        for (std::size_t i = header.mBegin + 1; i < header.mEnd; ++i) {
            if (mPairs[i].mCode == 2 && !mPairs[i].mValue.empty()) {
                mBlocks.emplace(std::string(mPairs[i].mValue), position);
                break;
            }
        }
        position = header.mEnd;
    }
}

void KFbxReaderDxf::ReadInsert(const Span& span, KFbxNode& parent, const KFbxVector4& offset) {
    const int line = mPairs[span.mBegin].mLine;
    std::string name;
    double scale[3] = {1.0, 1.0, 1.0};
    double rotation = 0.0;
    bool numbers = true;
    for (std::size_t i = span.mBegin + 1; i < span.mEnd; ++i) {
        const KFbxDxfPair& pair = mPairs[i];
        if (pair.mCode == 2) {
            name = pair.mValue;
        } else if (pair.mCode >= 41 && pair.mCode <= 43) {
            numbers = KFbxDxfPairs::ToDouble(pair.mValue, scale[pair.mCode - 41]) && numbers;
        } else if (pair.mCode == 50) {
            numbers = KFbxDxfPairs::ToDouble(pair.mValue, rotation) && numbers;
        }
    }
    KFbxVector4 insertion;
    if (!numbers || !ReadPoint(span, 10, insertion)) {
        Warn(line, "INSERT with a value that is no number left out");
        return;
    }
    const auto found = mBlocks.find(name);
    if (name.empty() || found == mBlocks.end()) {
        Warn(line, ("INSERT of a block that does not exist: \"" + name + "\"").c_str());
        return;
    }
    for (const std::string& outer : mInsertChain) {
        if (outer == name) {
            Warn(line, ("block inserts itself: \"" + name + "\"").c_str());
            return;
        }
    }
    if (mInsertChain.size() >= kMaxInsertDepth) {
        Warn(line, "blocks nested too deep");
        return;
    }
    if (mInsertBudget <= 0) {
        return;
    }
    const Span header = EntityAt(found->second);
    KFbxVector4 base;
    if (!ReadPoint(header, 10, base)) {
        Warn(mPairs[header.mBegin].mLine, "block base point that is no number taken as 0");
        base = ToScene(0.0, 0.0, 0.0);
    }
    Placement placement;
    placement.mInsertion = Minus(insertion, offset);
    // Scale factors are lengths along the axes, not a point: no sign change.
    placement.mScale = KFbxVector4(scale[0], scale[2], scale[1], 0.0);
    placement.mRotation = rotation;

    KString nodeName(name.c_str());
    mRenaming.Rename(nodeName);
    mInsertChain.push_back(name);
    std::size_t position = header.mEnd;
    if (!ReadBlockEntities(position, parent, nodeName.Buffer(), &placement, base, false)) {
        Warn(line, ("block does not end: \"" + name + "\"").c_str());
    }
    mInsertChain.pop_back();
}

bool KFbxReaderDxf::ReadBlockEntities(std::size_t& position, KFbxNode& parent, const char* name,
                                      const Placement* placement, const KFbxVector4& offset, bool topLevel) {
    KFbxNode* node = KFbxNode::Create(&mManager, name);
    if (node == nullptr) {
        return false;
    }
    FaceSet set;
    bool geometry = false;
    bool ended = false;
    while (position < mPairs.Size()) {
        const KFbxDxfPair& pair = mPairs[position];
        if (pair.mCode != 0) {
            ++position;
            continue;
        }
        if (IsSectionEnd(pair)) {
            ++position;
            ended = true;
            break;
        }
        if (pair.mValue == "EOF") {
            break;
        }
        if (!topLevel && --mInsertBudget < 0) {
            // What was read stays.
            if (!mBudgetWarned) {
                Warn(pair.mLine, "inserts would add more than the drawing can hold; the rest is left out");
                mBudgetWarned = true;
            }
            ended = true;
            break;
        }
        const Span span = EntityAt(position);
        if (pair.mValue == "POLYLINE") {
            ReadPolyline(position, set, offset);
            geometry = true;
            continue;
        }
        position = span.mEnd;
        if (pair.mValue == "3DFACE") {
            Read3DFace(span, set, offset);
            geometry = true;
        } else if (pair.mValue == "INSERT") {
            ReadInsert(span, topLevel ? parent : *node, offset);
        }
    }
    if (geometry) {
        if (KFbxMesh* mesh = BuildMesh(set)) {
            node->SetNodeAttribute(mesh);
        }
    }
    if (node->GetNodeAttribute() == nullptr && node->GetChildCount() == 0) {
        node->Destroy();
        return ended;
    }
    if (placement != nullptr) {
        const KFbxVector4& s = placement->mScale;
        if (s[0] != 1.0 || s[1] != 1.0 || s[2] != 1.0) {
            node->SetLclScaling(s);
        }
        if (placement->mRotation != 0.0) {
            node->SetLclRotation(KFbxVector4(0.0, placement->mRotation, 0.0, 0.0));
        }
        const KFbxVector4& t = placement->mInsertion;
        if (t[0] != 0.0 || t[1] != 0.0 || t[2] != 0.0) {
            node->SetLclTranslation(KFbxVector4(t[0], t[1], t[2], 0.0));
        }
    }
    parent.AddChild(node);
    return ended;
}

bool KFbxReaderDxf::ReadEntitiesByLayer(std::size_t& position, KFbxNode& parent) {
    std::map<std::string, FaceSet> layers;
    const KFbxVector4 origin = ToScene(0.0, 0.0, 0.0);
    bool ended = false;
    while (position < mPairs.Size()) {
        const KFbxDxfPair& pair = mPairs[position];
        if (pair.mCode != 0) {
            ++position;
            continue;
        }
        if (IsSectionEnd(pair)) {
            ++position;
            ended = true;
            break;
        }
        if (pair.mValue == "EOF") {
            break;
        }
        const Span span = EntityAt(position);
        if (pair.mValue == "POLYLINE") {
            ReadPolyline(position, layers[std::string(LayerOf(span))], origin);
            continue;
        }
        position = span.mEnd;
        if (pair.mValue == "3DFACE") {
            Read3DFace(span, layers[std::string(LayerOf(span))], origin);
        } else if (pair.mValue == "INSERT") {
            ReadInsert(span, parent, origin);
        }
    }
    for (auto& [layer, set] : layers) {
        // A layer whose every face was degenerate has nothing to show.
        KFbxMesh* mesh = set.mFaces.empty() ? nullptr : BuildMesh(set);
        if (mesh == nullptr) {
            continue;
        }
        KFbxNode* node = CreateNode(layer.c_str());
        if (node == nullptr) {
            mesh->Destroy();
            return false;
        }
        node->SetNodeAttribute(mesh);
        if (LayerColor(layer) < 0) {
            node->SetVisibility(false);
        }
        parent.AddChild(node);
        set = FaceSet();
    }
    return ended;
}

bool KFbxReaderDxf::ReadEntitiesByEntity(std::size_t& position, KFbxNode& parent) {
    const KFbxVector4 origin = ToScene(0.0, 0.0, 0.0);
    while (position < mPairs.Size()) {
        const KFbxDxfPair& pair = mPairs[position];
        if (pair.mCode != 0) {
            ++position;
            continue;
        }
        if (IsSectionEnd(pair)) {
            ++position;
            return true;
        }
        if (pair.mValue == "EOF") {
            return false;
        }
        const Span span = EntityAt(position);
        const bool polyline = pair.mValue == "POLYLINE";
        const bool face = pair.mValue == "3DFACE";
        if (!polyline) {
            position = span.mEnd;
        }
        if (pair.mValue == "INSERT") {
            ReadInsert(span, parent, origin);
        }
        if (!polyline && !face) {
            continue;
        }
        FaceSet set;
        if (polyline) {
            ReadPolyline(position, set, origin);
        } else {
            // The corners of one face are its own points.
            const bool weld = mWeld;
            mWeld = false;
            Read3DFace(span, set, origin);
            mWeld = weld;
            if (set.mFaces.empty()) {
                continue;
            }
        }
        KFbxMesh* mesh = BuildMesh(set);
        KFbxNode* node = mesh != nullptr ? CreateNode(polyline ? "POLYLINE" : "3DFACE") : nullptr;
        if (node == nullptr) {
            if (mesh != nullptr) {
                mesh->Destroy();
            }
            return false;
        }
        node->SetNodeAttribute(mesh);
        parent.AddChild(node);
    }
    return false;
}

bool KFbxReaderDxf::Read(KFbxScene* scene, KFbxStreamOptions* options) {
    mError.ClearError();
    mMessage = KString();
    if (mFile == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    auto* own = dynamic_cast<KFbxStreamOptionsDxfReader*>(options);
    if (own == nullptr) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        return false;
    }
    if (scene == nullptr || scene->GetRootNode() == nullptr) {
        mError.SetErrorWithText(eUNIDENTIFIED_ERROR, "No scene to read into");
        return false;
    }
    mObjectDerivation = own->GetObjectDerivation();
    mWeld = own->GetBoolOption("WELD VERTICES", true);
    mReferenceNode = own->GetBoolOption("REFERENCENODE", false);
    if (mObjectDerivation < 0 || mObjectDerivation > 2) {
        mError.SetErrorWithText(eUNIDENTIFIED_ERROR, "OBJECT DERIVATION must be 0, 1 or 2");
        return false;
    }

    // Every read starts afresh: materials of an earlier read belong to the
    // scene that read made, which may be gone.
    mScene = scene;
    mMaterialCounter = 0;
    mColorMaterials.fill(nullptr);
    mRenaming.Clear();
    mLayers.clear();
    mBlocks.clear();
    mInsertChain.clear();
    mBudgetWarned = false;
    if (!LoadFile()) {
        if (mError.GetLastErrorID() == -1) {
            mError.SetError(eFILE_CORRUPTED);
        }
        return false;
    }
    mPairs.Parse(mText);
    mInsertBudget = static_cast<long long>(mPairs.Size()) * kInsertEntitiesPerPair + kInsertEntitiesAtLeast;

    // Blocks are found wherever their section stands.
    for (std::size_t i = 0; i + 1 < mPairs.Size(); ++i) {
        if (mPairs[i].Is(0, "SECTION") && mPairs[i + 1].Is(2, "BLOCKS")) {
            std::size_t position = i + 2;
            IndexBlocks(position);
            break;
        }
    }

    KFbxNode* parent = scene->GetRootNode();
    if (mReferenceNode) {
        KFbxNode* reference = KFbxNode::Create(&mManager, kReferenceNodeName);
        if (reference == nullptr) {
            mError.SetError(eOUT_OF_MEMORY);
            return false;
        }
        // Turns the scene's Y up back into the drawing's Z up.
        reference->SetLclRotation(KFbxVector4(90.0, 0.0, 0.0, 0.0));
        parent->AddChild(reference);
        parent = reference;
    }

    bool read = false;
    bool finished = false;
    std::size_t position = 0;
    while (position < mPairs.Size() && !finished) {
        const KFbxDxfPair& pair = mPairs[position];
        if (pair.Is(0, "EOF")) {
            read = finished = true;
        } else if (pair.Is(0, "SECTION") && position + 1 < mPairs.Size() && mPairs[position + 1].mCode == 2) {
            const std::string_view section = mPairs[position + 1].mValue;
            position += 2;
            if (section == "TABLES") {
                ReadTables(position);
            } else if (section == "ENTITIES") {
                if (mObjectDerivation == 0) {
                    read = ReadEntitiesByLayer(position, *parent);
                } else if (mObjectDerivation == 1) {
                    read = ReadEntitiesByEntity(position, *parent);
                } else {
                    read = ReadBlockEntities(position, *parent, "ENTITIES", nullptr, ToScene(0.0, 0.0, 0.0), true);
                }
                finished = true;
            }
        } else {
            ++position;
        }
    }
    mText.clear();
    if (!read) {
        const std::string detail =
            mPairs.Error().empty() ? std::string("the drawing ends before its end") : mPairs.Error();
        mError.SetErrorWithText(eFILE_CORRUPTED, detail.c_str());
    }
    return read;
}

}  // namespace fbxsdk_2006_11_1
