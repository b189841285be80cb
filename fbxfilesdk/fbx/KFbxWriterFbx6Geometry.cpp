// Mesh arrays, layer elements and "Layer" blocks of FBX 6 geometry records.
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>
#include <fbxfilesdk/fbx/KFbxFbx6LayerWords.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

using Element = KFbxLayerElement;


// The "Layer" blocks list textures in this order and UVs in channel-number order.
constexpr int kLayerTextureOrder[] = {3, 10, 11, 12, 13, 14, 15, 17, 18, 19, 16, 20, 21, 22, 23};
constexpr int kLayerUVOrder[] = {3, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};

// The typed index each written element record got, for one geometry.
class TypedIndexTable {
public:
    void Add(const Element* element, int typedIndex) { mIndices[element] = typedIndex; }
    // -1 for an element whose record was not written.
    int Find(const Element* element) const {
        auto found = mIndices.find(element);
        return found == mIndices.end() ? -1 : found->second;
    }

private:
    std::unordered_map<const Element*, int> mIndices;
};

void WriteDoubleArrayField(KFbx& file, const char* name, const std::vector<double>& values) {
    WriteDoublesRecord(file, name, values.data(), static_cast<int>(values.size()));
}

void WriteIndexArrayField(KFbx& file, const char* name, const Element& element) {
    const DynamicArrayOf<int>& indices = element.GetIndexArray();
    WriteIntsRecord(file, name, indices.GetArray(), indices.GetCount());
}

// The record, its typed index and the fields every element kind starts with.
void BeginElementRecord(KFbx& file, const char* record, int typedIndex, const Element& element) {
    file.FieldWriteBegin(record);
    file.FieldWriteI(typedIndex);
    file.FieldWriteBlockBegin();
    WriteIntRecord(file, "Version", 101);
    file.WriteStringField("Name", element.GetName());
    file.WriteStringField("MappingInformationType", KFbxWriterFbx6::GetMappingName(element.GetMappingMode()));
    file.WriteStringField("ReferenceInformationType", KFbxWriterFbx6::GetReferenceName(element.GetReferenceMode()));
}

void EndElementRecord(KFbx& file) {
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
}

// Bool direct arrays as 0 and 1.
template <class Array>
std::vector<int> BoolsAsInts(const Array& values) {
    std::vector<int> out(static_cast<std::size_t>(values.GetCount()));
    for (int i = 0; i < values.GetCount(); ++i) out[static_cast<std::size_t>(i)] = values.GetAt(i) ? 1 : 0;
    return out;
}

// Calls write(element, i) for the i-th layer holding an element of the kind.
template <class Get, class Write>
void ForEachLayerHolding(const KFbxLayerContainer& geometry, Get get, Write write) {
    int holding = 0;
    for (int l = 0; l < geometry.GetLayerCount(); ++l) {
        const auto* element = get(*geometry.GetLayer(l));
        if (element != nullptr) write(*element, holding++);
    }
}

void WriteLayerElementNormals(KFbx& file, const KFbxGeometry& geometry, TypedIndexTable& table) {
    ForEachLayerHolding(
        geometry, [](const KFbxLayer& layer) { return layer.GetNormals(); },
        [&](const KFbxLayerElementNormal& element, int index) {
            BeginElementRecord(file, "LayerElementNormal", index, element);
            const auto& normals = element.GetDirectArray();
            std::vector<double> values;
            values.reserve(static_cast<std::size_t>(normals.GetCount()) * 3);
            for (int i = 0; i < normals.GetCount(); ++i) {
                const KFbxVector4 normal = normals.GetAt(i);
                values.insert(values.end(), {normal[0], normal[1], normal[2]});
            }
            WriteDoubleArrayField(file, "Normals", values);
            // Without its index array an indexed element would say nothing
            // of which normal each vertex has.
            if (element.GetReferenceMode() != Element::eDIRECT) {
                WriteIndexArrayField(file, "NormalsIndex", element);
            }
            EndElementRecord(file);
            table.Add(&element, index);
        });
}

