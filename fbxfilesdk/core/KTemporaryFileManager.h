// The process-wide list of temporary files (media that the FBX reader
// extracts, for instance), and the rule for deleting them.
//
// An entry marked for deletion removes its file when it is destroyed, then the
// file's folder when that folder is verifiably empty: a folder that cannot be
// listed or still holds anything stays, nothing below a folder is deleted on
// its behalf, and folders that other programs share (the root, the system's
// temporary folder, the working folder) are never removed.
//
// The manager keeps files by default: clearing the list then forgets the
// entries without deleting anything. A host that wants its temporary files
// gone clears the keep flag.
#ifndef FBXFILESDK_CORE_KTEMPORARYFILEMANAGER_H
#define FBXFILESDK_CORE_KTEMPORARYFILEMANAGER_H

#include <fbxfilesdk/core/ICallback.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/ListenerList.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KTemporaryFileEntry {
public:
    KTemporaryFileEntry(const KString& fileName, bool deleteOnDestruction);
    ~KTemporaryFileEntry();
    KTemporaryFileEntry(const KTemporaryFileEntry&) = delete;
    KTemporaryFileEntry& operator=(const KTemporaryFileEntry&) = delete;

    const KString& GetFileName() const { return mFileName; }
    bool GetDeleteOnDestruction() const { return mDeleteOnDestruction; }
    void SetDeleteOnDestruction(bool deleteOnDestruction) { mDeleteOnDestruction = deleteOnDestruction; }

private:
    KString mFileName;
    bool mDeleteOnDestruction;
};

class KTemporaryFileManager : public ICallback {
public:
    // The object message that clears the list.
    static constexpr std::intptr_t kClearMessage = 15;
    static constexpr std::uint32_t kInterfaceCallback = 2;

    // Made on first use, destroyed (and cleared) when the process ends.
    static KTemporaryFileManager* GetInstance();

    // Itself for id 2, else null.
    void* GetInterface(std::uint32_t id, void* argument) override;

    // A name already listed (compared byte by byte) keeps its first entry.
    void AddFile(KString name, bool deleteOnDestruction);
    // Destroys every entry in list order; while files are kept, none is deleted.
    void Clear();
    // Registered with the object manager: message 15 clears the list.
    static void OnEvent(void* userData, void* sender, ListenerEvent* event);

    bool GetKeepFiles() const { return mKeepFiles; }
    void SetKeepFiles(bool keepFiles) { mKeepFiles = keepFiles; }
    int GetFileCount() const { return static_cast<int>(mEntries.size()); }
    // Null outside 0..count - 1.
    const KTemporaryFileEntry* GetFile(int index) const;

private:
    KTemporaryFileManager();
    ~KTemporaryFileManager() override;
    KTemporaryFileManager(const KTemporaryFileManager&) = delete;
    KTemporaryFileManager& operator=(const KTemporaryFileManager&) = delete;

    bool mKeepFiles;
    std::vector<std::unique_ptr<KTemporaryFileEntry>> mEntries;
};

}  // namespace fbxsdk_2006_11_1

#endif
