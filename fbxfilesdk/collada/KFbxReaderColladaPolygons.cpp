// The primitive elements of a mesh ("polygons", "triangles", "polylist",
// and "tristrips" and "trifans" as the triangles they describe) into
// polygons and layer elements: normals by polygon vertex, colours and UVs by
// polygon vertex through indices, one material per primitive element and the
// textures its material's effect binds, by polygon.
//
// Every index is checked against what it indexes before it is used: a bad
// one fails the geometry. Layer elements always hold one entry per polygon
// vertex (normals, colours, UVs) or per polygon (materials, textures), so a
// primitive element without some input leaves empty entries (zero normals,
// index -1) rather than shifting the ones after it.
#include <fbxfilesdk/collada/ColladaMeshTextures.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/ColladaXmlSource.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <new>
#include <numeric>
#include <span>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

// The highest input set read: each set is a layer of its own.
constexpr int kMaxSet = 63;

// Polygon vertices handed to the mesh at a time.
constexpr std::size_t kStoredRun = 16384;

enum class PrimitiveKind { kPolygons, kTriangles, kPolylist, kTristrips, kTrifans };

// Primitive elements with no reading here; a mesh keeps its other primitives.
constexpr const char* kUnreadPrimitives[] = {"lines", "linestrips"};

struct Primitive {
    xmlNode* mElement;
    PrimitiveKind mKind;
};

// One input of a primitive element other than its vertices.
struct PrimitiveInput {
    KString mSemantic;
    int mSet = 0;
    int mOffset = 0;
    KString mSource;
};

// The index groups of one primitive element, all its "p" lists in one, and
// how many groups each polygon takes.
struct PrimitiveIndices {
    // The indices: the one list of the element where the document parsed
    // it, so that a large mesh's indices are never copied, or mOwned.
    std::span<const int> mValues;
    std::vector<int> mOwned;
    std::vector<int> mPolygonSizes;
    std::size_t mStride = 1;
    std::size_t GroupCount() const { return mValues.size() / mStride; }
    int At(std::size_t group, int offset) const { return mValues[group * mStride + static_cast<std::size_t>(offset)]; }

    // Appends one list and tells how many indices it held; scratch serves
    // lists after the first.
    int Append(const NumberInput& numbers, std::vector<int>& scratch) {
        if (mValues.empty() && numbers.IsParsed() && numbers.Ints().size() <= static_cast<std::size_t>(INT_MAX)) {
            mValues = numbers.Ints();
            return static_cast<int>(mValues.size());
        }
        if (mOwned.data() != mValues.data()) {
            mOwned.assign(mValues.begin(), mValues.end());
        }
        const bool first = mOwned.empty();
        const int count = ParseIntArray(numbers, first ? mOwned : scratch);
        if (!first) {
            mOwned.insert(mOwned.end(), scratch.begin(), scratch.begin() + count);
        }
        mValues = mOwned;
        return count;
    }
};

// The array sized to start + count items, and the first of those; null,
// the array unchanged, when the count cannot be had.
template <class T>
T* ExtendFrom(DynamicArrayOf<T>& array, int start, std::size_t count) {
    if (static_cast<long long>(start) + static_cast<long long>(count) > INT_MAX ||
        !array.SetCount(start + static_cast<int>(count))) {
        return nullptr;
    }
    return array.GetArray() + start;
}

// Appends the triangles of one strip or fan of count index groups: a fan
// turns about its first group; a strip turns every other triangle round so
// that all face the way its first does. Fewer than three groups make none.
void AppendStripTriangles(const std::vector<int>& groups, std::size_t count, std::size_t stride, bool fan,
                          PrimitiveIndices& indices) {
    for (std::size_t first = 0; first + 2 < count; ++first) {
        const std::size_t corners[3] = {fan ? 0 : (first % 2 == 0 ? first : first + 1),
                                        fan || first % 2 == 0 ? first + 1 : first, first + 2};
        for (const std::size_t corner : corners) {
            const auto begin = groups.begin() + static_cast<std::ptrdiff_t>(corner * stride);
            indices.mOwned.insert(indices.mOwned.end(), begin, begin + static_cast<std::ptrdiff_t>(stride));
        }
        indices.mPolygonSizes.push_back(3);
    }
    indices.mValues = indices.mOwned;
}

