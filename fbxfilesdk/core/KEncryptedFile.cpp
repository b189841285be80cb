#include <fbxfilesdk/core/KEncryptedFile.h>

#include <fbxfilesdk/core/StreamText.h>

#include <cstdarg>
#include <cstdint>
#include <cstring>

#include <string.h>

namespace fbxsdk_2006_11_1 {

namespace {

enum { kNoTransfer = 0, kLastRead = 1, kLastWrite = 2 };

// Tell answers in a signed 64-bit value: positions stay at or below this.
constexpr std::uint64_t kMaxPosition = static_cast<std::uint64_t>(INT64_MAX);

constexpr int kBlockBits = KEncryptedFile::kBlockSize * 8;

}  // namespace

KEncryptedFile::KEncryptedFile(const unsigned char* key, std::uint64_t baseOffset, KChainedFile* inner, int mode,
                               bool ownsInner)
    : KChainedFile(baseOffset, inner, mode, ownsInner),
      mLastDirection(kNoTransfer),
      mPosition(baseOffset),
      mHeldBlock(-1),
      mLastTransferredBlock(-1),
      mLastBlock(-1),
      mPlainBlock(),
      mCipherBlock(),
      mCipher(),
      mKey(),
      mKeyReady(false) {
    if (mode != eCLOSED && inner != nullptr && inner->IsOpen()) {
        const std::int64_t position = inner->Tell();
        if (position >= 0) mPosition = static_cast<std::uint64_t>(position);
        FindLastBlock();
    }
    if (key == nullptr) return;
    TwofishCipherInit(&mCipher, eTWOFISH_ECB, nullptr);
    TwofishMakeKey(&mKey, eTWOFISH_DECRYPT, 128, nullptr);
    for (int i = 0; i < kBlockSize; ++i) mKey.keyWords[i / 4] |= static_cast<std::uint32_t>(key[i]) << (8 * (i % 4));
    mKeyReady = TwofishReKey(&mKey) == eTWOFISH_OK;
}

KEncryptedFile::~KEncryptedFile() {
    // Neither the key nor plain text outlives the layer in freed memory (a
    // plain memset of a dying object may be left out by the compiler).
    explicit_bzero(&mKey, sizeof mKey);
    explicit_bzero(mPlainBlock, sizeof mPlainBlock);
}

KEncryptedFile::Block KEncryptedFile::BlockIndex(std::uint64_t position) const {
    return static_cast<Block>((position - mBaseOffset) / kBlockSize);
}

std::uint64_t KEncryptedFile::BlockStart(Block block) const {
    return mBaseOffset + static_cast<std::uint64_t>(block) * kBlockSize;
}

std::uint64_t KEncryptedFile::BlockStartOf(std::uint64_t position) const { return BlockStart(BlockIndex(position)); }

int KEncryptedFile::OffsetInBlock(std::uint64_t position) const {
    return static_cast<int>(position - BlockStartOf(position));
}

void KEncryptedFile::FindLastBlock() {
    const std::int64_t position = KChainedFile::Tell();
    KChainedFile::Seek(2, 0);
    const std::int64_t size = KChainedFile::Tell();
    mLastBlock = size < 0 || static_cast<std::uint64_t>(size) <= mBaseOffset
                     ? -1
                     : static_cast<Block>((static_cast<std::uint64_t>(size) - 1 - mBaseOffset) / kBlockSize);
    if (position >= 0) KChainedFile::SetPosition(position);
}

void KEncryptedFile::EncryptBlock() { TwofishBlockEncrypt(&mCipher, &mKey, mPlainBlock, kBlockBits, mCipherBlock); }

void KEncryptedFile::DecryptBlock() { TwofishBlockDecrypt(&mCipher, &mKey, mCipherBlock, kBlockBits, mPlainBlock); }

void KEncryptedFile::ForgetHeldBlock() {
    mHeldBlock = -1;
    std::memset(mPlainBlock, 0, sizeof mPlainBlock);
}

// Some streams ignore a position they cannot reach (a memory buffer past its
// end), and a transfer there would land on another block: check where we are.
bool KEncryptedFile::MoveToBlock(Block block) {
    const std::uint64_t start = BlockStart(block);
    if (start > kMaxPosition) return false;
    KChainedFile::SetPosition(static_cast<std::int64_t>(start));
    return KChainedFile::Tell() == static_cast<std::int64_t>(start);
}

bool KEncryptedFile::LoadBlock(Block block) {
    if (block > mLastBlock) {
        std::memset(mPlainBlock, 0, sizeof mPlainBlock);
        return true;
    }
    const bool inPlace = mLastTransferredBlock == block - 1 && mLastDirection == kLastRead;
    // A block the stream holds only part of is damage, not data: deciphering
    // it would hand out garbage as plain text.
    if ((!inPlace && !MoveToBlock(block)) || KChainedFile::Read(mCipherBlock, kBlockSize) != kBlockSize) {
        mLastTransferredBlock = -1;
        return false;
    }
    mLastTransferredBlock = block;
    mLastDirection = kLastRead;
    DecryptBlock();
    return true;
}

bool KEncryptedFile::StoreBlock(Block block) {
    EncryptBlock();
    const bool inPlace = mLastTransferredBlock == block - 1 && mLastDirection == kLastWrite;
    if ((!inPlace && !MoveToBlock(block)) || KChainedFile::Write(mCipherBlock, kBlockSize) != kBlockSize) {
        // Where the stream now stands is unknown: the next transfer seeks.
        mLastTransferredBlock = -1;
        return false;
    }
    mLastTransferredBlock = block;
    mLastDirection = kLastWrite;
    if (block > mLastBlock) mLastBlock = block;
    return true;
}

bool KEncryptedFile::WriteToBlock(Block block, int offset, int length, const unsigned char* source) {
    if (block != mHeldBlock) {
        // A held block that cannot be written stays held rather than lost.
        if (mHeldBlock != -1 && !StoreBlock(mHeldBlock)) return false;
        if (!(offset == 0 && length >= kBlockSize) && !LoadBlock(block)) {
            ForgetHeldBlock();
            return false;
        }
        mHeldBlock = block;
    }
    std::memcpy(mPlainBlock + offset, source, static_cast<std::size_t>(length));
    return true;
}

bool KEncryptedFile::ReadFromBlock(Block block, int offset, int length, unsigned char* destination) {
    if (block != mHeldBlock) {
        if (block > mLastBlock) return false;
        if (mMode == eWRITE && mHeldBlock != -1 && !StoreBlock(mHeldBlock)) return false;
        if (!LoadBlock(block)) {
            ForgetHeldBlock();
            return false;
        }
        mHeldBlock = block;
    }
    std::memcpy(destination, mPlainBlock + offset, static_cast<std::size_t>(length));
    return true;
}

std::int64_t KEncryptedFile::Transfer(std::int64_t count, const unsigned char* source, unsigned char* destination) {
    if (count <= 0 || !mKeyReady || !IsOpen() || mPosition < mBaseOffset) return 0;
    if (static_cast<std::uint64_t>(count) > kMaxPosition - mPosition) {
        count = static_cast<std::int64_t>(kMaxPosition - mPosition);
    }
    std::int64_t done = 0;
    while (done < count) {
        const Block block = BlockIndex(mPosition);
        const int offset = OffsetInBlock(mPosition);
        const int length = kBlockSize - offset < count - done ? kBlockSize - offset : static_cast<int>(count - done);
        const bool moved = source != nullptr ? WriteToBlock(block, offset, length, source + done)
                                             : ReadFromBlock(block, offset, length, destination + done);
        if (!moved) break;
        mPosition += static_cast<std::uint64_t>(length);
        done += length;
    }
    return done;
}

std::int64_t KEncryptedFile::Write(const void* buffer, std::int64_t count) {
    return buffer != nullptr ? Transfer(count, static_cast<const unsigned char*>(buffer), nullptr) : 0;
}

std::int64_t KEncryptedFile::Read(void* buffer, std::int64_t count) {
    return buffer != nullptr ? Transfer(count, nullptr, static_cast<unsigned char*>(buffer)) : 0;
}

void KEncryptedFile::Seek(int origin, std::int64_t offset) {
    std::int64_t from = 0;
    if (origin == 1) {
        from = static_cast<std::int64_t>(mPosition);
    } else if (origin == 2) {
        KChainedFile::Seek(2, 0);
        from = KChainedFile::Tell();
    }
    std::int64_t target = 0;
    if (__builtin_add_overflow(from, offset, &target) || target < 0) return;
    SetPosition(target);
}

void KEncryptedFile::SetPosition(std::int64_t offset) {
    if (offset < 0 || !IsOpen()) return;
    KChainedFile::Flush();
    KChainedFile::SetPosition(offset);
    mLastTransferredBlock = -1;
    if (KChainedFile::Error() == 0) mPosition = static_cast<std::uint64_t>(offset);
}

std::int64_t KEncryptedFile::Tell() {
    if (!IsOpen()) return 0;
    if (KChainedFile::Tell() == -1) return -1;
    return static_cast<std::int64_t>(mPosition);
}

bool KEncryptedFile::Close() {
    bool stored = true;
    if (mMode == eWRITE && mHeldBlock != -1) stored = StoreBlock(mHeldBlock);
    if (!stored) Discard();
    ForgetHeldBlock();
    mLastTransferredBlock = -1;
    mLastDirection = kNoTransfer;
    const bool closed = KChainedFile::Close();
    return stored && closed;
}

void KEncryptedFile::Printf(const char* format, ...) {
    if (format == nullptr) return;
    char text[kStreamTextBufferSize];
    va_list args;
    va_start(args, format);
    const int length = FormatStreamText(text, format, args);
    va_end(args);
    Write(text, length + 1);
}

bool KEncryptedFile::OpenFile(KString name, int mode, bool text) {
    mLastDirection = kNoTransfer;
    mPosition = mBaseOffset;
    ForgetHeldBlock();
    mLastTransferredBlock = -1;
    if (!KChainedFile::Open(name.Buffer(), mode == 0 ? 0 : 2, text)) {
        mLastBlock = -1;
        return false;
    }
    FindLastBlock();
    if (mBaseOffset <= kMaxPosition) KChainedFile::SetPosition(static_cast<std::int64_t>(mBaseOffset));
    return true;
}

bool KEncryptedFile::OpenWithModeString(KString name, KString mode) {
    return OpenFile(name, mode.Find('r') >= 0 ? 0 : 2, mode.Find('t') >= 0);
}

char* KEncryptedFile::ReadLine(char* buffer, int size) {
    if (buffer == nullptr || size < 1) return nullptr;
    int copied = 0;
    while (copied < size - 1) {
        char c = 0;
        if (Read(&c, 1) != 1) {
            buffer[copied] = '\0';
            return nullptr;
        }
        buffer[copied++] = c;
        if (c == '\n') break;
    }
    buffer[copied] = '\0';
    return buffer;
}

}  // namespace fbxsdk_2006_11_1
