#include <fbxfilesdk/3dsftk/Error3ds.h>

#include <fbxfilesdk/3dsftk/ChunkTags3ds.h>
#include <fbxfilesdk/3dsftk/ToolkitContext3ds.h>

#include <cerrno>
#include <charconv>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr const char* kMessages[] = {
    "NO_FTK_ERRORS: No errors are pending",
    "ERR_NO_MEM: Not enough memory to complete operation",
    "ERR_INVALID_ARG: The argument passed to the function is invalid.  Usually caused by a NULL pointer or an out "
    "of range numeric argument.",
    "ERR_INVALID_DATA: The structure passed as an argument to the function has invalid or out of range data in its "
    "fields.",
    "ERR_INVALID_CHUNK: An invalid chunk structure was encountered while reading the database. Usually caused by a "
    "corrupt database or file",
    "ERR_INVALID_DATABASE: The database passed as an argument has not be created yet.",
    "ERR_WRONG_DATABASE: The database passed as an argument is the wrong kind of database for this function.",
    "ERR_UNFOUND_CHUNK: The database is missing important file chunks needed to fill out the requested structure.  "
    "Usually caused by a corrupt database or file",
    "ERR_WRONG_OBJECT: The name passed to the functions exists, but is not the type of object asked for.  For "
    "example, asking for a mesh object with the GetCameraByName3ds function.",
    "ERR_NO_SUCH_FILE: The filename passed as an argument for reading does not exist",
    "ERR_INIT_FAILED: Failed to initialize structure passed as an argument",
    "ERR_OPENING_FILE: Could not open requested file",
    "ERR_CLOSING_FILE: Could not close requested file",
    "ERR_READING_FILE: Error occured while reading file",
    "ERR_CREATING_DATABASE: Error occured while creating database",
    "ERR_READING_DATABASE: Error occured while reading database",
    "ERR_WRITING_DATABASE: Error occured while writing database",
    "ERR_WRITING_FILE: Error occured while writing file",
    "ERR_STRING_TOO_LONG: String encountered in file, structure, or as an argument was longer than expected.  "
    "Possibly caused by an uninitialed pointer, corrupt file or database",
    "ERR_TOO_MANY_FILES: The toolkit has reached its maximum open file limit of 252 files.",
};
constexpr const char* kLostErrors = "N_ERRORS: More errors were reported then could be recorded.";
constexpr const char* kUnknown = "Unknown error code was encountered";

}  // namespace

const char* ErrorCodeToString3ds(ErrorCode3ds code) {
    if (code >= 0 && code < static_cast<std::int32_t>(sizeof(kMessages) / sizeof(kMessages[0]))) {
        return kMessages[code];
    }
    return code == N_ERRORS ? kLostErrors : kUnknown;
}

ErrorList3ds& CurrentErrorList3ds() { return ToolkitContext3ds::Current().mErrors; }

ErrorChunkScope3ds::ErrorChunkScope3ds(std::uint32_t tag, std::int64_t position)
    : mList(CurrentErrorList3ds()), mTag(tag), mPosition(position), mOuter(mList.innermostChunk) {
    mList.innermostChunk = this;
}

ErrorChunkScope3ds::~ErrorChunkScope3ds() { mList.innermostChunk = mOuter; }

const char* PushError3ds(ErrorCode3ds code) {
    if (code == NO_FTK_ERRORS) return nullptr;
    ErrorList3ds& list = CurrentErrorList3ds();
    list.pending = true;
    ErrRec3ds entry{code, ErrorCodeToString3ds(code)};
    // Taken before anything here may change it.
    if (code == ERR_READING_FILE || code == ERR_WRITING_FILE) entry.systemerror = errno;
    if (const ErrorChunkScope3ds* chunk = list.innermostChunk) {
        entry.chunktag = chunk->mTag;
        entry.chunkposition = chunk->mPosition;
    }
    for (int i = 0; i < kErrorListSize3ds - 1; ++i) {
        if (list.entries[i].errorid == NO_FTK_ERRORS) {
            list.entries[i] = entry;
            list.entries[i + 1].errorid = NO_FTK_ERRORS;
            return entry.desc;
        }
    }
    if (list.overflow.errorid == NO_FTK_ERRORS) {
        list.overflow = entry;
    } else {
        list.overflow = {N_ERRORS, kLostErrors};
    }
    return list.overflow.desc;
}

std::string DescribeError3ds(const ErrRec3ds& entry) {
    std::string text = entry.desc != nullptr ? entry.desc : ErrorCodeToString3ds(entry.errorid);
    if (entry.chunkposition < 0) return text;
    // Tags are 16-bit: four hexadecimal digits, as chunk tables write them.
    constexpr char kHex[] = "0123456789ABCDEF";
    char tag[4];
    for (int digit = 0; digit < 4; ++digit) tag[3 - digit] = kHex[(entry.chunktag >> (4 * digit)) & 0xF];
    char offset[24];
    const auto written = std::to_chars(offset, offset + sizeof offset, entry.chunkposition);
    text += " (chunk ";
    text += ChunkTagToString(entry.chunktag);
    text += " 0x";
    text.append(tag, sizeof tag);
    text += " at offset ";
    text.append(offset, written.ptr);
    text += ')';
    return text;
}

void ClearErrorList3ds() {
    ErrorList3ds& list = CurrentErrorList3ds();
    for (ErrRec3ds& entry : list.entries) entry = {};
    list.overflow = {};
    list.pending = false;
}

}  // namespace fbxsdk_2006_11_1
