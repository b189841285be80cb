#include <fbxfilesdk/core/DirectoryIterator.h>

#include <platform/os/File.h>

namespace fbxsdk_2006_11_1 {

DirectoryIterator::DirectoryIterator() = default;

bool DirectoryIterator::Open(const char* folder) { return mReader.Open(folder); }

bool DirectoryIterator::Next() { return mReader.Next(mName); }

bool DirectoryIterator::Failed() const { return mReader.Failed(); }

const std::string& DirectoryIterator::GetName() const { return mName; }

void DirectoryIterator::CloseIfOpen() { mReader.Close(); }

namespace {

// True only when the folder was listed to its end and held nothing.
bool ListsEmpty(DirectoryIterator& iterator, const char* folder) {
    if (!folder || !*folder || !iterator.Open(folder)) return false;
    const bool empty = !iterator.Next() && !iterator.Failed();
    iterator.CloseIfOpen();
    return empty;
}

}  // namespace

bool DeleteDirectoryTree(DirectoryIterator& iterator, const char* folder) {
    return ListsEmpty(iterator, folder) && qalimor::os::RemoveEmptyDirectory(folder);
}

bool DirectoryIsEmpty(const char* folder) {
    DirectoryIterator iterator;
    return ListsEmpty(iterator, folder);
}

}  // namespace fbxsdk_2006_11_1
