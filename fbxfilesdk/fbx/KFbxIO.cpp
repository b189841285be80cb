#include <fbxfilesdk/fbx/KFbxIO.h>

#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kErrorTexts[KFbxIO::eERROR_COUNT] = {
    "File is corrupted",
    "File version not supported yet",
    "File version not supported anymore",
    "File not opened",
    "File not created",
    "Out of disk space",
    "Uninitialized filename",
    "Unidentified error",
    "Invalid parameter",
    "Wrong password",
    "Stream options not set",
    "Out of memory resources for embedding textures",
};

}  // namespace


KFbxIO::KFbxIO(KFbxSdkManager* manager, const char* name)
    : KFbxObject(manager, name), mError(kErrorTexts, eERROR_COUNT) {}

KFbxIO::~KFbxIO() = default;

KFbxPlug* KFbxIO::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxIO>(manager, name);
}

KFbxClassId KFbxIO::GetClassId() const { return ClassId; }

bool KFbxIO::Initialize(const char* fileName) {
    mError.ClearError();
    mStatusText = KString();
    if (fileName == nullptr || fileName[0] == '\0') {
        mFileName = KString();
        mError.SetError(eUNINITIALIZED_FILENAME);
        return false;
    }
    mFileName = KString(fileName);
    return true;
}

void KFbxIO::AppendStatusText(int /*status*/, const char* text, const char* detail, float /*percent*/) {
    KString composed(text != nullptr ? text : "");
    if (detail != nullptr && detail[0] != '\0') {
        composed += " - ";
        composed += detail;
    }
    mStatusText = composed;
}

const char* KFbxIO::GetErrorText(int code) {
    return code >= 0 && code < eERROR_COUNT ? kErrorTexts[code] : "";
}

}  // namespace fbxsdk_2006_11_1
