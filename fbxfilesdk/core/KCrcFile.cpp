#include <fbxfilesdk/core/KCrcFile.h>

#include <array>
#include <cstddef>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QALIMOR_CRC_FOLDING 1
#endif

namespace fbxsdk_2006_11_1 {

namespace {

constexpr std::uint32_t kPolynomial = 0x04C11DB7;
constexpr int kSlices = 8;

using CrcTables = std::array<std::array<std::uint32_t, 256>, kSlices>;

// Table k gives the register change of byte i followed by k zero bytes, so
// eight bytes fold into the register with eight look-ups.
constexpr CrcTables BuildTables() {
    CrcTables tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i << 24;
        for (int bit = 0; bit < 8; ++bit) c = (c & 0x80000000u) ? (c << 1) ^ kPolynomial : c << 1;
        tables[0][i] = c;
    }
    for (int k = 1; k < kSlices; ++k) {
        for (int i = 0; i < 256; ++i) {
            const std::uint32_t previous = tables[k - 1][i];
            tables[k][i] = (previous << 8) ^ tables[0][previous >> 24];
        }
    }
    return tables;
}

constexpr CrcTables kTables = BuildTables();

std::uint32_t LoadBigEndian(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

std::uint32_t UpdateCrcBytes(std::uint32_t crc, const unsigned char* data, std::size_t size) {
    const auto& t = kTables;
    while (size >= 8) {
        const std::uint32_t a = crc ^ LoadBigEndian(data);
        const std::uint32_t b = LoadBigEndian(data + 4);
        crc = t[7][a >> 24] ^ t[6][(a >> 16) & 0xFF] ^ t[5][(a >> 8) & 0xFF] ^ t[4][a & 0xFF] ^ t[3][b >> 24] ^
              t[2][(b >> 16) & 0xFF] ^ t[1][(b >> 8) & 0xFF] ^ t[0][b & 0xFF];
        data += 8;
        size -= 8;
    }
    while (size-- > 0) crc = (crc << 8) ^ t[0][((crc >> 24) ^ *data++) & 0xFF];
    return crc;
}

#ifdef QALIMOR_CRC_FOLDING

// x^n mod P, the polynomial without its x^32 term.
constexpr std::uint64_t PowerOfXMod(int n) {
    std::uint32_t r = 1;
    for (int i = 0; i < n; ++i) r = (r & 0x80000000u) ? (r << 1) ^ kPolynomial : r << 1;
    return r;
}

constexpr std::uint64_t kX576 = PowerOfXMod(512 + 64);
constexpr std::uint64_t kX512 = PowerOfXMod(512);
constexpr std::uint64_t kX192 = PowerOfXMod(128 + 64);
constexpr std::uint64_t kX128 = PowerOfXMod(128);

// Below this many bytes the tables are as fast.
constexpr std::size_t kFoldingMinimum = 256;

// Carry-less folding: a 128-bit block A = H x^64 + L that stands for the
// bytes before the next T bits becomes H (x^(T+64) mod P) + L (x^T mod P),
// which is congruent modulo P and at most 95 bits long, and the next block is
// added. Four blocks run side by side, 512 bits apart; what is left in the
// end is 16 bytes congruent to everything read, whose CRC the tables finish
// with the tail.
#define QALIMOR_CRC_TARGET __attribute__((target("pclmul,ssse3")))

// Sixteen bytes in reversed order, so that bit i is the coefficient of x^i.
QALIMOR_CRC_TARGET inline __m128i LoadBlock(const unsigned char* p) {
    const __m128i reverse = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), reverse);
}

QALIMOR_CRC_TARGET inline __m128i Fold(__m128i a, __m128i k, __m128i next) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x11), _mm_clmulepi64_si128(a, k, 0x00)), next);
}

// Folds the last whole blocks into the 128 bits left, and finishes with the
// tables.
QALIMOR_CRC_TARGET std::uint32_t FinishFolding(__m128i a, const unsigned char* data, std::size_t size) {
    const __m128i by128 = _mm_set_epi64x(static_cast<long long>(kX192), static_cast<long long>(kX128));
    while (size >= 16) {
        a = Fold(a, by128, LoadBlock(data));
        data += 16;
        size -= 16;
    }
    unsigned char rest[16];
    const __m128i reverse = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rest), _mm_shuffle_epi8(a, reverse));
    return UpdateCrcBytes(UpdateCrcBytes(0, rest, sizeof rest), data, size);
}

