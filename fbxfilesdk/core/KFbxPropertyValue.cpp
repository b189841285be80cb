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

KFbxValueBuffer::KFbxValueBuffer(EFbxValueType type) : mType(type) {
    const int size = KFbxGetValueSize(type);
    if (size <= 0) {
        return;
    }
    if (static_cast<std::size_t>(size) <= kInlineSize && type != eFbxValueString) {
        std::memset(mInline, 0, kInlineSize);
        mStorage = Storage::eInline;
        return;
    }
    mHeap = SdkCalloc(1, static_cast<std::size_t>(size));
    if (mHeap == nullptr) {
        return;
    }
    mStorage = Storage::eHeap;
    if (type == eFbxValueString) {
        new (mHeap) KString();
    }
}

KFbxValueBuffer::~KFbxValueBuffer() {
    void* data = Get();
    if (data == nullptr) {
        return;
    }
    if (mType == eFbxValueString) {
        static_cast<KString*>(data)->~KString();
    } else if (mType == eFbxValueStream) {
        KFbxFreeStreamValue(*static_cast<KFbxStreamValue**>(data));
    }
    if (mStorage == Storage::eHeap) {
        SdkFree(mHeap);
    }
}

void* KFbxValueBuffer::Get() const {
    switch (mStorage) {
        case Storage::eInline:
            return const_cast<unsigned char*>(mInline);
        case Storage::eHeap:
            return mHeap;
        default:
            return nullptr;
    }
}

}  // namespace fbxsdk_2006_11_1
