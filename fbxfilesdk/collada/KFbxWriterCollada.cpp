#include <fbxfilesdk/collada/KFbxWriterCollada.h>

#include <fbxfilesdk/collada/ColladaXmlLibrary.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlWrite.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KFbxSystemUtils.h>
#include <fbxfilesdk/core/KFbxUserNotification.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/scene/KFbxAxisSystem.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxSystemUnit.h>

#include <libxml/xmlsave.h>

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <new>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

using namespace ColladaXml;

// The notification entry that collects what file readers and writers report.
constexpr int kNotificationEntry = 6;
constexpr const char* kNamespace = "http://www.collada.org/2005/11/COLLADASchema";
constexpr const char* kVersion = "1.4.1";
constexpr const char* kLibraryNames[KFbxWriterCollada::eLIBRARY_COUNT] = {
    "library_images",  "library_materials", "library_effects", "library_geometries", "library_controllers",
    "library_animations", "library_lights", "library_cameras", "library_visual_scenes"};

// Text that XML 1.0 can hold: valid UTF-8 stays; a text that is not UTF-8
// is taken as Latin-1; control characters XML refuses become '?'.
KString ToXmlText(const KString& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.Buffer());
    const int length = text.GetLen();
    const bool utf8 = xmlCheckUTF8(bytes) != 0;
    std::string out;
    for (int index = 0; index < length; ++index) {
        const unsigned char c = bytes[index];
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            out += '?';
        } else if (c < 0x80 || utf8) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return KString(out.c_str());
}

// The UTC time as xs:dateTime.
KString CurrentTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[64];
    std::snprintf(text, sizeof(text), "%d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return KString(text);
}

// Gives every element of the tree without a namespace the document's, so the
// tree in memory is what the saved file says.
void SetNamespace(xmlNode* element, xmlNs* ns) {
    for (xmlNode* node = element; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            if (node->ns == nullptr) {
                xmlSetNs(node, ns);
            }
            SetNamespace(node->children, ns);
        }
    }
}

}  // namespace

void KFbxWriterCollada::FreeNode::operator()(xmlNode* node) const { xmlFreeNode(node); }

KFbxWriterCollada::KFbxWriterCollada(KFbxSdkManager& manager) : KFbxWriter(manager) {
    mFramePeriod.SetSecondDouble(1.0 / 30.0);
}

KFbxWriterCollada::~KFbxWriterCollada() { FileClose(); }

bool KFbxWriterCollada::FileCreate(const char* fileName) {
    FileClose();
    mError.ClearError();
    if (fileName == nullptr || fileName[0] == '\0') {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    // The path as given: the SDK's clean form joins parts with '\', which
    // names another file on POSIX systems.
    const KString path(fileName);
    KFbxCreateDirectoryPath(path.Buffer());
    StartOutput();
    if (!mOutput.Open(path.Buffer())) {
        AddNotificationError(SetOpenFailure(path.Buffer(), errno));
        mFileName = KString();
        return false;
    }
    mFileName = path;
    return true;
}

bool KFbxWriterCollada::FileClose() {
    const bool closed = mOutput.Close(IsOutputWhole());
    if (!closed) {
        AddNotificationError(SetWriteFailure(mFileName.Buffer(), errno));
    }
    mFileName = KString();
    return closed;
}

bool KFbxWriterCollada::IsFileOpen() { return mOutput.IsOpen(); }

KFbxStreamOptions* KFbxWriterCollada::GetWriteOptions() {
    return KFbxStreamOptionsColladaWriter::Create(&mManager, "");
}

bool KFbxWriterCollada::PreprocessScene(KFbxScene& /*scene*/) { return true; }

bool KFbxWriterCollada::PostprocessScene(KFbxScene& /*scene*/) { return false; }

void KFbxWriterCollada::ResetDocumentState() {
    mLibraryOwners.clear();
    mTreeTops.Forget();
    mLibraries.fill(nullptr);
    mIds.Clear();
    mShapeTargets.clear();
    mMaterialSymbols.clear();
    mStandInMaterials.clear();
    mMaterialElements.clear();
    mTextureMaterials.clear();
    mTemporaryNodes.clear();
    mMatrixNodes.clear();
    mDocumentFolder.reset();
    mStatus = true;
}

xmlNode* KFbxWriterCollada::GetLibrary(ELibrary library) {
    if (mLibraries[library] == nullptr) {
        xmlNode* element = xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>(kLibraryNames[library]));
        if (element == nullptr) {
            SetFailed();
            return nullptr;
        }
        mLibraryOwners.emplace_back(element);
        mLibraries[library] = element;
    }
    return mLibraries[library];
}

