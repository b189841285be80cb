// Stores a scene in a file. Initialize names the file; Export picks the
// writer of the chosen format (or, without one, of the file's extension) from
// the format registry, creates the file, writes the scene and closes the
// file, even after a failed write. Failures set the status (KFbxIO codes
// with their fixed texts; a file refused at its opening and a write error
// also name the path and the system's reason); the writer's detailed
// message is kept.
#ifndef FBXFILESDK_FBX_KFBXEXPORTER_H
#define FBXFILESDK_FBX_KFBXEXPORTER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/fbx/KFbxIO.h>

namespace fbxsdk_2006_11_1 {

class IFbxObject;
class KFbxScene;
class KFbxStreamOptions;
class KFbxWriter;

class KFbxExporter : public KFbxIO {
public:
    // The class id of KFbxExporter; null until the SDK classes are registered.
    static KFbxClassId ClassId;

    // Makes sure the registry can create the writers of this library.
    KFbxExporter(KFbxSdkManager* manager, const char* name);
    ~KFbxExporter() override;

    static KFbxExporter* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);
    KFbxClassId GetClassId() const override;

    // Drops the writer of the previous file and stores the name; false for a
    // null or empty name.
    bool Initialize(const char* fileName) override;
    // The writer format of the next export (a registry writer id); -1, the
    // default, takes the format from the file's extension.
    void SetFileFormat(int writerFormat) { mFileFormat = writerFormat; }
    int GetFileFormat() const { return mFileFormat; }
    // Creates the file, writes the scene with the options (the writer's
    // defaults when null) and closes the file. False, with the status set,
    // on any failure.
    bool Export(KFbxScene* scene, KFbxStreamOptions* options = nullptr);
    // The writer's detailed message of the last export.
    void GetMessageText(KString& message) const { message = mMessage; }
    // Writes the scene into an open field file, inside the record open there,
    // with a writer of FBX 5 files made for the call (nested scenes). False,
    // with the status set, without options or field file or when the write
    // fails; the writer's message becomes the exporter's.
    bool WriteWithFbxWriter(KFbxScene* scene, KFbxStreamOptions* options, IFbxObject* fieldFile);

    // Drops the writer and empties the message.
    void Reset();
    void ReleaseWriter();

private:
    // The writer's failure as the exporter's status.
    void TakeWriterError();
    // Says that no writer handles the chosen format, or the file name's.
    KString NoWriterText(int format) const;

    KFbxWriter* mWriter = nullptr;
    int mFileFormat = -1;
    KString mMessage;
};

}  // namespace fbxsdk_2006_11_1

#endif
