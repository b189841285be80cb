#include <fbxfilesdk/geometry/KFbxGeometryShapes.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <bit>
#include <new>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

std::size_t LowBit(std::size_t i) { return i & (~i + 1); }

}  // namespace

KFbxGeometryShapes::Entry* KFbxGeometryShapes::Get(int index) {
    if (index < 0 || index >= GetCount()) {
        return nullptr;
    }
    if (mGaps == 0) {
        return &mEntries[static_cast<std::size_t>(index)];
    }
    // Down the sums to the last place before which fewer than index + 1
    // shapes stand: the shape is at the next one.
    std::size_t place = 0;
    int remaining = index + 1;
    for (std::size_t step = std::bit_floor(mEntries.size()); step != 0; step >>= 1) {
        if (place + step <= mEntries.size() && mSums[place + step] < remaining) {
            place += step;
            remaining -= mSums[place];
        }
    }
    return &mEntries[place];
}

KFbxGeometryShapes::Entry* KFbxGeometryShapes::Find(const KFbxShape* shape) {
    const auto found = mPlaces.find(shape);
    return found != mPlaces.end() ? &mEntries[found->second] : nullptr;
}

bool KFbxGeometryShapes::Add(KFbxShape* shape, const char* name) {
    try {
        mEntries.push_back(Entry{shape, name, {}});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    const std::size_t place = mEntries.size();  // one-based
    bool added = false;
    try {
        added = mPlaces.emplace(shape, place - 1).second;
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
    }
    if (!added) {
        mEntries.pop_back();
        return false;
    }
    if (!mSums.empty()) {
        try {
            mSums.push_back(1 + SumBefore(place - 1) - SumBefore(place - LowBit(place)));
        } catch (const std::bad_alloc&) {
            SdkNoteAllocationFailure();
            CloseGaps();
        }
    }
    return true;
}

bool KFbxGeometryShapes::Remove(const KFbxShape* shape, Entry& gone) {
    const auto found = mPlaces.find(shape);
    if (found == mPlaces.end()) {
        return false;
    }
    const std::size_t place = found->second;
    mPlaces.erase(found);
    gone = std::move(mEntries[place]);
    mEntries[place] = Entry{};
    if (place + 1 == mEntries.size()) {
        // The sums of the places before stand without the last.
        mEntries.pop_back();
        if (!mSums.empty()) {
            mSums.pop_back();
        }
        if (mGaps != 0 && mGaps * 2 >= mEntries.size()) {
            CloseGaps();
        }
        return true;
    }
    ++mGaps;
    if (mGaps * 2 >= mEntries.size()) {
        CloseGaps();
    } else if (!mSums.empty()) {
        for (std::size_t i = place + 1; i < mSums.size(); i += LowBit(i)) {
            --mSums[i];
        }
    } else {
        BuildSums();
    }
    return true;
}

void KFbxGeometryShapes::BuildSums() {
    try {
        mSums.assign(mEntries.size() + 1, 0);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        CloseGaps();
        return;
    }
    for (std::size_t i = 1; i < mSums.size(); ++i) {
        mSums[i] += mEntries[i - 1].mShape != nullptr ? 1 : 0;
        if (const std::size_t up = i + LowBit(i); up < mSums.size()) {
            mSums[up] += mSums[i];
        }
    }
}

int KFbxGeometryShapes::SumBefore(std::size_t end) const {
    int sum = 0;
    for (std::size_t i = end; i != 0; i -= LowBit(i)) {
        sum += mSums[i];
    }
    return sum;
}

void KFbxGeometryShapes::CloseGaps() {
    std::erase_if(mEntries, [](const Entry& entry) { return entry.mShape == nullptr; });
    for (std::size_t place = 0; place < mEntries.size(); ++place) {
        mPlaces.find(mEntries[place].mShape)->second = place;
    }
    mSums.clear();
    mGaps = 0;
}

}  // namespace fbxsdk_2006_11_1
