#include <fbxfilesdk/3dsftk/File3ds.h>

#include <fbxfilesdk/3dsftk/Internal3ds.h>
#include <fbxfilesdk/3dsftk/ToolkitContext3ds.h>

#include <platform/os/File.h>

#include <algorithm>
#include <cstring>
#include <string>

#include <sys/types.h>
#include <unistd.h>

namespace fbxsdk_2006_11_1 {

namespace {

// Streams written get a buffer of their own of this size (none for 0).
constexpr std::uint32_t kStreamBufferSize = 8192;
// Files read get a window of this size: a small file is read whole at once,
// and a large one is walked through without a system call per seek (the
// standard streams ask the system to confirm every seek).
constexpr std::uint32_t kReadWindowSize = 65536;

OpenFileList3ds& Files() { return ToolkitContext3ds::Current().mFiles; }

// The stream's length in bytes, its position kept; -1 when unknown.
std::int64_t StreamLength(std::FILE* stream) {
    const off_t here = ftello(stream);
    if (here < 0 || fseeko(stream, 0, SEEK_END) != 0) return -1;
    const off_t length = ftello(stream);
    fseeko(stream, here, SEEK_SET);
    return length;
}

bool Windowed(const file3ds& file) { return file.state == FileStateRead3ds && file.buffer != nullptr; }

// A file being read passes its reads through unbuffered: the window is its
// only buffer.
void GiveBuffer(file3ds& file) {
    if (file.state == FileStateRead3ds) {
        std::setvbuf(file.stream, nullptr, _IONBF, 0);
    } else if (file.buffer != nullptr) {
        std::setvbuf(file.stream, file.buffer, _IOFBF, file.buffersize);
    }
}

// Reads through the window at the file's position; false when the file ends
// first.
bool ReadWindowed(file3ds& file, unsigned char* out, std::size_t count) {
    while (count > 0) {
        const std::int64_t offset = file.position - file.windowstart;
        if (offset >= 0 && offset < static_cast<std::int64_t>(file.windowfill)) {
            const std::size_t taken =
                std::min<std::size_t>(count, file.windowfill - static_cast<std::size_t>(offset));
            std::memcpy(out, file.buffer + offset, taken);
            out += taken;
            count -= taken;
            file.position += static_cast<std::int64_t>(taken);
            continue;
        }
        if (fseeko(file.stream, static_cast<off_t>(file.position), SEEK_SET) != 0) return false;
        if (count >= file.buffersize) {
            // A long read goes straight to the caller and leaves the window.
            const std::size_t got = fread_unlocked(out, 1, count, file.stream);
            file.position += static_cast<std::int64_t>(got);
            return got == count;
        }
        file.windowstart = file.position;
        file.windowfill = static_cast<std::uint32_t>(fread_unlocked(file.buffer, 1, file.buffersize, file.stream));
        if (file.windowfill == 0) return false;
    }
    return true;
}

void FreeRecord(file3ds* file) {
    FtkFree(file->name);
    FtkFree(file->buffer);
    FtkFree(file);
}

}  // namespace

void InitFileList3ds() { Files() = OpenFileList3ds{}; }

void InitFile3ds(file3ds** file) {
    if (file == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *file = ftk3ds::NewZeroed<file3ds>();
    if (*file == nullptr) return;
    (*file)->index = 255;
}

void AddFileToList3ds(file3ds* file) {
    if (file == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    OpenFileList3ds& files = Files();
    int slot = 0;
    while (slot < files.count && files.slots[slot] != nullptr) ++slot;
    if (slot >= kMaxOpenFiles3ds) {
        PushError3ds(ERR_TOO_MANY_FILES);
        return;
    }
    files.slots[slot] = file;
    file->index = static_cast<std::uint8_t>(slot);
    if (slot == files.count) ++files.count;
}

void RemoveFileFromList3ds(file3ds* file) {
    if (file == nullptr) return;
    OpenFileList3ds& files = Files();
    if (file->index < kMaxOpenFiles3ds && files.slots[file->index] == file) {
        files.slots[file->index] = nullptr;
        file->index = 255;
    }
    if (files.current == file) files.current = nullptr;
}

file3ds* GetFileByIndex3ds(std::uint8_t index) {
    const OpenFileList3ds& files = Files();
    return index < files.count ? files.slots[index] : nullptr;
}

file3ds* FindFileByName3ds(const char* name) {
    if (name == nullptr) return nullptr;
    const OpenFileList3ds& files = Files();
    for (int i = 0; i < files.count; ++i) {
        file3ds* file = files.slots[i];
        if (file != nullptr && file->name != nullptr && std::strcmp(file->name, name) == 0) return file;
    }
    return nullptr;
}

bool IsValidFileIndex3ds(std::uint8_t index) { return index <= 254 && GetFileByIndex3ds(index) != nullptr; }

std::uint8_t GetFileCount3ds() { return Files().count; }

void SetCurrentFile3ds(file3ds* file) {
    OpenFileList3ds& files = Files();
    files.current = file;
    files.currentIndex = file != nullptr ? file->index : 0;
}

void SetCurrentFileByIndex3ds(std::uint8_t index) {
    if (file3ds* file = GetFileByIndex3ds(index)) SetCurrentFile3ds(file);
}

file3ds* GetCurrentFile3ds() { return Files().current; }
std::uint8_t GetCurrentFileIndex3ds() { return Files().currentIndex; }

std::FILE* GetCurrentFileHandle3ds() {
    const file3ds* file = Files().current;
    return file != nullptr ? file->stream : nullptr;
}

bool ReadCurrentFile3ds(void* buffer, std::size_t count) {
    file3ds* file = Files().current;
    if (file == nullptr || file->stream == nullptr) return false;
    if (Windowed(*file)) return ReadWindowed(*file, static_cast<unsigned char*>(buffer), count);
    // A file is read by the one thread its context is current on, so the
    // stream needs no lock for each small read.
    return fread_unlocked(buffer, 1, count, file->stream) == count;
}

std::size_t PeekCurrentFile3ds(const unsigned char** data) {
    const file3ds* file = Files().current;
    if (file == nullptr || file->stream == nullptr || !Windowed(*file)) return 0;
    const std::int64_t offset = file->position - file->windowstart;
    if (offset < 0 || offset >= static_cast<std::int64_t>(file->windowfill)) return 0;
    *data = reinterpret_cast<const unsigned char*>(file->buffer) + offset;
    return file->windowfill - static_cast<std::size_t>(offset);
}

const unsigned char* TakeCurrentFile3ds(std::size_t count) {
    const unsigned char* data = nullptr;
    if (PeekCurrentFile3ds(&data) < count) return nullptr;
    Files().current->position += static_cast<std::int64_t>(count);
    return data;
}

std::int64_t GetFilePosition3ds() {
    const file3ds* file = Files().current;
    if (file == nullptr || file->stream == nullptr) return -1;
    return Windowed(*file) ? file->position : static_cast<std::int64_t>(ftello(file->stream));
}

void SetFilePosition3ds(std::int64_t position) {
    file3ds* file = Files().current;
    if (file == nullptr || file->stream == nullptr || position < 0) {
        PushError3ds(ERR_READING_FILE);
        return;
    }
    if (Windowed(*file)) {
        // A position past the end is refused by the read that needs it.
        file->position = position;
        return;
    }
    if (fseeko(file->stream, static_cast<off_t>(position), SEEK_SET) != 0) PushError3ds(ERR_READING_FILE);
}

std::int64_t GetFileLength3ds() {
    std::FILE* stream = GetCurrentFileHandle3ds();
    return stream != nullptr ? StreamLength(stream) : -1;
}

void MoveFileToTemp3ds(file3ds* file) {
    if (file == nullptr || file->stream == nullptr || file->name == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    const off_t position = Windowed(*file) ? static_cast<off_t>(file->position) : ftello(file->stream);
    const bool closed = std::fclose(file->stream) == 0;
    file->stream = nullptr;
    if (!closed) {
        PushError3ds(ERR_CLOSING_FILE);
        return;
    }
    // A fresh name in the same folder, so that the rename never crosses file
    // systems; the empty file mkstemp made is replaced by the rename.
    const std::string oldName = file->name;
    const std::size_t separator = oldName.find_last_of("\\/:");
    std::string newName = (separator == std::string::npos ? std::string() : oldName.substr(0, separator + 1)) +
                          "3dsftkXXXXXX";
    const int descriptor = mkstemp(newName.data());
    if (descriptor < 0) {
        PushError3ds(ERR_OPENING_FILE);
        return;
    }
    close(descriptor);
    if (std::rename(oldName.c_str(), newName.c_str()) != 0) {
        std::remove(newName.c_str());
        PushError3ds(ERR_OPENING_FILE);
        return;
    }
    file->temporary = 1;
    if (!ftk3ds::ReplaceText(file->name, newName.c_str())) return;
    file->stream = std::fopen(newName.c_str(), "rb");
    if (file->stream == nullptr) {
        PushError3ds(ERR_OPENING_FILE);
        return;
    }
    GiveBuffer(*file);
    if (fseeko(file->stream, position, SEEK_SET) != 0) PushError3ds(ERR_OPENING_FILE);
}

file3ds* OpenFile3ds(const char* name, const char* mode) {
    ClearErrorList3ds();
    if (name == nullptr || mode == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    file3ds* earlier = FindFileByName3ds(name);

    const std::size_t modeLength = CheckStringLength3ds(mode, 30);
    if (FtkErrorStops()) return nullptr;
    std::int32_t state = FileStateNone3ds;
    for (std::size_t i = 0; i < modeLength && state == FileStateNone3ds; ++i) {
        if (mode[i] == 'w') state = FileStateWrite3ds;
        if (mode[i] == 'r') state = FileStateRead3ds;
    }
    if (state == FileStateNone3ds) {
        PushError3ds(ERR_INIT_FAILED);
        return nullptr;
    }
    if (earlier != nullptr) {
        if (earlier->state == state) return earlier;
        if ((earlier->state & FileStateRead3ds) != 0) {
            MoveFileToTemp3ds(earlier);
        } else {
            CloseFile3ds(earlier);
        }
        if (FtkErrorStops()) return nullptr;
    }

    file3ds* file = nullptr;
    InitFile3ds(&file);
    if (FtkErrorStops() || file == nullptr) {
        PushError3ds(ERR_INIT_FAILED);
        return nullptr;
    }
    file->state = state;
    file->name = StrDup3ds(name);
    if (file->name == nullptr) {
        FreeRecord(file);
        return nullptr;
    }
    AddFileToList3ds(file);
    if (FtkErrorStops()) {
        FreeRecord(file);
        return nullptr;
    }
    // A file to read must be a regular one: a FIFO would stall the open and a
    // device would never end.
    file->stream = state == FileStateWrite3ds ? std::fopen(name, "wb") : qalimor::os::OpenRegularFile(name);
    if (file->stream == nullptr) {
        RemoveFileFromList3ds(file);
        FreeRecord(file);
        PushError3ds(ERR_OPENING_FILE);
        return nullptr;
    }
    std::uint32_t bufferSize = kStreamBufferSize;
    if (state == FileStateRead3ds) {
        // Unbuffered before anything else, so that finding the length reads
        // nothing; never a window larger than the file could fill.
        GiveBuffer(*file);
        const std::int64_t length = StreamLength(file->stream);
        bufferSize = static_cast<std::uint32_t>(std::clamp<std::int64_t>(length, 0, kReadWindowSize));
    }
    if (bufferSize > 0) {
        file->buffer = static_cast<char*>(Alloc3ds(__FILE__, __LINE__, bufferSize));
        if (file->buffer != nullptr) {
            file->buffersize = bufferSize;
            if (state != FileStateRead3ds) GiveBuffer(*file);
        }
    }
    return file;
}

file3ds* AttachFile3ds(std::FILE* stream) {
    ClearErrorList3ds();
    if (stream == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    file3ds* file = nullptr;
    InitFile3ds(&file);
    if (FtkErrorStops() || file == nullptr) return nullptr;
    file->state = FileStateWrite3ds;
    file->lent = 1;
    AddFileToList3ds(file);
    if (FtkErrorStops()) {
        FreeRecord(file);
        return nullptr;
    }
    // No buffer of the record's own: the stream outlives the record.
    file->stream = stream;
    return file;
}

void CloseFile3ds(file3ds* file) {
    if (file == nullptr) return;
    bool failed = false;
    if (file->stream != nullptr && file->lent != 0) {
        if (std::fflush(file->stream) != 0) PushError3ds(ERR_WRITING_FILE);
    } else if (file->stream != nullptr) {
        failed = std::fclose(file->stream) != 0;
    }
    file->stream = nullptr;
    if (file->temporary != 0 && file->name != nullptr) std::remove(file->name);
    RemoveFileFromList3ds(file);
    FreeRecord(file);
    if (failed) PushError3ds(ERR_CLOSING_FILE);
}

void CloseAllFiles3ds() {
    OpenFileList3ds& files = Files();
    // Every file is closed even after one fails to, so that no record is lost.
    for (int i = 0; i < files.count; ++i) {
        if (files.slots[i] != nullptr) CloseFile3ds(files.slots[i]);
    }
    files = OpenFileList3ds{};
}

}  // namespace fbxsdk_2006_11_1
