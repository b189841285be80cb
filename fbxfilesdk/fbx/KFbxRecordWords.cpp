#include <fbxfilesdk/fbx/KFbxRecordWords.h>

#include <cstddef>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kAlphaSources[] = {"None", "RGB_Intensity", "Alpha_Black"};
const char* const kMappingTypes[] = {"None", "Planar", "Spherical", "Cylindrical", "Box", "Face", "UV", "Environment"};
const char* const kTextureUses[] = {"Standard",          "ShadowMap",          "LightMap",
                                    "SphericalReflexionMap", "SphereReflexionMap", "BumpNormalMap"};
const char* const kPlanarNormals[] = {"X", "Y", "Z"};
// Mode 0 (normalize) has no word of its own.
const char* const kLinkModes[] = {"", "Additive", "Total1"};

template <std::size_t N>
const char* WordOf(const char* const (&words)[N], int value, const char* fallback) {
    return value >= 0 && static_cast<std::size_t>(value) < N ? words[value] : fallback;
}

template <std::size_t N>
int ValueOf(const char* const (&words)[N], const char* word) {
    for (std::size_t i = 0; word != nullptr && i < N; ++i) {
        if (std::strcmp(words[i], word) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

const char* KFbxTextureAlphaSourceWord(int source) { return WordOf(kAlphaSources, source, "None"); }

const char* KFbxTextureMappingWord(int type) { return WordOf(kMappingTypes, type, "UV"); }

const char* KFbxTextureUseWord(int use) { return WordOf(kTextureUses, use, "Standard"); }

const char* KFbxPlanarNormalWord(int normal) { return WordOf(kPlanarNormals, normal, "X"); }

const char* KFbxLinkModeWord(int mode) { return mode >= 1 ? WordOf(kLinkModes, mode, nullptr) : nullptr; }

int KFbxTextureAlphaSourceOfWord(const char* word) { return ValueOf(kAlphaSources, word); }

int KFbxTextureMappingOfWord(const char* word) { return ValueOf(kMappingTypes, word); }

int KFbxTextureUseOfWord(const char* word) { return ValueOf(kTextureUses, word); }

int KFbxPlanarNormalOfWord(const char* word) { return ValueOf(kPlanarNormals, word); }

int KFbxLinkModeOfWord(const char* word) {
    const int mode = word != nullptr && word[0] != '\0' ? ValueOf(kLinkModes, word) : -1;
    return mode > 0 ? mode : 0;
}

}  // namespace fbxsdk_2006_11_1
