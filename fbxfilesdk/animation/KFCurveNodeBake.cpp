#include <fbxfilesdk/animation/KFCurveNodeBake.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveDetail.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeMath.h>
#include <fbxfilesdk/animation/KFCurveNodeUtilities.h>
#include <fbxfilesdk/core/KFbxRotationOrder.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace fbxsdk_2006_11_1 {

using kfcurve_detail::AddTicks;

namespace {

// A refinement step no longer than this (1/120 s) is not subdivided further.
constexpr std::int64_t kSmallestRefineStep = 384884650;

struct NodeDeleter {
    void operator()(KFCurveNode* node) const { delete node; }
};
using NodeHolder = std::unique_ptr<KFCurveNode, NodeDeleter>;

// Room for everything EvaluateLayerOnly may write for a tree: at most a few
// values per node.
int TreeValueCapacity(const KFCurveNode& node) {
    int capacity = 4;
    for (int i = 0; i < node.GetCount(); ++i) capacity += TreeValueCapacity(*node.Get(i));
    return capacity;
}

// The nodes whose curves make a node's value vector, one per value.
std::vector<KFCurveNode*> ValueSlots(KFCurveNode& node) {
    std::vector<KFCurveNode*> slots;
    if (node.GetCount() > 0) {
        for (int i = 0; i < node.GetCount(); ++i) slots.push_back(node.Get(i));
    } else if (node.FCurveGet()) {
        slots.push_back(&node);
    }
    return slots;
}

std::vector<KFCurve*> ValueCurves(KFCurveNode& node) {
    std::vector<KFCurve*> curves;
    for (KFCurveNode* slot : ValueSlots(node)) curves.push_back(slot->FCurveGet());
    return curves;
}

void CollectTreeCurves(KFCurveNode& node, std::vector<KFCurve*>& curves) {
    if (KFCurve* curve = node.FCurveGet()) curves.push_back(curve);
    for (int i = 0; i < node.GetCount(); ++i) CollectTreeCurves(*node.Get(i), curves);
}

std::vector<double> Neutral(const KFCurveNode& node) {
    std::vector<double> values(static_cast<std::size_t>(std::max(KFCurveNodeLayerValueCount(node), 4)), 0.0);
    node.GetLayerNeutralValues(values.data());
    return values;
}

// The layer's own value at time, one entry per value of its vector.
std::vector<double> LayerValue(KFCurveNode& layer, KTime time, int* hint) {
    std::vector<double> values(static_cast<std::size_t>(TreeValueCapacity(layer)), 0.0);
    layer.EvaluateLayerOnly(values.data(), time, layer.GetLayerId(), hint);
    return values;
}

int KeyAt(const KFCurve& curve, KTime time) {
    const double found = curve.KeyFind(time);
    const int index = static_cast<int>(found);
    return found >= 0.0 && found == index ? index : -1;
}

// The key type of source key index copied onto key target of curve.
void CopyKeyType(KFCurve& curve, int target, const KFCurve& source, int index) {
    const unsigned int interpolation = source.KeyGetInterpolation(index);
    curve.KeySetInterpolation(target, interpolation);
    if (interpolation == KFCURVE_INTERPOLATION_CONSTANT) {
        curve.KeySetConstantMode(target, source.KeyGetConstantMode(index));
    } else if (interpolation == KFCURVE_INTERPOLATION_CUBIC) {
        curve.KeySetTangentMode(target, source.KeyGetTangentMode(index));
    }
}

void FitCurvePair(KFCurve* curve, KFCurve* reference, KTime fitPeriod, double tolerance) {
    if (!curve || !reference) return;
    for (int i = 0; i < curve->KeyGetCount(); ++i) KFCurveFitKeyDerivatives(i, curve, reference, fitPeriod, tolerance);
}

void RefineCurvePair(KFCurve* curve, KFCurve* reference, double tolerance, int subdivisions, bool fit,
                     KTime fitPeriod, double fitTolerance, bool childPairs, const std::vector<KFCurve*>* childCurves,
                     const std::vector<KFCurve*>* referenceChildCurves) {
    if (!curve || !reference) return;
    for (int k = 0; k + 1 < reference->KeyGetCount(); ++k) {
        KFCurveRefineToReference(reference->KeyGetTime(k), reference->KeyGetTime(k + 1), curve, reference, tolerance,
                                 subdivisions, fit, fitPeriod, fitTolerance, childPairs, childCurves,
                                 referenceChildCurves);
    }
}

// Unlinks a layer (not the chain's start) from the chain and deletes it.
void DeleteLayer(KFCurveNode& chainStart, KFCurveNode* layer) {
    for (KFCurveNode* previous = &chainStart; previous; previous = previous->GetNextLayer()) {
        if (previous->GetNextLayer() != layer) continue;
        KFCurveNode* next = layer->GetNextLayer();
        // The layer lets go of the rest of the chain before it goes, so that
        // the rest survives to be linked in its place.
        layer->SetNextLayer(nullptr, false);
        previous->SetNextLayer(next, true);
        return;
    }
}

// The layers that flags 2 and 4 work on: the listed ones, or the whole chain.
std::vector<KFCurveNode*> MergedLayers(KFCurveNode& node, const std::vector<int>* layerIds) {
    std::vector<KFCurveNode*> layers;
    if (layerIds) {
        for (int id : *layerIds) {
            if (KFCurveNode* layer = node.FindLayer(id)) layers.push_back(layer);
        }
    } else {
        for (KFCurveNode* layer = &node; layer; layer = layer->GetNextLayer()) layers.push_back(layer);
    }
    return layers;
}

void ResetLayer(KFCurveNode& layer, KTime start, KTime stop) {
    const std::vector<double> neutral = Neutral(layer);
    const std::vector<KFCurve*> curves = ValueCurves(layer);
    for (std::size_t i = 0; i < curves.size(); ++i) {
        if (!curves[i]) continue;
        KFCurve empty;
        empty.SetValue(static_cast<float>(neutral[i]));
        curves[i]->SetValue(static_cast<float>(neutral[i]));
        curves[i]->ReplaceKeysInSpan(empty, start, stop, false, true, KTime());
    }
}

class Baker {
public:
    Baker(KFCurveNode& node, const std::vector<int>* layerIds, int targetId, KFCurveNode* reference,
          bool evaluatePerLayer)
        : mNode(node), mLayerIds(layerIds), mReference(reference), mPerLayer(evaluatePerLayer),
          mCount(KFCurveNodeLayerValueCount(node)) {
        if (!mPerLayer) KFCurveNodeSplitLayers(&node, layerIds, targetId, mBelow, mAbove);
    }

