// The parts of an FBX 5 "CHARACTER" record beyond its body links: the input,
// the filter set's parameters and the control set with its links and
// effectors. Nodes are named by "MODEL" fields, the models being read.
#include <fbxfilesdk/fbx/KFbxReaderFbxPass.h>

#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFbx6CharacterBlocks.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterFilterSet.h>
#include <fbxfilesdk/scene/KFbxCharacterLinkTable.h>
#include <fbxfilesdk/scene/KFbxControlSet.h>
#include <fbxfilesdk/scene/KFbxNode.h>

namespace fbxsdk_2006_11_1 {

using namespace fbx6read;

void KFbxReaderFbxPass::ReadFilterSet(KFbxCharacterFilterSet& filterSet) {
    while (mFile.FieldReadBegin("PARAM")) {
        if (mFile.FieldReadBlockBegin()) {
            const KString name = mFile.FieldReadSDefault("NAME", "");
            for (int i = 0; i < KFbxCharacterFilterSet::GetParameterCount(); ++i) {
                const char* known = KFbxCharacterFilterSet::GetParameterName(i);
                if (known != nullptr && name == known) {
                    filterSet.SetParameterMode(i, mFile.FieldReadIDefault("MODE", filterSet.GetParameterMode(i)));
                    filterSet.SetParameterValue(i, ReadD(mFile, "VALUE0", filterSet.GetParameterValue(i)));
                }
            }
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

KFbxNode* KFbxReaderFbxPass::ReadModelField() {
    return dynamic_cast<KFbxNode*>(Find(mFile.FieldReadSDefault("MODEL", "")));
}

void KFbxReaderFbxPass::ReadControlSetLink(KFbxControlSet& controlSet, int linkId) {
    KFbxControlSetLink link;
    link.mNode = ReadModelField();
    link.mTemplateName = mFile.FieldReadSDefault("NAME", "");
    if (link.mNode != nullptr || link.mTemplateName.GetLen() > 0) {
        controlSet.SetControlSetLink(linkId, link);
    }
}

void KFbxReaderFbxPass::ReadControlSet(KFbxControlSet& controlSet) {
    controlSet.SetType(mFile.FieldReadIDefault("TYPE", controlSet.GetType()));
    controlSet.SetLockTransform(mFile.FieldReadIDefault("LOCK_XFORM", 0) != 0);
    controlSet.SetLockPick(mFile.FieldReadIDefault("LOCK_PICK", 0) != 0);
    // Each block is entered, and its "LINK" records named, by fields of its
    // own; a name this build does not know is left out.
    auto inBlock = [this](const char* name, auto body) {
        if (mFile.FieldReadBegin(name)) {
            if (mFile.FieldReadBlockBegin()) {
                body();
                mFile.FieldReadBlockEnd();
            }
            mFile.FieldReadEnd();
        }
    };
    auto forEachLink = [this](auto body) {
        while (mFile.FieldReadBegin("LINK")) {
            const KString name = NextS(mFile);
            if (mFile.FieldReadBlockBegin()) {
                body(name);
                mFile.FieldReadBlockEnd();
            }
            mFile.FieldReadEnd();
        }
    };
    inBlock("REFERENCE", [&] { ReadControlSetLink(controlSet, eCharacterReference); });
    for (const KFbxFbx6CharacterBlock& block : kFbx6CharacterBlocks) {
        if (block.mSingleLink || block.mNumber == eCharacterGroup_Props) {
            continue;
        }
        inBlock(block.mField, [&] {
            forEachLink([&](const KString& name) {
                const int linkId = KFbxCharacterGroupLinkId(block.mNumber, name.Buffer());
                if (linkId >= 0) {
                    ReadControlSetLink(controlSet, linkId);
                }
            });
        });
    }
    auto effectorId = [this] {
        const KString name = mFile.FieldReadSDefault("NAME", "");
        for (int id = 0; id < KFbxControlSet::kEffectorCount; ++id) {
            const char* known = KFbxControlSet::GetEffectorNodeName(id);
            if (known != nullptr && name == known) {
                return id;
            }
        }
        return -1;
    };
    inBlock("EFFECTOR", [&] {
        forEachLink([&](const KString& /*unnamed*/) {
            const int id = effectorId();
            KFbxEffector effector;
            effector.mNode = ReadModelField();
            effector.mShow = mFile.FieldReadIDefault("SHOW", 0) != 0;
            effector.mTActive = mFile.FieldReadIDefault("TACTIVE", 0) != 0;
            effector.mRActive = mFile.FieldReadIDefault("RACTIVE", 0) != 0;
            effector.mCandidateTActive = mFile.FieldReadIDefault("CANDIDATE_TACTIVE", 0) != 0;
            effector.mCandidateRActive = mFile.FieldReadIDefault("CANDIDATE_RACTIVE", 0) != 0;
            if (id >= 0 && effector.mNode != nullptr) {
                controlSet.SetEffector(id, effector);
            }
        });
    });
    inBlock("EFFECTOR_AUX1", [&] {
        forEachLink([&](const KString& /*unnamed*/) {
            const int id = effectorId();
            KFbxNode* node = ReadModelField();
            if (id >= 0 && node != nullptr) {
                controlSet.SetEffectorAux(id, node, 1);
            }
        });
    });
}

}  // namespace fbxsdk_2006_11_1
