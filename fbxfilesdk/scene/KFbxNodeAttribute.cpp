#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute_internal.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxNodeAttribute::KFbxNodeAttribute(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) {
    // Interned once for every attribute; never destroyed, as attributes may
    // outlive the other statics. A new object has no property of the name.
    static const KInternedText* const colorName = new KInternedText("Color");
    Color.InitOnNewObject(this, *colorName, gKFbxDataTypeColor, KInternedText());
    const fbxDouble3 grey(0.8, 0.8, 0.8);
    Color.Set(&grey, eFbxValueDouble3);
}

KFbxNodeAttribute::~KFbxNodeAttribute() = default;

KFbxPlug* KFbxNodeAttribute::CreateFn(KFbxSdkManager*, const char*) { return nullptr; }

KFbxClassId KFbxNodeAttribute::GetClassId() const { return ClassId; }

KPlug* KFbxNodeAttribute::CreateInternal() {
    if (KPlug* existing = GetInternalPlug()) {
        return existing;
    }
    KPlug* twin = KFbxObject::CreateInternal();
    if (twin != nullptr) {
        // The handles share their state with the registered ones; binding a
        // property that is bound already does nothing.
        for (int index = 0; index < GetPropertyCount(); ++index) {
            KFbxProperty property = GetPropertyAt(index);
            BindWhenNeeded(property);
        }
    }
    return twin;
}

KFbxObject_internal* KFbxNodeAttribute::NewInternalObject() {
    return new (std::nothrow) KFbxNodeAttribute_internal(this);
}

int KFbxNodeAttribute::GetObjectTypeCode() const { return 14; }

bool KFbxNodeAttribute::AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) {
    if (oneWay) {
        if (auto* node = dynamic_cast<KFbxNode*>(&source)) {
            node->GetError().SetError(KFbxNode::eOneWayLink);
            return false;
        }
    }
    return KFbxObject::AcceptsSrcObject(source, askedOf, oneWay);
}

void KFbxNodeAttribute::DstObjectLinked(KFbxObject& destination, bool linked) {
    // A node being deleted is no node any more: its take nodes are gone.
    auto* node = dynamic_cast<KFbxNode*>(&destination);
    if (linked && node != nullptr) {
        mNode = node;
        FillChannelsOf(*node);
    } else if (!linked) {
        if (node != nullptr) {
            ClearChannelsOf(*node);
        }
        if (&destination == mNode) {
            // A node that carries it too (an instance) is its node now; that
            // node's takes have had its channels since it took it.
            mNode = static_cast<KFbxNode*>(GetDstObject(KFbxNode::ClassId, 0));
        }
    }
    KFbxObject::DstObjectLinked(destination, linked);
}

KFbxNodeAttribute::EAttributeType KFbxNodeAttribute::GetAttributeType() const { return eUNIDENTIFIED; }

const char* KFbxNodeAttribute::GetTypeName() const { return ""; }

KFbxNodeAttribute* KFbxNodeAttribute::Clone(int mode) const {
    if (mode != 2) {
        return nullptr;
    }
    KFbxPlug* plug = CreateObjectOfClass(GetSdkManager(), GetRuntimeClassId(), GetName());
    if (plug == nullptr || !plug->Is(ClassId)) {
        return nullptr;
    }
    auto* copy = static_cast<KFbxNodeAttribute*>(plug);
    for (int index = 0; index < GetPropertyCount(); ++index) {
        const KFbxProperty source = GetPropertyAt(index);
        KFbxProperty target = copy->FindProperty(source.GetName());
        if (target.IsValid()) {
            target.CopyValue(source);
        }
    }
    return copy;
}

void KFbxNodeAttribute::FillTakeNodeTemplate(KFbxTakeNode&) {}

void KFbxNodeAttribute::ClearTakeNodeTemplate(KFbxTakeNode&) {}

void KFbxNodeAttribute::AttachToNode(KFbxNode* node) {
    if (node != nullptr && IsConnectedDst(node)) {
        mNode = node;
        FillChannelsOf(*node);
    }
}

void KFbxNodeAttribute::FillChannelsOf(KFbxNode& node) {
    if (!HasTakeNodeTemplate()) {
        return;
    }
    if (const KFbxTakeNodeContainer::TakeNodeStep fill = GetTakeNodeFillStep()) {
        node.ApplyToTakeNodes(fill);
        return;
    }
    for (int index = 0; index < node.GetTakeNodeCount(); ++index) {
        KFbxTakeNode* ahead = index == 0 && FillsChannelsAhead() ? node.OpenDeferredChannels(this) : nullptr;
        // A default take that could not be made for want of memory is none.
        if (KFbxTakeNode* takeNode = ahead != nullptr ? ahead : node.GetTakeNode(index)) {
            FillTakeNodeTemplate(*takeNode);
        }
    }
}

KFCurve* KFbxNodeAttribute::GetDefaultTakeCurve(const char* channel, const char* component) const {
    if (mNode == nullptr) {
        return nullptr;
    }
    KFbxTakeNode* takeNode = mNode->FindDeferredChannels(this);
    if (takeNode == nullptr) {
        takeNode = mNode->GetDefaultTakeNode();
    }
    return takeNode != nullptr ? takeNode->GetKFCurve(channel, component, nullptr) : nullptr;
}

void KFbxNodeAttribute::InitEnumProperty(KFbxProperty& property, const char* name, const KInternedText* names,
                                         std::size_t count, int value) {
    property.InitOnObject(this, name, gKFbxDataTypeEnum, "");
    property.AddFixedEnumValues(names, count);
    SetEnumValue(property, value);
}

void KFbxNodeAttribute::SetEnumValue(KFbxProperty& property, int value) { property.Set(&value, eFbxValueEnum); }

int KFbxNodeAttribute::GetEnumValue(const KFbxProperty& property) {
    int value = 0;
    property.Get(&value, eFbxValueEnum);
    return value;
}

const char* KFbxNodeAttribute::EnumText(const char* const* texts, int count, int value) {
    return value >= 0 && value < count ? texts[value] : nullptr;
}

void KFbxNodeAttribute::DestroyContents(bool recursive, bool dependents) {
    KPlug* plug = GetInternalPlug();
    for (int index = GetDstObjectCount(KFbxNode::ClassId) - 1; plug != nullptr && index >= 0; --index) {
        plug->DisconnectDst(GetDstObject(KFbxNode::ClassId, index)->GetInternalPlug());
    }
    if (mNode != nullptr) {
        DetachFromNode();
    }
    KFbxObject::DestroyContents(recursive, dependents);
}

void KFbxNodeAttribute::DetachFromNode() {
    if (mNode != nullptr) {
        ClearChannelsOf(*mNode);
    }
    mNode = nullptr;
}

void KFbxNodeAttribute::ClearChannelsOf(KFbxNode& node) {
    if (!HasTakeNodeTemplate()) {
        return;
    }
    if (const KFbxTakeNodeContainer::TakeNodeStep clear = GetTakeNodeClearStep()) {
        node.ApplyToTakeNodes(clear);
        return;
    }
    for (int index = 0; index < node.GetTakeNodeCount(); ++index) {
        // Channels filled ahead and followed by nothing leave as they would
        // have left the default take.
        if (KFbxTakeNode* ahead = index == 0 ? node.FindDeferredChannels(this, true) : nullptr) {
            ClearTakeNodeTemplate(*ahead);
            node.CloseDeferredChannels(this);
            continue;
        }
        if (KFbxTakeNode* takeNode = node.GetTakeNode(index)) {
            ClearTakeNodeTemplate(*takeNode);
        }
    }
}

}  // namespace fbxsdk_2006_11_1
