#include <fbxfilesdk/formats/KFbxWriterDxf.h>

#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/KFbxMeshFilePreparation.h>
#include <fbxfilesdk/formats/KFbxWriterMesh.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerContainer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeWalk.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cerrno>
#include <charconv>
#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

// DiffuseColor x DiffuseFactor, looked up by name so that any material
// class with those properties has a colour.
int MaterialColor(const KFbxSurfaceMaterial* material) {
    if (material == nullptr) {
        return 0;
    }
    double rgb[3] = {0.0, 0.0, 0.0};
    const KFbxProperty color = material->FindProperty("DiffuseColor");
    if (color.IsValid()) {
        const fbxDouble3 value = color.GetDouble3();
        for (int i = 0; i < 3; ++i) {
            rgb[i] = value[i];
        }
    }
    const KFbxProperty factor = material->FindProperty("DiffuseFactor");
    const double scale = factor.IsValid() ? factor.GetDouble() : 1.0;
    for (double& component : rgb) {
        component *= scale;
    }
    return KFbxWriterDxf::RgbToColorIndex(rgb);
}

int LastMaterialColor(const KFbxLayerContainer& geometry) {
    const int count = geometry.GetMaterialCount(0);
    return count > 0 ? MaterialColor(geometry.GetMaterial(count - 1, 0)) : 0;
}

// The material that the index array names at position; null when the
// element has no such index or the index names no material.
const KFbxSurfaceMaterial* IndexedMaterial(const KFbxLayerContainer& geometry, int position) {
    const KFbxLayer* layer = geometry.GetLayer(0);
    const KFbxLayerElementMaterial* element = layer != nullptr ? layer->GetMaterials() : nullptr;
    if (element == nullptr || element->GetReferenceMode() == KFbxLayerElement::eDIRECT) {
        return nullptr;
    }
    const DynamicArrayOf<int>& indices = element->GetIndexArray();
    if (position < 0 || position >= indices.GetCount()) {
        return nullptr;
    }
    const int index = indices.GetAt(position);
    if (index < 0 || index >= geometry.GetMaterialCount(0)) {
        return nullptr;
    }
    return geometry.GetMaterial(index, 0);
}

}  // namespace

// ---- scene preparation ---------------------------------------------------

bool KFbxWriterDxf::PreprocessScene(KFbxScene& scene) {
    return KFbxMeshFilePreparation::PreprocessScene(scene, mNames);
}

bool KFbxWriterDxf::PostprocessScene(KFbxScene& scene) {
    KFbxMeshFilePreparation::RestoreScene(scene, mNames);
    return false;
}

// ---- file ------------------------------------------------------------------

KFbxWriterDxf::KFbxWriterDxf(KFbxSdkManager& manager, KFbxIO* /*io*/) : KFbxWriter(manager) {}

KFbxWriterDxf::~KFbxWriterDxf() { FileClose(); }

