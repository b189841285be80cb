// The toolkit's error list. Toolkit routines return no status: a failure is
// recorded in the list of the calling thread's current toolkit context
// (ToolkitContext3ds.h) and its pending flag set, and every caller (the
// toolkit's own routines and the 3DS reader and writer) tests the flag after
// each call and gives up while it is set.
#ifndef FBXFILESDK_3DSFTK_ERROR3DS_H
#define FBXFILESDK_3DSFTK_ERROR3DS_H

#include <cstdint>
#include <string>

namespace fbxsdk_2006_11_1 {

enum ErrorCode3ds : std::int32_t {
    NO_FTK_ERRORS = 0,
    ERR_NO_MEM = 1,
    ERR_INVALID_ARG = 2,
    ERR_INVALID_DATA = 3,
    ERR_INVALID_CHUNK = 4,
    ERR_INVALID_DATABASE = 5,
    ERR_WRONG_DATABASE = 6,
    ERR_UNFOUND_CHUNK = 7,
    ERR_WRONG_OBJECT = 8,
    ERR_NO_SUCH_FILE = 9,
    ERR_INIT_FAILED = 10,
    ERR_OPENING_FILE = 11,
    ERR_CLOSING_FILE = 12,
    ERR_READING_FILE = 13,
    ERR_CREATING_DATABASE = 14,
    ERR_READING_DATABASE = 15,
    ERR_WRITING_DATABASE = 16,
    ERR_WRITING_FILE = 17,
    ERR_STRING_TOO_LONG = 18,
    ERR_TOO_MANY_FILES = 19,
    // Recorded when a put routine cannot create a chunk or give it its data;
    // it has no message of its own.
    ERR_PUT_FAILED = 21,
    // Stands in the overflow entry once errors were lost.
    N_ERRORS = 22
};

// One recorded error: its code, the static text of that code, and the chunk
// being read when it came (tag and header offset; position -1: none).
struct ErrRec3ds {
    ErrorCode3ds errorid;
    const char* desc;
    std::uint32_t chunktag = 0;
    std::int64_t chunkposition = -1;
    // For a file that could not be read or written, the system's cause
    // (errno); 0 for none.
    std::int32_t systemerror = 0;
};

class ErrorChunkScope3ds;

// Entries 0 to 18 take errors in the order they come; the entry after the
// last one used has code 0. The overflow entry keeps the 20th error, and
// becomes N_ERRORS from the 21st on.
inline constexpr int kErrorListSize3ds = 20;

struct ErrorList3ds {
    ErrRec3ds entries[kErrorListSize3ds] = {};
    ErrRec3ds overflow = {};
    // Set by every push; cleared only by ClearErrorList3ds.
    bool pending = false;
    // Lets routines go on after an error; off unless a caller sets it.
    bool ignoreErrors = false;
    // The innermost chunk being read, for the errors pushed meanwhile.
    ErrorChunkScope3ds* innermostChunk = nullptr;
};

// The error list of the calling thread's current toolkit context.
ErrorList3ds& CurrentErrorList3ds();

// The names by which routines and their callers read the current list, as
// the variables they stand for: the entries (ErrList3ds[i], and
// ErrList3ds.Overflow() for the overflow entry) and the two flags
// (FtkErrorPending, FtkIgnoreErrors).
struct ErrorEntries3ds {
    ErrRec3ds& operator[](int index) const { return CurrentErrorList3ds().entries[index]; }
    ErrRec3ds* begin() const { return CurrentErrorList3ds().entries; }
    ErrRec3ds* end() const { return begin() + kErrorListSize3ds; }
    ErrRec3ds& Overflow() const { return CurrentErrorList3ds().overflow; }
};
struct ErrorFlag3ds {
    bool ErrorList3ds::*flag;
    operator bool() const { return CurrentErrorList3ds().*flag; }
    const ErrorFlag3ds& operator=(bool value) const {
        CurrentErrorList3ds().*flag = value;
        return *this;
    }
};
inline constexpr ErrorEntries3ds ErrList3ds{};
inline constexpr ErrorFlag3ds FtkErrorPending{&ErrorList3ds::pending};
inline constexpr ErrorFlag3ds FtkIgnoreErrors{&ErrorList3ds::ignoreErrors};

// Records the code with its text and sets the pending flag; returns the text
// stored (null for NO_FTK_ERRORS, which records nothing).
const char* PushError3ds(ErrorCode3ds code);

// The fixed text of a code ("Unknown error code was encountered" for a code
// without one).
const char* ErrorCodeToString3ds(ErrorCode3ds code);

// Names the chunk that the errors pushed while it lives are about; the
// innermost one of the current list names them.
class ErrorChunkScope3ds {
public:
    ErrorChunkScope3ds(std::uint32_t tag, std::int64_t position);
    ~ErrorChunkScope3ds();
    ErrorChunkScope3ds(const ErrorChunkScope3ds&) = delete;
    ErrorChunkScope3ds& operator=(const ErrorChunkScope3ds&) = delete;

private:
    friend const char* PushError3ds(ErrorCode3ds code);
    ErrorList3ds& mList;
    std::uint32_t mTag;
    std::int64_t mPosition;
    ErrorChunkScope3ds* mOuter;
};

// The entry's text with its cause: "ERR_INVALID_CHUNK: ... (chunk MAT_DIFFUSE
// 0xA020 at offset 1234)", the part in brackets only when a chunk was named.
std::string DescribeError3ds(const ErrRec3ds& entry);

// Empties the list and clears the pending flag. Opening a file does it, so
// that an error of an earlier file never fails the next one.
void ClearErrorList3ds();

// The test every routine makes after a call that may have failed: true when
// it must stop (an error is pending and errors are not ignored).
inline bool FtkErrorStops() {
    const ErrorList3ds& list = CurrentErrorList3ds();
    return list.pending && !list.ignoreErrors;
}

}  // namespace fbxsdk_2006_11_1

#endif
