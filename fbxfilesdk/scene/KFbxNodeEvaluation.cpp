// The node's local channels and global transform, at a time or from the
// default values, with their caches.
#include <fbxfilesdk/scene/KFbxNode.h>

#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/scene/KFbxNodeMatrixMath.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kChannelNames[3] = {"T", "R", "S"};

KDataType* ChannelDataType(int channel) {
    switch (channel) {
        case KFbxNodeTransformCache::eT:
            return gKDataTypeLclTranslation;
        case KFbxNodeTransformCache::eR:
            return gKDataTypeLclRotation;
        default:
            return gKDataTypeLclScaling;
    }
}

bool IsChannel(const KFCurveNode* node, int channel) {
    return node->GetDataType() == ChannelDataType(channel) || std::strcmp(node->GetName(), kChannelNames[channel]) == 0;
}

// A zero parent scaling has no inverse; its axis contributes nothing.
double Reciprocal(double value) { return value != 0.0 ? 1.0 / value : 0.0; }

// Whether the cache holds the global matrix for the time (any time for the
// default values) and the pivot set. The cache answers for one set: the
// sets differ in pivots and in the space rotation limits apply in, so a
// cache of the other set is emptied.
bool HoldsGlobal(KFbxNodeTransformCache& cache, KTime time, bool atTime, int set) {
    if (cache.mGlobalPivotSet != set) {
        cache.Reset();
    }
    return cache.mGlobalValid && (!atTime || cache.mGlobalTime == time);
}

// The channels sit at the first or second level of a take's tree (under
// "Transform"); those two levels are tried before the general search,
// whose finds are not remembered.
KFCurveNode* SearchChannel(KFCurveNode* root, int channel, KFbxNodeChannelLookup& lookup) {
    lookup = KFbxNodeChannelLookup();
    const int count = root->GetCount();
    for (int index = 0; index < count; ++index) {
        KFCurveNode* child = root->Get(index);
        if (IsChannel(child, channel)) {
            lookup = {root, child, child, index, -1};
            return child;
        }
    }
    for (int index = 0; index < count; ++index) {
        KFCurveNode* child = root->Get(index);
        for (int inner = 0; inner < child->GetCount(); ++inner) {
            KFCurveNode* grandchild = child->Get(inner);
            if (IsChannel(grandchild, channel)) {
                lookup = {root, child, grandchild, index, inner};
                return grandchild;
            }
        }
    }
    return root->Find(kChannelNames[channel]);
}

// A remembered find is trusted only while the live tree still holds the same
// nodes at the same places, so nothing is read through a stale pointer, and
// the node found there is still a channel of its kind: a node freed with its
// take and a new one made at the same address are the same pointer. The
// channels of one take share their parent: once its place is confirmed it is
// not confirmed again for the next channel.
struct ChannelFinder {
    KFCurveNode* mRoot;
    KFCurveNode* mConfirmedOuter = nullptr;
    int mConfirmedIndex = -1;

    KFCurveNode* Find(int channel, KFbxNodeChannelLookup& lookup) {
        if (lookup.mChannel != nullptr && lookup.mRoot == mRoot) {
            bool placed = lookup.mOuterNode == mConfirmedOuter && lookup.mOuter == mConfirmedIndex;
            if (!placed && mRoot->Get(lookup.mOuter) == lookup.mOuterNode) {
                mConfirmedOuter = lookup.mOuterNode;
                mConfirmedIndex = lookup.mOuter;
                placed = true;
            }
            if (placed && (lookup.mInner < 0 || lookup.mOuterNode->Get(lookup.mInner) == lookup.mChannel) &&
                IsChannel(lookup.mChannel, channel)) {
                return lookup.mChannel;
            }
        }
        return SearchChannel(mRoot, channel, lookup);
    }
};

}  // namespace

bool KFbxNode::ReadsDeferredDefaultTake(bool atTime) const {
    return IsDefaultTakeDeferred() && (!atTime || GetCurrentTakeNodeIndex() == 0);
}

KFCurveNode* KFbxNode::ChannelRoot(bool atTime) {
    // A default take not made yet is not made to be read (see EvaluateChannelIn).
    if (ReadsDeferredDefaultTake(atTime)) {
        return nullptr;
    }
    KFbxTakeNode* takeNode = atTime ? GetCurrentTakeNode() : GetDefaultTakeNode();
    return takeNode != nullptr ? takeNode->GetKFCurveNode() : nullptr;
}

namespace {

bool IsCached(const KFbxNodeLocalChannels& local, int channel, KTime time, bool atTime) {
    return local.mValid[channel] && (!atTime || local.mTimes[channel] == time);
}

}  // namespace

