// A node's limits, characters with their links, filter set and control set,
// and the nodes of poses, in FBX 5 files.
#include <fbxfilesdk/fbx/KFbxWriterFbx.h>

#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxFbx6CharacterBlocks.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterFilterSet.h>
#include <fbxfilesdk/scene/KFbxCharacterLink.h>
#include <fbxfilesdk/scene/KFbxCharacterLinkTable.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxControlSet.h>
#include <fbxfilesdk/scene/KFbxLimits.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeProperties.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

void WriteDouble(KFbx& file, const char* name, double value) { WriteDoublesRecord(file, name, &value, 1); }

// The per-axis fields of one vector of one limit kind ("T", "R" or "S"):
// "TXMin" and so on, each only when its component is not 0.
void WriteNonZeroAxes(KFbx& file, const char* kind, const char* what, const KFbxVector4& vector) {
    static const char* const kAxes[3] = {"X", "Y", "Z"};
    for (int axis = 0; axis < 3; ++axis) {
        if (vector[axis] != 0.0) {
            WriteDouble(file, (std::string(kind) + kAxes[axis] + what).c_str(), vector[axis]);
        }
    }
}

// The nine offset fields of a character link.
void WriteOffsets(KFbx& file, const KFbxVector4& translation, const KFbxVector4& rotation,
                  const KFbxVector4& scaling) {
    static const char* const kNames[3][3] = {{"TOFFSETX", "TOFFSETY", "TOFFSETZ"},
                                             {"ROFFSETX", "ROFFSETY", "ROFFSETZ"},
                                             {"SOFFSETX", "SOFFSETY", "SOFFSETZ"}};
    const KFbxVector4* vectors[3] = {&translation, &rotation, &scaling};
    for (int kind = 0; kind < 3; ++kind) {
        for (int axis = 0; axis < 3; ++axis) {
            WriteDouble(file, kNames[kind][axis], (*vectors[kind])[axis]);
        }
    }
}

bool InScene(const KFbxNode* node, const KFbxScene& scene) { return node != nullptr && node->GetScene() == &scene; }

// The character's link, when its node (in this scene) or its name tells a
// reader what fills it.
bool GetUsableLink(const KFbxCharacter& character, int linkId, const KFbxScene& scene, KFbxCharacterLink& link) {
    return character.GetCharacterLink(linkId, &link) && (InScene(link.mNode, scene) || !link.mName.IsEmpty());
}

bool GetUsableLink(const KFbxControlSet& controlSet, int linkId, const KFbxScene& scene, KFbxControlSetLink& link) {
    return controlSet.GetControlSetLink(linkId, &link) &&
           (InScene(link.mNode, scene) || !link.mTemplateName.IsEmpty());
}

void BeginBlock(KFbx& file, const char* name) {
    file.FieldWriteBegin(name);
    file.FieldWriteBlockBegin();
}

// A "LINK" block, named by the group's entry, for each entry of the group
// whose link is set (isSet(link id)) or, with the old-version flag, whose
// version is 4000 or below; writeLink(link id, old version) fills it.
template <class IsSet, class WriteLink>
void WriteLinkGroup(KFbx& file, int group, bool oldVersion, IsSet isSet, WriteLink writeLink) {
    for (int i = 0; i < KFbxCharacter::GetCharacterGroupCount(group); ++i) {
        const int linkId = KFbxCharacter::GetCharacterGroupElementByIndex(group, i);
        const bool old = oldVersion && KFbxCharacter::GetCharacterGroupVersionByIndex(group, i) <= 4000;
        if (!old && !isSet(linkId)) {
            continue;
        }
        const char* name = KFbxCharacter::GetCharacterGroupNameByIndex(group, i);
        file.FieldWriteBegin("LINK");
        file.FieldWriteS(name != nullptr ? name : "");
        file.FieldWriteBlockBegin();
        writeLink(linkId, old);
        CloseFieldBlock(file);
    }
}

}  // namespace

