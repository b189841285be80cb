// The take-node container's side of the properties: their channels in each
// take, the values written into channel defaults, and the links that carry a
// changed default of the default take back into the property.
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveEvent.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kMatrixElements = 16;
// KFbxGetPropertyTypeFromDataType codes.
constexpr int kColorCode = 3;
constexpr int kVectorCode = 5;
constexpr int kMatrixCode = 7;

bool IsVectorCode(int code) { return code == kColorCode || code == kVectorCode; }

int TypeCodeOf(const KFbxProperty& property) {
    return KFbxGetPropertyTypeFromDataType(property.GetPropertyDataType());
}

// "X", "Y", "Z", "toto" for up to four components; "0" to "F" for matrix elements.
const char* ComponentName(int componentCount, int index) {
    static const char* const kVectorNames[4] = {"X", "Y", "Z", "toto"};
    static const char* const kElementNames[kMatrixElements] = {"0", "1", "2", "3", "4", "5", "6", "7",
                                                               "8", "9", "A", "B", "C", "D", "E", "F"};
    return componentCount <= 4 ? kVectorNames[index] : kElementNames[index];
}

// By the value record's data type when it has one, else by its type code;
// a property without value record by its value type.
int ComponentCountOf(const KFbxProperty& property) {
    int count = 1;
    const KDataType* dataType = nullptr;
    int typeCode = eKPropertyUnknown;
    if (property.GetBoundType(dataType, typeCode)) {
        if (dataType != nullptr) {
            count = dataType->GetComponentCount();
        } else if (typeCode == eKPropertyVector3D || typeCode == eKPropertyColorRGB) {
            count = 3;
        } else if (typeCode == eKPropertyVector4D || typeCode == eKPropertyColorRGBA) {
            count = 4;
        }
    } else {
        switch (property.GetPropertyDataType().GetType()) {
            case eFbxValueDouble3:
                count = 3;
                break;
            case eFbxValueDouble4:
                count = 4;
                break;
            case eFbxValueDouble44:
                count = kMatrixElements;
                break;
            default:
                break;
        }
    }
    return std::clamp(count, 1, kMatrixElements);
}

// The property's value as doubles; the count read, 0 for values that are no numbers.
int ReadValues(const KFbxProperty& property, double out[kMatrixElements]) {
    const EFbxValueType type = property.GetPropertyDataType().GetType();
    switch (type) {
        case eFbxValueBool: {
            bool value = false;
            property.Get(&value, type);
            out[0] = value ? 1.0 : 0.0;
            return 1;
        }
        case eFbxValueInteger:
        case eFbxValueEnum: {
            int value = 0;
            property.Get(&value, type);
            out[0] = value;
            return 1;
        }
        case eFbxValueFloat: {
            float value = 0.0f;
            property.Get(&value, type);
            out[0] = value;
            return 1;
        }
        case eFbxValueDouble:
            out[0] = property.GetDouble();
            return 1;
        case eFbxValueDouble3: {
            const fbxDouble3 value = property.GetDouble3();
            std::copy(value.mData, value.mData + 3, out);
            return 3;
        }
        case eFbxValueDouble4: {
            const fbxDouble4 value = property.GetDouble4();
            std::copy(value.mData, value.mData + 4, out);
            return 4;
        }
        case eFbxValueDouble44: {
            const fbxDouble44 value = property.GetDouble44();
            for (int i = 0; i < kMatrixElements; ++i) {
                out[i] = value[i / 4][i % 4];
            }
            return kMatrixElements;
        }
        default:
            return 0;
    }
}

// Truncated toward zero and held inside the int range; NaN gives 0.
int ToInteger(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double kLow = std::numeric_limits<int>::min();
    constexpr double kHigh = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::trunc(value), kLow, kHigh));
}

// The property's value is read whole, one element replaced, and written back.
template <class Value, class ElementOf>
void ReplaceElement(KFbxProperty& property, EFbxValueType type, ElementOf elementOf, double value) {
    Value whole{};
    property.Get(&whole, type);
    elementOf(whole) = value;
    property.Set(&whole, type);
}

