// The toolkit's open files: a list of at most 252 file records in each
// toolkit context (ToolkitContext3ds.h), and the current file on which every
// primitive read and write works. Every routine works on the list of the
// calling thread's current context.
#ifndef FBXFILESDK_3DSFTK_FILE3DS_H
#define FBXFILESDK_3DSFTK_FILE3DS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace fbxsdk_2006_11_1 {

enum FileState3ds : std::int32_t {
    FileStateNone3ds = 0,
    FileStateRead3ds = 1,
    FileStateWrite3ds = 2,
    FileStateReadWrite3ds = 3
};

inline constexpr int kMaxOpenFiles3ds = 252;

struct file3ds {
    std::FILE* stream;        // null while not open
    char* name;               // own copy
    std::int32_t state;       // a FileState3ds
    std::uint8_t index;       // slot in the open-file list; 255 while in none
    char* buffer;             // owned: the stream's buffer, or the window of a file read; null for none
    std::uint32_t buffersize;
    std::uint8_t temporary;   // the file was moved to a temporary name and is deleted on close
    std::uint8_t lent;        // the stream is the caller's: the close only flushes it
    // A file opened for reading is read through its buffer, a window on the
    // file that the toolkit fills itself: moving about the file then costs
    // no system call until a read leaves the window. The window's offset in
    // the file, how many bytes it holds, and the read position.
    std::int64_t windowstart;
    std::uint32_t windowfill;
    std::int64_t position;
};

struct OpenFileList3ds {
    std::array<file3ds*, kMaxOpenFiles3ds> slots{};
    std::uint8_t count = 0;  // highest used slot + 1
    file3ds* current = nullptr;
    std::uint8_t currentIndex = 0;
};

// Opens a file for reading ("r" in the mode) or writing ("w"), or gives back
// the record of a file of that name already open in that mode. Opening for
// writing a name that is open for reading first moves the read file to a
// temporary name beside it, from which its chunks go on being read. Clears the
// error list first, so that an earlier file's error never fails this one.
// Null on failure (ERR_INVALID_ARG, ERR_STRING_TOO_LONG for a mode of more than
// 30 characters, ERR_INIT_FAILED for a mode without "r" or "w",
// ERR_OPENING_FILE, ERR_TOO_MANY_FILES, ERR_NO_MEM).
file3ds* OpenFile3ds(const char* name, const char* mode);
// Lists a stream the caller opened for writing as a file to write, known by
// no name (no open by name finds it), which stays the caller's: its close
// flushes it (ERR_WRITING_FILE when that fails) and leaves it open. Null on
// failure (ERR_INVALID_ARG, ERR_TOO_MANY_FILES, ERR_NO_MEM).
file3ds* AttachFile3ds(std::FILE* stream);
// Closes the stream (ERR_CLOSING_FILE when that fails), deletes a temporary
// file, takes the record off the list and frees it. Null is ignored.
void CloseFile3ds(file3ds* file);
// Closes every listed file and empties the list.
void CloseAllFiles3ds();

void InitFileList3ds();
void InitFile3ds(file3ds** file);
void AddFileToList3ds(file3ds* file);
void RemoveFileFromList3ds(file3ds* file);
file3ds* GetFileByIndex3ds(std::uint8_t index);
file3ds* FindFileByName3ds(const char* name);
// True when the index names an open file of the list.
bool IsValidFileIndex3ds(std::uint8_t index);
// The number of slots in use (the highest used slot plus one).
std::uint8_t GetFileCount3ds();

void SetCurrentFile3ds(file3ds* file);
// An index that names no file leaves the current file as it is.
void SetCurrentFileByIndex3ds(std::uint8_t index);
file3ds* GetCurrentFile3ds();
std::uint8_t GetCurrentFileIndex3ds();
std::FILE* GetCurrentFileHandle3ds();
// Reads exactly count bytes from the current file at its position and moves
// past them; false when there is no current file or it ends before.
bool ReadCurrentFile3ds(void* buffer, std::size_t count);
// The bytes the current file's window holds from its position on, read
// already: their count (0 outside the window, or for a file read without one)
// and, through data, where they start. Nothing moves.
std::size_t PeekCurrentFile3ds(const unsigned char** data);
// Where the next count bytes of the current file stand in its window, the
// position moved past them; null, nothing moved, when the window does not
// hold them all (ReadCurrentFile3ds then reads them).
const unsigned char* TakeCurrentFile3ds(std::size_t count);

// The current file's position; -1 without a current file.
std::int64_t GetFilePosition3ds();
// Moves the current file to an absolute position (ERR_READING_FILE when it
// cannot).
void SetFilePosition3ds(std::int64_t position);
// The current file's length in bytes; -1 without a current file.
std::int64_t GetFileLength3ds();

// Moves a file open for reading to a new temporary name in its folder and
// reopens it there at the same position; the file is deleted when closed.
void MoveFileToTemp3ds(file3ds* file);

}  // namespace fbxsdk_2006_11_1

#endif
