// A chain layer that enciphers what is written through it and deciphers what
// is read, in independent 16-byte Twofish blocks (electronic codebook, 128-bit
// key). The stream is the layer below up to the base offset, left as written
// there, then block k at base offset + 16 k. There is no header, padding or
// length of this layer's own: the plain content is a whole number of blocks,
// and the format written through it must know its own end.
//
// Positions are offsets of the underlying stream: the first plain byte is at
// the base offset. One block is held in plain text; in write mode it reaches
// the stream when another block is touched or at Close, so destroying the
// layer without closing it loses that block.
#ifndef FBXFILESDK_CORE_KENCRYPTEDFILE_H
#define FBXFILESDK_CORE_KENCRYPTEDFILE_H

#include <fbxfilesdk/core/KChainedFile.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/Twofish.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class KEncryptedFile : public KChainedFile {
public:
    static constexpr int kBlockSize = 16;

    // The key is 16 bytes. A null key gives a layer that reads and writes nothing.
    KEncryptedFile(const unsigned char* key, std::uint64_t baseOffset = 0, KChainedFile* inner = nullptr,
                   int mode = eCLOSED, bool ownsInner = false);
    ~KEncryptedFile() override;

    // Stores a held block in write mode, then closes the layer below. False
    // when either failed.
    bool Close() override;
    // Whole blocks' bytes, the zero or stale tail of the last block included.
    // Stops at the end of the stream, at a block the stream holds only part
    // of, and before the base offset; returns the bytes copied.
    std::int64_t Read(void* buffer, std::int64_t count) override;
    // Returns the bytes taken: all of them unless a block could not be read
    // or written back, or the position is before the base offset.
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    // Origin 1 from the position, 2 from the end of the stream below, any
    // other from the start of the stream below.
    void Seek(int origin, std::int64_t offset) override;
    // 0 when closed, -1 when the stream below cannot tell.
    std::int64_t Tell() override;
    // Negative positions are ignored. A held block stays held.
    void SetPosition(std::int64_t offset) override;
    // Writes the text and its terminating zero byte.
    __attribute__((format(printf, 2, 3))) void Printf(const char* format, ...) override;

    // Mode 0 opens for reading; any other mode opens "w+" so that blocks can
    // be read back while writing.
    virtual bool OpenFile(KString name, int mode, bool text);
    // Reading when the mode text holds 'r'; text when it holds 't'.
    virtual bool OpenWithModeString(KString name, KString mode);
    // One line, its line feed kept. Null for a size below 1, and when the end
    // came before a line feed or size - 1 bytes (the bytes read stay in buffer).
    virtual char* ReadLine(char* buffer, int size);

private:
    // Block -1 is none.
    using Block = std::int64_t;

    Block BlockIndex(std::uint64_t position) const;
    std::uint64_t BlockStart(Block block) const;
    std::uint64_t BlockStartOf(std::uint64_t position) const;
    int OffsetInBlock(std::uint64_t position) const;

    void FindLastBlock();
    bool MoveToBlock(Block block);
    bool LoadBlock(Block block);
    bool StoreBlock(Block block);
    bool WriteToBlock(Block block, int offset, int length, const unsigned char* source);
    bool ReadFromBlock(Block block, int offset, int length, unsigned char* destination);
    // Splits a transfer at block borders: writes from source when it is
    // given, else reads into destination. Returns the bytes moved.
    std::int64_t Transfer(std::int64_t count, const unsigned char* source, unsigned char* destination);
    void EncryptBlock();
    void DecryptBlock();
    void ForgetHeldBlock();

    int mLastDirection;
    std::uint64_t mPosition;
    Block mHeldBlock;
    Block mLastTransferredBlock;
    Block mLastBlock;
    unsigned char mPlainBlock[kBlockSize];
    unsigned char mCipherBlock[kBlockSize];
    TwofishCipher mCipher;
    TwofishKey mKey;
    bool mKeyReady;
};

}  // namespace fbxsdk_2006_11_1

#endif