// Grows an index array to count entries, the new ones -1 (no value).
void PadIndices(DynamicArrayOf<int>& indices, int count) {
    const int start = indices.GetCount();
    if (start < count && indices.SetCount(count)) {
        std::fill(indices.GetArray() + start, indices.GetArray() + count, -1);
    }
}

}  // namespace

class ColladaPolygonImport {
public:
    ColladaPolygonImport(KFbxReaderColladaPass& pass, xmlNode* meshElement, KFbxMesh& mesh, const KString& id)
        : mPass(pass), mMeshElement(meshElement), mMesh(mesh), mId(id) {}

    bool Run(const std::vector<KFbxVector4>& vertexNormals);

private:
    // Values of a source, and where each layer element holds a copy of them.
    template <class T>
    struct SourceValues {
        std::vector<T> mValues;
        std::map<const KFbxLayerElement*, int> mBases;
    };

    std::vector<Primitive> CollectPrimitives();
    bool ReadPrimitive(const Primitive& primitive, int primitiveCount);
    int AddMaterial(xmlNode* element, int primitiveCount);
    bool ReadIndices(const Primitive& primitive, PrimitiveIndices& indices);
    bool BuildPolygons(const PrimitiveIndices& indices, int vertexOffset, int material);
    bool ReadInput(const PrimitiveInput& input, const PrimitiveIndices& indices, int firstPolygonVertex);
    bool ReadNormals(const PrimitiveInput& input, xmlNode* source, KFbxLayer& layer, const PrimitiveIndices& indices,
                     int firstPolygonVertex);
    template <class T, class Element>
    bool ReadIndexedValues(const PrimitiveInput& input, SourceValues<T>& values, Element& element,
                           const PrimitiveIndices& indices, int firstPolygonVertex);
    void BindTextures(const KString& material, int firstPolygon, int endPolygon);
    void FinishElements(const std::vector<KFbxVector4>& vertexNormals);
    KFbxLayer* LayerOfSet(int set);
    bool Fail(const KString& message) { return mPass.Error(message); }

    KFbxReaderColladaPass& mPass;
    xmlNode* mMeshElement;
    KFbxMesh& mMesh;
    const KString& mId;
    bool mNormalsRead = false;
    std::map<std::string, SourceValues<KFbxVector4>> mNormalSources;
    std::map<std::string, SourceValues<KFbxColor>> mColorSources;
    std::map<std::string, SourceValues<KFbxVector2>> mUVSources;
    // Elements that hold one entry per polygon vertex, or per polygon.
    std::vector<KFbxLayerElementNormal*> mNormalElements;
    std::vector<KFbxLayerElement*> mIndexedVertexElements;
    std::vector<int> mScratch;
    std::vector<int> mStored;
};

bool KFbxReaderColladaPass::ImportPolygons(xmlNode* meshElement, KFbxMesh& mesh, const KString& id,
                                           const std::vector<KFbxVector4>& vertexNormals) {
    return ColladaPolygonImport(*this, meshElement, mesh, id).Run(vertexNormals);
}

bool ColladaPolygonImport::Run(const std::vector<KFbxVector4>& vertexNormals) {
    const std::vector<Primitive> primitives = CollectPrimitives();
    if (KFbxLayerElementNormal* normals = mMesh.GetLayer(0)->GetNormals()) {
        normals->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
        normals->GetDirectArray().SetCount(0);
        mNormalElements.push_back(normals);
    }
    for (const Primitive& primitive : primitives) {
        if (!ReadPrimitive(primitive, static_cast<int>(primitives.size()))) {
            return false;
        }
    }
    FinishElements(vertexNormals);
    return true;
}

std::vector<Primitive> ColladaPolygonImport::CollectPrimitives() {
    std::vector<Primitive> primitives;
    const std::pair<const char*, PrimitiveKind> kinds[] = {{"polygons", PrimitiveKind::kPolygons},
                                                           {"triangles", PrimitiveKind::kTriangles},
                                                           {"polylist", PrimitiveKind::kPolylist},
                                                           {"tristrips", PrimitiveKind::kTristrips},
                                                           {"trifans", PrimitiveKind::kTrifans}};
    for (const auto& [name, kind] : kinds) {
        std::vector<xmlNode*> elements;
        FindChildren(mMeshElement, name, elements);
        for (xmlNode* element : elements) {
            primitives.push_back(Primitive{element, kind});
        }
    }
    for (xmlNode* child : ChildElements(mMeshElement)) {
        for (const char* unread : kUnreadPrimitives) {
            if (IsNamed(child, unread)) {
                mPass.Warning(KString("<") + unread + "> is not supported: its primitives are not read in mesh " + mId);
            }
        }
    }
    return primitives;
}

