// The 3DS reader's hold on toolkit records: each record is released by its
// own toolkit routine when its owner goes, and tracks are read through a
// view that is empty unless the toolkit gave both keys and values.
#ifndef FBXFILESDK_FORMATS_KFBXREADER3DSRECORDS_H
#define FBXFILESDK_FORMATS_KFBXREADER3DSRECORDS_H

#include <fbxfilesdk/3dsftk/Toolkit3ds.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

namespace fbxsdk_2006_11_1 {

class KFCurve;

namespace reader3ds {

template <class Record, void (*Release)(Record**)>
struct ReleaseWith {
    void operator()(Record* record) const { Release(&record); }
};

template <class Record, void (*Release)(Record**)>
using Owned = std::unique_ptr<Record, ReleaseWith<Record, Release>>;

// A record that the toolkit's init routine makes with the arguments, in its
// holder; null when the toolkit could not make it.
template <class Holder, class Init, class... Args>
Holder MakeRecord(Init init, Args... args) {
    typename Holder::pointer made = nullptr;
    init(&made, args...);
    return Holder(made);
}

using MeshRecord = Owned<mesh3ds, &ReleaseMeshObj3ds>;
using MaterialRecord = Owned<material3ds, &ReleaseMaterial3ds>;
using LightRecord = Owned<light3ds, &ReleaseLight3ds>;
using CameraRecord = Owned<camera3ds, &ReleaseCamera3ds>;
using ObjectMotionRecord = Owned<kfmesh3ds, &ReleaseObjectMotion3ds>;
using OmniMotionRecord = Owned<kfomni3ds, &ReleaseOmnilightMotion3ds>;
using SpotMotionRecord = Owned<kfspot3ds, &ReleaseSpotlightMotion3ds>;
using CameraMotionRecord = Owned<kfcamera3ds, &ReleaseCameraMotion3ds>;

// A track's keys with their values.
template <class Value>
struct Track {
    std::uint32_t mCount = 0;
    const keyheader3ds* mKeys = nullptr;
    const Value* mValues = nullptr;
};

template <class Value>
Track<Value> TrackOf(const kftrack3ds<Value>& track) {
    if (track.keycount == 0 || track.keys == nullptr || track.values == nullptr) {
        return {};
    }
    return {track.keycount, track.keys, track.values};
}

// The curves of one channel that a node's take has, missing ones left out.
struct Channel {
    KFCurve* mItems[3] = {nullptr, nullptr, nullptr};
    int mCount = 0;

    Channel(std::initializer_list<KFCurve*> curves) {
        for (KFCurve* curve : curves) {
            if (curve != nullptr && mCount < 3) {
                mItems[mCount++] = curve;
            }
        }
    }
    bool Complete(int expected) const { return mCount == expected; }
};

// A name field of a toolkit record, which need not hold its terminator.
template <std::size_t N>
std::string NameOf(const char (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != '\0') {
        ++length;
    }
    return std::string(field, length);
}

}  // namespace reader3ds
}  // namespace fbxsdk_2006_11_1

#endif
