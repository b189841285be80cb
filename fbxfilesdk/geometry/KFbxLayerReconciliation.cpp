#include <fbxfilesdk/geometry/KFbxLayerReconciliation.h>

#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxMeshRebuild.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

namespace KFbxLayerReconciliation {

namespace {

// One layer element of pointers and the class of the objects it points to.
template <class Element, class Object>
struct Channel {
    static Element* ElementOf(KFbxLayer& layer, int channel);
};

template <>
KFbxLayerElementMaterial* Channel<KFbxLayerElementMaterial, KFbxSurfaceMaterial>::ElementOf(KFbxLayer& layer, int) {
    return layer.GetMaterials();
}

template <>
KFbxLayerElementTexture* Channel<KFbxLayerElementTexture, KFbxTexture>::ElementOf(KFbxLayer& layer, int channel) {
    return layer.GetTexturesOfChannel(channel);
}

template <class Array, class Object>
int Find(const Array& direct, Object* object) {
    for (int index = 0; index < direct.GetCount(); ++index) {
        if (direct.GetAt(index) == object) {
            return index;
        }
    }
    return -1;
}

// The elements of the kind in the geometry's layers that hold one.
template <class Element, class Object>
std::vector<Element*> ElementsOf(KFbxGeometry& geometry, int channel) {
    std::vector<Element*> elements;
    for (int index = 0; index < geometry.GetLayerCount(); ++index) {
        if (Element* element = Channel<Element, Object>::ElementOf(*geometry.GetLayer(index), channel)) {
            elements.push_back(element);
        }
    }
    return elements;
}

template <class Element, class Object>
void Fill(KFbxGeometry& geometry, int channel, bool fillDirect) {
    const KFbxNode* node = geometry.GetNode();
    if (node == nullptr) {
        return;
    }
    const std::vector<Object*> objects = KFbxMeshRebuild::SourcesOf<Object>(*node);
    for (Element* element : ElementsOf<Element, Object>(geometry, channel)) {
        auto& direct = element->GetDirectArray();
        if (element->GetReferenceMode() == KFbxLayerElement::eDIRECT) {
            while (fillDirect && static_cast<std::size_t>(direct.GetCount()) < objects.size()) {
                if (direct.Add(objects[static_cast<std::size_t>(direct.GetCount())]) < 0) {
                    break;
                }
            }
            continue;
        }
        element->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
        // The index array has an entry per polygon and names few objects:
        // each object is looked for in the direct array once.
        constexpr int kNotLookedFor = -2;
        std::vector<int> positions(objects.size(), kNotLookedFor);
        DynamicArrayOf<int>& indices = element->GetIndexArray();
        for (int entry = 0; entry < indices.GetCount(); ++entry) {
            const int index = indices.GetAt(entry);
            if (index < 0 || static_cast<std::size_t>(index) >= objects.size()) {
                indices.SetAt(entry, -1);
                continue;
            }
            int& position = positions[static_cast<std::size_t>(index)];
            if (position == kNotLookedFor) {
                Object* object = objects[static_cast<std::size_t>(index)];
                position = object != nullptr ? Find(direct, object) : -1;
                if (object != nullptr && position == -1) {
                    position = direct.Add(object);
                }
            }
            indices.SetAt(entry, position);
        }
    }
}

template <class Element, class Object>
void Connect(KFbxGeometry& geometry, int channel) {
    KFbxNode* node = geometry.GetNode();
    if (node == nullptr) {
        return;
    }
    for (Element* element : ElementsOf<Element, Object>(geometry, channel)) {
        auto& direct = element->GetDirectArray();
        const int count = direct.GetCount();
        DynamicArrayOf<int>& indices = element->GetIndexArray();
        if (element->GetReferenceMode() == KFbxLayerElement::eDIRECT) {
            element->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
            indices.RemoveAll();
            for (int index = 0; index < count; ++index) {
                if (indices.Add(index) < 0) {
                    break;
                }
            }
        }
        if (element->GetReferenceMode() != KFbxLayerElement::eINDEX_TO_DIRECT) {
            continue;
        }
        for (int index = 0; index < count; ++index) {
            Object* object = direct.GetAt(index);
            if (object != nullptr && !node->IsConnectedSrc(object)) {
                node->ConnectSrc(object);
            }
        }
        for (int entry = 0; entry < indices.GetCount(); ++entry) {
            if (indices.GetAt(entry) >= count) {
                indices.SetAt(entry, -1);
            }
        }
    }
}

template <class Visit>
void ForEachGeometry(KFbxScene& scene, Visit visit) {
    for (int index = 0; index < scene.GetGeometryCount(); ++index) {
        if (KFbxGeometry* geometry = scene.GetGeometry(index)) {
            visit(*geometry);
        }
    }
}

template <class Visit>
void ForEachNodeOfType(KFbxScene& scene, int type, Visit visit) {
    std::vector<KFbxNode*> nodes;
    scene.FillNodeArrayByAttributeType(nodes, type, false);
    for (KFbxNode* node : nodes) {
        visit(*node);
    }
}

}  // namespace

void FillFromConnections(KFbxGeometry& geometry, int channel) {
    if (channel == KFbxLayerElement::eMATERIAL) {
        Fill<KFbxLayerElementMaterial, KFbxSurfaceMaterial>(geometry, channel, true);
    } else if (KFbxLayerElement::IsTextureChannel(channel)) {
        Fill<KFbxLayerElementTexture, KFbxTexture>(geometry, channel, channel == KFbxLayerElement::eDIFFUSE_TEXTURES);
    }
}

void ConnectFromLayers(KFbxGeometry& geometry, int channel) {
    if (channel == KFbxLayerElement::eMATERIAL) {
        Connect<KFbxLayerElementMaterial, KFbxSurfaceMaterial>(geometry, channel);
    } else if (KFbxLayerElement::IsTextureChannel(channel)) {
        Connect<KFbxLayerElementTexture, KFbxTexture>(geometry, channel);
    }
}

void FillMaterialLayers(KFbxScene& scene) {
    ForEachGeometry(scene, [](KFbxGeometry& geometry) { FillFromConnections(geometry, KFbxLayerElement::eMATERIAL); });
}

void FillTextureLayers(KFbxScene& scene) {
    ForEachGeometry(scene, [](KFbxGeometry& geometry) {
        for (int channel : kChannelOrder) {
            FillFromConnections(geometry, channel);
        }
    });
}

void ConnectMaterials(KFbxScene& scene) {
    ForEachGeometry(scene, [](KFbxGeometry& geometry) { ConnectFromLayers(geometry, KFbxLayerElement::eMATERIAL); });
}

void ConnectTextures(KFbxScene& scene) {
    ForEachGeometry(scene, [](KFbxGeometry& geometry) {
        for (int channel : kChannelOrder) {
            ConnectFromLayers(geometry, channel);
        }
    });
}

void ConvertNurbsSurfaceNodes(KFbxScene& scene) {
    std::vector<KFbxNode*> nodes;
    scene.FillNodeArrayByAttributeType(nodes, KFbxNodeAttribute::eNURBS_SURFACE, false);
    if (nodes.empty()) {
        return;
    }
    KFbxGeometryConverter* converter = KFbxGeometryConverter::Create(scene.GetSdkManager(), "");
    if (converter == nullptr) {
        return;
    }
    for (KFbxNode* node : nodes) {
        // One surface per call; a node may carry several.
        for (int left = node->GetNodeAttributeCount(); left > 0 && converter->ConvertNodeNurbsSurfaceToNurb(node);
             --left) {
        }
    }
    converter->Destroy();
}

void ComputeMeshNormals(KFbxScene& scene) {
    ForEachNodeOfType(scene, KFbxNodeAttribute::eMESH, [](KFbxNode& node) {
        auto* mesh = dynamic_cast<KFbxMesh*>(node.GetMesh());
        if (mesh != nullptr && mesh->GetNormalsMappingMode() == KFbxLayerElement::eBY_POLYGON_VERTEX) {
            mesh->ComputeVertexNormals(false);
        }
    });
}

void RemoveNurbsCurveAttributes(KFbxScene& scene) {
    ForEachNodeOfType(scene, KFbxNodeAttribute::eNURBS_CURVE, [](KFbxNode& node) { node.SetNodeAttribute(nullptr); });
}

}  // namespace KFbxLayerReconciliation

}  // namespace fbxsdk_2006_11_1
