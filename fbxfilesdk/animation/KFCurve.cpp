// Curve members, key storage, key search and change notification.
#include <fbxfilesdk/animation/KFCurve.h>

#include <fbxfilesdk/animation/KFCurveAllocator.h>
#include <fbxfilesdk/animation/KFCurveDetail.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <type_traits>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr std::size_t kBlockBytes = 1024;
// The block-pointer array grows by 64 entries, room for 1600 keys.
constexpr int kKeysPerPointerStep = 1600;
constexpr int kPointersPerStep = 64;
// The largest count whose capacity (entries x 25) still fits in an int.
constexpr int kMaxKeyCount = (0x7FFFFFFF / (kPointersPerStep * KFCurve::kKeysPerBlock)) * kKeysPerPointerStep;

static_assert(sizeof(KFCurveKey) * KFCurve::kKeysPerBlock <= kBlockBytes, "a block holds 25 key records");
static_assert(std::is_trivially_copyable_v<KFCurveKey>, "key records are moved as raw bytes");

std::size_t PointerArrayBytes(int capacity) {
    return static_cast<std::size_t>(capacity / KFCurve::kKeysPerBlock) * sizeof(KFCurveKey*);
}

std::size_t SmallBlockBytes(int keys) { return static_cast<std::size_t>(keys) * sizeof(KFCurveKey); }

}  // namespace

KFCurve* KFCurve::Create() { return new (std::nothrow) KFCurve(); }

KFCurve::KFCurve() = default;

KFCurve::~KFCurve() {
    KeyClear();
    // Whatever bracket was left open, every callback hears of the destruction.
    mModifyNesting = 0;
    CallbackEnable(true);
    CallbackPostEvent(KFCURVEEVENT_DESTROY, -1);
}

// --- Curve members ----------------------------------------------------------

void KFCurve::SetValue(float value) {
    mValue = value;
    // A curve without keys may have its old default in the cache.
    ClearEvaluationCache();
    CallbackPostEvent(KFCURVEEVENT_DEFAULT_VALUE, -1);
}

void KFCurve::GetColor(float* rgb) const {
    if (!rgb) return;
    std::copy(mColor, mColor + 3, rgb);
}

void KFCurve::SetColor(const float* rgb) {
    if (!rgb) return;
    std::copy(rgb, rgb + 3, mColor);
}

void KFCurve::SetPreExtrapolation(KFCurveExtrapolationMode mode) {
    mPreExtrapolation = mode;
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, -1);
}

void KFCurve::SetPreExtrapolationCount(int count) {
    mPreExtrapolationCount = count;
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, -1);
}

void KFCurve::SetPostExtrapolation(KFCurveExtrapolationMode mode) {
    mPostExtrapolation = mode;
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, -1);
}

void KFCurve::SetPostExtrapolationCount(int count) {
    mPostExtrapolationCount = count;
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, -1);
}

// --- Key storage ------------------------------------------------------------

bool KFCurve::KeyResize(int n) {
    ClearEvaluationCache();
    if (n <= 0) return true;
    if (n > kMaxKeyCount) return false;
    if (mKeyCapacity == 0 && (mLastBlock < 0 || mSmallBlockKeys > 0) && n < kKeysPerBlock) {
        return ResizeSmallBlock(n);
    }
    if (!PromoteSmallBlock()) return false;
    if (n > mKeyCapacity) {
        const int entries = (n + kKeysPerPointerStep - 1) / kKeysPerPointerStep * kPointersPerStep;
        const int capacity = entries * kKeysPerBlock;
        auto** blocks = static_cast<KFCurveKey**>(KFCurveAllocate(PointerArrayBytes(capacity)));
        if (!blocks) return false;
        if (mKeyCapacity > 0) {
            std::memcpy(blocks, mBlocks, PointerArrayBytes(mKeyCapacity));
            KFCurveFree(mBlocks, PointerArrayBytes(mKeyCapacity));
        } else if (mLastBlock == 0) {
            blocks[0] = mFirstBlock;
            mFirstBlock = nullptr;
        }
        mBlocks = blocks;
        mKeyCapacity = capacity;
    }
    const int lastNeeded = (n - 1) / kKeysPerBlock;
    while (mLastBlock < lastNeeded) {
        auto* block = static_cast<KFCurveKey*>(KFCurveAllocate(kBlockBytes));
        if (!block) return false;
        mBlocks[++mLastBlock] = block;
    }
    return true;
}