// One component of the property becomes the value; other components keep theirs.
void WriteComponent(KFbxProperty& property, int component, double value) {
    const EFbxValueType type = property.GetPropertyDataType().GetType();
    switch (type) {
        case eFbxValueBool: {
            const bool on = ToInteger(value) != 0;
            property.Set(&on, type);
            break;
        }
        case eFbxValueInteger:
        case eFbxValueEnum: {
            const int whole = ToInteger(value);
            property.Set(&whole, type);
            break;
        }
        case eFbxValueFloat: {
            const auto single = static_cast<float>(value);
            property.Set(&single, type);
            break;
        }
        case eFbxValueDouble:
            property.Set(&value, type);
            break;
        case eFbxValueDouble3:
            if (component < 3) {
                ReplaceElement<fbxDouble3>(property, type, [=](fbxDouble3& v) -> double& { return v[component]; },
                                           value);
            }
            break;
        case eFbxValueDouble4:
            if (component < 4) {
                ReplaceElement<fbxDouble4>(property, type, [=](fbxDouble4& v) -> double& { return v[component]; },
                                           value);
            }
            break;
        case eFbxValueDouble44:
            if (component < kMatrixElements) {
                ReplaceElement<fbxDouble44>(
                    property, type, [=](fbxDouble44& m) -> double& { return m[component / 4][component % 4]; }, value);
            }
            break;
        default:
            break;
    }
}

// The link's own write must not come back to it as a change of the curve.
void SetDefaultQuietly(KFCurve& curve, double value) {
    curve.CallbackEnable(false);
    curve.SetValue(static_cast<float>(value));
    curve.CallbackClearEvent();
    curve.CallbackEnable(true);
}

// The index-th component child, made (with a curve) when create is set.
KFCurveNode* ComponentChild(KFCurveNode& channel, int componentCount, int index, bool create) {
    KFCurveNode* child = channel.Get(index);
    if (child == nullptr && create) {
        child = channel.FindOrCreate(ComponentName(componentCount, index), true);
    }
    if (child != nullptr && create && child->FCurveGet() == nullptr) {
        child->FCurveSet(KFCurve::Create());
    }
    return child;
}

// A node taken out of a reference node's list belongs to someone else.
void DestroyChannel(KFCurveNode* channel) {
    KFCurveNode* parent = channel->GetParent();
    if (parent == nullptr) {
        return;
    }
    const bool owned = !parent->IsReference();
    parent->Remove(parent->FindChild(channel));
    if (owned) {
        DeleteObjectVirtual(channel);
    }
}

}  // namespace

// ---- object operations ------------------------------------------------------

void KFbxTakeNodeContainer::PropertyChanged(KFbxProperty& property) {
    // The object's own properties being made hold what they held before:
    // the takes have it already.
    if (IsTemplatePending() || !property.GetFlag(KFbxProperty::kAnimatable)) {
        return;
    }
    if (mDeferred != nullptr) {
        // A deferred default take reads the values when it is made; a take
        // made beside it takes them now when current.
        if (KFbxTakeNode* current = MadeCurrentTakeNode()) {
            PropertySetDefaultValuesOnChannel(property, *current);
        }
        return;
    }
    KFbxTakeNode* current = TakeNodeAt(GetCurrentTakeNodeIndex());
    if (current == nullptr || current->GetKFCurveNode() == nullptr) {
        return;
    }
    PropertySetDefaultValuesOnChannel(property, *current);
    KFbxTakeNode* defaultTake = GetDefaultTakeNode();
    if (defaultTake != nullptr && defaultTake != current) {
        PropertySetDefaultValuesOnChannel(property, *defaultTake);
    }
}

void KFbxTakeNodeContainer::AddProperty(KFbxProperty* property) {
    if (property == nullptr) {
        return;
    }
    KFbxObject::AddProperty(property);
    PropertyAddToTakeNodes(*property, nullptr);
}

