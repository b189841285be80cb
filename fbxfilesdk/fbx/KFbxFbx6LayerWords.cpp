#include <fbxfilesdk/fbx/KFbxFbx6LayerWords.h>

#include <fbxfilesdk/geometry/KFbxLayerElement.h>

namespace fbxsdk_2006_11_1 {

using Element = KFbxLayerElement;

const KFbxFbx6TextureChannel kFbx6TextureChannels[15] = {
    {Element::eDIFFUSE_TEXTURES, "LayerElementTexture", "LayerElementUV"},
    {Element::eEMISSIVE_TEXTURES, "LayerElementEmissive_Textures", "LayerElementEmissiveUV"},
    {Element::eEMISSIVE_FACTOR_TEXTURES, "LayerElementEmissiveFactorTextures", "LayerElementEmissiveFactorUV"},
    {Element::eAMBIENT_TEXTURES, "LayerElementAmbientTextures", "LayerElementAmbientUV"},
    {Element::eAMBIENT_FACTOR_TEXTURES, "LayerElementAmbientFactorTextures", "LayerElementAmbientFactorUV"},
    {Element::eDIFFUSE_FACTOR_TEXTURES, "LayerElementDiffuseFactorTextures", "LayerElementDiffuseFactorUV"},
    {Element::eSPECULAR_TEXTURES, "LayerElementSpecularTextures", "LayerElementSpecularUV"},
    {Element::eSPECULAR_FACTOR_TEXTURES, "LayerElementSpecularFactorTextures", "LayerElementSpecularFactorUV"},
    {Element::eSHININESS_TEXTURES, "LayerElementShininessTextures", "LayerElementShininessUV"},
    {Element::eBUMP_TEXTURES, "LayerElementBumpTextures", "LayerElementBumpUV"},
    {Element::eNORMALMAP_TEXTURES, "LayerElementNormalMapTextures", "LayerElementNormalMapUV"},
    {Element::eTRANSPARENT_TEXTURES, "LayerElementTransparentTextures", "LayerElementTransparentUV"},
    {Element::eTRANSPARENCY_FACTOR_TEXTURES, "LayerElementTransparencyFactorTextures",
     "LayerElementTransparencyFactorUV"},
    {Element::eREFLECTION_TEXTURES, "LayerElementReflectionTextures", "LayerElementReflectionUV"},
    {Element::eREFLECTION_FACTOR_TEXTURES, "LayerElementReflectionFactorTextures", "LayerElementReflectionFactorUV"},
};

const KFbxFbx6TextureChannel* KFbxFbx6FindTextureChannel(int type) {
    for (const KFbxFbx6TextureChannel& channel : kFbx6TextureChannels) {
        if (channel.mType == type) {
            return &channel;
        }
    }
    return nullptr;
}

const char* const kFbx6MappingWords[6] = {"NoMappingInformation", "ByVertice", "ByPolygonVertex",
                                          "ByPolygon",            "ByEdge",    "AllSame"};
const char* const kFbx6ReferenceWords[3] = {"Direct", "Index", "IndexToDirect"};
const char* const kFbx6BlendWords[5] = {"Translucent", "Add", "Modulate", "Modulate2", "MaxBlend"};

}  // namespace fbxsdk_2006_11_1
