// Meshes as COLLADA geometries: the position source, per layer the normal,
// UV and colour sources, the vertices, and one polygon group per material
// in which every polygon appears exactly once. Layer elements whose modes
// or indices cannot describe the mesh are left out with a warning, so that
// every index written points at a value written.
#include <fbxfilesdk/collada/KFbxWriterCollada.h>

#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlWrite.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

using namespace ColladaXml;

// How one layer element maps onto the mesh: the index into its direct
// array of each polygon vertex (by its global number, control point and
// polygon). A value per polygon or one for all is repeated at every
// corner, which is what COLLADA can say of them.
class ElementMapping {
public:
    ElementMapping() = default;

    // Null when the element cannot describe the mesh; why in problem.
    static ElementMapping Of(const KFbxLayerElement& element, int directCount, const KFbxMesh& mesh,
                             KString& problem) {
        ElementMapping mapping;
        const int mode = element.GetMappingMode();
        int needed = 0;
        switch (mode) {
        case KFbxLayerElement::eBY_CONTROL_POINT:
            needed = mesh.GetControlPointsCount();
            break;
        case KFbxLayerElement::eBY_POLYGON_VERTEX:
            needed = mesh.GetPolygonVertexCount();
            break;
        case KFbxLayerElement::eBY_POLYGON:
            needed = mesh.GetPolygonCount();
            break;
        case KFbxLayerElement::eALL_SAME:
            needed = 1;
            break;
        default:
            problem = KString("mapping mode ") + FormatInteger(mode) + " is not supported";
            return mapping;
        }
        if (directCount <= 0) {
            problem = "it has no values";
            return mapping;
        }
        const int reference = element.GetReferenceMode();
        if (reference == KFbxLayerElement::eDIRECT) {
            if (directCount < needed) {
                problem = "it has fewer values than the mesh needs";
                return mapping;
            }
        } else {
            const DynamicArrayOf<int>& indices = element.GetIndexArray();
            if (indices.GetCount() < needed) {
                problem = "it has fewer indices than the mesh needs";
                return mapping;
            }
            for (int index = 0; index < needed; ++index) {
                const int value = indices.GetAt(index);
                if (value < 0 || value >= directCount) {
                    problem = "an index points outside its values";
                    return mapping;
                }
            }
            mapping.mIndices = &indices;
        }
        mapping.mMode = mode;
        mapping.mValid = true;
        return mapping;
    }

    bool IsValid() const { return mValid; }
    int At(int polygonVertex, int controlPoint, int polygon) const {
        const int entry = mMode == KFbxLayerElement::eBY_CONTROL_POINT    ? controlPoint
                          : mMode == KFbxLayerElement::eBY_POLYGON_VERTEX ? polygonVertex
                          : mMode == KFbxLayerElement::eBY_POLYGON        ? polygon
                                                                          : 0;
        return mIndices != nullptr ? mIndices->GetAt(entry) : entry;
    }

private:
    const DynamicArrayOf<int>* mIndices = nullptr;
    int mMode = KFbxLayerElement::eNONE;
    bool mValid = false;
};

// One input of the polygon groups beyond VERTEX.
struct LayerInput {
    const char* mSemantic;
    KString mSourceId;
    int mSet;
    ElementMapping mMapping;
};

// Non-finite values become 0; true when there were any.
bool MakeFinite(double* values, int count) {
    bool changed = false;
    for (int index = 0; index < count; ++index) {
        if (!std::isfinite(values[index])) {
            values[index] = 0.0;
            changed = true;
        }
    }
    return changed;
}

}  // namespace

// What the polygon groups of one mesh need: its inputs in offset order.
struct KFbxWriterCollada::MeshInputs {
    KString mVerticesId;
    std::vector<LayerInput> mInputs;
};

xmlNode* KFbxWriterCollada::ExportGeometry(KFbxNode& node, KFbxMesh& mesh) {
    const KString& baseId = GetNodeId(node);
    xmlNode* geometry = xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>("geometry"));
    if (geometry == nullptr) {
        return nullptr;
    }
    SetAttribute(geometry, "id", mIds.Get(&node, "-lib", baseId + "-lib").Buffer());
    SetAttribute(geometry, "name", (baseId + "Mesh").Buffer());
    if (ExportMesh(node, mesh, geometry, baseId) == nullptr) {
        xmlFreeNode(geometry);
        return nullptr;
    }
    xmlNode* library = GetLibrary(eLIBRARY_GEOMETRIES);
    if (library == nullptr) {
        xmlFreeNode(geometry);
        return nullptr;
    }
    xmlAddChild(library, geometry);
    return geometry;
}

