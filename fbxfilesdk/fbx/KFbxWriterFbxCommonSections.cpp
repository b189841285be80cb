// The "Takes" section and the "Summary" section, which both file versions
// write alike but for the objects of a take and the constraints they count.
#include <fbxfilesdk/fbx/KFbxWriterFbxCommon.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KProgress.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr char kRule[] = "----------------------------------------------------";

// The take name as a file name: blanks and tabs become underscores.
KString TakeFileName(const KString& takeName) {
    KString name = takeName + ".tak";
    char* text = name.Buffer();
    for (int i = 0; i < name.GetLen(); ++i) {
        if (text[i] == ' ' || text[i] == '\t') text[i] = '_';
    }
    return name;
}

bool IsUnset(const KTimeSpan& span) { return span.GetStart().Get() == 0 && span.GetStop().Get() == 0; }

// The span of the keys of the take, which becomes current: those of the
// camera switcher and of the node tree; one second from 0 when nothing is
// animated.
KTimeSpan AnimationInterval(KFbxScene& scene, const KString& takeName) {
    scene.SetCurrentTake(takeName.Buffer());
    KTime start(std::numeric_limits<std::int64_t>::max());
    KTime stop(-std::numeric_limits<std::int64_t>::max());
    for (KFbxNode* node : {scene.GetCameraSwitcherNode(), scene.GetRootNode()}) {
        if (node == nullptr) continue;
        KTime nodeStart(std::numeric_limits<std::int64_t>::max());
        KTime nodeStop(-std::numeric_limits<std::int64_t>::max());
        node->GetAnimationInterval(nodeStart, nodeStop);
        if (nodeStart < start) start = nodeStart;
        if (nodeStop > stop) stop = nodeStop;
    }
    if (start > stop) {
        start = KTime(0);
        stop.SetTime(0, 0, 1, 0);
    }
    return KTimeSpan(start, stop);
}

void WriteTimeSpanField(KFbx& file, const char* name, const KTimeSpan& span) {
    file.FieldWriteBegin(name);
    file.FieldWriteTimeSpan(span.GetStart(), span.GetStop());
    file.FieldWriteEnd();
}

// Which take each take-node container had current, so that a pass that
// switches takes can give them back.
class CurrentTakes {
public:
    explicit CurrentTakes(KFbxScene& scene) : mScene(scene), mName(scene.GetCurrentTakeName()) {
        for (int i = 0; i < scene.GetTakeNodeContainerCount(); ++i) {
            if (KFbxTakeNodeContainer* container = scene.GetTakeNodeContainer(i)) {
                mCurrent.emplace_back(container, container->GetCurrentTakeNodeIndex());
            }
        }
    }
    ~CurrentTakes() {
        if (!(mName == mScene.GetCurrentTakeName())) mScene.SetCurrentTake(mName.Buffer());
        for (const auto& [container, index] : mCurrent) {
            if (container->GetCurrentTakeNodeIndex() != index) container->SetCurrentTakeNode(index);
        }
    }
    CurrentTakes(const CurrentTakes&) = delete;
    CurrentTakes& operator=(const CurrentTakes&) = delete;

private:
    KFbxScene& mScene;
    KString mName;
    std::vector<std::pair<KFbxTakeNodeContainer*, int>> mCurrent;
};

// The distinct take names of the scene, owned.
std::vector<std::unique_ptr<KString>> TakeNames(const KFbxScene& scene) {
    std::vector<KString*> names;
    scene.FillTakeNameArray(names);
    return std::vector<std::unique_ptr<KString>>(names.begin(), names.end());
}

}  // namespace

