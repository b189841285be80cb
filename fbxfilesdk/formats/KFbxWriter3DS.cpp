// The 3DS writer's frame: its file, options, the order of one write, the
// file's names, the time span and the walk over the node tree.
#include <fbxfilesdk/formats/KFbxWriter3DS.h>

#include <fbxfilesdk/3dsftk/NodeHierarchy3ds.h>
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
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
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

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

// A point of the scene's world in the file's axes.
point3ds FilePoint(const double (&point)[3]) {
    const KFbxVector4 inFile = KFbxWriter3DS::ConvertPosition(KFbxVector4(point[0], point[1], point[2], 0.0));
    return {static_cast<float>(inFile[0]), static_cast<float>(inFile[1]), static_cast<float>(inFile[2])};
}

// The origin of a frame.
point3ds FilePoint(const writer3ds::Frame& frame) {
    const double origin[3] = {frame[12], frame[13], frame[14]};
    return FilePoint(origin);
}

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
    const ToolkitScope3ds toolkit(mFile.Context());
    ReleaseToolkit();
    FileClose();
}

// ---- the file ---------------------------------------------------------------

bool KFbxWriter3DS::FileCreate(const char* fileName) {
    const ToolkitScope3ds toolkit(mFile.Context());
    FileClose();
    mError.ClearError();
    if (fileName == nullptr || fileName[0] == '\0') {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    // The toolkit writes into a file that takes the name only once whole.
    if (!mOutput.Open(fileName)) {
        mMessage += SetOpenFailure(fileName, errno) + "\n";
        return false;
    }
    if (!mFile.Attach(mOutput.Stream())) {
        mMessage += SetOpenFailure(fileName, KFbxToolkitFile3DS::LastErrorText()) + "\n";
        mOutput.Close(false);
        return false;
    }
    mFileName = fileName;
    return true;
}

bool KFbxWriter3DS::FileClose() {
    const ToolkitScope3ds toolkit(mFile.Context());
    // A file that no write finished is given up.
    mFile.Close();
    mOutput.Close(false);
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
    // A stream that refused bytes says the system's cause, whichever step
    // noticed it first: a seek flushes the buffer too, and fails as if
    // reading.
    const file3ds* file = mFile.Get();
    const ErrRec3ds& first = ErrList3ds[0];
    const ErrorCode3ds code = first.errorid;
    if (code == ERR_WRITING_FILE || (file != nullptr && file->stream != nullptr && std::ferror(file->stream) != 0)) {
        const bool fromFile = code == ERR_WRITING_FILE || code == ERR_READING_FILE;
        mMessage += SetWriteFailure(mFileName.c_str(), fromFile ? first.systemerror : 0) + "\n";
        return true;
    }
    SetToolkitError(code);
    return true;
}

void KFbxWriter3DS::SetToolkitError(ErrorCode3ds code) {
    KString text("3DS file: ");
    text += ErrorCodeToString3ds(code);
    mError.SetErrorWithText(eUNIDENTIFIED_ERROR, text.Buffer());
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
    const ToolkitScope3ds toolkit(mFile.Context());
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
    mScene = scene;
    // Generated material names count meshes from 1 in every file.
    mMeshCounter = 0;
    mBackgroundCamera = nullptr;
    bool built = false;
    try {
        PreprocessScene(*scene);
        built = PrepareWrite(options) && WriteNodes() &&
                (mBackgroundCamera == nullptr || PutBackground(*mBackgroundCamera)) && WriteSettings() &&
                CheckKeyframerNodeCount() && FinishWrite();
    } catch (const std::bad_alloc&) {
        // What the writer keeps beside the toolkit's records outgrew the
        // memory: the write ends as the toolkit's own would.
        SetToolkitError(ERR_NO_MEM);
    }
    ReleaseToolkit();
    mFile.Close();
    // The file takes its name only when all of it reached the disk.
    const bool written = mOutput.Close(built) && built;
    if (built && !written) {
        mMessage += SetWriteFailure(mFileName.c_str(), errno) + "\n";
    }
    mNames.clear();
    mRenaming.Clear();
    mDefaultMaterialName.clear();
    mTextureCopies.Clear();
    mKeyframerFrames.clear();
    mSceneParts.clear();
    mLastMovingFrames.clear();
    mWrittenParents.clear();
    mTargetsOnly.clear();
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
    ResetEvaluations();
    TakeTimeSpan();
    FindTargetsOnly();
    return true;
}

void KFbxWriter3DS::ResetEvaluations() {
    std::vector<KFbxNode*> pending{mRootNode};
    while (!pending.empty()) {
        KFbxNode* node = pending.back();
        pending.pop_back();
        node->ResetEvaluationCache();
        // A take not made yet was never evaluated.
        KFbxTakeNode* take = node->GetCurrentTakeNodeIfMade();
        KFCurveNode* channels = take != nullptr ? take->GetKFCurveNode() : nullptr;
        if (channels != nullptr) {
            channels->ClearEvaluationCache(0, true);
        }
        for (int child = 0; child < node->GetChildCount(); ++child) {
            pending.push_back(node->GetChild(child));
        }
    }
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
    // A stop between frames ends the file at the frame before it, which
    // holds what the scene has there.
    const std::int64_t last = mStop.GetFrame(true, KTime::GetGlobalTimeMode());
    mLastFrame = last <= 0                                     ? 0u
                 : last >= static_cast<std::int64_t>(kMaxKeys) ? kMaxKeys
                                                               : static_cast<std::uint32_t>(last);
}

void KFbxWriter3DS::FindTargetsOnly() {
    mTargetsOnly.clear();
    std::vector<KFbxNode*> pending{mRootNode};
    while (!pending.empty()) {
        KFbxNode* node = pending.back();
        pending.pop_back();
        for (int child = 0; child < node->GetChildCount(); ++child) {
            pending.push_back(node->GetChild(child));
        }
        const auto* light = dynamic_cast<const KFbxLight*>(node->GetNodeAttribute());
        const bool aims = AttributeType(node) == KFbxNodeAttribute::eCAMERA
                              ? mFlags.mCamera
                              : light != nullptr && light->GetLightType() == KFbxLight::eSPOT && mFlags.mLight;
        const KFbxNode* target = aims ? node->GetTarget() : nullptr;
        if (target != nullptr && target->GetChildCount() == 0 &&
            (AttributeType(target) == KFbxNodeAttribute::eUNIDENTIFIED ||
             AttributeType(target) == KFbxNodeAttribute::eMARKER)) {
            mTargetsOnly.insert(target);
        }
    }
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
    return !IsScaleNodeName(FileNameOf(node)) && (node->GetParent() != nullptr || mFlags.mReferenceNode) &&
           mTargetsOnly.count(node) == 0;
}

bool KFbxWriter3DS::MirroredMesh(KFbxNode* node) {
    return IsGeometryType(AttributeType(node)) && IsWritten(node) &&
           KFbxWriterMesh::TurnsInsideOut(SceneFrame(node, 0).data());
}

KFbxNode* KFbxWriter3DS::WrittenParent(const KFbxNode* node) {
    // Up the ancestors, without recursion: a tree may be deeper than the
    // stack. Each ancestor passed over keeps the answer, which is its own.
    std::vector<const KFbxNode*> passed;
    KFbxNode* written = node != nullptr ? node->GetParent() : nullptr;
    while (written != nullptr && !IsWritten(written)) {
        const auto found = mWrittenParents.find(written);
        if (found != mWrittenParents.end()) {
            written = found->second;
            break;
        }
        passed.push_back(written);
        written = written->GetParent();
    }
    for (const KFbxNode* ancestor : passed) {
        mWrittenParents.emplace(ancestor, written);
    }
    return written;
}

KFbxWriter3DS::Frame KFbxWriter3DS::SceneFrame(KFbxNode* node, std::uint32_t frame) {
    const double* global = ScenePartsAt(node, frame).mGlobal;
    Frame out;
    std::copy(global, global + out.size(), out.begin());
    return out;
}

const KFbxNodeGlobalParts& KFbxWriter3DS::ScenePartsAt(KFbxNode* node, std::uint32_t frame) {
    // Past the last frame that moves it, a node stands where it stood then:
    // a still node is evaluated once, however many keys a node looked at
    // with it (a moving target of a still camera) has.
    const std::uint32_t at = std::min(frame, KeyCount(node) - 1);
    std::vector<KFbxNodeGlobalParts>& parts = mSceneParts[node];
    if (parts.size() > at) {
        return parts[at];
    }
    // The node and the ancestors not evaluated that far yet, nearest first,
    // then each evaluated from its parent's parts, from the top down.
    std::vector<KFbxNode*> behind;
    for (KFbxNode* up = node; up != nullptr && mSceneParts[up].size() <= std::min(at, KeyCount(up) - 1);
         up = up->GetParent()) {
        behind.push_back(up);
    }
    for (auto up = behind.rbegin(); up != behind.rend(); ++up) {
        KFbxNode* parent = (*up)->GetParent();
        EvaluateSceneParts(*up, parent != nullptr ? &mSceneParts[parent] : nullptr, std::min(at, KeyCount(*up) - 1));
    }
    return parts[at];
}

void KFbxWriter3DS::EvaluateSceneParts(KFbxNode* node, const std::vector<KFbxNodeGlobalParts>* above,
                                       std::uint32_t frame) {
    std::vector<KFbxNodeGlobalParts>& parts = mSceneParts[node];
    // Room for all of the node's keys at once: it is asked for no more.
    parts.reserve(KeyCount(node));
    while (parts.size() <= frame) {
        const auto key = static_cast<std::uint32_t>(parts.size());
        // The parent holds still past its own keys, and its parts with it.
        const KFbxNodeGlobalParts* parent =
            above != nullptr ? &(*above)[std::min<std::size_t>(key, above->size() - 1)] : nullptr;
        KFbxNodeGlobalParts at;
        node->EvaluateGlobalTransformUnder(TimesOfFrames(key + 1)[key], parent, at);
        parts.push_back(at);
    }
}

KFbxWriter3DS::Frame KFbxWriter3DS::LocalFrame(KFbxNode* node, std::uint32_t frame) {
    const KTime time = TimesOfFrames(frame + 1)[frame];
    Frame out = writer3ds::IdentityFrame();
    KgeMatrixSetTRS(out.data(), node->EvaluateLocalT(time, true), node->EvaluateLocalR(time, true),
                    node->EvaluateLocalS(time, true));
    return out;
}

const KFbxWriter3DS::Frames* KFbxWriter3DS::ParentFrames(const KFbxNode* node) {
    const auto found = mKeyframerFrames.find(WrittenParent(node));
    return found != mKeyframerFrames.end() && !found->second.empty() ? &found->second : nullptr;
}

KFbxWriter3DS::KeyedFrame KFbxWriter3DS::FrameAt(const Frames* frames, std::uint32_t frame) {
    // A track holds its last key to the end.
    return frames != nullptr ? (*frames)[std::min<std::size_t>(frame, frames->size() - 1)] : KeyedFrame{};
}

point3ds KFbxWriter3DS::InFrame(const Frame& frame, const double (&world)[3]) {
    Frame inverse;
    double local[3];
    if (writer3ds::Invert(frame, inverse)) {
        KgeMatrixMultPoint(local, inverse.data(), world);
    } else {
        // A frame squashed flat: the offset from its origin.
        for (std::size_t axis = 0; axis < 3; ++axis) {
            local[axis] = world[axis] - frame[12 + axis];
        }
    }
    const KFbxVector4 inFile = ConvertPosition(KFbxVector4(local[0], local[1], local[2], 0.0));
    return {static_cast<float>(inFile[0]), static_cast<float>(inFile[1]), static_cast<float>(inFile[2])};
}

bool KFbxWriter3DS::WriteNodes() {
    // The path from the root to the node being written, kept here instead of
    // on the stack, which a deep tree would overflow.
    std::vector<NodeInWalk> path(1);
    path.back().mNode = mRootNode;
    if (!WriteNode(path.back())) {
        return false;
    }
    while (!path.empty()) {
        NodeInWalk& at = path.back();
        if (at.mNextChild < at.mNode->GetChildCount()) {
            KFbxNode* child = at.mNode->GetChild(at.mNextChild++);
            path.emplace_back().mNode = child;
            if (!WriteNode(path.back())) {
                return false;
            }
            continue;
        }
        const bool finished = FinishNode(at);
        path.pop_back();
        if (!finished) {
            return false;
        }
    }
    return true;
}

bool KFbxWriter3DS::WriteNode(NodeInWalk& at) {
    KFbxNode* node = at.mNode;
    const int type = AttributeType(node);
    bool written = true;
    Frames frames;
    if (IsGeometryType(type)) {
        written = !mFlags.mMesh || WriteGeometryNode(node, at.mMotion, at.mExtraParts, frames);
    } else if (type == KFbxNodeAttribute::eLIGHT) {
        written = !mFlags.mLight || WriteLightNode(node, frames);
    } else if (type == KFbxNodeAttribute::eCAMERA) {
        written = !mFlags.mCamera || WriteCameraNode(node, frames);
    } else {
        if (IsScaleNodeName(FileNameOf(node))) {
            KFbxVector4 scaling;
            node->GetLclScaling(scaling);
            mUnitScale = scaling[0] * kInchesPerCentimetre;
        }
        written = !IsWritten(node) || WriteDummyNode(node, frames);
    }
    if (at.mExtraParts.empty()) {
        at.mMotion.reset();
    }
    // The children's keys are taken against what readers make of this
    // node's keys, for as long as they are written.
    if (!frames.empty() && node->GetChildCount() > 0) {
        mKeyframerFrames[node] = std::move(frames);
    }
    return written;
}

bool KFbxWriter3DS::FinishNode(NodeInWalk& at) {
    mKeyframerFrames.erase(at.mNode);
    mSceneParts.erase(at.mNode);
    // Readers that take a node's parent from the nodes before it would
    // otherwise hang the children under the last part.
    return at.mExtraParts.empty() || PutExtraParts(at.mMotion, at.mExtraParts);
}

bool KFbxWriter3DS::WriteGeometryNode(KFbxNode* node, reader3ds::ObjectMotionRecord& motion,
                                      std::vector<std::string>& extraParts, Frames& frames) {
    motion = MakeObjectMotion(node, frames);
    if (ToolkitFailed()) {
        return false;
    }
    // The points where the scene has them; readers take them back into the
    // object's own space by the mesh matrix, and place them by the keys:
    // the matrix is where the keys put the node at the start, mirrored
    // back where the points mirror (readers then turn the matrix's X axis
    // round, see MakeObjectMotion).
    const Frame world = SceneFrame(node, 0);
    Frame matrix = world;
    if (!frames.empty()) {
        const Frame& start = frames.front().mFrame;
        matrix = KFbxWriterMesh::TurnsInsideOut(world.data()) ? writer3ds::MirroredAcrossX(start) : start;
    }
    // Surfaces are written as triangles of a copy; their textures are not.
    const bool surface = AttributeType(node) != KFbxNodeAttribute::eMESH;
    KFbxWriterMesh prepared;
    if (prepared.Prepare(*node, false, false) && prepared.GetMesh() != nullptr &&
        !WriteMesh(node, *prepared.GetMesh(), world, matrix, mFlags.mTexture && !surface, extraParts)) {
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

bool KFbxWriter3DS::WriteDummyNode(KFbxNode* node, Frames& frames) {
    reader3ds::ObjectMotionRecord motion = MakeObjectMotion(node, frames);
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

bool KFbxWriter3DS::WriteLightNode(KFbxNode* node, Frames& frames) {
    const auto* light = dynamic_cast<const KFbxLight*>(node->GetNodeAttribute());
    if (light == nullptr) {
        return true;
    }
    const std::string& name = FileNameOf(node);
    // The records stand where the keys start, in the world, as readers that
    // take no keys see them.
    const point3ds position = FilePoint(SceneFrame(node, 0));
    if (light->GetLightType() == KFbxLight::ePOINT) {
        reader3ds::LightRecord record = MakeOmniLight(*light, position, name);
        reader3ds::OmniMotionRecord motion = MakeOmniLightMotion(node, frames);
        if (ToolkitFailed() || record == nullptr || motion == nullptr) {
            return !ToolkitFailed();
        }
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
    reader3ds::LightRecord record = MakeSpotLight(*light, position, name);
    reader3ds::SpotMotionRecord motion = MakeSpotLightMotion(node, frames);
    if (ToolkitFailed() || record == nullptr || motion == nullptr) {
        return !ToolkitFailed();
    }
    if (record->spot != nullptr) {
        double target[3];
        LookAt(node, 0, target);
        record->spot->target = FilePoint(target);
    }
    ReportNonFinite(writer3ds::ZeroNonFinite(*record) + writer3ds::ZeroNonFinite(*motion), name);
    PutLight3ds(mDatabase, record.get());
    if (ToolkitFailed()) {
        return false;
    }
    PutSpotlightMotion3ds(mDatabase, motion.get());
    return !ToolkitFailed();
}

bool KFbxWriter3DS::WriteCameraNode(KFbxNode* node, Frames& frames) {
    const auto* camera = dynamic_cast<const KFbxCamera*>(node->GetNodeAttribute());
    if (camera == nullptr) {
        return true;
    }
    reader3ds::CameraRecord record = MakeCamera(*camera, FilePoint(SceneFrame(node, 0)), FileNameOf(node));
    reader3ds::CameraMotionRecord motion = MakeCameraMotion(node, frames);
    if (ToolkitFailed() || record == nullptr || motion == nullptr) {
        return !ToolkitFailed();
    }
    double target[3];
    LookAt(node, 0, target);
    record->target = FilePoint(target);
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
    // The file has one background, that of the last camera written; it is
    // put once, after the walk.
    mBackgroundCamera = camera;
    return !ToolkitFailed();
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
    keyframer->animlength = mLastFrame;
    PutKfSets3ds(mDatabase, keyframer.get());
    return !ToolkitFailed();
}

bool KFbxWriter3DS::CheckKeyframerNodeCount() {
    const std::uint32_t count = GetKeyframerNodeCount3ds(mDatabase);
    if (count <= kMaxKeyframerNodes3ds) {
        return true;
    }
    // Written anyway, the numbers would wrap and hang nodes under the wrong
    // parents in every reader.
    const KString message = KString("The scene needs ") + static_cast<int>(std::min<std::uint32_t>(count, INT_MAX)) +
                            " keyframer nodes (one per node written, a second for the target of each camera and " +
                            "spot light, one per further part of a mesh too large for one object): a 3DS file " +
                            "numbers at most " + static_cast<int>(kMaxKeyframerNodes3ds) +
                            ". Nothing was written to " + mFileName.c_str() + ".";
    mError.SetErrorWithText(eUNIDENTIFIED_ERROR, message.Buffer());
    return false;
}

bool KFbxWriter3DS::FinishWrite() {
    WriteDatabase3ds(mFile.Get(), mDatabase);
    return !ToolkitFailed();
}

}  // namespace fbxsdk_2006_11_1