void WriteLayerElementPolygonGroups(KFbx& file, const KFbxGeometry& geometry, TypedIndexTable& table) {
    ForEachLayerHolding(
        geometry, [](const KFbxLayer& layer) { return layer.GetPolygonGroups(); },
        [&](const KFbxLayerElementPolygonGroup& element, int index) {
            if (element.GetReferenceMode() == Element::eDIRECT) return;
            BeginElementRecord(file, "LayerElementPolygonGroup", index, element);
            WriteIndexArrayField(file, "PolygonGroup", element);
            EndElementRecord(file);
            table.Add(&element, index);
        });
}

void WriteLayerElementColors(KFbx& file, const KFbxGeometry& geometry, TypedIndexTable& table) {
    ForEachLayerHolding(
        geometry, [](const KFbxLayer& layer) { return layer.GetVertexColors(); },
        [&](const KFbxLayerElementVertexColor& element, int index) {
            if (element.GetReferenceMode() == Element::eINDEX) return;
            BeginElementRecord(file, "LayerElementColor", index, element);
            const auto& colors = element.GetDirectArray();
            std::vector<double> values;
            values.reserve(static_cast<std::size_t>(colors.GetCount()) * 4);
            for (int i = 0; i < colors.GetCount(); ++i) {
                const KFbxColor color = colors.GetAt(i);
                values.insert(values.end(), {color.mRed, color.mGreen, color.mBlue, color.mAlpha});
            }
            WriteDoubleArrayField(file, "Colors", values);
            if (element.GetReferenceMode() == Element::eINDEX_TO_DIRECT) {
                WriteIndexArrayField(file, "ColorIndex", element);
            }
            EndElementRecord(file);
            table.Add(&element, index);
        });
}

void WriteLayerElementUVsOfChannel(KFbx& file, const KFbxGeometry& geometry, int channel, const char* record,
                                   TypedIndexTable& table) {
    int written = 0;
    for (int l = 0; l < geometry.GetLayerCount(); ++l) {
        const KFbxLayerElementUV* element = geometry.GetLayer(l)->GetUVs(channel);
        if (element == nullptr || element->GetReferenceMode() == Element::eINDEX) continue;
        BeginElementRecord(file, record, written, *element);
        const auto& uvs = element->GetDirectArray();
        std::vector<double> values;
        values.reserve(static_cast<std::size_t>(uvs.GetCount()) * 2);
        for (int i = 0; i < uvs.GetCount(); ++i) {
            const KFbxVector2 uv = uvs.GetAt(i);
            values.insert(values.end(), {uv[0], uv[1]});
        }
        WriteDoubleArrayField(file, "UV", values);
        if (element->GetReferenceMode() == Element::eINDEX_TO_DIRECT) {
            WriteIndexArrayField(file, "UVIndex", *element);
        }
        EndElementRecord(file);
        table.Add(element, written++);
    }
}

void WriteLayerElementUVs(KFbx& file, const KFbxGeometry& geometry, TypedIndexTable& table) {
    for (const KFbxFbx6TextureChannel& channel : kFbx6TextureChannels) {
        WriteLayerElementUVsOfChannel(file, geometry, channel.mType, channel.mUVRecord, table);
    }
}

void WriteLayerElementSmoothing(KFbx& file, const KFbxGeometry& geometry, TypedIndexTable& table) {
    ForEachLayerHolding(
        geometry, [](const KFbxLayer& layer) { return layer.GetSmoothing(); },
        [&](const KFbxLayerElementSmoothing& element, int index) {
            if (element.GetMappingMode() != Element::eBY_EDGE || element.GetReferenceMode() != Element::eDIRECT) {
                return;
            }
            BeginElementRecord(file, "LayerElementSmoothing", index, element);
            const std::vector<int> values = BoolsAsInts(element.GetDirectArray());
            WriteIntsRecord(file, "Smoothing", values.data(), static_cast<int>(values.size()));
            EndElementRecord(file);
            table.Add(&element, index);
        });
}

