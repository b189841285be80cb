// Curve-node construction, children, finding, curves and keys, copying and
// events. Evaluation and layers are in KFCurveNodeEvaluation.cpp.
#include <fbxfilesdk/animation/KFCurveNode.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNodeWatchers.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

// The transform data type that "T", "R" or "S" stands for; null for any
// other name.
const KDataType* LclTypeOfShortName(const char* name) {
    if (name[0] == '\0' || name[1] != '\0') return nullptr;
    switch (name[0]) {
    case 'T':
        return gKDataTypeLclTranslation;
    case 'R':
        return gKDataTypeLclRotation;
    case 'S':
        return gKDataTypeLclScaling;
    default:
        return nullptr;
    }
}

// The channel names every take of a node repeats some fifteen times, interned
// once: looking a name up in the shared pool costs more than the rest of
// making its channel. Never destroyed: channels may outlive the other statics.
KInternedText InternChannelName(const char* name) {
    static const char* const kNames[] = {"X", "Y", "Z", "T", "R", "S", "Transform", "Visibility"};
    static const KInternedText* const interned =
        KInternedText::InternForever(std::size(kNames), [](std::size_t i) { return kNames[i]; });
    if (name != nullptr && name[0] != '\0') {
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            // Each name's first letter tells it from the others.
            if (name[0] == kNames[i][0] && std::strcmp(name, kNames[i]) == 0) {
                return interned[i];
            }
        }
    }
    return KInternedText(name);
}

bool IsLclShortName(const char* name, const KDataType* type) {
    return type != nullptr && LclTypeOfShortName(name) == type;
}

// Names compare with ASCII letters folded, as KString::CompareNoCase does, but
// without copying the name: channel look-ups run this for every child.
// Interned names are often the very text looked for; and most bytes met
// before the end or a difference are equal, so only unequal ones are folded.
bool SameNameNoCase(const KFCurveNode* node, const char* name) {
    const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : int{c}; };
    const char* own = node->GetName();
    const auto* a = reinterpret_cast<const unsigned char*>(own != nullptr ? own : "");
    const auto* b = reinterpret_cast<const unsigned char*>(name != nullptr ? name : "");
    if (a == b) return true;
    for (;; ++a, ++b) {
        if (*a != *b) {
            if (fold(*a) != fold(*b)) return false;
        } else if (*a == 0) {
            return true;
        }
    }
}

// Depth first: each child, then what lies below it, before the next child.
// lclType is what the name stands for as a transform short name, if anything.
bool Answers(const KFCurveNode* node, const char* name, const KDataType* lclType) {
    return SameNameNoCase(node, name) || (lclType != nullptr && node->GetDataType() == lclType);
}

KFCurveNode* FindBelow(const KFCurveNode& node, const char* name, const KDataType* lclType) {
    // Nothing the search calls changes the tree: the count is read once.
    const int count = node.GetCount();
    for (int i = 0; i < count; ++i) {
        KFCurveNode* child = node.Get(i);
        if (Answers(child, name, lclType)) return child;
        if (KFCurveNode* found = FindBelow(*child, name, lclType)) return found;
    }
    return nullptr;
}

// The same walk for several names: each keeps the first node that answers it.
void FindEachBelow(const KFCurveNode& node, const char* const* names, KFCurveNode** found, int count, int& left) {
    for (int i = 0; i < node.GetCount() && left > 0; ++i) {
        KFCurveNode* child = node.Get(i);
        for (int index = 0; index < count; ++index) {
            if (found[index] == nullptr && Answers(child, names[index], LclTypeOfShortName(names[index]))) {
                found[index] = child;
                --left;
            }
        }
        FindEachBelow(*child, names, found, count, left);
    }
}

}  // namespace

// --- Construction -------------------------------------------------------------

KFCurveNode::KFCurveNode(const char* name, const char* userName, KDataType* dataType, int layerType, int layerId)
    : KFCurveNode(KInternedText(name), KInternedText(userName), dataType, layerType, layerId) {}

