#include <fbxfilesdk/core/Twofish.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

std::string Hex(const unsigned char* bytes, int count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

// A 128-bit key from its bytes, through the key words as the encrypted file does.
TwofishKey KeyFromBytes(const unsigned char* bytes) {
    TwofishKey key;
    EXPECT_EQ(TwofishMakeKey(&key, eTWOFISH_ENCRYPT, 128, nullptr), eTWOFISH_OK);
    for (int i = 0; i < 16; ++i) key.keyWords[i / 4] |= static_cast<std::uint32_t>(bytes[i]) << (8 * (i % 4));
    EXPECT_EQ(TwofishReKey(&key), eTWOFISH_OK);
    return key;
}

TwofishCipher Cipher(int mode, const char* iv = nullptr) {
    TwofishCipher cipher;
    EXPECT_EQ(TwofishCipherInit(&cipher, mode, iv), eTWOFISH_OK);
    return cipher;
}

// The published table of 128-bit key results: each step's key is the previous
// plain text and its plain text the previous result.
TEST(Twofish, PublishedKnownAnswersFor128BitKeys) {
    unsigned char key[16] = {};
    unsigned char plain[16] = {};
    TwofishCipher ecb = Cipher(eTWOFISH_ECB);
    for (int step = 1; step <= 49; ++step) {
        const TwofishKey k = KeyFromBytes(key);
        unsigned char result[16];
        ASSERT_EQ(TwofishBlockEncrypt(&ecb, &k, plain, 128, result), 128);
        unsigned char back[16];
        ASSERT_EQ(TwofishBlockDecrypt(&ecb, &k, result, 128, back), 128);
        EXPECT_EQ(std::memcmp(back, plain, 16), 0) << "step " << step;
        const std::string got = Hex(result, 16);
        if (step == 1) {
            EXPECT_EQ(got, "9F589F5CF6122C32B6BFEC2F2AE8C35A");
        } else if (step == 2) {
            EXPECT_EQ(got, "D491DB16E7B1C39E86CB086B789F5419");
        } else if (step == 3) {
            EXPECT_EQ(got, "019F9809DE1711858FAAC3A3BA20FBC3");
        } else if (step == 49) {
            EXPECT_EQ(got, "5D9D4EEFFA9151575524F115815A12E0");
        }
        std::memcpy(key, plain, 16);
        std::memcpy(plain, result, 16);
    }
}

TEST(Twofish, PublishedKnownAnswersForLongerKeysGivenAsText) {
    const unsigned char zero[16] = {};
    unsigned char result[16];
    TwofishCipher ecb = Cipher(eTWOFISH_ECB);
    TwofishKey key;
    ASSERT_EQ(TwofishMakeKey(&key, eTWOFISH_ENCRYPT, 192, "0123456789ABCDEFFEDCBA98765432100011223344556677"),
              eTWOFISH_OK);
    ASSERT_EQ(TwofishBlockEncrypt(&ecb, &key, zero, 128, result), 128);
    EXPECT_EQ(Hex(result, 16), "CFD1D2E5A9BE9CDF501F13B892BD2248");
    ASSERT_EQ(TwofishMakeKey(&key, eTWOFISH_DECRYPT, 256,
                             "0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff"),
              eTWOFISH_OK);
    ASSERT_EQ(TwofishBlockEncrypt(&ecb, &key, zero, 128, result), 128);
    EXPECT_EQ(Hex(result, 16), "37527BE0052334B89F0CFCCAE87CFA20");
}

TEST(Twofish, KeyTextAndKeyWordsAgreeWithTheFirstByteLowest) {
    TwofishKey fromText;
    ASSERT_EQ(TwofishMakeKey(&fromText, eTWOFISH_ENCRYPT, 128, "00112233445566778899AABBCCDDEEFF"), eTWOFISH_OK);
    EXPECT_EQ(fromText.keyWords[0], 0x33221100u);
    EXPECT_EQ(fromText.keyWords[3], 0xFFEEDDCCu);
    const unsigned char bytes[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                     0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    const TwofishKey fromWords = KeyFromBytes(bytes);
    TwofishCipher ecb = Cipher(eTWOFISH_ECB);
    const unsigned char plain[16] = {1, 2, 3};
    unsigned char a[16], b[16];
    TwofishBlockEncrypt(&ecb, &fromText, plain, 128, a);
    TwofishBlockEncrypt(&ecb, &fromWords, plain, 128, b);
    EXPECT_EQ(Hex(a, 16), Hex(b, 16));
    EXPECT_EQ(std::memcmp(fromText.signature, "FISH", 4), 0);
}

TEST(Twofish, RefusesBadKeysCiphersAndLengthsWithTheirCodes) {
    TwofishKey key;
    EXPECT_EQ(TwofishMakeKey(nullptr, 0, 128, nullptr), eTWOFISH_BAD_KEY);
    EXPECT_EQ(TwofishMakeKey(&key, 2, 128, nullptr), eTWOFISH_BAD_DIRECTION);
    EXPECT_EQ(TwofishMakeKey(&key, 0, 7, nullptr), eTWOFISH_BAD_KEY_MATERIAL);
    EXPECT_EQ(TwofishMakeKey(&key, 0, 257, nullptr), eTWOFISH_BAD_KEY_MATERIAL);
    EXPECT_EQ(TwofishMakeKey(&key, 0, 128, "00112233445566778899AABBCCDDEEFG"), eTWOFISH_BAD_KEY_MATERIAL);
    EXPECT_EQ(TwofishMakeKey(&key, 0, 128, "0011"), eTWOFISH_BAD_KEY_MATERIAL);  // ends early
    EXPECT_EQ(TwofishMakeKey(&key, 0, 100, ""), eTWOFISH_OK);
    EXPECT_EQ(TwofishReKey(&key), eTWOFISH_BAD_KEY);
    EXPECT_EQ(TwofishReKey(nullptr), eTWOFISH_BAD_KEY);

    TwofishCipher cipher;
    EXPECT_EQ(TwofishCipherInit(nullptr, eTWOFISH_ECB, nullptr), eTWOFISH_NO_CIPHER);
    EXPECT_EQ(TwofishCipherInit(&cipher, 4, nullptr), eTWOFISH_BAD_MODE);
    EXPECT_EQ(TwofishCipherInit(&cipher, eTWOFISH_CBC, "not hex"), eTWOFISH_BAD_IV);
    EXPECT_EQ(TwofishCipherInit(&cipher, eTWOFISH_ECB, "not hex"), eTWOFISH_OK);  // mode 1 reads no IV

    ASSERT_EQ(TwofishMakeKey(&key, 0, 128, "00000000000000000000000000000000"), eTWOFISH_OK);
    unsigned char in[32] = {}, out[32];
    EXPECT_EQ(TwofishBlockEncrypt(&cipher, &key, in, 100, out), eTWOFISH_BAD_LENGTH);
    EXPECT_EQ(TwofishBlockDecrypt(&cipher, &key, in, -128, out), eTWOFISH_BAD_LENGTH);
    EXPECT_EQ(TwofishBlockEncrypt(&cipher, &key, nullptr, 128, out), eTWOFISH_BAD_LENGTH);
    EXPECT_EQ(TwofishBlockEncrypt(&cipher, nullptr, in, 128, out), eTWOFISH_BAD_KEY);
    EXPECT_EQ(TwofishBlockEncrypt(nullptr, &key, in, 128, out), eTWOFISH_BAD_CIPHER);

    TwofishKey badRounds = key;
    badRounds.rounds = 15;
    EXPECT_EQ(TwofishBlockEncrypt(&cipher, &badRounds, in, 128, out), eTWOFISH_BAD_KEY);
    TwofishKey unsignedKey = key;
    unsignedKey.signature[0] = 'f';
    EXPECT_EQ(TwofishBlockDecrypt(&cipher, &unsignedKey, in, 128, out), eTWOFISH_BAD_KEY);
    TwofishCipher unsignedCipher = cipher;
    unsignedCipher.signature[3] = 'X';
    EXPECT_EQ(TwofishBlockEncrypt(&unsignedCipher, &key, in, 128, out), eTWOFISH_BAD_CIPHER);
    EXPECT_EQ(TwofishBlockEncrypt(&cipher, &key, in, 256, out), 256);
}

TEST(Twofish, ChainedBlocksMixTheIvAndCarryItAcrossCalls) {
    const char* iv = "000102030405060708090A0B0C0D0E0F";
    TwofishKey key;
    ASSERT_EQ(TwofishMakeKey(&key, 0, 128, "2B7E151628AED2A6ABF7158809CF4F3C"), eTWOFISH_OK);
    unsigned char plain[32];
    for (int i = 0; i < 32; ++i) plain[i] = static_cast<unsigned char>(i * 7 + 1);

    TwofishCipher cbc = Cipher(eTWOFISH_CBC, iv);
    unsigned char whole[32];
    ASSERT_EQ(TwofishBlockEncrypt(&cbc, &key, plain, 256, whole), 256);

    // By hand: each block is the electronic-codebook result of itself mixed
    // with the previous cipher block (the IV for the first).
    TwofishCipher ecb = Cipher(eTWOFISH_ECB);
    unsigned char mixed[16], expected[32];
    for (int i = 0; i < 16; ++i) mixed[i] = static_cast<unsigned char>(plain[i] ^ i);
    TwofishBlockEncrypt(&ecb, &key, mixed, 128, expected);
    for (int i = 0; i < 16; ++i) mixed[i] = static_cast<unsigned char>(plain[16 + i] ^ expected[i]);
    TwofishBlockEncrypt(&ecb, &key, mixed, 128, expected + 16);
    EXPECT_EQ(Hex(whole, 32), Hex(expected, 32));

    TwofishCipher split = Cipher(eTWOFISH_CBC, iv);
    unsigned char pieces[32];
    TwofishBlockEncrypt(&split, &key, plain, 128, pieces);
    TwofishBlockEncrypt(&split, &key, plain + 16, 128, pieces + 16);
    EXPECT_EQ(Hex(pieces, 32), Hex(whole, 32));

    TwofishCipher back = Cipher(eTWOFISH_CBC, iv);
    unsigned char decrypted[32];
    std::memcpy(decrypted, whole, 32);
    ASSERT_EQ(TwofishBlockDecrypt(&back, &key, decrypted, 256, decrypted), 256);  // in place
    EXPECT_EQ(std::memcmp(decrypted, plain, 32), 0);
}

TEST(Twofish, OneBitFeedbackWorksBitByBitAndLeavesTheRestOfTheLastByte) {
    const char* iv = "F0E0D0C0B0A090807060504030201000";
    TwofishKey key;
    ASSERT_EQ(TwofishMakeKey(&key, 0, 128, "000102030405060708090A0B0C0D0E0F"), eTWOFISH_OK);
    const unsigned char plain[2] = {0xA5, 0x3C};

    TwofishCipher cfb = Cipher(eTWOFISH_CFB1, iv);
    unsigned char out[2] = {0x00, 0x07};
    ASSERT_EQ(TwofishBlockEncrypt(&cfb, &key, plain, 13, out), 13);
    EXPECT_EQ(out[1] & 0x07, 0x07);  // bits 13 to 15 untouched

    // The first bit is the plain bit mixed with the top bit of E(IV).
    TwofishCipher ecb = Cipher(eTWOFISH_ECB);
    unsigned char ivBytes[16], stream[16];
    for (int i = 0; i < 16; ++i) ivBytes[i] = static_cast<unsigned char>((15 - i) << 4);
    TwofishBlockEncrypt(&ecb, &key, ivBytes, 128, stream);
    EXPECT_EQ(out[0] >> 7, (plain[0] >> 7) ^ (stream[0] >> 7));

    TwofishCipher inTwo = Cipher(eTWOFISH_CFB1, iv);
    unsigned char split[2] = {0x00, 0x07};
    TwofishBlockEncrypt(&inTwo, &key, plain, 8, split);
    TwofishBlockEncrypt(&inTwo, &key, plain + 1, 5, split + 1);
    EXPECT_EQ(Hex(split, 2), Hex(out, 2));

    TwofishCipher back = Cipher(eTWOFISH_CFB1, iv);
    unsigned char decrypted[2] = {};
    ASSERT_EQ(TwofishBlockDecrypt(&back, &key, out, 13, decrypted), 13);
    EXPECT_EQ(decrypted[0], plain[0]);
    EXPECT_EQ(decrypted[1] & 0xF8, plain[1] & 0xF8);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
