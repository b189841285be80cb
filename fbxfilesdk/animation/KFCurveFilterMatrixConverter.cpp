#include <fbxfilesdk/animation/KFCurveFilterMatrixConverter.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterConstantKeyReducer.h>
#include <fbxfilesdk/animation/KFCurveFilterResample.h>
#include <fbxfilesdk/animation/KFCurveFilterUnroll.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/core/KFbxRotationOrder.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KgeMath.h>

#include <algorithm>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {
    "No key", "Left unchanged",
    "Invalid Apply method.  Use KFCurveFilterMatrixConverter::Apply(KFCurveNode&, bool)",
    "Missing at least a transform KFCurve.  pCurveNode must possess T(x, y, z), R(x, y, z), S(x, y, z) KFCurves"};
constexpr int kMessageCount = static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0]));

constexpr double kIdentityTolerance = 1e-6;

// m = x.m: x applies first.
void ApplyBefore(KgeMatrix& m, const KgeMatrix& x) { KgeMatrixMultAffine(m, m, x); }

void ApplyBefore(KgeMatrix& m, const KgeMatrix* x) {
    if (x) ApplyBefore(m, *x);
}

KgeMatrix Inverse(const KgeMatrix& m) {
    KgeMatrix inverse;
    KgeMatrixInverseOrthogonal(inverse, m);
    return inverse;
}

void KeepTranslationOnly(KgeMatrix& m) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r][c] = r == c ? 1.0 : 0.0;
}

struct CurveSet {
    KFCurve* mCurves[9] = {};
    ~CurveSet() {
        for (KFCurve* curve : mCurves) delete curve;
    }
    KFCurve** Triple(int i) { return mCurves + 3 * i; }
};

}  // namespace

KFCurveFilterMatrixConverter::KFCurveFilterMatrixConverter()
    : KFCurveFilter("FCurve Matrix Converter", kMessages, kMessageCount) {
    std::fill(mSource.mIdentity, mSource.mIdentity + kMatrixCount, true);
    KFCurveFilterMatrixConverter::Reset();
}

const KPlugClassInfo* KFCurveFilterMatrixConverter::GetClassInfo() const {
    return &gKFCurveFilterMatrixConverterClassInfo;
}

void KFCurveFilterMatrixConverter::Reset() {
    std::fill(mSource.mIdentity, mSource.mIdentity + kMatrixCount, true);
    mSource.mAllIdentity = true;
    mResampleOnFrame = true;
    mApplyUnroll = true;
    mApplyConstantKeyReducer = true;
    mLastKeyOnStop = true;
    mConvertTranslation = true;
    KFCurveFilter::Reset();
}

bool KFCurveFilterMatrixConverter::SetSourceMatrix(int index, const KgeMatrix& matrix) {
    if (index < 0 || index >= kMatrixCount) return false;
    KgeMatrixCopyAffine(mSource.mMatrices[index], matrix);
    const KgeMatrix identity;
    const bool isIdentity = KgeMatrixCompare(mSource.mMatrices[index], identity, kIdentityTolerance) == 0;
    mSource.mIdentity[index] = isIdentity;
    mSource.mAllIdentity = mSource.mAllIdentity && isIdentity;
    return true;
}

const KgeMatrix* KFCurveFilterMatrixConverter::Source(int index) const {
    return mSource.mIdentity[index] ? nullptr : &mSource.mMatrices[index];
}

bool KFCurveFilterMatrixConverter::SourceIsIdentity() const {
    // Compares the values, whether or not they take part in the chain.
    const KgeMatrix identity;
    for (const KgeMatrix& matrix : mSource.mMatrices) {
        if (KgeMatrixCompare(matrix, identity, kIdentityTolerance) != 0) return false;
    }
    return true;
}

bool KFCurveFilterMatrixConverter::Apply(KFCurve&) {
    GetError().SetErrorWithText(2, "MatrixConverter, invalid apply method.");
    return false;
}

bool KFCurveFilterMatrixConverter::Apply(KFCurve**, int) {
    GetError().SetErrorWithText(2, "MatrixConverter, invalid apply method.");
    return false;
}

bool KFCurveFilterMatrixConverter::Apply(KFCurveNode& node, bool) {
    bool result = false;
    if (SourceIsIdentity() && !mRotationSetupDiffers && mSourceRotationOrder == mDestinationRotationOrder) {
        GetError().SetErrorWithText(1, "MatrixConverter, No key were changed by filter.");
    } else if (!(mPeriod > KTime())) {
        // Sampling needs a step; without one nothing would ever end.
        GetError().SetError(1);
    } else {
        result = Convert(node);
    }
    RunPostSteps(node);
    return result;
}

