// Lists the names in one folder, without "." and "..".
#ifndef PLATFORM_OS_DIRECTORYREADER_H
#define PLATFORM_OS_DIRECTORYREADER_H

#include <string>

namespace qalimor::os {

class DirectoryReader {
public:
    DirectoryReader() = default;
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    // Closes a listing in progress first; false when the folder cannot be listed.
    bool Open(const char* path);
    // The same for the folder open as the descriptor (a handle for its names
    // only will do), listed through a handle of its own.
    bool OpenAt(int folder);
    // The next name; false at the end or on a read error (see Failed).
    bool Next(std::string& name);
    // True when the last Next stopped on an error rather than at the end.
    bool Failed() const { return mFailed; }
    bool IsOpen() const { return mHandle != nullptr; }
    void Close();

private:
    void* mHandle = nullptr;
    bool mFailed = false;
};

}  // namespace qalimor::os

#endif