xmlNode* KFbxWriterCollada::ExportMesh(KFbxNode& node, KFbxMesh& mesh, xmlNode* geometry, const KString& baseId) {
    xmlNode* meshElement = AddElement(geometry, "mesh");
    MeshInputs inputs;
    if (meshElement == nullptr || ExportPositionSource(meshElement, mesh, baseId) == nullptr ||
        !ExportLayerSources(meshElement, mesh, baseId, inputs) ||
        ExportVertices(meshElement, baseId, inputs) == nullptr) {
        return nullptr;
    }
    if (!ExportPolygonGroups(node, meshElement, mesh, inputs)) {
        return nullptr;
    }
    if (!ExportMeshTextures(node, mesh)) {
        return nullptr;
    }
    // A skin over shapes deforms the morphed mesh: the morph comes first and
    // the skin names it as its source.
    const bool shapes = mesh.GetShapeCount() > 0;
    if (shapes && !ExportMorphController(node, mesh)) {
        return nullptr;
    }
    if (GetClusterCount(&mesh) > 0 && !ExportSkinController(node, mesh, true)) {
        return nullptr;
    }
    return meshElement;
}

xmlNode* KFbxWriterCollada::ExportPositionSource(xmlNode* meshElement, KFbxGeometryBase& geometry,
                                                 const KString& baseId) {
    const int count = geometry.GetControlPointsCount();
    const KFbxVector4* points = geometry.GetControlPoints();
    std::vector<KFbxVector4> values;
    if (points != nullptr && count > 0) {
        values.assign(points, points + count);
    }
    bool changed = false;
    for (KFbxVector4& point : values) {
        changed = MakeFinite(&point[0], 3) || changed;
    }
    if (changed) {
        WarnNotFinite(baseId);
    }
    return AddVector3Source(meshElement, ReserveSourceId(baseId + "-lib-Position").Buffer(), values);
}

void KFbxWriterCollada::WarnNotFinite(const KString& baseId) {
    AddNotificationWarning(KString("Mesh ") + baseId + " has values that are not finite numbers; they are written as 0.");
}

KString KFbxWriterCollada::ReserveSourceId(const KString& wanted) {
    // The source's array takes the source's id + "-array": both must be free.
    for (KString id = mIds.Reserve(wanted);; id = mIds.Reserve(wanted)) {
        const KString arrayId = id + "-array";
        if (mIds.Reserve(arrayId) == arrayId) {
            return id;
        }
    }
}

bool KFbxWriterCollada::ExportLayerSources(xmlNode* meshElement, KFbxMesh& mesh, const KString& baseId,
                                           MeshInputs& inputs) {
    bool changed = false;
    auto warnSkipped = [&](const char* what, int layer, const KString& problem) {
        AddNotificationWarning(KString("The ") + what + " of layer " + FormatInteger(layer) + " of mesh " + baseId +
                               " are not written: " + problem + ".");
    };
    std::vector<LayerInput> normals;
    std::vector<LayerInput> uvs;
    std::vector<LayerInput> colors;
    for (int layerIndex = 0; layerIndex < mesh.GetLayerCount(); ++layerIndex) {
        const KFbxLayer* layer = mesh.GetLayer(layerIndex);
        if (layer == nullptr) {
            continue;
        }
        KString problem;
        if (const KFbxLayerElementNormal* element = layer->GetNormals()) {
            const auto& direct = element->GetDirectArray();
            ElementMapping mapping = ElementMapping::Of(*element, direct.GetCount(), mesh, problem);
            if (!mapping.IsValid()) {
                warnSkipped("normals", layerIndex, problem);
            } else {
                std::vector<KFbxVector4> values(direct.GetArray(), direct.GetArray() + direct.GetCount());
                for (KFbxVector4& value : values) {
                    changed = MakeFinite(&value[0], 3) || changed;
                }
                const KString id = ReserveSourceId(baseId + "-lib-Normal" + FormatInteger(layerIndex));
                if (AddVector3Source(meshElement, id.Buffer(), values) == nullptr) {
                    return false;
                }
                normals.push_back({"NORMAL", id, layerIndex, mapping});
            }
        }
        if (const KFbxLayerElementUV* element = layer->GetUVs(KFbxLayerElement::eDIFFUSE_TEXTURES)) {
            const auto& direct = element->GetDirectArray();
            ElementMapping mapping = ElementMapping::Of(*element, direct.GetCount(), mesh, problem);
            if (!mapping.IsValid()) {
                warnSkipped("UVs", layerIndex, problem);
            } else {
                std::vector<KFbxVector2> values(direct.GetArray(), direct.GetArray() + direct.GetCount());
                for (KFbxVector2& value : values) {
                    changed = MakeFinite(&value[0], 2) || changed;
                }
                const KString id = ReserveSourceId(baseId + "-lib-UV" + FormatInteger(layerIndex));
                if (AddVector2Source(meshElement, id.Buffer(), values) == nullptr) {
                    return false;
                }
                uvs.push_back({"TEXCOORD", id, layerIndex, mapping});
            }
        }
        if (const KFbxLayerElementVertexColor* element = layer->GetVertexColors()) {
            const auto& direct = element->GetDirectArray();
            ElementMapping mapping = ElementMapping::Of(*element, direct.GetCount(), mesh, problem);
            if (!mapping.IsValid()) {
                warnSkipped("vertex colors", layerIndex, problem);
            } else {
                std::vector<KFbxColor> values(direct.GetArray(), direct.GetArray() + direct.GetCount());
                for (KFbxColor& value : values) {
                    double channels[4] = {value.mRed, value.mGreen, value.mBlue, value.mAlpha};
                    changed = MakeFinite(channels, 4) || changed;
                    value = KFbxColor(channels[0], channels[1], channels[2], channels[3]);
                }
                const KString id = ReserveSourceId(baseId + "-lib-VertexColors" + FormatInteger(layerIndex));
                if (AddColorSource(meshElement, id.Buffer(), values) == nullptr) {
                    return false;
                }
                colors.push_back({"COLOR", id, layerIndex, mapping});
            }
        }
        if (layer->GetPolygonGroups() != nullptr) {
            AddNotificationWarning(KString("Polygon groups are not supported (node ") + baseId + ")");
        }
    }
    if (changed) {
        WarnNotFinite(baseId);
    }
    // Offsets follow the layers: a layer's normal, UV and colour inputs
    // side by side, as a reader expects them per set.
    for (int layerIndex = 0; layerIndex < mesh.GetLayerCount(); ++layerIndex) {
        for (const std::vector<LayerInput>* kind : {&normals, &uvs, &colors}) {
            for (const LayerInput& input : *kind) {
                if (input.mSet == layerIndex) {
                    inputs.mInputs.push_back(input);
                }
            }
        }
    }
    return true;
}