KFCurveNode::KFCurveNode(KInternedText name, KInternedText userName, KDataType* dataType, int layerType, int layerId)
    : mLayerId(layerId) {
    mNames.mName = std::move(name);
    mNames.mUserName = std::move(userName);
    mNames.mDataType = dataType;
    mLayerRoot = this;
    SetLayerType(layerType, nullptr);
}

KFCurveNode::KFCurveNode(const KFCurveNode& source)
    : mQuaternionInterpolation(source.mQuaternionInterpolation),
      mSource(&source),
      mRotationOrder(source.mRotationOrder),
      mChanged(source.mChanged),
      mCacheState(source.mCacheState),
      mCachedCount(source.mCachedCount),
      mCachedTime(source.mCachedTime) {
    mLayerRoot = this;
    ShareNamesOf(source);
    std::copy(source.mCachedValues, source.mCachedValues + kCachedValueCapacity, mCachedValues);
    SetLayerType(source.mLayerType, nullptr);
}

const std::shared_ptr<KFCurveNode::NameRecord>& KFCurveNode::SharedNames() const {
    if (!mSharedNames) {
        mSharedNames = std::make_shared<NameRecord>(std::move(mNames));
        mNames = NameRecord();
    }
    return mSharedNames;
}

void KFCurveNode::ShareNamesOf(const KFCurveNode& model) {
    if (&model == this) return;
    try {
        mSharedNames = model.SharedNames();
        mNames = NameRecord();
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        // Without room for a shared record the layer keeps a copy.
        mNames = model.Names();
        mSharedNames.reset();
    }
}

KFCurveNode::~KFCurveNode() {
    if (mEvent) {
        PostEvent(KFCURVENODEEVENT_DESTROYED);
        KFCurveNodeWatchers::Tell(*this);
        mEvent.reset();
    }
    Clear();
    if (mParent) {
        auto& siblings = mParent->mChildren;
        const auto it = std::find(siblings.begin(), siblings.end(), this);
        if (it != siblings.end()) siblings.erase(it);
    }
}