KFbxVector4& KFbxNode::EvaluateChannel(KFbxNodeTransformCache& cache, int channel, KTime time, bool atTime,
                                       bool clamp) {
    KFbxNodeLocalChannels& local = cache.Local(clamp);
    if (!IsCached(local, channel, time, atTime)) {
        KFCurveNode* root = ChannelRoot(atTime);
        KFCurveNode* curveNode = root != nullptr ? ChannelFinder{root}.Find(channel, cache.mLookups[channel]) : nullptr;
        EvaluateChannelIn(curveNode, cache, channel, time, atTime, clamp);
    }
    return local.mValues[channel];
}

void KFbxNode::EvaluateChannelsForGlobal(KFbxNodeTransformCache& cache, KTime time, bool atTime) {
    KFbxNodeLocalChannels& local = cache.mClamped;
    // One take and one walk of its tree serve the three channels.
    KFCurveNode* root = ChannelRoot(atTime);
    ChannelFinder finder{root};
    for (int channel = 0; channel < 3; ++channel) {
        if (!IsCached(local, channel, time, atTime)) {
            KFCurveNode* curveNode = root != nullptr ? finder.Find(channel, cache.mLookups[channel]) : nullptr;
            EvaluateChannelIn(curveNode, cache, channel, time, atTime, true);
        }
    }
}

void KFbxNode::EvaluateChannelIn(KFCurveNode* curveNode, KFbxNodeTransformCache& cache, int channel, KTime time,
                                 bool atTime, bool clamp) {
    KFbxNodeLocalChannels& local = cache.Local(clamp);
    // A missing take or channel leaves the neutral value.
    const double neutral = channel == KFbxNodeTransformCache::eS ? 1.0 : 0.0;
    double values[KFCurveNode::kCachedValueCapacity] = {neutral, neutral, neutral, neutral};
    if (curveNode != nullptr && curveNode->GetValueCount() <= KFCurveNode::kCachedValueCapacity) {
        if (atTime) {
            curveNode->EvaluateCached(values, time, &cache.mHints[channel]);
        } else {
            curveNode->GetDefaultValues(values);
        }
    } else if (ReadsDeferredDefaultTake(atTime)) {
        // What the default take's channel would hold once made, at any time
        // (it has no keys): the node's own value, as its curve keeps it.
        static constexpr ENodeProperty kChannelProperties[3] = {eLclTranslation, eLclRotation, eLclScaling};
        KFbxVector4 value;
        GetDouble3(kChannelProperties[channel], value);
        for (int axis = 0; axis < 3; ++axis) {
            values[axis] = static_cast<float>(value[axis]);
        }
    }
    if (clamp) {
        switch (channel) {
            case KFbxNodeTransformCache::eT:
                ClampToLimits(mState.mLimits[KFbxLimits::eTranslation], values, values);
                break;
            case KFbxNodeTransformCache::eR:
                mState.ClampRotation(values, values, PivotSet(eSOURCE_SET).mRotationSpaceForLimitOnly);
                break;
            default:
                ClampToLimits(mState.mLimits[KFbxLimits::eScaling], values, values);
                break;
        }
    }
    local.mValues[channel].Set(values[0], values[1], values[2], 1.0);
    local.mTimes[channel] = time;
    local.mValid[channel] = true;
}

KFbxVector4& KFbxNode::EvaluateLocalT(KTime time, bool clamp) {
    return EvaluateChannel(Caches().mTimeCache, KFbxNodeTransformCache::eT, time, true, clamp);
}

KFbxVector4& KFbxNode::EvaluateLocalR(KTime time, bool clamp) {
    return EvaluateChannel(Caches().mTimeCache, KFbxNodeTransformCache::eR, time, true, clamp);
}

KFbxVector4& KFbxNode::EvaluateLocalS(KTime time, bool clamp) {
    return EvaluateChannel(Caches().mTimeCache, KFbxNodeTransformCache::eS, time, true, clamp);
}

void KFbxNode::EvaluateLocalTRS(KTime time, bool clamp) {
    EvaluateLocalT(time, clamp);
    EvaluateLocalR(time, clamp);
    EvaluateLocalS(time, clamp);
}

KFbxVector4& KFbxNode::EvaluateDefaultLocalT(bool clamp) {
    return EvaluateChannel(Caches().mDefaultCache, KFbxNodeTransformCache::eT, KTime(), false, clamp);
}

