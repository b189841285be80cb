// The FBX 6 reader's control set plugs and constraints, characters with
// their body links among them, and the check of a file's parametric
// geometry and constraint records before a read starts.
#include <fbxfilesdk/fbx/KFbxReaderFbx6Pass.h>

#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFbx6CharacterBlocks.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Records.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterLink.h>
#include <fbxfilesdk/scene/KFbxConstraintParent.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstring>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace fbx6read {

bool ParseParentOffset(KFbx& file, bool& present, double offset[6], KString& why) {
    std::vector<double> values;
    present = ReadDoubles(file, "Offset", values);
    if (!present) {
        return true;
    }
    if (values.size() < 6) {
        why = "Constraint: parent offset holds fewer than six values";
        return false;
    }
    for (int i = 0; i < 6; ++i) {
        offset[i] = values[static_cast<std::size_t>(i)];
    }
    return true;
}

}  // namespace fbx6read

using namespace fbx6read;

namespace {

using CharacterModelFinder = KFbxReaderFbx6Pass::CharacterModelFinder;

// The class of a constraint record's type name; null for a kind this reader
// does not know.
const char* ConstraintClassOf(const KString& typeName) {
    static const char* const kClasses[][2] = {
        {"Character", "KFbxCharacter"},
        {"Parent-Child", "KFbxConstraintParent"},
        {"Aim", "KFbxConstraintAim"},
        {"Position From Positions", "KFbxConstraintPosition"},
        {"Rotation From Rotations", "KFbxConstraintRotation"},
        {"Scale From Scales", "KFbxConstraintScale"},
        {"Single Chain IK", "KFbxConstraintSingleChainIK"},
    };
    for (const auto& entry : kClasses) {
        if (typeName == entry[0]) {
            return entry[1];
        }
    }
    return nullptr;
}

// True when any of the three fields is there.
bool ReadAxes(KFbx& file, const char* const names[3], KFbxVector4& value) {
    bool any = false;
    for (int axis = 0; axis < 3; ++axis) {
        std::vector<double> values;
        if (ReadDoubles(file, names[axis], values) && !values.empty()) {
            value[axis] = values[0];
            any = true;
        }
    }
    return any;
}

void ReadXyz(KFbx& file, const char* name, KFbxVector4& value) {
    std::vector<double> values;
    if (ReadDoubles(file, name, values) && values.size() >= 3) {
        value = KFbxVector4(values[0], values[1], values[2], value[3]);
    }
}

void ReadRotationSpace(KFbx& file, KFbxCharacterLink& link) {
    link.mHasRotSpace = true;
    ReadXyz(file, "PRE", link.mPreRotation);
    ReadXyz(file, "POST", link.mPostRotation);
    link.mAxisLen = ReadD(file, "AXISLEN", link.mAxisLen);
    link.mRotOrder = file.FieldReadIDefault("ORDER", link.mRotOrder);
    link.mRLimits.SetLimitMinActive(file.FieldReadIDefault("XMINENABLE", 0) != 0,
                                    file.FieldReadIDefault("YMINENABLE", 0) != 0,
                                    file.FieldReadIDefault("ZMINENABLE", 0) != 0);
    link.mRLimits.SetLimitMaxActive(file.FieldReadIDefault("XMAXENABLE", 0) != 0,
                                    file.FieldReadIDefault("YMAXENABLE", 0) != 0,
                                    file.FieldReadIDefault("ZMAXENABLE", 0) != 0);
    KFbxVector4 bound = link.mRLimits.GetLimitMin();
    ReadXyz(file, "MIN", bound);
    link.mRLimits.SetLimitMin(bound);
    bound = link.mRLimits.GetLimitMax();
    ReadXyz(file, "MAX", bound);
    link.mRLimits.SetLimitMax(bound);
}

// The offsets block of one link into the character; nothing when the block
// is empty (the writer leaves out links nothing can fill).
void ReadLinkOffsets(KFbx& file, KFbxCharacter& character, int linkId, const CharacterModelFinder& findModel) {
    static const char* const kTranslation[3] = {"TOFFSETX", "TOFFSETY", "TOFFSETZ"};
    static const char* const kRotation[3] = {"ROFFSETX", "ROFFSETY", "ROFFSETZ"};
    static const char* const kScaling[3] = {"SOFFSETX", "SOFFSETY", "SOFFSETZ"};
    static const char* const kParentRotation[3] = {"PARENTROFFSETX", "PARENTROFFSETY", "PARENTROFFSETZ"};
    KFbxCharacterLink link;
    // The node comes with the connections, which keep this record.
    character.GetCharacterLink(linkId, &link);
    bool any = false;
    link.mName = KString();
    if (file.FieldReadBegin("NAME")) {
        link.mName = NextS(file);
        file.FieldReadEnd();
        any = true;
    }
    any = ReadAxes(file, kTranslation, link.mTOffset) || any;
    any = ReadAxes(file, kRotation, link.mROffset) || any;
    any = ReadAxes(file, kScaling, link.mSOffset) || any;
    any = ReadAxes(file, kParentRotation, link.mParentROffset) || any;
    if (file.FieldReadBegin("ROTATIONSPACE")) {
        if (file.FieldReadBlockBegin()) {
            ReadRotationSpace(file, link);
            file.FieldReadBlockEnd();
        }
        file.FieldReadEnd();
        any = true;
    }
    // Files without connections name the link's node in the block.
    KFbxNode* node = nullptr;
    if (findModel && file.FieldReadBegin("MODEL")) {
        node = findModel(NextS(file));
        file.FieldReadEnd();
        if (node != nullptr) {
            link.mNode = node;
            any = true;
        }
    }
    if (!any) {
        return;
    }
    character.SetCharacterLink(linkId, link, node != nullptr);
}

void ReadGroupLinks(KFbx& file, KFbxCharacter& character, int group, const CharacterModelFinder& findModel) {
    while (file.FieldReadBegin("LINK")) {
        const int linkId = KFbxCharacterGroupLinkId(group, NextS(file).Buffer());
        // A link this table does not know is left out, not guessed.
        if (linkId >= 0 && file.FieldReadBlockBegin()) {
            ReadLinkOffsets(file, character, linkId, findModel);
            file.FieldReadBlockEnd();
        }
        file.FieldReadEnd();
    }
}

}  // namespace

