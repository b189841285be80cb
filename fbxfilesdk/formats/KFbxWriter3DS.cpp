// The 3DS writer's frame: its file, options, the order of one write, the
// file's names, the time span and the walk over the node tree.
#include <fbxfilesdk/formats/KFbxWriter3DS.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/KFbxMeshFilePreparation.h>
#include <fbxfilesdk/formats/KFbxWriter3DSFinite.h>
#include <fbxfilesdk/formats/KFbxWriterMesh.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// The name a reader of this format gives the node that carries its scale,
// and the scene root's, as the file's names have them.
const char* const kScaleNodePrefix = "Fbx_Roo";
const char* const kDummyName = "$$$DUMMY";
constexpr int kDefaultFrames = 100;
constexpr std::uint16_t kShadowMapSize = 500;
constexpr float kRayBias = 3.0f;
constexpr float kShadowFilter = 3.0f;
const point3ds kDummyBoundMin{-0.5f, -0.5f, -0.5f};
const point3ds kDummyBoundMax{0.5f, 0.5f, 0.5f};

bool IsScaleNodeName(const std::string& name) { return name.compare(0, 7, kScaleNodePrefix) == 0; }

int AttributeType(const KFbxNode* node) {
    const KFbxNodeAttribute* attribute = node->GetNodeAttribute();
    return attribute != nullptr ? attribute->GetAttributeType() : KFbxNodeAttribute::eUNIDENTIFIED;
}

bool IsGeometryType(int type) {
    return type == KFbxNodeAttribute::eMESH || type == KFbxNodeAttribute::eNURB || type == KFbxNodeAttribute::ePATCH;
}

}  // namespace

KFbxWriter3DS::KFbxWriter3DS(KFbxSdkManager& manager, KFbxIO* /*io*/) : KFbxWriter(manager) {}

KFbxWriter3DS::~KFbxWriter3DS() {
    ReleaseToolkit();
    mFile.Close();
}

// ---- the file ---------------------------------------------------------------

