#include <fbxfilesdk/fbx/KFbx.h>

#include <fbxfilesdk/fbx/FieldAsciiEncoder.h>
#include <fbxfilesdk/fbx/FieldAsciiParser.h>
#include <fbxfilesdk/fbx/FieldAsciiSyntax.h>
#include <fbxfilesdk/fbx/FieldBinaryEncoder.h>
#include <fbxfilesdk/fbx/FieldBinaryParser.h>
#include <fbxfilesdk/fbx/FieldBytes.h>
#include <fbxfilesdk/fbx/FieldFormat.h>

#include <fbxfilesdk/core/KChainedFile.h>
#include <fbxfilesdk/core/KCrcFile.h>
#include <fbxfilesdk/core/KEncryptedFile.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <platform/os/Folder.h>

#include <nettle/sha2.h>

#include <charconv>
#include <climits>
#include <cstring>
#include <string>
#include <system_error>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kErrorTexts[KFbx::eErrorCount] = {
    "File is corrupted",   "File version not supported", "Invalid field operation", "File not opened",
    "File not created",    "Out of disk space",          "CRC check failed",        "Wrong password",
    "Write error",         "Beyond the limits of the file format", "Out of memory",
};

// The header block other readers of ascii files look for first.
constexpr char kAsciiHeaderBlock[] = "FBXHeaderExtension";
constexpr int kAsciiHeaderVersion = 1003;
constexpr int kAsciiTimeStampVersion = 1000;
// Starts each ascii section after the main one; its value is the version.
constexpr char kAsciiSectionMarker[] = "Section";

std::string NoHeaderBlockFirst() { return std::string("the file does not begin with ") + kAsciiHeaderBlock; }

// "FBX 6.1.0 project file" for file version 6100: major, minor and patch
// are its thousands, hundreds and tens.
std::string AsciiVersionLine(int version) {
    std::string line = "FBX ";
    const int parts[3] = {version / 1000, version / 100 % 10, version / 10 % 10};
    for (int i = 0; i < 3; ++i) {
        char digits[16];
        const auto written = std::to_chars(digits, digits + sizeof digits, parts[i]);
        if (i > 0) line += '.';
        line.append(digits, written.ptr);
    }
    return line + " project file";
}
constexpr char kFileIdName[] = "FileId";
constexpr std::size_t kFileIdSize = 16;

const char* const kTimeStampNames[7] = {"Year", "Month", "Day", "Hour", "Minute", "Second", "Millisecond"};

std::int32_t& TimeStampField(KFbxDateTime& t, int index) {
    std::int32_t* fields[7] = {&t.mYear, &t.mMonth, &t.mDay, &t.mHour, &t.mMinute, &t.mSecond, &t.mMillisecond};
    return *fields[index];
}

bool ReadAll(KChainedFile& file, unsigned char* out, std::uint64_t count) {
    const auto wanted = static_cast<std::int64_t>(count);
    return count == 0 || file.Read(out, wanted) == wanted;
}

// The path and the system's reason why it could not be opened.
std::string NotCreatedDetail(const char* path, KChainedFile& file) {
    const int error = file.GetSystemError();
    return error != 0 ? std::string(path) + ": " + std::strerror(error) : std::string(path);
}

}  // namespace

KFbx::KFbx() : mError(kErrorTexts, eErrorCount) { ResetState(); }

KFbx::~KFbx() {
    // A file being written is finished rather than left without its end; a
    // memory buffer stays the caller's, untouched.
    if (mMode == eWrite && !mMemory) FileClose();
}

void KFbx::ResetState() {
    mMode = eClosed;
    mBinary = false;
    mEncrypted = false;
    mMemory = false;
    mFileName = "";
    mEncryptedFile.reset();
    mCrcFile.reset();
    mTextFile.reset();
    mOutput.Reset();
    mEncoder.reset();
    mWriteFrames.clear();
    mHeaderSize = 0;
    mSectionStart = 0;
    mWriteSectionCount = 0;
    mSectionOpen = false;
    mPasswordWritten = false;
    mWriteFailed = false;
    mDiscardAtClose = false;
    mFieldName.clear();
    mNotFinite.clear();
    mMemoryBuffer = nullptr;
    mMemorySize = 0;
    mImage.Clear();
    mFileFolder.Release();
    mLocked = false;
    mTree.Clear();
    mCurrentSection = 0;
    mLevels.clear();
    mDepth = 0;
    mScratch.clear();
    mContentLoss.clear();
}