    int Count() const { return mCount; }

    // The baked values at time.
    void Value(double* out, KTime time) {
        if (mPerLayer) {
            const std::vector<double> neutral = Neutral(mNode);
            std::copy(neutral.begin(), neutral.begin() + mCount, out);
            KFCurveNodeAccumulateLayers(mNode, out, time, mLayerIds, 0, &mHint);
            if (mNode.GetLayerType() == KFCL_EULER_ROTATION && mCount == 3) {
                const double angles[3] = {out[0], out[1], out[2]};
                mNode.EulerMatchPreviousKey(out, angles, time);
            }
        } else {
            KFCurveNode& whole = mReference ? *mReference : mNode;
            std::vector<double> base(static_cast<std::size_t>(std::max(whole.GetValueCount(), mCount) + 4), 0.0);
            whole.Evaluate(base.data(), time, &mHint);
            KFCurveNodeEvaluateLayered(mNode, out, base.data(), time, mBelow, mAbove, &mHint,
                                       mPrevious.empty() ? nullptr : mPrevious.data());
            mPrevious.assign(out, out + mCount);
        }
    }

private:
    KFCurveNode& mNode;
    const std::vector<int>* mLayerIds;
    KFCurveNode* mReference;
    bool mPerLayer;
    int mCount;
    int mHint = 0;
    std::vector<KFCurveNode*> mBelow;
    std::vector<KFCurveNode*> mAbove;
    std::vector<double> mPrevious;
};

// Samples the grid start, start + period, ... : each pass ends the sampling
// when the previous sample lies after stop, so the last sample is the first
// grid time after stop. With cursors, key times of the source come in
// between the grid times.
template <class Sample>
void SampleGrid(KTime start, KTime stop, KTime period, std::vector<KFCurveKeyCursor>* cursors, Sample sample) {
    KTime grid = start;
    KTime time = start;
    KTime previous = start;
    while (!(previous > stop)) {
        sample(time);
        previous = time;
        if (!(time < grid)) grid = grid + period;
        KTime next = grid;
        if (cursors) {
            KTime key;
            KFCurveFindNextKeyTimeOfSet(key, time, cursors->data(), static_cast<int>(cursors->size()));
            next = std::min(next, key);
        }
        // The end of the time line: no later sample is possible.
        if (!(next > time)) break;
        time = next;
    }
}

}  // namespace

