// What the FBX writers of both file versions share: the field file they own
// from FileCreate to FileClose, the IO object that hears their progress, the
// options of the write under way, the file mode, and the records both
// versions write the same way (password, thumbnail, scene information, the
// light and renderer settings, a model's display fields and end, the fields
// of a media file, the "Takes" section's frame and take records, and the
// "Summary" section).
#ifndef FBXFILESDK_FBX_KFBXWRITERFBXCOMMON_H
#define FBXFILESDK_FBX_KFBXWRITERFBXCOMMON_H

#include <fbxfilesdk/fbx/KFbxWriter.h>

#include <fbxfilesdk/core/KFbxDocumentFileNames.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KFbxSceneNameSnapshot.h>

#include <optional>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

class IFbxObject;
class KFbxIO;
class KFbxObject;
class KFbxPose;
class KFbxSceneInfo;
class KFbxStreamOptionsFbxWriter;
class KFbxThumbnail;

class KFbxWriterFbxCommon : public KFbxWriter {
public:
    enum EFileMode { eASCII = 0, eBINARY = 1, eENCRYPTED = 2 };

    // The IO object may be null: progress then goes nowhere.
    KFbxWriterFbxCommon(KFbxSdkManager& manager, KFbxIO* io);
    // Closes a file still open.
    ~KFbxWriterFbxCommon() override;

    // Finishes the identity fields and the footer and closes. Without a file:
    // "File not opened". The field file is dropped whatever the outcome; the
    // file takes its place only after writes that all succeeded.
    bool FileClose() override;
    bool IsFileOpen() override;
    KFbxStreamOptions* GetWriteOptions() override;
    // A new FBX writer option set with its defaults; the flag is not used.
    virtual KFbxStreamOptions* GetWriteOptions(bool unused);
    // Prepares the scene, writes it into the writer's own field file and
    // gives the scene back; the result is the write's.
    bool Write(KFbxScene* scene, KFbxStreamOptions* options) override;
    // Writes into the given open field file (nested scenes) instead of the
    // writer's own when one is given.
    virtual bool Write(KFbxScene* scene, KFbxStreamOptions* options, IFbxObject* fieldFile) = 0;

    // 1 binary, 0 ascii, 2 encrypted binary: the next FileCreate uses it.
    void SetFileMode(int mode) { mFileMode = mode; }
    int GetFileMode() const { return mFileMode; }

    // The field file being written; null when none is open.
    IFbxObject* GetFieldFile() const { return mFbx; }

    // ---- records both file versions write ----
    // The record the field file derives from the password, when the options
    // ask for one and give a non-empty password.
    void WritePassword();
    // "Thumbnail"; nothing for a thumbnail without size.
    void WriteThumbnail(const KFbxThumbnail* thumbnail);
    // "SceneInfo"; nothing without scene information.
    void WriteSceneInfo(const KFbxSceneInfo* sceneInfo);
    void WriteAmbientRenderSettings(KFbxScene& scene);
    void WriteFogOptions(KFbxScene& scene);
    // Only when the scene has shadow planes.
    void WriteShadowPlanes(KFbxScene& scene);
    // Ambient render settings, fog options and shadow planes, in this order.
    void WriteVersion5GlobalSections(KFbxScene& scene);
    void WriteRendererSetting(KFbxScene& scene);
    // "MultiLayer" and "MultiTake"; "Hidden" and "Shading"; "Culling".
    bool WriteModelMultiLayer(KFbxNode& node);
    bool WriteModelShading(KFbxNode& node);
    bool WriteModelCulling(KFbxNode& node);
    // Ends the block and the record of a model.
    void WriteModelEnd();
    // A "PoseNode" block per entry of the pose (or per entry of the given
    // indices): the node, its matrix and, but in a bind pose, whether the
    // matrix is local.
    void WritePoseNodeBlocks(const KFbxPose& pose);
    void WritePoseNodeBlocks(const KFbxPose& pose, const std::vector<int>& entries);
    // The fields of a media file from "Filename" on, with the file's content
    // (converted when a converter of the manager knows the file) before and
    // after them when embedding. False when embedded content could not be
    // written: the record then stands as if not embedding, and the message
    // names the file and why (only a regular file is embedded).
    // The relative file name is the media folder's place when the content is
    // embedded, else the way to the file from the written file's folder when
    // the file name is an absolute path (NameFromWrittenFile), else the
    // scene's relative name (empty when it has none), else the way to the
    // file from the written file's folder as the working folder leads to it.
    bool WriteMediaFileFields(const KString& fileName, const KString& mediaPath, const char* sceneRelativeName,
                              bool embed);
    // The way from the written file's folder to a file the scene names by an
    // absolute path of this system, so that the written file still finds it
    // when both move together; empty for any other name (relative, or of
    // another system) and while no file is open.
    KString NameFromWrittenFile(const char* fileName) const;
    // The same for a relative name, from the working folder as the system
    // follows it; empty for any other name.
    KString NameFromWorkingFolder(const KString& fileName) const;