KFbxVector4& KFbxNode::EvaluateDefaultLocalR(bool clamp) {
    return EvaluateChannel(Caches().mDefaultCache, KFbxNodeTransformCache::eR, KTime(), false, clamp);
}

KFbxVector4& KFbxNode::EvaluateDefaultLocalS(bool clamp) {
    return EvaluateChannel(Caches().mDefaultCache, KFbxNodeTransformCache::eS, KTime(), false, clamp);
}

void KFbxNode::EvaluateDefaultLocalTRS(bool clamp) {
    EvaluateDefaultLocalT(clamp);
    EvaluateDefaultLocalR(clamp);
    EvaluateDefaultLocalS(clamp);
}

KgeMatrix& KFbxNode::EvaluateGlobalTransform(KTime time, EPivotSet set) {
    return EvaluateGlobal(Caches().mTimeCache, time, true, set);
}

KgeMatrix& KFbxNode::EvaluateDefaultGlobalTransform(EPivotSet set) {
    return EvaluateGlobal(Caches().mDefaultCache, KTime(), false, set);
}

KgeMatrix& KFbxNode::EvaluateGlobal(KFbxNodeTransformCache& cache, KTime time, bool atTime, EPivotSet set) {
    if (HoldsGlobal(cache, time, atTime, set)) {
        return cache.mGlobal;
    }
    // The ancestors up to the first that holds its matrix, nearest first,
    // are composed from the top down: a loop, where a call per level would
    // exhaust the stack under a deep hierarchy.
    std::vector<KFbxNode*> above;
    for (KFbxNode* node = GetParent(); node != nullptr && !HoldsGlobal(node->TransformCache(atTime), time, atTime, set);
         node = node->GetParent()) {
        above.push_back(node);
    }
    for (auto node = above.rbegin(); node != above.rend(); ++node) {
        (*node)->ComposeUnderParent((*node)->TransformCache(atTime), time, atTime, set);
    }
    return ComposeUnderParent(cache, time, atTime, set);
}

KgeMatrix& KFbxNode::ComposeUnderParent(KFbxNodeTransformCache& cache, KTime time, bool atTime, EPivotSet set) {
    KFbxNode* parentNode = GetParent();
    if (parentNode == nullptr) {
        return ComposeGlobal(cache, time, atTime, set, nullptr);
    }
    const KFbxNodeTransformCache& parentCache = parentNode->TransformCache(atTime);
    const ParentGlobal parent{parentCache.mGlobal, parentCache.mGlobalRotation, parentCache.mGlobalScaling,
                              parentCache.mClamped.mValues[KFbxNodeTransformCache::eS]};
    return ComposeGlobal(cache, time, atTime, set, &parent);
}

void KFbxNode::EvaluateGlobalTransformUnder(KTime time, const KFbxNodeGlobalParts* parentParts,
                                            KFbxNodeGlobalParts& parts, EPivotSet set) {
    KFbxNodeTransformCache& cache = Caches().mTimeCache;
    if (cache.mGlobalPivotSet != set) {
        cache.Reset();
    }
    if (!cache.mGlobalValid || cache.mGlobalTime != time) {
        if (parentParts != nullptr) {
            const ParentGlobal parent{parentParts->mGlobal, parentParts->mRotation, parentParts->mScaling,
                                      parentParts->mLocalScaling};
            ComposeGlobal(cache, time, true, set, &parent);
        } else {
            ComposeGlobal(cache, time, true, set, nullptr);
        }
    }
    // The scaling a child of inherit type Rrs takes back out, at this time
    // even where the local channels were asked for at another since.
    const KFbxVector4& scaling = EvaluateChannel(cache, KFbxNodeTransformCache::eS, time, true, true);
    parts.mLocalScaling = scaling;
    // All sixteen elements, as the cache holds them.
    parts.mGlobal.CopyFrom16(cache.mGlobal);
    parts.mRotation.CopyFrom16(cache.mGlobalRotation);
    parts.mScaling.CopyFrom16(cache.mGlobalScaling);
}

