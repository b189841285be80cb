// The option sets of the readers and writers of the foreign file formats:
// 3DS, DXF, OBJ and COLLADA.
#ifndef FBXFILESDK_FBX_KFBXSTREAMOPTIONSFOREIGN_H
#define FBXFILESDK_FBX_KFBXSTREAMOPTIONSFOREIGN_H

#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>

namespace fbxsdk_2006_11_1 {

// What both 3DS sets hold: which parts of a file to take, the take the
// keyframes belong to and how many meshes, lights and cameras there were.
class KFbxStreamOptions3ds : public KFbxStreamOptions {
protected:
    KFbxStreamOptions3ds(KFbxSdkManager* manager, const char* name);
};

class KFbxStreamOptions3dsReader : public KFbxStreamOptions3ds {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptions3dsReader)
};

class KFbxStreamOptions3dsWriter : public KFbxStreamOptions3ds {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptions3dsWriter)
};

class KFbxStreamOptionsDxfReader : public KFbxStreamOptions {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptionsDxfReader)

public:
    // The "OBJECT DERIVATION" option: 0, 1 or 2.
    int GetObjectDerivation() const;
};

class KFbxStreamOptionsDxfWriter : public KFbxStreamOptions {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptionsDxfWriter)
};

class KFbxStreamOptionsObjReader : public KFbxStreamOptions {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptionsObjReader)
};

class KFbxStreamOptionsObjWriter : public KFbxStreamOptions {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptionsObjWriter)
};

// The take to read the animation into, where it starts, how many frames it
// has and at which rate, and the time mode that rate stands for.
class KFbxStreamOptionsColladaReader : public KFbxStreamOptions {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptionsColladaReader)

public:
    // "NODE LIMIT": the most nodes a read may create (template and scene
    // nodes, and copies of instanced meshes); a document that would create
    // more is refused. Callers that read trusted, very large scenes raise it.
    static constexpr int kDefaultNodeLimit = 100000;

    // A given time mode is kept. Without one (eDefaultMode) a rate that is
    // not positive gives the default mode, any other the mode whose rate is
    // within 0.001 of it (the default mode when none is). "FRAME RATE"
    // takes the rate.
    void SetFrameRate(int timeMode, double rate);
    int GetTimeMode() const { return mTimeMode; }

private:
    int mTimeMode = KTime::eDefaultMode;
};

class KFbxStreamOptionsColladaWriter : public KFbxStreamOptions {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptionsColladaWriter)

public:
    void SetTimeMode(int timeMode) { mTimeMode = timeMode; }
    int GetTimeMode() const { return mTimeMode; }
    // One frame: of the time mode when one is set, else 1 / "FRAME RATE"
    // seconds; one frame of the global time mode when the rate is not positive.
    KTime GetFramePeriod() const;

private:
    int mTimeMode = KTime::eDefaultMode;
};

}  // namespace fbxsdk_2006_11_1

#endif
