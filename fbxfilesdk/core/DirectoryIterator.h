// Removal of the folders that temporary files leave behind. A folder is
// removed only when it is verifiably empty: one that cannot be listed, or a
// name with no folder in it, is left alone, and nothing below a folder is ever
// deleted on its behalf.
#ifndef FBXFILESDK_CORE_DIRECTORYITERATOR_H
#define FBXFILESDK_CORE_DIRECTORYITERATOR_H

#include <platform/os/DirectoryReader.h>

#include <string>

namespace fbxsdk_2006_11_1 {

// The listing that DeleteDirectoryTree walks with: the caller makes it empty
// and closes it after the call.
class DirectoryIterator {
public:
    DirectoryIterator();
    bool Open(const char* folder);
    // False at the end of the listing, or when it broke off (see Failed).
    bool Next();
    bool Failed() const;
    // The entry that the last successful Next found.
    const std::string& GetName() const;
    void CloseIfOpen();

private:
    qalimor::os::DirectoryReader mReader;
    std::string mName;
};

// Removes the folder when it lists and holds nothing; true when it is gone.
bool DeleteDirectoryTree(DirectoryIterator& iterator, const char* folder);

// True when the folder lists and holds no entry besides "." and "..". A folder
// that cannot be listed, or an empty name, is not known to be empty: false.
bool DirectoryIsEmpty(const char* folder);

}  // namespace fbxsdk_2006_11_1

#endif