// The items of one user-data array by their value type.
void WriteUserDataItems(KFbx& file, const KFbxLayerElementUserData& element, int array) {
    const DynamicArray* items = element.GetDirectArrayVoid(array);
    const int count = KFbxWriterFbx6::GetUserDataArrayCount(element, array);
    if (items == nullptr || count <= 0) return;
    const EFbxValueType type = element.GetDataType(array).GetType();
    for (int i = 0; i < count; ++i) {
        const void* item = items->GetItemAt(i);
        if (item == nullptr) break;
        switch (type) {
            case eFbxValueBool: {
                bool value = false;
                std::memcpy(&value, item, sizeof value);
                file.FieldWriteI(value ? 1 : 0);
                break;
            }
            case eFbxValueInteger: {
                int value = 0;
                std::memcpy(&value, item, sizeof value);
                file.FieldWriteI(value);
                break;
            }
            case eFbxValueFloat: {
                float value = 0;
                std::memcpy(&value, item, sizeof value);
                file.FieldWriteF(value);
                break;
            }
            default: {
                double value = 0;
                std::memcpy(&value, item, sizeof value);
                file.FieldWriteD(value);
                break;
            }
        }
    }
}

void WriteLayerElementUserData(KFbx& file, const KFbxGeometry& geometry, TypedIndexTable& table) {
    ForEachLayerHolding(
        geometry, [](const KFbxLayer& layer) { return layer.GetUserData(); },
        [&](const KFbxLayerElementUserData& element, int index) {
            BeginElementRecord(file, "LayerElementUserData", index, element);
            WriteIntRecord(file, "UserDataId", element.GetId());
            for (int j = 0; j < element.GetDirectArrayCount(); ++j) {
                file.FieldWriteBegin("UserDataArray");
                file.FieldWriteBlockBegin();
                const char* typeName = element.GetDataType(j).GetName();
                const char* dataName = element.GetDataName(j);
                file.WriteStringField("UserDataType", typeName != nullptr ? typeName : "");
                file.WriteStringField("UserDataName", dataName != nullptr ? dataName : "");
                file.FieldWriteBegin("UserData");
                WriteUserDataItems(file, element, j);
                file.FieldWriteEnd();
                file.FieldWriteBlockEnd();
                file.FieldWriteEnd();
            }
            if (element.GetReferenceMode() == Element::eINDEX_TO_DIRECT) {
                WriteIndexArrayField(file, "UserDataIndex", element);
            }
            EndElementRecord(file);
            table.Add(&element, index);
        });
}

void WriteLayerElementVisibility(KFbx& file, const KFbxGeometry& geometry, TypedIndexTable& table) {
    ForEachLayerHolding(
        geometry, [](const KFbxLayer& layer) { return layer.GetVisibility(); },
        [&](const KFbxLayerElementVisibility& element, int index) {
            BeginElementRecord(file, "LayerElementVisibility", index, element);
            const std::vector<int> values = BoolsAsInts(element.GetDirectArray());
            WriteIntsRecord(file, "Visibility", values.data(), static_cast<int>(values.size()));
            EndElementRecord(file);
            table.Add(&element, index);
        });
}

// The owner node of a geometry, whose connected materials and textures the
// remapped indices count.
const KFbxNode* OwnerNode(const KFbxNodeAttribute& attribute) {
    if (attribute.GetNode() != nullptr) return attribute.GetNode();
    return static_cast<const KFbxNode*>(attribute.GetDstObject(KFbxNode::ClassId, 0));
}

// Where each item of the element's direct array stands among the node's
// sources of the class (the first place it has there); -1 where it is not
// there. Worked out once per element: the index array has an entry per
// polygon, and asking the node per entry made writing a big mesh slow.
template <class ElementType>
std::vector<int> NodeIndicesOfItems(const KFbxNode* node, const ElementType& element, const KFbxClassId& classId) {
    const auto& direct = element.GetDirectArray();
    std::vector<int> out(static_cast<std::size_t>(std::max(direct.GetCount(), 0)), -1);
    if (node == nullptr || classId == KFbxClassId() || out.empty()) return out;
    std::unordered_map<const KFbxObject*, int> places;
    const int sources = node->GetSrcObjectCount(classId);
    for (int i = 0; i < sources; ++i) {
        places.try_emplace(node->GetSrcObject(classId, i), i);
    }
    for (std::size_t item = 0; item < out.size(); ++item) {
        const KFbxObject* object = direct.GetAt(static_cast<int>(item));
        const auto found = object != nullptr ? places.find(object) : places.end();
        if (found != places.end()) out[item] = found->second;
    }
    return out;
}

