#include <fbxfilesdk/fbx/FieldPassword.h>

#include <nettle/pbkdf2.h>

#include <random>

#include <string.h>

namespace fbxsdk_2006_11_1 {

void DeriveFieldSecrets(const char* password, std::size_t length, const unsigned char* salt,
                        std::uint32_t iterations, FieldSecrets& secrets) {
    unsigned char derived[kPasswordKeySize + kPasswordCheckSize];
    pbkdf2_hmac_sha256(length, reinterpret_cast<const std::uint8_t*>(password), iterations, kPasswordSaltSize, salt,
                       sizeof derived, derived);
    memcpy(secrets.key, derived, kPasswordKeySize);
    memcpy(secrets.check, derived + kPasswordKeySize, kPasswordCheckSize);
    explicit_bzero(derived, sizeof derived);
}

void MakePasswordSalt(unsigned char* salt) {
    std::random_device random;
    for (std::size_t i = 0; i < kPasswordSaltSize; i += 4) {
        const unsigned int bits = random();
        for (std::size_t k = 0; k < 4; ++k) salt[i + k] = static_cast<unsigned char>(bits >> (8 * k));
    }
}

bool PasswordChecksMatch(const unsigned char* a, const unsigned char* b) {
    unsigned char difference = 0;
    for (std::size_t i = 0; i < kPasswordCheckSize; ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

void ForgetFieldSecrets(FieldSecrets& secrets) { explicit_bzero(&secrets, sizeof secrets); }

}  // namespace fbxsdk_2006_11_1
