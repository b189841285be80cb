// What the FBX writers of both file versions share: the field file they own
// from FileCreate to FileClose, the IO object that hears their progress, the
// options of the write under way, the file mode, and the records both
// versions write the same way (password, thumbnail, scene information, the
// light settings of the "Version5" records, the end of a model record).
#ifndef FBXFILESDK_FBX_KFBXWRITERFBXCOMMON_H
#define FBXFILESDK_FBX_KFBXWRITERFBXCOMMON_H

#include <fbxfilesdk/fbx/KFbxWriter.h>

namespace fbxsdk_2006_11_1 {

class IFbxObject;
class KFbxIO;
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
    // "File not opened". The field file is dropped whatever the outcome.
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
    // Ends the block and the record of a model.
    void WriteModelEnd();

protected:
    // The option of the write under way; false without options or option.
    bool IsOptionOn(const char* name) const;
    KString GetStringOption(const char* name) const;
    bool IsPasswordProtected() const;
    // True after a write error of the field file.
    bool HasFieldFileError() const;
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
};

}  // namespace fbxsdk_2006_11_1

#endif