bool KFbxWriter3DS::FileCreate(const char* fileName) {
    mFile.Close();
    mError.ClearError();
    if (fileName == nullptr || fileName[0] == '\0') {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    if (!mFile.Open(fileName, "wb")) {
        mError.SetErrorWithText(eFILE_NOT_OPENED, KFbxToolkitFile3DS::LastErrorText());
        return false;
    }
    mFileName = fileName;
    return true;
}

bool KFbxWriter3DS::FileClose() {
    mFile.Close();
    return true;
}

bool KFbxWriter3DS::IsFileOpen() { return mFile.Get() != nullptr; }

KFbxStreamOptions* KFbxWriter3DS::GetWriteOptions() {
    KFbxStreamOptions3dsWriter* options = KFbxStreamOptions3dsWriter::Create(&mManager, "");
    if (options == nullptr) {
        mError.SetError(eUNIDENTIFIED_ERROR);
        return nullptr;
    }
    options->Reset();
    return options;
}

bool KFbxWriter3DS::PreprocessScene(KFbxScene& scene) {
    return KFbxMeshFilePreparation::PreprocessScene(scene, mSceneNames);
}

bool KFbxWriter3DS::PostprocessScene(KFbxScene& scene) {
    KFbxMeshFilePreparation::RestoreScene(scene, mSceneNames);
    return false;
}

const std::string& KFbxWriter3DS::FileNameOf(const KFbxObject* object) const {
    static const std::string kNone;
    const auto found = mNames.find(object);
    return found != mNames.end() ? found->second : kNone;
}

// ---- toolkit ------------------------------------------------------------------

bool KFbxWriter3DS::ToolkitFailed() {
    if (!FtkErrorStops()) {
        return false;
    }
    // A stream that refused bytes is a full disk, whichever step noticed it
    // first: a seek flushes the buffer too, and fails as if reading.
    const file3ds* file = mFile.Get();
    const ErrorCode3ds code = ErrList3ds[0].errorid;
    if (code == ERR_WRITING_FILE || (file != nullptr && file->stream != nullptr && std::ferror(file->stream) != 0)) {
        mError.SetError(eOUT_OF_DISK_SPACE);
        return true;
    }
    KString text("3DS file: ");
    text += ErrorCodeToString3ds(code);
    mError.SetErrorWithText(eUNIDENTIFIED_ERROR, text.Buffer());
    return true;
}

void KFbxWriter3DS::ReportNonFinite(std::size_t count, const std::string& name) {
    // Said as the other mesh file writers say it.
    KFbxMeshFilePreparation::TellNotFinite(mMessage, "record", name.c_str(),
                                           static_cast<int>(std::min<std::size_t>(count, INT_MAX)));
}

void KFbxWriter3DS::ReleaseToolkit() {
    ReleaseMeshSet3ds(&mMeshSettings);
    ReleaseDatabase3ds(&mDatabase);
}

// ---- the write ------------------------------------------------------------------

bool KFbxWriter3DS::Write(KFbxScene* scene, KFbxStreamOptions* options) {
    mError.ClearError();
    mMessage = KString();
    if (mFile.Get() == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    if (scene == nullptr || scene->GetRootNode() == nullptr) {
        mError.SetErrorWithText(eUNIDENTIFIED_ERROR, "No scene to write");
        return false;
    }
    // An error left by an earlier file must not fail this one.
    ClearErrorList3ds();
    PreprocessScene(*scene);
    mScene = scene;
    // Generated material names count meshes from 1 in every file.
    mMeshCounter = 0;
    const bool written = PrepareWrite(options) && WriteNode(mRootNode) && WriteSettings() && FinishWrite();
    ReleaseToolkit();
    mFile.Close();
    mNames.clear();
    mRenaming.Clear();
    mDefaultMaterialName.clear();
    PostprocessScene(*scene);
    mScene = nullptr;
    mRootNode = nullptr;
    return written;
}

void KFbxWriter3DS::TakeOptions(KFbxStreamOptions* options) {
    auto* own = dynamic_cast<KFbxStreamOptions3dsWriter*>(options);
    if (own == nullptr) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        return;
    }
    mFlags.Take(*own);
    mFlags.mTexUVByPoly = own->GetBoolOption("TEXUVBYPOLY", mFlags.mTexUVByPoly);
}

bool KFbxWriter3DS::PrepareWrite(KFbxStreamOptions* options) {
    mRootNode = mScene->GetRootNode();
    TakeOptions(options);
    mUnitScale = mFlags.mRescaling ? kInchesPerCentimetre : 1.0;
    InitDatabase3ds(&mDatabase);
    if (ToolkitFailed()) {
        return false;
    }
    CreateNewDatabase3ds(mDatabase, DatabaseMeshFile3ds);
    if (ToolkitFailed()) {
        return false;
    }
    InitMeshSet3ds(&mMeshSettings);
    if (ToolkitFailed() || mMeshSettings == nullptr) {
        return false;
    }
    NameObjects();
    TakeTimeSpan();
    return true;
}

void KFbxWriter3DS::NameObjects() {
    // The scene's nodes, then the materials its meshes use, share one list:
    // a material named like a node gets a number.
    mNames.clear();
    mRenaming.Clear();
    mDefaultMaterialName.clear();
    std::vector<const KFbxNode*> pending{mRootNode};
    std::vector<const KFbxNode*> nodes;
    while (!pending.empty()) {
        const KFbxNode* node = pending.back();
        pending.pop_back();
        nodes.push_back(node);
        for (int child = node->GetChildCount() - 1; child >= 0; --child) {
            pending.push_back(node->GetChild(child));
        }
    }
    for (const KFbxNode* node : nodes) {
        NameObject(*node, KRenamingStrategy3DS::kObjectNameLimit);
    }
    for (const KFbxNode* node : nodes) {
        const auto* mesh = dynamic_cast<const KFbxLayerContainer*>(node->GetNodeAttribute());
        const KFbxLayer* layer = mesh != nullptr ? mesh->GetLayer(0) : nullptr;
        const KFbxLayerElementMaterial* materials = layer != nullptr ? layer->GetMaterials() : nullptr;
        for (int index = 0; materials != nullptr && index < materials->GetDirectArray().GetCount(); ++index) {
            const KFbxSurfaceMaterial* material = materials->GetDirectArray().GetAt(index);
            if (material == nullptr || mNames.count(material) != 0) {
                continue;
            }
            NameObject(*material, KRenamingStrategy3DS::kMaterialNameLimit);
        }
    }
}

void KFbxWriter3DS::NameObject(const KFbxObject& object, int limit) {
    KString name(object.GetName());
    mRenaming.Rename(name, limit);
    if (KRenamingStrategy3DS::HasControlCharacters(object.GetName())) {
        mMessage += "The control characters of a name were written as \"_\": \"";
        mMessage += name;
        mMessage += "\".\n";
    }
    mNames.emplace(&object, name.Buffer());
}

void KFbxWriter3DS::TakeTimeSpan() {
    mAnimate = mFlags.mAnimation;
    mStart = KTime(0);
    mStop = KTime(0);
    if (!mRootNode->GetAnimationInterval(mStart, mStop) || mStart == mStop) {
        mAnimate = false;
        mStart = KTime(0);
        mStop.SetTime(0, 0, 0, kDefaultFrames, 0, KTime::GetGlobalTimeMode());
    }
    if (mAnimate && mStop.GetFrame(true, kFrameTimeMode) >= static_cast<std::int64_t>(kMaxKeys)) {
        mMessage += "The animation is longer than the 3DS keyframer takes: its keys stop at frame 99999.\n";
    }
}

KFbxWriter3DS::Local KFbxWriter3DS::LocalAtStart(KFbxNode* node) const {
    Local local;
    node->GetLclTranslation(local.mTranslation);
    node->GetLclRotation(local.mRotation);
    node->GetLclScaling(local.mScaling);
    KFbxTakeNode* take = node->GetCurrentTakeNode();
    if (take == nullptr) {
        return local;
    }
    const auto atStart = [](KFCurve* x, KFCurve* y, KFCurve* z, KFbxVector4& value) {
        if (x == nullptr || y == nullptr || z == nullptr) {
            return;
        }
        KFCurve* curves[3] = {x, y, z};
        for (int axis = 0; axis < 3; ++axis) {
            if (curves[axis]->KeyGetCount() > 0) {
                value[axis] = curves[axis]->Evaluate(KTime(0));
            }
        }
    };
    atStart(take->GetTranslationX(), take->GetTranslationY(), take->GetTranslationZ(), local.mTranslation);
    atStart(take->GetEulerRotationX(), take->GetEulerRotationY(), take->GetEulerRotationZ(), local.mRotation);
    atStart(take->GetScaleX(), take->GetScaleY(), take->GetScaleZ(), local.mScaling);
    return local;
}

bool KFbxWriter3DS::IsWritten(const KFbxNode* node) const {
    const int type = AttributeType(node);
    if (IsGeometryType(type)) {
        return mFlags.mMesh;
    }
    if (type == KFbxNodeAttribute::eLIGHT) {
        const auto* light = dynamic_cast<const KFbxLight*>(node->GetNodeAttribute());
        const int kind = light != nullptr ? light->GetLightType() : KFbxLight::eDIRECTIONAL;
        return mFlags.mLight && (kind == KFbxLight::ePOINT || kind == KFbxLight::eSPOT);
    }
    if (type == KFbxNodeAttribute::eCAMERA) {
        return mFlags.mCamera;
    }
    return !IsScaleNodeName(FileNameOf(node)) && (node->GetParent() != nullptr || mFlags.mReferenceNode);
}

KFbxWriter3DS::Frame KFbxWriter3DS::WorldAtStart(KFbxNode* node) const {
    std::vector<KFbxNode*> chain;
    for (KFbxNode* link = node; link != nullptr; link = link->GetParent()) {
        if (link == node || IsWritten(link)) {
            chain.push_back(link);
        }
    }
    Frame world{};
    world[0] = world[5] = world[10] = world[15] = 1.0;
    for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
        Local local = LocalAtStart(*link);
        // The keyframer nodes of lights and cameras move but do not turn
        // or scale what hangs under them.
        const int type = AttributeType(*link);
        if (type == KFbxNodeAttribute::eLIGHT || type == KFbxNodeAttribute::eCAMERA) {
            local.mRotation = KFbxVector4(0.0, 0.0, 0.0, 0.0);
            local.mScaling = KFbxVector4(1.0, 1.0, 1.0, 0.0);
        }
        Frame own{};
        KgeMatrixSetTRS(own.data(), local.mTranslation, local.mRotation, local.mScaling);
        KgeMatrixMultAffine(world.data(), world.data(), own.data());
    }
    return world;
}