void KFbxWriterFbx::WriteLimits(KFbxNode& node) {
    const KFbxLimits& limits = node.GetLimits();
    struct Kind {
        const char* mName;
        const KFbxLimitRecord& mRecord;
        bool mAuto;
    };
    auto kindOf = [&limits](const char* name, KFbxLimits::ELimitKind kind) {
        const KFbxLimitRecord& record = limits.GetRecord(kind);
        return Kind{name, record, (record.mFlags & KFbxLimitRecord::kActive) == 0};
    };
    const Kind kinds[3] = {kindOf("T", KFbxLimits::eTranslation), kindOf("R", KFbxLimits::eRotation),
                           kindOf("S", KFbxLimits::eScaling)};
    KFbx& file = *mFbx;
    BeginBlock(file, "Limits");
    for (const Kind& kind : kinds) {
        WriteIntRecord(file, (std::string(kind.mName) + "Auto").c_str(), kind.mAuto ? 1 : 0);
    }
    for (const Kind& kind : kinds) {
        if (!kind.mAuto) {
            const bool enabled = (kind.mRecord.mFlags & KFbxLimitRecord::kAxisBits) != 0;
            WriteIntRecord(file, (std::string(kind.mName) + "Enable").c_str(), enabled ? 1 : 0);
        }
    }
    for (const char* what : {"Default", "Min", "Max"}) {
        for (const Kind& kind : kinds) {
            if (kind.mAuto) continue;
            const KFbxLimitRecord& record = kind.mRecord;
            const std::string field(what);
            WriteNonZeroAxes(file, kind.mName, what,
                             field == "Default" ? record.mDefault : field == "Min" ? record.mMin : record.mMax);
        }
    }
    if (!kinds[1].mAuto) {
        if (limits.GetRotationType() != 1) {
            WriteIntRecord(file, "RType", limits.GetRotationType());
        }
        if (limits.GetRotationClampType() != 0) {
            WriteIntRecord(file, "RClampType", limits.GetRotationClampType());
        }
        WriteNonZeroAxes(file, "R", "Axis", limits.GetRotationAxis());
        const double axisLength = node.GetNodeProperty(eAxisLen).GetDouble();
        if (axisLength != 1.0) {
            WriteDouble(file, "AxisLen", axisLength);
        }
    }
    CloseFieldBlock(file);
}

void KFbxWriterFbx::WriteCharacter(KFbxScene& scene, int characterIndex) {
    const KFbxCharacter* character = scene.GetCharacter(characterIndex);
    if (character == nullptr) {
        return;
    }
    KFbx& file = *mFbx;
    WriteIntRecord(file, "CHARACTERIZE", 1);
    WriteIntRecord(file, "LOCK_XFORM", 0);
    WriteIntRecord(file, "LOCK_PICK", 0);
    file.WriteStringField("CONSTRAINT", character->GetNameWithTypePrefix().Buffer());
    const int inputType = character->GetCharacterInputType();
    WriteIntRecord(file, "INPUTOUTPUTTYPE", inputType);
    if (inputType != 0) {
        WriteIntRecord(file, "ACTORINDEX", -1);
        int input = -1;
        const KFbxObject* inputObject = inputType == 1 ? character->GetCharacterInputObject() : nullptr;
        for (int i = 0; inputObject != nullptr && i < scene.GetCharacterCount(); ++i) {
            if (scene.GetCharacter(i) == inputObject) {
                input = i;
                break;
            }
        }
        WriteIntRecord(file, "CHARACTERINDEX", input);
    }
    for (const KFbxFbx6CharacterBlock& block : kFbx6CharacterBlocks) {
        BeginBlock(file, block.mField);
        if (block.mSingleLink) {
            WriteCharacterLink(*character, block.mNumber, scene, true);
        } else {
            WriteCharacterLinkGroup(*character, block.mNumber, scene, true);
        }
        CloseFieldBlock(file);
    }
    BeginBlock(file, "FILTERSET");
    WriteFilterSetParameters(character->GetFilterSet());
    CloseFieldBlock(file);
    BeginBlock(file, "GAMEMODEPARENT");
    WriteCharacterLinkGroup(*character, eCharacterGroup_GameModeParent, scene, true);
    CloseFieldBlock(file);
    BeginBlock(file, "MB_CONTROLSET");
    WriteControlSet(character->GetControlSet(), scene, true);
    CloseFieldBlock(file);
}