void KFCurveFilterMatrixConverter::RunPostSteps(KFCurveNode& node) {
    if (mApplyUnroll) {
        if (KFCurveNode* rotation = node.Find("R")) {
            KFCurveFilterUnroll unroll;
            unroll.Apply(*rotation, true);
            KFCurveFilterResample resample;
            resample.SetKeepInterpolation(true);
            resample.SetPeriodTime(mPeriod);
            resample.SetKeysOnFrame(mResampleOnFrame);
            resample.Apply(*rotation, true);
        }
    }
    if (mApplyConstantKeyReducer) {
        KFCurveFilterConstantKeyReducer reducer;
        reducer.Apply(node, true);
    }
    node.ClearEvaluationCache(0, true);
}

bool KFCurveFilterMatrixConverter::Convert(KFCurveNode& node) {
    KFCurve* old[9];
    if (!node.GetTransformCurves(old, old + 3, old + 6)) {
        GetError().SetErrorWithText(3, "MatrixConverter, Missing curve.");
        return false;
    }
    CurveSet fresh;
    for (int i = 0; i < 9; ++i) {
        fresh.mCurves[i] = KFCurve::Create();
        if (!fresh.mCurves[i]) {
            GetError().SetError(1);
            return false;
        }
        fresh.mCurves[i]->CopyFrom(*old[i], false);
    }

    double defaults[9];
    for (int i = 0; i < 9; ++i) defaults[i] = old[i]->GetValue();
    ConvertSample(defaults, defaults + 3, defaults + 6);
    for (int i = 0; i < 9; ++i) fresh.mCurves[i]->SetValue(static_cast<float>(defaults[i]));

    KTime first = KTimeInfinite;
    KTime last = KTimeMinusInfinite;
    for (KFCurve* curve : old) {
        const int count = curve->KeyGetCount();
        if (count == 0) continue;
        first = std::min(first, curve->KeyGetTime(0));
        last = std::max(last, curve->KeyGetTime(count - 1));
    }
    if (first != KTimeInfinite) {
        const KTime stop = std::min(last, GetStopTime());
        KTime start = std::max(first, GetStartTime());
        if (mResampleOnFrame) start = start / mPeriod * mPeriod;
        KTime tolerance;
        tolerance.SetSecondDouble(0.025 * mPeriod.GetSecondDouble());
        const double room = (stop.GetSecondDouble() - start.GetSecondDouble()) / mPeriod.GetSecondDouble() + 2.0 -
                            tolerance.GetSecondDouble();
        for (KFCurve* curve : fresh.mCurves) {
            if (room > 0.0 && room < 2147483647.0) curve->KeyResize(static_cast<int>(room));
            curve->KeyModifyBegin();
        }

        KFCurveNode* channels[3] = {node.Find("T"), node.Find("R"), node.Find("S")};
        int index = 0;
        const auto sample = [&](KTime t) {
            double values[9];
            unsigned int interpolations[9];
            unsigned int tangents[9];
            for (int c = 0; c < 3; ++c) {
                double buffer[16] = {};
                if (channels[c] && channels[c]->GetValueCount() <= 16) channels[c]->Evaluate(buffer, t);
                std::copy(buffer, buffer + 3, values + 3 * c);
                KFCurve::GetThreeCurvesKeyModes(old + 3 * c, t, interpolations + 3 * c, tangents + 3 * c);
            }
            ConvertSample(values, values + 3, values + 6);
            for (int c = 0; c < 3; ++c) {
                KFCurve::SetThreeCurvesKeys(fresh.Triple(c), index, t, values + 3 * c, interpolations + 3 * c,
                                            tangents + 3 * c);
            }
            ++index;
        };
        const KTime end = stop - tolerance;
        KTime t = start;
        for (; t < end; t = t + mPeriod) sample(t);
        sample(mLastKeyOnStop ? stop : t);
        for (KFCurve* curve : fresh.mCurves) curve->KeyModifyEnd();
    }

    for (int i = mConvertTranslation ? 0 : 3; i < 9; ++i) old[i]->CopyFrom(*fresh.mCurves[i], true);
    return true;
}

void KFCurveFilterMatrixConverter::ConvertSample(double* translation, double* rotation, double* scaling) {
    KgeMatrix t;
    for (int c = 0; c < 3; ++c) t[3][c] = translation[c];
    KgeMatrix r;
    KFbxRotationOrder(mSourceRotationOrder).EulerToMatrix(r, rotation);
    KgeMatrix s;
    for (int c = 0; c < 3; ++c) s[c][c] = scaling[c];
    KgeMatrix m;
    ComposeMatrix(m, t, r, s);
    DecomposeMatrix(m, translation, rotation, scaling);
    if (mDestinationRotationOrder != 0) {
        KgeMatrix turned;
        KgeMatrixSetRotationXYZ(turned, rotation[0], rotation[1], rotation[2]);
        KFbxRotationOrder(mDestinationRotationOrder).MatrixToEuler(rotation, turned);
    }
}

