// The abstract base of every file writer. A writer is made for one file by
// the format registry and driven in this order: FileCreate, GetWriteOptions
// (when the caller has none), Write, FileClose; its destructor closes a file
// still open. What a writer writes takes the place of the file named only
// when it is closed whole, after writes that all succeeded: a write that
// fails or is refused, or none at all, leaves that file as it was. Failures
// are reported through the status (a code with its fixed text, or a detail
// text from the layer below) and the message text.
#ifndef FBXFILESDK_FBX_KFBXWRITER_H
#define FBXFILESDK_FBX_KFBXWRITER_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxNode;
class KFbxScene;
class KFbxSdkManager;
class KFbxStreamOptions;

class KFbxWriter {
public:
    enum EError {
        eFILE_CORRUPTED = 0,
        eFILE_NOT_OPENED = 1,
        eFILE_NOT_CREATED = 2,
        eOUT_OF_DISK_SPACE = 3,
        eSTREAM_OPTIONS_NOT_SET = 4,
        eEMBEDDED_OUT_OF_SPACE = 5,
        eUNIDENTIFIED_ERROR = 6,
        eERROR_COUNT = 7
    };

    explicit KFbxWriter(KFbxSdkManager& manager);
    virtual ~KFbxWriter();
    KFbxWriter(const KFbxWriter&) = delete;
    KFbxWriter& operator=(const KFbxWriter&) = delete;

    virtual bool FileCreate(const char* fileName) = 0;
    virtual bool FileClose() = 0;
    virtual bool IsFileOpen() = 0;
    // A new option set of the writer's kind, owned by the caller.
    virtual KFbxStreamOptions* GetWriteOptions() = 0;
    virtual bool Write(KFbxScene* scene, KFbxStreamOptions* options) = 0;
    virtual bool PreprocessScene(KFbxScene& scene) = 0;
    virtual bool PostprocessScene(KFbxScene& scene) = 0;
    // The first marked node on the chain of only children under the root;
    // null when the root has not exactly one child or none is marked.
    virtual KFbxNode* FindSingleChainNode(KFbxScene& scene);
    // False when a node of the subtree has a blank, tab or new line in its
    // name; each such name is appended to the message on a line of its own.
    virtual bool CheckNodeNameSpaces(KFbxNode* node, KString& message);

    void GetMessageText(KString& message) const { message = mMessage; }

    ErrorHolder& GetError() { return mError; }
    const ErrorHolder& GetError() const { return mError; }
    int GetLastErrorID() const { return mError.GetLastErrorID(); }
    const char* GetLastErrorString() const { return mError.GetLastErrorString(); }
    // The fixed text of a status code; "" outside the table.
    static const char* GetErrorText(int code);

    // What the scene preparation of a write converts and renames the scene
    // for: a mode and the target version.
    void SetExportMode(int mode) { mExportMode = mode; }
    int GetExportMode() const { return mExportMode; }
    void SetExportVersion(const char* version) { mExportVersion = version != nullptr ? version : ""; }
    const KString& GetExportVersion() const { return mExportVersion; }

    KFbxSdkManager& GetSdkManager() const { return mManager; }

protected:
    // How the writes into the file FileCreate made went: it is whole when
    // there was one and every one succeeded.
    void StartOutput() { mOutput = eNO_WRITE; }
    void NoteWrite(bool written) { mOutput = written && mOutput != eBROKEN ? eWHOLE : eBROKEN; }
    bool IsOutputWhole() const { return mOutput == eWHOLE; }
    // The status of a file the system refused, systemError being its errno
    // (0 when it gave none): at its creation "File not opened"; for bytes or
    // a name it refused at a write or the close, "Out of disk space" for a
    // full disk or quota and otherwise an unidentified error, "Write error".
    // The text of the status is the fixed one followed by the path and the
    // system's reason, "Write error (/tmp/scene.obj: File too large)"; the
    // sentence returned says it all, for the message text.
    KString SetOpenFailure(const char* path, int systemError);
    KString SetWriteFailure(const char* path, int systemError);
    // The same for a reason told in words, as the system's reasons are (a
    // write failure is a full disk only when noSpace says so).
    KString SetOpenFailure(const char* path, const char* reason);
    KString SetWriteFailure(const char* path, const char* reason, bool noSpace = false);

    KFbxSdkManager& mManager;
    ErrorHolder mError;
    KString mMessage;
    KString mExportVersion;
    double mRootScale = 0.0;
    int mExportMode = 0;

private:
    enum EOutput { eNO_WRITE, eWHOLE, eBROKEN };
    EOutput mOutput = eNO_WRITE;
};

}  // namespace fbxsdk_2006_11_1

#endif
