// The FBX 6 reader's mesh contents: points, polygons, edges, layer
// elements, layers and shapes.
#include <fbxfilesdk/fbx/KFbxReaderFbx6Pass.h>

#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFbx6LayerWords.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/fbx/ShapeNames.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

using namespace fbx6read;

namespace {

template <std::size_t N>
int WordIndex(const KString& word, const char* const (&words)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (word == words[i]) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

std::string ElementKey(const char* record, int typedIndex) { return std::string(record) + "#" + std::to_string(typedIndex); }

void ReadIndexArray(KFbx& file, const char* name, KFbxLayerElement& element) {
    ReadIntArray(file, name, element.GetIndexArray());
}

KFbxVector4 VectorOf(const double* xyz) { return KFbxVector4(xyz[0], xyz[1], xyz[2], 0.0); }

// A mesh's control points as an array that ReadGroups can size and fill.
struct ControlPointArray {
    KFbxMesh& mesh;
    bool sized = false;

    bool SetCountForOverwrite(int count) {
        mesh.InitControlPoints(count);
        sized = mesh.GetControlPointsCount() == count;
        return sized;
    }
    KFbxVector4* GetArray() { return mesh.GetControlPoints(); }
};

template <class Element>
Element* NewElement() {
    return new (std::nothrow) Element();
}

template <class T>
void StoreItems(DynamicArray& items, const std::vector<double>& values) {
    if (values.size() > static_cast<std::size_t>(INT_MAX) || items.GetItemSize() != static_cast<int>(sizeof(T)) ||
        !items.SetCount(static_cast<int>(values.size()))) {
        return;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        T value{};
        if constexpr (std::is_same_v<T, bool>) {
            value = values[i] != 0.0;
        } else if constexpr (std::is_same_v<T, int>) {
            // A damaged value beyond the range of the type is clamped, not
            // converted with undefined result.
            const double v = values[i];
            value = std::isnan(v) ? 0
                    : v >= static_cast<double>(INT_MAX) ? INT_MAX
                    : v <= static_cast<double>(INT_MIN) ? INT_MIN
                    : static_cast<int>(v);
        } else {
            value = static_cast<T>(values[i]);
        }
        std::memcpy(items.GetItemAt(static_cast<int>(i)), &value, sizeof value);
    }
}

// A user-data element: its channels are known only once every
// "UserDataArray" block has been read, since the element is made with them.
KFbxLayerElement* ReadUserDataPayload(KFbx& file) {
    const int id = file.FieldReadIDefault("UserDataId", 0);
    std::vector<KFbxDataType> types;
    std::vector<KString> names;
    std::vector<std::vector<double>> values;
    while (file.FieldReadBegin("UserDataArray")) {
        if (file.FieldReadBlockBegin()) {
            types.push_back(KFbxGetDataTypeByName(file.FieldReadSDefault("UserDataType", "").Buffer()));
            names.push_back(file.FieldReadSDefault("UserDataName", ""));
            values.emplace_back();
            ReadDoubles(file, "UserData", values.back());
            file.FieldReadBlockEnd();
        }
        file.FieldReadEnd();
    }
    std::vector<const char*> namePointers;
    for (const KString& name : names) {
        namePointers.push_back(name.Buffer());
    }
    auto* element = new (std::nothrow) KFbxLayerElementUserData("", id, types.data(), namePointers.data(),
                                                                static_cast<int>(types.size()));
    if (element == nullptr) {
        return nullptr;
    }
    for (int j = 0; j < element->GetDirectArrayCount(); ++j) {
        DynamicArray* items = element->GetDirectArrayVoid(j);
        if (items == nullptr) {
            continue;
        }
        const std::vector<double>& channel = values[static_cast<std::size_t>(j)];
        switch (element->GetDataType(j).GetType()) {
            case eFbxValueBool: StoreItems<bool>(*items, channel); break;
            case eFbxValueInteger: StoreItems<int>(*items, channel); break;
            case eFbxValueFloat: StoreItems<float>(*items, channel); break;
            case eFbxValueDouble: StoreItems<double>(*items, channel); break;
            default: break;
        }
    }
    ReadIndexArray(file, "UserDataIndex", *element);
    return element;
}

// The payload of one layer element record; null for a kind without reader.
KFbxLayerElement* ReadElementPayload(KFbx& file, const std::string& record) {
    std::vector<int> ints;
    if (record == "LayerElementUserData") {
        return ReadUserDataPayload(file);
    }
    if (record == "LayerElementNormal") {
        auto* element = NewElement<KFbxLayerElementNormal>();
        if (element != nullptr) {
            ReadGroups(file, "Normals", 3, element->GetDirectArray(), VectorOf);
        }
        if (element != nullptr) {
            ReadIndexArray(file, "NormalsIndex", *element);
        }
        return element;
    }
    if (record == "LayerElementPolygonGroup") {
        auto* element = NewElement<KFbxLayerElementPolygonGroup>();
        if (element != nullptr) {
            ReadIndexArray(file, "PolygonGroup", *element);
        }
        return element;
    }
    if (record == "LayerElementColor") {
        auto* element = NewElement<KFbxLayerElementVertexColor>();
        if (element != nullptr) {
            ReadGroups(file, "Colors", 4, element->GetDirectArray(),
                       [](const double* rgba) { return KFbxColor(rgba[0], rgba[1], rgba[2], rgba[3]); });
        }
        if (element != nullptr) {
            ReadIndexArray(file, "ColorIndex", *element);
        }
        return element;
    }
    if (record == "LayerElementSmoothing" || record == "LayerElementVisibility") {
        const bool smoothing = record == "LayerElementSmoothing";
        KFbxLayerElementTemplate<bool>* element = nullptr;
        if (smoothing) {
            element = NewElement<KFbxLayerElementSmoothing>();
        } else {
            element = NewElement<KFbxLayerElementVisibility>();
        }
        if (element != nullptr && ReadInts(file, smoothing ? "Smoothing" : "Visibility", ints)) {
            FillArray(element->GetDirectArray(), ints.size(), [&](std::size_t i) { return ints[i] != 0; });
        }
        return element;
    }
    if (record == "LayerElementMaterial") {
        auto* element = NewElement<KFbxLayerElementMaterial>();
        if (element != nullptr) {
            ReadIndexArray(file, "Materials", *element);
        }
        return element;
    }
    for (const KFbxFbx6TextureChannel& channel : kFbx6TextureChannels) {
        if (record == channel.mUVRecord) {
            auto* element = NewElement<KFbxLayerElementUV>();
            if (element != nullptr) {
                ReadGroups(file, "UV", 2, element->GetDirectArray(),
                           [](const double* uv) { return KFbxVector2(uv[0], uv[1]); });
            }
            if (element != nullptr) {
                ReadIndexArray(file, "UVIndex", *element);
            }
            return element;
        }
        if (record == channel.mTextureRecord) {
            auto* element = NewElement<KFbxLayerElementTexture>();
            if (element != nullptr) {
                element->SetBlendMode(static_cast<KFbxLayerElementTexture::EBlendMode>(
                    WordIndex(file.FieldReadSDefault("BlendMode", "Translucent"), kFbx6BlendWords)));
                element->SetAlpha(ReadD(file, "TextureAlpha", 1.0));
                ReadIndexArray(file, "TextureId", *element);
            }
            return element;
        }
    }
    return nullptr;
}

// Places the element in the layer; false when the kind has no place there.
bool PlaceElement(KFbxLayer& layer, const std::string& record, KFbxLayerElement* element) {
    if (record == "LayerElementNormal") {
        layer.SetNormals(static_cast<KFbxLayerElementNormal*>(element));
    } else if (record == "LayerElementPolygonGroup") {
        layer.SetPolygonGroups(static_cast<KFbxLayerElementPolygonGroup*>(element));
    } else if (record == "LayerElementColor") {
        layer.SetVertexColors(static_cast<KFbxLayerElementVertexColor*>(element));
    } else if (record == "LayerElementSmoothing") {
        layer.SetSmoothing(static_cast<KFbxLayerElementSmoothing*>(element));
    } else if (record == "LayerElementVisibility") {
        layer.SetVisibility(static_cast<KFbxLayerElementVisibility*>(element));
    } else if (record == "LayerElementMaterial") {
        layer.SetMaterials(static_cast<KFbxLayerElementMaterial*>(element));
    } else if (record == "LayerElementUserData") {
        layer.SetUserData(static_cast<KFbxLayerElementUserData*>(element));
    } else {
        for (const KFbxFbx6TextureChannel& channel : kFbx6TextureChannels) {
            if (record == channel.mUVRecord) {
                return layer.SetUVs(static_cast<KFbxLayerElementUV*>(element), channel.mType);
            }
            if (record == channel.mTextureRecord) {
                return layer.SetTexturesOfChannel(static_cast<KFbxLayerElementTexture*>(element), channel.mType);
            }
        }
        return false;
    }
    return true;
}

// The open polygon vertex list goes to the mesh a block at a time, each block
// cut after the last polygon it ends, so that no copy of the whole list is
// made beside the mesh's own. A polygon longer than a block makes the block
// grow; the last block takes whatever is left, an unended polygon too.
void ReadPolygonVertices(KFbx& file, KFbxMesh& mesh, const std::vector<int>& groups) {
    constexpr int kBlockValues = 1 << 14;
    int left = file.FieldGetRemainingValueCount();
    if (left <= 0) {
        return;
    }
    const int total = left;
    std::vector<int> block(static_cast<std::size_t>(std::min(left, kBlockValues)));
    std::size_t held = 0;
    // Polygons given so far: the groups of the next block start there.
    std::size_t polygons = 0;
    bool reserved = false;
    while (left > 0 || held > 0) {
        if (left > 0) {
            if (held == block.size()) {
                block.resize(std::min(2 * block.size(), static_cast<std::size_t>(total)));
            }
            const int room = static_cast<int>(std::min(block.size() - held, static_cast<std::size_t>(left)));
            const int read = file.FieldReadArrayI(block.data() + held, room);
            if (read <= 0) {
                left = 0;
            } else {
                held += static_cast<std::size_t>(read);
                left -= read;
            }
        }
        std::size_t end = held;
        if (left > 0) {
            while (end > 0 && block[end - 1] >= 0) {
                --end;
            }
            if (end == 0) {
                continue;
            }
        }
        std::size_t ended = 0;
        for (std::size_t i = 0; i < end; ++i) {
            ended += block[i] < 0;
        }
        ended += end > 0 && block[end - 1] >= 0;
        if (!reserved) {
            // The first block tells the polygons' usual size; the mesh grows
            // by itself should the rest differ.
            const double perValue = end > 0 ? static_cast<double>(ended) / static_cast<double>(end) : 0.0;
            mesh.ReservePolygons(static_cast<int>(std::ceil(perValue * total)), total);
            reserved = true;
        }
        const bool grouped = polygons < groups.size();
        mesh.AddPolygons(block.data(), static_cast<int>(end), grouped ? groups.data() + polygons : nullptr,
                         grouped ? static_cast<int>(groups.size() - polygons) : 0);
        polygons += ended;
        std::copy(block.begin() + static_cast<std::ptrdiff_t>(end), block.begin() + static_cast<std::ptrdiff_t>(held),
                  block.begin());
        held -= end;
    }
}

}  // namespace

bool KFbxReaderFbx6Pass::ReadMeshPolygons(KFbxMesh& mesh, const std::vector<int>& groups) {
    ControlPointArray points{mesh};
    if (ReadGroups(mFile, "Vertices", 3, points, VectorOf) < 0 || !points.sized) {
        return false;
    }
    // Polygons before layers: building them must not touch the layers read below.
    if (mFile.FieldReadBegin("PolygonVertexIndex")) {
        ReadPolygonVertices(mFile, mesh, groups);
        mFile.FieldReadEnd();
    }
    return true;
}

void KFbxReaderFbx6Pass::ReadMesh(KFbxMesh& mesh) {
    if (!ReadMeshPolygons(mesh)) {
        return;
    }
    std::vector<int> edges;
    if (ReadInts(mFile, "Edges", edges) && !edges.empty()) {
        mesh.SetMeshEdges(edges.data(), static_cast<int>(edges.size()));
    }
    LayerElements elements;
    ReadLayerElements(elements);
    ReadLayers(mesh, elements);
    if (Option("SHAPE")) {
        ReadShapes(mesh);
    }
}

void KFbxReaderFbx6Pass::ReadLayerElements(LayerElements& elements) {
    std::vector<std::string> records = {"LayerElementNormal", "LayerElementPolygonGroup", "LayerElementColor",
                                        "LayerElementSmoothing", "LayerElementVisibility", "LayerElementMaterial",
                                        "LayerElementUserData"};
    for (const KFbxFbx6TextureChannel& channel : kFbx6TextureChannels) {
        records.emplace_back(channel.mUVRecord);
        records.emplace_back(channel.mTextureRecord);
    }
    for (const std::string& record : records) {
        while (mFile.FieldReadBegin(record.c_str())) {
            const int typedIndex = NextI(mFile);
            if (mFile.FieldReadBlockBegin()) {
                const KString name = mFile.FieldReadSDefault("Name", "");
                const int mapping = WordIndex(mFile.FieldReadSDefault("MappingInformationType", ""), kFbx6MappingWords);
                const int reference = WordIndex(mFile.FieldReadSDefault("ReferenceInformationType", ""), kFbx6ReferenceWords);
                std::unique_ptr<KFbxLayerElement> element(ReadElementPayload(mFile, record));
                if (element != nullptr) {
                    element->SetName(name.Buffer());
                    element->SetMappingMode(static_cast<KFbxLayerElement::EMappingMode>(mapping));
                    element->SetReferenceMode(static_cast<KFbxLayerElement::EReferenceMode>(reference));
                    elements[ElementKey(record.c_str(), typedIndex)] = std::move(element);
                }
                mFile.FieldReadBlockEnd();
            }
            mFile.FieldReadEnd();
        }
    }
}

void KFbxReaderFbx6Pass::ReadLayers(KFbxGeometry& geometry, LayerElements& elements) {
    while (mFile.FieldReadBegin("Layer")) {
        const int index = NextI(mFile, -1);
        // Layers are numbered in order; a number far beyond the layers read
        // so far is damage, not a reason to make empty layers.
        KFbxLayer* layer = nullptr;
        if (index >= 0 && index < geometry.GetLayerCount()) {
            layer = geometry.GetLayer(index);
        } else if (index == geometry.GetLayerCount()) {
            layer = geometry.GetLayer(geometry.CreateLayer());
        }
        if (layer != nullptr && mFile.FieldReadBlockBegin()) {
            while (mFile.FieldReadBegin("LayerElement")) {
                if (mFile.FieldReadBlockBegin()) {
                    const std::string type = mFile.FieldReadSDefault("Type", "").Buffer();
                    const int typedIndex = mFile.FieldReadIDefault("TypedIndex", 0);
                    auto found = elements.find(ElementKey(type.c_str(), typedIndex));
                    if (found != elements.end() && found->second != nullptr) {
                        KFbxLayerElement* element = found->second.get();
                        if (PlaceElement(*layer, type, element)) {
                            found->second.release();
                        }
                    }
                    mFile.FieldReadBlockEnd();
                }
                mFile.FieldReadEnd();
            }
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

namespace {

// What a shape record moves of the base: each listed index within it, once,
// with every delta the record gives it added, in index order.
std::vector<std::pair<int, KFbxVector4>> MovedItems(const std::vector<int>& indices, const std::vector<double>& deltas,
                                                    const std::vector<KFbxVector4>& base) {
    std::map<int, KFbxVector4> moved;
    for (std::size_t k = 0; k < indices.size() && k * 3 + 2 < deltas.size(); ++k) {
        const int at = indices[k];
        if (at < 0 || static_cast<std::size_t>(at) >= base.size()) {
            continue;
        }
        auto [entry, added] = moved.try_emplace(at, base[static_cast<std::size_t>(at)]);
        for (int c = 0; c < 3; ++c) {
            entry->second[c] += deltas[k * 3 + static_cast<std::size_t>(c)];
        }
    }
    return {moved.begin(), moved.end()};
}

}  // namespace

void KFbxReaderFbx6Pass::ReadShapes(KFbxGeometry& geometry) {
    const int pointCount = geometry.GetControlPointsCount();
    const KFbxVector4* base = geometry.GetControlPoints();
    std::shared_ptr<const std::vector<KFbxVector4>> sharedBase;
    std::shared_ptr<const std::vector<KFbxVector4>> sharedNormals;
    // The geometry takes its shapes once all are read, for a shape that
    // cannot keep its name to be given none that a later one has. Until then
    // the read holds them, and destroys any it does not hand over.
    struct DestroyShape {
        void operator()(KFbxShape* shape) const { shape->Destroy(); }
    };
    std::vector<std::pair<std::unique_ptr<KFbxShape, DestroyShape>, KString>> read;
    while (mFile.FieldReadBegin("Shape")) {
        const KString name = NextS(mFile);
        if (!mFile.FieldReadBlockBegin()) {
            mFile.FieldReadEnd();
            continue;
        }
        std::vector<int> indices;
        std::vector<double> deltas;
        std::vector<double> normalDeltas;
        ReadInts(mFile, "Indexes", indices);
        ReadDoubles(mFile, "Vertices", deltas);
        ReadDoubles(mFile, "Normals", normalDeltas);
        mFile.FieldReadBlockEnd();
        mFile.FieldReadEnd();

        std::unique_ptr<KFbxShape, DestroyShape> made(KFbxShape::Create(&mManager, name.Buffer()));
        if (made == nullptr) {
            mOutOfMemory = true;
            return;
        }
        KFbxShape* shape = made.get();
        read.emplace_back(std::move(made), name);
        if (pointCount > 0) {
            // Every shape of the geometry shares one copy of its points and
            // holds only what its record moves, so a shape costs its record.
            if (sharedBase == nullptr) {
                sharedBase = std::make_shared<const std::vector<KFbxVector4>>(base, base + pointCount);
            }
            if (!shape->SetControlPointsOver(sharedBase, MovedItems(indices, deltas, *sharedBase))) {
                mOutOfMemory = true;
                return;
            }
            // Normals only when the shape moves them: the record holds zeros otherwise.
            bool normalsMove = false;
            for (double delta : normalDeltas) {
                normalsMove = normalsMove || delta != 0.0;
            }
            const KFbxLayer* baseLayer = geometry.GetLayer(0);
            const KFbxLayerElementNormal* baseNormals = baseLayer != nullptr ? baseLayer->GetNormals() : nullptr;
            if (normalsMove && baseNormals != nullptr && baseNormals->GetDirectArray().GetCount() == pointCount) {
                // Like the points: one copy of the geometry's normals for all
                // its shapes, each shape holding only the normals it moves.
                const DynamicArrayOf<KFbxVector4>& direct = baseNormals->GetDirectArray();
                if (sharedNormals == nullptr) {
                    sharedNormals = std::make_shared<const std::vector<KFbxVector4>>(
                        direct.GetArray(), direct.GetArray() + pointCount);
                }
                if (!shape->SetNormalsOver(sharedNormals, MovedItems(indices, normalDeltas, *sharedNormals),
                                           baseNormals->GetName())) {
                    mOutOfMemory = true;
                    return;
                }
            }
        }
    }
    ShapeNames names(geometry);
    for (const auto& entry : read) {
        names.Reserve(entry.second.Buffer());
    }
    for (auto& [shape, name] : read) {
        KString given;
        const char* why = nullptr;
        if (names.Add(*shape, name.Buffer(), given, why) < 0) {
            if (geometry.GetError().GetLastErrorID() == KFbxGeometry::eOUT_OF_MEMORY) {
                mOutOfMemory = true;
                return;
            }
            continue;
        }
        shape.release();
        if (why != nullptr && mMessages != nullptr) {
            const KFbxNode* node = geometry.GetNode();
            *mMessages += KString("The shape \"") + name + "\" of \"" +
                          (node != nullptr ? node->GetNameWithTypePrefix() : geometry.GetNameWithTypePrefix()) +
                          "\" is read as \"" + given + "\": " + why + "\n";
        }
    }
}

}  // namespace fbxsdk_2006_11_1
