// The base of every file reader. The importer drives a reader through these
// slots in this order: FileOpen, GetReadOptions (only when its caller gave no
// options), Read, FileClose; then it deletes it.
#ifndef FBXFILESDK_FBX_KFBXREADER_H
#define FBXFILESDK_FBX_KFBXREADER_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxNode;
class KFbxScene;
class KFbxSdkManager;
class KFbxStreamOptions;

class KFbxReader {
public:
    enum EError {
        eFILE_CORRUPTED = 0,
        eFILE_VERSION_NOT_SUPPORTED = 1,
        eWRONG_PASSWORD = 2,
        eFILE_NOT_OPENED = 3,
        eOUT_OF_MEMORY = 4,
        eUNIDENTIFIED_ERROR = 5,
        eSTREAM_OPTIONS_NOT_SET = 6,
        eERROR_COUNT = 7
    };

    explicit KFbxReader(KFbxSdkManager& manager);
    virtual ~KFbxReader();
    KFbxReader(const KFbxReader&) = delete;
    KFbxReader& operator=(const KFbxReader&) = delete;

    // The version of the open file: 0, 0, 0 at this level.
    virtual void GetVersion(int& major, int& minor, int& revision);
    virtual bool FileOpen(const char* fileName) = 0;
    // True when FileOpen refuses, at once and on its own, whatever is not a
    // regular file: its caller need not look at the file first.
    virtual bool OpensRegularFilesOnly() const;
    virtual bool FileClose() = 0;
    // True while a file stream is held.
    virtual bool IsFileOpen() = 0;
    // New options of the reader's class with its defaults and what the open
    // file announces; the caller owns them (destroy them with Destroy). Null
    // with status eFILE_NOT_OPENED when no file is open.
    virtual KFbxStreamOptions* GetReadOptions() = 0;
    virtual bool Read(KFbxScene* scene, KFbxStreamOptions* options) = 0;
    // True when no two nodes of the subtree share a name; else each repeated
    // name is appended once to the message, after "\n    ".
    virtual bool CheckDuplicateNodeNames(KFbxNode* root, KString& message);

    ErrorHolder& GetError() { return mError; }
    const ErrorHolder& GetError() const { return mError; }
    // The message, and how many warnings it leaves out.
    void GetMessageText(KString& message) const;
    KFbxSdkManager& GetSdkManager() const { return mManager; }

    static const char* GetErrorText(int code);

    // A file full of faults keeps only this many warnings in the message;
    // the rest are counted.
    static constexpr int kKeptWarnings = 1000;

protected:
    // Counts one warning; true while it is still to be put in the message.
    bool KeepWarning() { return ++mWarnings <= kKeptWarnings; }
    // Empties the message and the count of warnings, as a new read begins.
    void ClearMessage();

    KFbxSdkManager& mManager;
    ErrorHolder mError;
    KString mMessage;

private:
    int mWarnings = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
