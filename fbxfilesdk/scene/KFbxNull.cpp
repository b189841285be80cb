#include <fbxfilesdk/scene/KFbxNull.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kLookNames[] = {"None", "Cross"};
constexpr int kLookCount = 2;

}  // namespace


KFbxNull::KFbxNull(KFbxSdkManager* manager, const char* name) : KFbxNodeAttribute(manager, name) {
    // Free on a new null, whose attribute part has only its colour.
    static const KInternedText* const sizeName = new KInternedText("Size");
    Size.InitOnNewObject(this, *sizeName, gKFbxDataTypeNumber, KInternedText());
    InitEnumProperty(Look, "Look", KInternedText::InternedForever<kLookNames>(), kLookCount, eCROSS);
    Reset();
}

KFbxNull* KFbxNull::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxNull>(manager, ClassId, name);
}

KFbxPlug* KFbxNull::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxNull>(manager, name);
}

KFbxClassId KFbxNull::GetClassId() const { return ClassId; }

void KFbxNull::GetTypeFlags(KStringList& flags) const {
    flags.Clear();
    flags.Add(KString("Null"));
}

KFbxNodeAttribute* KFbxNull::Clone(int mode) const {
    return KFbxCloneByCopy(*this, mode, GetName());
}

void KFbxNull::SetSize(double size) {
    Size.Set(size);
    mSizeSet = true;
}

double KFbxNull::GetSize() const { return Size.Get(); }

void KFbxNull::SetLook(int look) { SetEnumValue(Look, look); }

int KFbxNull::GetLook() const { return GetEnumValue(Look); }

const char* KFbxNull::GetLookName(int look) { return EnumText(kLookNames, kLookCount, look); }

void KFbxNull::Reset() {
    Size.Set(GetDefaultSize());
    mSizeSet = false;
    SetLook(eCROSS);
}

void KFbxNull::CopyFrom(const KFbxNull& other) {
    Reset();
    SetLook(other.GetLook());
    Size.Set(other.GetSize());
    mSizeSet = other.mSizeSet;
}

}  // namespace fbxsdk_2006_11_1
