#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>

#include <fbxfilesdk/collada/ColladaNodeCount.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/KFbxReaderCollada.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_set>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

// The single-precision 0.0001 that a unit must reach, as a double.
constexpr double kSmallestMeter = static_cast<double>(0.0001f);
constexpr double kCentimetresPerMetre = 100.0;

// The libraries read as they are met in the document.
constexpr const char* kPlainLibraries[] = {"library_animations", "library_cameras",       "library_controllers",
                                           "library_geometries", "library_lights",        "library_visual_scenes"};
// The libraries not read: a warning, once per reader.
constexpr const char* kUnreadLibraries[] = {"library_physics_materials", "library_physics_models",
                                            "library_physics_scenes", "library_force_fields",
                                            "library_animation_clips"};

template <std::size_t N>
bool IsOneOf(const char* name, const char* const (&names)[N]) {
    for (const char* candidate : names) {
        if (std::strcmp(name, candidate) == 0) {
            return true;
        }
    }
    return false;
}

// When a child of the document is read: controllers after the geometries
// they deform, visual scenes after everything their nodes instance.
constexpr int kReadingRanks = 3;
int ReadingRank(xmlNode* child) {
    const char* name = GetName(child);
    if (std::strcmp(name, "library_controllers") == 0 ||
        (std::strcmp(name, "library") == 0 && GetAttribute(child, "type") == "CONTROLLER")) {
        return 1;
    }
    return std::strcmp(name, "library_visual_scenes") == 0 ? 2 : 0;
}

// A version part as a number; 0 when it is not one.
int VersionNumber(const KString& text) {
    int value = 0;
    const char* begin = SkipBlanks(text.Buffer());
    std::from_chars(begin, text.Buffer() + text.GetLen(), value);
    return value;
}

}  // namespace

KFbxReaderColladaPass::KFbxReaderColladaPass(KFbxReaderCollada& reader, KFbxSdkManager& manager)
    : mReader(reader), mManager(manager), mNodeLimit(KFbxStreamOptionsColladaReader::kDefaultNodeLimit) {}

KFbxReaderColladaPass::~KFbxReaderColladaPass() {
    if (mSettings.mSceneInfo != nullptr) {
        mSettings.mSceneInfo->Destroy();
    }
    // After a failed read what was read into the scene goes.
    for (KFbxPose* pose : mScenePoses) {
        pose->Destroy();
    }
    if (mRoot != nullptr) {
        mRoot->Destroy(true, false);
    }
}

// ---- reporting ------------------------------------------------------------

bool KFbxReaderColladaPass::Error(const KString& message) {
    mReader.AddNotificationError(message);
    return false;
}

void KFbxReaderColladaPass::Warning(const KString& message) { mReader.AddNotificationWarning(message); }

void KFbxReaderColladaPass::WarningOnce(const char* key, const KString& message) {
    mReader.AddNotificationWarningOnce(key, message);
}

// ---- document ---------------------------------------------------------------

bool KFbxReaderColladaPass::ReadDocument(xmlNode* root) {
    if (!IsNamed(root, "COLLADA")) {
        return Error(KString("the document's root element is <") + GetName(root) + ">, not <COLLADA>");
    }
    mStatus = CheckColladaVersion(GetAttribute(root, "version"));
    if (!mStatus) {
        return false;
    }
    mSettings.mAmbientColor = KFbxColor(0.0, 0.0, 0.0, 1.0);
    mRoot = KFbxNode::Create(&mManager, "");
    if (mRoot == nullptr) {
        return Error(KString("could not create a root to read the scene under"));
    }
    CollectNodeElements(root);
    CollectSingleUseGeometries(root);
    if (!(mStatus = CheckNodeCount(root))) {
        return false;
    }
    xmlNode* asset = FirstElementFrom(root->children);
    if (asset == nullptr) {
        return true;
    }
    if (!IsNamed(asset, "asset")) {
        return Error(KString("<asset> node not found, at node: <") + GetName(asset) + ">");
    }
    mStatus = ImportAsset(asset);
    std::vector<xmlNode*> libraries;
    xmlNode* scene = nullptr;
    for (xmlNode* child = FirstElementFrom(asset->next); child != nullptr; child = FirstElementFrom(child->next)) {
        if (IsNamed(child, "scene")) {
            scene = child;
            break;
        }
        libraries.push_back(child);
    }
    // The schema lets libraries come in any order: each is read after those
    // it refers to, the others in document order.
    for (int rank = 0; rank < kReadingRanks && mStatus; ++rank) {
        for (std::size_t index = 0; index < libraries.size() && mStatus; ++index) {
            if (ReadingRank(libraries[index]) == rank) {
                mStatus = ImportRootChild(root, libraries[index]);
            }
        }
    }
    if (mStatus && scene != nullptr) {
        if (!(mStatus = ImportScene(scene))) {
            return false;
        }
        // Only extras may follow the scene.
        for (xmlNode* after = FirstElementFrom(scene->next); after != nullptr; after = FirstElementFrom(after->next)) {
            if (!IsNamed(after, "extra")) {
                return Error(KString("extra structure at the end of the main structure: <") + GetName(after) + ">");
            }
        }
    }
    return mStatus && (mStatus = ImportAnimations());
}