bool KFbx::StartFresh() {
    if (mMode != eClosed) {
        SetError(eInvalidFieldOperation, "a file is already open");
        return false;
    }
    mError.ClearError();
    ResetState();
    return true;
}

bool KFbx::RequireMode(EMode mode) {
    if (mMode == mode) return true;
    SetError(mMode == eClosed ? eFileNotOpened : eInvalidFieldOperation);
    return false;
}

void KFbx::SetError(EError code, const std::string& detail) {
    if (detail.empty()) {
        mError.SetError(code);
    } else {
        const std::string text = std::string(kErrorTexts[code]) + " (" + detail + ")";
        mError.SetErrorWithText(code, text.c_str());
    }
}

int KFbx::GetLastErrorCode() const { return mError.GetLastErrorID(); }

const char* KFbx::GetLastErrorText() const { return mError.GetLastErrorString(); }

// ---------------------------------------------------------------------------
// Creating and closing files.

bool KFbx::FileCreate(const char* path, bool binary, bool encrypted, const KFbxFileHeaderInfo* headerInfo) {
    if (!StartFresh()) return false;
    mFileHeader = FieldFileHeader();
    if (headerInfo != nullptr) mFileHeader.info = *headerInfo;
    if (path == nullptr || mFileHeader.info.mCreator.GetLen() > static_cast<int>(FieldFileHeader::kMaxCreatorLength)) {
        SetError(eFileNotCreated, path == nullptr ? "no path" : "creator text too long");
        return false;
    }
    mBinary = binary || encrypted;
    mEncrypted = encrypted;
    mFileName = path;
    if (mBinary) {
        mCrcFile = std::make_unique<KCrcFile>();
        // Read back as well: the trailer is computed over what was written.
        if (!mCrcFile->OpenReplacing(path, true)) {
            const std::string detail = NotCreatedDetail(path, *mCrcFile);
            ResetState();
            SetError(eFileNotCreated, detail);
            return false;
        }
        const KFbxFileHeaderInfo& info = mFileHeader.info;
        mFileHeader.flags = 0;
        if (encrypted) mFileHeader.flags |= FieldFileHeader::eEncrypted;
        if (info.mCreationTimeStampPresent) mFileHeader.flags |= FieldFileHeader::eTimeStamp;
        if (info.mResolutionPresent) mFileHeader.flags |= FieldFileHeader::eResolution;
        // Salt is drawn only where a secret is derived from it, so a plain
        // file is the same on every write of the same scene.
        std::memset(mFileHeader.salt, 0, sizeof mFileHeader.salt);
        if (encrypted) MakePasswordSalt(mFileHeader.salt);
        mFileHeader.Write(mOutput);
        mHeaderSize = mOutput.Position();
        // An encrypted body waits in memory until its key is known.
        if (!encrypted) mOutput.SetStream(mCrcFile.get());
        mEncoder = std::make_unique<FieldBinaryEncoder>(mOutput);
    } else {
        mTextFile = std::make_unique<KChainedFile>();
        if (!mTextFile->OpenReplacing(path, false)) {
            const std::string detail = NotCreatedDetail(path, *mTextFile);
            ResetState();
            SetError(eFileNotCreated, detail);
            return false;
        }
        mOutput.SetStream(mTextFile.get());
        mEncoder = std::make_unique<FieldAsciiEncoder>(mOutput);
        WriteAsciiHeader();
    }
    mFileName = path;
    mMode = eWrite;
    return OpenSection();
}