void KFbxReaderFbx6Pass::ReadCharacterLinks(KFbx& file, KFbxCharacter& character,
                                            const CharacterModelFinder& findModel) {
    for (const KFbxFbx6CharacterBlock& block : kFbx6CharacterBlocks) {
        if (!file.FieldReadBegin(block.mField)) {
            continue;
        }
        if (file.FieldReadBlockBegin()) {
            if (block.mSingleLink) {
                ReadLinkOffsets(file, character, block.mNumber, findModel);
            } else {
                ReadGroupLinks(file, character, block.mNumber, findModel);
            }
            file.FieldReadBlockEnd();
        }
        file.FieldReadEnd();
    }
}

namespace {

// Every record of the kind in the current block, its block entered, given
// its type name; false at the first the check refuses.
template <class Check>
bool CheckRecords(KFbx& file, const char* kind, Check check) {
    bool good = true;
    while (good && file.FieldReadBegin(kind)) {
        // The name is not needed to check the record.
        if (file.FieldGetRemainingValueCount() > 0) {
            file.FieldSkipValue();
        }
        const KString typeName = NextS(file);
        if (file.FieldReadBlockBegin()) {
            good = check(typeName);
            file.FieldReadBlockEnd();
        }
        file.FieldReadEnd();
    }
    return good;
}

}  // namespace

