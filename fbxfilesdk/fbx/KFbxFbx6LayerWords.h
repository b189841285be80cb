// The names FBX 6 files give to layer elements: the record pair of each
// texture channel, and the words of the mapping, reference and blend modes.
// Writers and readers share them, so the two cannot drift apart.
#ifndef FBXFILESDK_FBX_KFBXFBX6LAYERWORDS_H
#define FBXFILESDK_FBX_KFBXFBX6LAYERWORDS_H

#include <cstddef>

namespace fbxsdk_2006_11_1 {

struct KFbxFbx6TextureChannel {
    int mType;  // KFbxLayerElement::ELayerElementType of the channel
    const char* mTextureRecord;
    const char* mUVRecord;
};

// Every texture channel, in the order their records are written.
extern const KFbxFbx6TextureChannel kFbx6TextureChannels[15];
// Null for a type that is not a texture channel.
const KFbxFbx6TextureChannel* KFbxFbx6FindTextureChannel(int type);

// Indexed by the mode's value.
extern const char* const kFbx6MappingWords[6];
extern const char* const kFbx6ReferenceWords[3];
extern const char* const kFbx6BlendWords[5];

// The word of a mode; the first word for a value out of range.
template <std::size_t N>
const char* KFbxFbx6Word(const char* const (&words)[N], int value) {
    return value >= 0 && static_cast<std::size_t>(value) < N ? words[value] : words[0];
}

}  // namespace fbxsdk_2006_11_1

#endif
