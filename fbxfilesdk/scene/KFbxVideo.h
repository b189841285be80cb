// The media behind a texture or a light's gobo: an image or movie file
// (absolute and relative name), what a reader learned of the original media,
// and the clip's playback settings as properties. When a video is connected
// to a texture or a light, its names flow into that object; "Path" is the
// file name seen as a property.
#ifndef FBXFILESDK_SCENE_KFBXVIDEO_H
#define FBXFILESDK_SCENE_KFBXVIDEO_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KStringList;

// How a video reaches the textures it feeds. Textures belong to a library
// built on this one, so that library installs the operation here. It gives
// the object the names that are not null and answers whether the object is a
// texture; an object that is not one is left alone.
using KFbxVideoTextureNamesFn = bool (*)(KFbxObject& object, const char* fileName, const char* relativeFileName,
                                         const char* mediaName);
// Null uninstalls; then videos feed no texture.
void KFbxSetVideoTextureNames(KFbxVideoTextureNamesFn fn);
KFbxVideoTextureNamesFn KFbxGetVideoTextureNames();

class KFbxVideo : public KFbxTakeNodeContainer {
public:
    enum EInterlaceMode : int { eDISK = 0, eMEMORY = 1, eDISK_ASYNC = 2 };
    enum EAccessMode : int {
        eNONE = 0,
        eFIELDS = 1,
        eHALF_FRAME_EVEN = 2,
        eHALF_FRAME_ODD = 3,
        eFULL_FRAME_EVEN = 4,
        eFULL_FRAME_ODD = 5,
        eFULL_FRAME_EVEN_ODD = 6,
        eFULL_FRAME_ODD_EVEN = 7
    };

    // The class id of KFbxVideo; null until the class is registered.
    static KFbxClassId ClassId;

    // No file name yet, play speed 1, every other setting 0, original format.
    KFbxVideo(KFbxSdkManager* manager, const char* name);
    ~KFbxVideo() override;

    static KFbxVideo* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // A KFbxVideo_internal.
    KFbxObject_internal* NewInternalObject() override;
    // 5: files name videos "Video::".
    int GetObjectTypeCode() const override { return 5; }
    const char* GetTypeName() const override { return "Clip"; }
    void GetTypeFlags(KStringList& flags) const override;
    // On joining a texture the texture gets the file names and, as media
    // name, the video's name; on joining a light the light gets the file name.
    bool ConnectNotify(const KFbxConnectEvent& event) override;
    // "Path" keeps the file name in step.
    void PropertyChanged(KFbxProperty& property) override;
    // A channel for every animatable property.
    void FillTakeNodeTemplate(KFbxTakeNode& takeNode) override;
    // Mode 2: a new video of the same name with copies of this one's takes,
    // names and settings; null for other modes. The two share nothing.
    KFbxVideo* Clone(int mode) const;

    // Mip-map use false, original format true, no original file name; the
    // file names and the settings stay.
    void Reset();

    // False for a null or empty name. A new name goes to the first texture
    // the video feeds.
    bool SetFileName(const char* name);
    // Null until a name was given.
    const char* GetFileName() const;
    // False for a null or empty name. A new name goes to the first texture
    // the video feeds.
    bool SetRelativeFileName(const char* name);
    const char* GetRelativeFileName() const { return mRelativeFileName.Buffer(); }

    void SetUseMipMap(bool use) { mUseMipMap = use; }
    bool GetUseMipMap() const { return mUseMipMap; }
    void SetOriginalFormat(bool original) { mOriginalFormat = original; }
    bool GetOriginalFormat() const { return mOriginalFormat; }
    // A null name counts as "".
    void SetOriginalFilename(const char* name) { mOriginalFilename = name != nullptr ? name : ""; }
    const char* GetOriginalFilename() const { return mOriginalFilename.Buffer(); }

    // ---- playback settings ----
    void SetFrameRate(double rate) { FrameRate.Set(rate); }
    double GetFrameRate() const { return FrameRate.Get(); }
    void SetLastFrame(int frame) { LastFrame.Set(frame); }
    int GetLastFrame() const { return LastFrame.Get(); }
    void SetWidth(int width) { Width.Set(width); }
    int GetWidth() const { return Width.Get(); }
    void SetHeight(int height) { Height.Set(height); }
    int GetHeight() const { return Height.Get(); }
    void SetStartFrame(int frame) { StartFrame.Set(frame); }
    int GetStartFrame() const { return StartFrame.Get(); }
    void SetStopFrame(int frame) { StopFrame.Set(frame); }
    int GetStopFrame() const { return StopFrame.Get(); }
    void SetPlaySpeed(double speed) { PlaySpeed.Set(speed); }
    double GetPlaySpeed() const { return PlaySpeed.Get(); }
    void SetOffset(const KTime& offset) { Offset.Set(offset); }
    KTime GetOffset() const { return Offset.Get(); }
    // Values without a name are kept as given.
    void SetInterlaceMode(int mode);
    int GetInterlaceMode() const;
    void SetFreeRunning(bool freeRunning) { FreeRunning.Set(freeRunning); }
    bool GetFreeRunning() const { return FreeRunning.Get(); }
    void SetLoop(bool loop) { Loop.Set(loop); }
    bool GetLoop() const { return Loop.Get(); }
    void SetAccessMode(int mode);
    int GetAccessMode() const;
    // "Disk", "Memory", "Disk Async"; null for any other value.
    static const char* GetInterlaceModeName(int mode);
    // "None", "Fields", ... "Full Frame Odd/Even"; null for any other value.
    static const char* GetAccessModeName(int mode);

    KFbxTypedProperty<double> FrameRate;
    KFbxTypedProperty<int> LastFrame;
    KFbxTypedProperty<int> Width;
    KFbxTypedProperty<int> Height;
    KFbxTypedProperty<KString> Path;
    KFbxTypedProperty<int> StartFrame;
    KFbxTypedProperty<int> StopFrame;
    KFbxTypedProperty<double> PlaySpeed;
    KFbxTypedProperty<KTime> Offset;
    KFbxProperty InterlaceMode;
    KFbxTypedProperty<bool> FreeRunning;
    KFbxTypedProperty<bool> Loop;
    KFbxProperty AccessMode;

private:
    void InitProperties();
    // The names that are not null go to the first texture the video feeds.
    void PushToFirstTexture(const char* fileName, const char* relativeFileName) const;
    void CopySettingsFrom(const KFbxVideo& other);

    KString mFileName;
    bool mHasFileName = false;
    KString mRelativeFileName;
    KString mOriginalFilename;
    bool mUseMipMap = false;
    bool mOriginalFormat = true;
    // Set while the file name itself writes "Path", which must not echo back.
    bool mWritingPath = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