QALIMOR_CRC_TARGET std::uint32_t UpdateCrcFolding(std::uint32_t crc, const unsigned char* data, std::size_t size) {
    const __m128i by512 = _mm_set_epi64x(static_cast<long long>(kX576), static_cast<long long>(kX512));
    const __m128i by128 = _mm_set_epi64x(static_cast<long long>(kX192), static_cast<long long>(kX128));
    // The register enters as the first four bytes' sum with it.
    __m128i a0 = _mm_xor_si128(LoadBlock(data), _mm_set_epi32(static_cast<int>(crc), 0, 0, 0));
    __m128i a1 = LoadBlock(data + 16);
    __m128i a2 = LoadBlock(data + 32);
    __m128i a3 = LoadBlock(data + 48);
    data += 64;
    size -= 64;
    while (size >= 64) {
        a0 = Fold(a0, by512, LoadBlock(data));
        a1 = Fold(a1, by512, LoadBlock(data + 16));
        a2 = Fold(a2, by512, LoadBlock(data + 32));
        a3 = Fold(a3, by512, LoadBlock(data + 48));
        data += 64;
        size -= 64;
    }
    __m128i a = Fold(Fold(Fold(a0, by128, a1), by128, a2), by128, a3);
    return FinishFolding(a, data, size);
}

bool CanFold() {
    static const bool supported = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("ssse3");
    return supported;
}

// The same folding four lanes at a time where the processor multiplies
// 512-bit vectors: sixteen blocks run side by side, 2048 bits apart, and fold
// down to the four of the narrow loop before its tail. One narrow multiplier
// cannot keep up with memory; four can.
constexpr std::uint64_t kX2112 = PowerOfXMod(2048 + 64);
constexpr std::uint64_t kX2048 = PowerOfXMod(2048);
constexpr std::size_t kWideFoldingMinimum = 1024;

#define QALIMOR_CRC_WIDE_TARGET __attribute__((target("avx512f,avx512bw,vpclmulqdq,pclmul,ssse3")))

QALIMOR_CRC_WIDE_TARGET inline __m512i LoadWideBlock(const unsigned char* p) {
    const __m512i reverse =
        _mm512_maskz_broadcast_i32x4(0xFFFF, _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0));
    return _mm512_shuffle_epi8(_mm512_loadu_si512(p), reverse);
}

// The two folding constants in every lane.
QALIMOR_CRC_WIDE_TARGET inline __m512i WideConstants(std::uint64_t high, std::uint64_t low) {
    return _mm512_maskz_broadcast_i32x4(0xFFFF, _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low)));
}

QALIMOR_CRC_WIDE_TARGET inline __m512i FoldWide(__m512i a, __m512i k, __m512i next) {
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(a, k, 0x11), _mm512_clmulepi64_epi128(a, k, 0x00), next,
                                     0x96);
}

QALIMOR_CRC_WIDE_TARGET std::uint32_t UpdateCrcWideFolding(std::uint32_t crc, const unsigned char* data,
                                                           std::size_t size) {
    const __m512i by2048 = WideConstants(kX2112, kX2048);
    const __m512i by512 = WideConstants(kX576, kX512);
    const __m512i entering = _mm512_zextsi128_si512(_mm_set_epi32(static_cast<int>(crc), 0, 0, 0));
    __m512i z0 = _mm512_xor_si512(LoadWideBlock(data), entering);
    __m512i z1 = LoadWideBlock(data + 64);
    __m512i z2 = LoadWideBlock(data + 128);
    __m512i z3 = LoadWideBlock(data + 192);
    data += 256;
    size -= 256;
    while (size >= 256) {
        z0 = FoldWide(z0, by2048, LoadWideBlock(data));
        z1 = FoldWide(z1, by2048, LoadWideBlock(data + 64));
        z2 = FoldWide(z2, by2048, LoadWideBlock(data + 128));
        z3 = FoldWide(z3, by2048, LoadWideBlock(data + 192));
        data += 256;
        size -= 256;
    }
    __m512i z = FoldWide(FoldWide(FoldWide(z0, by512, z1), by512, z2), by512, z3);
    while (size >= 64) {
        z = FoldWide(z, by512, LoadWideBlock(data));
        data += 64;
        size -= 64;
    }
    // The lanes are the four blocks of the narrow loop's last round.
    const __m128i by128 = _mm_set_epi64x(static_cast<long long>(kX192), static_cast<long long>(kX128));
    __m128i a = _mm512_maskz_extracti32x4_epi32(0xF, z, 0);
    a = Fold(a, by128, _mm512_maskz_extracti32x4_epi32(0xF, z, 1));
    a = Fold(a, by128, _mm512_maskz_extracti32x4_epi32(0xF, z, 2));
    a = Fold(a, by128, _mm512_maskz_extracti32x4_epi32(0xF, z, 3));
    return FinishFolding(a, data, size);
}

