// A chain layer that ends a written stream with a CRC-32 trailer and checks
// the trailer of a stream being read. The CRC is the non-reflected one of
// polynomial 0x04C11DB7, started at 0xFFFFFFFF; the trailer is the inverted
// CRC of everything before it, most significant byte first. Both the trailer
// and the check read the whole stream back through the layer below, so a
// layer that writes must sit on a stream that can also be read ("w+" or
// memory).
#ifndef FBXFILESDK_CORE_KCRCFILE_H
#define FBXFILESDK_CORE_KCRCFILE_H

#include <fbxfilesdk/core/KChainedFile.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class KCrcFile : public KChainedFile {
public:
    // What the register holds after running over a stream and its matching trailer.
    static constexpr std::uint32_t kResidue = 0xC704DD7B;

    KCrcFile(std::uint64_t baseOffset = 0, KChainedFile* inner = nullptr, int mode = eCLOSED,
             bool ownsInner = false);

    // In write mode the trailer is written first, at the current position,
    // over the bytes before it. False when the trailer could not be computed
    // or written (the layer is closed all the same).
    bool Close() override;

    // The register after every byte of the stream, without final inversion.
    // The position is left where it was.
    std::uint32_t ComputeCrc();
    // Only in read mode: true when the stream holds a trailer that matches.
    bool CheckCrc();

private:
    // Runs the register from the start to the end of the stream, or only up
    // to the current position; false when those bytes could not all be read.
    bool RunCrc(bool wholeStream, std::uint32_t& crc, std::int64_t& size);
};

}  // namespace fbxsdk_2006_11_1

#endif