bool KFCurve::ResizeSmallBlock(int n) {
    if (n <= mSmallBlockKeys) return true;
    // A curve read from a file is sized once, exactly; one filled key by key
    // doubles, so that appending stays linear.
    const int keys = std::min(kKeysPerBlock - 1, std::max(n, 2 * mSmallBlockKeys));
    auto* block = static_cast<KFCurveKey*>(KFCurveAllocate(SmallBlockBytes(keys)));
    if (!block) return false;
    if (mFirstBlock) {
        std::memcpy(block, mFirstBlock, static_cast<std::size_t>(mKeyCount) * sizeof(KFCurveKey));
        KFCurveFree(mFirstBlock, SmallBlockBytes(mSmallBlockKeys));
    }
    mFirstBlock = block;
    mBlocks = &mFirstBlock;
    mLastBlock = 0;
    mSmallBlockKeys = keys;
    return true;
}

bool KFCurve::PromoteSmallBlock() {
    if (mSmallBlockKeys == 0) return true;
    auto* block = static_cast<KFCurveKey*>(KFCurveAllocate(kBlockBytes));
    if (!block) return false;
    std::memcpy(block, mFirstBlock, static_cast<std::size_t>(mKeyCount) * sizeof(KFCurveKey));
    KFCurveFree(mFirstBlock, SmallBlockBytes(mSmallBlockKeys));
    mFirstBlock = block;
    mSmallBlockKeys = 0;
    return true;
}

void KFCurve::FreeStorage() {
    if (mSmallBlockKeys > 0) {
        KFCurveFree(mFirstBlock, SmallBlockBytes(mSmallBlockKeys));
    } else {
        for (int b = 0; b <= mLastBlock; ++b) KFCurveFree(mBlocks[b], kBlockBytes);
    }
    if (mKeyCapacity > 0) KFCurveFree(mBlocks, PointerArrayBytes(mKeyCapacity));
    mBlocks = nullptr;
    mFirstBlock = nullptr;
    mKeyCount = 0;
    mKeyCapacity = 0;
    mLastBlock = -1;
    mSmallBlockKeys = 0;
    mSegment.mLeft = -1;
}

void KFCurve::KeyClear() {
    const int oldCount = mKeyCount;
    FreeStorage();
    ClearEvaluationCache();
    KeyModifyBegin();
    CallbackPostEvent(KFCURVEEVENT_POST_KEYS_REMOVED, 0);
    CallbackPostEvent(KFCURVEEVENT_POST_KEYS_REMOVED, oldCount);
    KeyModifyEnd();
}

void KFCurve::MoveKeys(int dst, int src, int n) {
    if (n <= 0 || dst == src) return;
    if (dst < src) {
        while (n > 0) {
            const int run = std::min({n, kKeysPerBlock - dst % kKeysPerBlock, kKeysPerBlock - src % kKeysPerBlock});
            std::memmove(KeyGetPtr(dst), KeyGetPtr(src), static_cast<std::size_t>(run) * sizeof(KFCurveKey));
            dst += run;
            src += run;
            n -= run;
        }
    } else {
        int dstEnd = dst + n;
        int srcEnd = src + n;
        while (n > 0) {
            const int run = std::min({n, (dstEnd - 1) % kKeysPerBlock + 1, (srcEnd - 1) % kKeysPerBlock + 1});
            dstEnd -= run;
            srcEnd -= run;
            std::memmove(KeyGetPtr(dstEnd), KeyGetPtr(srcEnd), static_cast<std::size_t>(run) * sizeof(KFCurveKey));
            n -= run;
        }
    }
}

void KFCurve::DropKeys(int first, int last) {
    // Blocks lying wholly inside the range are freed, and the block pointers
    // after them move down, so no record of those blocks is copied.
    mSegment.mLeft = -1;
    const int firstWhole = (first + kKeysPerBlock - 1) / kKeysPerBlock;
    const int lastWhole = (last + 1) / kKeysPerBlock - 1;
    if (lastWhole >= firstWhole) {
        const int wholeBlocks = lastWhole - firstWhole + 1;
        for (int b = firstWhole; b <= lastWhole; ++b) KFCurveFree(mBlocks[b], kBlockBytes);
        std::memmove(mBlocks + firstWhole, mBlocks + lastWhole + 1,
                     static_cast<std::size_t>(mLastBlock - lastWhole) * sizeof(KFCurveKey*));
        std::fill(mBlocks + mLastBlock - wholeBlocks + 1, mBlocks + mLastBlock + 1, nullptr);
        mLastBlock -= wholeBlocks;
        mKeyCount -= wholeBlocks * kKeysPerBlock;
        last -= wholeBlocks * kKeysPerBlock;
    }
    const int removed = last - first + 1;
    if (removed > 0) {
        MoveKeys(first, last + 1, mKeyCount - (last + 1));
        mKeyCount -= removed;
    }
}

