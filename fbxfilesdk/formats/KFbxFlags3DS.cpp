#include <fbxfilesdk/formats/KFbxFlags3DS.h>

#include <fbxfilesdk/fbx/KFbxStreamOptions.h>

namespace fbxsdk_2006_11_1 {

void KFbxFlags3DS::Take(const KFbxStreamOptions& options) {
    const struct {
        const char* mName;
        bool KFbxFlags3DS::*mFlag;
    } kOptions[] = {
        {"TEXTURE", &KFbxFlags3DS::mTexture},
        {"MATERIAL", &KFbxFlags3DS::mMaterial},
        {"ANIMATION", &KFbxFlags3DS::mAnimation},
        {"MESH", &KFbxFlags3DS::mMesh},
        {"LIGHT", &KFbxFlags3DS::mLight},
        {"CAMERA", &KFbxFlags3DS::mCamera},
        {"AMBIENT LIGHT", &KFbxFlags3DS::mAmbientLight},
        {"REFERENCENODE", &KFbxFlags3DS::mReferenceNode},
        {"RESCALING", &KFbxFlags3DS::mRescaling},
    };
    for (const auto& option : kOptions) {
        this->*option.mFlag = options.GetBoolOption(option.mName, this->*option.mFlag);
    }
}

}  // namespace fbxsdk_2006_11_1