bool KFbxWriter3DS::CarriesMirror(KFbxNode* node) const {
    if (node == nullptr || !IsGeometryType(AttributeType(node)) || !IsWritten(node)) {
        return false;
    }
    return Mirrors(WorldAtStart(node));
}

bool KFbxWriter3DS::Mirrors(const Frame& frame) { return KFbxWriterMesh::TurnsInsideOut(frame.data()); }

bool KFbxWriter3DS::UnderMirror(const KFbxNode* node) const {
    KFbxNode* parent = node != nullptr ? node->GetParent() : nullptr;
    while (parent != nullptr && !IsWritten(parent)) {
        parent = parent->GetParent();
    }
    return CarriesMirror(parent);
}

point3ds KFbxWriter3DS::InWorld(KFbxNode* node, const point3ds& point) const {
    KFbxNode* parent = node->GetParent();
    while (parent != nullptr && !IsWritten(parent)) {
        parent = parent->GetParent();
    }
    if (parent == nullptr) {
        return point;
    }
    const Frame world = WorldAtStart(parent);
    const double scene[3] = {point.x, point.z, -point.y};
    double placed[3];
    KgeMatrixMultPoint(placed, world.data(), scene);
    const KFbxVector4 inFile = ConvertPosition(KFbxVector4(placed[0], placed[1], placed[2], 0.0));
    return {static_cast<float>(inFile[0]), static_cast<float>(inFile[1]), static_cast<float>(inFile[2])};
}

