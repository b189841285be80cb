// The records of FBX 5 files that describe the scene as a whole: gobos,
// characters and their constraint entries, poses and scene information, and
// the camera and time settings with the producer cameras.
#include <fbxfilesdk/fbx/KFbxWriterFbx.h>

#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalTimeSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeProperties.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstring>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

struct GoboRecord {
    KString mName;
    KString mPath;
    bool mFrontFacingVolumetric;
    bool mGroundProjection;
    bool mVolumetric;
};

struct LightGoboRecord {
    const KFbxNode* mLight;
    KString mGoboName;
};

bool SameGobo(const GoboRecord& a, const GoboRecord& b) {
    return std::strcmp(a.mPath.Buffer(), b.mPath.Buffer()) == 0 &&
           a.mFrontFacingVolumetric == b.mFrontFacingVolumetric && a.mGroundProjection == b.mGroundProjection &&
           a.mVolumetric == b.mVolumetric;
}

// A producer camera's node shown as the viewer's cameras are: hidden, with
// the first shading kind. What the node had comes back with the holder's end.
class ProducerDisplay {
public:
    explicit ProducerDisplay(KFbxNode& node)
        : mNode(node),
          mShow(node.GetNodeProperty(eShow)),
          mVisibility(node.GetNodeProperty(eVisibility)),
          mShading(node.GetShading()) {
        if (mShow.IsValid()) mShow.Get(&mShown, eFbxValueBool);
        if (mVisibility.IsValid()) mVisibility.Get(&mVisibilityValue, eFbxValueDouble);
        node.SetVisibility(false);
        node.SetShading(1);
    }
    ~ProducerDisplay() {
        if (mShow.IsValid()) mShow.Set(&mShown, eFbxValueBool);
        if (mVisibility.IsValid()) mVisibility.Set(&mVisibilityValue, eFbxValueDouble);
        mNode.SetShading(mShading);
    }
    ProducerDisplay(const ProducerDisplay&) = delete;
    ProducerDisplay& operator=(const ProducerDisplay&) = delete;

private:
    KFbxNode& mNode;
    KFbxProperty mShow;
    KFbxProperty mVisibility;
    bool mShown = true;
    double mVisibilityValue = 1.0;
    int mShading;
};

}  // namespace

void KFbxWriterFbx::WriteGoboManager(KFbxScene& scene) {
    std::vector<GoboRecord> gobos;
    std::vector<LightGoboRecord> links;
    int counter = 0;
    // Lights from the last to the first: a light whose gobo equals one met
    // before shares that gobo's record and name.
    for (int i = scene.GetNodeCount() - 1; i >= 0; --i) {
        const KFbxNode* node = scene.GetNode(i);
        const auto* light = node != nullptr ? dynamic_cast<const KFbxLight*>(node->GetLight()) : nullptr;
        const char* path = light != nullptr ? light->GetFileName() : nullptr;
        if (path == nullptr) {
            continue;
        }
        KString name("gobo-");
        name += counter++;
        GoboRecord gobo{name, KString(path), light->GetDrawFrontFacingVolumetricLight(),
                        light->GetDrawGroundProjection(), light->GetDrawVolumetricLight()};
        links.push_back({node, name});
        bool shared = false;
        for (const GoboRecord& kept : gobos) {
            if (SameGobo(kept, gobo)) {
                links.back().mGoboName = kept.mName;
                shared = true;
                break;
            }
        }
        if (!shared) {
            gobos.push_back(gobo);
        }
    }

    KFbx& file = *mFbx;
    file.FieldWriteBegin("GoboManager");
    file.FieldWriteBlockBegin();
    for (auto gobo = gobos.rbegin(); gobo != gobos.rend(); ++gobo) {
        file.FieldWriteBegin("Gobo");
        file.FieldWriteBlockBegin();
        WriteIntRecord(file, "Version", 250);
        file.WriteStringField("GoboName", gobo->mName.Buffer());
        file.WriteStringField("GoboPath", gobo->mPath.Buffer());
        file.FieldWriteBegin("DrawComponent");
        file.FieldWriteI(gobo->mFrontFacingVolumetric ? 1 : 0);
        file.FieldWriteI(gobo->mGroundProjection ? 1 : 0);
        file.FieldWriteI(gobo->mVolumetric ? 1 : 0);
        file.FieldWriteEnd();
        CloseFieldBlock(file);
    }
    for (const LightGoboRecord& link : links) {
        file.FieldWriteBegin("LightGobo");
        file.FieldWriteS(link.mLight->GetNameWithTypePrefix());
        file.FieldWriteS(link.mGoboName);
        file.FieldWriteEnd();
    }
    CloseFieldBlock(file);
}

void KFbxWriterFbx::WriteCharacters(KFbxScene& scene) {
    for (int i = 0; i < scene.GetCharacterCount(); ++i) {
        mFbx->FieldWriteBegin("CHARACTER");
        mFbx->FieldWriteBlockBegin();
        WriteCharacter(scene, i);
        CloseFieldBlock(*mFbx);
    }
}