int KFCurveNodeLayerValueCount(const KFCurveNode& node) {
    if (node.GetCount() > 0) return node.GetCount();
    return node.FCurveGet() ? 1 : 0;
}

void KFCurveNodeCombineLayerValues(const KFCurveNode& node, double* out, const double* a, const double* b) {
    node.CombineLayerValues(out, a, b, KFCurveNodeLayerValueCount(node));
}

void KFCurveNodeInvertLayerValue(const KFCurveNode& node, double* out, const double* a) {
    const int count = KFCurveNodeLayerValueCount(node);
    switch (node.GetLayerType()) {
        case KFCL_SCALING:
            // A factor of 0 has no inverse: it is taken as neutral.
            for (int i = 0; i < count; ++i) out[i] = a[i] != 0.0 ? 1.0 / a[i] : 1.0;
            break;
        case KFCL_EULER_ROTATION:
            if (count >= 3) {
                const KFbxRotationOrder order(node.GetRotationOrder());
                KgeMatrix m;
                order.EulerToMatrix(m, a);
                KgeMatrix transposed;
                KgeMatrixTranspose(transposed, m);
                order.MatrixToEuler(out, transposed);
            }
            break;
        case KFCL_QUATERNION:
            if (count >= 4) {
                const double w = a[3];
                for (int i = 0; i < 3; ++i) out[i] = -a[i];
                out[3] = w;
            }
            break;
        default:
            for (int i = 0; i < count; ++i) out[i] = -a[i];
            break;
    }
}

void KFCurveNodeSplitLayers(KFCurveNode* chainStart, const std::vector<int>* layerIds, int targetId,
                            std::vector<KFCurveNode*>& below, std::vector<KFCurveNode*>& above) {
    below.clear();
    above.clear();
    if (!chainStart) return;
    const auto place = [&](KFCurveNode* layer) {
        if (layer->GetLayerId() < targetId) {
            below.push_back(layer);
        } else if (layer->GetLayerId() > targetId) {
            above.push_back(layer);
        }
    };
    if (layerIds) {
        for (int id : *layerIds) {
            if (KFCurveNode* layer = chainStart->FindLayer(id)) place(layer);
        }
        return;
    }
    for (KFCurveNode* layer = chainStart; layer; layer = layer->GetNextLayer()) {
        if (layer != chainStart && layer->GetLayerId() == 0) break;
        place(layer);
    }
}

void KFCurveNodeEvaluateLayered(KFCurveNode& node, double* out, const double* base, KTime time,
                                const std::vector<KFCurveNode*>& below, const std::vector<KFCurveNode*>& above,
                                int* hint, const double* reference) {
    const int count = KFCurveNodeLayerValueCount(node);
    std::vector<double> result(base, base + count);
    result.resize(std::max(count, 4), 0.0);
    const auto accumulate = [&](const std::vector<KFCurveNode*>& layers) {
        std::vector<double> sum = Neutral(node);
        for (KFCurveNode* layer : layers) {
            const std::vector<double> value = LayerValue(*layer, time, hint);
            KFCurveNodeCombineLayerValues(*layer, sum.data(), sum.data(), value.data());
        }
        KFCurveNodeInvertLayerValue(node, sum.data(), sum.data());
        return sum;
    };
    if (!below.empty()) {
        const std::vector<double> inverse = accumulate(below);
        KFCurveNodeCombineLayerValues(node, result.data(), inverse.data(), result.data());
    }
    if (!above.empty()) {
        const std::vector<double> inverse = accumulate(above);
        KFCurveNodeCombineLayerValues(node, result.data(), result.data(), inverse.data());
    }
    if (reference && node.GetLayerType() == KFCL_EULER_ROTATION && count >= 3 &&
        node.GetRotationOrder() != KFbxRotationOrder::kSpheric) {
        const double angles[3] = {result[0], result[1], result[2]};
        EulerNearestTripleByOrder(result.data(), angles, reference, node.GetRotationOrder());
    }
    std::copy(result.begin(), result.begin() + count, out);
}