xmlNode* KFbxWriterCollada::ExportVertices(xmlNode* meshElement, const KString& baseId, MeshInputs& inputs) {
    xmlNode* vertices = AddElement(meshElement, "vertices");
    if (vertices == nullptr) {
        return nullptr;
    }
    inputs.mVerticesId = mIds.Reserve(baseId + "-lib-Vertex");
    SetAttribute(vertices, "id", inputs.mVerticesId.Buffer());
    xmlNode* position = FindChild(meshElement, "source");
    AddInput(vertices, "POSITION", GetAttribute(position, "id").Buffer(), -1, -1);
    return vertices;
}

bool KFbxWriterCollada::ExportPolygonGroups(KFbxNode& node, xmlNode* meshElement, KFbxMesh& mesh,
                                            const MeshInputs& inputs) {
    // Each polygon goes to exactly one group: its material's, else (no
    // material at all) the first texture that stands for a material, else
    // the group without material.
    struct Group {
        KString mSymbol;
        std::vector<int> mPolygons;
    };
    std::vector<Group> groups;
    std::vector<int> groupOfMaterial;
    const int polygonCount = mesh.GetPolygonCount();
    const KFbxLayer* layer0 = mesh.GetLayer(0);
    const KFbxLayerElementMaterial* materials = layer0 != nullptr ? layer0->GetMaterials() : nullptr;
    const int materialCount = materials != nullptr ? materials->GetDirectArray().GetCount() : 0;
    std::vector<int> polygonGroup(static_cast<std::size_t>(polygonCount), -1);

    if (materialCount > 0) {
        // Every material of the element is written, used or not.
        for (int index = 0; index < materialCount; ++index) {
            KFbxSurfaceMaterial* material = materials->GetDirectArray().GetAt(index);
            xmlNode* element = material != nullptr ? ExportMaterial(*material) : nullptr;
            if (material != nullptr && element == nullptr) {
                return false;
            }
            const KString symbol = GetAttribute(element, "id");
            int found = -1;
            for (std::size_t group = 0; group < groups.size() && symbol.GetLen() > 0; ++group) {
                if (groups[group].mSymbol == symbol) {
                    found = static_cast<int>(group);
                }
            }
            if (found < 0 && symbol.GetLen() > 0) {
                found = static_cast<int>(groups.size());
                groups.push_back({symbol, {}});
            }
            groupOfMaterial.push_back(found);
        }
        const int mode = materials->GetMappingMode();
        const bool direct = materials->GetReferenceMode() == KFbxLayerElement::eDIRECT;
        const DynamicArrayOf<int>& indices = materials->GetIndexArray();
        bool warned = false;
        for (int polygon = 0; polygon < polygonCount; ++polygon) {
            const int entry = mode == KFbxLayerElement::eBY_POLYGON ? polygon : 0;
            int material = -1;
            if (mode == KFbxLayerElement::eBY_POLYGON || mode == KFbxLayerElement::eALL_SAME) {
                material = direct ? entry : (entry < indices.GetCount() ? indices.GetAt(entry) : -1);
            }
            if (material >= 0 && material < materialCount && groupOfMaterial[static_cast<std::size_t>(material)] >= 0) {
                polygonGroup[static_cast<std::size_t>(polygon)] = groupOfMaterial[static_cast<std::size_t>(material)];
            } else if (!warned) {
                warned = true;
                AddNotificationWarning(KString("Some polygons of mesh ") + GetNodeId(node) +
                                       " have no usable material; they are written without one.");
            }
        }
    } else if (const KFbxLayerElementTexture* textures = layer0 != nullptr ? layer0->GetTextures() : nullptr) {
        // Without materials, a diffuse texture stands for one: the first
        // that says so, else the first there is.
        KFbxTexture* chosen = nullptr;
        for (int index = 0; index < textures->GetDirectArray().GetCount(); ++index) {
            KFbxTexture* texture = textures->GetDirectArray().GetAt(index);
            if (texture != nullptr && (chosen == nullptr || (chosen->GetMaterialUse() != KFbxTexture::eDEFAULT_MATERIAL &&
                                                             texture->GetMaterialUse() == KFbxTexture::eDEFAULT_MATERIAL))) {
                chosen = texture;
            }
        }
        if (chosen != nullptr && chosen->GetFileName()[0] != '\0') {
            xmlNode* element = ExportMaterial(GetTextureMaterial(*chosen, 1));
            if (element == nullptr) {
                return false;
            }
            groups.push_back({GetAttribute(element, "id"), {}});
            std::fill(polygonGroup.begin(), polygonGroup.end(), 0);
            mStandInMaterials[&node] = &GetTextureMaterial(*chosen, 1);
        }
    }
    Group unbound;
    const int pointCount = mesh.GetControlPointsCount();
    int broken = 0;
    int degenerate = 0;
    for (int polygon = 0; polygon < polygonCount; ++polygon) {
        // Fewer than three corners enclose nothing: readers refuse them.
        if (mesh.GetPolygonSize(polygon) < 3) {
            ++degenerate;
            continue;
        }
        bool valid = true;
        for (int position = 0; position < mesh.GetPolygonSize(polygon) && valid; ++position) {
            const int point = mesh.GetPolygonVertex(polygon, position);
            valid = point >= 0 && point < pointCount;
        }
        if (!valid) {
            ++broken;
            continue;
        }
        const int group = polygonGroup[static_cast<std::size_t>(polygon)];
        (group >= 0 ? groups[static_cast<std::size_t>(group)] : unbound).mPolygons.push_back(polygon);
    }
    if (degenerate > 0) {
        AddNotificationWarning(FormatInteger(degenerate) + " polygons of mesh " + GetNodeId(node) +
                               " have fewer than three corners; they are not written.");
    }
    if (broken > 0) {
        AddNotificationWarning(FormatInteger(broken) + " polygons of mesh " + GetNodeId(node) +
                               " refer to points the mesh does not have; they are not written.");
    }
    std::vector<KString>& symbols = mMaterialSymbols[&node];
    symbols.clear();
    for (const Group& group : groups) {
        if (!group.mPolygons.empty()) {
            if (ExportPolygons(meshElement, mesh, group.mSymbol, group.mPolygons, inputs) == nullptr) {
                return false;
            }
            symbols.push_back(group.mSymbol);
        }
    }
    if (!unbound.mPolygons.empty() &&
        ExportPolygons(meshElement, mesh, KString(), unbound.mPolygons, inputs) == nullptr) {
        return false;
    }
    return true;
}