KFCurveNode* KFCurveNode::Create(const char* name, KDataType* dataType, int layerType, int layerId) {
    try {
        return CreateInterned(InternChannelName(name), dataType, layerType, layerId);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
}

KFCurveNode* KFCurveNode::CreateInterned(KInternedText name, KDataType* dataType, int layerType, int layerId) {
    try {
        // The user name is the name itself, interned once for both.
        KInternedText userName = dataType == gKDataTypeTimeWarp ? KInternedText() : name;
        return new KFCurveNode(std::move(name), std::move(userName), dataType, layerType, layerId);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
}

KFCurveNode* KFCurveNode::CreateNamedLike(const KFCurveNode& source, int layerId) {
    try {
        // The source's interned names are shared, not looked up again; a name
        // the source takes from its owner property is the one text to intern.
        const NameRecord& names = source.Names();
        KInternedText name = names.mOwnerProperty ? KInternedText(source.GetName()) : names.mName;
        return new KFCurveNode(std::move(name), names.mUserName, source.GetDataType(), source.mLayerType, layerId);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
}

KFCurveNode* KFCurveNode::CreateCopy(const KFCurveNode& source) {
    try {
        return new KFCurveNode(source);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
}

void DeleteObjectVirtual(KFCurveNode* node) { delete node; }

void KFCurveNode::Release(KFCurveNode* node) {
    if (node && --node->mUseCount < 1) delete node;
}

// --- Children -------------------------------------------------------------------

void KFCurveNode::Clear() {
    for (int i = GetCount() - 1; i >= 0; --i) {
        if (IsReference()) {
            Remove(i);
        } else {
            Delete(i);
        }
    }
    mChildren.clear();
    delete mCurve;
    mCurve = nullptr;
    KFCurveNode* next = mNextLayer;
    mNextLayer = nullptr;
    Release(next);
    mLayerRoot = this;
    KFCurveNode* timeWarp = mTimeWarp;
    mTimeWarp = nullptr;
    Release(timeWarp);
}

int KFCurveNode::Add(KFCurveNode* child) {
    if (!child) return -1;
    try {
        // Most nodes with children have three (X, Y and Z) or a few more:
        // room for four at once spares two regrowths.
        if (mChildren.empty()) mChildren.reserve(4);
        mChildren.push_back(child);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return -1;
    }
    if (!IsReference()) child->SetParent(this);
    return static_cast<int>(mChildren.size()) - 1;
}

int KFCurveNode::AddSorted(KFCurveNode* child) {
    if (!child) return -1;
    const KString name(child->GetName());
    auto it = std::find_if(mChildren.begin(), mChildren.end(),
                           [&](const KFCurveNode* other) { return KString(other->GetName()).CompareNoCase(name.Buffer()) >= 0; });
    try {
        it = mChildren.insert(it, child);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return -1;
    }
    // The child must know its owner, or destroying it directly would leave
    // its pointer behind in this array.
    if (!IsReference()) child->SetParent(this);
    return static_cast<int>(it - mChildren.begin());
}

void KFCurveNode::Remove(int index) {
    KFCurveNode* child = Get(index);
    if (!child) return;
    if (!IsReference()) child->SetParent(nullptr);
    mChildren.erase(mChildren.begin() + index);
}

void KFCurveNode::Delete(int index) {
    KFCurveNode* child = Get(index);
    if (!child) return;
    Remove(index);
    delete child;
}

void KFCurveNode::DeleteChild(KFCurveNode* child) {
    // A node that is not a child belongs to someone else.
    const int index = FindChild(child);
    if (index >= 0) Delete(index);
}

int KFCurveNode::GetCount() const { return static_cast<int>(mChildren.size()); }

KFCurveNode* KFCurveNode::Get(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return mChildren[static_cast<std::size_t>(index)];
}

bool KFCurveNode::IsChild(const KFCurveNode* node, bool recursive) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (Get(i) == node) return true;
    }
    if (recursive) {
        for (int i = 0; i < GetCount(); ++i) {
            if (Get(i)->IsChild(node, true)) return true;
        }
    }
    return false;
}

// --- Names and finding ----------------------------------------------------------

const char* KFCurveNode::GetName() const {
    const NameRecord& names = Names();
    if (names.mOwnerProperty) return names.mOwnerProperty->GetName();
    return names.mName.Get();
}

const char* KFCurveNode::GetUserName() const { return Names().mUserName.Get(); }

KDataType* KFCurveNode::GetDataType() const { return Names().mDataType; }

void KFCurveNode::SetOwnerProperty(const KProperty* property) { Names().mOwnerProperty = property; }

int KFCurveNode::FindChildByName(const char* name) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (SameNameNoCase(Get(i), name)) return i;
    }
    return -1;
}

int KFCurveNode::FindChild(const KFCurveNode* node) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (Get(i) == node) return i;
    }
    return -1;
}

KFCurveNode* KFCurveNode::FindChildByDataType(const KDataType* type) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (Get(i)->GetDataType() == type) return Get(i);
    }
    return nullptr;
}

KFCurveNode* KFCurveNode::Find(const char* path) const {
    if (!path) return nullptr;
    const char* slash = std::strchr(path, '/');
    // Only a path of several segments needs its first one copied out; the
    // search below recurses with a single segment.
    if (!slash) return FindBelow(*this, path, LclTypeOfShortName(path));
    const KString segment(path, static_cast<int>(slash - path));
    KFCurveNode* found = FindBelow(*this, segment.Buffer(), LclTypeOfShortName(segment.Buffer()));
    if (found && slash[1] != '\0') return found->Find(slash + 1);
    return found;
}

void KFCurveNode::FindEach(const char* const* names, KFCurveNode** found, int count) const {
    std::fill(found, found + count, nullptr);
    int left = count;
    FindEachBelow(*this, names, found, count, left);
}

KFCurveNode* KFCurveNode::FindByDataType(const KDataType* type) const {
    if (!type) return nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        KFCurveNode* child = Get(i);
        if (child->GetDataType() == type) return child;
        if (KFCurveNode* found = child->FindByDataType(type)) return found;
    }
    return nullptr;
}

