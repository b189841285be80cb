// Reads FBX 5 files (binary and ascii, file versions 5000 to 5999) into a
// scene. It shares the FBX 6 reader's frame: the whole file is checked when
// it is opened (syntax, trailer, password) and its parametric records before
// the caller's scene is cleared, so a refused file leaves the scene as it was.
#ifndef FBXFILESDK_FBX_KFBXREADERFBX_H
#define FBXFILESDK_FBX_KFBXREADERFBX_H

#include <fbxfilesdk/fbx/KFbxReaderFbx6.h>

namespace fbxsdk_2006_11_1 {

class KFbxReaderFbx : public KFbxReaderFbx6 {
public:
    KFbxReaderFbx(KFbxSdkManager& manager, KFbxIO* io);

protected:
    bool ReadsVersion(int version) const override;
    bool CheckFile(KFbx& file, KString& why) override;
    bool ReadFile(KFbx& file, KFbxScene& scene, KFbxStreamOptionsFbxReader& options) override;
};

// The registry's create function of the FBX 5 reader.
KFbxReader* CreateFbx5Reader(KFbxSdkManager& manager, KFbxIO* io, int subFormat);

}  // namespace fbxsdk_2006_11_1

#endif
