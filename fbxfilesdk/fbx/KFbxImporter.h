// Reads a file into a scene. Initialize picks the reader of the file's
// format from the registry, opens the file with it and checks its version;
// Import reads the open file into a scene.
#ifndef FBXFILESDK_FBX_KFBXIMPORTER_H
#define FBXFILESDK_FBX_KFBXIMPORTER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/fbx/KFbxIO.h>

#include <memory>

namespace fbxsdk_2006_11_1 {

class KFbxReader;
class KFbxScene;
class KFbxStreamOptions;

class KFbxImporter : public KFbxIO {
public:
    // The class id of KFbxImporter; null until the SDK classes are registered.
    static KFbxClassId ClassId;

    KFbxImporter(KFbxSdkManager* manager, const char* name);
    ~KFbxImporter() override;

    static KFbxImporter* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);
    KFbxClassId GetClassId() const override;

    // Drops the previous reader, stores the name, opens the file with the
    // reader of its extension (the FBX reader for an unknown one) and checks
    // its version: an FBX file of major version above 6 is refused. False on
    // any failure, with the status set.
    bool Initialize(const char* fileName) override;
    // Reads the open file into the scene with the options, or with the
    // reader's defaults when they are null. On failure the status is set and
    // the scene holds what it held before.
    bool Import(KFbxScene* scene, KFbxStreamOptions* options = nullptr);

    // The reader's options for the open file (defaults plus what the file
    // announces, such as its takes); the caller destroys them. Null, with the
    // status set, when no file is open.
    KFbxStreamOptions* GetImportOptions();
    // The version of the open file; zeros when none is open.
    void GetFileVersion(int& major, int& minor, int& revision);
    // The reader format of the open file; -1 when none is open.
    int GetFileFormat() const { return mFormat; }
    // The detailed message of the last read.
    void GetMessageText(KString& message) const { message = mMessage; }

private:
    void ReleaseReader();
    // False, with "File not opened" naming the file and the system's reason,
    // unless the name is a regular file that can be read.
    bool CanOpen(const char* fileName);
    // A new reader of the format with the file open; false, with the
    // importer's error, when it cannot be made or refuses the file.
    bool OpenWith(int format, const char* fileName);
    // A new FBX reader of the format, given the file the current reader has
    // open.
    bool HandOverTo(int format, const char* fileName);
    // Takes the reader's status as the importer's.
    void TakeReaderError();

    std::unique_ptr<KFbxReader> mReader;
    int mFormat = -1;
    KString mMessage;
};

}  // namespace fbxsdk_2006_11_1

#endif