KFCurveNode* KFCurveNode::FindChildForChannel(const char* name) const {
    if (!name) return nullptr;
    if (std::strcmp(name, "R") == 0 || std::strcmp(name, "S") == 0 || std::strcmp(name, "T") == 0) {
        for (int i = 0; i < GetCount(); ++i) {
            if (IsLclShortName(name, Get(i)->GetDataType())) return Get(i);
        }
    }
    int index = FindChildByName(name);
    if (index >= 0) return Get(index);
    const char* parenthesis = std::strchr(name, '(');
    if (!parenthesis) return nullptr;
    int length = static_cast<int>(parenthesis - name);
    for (int spaces = 0; spaces < 2 && length > 0 && name[length - 1] == ' '; ++spaces) --length;
    index = FindChildByName(KString(name, length).Buffer());
    return index >= 0 ? Get(index) : nullptr;
}

KFCurveNode* KFCurveNode::FindOrCreate(const char* name, bool withCurve) {
    KFCurveNode* child = Get(FindChildByName(name));
    return WithCurveIfAsked(child != nullptr ? child : AddNew(Create(name, nullptr)), withCurve);
}

KFCurveNode* KFCurveNode::FindOrCreate(const KInternedText& name, bool withCurve) {
    KFCurveNode* child = Get(FindChildByName(name.Get()));
    return WithCurveIfAsked(child != nullptr ? child : AddNew(CreateInterned(name, nullptr, KFCL_PLAIN, 0)), withCurve);
}

KFCurveNode* KFCurveNode::AddNew(KFCurveNode* child) {
    if (child != nullptr && Add(child) < 0) {
        delete child;
        return nullptr;
    }
    return child;
}

KFCurveNode* KFCurveNode::WithCurveIfAsked(KFCurveNode* node, bool withCurve) {
    if (node != nullptr && withCurve && !node->mCurve) node->mCurve = KFCurve::Create();
    return node;
}

bool KFCurveNode::GetTransformCurves(KFCurve* t[3], KFCurve* r[3], KFCurve* s[3]) const {
    static const char* const kChannels[3] = {"T", "R", "S"};
    const KDataType* const types[3] = {gKDataTypeLclTranslation, gKDataTypeLclRotation, gKDataTypeLclScaling};
    static const char* const kAxes[3] = {"X", "Y", "Z"};
    KFCurve** outs[3] = {t, r, s};
    for (int c = 0; c < 3; ++c) {
        const KFCurveNode* channel = Find(kChannels[c]);
        if (!channel) channel = FindByDataType(types[c]);
        if (!channel) return false;
        for (int axis = 0; axis < 3; ++axis) {
            const KFCurveNode* component = channel->Get(channel->FindChildByName(kAxes[axis]));
            outs[c][axis] = component ? component->mCurve : nullptr;
            if (!outs[c][axis]) return false;
        }
    }
    return true;
}

// --- Curves and keys ------------------------------------------------------------

KFCurve* KFCurveNode::FCurveSet(KFCurve* curve, bool destroyPrevious) {
    if (curve == mCurve) return nullptr;
    KFCurve* previous = mCurve;
    mCurve = curve;
    if (destroyPrevious) {
        delete previous;
        previous = nullptr;
    }
    PostEvent(KFCURVENODEEVENT_CURVE);
    return previous;
}

void KFCurveNode::CreateMissingCurves() {
    if (GetCount() == 0 && !mCurve) mCurve = KFCurve::Create();
    for (int i = 0; i < GetCount(); ++i) Get(i)->CreateMissingCurves();
}

double* KFCurveNode::GetDefaultValues(double* out) const {
    if (mCurve) *out++ = mCurve->GetValue();
    for (int i = 0; i < GetCount(); ++i) out = Get(i)->GetDefaultValues(out);
    return out;
}

int KFCurveNode::KeyGetCount(bool withLayers) const {
    int count = mCurve ? mCurve->KeyGetCount() : 0;
    for (int i = 0; i < GetCount(); ++i) count += Get(i)->KeyGetCount(false);
    if (withLayers && mNextLayer) count += mNextLayer->KeyGetCount(true);
    return count;
}

const double* KFCurveNode::KeyAppendFast(KTime time, const double* values, bool unroll) {
    if (mCurve) mCurve->KeyAppendFast(time, static_cast<float>(*values++));
    if (unroll && !mCurve && GetCount() == 3) {
        double angles[3] = {values[0], values[1], values[2]};
        EulerMatchPreviousKey(angles, values, time);
        for (int i = 0; i < 3; ++i) Get(i)->KeyAppendFast(time, &angles[i], false);
        return values + 3;
    }
    for (int i = 0; i < GetCount(); ++i) values = Get(i)->KeyAppendFast(time, values, false);
    return values;
}