bool KFbxWriterFbxCommon::WriteObjectTake(KFbxObject& object, const char* takeName, const char* recordName,
                                          bool shininess) {
    auto* container = static_cast<KFbxTakeNodeContainer*>(object.GetTakeNodeContainer());
    if (container == nullptr) return false;
    const int current = container->GetCurrentTakeNodeIndex();
    if (!container->SetCurrentTakeNodeByName(takeName)) {
        // A failed switch falls back to the default take; the object keeps its own.
        if (container->GetCurrentTakeNodeIndex() != current) container->SetCurrentTakeNode(current);
        return false;
    }
    KFbx& file = *mFbx;
    file.FieldWriteBegin(recordName);
    file.FieldWriteS(object.GetNameWithTypePrefix());
    file.FieldWriteBlockBegin();
    file.FieldWriteBegin("Version");
    file.FieldWriteD(1.1);
    file.FieldWriteEnd();
    KFbxTakeNode* takeNode = container->GetCurrentTakeNode();
    if (takeNode != nullptr && takeNode != container->GetDefaultTakeNode()) {
        // Files keep shininess a hundred times larger. The values are put back
        // from a copy, so the scene's curve comes out unchanged.
        KFCurve* curve = shininess ? takeNode->GetMaterialShininess() : nullptr;
        std::vector<float> values;
        if (curve != nullptr) {
            for (int i = 0; i < curve->KeyGetCount(); ++i) values.push_back(curve->KeyGetValue(i));
            curve->KeyScaleValue(false, 100.0f);
        }
        const bool fbx5 = mFbx->IsFbx5Compatible();
        if (const KFCurveNode* root = takeNode->GetKFCurveNode()) {
            for (int i = 0; i < root->GetCount(); ++i) {
                const KFCurveNode* child = root->Get(i);
                if (child != nullptr) child->FbxStore(&file, false, true, true, "Channel", true, fbx5);
            }
        }
        if (curve != nullptr) {
            for (int i = 0; i < curve->KeyGetCount() && i < static_cast<int>(values.size()); ++i) {
                curve->KeySetValue(i, values[static_cast<std::size_t>(i)]);
            }
        }
    }
    CloseFieldBlock(file);
    if (container->GetCurrentTakeNodeIndex() != current) container->SetCurrentTakeNode(current);
    return true;
}

bool KFbxWriterFbxCommon::WriteTakes(KFbxScene& scene) {
    KFbx& file = *mFbx;
    file.WriteComment("Takes and animation section");
    file.WriteComment(kRule);
    file.WriteComment("");
    file.FieldWriteBegin("Takes");
    file.FieldWriteBlockBegin();
    file.WriteStringField("Current", scene.GetCurrentTakeName());

    const CurrentTakes restore(scene);
    const KFbxClassId materialClass = KFbxSurfaceMaterial::ClassId;
    const KFbxClassId textureClass = KFbxTexture::ClassId;
    for (const auto& namePointer : TakeNames(scene)) {
        const KString& name = *namePointer;
        if (name == "Default") continue;
        KFbxTakeInfo* info = scene.GetTakeInfo(name);
        KFbxTakeInfo made;
        if (info == nullptr) {
            made.mName = name;
            scene.SetTakeInfo(made);
            info = scene.GetTakeInfo(name);
            if (info == nullptr) info = &made;
        } else if (!info->mSelect) {
            continue;
        }

        const int textures = textureClass == KFbxClassId() ? 0 : scene.GetSrcObjectCount(textureClass);
        const int materials = materialClass == KFbxClassId() ? 0 : scene.GetSrcObjectCount(materialClass);
        const int nodes = scene.GetRootNode() != nullptr ? scene.GetRootNode()->GetChildCount(true) : 0;
        StartProgress((KString("Storing take ") + name).Buffer(), nodes + textures + materials);

        file.FieldWriteBegin("Take");
        file.FieldWriteS(name);
        file.FieldWriteBlockBegin();
        file.WriteStringField("FileName", TakeFileName(name).Buffer());
        if (IsUnset(info->mLocalTimeSpan) || IsUnset(info->mReferenceTimeSpan)) {
            const KTimeSpan interval = AnimationInterval(scene, name);
            if (IsUnset(info->mLocalTimeSpan)) info->mLocalTimeSpan = interval;
            if (IsUnset(info->mReferenceTimeSpan)) info->mReferenceTimeSpan = interval;
        }
        WriteTimeSpanField(file, "LocalTime", info->mLocalTimeSpan);
        WriteTimeSpanField(file, "ReferenceTime", info->mReferenceTimeSpan);
        if (!info->mDescription.IsEmpty()) file.WriteStringField("Comments", info->mDescription.Buffer());
        WriteThumbnail(info->mTakeThumbnail);
        WriteTakeObjects(scene, name.Buffer());
        CloseFieldBlock(file);
        if (IProgress* progress = KProgress::GetGlobal()) progress->Step();
    }
    CloseFieldBlock(file);
    return true;
}

