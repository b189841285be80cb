// The FBX 5 reader's frame: the records of the main section in the order
// their objects need each other, the names resolved once every model is
// read, and the scene-wide records.
#include <fbxfilesdk/fbx/KFbxReaderFbxPass.h>

#include <fbxfilesdk/core/KFbxClassRegistration.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Records.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/scene/KFbxVideo.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstring>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

using namespace fbx6read;

namespace {

// Every record of the kind in the current block, its block entered, given
// its name; stops at the first body that answers false.
template <class Body>
bool ForEachRecord(KFbx& file, const char* kind, Body body) {
    bool good = true;
    while (good && file.FieldReadBegin(kind)) {
        const KString name = NextS(file);
        if (file.FieldReadBlockBegin()) {
            good = body(name);
            file.FieldReadBlockEnd();
        }
        file.FieldReadEnd();
    }
    return good;
}

}  // namespace

KFbxReaderFbxPass::KFbxReaderFbxPass(KFbxSdkManager& manager, KFbx& file, KFbxScene& scene,
                                     KFbxStreamOptionsFbxReader& options)
    : KFbxReaderFbx6Pass(manager, file, scene, options) {}

bool KFbxReaderFbxPass::CheckModelRecords(KFbx& file, KString& why) {
    return ForEachRecord(file, "Model", [&](const KString& /*name*/) {
        const KString type = file.FieldReadSDefault("Type", "");
        if (type == "Nurb" && file.FieldReadBegin("NurbVersion")) {
            file.FieldReadEnd();
            GridRecord record;
            return ParseGridRecord(file, true, record, why);
        }
        if (type == "Patch" && file.FieldReadBegin("PatchVersion")) {
            file.FieldReadEnd();
            PatchRecord record;
            return ParsePatchRecord(file, record, why);
        }
        return true;
    });
}

void KFbxReaderFbxPass::ReadSceneRecords() {
    if (Option("TEXTURE") || Option("MEDIA")) {
        ReadMedia();
    }
    // As in FBX 6 files, the option leaves the models out altogether.
    if (Option("MODEL")) {
        ReadModels();
    }
    ReadSwitcher();
    ResolveModelNames();
    if (Option("GOBO")) {
        ReadGoboManager();
    }
    if (Option("CHARACTER")) {
        ReadCharacters();
    }
    ReadPersistence();
}

void KFbxReaderFbxPass::RunNested() {
    if (KFbxNode* root = mScene.GetRootNode()) {
        Remember(KString("Model::Scene"), root);
    }
    ReadSceneRecords();
    FinishObjects();
}

void KFbxReaderFbxPass::ReadMedia() {
    if (!mFile.FieldReadBegin("Media")) {
        return;
    }
    if (mFile.FieldReadBlockBegin()) {
        if (mFile.FieldReadBegin("Video")) {
            if (mFile.FieldReadBlockBegin()) {
                ForEachRecord(mFile, "Video", [this](const KString& name) {
                    auto* clip = dynamic_cast<KFbxVideo*>(CreateObject("KFbxVideo", name.Buffer()));
                    if (clip != nullptr) {
                        // The content is extracted beside the file read when
                        // the file named is missing; the video names the file.
                        ReadVideoContents(*clip);
                        MediaRecord& media = mMedia[std::string(name.Buffer())];
                        mScene.ConnectObject(clip);
                        media.mFileName = clip->GetFileName();
                        media.mRelativeFileName = clip->GetRelativeFileName();
                        media.mVideo = clip;
                    }
                    return true;
                });
                mFile.FieldReadBlockEnd();
            }
            mFile.FieldReadEnd();
        }
        mFile.FieldReadBlockEnd();
    }
    mFile.FieldReadEnd();
}

void KFbxReaderFbxPass::ReadModels() {
    ForEachRecord(mFile, "Model", [this](const KString& name) {
        ReadModelRecord(name);
        return true;
    });
}

void KFbxReaderFbxPass::ReadSwitcher() {
    KFbxNode* node = mScene.GetCameraSwitcherNode();
    if (node == nullptr || !mFile.FieldReadBegin("Switcher")) {
        return;
    }
    if (mFile.FieldReadBlockBegin()) {
        ReadModelFlags(*node);
        ReadModelBody(*node);
        auto* switcher = dynamic_cast<KFbxCameraSwitcher*>(node->GetNodeAttribute());
        if (switcher != nullptr) {
            ReadAttributeContents(switcher);
        }
        mFile.FieldReadBlockEnd();
    }
    mFile.FieldReadEnd();
    // Take records name the switcher by its node.
    Remember(node->GetNameWithTypePrefix(), node);
}