const KString& KFbxWriterCollada::GetNodeId(const KFbxNode& node) {
    return mIds.Get(&node, "node", node.GetNameString());
}

void KFbxWriterCollada::ReserveNodeIds(KFbxNode& node) {
    GetNodeId(node);
    for (int index = 0; index < node.GetChildCount(); ++index) {
        if (KFbxNode* child = node.GetChild(index)) {
            ReserveNodeIds(*child);
        }
    }
}

bool KFbxWriterCollada::Write(KFbxScene* scene, KFbxStreamOptions* options) {
    const bool written = WriteDocument(scene, options);
    NoteWrite(written);
    return written;
}

bool KFbxWriterCollada::WriteDocument(KFbxScene* scene, KFbxStreamOptions* options) {
    mError.ClearError();
    mMessage = KString();
    auto* colladaOptions = dynamic_cast<KFbxStreamOptionsColladaWriter*>(options);
    if (colladaOptions == nullptr || scene == nullptr || scene->GetRootNode() == nullptr) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        return false;
    }
    if (!IsFileOpen()) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    // Every walk below takes a stack frame per level: the depth is known
    // first, and a scene too deep is refused before any of them.
    if (!CheckNodeDepth(*scene->GetRootNode())) {
        return false;
    }
    mTriangulate = colladaOptions->GetBoolOption("TRIANGULATE", true);
    mSingleMatrix = colladaOptions->GetBoolOption("SINGLE MATRIX", false);
    mFramePeriod = colladaOptions->GetFramePeriod();
    PreprocessScene(*scene);
    ResetDocumentState();
    mScene = scene;
    // Nodes get their ids first, so that their names win over the ids that
    // other objects derive from theirs.
    ReserveNodeIds(*scene->GetRootNode());

    ColladaReadyXml();
    std::unique_ptr<xmlNode, FreeNode> root(xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>("COLLADA")));
    xmlNs* ns = root != nullptr ? xmlNewNs(root.get(), reinterpret_cast<const xmlChar*>(kNamespace), nullptr)
                                : nullptr;
    if (ns == nullptr) {
        AddNotificationError("Could not create the document.");
        mError.SetError(eUNIDENTIFIED_ERROR);
        return false;
    }
    xmlSetNs(root.get(), ns);
    SetAttribute(root.get(), "version", kVersion);

    xmlNode* asset = ExportAsset(root.get(), scene->GetSceneInfo());
    if (asset != nullptr) {
        ExportScene(root.get(), *scene);
        ExportSceneAmbientLight();
        if (!ExportShapeGeometries(FindChild(mLibraries[eLIBRARY_VISUAL_SCENES], "visual_scene"))) {
            SetFailed();
        }
        if (!ExportLibraryAnimations(*scene->GetRootNode())) {
            SetFailed();
        }
        AttachLibraries(asset);
    } else {
        SetFailed();
    }
    const bool built = !HasFailed();
    const bool saved = built && SaveDocument(root.release());
    mScene = nullptr;
    ResetDocumentState();
    if (!built) {
        mError.SetError(eFILE_CORRUPTED);
        AddNotificationError(KString("The document was not written to ") + mFileName + ".");
    }
    return saved;
}