bool KFbxReaderColladaPass::ImportRootChild(xmlNode* root, xmlNode* child) {
    const char* name = GetName(child);
    if (IsOneOf(name, kPlainLibraries)) {
        return ImportLibrary(child);
    }
    if (IsOneOf(name, kUnreadLibraries)) {
        WarnUnsupportedLibrary(name);
        return true;
    }
    if (std::strcmp(name, "library_effects") == 0) {
        if (FindChild(root, "library_materials") == nullptr) {
            Warning(KString("library_effects exists but there is no library_materials using it.") +
                    " This library will not be read.");
        }
        return true;
    }
    if (std::strcmp(name, "library_images") == 0) {
        if (FindChild(root, "library_effects") == nullptr) {
            Warning(KString("library_images exists but there is no library_effects using it.") +
                    " This library will not be read.");
        }
        return true;
    }
    if (std::strcmp(name, "library_materials") == 0) {
        return ImportMaterialLibraries(root, child);
    }
    if (std::strcmp(name, "library_nodes") == 0) {
        // Its nodes are read where an instance_node names them.
        return true;
    }
    if (std::strcmp(name, "library") == 0) {
        WarningOnce("library", KString("structure ") + "library" + " is deprecated in Collada 1.4.");
        return ImportLibrary(child);
    }
    Warning(KString("unknown structure in the main structure: <") + name + ">");
    return true;
}

bool KFbxReaderColladaPass::ImportMaterialLibraries(xmlNode* root, xmlNode* materials) {
    if (!mMaterialLibrariesRead) {
        mMaterialLibrariesRead = true;
        std::vector<xmlNode*> images;
        std::vector<xmlNode*> effects;
        FindChildren(root, "library_images", images);
        FindChildren(root, "library_effects", effects);
        if (effects.empty()) {
            return Error(KString("library_materials exists but there is no library_effects for its materials."));
        }
        for (xmlNode* library : images) {
            if (!(mStatus = ImportLibrary(library))) {
                return false;
            }
        }
        for (xmlNode* library : effects) {
            if (!(mStatus = ImportLibrary(library))) {
                return false;
            }
        }
    }
    return ImportLibrary(materials);
}

bool KFbxReaderColladaPass::NodeLimitError() {
    mOverNodeLimit = true;
    return Error(KString("The document would create more than ") + static_cast<int>(mNodeLimit) +
                 " nodes, the limit of the import option \"NODE LIMIT\"; it is not read");
}

bool KFbxReaderColladaPass::CheckNodeCount(xmlNode* root) {
    ColladaNodeCount count(mNodeElements, mNodeLimit, kMaxNodeDepth);
    // Each visual scene is read once into its template...
    ColladaIdMap<const xmlNode*> visualScenes;
    for (xmlNode* library : ChildElements(root)) {
        if (!IsNamed(library, "library_visual_scenes")) {
            continue;
        }
        for (xmlNode* visualScene : ChildElements(library)) {
            if (IsNamed(visualScene, "visual_scene") && !count.IsOverLimit()) {
                visualScenes.Add(GetAttribute(visualScene, "id"), visualScene);
                count.AddVisualScene(visualScene);
            }
        }
    }
    // ... whose first instance takes those nodes, and each later one copies them.
    if (xmlNode* scene = FindChild(root, "scene")) {
        std::unordered_set<const xmlNode*> instanced;
        for (xmlNode* instance : ChildElements(scene)) {
            const xmlNode* const* visualScene =
                IsNamed(instance, "instance_visual_scene") ? visualScenes.Find(GetUrlReference(instance).mId) : nullptr;
            if (visualScene != nullptr && !instanced.insert(*visualScene).second && !count.IsOverLimit()) {
                count.AddVisualScene(*visualScene);
            }
        }
    }
    mNodesCounted = count.GetTotal();
    return count.IsOverLimit() ? NodeLimitError() : true;
}

