// The FBX 6 reader's models, their property blocks and the objects that
// carry only properties.
#include <fbxfilesdk/fbx/KFbxReaderFbx6Pass.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalTimeSettings.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

using namespace fbx6read;

namespace {

// Derived values a material record carries for older readers; the material's
// own properties hold the same information.
const char* const kDerivedChannels[] = {"Emissive", "Ambient", "Diffuse", "Specular",
                                        "Shininess", "Opacity", "Reflectivity"};

bool IsOneOf(const char* text, const char* const* names, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (std::strcmp(text, names[i]) == 0) {
            return true;
        }
    }
    return false;
}

bool IsSkeleton(const std::vector<KString>& typeFlags) {
    for (const KString& flag : typeFlags) {
        if (flag == "Skeleton") {
            return true;
        }
    }
    return false;
}

bool IsMarker(const KString& typeName) {
    return typeName == "Marker" || typeName == "OpticalMarker" || typeName == "IKEffector" ||
           typeName == "FKEffector";
}

// The attribute class of a model that is neither a skeleton nor a marker;
// null for the kinds a record of their own attaches.
const char* AttributeClassOf(const KString& typeName) {
    static const struct {
        const char* mType;
        const char* mClass;
    } kClasses[] = {{"Mesh", "KFbxMesh"},          {"Camera", "KFbxCamera"},
                    {"Light", "KFbxLight"},        {"CameraSwitcher", "KFbxCameraSwitcher"},
                    {"Nurb", "KFbxNurb"},          {"Patch", "KFbxPatch"},
                    {"NurbsCurve", nullptr},       {"NurbsSurface", nullptr},
                    {"Boundary", nullptr},         {"TrimNurbsSurface", nullptr}};
    for (const auto& entry : kClasses) {
        if (typeName == entry.mType) {
            return entry.mClass;
        }
    }
    return "KFbxNull";
}

bool MakesNull(const KString& typeName, const std::vector<KString>& typeFlags) {
    const char* className = IsSkeleton(typeFlags) || IsMarker(typeName) ? nullptr : AttributeClassOf(typeName);
    return className != nullptr && std::strcmp(className, "KFbxNull") == 0;
}

// Shading letters of the "Shading" record, for shading words 1 to 5.
int ShadingWordOf(char letter) {
    const char letters[] = {'W', 'F', 'Y', 'T', 'U'};
    for (int i = 0; i < 5; ++i) {
        if (letters[i] == letter) {
            return i + 1;
        }
    }
    return 0;
}

int CullingWordOf(const KString& word) {
    if (word == "CullingOnCCW") {
        return 1;
    }
    return word == "CullingOnCW" ? 2 : 0;
}