bool KFbxWriterCollada::SaveDocument(xmlNode* root) {
    std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> document(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")),
                                                       xmlFreeDoc);
    if (document == nullptr) {
        xmlFreeNode(root);
        return false;
    }
    xmlDocSetRootElement(document.get(), root);
    SetNamespace(root, root->ns);
    xmlChar* bytes = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(document.get(), &bytes, &size, "utf-8", 1);
    if (bytes == nullptr || size <= 0) {
        xmlFree(bytes);
        mError.SetError(eFILE_CORRUPTED);
        AddNotificationError(KString("The document was not written to ") + mFileName + ".");
        return false;
    }
    // A second write through the same writer replaces the first document.
    std::FILE* file = mOutput.Stream();
    errno = 0;
    const bool written = std::fseek(file, 0, SEEK_SET) == 0 &&
                         std::fwrite(bytes, 1, static_cast<std::size_t>(size), file) ==
                             static_cast<std::size_t>(size) &&
                         std::fflush(file) == 0 && ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
    xmlFree(bytes);
    if (!written) {
        // The document was whole: only the file refused it.
        AddNotificationError(SetWriteFailure(mFileName.Buffer(), errno));
    }
    return written;
}

xmlNode* KFbxWriterCollada::ExportAsset(xmlNode* root, const KFbxSceneInfo* sceneInfo) {
    // Children in the schema's order: contributor, created, keywords,
    // modified, revision, subject, title, unit, up_axis.
    xmlNode* asset = AddElement(root, "asset");
    xmlNode* contributor = AddElement(asset, "contributor");
    if (contributor == nullptr) {
        return nullptr;
    }
    if (sceneInfo != nullptr) {
        AddElement(contributor, "author", ToXmlText(sceneInfo->mAuthor).Buffer());
    }
    AddElement(contributor, "authoring_tool", "FBX COLLADA exporter");
    if (sceneInfo != nullptr) {
        AddElement(contributor, "comments", ToXmlText(sceneInfo->mComment).Buffer());
    }
    const KString now = CurrentTimeText();
    AddElement(asset, "created", now.Buffer());
    if (sceneInfo != nullptr) {
        AddElement(asset, "keywords", ToXmlText(sceneInfo->mKeywords).Buffer());
    }
    AddElement(asset, "modified", now.Buffer());
    if (sceneInfo != nullptr) {
        AddElement(asset, "revision", ToXmlText(sceneInfo->mRevision).Buffer());
        AddElement(asset, "subject", ToXmlText(sceneInfo->mSubject).Buffer());
        AddElement(asset, "title", ToXmlText(sceneInfo->mTitle).Buffer());
    }

    const KFbxGlobalSettings* settings = mScene != nullptr ? mScene->GetGlobalSettings() : nullptr;
    double meter = 0.01;
    const char* upAxis = "Y_UP";
    if (settings != nullptr) {
        const double scale = settings->GetSystemUnit().GetScaleFactor() / 100.0;
        meter = std::isfinite(scale) && scale > 0.0 ? scale : 0.01;
        int sign = 1;
        const int axis = settings->GetAxisSystem().GetUpVector(sign);
        if (axis == 1) {
            upAxis = "X_UP";
        } else if (axis == 2) {
            upAxis = "Y_UP";
        } else if (axis == 3) {
            upAxis = "Z_UP";
        } else {
            AddNotificationWarning("Invalid up-axis: default Y up is used");
        }
        if (sign < 0) {
            AddNotificationWarning("Invalid direction for up-axis: exporter should convert scene.");
        }
        if (settings->GetAxisSystem().GetCoordSystem() != 0) {
            AddNotificationWarning("Axis system is Left Handed: exporter should convert scene.");
        }
    }
    xmlNode* unit = AddElement(asset, "unit");
    SetAttribute(unit, "meter", FormatNumber(meter).Buffer());
    AddElement(asset, "up_axis", upAxis);
    return asset;
}

xmlNode* KFbxWriterCollada::CreateVisualSceneElement(KFbxNode& rootNode) {
    xmlNode* visualScene = xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>("visual_scene"));
    const KString& id = GetNodeId(rootNode);
    SetAttribute(visualScene, "id", id.Buffer());
    SetAttribute(visualScene, "name", id.Buffer());
    return visualScene;
}

