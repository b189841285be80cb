// The values public properties hold: the small value types, the copy rules
// between value types, the block behind a stream value, and the storage of
// one value of a type.
#ifndef FBXFILESDK_CORE_KFBXPROPERTYVALUE_H
#define FBXFILESDK_CORE_KFBXPROPERTYVALUE_H

#include <fbxfilesdk/core/KFbxDataType.h>

#include <cstddef>
#include <cstring>

namespace fbxsdk_2006_11_1 {

class KFbx;
class KString;
class KTime;

template <class T>
struct fbxVectorTemplate3 {
    T mData[3]{};
    fbxVectorTemplate3() = default;
    fbxVectorTemplate3(const T& a, const T& b, const T& c) : mData{a, b, c} {}
    T& operator[](int index) { return mData[index]; }
    const T& operator[](int index) const { return mData[index]; }
};

template <class T>
struct fbxVectorTemplate4 {
    T mData[4]{};
    fbxVectorTemplate4() = default;
    fbxVectorTemplate4(const T& a, const T& b, const T& c, const T& d) : mData{a, b, c, d} {}
    T& operator[](int index) { return mData[index]; }
    const T& operator[](int index) const { return mData[index]; }
};

using fbxDouble3 = fbxVectorTemplate3<double>;
using fbxDouble4 = fbxVectorTemplate4<double>;
using fbxDouble44 = fbxVectorTemplate4<fbxDouble4>;

// A reference value carries no data of its own.
struct fbxReference {
    unsigned char mUnused = 0;
};

// Component by component, exactly.
bool KFbxEqualDouble3(const fbxDouble3& a, const fbxDouble3& b);
bool KFbxEqualDouble4(const fbxDouble4& a, const fbxDouble4& b);
bool KFbxEqualDouble44(const fbxDouble44& a, const fbxDouble44& b);

// What a stream value points at: the field-file writer (null when closed) and
// the text written so far. Every word is pointer-sized.
struct KFbxStreamValue {
    KFbx* mWriter;
    char* mBuffer;
    std::size_t mSize;
};

// Frees the block and its buffer; ignores null. An open writer is not closed.
void KFbxFreeStreamValue(KFbxStreamValue* block);

// Copies one value when the destination type accepts the source type (each
// type itself; integer and enum each other). Strings are assigned; a stream
// gets a fresh copy of the source's text (a null source stream frees the
// destination's). False for none, reference, unaccepted types and null
// buffers, and when memory runs out.
bool KFbxCopyValue(void* dst, EFbxValueType dstType, const void* src, EFbxValueType srcType);

// Storage for one value of a type that its holder keeps, zero at the start:
// a KString for strings, a block pointer (initially null) for streams. Values
// up to three doubles are kept inside, larger ones on the heap. The holder
// passes the type it was made with to every call.
class KFbxValueStorage {
public:
    // Every property makes and ends one: the values kept inside take no call.
    explicit KFbxValueStorage(EFbxValueType type) {
        if (KFbxGetValueSize(type) <= 0 || IsInline(type)) {
            std::memset(mInline, 0, kInlineSize);
        } else {
            MakeHeapValue(type);
        }
    }
    KFbxValueStorage(const KFbxValueStorage&) = delete;
    KFbxValueStorage& operator=(const KFbxValueStorage&) = delete;

    // Ends the value; the storage is not used again.
    void Release(EFbxValueType type) {
        if (type == eFbxValueStream || (KFbxGetValueSize(type) > 0 && !IsInline(type))) {
            ReleaseOwned(type);
        }
    }
    // Null for the value types that store nothing, and when memory ran out.
    void* Get(EFbxValueType type) const {
        if (KFbxGetValueSize(type) <= 0) {
            return nullptr;
        }
        return IsInline(type) ? const_cast<unsigned char*>(mInline) : mHeap;
    }

private:
    static constexpr std::size_t kInlineSize = 3 * sizeof(double);
    static constexpr bool IsInline(EFbxValueType type) {
        return static_cast<std::size_t>(KFbxGetValueSize(type)) <= kInlineSize && type != eFbxValueString;
    }
    // For the types kept on the heap.
    void MakeHeapValue(EFbxValueType type);
    // For streams and the types kept on the heap.
    void ReleaseOwned(EFbxValueType type);

    union {
        alignas(double) unsigned char mInline[kInlineSize];
        void* mHeap;
    };
};

// A value storage that knows its type.
class KFbxValueBuffer {
public:
    explicit KFbxValueBuffer(EFbxValueType type) : mStorage(type), mType(type) {}
    ~KFbxValueBuffer() { mStorage.Release(mType); }
    KFbxValueBuffer(const KFbxValueBuffer&) = delete;
    KFbxValueBuffer& operator=(const KFbxValueBuffer&) = delete;

    EFbxValueType GetType() const { return mType; }
    // Null for the value types that store nothing, and when memory ran out.
    void* Get() const { return mStorage.Get(mType); }

private:
    KFbxValueStorage mStorage;
    EFbxValueType mType;
};

// The value type of a C++ value type.
template <class T>
inline constexpr EFbxValueType kFbxValueTypeOf = eFbxValueNone;
template <>
inline constexpr EFbxValueType kFbxValueTypeOf<bool> = eFbxValueBool;
template <>
inline constexpr EFbxValueType kFbxValueTypeOf<int> = eFbxValueInteger;
template <>
inline constexpr EFbxValueType kFbxValueTypeOf<float> = eFbxValueFloat;
template <>
inline constexpr EFbxValueType kFbxValueTypeOf<double> = eFbxValueDouble;
template <>
inline constexpr EFbxValueType kFbxValueTypeOf<fbxDouble3> = eFbxValueDouble3;
template <>
inline constexpr EFbxValueType kFbxValueTypeOf<fbxDouble4> = eFbxValueDouble4;
template <>
inline constexpr EFbxValueType kFbxValueTypeOf<fbxDouble44> = eFbxValueDouble44;
template <>
inline constexpr EFbxValueType kFbxValueTypeOf<KString> = eFbxValueString;
template <>
inline constexpr EFbxValueType kFbxValueTypeOf<KTime> = eFbxValueTime;
template <>
inline constexpr EFbxValueType kFbxValueTypeOf<fbxReference> = eFbxValueReference;

}  // namespace fbxsdk_2006_11_1

#endif