void KFbxTakeNodeContainer::RemoveProperty(KFbxProperty* property) {
    if (property == nullptr) {
        return;
    }
    // Destroying a channel destroys its curves, which take their links along;
    // links to curves elsewhere go with the property.
    if (property->IsValid()) {
        // A deferred take must not replay a property that is gone.
        MakeDeferredDefaultTake();
        for (KFbxTakeNode* takeNode : mTakeNodes) {
            KFCurveNode* root = takeNode->GetKFCurveNode();
            KFCurveNode* channel = root != nullptr ? root->Find(property->GetName()) : nullptr;
            if (channel != nullptr) {
                DestroyChannel(channel);
            }
        }
        RemoveLinksOf(*property);
    }
    KFbxObject::RemoveProperty(property);
}

// ---- properties and channels --------------------------------------------------

const char* KFbxTakeNodeContainer::GetChannelName(const char* propertyName) {
    if (propertyName == nullptr) {
        return nullptr;
    }
    if (std::strcmp(propertyName, "Lcl Translation") == 0) {
        return "T";
    }
    if (std::strcmp(propertyName, "Lcl Rotation") == 0) {
        return "R";
    }
    if (std::strcmp(propertyName, "Lcl Scaling") == 0) {
        return "S";
    }
    return propertyName;
}

void KFbxTakeNodeContainer::PropertyAddToTakeNodes(KFbxProperty& property, const char* takeName) {
    if (!property.IsValid() || !property.GetFlag(KFbxProperty::kAnimatable)) {
        return;
    }
    property.ModifyFlag(KFbxProperty::kPublicFlag8, true);
    if (IsTemplatePending()) {
        // One of the deferred properties being made: the template has it.
        return;
    }
    // A deferred default take keeps the property for when it is made; the
    // takes made beside it get their channels now.
    int first = 0;
    if (mDeferred != nullptr) {
        const bool toDefault = takeName == nullptr || std::strcmp(takeName, TakeNodeNameAt(0)) == 0;
        first = !toDefault || DeferChannel(property) ? 1 : 0;
    }
    for (int i = first; i < GetTakeNodeCount(); ++i) {
        KFbxTakeNode* takeNode = takeName == nullptr || std::strcmp(TakeNodeNameAt(i), takeName) == 0
                                     ? TakeNodeAt(i)
                                     : nullptr;
        if (takeNode != nullptr) {
            AddChannel(property, *takeNode, i == 0);
        }
    }
}

void KFbxTakeNodeContainer::AddChannel(KFbxProperty& property, KFbxTakeNode& takeNode, bool link) {
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (root == nullptr) {
        return;
    }
    const char* name = property.GetName();
    if (KFCurveNode* channel = root->Find(GetChannelName(name))) {
        PropertyToDefaultValues(property, *channel);
        return;
    }
    // Only the transform properties have channels named otherwise, and
    // those are the derived class's to make.
    if (GetChannelName(name) != name) {
        return;
    }
    const int code = TypeCodeOf(property);
    const int componentCount = code == kMatrixCode ? kMatrixElements : IsVectorCode(code) ? 3 : 1;
    KFCurveNode* channel = root->FindOrCreate(name, componentCount == 1);
    if (channel == nullptr) {
        return;
    }
    const KDataType* boundDataType = nullptr;
    int boundTypeCode = eKPropertyUnknown;
    if (link && property.GetBoundType(boundDataType, boundTypeCode)) {
        BuildChannel(property, *channel, componentCount, true);
    }
    channel->SetLayerTypeOfKind();
    PropertyToDefaultValues(property, *channel);
}

void KFbxTakeNodeContainer::CreateChannelForProperty(KFbxProperty& property, KFbxTakeNode& takeNode) {
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (root == nullptr || !property.IsValid() || root->Find(property.GetName()) != nullptr) {
        return;
    }
    const int componentCount = ComponentCountOf(property);
    KFCurveNode* channel = root->FindOrCreate(property.GetName(), componentCount == 1);
    if (channel == nullptr) {
        return;
    }
    const bool link = KString(takeNode.GetName()).CompareNoCase("Default") == 0;
    BuildChannel(property, *channel, componentCount, link);
    // Typed as a file gives it back, so that it is written and read alike.
    channel->SetLayerTypeOfKind();
    PropertyToChannelDefaults(property, *channel);
}