double KFCurve::KeyFind(KTime time, int* hint) const {
    const int n = mKeyCount;
    if (n == 0) return -1.0;
    int& position = hint ? *hint : mKeyFindHint;
    const int start = std::clamp(position, 0, n - 1);
    const std::int64_t t = time.Get();
    const auto timeOf = [this](int i) { return KeyGetPtr(i)->GetTime().Get(); };
    // The ratio of the two differences; taken in seconds it would be the same
    // up to rounding, for two more divisions on every evaluation.
    const auto fraction = [this](int k, KTime at) {
        return kfcurve_detail::TicksBetween(KeyGetTime(k), at) /
               kfcurve_detail::TicksBetween(KeyGetTime(k), KeyGetTime(k + 1));
    };

    const std::int64_t startTime = timeOf(start);
    if (t < startTime) {
        int k = start;
        while (k > 0 && t < timeOf(k - 1)) --k;
        if (k == 0) {
            position = 0;
            return -0.5;
        }
        --k;  // the key below: t >= its time
        position = k;
        return k + fraction(k, time);
    }
    if (t == startTime) {
        position = start;
        return start;
    }
    int k = start;
    while (k < n - 1 && t > timeOf(k + 1)) ++k;
    if (k == n - 1) {
        position = n;
        return n - 0.5;
    }
    if (t == timeOf(k + 1)) {
        position = k + 2;
        return k + 1;
    }
    position = k + 1;
    return std::max(k + fraction(k, time), -0.5);
}

// --- Change notification ----------------------------------------------------

void KFCurve::KeyModifyBegin() {
    ++mModifyNesting;
    CallbackEnable(false);
}

void KFCurve::KeyModifyEnd() {
    if (mModifyNesting > 0) --mModifyNesting;
    if (mModifyNesting == 0) {
        ClearEvaluationCache();
        CallbackEnable(true);
    }
}

void KFCurve::CallbackRegister(KFCurveCallback callback, void* userData) {
    if (!callback) return;
    try {
        mCallbacks.push_back({callback, userData});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        // Nothing registered; the SDK does not throw.
    }
}

void KFCurve::CallbackUnregister(KFCurveCallback callback, void* userData) {
    for (auto it = mCallbacks.rbegin(); it != mCallbacks.rend(); ++it) {
        if (it->mCallback == callback && it->mUserData == userData && callback) {
            if (mDeliveryDepth > 0) {
                it->mCallback = nullptr;
            } else {
                mCallbacks.erase(std::next(it).base());
            }
            return;
        }
    }
}

void KFCurve::CallbackEnable(bool enable) {
    if (enable == mCallbacksEnabled) return;
    mCallbacksEnabled = enable;
    if (enable && mPendingEvent.mEventCount > 0) Deliver();
}

void KFCurve::CallbackPostEvent(unsigned int bits, int index) {
    mPendingEvent.Add(bits, index);
    const unsigned int step = (bits & KFCURVEEVENT_MAJOR) ? 0x10000u : 1u;
    mUpdateCounter = static_cast<int>(static_cast<unsigned int>(mUpdateCounter) + step);
    if (mCallbacksEnabled) Deliver();
}

void KFCurve::Deliver() {
    if (mCallbacks.empty()) {
        // Nobody listens: the record is spent all the same.
        mPendingEvent.Clear();
        return;
    }
    // The event is taken out first so that a callback that changes the curve
    // starts a record of its own instead of rewriting the one being delivered.
    KFCurveEvent event = mPendingEvent;
    mPendingEvent.Clear();
    ++mDeliveryDepth;
    // Callbacks registered during the delivery hear from the next event on;
    // the entries are read by index since a registration may move them.
    const std::size_t count = mCallbacks.size();
    for (std::size_t i = 0; i < count; ++i) {
        const CallbackEntry entry = mCallbacks[i];
        if (entry.mCallback) entry.mCallback(this, &event, entry.mUserData);
    }
    if (--mDeliveryDepth == 0) {
        std::erase_if(mCallbacks, [](const CallbackEntry& entry) { return entry.mCallback == nullptr; });
    }
}

void KFCurve::Changed(unsigned int bits, int index) {
    ClearEvaluationCache();
    CallbackPostEvent(bits, index);
}

}  // namespace fbxsdk_2006_11_1