void KFCurveFilterMatrixConverter::ComposeMatrix(KgeMatrix& result, const KgeMatrix& t, const KgeMatrix& r,
                                                 const KgeMatrix& s) {
    KgeMatrix& m = result;
    m.SetIdentity();
    ApplyBefore(m, Source(0));
    ApplyBefore(m, Source(1));
    ApplyBefore(m, t);
    ApplyBefore(m, Source(2));

    // The whole rotation of the old setup: its pre- and post-rotation, either
    // as a difference (3, 4) or, when both setups share them, as such (9, 10).
    const KgeMatrix* after = Source(3) ? Source(3) : Source(9);
    const KgeMatrix* before = Source(4) ? Source(4) : Source(10);
    KgeMatrix whole;
    ApplyBefore(whole, after);
    ApplyBefore(whole, r);
    ApplyBefore(whole, before);

    if (const KgeMatrix* offset = Source(8)) {
        KgeMatrix p = whole;
        ApplyBefore(p, *offset);
        KeepTranslationOnly(p);
        ApplyBefore(m, p);
        mConvertTranslation = true;
    }

    if (after == Source(3) && before == Source(4)) {
        ApplyBefore(m, Source(11));
        ApplyBefore(m, Source(3));
        ApplyBefore(m, r);
        ApplyBefore(m, Source(4));
        if (const KgeMatrix* pivot = Source(11)) {
            ApplyBefore(m, Inverse(*pivot));
            mConvertTranslation = true;
        }
        ApplyBefore(m, Source(12));
        ApplyBefore(m, Source(5));
        ApplyBefore(m, s);
        ApplyBefore(m, Source(6));
        if (const KgeMatrix* pivot = Source(12)) {
            ApplyBefore(m, Inverse(*pivot));
            mConvertTranslation = true;
        }
    } else {
        // A shared pre- or post-rotation stays out of the new rotation, but
        // the pivots still turn with it: wrapping only the rotation in the
        // pivots would move the node. So the pivots become translations,
        // turned by the whole rotation, after the new rotation and scaling.
        KgeMatrix scaling;
        ApplyBefore(scaling, Source(5));
        ApplyBefore(scaling, s);
        ApplyBefore(scaling, Source(6));
        KgeMatrix shift;
        if (const KgeMatrix* pivot = Source(11)) {
            shift = whole;
            ApplyBefore(shift, Inverse(*pivot));
            KgeMatrixMultAffine(shift, *pivot, shift);
            KeepTranslationOnly(shift);
            mConvertTranslation = true;
        }
        if (const KgeMatrix* pivot = Source(12)) {
            KgeMatrix wrapped = scaling;
            ApplyBefore(wrapped, Inverse(*pivot));
            KgeMatrixMultAffine(wrapped, *pivot, wrapped);
            double moved[3];
            for (int c = 0; c < 3; ++c) moved[c] = wrapped[3][c] - scaling[3][c];
            double turned[3] = {0.0, 0.0, 0.0};
            for (int c = 0; c < 3; ++c)
                for (int k = 0; k < 3; ++k) turned[c] += moved[k] * whole[k][c];
            for (int c = 0; c < 3; ++c) shift[3][c] += turned[c];
            mConvertTranslation = true;
        }
        ApplyBefore(m, shift);
        ApplyBefore(m, Source(3));
        ApplyBefore(m, r);
        ApplyBefore(m, Source(4));
        ApplyBefore(m, scaling);
    }

    ApplyBefore(m, Source(7));
}

void KFCurveFilterMatrixConverter::DecomposeMatrix(const KgeMatrix& m, double* translation, double* rotation,
                                                   double* scaling) {
    KgeMatrixGetScale(scaling, m);
    KgeMatrix n = m;
    for (int r = 0; r < 3; ++r) {
        // A collapsed axis stays zero rather than turning into NaNs.
        if (scaling[r] == 0.0) continue;
        for (int c = 0; c < 3; ++c) n[r][c] = m[r][c] / scaling[r];
    }
    KgeMatrixGetEulerXYZ(rotation, n);
    for (int c = 0; c < 3; ++c) translation[c] = n[3][c];
}

}  // namespace fbxsdk_2006_11_1