bool KFbxWriterFbxCommon::WriteSummary(KFbxScene* scene, int mediaCount) {
    if (!mFbx->ProjectSectionAppend(0)) {
        return false;
    }
    mFbx->FieldWriteBegin("Summary");
    mFbx->FieldWriteBlockBegin();
    WriteIntRecord(*mFbx, "Version", 101);

    if (mOptions != nullptr) {
        mOptions->SetOption("TEMPLATE", false);
        for (int i = 0; scene != nullptr && i < scene->GetNodeCount(); ++i) {
            const KFbxNode* node = scene->GetNode(i);
            if (node == nullptr) {
                continue;
            }
            const KString prefixed = node->GetNameWithTypePrefix();
            const char* colon = std::strrchr(prefixed.Buffer(), ':');
            const char* name = colon != nullptr ? colon + 1 : prefixed.Buffer();
            if (std::strcmp(name, "~fbxexport~") == 0) {
                mOptions->SetOption("TEMPLATE", true);
                break;
            }
        }
    }
    WriteIntRecord(*mFbx, "Template", IsOptionOn("TEMPLATE") ? 1 : 0);
    WriteIntRecord(*mFbx, "PasswordProtection", IsPasswordProtected() ? 1 : 0);

    mFbx->FieldWriteBegin("ContentCount");
    mFbx->FieldWriteBlockBegin();
    mFbx->WriteStringField("Version", "100");
    KFbxNode* root = scene != nullptr ? scene->GetRootNode() : nullptr;
    WriteIntRecord(*mFbx, "Model", root != nullptr ? root->GetChildCount(true) : 0);
    WriteIntRecord(*mFbx, "Device", 0);
    WriteIntRecord(*mFbx, "Character", scene != nullptr ? scene->GetCharacterCount() : 0);
    WriteIntRecord(*mFbx, "Actor", 0);
    WriteIntRecord(*mFbx, "Constraint", scene != nullptr ? GetSummaryConstraintCount(*scene) : 0);
    WriteIntRecord(*mFbx, "Media", mediaCount);
    CloseFieldBlock(*mFbx);

    if (scene != nullptr) {
        WriteSceneInfo(scene->GetSceneInfo());
    }

    mFbx->FieldWriteBegin("Takes");
    mFbx->FieldWriteBlockBegin();
    WriteIntRecord(*mFbx, "Version", 101);
    mFbx->WriteStringField("Current", scene != nullptr ? scene->GetCurrentTakeName() : "");
    if (scene != nullptr) {
        for (const auto& name : TakeNames(*scene)) {
            if (name == nullptr || std::strcmp(name->Buffer(), "Default") == 0) {
                continue;
            }
            const KFbxTakeInfo* info = scene->GetTakeInfo(*name);
            if (info == nullptr || !info->mSelect) {
                continue;
            }
            mFbx->FieldWriteBegin("Take");
            mFbx->FieldWriteS(*name);
            mFbx->FieldWriteBlockBegin();
            if (!info->mDescription.IsEmpty()) {
                mFbx->WriteStringField("Comments", info->mDescription.Buffer());
            }
            WriteTimeSpanField(*mFbx, "LocalTime", info->mLocalTimeSpan);
            WriteTimeSpanField(*mFbx, "ReferenceTime", info->mReferenceTimeSpan);
            WriteThumbnail(info->mTakeThumbnail);
            CloseFieldBlock(*mFbx);
        }
    }
    CloseFieldBlock(*mFbx);

    CloseFieldBlock(*mFbx);
    mFbx->CloseFileIdentity();
    return true;
}

}  // namespace fbxsdk_2006_11_1
