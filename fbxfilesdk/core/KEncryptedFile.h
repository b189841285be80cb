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
    KEncryptedFile(const unsigned char* key, std::uint32_t baseOffset = 0, KChainedFile* inner = nullptr,
                   int mode = eCLOSED, bool ownsInner = false);
    ~KEncryptedFile() override;

    // Stores a held block in write mode, then closes the layer below. False
    // when either failed.
    bool Close() override;
    // Whole blocks' bytes, the zero or stale tail of the last block included.
    // Stops at the end of the stream, at a block the stream holds only part
    // of, and before the base offset; returns the bytes copied.
    int Read(void* buffer, int count) override;
    // Returns the bytes taken: all of them unless a block could not be read
    // or written back, or the position is before the base offset.
    int Write(const void* buffer, int count) override;
    // Origin 1 from the position, 2 from the end of the stream below, any
    // other from the start of the stream below.
    void Seek(int origin, int offset) override;
    // 0 when closed, -1 when the stream below cannot tell.
    int Tell() override;
    // Negative positions are ignored. A held block stays held.
    void SetPosition(int offset) override;
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
    int BlockIndex(std::uint32_t position) const;
    std::uint32_t BlockStart(int block) const;
    std::uint32_t BlockStartOf(std::uint32_t position) const;
    int OffsetInBlock(std::uint32_t position) const;

    void FindLastBlock();
    bool MoveToBlock(int block);
    bool LoadBlock(int block);
    bool StoreBlock(int block);
    bool WriteToBlock(int block, int offset, int length, const unsigned char* source);
    bool ReadFromBlock(int block, int offset, int length, unsigned char* destination);
    // Splits a transfer at block borders: writes from source when it is
    // given, else reads into destination. Returns the bytes moved.
    int Transfer(int count, const unsigned char* source, unsigned char* destination);
    void EncryptBlock();
    void DecryptBlock();
    void ForgetHeldBlock();

    int mLastDirection;
    std::uint32_t mPosition;
    int mHeldBlock;
    int mLastTransferredBlock;
    int mLastBlock;
    unsigned char mPlainBlock[kBlockSize];
    unsigned char mCipherBlock[kBlockSize];
    TwofishCipher mCipher;
    TwofishKey mKey;
    bool mKeyReady;
};

}  // namespace fbxsdk_2006_11_1

#endif