bool KFbxReaderColladaPass::CountMeshCopy(const KFbxMesh& mesh) {
    // A copy costs a node for each thousand points and polygon corners it
    // holds, at least one: what a node costs, roughly.
    constexpr std::uint64_t kElementsPerNode = 1000;
    const auto elements =
        static_cast<std::uint64_t>(mesh.GetControlPointsCount()) + static_cast<std::uint64_t>(mesh.GetPolygonVertexCount());
    mNodesCounted += std::max<std::uint64_t>(elements / kElementsPerNode, 1);
    return mNodesCounted > mNodeLimit ? NodeLimitError() : true;
}

bool KFbxReaderColladaPass::CheckColladaVersion(const KString& version) {
    const int firstPoint = version.Find('.');
    if (firstPoint < 0) {
        return Error(KString("Bad syntax for version number (") + version + ")");
    }
    const int secondPoint = version.Find('.', firstPoint + 1);
    const int major = VersionNumber(version.Left(firstPoint));
    const int minor = VersionNumber(secondPoint < 0 ? version.Mid(firstPoint + 1)
                                                    : version.Mid(firstPoint + 1, secondPoint - firstPoint - 1));
    if (major < 1 || (major == 1 && minor < 4)) {
        Warning(KString("Old Collada format (") + version + "). " +
                "This format is weakly supported and could cause read errors. " + "There is strong support for Collada format " +
                "1" + "." + "4" + ".*.");
    } else if (major > 1 || minor > 4) {
        Warning(KString("Collada format ") + version + " newer than supported format " + "1" + "." + "4" + ".*." +
                " Might be weakly supported.");
    }
    return true;
}

bool KFbxReaderColladaPass::ImportAsset(xmlNode* asset) {
    mSettings.mSceneInfo = KFbxSceneInfo::Create(&mManager, "");
    KFbxSceneInfo* info = mSettings.mSceneInfo;
    for (xmlNode* child : ChildElements(asset)) {
        const char* name = GetName(child);
        if (std::strcmp(name, "up_axis") == 0) {
            const KString axis = GetContent(child);
            if (axis == "X_UP") {
                mSettings.mAxisSystem = KFbxAxisSystem(1, 2, 0);
            } else if (axis == "Y_UP") {
                mSettings.mAxisSystem = KFbxAxisSystem(2, 2, 0);
            } else if (axis == "Z_UP") {
                mSettings.mAxisSystem = KFbxAxisSystem(3, -2, 0);
            } else {
                Warning(KString("Unrecognized up_axis value: ") + axis);
                mSettings.mAxisSystem = KFbxAxisSystem(2, 2, 0);
            }
        } else if (std::strcmp(name, "unit") == 0) {
            const KString meterText = GetAttribute(child, "meter");
            double meter = 0.0;
            const char* begin = SkipBlanks(meterText.Buffer());
            const bool read =
                std::from_chars(begin, meterText.Buffer() + meterText.GetLen(), meter).ec == std::errc();
            if (!read || !std::isfinite(meter) || meter < kSmallestMeter ||
                !std::isfinite(meter * kCentimetresPerMetre)) {
                Warning(KString("Meter conversion factor is too small or invalid: ") + meterText + ". Using 1 instead.");
                meter = 1.0;
            }
            mSettings.mSystemUnit = KFbxSystemUnit(meter * kCentimetresPerMetre);
        } else if (std::strcmp(name, "contributor") == 0 && info != nullptr) {
            for (xmlNode* entry : ChildElements(child)) {
                if (IsNamed(entry, "author")) {
                    info->mAuthor = GetContent(entry);
                } else if (IsNamed(entry, "comments")) {
                    info->mComment = GetContent(entry);
                }
            }
        } else if (info != nullptr && std::strcmp(name, "title") == 0) {
            info->mTitle = GetContent(child);
        } else if (info != nullptr && std::strcmp(name, "subject") == 0) {
            info->mSubject = GetContent(child);
        } else if (info != nullptr && std::strcmp(name, "keywords") == 0) {
            info->mKeywords = GetContent(child);
        } else if (info != nullptr && std::strcmp(name, "revision") == 0) {
            info->mRevision = GetContent(child);
        }
    }
    return true;
}

