// The secrets of a protected field file, all derived from its password and a
// random salt with PBKDF2-HMAC-SHA256: the 16-byte key of the enciphered body
// and a 32-byte check that tells a wrong password from a damaged file.
#ifndef FBXFILESDK_FBX_FIELDPASSWORD_H
#define FBXFILESDK_FBX_FIELDPASSWORD_H

#include <cstddef>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

constexpr std::size_t kPasswordSaltSize = 16;
constexpr std::size_t kPasswordKeySize = 16;
constexpr std::size_t kPasswordCheckSize = 32;
constexpr std::uint32_t kPasswordIterations = 20000;
// A reader refuses more: the count comes from the file, and each costs time.
constexpr std::uint32_t kMaxPasswordIterations = 1000000;

struct FieldSecrets {
    unsigned char key[kPasswordKeySize];
    unsigned char check[kPasswordCheckSize];
};

void DeriveFieldSecrets(const char* password, std::size_t length, const unsigned char* salt,
                        std::uint32_t iterations, FieldSecrets& secrets);
// Fresh salt from the system's random source.
void MakePasswordSalt(unsigned char* salt);
// Compares in a time that does not depend on where the checks differ.
bool PasswordChecksMatch(const unsigned char* a, const unsigned char* b);
// Wipes secrets so they do not linger in freed memory.
void ForgetFieldSecrets(FieldSecrets& secrets);

}  // namespace fbxsdk_2006_11_1

#endif
