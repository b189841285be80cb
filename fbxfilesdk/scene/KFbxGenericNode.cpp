#include <fbxfilesdk/scene/KFbxGenericNode.h>

#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {"Error"};
// The property flag of animatable properties.
constexpr std::uint32_t kAnimatable = 1u;

}  // namespace


KFbxGenericNode::KFbxGenericNode(KFbxSdkManager* manager, const char* name)
    : KFbxTakeNodeContainer(manager, name, &mError), mError(kMessages, 1) {
    CreateInternal();
    CreateDefaultTakeNode();
    WrapInternalProperties();
}

KFbxGenericNode::~KFbxGenericNode() {
    // The take nodes go while the error holder they report to still exists.
    ClearTakeNodes();
}

KFbxGenericNode* KFbxGenericNode::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxGenericNode>(manager, ClassId, name);
}

KFbxPlug* KFbxGenericNode::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxGenericNode>(manager, name);
}

KFbxClassId KFbxGenericNode::GetClassId() const { return ClassId; }

void KFbxGenericNode::GetTypeFlags(KStringList& flags) const {
    flags.Clear();
    flags.Add(KString("GenericNode"));
}

void KFbxGenericNode::FillTakeNodeTemplate(KFbxTakeNode& takeNode) {
    for (int index = 0; index < GetPropertyCount(); ++index) {
        KFbxProperty property = GetPropertyAt(index);
        if (property.GetFlag(kAnimatable)) {
            CreateChannelForProperty(property, takeNode);
        }
    }
}

KFbxGenericNode* KFbxGenericNode::Clone(int mode) const {
    return KFbxCloneByCopy(*this, mode, GetName());
}

KFbxGenericNode& KFbxGenericNode::CopyFrom(const KFbxGenericNode& other) {
    if (this == &other) {
        return *this;
    }
    KFbxTakeNodeContainer::CopyFrom(other);
    if (other.mError.GetLastErrorID() == -1) {
        mError.ClearError();
    } else {
        mError.SetErrorWithText(other.mError.GetLastErrorID(), other.mError.GetLastErrorString());
    }
    return *this;
}

}  // namespace fbxsdk_2006_11_1
