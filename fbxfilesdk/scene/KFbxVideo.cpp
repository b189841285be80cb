#include <fbxfilesdk/scene/KFbxVideo.h>

#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>
#include <fbxfilesdk/scene/KFbxVideo_internal.h>

#include <cstring>
#include <iterator>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

KFbxVideoTextureNamesFn gTextureNames = nullptr;

const char* const kInterlaceModeNames[] = {"Disk", "Memory", "Disk Async"};
constexpr int kInterlaceModeCount = 3;
const char* const kAccessModeNames[] = {"None",           "Fields",          "Half Frame Even",
                                        "Half Frame Odd", "Full Frame Even", "Full Frame Odd",
                                        "Full Frame Even/Odd", "Full Frame Odd/Even"};
constexpr int kAccessModeCount = 8;

const char* EnumText(const char* const* texts, int count, int value) {
    return value >= 0 && value < count ? texts[value] : nullptr;
}

void InitEnum(KFbxObject* object, KFbxProperty& property, const char* name, const KInternedText* names,
              std::size_t count) {
    property.InitOnObject(object, name, gKFbxDataTypeEnum, "");
    property.AddFixedEnumValues(names, count);
    const int zero = 0;
    property.Set(&zero, eFbxValueEnum);
}

int GetEnum(const KFbxProperty& property) {
    int value = 0;
    property.Get(&value, eFbxValueEnum);
    return value;
}

bool IsEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

}  // namespace

void KFbxSetVideoTextureNames(KFbxVideoTextureNamesFn fn) { gTextureNames = fn; }

KFbxVideoTextureNamesFn KFbxGetVideoTextureNames() { return gTextureNames; }


KFbxVideo::KFbxVideo(KFbxSdkManager* manager, const char* name) : KFbxTakeNodeContainer(manager, name) {
    CreateInternal();
    InitProperties();
    CreateDefaultTakeNode();
    Reset();
}

KFbxVideo::~KFbxVideo() = default;

void KFbxVideo::InitProperties() {
    FrameRate.InitOnObject(this, "FrameRate", gKFbxDataTypeNumber, "");
    LastFrame.InitOnObject(this, "LastFrame", gKFbxDataTypeInteger, "");
    Width.InitOnObject(this, "Width", gKFbxDataTypeInteger, "");
    Height.InitOnObject(this, "Height", gKFbxDataTypeInteger, "");
    Path.InitOnObject(this, "Path", gKFbxDataTypeKString, "");
    StartFrame.InitOnObject(this, "StartFrame", gKFbxDataTypeInteger, "");
    StopFrame.InitOnObject(this, "StopFrame", gKFbxDataTypeInteger, "");
    PlaySpeed.InitOnObject(this, "PlaySpeed", gKFbxDataTypeNumber, "");
    PlaySpeed.Set(1.0);
    Offset.InitOnObject(this, "Offset", gKFbxDataTypeTime, "");
    InitEnum(this, InterlaceMode, "InterlaceMode", KInternedText::InternedForever<kInterlaceModeNames>(),
             kInterlaceModeCount);
    FreeRunning.InitOnObject(this, "FreeRunning", gKFbxDataTypeBool, "");
    Loop.InitOnObject(this, "Loop", gKFbxDataTypeBool, "");
    InitEnum(this, AccessMode, "AccessMode", KInternedText::InternedForever<kAccessModeNames>(), kAccessModeCount);
}

KFbxVideo* KFbxVideo::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxVideo>(manager, ClassId, name);
}

KFbxPlug* KFbxVideo::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxVideo>(manager, name);
}

KFbxClassId KFbxVideo::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxVideo::NewInternalObject() { return new (std::nothrow) KFbxVideo_internal(this); }

void KFbxVideo::GetTypeFlags(KStringList& flags) const {
    flags.Clear();
    flags.Add(KString("Clip"));
}

bool KFbxVideo::ConnectNotify(const KFbxConnectEvent& event) {
    if (event.mCode == eKFbxSrcTookDst && event.mSrc == this && event.mDst != nullptr) {
        if (KFbxLight::ClassId != KFbxClassId() && event.mDst->Is(KFbxLight::ClassId)) {
            if (mHasFileName) {
                static_cast<KFbxLight*>(event.mDst)->SetFileName(mFileName.Buffer());
            }
        } else if (auto* object = KFbxCastToObject(event.mDst); object != nullptr && gTextureNames != nullptr) {
            gTextureNames(*object, GetFileName(), mRelativeFileName.Buffer(), GetName());
        }
    }
    return KFbxTakeNodeContainer::ConnectNotify(event);
}