KFbxLayer* ColladaPolygonImport::LayerOfSet(int set) {
    while (mMesh.GetLayerCount() <= set) {
        if (mMesh.CreateLayer() < 0) {
            return nullptr;
        }
    }
    return mMesh.GetLayer(set);
}

bool ColladaPolygonImport::ReadPrimitive(const Primitive& primitive, int primitiveCount) {
    const int material = AddMaterial(primitive.mElement, primitiveCount);
    std::vector<PrimitiveInput> inputs;
    int vertexOffset = -1;
    long long stride = 1;
    for (xmlNode* child : ChildElements(primitive.mElement)) {
        if (!IsNamed(child, "input")) {
            continue;
        }
        const int offset = GetInputOffset(child);
        if (offset < 0) {
            return Fail(KString("negative input offset in mesh ") + mId);
        }
        stride = std::max<long long>(stride, static_cast<long long>(offset) + 1);
        PrimitiveInput input;
        input.mSemantic = GetAttribute(child, "semantic");
        if (input.mSemantic == "VERTEX") {
            vertexOffset = offset;
            continue;
        }
        const KString set = GetAttribute(child, "set");
        const char* cursor = set.Buffer();
        input.mSet = set.GetLen() > 0 ? ParseInt(cursor) : 0;
        if (input.mSet < 0 || input.mSet > kMaxSet) {
            return Fail(KString("input set ") + input.mSet + " out of range in mesh " + mId);
        }
        input.mOffset = offset;
        input.mSource = GetAttribute(child, "source");
        inputs.push_back(input);
    }
    if (vertexOffset < 0) {
        return Fail(KString("No vertices defined in mesh "));
    }
    PrimitiveIndices indices;
    indices.mStride = static_cast<std::size_t>(std::min<long long>(stride, INT_MAX));
    if (!ReadIndices(primitive, indices)) {
        return false;
    }
    const int firstPolygon = mMesh.GetPolygonCount();
    const int firstPolygonVertex = mMesh.GetPolygonVertexCount();
    if (!BuildPolygons(indices, vertexOffset, material)) {
        return false;
    }
    for (const PrimitiveInput& input : inputs) {
        if (!ReadInput(input, indices, firstPolygonVertex)) {
            return false;
        }
    }
    BindTextures(GetAttribute(primitive.mElement, "material"), firstPolygon, mMesh.GetPolygonCount());
    return true;
}

int ColladaPolygonImport::AddMaterial(xmlNode* element, int primitiveCount) {
    const KString name = GetAttribute(element, "material");
    if (name.GetLen() == 0) {
        return -1;
    }
    KFbxLayer* layer = mMesh.GetLayer(0);
    if (layer->GetMaterials() == nullptr) {
        KFbxLayerElementMaterial* created = mPass.mManager.CreateLayerElementMaterial("");
        if (created == nullptr) {
            return -1;
        }
        created->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
        created->SetMappingMode(primitiveCount <= 1 ? KFbxLayerElement::eALL_SAME : KFbxLayerElement::eBY_POLYGON);
        layer->SetMaterials(created);
    }
    KFbxLayerElementMaterial* materials = layer->GetMaterials();
    // A stand-in named after the symbol, until a node binds the real material.
    KFbxSurfaceMaterial* material = KFbxSurfaceMaterial::Create(&mPass.mManager, name.Buffer());
    if (materials == nullptr || material == nullptr) {
        return -1;
    }
    const int index = materials->GetDirectArray().Add(material);
    if (materials->GetMappingMode() == KFbxLayerElement::eALL_SAME) {
        materials->GetIndexArray().Add(index);
    }
    return index;
}