bool KFbxWriter3DS::WriteNode(KFbxNode* node) {
    const Local local = LocalAtStart(node);
    const int type = AttributeType(node);
    bool written = true;
    reader3ds::ObjectMotionRecord motion;
    std::vector<std::string> extraParts;
    if (IsGeometryType(type)) {
        written = !mFlags.mMesh || WriteGeometryNode(node, motion, extraParts);
    } else if (type == KFbxNodeAttribute::eLIGHT) {
        written = !mFlags.mLight || WriteLightNode(node, local);
    } else if (type == KFbxNodeAttribute::eCAMERA) {
        written = !mFlags.mCamera || WriteCameraNode(node, local);
    } else {
        if (IsScaleNodeName(FileNameOf(node))) {
            KFbxVector4 scaling;
            node->GetLclScaling(scaling);
            mUnitScale = scaling[0] * kInchesPerCentimetre;
        }
        written = !IsWritten(node) || WriteDummyNode(node);
    }
    for (int child = 0; written && child < node->GetChildCount(); ++child) {
        written = WriteNode(node->GetChild(child));
    }
    // Readers that take a node's parent from the nodes before it would
    // otherwise hang the children under the last part.
    return written && (extraParts.empty() || PutExtraParts(motion, extraParts));
}

bool KFbxWriter3DS::WriteGeometryNode(KFbxNode* node, reader3ds::ObjectMotionRecord& motion,
                                      std::vector<std::string>& extraParts) {
    // Surfaces are written as triangles of a copy; their textures are not.
    const bool surface = AttributeType(node) != KFbxNodeAttribute::eMESH;
    KFbxWriterMesh prepared;
    if (prepared.Prepare(*node, false, false) && prepared.GetMesh() != nullptr &&
        !WriteMesh(node, *prepared.GetMesh(), WorldAtStart(node), mFlags.mTexture && !surface, extraParts)) {
        return false;
    }
    motion = MakeObjectMotion(node);
    if (ToolkitFailed()) {
        return false;
    }
    if (motion == nullptr) {
        extraParts.clear();
        return true;
    }
    ReportNonFinite(writer3ds::ZeroNonFinite(*motion), FileNameOf(node));
    PutObjectMotion3ds(mDatabase, motion.get());
    return !ToolkitFailed();
}