void KFbxWriterFbx::WriteSceneGenericPersistence(KFbxScene& scene) {
    const bool characterPoses = IsOptionOn("CHARACTER") && scene.GetCharacterPoseCount() > 0;
    if (scene.GetPoseCount() == 0 && scene.GetSceneInfo() == nullptr && !characterPoses) {
        return;
    }
    mFbx->FieldWriteBegin("SceneGenericPersistence");
    mFbx->FieldWriteBlockBegin();
    if (IsOptionOn("CHARACTER")) {
        WriteCharacterPoses(scene);
    }
    WritePoses(scene);
    WriteSceneInfo(scene.GetSceneInfo());
    CloseFieldBlock(*mFbx);
}

void KFbxWriterFbx::WritePoses(KFbxScene& scene) {
    for (int i = 0; i < scene.GetPoseCount(); ++i) {
        const KFbxPose* pose = scene.GetPose(i);
        if (pose == nullptr) {
            continue;
        }
        mFbx->FieldWriteBegin("Pose");
        mFbx->FieldWriteS(pose->GetNameWithTypePrefix());
        mFbx->FieldWriteBlockBegin();
        mFbx->WriteStringField("Type", pose->IsBindPose() ? "BindPose" : "RestPose");
        // Only the nodes of the tree the file holds.
        std::vector<int> entries;
        for (int entry = 0; entry < pose->GetCount(); ++entry) {
            if (mTreeTops.Of(pose->GetNode(entry)) == scene.GetRootNode()) {
                entries.push_back(entry);
            }
        }
        WriteIntRecord(*mFbx, "NbPoseNodes", static_cast<int>(entries.size()));
        WritePoseNodeBlocks(*pose, entries);
        CloseFieldBlock(*mFbx);
    }
}

void KFbxWriterFbx::WriteConstraintsSection(KFbxScene& scene) {
    const int count = scene.GetCharacterCount();
    if (count == 0) {
        return;
    }
    KFbx& file = *mFbx;
    file.FieldWriteBegin("Constraints");
    file.FieldWriteBlockBegin();
    file.FieldWriteBegin("Version");
    file.FieldWriteD(4.0);
    file.FieldWriteEnd();
    file.FieldWriteBegin("Group");
    file.FieldWriteS("Constraint Group");
    file.FieldWriteBlockBegin();
    for (int i = 0; i < count; ++i) {
        const KFbxCharacter* character = scene.GetCharacter(i);
        if (character == nullptr) {
            continue;
        }
        file.FieldWriteBegin("Constraint");
        file.FieldWriteS(character->GetNameWithTypePrefix());
        file.FieldWriteBlockBegin();
        file.WriteStringField("Type", "Character");
        WriteIntRecord(file, "MultiLayer", 1);
        file.WriteStringField("Flags", "Active");
        file.WriteStringField("Description", "Character");
        CloseFieldBlock(file);
    }
    CloseFieldBlock(file);
    CloseFieldBlock(file);
}

void KFbxWriterFbx::WriteGlobalCameraAndTimeSettings(KFbxScene& scene) {
    WriteRendererSetting(scene);
    KFbx& file = *mFbx;
    file.FieldWriteBegin("Settings");
    file.FieldWriteBlockBegin();
    const KFbxGlobalCameraSettings& cameras = scene.GetGlobalCameraSettings();
    for (int which = 0; which < KFbxGlobalCameraSettings::ePRODUCER_CAMERA_COUNT; ++which) {
        KFbxNode* node = cameras.GetProducerCameraNode(which);
        if (node == nullptr) {
            continue;
        }
        const ProducerDisplay display(*node);
        file.FieldWriteBegin("Camera");
        file.FieldWriteS(KFbxGlobalCameraSettings::GetProducerCameraName(which));
        file.FieldWriteBlockBegin();
        WriteIntRecord(file, "Version", 194);
        WriteModelMultiLayer(*node);
        WriteModelShading(*node);
        WriteModelCulling(*node);
        WriteLimits(*node);
        WriteNodeProperties(*node);
        WriteAnimatedProperties(*node);
        if (const auto* camera = dynamic_cast<const KFbxCamera*>(node->GetCamera())) {
            WriteCameraAttribute(*camera, true);
        }
        CloseFieldBlock(file);
    }

    KFbxGlobalTimeSettings& time = scene.GetGlobalTimeSettings();
    WriteIntRecord(file, "TimeMode", KTime::TimeModeToFileCode(time.GetTimeMode()));
    file.WriteStringField("FrameRate", KTime::GetTimeModeName(time.GetTimeMode()));
    WriteIntRecord(file, "TimeFormat", time.GetTimeFormat());
    WriteIntRecord(file, "SnapOnFrames", time.GetSnapOnFrames());
    WriteIntRecord(file, "ReferenceTimeIndex", time.GetCurrentTimeMarker());
    for (int i = 0; i < time.GetTimeMarkerCount(); ++i) {
        const KFbxTimeMarker* marker = time.GetTimeMarker(i);
        if (marker == nullptr) {
            continue;
        }
        file.FieldWriteBegin("TimeMarker");
        file.FieldWriteS(marker->mName);
        file.FieldWriteBlockBegin();
        file.FieldWriteBegin("Time");
        file.FieldWriteT(marker->mTime);
        file.FieldWriteEnd();
        WriteIntRecord(file, "Loop", marker->mLoop ? 1 : 0);
        CloseFieldBlock(file);
    }
    CloseFieldBlock(file);
}

}  // namespace fbxsdk_2006_11_1