// ---- libraries --------------------------------------------------------------

void KFbxReaderColladaPass::WarnUnsupportedLibrary(const char* name) {
    WarningOnce(name, KString("library type not supported: ") + name);
}

namespace {

bool HasContent(const ColladaLibraryObject& object) {
    const auto* mesh = dynamic_cast<const KFbxMesh*>(object.mObject);
    return !object.IsEmpty() && (mesh == nullptr || mesh->GetControlPointsCount() > 0);
}

}  // namespace

void KFbxReaderColladaPass::FileObject(const KString& id, const ColladaLibraryObject& object, const char* element) {
    ColladaLibraryObject* filed = mObjects.Find(id);
    if (filed == nullptr) {
        mObjects.Add(id, object);
        return;
    }
    KFbxNodeAttribute* unused = object.mObject;
    if (!HasContent(*filed) && HasContent(object)) {
        unused = filed->mObject;
        *filed = object;
    }
    Warning(KString("Duplicate id ") + id + ": the <" + element + "> with content is used, the other is left out");
    if (unused != nullptr) {
        unused->Destroy();
    }
}

bool KFbxReaderColladaPass::ImportLibraryChildren(xmlNode* library, const char* childName,
                                                  bool (KFbxReaderColladaPass::*import)(xmlNode*)) {
    for (xmlNode* child : ChildElements(library)) {
        if (IsNamed(child, childName) && !(mStatus = (this->*import)(child))) {
            return false;
        }
    }
    return true;
}

bool KFbxReaderColladaPass::ImportLibrary(xmlNode* library) {
    const char* name = GetName(library);
    const KString type = std::strcmp(name, "library") == 0 ? GetAttribute(library, "type") : KString("");
    const auto is = [&](const char* element, const char* oldType) {
        return std::strcmp(name, element) == 0 || (oldType != nullptr && type == oldType);
    };
    if (is("library_geometries", "GEOMETRY")) {
        return ImportLibraryChildren(library, "geometry", &KFbxReaderColladaPass::ImportGeometry);
    }
    if (is("library_controllers", "CONTROLLER")) {
        return ImportLibraryChildren(library, "controller", &KFbxReaderColladaPass::ImportController);
    }
    if (is("library_materials", "MATERIAL")) {
        return ImportLibraryChildren(library, "material", &KFbxReaderColladaPass::ImportMaterial);
    }
    if (is("library_effects", nullptr)) {
        return ImportLibraryChildren(library, "effect", &KFbxReaderColladaPass::ImportEffect);
    }
    if (is("library_images", "IMAGE")) {
        return ImportLibraryChildren(library, "image", &KFbxReaderColladaPass::ImportImage);
    }
    if (is("library_cameras", "CAMERA")) {
        return ImportLibraryChildren(library, "camera", &KFbxReaderColladaPass::ImportCamera);
    }
    if (is("library_lights", "LIGHT")) {
        return ImportLibraryChildren(library, "light", &KFbxReaderColladaPass::ImportLight);
    }
    if (is("library_animations", "ANIMATION")) {
        // Read last, once the scene holds the nodes they animate.
        FindChildren(library, "animation", mAnimations);
        return true;
    }
    if (is("library_visual_scenes", nullptr)) {
        return ImportLibraryChildren(library, "visual_scene", &KFbxReaderColladaPass::ImportVisualScene);
    }
    if (type == "PHYSICS") {
        WarnUnsupportedLibrary("PHYSICS");
        return true;
    }
    if (IsOneOf(name, kUnreadLibraries)) {
        WarnUnsupportedLibrary(name);
        return true;
    }
    return Error(KString("Unrecognized library element: ") + name);
}

}  // namespace fbxsdk_2006_11_1