void KFbxReaderFbx6Pass::ReadPropertiesBlock(KFbxObject& object) {
    if (mFile.FieldReadBegin("Properties60")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadProperties(object, nullptr);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

void KFbxReaderFbx6Pass::ReadControlSetPlug(const KString& prefixedName, const KString& /*typeName*/) {
    KFbxObject* plug = CreateObject("KFbxControlSetPlug", WithoutPrefix(prefixedName).Buffer());
    if (plug == nullptr) {
        return;
    }
    mScene.ConnectObject(plug);
    Remember(prefixedName, plug);
    ReadPropertiesBlock(*plug);
}

void KFbxReaderFbx6Pass::ReadConstraints() {
    while (mFile.FieldReadBegin("Constraint")) {
        const KString name = NextS(mFile);
        const KString typeName = NextS(mFile);
        const bool character = typeName == "Character";
        if (Option(character ? "CHARACTER" : "CONSTRAINT") && mFile.FieldReadBlockBegin()) {
            ReadConstraint(name, typeName);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

void KFbxReaderFbx6Pass::ReadConstraint(const KString& prefixedName, const KString& typeName) {
    const char* className = ConstraintClassOf(typeName);
    KFbxObject* constraint = className != nullptr ? CreateObject(className, WithoutPrefix(prefixedName).Buffer())
                                                  : nullptr;
    if (constraint == nullptr) {
        return;
    }
    mScene.ConnectObject(constraint);
    Remember(prefixedName, constraint);
    ReadPropertiesBlock(*constraint);
    if (auto* character = dynamic_cast<KFbxCharacter*>(constraint)) {
        ReadCharacterLinks(mFile, *character, CharacterModelFinder());
    } else if (dynamic_cast<KFbxConstraintParent*>(constraint) != nullptr) {
        PendingParentOffset pending;
        pending.mConstraint = constraint;
        bool present = false;
        KString why;
        if (ParseParentOffset(mFile, present, pending.mOffset, why) && present) {
            mParentOffsets.push_back(pending);
        }
    }
}

void KFbxReaderFbx6Pass::ResolveParentOffsets() {
    // The offsets belong to the first source, known once connections are read.
    for (const PendingParentOffset& pending : mParentOffsets) {
        auto* parent = static_cast<KFbxConstraintParent*>(pending.mConstraint);
        KFbxObject* source = parent->GetConstraintSource(0);
        if (source == nullptr) {
            continue;
        }
        const double* offset = pending.mOffset;
        parent->SetRotationOffset(source, KFbxVector4(offset[0], offset[1], offset[2], 1.0));
        parent->SetTranslationOffset(source, KFbxVector4(offset[3], offset[4], offset[5], 1.0));
    }
}

bool KFbxReaderFbx6Pass::CheckObjectRecords(KFbx& file, KString& why) {
    if (!file.FieldReadBegin("Objects")) {
        return true;
    }
    bool good = true;
    if (file.FieldReadBlockBegin()) {
        good = CheckRecords(file, "Model", [&](const KString& typeName) {
            if (typeName == "Nurb" && file.FieldReadBegin("NurbVersion")) {
                file.FieldReadEnd();
                GridRecord record;
                return ParseGridRecord(file, true, record, why);
            }
            if (typeName == "Patch" && file.FieldReadBegin("PatchVersion")) {
                file.FieldReadEnd();
                PatchRecord record;
                return ParsePatchRecord(file, record, why);
            }
            return true;
        });
        good = good && CheckRecords(file, "Geometry", [&](const KString& typeName) {
            if (!file.FieldReadBegin("GeometryVersion")) {
                return true;
            }
            file.FieldReadEnd();
            if (typeName == "NurbsCurve") {
                CurveRecord record;
                return ParseCurveRecord(file, record, why);
            }
            if (typeName == "NurbsSurface") {
                GridRecord record;
                return ParseGridRecord(file, false, record, why);
            }
            return true;
        });
        good = good && CheckRecords(file, "Constraint", [&](const KString& typeName) {
            bool present = false;
            double offset[6];
            return typeName != "Parent-Child" || ParseParentOffset(file, present, offset, why);
        });
        file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
    return good;
}

}  // namespace fbxsdk_2006_11_1
