// Geometry elements into meshes: the mesh's "vertices" give the control
// points (and their colours); its primitive elements give the polygons and
// the layers (KFbxReaderColladaPolygons.cpp).
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlSource.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <string_view>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

// The text of the element's children that hold numbers: their arrays and
// index lists.
bool HoldsNumbers(const xmlNode* element) {
    const char* name = reinterpret_cast<const char*>(element->name);
    const std::string_view view = name != nullptr ? name : "";
    return view == "p" || view == "vcount" || (view.size() > 6 && view.substr(view.size() - 6) == "_array");
}

void UnlinkText(xmlNode* element) {
    for (xmlNode* child = element->children; child != nullptr;) {
        xmlNode* next = child->next;
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            // Its memory is the document's: the node is only taken out.
            xmlUnlinkNode(child);
        }
        child = next;
    }
}

// Nothing reads a mesh's numbers twice: once they are in the mesh, their
// text and parsed numbers go, and the numbers' memory serves the meshes read
// after.
void FreeNumberText(xmlNode* meshElement) {
    for (xmlNode* child : ChildElements(meshElement)) {
        for (xmlNode* holder : ChildElements(child)) {
            if (HoldsNumbers(holder)) {
                UnlinkText(holder);
                ReleaseParsedArray(holder);
            }
        }
    }
}

}  // namespace

bool KFbxReaderColladaPass::ImportGeometry(xmlNode* geometry) {
    const KString id = GetAttribute(geometry, "id");
    KFbxMesh* mesh = nullptr;
    for (xmlNode* child : ChildElements(geometry)) {
        if (IsNamed(child, "asset") || IsNamed(child, "extra")) {
            Warning(KString("Unrecognized geometry element: ") + GetName(child));
            continue;
        }
        if (!IsNamed(child, "mesh")) {
            return Error(KString("Unrecognized geometry element: ") + GetName(child));
        }
        if (mesh != nullptr) {
            return Error(KString("more than one mesh defined for library ") + id);
        }
        mesh = KFbxMesh::Create(&mManager, "");
        if (mesh == nullptr) {
            return Error(KString("could not create the mesh of geometry ") + id);
        }
        if (!(mStatus = ImportMesh(child, *mesh, id))) {
            mesh->Destroy();
            return false;
        }
        FreeNumberText(child);
        ColladaLibraryObject filed;
        filed.mObject = mesh;
        FileObject(id, filed, "geometry");
    }
    if (mesh == nullptr) {
        return Error(KString("no mesh found for library ") + id);
    }
    return true;
}

bool KFbxReaderColladaPass::ImportMesh(xmlNode* meshElement, KFbxMesh& mesh, const KString& id) {
    if (mesh.GetLayer(0) == nullptr && mesh.CreateLayer() < 0) {
        return Error(KString("could not create the layers of geometry ") + id);
    }
    if (mesh.GetNormals() == nullptr) {
        mesh.InitNormals(0);
    }
    std::vector<KFbxVector4> vertexNormals;
    if (!(mStatus = ImportVertices(meshElement, mesh, vertexNormals))) {
        return false;
    }
    mStatus = ImportPolygons(meshElement, mesh, id, vertexNormals);
    return mStatus;
}

bool KFbxReaderColladaPass::ImportVertices(xmlNode* meshElement, KFbxMesh& mesh,
                                           std::vector<KFbxVector4>& vertexNormals) {
    xmlNode* vertices = FindChild(meshElement, "vertices");
    if (vertices == nullptr) {
        return Error(KString("<vertex> node not found"));
    }
    std::vector<KFbxVector4> points;
    std::vector<KFbxVector4> normals;
    std::vector<KFbxColor> colors;
    for (xmlNode* input : ChildElements(vertices)) {
        if (!IsNamed(input, "input")) {
            continue;
        }
        const KString semantic = GetAttribute(input, "semantic");
        if (semantic == "UV" || semantic == "TEXCOORD") {
            WarningOnce(semantic.Buffer(), semantic + " not supported in vertices input");
            continue;
        }
        if (semantic != "POSITION" && semantic != "NORMAL" && semantic != "COLOR") {
            return Error(semantic + " not supported in vertices input");
        }
        const KString source = GetAttribute(input, "source");
        xmlNode* sourceElement = FindChildById(meshElement, GetReferenceId(input, "source").Buffer());
        if (sourceElement == nullptr) {
            return Error(KString("source ") + source + " not source in vertices input");
        }
        const bool read = semantic == "POSITION" ? ReadSourceVector3(sourceElement, points)
                          : semantic == "NORMAL" ? ReadSourceVector3(sourceElement, normals)
                                                 : ReadSourceColors(sourceElement, colors);
        if (!read) {
            return Error(KString("reading array in <source>: ") + source);
        }
    }
    const int count = static_cast<int>(points.size());
    mesh.InitControlPoints(count);
    if (count > 0) {
        KFbxVector4* controlPoints = mesh.GetControlPoints();
        if (controlPoints == nullptr || mesh.GetControlPointsCount() != count) {
            return Error(KString("could not store the control points of a mesh"));
        }
        std::copy(points.begin(), points.end(), controlPoints);
    }
    // Normals given here stand for the mesh's unless its primitives give their own.
    vertexNormals.clear();
    if (normals.size() >= points.size() && !points.empty()) {
        vertexNormals.assign(normals.begin(), normals.begin() + count);
    }
    if (colors.empty()) {
        return true;
    }
    if (colors.size() != points.size()) {
        // One colour per control point, whatever the source holds.
        Warning(KString("the COLOR input of <vertices> does not give one colour per position; colours are ") +
                "cut or padded with white");
        colors.resize(points.size(), KFbxColor(1.0, 1.0, 1.0, 1.0));
    }
    KFbxLayer* layer = mesh.GetLayer(0);
    if (layer->GetVertexColors() == nullptr) {
        layer->SetVertexColors(mManager.CreateLayerElementColor(""));
    }
    KFbxLayerElementVertexColor* element = layer->GetVertexColors();
    if (element == nullptr) {
        return Error(KString("could not create the vertex colours of a mesh"));
    }
    element->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    element->SetReferenceMode(KFbxLayerElement::eDIRECT);
    KFbxColorArray& direct = element->GetDirectArray();
    const int start = direct.GetCount();
    if (!direct.SetCount(start + static_cast<int>(colors.size()))) {
        return Error(KString("could not store the vertex colours of a mesh"));
    }
    std::copy(colors.begin(), colors.end(), direct.GetArray() + start);
    return true;
}

}  // namespace fbxsdk_2006_11_1