void KFbx::WriteAsciiHeader() {
    const KFbxFileHeaderInfo& info = mFileHeader.info;
    FieldEncoder& encoder = *mEncoder;
    // Readers of ascii files tell the version from the first line before
    // they parse a field: "; FBX 6.1.0 project file" for version 6100.
    encoder.WriteComment(AsciiVersionLine(info.mFileVersion).c_str());
    auto begin = [&encoder](const char* name) { encoder.BeginField(name, std::strlen(name)); };
    auto intField = [&](const char* name, int value) {
        begin(name);
        encoder.WriteInt(value);
        encoder.EndField();
    };
    begin(kAsciiHeaderBlock);
    encoder.BeginBlock();
    intField("FBXHeaderVersion", kAsciiHeaderVersion);
    intField("FBXVersion", info.mFileVersion);
    if (info.mCreationTimeStampPresent) {
        begin("CreationTimeStamp");
        encoder.BeginBlock();
        intField("Version", kAsciiTimeStampVersion);
        KFbxDateTime stamp = info.mCreationTimeStamp;
        for (int i = 0; i < 7; ++i) intField(kTimeStampNames[i], TimeStampField(stamp, i));
        encoder.EndBlock();
        encoder.EndField();
    }
    if (info.mResolutionPresent) {
        begin("CameraResolution");
        encoder.WriteDouble(info.mResolutionWidth);
        encoder.WriteDouble(info.mResolutionHeight);
        encoder.EndField();
    }
    begin("Creator");
    encoder.WriteString(info.mCreator.Buffer(), static_cast<std::size_t>(info.mCreator.GetLen()));
    encoder.EndField();
    encoder.EndBlock();
    encoder.EndField();
}

bool KFbx::OpenSection() {
    if (mBinary) {
        mSectionStart = mOutput.Position();
        mOutput.AppendLittleEndian(0, 8);
        mOutput.AppendLittleEndian(static_cast<std::uint32_t>(mFileHeader.info.mFileVersion), 4);
    } else if (mWriteSectionCount > 0) {
        mEncoder->BeginField(kAsciiSectionMarker, sizeof kAsciiSectionMarker - 1);
        mEncoder->WriteInt(mFileHeader.info.mFileVersion);
        mEncoder->EndField();
    }
    mSectionOpen = true;
    ++mWriteSectionCount;
    return true;
}

bool KFbx::WriteFileId() {
    // Derived from the salt rather than drawn: equal scenes make equal plain
    // files, and a protected file's id is as fresh as its salt.
    unsigned char digest[SHA256_DIGEST_SIZE];
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, sizeof kFileIdName - 1, reinterpret_cast<const std::uint8_t*>(kFileIdName));
    sha256_update(&context, sizeof mFileHeader.salt, mFileHeader.salt);
    sha256_digest(&context, sizeof digest, digest);
    static_assert(kFileIdSize <= SHA256_DIGEST_SIZE);
    mEncoder->BeginField(kFileIdName, sizeof kFileIdName - 1);
    mEncoder->WriteRaw(digest, kFileIdSize);
    return mEncoder->EndField();
}

void KFbx::CloseOpenFields() {
    // After a failure the writes are skipped, and so the records left open.
    while (!mWriteFrames.empty() && !mWriteFailed) {
        if (mWriteFrames.back().blockOpen) FieldWriteBlockEnd();
        FieldWriteEnd();
    }
    mWriteFrames.clear();
}

bool KFbx::CloseFileIdentity() {
    if (!RequireMode(eWrite)) return false;
    if (!mSectionOpen) return false;
    CloseOpenFields();
    if (mMemory) return true;
    if (mBinary) {
        if (mWriteSectionCount == 1) WriteFailed(WriteFileId());
        WriteFailed(mOutput.PatchLittleEndian(mSectionStart, mOutput.Position(), 8));
    }
    mSectionOpen = false;
    WriteFailed(mOutput.FlushIfLarge());
    return !mWriteFailed;
}

bool KFbx::ProjectSectionAppend(int flags) {
    (void)flags;  // sections are only ever appended: there is nothing to overwrite
    if (mMode != eWrite || mMemory || mWriteFailed) return false;
    if (mSectionOpen) CloseFileIdentity();
    if (mWriteSectionCount >= kMaxSections) return false;
    return OpenSection();
}

int KFbx::GetSectionCount() const {
    if (mMode == eRead) return static_cast<int>(mTree.sections.size());
    return mMode == eWrite ? mWriteSectionCount : 0;
}