bool KFbxWriter3DS::PutExtraParts(reader3ds::ObjectMotionRecord& motion, const std::vector<std::string>& extraParts) {
    // Further parts of a large mesh move with the node, beside it.
    for (const std::string& part : extraParts) {
        if (ToolkitFailed()) {
            return false;
        }
        const std::size_t length = part.size() < sizeof motion->name ? part.size() : sizeof motion->name - 1;
        std::memset(motion->name, 0, sizeof motion->name);
        std::memcpy(motion->name, part.data(), length);
        PutObjectMotion3ds(mDatabase, motion.get());
    }
    return !ToolkitFailed();
}

bool KFbxWriter3DS::WriteDummyNode(KFbxNode* node) {
    reader3ds::ObjectMotionRecord motion = MakeObjectMotion(node);
    if (ToolkitFailed()) {
        return false;
    }
    if (motion == nullptr) {
        return true;
    }
    std::strcpy(motion->name, kDummyName);
    const std::string& instance = FileNameOf(node);
    const std::size_t length = instance.size() < sizeof motion->instance - 1 ? instance.size()
                                                                               : sizeof motion->instance - 1;
    std::memcpy(motion->instance, instance.data(), length);
    motion->instance[length] = '\0';
    ReportNonFinite(writer3ds::ZeroNonFinite(*motion), instance);
    motion->boundmin = kDummyBoundMin;
    motion->boundmax = kDummyBoundMax;
    PutObjectMotion3ds(mDatabase, motion.get());
    return !ToolkitFailed();
}

bool KFbxWriter3DS::WriteLightNode(KFbxNode* node, const Local& local) {
    const auto* light = dynamic_cast<const KFbxLight*>(node->GetNodeAttribute());
    if (light == nullptr) {
        return true;
    }
    const std::string& name = FileNameOf(node);
    if (light->GetLightType() == KFbxLight::ePOINT) {
        reader3ds::LightRecord record = MakeOmniLight(*light, local, name);
        reader3ds::OmniMotionRecord motion = MakeOmniLightMotion(node);
        if (ToolkitFailed() || record == nullptr || motion == nullptr) {
            return !ToolkitFailed();
        }
        record->position = InWorld(node, record->position);
        ReportNonFinite(writer3ds::ZeroNonFinite(*record) + writer3ds::ZeroNonFinite(*motion), name);
        PutLight3ds(mDatabase, record.get());
        if (ToolkitFailed()) {
            return false;
        }
        PutOmnilightMotion3ds(mDatabase, motion.get());
        return !ToolkitFailed();
    }
    if (light->GetLightType() != KFbxLight::eSPOT) {
        return true;
    }
    reader3ds::LightRecord record = MakeSpotLight(*light, local, name);
    reader3ds::SpotMotionRecord motion = MakeSpotLightMotion(node);
    if (ToolkitFailed() || record == nullptr || motion == nullptr) {
        return !ToolkitFailed();
    }
    // The spot record looks where the keys start, as readers that take no
    // keys see it, in the world frame as the record holds it.
    record->position = InWorld(node, record->position);
    if (record->spot != nullptr && motion->targetposition.keycount > 0 && motion->targetposition.values != nullptr) {
        KFbxNode* target = node->GetTarget();
        record->spot->target = InWorld(target != nullptr ? target : node, motion->targetposition.values[0]);
    }
    ReportNonFinite(writer3ds::ZeroNonFinite(*record) + writer3ds::ZeroNonFinite(*motion), name);
    PutLight3ds(mDatabase, record.get());
    if (ToolkitFailed()) {
        return false;
    }
    PutSpotlightMotion3ds(mDatabase, motion.get());
    return !ToolkitFailed();
}