// The node's place of the object the element's k-th index names; -1 when
// the index or the object is not there.
int NodePlaceOfIndex(const DynamicArrayOf<int>& indices, const std::vector<int>& places, int k) {
    if (k < 0 || k >= indices.GetCount()) return -1;
    const int item = indices.GetAt(k);
    return item >= 0 && static_cast<std::size_t>(item) < places.size() ? places[static_cast<std::size_t>(item)] : -1;
}

// The index items as written: index-to-direct items are remapped to the
// node's objects of the class; -1 stays -1.
template <class ElementType>
std::vector<int> RemappedIndices(const ElementType& element, const KFbxNode* node, int count,
                                 const KFbxClassId& classId) {
    const DynamicArrayOf<int>& indices = element.GetIndexArray();
    const bool remap = element.GetReferenceMode() == Element::eINDEX_TO_DIRECT;
    const std::vector<int> places = remap ? NodeIndicesOfItems(node, element, classId) : std::vector<int>();
    std::vector<int> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const int item = indices.GetAt(k);
        out.push_back(remap && item != -1 ? NodePlaceOfIndex(indices, places, k) : item);
    }
    return out;
}

// The node's index of the element's first material; 0 when the element
// has none or the node does not hold it.
int FirstNodeMaterialIndex(const KFbxNode* node, const KFbxLayerElementMaterial& element) {
    const auto& direct = element.GetDirectArray();
    const KFbxObject* first = direct.GetCount() > 0 ? direct.GetAt(0) : nullptr;
    for (int i = 0; node != nullptr && first != nullptr && i < node->GetSrcObjectCount(KFbxSurfaceMaterial::ClassId);
         ++i) {
        if (node->GetSrcObject(KFbxSurfaceMaterial::ClassId, i) == first) return i;
    }
    return 0;
}

void WriteLayerElementMaterials(KFbx& file, const KFbxGeometry& geometry, TypedIndexTable& table) {
    const KFbxNode* node = OwnerNode(geometry);
    ForEachLayerHolding(
        geometry, [](const KFbxLayer& layer) { return layer.GetMaterials(); },
        [&](const KFbxLayerElementMaterial& element, int index) {
            if (element.GetReferenceMode() == Element::eDIRECT) return;
            BeginElementRecord(file, "LayerElementMaterial", index, element);
            // All-same mapping holds one material for the whole geometry; an
            // element that holds no index means the first, which readers
            // need written: a record without a value is refused.
            int count = element.GetIndexArray().GetCount();
            const bool allSame = element.GetMappingMode() == Element::eALL_SAME;
            if (allSame && count > 1) count = 1;
            std::vector<int> values = RemappedIndices(element, node, count, KFbxSurfaceMaterial::ClassId);
            if (allSame && values.empty()) values.push_back(FirstNodeMaterialIndex(node, element));
            WriteIntsRecord(file, "Materials", values.data(), static_cast<int>(values.size()));
            EndElementRecord(file);
            table.Add(&element, index);
        });
}

void WriteLayerElementTexturesOfChannel(KFbx& file, const KFbxGeometry& geometry, int channel, const char* record,
                                        TypedIndexTable& table) {
    const KFbxNode* node = OwnerNode(geometry);
    ForEachLayerHolding(
        geometry, [channel](const KFbxLayer& layer) { return layer.GetTexturesOfChannel(channel); },
        [&](const KFbxLayerElementTexture& element, int index) {
            if (element.GetReferenceMode() == Element::eDIRECT) return;
            BeginElementRecord(file, record, index, element);
            file.WriteStringField("BlendMode", KFbxWriterFbx6::GetBlendModeName(element.GetBlendMode()));
            file.FieldWriteBegin("TextureAlpha");
            file.FieldWriteD(element.GetAlpha());
            file.FieldWriteEnd();
            const std::vector<int> values = RemappedIndices(element, node, element.GetIndexArray().GetCount(),
                                                            KFbxTexture::ClassId);
            WriteIntsRecord(file, "TextureId", values.data(), static_cast<int>(values.size()));
            EndElementRecord(file);
            table.Add(&element, index);
        });
}

void WriteLayerElementTextures(KFbx& file, const KFbxGeometry& geometry, TypedIndexTable& table) {
    for (const KFbxFbx6TextureChannel& channel : kFbx6TextureChannels) {
        WriteLayerElementTexturesOfChannel(file, geometry, channel.mType, channel.mTextureRecord, table);
    }
}