void KFbxReaderFbxPass::ResolveModelNames() {
    for (const PendingChildren& pending : mChildren) {
        for (const KString& name : pending.mNames) {
            auto* child = dynamic_cast<KFbxNode*>(Find(name));
            // A child is placed once: a name listed twice, or a parent listed
            // below its own child, must not tear the tree.
            if (child == nullptr || child == pending.mParent || child->GetParent() != nullptr ||
                RefusesLink(*child, *pending.mParent)) {
                continue;
            }
            // A child above its parent is refused by the parent: a file's
            // cycle places neither.
            pending.mParent->AddChild(child);
        }
    }
    for (const PendingTargets& pending : mTargets) {
        if (auto* target = dynamic_cast<KFbxNode*>(Find(pending.mLookAt))) {
            pending.mNode->SetTarget(target);
        }
        if (auto* up = dynamic_cast<KFbxNode*>(Find(pending.mUp))) {
            pending.mNode->SetTargetUp(up);
        }
    }
    for (const PendingLink& pending : mLinks) {
        auto* link = dynamic_cast<KFbxNode*>(Find(pending.mLink));
        if (link != nullptr && !RefusesLink(*link, *pending.mCluster)) {
            pending.mCluster->SetLink(link);
        }
        if (auto* associate = dynamic_cast<KFbxNode*>(Find(pending.mAssociate))) {
            pending.mCluster->SetAssociateModel(associate);
        }
    }
    mChildren.clear();
    mTargets.clear();
    mLinks.clear();
}

void KFbxReaderFbxPass::ReadGoboManager() {
    if (!mFile.FieldReadBegin("GoboManager")) {
        return;
    }
    if (mFile.FieldReadBlockBegin()) {
        struct Gobo {
            KString mPath;
            int mDraw[3] = {0, 0, 0};
        };
        std::map<std::string, Gobo> gobos;
        ForEachRecord(mFile, "Gobo", [&](const KString& /*unnamed*/) {
            Gobo& gobo = gobos[std::string(mFile.FieldReadSDefault("GoboName", "").Buffer())];
            gobo.mPath = mFile.FieldReadSDefault("GoboPath", "");
            if (mFile.FieldReadBegin("DrawComponent")) {
                for (int& draw : gobo.mDraw) {
                    draw = NextI(mFile);
                }
                mFile.FieldReadEnd();
            }
            return true;
        });
        while (mFile.FieldReadBegin("LightGobo")) {
            const KString lightName = NextS(mFile);
            const KString goboName = NextS(mFile);
            mFile.FieldReadEnd();
            auto* node = dynamic_cast<KFbxNode*>(Find(lightName));
            auto* light = node != nullptr ? dynamic_cast<KFbxLight*>(node->GetLight()) : nullptr;
            const auto gobo = gobos.find(std::string(goboName.Buffer()));
            if (light == nullptr || gobo == gobos.end()) {
                continue;
            }
            light->SetFileName(gobo->second.mPath.Buffer());
            light->SetDrawFrontFacingVolumetricLight(gobo->second.mDraw[0] != 0);
            light->SetDrawGroundProjection(gobo->second.mDraw[1] != 0);
            light->SetDrawVolumetricLight(gobo->second.mDraw[2] != 0);
        }
        mFile.FieldReadBlockEnd();
    }
    mFile.FieldReadEnd();
}

