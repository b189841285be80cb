// The field file: the record syntax of FBX files. A file is a header and one
// or more sections of records; a record (a field) has a name, typed values and
// optionally a block of child records. Files are binary (optionally
// enciphered under a password, always ending in a CRC-32 trailer) or ascii;
// a field file can also write or read a bare record list in memory.
//
// Writing is sequential. Reading parses a whole section first, so the fields
// of a block can be looked up by name in any order: each FieldReadBegin(name)
// reaches the next field of that name in the current block that has not been
// reached yet, and a field that is absent simply is not found.
//
// Nothing here throws; failures set the last error (GetLastErrorCode, -1 for
// none). A failed write makes the file's close fail; a read of a missing or
// unconvertible value gives 0 or an empty text.
#ifndef FBXFILESDK_FBX_KFBX_H
#define FBXFILESDK_FBX_KFBX_H

#include <fbxfilesdk/fbx/FieldEncoder.h>
#include <fbxfilesdk/fbx/FieldFileImage.h>
#include <fbxfilesdk/fbx/FieldFileHeader.h>
#include <fbxfilesdk/fbx/FieldOutput.h>
#include <fbxfilesdk/fbx/FieldPassword.h>
#include <fbxfilesdk/fbx/FieldTree.h>
#include <fbxfilesdk/fbx/FieldValueCursor.h>
#include <fbxfilesdk/fbx/KFbxFileHeaderInfo.h>

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>

#include <platform/os/FileFolder.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KChainedFile;
class KCrcFile;
class KEncryptedFile;

class KFbx {
public:
    enum EError {
        eFileCorrupted = 0,
        eFileVersionNotSupported,
        eInvalidFieldOperation,
        eFileNotOpened,
        eFileNotCreated,
        eOutOfDiskSpace,
        eCrcCheckFailed,
        eWrongPassword,
        // The stream refused bytes for another cause than a full disk.
        eWriteError,
        // A value or size that the layout has no room for.
        eFormatLimit,
        // The memory a file's bytes need cannot be had.
        eOutOfMemory,
        eErrorCount
    };

    KFbx();
    virtual ~KFbx();
    KFbx(const KFbx&) = delete;
    KFbx& operator=(const KFbx&) = delete;

    // Files. FileCreate writes the header and opens the main section; an
    // encrypted file is binary. Without header info the file gets version
    // KFbxFileHeaderInfo::kDefaultFileVersion. What is written takes the
    // place of the file the path names only at a FileClose that finds it
    // whole: until then, and for good after a write error, that file stays
    // as it was (a link there stays a link, the file it leads to replaced).
    bool FileCreate(const char* path, bool binary, bool encrypted, const KFbxFileHeaderInfo* headerInfo);
    // The file being written is given up at FileClose, the file it was to
    // replace left as it was.
    void FileDiscardAtClose();
    // Opens a file of either syntax and parses its first section. A file with
    // a password needs it: without it, or with a wrong one, the open fails
    // with eWrongPassword and the file is kept locked, as it was read.
    bool FileOpen(const char* path, const char* password = nullptr);
    // Whether a file is kept locked by an open that lacked its password.
    bool IsLocked() const { return mLocked; }
    // Opens the file kept locked with its password: its bytes as they were
    // read then, not what its name holds now. A wrong password keeps it
    // locked; another failure closes it.
    bool Unlock(const char* password);
    // Closes the open records and sections, writes the footer and trailer;
    // false, with the error set, when anything could not be written.
    bool FileClose();

    // Memory: a bare record list, no header and no sections. The buffer comes
    // from SdkMalloc (or is null); closing moves the text into it, growing it
    // with SdkRealloc when needed, and gives back the buffer and the length
    // of the content.
    bool FileCreate(void* buffer, int size, bool binary);
    bool FileClose(void** buffer, int* size);
    // Reads a bare record list; the bytes are copied.
    bool FileOpen(const void* bytes, int size, bool binary);

    bool IsOpen() const { return mMode != eClosed; }
    // The path of the file open (empty for memory buffers).
    const KString& GetFileName() const { return mFileName; }
    // The folder the file open was read from, held since it was opened (none
    // held for memory buffers).
    const qalimor::os::FileFolder& GetFileFolder() const { return mFileFolder; }
    // True for binary and encrypted files.
    bool IsBinary() const { return mBinary; }
    bool IsEncrypted() const { return mEncrypted; }
    // Whether media content may be embedded (binary files).
    bool IsEmbedded() const { return mMode != eClosed && mBinary; }
    const KFbxFileHeaderInfo& GetFileHeaderInfo() const { return mFileHeader.info; }

    // Sections. CloseFileIdentity closes the open records and ends the
    // current section; the main section of a binary file ends with "FileId".
    bool CloseFileIdentity();
    // Starts a new section after the current one (ended first when open).
    bool ProjectSectionAppend(int flags = 0);
    int GetSectionCount() const;
    // Makes a section of the file being read current, at its top level.
    bool SelectSection(int section);
    // The version of the given section, or of the current one for a negative
    // index; -1 for a section that does not exist.
    int GetSectionVersion(int section = -1) const;

