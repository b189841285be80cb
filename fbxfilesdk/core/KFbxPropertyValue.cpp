#include <fbxfilesdk/core/KFbxPropertyValue.h>

#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstring>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

bool Accepts(EFbxValueType dst, EFbxValueType src) {
    if (dst == src) {
        return true;
    }
    return (dst == eFbxValueInteger && src == eFbxValueEnum) || (dst == eFbxValueEnum && src == eFbxValueInteger);
}

bool CopyStream(KFbxStreamValue** dst, KFbxStreamValue* const* src) {
    if (*src == *dst) {
        return true;
    }
    const KFbxStreamValue* from = *src;
    if (from == nullptr) {
        KFbxFreeStreamValue(*dst);
        *dst = nullptr;
        return true;
    }
    char* text = nullptr;
    if (from->mBuffer != nullptr && from->mSize > 0) {
        text = static_cast<char*>(SdkMalloc(from->mSize));
        if (text == nullptr) {
            return false;
        }
        std::memcpy(text, from->mBuffer, from->mSize);
    }
    KFbxStreamValue* to = *dst;
    if (to == nullptr) {
        to = static_cast<KFbxStreamValue*>(SdkCalloc(1, sizeof(KFbxStreamValue)));
        if (to == nullptr) {
            SdkFree(text);
            return false;
        }
        *dst = to;
    }
    // The writer is not shared: two blocks closing one writer would delete it twice.
    SdkFree(to->mBuffer);
    to->mBuffer = text;
    to->mSize = text != nullptr ? from->mSize : 0;
    return true;
}

}  // namespace

bool KFbxEqualDouble3(const fbxDouble3& a, const fbxDouble3& b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

bool KFbxEqualDouble4(const fbxDouble4& a, const fbxDouble4& b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

bool KFbxEqualDouble44(const fbxDouble44& a, const fbxDouble44& b) {
    return KFbxEqualDouble4(a[0], b[0]) && KFbxEqualDouble4(a[1], b[1]) && KFbxEqualDouble4(a[2], b[2]) &&
           KFbxEqualDouble4(a[3], b[3]);
}

void KFbxFreeStreamValue(KFbxStreamValue* block) {
    if (block != nullptr) {
        SdkFree(block->mBuffer);
        SdkFree(block);
    }
}

bool KFbxCopyValue(void* dst, EFbxValueType dstType, const void* src, EFbxValueType srcType) {
    if (dst == nullptr || src == nullptr || !Accepts(dstType, srcType)) {
        return false;
    }
    switch (dstType) {
        case eFbxValueBool:
        case eFbxValueInteger:
        case eFbxValueFloat:
        case eFbxValueDouble:
        case eFbxValueDouble3:
        case eFbxValueDouble4:
        case eFbxValueDouble44:
        case eFbxValueEnum:
        case eFbxValueTime:
            if (dst != src) {
                std::memcpy(dst, src, static_cast<std::size_t>(KFbxGetValueSize(dstType)));
            }
            return true;
        case eFbxValueString: {
            KString& to = *static_cast<KString*>(dst);
            to = *static_cast<const KString*>(src);
            return to.IsOK();
        }
        case eFbxValueStream:
            return CopyStream(static_cast<KFbxStreamValue**>(dst), static_cast<KFbxStreamValue* const*>(src));
        case eFbxValueNone:
        case eFbxValueReference:
            break;
    }
    return false;
}

KFbxValueStorage::KFbxValueStorage(EFbxValueType type) {
    const int size = KFbxGetValueSize(type);
    if (size <= 0 || IsInline(type)) {
        std::memset(mInline, 0, kInlineSize);
        return;
    }
    mHeap = SdkCalloc(1, static_cast<std::size_t>(size));
    if (mHeap != nullptr && type == eFbxValueString) {
        new (mHeap) KString();
    }
}

void KFbxValueStorage::Release(EFbxValueType type) {
    void* data = Get(type);
    if (data == nullptr) {
        return;
    }
    if (type == eFbxValueString) {
        static_cast<KString*>(data)->~KString();
    } else if (type == eFbxValueStream) {
        KFbxFreeStreamValue(*static_cast<KFbxStreamValue**>(data));
    }
    if (!IsInline(type)) {
        SdkFree(mHeap);
        mHeap = nullptr;
    }
}

}  // namespace fbxsdk_2006_11_1