void KFbxVideo::PropertyChanged(KFbxProperty& property) {
    KFbxTakeNodeContainer::PropertyChanged(property);
    if (!mWritingPath && property == Path) {
        // The property is the file name seen from outside: a new value
        // replaces the name, but feeds no texture.
        mFileName = Path.Get();
        mHasFileName = true;
    }
}

void KFbxVideo::FillTakeNodeTemplate(KFbxTakeNode& takeNode) {
    KFbxTakeNodeContainer::FillTakeNodeTemplate(takeNode);
    for (int index = 0; index < GetPropertyCount(); ++index) {
        KFbxProperty property = GetPropertyAt(index);
        if (property.GetFlag(KFbxProperty::kAnimatable)) {
            CreateChannelForProperty(property, takeNode);
        }
    }
}

KFbxVideo* KFbxVideo::Clone(int mode) const {
    if (mode != 2) {
        return nullptr;
    }
    KFbxVideo* copy = Create(GetSdkManager(), GetName());
    if (copy != nullptr) {
        copy->KFbxTakeNodeContainer::CopyFrom(*this);
        copy->CopySettingsFrom(*this);
    }
    return copy;
}

void KFbxVideo::CopySettingsFrom(const KFbxVideo& other) {
    // Values only: the copy keeps its own state, so either video may go first.
    KFbxProperty* const mine[] = {&FrameRate, &LastFrame, &Width,    &Height,        &StartFrame, &StopFrame,
                                  &PlaySpeed, &Offset,    &InterlaceMode, &FreeRunning, &Loop,      &AccessMode};
    const KFbxProperty* const theirs[] = {&other.FrameRate,  &other.LastFrame, &other.Width,         &other.Height,
                                          &other.StartFrame, &other.StopFrame, &other.PlaySpeed,     &other.Offset,
                                          &other.InterlaceMode, &other.FreeRunning, &other.Loop, &other.AccessMode};
    for (std::size_t index = 0; index < std::size(mine); ++index) {
        mine[index]->CopyValue(*theirs[index]);
    }
    mFileName = other.mFileName;
    mHasFileName = other.mHasFileName;
    mWritingPath = true;
    Path.Set(mFileName);
    mWritingPath = false;
    mRelativeFileName = other.mRelativeFileName;
    mOriginalFilename = other.mOriginalFilename;
    mUseMipMap = other.mUseMipMap;
    mOriginalFormat = other.mOriginalFormat;
}

void KFbxVideo::Reset() {
    mUseMipMap = false;
    mOriginalFormat = true;
    mOriginalFilename = "";
}

bool KFbxVideo::SetFileName(const char* name) {
    if (IsEmpty(name)) {
        return false;
    }
    if (mHasFileName && std::strcmp(mFileName.Buffer(), name) == 0) {
        return true;
    }
    mFileName = name;
    mHasFileName = true;
    mWritingPath = true;
    Path.Set(mFileName);
    mWritingPath = false;
    PushToFirstTexture(mFileName.Buffer(), nullptr);
    return true;
}

const char* KFbxVideo::GetFileName() const { return mHasFileName ? mFileName.Buffer() : nullptr; }

bool KFbxVideo::SetRelativeFileName(const char* name) {
    if (IsEmpty(name)) {
        return false;
    }
    if (std::strcmp(mRelativeFileName.Buffer(), name) != 0) {
        mRelativeFileName = name;
        PushToFirstTexture(nullptr, mRelativeFileName.Buffer());
    }
    return true;
}

void KFbxVideo::PushToFirstTexture(const char* fileName, const char* relativeFileName) const {
    if (gTextureNames == nullptr) {
        return;
    }
    for (int index = 0; index < GetDstObjectCount(); ++index) {
        KFbxObject* destination = GetDstObject(KFbxClassId(), index);
        if (destination != nullptr && gTextureNames(*destination, fileName, relativeFileName, nullptr)) {
            return;
        }
    }
}

void KFbxVideo::SetInterlaceMode(int mode) { InterlaceMode.Set(&mode, eFbxValueEnum); }

int KFbxVideo::GetInterlaceMode() const { return GetEnum(InterlaceMode); }

void KFbxVideo::SetAccessMode(int mode) { AccessMode.Set(&mode, eFbxValueEnum); }

int KFbxVideo::GetAccessMode() const { return GetEnum(AccessMode); }

const char* KFbxVideo::GetInterlaceModeName(int mode) {
    return EnumText(kInterlaceModeNames, kInterlaceModeCount, mode);
}

const char* KFbxVideo::GetAccessModeName(int mode) { return EnumText(kAccessModeNames, kAccessModeCount, mode); }

}  // namespace fbxsdk_2006_11_1