bool KFbxWriter3DS::WriteCameraNode(KFbxNode* node, const Local& local) {
    const auto* camera = dynamic_cast<const KFbxCamera*>(node->GetNodeAttribute());
    if (camera == nullptr) {
        return true;
    }
    reader3ds::CameraRecord record = MakeCamera(*camera, local, FileNameOf(node));
    reader3ds::CameraMotionRecord motion = MakeCameraMotion(node);
    if (ToolkitFailed() || record == nullptr || motion == nullptr) {
        return !ToolkitFailed();
    }
    // The camera record shows the first keys, as readers that take no keys
    // see it, in the world frame as the record holds it.
    record->position = InWorld(node, record->position);
    if (motion->targetposition.keycount > 0 && motion->targetposition.values != nullptr) {
        KFbxNode* target = node->GetTarget();
        record->target = InWorld(target != nullptr ? target : node, motion->targetposition.values[0]);
    }
    ReportNonFinite(writer3ds::ZeroNonFinite(*record) + writer3ds::ZeroNonFinite(*motion), FileNameOf(node));
    if (motion->fov.keycount > 0 && motion->fov.values != nullptr && motion->fov.values[0] > 0.0f) {
        record->fov = motion->fov.values[0];
    }
    if (motion->roll.keycount > 0 && motion->roll.values != nullptr) {
        record->roll = motion->roll.values[0];
    }
    PutCamera3ds(mDatabase, record.get());
    if (ToolkitFailed()) {
        return false;
    }
    PutCameraMotion3ds(mDatabase, motion.get());
    if (ToolkitFailed()) {
        return false;
    }
    return PutBackground(*camera);
}

bool KFbxWriter3DS::WriteSettings() {
    meshsettings3ds& settings = *mMeshSettings;
    if (mFlags.mAmbientLight) {
        const KFbxColor ambient = mScene->GetGlobalLightSettings().GetAmbientColor();
        settings.ambientlight = {static_cast<float>(ambient.mRed), static_cast<float>(ambient.mGreen),
                                 static_cast<float>(ambient.mBlue)};
    } else {
        settings.ambientlight = {0.0f, 0.0f, 0.0f};
    }
    settings.masterscale = mFlags.mRescaling ? static_cast<float>(mUnitScale) : 1.0f;
    settings.shadowmapsize = kShadowMapSize;
    settings.raybias = kRayBias;
    settings.shadowfilter = kShadowFilter;
    PutMeshSet3ds(mDatabase, &settings);
    if (ToolkitFailed()) {
        return false;
    }
    auto keyframer = reader3ds::MakeRecord<reader3ds::Owned<KfSets3ds, &ReleaseKfSets3ds>>(&InitKfSets3ds);
    if (keyframer == nullptr || ToolkitFailed()) {
        return false;
    }
    const std::int64_t length = mStop.GetFrame(true, KTime::GetGlobalTimeMode());
    keyframer->animlength = length <= 0 ? 0u
                            : length >= static_cast<std::int64_t>(kMaxKeys) ? kMaxKeys
                                                                            : static_cast<std::uint32_t>(length);
    PutKfSets3ds(mDatabase, keyframer.get());
    return !ToolkitFailed();
}

bool KFbxWriter3DS::FinishWrite() {
    WriteDatabase3ds(mFile.Get(), mDatabase);
    return !ToolkitFailed();
}

}  // namespace fbxsdk_2006_11_1
