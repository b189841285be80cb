// The process-wide table of the file formats the SDK reads and writes. Each
// reader and each writer entry has an id (its format), the file extension
// and description it is known by, the sub-format handed to its create
// function, and that create function (null until the library that provides
// the reader or writer installs it). Entries stay for the life of the
// process; the SDK managers count as users.
//
// Readers: 0 FBX, 1 DXF, 2 3DS, 3 OBJ, 4 COLLADA.
// Writers: 0 FBX binary, 1 FBX ascii, 2 FBX encrypted, 3 FBX 5 binary,
// 4 FBX 5 ascii (sub-formats 0 to 4), 5 DXF, 6 3DS, 7 OBJ, 8 COLLADA.
#ifndef FBXFILESDK_FBX_KFBXFILEFORMATREGISTRY_H
#define FBXFILESDK_FBX_KFBXFILEFORMATREGISTRY_H

#include <fbxfilesdk/core/KString.h>

#include <mutex>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxIO;
class KFbxReader;
class KFbxSdkManager;
class KFbxWriter;

// A create function: a new reader or writer owned by the caller; null when
// it cannot be made.
using KFbxReaderCreateFn = KFbxReader* (*)(KFbxSdkManager& manager, KFbxIO* io, int subFormat);
using KFbxWriterCreateFn = KFbxWriter* (*)(KFbxSdkManager& manager, KFbxIO* io, int subFormat);

class KFbxFileFormatRegistry {
public:
    // The FBX reader takes every FBX file; the importer hands an FBX 5 file
    // to the FBX 5 reader once the file's version is known.
    enum EReaderFormat {
        eFBX_READER = 0,
        eDXF_READER = 1,
        e3DS_READER = 2,
        eOBJ_READER = 3,
        eCOLLADA_READER = 4,
        eFBX5_READER = 5
    };
    enum EWriterFormat {
        eFBX_BINARY_WRITER = 0,
        eFBX_ASCII_WRITER = 1,
        eFBX_ENCRYPTED_WRITER = 2,
        eFBX5_BINARY_WRITER = 3,
        eFBX5_ASCII_WRITER = 4,
        eDXF_WRITER = 5,
        e3DS_WRITER = 6,
        eOBJ_WRITER = 7,
        eCOLLADA_WRITER = 8
    };

    // The registry; it exists from the first call on.
    static KFbxFileFormatRegistry& Get();
    // A new user (every manager constructor); the first one makes the registry.
    static void AddRef();
    // One user less (every manager destructor).
    static void Release();

    // Adds the entry, or replaces the one of the same id. False for a
    // negative id or a null extension.
    bool RegisterReader(int id, const char* extension, const char* description, KFbxReaderCreateFn create,
                        int subFormat = 0);
    bool RegisterWriter(int id, const char* extension, const char* description, KFbxWriterCreateFn create,
                        int subFormat = 0);
    // Installs the create function of an existing entry; false when there is none.
    bool SetReaderCreateFn(int id, KFbxReaderCreateFn create);
    bool SetWriterCreateFn(int id, KFbxWriterCreateFn create);

    // -1 when no entry matches. The extension is compared without regard to
    // case, with or without its dot; a file name gives its extension. Among
    // entries of one extension the lowest id wins.
    int FindReaderByExtension(const char* extensionOrFileName) const;
    int FindWriterByExtension(const char* extensionOrFileName) const;
    bool IsReader(int id) const;
    bool IsWriter(int id) const;
    // The ids of the entries, ascending.
    std::vector<int> GetReaderIds() const;
    std::vector<int> GetWriterIds() const;

    // Empty texts for unknown ids.
    KString GetReaderExtension(int id) const;
    KString GetReaderDescription(int id) const;
    KString GetWriterExtension(int id) const;
    KString GetWriterDescription(int id) const;

    // A new reader or writer of the entry; null for an unknown id, an entry
    // without create function, or when the function gives none.
    KFbxReader* CreateReader(int id, KFbxSdkManager& manager, KFbxIO* io) const;
    KFbxWriter* CreateWriter(int id, KFbxSdkManager& manager, KFbxIO* io) const;

private:
    struct Entry {
        int mId = -1;
        KString mExtension;
        KString mDescription;
        int mSubFormat = 0;
        KFbxReaderCreateFn mReaderCreate = nullptr;
        KFbxWriterCreateFn mWriterCreate = nullptr;
    };

    KFbxFileFormatRegistry();
    static Entry MakeEntry(int id, const char* extension, const char* description, int subFormat);
    static bool Put(std::vector<Entry>& entries, const Entry& entry);
    template <class Fn>
    bool SetCreateFn(std::vector<Entry>& entries, int id, Fn Entry::*field, Fn create);
    template <class Fn>
    Fn CreateFnOf(const std::vector<Entry>& entries, int id, Fn Entry::*field, int& subFormat) const;
    std::vector<int> IdsOf(const std::vector<Entry>& entries) const;
    KString TextOf(const std::vector<Entry>& entries, int id, KString Entry::*field) const;
    static const Entry* Find(const std::vector<Entry>& entries, int id);
    static int FindByExtension(const std::vector<Entry>& entries, const char* extensionOrFileName);

    mutable std::mutex mMutex;
    std::vector<Entry> mReaders;
    std::vector<Entry> mWriters;
};

}  // namespace fbxsdk_2006_11_1

#endif