// One "LayerElement" entry. An element whose record was not written gets
// none: a typed index would name the record of another layer's element.
void WriteLayerEntry(KFbx& file, const char* type, const Element* element, const TypedIndexTable& table) {
    if (element == nullptr) return;
    const int typedIndex = table.Find(element);
    if (typedIndex < 0) return;
    file.FieldWriteBegin("LayerElement");
    file.FieldWriteBlockBegin();
    file.WriteStringField("Type", type);
    WriteIntRecord(file, "TypedIndex", typedIndex);
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
}

bool LayerHoldsAnything(const KFbxLayer& layer) {
    if (layer.GetNormals() || layer.GetMaterials() || layer.GetPolygonGroups() || layer.GetVertexColors() ||
        layer.GetSmoothing() || layer.GetUserData() || layer.GetVisibility()) {
        return true;
    }
    for (const KFbxFbx6TextureChannel& channel : kFbx6TextureChannels) {
        if (layer.GetTexturesOfChannel(channel.mType) || layer.GetUVs(channel.mType)) return true;
    }
    return false;
}

void WriteLayers(KFbx& file, const KFbxGeometry& geometry, const TypedIndexTable& table) {
    int written = 0;
    for (int l = 0; l < geometry.GetLayerCount(); ++l) {
        const KFbxLayer& layer = *geometry.GetLayer(l);
        if (!LayerHoldsAnything(layer)) continue;
        file.FieldWriteBegin("Layer");
        file.FieldWriteI(written++);
        file.FieldWriteBlockBegin();
        WriteIntRecord(file, "Version", 100);
        WriteLayerEntry(file, "LayerElementNormal", layer.GetNormals(), table);
        WriteLayerEntry(file, "LayerElementMaterial", layer.GetMaterials(), table);
        for (int channel : kLayerTextureOrder) {
            WriteLayerEntry(file, KFbxFbx6FindTextureChannel(channel)->mTextureRecord, layer.GetTexturesOfChannel(channel), table);
        }
        WriteLayerEntry(file, "LayerElementPolygonGroup", layer.GetPolygonGroups(), table);
        for (int channel : kLayerUVOrder) {
            WriteLayerEntry(file, KFbxFbx6FindTextureChannel(channel)->mUVRecord, layer.GetUVs(channel), table);
        }
        WriteLayerEntry(file, "LayerElementColor", layer.GetVertexColors(), table);
        WriteLayerEntry(file, "LayerElementSmoothing", layer.GetSmoothing(), table);
        WriteLayerEntry(file, "LayerElementUserData", layer.GetUserData(), table);
        WriteLayerEntry(file, "LayerElementVisibility", layer.GetVisibility(), table);
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
    }
}

// The position among the node's sources of the class of the object the
// element's direct array holds at its k-th index. One index: only that
// object is looked for, with no table of the whole direct array.
template <class ElementType>
int FindNodeObjectIndex(const KFbxNode* node, const ElementType& element, int k, const KFbxClassId& classId) {
    const DynamicArrayOf<int>& indices = element.GetIndexArray();
    if (node == nullptr || classId == KFbxClassId() || k < 0 || k >= indices.GetCount()) return -1;
    const int item = indices.GetAt(k);
    const auto& direct = element.GetDirectArray();
    const KFbxObject* object = item >= 0 && item < direct.GetCount() ? direct.GetAt(item) : nullptr;
    const int sources = object != nullptr ? node->GetSrcObjectCount(classId) : 0;
    for (int i = 0; i < sources; ++i) {
        if (node->GetSrcObject(classId, i) == object) return i;
    }
    return -1;
}

}  // namespace

const char* KFbxWriterFbx6::GetMappingName(int mode) { return KFbxFbx6Word(kFbx6MappingWords, mode); }

const char* KFbxWriterFbx6::GetReferenceName(int mode) { return KFbxFbx6Word(kFbx6ReferenceWords, mode); }

const char* KFbxWriterFbx6::GetBlendModeName(int mode) { return KFbxFbx6Word(kFbx6BlendWords, mode); }