bool ColladaPolygonImport::ReadIndices(const Primitive& primitive, PrimitiveIndices& indices) {
    const std::size_t stride = indices.mStride;
    bool holes = false;
    for (xmlNode* child : ChildElements(primitive.mElement)) {
        holes = holes || IsNamed(child, "ph");
        if (!IsNamed(child, "p")) {
            continue;
        }
        if (primitive.mKind == PrimitiveKind::kTristrips || primitive.mKind == PrimitiveKind::kTrifans) {
            // Each list is one strip or fan.
            const int count = ParseIntArray(ElementText(child).Numbers(), mScratch);
            if (static_cast<std::size_t>(count) % stride != 0) {
                return Fail(KString("<p> holds an incomplete group of indices in mesh ") + mId);
            }
            AppendStripTriangles(mScratch, static_cast<std::size_t>(count) / stride, stride,
                                 primitive.mKind == PrimitiveKind::kTrifans, indices);
            continue;
        }
        const ElementText text(child);
        const int count = indices.Append(text.Numbers(), mScratch);
        if (static_cast<std::size_t>(count) % stride != 0) {
            return Fail(KString("<p> holds an incomplete group of indices in mesh ") + mId);
        }
        int groups = count / static_cast<int>(stride);
        if (primitive.mKind == PrimitiveKind::kPolygons) {
            indices.mPolygonSizes.push_back(groups);
        } else if (primitive.mKind == PrimitiveKind::kTriangles) {
            indices.mPolygonSizes.reserve(indices.mPolygonSizes.size() + static_cast<std::size_t>(groups + 2) / 3);
            for (; groups > 0; groups -= 3) {
                indices.mPolygonSizes.push_back(std::min(groups, 3));
            }
        }
    }
    if (holes) {
        mPass.Warning(KString("polygons with holes (<ph>) are not supported in mesh ") + mId);
    }
    if (primitive.mKind != PrimitiveKind::kPolylist) {
        return true;
    }
    ParseIntArray(ElementText(FindChild(primitive.mElement, "vcount")).Numbers(), indices.mPolygonSizes);
    long long total = 0;
    for (const int size : indices.mPolygonSizes) {
        if (size < 0) {
            return Fail(KString("negative polygon size in <vcount> of mesh ") + mId);
        }
        total += size;
    }
    if (total != static_cast<long long>(indices.GroupCount())) {
        return Fail(KString("<vcount> and <p> do not agree in mesh ") + mId);
    }
    return true;
}

bool ColladaPolygonImport::BuildPolygons(const PrimitiveIndices& indices, int vertexOffset, int material) {
    const int pointCount = mMesh.GetControlPointsCount();
    const int firstPolygon = mMesh.GetPolygonCount();
    mMesh.ReservePolygons(static_cast<int>(std::min<std::size_t>(indices.mPolygonSizes.size(), INT_MAX)),
                          static_cast<int>(std::min<std::size_t>(indices.GroupCount(), INT_MAX)));
    // The vertex indices in the mesh's stored form, each polygon's last as
    // its complement, go into the mesh a run of polygons at a time: a run
    // small enough to stay in cache, and that costs no memory of the mesh's
    // size. A polygon without corners has no stored form: the run before it
    // goes in, then it.
    mStored.clear();
    auto flush = [&] {
        mMesh.AddPolygons(mStored.data(), static_cast<int>(mStored.size()));
        mStored.clear();
    };
    std::size_t group = 0;
    for (const int size : indices.mPolygonSizes) {
        if (size == 0) {
            flush();
            mMesh.BeginPolygon(material, -1, -1, false);
            continue;
        }
        if (mStored.size() >= kStoredRun) {
            flush();
        }
        for (int corner = 0; corner < size; ++corner, ++group) {
            const int vertex = indices.At(group, vertexOffset);
            if (vertex < 0 || vertex >= pointCount) {
                return Fail(KString("vertex index ") + vertex + " out of range in <p> of mesh " + mId);
            }
            try {
                mStored.push_back(corner + 1 < size ? vertex : ~vertex);
            } catch (const std::bad_alloc&) {
                return Fail(KString("could not store the polygons of mesh ") + mId);
            }
        }
    }
    flush();
    // The mesh records no material when it takes polygons in bulk.
    KFbxLayerElementMaterial* materials = mMesh.GetLayer(0)->GetMaterials();
    if (materials != nullptr && materials->GetMappingMode() == KFbxLayerElement::eBY_POLYGON &&
        materials->GetReferenceMode() != KFbxLayerElement::eDIRECT) {
        DynamicArrayOf<int>& materialIndices = materials->GetIndexArray();
        const int endPolygon = mMesh.GetPolygonCount();
        PadIndices(materialIndices, endPolygon);
        if (materialIndices.GetCount() >= endPolygon) {
            std::fill(materialIndices.GetArray() + firstPolygon, materialIndices.GetArray() + endPolygon,
                      std::max(material, -1));
        }
    }
    return true;
}

