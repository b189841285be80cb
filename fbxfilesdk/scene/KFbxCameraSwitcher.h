// The attribute of a scene's hidden "Camera Switcher" node: an animated
// camera index, kept as the "Camera Index" channel of the node's takes, that
// says which camera is live at each time, and the camera names it refers to.
#ifndef FBXFILESDK_SCENE_KFBXCAMERASWITCHER_H
#define FBXFILESDK_SCENE_KFBXCAMERASWITCHER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxCameraSwitcher : public KFbxNodeAttribute {
public:
    // The class id of KFbxCameraSwitcher; null until the class is registered.
    static KFbxClassId ClassId;

    // No camera names; "Camera Index" holds 100.
    KFbxCameraSwitcher(KFbxSdkManager* manager, const char* name);
    ~KFbxCameraSwitcher() override;

    static KFbxCameraSwitcher* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    EAttributeType GetAttributeType() const override { return eCAMERA_SWITCHER; }
    const char* GetTypeName() const override { return "CameraSwitcher"; }
    // Mode 2: a new switcher with an empty name and copies of the camera names.
    KFbxNodeAttribute* Clone(int mode) const override;
    // The "Camera Index" channel, its default 1.
    void FillTakeNodeTemplate(KFbxTakeNode& takeNode) override;
    void ClearTakeNodeTemplate(KFbxTakeNode& takeNode) override;
    // The channel reads nothing of the switcher: a scene's switcher node
    // makes no take, nor properties, until they are used.
    KFbxTakeNodeContainer::TakeNodeStep GetTakeNodeFillStep() const override { return &FillCameraIndex; }
    KFbxTakeNodeContainer::TakeNodeStep GetTakeNodeClearStep() const override { return &ClearCameraIndex; }

    // The default of the "Camera Index" curve in the node's default take,
    // truncated toward zero; 0 without node or channel.
    int GetDefaultCameraIndex() const;
    // Ignored without node or channel.
    void SetDefaultCameraIndex(int index);

    void AddCameraName(const char* name);
    // Null outside 0 to count - 1.
    const char* GetCameraName(int index) const;
    int GetCameraNameCount() const { return static_cast<int>(mCameraNames.size()); }

    KFbxTypedProperty<int> CameraIndex;

private:
    static void FillCameraIndex(KFbxTakeNode& takeNode);
    static void ClearCameraIndex(KFbxTakeNode& takeNode);

    std::vector<KString> mCameraNames;
};

}  // namespace fbxsdk_2006_11_1

#endif
