// The words FBX files of both versions write for numbers a scene stores as
// enumerations, in both directions: writers turn the stored numbers into
// words, readers turn the words back. A number without a word of its own is
// written as the word of the table's fallback, which reads back as the
// first number carrying that word.
#ifndef FBXFILESDK_FBX_KFBXRECORDWORDS_H
#define FBXFILESDK_FBX_KFBXRECORDWORDS_H

namespace fbxsdk_2006_11_1 {

// A texture's alpha source: 0 "None", 1 "RGB_Intensity", 2 "Alpha_Black";
// others "None".
const char* KFbxTextureAlphaSourceWord(int source);
// A texture's mapping type: 0 "None", 1 "Planar", 2 "Spherical",
// 3 "Cylindrical", 4 "Box", 5 "Face", 6 "UV", 7 "Environment"; others "UV".
const char* KFbxTextureMappingWord(int type);
// A texture's use: 0 "Standard", 1 "ShadowMap", 2 "LightMap",
// 3 "SphericalReflexionMap", 4 "SphereReflexionMap", 5 "BumpNormalMap";
// others "Standard".
const char* KFbxTextureUseWord(int use);
// A planar mapping's normal: 0 "X", 1 "Y", 2 "Z"; others "X".
const char* KFbxPlanarNormalWord(int normal);

// A cluster's link mode: 1 "Additive", 2 "Total1"; null for 0 (normalize),
// which files leave unsaid, and any other mode.
const char* KFbxLinkModeWord(int mode);

// The inverses; -1 for a word that is not in the table.
int KFbxTextureAlphaSourceOfWord(const char* word);
int KFbxTextureMappingOfWord(const char* word);
int KFbxTextureUseOfWord(const char* word);
int KFbxPlanarNormalOfWord(const char* word);
// 0 (normalize) for a word that is not in the table.
int KFbxLinkModeOfWord(const char* word);

}  // namespace fbxsdk_2006_11_1

#endif
