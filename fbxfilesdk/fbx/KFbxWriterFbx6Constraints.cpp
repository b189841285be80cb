// The FBX 6 records of poses, control set plugs and constraints; a character
// is a constraint whose record also holds its body links.
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxFbx6CharacterBlocks.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterLink.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>
#include <fbxfilesdk/scene/KFbxConstraintParent.h>
#include <fbxfilesdk/scene/KFbxControlSetPlug.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

void BeginRecord(KFbx& file, const char* kind, const KFbxObject& object) {
    file.FieldWriteBegin(kind);
    file.FieldWriteS(object.GetNameWithTypePrefix());
    file.FieldWriteS(object.GetTypeName());
    file.FieldWriteBlockBegin();
}

void EndBlockRecord(KFbx& file) {
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
}

void WriteDoubleRecord(KFbx& file, const char* name, double value) { WriteDoublesRecord(file, name, &value, 1); }

void WriteXyz(KFbx& file, const char* name, const KFbxVector4& value) {
    const double xyz[3] = {value[0], value[1], value[2]};
    WriteDoublesRecord(file, name, xyz, 3);
}

void WriteAxes(KFbx& file, const char* const names[3], const KFbxVector4& value) {
    for (int axis = 0; axis < 3; ++axis) {
        WriteDoubleRecord(file, names[axis], value[axis]);
    }
}

// The link as the file stores it: null when the character has none, or when
// neither its node (in this scene) nor its name can tell a reader what fills it.
bool GetUsableLink(const KFbxCharacter& character, int linkId, const KFbxScene& scene, KFbxCharacterLink& link) {
    if (!character.GetCharacterLink(linkId, &link)) {
        return false;
    }
    const bool nodeHere = link.mNode != nullptr && link.mNode->GetScene() == &scene;
    return nodeHere || !link.mName.IsEmpty();
}

KFbxConstraint* ConstraintAt(const KFbxScene& scene, int index) {
    if (KFbxConstraint::ClassId == KFbxClassId()) {
        return nullptr;
    }
    return static_cast<KFbxConstraint*>(scene.GetSrcObject(KFbxConstraint::ClassId, index));
}

}  // namespace

int KFbxWriterFbx6::GetWrittenConstraintCount(const KFbxScene& scene) const {
    if (KFbxConstraint::ClassId == KFbxClassId()) {
        return 0;
    }
    int count = 0;
    for (int i = 0; i < scene.GetSrcObjectCount(KFbxConstraint::ClassId); ++i) {
        const KFbxConstraint* constraint = ConstraintAt(scene, i);
        if (constraint != nullptr && IsConstraintWritten(*constraint)) {
            ++count;
        }
    }
    return count;
}

bool KFbxWriterFbx6::IsConstraintWritten(const KFbxConstraint& constraint) const {
    const bool character = constraint.GetConstraintType() == KFbxConstraint::eCHARACTER_CONSTRAINT;
    return IsOptionOn(character ? "CHARACTER" : "CONSTRAINT");
}

void KFbxWriterFbx6::WritePoses(KFbxScene& scene) {
    KFbx& file = *mFbx;
    // A pose names only the models the file holds, known with the list of
    // them: the entry of a node that only another scene's file holds would
    // name nothing here.
    if (scene.GetPoseCount() > 0) {
        GetModelNodes(scene);
    }
    for (int i = 0; i < scene.GetPoseCount(); ++i) {
        KFbxPose* pose = scene.GetPose(i);
        if (pose == nullptr) {
            continue;
        }
        std::vector<int> entries;
        for (int entry = 0; entry < pose->GetCount(); ++entry) {
            if (mHeldModels.count(pose->GetNode(entry)) > 0) {
                entries.push_back(entry);
            }
        }
        BeginRecord(file, "Pose", *pose);
        file.WriteStringField("Type", pose->IsBindPose() ? "BindPose" : "RestPose");
        WriteIntRecord(file, "Version", 100);
        WriteProperties(*pose);
        WriteIntRecord(file, "NbPoseNodes", static_cast<int>(entries.size()));
        WritePoseNodeBlocks(*pose, entries);
        EndBlockRecord(file);
    }
}

