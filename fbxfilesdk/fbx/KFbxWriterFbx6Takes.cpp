// The "Takes" section of FBX 6 files: one "Take" block per exported take,
// holding the curves of every animated object in that take.
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KProgress.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <cstdint>
#include <limits>
#include <memory>
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

}  // namespace

bool KFbxWriterFbx6::WriteObjectTake(KFbxObject& object, const char* takeName, const char* recordName,
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
        if (const KFCurveNode* root = takeNode->GetKFCurveNode()) {
            for (int i = 0; i < root->GetCount(); ++i) {
                const KFCurveNode* child = root->Get(i);
                if (child != nullptr) child->FbxStore(&file, false, true, true, "Channel", true, false);
            }
        }
        if (curve != nullptr) {
            for (int i = 0; i < curve->KeyGetCount() && i < static_cast<int>(values.size()); ++i) {
                curve->KeySetValue(i, values[static_cast<std::size_t>(i)]);
            }
        }
    }
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
    if (container->GetCurrentTakeNodeIndex() != current) container->SetCurrentTakeNode(current);
    return true;
}

bool KFbxWriterFbx6::WriteTakes(KFbxScene& scene) {
    KFbx& file = *mFbx;
    file.WriteComment("Takes and animation section");
    file.WriteComment(kRule);
    file.WriteComment("");
    file.FieldWriteBegin("Takes");
    file.FieldWriteBlockBegin();
    file.WriteStringField("Current", scene.GetCurrentTakeName());

    const CurrentTakes restore(scene);
    std::vector<KString*> names;
    scene.FillTakeNameArray(names);
    std::vector<std::unique_ptr<KString>> owned(names.begin(), names.end());
    const KFbxClassId materialClass = KFbxSurfaceMaterial::ClassId;
    const KFbxClassId textureClass = KFbxTexture::ClassId;
    for (const auto& namePointer : owned) {
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

        const char* take = name.Buffer();
        auto banner = [&file](const char* title) {
            file.WriteComment("");
            file.WriteComment(title);
            file.WriteComment(kRule);
        };
        // Every source of the scene of the class, each a step of the pass.
        auto writeSources = [&](const KFbxClassId& classId, const char* kind, bool shininess) {
            // A class the manager does not know (none registered) has no objects.
            const int count = classId == KFbxClassId() ? 0 : scene.GetSrcObjectCount(classId);
            for (int i = 0; i < count; ++i) {
                StepProgress("");
                KFbxObject* object = scene.GetSrcObject(classId, i);
                if (object != nullptr) WriteObjectTake(*object, take, kind, shininess);
            }
        };

        banner("Models animation");
        if (KFbxNode* switcher = scene.GetCameraSwitcherNode()) WriteObjectTake(*switcher, take, "Model", false);
        for (int i = 0; i < scene.GetNodeCount(); ++i) {
            StepProgress("");
            if (KFbxNode* node = scene.GetNode(i)) WriteObjectTake(*node, take, "Model", false);
        }
        banner("Generic nodes animation");
        for (int i = 0; i < scene.GetGenericNodeCount(); ++i) {
            if (KFbxGenericNode* node = scene.GetGenericNode(i)) WriteObjectTake(*node, take, "GenericNode", false);
        }
        banner("Textures animation");
        writeSources(textureClass, "Texture", false);
        banner("Materials animation");
        file.WriteComment("");
        writeSources(materialClass, "Material", true);
        banner("Constraints animation");
        writeSources(KFbxConstraint::ClassId, "Constraint", false);

        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
        if (IProgress* progress = KProgress::GetGlobal()) progress->Step();
    }
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
    return true;
}

}  // namespace fbxsdk_2006_11_1