#undef QALIMOR_CRC_WIDE_TARGET
#undef QALIMOR_CRC_TARGET

bool CanFoldWide() {
    static const bool supported = CanFold() && __builtin_cpu_supports("avx512f") &&
                                  __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("vpclmulqdq");
    return supported;
}

#endif

std::uint32_t UpdateCrc(std::uint32_t crc, const unsigned char* data, std::size_t size) {
#ifdef QALIMOR_CRC_FOLDING
    if (size >= kWideFoldingMinimum && CanFoldWide()) return UpdateCrcWideFolding(crc, data, size);
    if (size >= kFoldingMinimum && CanFold()) return UpdateCrcFolding(crc, data, size);
#endif
    return UpdateCrcBytes(crc, data, size);
}

}  // namespace

KCrcFile::KCrcFile(std::uint64_t baseOffset, KChainedFile* inner, int mode, bool ownsInner)
    : KChainedFile(baseOffset, inner, mode, ownsInner) {}

bool KCrcFile::RunCrc(bool wholeStream, std::uint32_t& crc, std::int64_t& size) {
    crc = 0xFFFFFFFF;
    const std::int64_t position = KChainedFile::Tell();
    size = position;
    if (wholeStream) {
        KChainedFile::Seek(2, 0);
        size = KChainedFile::Tell();
    }
    KChainedFile::Seek(0, 0);

    bool whole = position >= 0 && size >= 0;
    // A stream in memory is run over where it lies rather than copied out chunk by chunk.
    std::int64_t bufferSize = 0;
    const auto* bytes = static_cast<const unsigned char*>(KChainedFile::GetMemoryBuffer(&bufferSize));
    const bool inPlace = whole && bytes != nullptr && size <= bufferSize;
    if (inPlace) crc = UpdateCrc(crc, bytes, static_cast<std::size_t>(size));
    unsigned char chunk[32768];
    for (std::int64_t left = whole && !inPlace ? size : 0; left > 0;) {
        const std::int64_t wanted = left < static_cast<std::int64_t>(sizeof chunk) ? left : sizeof chunk;
        const std::int64_t got = KChainedFile::Read(chunk, wanted);
        if (got <= 0 || got > wanted) {
            whole = false;
            break;
        }
        crc = UpdateCrc(crc, chunk, static_cast<std::size_t>(got));
        left -= got;
    }
    if (position >= 0) KChainedFile::SetPosition(position);
    return whole;
}

std::uint32_t KCrcFile::ComputeCrc() {
    std::uint32_t crc = 0;
    std::int64_t size = 0;
    RunCrc(true, crc, size);
    return crc;
}

bool KCrcFile::CheckCrc() {
    if (mMode != eREAD) return false;
    std::uint32_t crc = 0;
    std::int64_t size = 0;
    // A stream shorter than its trailer cannot hold one.
    return RunCrc(true, crc, size) && size >= 4 && crc == kResidue;
}

bool KCrcFile::Close() {
    bool trailerWritten = true;
    if (mMode == eWRITE) {
        std::uint32_t crc = 0;
        std::int64_t size = 0;
        // The trailer follows the last byte written. Over a file that is the
        // end of the stream; a memory buffer may be larger than its content.
        trailerWritten = RunCrc(false, crc, size);
        if (trailerWritten) {
            const std::uint32_t c = ~crc;
            const unsigned char trailer[4] = {static_cast<unsigned char>(c >> 24), static_cast<unsigned char>(c >> 16),
                                              static_cast<unsigned char>(c >> 8), static_cast<unsigned char>(c)};
            trailerWritten = KChainedFile::Write(trailer, 4) == 4;
        }
        // A file without its trailer is not one to keep.
        if (!trailerWritten) Discard();
    }
    const bool closed = KChainedFile::Close();
    return trailerWritten && closed;
}

}  // namespace fbxsdk_2006_11_1
