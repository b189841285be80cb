// The stored form of a curve-node tree: one "Channel" field per node, whose
// block holds the node's curve, its children and its chain of layers.
#include <fbxfilesdk/animation/KFCurveNode.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNodeUtilities.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFieldTextWriter.h>

#include <fbxfilesdk/core/KDataType.h>

#include <cstring>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// The file version whose channel names carried the short letters loosely.
constexpr int kLooseShortNameVersion = 4000;

const char* StoredName(const KFCurveNode& node, bool shortNames) {
    if (shortNames) {
        const KDataType* type = node.GetDataType();
        if (type == gKDataTypeLclTranslation) return "T";
        if (type == gKDataTypeLclRotation) return "R";
        if (type == gKDataTypeLclScaling) return "S";
    }
    return node.GetName();
}

void WriteIntField(KFbx& file, const char* name, int value) {
    file.FieldWriteBegin(name);
    file.FieldWriteI(value);
    file.FieldWriteEnd();
}

bool Contains(const char* name, const char* part) { return std::strstr(name, part) != nullptr; }

}  // namespace

bool KFCurveNode::FbxStore(KFbx* file, bool onlyDefault, bool shortNames, bool noUserName, const char* blockName,
                           bool withColor, bool converted) const {
    if (file == nullptr) return false;
    file->FieldWriteBegin(blockName);
    file->FieldWriteS(StoredName(*this, shortNames));
    file->FieldWriteBlockBegin();
    if (!noUserName && std::strcmp(GetUserName(), GetName()) != 0) {
        KFbxFieldTextWriter::WriteStringField(file, "UserName", GetUserName());
    }
    int timeWarpId = 0;
    if (mTimeWarp != nullptr && KFCurveTimeWarpGetId(timeWarpId, mTimeWarp)) {
        WriteIntField(*file, "TimeWarpID", timeWarpId);
    }
    if (mCurve != nullptr) mCurve->FbxStore(file, onlyDefault, withColor, converted);
    for (const KFCurveNode* child : mChildren) {
        child->FbxStore(file, onlyDefault, shortNames, noUserName, "Channel", withColor, converted);
    }
    if (mLayerId != 0) WriteIntField(*file, "LayerID", mLayerId);
    if (mLayerType != 0) WriteIntField(*file, "LayerType", mLayerType);
    if (mNextLayer != nullptr && !onlyDefault) {
        mNextLayer->FbxStore(file, false, shortNames, noUserName, "LayerChannel", false, converted);
    }
    file->FieldWriteBlockEnd();
    file->FieldWriteEnd();
    return true;
}

KFCurveNode* KFCurveNode::FbxRetrieve(KFbx* file, KFCurveNode* parent, bool onlyDefault, bool createMissing,
                                      bool withColor) {
    if (file == nullptr) return nullptr;
    // Channels that match nothing are passed over in a loop: a file may hold
    // any number of them.
    for (;;) {
        if (!file->FieldReadBegin("Channel")) return nullptr;
        const KString name = file->FieldGetRemainingValueCount() > 0 ? file->FieldReadS() : KString("");
        KFCurveNode* node = parent != nullptr ? parent->FindChildForChannel(name.Buffer()) : nullptr;
        if (node == nullptr && (!createMissing || (parent != nullptr && parent->mCurve != nullptr))) {
            file->FieldReadEnd();
            continue;
        }
        if (node == nullptr) {
            node = new (std::nothrow) KFCurveNode(name.Buffer(), name.Buffer(), nullptr, KFCL_PLAIN, 0);
            if (node == nullptr || (parent != nullptr && parent->Add(node) < 0)) {
                delete node;
                file->FieldReadEnd();
                return nullptr;
            }
        }
        node->FbxRetrieveChannel(file, onlyDefault, createMissing, withColor);
        file->FieldReadEnd();
        if (node->mLayerId >= 1 && parent != nullptr && parent->mLayerRoot != nullptr) {
            KFCurveNode* root = parent->mLayerRoot;
            KFCurveNode* model = root->Get(root->FindChildByName(node->GetName()));
            if (model != nullptr && model != node) {
                node->mLayerRoot = model;
                node->ShareNamesOf(*model);
            }
        }
        return node;
    }
}

KFCurveNode* KFCurveNode::FbxRetrieveNew(KFbx* file, bool onlyDefault, bool withColor) {
    return FbxRetrieve(file, nullptr, onlyDefault, true, withColor);
}

void KFCurveNode::FbxRetrieveChannel(KFbx* file, bool onlyDefault, bool createMissing, bool withColor) {
    if (file == nullptr || !file->FieldReadBlockBegin()) return;
    const KString userName = file->FieldReadSDefault("UserName", "");
    if (userName.GetLen() > 0) Names().mUserName = userName.Buffer();

    if (mCurve == nullptr) {
        KFCurve* curve = KFCurve::FbxRetrieveNew(file, onlyDefault, withColor);
        if (curve != nullptr && GetCount() == 0) {
            mCurve = curve;
        } else {
            delete curve;
        }
    } else {
        KFCurve::FbxRetrieveIntoCurve(file, mCurve, onlyDefault, withColor);
    }

    mLayerId = file->FieldReadIDefault("LayerID", 0);
    SetLayerType(file->FieldReadIDefault("LayerType", 0));
    while (FbxRetrieve(file, this, onlyDefault, createMissing, withColor) != nullptr) {
    }
    FbxRetrieveLayer(file, this, onlyDefault);
    const int timeWarpId = file->FieldReadIDefault("TimeWarpID", 0);
    KFCurveNode* timeWarp = timeWarpId != 0 ? KFCurveTimeWarpGetById(timeWarpId) : nullptr;
    if (timeWarp != nullptr) {
        // A component's time warp is its vector's.
        const char* name = GetName();
        const bool component = std::strcmp(name, "X") == 0 || std::strcmp(name, "Y") == 0 || std::strcmp(name, "Z") == 0;
        if (component && mParent != nullptr && mLayerId == 0) {
            mParent->SetTimeWarp(timeWarp);
        } else {
            SetTimeWarp(timeWarp);
        }
    }
    file->FieldReadBlockEnd();

    // Older writers left the layer type out or wrong; the names and data
    // types tell it.
    SetLayerTypeOfKind();
    const char* name = GetName();
    const KDataType* type = GetDataType();
    if (file->GetSectionVersion() == kLooseShortNameVersion && mLayerType != KFCL_PLAIN) {
        const bool looseR = Contains(name, "R") && std::strcmp(name, "R") != 0 && type == gKDataTypeLclRotation;
        const bool looseT = Contains(name, "T") && std::strcmp(name, "T") != 0 && type == gKDataTypeLclTranslation;
        const bool looseS = Contains(name, "S") && std::strcmp(name, "S") != 0 && type == gKDataTypeLclScaling;
        if (looseR || looseT || looseS) mLayerType = KFCL_PLAIN;
    }
}

KFCurveNode* KFCurveNode::FbxRetrieveLayer(KFbx* file, KFCurveNode* node, bool onlyDefault) {
    if (file == nullptr || node == nullptr || !file->FieldReadBegin("LayerChannel")) return nullptr;
    KFCurveNode* layer = new (std::nothrow) KFCurveNode(*node);
    if (layer == nullptr) {
        file->FieldReadEnd();
        return nullptr;
    }
    node->SetNextLayer(layer, true);
    layer->mLayerRoot = node->mLayerRoot;
    layer->FbxRetrieveChannel(file, onlyDefault, true, false);
    file->FieldReadEnd();
    return layer;
}

}  // namespace fbxsdk_2006_11_1