// Reads the value of a "Property" record into the property, by the
// property's own value type. False when an enum value lies outside the
// property's enumeration: the property then keeps its value.
bool ReadPropertyValue(KFbx& file, KFbxProperty& property, bool animatable, bool user) {
    const EFbxValueType type = property.GetPropertyDataType().GetType();
    switch (type) {
        case eFbxValueBool: {
            const bool value = NextI(file) != 0;
            property.Set(&value, type);
            break;
        }
        case eFbxValueInteger: {
            const int value = NextI(file);
            property.Set(&value, type);
            if (animatable && user && file.FieldGetRemainingValueCount() >= 2) {
                property.SetMinLimit(NextI(file));
                property.SetMaxLimit(NextI(file));
            }
            break;
        }
        case eFbxValueEnum: {
            const int value = NextI(file);
            if (user && file.FieldGetRemainingValueCount() > 0 && property.GetEnumCount() == 0) {
                const std::string names = NextS(file).Buffer();
                std::size_t start = 0;
                while (!names.empty()) {
                    const std::size_t end = names.find('~', start);
                    property.AddEnumValue(names.substr(start, end - start).c_str());
                    if (end == std::string::npos) {
                        break;
                    }
                    start = end + 1;
                }
            }
            // Code that switches on the value (a rotation order, a light
            // type) may index by it: only values of the enumeration go in.
            if (property.GetEnumCount() > 0 && (value < 0 || value >= property.GetEnumCount())) {
                return false;
            }
            property.Set(&value, type);
            break;
        }
        case eFbxValueFloat: {
            const float value = static_cast<float>(NextD(file));
            property.Set(&value, type);
            break;
        }
        case eFbxValueDouble: {
            const double value = NextD(file);
            property.Set(&value, type);
            if (animatable && user && file.FieldGetRemainingValueCount() >= 2) {
                property.SetMinLimit(NextD(file));
                property.SetMaxLimit(NextD(file));
            }
            break;
        }
        case eFbxValueDouble3:
        case eFbxValueDouble4:
        case eFbxValueDouble44: {
            // The values of one vector or matrix, without a vector per record;
            // longer lists than a matrix's go the general way.
            constexpr int kMost = 16;
            double fixed[kMost] = {};
            std::vector<double> longer;
            const int remaining = file.FieldGetRemainingValueCount();
            const double* values = fixed;
            std::size_t count = 0;
            if (remaining > kMost) {
                longer = RestD(file);
                values = longer.data();
                count = longer.size();
            } else if (remaining > 0) {
                count = static_cast<std::size_t>(file.FieldReadArrayD(fixed, remaining));
            }
            if (type == eFbxValueDouble3 && count >= 3) {
                fbxDouble3 value(values[0], values[1], values[2]);
                property.Set(&value, type);
            } else if (type == eFbxValueDouble4 && count >= 4) {
                fbxDouble4 value(values[0], values[1], values[2], values[3]);
                property.Set(&value, type);
            } else if (type == eFbxValueDouble44 && count >= 16) {
                fbxDouble44 value;
                for (int i = 0; i < 16; ++i) {
                    value[i / 4][i % 4] = values[i];
                }
                property.Set(&value, type);
            }
            break;
        }
        case eFbxValueString: {
            const KString value = NextS(file);
            property.Set(&value, type);
            break;
        }
        case eFbxValueTime: {
            const KTime value = NextT(file);
            property.Set(&value, type);
            break;
        }
        default:
            break;
    }
    return true;
}

}  // namespace

