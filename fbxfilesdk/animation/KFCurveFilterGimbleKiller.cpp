#include <fbxfilesdk/animation/KFCurveFilterGimbleKiller.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterKeySync.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeMath.h>
#include <fbxfilesdk/core/KFbxRotationOrder.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include <algorithm>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {"No key", "Left unchanged", "Not 3 curve", "Not rotation node"};
constexpr int kMessageCount = static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0]));

const char* const kAxisNames[3] = {"X", "Y", "Z"};
// About 8.66 degrees on one axis: a smaller Euler step needs no in-between key.
constexpr double kLargeStep = 75.0;
constexpr double kMinimumGap = 1.0 / 1200.0;
constexpr int kRoomGrowth = 250;

double SquaredDistance(const double* a, const double* b) {
    double sum = 0.0;
    for (int c = 0; c < 3; ++c) sum += (a[c] - b[c]) * (a[c] - b[c]);
    return sum;
}

// The equivalent of angles nearest reference, in place.
void MakeNearest(double* angles, const double* reference, int order) {
    double nearest[3];
    EulerNearestTripleByOrder(nearest, angles, reference, order);
    std::copy(nearest, nearest + 3, angles);
}

// The three curves the filter writes, growing together.
class OutputCurves {
public:
    OutputCurves(KFCurve* const* models, int room) : mRoom(room) {
        for (int c = 0; c < 3; ++c) {
            mCurves[c] = KFCurve::Create();
            if (!mCurves[c]) continue;
            mCurves[c]->CopyFrom(*models[c], false);
            mCurves[c]->KeyResize(room);
            mCurves[c]->KeyModifyBegin();
        }
    }
    ~OutputCurves() {
        for (KFCurve* curve : mCurves) delete curve;
    }
    OutputCurves(const OutputCurves&) = delete;
    OutputCurves& operator=(const OutputCurves&) = delete;

    bool IsValid() const { return mCurves[0] && mCurves[1] && mCurves[2]; }
    KFCurve& Get(int c) { return *mCurves[c]; }
    int GetCount() const { return mCurves[0]->KeyGetCount(); }

    void Append(KTime time, const double* values) {
        const int n = GetCount();
        for (int c = 0; c < 3; ++c) {
            mCurves[c]->KeySet(n, time, static_cast<float>(values[c]), KFCURVE_INTERPOLATION_CUBIC,
                               KFCURVE_TANGENT_AUTO, 0.0, 0.0, KFCURVE_WEIGHTED_NONE, KFCURVE_DEFAULT_WEIGHT,
                               KFCURVE_DEFAULT_WEIGHT, 0.0, 0.0);
        }
        if (GetCount() >= mRoom) {
            mRoom += kRoomGrowth;
            for (KFCurve* curve : mCurves) curve->KeyResize(mRoom);
        }
    }

    // Ends the modifications and hands the curves over.
    KFCurve* Release(int c) {
        KFCurve* curve = mCurves[c];
        curve->KeyModifyEnd();
        mCurves[c] = nullptr;
        return curve;
    }

private:
    KFCurve* mCurves[3] = {nullptr, nullptr, nullptr};
    int mRoom;
};

}  // namespace

KFCurveFilterGimbleKiller::KFCurveFilterGimbleKiller() : KFCurveFilter("Gimble Killer", kMessages, kMessageCount) {
    KFCurveFilterGimbleKiller::Reset();
}

const KPlugClassInfo* KFCurveFilterGimbleKiller::GetClassInfo() const {
    return &gKFCurveFilterGimbleKillerClassInfo;
}

void KFCurveFilterGimbleKiller::Reset() {
    mSynchronizeKeys = true;
    KFCurveFilter::Reset();
}

bool KFCurveFilterGimbleKiller::Apply(KFCurve&) {
    GetError().SetError(2);
    return false;
}

bool KFCurveFilterGimbleKiller::Apply(KFCurve** curves, int count) {
    if (count != 3 || !curves[0] || !curves[1] || !curves[2]) {
        GetError().SetErrorWithText(2, "Need 3 KFCurve to apply a gimble killer filter.");
        return false;
    }
    return ApplyToRotationCurves(curves);
}

