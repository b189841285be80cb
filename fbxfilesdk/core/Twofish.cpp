#include <fbxfilesdk/core/Twofish.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr char kSignature[4] = {'F', 'I', 'S', 'H'};
constexpr int kBlockBytes = TWOFISH_BLOCK_SIZE;
constexpr int kBlockBits = kBlockBytes * 8;

bool HasSignature(const char* signature) { return std::memcmp(signature, kSignature, sizeof kSignature) == 0; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads digitCount hexadecimal digits into bytes, two digits a byte, the first
// digit the high half. False on any other character, the terminator included.
bool ParseHex(const char* text, int digitCount, unsigned char* bytes) {
    for (int i = 0; i < digitCount; ++i) {
        const int value = HexDigit(text[i]);
        if (value < 0) return false;
        bytes[i / 2] = static_cast<unsigned char>(bytes[i / 2] | (i % 2 == 0 ? value << 4 : value));
    }
    return true;
}

bool KeyUsable(const TwofishKey* key) {
    return key != nullptr && HasSignature(key->signature) && key->rounds % 2 == 0 && key->rounds >= 2 &&
           key->rounds <= 16;
}

void XorBlock(unsigned char* target, const unsigned char* with) {
    for (int i = 0; i < kBlockBytes; ++i) target[i] ^= with[i];
}

// Runs the checks common to both directions; the length on success.
int CheckBlockCall(const TwofishCipher* cipher, const TwofishKey* key, const unsigned char* input, int bitLength,
                   const unsigned char* output) {
    if (cipher == nullptr || !HasSignature(cipher->signature)) return eTWOFISH_BAD_CIPHER;
    if (!KeyUsable(key)) return eTWOFISH_BAD_KEY;
    if (cipher->mode != eTWOFISH_ECB && cipher->mode != eTWOFISH_CBC && cipher->mode != eTWOFISH_CFB1) {
        return eTWOFISH_BAD_MODE;
    }
    if (bitLength < 0) return eTWOFISH_BAD_LENGTH;
    if (cipher->mode != eTWOFISH_CFB1 && bitLength % kBlockBits != 0) return eTWOFISH_BAD_LENGTH;
    if (bitLength > 0 && (input == nullptr || output == nullptr)) return eTWOFISH_BAD_LENGTH;
    return bitLength;
}

int GetBit(const unsigned char* bytes, int bit) { return (bytes[bit / 8] >> (7 - bit % 8)) & 1; }

void SetBit(unsigned char* bytes, int bit, int value) {
    const unsigned char mask = static_cast<unsigned char>(0x80u >> (bit % 8));
    bytes[bit / 8] = static_cast<unsigned char>(value ? bytes[bit / 8] | mask : bytes[bit / 8] & ~mask);
}

// One-bit cipher feedback: each bit costs one block encryption, and the
// ciphertext bit is shifted into the IV.
void Cfb1(TwofishCipher* cipher, const TwofishKey* key, const unsigned char* input, int bitLength,
          unsigned char* output, bool decrypt) {
    unsigned char stream[kBlockBytes];
    for (int bit = 0; bit < bitLength; ++bit) {
        twofish_encrypt(&key->schedule, kBlockBytes, stream, cipher->iv);
        const int in = GetBit(input, bit);
        const int out = in ^ (stream[0] >> 7);
        SetBit(output, bit, out);
        const int feedback = decrypt ? in : out;
        for (int i = 0; i < kBlockBytes - 1; ++i) {
            cipher->iv[i] = static_cast<unsigned char>((cipher->iv[i] << 1) | (cipher->iv[i + 1] >> 7));
        }
        cipher->iv[kBlockBytes - 1] = static_cast<unsigned char>((cipher->iv[kBlockBytes - 1] << 1) | feedback);
    }
}

void CbcEncrypt(TwofishCipher* cipher, const TwofishKey* key, const unsigned char* input, std::size_t bytes,
                unsigned char* output) {
    for (std::size_t at = 0; at < bytes; at += kBlockBytes) {
        unsigned char block[kBlockBytes];
        std::memcpy(block, input + at, kBlockBytes);
        XorBlock(block, cipher->iv);
        twofish_encrypt(&key->schedule, kBlockBytes, cipher->iv, block);
        std::memcpy(output + at, cipher->iv, kBlockBytes);
    }
}

// Works in place: each cipher block is saved before its output is written.
void CbcDecrypt(TwofishCipher* cipher, const TwofishKey* key, const unsigned char* input, std::size_t bytes,
                unsigned char* output) {
    for (std::size_t at = 0; at < bytes; at += kBlockBytes) {
        unsigned char saved[kBlockBytes];
        std::memcpy(saved, input + at, kBlockBytes);
        twofish_decrypt(&key->schedule, kBlockBytes, output + at, saved);
        XorBlock(output + at, cipher->iv);
        std::memcpy(cipher->iv, saved, kBlockBytes);
    }
}

int Transform(TwofishCipher* cipher, const TwofishKey* key, const unsigned char* input, int bitLength,
              unsigned char* output, bool decrypt) {
    const int checked = CheckBlockCall(cipher, key, input, bitLength, output);
    if (checked <= 0) return checked;
    const std::size_t bytes = static_cast<std::size_t>(bitLength / kBlockBits) * kBlockBytes;
    if (cipher->mode == eTWOFISH_ECB) {
        (decrypt ? twofish_decrypt : twofish_encrypt)(&key->schedule, bytes, output, input);
    } else if (cipher->mode == eTWOFISH_CBC) {
        (decrypt ? CbcDecrypt : CbcEncrypt)(cipher, key, input, bytes, output);
    } else {
        Cfb1(cipher, key, input, bitLength, output, decrypt);
    }
    return bitLength;
}

}  // namespace