int KFbx::GetSectionVersion(int section) const {
    if (mMode == eRead) {
        if (section < 0) section = mCurrentSection;
        return section < static_cast<int>(mTree.sections.size()) ? mTree.sections[section].version : -1;
    }
    if (mMode == eWrite && section < mWriteSectionCount) return mFileHeader.info.mFileVersion;
    return -1;
}

bool KFbx::SetUpEncryption(const FieldSecrets& secrets) {
    // The header stays plain; everything after it goes through the cipher.
    mOutput.SetStream(mCrcFile.get());
    bool written = mOutput.Flush(mHeaderSize);
    mEncryptedFile =
        std::make_unique<KEncryptedFile>(secrets.key, mHeaderSize, mCrcFile.get(), KChainedFile::eWRITE, false);
    mOutput.SetStream(mEncryptedFile.get());
    written = mOutput.Flush() && written;
    return written;
}

bool KFbx::WritePasswordRecord(const char* password) {
    if (mMode != eWrite || mMemory || !mBinary || mPasswordWritten || password == nullptr || *password == '\0') {
        return false;
    }
    mPasswordWritten = true;
    bool written = true;
    if (!mEncrypted) {
        MakePasswordSalt(mFileHeader.salt);
        written = mOutput.Patch(FieldFileHeader::kSaltOffset, mFileHeader.salt, sizeof mFileHeader.salt);
    }
    FieldSecrets secrets;
    DeriveFieldSecrets(password, std::strlen(password), mFileHeader.salt, mFileHeader.iterations, secrets);
    mFileHeader.flags |= FieldFileHeader::ePassword;
    written = written && mOutput.PatchLittleEndian(FieldFileHeader::kFlagsOffset, mFileHeader.flags, 4) &&
              mOutput.Patch(FieldFileHeader::kCheckOffset, secrets.check, sizeof secrets.check);
    if (mEncrypted) written = SetUpEncryption(secrets) && written;
    ForgetFieldSecrets(secrets);
    WriteFailed(written);
    return written;
}

bool KFbx::FinishWriting() {
    if (mSectionOpen) CloseFileIdentity();
    if (mBinary) {
        mOutput.AppendLittleEndian(0, 8);  // no further section
        if (mEncrypted) {
            if (mEncryptedFile == nullptr) {
                FieldSecrets secrets;
                DeriveFieldSecrets("", 0, mFileHeader.salt, mFileHeader.iterations, secrets);
                WriteFailed(SetUpEncryption(secrets));
                ForgetFieldSecrets(secrets);
            }
            while ((mOutput.Position() - mHeaderSize) % KEncryptedFile::kBlockSize != 0) mOutput.AppendByte(0);
        }
    } else {
        mEncoder->Finish();
    }
    WriteFailed(mOutput.Flush());
    KChainedFile* bottom = mCrcFile != nullptr ? static_cast<KChainedFile*>(mCrcFile.get()) : mTextFile.get();
    if (bottom != nullptr && (mWriteFailed || mDiscardAtClose)) bottom->Discard();
    // Closing the cipher layer closes the CRC layer below it, which appends the trailer.
    KChainedFile* top = mEncryptedFile != nullptr ? static_cast<KChainedFile*>(mEncryptedFile.get())
                        : mCrcFile != nullptr     ? static_cast<KChainedFile*>(mCrcFile.get())
                                                  : mTextFile.get();
    if (top != nullptr && !top->Close()) {
        mOutput.FailStream(*top, "finishing the file");
        WriteFailed(false);
    }
    return !mWriteFailed;
}

void KFbx::FileDiscardAtClose() { mDiscardAtClose = mMode == eWrite && !mMemory; }

bool KFbx::FileClose() {
    if (mMode == eClosed && !mLocked) {
        SetError(eFileNotOpened);
        return false;
    }
    if (mMemory && mMode == eWrite) {
        SetError(eInvalidFieldOperation, "a memory file closes into its buffer");
        return false;
    }
    const bool closed = mMode == eWrite ? FinishWriting() : true;
    ResetState();
    return closed;
}