void KFbxTakeNodeContainer::BuildChannel(KFbxProperty& property, KFCurveNode& channel, int componentCount,
                                         bool link) {
    if (componentCount == 1) {
        if (link && channel.FCurveGet() != nullptr) {
            AddPropertyLink(property, 0, channel.FCurveGet());
        }
        return;
    }
    for (int i = 0; i < componentCount; ++i) {
        KFCurveNode* child = ComponentChild(channel, componentCount, i, true);
        if (link && child != nullptr && child->FCurveGet() != nullptr) {
            AddPropertyLink(property, i, child->FCurveGet());
        }
    }
}

void KFbxTakeNodeContainer::PropertySetDefaultValuesOnChannel(KFbxProperty& property, KFbxTakeNode& takeNode) {
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (root == nullptr || !property.IsValid()) {
        return;
    }
    if (KFCurveNode* channel = root->Find(GetChannelName(property.GetName()))) {
        PropertyToDefaultValues(property, *channel);
    }
}

void KFbxTakeNodeContainer::PropertyToDefaultValues(KFbxProperty& property, KFCurveNode& channel) {
    WriteChannelDefaults(property, channel, true, false);
}

void KFbxTakeNodeContainer::PropertyToChannelDefaults(KFbxProperty& property, KFCurveNode& channel) {
    WriteChannelDefaults(property, channel, false, true);
}

void KFbxTakeNodeContainer::WriteChannelDefaults(const KFbxProperty& property, KFCurveNode& channel, bool create,
                                                 bool fourComponents) {
    double values[kMatrixElements] = {};
    const int read = ReadValues(property, values);
    if (read == 0) {
        return;
    }
    const int code = TypeCodeOf(property);
    int componentCount = 1;
    if (code == kMatrixCode) {
        componentCount = kMatrixElements;
    } else if (IsVectorCode(code)) {
        componentCount = fourComponents && read == 4 ? 4 : 3;
    }
    WriteValuesToChannel(values, read, componentCount, channel, create);
}

void KFbxTakeNodeContainer::WriteUnmadeChannelDefaults(const char* propertyName, const double* values, int count) {
    KFbxTakeNode* current = mDeferred != nullptr ? MadeCurrentTakeNode() : nullptr;
    KFCurveNode* root = current != nullptr ? current->GetKFCurveNode() : nullptr;
    KFCurveNode* channel = root != nullptr ? root->Find(GetChannelName(propertyName)) : nullptr;
    if (channel != nullptr) {
        WriteValuesToChannel(values, count, count, *channel, true);
    }
}

KFbxTakeNode* KFbxTakeNodeContainer::MadeCurrentTakeNode() const {
    return mDeferred != nullptr && mCurrent == 0 ? nullptr : TakeNodeAt(mCurrent);
}

void KFbxTakeNodeContainer::WriteValuesToChannel(const double* values, int read, int componentCount,
                                                 KFCurveNode& channel, bool create) {
    if (componentCount == 1) {
        if (create && channel.FCurveGet() == nullptr) {
            channel.FCurveSet(KFCurve::Create());
        }
        if (KFCurve* curve = channel.FCurveGet()) {
            SetDefaultQuietly(*curve, values[0]);
        }
        return;
    }
    componentCount = std::min(componentCount, read);
    for (int i = 0; i < componentCount; ++i) {
        KFCurveNode* child = ComponentChild(channel, componentCount, i, create);
        if (child != nullptr && child->FCurveGet() != nullptr) {
            SetDefaultQuietly(*child->FCurveGet(), values[i]);
        }
    }
}

void KFbxTakeNodeContainer::GetMatrixPropertyValue(const KFbxProperty& property, double out[16]) {
    std::fill(out, out + kMatrixElements, 0.0);
    if (property.GetPropertyDataType().GetType() == eFbxValueDouble44) {
        ReadValues(property, out);
    }
}

// ---- property links -----------------------------------------------------------

KFbxPropertyLink* KFbxTakeNodeContainer::AddPropertyLink(KFbxProperty& property, int component, KFCurve* curve) {
    return AddPropertyLink(property, component, curve, false);
}