int TwofishMakeKey(TwofishKey* key, int direction, int keyLength, const char* keyText) {
    if (key == nullptr) return eTWOFISH_BAD_KEY;
    if (direction != eTWOFISH_ENCRYPT && direction != eTWOFISH_DECRYPT) return eTWOFISH_BAD_DIRECTION;
    if (keyLength < 8 || keyLength > 256) return eTWOFISH_BAD_KEY_MATERIAL;

    std::memset(key, 0, sizeof *key);
    std::memcpy(key->signature, kSignature, sizeof kSignature);
    key->direction = direction;
    key->keyLength = keyLength;
    key->rounds = 16;
    if (keyText == nullptr || keyText[0] == '\0') return eTWOFISH_OK;

    unsigned char bytes[32] = {};
    if (!ParseHex(keyText, (keyLength + 3) / 4, bytes)) return eTWOFISH_BAD_KEY_MATERIAL;
    for (int i = 0; i < 32; ++i) {
        key->keyWords[i / 4] |= static_cast<std::uint32_t>(bytes[i]) << (8 * (i % 4));
    }
    std::memset(bytes, 0, sizeof bytes);
    return TwofishReKey(key);
}

int TwofishReKey(TwofishKey* key) {
    if (key == nullptr) return eTWOFISH_BAD_KEY;
    if (key->keyLength != 128 && key->keyLength != 192 && key->keyLength != 256) return eTWOFISH_BAD_KEY;
    unsigned char bytes[32];
    const int byteCount = key->keyLength / 8;
    for (int i = 0; i < byteCount; ++i) {
        bytes[i] = static_cast<unsigned char>(key->keyWords[i / 4] >> (8 * (i % 4)));
    }
    twofish_set_key(&key->schedule, static_cast<std::size_t>(byteCount), bytes);
    std::memset(bytes, 0, sizeof bytes);
    return eTWOFISH_OK;
}

int TwofishCipherInit(TwofishCipher* cipher, int mode, const char* ivText) {
    if (cipher == nullptr) return eTWOFISH_NO_CIPHER;
    if (mode != eTWOFISH_ECB && mode != eTWOFISH_CBC && mode != eTWOFISH_CFB1) return eTWOFISH_BAD_MODE;
    unsigned char iv[kBlockBytes] = {};
    if (mode != eTWOFISH_ECB && ivText != nullptr && !ParseHex(ivText, 2 * kBlockBytes, iv)) return eTWOFISH_BAD_IV;
    std::memcpy(cipher->signature, kSignature, sizeof kSignature);
    cipher->mode = mode;
    std::memcpy(cipher->iv, iv, sizeof iv);
    return eTWOFISH_OK;
}

int TwofishBlockEncrypt(TwofishCipher* cipher, const TwofishKey* key, const unsigned char* input, int bitLength,
                        unsigned char* output) {
    return Transform(cipher, key, input, bitLength, output, false);
}

int TwofishBlockDecrypt(TwofishCipher* cipher, const TwofishKey* key, const unsigned char* input, int bitLength,
                        unsigned char* output) {
    return Transform(cipher, key, input, bitLength, output, true);
}

}  // namespace fbxsdk_2006_11_1