bool KFCurveNode::GetKeySpan(KTime& start, KTime& stop) const {
    bool found = false;
    if (mCurve && mCurve->KeyGetCount() > 0) {
        start = std::min(start, mCurve->KeyGetTime(0));
        stop = std::max(stop, mCurve->KeyGetTime(mCurve->KeyGetCount() - 1));
        found = true;
    }
    for (int i = 0; i < GetCount(); ++i) found = Get(i)->GetKeySpan(start, stop) || found;
    if (mNextLayer) found = mNextLayer->GetKeySpan(start, stop) || found;
    return found;
}

bool KFCurveNode::GetAnimationInterval(KTime& start, KTime& stop) const {
    KTime first = KTimeInfinite;
    KTime last = KTimeMinusInfinite;
    if (!GetKeySpan(first, last)) return false;
    start = std::min(start, first);
    stop = std::max(stop, last);
    return true;
}

void KFCurveNode::KeyFindPrevious(KTime& result, KTime time, const bool* componentMask) const {
    bool found = false;
    KTime best = time;
    if (mCurve) {
        const int n = mCurve->KeyGetCount();
        const double below = std::floor(mCurve->KeyFind(time) - 1e-6);
        if (n > 0 && below >= 0.0 && below < n) {
            best = mCurve->KeyGetTime(static_cast<int>(below));
            found = true;
        }
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (componentMask && !componentMask[i]) continue;
        KTime candidate;
        Get(i)->KeyFindPrevious(candidate, time, nullptr);
        if (candidate != time && (!found || candidate > best)) {
            best = candidate;
            found = true;
        }
    }
    result = best;
}

void KFCurveNode::KeyFindNext(KTime& result, KTime time, const bool* componentMask, bool withLayers) const {
    bool found = false;
    KTime best = time;
    if (mCurve) {
        const int n = mCurve->KeyGetCount();
        // Strictly after: a key on the time itself is not the next one.
        const double index = mCurve->KeyFind(time);
        double above = std::ceil(index);
        if (above == index) above += 1.0;
        if (n > 0 && above >= 0.0 && above < n) {
            best = mCurve->KeyGetTime(static_cast<int>(above));
            found = true;
        }
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (componentMask && !componentMask[i]) continue;
        KTime candidate;
        Get(i)->KeyFindNext(candidate, time, nullptr, false);
        if (candidate != time && (!found || candidate < best)) {
            best = candidate;
            found = true;
        }
    }
    if (withLayers && mNextLayer) {
        KTime candidate;
        mNextLayer->KeyFindNext(candidate, time, componentMask, true);
        if (candidate != time && (!found || candidate < best)) best = candidate;
    }
    result = best;
}

// --- Copying --------------------------------------------------------------------

KFCurveNode* KFCurveNode::Clone(const KFCurveNode& source, bool byCopyConstructor, bool withKeys, bool withCurves,
                                int layerId) {
    KFCurveNode* node = nullptr;
    const int id = layerId == -1 ? source.mLayerId : layerId;
    if (byCopyConstructor) {
        node = CreateCopy(source);
        if (node) node->mLayerId = id;
    } else {
        node = CreateNamedLike(source, id);
        if (node) {
            node->mQuaternionInterpolation = source.mQuaternionInterpolation;
            node->mRotationOrder = source.mRotationOrder;
        }
    }
    if (!node) return nullptr;
    if (id != 0) node->mLayerRoot = source.mLayerRoot;

    if (source.mCurve) {
        if (withKeys) {
            node->mCurve = source.mCurve->Copy();
        } else if (withCurves) {
            node->mCurve = KFCurve::Create();
        }
        if ((withKeys || withCurves) && !node->mCurve) {
            delete node;
            return nullptr;
        }
    }
    try {
        node->mChildren.reserve(source.mChildren.size());
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        delete node;
        return nullptr;
    }
    for (int i = 0; i < source.GetCount(); ++i) {
        KFCurveNode* child = Clone(*source.Get(i), byCopyConstructor, withKeys, withCurves, layerId);
        if (!child || node->Add(child) < 0) {
            delete child;
            delete node;
            return nullptr;
        }
    }
    return node;
}

