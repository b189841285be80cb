#include <fbxfilesdk/animation/KFbxTakeNode.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/core/KDataType.h>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[KFbxTakeNode::eErrorCount] = {"Curve not found"};

}  // namespace

KFbxTakeNode::KFbxTakeNode(const char* name)
    : mName(name ? name : ""), mRoot(KFCurveNode::Create("Defaults", nullptr)), mError(kMessages, eErrorCount) {}

KFbxTakeNode::KFbxTakeNode(const KFbxTakeNode& source)
    : mName(source.mName),
      mRoot(source.mRoot ? KFCurveNode::CloneTree(*source.mRoot, false) : nullptr),
      mError(kMessages, eErrorCount) {}

KFbxTakeNode::~KFbxTakeNode() {
    if (mRoot && mRoot->IsReference()) RemoveReferenceChildren(mRoot);
    delete mRoot;
}

void KFbxTakeNode::RemoveReferenceChildren(KFCurveNode* node) {
    if (!node) return;
    for (int i = node->GetCount() - 1; i >= 0; --i) {
        KFCurveNode* child = node->Get(i);
        if (child->IsReference()) {
            RemoveReferenceChildren(child);
            node->Delete(i);
        }
    }
}

bool KFbxTakeNode::GetAnimationInterval(KTime& start, KTime& stop) const {
    return mRoot && mRoot->GetAnimationInterval(start, stop);
}

KFCurveNode* KFbxTakeNode::FindPath(const char* first, const char* second) const {
    KFCurveNode* node = mRoot;
    for (const char* name : {first, second}) {
        if (!node) return nullptr;
        if (name) node = node->Find(name);
    }
    return node;
}

KFCurve* KFbxTakeNode::Found(KFCurveNode* node) {
    if (node && node->FCurveGet()) return node->FCurveGet();
    mError.SetError(eCurveNotFound);
    return nullptr;
}

KFCurve* KFbxTakeNode::GetKFCurve(const char* first, const char* second, const char* third) {
    KFCurveNode* node = FindPath(first, second);
    if (node && third) node = node->Find(third);
    return Found(node);
}

KFCurve* KFbxTakeNode::GetKFCurveByIndex(const char* first, const char* second, const KDataType* type) {
    KFCurveNode* node = FindPath(first, second);
    if (node) node = node->FindByDataType(type);
    return Found(node);
}

bool KFbxTakeNode::IsAnimated(const char* first, const char* second, const char* third) {
    const KFCurve* curve = GetKFCurve(first, second, third);
    return curve && curve->KeyGetCount() > 0;
}

bool KFbxTakeNode::IsAnimatedByIndex(const char* first, const char* second, const KDataType* type) {
    const KFCurve* curve = GetKFCurveByIndex(first, second, type);
    return curve && curve->KeyGetCount() > 0;
}

KFCurve* KFbxTakeNode::GetVisibility() { return GetKFCurveByIndex(nullptr, nullptr, gKDataTypeVisibility); }

KFCurve* KFbxTakeNode::GetIKReachTranslation() {
    return GetKFCurveByIndex(nullptr, nullptr, gKDataTypeIKReachTranslation);
}

KFCurve* KFbxTakeNode::GetIKReachRotation() { return GetKFCurveByIndex(nullptr, nullptr, gKDataTypeIKReachRotation); }

}  // namespace fbxsdk_2006_11_1