bool KFCurveFilterGimbleKiller::Apply(KFCurveNode& node, bool) {
    if (node.GetCount() != 3) {
        GetError().SetErrorWithText(2, "Gimble Killer. ioCurveNode does not have 3 childs.");
        return false;
    }
    if (node.GetLayerType() != KFCL_EULER_ROTATION) {
        GetError().SetErrorWithText(3, "Gimble Killer. Not a Rotation node!");
        return false;
    }
    KFCurve* curves[3];
    for (int c = 0; c < 3; ++c) {
        const KFCurveNode* child = node.Find(kAxisNames[c]);
        curves[c] = child ? child->FCurveGet() : nullptr;
        if (!curves[c]) {
            GetError().SetError(2);
            return false;
        }
    }
    const KFCurve& x = *curves[0];
    if (x.KeyGetCount() == 0) {
        GetError().SetError(0);
        return false;
    }
    if (mSynchronizeKeys) {
        KFCurveFilterKeySync sync;
        sync.SetStartTime(GetStartTime());
        sync.SetStopTime(GetStopTime());
        if (sync.NeedApply(curves, 3)) sync.Apply(curves, 3);
    }

    const int order = node.GetRotationOrder();
    const KFbxRotationOrder rotationOrder(order);
    const bool euler = order != KFbxRotationOrder::kSpheric;
    const int count = x.KeyGetCount();
    const int first = GetStartKeyIndex(x);
    // X leads: outside the span Y and Z need not have keys at X's times.
    const auto valuesAt = [&curves](double* values, KTime time) {
        for (int c = 0; c < 3; ++c) values[c] = ValueAt(*curves[c], time);
    };

    OutputCurves output(curves, count);
    if (!output.IsValid()) {
        GetError().SetError(1);
        return false;
    }
    // The output starts with the span's first key, at index 0: what comes
    // before it is never copied back.
    for (int c = 0; c < 3; ++c) {
        const KTime time = x.KeyGetTime(first);
        const int k = KeyIndexAt(*curves[c], time);
        if (k >= 0) {
            output.Get(c).KeySetFromCurve(0, *curves[c], k);
        } else {
            output.Get(c).KeySet(0, time, static_cast<float>(ValueAt(*curves[c], time)));
        }
    }
    double previous[3];
    valuesAt(previous, x.KeyGetTime(first));
    double previousSeconds = x.KeyGetTime(first).GetSecondDouble();

    for (int j = first + 1; j < count;) {
        const KTime time = x.KeyGetTime(j);
        const double seconds = time.GetSecondDouble();
        double current[3];
        valuesAt(current, time);
        KgeMatrix currentMatrix;
        rotationOrder.EulerToMatrix(currentMatrix, current);
        if (euler) MakeNearest(current, previous, order);

        if (SquaredDistance(current, previous) < kLargeStep || seconds - previousSeconds < kMinimumGap) {
            output.Append(time, current);
            std::copy(current, current + 3, previous);
            previousSeconds = seconds;
            ++j;
            continue;
        }

        // An in-between key on the rotation path from the previous key: a
        // fraction f of the relative rotation, halved until the Euler step
        // is small or the keys would come too close in time.
        KgeMatrix previousMatrix;
        rotationOrder.EulerToMatrix(previousMatrix, previous);
        KgeMatrix transposed;
        KgeMatrixTranspose(transposed, previousMatrix);
        KgeMatrix relative;
        KgeMatrixMultAffine(relative, transposed, currentMatrix);
        double q[4];
        KgeQuaternionFromMatrix(q, relative);
        double f = 0.5;
        double middle[3];
        double middleSeconds;
        for (;;) {
            middleSeconds = previousSeconds * (1.0 - f) + seconds * f;
            KgeMatrix partial;
            KgeMatrixFromQuaternion(partial, f * q[0], f * q[1], f * q[2], f * q[3] + 1.0 - f);
            KgeMatrix candidate;
            KgeMatrixMultAffine(candidate, previousMatrix, partial);
            rotationOrder.MatrixToEuler(middle, candidate);
            if (euler) MakeNearest(middle, previous, order);
            if (SquaredDistance(middle, previous) < kLargeStep || middleSeconds - previousSeconds < kMinimumGap) break;
            f *= 0.5;
        }
        KTime middleTime;
        middleTime.SetSecondDouble(middleSeconds);
        output.Append(middleTime, middle);
        std::copy(middle, middle + 3, previous);
        previousSeconds = middleSeconds;
    }

    KFCurveNode* copy = KFCurveNode::Clone(node, false, false, false);
    if (!copy) {
        GetError().SetError(1);
        return false;
    }
    for (int c = 0; c < 3; ++c) copy->Find(kAxisNames[c])->FCurveSet(output.Release(c), true);
    node.ReplaceSpan(*copy, GetStartTime(), GetStopTime(), false, true, KTime());
    delete copy;
    return true;
}

}  // namespace fbxsdk_2006_11_1