KFCurveNode* KFCurveNode::CloneTree(const KFCurveNode& source, bool byCopyConstructor) {
    return Clone(source, byCopyConstructor, true, false, -1);
}

void KFCurveNode::CopyCurvesFrom(KFCurveNode& source, bool takeOver) {
    mCachedTime = source.mCachedTime;
    mChanged = source.mChanged;
    mCacheState = source.mCacheState;
    mCachedCount = source.mCachedCount;
    std::copy(source.mCachedValues, source.mCachedValues + kCachedValueCapacity, mCachedValues);
    if (source.mCurve && source.mCurve != mCurve) {
        if (takeOver) {
            FCurveSet(source.mCurve, true);
            source.mCurve = nullptr;
        } else if (mCurve) {
            mCurve->CopyFrom(*source.mCurve, true);
        } else if (KFCurve* copy = source.mCurve->Copy()) {
            FCurveSet(copy, true);
        }
    }
    SetLayerType(source.mLayerType, nullptr);
    const int count = std::min(GetCount(), source.GetCount());
    for (int i = 0; i < count; ++i) Get(i)->CopyFrom(*source.Get(i), takeOver);
}

void KFCurveNode::CopyFrom(KFCurveNode& source, bool takeOver) {
    CopyCurvesFrom(source, takeOver);
    CopyLayersFrom(source, takeOver);
}

// --- Events ---------------------------------------------------------------------

void KFCurveNode::CallbackRegister(KFCurveNodeCallback callback, void* userData) {
    if (!callback) return;
    try {
        if (!mEvent) mEvent = std::make_unique<KFCurveNodeEventRecord>();
        if (!mEvent->mEvent) mEvent->mEvent.emplace();
        mEvent->mEvent->mCallbacks.push_back({callback, userData});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        // Nothing registered; the SDK does not throw.
    }
}

KFCurveNodeEvent* KFCurveNode::Event() const {
    return mEvent && mEvent->mEvent ? &*mEvent->mEvent : nullptr;
}

void KFCurveNode::CallbackUnregister(KFCurveNodeCallback callback, void* userData) {
    KFCurveNodeEvent* event = Event();
    if (!event || !callback) return;
    auto& callbacks = event->mCallbacks;
    for (auto it = callbacks.rbegin(); it != callbacks.rend(); ++it) {
        if (it->mCallback == callback && it->mUserData == userData) {
            if (event->mDeliveryDepth > 0) {
                it->mCallback = nullptr;
            } else {
                callbacks.erase(std::next(it).base());
            }
            return;
        }
    }
}

void KFCurveNode::CallbackEnable(bool enable) {
    if (KFCurveNodeEvent* event = Event()) event->mCallbacksEnabled = enable;
}

void KFCurveNode::PostEvent(unsigned int bits) {
    KFCurveNodeEvent* event = Event();
    if (!event) return;
    event->mEventType |= bits;
    ++event->mEventCount;
    ++mUpdateCounter;
    if (event->mCallbacksEnabled) Deliver(*event);
}

void KFCurveNode::ClearEvent() {
    if (KFCurveNodeEvent* event = Event()) event->Clear();
}

void KFCurveNode::Deliver(KFCurveNodeEvent& event) {
    ++event.mDeliveryDepth;
    // The last registered hears first. Callbacks registered meanwhile wait
    // for the next event.
    for (std::size_t i = event.mCallbacks.size(); i-- > 0;) {
        const KFCurveNodeEvent::Entry entry = event.mCallbacks[i];
        if (entry.mCallback) entry.mCallback(this, &event, entry.mUserData);
    }
    if (--event.mDeliveryDepth == 0) {
        std::erase_if(event.mCallbacks, [](const KFCurveNodeEvent::Entry& entry) { return !entry.mCallback; });
    }
    ClearEvent();
}

}  // namespace fbxsdk_2006_11_1