xmlNode* KFbxWriterCollada::ExportPolygons(xmlNode* meshElement, const KFbxMesh& mesh, const KString& materialSymbol,
                                           const std::vector<int>& polygons, const MeshInputs& inputs) {
    const char* kind = mTriangulate ? "triangles" : "polygons";
    xmlNode* element = AddElement(meshElement, kind);
    if (element == nullptr) {
        return nullptr;
    }
    if (materialSymbol.GetLen() > 0) {
        SetAttribute(element, "material", materialSymbol.Buffer());
    }
    SetAttribute(element, "count", 0);
    AddInput(element, "VERTEX", inputs.mVerticesId.Buffer(), 0, -1);
    int offset = 1;
    for (const LayerInput& input : inputs.mInputs) {
        const bool normalOfLayer0 = input.mSemantic == KString("NORMAL") && input.mSet == 0;
        AddInput(element, input.mSemantic, input.mSourceId.Buffer(), offset++, normalOfLayer0 ? -1 : input.mSet);
    }

    auto appendVertex = [&](std::string& text, int polygon, int polygonVertex, int controlPoint) {
        if (!text.empty()) {
            text += ' ';
        }
        AppendInteger(text, controlPoint);
        for (const LayerInput& input : inputs.mInputs) {
            text += ' ';
            AppendInteger(text, input.mMapping.At(polygonVertex, controlPoint, polygon));
        }
    };
    int count = 0;
    std::string text;
    if (mTriangulate) {
        // Fans from each polygon's first corner, all in one list.
        for (const int polygon : polygons) {
            const int first = mesh.GetPolygonVertexIndex(polygon);
            const int size = mesh.GetPolygonSize(polygon);
            for (int corner = 1; corner + 1 < size; ++corner) {
                for (const int position : {0, corner, corner + 1}) {
                    appendVertex(text, polygon, first + position, mesh.GetPolygonVertex(polygon, position));
                }
                ++count;
            }
        }
        AddElement(element, "p", text.c_str());
    } else {
        for (const int polygon : polygons) {
            const int first = mesh.GetPolygonVertexIndex(polygon);
            const int size = mesh.GetPolygonSize(polygon);
            text.clear();
            for (int position = 0; position < size; ++position) {
                appendVertex(text, polygon, first + position, mesh.GetPolygonVertex(polygon, position));
            }
            AddElement(element, "p", text.c_str());
            ++count;
        }
    }
    SetAttribute(element, "count", count);
    return element;
}

