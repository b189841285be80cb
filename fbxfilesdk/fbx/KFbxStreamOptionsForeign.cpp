#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>

#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <iterator>

namespace fbxsdk_2006_11_1 {

namespace {

// The parts of a 3DS file both 3DS option sets switch, all on by default.
const char* const k3dsParts[] = {"TEXTURE", "MATERIAL", "ANIMATION", "MESH", "LIGHT", "CAMERA", "AMBIENT LIGHT",
                                 "RESCALING"};

KTime OneFrame(int timeMode) {
    KTime frame;
    frame.SetTime(0, 0, 0, 1, 0, timeMode);
    return frame;
}

}  // namespace

KFbxStreamOptions3ds::KFbxStreamOptions3ds(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {
    AddBoolOptions(k3dsParts, static_cast<int>(std::size(k3dsParts)), true);
    AddBoolOption("FILTER", false);
    AddBoolOption("REFERENCENODE", false);
    AddStringOption("TAKE NAME", "");
    AddIntOption("MESH COUNT", 0);
    AddIntOption("LIGHT COUNT", 0);
    AddIntOption("CAMERA COUNT", 0);
}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptions3dsReader)

KFbxStreamOptions3dsReader::KFbxStreamOptions3dsReader(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions3ds(manager, name) {
    AddBoolOption("SMOOTHGROUP", true);
}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptions3dsWriter)

KFbxStreamOptions3dsWriter::KFbxStreamOptions3dsWriter(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions3ds(manager, name) {
    AddBoolOption("TEXUVBYPOLY", true);
}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptionsDxfReader)

KFbxStreamOptionsDxfReader::KFbxStreamOptionsDxfReader(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {
    AddIntOption("OBJECT DERIVATION", 0);
    AddBoolOption("REFERENCENODE", false);
    AddBoolOption("WELD VERTICES", true);
}

int KFbxStreamOptionsDxfReader::GetObjectDerivation() const { return GetIntOption("OBJECT DERIVATION", 0); }

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptionsDxfWriter)

KFbxStreamOptionsDxfWriter::KFbxStreamOptionsDxfWriter(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {
    AddBoolOption("TRIANGULATE", true);
    AddBoolOption("DEFORMATION", true);
}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptionsObjReader)

KFbxStreamOptionsObjReader::KFbxStreamOptionsObjReader(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {
    AddBoolOption("REFERENCENODE", false);
}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptionsObjWriter)

KFbxStreamOptionsObjWriter::KFbxStreamOptionsObjWriter(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {
    AddBoolOption("TRIANGULATE", true);
    AddBoolOption("DEFORMATION", true);
}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptionsColladaReader)

KFbxStreamOptionsColladaReader::KFbxStreamOptionsColladaReader(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {
    AddStringOption("TAKE NAME", "");
    AddTimeOption("START", KTime());
    AddIntOption("FRAME COUNT", 0);
    AddDoubleOption("FRAME RATE", 0.0);
    AddIntOption("NODE LIMIT", kDefaultNodeLimit);
}

void KFbxStreamOptionsColladaReader::SetFrameRate(int timeMode, double rate) {
    if (timeMode != KTime::eDefaultMode) {
        mTimeMode = timeMode;
    } else if (rate <= 0.0) {
        mTimeMode = KTime::eDefaultMode;
    } else {
        const int matching = KTime::ConvertFrameRateToTimeMode(rate, 0.001);
        mTimeMode = matching >= 0 && matching < KTime::eTimeModeCount ? matching : KTime::eDefaultMode;
    }
    SetOption("FRAME RATE", rate);
}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptionsColladaWriter)

KFbxStreamOptionsColladaWriter::KFbxStreamOptionsColladaWriter(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {
    AddBoolOption("TRIANGULATE", true);
    AddBoolOption("SINGLE MATRIX", false);
    AddDoubleOption("FRAME RATE", 30.0);
}

KTime KFbxStreamOptionsColladaWriter::GetFramePeriod() const {
    if (mTimeMode != KTime::eDefaultMode) {
        return OneFrame(mTimeMode);
    }
    const double rate = GetDoubleOption("FRAME RATE", 0.0);
    if (!(rate > 0.0)) {
        return OneFrame(KTime::eDefaultMode);
    }
    KTime period;
    period.SetSecondDouble(1.0 / rate);
    return period;
}

}  // namespace fbxsdk_2006_11_1