bool ColladaPolygonImport::ReadInput(const PrimitiveInput& input, const PrimitiveIndices& indices,
                                     int firstPolygonVertex) {
    KFbxLayer* layer = LayerOfSet(input.mSet);
    if (layer == nullptr) {
        return Fail(KString("could not create the layers of mesh ") + mId);
    }
    xmlNode* source = FindChildById(mMeshElement, input.mSource.GetLen() > 1 ? input.mSource.Mid(1).Buffer() : "");
    if (source == nullptr) {
        return Fail(KString("source") + " \"" + input.mSource + "\" not found as <" + "source" + "> for <input>");
    }
    const std::string key = input.mSource.Buffer();
    const KString name = GetAttribute(source, "name");
    const KString readError = KString("reading array in <source>: ") + input.mSource;
    if (input.mSemantic == "NORMAL") {
        return ReadNormals(input, source, *layer, indices, firstPolygonVertex);
    }
    if (input.mSemantic == "COLOR") {
        auto [found, fresh] = mColorSources.try_emplace(key);
        if (fresh && !ReadSourceColors(source, found->second.mValues)) {
            mColorSources.erase(found);
            return Fail(readError);
        }
        if (layer->GetVertexColors() == nullptr) {
            layer->SetVertexColors(mPass.mManager.CreateLayerElementColor(""));
        }
        KFbxLayerElementVertexColor* colors = layer->GetVertexColors();
        if (colors == nullptr) {
            return Fail(KString("could not create the vertex colours of mesh ") + mId);
        }
        colors->SetName(name.Buffer());
        return ReadIndexedValues(input, found->second, *colors, indices, firstPolygonVertex);
    }
    if (input.mSemantic == "TEXCOORD" || input.mSemantic == "UV") {
        auto [found, fresh] = mUVSources.try_emplace(key);
        if (fresh && !ReadSourceVector2(source, found->second.mValues)) {
            mUVSources.erase(found);
            return Fail(readError);
        }
        if (layer->GetUVs(KFbxLayerElement::eDIFFUSE_TEXTURES) == nullptr) {
            layer->SetUVs(mPass.mManager.CreateLayerElementUV(""), KFbxLayerElement::eDIFFUSE_TEXTURES);
        }
        KFbxLayerElementUV* uvs = layer->GetUVs(KFbxLayerElement::eDIFFUSE_TEXTURES);
        if (uvs == nullptr) {
            return Fail(KString("could not create the UVs of mesh ") + mId);
        }
        uvs->SetName(name.Buffer());
        return ReadIndexedValues(input, found->second, *uvs, indices, firstPolygonVertex);
    }
    mPass.Warning(KString("Unknown property for polygons: ") + input.mSemantic);
    return true;
}

bool ColladaPolygonImport::ReadNormals(const PrimitiveInput& input, xmlNode* source, KFbxLayer& layer,
                                       const PrimitiveIndices& indices, int firstPolygonVertex) {
    auto [found, fresh] = mNormalSources.try_emplace(input.mSource.Buffer());
    if (fresh && !ReadSourceVector3(source, found->second.mValues)) {
        mNormalSources.erase(found);
        return Fail(KString("reading array in <source>: ") + input.mSource);
    }
    const std::vector<KFbxVector4>& values = found->second.mValues;
    mNormalsRead = true;
    if (layer.GetNormals() == nullptr) {
        layer.SetNormals(mPass.mManager.CreateLayerElementNormal(""));
        if (layer.GetNormals() == nullptr) {
            return Fail(KString("could not create the normals of mesh ") + mId);
        }
        mNormalElements.push_back(layer.GetNormals());
    }
    KFbxLayerElementNormal* normals = layer.GetNormals();
    normals->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
    normals->SetReferenceMode(KFbxLayerElement::eDIRECT);
    normals->SetName(GetAttribute(source, "name").Buffer());
    DynamicArrayOf<KFbxVector4>& direct = normals->GetDirectArray();
    // Polygon vertices of earlier primitive elements without normals get zero ones.
    const std::size_t groups = indices.GroupCount();
    KFbxVector4* out = ExtendFrom(direct, std::max(direct.GetCount(), firstPolygonVertex), groups);
    if (out == nullptr) {
        return Fail(KString("could not store the normals of mesh ") + mId);
    }
    for (std::size_t group = 0; group < groups; ++group) {
        const int index = indices.At(group, input.mOffset);
        if (index < 0 || static_cast<std::size_t>(index) >= values.size()) {
            return Fail(KString("NORMAL index ") + index + " out of range in <p> of mesh " + mId);
        }
        out[group] = values[static_cast<std::size_t>(index)];
    }
    return true;
}

