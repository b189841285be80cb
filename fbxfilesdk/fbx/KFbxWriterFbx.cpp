// The FBX 5 writer's frame: file creation, scene preparation, the write pass
// in its two phases, and nested scenes.
#include <fbxfilesdk/fbx/KFbxWriterFbx.h>

#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KProgress.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNodeWalk.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneRenamer.h>

#include <algorithm>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kFileVersion = 5800;
constexpr char kPreparedVersion[] = "FBX53_MB55";

// The scenes being written on this thread, outermost first: a character pose
// whose scene is one of them would nest without end.
thread_local std::vector<const KFbxScene*> tScenesBeingWritten;

class SceneBeingWritten {
public:
    explicit SceneBeingWritten(const KFbxScene* scene) : mScene(scene) {
        if (mScene != nullptr) tScenesBeingWritten.push_back(mScene);
    }
    ~SceneBeingWritten() {
        if (mScene != nullptr) tScenesBeingWritten.pop_back();
    }
    SceneBeingWritten(const SceneBeingWritten&) = delete;
    SceneBeingWritten& operator=(const SceneBeingWritten&) = delete;

    static bool Contains(const KFbxScene* scene) {
        return std::find(tScenesBeingWritten.begin(), tScenesBeingWritten.end(), scene) !=
               tScenesBeingWritten.end();
    }

private:
    const KFbxScene* mScene;
};

// An option set of the manager, destroyed with the holder.
class OwnedOptions {
public:
    explicit OwnedOptions(KFbxSdkManager& manager) : mOptions(KFbxStreamOptionsFbxWriter::Create(&manager, "")) {}
    ~OwnedOptions() {
        if (mOptions != nullptr) mOptions->Destroy();
    }
    OwnedOptions(const OwnedOptions&) = delete;
    OwnedOptions& operator=(const OwnedOptions&) = delete;

    KFbxStreamOptionsFbxWriter* Get() const { return mOptions; }

private:
    KFbxStreamOptionsFbxWriter* mOptions;
};

}  // namespace

KFbxWriterFbx::KFbxWriterFbx(KFbxSdkManager& manager, KFbxIO* io) : KFbxWriterFbxCommon(manager, io) {}

KFbxWriterFbx::~KFbxWriterFbx() {
    if (mFbx != nullptr) {
        FileClose();
    }
}

bool KFbxWriterFbx::FileCreate(const char* fileName) {
    const bool created = CreateFieldFile(fileName, kFileVersion);
    if (mFbx != nullptr) {
        mFbx->SetFbx5Compatible(true);
    }
    return created;
}

bool KFbxWriterFbx::PreprocessScene(KFbxScene& scene) {
    // Names are given for the file and taken back afterwards: the scene's
    // own come back, even those the renamer of the version below changes.
    RememberNames(scene);
    if (mExportVersion == kPreparedVersion) {
        PrepareForVersion53(scene);
    }
    MakeNamesUnique(scene);
    return false;
}

void KFbxWriterFbx::PrepareForVersion53(KFbxScene& scene) {
    if (KFbxNode* root = scene.GetRootNode()) {
        root->ConvertPivotAnimation(KFbxNode::eDESTINATION_SET, mRootScale, true);
    }
    if (KFbxGeometryConverter* converter = KFbxGeometryConverter::Create(&mManager, "")) {
        for (int i = 0; i < scene.GetNodeCount(); ++i) {
            KFbxNode* node = scene.GetNode(i);
            const KFbxNodeAttribute* attribute = node != nullptr ? node->GetNodeAttribute() : nullptr;
            if (attribute != nullptr && attribute->GetAttributeType() == KFbxNodeAttribute::eNURBS_SURFACE) {
                converter->ConvertNodeNurbsSurfaceToNurb(node);
            }
        }
        converter->Destroy();
    }
    if (mExportMode == 6) {
        mExportMode = 1;
    }
    KFbxSceneRenamer(&scene).RenameFor(mExportMode);
}

bool KFbxWriterFbx::PostprocessScene(KFbxScene& scene) {
    RestoreNames(scene);
    return mExportVersion == kPreparedVersion;
}

bool KFbxWriterFbx::CheckFieldFile() {
    if (!HasFieldFileError()) {
        return true;
    }
    SetFieldFileError();
    return false;
}

int KFbxWriterFbx::GetSummaryConstraintCount(const KFbxScene& scene) const { return scene.GetCharacterCount(); }

