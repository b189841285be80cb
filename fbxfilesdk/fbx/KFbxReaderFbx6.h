// Reads FBX 6 files (binary, ascii and enciphered binary) into a scene.
// The file is checked whole when it is opened (syntax, trailer, password),
// so a read that starts never stops half way: a damaged or refused file
// leaves the caller's scene as it was.
#ifndef FBXFILESDK_FBX_KFBXREADERFBX6_H
#define FBXFILESDK_FBX_KFBXREADERFBX6_H

#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/fbx/KFbxReader.h>
#include <fbxfilesdk/fbx/MediaExtraction.h>

#include <initializer_list>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KFbx;
class KFbxIO;
class KFbxStreamOptionsFbxReader;

class KFbxReaderFbx6 : public KFbxReader {
public:
    // The IO object is the registry's create argument; this reader reports
    // through its own status only.
    KFbxReaderFbx6(KFbxSdkManager& manager, KFbxIO* io);
    ~KFbxReaderFbx6() override;

    // The version of the open file: 6100 gives 6, 1, 0.
    void GetVersion(int& major, int& minor, int& revision) override;
    // Opens and checks the file. A file protected by a password is kept as
    // it was read, and opened by Read with the "PASSWORD" option.
    bool FileOpen(const char* fileName) override;
    bool FileClose() override;
    bool IsFileOpen() override;
    // Takes over the file another FBX reader has open, with what its open
    // learnt (version, password need), so that a file is not read twice to
    // reach the reader of its version. The other reader is left closed.
    void TakeOpenFile(KFbxReaderFbx6& other);
    // A KFbxStreamOptionsFbxReader with its defaults, the file's current
    // take as "CURRENT TAKE NAME" and the file's takes in its take list.
    KFbxStreamOptions* GetReadOptions() override;
    // Needs KFbxStreamOptionsFbxReader options. The scene is cleared and
    // filled only once the file was found readable.
    bool Read(KFbxScene* scene, KFbxStreamOptions* options) override;

protected:
    // The file versions this reader reads: 6000 to 6999.
    virtual bool ReadsVersion(int version) const;
    // Checks the open file's main section (selected) before the scene is
    // touched; false, with the reason, for a file the read would refuse.
    // What the file lacks that the read can do without goes to the message.
    virtual bool CheckFile(KFbx& file, KString& why);
    // Reads the main section into the cleared scene; false when memory ran
    // out on the way.
    virtual bool ReadFile(KFbx& file, KFbxScene& scene, KFbxStreamOptionsFbxReader& options);
    // Where the read extracts embedded media: one import for the read's trial
    // and its fill, so that the second finds what the first extracted.
    MediaExtraction& Media() { return mMedia; }
    // False, with the reason, when the main section (selected) holds none
    // of the sections named: a file of a version this reader reads but
    // with nothing it knows is not an empty scene.
    static bool HoldsAnySection(KFbx& file, std::initializer_list<const char*> sections, KString& why);

private:
    // Opens the file kept locked; false, with the status set, when the
    // password is wrong (the file stays locked) or the file is damaged.
    bool Unlock(const char* password);
    // Whether the open file is kept locked until Read gives its password.
    bool NeedsPassword() const;
    // Reads the main section into the (cleared) scene; false when something
    // the file holds could not be built for want of memory, or could not be
    // read because the file changed on disk since it was opened.
    bool Fill(KFbxScene& scene, KFbxStreamOptionsFbxReader& options);
    // The status of a Fill that failed; false.
    bool FillFailed();
    // Whether the file changed on disk since it was opened, so that what was
    // read of it is not the file; then the status says so.
    bool ReportContentLoss();
    // Whether the scene holds no more than a new one: the root without
    // children, the switcher, the global settings, no takes or scene info.
    static bool HoldsNothing(const KFbxScene& scene);
    void SetFieldFileError(int fieldFileCode, const char* text);

    std::unique_ptr<KFbx> mFile;
    KString mFileName;
    int mFileVersion = 0;
    MediaExtraction mMedia;
};

// The registry's create function of the FBX reader.
KFbxReader* CreateFbxReader(KFbxSdkManager& manager, KFbxIO* io, int subFormat);

}  // namespace fbxsdk_2006_11_1

#endif