void KFCurveNodeAccumulateLayers(KFCurveNode& layer, double* out, KTime time, const std::vector<int>* layerIds,
                                 int position, int* hint) {
    const auto add = [&](KFCurveNode& current) {
        const std::vector<double> value = LayerValue(current, time, hint);
        KFCurveNodeCombineLayerValues(current, out, out, value.data());
    };
    if (layerIds) {
        for (std::size_t k = static_cast<std::size_t>(std::max(position, 0)); k < layerIds->size(); ++k) {
            if (KFCurveNode* current = layer.FindLayer((*layerIds)[k])) add(*current);
        }
        return;
    }
    for (KFCurveNode* current = &layer; current; current = current->GetNextLayer()) add(*current);
}

void KFCurveNodeBakeConstantKeys(KFCurveNode& newNode, KFCurveNode& source, KTime start, KTime stop) {
    const int count = KFCurveNodeLayerValueCount(source);
    const std::vector<KFCurve*> targets = ValueCurves(newNode);
    if (count == 0 || static_cast<int>(targets.size()) != count) return;
    // Per value, the curves of every layer that may hold its key type.
    std::vector<std::vector<KFCurve*>> sources(static_cast<std::size_t>(count));
    for (KFCurveNode* layer = &source; layer; layer = layer->GetNextLayer()) {
        const std::vector<KFCurve*> curves = ValueCurves(*layer);
        for (int i = 0; i < count && i < static_cast<int>(curves.size()); ++i) {
            if (curves[i]) sources[static_cast<std::size_t>(i)].push_back(curves[i]);
        }
    }
    Baker baker(source, nullptr, 0, nullptr, true);
    std::vector<double> values(static_cast<std::size_t>(std::max(count, 4)), 0.0);
    KTime time;
    const KTime beforeStart = AddTicks(start, -1);
    source.KeyFindNext(time, beforeStart, nullptr, true);
    if (time == beforeStart) return;
    while (!(time > stop)) {
        baker.Value(values.data(), time);
        for (int i = 0; i < count; ++i) {
            KFCurve* target = targets[static_cast<std::size_t>(i)];
            if (!target) continue;
            const int key = target->KeyAppendFast(time, static_cast<float>(values[static_cast<std::size_t>(i)]));
            if (key < 0) continue;
            target->KeySetInterpolation(key, KFCURVE_INTERPOLATION_CONSTANT);
            target->KeySetConstantMode(key, KFCURVE_CONSTANT_STANDARD);
            for (KFCurve* model : sources[static_cast<std::size_t>(i)]) {
                const int index = KeyAt(*model, time);
                if (index < 0) continue;
                CopyKeyType(*target, key, *model, index);
                break;
            }
        }
        KTime next;
        source.KeyFindNext(next, time, nullptr, true);
        if (next == time) break;
        time = next;
    }
}