bool KFbx::FileCreate(void* buffer, int size, bool binary) {
    if (!StartFresh()) return false;
    if (size < 0 || (buffer == nullptr && size > 0)) {
        SetError(eFileNotCreated, "bad memory buffer");
        return false;
    }
    mFileHeader = FieldFileHeader();
    mMemory = true;
    mBinary = binary;
    mMemoryBuffer = buffer;
    mMemorySize = size;
    if (binary) {
        mEncoder = std::make_unique<FieldBinaryEncoder>(mOutput);
    } else {
        mEncoder = std::make_unique<FieldAsciiEncoder>(mOutput);
    }
    mMode = eWrite;
    mSectionOpen = true;
    mWriteSectionCount = 1;
    return true;
}

bool KFbx::FileClose(void** buffer, int* size) {
    if (mMode != eWrite || !mMemory) {
        SetError(mMode == eClosed ? eFileNotOpened : eInvalidFieldOperation);
        return false;
    }
    CloseOpenFields();
    mEncoder->Finish();
    const std::vector<unsigned char> bytes = mOutput.TakePending();
    const bool fits = bytes.size() <= static_cast<std::size_t>(INT_MAX);
    if (!fits) mOutput.FailFormatLimit("a memory field file holds at most " + std::to_string(INT_MAX) + " bytes");
    bool closed = !mWriteFailed && fits;
    void* target = mMemoryBuffer;
    if (closed && (target == nullptr || bytes.size() > static_cast<std::size_t>(mMemorySize))) {
        // A failed growth leaves the caller's buffer as it was.
        target = SdkRealloc(mMemoryBuffer, bytes.empty() ? 1 : bytes.size());
        closed = target != nullptr;
        if (!closed) target = mMemoryBuffer;
    }
    if (closed && !bytes.empty()) std::memcpy(target, bytes.data(), bytes.size());
    if (buffer != nullptr) *buffer = target;
    if (size != nullptr) *size = closed ? static_cast<int>(bytes.size()) : 0;
    if (!closed && GetLastErrorCode() < 0) {
        if (mOutput.HasFailed()) {
            WriteFailed(false);
        } else {
            SetError(eOutOfDiskSpace, "the buffer cannot hold the text");
        }
    }
    ResetState();
    return closed;
}

void KFbx::WriteFailed(bool written) {
    if (written || mWriteFailed) return;
    mWriteFailed = true;
    if (GetLastErrorCode() >= 0) return;
    // Only a disk that is really full is reported as one. A file the
    // system refused is named, as at its creation.
    const std::string& detail = mOutput.GetFailureDetail();
    const std::string path = mMemory ? std::string() : mFileName.Buffer();
    const std::string refused = path.empty() || detail.empty() ? path + detail : path + ": " + detail;
    switch (mOutput.GetFailure()) {
        case FieldOutput::EFailure::eWriteError: SetError(eWriteError, refused); break;
        case FieldOutput::EFailure::eFormatLimit: SetError(eFormatLimit, detail); break;
        case FieldOutput::EFailure::eDiskFull: SetError(eOutOfDiskSpace, refused); break;
        case FieldOutput::EFailure::eNone: SetError(eWriteError, path); break;
    }
}

// ---------------------------------------------------------------------------
// Opening files for reading.

bool KFbx::FileOpen(const char* path, const char* password) {
    if (!StartFresh()) return false;
    if (path == nullptr) {
        SetError(eFileNotOpened, "no path");
        return false;
    }
    if (!ReadFileImage(path)) {
        ResetState();
        return false;
    }
    mFileName = path;
    return FinishOpen(LoadImage(password));
}

bool KFbx::Unlock(const char* password) {
    if (!mLocked) {
        SetError(mMode == eClosed ? eFileNotOpened : eInvalidFieldOperation);
        return false;
    }
    mError.ClearError();
    return FinishOpen(LoadBinaryBody(password));
}

bool KFbx::FinishOpen(bool loaded) {
    if (!loaded) {
        mLocked = GetLastErrorCode() == eWrongPassword;
        if (!mLocked) ResetState();
        return false;
    }
    mLocked = false;
    // The parse walked the whole file; the large arrays come back when read.
    for (const FieldNode& node : mTree.nodes) mImage.Release(node.valuesBegin, node.valuesEnd);
    mMode = eRead;
    return SelectSection(0);
}