void KFbxWriterFbx::WriteCharacterLink(const KFbxCharacter& character, int linkId, KFbxScene& scene, bool defaults) {
    KFbxCharacterLink link;
    const bool usable = GetUsableLink(character, linkId, scene, link);
    if (!usable && !defaults) {
        return;
    }
    KFbx& file = *mFbx;
    KFbxVector4 translation(0.0, 0.0, 0.0, 0.0);
    KFbxVector4 rotation(0.0, 0.0, 0.0, 0.0);
    KFbxVector4 scaling(1.0, 1.0, 1.0, 0.0);
    if (usable) {
        // A node of another scene is not named: a reader would find another
        // node of that name, or none.
        if (InScene(link.mNode, scene)) {
            file.WriteStringField("MODEL", link.mNode->GetNameWithTypePrefix().Buffer());
        }
        if (!link.mName.IsEmpty()) {
            file.WriteStringField("NAME", link.mName.Buffer());
        }
        translation = link.mTOffset;
        rotation = link.mROffset;
        scaling = link.mSOffset;
    }
    WriteOffsets(file, translation, rotation, scaling);
    if (defaults) {
        WriteOffsets(file, translation, rotation, scaling);
    }
}

void KFbxWriterFbx::WriteCharacterLinkGroup(const KFbxCharacter& character, int group, KFbxScene& scene,
                                            bool oldVersion) {
    WriteLinkGroup(
        *mFbx, group, oldVersion,
        [&](int linkId) {
            KFbxCharacterLink link;
            return GetUsableLink(character, linkId, scene, link);
        },
        [&](int linkId, bool old) { WriteCharacterLink(character, linkId, scene, old); });
}

void KFbxWriterFbx::WriteFilterSetParameters(const KFbxCharacterFilterSet& filterSet) {
    KFbx& file = *mFbx;
    for (int i = 0; i < KFbxCharacterFilterSet::GetParameterCount(); ++i) {
        BeginBlock(file, "PARAM");
        const char* name = KFbxCharacterFilterSet::GetParameterName(i);
        file.WriteStringField("NAME", name != nullptr ? name : "");
        WriteIntRecord(file, "MODE", filterSet.GetParameterMode(i));
        WriteDouble(file, "MIN", KFbxCharacterFilterSet::GetParameterMin(i));
        WriteDouble(file, "MAX", KFbxCharacterFilterSet::GetParameterMax(i));
        WriteDouble(file, "VALUE0", filterSet.GetParameterValue(i, 0));
        CloseFieldBlock(file);
    }
}

void KFbxWriterFbx::WriteControlSet(const KFbxControlSet& controlSet, KFbxScene& scene, bool oldVersion) {
    KFbx& file = *mFbx;
    WriteIntRecord(file, "TYPE", controlSet.GetType());
    WriteIntRecord(file, "LOCK_XFORM", controlSet.GetLockTransform() ? 1 : 0);
    WriteIntRecord(file, "LOCK_PICK", controlSet.GetLockPick() ? 1 : 0);
    BeginBlock(file, "REFERENCE");
    WriteControlSetLink(controlSet, eCharacterReference, scene);
    CloseFieldBlock(file);
    // The character's groups in their order, but its props.
    for (const KFbxFbx6CharacterBlock& block : kFbx6CharacterBlocks) {
        if (block.mSingleLink || block.mNumber == eCharacterGroup_Props) {
            continue;
        }
        BeginBlock(file, block.mField);
        WriteControlSetLinkGroup(controlSet, block.mNumber, scene, oldVersion);
        CloseFieldBlock(file);
    }
    BeginBlock(file, "EFFECTOR");
    for (int id = 0; id < KFbxControlSet::kEffectorCount; ++id) {
        WriteControlSetEffector(controlSet, id, scene);
    }
    CloseFieldBlock(file);
    BeginBlock(file, "EFFECTOR_AUX1");
    for (int id = 0; id < KFbxControlSet::kEffectorCount; ++id) {
        WriteControlSetEffectorAux(controlSet, id, scene);
    }
    CloseFieldBlock(file);
}