void KFbxWriterFbx6::WritePoseNodes(KFbxPose& pose) { WritePoseNodeBlocks(pose); }

void KFbxWriterFbx6::WriteControlSetPlugs(KFbxScene& scene) {
    KFbx& file = *mFbx;
    for (int i = 0; i < scene.GetControlSetPlugCount(); ++i) {
        KFbxControlSetPlug* plug = scene.GetControlSetPlug(i);
        if (plug == nullptr) {
            continue;
        }
        BeginRecord(file, "ControlSetPlug", *plug);
        file.WriteStringField("Type", plug->GetTypeName());
        WriteIntRecord(file, "MultiLayer", 0);
        WriteProperties(*plug);
        EndBlockRecord(file);
    }
}

void KFbxWriterFbx6::WriteConstraints(KFbxScene& scene) {
    if (KFbxConstraint::ClassId == KFbxClassId()) {
        return;
    }
    for (int i = 0; i < scene.GetSrcObjectCount(KFbxConstraint::ClassId); ++i) {
        KFbxConstraint* constraint = ConstraintAt(scene, i);
        if (constraint != nullptr && IsConstraintWritten(*constraint)) {
            WriteConstraint(*constraint, scene);
        }
    }
}

bool KFbxWriterFbx6::WriteConstraint(KFbxConstraint& constraint, KFbxScene& scene) {
    KFbx& file = *mFbx;
    BeginRecord(file, "Constraint", constraint);
    file.WriteStringField("Type", constraint.GetTypeName());
    WriteIntRecord(file, "MultiLayer", 0);
    WriteProperties(constraint);
    switch (constraint.GetConstraintType()) {
        case KFbxConstraint::eCHARACTER_CONSTRAINT: {
            auto& character = static_cast<KFbxCharacter&>(constraint);
            WriteIntRecord(file, "CHARACTERIZE", 1);
            WriteIntRecord(file, "LOCK_XFORM", 0);
            WriteIntRecord(file, "LOCK_PICK", 0);
            for (const KFbxFbx6CharacterBlock& block : kFbx6CharacterBlocks) {
                file.FieldWriteBegin(block.mField);
                file.FieldWriteBlockBegin();
                if (block.mSingleLink) {
                    WriteCharacterLinkOffsets(character, block.mNumber, scene);
                } else {
                    WriteCharacterLinks(character, block.mNumber, scene);
                }
                EndBlockRecord(file);
            }
            break;
        }
        case KFbxConstraint::ePARENT: {
            auto& parent = static_cast<KFbxConstraintParent&>(constraint);
            const KFbxObject* source = parent.GetConstraintSource(0);
            if (source == nullptr) {
                break;
            }
            WriteIntRecord(file, "Version", 101);
            const KFbxVector4 rotation = parent.GetRotationOffset(source);
            const KFbxVector4 translation = parent.GetTranslationOffset(source);
            const double offset[9] = {rotation[0],    rotation[1],    rotation[2], translation[0], translation[1],
                                      translation[2], 0.0,            0.0,         0.0};
            WriteDoublesRecord(file, "Offset", offset, 9);
            break;
        }
        default:
            break;
    }
    EndBlockRecord(file);
    return true;
}

void KFbxWriterFbx6::WriteCharacterLinks(KFbxCharacter& character, int group, KFbxScene& scene) {
    KFbx& file = *mFbx;
    for (int i = 0; i < KFbxCharacter::GetCharacterGroupCount(group); ++i) {
        const int linkId = KFbxCharacter::GetCharacterGroupElementByIndex(group, i);
        KFbxCharacterLink link;
        if (!GetUsableLink(character, linkId, scene, link)) {
            continue;
        }
        const char* name = KFbxCharacter::GetCharacterGroupNameByIndex(group, i);
        file.FieldWriteBegin("LINK");
        file.FieldWriteS(name != nullptr ? name : "");
        file.FieldWriteBlockBegin();
        WriteCharacterLinkOffsets(character, linkId, scene);
        EndBlockRecord(file);
    }
}