bool KFbx::ReadFileImage(const char* path) {
    // The file's folder is held first and the file opened by its name in
    // it, so that what is put beside the file goes into the very folder it
    // was read from, wherever the path leads meanwhile.
    qalimor::os::Folder folder;
    std::string name;
    FieldFileImage::ELoad loaded = folder.OpenHolderOf(path, name) ? mImage.Open(folder, name.c_str())
                                                                    : FieldFileImage::ELoad::eUnreadable;
    if (loaded == FieldFileImage::ELoad::eLoaded) mFileFolder.Take(std::move(folder), mImage.OpenedFile());
    if (loaded == FieldFileImage::ELoad::eLoaded && !mImage.IsWhole()) {
        std::string refusal;
        if (FirstBlockRefused(refusal)) {
            SetError(eFileCorrupted, refusal);
            return false;
        }
        loaded = mImage.ReadRest();
    }
    switch (loaded) {
        case FieldFileImage::ELoad::eLoaded: return true;
        case FieldFileImage::ELoad::eNoMemory:
            SetError(eOutOfMemory, std::string(path) + ": the file's " + std::to_string(mImage.FileSize()) +
                                       " bytes do not fit in the memory available");
            return false;
        case FieldFileImage::ELoad::eUnreadable: break;
    }
    SetError(eFileNotOpened, path);
    return false;
}

bool KFbx::FirstBlockRefused(std::string& error) const {
    // A binary file is told by its header, whose checks need the whole file.
    if (FieldFileHeader::HasMagic(mImage.Data(), mImage.Size())) return false;
    const char* text = reinterpret_cast<const char*>(mImage.Data());
    if (!AsciiRecordsMayFollow(text, mImage.Size(), error)) return true;
    // The header block must be the first record: a file whose records
    // parse and begin with another is refused as such.
    AsciiScanner scanner(text, text + mImage.Size(), 1);
    AsciiToken first = scanner.Next();
    while (first.kind == AsciiToken::eNewline) first = scanner.Next();
    const auto length = static_cast<std::size_t>(first.end - first.begin);
    const bool named = first.kind == AsciiToken::eWord && scanner.Next().kind == AsciiToken::eColon;
    if (!named || (length == sizeof kAsciiHeaderBlock - 1 && std::memcmp(first.begin, kAsciiHeaderBlock, length) == 0)) {
        return false;
    }
    error = NoHeaderBlockFirst();
    return true;
}

bool KFbx::FileOpen(const void* bytes, int size, bool binary) {
    if (!StartFresh()) return false;
    if (size < 0 || (bytes == nullptr && size > 0)) {
        SetError(eFileNotOpened, "bad memory buffer");
        return false;
    }
    if (!mImage.Assign(bytes, static_cast<std::size_t>(size))) {
        SetError(eFileNotOpened, "out of memory");
        return false;
    }
    mBinary = binary;
    mMemory = true;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    std::string error;
    const bool parsed = binary ? ParseBinaryRecords(mImage.Data(), 0, mImage.Size(), mTree, first, count, error)
                               : ParseAsciiRecords(reinterpret_cast<const char*>(mImage.Data()), mImage.Size(),
                                                   mTree, first, count, error);
    if (!parsed) {
        ResetState();
        SetError(eFileCorrupted, error);
        return false;
    }
    mTree.sections.push_back({KFbxFileHeaderInfo::kDefaultFileVersion, first, count});
    mMode = eRead;
    return SelectSection(0);
}

bool KFbx::LoadImage(const char* password) {
    if (!FieldFileHeader::HasMagic(mImage.Data(), mImage.Size())) return ParseAsciiFile();
    return CheckBinaryImage() && LoadBinaryBody(password);
}

