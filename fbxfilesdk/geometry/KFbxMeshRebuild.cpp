#include <fbxfilesdk/geometry/KFbxMeshRebuild.h>

#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerContainer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <numeric>

namespace fbxsdk_2006_11_1 {

namespace KFbxMeshRebuild {

namespace {

// Every element the layer holds, each once.
std::vector<KFbxLayerElement*> ElementsOf(const KFbxLayer& layer) {
    std::vector<KFbxLayerElement*> elements;
    const auto add = [&elements](KFbxLayerElement* element) {
        if (element != nullptr && std::find(elements.begin(), elements.end(), element) == elements.end()) {
            elements.push_back(element);
        }
    };
    for (int type = KFbxLayerElement::eNORMAL; type < KFbxLayerElement::eLAST_ELEMENT_TYPE; ++type) {
        if (type != KFbxLayerElement::eUV) {
            add(layer.GetLayerElementOfType(type));
        }
        if (KFbxLayerElement::IsTextureChannel(type)) {
            add(layer.GetLayerElementOfType(type, true));
        }
    }
    return elements;
}

void AddEntries(DynamicArray& array, std::vector<DynamicArray*>& arrays) { arrays.push_back(&array); }

// The pointers move with their handles.
template <class Object>
void AddEntries(KFbxLayerElementObjectArray<Object>& array, std::vector<DynamicArray*>& arrays) {
    arrays.push_back(&array.GetPointerArray());
    arrays.push_back(&array.GetHandleArray());
}

template <class Element>
bool AddDirectArray(KFbxLayerElement* element, std::vector<DynamicArray*>& arrays) {
    auto* typed = dynamic_cast<Element*>(element);
    if (typed != nullptr) {
        AddEntries(typed->GetDirectArray(), arrays);
    }
    return typed != nullptr;
}

// The value arrays of the element: one for every kind but user data, which
// has one per channel.
std::vector<DynamicArray*> DirectArraysOf(KFbxLayerElement* element) {
    std::vector<DynamicArray*> arrays;
    if (AddDirectArray<KFbxLayerElementNormal>(element, arrays) ||
        AddDirectArray<KFbxLayerElementMaterial>(element, arrays) ||
        AddDirectArray<KFbxLayerElementPolygonGroup>(element, arrays) ||
        AddDirectArray<KFbxLayerElementUV>(element, arrays) ||
        AddDirectArray<KFbxLayerElementVertexColor>(element, arrays) ||
        AddDirectArray<KFbxLayerElementSmoothing>(element, arrays) ||
        AddDirectArray<KFbxLayerElementVisibility>(element, arrays) ||
        AddDirectArray<KFbxLayerElementTexture>(element, arrays)) {
        return arrays;
    }
    if (auto* userData = dynamic_cast<KFbxLayerElementUserData*>(element)) {
        for (int channel = 0; channel < userData->GetDirectArrayCount(); ++channel) {
            if (DynamicArray* array = userData->GetDirectArrayVoid(channel)) {
                arrays.push_back(array);
            }
        }
    }
    return arrays;
}

// Item i becomes old item map[i]; an item whose source is missing becomes
// -1 in an index array and zero bytes elsewhere.
bool RemapArray(DynamicArray& array, const std::vector<int>& map, bool isIndexArray) {
    const int itemSize = array.GetItemSize();
    const int oldCount = array.GetCount();
    if (map.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) || itemSize <= 0) {
        return false;
    }
    std::vector<unsigned char> old(static_cast<std::size_t>(oldCount) * static_cast<std::size_t>(itemSize));
    if (!old.empty()) {
        std::memcpy(old.data(), array.GetData(), old.size());
    }
    if (!array.SetCount(static_cast<int>(map.size()))) {
        return false;
    }
    const int missing = -1;
    for (std::size_t index = 0; index < map.size(); ++index) {
        auto* target = static_cast<unsigned char*>(array.GetItemAt(static_cast<int>(index)));
        const int from = map[index];
        if (from >= 0 && from < oldCount) {
            std::memcpy(target, old.data() + static_cast<std::size_t>(from) * itemSize,
                        static_cast<std::size_t>(itemSize));
        } else if (isIndexArray && itemSize == static_cast<int>(sizeof(int))) {
            std::memcpy(target, &missing, sizeof(int));
        } else {
            std::memset(target, 0, static_cast<std::size_t>(itemSize));
        }
    }
    return true;
}

const std::vector<int>* MapFor(KFbxLayerElement::EMappingMode mode, const Maps& maps) {
    switch (mode) {
        case KFbxLayerElement::eBY_CONTROL_POINT:
            return maps.mControlPoints;
        case KFbxLayerElement::eBY_POLYGON_VERTEX:
            return maps.mPolygonVertices;
        case KFbxLayerElement::eBY_POLYGON:
            return maps.mPolygons;
        default:
            return nullptr;
    }
}

bool RemapElement(KFbxLayerElement& element, const Maps& maps) {
    if (element.GetMappingMode() == KFbxLayerElement::eBY_EDGE) {
        element.GetIndexArray().Clear();
        for (DynamicArray* array : DirectArraysOf(&element)) {
            array->Clear();
        }
        return true;
    }
    const std::vector<int>* map = MapFor(element.GetMappingMode(), maps);
    if (map == nullptr) {
        return true;
    }
    if (element.GetReferenceMode() != KFbxLayerElement::eDIRECT) {
        return RemapArray(element.GetIndexArray(), *map, true);
    }
    bool complete = true;
    for (DynamicArray* array : DirectArraysOf(&element)) {
        complete = RemapArray(*array, *map, false) && complete;
    }
    return complete;
}

}  // namespace

bool RemapLayers(KFbxLayerContainer& container, const Maps& maps) {
    try {
        bool complete = true;
        for (int index = 0; index < container.GetLayerCount(); ++index) {
            for (KFbxLayerElement* element : ElementsOf(*container.GetLayer(index))) {
                complete = RemapElement(*element, maps) && complete;
            }
        }
        return complete;
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
}

KFbxMesh* Rebuild(const KFbxMesh& source, const Plan& plan) {
    const std::size_t polygonVertices =
        std::accumulate(plan.mPolygonSizes.begin(), plan.mPolygonSizes.end(), std::size_t{0});
    const auto fits = [](const std::vector<int>& map, std::size_t count) { return map.empty() || map.size() == count; };
    if (polygonVertices != plan.mPolygonVertices.size() || plan.mPolygonGroups.size() != plan.mPolygonSizes.size() ||
        !fits(plan.mPointMap, plan.mPoints.size()) || !fits(plan.mPolygonVertexMap, plan.mPolygonVertices.size()) ||
        !fits(plan.mPolygonMap, plan.mPolygonSizes.size()) ||
        plan.mPoints.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return nullptr;
    }
    KFbxMesh* mesh = KFbxMesh::Create(source.GetSdkManager(), source.GetName());
    if (mesh == nullptr) {
        return nullptr;
    }
    bool complete = true;
    try {
        mesh->InitControlPoints(static_cast<int>(plan.mPoints.size()));
        complete = mesh->GetControlPointsCount() == static_cast<int>(plan.mPoints.size());
        if (complete) {
            std::copy(plan.mPoints.begin(), plan.mPoints.end(), mesh->GetControlPoints());
        }
        std::size_t corner = 0;
        for (std::size_t polygon = 0; complete && polygon < plan.mPolygonSizes.size(); ++polygon) {
            mesh->BeginPolygon(-1, -1, plan.mPolygonGroups[polygon], false);
            for (int position = 0; complete && position < plan.mPolygonSizes[polygon]; ++position) {
                complete = mesh->AddPolygonVertex(plan.mPolygonVertices[corner++]);
            }
            mesh->EndPolygon();
        }
        for (int index = 0; complete && index < source.GetLayerCount(); ++index) {
            KFbxLayer* layer = mesh->GetLayer(mesh->CreateLayer());
            complete = layer != nullptr && layer->Copy(*source.GetLayer(index), source.GetSdkManager());
        }
        Maps maps;
        maps.mControlPoints = plan.mPointMap.empty() ? nullptr : &plan.mPointMap;
        maps.mPolygonVertices = plan.mPolygonVertexMap.empty() ? nullptr : &plan.mPolygonVertexMap;
        maps.mPolygons = plan.mPolygonMap.empty() ? nullptr : &plan.mPolygonMap;
        complete = complete && RemapLayers(*mesh, maps);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        complete = false;
    }
    if (!complete) {
        mesh->Destroy();
        return nullptr;
    }
    KgeMatrix pivot;
    mesh->SetPivot(source.GetPivot(pivot));
    mesh->SetUVGrid(source.GetUVGrid());
    return mesh;
}

void CopyShapes(const KFbxGeometry& source, KFbxGeometry& target) {
    for (int index = 0; index < source.GetShapeCount(); ++index) {
        const char* name = source.GetShapeName(index);
        if (target.AddShape(source.GetShape(index), name) != -1) {
            target.FindProperty(name).CopyValue(source.FindProperty(name));
        }
    }
}

std::vector<std::vector<int>> Invert(const std::vector<int>& newToOld, int oldCount) {
    std::vector<std::vector<int>> newOfOld(static_cast<std::size_t>(std::max(oldCount, 0)));
    for (std::size_t index = 0; index < newToOld.size(); ++index) {
        const int old = newToOld[index];
        if (old >= 0 && old < oldCount) {
            newOfOld[static_cast<std::size_t>(old)].push_back(static_cast<int>(index));
        }
    }
    return newOfOld;
}

KFbxCluster* CopyClusterThrough(const KFbxCluster& source, const std::vector<std::vector<int>>& newOfOld) {
    KFbxCluster* cluster = KFbxCluster::Create(source.GetSdkManager(), source.GetName());
    if (cluster == nullptr) {
        return nullptr;
    }
    cluster->SetLinkMode(source.GetLinkMode());
    cluster->SetLink(source.GetLink());
    cluster->SetAssociateModel(source.GetAssociateModel());
    KgeMatrix matrix;
    cluster->SetTransformMatrix(source.GetTransformMatrix(matrix));
    cluster->SetTransformLinkMatrix(source.GetTransformLinkMatrix(matrix));
    cluster->SetTransformAssociateModelMatrix(source.GetTransformAssociateModelMatrix(matrix));
    if (source.IsTransformParentSet()) {
        cluster->SetTransformParentMatrix(source.GetTransformParentMatrix(matrix));
    }
    cluster->SetUserData(source.GetUserDataID(), source.GetUserDataText());
    const int* indices = source.GetControlPointIndices();
    const double* weights = source.GetControlPointWeights();
    for (int pair = 0; indices != nullptr && weights != nullptr && pair < source.GetControlPointIndicesCount();
         ++pair) {
        const int old = indices[pair];
        if (old < 0 || static_cast<std::size_t>(old) >= newOfOld.size()) {
            continue;
        }
        for (int point : newOfOld[static_cast<std::size_t>(old)]) {
            cluster->AddControlPointIndex(point, weights[pair]);
        }
    }
    return cluster;
}

}  // namespace KFbxMeshRebuild

}  // namespace fbxsdk_2006_11_1