void KFbxWriterFbx6::WriteCharacterLinkOffsets(KFbxCharacter& character, int linkId, KFbxScene& scene) {
    KFbxCharacterLink link;
    if (!GetUsableLink(character, linkId, scene, link)) {
        return;
    }
    KFbx& file = *mFbx;
    if (!link.mName.IsEmpty()) {
        file.WriteStringField("NAME", link.mName.Buffer());
    }
    static const char* const kTranslation[3] = {"TOFFSETX", "TOFFSETY", "TOFFSETZ"};
    static const char* const kRotation[3] = {"ROFFSETX", "ROFFSETY", "ROFFSETZ"};
    static const char* const kScaling[3] = {"SOFFSETX", "SOFFSETY", "SOFFSETZ"};
    static const char* const kParentRotation[3] = {"PARENTROFFSETX", "PARENTROFFSETY", "PARENTROFFSETZ"};
    WriteAxes(file, kTranslation, link.mTOffset);
    WriteAxes(file, kRotation, link.mROffset);
    WriteAxes(file, kScaling, link.mSOffset);
    WriteAxes(file, kParentRotation, link.mParentROffset);
    if (link.mHasRotSpace) {
        WriteCharacterLinkRotationSpace(link);
    }
}

void KFbxWriterFbx6::WriteCharacterLinkRotationSpace(const KFbxCharacterLink& link) {
    KFbx& file = *mFbx;
    file.FieldWriteBegin("ROTATIONSPACE");
    file.FieldWriteBlockBegin();
    WriteXyz(file, "PRE", link.mPreRotation);
    WriteXyz(file, "POST", link.mPostRotation);
    WriteDoubleRecord(file, "AXISLEN", link.mAxisLen);
    WriteIntRecord(file, "ORDER", link.mRotOrder);
    bool x = false;
    bool y = false;
    bool z = false;
    link.mRLimits.GetLimitMinActive(x, y, z);
    WriteIntRecord(file, "XMINENABLE", x ? 1 : 0);
    WriteIntRecord(file, "YMINENABLE", y ? 1 : 0);
    WriteIntRecord(file, "ZMINENABLE", z ? 1 : 0);
    link.mRLimits.GetLimitMaxActive(x, y, z);
    WriteIntRecord(file, "XMAXENABLE", x ? 1 : 0);
    WriteIntRecord(file, "YMAXENABLE", y ? 1 : 0);
    WriteIntRecord(file, "ZMAXENABLE", z ? 1 : 0);
    WriteXyz(file, "MIN", link.mRLimits.GetLimitMin());
    WriteXyz(file, "MAX", link.mRLimits.GetLimitMax());
    EndBlockRecord(file);
}

void KFbxWriterFbx6::WriteCharacterAndConstraintConnections(KFbxScene& scene) {
    if (IsOptionOn("CHARACTER")) {
        for (int i = 0; i < scene.GetControlSetPlugCount(); ++i) {
            if (KFbxControlSetPlug* plug = scene.GetControlSetPlug(i)) {
                WriteObjectConnections(*plug, false);
            }
        }
    }
    if (KFbxConstraint::ClassId == KFbxClassId()) {
        return;
    }
    for (int i = 0; i < scene.GetSrcObjectCount(KFbxConstraint::ClassId); ++i) {
        KFbxConstraint* constraint = ConstraintAt(scene, i);
        if (constraint != nullptr && IsConstraintWritten(*constraint)) {
            WriteObjectConnections(*constraint, false);
        }
    }
}

}  // namespace fbxsdk_2006_11_1