bool KFCurveNodeBake(KFCurveNode& node, const std::vector<int>* layerIds, int targetId, int flags, KTime start,
                     KTime stop, KTime period, KFCurveNode* output, KFCurveNode* reference, bool evaluatePerLayer,
                     const KFCurveNodeBakeOptions* options) {
    const int count = KFCurveNodeLayerValueCount(node);
    if (!(period > KTime()) || stop < start || count == 0) return false;

    struct CurveList {
        std::vector<KFCurve*> mCurves;
        ~CurveList() {
            for (KFCurve* curve : mCurves) delete curve;
        }
    } baked;

    const bool keyAware = options && options->mKeyAwareSampling;
    if (keyAware && !layerIds &&
        KFCurveNodeAllKeysHaveInterpolation(&node, KFCURVE_INTERPOLATION_CONSTANT, reference == nullptr)) {
        NodeHolder clone(KFCurveNode::Clone(node, false, false, true));
        if (!clone) return false;
        KFCurveNodeBakeConstantKeys(*clone, node, start, stop);
        for (KFCurveNode* slot : ValueSlots(*clone)) baked.mCurves.push_back(slot->FCurveSet(nullptr, false));
    } else {
        for (int i = 0; i < count; ++i) {
            KFCurve* curve = KFCurve::Create();
            if (!curve) return false;
            baked.mCurves.push_back(curve);
        }
        const std::vector<KFCurve*> models = ValueCurves(node);
        std::vector<KFCurveKeyCursor> cursors;
        if (keyAware) {
            std::vector<KFCurve*> sourceCurves;
            for (KFCurveNode* layer = &node; layer; layer = layer->GetNextLayer()) CollectTreeCurves(*layer, sourceCurves);
            for (KFCurve* curve : sourceCurves) cursors.push_back(KFCurveKeyCursor{curve, 0});
        }
        Baker baker(node, layerIds, targetId, reference, evaluatePerLayer);
        std::vector<double> values(static_cast<std::size_t>(std::max(count, 4)), 0.0);
        SampleGrid(start, stop, period, keyAware ? &cursors : nullptr, [&](KTime time) {
            baker.Value(values.data(), time);
            for (int i = 0; i < count; ++i) {
                KFCurve& curve = *baked.mCurves[static_cast<std::size_t>(i)];
                const int key = curve.KeyAppendFast(time, static_cast<float>(values[static_cast<std::size_t>(i)]));
                const KFCurve* model = models[static_cast<std::size_t>(i)];
                if (!keyAware || key < 0 || !model) continue;
                const int index = KeyAt(*model, time);
                if (index >= 0) CopyKeyType(curve, key, *model, index);
            }
        });
    }

    if (options) {
        KFCurveNode& against = reference ? *reference : node;
        const std::vector<KFCurve*> sources = ValueCurves(against);
        for (std::size_t i = 0; i < baked.mCurves.size() && i < sources.size(); ++i) {
            if (options->mFitDerivatives) {
                FitCurvePair(baked.mCurves[i], sources[i], options->mFitPeriod, options->mDerivativeTolerance);
            }
            if (options->mRefine) {
                RefineCurvePair(baked.mCurves[i], sources[i], options->mRefineTolerance, options->mSubdivisions,
                                options->mFitOnInsertion, options->mFitPeriod, options->mDerivativeTolerance, false,
                                nullptr, nullptr);
            }
        }
    }

    const bool intoTarget = (flags & (KFCURVENODE_BAKE_REPLACE_SPAN | KFCURVENODE_BAKE_REPLACE_CURVES)) != 0;
    if (flags & KFCURVENODE_BAKE_RESET_LAYERS) {
        for (KFCurveNode* layer : MergedLayers(node, layerIds)) {
            if (!(intoTarget && layer->GetLayerId() == targetId)) ResetLayer(*layer, start, stop);
        }
    }
    if (flags & KFCURVENODE_BAKE_CLEAR_LAYERS) {
        for (KFCurveNode* layer : MergedLayers(node, layerIds)) {
            if ((flags & KFCURVENODE_BAKE_REPLACE_SPAN) && layer->GetLayerId() == targetId) continue;
            if (layer->GetLayerId() == 0) {
                for (KFCurve* curve : ValueCurves(*layer)) {
                    if (curve) curve->KeyClear();
                }
            } else if (layer != &node) {
                DeleteLayer(node, layer);
            }
        }
    }

    if (output) {
        const std::vector<KFCurveNode*> slots = ValueSlots(*output);
        for (std::size_t i = 0; i < slots.size() && i < baked.mCurves.size(); ++i) {
            if (!baked.mCurves[i]) continue;
            if (KFCurve* copy = baked.mCurves[i]->Copy()) slots[i]->FCurveSetAndDestroy(copy);
        }
    }
    if (intoTarget) {
        KFCurveNode* target = node.FindLayer(targetId);
        if (!target) target = node.AddLayer(targetId);
        if (target && (flags & KFCURVENODE_BAKE_REPLACE_CURVES)) {
            const std::vector<KFCurveNode*> slots = ValueSlots(*target);
            for (std::size_t i = 0; i < slots.size() && i < baked.mCurves.size(); ++i) {
                KFCurve* curve = baked.mCurves[i];
                if (!curve) continue;
                if (const KFCurve* old = slots[i]->FCurveGet()) {
                    float color[3];
                    old->GetColor(color);
                    curve->SetColor(color);
                    curve->SetAuxValue(old->GetAuxValue());
                }
                slots[i]->FCurveSetAndDestroy(curve);
                baked.mCurves[i] = nullptr;
            }
        } else if (target) {
            NodeHolder clone(KFCurveNode::Clone(node, false, false, true));
            if (clone) {
                const std::vector<KFCurveNode*> slots = ValueSlots(*clone);
                for (std::size_t i = 0; i < slots.size() && i < baked.mCurves.size(); ++i) {
                    slots[i]->FCurveSetAndDestroy(baked.mCurves[i]);
                    baked.mCurves[i] = nullptr;
                }
                target->ReplaceSpan(*clone, start, stop, false, true, KTime());
            }
        }
    }
    node.ClearEvaluationCache(0, true);
    return true;
}

