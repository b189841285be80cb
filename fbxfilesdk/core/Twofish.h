// The Twofish block cipher behind a key record and a cipher record, each
// stamped with the signature "FISH". The cipher itself is nettle's; these
// functions add the record checks, the key words and the block modes.
#ifndef FBXFILESDK_CORE_TWOFISH_H
#define FBXFILESDK_CORE_TWOFISH_H

#include <nettle/twofish.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

enum ETwofishResult {
    eTWOFISH_OK = 1,
    eTWOFISH_BAD_DIRECTION = -1,
    eTWOFISH_BAD_KEY_MATERIAL = -2,
    eTWOFISH_BAD_KEY = -3,
    eTWOFISH_BAD_MODE = -4,
    eTWOFISH_BAD_CIPHER = -5,
    eTWOFISH_BAD_LENGTH = -6,
    eTWOFISH_NO_CIPHER = -7,
    eTWOFISH_BAD_IV = -8
};

enum ETwofishDirection { eTWOFISH_ENCRYPT = 0, eTWOFISH_DECRYPT = 1 };

enum ETwofishMode { eTWOFISH_ECB = 1, eTWOFISH_CBC = 2, eTWOFISH_CFB1 = 3 };

struct TwofishKey {
    char signature[4];
    int direction;
    int keyLength;  // bits
    int rounds;
    // The key as 32-bit words, its first byte the lowest of word 0.
    std::uint32_t keyWords[8];
    twofish_ctx schedule;
};

struct TwofishCipher {
    char signature[4];
    int mode;
    unsigned char iv[16];
};

// Direction 0 or 1; a key length of 8 to 256 bits. A non-empty key text is
// hexadecimal, its first two digits the key's first byte, and is expanded at
// once; without one, fill keyWords and call TwofishReKey.
int TwofishMakeKey(TwofishKey* key, int direction, int keyLength, const char* keyText);
// Expands keyWords; the key length must be 128, 192 or 256 bits.
int TwofishReKey(TwofishKey* key);
// Modes 2 and 3 take a 32-digit hexadecimal IV; mode 1 ignores it.
int TwofishCipherInit(TwofishCipher* cipher, int mode, const char* ivText);
// The length is in bits: whole 128-bit blocks for modes 1 and 2, any count for
// mode 3 (bits taken from each byte's highest first). Chaining modes carry
// the IV from one call to the next. Returns the length, or a negative result.
int TwofishBlockEncrypt(TwofishCipher* cipher, const TwofishKey* key, const unsigned char* input, int bitLength,
                        unsigned char* output);
int TwofishBlockDecrypt(TwofishCipher* cipher, const TwofishKey* key, const unsigned char* input, int bitLength,
                        unsigned char* output);

}  // namespace fbxsdk_2006_11_1

#endif