template <class T, class Element>
bool ColladaPolygonImport::ReadIndexedValues(const PrimitiveInput& input, SourceValues<T>& values, Element& element,
                                             const PrimitiveIndices& indices, int firstPolygonVertex) {
    element.SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
    element.SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    if (std::find(mIndexedVertexElements.begin(), mIndexedVertexElements.end(), &element) ==
        mIndexedVertexElements.end()) {
        mIndexedVertexElements.push_back(&element);
    }
    // A source's values enter an element once; indices into them are moved
    // past the values of the sources that entered before.
    auto& direct = element.GetDirectArray();
    auto [base, fresh] = values.mBases.try_emplace(&element, direct.GetCount());
    const std::size_t valueCount = values.mValues.size();
    if (fresh) {
        T* stored = ExtendFrom(direct, direct.GetCount(), valueCount);
        if (stored == nullptr) {
            return Fail(KString("could not store the values of source ") + input.mSource);
        }
        std::copy(values.mValues.begin(), values.mValues.end(), stored);
    }
    DynamicArrayOf<int>& indexArray = element.GetIndexArray();
    PadIndices(indexArray, firstPolygonVertex);
    const std::size_t groups = indices.GroupCount();
    int* out = ExtendFrom(indexArray, indexArray.GetCount(), groups);
    if (out == nullptr) {
        return Fail(KString("could not store the indices of mesh ") + mId);
    }
    for (std::size_t group = 0; group < groups; ++group) {
        const int index = indices.At(group, input.mOffset);
        if (index < 0 || static_cast<std::size_t>(index) >= valueCount) {
            return Fail(input.mSemantic + " index " + index + " out of range in <p> of mesh " + mId);
        }
        out[group] = base->second + index;
    }
    return true;
}

void ColladaPolygonImport::BindTextures(const KString& material, int firstPolygon, int endPolygon) {
    if (material.GetLen() == 0) {
        return;
    }
    const std::shared_ptr<ColladaTextureBindings>* bindings = mPass.mTextureBindings.Find(material);
    if (bindings == nullptr || *bindings == nullptr) {
        return;
    }
    std::vector<int> polygons(static_cast<std::size_t>(endPolygon - firstPolygon));
    std::iota(polygons.begin(), polygons.end(), firstPolygon);
    ColladaBindTextures(mMesh, mPass.mManager, **bindings, polygons);
}

void ColladaPolygonImport::FinishElements(const std::vector<KFbxVector4>& vertexNormals) {
    const int polygonVertices = mMesh.GetPolygonVertexCount();
    const int polygons = mMesh.GetPolygonCount();
    for (KFbxLayerElementNormal* normals : mNormalElements) {
        DynamicArrayOf<KFbxVector4>& direct = normals->GetDirectArray();
        if (direct.GetCount() > 0 && direct.GetCount() < polygonVertices) {
            direct.SetCount(polygonVertices);
        }
    }
    for (KFbxLayerElement* element : mIndexedVertexElements) {
        PadIndices(element->GetIndexArray(), polygonVertices);
    }
    ColladaPadTextureIndices(mMesh);
    KFbxLayerElementMaterial* materials = mMesh.GetLayer(0)->GetMaterials();
    if (materials != nullptr && materials->GetMappingMode() == KFbxLayerElement::eBY_POLYGON) {
        PadIndices(materials->GetIndexArray(), polygons);
    }
    if (mNormalsRead) {
        return;
    }
    if (vertexNormals.empty()) {
        mMesh.ComputeVertexNormals(false);
        return;
    }
    // The normals the vertices gave, one per control point.
    KFbxLayerElementNormal* normals = mMesh.GetLayer(0)->GetNormals();
    if (normals != nullptr && normals->GetDirectArray().SetCount(static_cast<int>(vertexNormals.size()))) {
        normals->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
        normals->SetReferenceMode(KFbxLayerElement::eDIRECT);
        std::copy(vertexNormals.begin(), vertexNormals.end(), normals->GetDirectArray().GetArray());
    }
}

}  // namespace fbxsdk_2006_11_1
