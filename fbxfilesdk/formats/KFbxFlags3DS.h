// The switches the 3DS reader and writer share: one per boolean option of
// that name in their stream options, with the same default in both.
#ifndef FBXFILESDK_FORMATS_KFBXFLAGS3DS_H
#define FBXFILESDK_FORMATS_KFBXFLAGS3DS_H

namespace fbxsdk_2006_11_1 {

class KFbxStreamOptions;

struct KFbxFlags3DS {
    bool mTexture = true;
    bool mMaterial = true;
    bool mAnimation = true;
    bool mMesh = true;
    bool mLight = true;
    bool mCamera = true;
    bool mAmbientLight = true;
    bool mReferenceNode = false;
    bool mRescaling = true;

    // Reads "TEXTURE", "MATERIAL", "ANIMATION", "MESH", "LIGHT", "CAMERA",
    // "AMBIENT LIGHT", "REFERENCENODE" and "RESCALING"; an option that is
    // not set keeps its flag as it is.
    void Take(const KFbxStreamOptions& options);
};

}  // namespace fbxsdk_2006_11_1

#endif