    // ---- sections both file versions write ----
    // "Takes": one "Take" record for each selected take but "Default", with
    // the take's file name, spans, comments and thumbnail, then the objects'
    // records of that take. A take without take information gets one, and
    // unset spans are filled from the keys; the current takes stay as they were.
    bool WriteTakes(KFbxScene& scene);
    // The object's record for the take, nothing (false) when it has no such
    // take. Material shininess curves are written a hundred times larger; the
    // scene's curves come out as they were.
    bool WriteObjectTake(KFbxObject& object, const char* takeName, const char* recordName, bool shininess);
    // After the main section: false when no section could be appended.
    bool WriteSummary(KFbxScene* scene, int mediaCount);

protected:
    // The caller's options when they are FBX writer options; for motion
    // writer options the fresh set, reset to its defaults; null otherwise.
    static KFbxStreamOptionsFbxWriter* SelectWriteOptions(KFbxStreamOptions* options,
                                                          KFbxStreamOptionsFbxWriter* fresh);
    // Creates the field file when there is none and the file with the
    // header of the version; a relative name is taken from the current
    // directory. On failure the status follows the field file's error.
    bool CreateFieldFile(const char* fileName, int fileVersion);
    // Remembers the name of every object of the scene, for RestoreNames.
    void RememberNames(KFbxScene& scene);
    // Gives every object a name of its own among the objects of its kind: a
    // file knows its objects by name only, and two of one name would make
    // the references between them ambiguous.
    void MakeNamesUnique(KFbxScene& scene);
    // Gives back the names RememberNames saw to the objects the scene still
    // holds.
    void RestoreNames(KFbxScene& scene);
    // The records of one take after its head, inside its "Take" block.
    virtual void WriteTakeObjects(KFbxScene& scene, const char* takeName) = 0;
    // The "Constraint" count of the summary.
    virtual int GetSummaryConstraintCount(const KFbxScene& scene) const = 0;

    // The option of the write under way; false without options or option.
    bool IsOptionOn(const char* name) const;
    KString GetStringOption(const char* name) const;
    bool IsPasswordProtected() const;
    // True after a write error of the field file.
    bool HasFieldFileError() const;
    // The writer's status after a section left a field file error: "Out of
    // disk space", unless the field file names another cause (a failing
    // stream, a value the format cannot hold) or a full disk's path and
    // reason, whose text it then keeps.
    void SetFieldFileError();
    // The field file's error text, naming the file as FileCreate was given it.
    std::string FieldFileErrorText() const;
    // Tells the IO object how far a pass got.
    void ReportProgress(const char* text, float percent);
    // Advances the pass counter and reports counter * 100 / total.
    void StepProgress(const char* text);
    void StartProgress(const char* text, int total);

    IFbxObject* mFbx = nullptr;
    KFbxIO* mIO = nullptr;
    KFbxStreamOptionsFbxWriter* mOptions = nullptr;
    int mFileMode = eBINARY;
    int mProgress = 0;
    int mProgressTotal = 0;

private:
    KFbxSceneNameSnapshot mRenamed;
    // The file's name as given, and as the field file knows it.
    std::string mFileName;
    std::string mJoinedFileName;
    // The written file's folder (and the working folder with it); none
    // while no file is open.
    const KFbxDocumentFolder* WrittenFolder() const;
    // The written file's folder, measured once a write for the media's
    // names, and the name it was measured for (a nested scene's file has
    // its own).
    mutable std::optional<KFbxDocumentFolder> mWrittenFolder;
    mutable KString mWrittenFolderOf;
};

}  // namespace fbxsdk_2006_11_1

#endif