xmlNode* KFbxWriterCollada::ExportScene(xmlNode* root, KFbxScene& scene) {
    KFbxNode& rootNode = *scene.GetRootNode();
    xmlNode* visualScene = CreateVisualSceneElement(rootNode);
    if (visualScene == nullptr) {
        AddNotificationError("Could not export scene node.");
        SetFailed();
        return nullptr;
    }
    xmlNode* library = GetLibrary(eLIBRARY_VISUAL_SCENES);
    if (library == nullptr) {
        xmlFreeNode(visualScene);
        return nullptr;
    }
    xmlAddChild(library, visualScene);
    for (int index = 0; index < rootNode.GetChildCount(); ++index) {
        if (KFbxNode* child = rootNode.GetChild(index)) {
            ExportNodeRecursive(visualScene, *child);
        }
    }
    xmlNode* sceneElement = AddElement(root, "scene");
    xmlNode* instance = AddElement(sceneElement, "instance_visual_scene");
    SetAttribute(instance, "url", (KString("#") + GetNodeId(rootNode)).Buffer());
    return visualScene;
}

xmlNode* KFbxWriterCollada::ExportNodeRecursive(xmlNode* parent, KFbxNode& node) {
    xmlNode* element = ExportNode(parent, node);
    if (element == nullptr) {
        AddNotificationError(KString("Could not export node ") + node.GetNameString());
        SetFailed();
        return nullptr;
    }
    for (int index = 0; index < node.GetChildCount(); ++index) {
        if (KFbxNode* child = node.GetChild(index)) {
            ExportNodeRecursive(element, *child);
        }
    }
    return element;
}

bool KFbxWriterCollada::AttachLibraries(xmlNode* asset) {
    // A visual scene must hold a node: a scene with nothing below its root
    // is written without one (and without the scene that would instance it).
    xmlNode* visualScene = FindChild(mLibraries[eLIBRARY_VISUAL_SCENES], "visual_scene");
    if (visualScene != nullptr && FindChild(visualScene, "node") == nullptr) {
        mLibraries[eLIBRARY_VISUAL_SCENES] = nullptr;
        if (xmlNode* scene = FindChild(asset->parent, "scene")) {
            xmlUnlinkNode(scene);
            xmlFreeNode(scene);
        }
    }
    xmlNode* previous = asset;
    for (xmlNode*& library : mLibraries) {
        if (library != nullptr && library->children != nullptr) {
            previous = xmlAddNextSibling(previous, library);
        }
    }
    // What is in the tree now belongs to it; the rest is freed with the owners.
    for (auto& owner : mLibraryOwners) {
        if (owner->parent != nullptr) {
            static_cast<void>(owner.release());
        }
    }
    return true;
}

KFbxVector4 KFbxWriterCollada::GetOrientationFix(const KFbxNode& node) {
    const KFbxNodeAttribute* attribute = node.GetNodeAttribute();
    if (attribute == nullptr) {
        return KFbxVector4(0.0, 0.0, 0.0, 0.0);
    }
    if (attribute->GetAttributeType() == KFbxNodeAttribute::eLIGHT) {
        const auto* light = static_cast<const KFbxLight*>(attribute);
        const int type = light->GetLightType();
        if (type == KFbxLight::eSPOT || type == KFbxLight::eDIRECTIONAL) {
            return KFbxVector4(90.0, 0.0, 0.0, 0.0);
        }
    } else if (attribute->GetAttributeType() == KFbxNodeAttribute::eCAMERA) {
        return KFbxVector4(0.0, 90.0, 0.0, 0.0);
    }
    return KFbxVector4(0.0, 0.0, 0.0, 0.0);
}

void KFbxWriterCollada::Report(const char* prefix, const KString& message) {
    if (KFbxUserNotification* notification = mManager.GetUserNotification()) {
        notification->AddDetail(kNotificationEntry, KString(prefix) + message);
    }
    mMessage += prefix;
    mMessage += message;
    if (message.GetLen() == 0 || message[message.GetLen() - 1] != '\n') {
        mMessage += '\n';
    }
}

void KFbxWriterCollada::AddNotificationError(const KString& message) { Report("ERROR: ", message); }

void KFbxWriterCollada::AddNotificationWarning(const KString& message) { Report("Warning: ", message); }

KFbxWriter* CreateColladaWriter(KFbxSdkManager& manager, KFbxIO* /*io*/, int /*subFormat*/) {
    return new (std::nothrow) KFbxWriterCollada(manager);
}

}  // namespace fbxsdk_2006_11_1