bool KFbxWriterFbx::Write(KFbxScene* scene, KFbxStreamOptions* options, IFbxObject* fieldFile) {
    const OwnedOptions fresh(mManager);
    mOptions = SelectWriteOptions(options, fresh.Get());
    if (mOptions == nullptr) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        return false;
    }
    IFbxObject* ownFieldFile = mFbx;
    if (fieldFile != nullptr) {
        mFbx = fieldFile;
    } else if (mFbx == nullptr) {
        mError.SetError(eFILE_NOT_CREATED);
        mOptions = nullptr;
        return false;
    }
    const SceneBeingWritten written(scene);
    mTreeTops.Forget();
    IProgress* progress = KProgress::GetGlobal();
    if (progress != nullptr) {
        progress->Start();
        progress->SetStepCount(1 + mOptions->GetSelectedTakeCount());
    }

    KFbxNode* root = scene != nullptr ? scene->GetRootNode() : nullptr;
    if (root != nullptr) {
        PrepareShapeChannels(*root);
    }

    // Each step of a phase is checked for a field file error; the first one
    // ends the phase, and a failed first phase skips the second.
    bool ok = true;
    auto step = [&](auto write) {
        if (ok) {
            write();
            ok = CheckFieldFile();
        }
    };
    int mediaCount = 0;
    if (scene != nullptr) {
        if (IsOptionOn("TEXTURE")) {
            step([&] { WriteMedia(*scene, IsOptionOn("EMBEDDED"), mediaCount); });
        }
        step([&] { WriteCameraSwitcher(*scene); });
        if (ok) {
            CollectAnimatedChannels(*scene);
        }
        step([&] {
            StartProgress("Storing models", root != nullptr ? root->GetChildCount(true) : 0);
            if (root != nullptr) {
                WriteModelTree(*root);
            }
            if (progress != nullptr) {
                progress->Step();
            }
        });
    }
    step([&] { WritePassword(); });
    if (scene != nullptr && IsOptionOn("ANIMATION")) {
        step([&] { WriteTakes(*scene); });
    }
    ClearObjectMaps();

    if (scene != nullptr) {
        if (IsOptionOn("GOBO")) {
            step([&] { WriteGoboManager(*scene); });
        }
        if (IsOptionOn("CHARACTER")) {
            step([&] { WriteCharacters(*scene); });
        }
        step([&] { WriteSceneGenericPersistence(*scene); });
        if (IsOptionOn("CHARACTER")) {
            step([&] { WriteConstraintsSection(*scene); });
        }
        if (IsOptionOn("GLOBAL SETTINGS")) {
            step([&] {
                WriteVersion5GlobalSections(*scene);
                WriteGlobalCameraAndTimeSettings(*scene);
            });
        }
    }

    // The file gets the end of its main section and its summary whatever
    // failed before.
    if (fieldFile != nullptr) {
        mFbx = ownFieldFile;
    } else {
        mFbx->CloseFileIdentity();
        WriteSummary(scene, mediaCount);
    }
    mMediaNames.clear();
    mOptions = nullptr;
    if (root != nullptr) {
        RestoreShapeChannels(*root);
    }
    if (progress != nullptr) {
        progress->Finish();
    }
    return ok;
}

void KFbxWriterFbx::PrepareShapeChannels(KFbxNode& top) {
    for (KFbxNode* node : KFbxNodesBelowChildrenFirst(top)) {
        PrepareNodeShapeChannels(*node);
    }
    PrepareNodeShapeChannels(top);
}

void KFbxWriterFbx::RestoreShapeChannels(KFbxNode& top) {
    for (KFbxNode* node : KFbxNodesBelowChildrenFirst(top)) {
        RestoreNodeShapeChannels(*node);
    }
    RestoreNodeShapeChannels(top);
}

void KFbxWriterFbx::PrepareNodeShapeChannels(KFbxNode& node) {
    if (auto* geometry = dynamic_cast<KFbxGeometry*>(node.GetNodeAttribute())) {
        geometry->ClearShapeArrays();
        for (int t = 0; t < node.GetTakeNodeCount(); ++t) {
            if (KFbxTakeNode* take = node.GetTakeNode(t)) {
                geometry->ProcessShapeChannels(*take);
            }
        }
    }
}

void KFbxWriterFbx::RestoreNodeShapeChannels(KFbxNode& node) {
    if (auto* geometry = dynamic_cast<KFbxGeometry*>(node.GetNodeAttribute())) {
        for (int t = 0; t < node.GetTakeNodeCount(); ++t) {
            if (KFbxTakeNode* take = node.GetTakeNode(t)) {
                geometry->RenameShapeChannels(*take);
            }
        }
        geometry->ClearShapeArrays();
    }
}

bool KFbxWriterFbx::IsSceneBeingWritten(const KFbxScene* scene) { return SceneBeingWritten::Contains(scene); }

bool KFbxWriterFbx::WriteNestedScene(KFbxCharacterPose& pose) {
    KFbxScene* poseScene = pose.GetPoseScene();
    if (poseScene == nullptr || mFbx == nullptr || IsSceneBeingWritten(poseScene)) {
        return false;
    }
    KFbxExporter* exporter = KFbxExporter::Create(&mManager, "");
    const OwnedOptions options(mManager);
    bool written = false;
    if (exporter != nullptr && options.Get() != nullptr) {
        for (const char* name : {"MODEL", "MATERIAL", "TEXTURE", "SHAPE", "GOBO", "PIVOT", "ANIMATION",
                                 "GLOBAL SETTINGS", "EMBEDDED"}) {
            options.Get()->SetOption(name, false);
        }
        written = exporter->WriteWithFbxWriter(poseScene, options.Get(), mFbx);
    }
    if (exporter != nullptr) {
        exporter->Destroy();
    }
    return written;
}

}  // namespace fbxsdk_2006_11_1
