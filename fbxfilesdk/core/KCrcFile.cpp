#include <fbxfilesdk/core/KCrcFile.h>

#include <array>
#include <cstddef>

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

std::uint32_t UpdateCrc(std::uint32_t crc, const unsigned char* data, std::size_t size) {
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
    unsigned char chunk[32768];
    for (std::int64_t left = whole ? size : 0; left > 0;) {
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
    }
    const bool closed = KChainedFile::Close();
    return trailerWritten && closed;
}

}  // namespace fbxsdk_2006_11_1
