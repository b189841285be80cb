#include <fbxfilesdk/core/KChainedFile.h>

#include <fbxfilesdk/core/KFile.h>
#include <fbxfilesdk/core/KMemoryFile.h>
#include <fbxfilesdk/core/StreamText.h>

#include <cstdarg>
#include <cstring>

namespace fbxsdk_2006_11_1 {

KChainedFile::KChainedFile(std::uint64_t baseOffset, KChainedFile* inner, int mode, bool ownsInner)
    : mBaseOffset(baseOffset), mInner(inner), mMode(mode), mOwnsInner(ownsInner) {}

KChainedFile::~KChainedFile() {
    if (mInner != nullptr && mOwnsInner) delete mInner;
    mInner = nullptr;
}

bool KChainedFile::OpenMemory(void* buffer, std::int64_t size, bool growable) {
    bool opened = false;
    if (mInner != nullptr) {
        opened = mInner->OpenMemory(buffer, size, growable);
    } else {
        mOwnFile.reset();
        auto memory = std::make_unique<KMemoryFile>();
        opened = memory->Attach(buffer, size, growable);
        mOwnFile = std::move(memory);
    }
    mMode = opened ? eREAD : eCLOSED;
    return opened;
}

bool KChainedFile::OpenWithModeString(const char* name, const char* mode) {
    bool opened = false;
    if (mInner != nullptr) {
        opened = mInner->OpenWithModeString(name, mode);
    } else {
        mOwnFile.reset();
        mOwnFile = std::make_unique<KFile>();
        opened = name != nullptr && mode != nullptr && mOwnFile->OpenWithModeString(name, mode);
    }
    mMode = !opened ? eCLOSED : (mode != nullptr && std::strchr(mode, 'r') != nullptr ? eREAD : eWRITE);
    return opened;
}

bool KChainedFile::Open(const char* name, int mode, bool text) {
    bool opened = false;
    if (mInner != nullptr) {
        opened = mInner->Open(name, mode, text);
    } else {
        mOwnFile.reset();
        mOwnFile = std::make_unique<KFile>();
        opened = name != nullptr && mOwnFile->Open(name, mode, text);
    }
    mMode = !opened ? eCLOSED : (mode == 0 ? eREAD : eWRITE);
    return opened;
}

bool KChainedFile::OpenReplacing(const char* name, bool readBack) {
    bool opened = false;
    if (mInner != nullptr) {
        opened = mInner->OpenReplacing(name, readBack);
    } else {
        mOwnFile = std::make_unique<KFile>();
        opened = mOwnFile->OpenReplacing(name, readBack);
    }
    mMode = opened ? eWRITE : eCLOSED;
    return opened;
}

void KChainedFile::Discard() {
    if (mInner != nullptr) {
        mInner->Discard();
    } else if (mOwnFile != nullptr) {
        mOwnFile->Discard();
    }
}

bool KChainedFile::Close() {
    bool closed = false;
    if (mInner != nullptr) {
        closed = mInner->Close();
    } else if (mOwnFile != nullptr && mOwnFile->IsOpen()) {
        closed = mOwnFile->Finish();
    }
    mMode = eCLOSED;
    return closed;
}

std::int64_t KChainedFile::Read(void* buffer, std::int64_t count) {
    if (mInner != nullptr) return mInner->Read(buffer, count);
    if (mOwnFile != nullptr) return mOwnFile->Read(buffer, count);
    return 0;
}

char* KChainedFile::ReadString(char* buffer, int size) {
    if (mInner != nullptr) return mInner->ReadString(buffer, size);
    if (mOwnFile != nullptr) return mOwnFile->ReadString(buffer, size);
    return nullptr;
}

std::int64_t KChainedFile::Write(const void* buffer, std::int64_t count) {
    if (mInner != nullptr) return mInner->Write(buffer, count);
    if (mOwnFile != nullptr) return mOwnFile->Write(buffer, count);
    return 0;
}

void KChainedFile::Seek(int origin, std::int64_t offset) {
    if (mInner != nullptr) {
        mInner->Seek(origin, offset);
    } else if (mOwnFile != nullptr) {
        mOwnFile->Seek(origin, offset);
    }
}

std::int64_t KChainedFile::Tell() {
    if (mInner != nullptr) return mInner->Tell();
    if (mOwnFile != nullptr) return mOwnFile->Tell();
    return 0;
}

void KChainedFile::SetPosition(std::int64_t offset) {
    if (mInner != nullptr) {
        mInner->SetPosition(offset);
    } else if (mOwnFile != nullptr) {
        mOwnFile->SetPosition(offset);
    }
}

bool KChainedFile::IsOpen() {
    if (mInner != nullptr) return mInner->IsOpen();
    if (mOwnFile != nullptr) return mOwnFile->IsOpen();
    return false;
}

int KChainedFile::Error() {
    if (mInner != nullptr) return mInner->Error();
    if (mOwnFile != nullptr) return mOwnFile->Error();
    return 0;
}

int KChainedFile::GetSystemError() {
    if (mInner != nullptr) return mInner->GetSystemError();
    if (mOwnFile != nullptr) return mOwnFile->GetSystemError();
    return 0;
}

void KChainedFile::Flush() {
    if (mInner != nullptr) {
        mInner->Flush();
    } else if (mOwnFile != nullptr) {
        mOwnFile->Flush();
    }
}

bool KChainedFile::Eof() {
    if (mInner != nullptr) return mInner->Eof();
    if (mOwnFile != nullptr) return mOwnFile->Eof();
    return false;
}

void KChainedFile::Printf(const char* format, ...) {
    char text[kStreamTextBufferSize];
    va_list args;
    va_start(args, format);
    const int length = FormatStreamText(text, format, args);
    va_end(args);
    KChainedFile::Write(text, length);
}

int KChainedFile::SetSize(std::int64_t size) {
    if (mInner != nullptr) return mInner->SetSize(size);
    if (mOwnFile != nullptr) return mOwnFile->SetSize(size);
    return -1;
}

void* KChainedFile::GetMemoryBuffer(std::int64_t* size) {
    return mOwnFile != nullptr ? mOwnFile->GetMemoryBuffer(size) : nullptr;
}

}  // namespace fbxsdk_2006_11_1