bool KFbxWriterDxf::FileCreate(const char* fileName) {
    FileClose();
    mError.ClearError();
    StartOutput();
    if (fileName == nullptr || fileName[0] == '\0') {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    if (!mOutput.Open(fileName)) {
        mMessage += SetOpenFailure(fileName, errno) + "\n";
        return false;
    }
    mFile = mOutput.Stream();
    mFileName = fileName;
    return true;
}

bool KFbxWriterDxf::FileClose() {
    const bool closed = mOutput.Close(IsOutputWhole());
    mFile = nullptr;
    if (!closed) {
        mMessage += SetWriteFailure(mFileName.Buffer(), errno) + "\n";
    }
    mFileName = KString();
    return closed;
}

KFbxStreamOptions* KFbxWriterDxf::GetWriteOptions() { return KFbxStreamOptionsDxfWriter::Create(&mManager, ""); }

// ---- text ------------------------------------------------------------------

void KFbxWriterDxf::Line(const char* text) {
    std::fputs(text, mFile);
    std::fputc('\n', mFile);
}

void KFbxWriterDxf::Code(int code) {
    // Group codes stand right-aligned in three columns.
    char text[16] = {' ', ' ', ' '};
    const std::to_chars_result digits = std::to_chars(text + 3, text + sizeof text - 1, code);
    *digits.ptr = '\0';
    const std::ptrdiff_t length = digits.ptr - (text + 3);
    Line(length >= 3 ? text + 3 : text + length);
}

void KFbxWriterDxf::Group(int code, const char* value) {
    Code(code);
    Line(value);
}

void KFbxWriterDxf::Group(int code, int value) {
    Code(code);
    // Integer values stand three blanks in.
    char text[32] = {' ', ' ', ' '};
    *std::to_chars(text + 3, text + sizeof text - 1, value).ptr = '\0';
    Line(text);
}

void KFbxWriterDxf::Group(int code, double value) {
    Code(code);
    // The shortest text that reads back as the same double; a negative
    // zero is plain zero in a drawing, and NaN and infinity, which no
    // drawing reader takes for a number, are 0 too.
    if (!std::isfinite(value)) {
        ++mNotFinite;
        value = 0.0;
    }
    if (value == 0.0) {
        value = 0.0;
    }
    char text[64];
    *std::to_chars(text, text + sizeof text - 1, value).ptr = '\0';
    Line(text);
}

void KFbxWriterDxf::Groups(std::initializer_list<FixedGroup> groups) {
    for (const FixedGroup& group : groups) {
        Group(group.mCode, group.mValue);
    }
}

// ---- colours ---------------------------------------------------------------

int KFbxWriterDxf::RgbToColorIndex(const double rgb[3]) {
    const double r = rgb[0];
    const double g = rgb[1];
    const double b = rgb[2];
    const struct {
        double mR, mG, mB;
        int mIndex;
    } kExact[] = {{1, 0, 0, 1},
                  {1, 1, 0, 2},
                  {0, 1, 0, 3},
                  {0, 1, 1, 4},
                  {0, 0, 1, 5},
                  {1, 0, 1, 6},
                  {1, 1, 1, 7},
                  {0.502, 0.502, 0.502, 8},
                  {0.753, 0.753, 0.753, 9},
                  {0, 0, 0, 250}};
    for (const auto& exact : kExact) {
        if (r == exact.mR && g == exact.mG && b == exact.mB) {
            return exact.mIndex;
        }
    }
    // 0 red, 1 green, 2 blue.
    int largest;
    int middle;
    int smallest;
    if (g <= r && b <= r) {
        largest = 0;
        middle = b > g ? 2 : 1;
    } else if (r <= g && b <= g) {
        largest = 1;
        middle = b > r ? 2 : 0;
    } else {
        largest = 2;
        middle = g > r ? 1 : 0;
    }
    smallest = 3 - largest - middle;
    const double maximum = rgb[largest];
    if (!(maximum > 0.0)) {
        return 250;
    }
    const double ratio = rgb[smallest] / maximum;
    const double m = rgb[middle] / maximum;
    if (ratio > 0.8) {
        const double average = (r + g + b) / 3.0;
        return average < 0.4    ? 250
               : average < 0.53 ? 251
               : average < 0.66 ? 252
               : average < 0.8  ? 253
               : average < 0.93 ? 254
                                : 255;
    }
    const auto threshold = [ratio](int k) { return k * (1.0 - ratio) * 0.125 + ratio; };
    // The hue columns of (largest, middle): (r,g) (r,b) (g,r) (g,b) (b,r) (b,g).
    const int pair = largest * 2 + (middle > smallest ? 1 : 0);
    static const int kSteps[3][6] = {
        {40, 220, 60, 120, 200, 140}, {30, 230, 70, 110, 190, 150}, {20, 240, 80, 100, 180, 160}};
    int index;
    if (m > threshold(7)) {
        static const int kSecondary[3] = {130, 210, 50};  // by the smallest component
        index = kSecondary[smallest];
    } else if (m > threshold(5)) {
        index = kSteps[0][pair];
    } else if (m > threshold(3)) {
        index = kSteps[1][pair];
    } else if (m > threshold(1)) {
        index = kSteps[2][pair];
    } else {
        static const int kPrimary[3] = {10, 90, 170};
        index = kPrimary[largest];
    }
    index += maximum > 0.85 ? 0 : maximum > 0.6 ? 2 : maximum > 0.4 ? 4 : maximum > 0.2 ? 6 : 8;
    if (ratio > 0.2) {
        ++index;
    }
    return index;
}

// ---- write -----------------------------------------------------------------

bool KFbxWriterDxf::Write(KFbxScene* scene, KFbxStreamOptions* options) {
    KFbxNode* root = KFbxMeshFilePreparation::BeginWrite(mError, dynamic_cast<KFbxStreamOptionsDxfWriter*>(options), mFile != nullptr, scene,
                                mTriangulate, mDeformation);
    if (root == nullptr) {
        NoteWrite(false);
        return false;
    }
    KFbxMeshFilePreparation::RenamedScene renamed(*scene);

    const int children = root->GetChildCount();
    Group(999, "Rezaziv Dxf writer for FBX");
    Groups({{0, "SECTION"}, {2, "HEADER"}});
    Groups({{9, "$ACADVER"}, {1, "AC1008"}});
    Groups({{9, "$UCSORG"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}});
    Groups({{9, "$UCSXDIR"}, {10, "1.0"}, {20, "0.0"}, {30, "0.0"}});
    Groups({{9, "$TILEMODE"}, {70, "   1"}});
    Groups({{9, "$UCSYDIR"}, {10, "0.0"}, {20, "1.0"}, {30, "0.0"}});
    Groups({{0, "ENDSEC"}, {0, "SECTION"}, {2, "TABLES"}});
    if (children > 0) {
        Groups({{0, "TABLE"}, {2, "LTYPE"}, {70, "   1"}});
        Groups({{0, "LTYPE"},
                {2, "CONTINUOUS"},
                {70, "   64"},
                {3, "Solid line"},
                {72, "   65"},
                {73, "   0"},
                {40, "0.0"}});
        Groups({{0, "ENDTAB"}, {0, "TABLE"}, {2, "LAYER"}});
        // Every node below the root counts, written or not.
        Group(70, root->GetChildCount(true));
        KFbxForEachNodeBelow(*root, [this](KFbxNode& node) { WriteLayer(node); });
        Group(0, "ENDTAB");
    }
    Groups({{0, "ENDSEC"}, {0, "SECTION"}, {2, "BLOCKS"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}});
    KFbxForEachNodeBelow(*root, [this](KFbxNode& node) {
        if (KFbxWriterMesh::WrittenGeometry(node) != nullptr) {
            WritePolyline(node);
        }
    });
    Groups({{0, "ENDSEC"}, {0, "EOF"}});
    renamed.Restore();
    errno = 0;
    const bool written = std::fflush(mFile) == 0 && std::ferror(mFile) == 0;
    NoteWrite(written);
    if (!written) {
        mMessage += SetWriteFailure(mFileName.Buffer(), errno) + "\n";
    }
    return written;
}

void KFbxWriterDxf::WriteLayer(KFbxNode& node) {
    if (const KFbxLayerContainer* geometry = KFbxWriterMesh::WrittenGeometry(node)) {
        const int color = LastMaterialColor(*geometry);
        Groups({{0, "LAYER"}, {2, node.GetName()}, {70, "   0"}});
        // A layer switched off has a negative colour.
        Group(62, node.GetVisibility() ? color : -color);
        Group(6, "CONTINUOUS");
    }
}

void KFbxWriterDxf::WritePolyline(KFbxNode& node) {
    KFbxWriterMesh prepared;
    if (!prepared.Prepare(node, mTriangulate, mDeformation)) {
        return;
    }
    mNotFinite = 0;
    const KFbxMesh& mesh = *prepared.GetMesh();
    const std::vector<KFbxVector4>& points = prepared.GetControlPoints();
    const int pointCount = static_cast<int>(points.size());
    const KgeMatrix global(node.EvaluateDefaultGlobalTransform());
    const bool mirrored = KFbxWriterMesh::TurnsInsideOut(global);
    const int materialCount = mesh.GetMaterialCount(0);
    const KFbxLayerElement::EMappingMode mapping = mesh.GetMaterialMappingMode();
    const int polylineColor = LastMaterialColor(mesh);
    const char* layer = node.GetName();

    // A face record is a triangle or a quad of points in range: a larger
    // polygon is fanned from its first corner, a smaller one or one that
    // names a point outside the mesh is left out.
    const int polygonCount = mesh.GetPolygonCount();
    const auto written = [&mesh, pointCount](int polygon) {
        const int size = mesh.GetPolygonSize(polygon);
        for (int k = 0; k < size; ++k) {
            const int index = mesh.GetPolygonVertex(polygon, k);
            if (index < 0 || index >= pointCount) {
                return false;
            }
        }
        return size >= 3;
    };
    int faceCount = 0;
    for (int p = 0; p < polygonCount; ++p) {
        const int size = mesh.GetPolygonSize(p);
        faceCount += !written(p) ? 0 : size <= 4 ? 1 : size - 2;
    }

    Groups({{0, "POLYLINE"}, {8, layer}});
    if (materialCount > 0) {
        Group(62, polylineColor);
    }
    // A polyface mesh (flag 64) of that many points and faces.
    Groups({{66, "   1"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {70, "   64"}});
    Group(71, pointCount);
    Group(72, faceCount);

    for (int i = 0; i < pointCount; ++i) {
        Groups({{0, "VERTEX"}, {8, layer}});
        if (mapping == KFbxLayerElement::eBY_CONTROL_POINT) {
            if (const KFbxSurfaceMaterial* material = IndexedMaterial(mesh, i)) {
                Group(62, MaterialColor(material));
            }
        }
        const KFbxVector4 world = global.MultT(points[static_cast<std::size_t>(i)]);
        Group(10, world[0]);
        Group(20, -world[2]);
        Group(30, world[1]);
        Group(70, "   192");
    }

    const auto face = [this, layer](int color, const int* numbers, int count) {
        Groups({{0, "VERTEX"}, {8, layer}});
        if (color > 0) {
            Group(62, color);
        }
        Groups({{10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {70, "   128"}});
        for (int k = 0; k < count; ++k) {
            Group(71 + k, numbers[k]);
        }
    };
    for (int p = 0; p < polygonCount; ++p) {
        if (!written(p)) {
            continue;
        }
        const int size = mesh.GetPolygonSize(p);
        int color = polylineColor;
        if (mapping == KFbxLayerElement::eBY_POLYGON) {
            const KFbxSurfaceMaterial* material = IndexedMaterial(mesh, p);
            color = material != nullptr ? MaterialColor(material) : 0;
        }
        // Corners in the polygon's own order, unless the node's transform
        // turns the faces inside out; a larger polygon is fanned from its
        // first corner.
        const auto corner = [&mesh, p, size, mirrored](int k) {
            return mesh.GetPolygonVertex(p, mirrored ? size - 1 - k : k) + 1;
        };
        int numbers[4];
        if (size <= 4) {
            for (int k = 0; k < size; ++k) {
                numbers[k] = corner(k);
            }
            face(color, numbers, size);
            continue;
        }
        for (int k = 1; k + 1 < size; ++k) {
            numbers[0] = corner(0);
            numbers[1] = corner(k);
            numbers[2] = corner(k + 1);
            face(color, numbers, 3);
        }
    }
    Group(0, "SEQEND");
    KFbxMeshFilePreparation::TellNotFinite(mMessage, "mesh", layer, mNotFinite);
}

}  // namespace fbxsdk_2006_11_1