namespace {

// Whether the sections of a binary file (plain body) run past its end, the
// trailer left aside: each section begins with the offset of its end, and
// zero ends the chain. An enciphered body cannot be walked before it is
// deciphered, and a chain that goes backwards is damage, not a cut.
bool IsCutShort(const FieldFileImage& image) {
    FieldFileHeader header;
    std::string error;
    if (image.Size() < 4 || !header.Read(image.Data(), image.Size(), error) ||
        (header.flags & FieldFileHeader::eEncrypted) != 0) {
        return false;
    }
    const std::uint64_t end = image.Size() - 4;
    std::uint64_t pos = header.Size();
    for (int section = 0; section <= kMaxSections; ++section) {
        if (pos > end || end - pos < 8) {
            return true;
        }
        const std::uint64_t sectionEnd = LoadU64(image.Data() + pos);
        if (sectionEnd == 0) {
            return false;
        }
        if (sectionEnd <= pos) {
            return false;
        }
        if (sectionEnd > end) {
            return true;
        }
        pos = sectionEnd;
    }
    return false;
}

}  // namespace

bool KFbx::CheckBinaryImage() {
    KCrcFile file;
    if (!file.OpenMemory(const_cast<unsigned char*>(mImage.Data()), static_cast<std::int64_t>(mImage.Size()), false)) {
        SetError(eFileNotOpened, "the file cannot be read");
        return false;
    }
    // Damage is told from a wrong password by the trailer, which covers the
    // enciphered bytes as they are on disk. A file cut short fails it too;
    // its plain section chain says so.
    if (!file.CheckCrc()) {
        SetError(eCrcCheckFailed, IsCutShort(mImage) ? "the file is cut short" : "");
        return false;
    }
    std::string error;
    if (!mFileHeader.Read(mImage.Data(), mImage.Size() - 4, error)) {
        SetError(eFileCorrupted, error);
        return false;
    }
    return true;
}

bool KFbx::LoadBinaryBody(const char* password) {
    // The image still ends in its trailer, checked.
    const std::uint64_t contentSize = mImage.Size() - 4;
    const std::uint64_t headerSize = mFileHeader.Size();
    const bool encrypted = (mFileHeader.flags & FieldFileHeader::eEncrypted) != 0;
    const bool protectedFile = (mFileHeader.flags & FieldFileHeader::ePassword) != 0;
    FieldSecrets secrets;
    if (protectedFile || encrypted) {
        const char* secret = protectedFile && password != nullptr ? password : "";
        DeriveFieldSecrets(secret, std::strlen(secret), mFileHeader.salt, mFileHeader.iterations, secrets);
    }
    if (protectedFile && (password == nullptr || !PasswordChecksMatch(secrets.check, mFileHeader.check))) {
        ForgetFieldSecrets(secrets);
        SetError(eWrongPassword, password == nullptr ? "the file needs a password" : "");
        return false;
    }
    if (encrypted) {
        if ((contentSize - headerSize) % KEncryptedFile::kBlockSize != 0) {
            ForgetFieldSecrets(secrets);
            SetError(eFileCorrupted, "the enciphered body is not whole blocks");
            return false;
        }
        // Deciphered in place: each block is taken out before its plain text goes back.
        KChainedFile file;
        file.OpenMemory(mImage.MutableData(), static_cast<std::int64_t>(mImage.Size()), false);
        file.SetPosition(static_cast<std::int64_t>(headerSize));
        KEncryptedFile cipher(secrets.key, headerSize, &file, KChainedFile::eREAD, false);
        const bool read = ReadAll(cipher, mImage.MutableData() + headerSize, contentSize - headerSize);
        ForgetFieldSecrets(secrets);
        if (!read) {
            SetError(eFileCorrupted, "the enciphered body cannot be read");
            return false;
        }
    }
    mImage.Truncate(static_cast<std::size_t>(contentSize));
    mBinary = true;
    mEncrypted = encrypted;
    return ParseBinarySections(headerSize, contentSize);
}