void KFbxWriterFbx::WriteControlSetLink(const KFbxControlSet& controlSet, int linkId, KFbxScene& scene) {
    KFbxControlSetLink link;
    if (!controlSet.GetControlSetLink(linkId, &link)) {
        return;
    }
    if (InScene(link.mNode, scene)) {
        mFbx->WriteStringField("MODEL", link.mNode->GetNameWithTypePrefix().Buffer());
    }
    if (!link.mTemplateName.IsEmpty()) {
        mFbx->WriteStringField("NAME", link.mTemplateName.Buffer());
    }
}

void KFbxWriterFbx::WriteControlSetLinkGroup(const KFbxControlSet& controlSet, int group, KFbxScene& scene,
                                             bool oldVersion) {
    WriteLinkGroup(
        *mFbx, group, oldVersion,
        [&](int linkId) {
            KFbxControlSetLink link;
            return GetUsableLink(controlSet, linkId, scene, link);
        },
        [&](int linkId, bool /*old*/) { WriteControlSetLink(controlSet, linkId, scene); });
}

void KFbxWriterFbx::WriteControlSetEffector(const KFbxControlSet& controlSet, int effectorId, KFbxScene& scene) {
    KFbxEffector effector;
    if (!controlSet.GetEffector(effectorId, &effector) || !InScene(effector.mNode, scene)) {
        return;
    }
    KFbx& file = *mFbx;
    BeginBlock(file, "LINK");
    file.WriteStringField("NAME", KFbxControlSet::GetEffectorNodeName(effectorId));
    file.WriteStringField("MODEL", effector.mNode->GetNameWithTypePrefix().Buffer());
    WriteIntRecord(file, "SHOW", effector.mShow ? 1 : 0);
    WriteIntRecord(file, "TACTIVE", effector.mTActive ? 1 : 0);
    WriteIntRecord(file, "RACTIVE", effector.mRActive ? 1 : 0);
    WriteIntRecord(file, "CANDIDATE_TACTIVE", effector.mCandidateTActive ? 1 : 0);
    WriteIntRecord(file, "CANDIDATE_RACTIVE", effector.mCandidateRActive ? 1 : 0);
    CloseFieldBlock(file);
}

void KFbxWriterFbx::WriteControlSetEffectorAux(const KFbxControlSet& controlSet, int effectorId, KFbxScene& scene) {
    const KFbxNode* auxiliary = controlSet.GetEffectorAux(effectorId, 1);
    if (!InScene(auxiliary, scene)) {
        return;
    }
    KFbx& file = *mFbx;
    BeginBlock(file, "LINK");
    file.WriteStringField("NAME", KFbxControlSet::GetEffectorNodeName(effectorId));
    file.WriteStringField("MODEL", auxiliary->GetNameWithTypePrefix().Buffer());
    CloseFieldBlock(file);
}

void KFbxWriterFbx::WriteCharacterPoses(KFbxScene& scene) {
    KFbx& file = *mFbx;
    for (int i = 0; i < scene.GetCharacterPoseCount(); ++i) {
        KFbxCharacterPose* pose = scene.GetCharacterPose(i);
        if (pose == nullptr || pose->GetPoseScene() == nullptr || IsSceneBeingWritten(pose->GetPoseScene())) {
            continue;
        }
        file.FieldWriteBegin("Pose");
        file.FieldWriteS(pose->GetNameWithTypePrefix());
        file.FieldWriteBlockBegin();
        file.WriteStringField("Type", "CharacterPose");
        BeginBlock(file, "PoseScene");
        WriteNestedScene(*pose);
        CloseFieldBlock(file);
        CloseFieldBlock(file);
    }
}

}  // namespace fbxsdk_2006_11_1