void KFbxReaderFbx6Pass::ReadModel(const KString& prefixedName, const KString& typeName) {
    const KString name = WithoutPrefix(prefixedName);
    // The scene makes its producer cameras itself; their records set them
    // and are no nodes of the hierarchy. A model of another type that bears
    // one of their names is a node like any other.
    KFbxNode* node = nullptr;
    KFbxObject* attribute = nullptr;
    if (const int producer = ProducerCameraOf(name, typeName); producer >= 0) {
        node = mScene.GetGlobalCameraSettings().GetProducerCameraNode(producer);
        if (node == nullptr) {
            return;
        }
        attribute = node->GetNodeAttribute();
    }
    // The scene has its own switcher node too: the record FindSwitcherRecord
    // chose sets it, with its name. Any other model of the type is a node of
    // the tree that carries a switcher of its own (a copy of the scene's,
    // say), kept where the file puts it with its subtree.
    KFbxNode* sceneSwitcher = mScene.GetCameraSwitcherNode();
    const bool switcherType = typeName == "CameraSwitcher";
    const bool setsSwitcher = switcherType && mSwitcherRecord == prefixedName.Buffer();
    if (setsSwitcher) {
        // One record sets it, whatever others bear the same name.
        mSwitcherRecord.reset();
    }
    // No writer gives a node of the tree a producer camera's name: such a
    // switcher model is a damaged camera record, and is left out.
    if (node == nullptr && switcherType && ProducerCameraOf(name, KString("Camera")) >= 0) {
        if (mMessages != nullptr) {
            *mMessages += KString("The model \"") + prefixedName +
                          "\" is left out: a camera switcher does not bear a producer camera's name\n";
        }
        return;
    }
    if (node == nullptr && setsSwitcher && sceneSwitcher != nullptr) {
        node = sceneSwitcher;
        node->SetName(name.Buffer());
        attribute = node->GetNodeAttribute();
    }
    const bool created = node == nullptr;
    if (created) {
        std::vector<KString> typeFlags;
        if (mFile.FieldReadBegin("TypeFlags")) {
            typeFlags = RestS(mFile);
            mFile.FieldReadEnd();
        }
        node = KFbxNode::Create(&mManager, name.Buffer());
        if (node == nullptr) {
            return;
        }
        // A null with no property block would be dropped again below, so
        // the many bare models of a hand-written file get none made at all.
        const bool bareNull = MakesNull(typeName, typeFlags) && !mFile.FieldReadExists("Properties60");
        attribute = bareNull ? nullptr : CreateAttribute(typeName, typeFlags, "");
        if (auto* nodeAttribute = dynamic_cast<KFbxNodeAttribute*>(attribute)) {
            node->SetNodeAttribute(nodeAttribute);
        }
        mCreatedNodes.push_back(node);
    }
    mNodes.push_back(node);
    Remember(prefixedName, node);
    node->SetOldFile(mFile.FieldReadIDefault("Version", 232) < 232);
    const int ownProperties = node->GetPropertyCount();
    int attributeProperties = 0;
    if (mFile.FieldReadBegin("Properties60")) {
        if (mFile.FieldReadBlockBegin()) {
            attributeProperties = ReadProperties(*node, attribute);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    // A model without attribute is stored as a null whose block lists none
    // of a null's properties: it comes back without one.
    if (created && attributeProperties == 0 && dynamic_cast<KFbxNull*>(attribute) != nullptr) {
        if (KFbxNodeAttribute* old = node->SetNodeAttribute(nullptr)) {
            old->Destroy();
        }
        attribute = nullptr;
    }
    if (attributeProperties > 0) {
        GiveAttributeValuesToChannels(*node, *attribute);
    }
    ReadModelFlags(*node);
    ReadAttributeFields(*node, attribute);
    if (auto* geometry = dynamic_cast<KFbxGeometry*>(attribute)) {
        GiveShapeWeightsToGeometry(*node, ownProperties, *geometry);
    }
    // Only a node this record made can take the switcher's place: a producer
    // camera record claiming the switcher type would otherwise give one node
    // two owners and drop another model from the nodes made here.
    if (created && setsSwitcher) {
        mScene.SetCameraSwitcherNode(node);
        mCreatedNodes.pop_back();
    } else if (created) {
        // The scene lists its nodes in the order of the records, as the
        // writer had them; the connections only place them in the tree.
        mScene.ConnectObject(node);
    }
}

void KFbxReaderFbx6Pass::GiveShapeWeightsToGeometry(KFbxNode& node, int ownProperties, KFbxGeometry& geometry) {
    // A shape's weight is listed among the model's properties, before the
    // geometry's shapes are read: the property the block made for it on the
    // node is the geometry's, which has it by now.
    std::vector<KFbxProperty> moved;
    for (int i = ownProperties; i < node.GetPropertyCount(); ++i) {
        const KFbxProperty property = node.GetPropertyAt(i);
        for (int s = 0; property.IsValid() && s < geometry.GetShapeCount(); ++s) {
            KFbxProperty weight = geometry.FindProperty(geometry.GetShapeName(s));
            if (weight.IsValid() && std::strcmp(property.GetName(), geometry.GetShapeName(s)) == 0) {
                double value = 0.0;
                property.Get(&value, eFbxValueDouble);
                weight.Set(&value, eFbxValueDouble);
                moved.push_back(property);
            }
        }
    }
    for (KFbxProperty& property : moved) {
        property.Destroy();
    }
}

void KFbxReaderFbx6Pass::GiveAttributeValuesToChannels(KFbxNode& node, const KFbxObject& attribute) {
    // An attribute with channels of its own made the default take when it
    // joined the node, with its class defaults; one without has no links.
    auto* withChannels = dynamic_cast<const KFbxNodeAttribute*>(&attribute);
    if (withChannels == nullptr || !withChannels->HasTakeNodeTemplate()) {
        return;
    }
    // A curve's new value is written back, as a float, into its property:
    // every value is taken first, and the properties get theirs back whole.
    std::vector<std::pair<KFbxPropertyLink*, double>> values;
    for (int i = 0; i < node.GetPropertyLinkCount(); ++i) {
        KFbxPropertyLink* link = node.GetPropertyLink(i);
        if (link != nullptr && link->mCurve != nullptr && link->mProperty.GetObject() == &attribute) {
            values.emplace_back(link, GetPropertyComponent(link->mProperty, link->mComponent));
        }
    }
    for (const auto& [link, value] : values) {
        link->mCurve->SetValue(static_cast<float>(value));
    }
    for (const auto& [link, value] : values) {
        SetPropertyComponent(link->mProperty, link->mComponent, value);
    }
}

KFbxObject* KFbxReaderFbx6Pass::CreateAttribute(const KString& typeName, const std::vector<KString>& typeFlags,
                                                const char* name) {
    if (IsSkeleton(typeFlags)) {
        auto* bone = KFbxSkeleton::Create(&mManager, name);
        if (bone != nullptr) {
            bone->SetSkeletonType(typeName == "Limb"       ? KFbxSkeleton::eLIMB
                                  : typeName == "LimbNode" ? KFbxSkeleton::eLIMB_NODE
                                                           : KFbxSkeleton::eROOT);
        }
        return bone;
    }
    if (IsMarker(typeName)) {
        auto* marker = KFbxMarker::Create(&mManager, name);
        if (marker != nullptr) {
            marker->SetType(typeName == "OpticalMarker" ? KFbxMarker::eOPTICAL
                            : typeName == "IKEffector"  ? KFbxMarker::eIK_EFFECTOR
                            : typeName == "FKEffector"  ? KFbxMarker::eFK_EFFECTOR
                                                        : KFbxMarker::eSTANDARD);
        }
        return marker;
    }
    const char* className = AttributeClassOf(typeName);
    if (className == nullptr) {
        // Stored in a "Geometry" record of its own, which a connection attaches.
        return nullptr;
    }
    KFbxObject* attribute = CreateObject(className, name);
    if (attribute == nullptr && std::strcmp(className, "KFbxNull") != 0) {
        // A kind this build cannot make still keeps its place in the hierarchy.
        attribute = CreateObject("KFbxNull", name);
    }
    return attribute;
}

void KFbxReaderFbx6Pass::ReadModelFlags(KFbxNode& node) {
    node.SetMultiLayer(mFile.FieldReadIDefault("MultiLayer", 0) != 0);
    node.SetMultiTake(mFile.FieldReadIDefault("MultiTake", 0));
    if (mFile.FieldReadSDefault("Hidden", "") == "True") {
        node.SetVisibility(false);
    }
    node.SetShading(ShadingWordOf(mFile.FieldReadCDefault("Shading", 0)));
    node.SetCulling(CullingWordOf(mFile.FieldReadSDefault("Culling", "CullingOff")));
}

void KFbxReaderFbx6Pass::ReadAttributeFields(KFbxNode& /*node*/, KFbxObject* attribute) {
    if (auto* mesh = dynamic_cast<KFbxMesh*>(attribute)) {
        if (Option("MODEL")) {
            ReadMesh(*mesh);
        }
    } else if (auto* camera = dynamic_cast<KFbxCamera*>(attribute)) {
        // The position is the node's translation, read with its properties.
        std::vector<double> values;
        if (ReadDoubles(mFile, "Up", values) && values.size() >= 3) {
            camera->SetUpVector(KFbxVector4(values[0], values[1], values[2], 0.0));
        }
        if (ReadDoubles(mFile, "LookAt", values) && values.size() >= 3) {
            camera->SetLookAt(KFbxVector4(values[0], values[1], values[2], 0.0));
        }
        camera->SetShowInfoOnMoving(mFile.FieldReadIDefault("ShowInfoOnMoving", 1) != 0);
        camera->SetShowAudio(mFile.FieldReadIDefault("ShowAudio", 0) != 0);
        if (ReadDoubles(mFile, "AudioColor", values) && values.size() >= 3) {
            camera->SetAudioColor(KFbxColor(values[0], values[1], values[2], 1.0));
        }
        camera->SetOrthoZoom(ReadD(mFile, "CameraOrthoZoom", camera->GetOrthoZoom()));
    } else if (auto* switcher = dynamic_cast<KFbxCameraSwitcher*>(attribute)) {
        if (mFile.FieldReadBegin("CameraIndexName")) {
            for (const KString& cameraName : RestS(mFile)) {
                switcher->AddCameraName(cameraName.Buffer());
            }
            mFile.FieldReadEnd();
        }
        // The node already holds the switcher: the index lives in its channel.
        switcher->SetDefaultCameraIndex(mFile.FieldReadIDefault("CameraId", 0));
    } else if (attribute != nullptr && Option("MODEL")) {
        ReadParametricAttribute(*attribute);
    }
}

int KFbxReaderFbx6Pass::ReadProperties(KFbxObject& object, KFbxObject* second, bool skipDerivedChannels) {
    int ofSecond = 0;
    mPropertyLookup.Reset();
    mSecondLookup.Reset();
    while (mFile.FieldReadBegin("Property")) {
        ofSecond += ReadProperty(object, second, skipDerivedChannels) ? 1 : 0;
        mFile.FieldReadEnd();
    }
    return ofSecond;
}

bool KFbxReaderFbx6Pass::ReadProperty(KFbxObject& object, KFbxObject* second, bool skipDerivedChannels) {
    // The texts go into buffers kept from record to record: a block may hold
    // a hundred properties and a file tens of thousands of blocks.
    std::string& name = mPropertyName;
    std::string& typeName = mPropertyTypeName;
    std::string& flags = mPropertyFlags;
    NextS(mFile, name);
    NextS(mFile, typeName);
    NextS(mFile, flags);
    if (name.empty()) {
        return false;
    }
    if (skipDerivedChannels && IsOneOf(name.c_str(), kDerivedChannels, std::size(kDerivedChannels))) {
        return false;
    }
    const bool animatable = std::strchr(flags.c_str(), 'A') != nullptr;
    const bool user = std::strchr(flags.c_str(), 'U') != nullptr;
    KFbxProperty property = mPropertyLookup.Find(object, name.c_str());
    bool ofSecond = false;
    if (!property.IsValid() && second != nullptr) {
        property = mSecondLookup.Find(*second, name.c_str());
        ofSecond = property.IsValid();
    }
    if (!property.IsValid()) {
        const KFbxDataType dataType = animatable ? KFbxGetDataTypeByName(typeName.c_str())
                                                 : KFbxDataTypeFromTypeName(typeName.c_str());
        if (dataType == KFbxDataType()) {
            return false;
        }
        // The look-up above found none of the name: no second search.
        property = KFbxProperty::Create(&object, name.c_str(), dataType, "", true);
        if (!property.IsValid()) {
            return false;
        }
        property.ModifyFlag(KFbxProperty::kUser, user);
        property.ModifyFlag(KFbxProperty::kAnimatable, animatable);
        property.ModifyFlag(KFbxProperty::kPublicFlag8, std::strchr(flags.c_str(), '+') != nullptr);
    }
    if (!ReadPropertyValue(mFile, property, animatable, user) && mMessages != nullptr) {
        *mMessages += KString("Warning: the value of property ") + KString(name.data(), static_cast<int>(name.size())) +
                      " of " + object.GetName() + " lies outside its enumeration; the default is kept\n";
    }
    return ofSecond;
}

void KFbxReaderFbx6Pass::ReadGenericNode(const KString& prefixedName) {
    KFbxGenericNode* node = KFbxGenericNode::Create(&mManager, WithoutPrefix(prefixedName).Buffer());
    if (node == nullptr) {
        return;
    }
    mScene.ConnectObject(node);
    Remember(prefixedName, node);
    if (mFile.FieldReadBegin("Properties60")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadProperties(*node, nullptr);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

namespace {

// The open "Thumbnail" block: its format, then its size (which sizes the
// image), then as many bytes of "ImageData" as the image holds. A record
// with fewer bytes leaves the rest of the image black; one without a known
// size gives no thumbnail.
KFbxThumbnail* ReadThumbnailContents(KFbxSdkManager& manager, KFbx& file) {
    const int format = file.FieldReadIDefault("Format", KFbxThumbnail::eRGB_24);
    const int size = file.FieldReadIDefault("Size", KFbxThumbnail::eNOT_SET);
    if (size != KFbxThumbnail::e64x64 && size != KFbxThumbnail::e128x128) {
        return nullptr;
    }
    KFbxThumbnail* thumbnail = KFbxThumbnail::Create(&manager, "");
    if (thumbnail == nullptr) {
        return nullptr;
    }
    thumbnail->SetDataFormat(format);
    thumbnail->SetSize(size);
    std::uint8_t* image = thumbnail->GetThumbnailImage();
    const std::uint32_t bytes = image != nullptr ? thumbnail->GetSizeInBytes() : 0;
    std::vector<int> data;
    ReadInts(file, "ImageData", data);
    for (std::uint32_t i = 0; i < bytes; ++i) {
        image[i] = i < data.size() ? static_cast<std::uint8_t>(data[i]) : 0;
    }
    return thumbnail;
}

}  // namespace

KFbxThumbnail* KFbxReaderFbx6Pass::ReadThumbnail() {
    KFbxThumbnail* thumbnail = nullptr;
    if (mFile.FieldReadBegin("Thumbnail")) {
        if (mFile.FieldReadBlockBegin()) {
            thumbnail = ReadThumbnailContents(mManager, mFile);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    return thumbnail;
}

void KFbxReaderFbx6Pass::ReadSceneInfo() {
    KFbxSceneInfo* info = KFbxSceneInfo::Create(&mManager, "GlobalInfo");
    if (info == nullptr) {
        return;
    }
    info->SetSceneThumbnail(ReadThumbnail());
    if (mFile.FieldReadBegin("MetaData")) {
        if (mFile.FieldReadBlockBegin()) {
            info->mTitle = mFile.FieldReadSDefault("Title", "");
            info->mSubject = mFile.FieldReadSDefault("Subject", "");
            info->mAuthor = mFile.FieldReadSDefault("Author", "");
            info->mKeywords = mFile.FieldReadSDefault("Keywords", "");
            info->mRevision = mFile.FieldReadSDefault("Revision", "");
            info->mComment = mFile.FieldReadSDefault("Comment", "");
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    mScene.SetSceneInfo(info);
}

void KFbxReaderFbx6Pass::ReadGlobalSettings() {
    KFbxGlobalSettings* settings = mScene.GetGlobalSettings();
    if (settings == nullptr || !mFile.FieldReadBegin("Properties60")) {
        return;
    }
    if (mFile.FieldReadBlockBegin()) {
        ReadProperties(*settings, nullptr);
        mFile.FieldReadBlockEnd();
    }
    mFile.FieldReadEnd();
}

void KFbxReaderFbx6Pass::ReadVersion5() {
    if (!mFile.FieldReadBegin("Version5") || !mFile.FieldReadBlockBegin()) {
        return;
    }
    ReadGlobalSections();
    mFile.FieldReadBlockEnd();
    mFile.FieldReadEnd();
}

void KFbxReaderFbx6Pass::ReadGlobalSections() {
    KFbxGlobalLightSettings& light = mScene.GetGlobalLightSettings();
    std::vector<double> color;
    if (mFile.FieldReadBegin("AmbientRenderSettings") && mFile.FieldReadBlockBegin()) {
        if (ReadDoubles(mFile, "AmbientLightColor", color) && color.size() >= 4) {
            light.SetAmbientColor(KFbxColor(color[0], color[1], color[2], color[3]));
        }
        mFile.FieldReadBlockEnd();
        mFile.FieldReadEnd();
    }
    if (mFile.FieldReadBegin("FogOptions") && mFile.FieldReadBlockBegin()) {
        light.SetFogEnable(mFile.FieldReadIDefault("FlogEnable", 0) != 0);
        const int fogMode = mFile.FieldReadIDefault("FogMode", 0);
        if (fogMode >= KFbxGlobalLightSettings::eLINEAR && fogMode <= KFbxGlobalLightSettings::eSQUAREROOT_EXPONENTIAL) {
            light.SetFogMode(static_cast<KFbxGlobalLightSettings::EFogMode>(fogMode));
        }
        light.SetFogDensity(ReadD(mFile, "FogDensity", light.GetFogDensity()));
        light.SetFogStart(ReadD(mFile, "FogStart", light.GetFogStart()));
        light.SetFogEnd(ReadD(mFile, "FogEnd", light.GetFogEnd()));
        if (ReadDoubles(mFile, "FogColor", color) && color.size() >= 3) {
            light.SetFogColor(KFbxColor(color[0], color[1], color[2], 1.0));
        }
        mFile.FieldReadBlockEnd();
        mFile.FieldReadEnd();
    }
    if (mFile.FieldReadBegin("ShadowPlanes") && mFile.FieldReadBlockBegin()) {
        light.RemoveAllShadowPlanes();
        while (mFile.FieldReadBegin("Plane")) {
            // Origin, normal, enable flag; a short record keeps what it has.
            KFbxShadowPlane plane;
            for (int axis = 0; axis < 3; ++axis) {
                plane.mOrigin[axis] = NextD(mFile);
            }
            for (int axis = 0; axis < 3; ++axis) {
                plane.mNormal[axis] = NextD(mFile);
            }
            plane.mEnable = NextI(mFile) != 0;
            light.AddShadowPlane(plane);
            mFile.FieldReadEnd();
        }
        light.SetShadowEnable(mFile.FieldReadIDefault("UseShadow", 0) != 0);
        light.SetShadowIntensity(ReadD(mFile, "ShadowIntensity", light.GetShadowIntensity()));
        mFile.FieldReadBlockEnd();
        mFile.FieldReadEnd();
    }
    if (mFile.FieldReadBegin("Settings") && mFile.FieldReadBlockBegin()) {
        KFbxGlobalTimeSettings& time = mScene.GetGlobalTimeSettings();
        time.RestoreDefaultSettings();
        const KString frameRate = mFile.FieldReadSDefault("FrameRate", "");
        const int mode = KTime::GetTimeModeFromName(frameRate.Buffer());
        if (frameRate.GetLen() > 0 && mode >= 0 && mode < KTime::eTimeModeCount) {
            time.SetTimeMode(mode);
        }
        time.SetTimeFormat(mFile.FieldReadIDefault("TimeFormat", time.GetTimeFormat()));
        time.SetSnapOnFrames(mFile.FieldReadIDefault("SnapOnFrames", time.GetSnapOnFrames()));
        const int marker = mFile.FieldReadIDefault("ReferenceTimeIndex", -1);
        KTimeSpan span;
        if (mFile.FieldReadBegin("TimeLineStartTime")) {
            span.SetStart(KTime(mFile.FieldGetRemainingValueCount() > 0 ? mFile.FieldReadL() : 0));
            mFile.FieldReadEnd();
        }
        if (mFile.FieldReadBegin("TimeLineStopTime")) {
            span.SetStop(KTime(mFile.FieldGetRemainingValueCount() > 0 ? mFile.FieldReadL() : 0));
            mFile.FieldReadEnd();
        }
        time.SetTimelineDefaultTimeSpan(span);
        while (mFile.FieldReadBegin("TimeMarker")) {
            KFbxTimeMarker timeMarker;
            timeMarker.mName = NextS(mFile);
            if (mFile.FieldReadBlockBegin()) {
                if (mFile.FieldReadBegin("Time")) {
                    timeMarker.mTime = NextT(mFile);
                    mFile.FieldReadEnd();
                }
                timeMarker.mLoop = mFile.FieldReadIDefault("Loop", 0) != 0;
                mFile.FieldReadBlockEnd();
            }
            mFile.FieldReadEnd();
            time.AddTimeMarker(timeMarker);
        }
        ReadMoreSettings();
        if (marker >= 0 && marker < time.GetTimeMarkerCount()) {
            time.SetCurrentTimeMarker(marker);
        }
        mFile.FieldReadBlockEnd();
        mFile.FieldReadEnd();
    }
    if (mFile.FieldReadBegin("RendererSetting") && mFile.FieldReadBlockBegin()) {
        ReadRendererSetting();
        mFile.FieldReadBlockEnd();
        mFile.FieldReadEnd();
    }
}

void KFbxReaderFbx6Pass::ReadRendererSetting() {
    KFbxGlobalCameraSettings& cameras = mScene.GetGlobalCameraSettings();
    cameras.SetDefaultCamera(mFile.FieldReadSDefault("DefaultCamera", "Producer Perspective").Buffer());
    const int viewing = mFile.FieldReadIDefault("DefaultViewingMode", 0);
    if (viewing >= KFbxGlobalCameraSettings::eSTANDARD && viewing <= KFbxGlobalCameraSettings::eMODELS_ONLY) {
        cameras.SetDefaultViewingMode(static_cast<KFbxGlobalCameraSettings::EViewingMode>(viewing));
    }
}

}  // namespace fbxsdk_2006_11_1