    // Writing.
    void FieldWriteBegin(const char* name);
    void FieldWriteEnd();
    void FieldWriteBlockBegin();
    void FieldWriteBlockEnd();
    void FieldWriteC(char value);
    void FieldWriteI(int value);
    void FieldWriteL(std::int64_t value);
    void FieldWriteF(float value);
    void FieldWriteD(double value);
    void FieldWriteS(const char* value);
    void FieldWriteS(const KString& value);
    // As seconds (a double) in sections below version 2001, else as ticks.
    void FieldWriteT(KTime value);
    void FieldWriteR(const void* bytes, std::int64_t size);
    void FieldWriteTimeSpan(KTime start, KTime stop);
    void FieldWriteVector3(const double* xyz);
    void FieldWriteVector4(const double* xyzw);
    void FieldWriteNamedVector3(const char* name, const double* xyz);
    void FieldWriteArrayI(const int* values, std::int64_t count);
    void FieldWriteArrayL(const std::int64_t* values, std::int64_t count);
    void FieldWriteArrayF(const float* values, std::int64_t count);
    void FieldWriteArrayD(const double* values, std::int64_t count);
    void WriteStringField(const char* name, const char* value);
    void WriteStringValue(const char* value);
    // A comment line between records of an ascii file; nothing in binary files.
    void WriteComment(const char* text);
    // The bytes of the file at path (or, failing that, at mediaPath) as one
    // raw value of the open field; binary files only.
    bool FieldWriteMediaContent(const char* path, const char* mediaPath);
    // The bytes FieldWriteMediaContent writes: those of a regular file that
    // one value can hold, opened without waiting on anything else. False
    // with errno set for path when neither file gives them.
    static bool ReadMediaContent(const char* path, const char* mediaPath, std::string& bytes);
    // The name's path in the media folder of the file being written.
    KString GetMediaFilePath(const char* fileName) const;
    // Protects a binary file with a password (once per file): its header gets
    // the check, and an encrypted file's body the key derived from it.
    bool WritePasswordRecord(const char* password);

    // Reading.
    bool FieldReadBegin(const char* name);
    // Whether FieldReadBegin(name) would find a field, without reaching it.
    bool FieldReadExists(const char* name) const;
    // How many fields of that name the block being read holds, reached or
    // not; none is reached.
    std::uint32_t FieldReadCount(const char* name) const;
    void FieldReadEnd();
    bool FieldReadBlockBegin();
    void FieldReadBlockEnd();
    // The fields of the block being read, of every name: what the objects
    // read from them can number at most.
    std::uint32_t FieldReadBlockFieldCount() const;
    int FieldGetRemainingValueCount() const;
    // 'C', 'I', 'L', 'F', 'D', 'S' or 'R' for the next value ('S' when none).
    char FieldGetValueType() const;
    char FieldReadC();
    int FieldReadI();
    std::int64_t FieldReadL();
    float FieldReadF();
    // A float value is widened.
    double FieldReadD();
    KString FieldReadS();
    // The same text into a buffer the caller keeps, for records read by the
    // million.
    void FieldReadS(std::string& out);
    // Seconds in sections below version 2001, else ticks.
    KTime FieldReadT();
    // Raw bytes, valid until the next read or the close; null when the value
    // holds none.
    const void* FieldReadR(int* size);
    bool FieldSkipValue();
    // Up to count values of the open field; the number read.
    int FieldReadArrayI(int* out, int count);
    int FieldReadArrayL(std::int64_t* out, int count);
    int FieldReadArrayF(float* out, int count);
    int FieldReadArrayD(double* out, int count);
    // The first value of the named field of the current block, or the default
    // when there is no such field (or it has no value). The field counts as
    // reached, and any field open in the block is closed.
    char FieldReadCDefault(const char* name, char defaultValue);
    int FieldReadIDefault(const char* name, int defaultValue);
    KString FieldReadSDefault(const char* name, const char* defaultValue);

    // NaN and infinity are kept bit for bit unless the writes are told to
    // put 0 in their place, as files for other programs need: few readers
    // take "nan" or "inf" for a number. The setting outlives opens and
    // closes; it is off for a new field file.
    void SetNotFiniteWrittenAsZero(bool zero) { mNotFiniteAsZero = zero; }
    // Per field name, in the order first met, how many values of the file
    // being written were put as 0.
    const std::vector<std::pair<std::string, std::int64_t>>& GetNotFiniteValues() const { return mNotFinite; }

    // Null while every value read is the file's as it was opened; else why
    // some could not be read (the file was cut short or changed on disk
    // since), so that what was read is not the whole file.
    const char* GetContentLoss() const { return mContentLoss.empty() ? nullptr : mContentLoss.c_str(); }

    int GetLastErrorCode() const;
    const char* GetLastErrorText() const;
    // Whether an error code is a failure to write whose cause the error text
    // names (a write error, a format limit): neither a full disk nor a misuse.
    static bool NamesWriteFailure(int code) { return code == eWriteError || code == eFormatLimit; }

private:
    enum EMode { eClosed, eRead, eWrite };