bool KFbx::ParseBinarySections(std::uint64_t begin, std::uint64_t end) {
    // The chain of sections first, so that the records of all of them are
    // parsed into a tree that grows once; a fault of the chain counts after
    // those of the records of the sections before it.
    std::vector<BinaryRecordRange> ranges;
    std::vector<int> versions;
    std::string chainError;
    for (std::uint64_t pos = begin;;) {
        if (end - pos < 8) {
            chainError = "the sections run past the end of the file";
            break;
        }
        const std::uint64_t sectionEnd = LoadU64(mImage.Data() + pos);
        if (sectionEnd == 0) break;
        if (end - pos < kSectionHeaderSize || sectionEnd > end || sectionEnd < pos + kSectionHeaderSize ||
            ranges.size() >= static_cast<std::size_t>(kMaxSections)) {
            chainError = "bad section at offset " + std::to_string(pos);
            break;
        }
        versions.push_back(static_cast<std::int32_t>(LoadU32(mImage.Data() + pos + 8)));
        ranges.push_back({pos + kSectionHeaderSize, sectionEnd});
        pos = sectionEnd;
    }
    std::string error;
    if (!ParseBinaryRecords(mImage.Data(), ranges, mTree, error)) {
        SetError(eFileCorrupted, error);
        return false;
    }
    if (!chainError.empty()) {
        SetError(eFileCorrupted, chainError);
        return false;
    }
    if (ranges.empty()) {
        SetError(eFileCorrupted, "the file has no section");
        return false;
    }
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        mTree.sections.push_back({versions[i], ranges[i].first, ranges[i].count});
    }
    return true;
}

bool KFbx::ParseAsciiFile() {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    std::string error;
    if (!ParseAsciiRecords(reinterpret_cast<const char*>(mImage.Data()), mImage.Size(), mTree, first, count, error)) {
        SetError(eFileCorrupted, error);
        return false;
    }
    mBinary = false;
    // The header block comes first; the main section follows it, and every
    // section marker starts another.
    mTree.sections.push_back({0, first, count});
    mMode = eRead;
    SelectSection(0);
    const bool headerRead = ReadAsciiHeader();
    mMode = eClosed;
    mTree.sections.clear();
    if (!headerRead) return false;

    FieldSection section{mFileHeader.info.mFileVersion, first + 1, 0};
    for (std::uint32_t i = first + 1; i < first + count; ++i) {
        const FieldNode& node = mTree.nodes[i];
        const bool marker = node.nameLength == sizeof kAsciiSectionMarker - 1 &&
                            std::memcmp(mImage.Data() + node.nameBegin, kAsciiSectionMarker, node.nameLength) == 0;
        if (!marker) {
            ++section.childCount;
            continue;
        }
        if (mTree.sections.size() + 1 >= static_cast<std::size_t>(kMaxSections)) {
            SetError(eFileCorrupted, "too many sections");
            return false;
        }
        mTree.sections.push_back(section);
        FieldValueCursor cursor;
        cursor.Open(mImage.Data(), node, false);
        FieldValue value;
        std::int64_t version = 0;
        if (!cursor.Next(value) || !FieldValueToInteger(value, version) || version < INT_MIN || version > INT_MAX) {
            SetError(eFileCorrupted, "line " + std::to_string(node.line) + ": a section needs its version");
            return false;
        }
        section = FieldSection{static_cast<int>(version), i + 1, 0};
    }
    mTree.sections.push_back(section);
    return true;
}

bool KFbx::ReadAsciiHeader() {
    if (mLevels[0].childCount == 0) {
        SetError(eFileCorrupted, "the file ends before its first record: it is cut short");
        return false;
    }
    if (!FieldReadBegin(kAsciiHeaderBlock) || mLevels[0].openField != mLevels[0].childBegin || !FieldReadBlockBegin()) {
        SetError(eFileCorrupted, NoHeaderBlockFirst());
        return false;
    }
    KFbxFileHeaderInfo& info = mFileHeader.info;
    info.Reset();
    info.mFileVersion = FieldReadIDefault("FBXVersion", 0);
    if (FieldReadBegin("CreationTimeStamp") && FieldReadBlockBegin()) {
        info.mCreationTimeStampPresent = true;
        for (int i = 0; i < 7; ++i) TimeStampField(info.mCreationTimeStamp, i) = FieldReadIDefault(kTimeStampNames[i], 0);
        FieldReadBlockEnd();
    }
    FieldReadEnd();
    if (FieldReadBegin("CameraResolution")) {
        info.mResolutionPresent = true;
        info.mResolutionWidth = FieldReadD();
        info.mResolutionHeight = FieldReadD();
        FieldReadEnd();
    }
    info.mCreator = FieldReadSDefault("Creator", "");
    FieldReadBlockEnd();
    FieldReadEnd();
    return GetLastErrorCode() < 0;
}

}  // namespace fbxsdk_2006_11_1