KgeMatrix& KFbxNode::ComposeGlobal(KFbxNodeTransformCache& cache, KTime time, bool atTime, EPivotSet set,
                                   const ParentGlobal* parent) {
    if (set == eDESTINATION_SET) {
        SelectPivotSet(eDESTINATION_SET);
    }
    EvaluateChannelsForGlobal(cache, time, atTime);
    // Kept equal to the "InheritType" value by every change of the property.
    const int inheritType = mState.mPivots.mInheritType;

    const double* t = cache.mClamped.mValues[KFbxNodeTransformCache::eT];
    const double* s = cache.mClamped.mValues[KFbxNodeTransformCache::eS];
    KgeMatrix localRotationMatrix;
    mState.LocalRotation(localRotationMatrix, cache.mClamped.mValues[KFbxNodeTransformCache::eR]);
    const double* localRotation = localRotationMatrix;
    double translation[3];
    mState.mPivots.ComputePivotOffset(translation, localRotation, s);
    for (int axis = 0; axis < 3; ++axis) {
        translation[axis] += t[axis];
    }

    double* globalRotation = cache.mGlobalRotation;
    double* globalScaling = cache.mGlobalScaling;
    if (parent != nullptr) {
        const double* parentScaling = parent->mScaling;
        Product3(globalRotation, localRotation, parent->mRotation);
        if (inheritType == eINHERIT_RrSs) {
            SetDiagonal3(globalScaling, parentScaling[0] * s[0], parentScaling[5] * s[1], parentScaling[10] * s[2]);
        } else {
            const double* inherited = parentScaling;
            double withoutParentLocal[16];
            if (inheritType == eINHERIT_Rrs) {
                const double* parentLocal = parent->mLocalScaling;
                double parentScalingInverse[16];
                SetDiagonal3(parentScalingInverse, Reciprocal(parentLocal[0]), Reciprocal(parentLocal[1]),
                             Reciprocal(parentLocal[2]));
                Product3(withoutParentLocal, parentScalingInverse, parentScaling);
                inherited = withoutParentLocal;
            }
            double localScaling[16];
            SetDiagonal3(localScaling, s[0], s[1], s[2]);
            double rotationInverse[16];
            Transpose3(rotationInverse, localRotation);
            Product3(globalScaling, localScaling, localRotation);
            Product3(globalScaling, globalScaling, inherited);
            Product3(globalScaling, globalScaling, rotationInverse);
        }
        KgeMatrixMultPoint(translation, parent->mGlobal, translation);
    } else {
        cache.mGlobalRotation = localRotationMatrix;
        SetDiagonal3(globalScaling, s[0], s[1], s[2]);
    }
    cache.mGlobalTranslation.Set(translation[0], translation[1], translation[2], 1.0);

    KgeMatrix& global = cache.mGlobal;
    global.SetIdentity4();
    double* g = global;
    if (inheritType == eINHERIT_RrSs) {
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                g[row * 4 + column] = globalRotation[row * 4 + column] * globalScaling[row * 5];
            }
        }
    } else {
        Product3(g, globalScaling, globalRotation);
    }
    for (int axis = 0; axis < 3; ++axis) {
        g[12 + axis] = translation[axis];
    }

    cache.mGlobalTime = time;
    cache.mGlobalPivotSet = set;
    cache.mGlobalValid = true;
    if (set == eDESTINATION_SET) {
        SelectPivotSet(eSOURCE_SET);
    }
    return global;
}

KFbxNodeEvaluationCaches& KFbxNode::MakeCaches() {
    mCaches = std::make_unique<KFbxNodeEvaluationCaches>();
    return *mCaches;
}

void KFbxNode::ResetEvaluationCache() {
    // Caches not made yet hold nothing.
    if (mCaches != nullptr) {
        mCaches->mTimeCache.Reset();
        mCaches->mDefaultCache.Reset();
    }
}

void KFbxNode::ForgetMatrixRecords() {
    if (mCaches != nullptr) {
        for (KFbxNodeMatrixRecord& record : mCaches->mMatrixRecords) {
            record.mTag = -1;
        }
    }
}

void KFbxNode::SetCachedTransformFromMatrix(const KgeMatrix& matrix) {
    KFbxNodeMatrixRecord& record = Caches().mMatrixRecords[1];
    record.mMatrix.CopyFrom16(matrix);
    record.mTranslation.Set(matrix[3][0], matrix[3][1], matrix[3][2], 1.0);
    double scaling[3];
    record.mRotation.SetIdentity();
    for (int row = 0; row < 3; ++row) {
        scaling[row] = std::sqrt(matrix[row][0] * matrix[row][0] + matrix[row][1] * matrix[row][1] +
                                 matrix[row][2] * matrix[row][2]);
        for (int column = 0; column < 3; ++column) {
            record.mRotation[row][column] = scaling[row] != 0.0 ? matrix[row][column] / scaling[row] : 0.0;
        }
    }
    SetDiagonal3(record.mScaling, scaling[0], scaling[1], scaling[2]);
    for (int axis = 0; axis < 3; ++axis) {
        record.mScaling[3][axis] = 0.0;
    }
}

}  // namespace fbxsdk_2006_11_1