void KFCurveInsertSampleKey(KTime time, double value, KFCurve* curve, KFCurve* reference, bool fit, KTime fitPeriod,
                            double tolerance) {
    if (!curve) return;
    const int index = curve->KeyInsert(time);
    if (index < 0) return;
    curve->KeySetValue(index, static_cast<float>(value));
    if (fit) KFCurveFitKeyDerivatives(index, curve, reference, fitPeriod, tolerance);
}

void KFCurveFitKeyDerivatives(int index, KFCurve* curve, KFCurve* reference, KTime fitPeriod, double tolerance) {
    if (!curve || !reference || !(fitPeriod > KTime()) || index < 0 || index >= curve->KeyGetCount()) return;
    const KTime time = curve->KeyGetTime(index);
    const double value = curve->KeyGetValue(index);
    const double seconds = fitPeriod.GetSecondDouble();
    double left = 0.0;
    double right = 0.0;
    bool off = false;
    if (index > 0) {
        left = (value - reference->Evaluate(time - fitPeriod)) / seconds;
        off = std::fabs(left - curve->KeyGetLeftDerivative(index)) > tolerance;
    }
    if (index < curve->KeyGetCount() - 1) {
        right = (reference->Evaluate(time + fitPeriod) - value) / seconds;
        off = off || std::fabs(right - curve->KeyGetRightDerivative(index)) > tolerance;
    }
    if (!off) return;
    curve->KeySetTangentMode(index, KFCURVE_TANGENT_USER_BREAK);
    curve->KeySetLeftDerivative(index, static_cast<float>(left));
    curve->KeySetRightDerivative(index, static_cast<float>(right));
}

void KFCurveNodeFitKeyDerivatives(KFCurveNode& node, KFCurveNode& reference, KTime fitPeriod, double tolerance) {
    if (node.GetCount() != reference.GetCount()) return;
    FitCurvePair(node.FCurveGet(), reference.FCurveGet(), fitPeriod, tolerance);
    for (int i = 0; i < node.GetCount(); ++i) {
        KFCurveNodeFitKeyDerivatives(*node.Get(i), *reference.Get(i), fitPeriod, tolerance);
    }
}

