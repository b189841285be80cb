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

template <int Size>
bool CopyPlain(void* dst, const void* src) {
    static_assert(Size > 0);
    if (dst != src) {
        std::memcpy(dst, src, Size);
    }
    return true;
}

// Strings are assigned, streams copied with their text: kept out of the
// plain copies' way.
[[gnu::noinline]] bool CopyOwned(void* dst, EFbxValueType type, const void* src) {
    if (type == eFbxValueString) {
        KString& to = *static_cast<KString*>(dst);
        to = *static_cast<const KString*>(src);
        return to.IsOK();
    }
    return CopyStream(static_cast<KFbxStreamValue**>(dst), static_cast<KFbxStreamValue* const*>(src));
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
    // Each plain value is copied by its own size, known here, so that the
    // copies every property's Set and Get make call nothing.
    switch (dstType) {
        case eFbxValueBool:
            return CopyPlain<KFbxGetValueSize(eFbxValueBool)>(dst, src);
        case eFbxValueInteger:
            return CopyPlain<KFbxGetValueSize(eFbxValueInteger)>(dst, src);
        case eFbxValueFloat:
            return CopyPlain<KFbxGetValueSize(eFbxValueFloat)>(dst, src);
        case eFbxValueEnum:
            return CopyPlain<KFbxGetValueSize(eFbxValueEnum)>(dst, src);
        case eFbxValueDouble:
            return CopyPlain<KFbxGetValueSize(eFbxValueDouble)>(dst, src);
        case eFbxValueTime:
            return CopyPlain<KFbxGetValueSize(eFbxValueTime)>(dst, src);
        case eFbxValueDouble3:
            return CopyPlain<KFbxGetValueSize(eFbxValueDouble3)>(dst, src);
        case eFbxValueDouble4:
            return CopyPlain<KFbxGetValueSize(eFbxValueDouble4)>(dst, src);
        case eFbxValueDouble44:
            return CopyPlain<KFbxGetValueSize(eFbxValueDouble44)>(dst, src);
        case eFbxValueString:
        case eFbxValueStream:
            return CopyOwned(dst, dstType, src);
        case eFbxValueNone:
        case eFbxValueReference:
            break;
    }
    return false;
}

void KFbxValueStorage::MakeHeapValue(EFbxValueType type) {
    mHeap = SdkCalloc(1, static_cast<std::size_t>(KFbxGetValueSize(type)));
    if (mHeap != nullptr && type == eFbxValueString) {
        new (mHeap) KString();
    }
}

void KFbxValueStorage::ReleaseOwned(EFbxValueType type) {
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
