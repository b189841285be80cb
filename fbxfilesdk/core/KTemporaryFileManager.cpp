#include <fbxfilesdk/core/KTemporaryFileManager.h>

#include <fbxfilesdk/core/DirectoryIterator.h>
#include <fbxfilesdk/core/KFbxObjectManager.h>
#include <fbxfilesdk/core/KFile.h>

#include <platform/os/File.h>
#include <platform/os/System.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace fbxsdk_2006_11_1 {

namespace {

// Folders that other programs keep their files in too: emptying them is no
// sign that they were ours.
bool IsSharedFolder(const std::string& folder) {
    const std::string shared[] = {"/", ".", qalimor::os::TemporaryDirectory()};
    for (const std::string& other : shared) {
        std::error_code error;
        if (std::filesystem::equivalent(folder, other, error)) return true;
    }
    return false;
}

}  // namespace

KTemporaryFileEntry::KTemporaryFileEntry(const KString& fileName, bool deleteOnDestruction)
    : mFileName(fileName), mDeleteOnDestruction(deleteOnDestruction) {}

KTemporaryFileEntry::~KTemporaryFileEntry() {
    if (!mDeleteOnDestruction || !mFileName.IsOK() || mFileName.IsEmpty()) return;
    KFile::RemoveFile(mFileName);

    const int slash = mFileName.ReverseFind('/');
    const int backslash = mFileName.ReverseFind('\\');
    const int last = slash > backslash ? slash : backslash;
    // A bare name has no folder of its own to clean up.
    if (last < 0) return;
    const std::string folder = qalimor::os::NativePath(std::string(mFileName.Buffer(), static_cast<std::size_t>(last + 1)));
    if (IsSharedFolder(folder)) return;
    DirectoryIterator iterator;
    DeleteDirectoryTree(iterator, folder.c_str());
}

KTemporaryFileManager* KTemporaryFileManager::GetInstance() {
    static KTemporaryFileManager instance;
    return &instance;
}

KTemporaryFileManager::KTemporaryFileManager() : mKeepFiles(true) {
    KFbxObjectManager::RegisterGlobal(this, &KTemporaryFileManager::OnEvent);
}

KTemporaryFileManager::~KTemporaryFileManager() {
    // At process end the object manager may be gone already; then there is
    // nothing to unregister from, and the call says so harmlessly.
    KFbxObjectManager::UnregisterGlobal(this, &KTemporaryFileManager::OnEvent);
    Clear();
}

void* KTemporaryFileManager::GetInterface(std::uint32_t id, void*) {
    return id == kInterfaceCallback ? this : nullptr;
}

void KTemporaryFileManager::AddFile(KString name, bool deleteOnDestruction) {
    if (!name.IsOK()) return;
    for (const auto& entry : mEntries) {
        if (entry->GetFileName() == name) return;
    }
    mEntries.push_back(std::make_unique<KTemporaryFileEntry>(name, deleteOnDestruction));
}

void KTemporaryFileManager::Clear() {
    for (auto& entry : mEntries) {
        if (mKeepFiles) entry->SetDeleteOnDestruction(false);
        entry.reset();
    }
    mEntries.clear();
}

void KTemporaryFileManager::OnEvent(void* userData, void*, ListenerEvent* event) {
    if (userData == nullptr || event == nullptr || event->mMessage != kClearMessage) return;
    static_cast<KTemporaryFileManager*>(userData)->Clear();
}

const KTemporaryFileEntry* KTemporaryFileManager::GetFile(int index) const {
    return index >= 0 && index < GetFileCount() ? mEntries[static_cast<std::size_t>(index)].get() : nullptr;
}

}  // namespace fbxsdk_2006_11_1