void KFbxReaderFbxPass::ReadCharacters() {
    const CharacterModelFinder findModel = [this](const KString& name) {
        return dynamic_cast<KFbxNode*>(Find(name));
    };
    // A character whose input is another character names it by its index,
    // known once every character is made.
    std::vector<std::pair<KFbxCharacter*, int>> inputs;
    while (mFile.FieldReadBegin("CHARACTER")) {
        if (mFile.FieldReadBlockBegin()) {
            const KString name = WithoutPrefix(mFile.FieldReadSDefault("CONSTRAINT", "Character"));
            const int index = mScene.CreateCharacter(name.Buffer());
            if (KFbxCharacter* character = index >= 0 ? mScene.GetCharacter(index) : nullptr) {
                Remember(character->GetNameWithTypePrefix(), character);
                ReadCharacterLinks(mFile, *character, findModel);
                if (mFile.FieldReadIDefault("INPUTOUTPUTTYPE", 0) == 1) {
                    inputs.emplace_back(character, mFile.FieldReadIDefault("CHARACTERINDEX", -1));
                }
                if (mFile.FieldReadBegin("FILTERSET")) {
                    if (mFile.FieldReadBlockBegin()) {
                        ReadFilterSet(character->GetFilterSet());
                        mFile.FieldReadBlockEnd();
                    }
                    mFile.FieldReadEnd();
                }
                if (mFile.FieldReadBegin("MB_CONTROLSET")) {
                    if (mFile.FieldReadBlockBegin()) {
                        ReadControlSet(character->GetControlSet());
                        mFile.FieldReadBlockEnd();
                    }
                    mFile.FieldReadEnd();
                }
            }
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    for (const auto& [character, input] : inputs) {
        KFbxCharacter* source = input >= 0 && input < mScene.GetCharacterCount() ? mScene.GetCharacter(input) : nullptr;
        if (source != nullptr && source != character) {
            character->SetCharacterInput(1, source);
        }
    }
}

void KFbxReaderFbxPass::ReadPersistence() {
    if (!mFile.FieldReadBegin("SceneGenericPersistence")) {
        return;
    }
    if (mFile.FieldReadBlockBegin()) {
        ForEachRecord(mFile, "Pose", [this](const KString& name) {
            // A character pose holds its scene; other poses list nodes.
            if (mFile.FieldReadBegin("PoseScene")) {
                if (Option("CHARACTER")) {
                    ReadCharacterPose(name);
                }
                mFile.FieldReadEnd();
            } else if (Option("MODEL")) {
                ReadPose(name, KString());
            }
            return true;
        });
        if (mFile.FieldReadBegin("SceneInfo")) {
            if (mFile.FieldReadBlockBegin()) {
                ReadSceneInfo();
                mFile.FieldReadBlockEnd();
            }
            mFile.FieldReadEnd();
        }
        mFile.FieldReadBlockEnd();
    }
    mFile.FieldReadEnd();
}

void KFbxReaderFbxPass::ReadCharacterPose(const KString& prefixedName) {
    const int index = mScene.CreateCharacterPose(WithoutPrefix(prefixedName).Buffer());
    KFbxCharacterPose* pose = index >= 0 ? mScene.GetCharacterPose(index) : nullptr;
    KFbxScene* poseScene = pose != nullptr ? pose->GetPoseScene() : nullptr;
    if (poseScene != nullptr && mFile.FieldReadBlockBegin()) {
        // The pose's scene is a whole scene of its own, written with its
        // models only.
        KFbxReaderFbxPass nested(mManager, mFile, *poseScene, mOptions);
        nested.SetMedia(mExtraction);
        nested.RunNested();
        mFile.FieldReadBlockEnd();
    }
}

void KFbxReaderFbxPass::ReadSettingsRecords() { ReadGlobalSections(); }

void KFbxReaderFbxPass::ReadMoreSettings() {
    KFbxGlobalCameraSettings& cameras = mScene.GetGlobalCameraSettings();
    // Files hold five or seven producer cameras, each named.
    ForEachRecord(mFile, "Camera", [&](const KString& name) {
        for (int which = 0; which < KFbxGlobalCameraSettings::ePRODUCER_CAMERA_COUNT; ++which) {
            const char* producerName = KFbxGlobalCameraSettings::GetProducerCameraName(which);
            KFbxNode* node = cameras.GetProducerCameraNode(which);
            auto* camera = node != nullptr ? dynamic_cast<KFbxCamera*>(node->GetCamera()) : nullptr;
            if (camera != nullptr && producerName != nullptr && name == producerName) {
                ReadCameraFields(*camera);
            }
        }
        return true;
    });
    // Renderer settings nested in the time settings are read as at the top.
    if (mFile.FieldReadBegin("RendererSetting")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadRendererSetting();
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

}  // namespace fbxsdk_2006_11_1