bool KFbxWriterCollada::ExportShapeGeometries(xmlNode* /*visualScene*/) {
    // The targets are geometries only: the morph controller refers to them,
    // and nothing in the visual scene instances them.
    for (const ShapeTarget& target : mShapeTargets) {
        xmlNode* geometry = ExportShapeGeometry(target);
        if (geometry == nullptr) {
            AddNotificationError(KString("Could not export the shape geometry ") + target.mId);
            return false;
        }
    }
    return true;
}

xmlNode* KFbxWriterCollada::ExportShapeGeometry(const ShapeTarget& target) {
    xmlNode* library = GetLibrary(eLIBRARY_GEOMETRIES);
    xmlNode* geometry = AddElement(library, "geometry");
    if (geometry == nullptr) {
        return nullptr;
    }
    SetAttribute(geometry, "id", target.mId.Buffer());
    SetAttribute(geometry, "name", (target.mBaseId + "Mesh").Buffer());
    xmlNode* meshElement = AddElement(geometry, "mesh");
    MeshInputs inputs;
    if (meshElement == nullptr || ExportPositionSource(meshElement, *target.mShape, target.mBaseId) == nullptr) {
        return nullptr;
    }
    // The shape's own normals, when they describe the base mesh.
    if (const KFbxLayer* layer = target.mShape->GetLayer(0)) {
        if (const KFbxLayerElementNormal* normals = layer->GetNormals()) {
            KString problem;
            const auto& direct = normals->GetDirectArray();
            ElementMapping mapping = ElementMapping::Of(*normals, direct.GetCount(), *target.mBase, problem);
            if (mapping.IsValid()) {
                std::vector<KFbxVector4> values(direct.GetArray(), direct.GetArray() + direct.GetCount());
                for (KFbxVector4& value : values) {
                    MakeFinite(&value[0], 3);
                }
                const KString id = ReserveSourceId(target.mBaseId + "-lib-Normal0");
                if (AddVector3Source(meshElement, id.Buffer(), values) == nullptr) {
                    return nullptr;
                }
                inputs.mInputs.push_back({"NORMAL", id, 0, mapping});
            }
        }
    }
    if (ExportVertices(meshElement, target.mBaseId, inputs) == nullptr) {
        return nullptr;
    }
    std::vector<int> polygons(static_cast<std::size_t>(target.mBase->GetPolygonCount()));
    for (std::size_t index = 0; index < polygons.size(); ++index) {
        polygons[index] = static_cast<int>(index);
    }
    if (ExportPolygons(meshElement, *target.mBase, KString(), polygons, inputs) == nullptr) {
        return nullptr;
    }
    return geometry;
}

}  // namespace fbxsdk_2006_11_1