int KFbxWriterFbx6::GetUserDataArrayCount(const KFbxLayerElementUserData& element, int array) {
    const DynamicArray* items = element.GetDirectArrayVoid(array);
    if (items == nullptr) return -1;
    switch (element.GetDataType(array).GetType()) {
        case eFbxValueBool:
        case eFbxValueInteger:
        case eFbxValueFloat:
        case eFbxValueDouble: return items->GetCount();
        default: return -1;
    }
}

int KFbxWriterFbx6::FindNodeMaterialIndex(const KFbxNode* node, const KFbxLayerElementMaterial& element, int k) {
    return FindNodeObjectIndex(node, element, k, KFbxSurfaceMaterial::ClassId);
}

int KFbxWriterFbx6::FindNodeTextureIndex(const KFbxNode* node, const KFbxLayerElementTexture& element, int k) {
    return FindNodeObjectIndex(node, element, k, KFbxTexture::ClassId);
}

void KFbxWriterFbx6::WriteVertices(KFbx& file, const KFbxGeometry& geometry) {
    KgeMatrix pivot;
    geometry.GetPivot(pivot);
    const KFbxVector4* points = geometry.GetControlPoints();
    const int count = points != nullptr ? geometry.GetControlPointsCount() : 0;
    std::vector<double> values(static_cast<std::size_t>(count) * 3);
    for (int i = 0; i < count; ++i) {
        const double point[3] = {points[i][0], points[i][1], points[i][2]};
        KgeMatrixMultPoint(&values[static_cast<std::size_t>(i) * 3], pivot, point);
    }
    WriteDoubleArrayField(file, "Vertices", values);
}

void KFbxWriterFbx6::WritePolygonVertexIndex(KFbx& file, const KFbxMesh& mesh) {
    if (mesh.GetPolygonCount() == 0) return;
    const int count = mesh.GetPolygonVertexCount();
    const int* vertices = mesh.GetPolygonVertices();
    std::vector<int> values(vertices, vertices + count);
    // The last vertex of each polygon is stored complemented, which marks
    // where the next polygon starts.
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
        const int size = mesh.GetPolygonSize(p);
        const int last = mesh.GetPolygonVertexIndex(p) + size - 1;
        if (size > 0 && last >= 0 && last < count) {
            values[static_cast<std::size_t>(last)] = ~vertices[last];
        }
    }
    WriteIntsRecord(file, "PolygonVertexIndex", values.data(), count);
}

void KFbxWriterFbx6::WriteEdges(KFbx& file, const KFbxMesh& mesh) {
    const int count = mesh.GetMeshEdgeCount();
    if (count == 0) return;
    std::vector<int> values(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) values[static_cast<std::size_t>(i)] = mesh.GetMeshEdge(i);
    WriteIntsRecord(file, "Edges", values.data(), count);
}

bool KFbxWriterFbx6::WriteMesh(KFbxMesh& mesh) {
    if (mesh.GetControlPointsCount() == 0) return true;
    WriteVertices(*mFbx, mesh);
    WritePolygonVertexIndex(*mFbx, mesh);
    WriteEdges(*mFbx, mesh);
    return WriteGeometry(mesh);
}

bool KFbxWriterFbx6::WriteGeometry(KFbxGeometry& geometry) {
    KFbx& file = *mFbx;
    WriteIntRecord(file, "GeometryVersion", 124);
    TypedIndexTable table;
    if (geometry.GetAttributeType() == KFbxNodeAttribute::eMESH) {
        WriteLayerElementNormals(file, geometry, table);
        WriteLayerElementPolygonGroups(file, geometry, table);
        WriteLayerElementColors(file, geometry, table);
        WriteLayerElementUVs(file, geometry, table);
        WriteLayerElementSmoothing(file, geometry, table);
        WriteLayerElementUserData(file, geometry, table);
        WriteLayerElementVisibility(file, geometry, table);
    }
    WriteLayerElementMaterials(file, geometry, table);
    WriteLayerElementTextures(file, geometry, table);
    WriteLayers(file, geometry, table);
    if (geometry.GetAttributeType() != KFbxNodeAttribute::eTRIM_NURBS_SURFACE) {
        for (int s = 0; s < geometry.GetShapeCount(); ++s) {
            const KFbxShape* shape = geometry.GetShape(s);
            if (shape != nullptr) WriteShape(file, *shape, geometry.GetShapeName(s), geometry);
        }
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
