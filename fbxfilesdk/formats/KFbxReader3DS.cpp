// The 3DS reader's frame: its file, options, the order in which it fetches
// the toolkit's records and builds the scene, and the take.
#include <fbxfilesdk/formats/KFbxReader3DS.h>

#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kTakeName = "default take";
const char* const kReferenceNodeName = "Fbx_Root";
// Inches to centimetres: 3DS lengths are taken as inches.
constexpr double kRescaling = 2.54;
// The take of a file without keyframes runs over this many frames.
constexpr int kDefaultTakeFrames = 150;

template <std::size_t N, std::size_t M>
void CopyName(char (&to)[N], const char (&from)[M]) {
    const std::string name = reader3ds::NameOf(from);
    const std::size_t length = name.size() < N - 1 ? name.size() : N - 1;
    std::memcpy(to, name.data(), length);
    to[length] = '\0';
}

// A chunk that only the editor data (MDATA) or the keyframer data (KFDATA)
// holds, standing straight under a mesh file's top chunk: the length of its
// section was cut, and what follows the cut would be lost unseen. Null when
// none.
const Chunk3ds* MisplacedChunk(const Chunk3ds& top) {
    if (top.tag != M3DMAGIC) {
        return nullptr;
    }
    for (const Chunk3ds* child = top.children; child != nullptr; child = child->sibling) {
        const std::uint32_t tag = child->tag;
        if (tag == MESH_VERSION || tag == MASTER_SCALE || tag == NAMED_OBJECT || tag == MAT_ENTRY ||
            (tag >= AMBIENT_NODE_TAG && tag <= KFHDR)) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace

KFbxReader3DS::KFbxReader3DS(KFbxSdkManager& manager, KFbxIO* /*io*/) : KFbxReader(manager) {}

KFbxReader3DS::~KFbxReader3DS() {
    const ToolkitScope3ds toolkit(mFile.Context());
    ForgetRecords();
    ReleaseDatabase3ds(&mDatabase);
    FileClose();
}

bool KFbxReader3DS::OpenToolkitFile(const char* fileName) {
    if (!mFile.Open(fileName, "rb")) {
        mError.SetErrorWithText(eFILE_NOT_OPENED, KFbxToolkitFile3DS::LastErrorText());
        return false;
    }
    return true;
}

bool KFbxReader3DS::FileOpen(const char* fileName) {
    const ToolkitScope3ds toolkit(mFile.Context());
    FileClose();
    mError.ClearError();
    if (fileName == nullptr || fileName[0] == '\0') {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    // The file is held only while Read reads it: another reader of the same
    // file may close it in between.
    if (!OpenToolkitFile(fileName)) {
        return false;
    }
    mFile.Close();
    mFileName = fileName;
    return true;
}

bool KFbxReader3DS::OpensRegularFilesOnly() const { return true; }

bool KFbxReader3DS::FileClose() {
    const ToolkitScope3ds toolkit(mFile.Context());
    mFile.Close();
    mFileName.clear();
    return true;
}

bool KFbxReader3DS::IsFileOpen() { return !mFileName.empty(); }

KFbxStreamOptions* KFbxReader3DS::GetReadOptions() {
    KFbxStreamOptions3dsReader* options = KFbxStreamOptions3dsReader::Create(&mManager, "");
    if (options == nullptr) {
        mError.SetError(eOUT_OF_MEMORY);
        return nullptr;
    }
    options->Reset();
    return options;
}

void KFbxReader3DS::TakeOptions(KFbxStreamOptions* options) {
    auto* own = dynamic_cast<KFbxStreamOptions3dsReader*>(options);
    if (own == nullptr) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        return;
    }
    mFlags.Take(*own);
    mFlags.mFilter = own->GetBoolOption("FILTER", mFlags.mFilter);
    mFlags.mSmoothGroup = own->GetBoolOption("SMOOTHGROUP", mFlags.mSmoothGroup);
    own->SetOption("TAKE NAME", kTakeName);
}

bool KFbxReader3DS::Read(KFbxScene* scene, KFbxStreamOptions* options) {
    const ToolkitScope3ds toolkit(mFile.Context());
    mError.ClearError();
    ClearMessage();
    if (!IsFileOpen()) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    if (scene == nullptr) {
        mError.SetErrorWithText(eUNIDENTIFIED_ERROR, "No scene to read into");
        return false;
    }
    // An error left by an earlier file must not fail this one.
    ClearErrorList3ds();
    TakeOptions(options);
    if (!OpenToolkitFile(mFileName.c_str())) {
        mFileName.clear();
        return false;
    }
    mScale = mFlags.mRescaling ? kRescaling : 1.0;
    mScene = scene;
    KFbxNode* root = scene->GetRootNode();
    const int nodesBefore = root != nullptr ? root->GetChildCount(true) : 0;
    const bool built = FetchRecords() && BuildScene(scene);
    const bool released = ReleaseRecords();
    if (built && !released) {
        SetToolkitError();
    }
    const int nodesMade = root != nullptr ? root->GetChildCount(true) - nodesBefore : 0;
    if (built && released && nodesMade <= (mFlags.mReferenceNode ? 1 : 0)) {
        // A file of materials alone is whole, yet its caller must learn that
        // the scene stayed empty.
        mMessage += "The file holds no scene content: no mesh, light or camera\n";
    }
    return built && released;
}

// ---- fetching the records ----------------------------------------------------

bool KFbxReader3DS::ToolkitFailed() {
    if (!FtkErrorStops()) {
        return false;
    }
    SetToolkitError();
    return true;
}

void KFbxReader3DS::SetToolkitError() { SetError(ErrList3ds[0]); }

bool KFbxReader3DS::SetError(const ErrRec3ds& entry) {
    KString text("3DS file: ");
    text += DescribeError3ds(entry).c_str();
    mError.SetErrorWithText(entry.errorid == ERR_NO_MEM ? eOUT_OF_MEMORY : eFILE_CORRUPTED, text.Buffer());
    return false;
}

bool KFbxReader3DS::FetchRecords() {
    InitDatabase3ds(&mDatabase);
    if (ToolkitFailed()) {
        return false;
    }
    CreateDatabase3ds(mFile.Get(), mDatabase);
    if (ToolkitFailed()) {
        return false;
    }
    // The toolkit keeps a top chunk of another kind as an empty database:
    // such a file is not a 3DS file, not an empty scene.
    if (GetDatabaseType3ds(mDatabase) == DatabaseNone3ds) {
        ErrRec3ds entry{ERR_WRONG_DATABASE, "Not a 3DS file: the top chunk is no mesh file, project file or material library"};
        if (mDatabase->topchunk != nullptr) {
            entry.chunktag = mDatabase->topchunk->tag;
            entry.chunkposition = 0;
        }
        return SetError(entry);
    }
    if (const Chunk3ds* misplaced = MisplacedChunk(*mDatabase->topchunk)) {
        return SetError({ERR_INVALID_CHUNK,
                         "A chunk of the editor or keyframer data stands outside it: the file is damaged",
                         misplaced->tag, misplaced->position});
    }
    InitMeshSet3ds(&mMeshSettings);
    GetMeshSet3ds(mDatabase, &mMeshSettings);
    InitBackground3ds(&mBackground);
    GetBackground3ds(mDatabase, &mBackground);
    if (ToolkitFailed()) {
        return false;
    }
    if (mMeshSettings == nullptr || mBackground == nullptr) {
        mError.SetError(eOUT_OF_MEMORY);
        return false;
    }
    if (mMeshSettings->masterscale > 0.0f) {
        mScale *= mMeshSettings->masterscale;
    }
    mAmbient[0] = mMeshSettings->ambientlight.red;
    mAmbient[1] = mMeshSettings->ambientlight.green;
    mAmbient[2] = mMeshSettings->ambientlight.blue;
    mBackgroundColor[0] = mBackground->solid.red;
    mBackgroundColor[1] = mBackground->solid.green;
    mBackgroundColor[2] = mBackground->solid.blue;
    return FetchMeshesAndMaterials() && FetchLights() && FetchCameras() && FetchMotions();
}

template <class Slot, class Record>
bool KFbxReader3DS::FetchEach(std::vector<Slot>& slots, std::uint32_t (*count)(database3ds*),
                              void (*get)(database3ds*, std::uint32_t, Record**)) {
    const std::uint32_t records = count(mDatabase);
    slots.reserve(slots.size() + records);
    for (std::uint32_t index = 0; index < records && !ToolkitFailed(); ++index) {
        Record* record = nullptr;
        get(mDatabase, index, &record);
        Slot slot;
        slot.mRecord.reset(record);
        if (record != nullptr) {
            slots.push_back(std::move(slot));
        }
    }
    return !ToolkitFailed();
}

template <class Slot, class Source, class Record>
bool KFbxReader3DS::FetchMotions(std::vector<Slot>& slots, std::uint32_t (*count)(database3ds*),
                                 void (*get)(database3ds*, std::uint32_t, Record**),
                                 const std::vector<Source>& sources, void (*init)(Record**)) {
    if (!FetchEach(slots, count, get)) {
        return false;
    }
    if (!slots.empty()) {
        return true;
    }
    // A file without keyframer data still shows each of its objects, where
    // its own record puts it.
    for (const Source& source : sources) {
        Record* record = nullptr;
        init(&record);
        if (ToolkitFailed()) {
            return false;
        }
        Slot slot;
        slot.mRecord.reset(record);
        if constexpr (requires { slot.mWithoutKeyframer; }) {
            slot.mWithoutKeyframer = true;
        }
        CopyName(record->name, source.mRecord->name);
        slots.push_back(std::move(slot));
    }
    return true;
}

bool KFbxReader3DS::FetchMeshesAndMaterials() {
    return FetchEach(mMeshes, &GetMeshCount3ds, &GetMeshByIndex3ds) &&
           FetchEach(mMaterials, &GetMaterialCount3ds, &GetMaterialByIndex3ds);
}

bool KFbxReader3DS::FetchLights() {
    return !mFlags.mLight || (FetchEach(mOmniLights, &GetOmnilightCount3ds, &GetOmnilightByIndex3ds) &&
                              FetchEach(mSpotLights, &GetSpotlightCount3ds, &GetSpotlightByIndex3ds));
}

bool KFbxReader3DS::FetchCameras() {
    return !mFlags.mCamera || FetchEach(mCameras, &GetCameraCount3ds, &GetCameraByIndex3ds);
}

bool KFbxReader3DS::FetchMotions() {
    if (!FetchMotions(mObjectMotions, &GetObjectNodeCount3ds, &GetObjectMotionByIndex3ds, mMeshes,
                      +[](kfmesh3ds** motion) { InitObjectMotion3ds(motion, 0, 0, 0, 0, 0); })) {
        return false;
    }
    if (mFlags.mLight &&
        (!FetchMotions(mOmniMotions, &GetOmnilightNodeCount3ds, &GetOmnilightMotionByIndex3ds, mOmniLights,
                       +[](kfomni3ds** motion) { InitOmnilightMotion3ds(motion, 0, 0); }) ||
         !FetchMotions(mSpotMotions, &GetSpotlightNodeCount3ds, &GetSpotlightMotionByIndex3ds, mSpotLights,
                       +[](kfspot3ds** motion) { InitSpotlightMotion3ds(motion, 0, 0, 0, 0, 0, 0); }))) {
        return false;
    }
    return !mFlags.mCamera ||
           FetchMotions(mCameraMotions, &GetCameraNodeCount3ds, &GetCameraMotionByIndex3ds, mCameras,
                        +[](kfcamera3ds** motion) { InitCameraMotion3ds(motion, 0, 0, 0, 0); });
}

// ---- building the scene ------------------------------------------------------

void KFbxReader3DS::SetAmbientAndBackground(KFbxScene& scene) {
    const double* ambient = mFlags.mAmbientLight ? mAmbient : nullptr;
    scene.GetGlobalLightSettings().SetAmbientColor(ambient != nullptr
                                                       ? KFbxColor(ambient[0], ambient[1], ambient[2], 1.0)
                                                       : KFbxColor(0.0, 0.0, 0.0, 1.0));
    scene.GetGlobalCameraSettings().SetProducerCamerasBackgroundColor(mBackgroundColor);
}

bool KFbxReader3DS::CreateReferenceNode(KFbxScene& scene) {
    mReferenceNode = KFbxNode::Create(&mManager, kReferenceNodeName);
    if (mReferenceNode == nullptr || scene.GetRootNode() == nullptr) {
        mError.SetErrorWithText(eOUT_OF_MEMORY, "The reference node could not be created");
        return false;
    }
    scene.GetRootNode()->AddChild(mReferenceNode);
    mReferenceNode->SetLclScaling(KFbxVector4(mScale, mScale, mScale, 0.0));
    return true;
}

void KFbxReader3DS::CreateTake(KFbxScene& scene) {
    KTime start = KTimeInfinite;
    KTime stop = KTimeMinusInfinite;
    if (KFbxNode* root = scene.GetRootNode()) {
        root->GetAnimationInterval(start, stop);
    }
    if (start == KTimeInfinite || stop == KTimeMinusInfinite) {
        start = KTime(0);
        stop.SetTime(0, 0, 0, kDefaultTakeFrames, 0, KTime::eFrames30);
    }
    KFbxTakeInfo take;
    take.mName = kTakeName;
    take.mLocalTimeSpan.Set(start, stop);
    take.mReferenceTimeSpan.Set(start, stop);
    scene.SetTakeInfo(take);
    scene.SetCurrentTake(kTakeName);
}

bool KFbxReader3DS::BuildScene(KFbxScene* scene) {
    if (scene == nullptr) {
        return false;
    }
    mScene = scene;
    SetAmbientAndBackground(*scene);
    if (mFlags.mMaterial && !ReadMaterials()) {
        return false;
    }
    if (!CreateNodeAttributes() || !CreateNodes()) {
        return false;
    }
    if (mFlags.mReferenceNode && !CreateReferenceNode(*scene)) {
        return false;
    }
    if (!BuildObjectHierarchy(*scene) || !BuildOmniHierarchy(*scene) || !BuildSpotHierarchy(*scene) ||
        !BuildCameraHierarchy(*scene)) {
        return false;
    }
    if (!AnimateObjects() || !AnimateOmniLights() || !AnimateSpotLights() || !AnimateCameras()) {
        return false;
    }
    CreateTake(*scene);
    return true;
}

// ---- the end of a read -------------------------------------------------------

void KFbxReader3DS::DestroyUnusedAttributes() {
    // Attributes that no node took (their record had no keyframer node) would
    // stay with the manager, in no scene.
    const auto destroy = [](KFbxNodeAttribute* attribute) {
        if (attribute != nullptr && attribute->GetNode() == nullptr) {
            attribute->Destroy();
        }
    };
    for (MeshSlot& slot : mMeshes) {
        destroy(slot.mMesh);
    }
    for (OmniSlot& slot : mOmniLights) {
        destroy(slot.mLight);
    }
    for (SpotSlot& slot : mSpotLights) {
        destroy(slot.mLight);
        destroy(slot.mTarget);
    }
    for (CameraSlot& slot : mCameras) {
        destroy(slot.mCamera);
        destroy(slot.mTarget);
    }
}

void KFbxReader3DS::ForgetRecords() {
    DestroyUnusedAttributes();
    mMeshes.clear();
    mMaterials.clear();
    mOmniLights.clear();
    mSpotLights.clear();
    mCameras.clear();
    mObjectMotions.clear();
    mOmniMotions.clear();
    mSpotMotions.clear();
    mCameraMotions.clear();
    mMaterialTable.clear();
    mNodesByName.clear();
    mReferenceNode = nullptr;
    mScene = nullptr;
    ReleaseMeshSet3ds(&mMeshSettings);
    ReleaseBackground3ds(&mBackground);
}

bool KFbxReader3DS::ReleaseRecords() {
    const ToolkitScope3ds toolkit(mFile.Context());
    ForgetRecords();
    ReleaseDatabase3ds(&mDatabase);
    FileClose();
    return !FtkErrorStops();
}

}  // namespace fbxsdk_2006_11_1