bool KFCurveRefineToReference(KTime start, KTime stop, KFCurve* curve, KFCurve* reference, double tolerance,
                              int subdivisions, bool fit, KTime fitPeriod, double fitTolerance, bool childPairs,
                              const std::vector<KFCurve*>* childCurves,
                              const std::vector<KFCurve*>* referenceChildCurves) {
    if (!(start < stop) || !curve || !reference || subdivisions < 2) return false;
    const KTime step((stop - start).Get() / subdivisions);
    if (step.Get() <= kSmallestRefineStep) return false;
    for (int i = 0; i <= subdivisions - 2; ++i) {
        const KTime a = start + KTime(step.Get() * i);
        const KTime b = a + step;
        const double wanted = reference->Evaluate(b);
        if (!(std::fabs(double(curve->Evaluate(b)) - wanted) > tolerance)) continue;
        KFCurveInsertSampleKey(b, wanted, curve, reference, fit, fitPeriod, fitTolerance);
        if (childPairs && childCurves && referenceChildCurves) {
            for (std::size_t k = 0; k < childCurves->size() && k < referenceChildCurves->size(); ++k) {
                KFCurve* child = (*childCurves)[k];
                KFCurve* model = (*referenceChildCurves)[k];
                if (child && model) KFCurveInsertSampleKey(b, model->Evaluate(b), child, model, fit, fitPeriod, fitTolerance);
            }
        }
        KFCurveRefineToReference(a, b, curve, reference, tolerance, subdivisions, fit, fitPeriod, fitTolerance,
                                 childPairs, childCurves, referenceChildCurves);
        if (i == subdivisions - 2) {
            KFCurveRefineToReference(b, b + step, curve, reference, tolerance, subdivisions, fit, fitPeriod,
                                     fitTolerance, childPairs, childCurves, referenceChildCurves);
        }
    }
    return false;
}

void KFCurveNodeRefineToReference(KFCurveNode& node, KFCurveNode& reference, double tolerance, int subdivisions,
                                  bool fit, KTime fitPeriod, double fitTolerance, bool childPairs,
                                  const std::vector<KFCurve*>* childCurves,
                                  const std::vector<KFCurve*>* referenceChildCurves) {
    if (node.GetCount() != reference.GetCount()) return;
    RefineCurvePair(node.FCurveGet(), reference.FCurveGet(), tolerance, subdivisions, fit, fitPeriod, fitTolerance,
                    childPairs, childCurves, referenceChildCurves);
    for (int i = 0; i < node.GetCount(); ++i) {
        if (!childPairs) {
            KFCurveNodeRefineToReference(*node.Get(i), *reference.Get(i), tolerance, subdivisions, fit, fitPeriod,
                                         fitTolerance, false, nullptr, nullptr);
            continue;
        }
        // The siblings get every key this child gets.
        std::vector<KFCurve*> siblings;
        std::vector<KFCurve*> referenceSiblings;
        for (int k = 0; k < node.GetCount(); ++k) {
            if (k == i) continue;
            siblings.push_back(node.Get(k)->FCurveGet());
            referenceSiblings.push_back(reference.Get(k)->FCurveGet());
        }
        KFCurveNodeRefineToReference(*node.Get(i), *reference.Get(i), tolerance, subdivisions, fit, fitPeriod,
                                     fitTolerance, true, &siblings, &referenceSiblings);
    }
}

void KFCurveFindNextKeyTimeOfSet(KTime& result, KTime current, KFCurveKeyCursor* cursors, int count,
                                 std::vector<KFCurve*>* curvesAtResult) {
    result = KTimeInfinite;
    if (curvesAtResult) curvesAtResult->clear();
    for (int i = 0; i < count; ++i) {
        KFCurveKeyCursor& cursor = cursors[i];
        if (!cursor.mCurve) continue;
        const int keys = cursor.mCurve->KeyGetCount();
        while (cursor.mCursor < keys && !(cursor.mCurve->KeyGetTime(cursor.mCursor) > current)) ++cursor.mCursor;
        if (cursor.mCursor < keys) result = std::min(result, cursor.mCurve->KeyGetTime(cursor.mCursor));
    }
    if (!curvesAtResult || result == KTimeInfinite) return;
    for (int i = 0; i < count; ++i) {
        const KFCurveKeyCursor& cursor = cursors[i];
        if (cursor.mCurve && cursor.mCursor < cursor.mCurve->KeyGetCount() &&
            cursor.mCurve->KeyGetTime(cursor.mCursor) == result) {
            curvesAtResult->push_back(cursor.mCurve);
        }
    }
}

}  // namespace fbxsdk_2006_11_1