    // One block being read: its records, the one open and how far each name got.
    struct ReadLevel {
        std::uint32_t childBegin = 0;
        std::uint32_t childCount = 0;
        std::int64_t openField = -1;
        // Per name read so far, the index after the last field reached; the
        // name itself is that field's, in the image, so nothing is copied.
        std::vector<std::uint32_t> nextByName;
        FieldValueCursor cursor;
        // The open field's values are given back yet, the cursor at their start.
        bool valuesOut = false;
    };
    // One field being written.
    struct WriteFrame {
        bool blockOpen = false;
        bool blockDone = false;
    };

    void SetError(EError code, const std::string& detail = std::string());
    void ResetState();
    // Refuses an open while a file is open; else clears the last error and state.
    bool StartFresh();
    // False, with eFileNotOpened or eInvalidFieldOperation, in another mode.
    bool RequireMode(EMode mode);
    bool CanWriteValue();
    bool CanWriteField();
    // Records a write that did not reach the file, with the output's cause
    // after the file's path; later writes are skipped.
    void WriteFailed(bool written);
    // Counts values of the field being written that were not finite.
    void CountNotFinite(std::int64_t count);
    void CloseOpenFields();
    void WriteAsciiHeader();
    bool ReadAsciiHeader();

    bool OpenSection();
    bool WriteFileId();
    bool SetUpEncryption(const FieldSecrets& secrets);
    bool FinishWriting();

    // Reads the file into the image, after a look at its first block that
    // refuses a large file that is no field file before the rest is read;
    // false with the error set.
    bool ReadFileImage(const char* path);
    // Whether the first block of the file already shows the refusal that
    // reading it whole would end in; then error is that refusal.
    bool FirstBlockRefused(std::string& error) const;
    // Checks and parses the file read into the image.
    bool LoadImage(const char* password);
    // The trailer check and the header of a binary file, then its password,
    // deciphering and records.
    bool CheckBinaryImage();
    bool LoadBinaryBody(const char* password);
    // Makes the file parsed readable, or keeps it locked when it lacked its
    // password, or closes it.
    bool FinishOpen(bool loaded);
    bool ParseBinarySections(std::uint64_t begin, std::uint64_t end);
    bool ParseAsciiFile();
    void EnterLevel(std::uint32_t childBegin, std::uint32_t childCount);
    // The index in the current block of the next field of the name not yet
    // reached; the block's child count when there is none. resume is the
    // name's slot in the level's progress, or the slot count when it has none.
    std::uint32_t FindNextField(const char* name, std::size_t& resume) const;
    // The open field's values, or null (with eInvalidFieldOperation) when none is open.
    // Makes the field's values readable; false, with the loss recorded, when
    // the file no longer holds them.
    bool FetchValues(const FieldNode& node);
    bool RecordLoss(FieldFileImage::EFetch fetched);
    // The open field's values, fetched when given back; null (with the error
    // set) when no field is open or its values are lost.
    FieldValueCursor* OpenCursor();
    // Reads an array of the open field given back, whole, from the file
    // straight to out; the count read (0 when it cannot be read so).
    std::size_t ReadRunFromFile(char arrayType, void* out, std::size_t count, std::size_t width);
    bool NextValue(FieldValue& value);
    void ValueNotConverted(const char* kind);
    std::string OpenFieldName() const;
    template <typename Value, typename Convert>
    Value ReadValue(Convert convert, const char* kind);
    template <typename Element, typename Convert>
    int ReadArray(char arrayType, Element* out, int count, Convert convert, const char* kind);

    EMode mMode;
    bool mBinary;
    bool mEncrypted;
    bool mMemory;
    ErrorHolder mError;
    FieldFileHeader mFileHeader;
    KString mFileName;

    // Writing.
    std::unique_ptr<KCrcFile> mCrcFile;
    std::unique_ptr<KEncryptedFile> mEncryptedFile;
    std::unique_ptr<KChainedFile> mTextFile;
    FieldOutput mOutput;
    std::unique_ptr<FieldEncoder> mEncoder;
    std::vector<WriteFrame> mWriteFrames;
    std::uint64_t mHeaderSize;
    std::uint64_t mSectionStart;
    int mWriteSectionCount;
    bool mSectionOpen;
    bool mPasswordWritten;
    bool mWriteFailed;
    bool mDiscardAtClose;
    bool mNotFiniteAsZero = false;
    // The name of the field whose values are being written.
    std::string mFieldName;
    std::vector<std::pair<std::string, std::int64_t>> mNotFinite;
    void* mMemoryBuffer;
    int mMemorySize;

    // Reading.
    FieldFileImage mImage;
    qalimor::os::FileFolder mFileFolder;
    bool mLocked;
    FieldTree mTree;
    int mCurrentSection;
    std::vector<ReadLevel> mLevels;
    int mDepth;
    std::string mScratch;
    std::string mContentLoss;
};

}  // namespace fbxsdk_2006_11_1

#endif