KFbxPropertyLink* KFbxTakeNodeContainer::LinkChannelCurve(KFbxProperty& property, int component,
                                                          const KFCurveNode& channel) {
    KFCurve* curve = channel.FCurveGet();
    if (curve == nullptr || HasPropertyLink(property, component, curve)) {
        return nullptr;
    }
    return AddPropertyLink(property, component, curve, HangsFromDeferredChannels(channel));
}

KFbxPropertyLink* KFbxTakeNodeContainer::AddPropertyLink(KFbxProperty& property, int component, KFCurve* curve,
                                                         bool filledAhead) {
    if (!property.IsValid() || curve == nullptr || component < 0 || component >= kMatrixElements) {
        return nullptr;
    }
    // Links keep the order in which an immediate default take would have
    // made them; those of channels filled ahead are put in order when the
    // channels join the default take.
    if (!filledAhead && !IsDeferredChannelCurve(curve)) {
        MakeDeferredDefaultTake();
    }
    auto* link = new (std::nothrow) KFbxPropertyLink{property, component, curve, this};
    if (link == nullptr) {
        return nullptr;
    }
    try {
        mLinks.push_back(link);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        delete link;
        return nullptr;
    }
    curve->CallbackRegister(&KFbxTakeNodeContainer::OnCurveChanged, link);
    return link;
}

void KFbxTakeNodeContainer::RemovePropertyLink(KFbxPropertyLink*& link) {
    const auto found = std::find(mLinks.begin(), mLinks.end(), link);
    if (link == nullptr || found == mLinks.end()) {
        return;
    }
    if (link->mCurve != nullptr) {
        link->mCurve->CallbackUnregister(&KFbxTakeNodeContainer::OnCurveChanged, link);
    }
    mLinks.erase(found);
    delete link;
    link = nullptr;
}

void KFbxTakeNodeContainer::RemoveAllPropertyLinks() {
    while (!mLinks.empty()) {
        KFbxPropertyLink* link = mLinks.back();
        RemovePropertyLink(link);
    }
}

int KFbxTakeNodeContainer::GetPropertyLinkCount() const {
    MakeDeferredDefaultTake();
    return static_cast<int>(mLinks.size());
}

KFbxPropertyLink* KFbxTakeNodeContainer::GetPropertyLink(int index) const {
    if (index < 0 || index >= GetPropertyLinkCount()) {
        return nullptr;
    }
    return mLinks[static_cast<std::size_t>(index)];
}

bool KFbxTakeNodeContainer::HasPropertyLink(const KFbxProperty& property, int component, const KFCurve* curve) const {
    return std::any_of(mLinks.begin(), mLinks.end(), [&](const KFbxPropertyLink* link) {
        return link->mCurve == curve && link->mComponent == component && link->mProperty == property;
    });
}

void KFbxTakeNodeContainer::RemoveLinksOf(const KFbxProperty& property) {
    for (int i = static_cast<int>(mLinks.size()) - 1; i >= 0; --i) {
        KFbxPropertyLink* link = mLinks[static_cast<std::size_t>(i)];
        if (link->mProperty == property) {
            RemovePropertyLink(link);
        }
    }
}

void KFbxTakeNodeContainer::OnCurveChanged(KFCurve* curve, KFCurveEvent* event, void* userData) {
    auto* link = static_cast<KFbxPropertyLink*>(userData);
    if (curve == nullptr || event == nullptr || link == nullptr) {
        return;
    }
    if ((event->mEventType & KFCURVEEVENT_DEFAULT_VALUE) != 0) {
        const KDataType* dataType = nullptr;
        int typeCode = eKPropertyUnknown;
        if (!link->mProperty.GetBoundType(dataType, typeCode)) {
            dataType = nullptr;
        }
        if (dataType == nullptr || link->mComponent < dataType->GetComponentCount()) {
            WriteComponent(link->mProperty, link->mComponent, curve->GetValue());
        }
    }
    if ((event->mEventType & KFCURVEEVENT_DESTROY) != 0 && link->mContainer != nullptr) {
        link->mContainer->RemovePropertyLink(link);
    }
}

}  // namespace fbxsdk_2006_11_1
