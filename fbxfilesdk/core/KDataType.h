// The kinds of value that animatable properties and animation curve nodes
// carry ("Number", "Vector", "Lcl Translation", ...): the size of one value,
// its animation channels and their names, its zero value, and its text form.
// The SDK's 47 built-in types are listed from start-up in one process-wide
// registry sorted by name, where files and properties look them up.
#ifndef FBXFILESDK_CORE_KDATATYPE_H
#define FBXFILESDK_CORE_KDATATYPE_H

#include <cstdint>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KDataType {
public:
    // The registry holds at most this many types; the built-in set leaves three free.
    static constexpr int kRegistryCapacity = 50;
    static constexpr int kBuiltInCount = 47;

    // For the SDK's built-in types: a static name, no copy, and no registration
    // (the registry lists them from the start).
    struct StaticTag {};
    static constexpr StaticTag kStatic{};

    // Size and channel count 0, base type itself. The type keeps its own copy
    // of the name. With registerIt, Register(this).
    KDataType(const char* name, bool registerIt);
    constexpr KDataType(StaticTag, const char* name, KDataType* baseType, int valueSize, int componentCount)
        : mValueSize(valueSize),
          mComponentCount(componentCount),
          mName(name),
          mBaseType(baseType != nullptr ? baseType : this) {}
    // Leaves the registry when it is listed there.
    virtual ~KDataType();
    KDataType(const KDataType&) = delete;
    KDataType& operator=(const KDataType&) = delete;

    // Writes the zero value; false at this level.
    virtual bool GetZeroValue(void* out) const;
    // Reads a value from text; false at this level.
    virtual bool FromString(const char* text, void* out) const;
    // Writes the value as text into buffer (at most size - 1 characters, always
    // terminated); false at this level and for a null buffer or a size below 1.
    virtual bool ToString(char* buffer, int size, const void* value) const;
    // The name of a channel; null when the type names none.
    virtual const char* GetChannelName(int index) const;

    const char* GetName() const { return mName; }
    KDataType* GetBaseType() const { return mBaseType; }
    int GetValueSize() const { return mValueSize; }
    int GetComponentCount() const { return mComponentCount; }

    // Adds the type, sorted by name, beside any of the same name; returns the
    // type that was already registered under the name, or null. A full
    // registry refuses the type (and still returns the one of that name).
    static KDataType* Register(KDataType* type);
    // "Trigger" gives the "Action" type; names compare byte-wise and
    // case-sensitively. Null when none.
    static KDataType* Find(const char* name);
    static int GetRegisteredCount();
    // In name order; null outside [0, count).
    static KDataType* GetRegisteredAt(int index);
    // Decimals of the text forms: "Decimal" of the section "NumericField" of
    // the settings file "@Application.txt" (default 2), read on first use.
    static int GetDecimalCount();
    // Changes whenever a type joins or leaves the registry or is given another
    // base type: what was found by name or learnt from a base type stays true
    // while it holds.
    static std::uint64_t GetRegistryGeneration();

protected:
    void SetValueShape(int valueSize, int componentCount);
    void SetBaseType(KDataType* baseType);

private:
    int mValueSize = 0;
    int mComponentCount = 0;
    const char* mName;
    KDataType* mBaseType;
    std::unique_ptr<char[]> mOwnedName;
};

// One double.
class KDataTypeNumber : public KDataType {
public:
    explicit KDataTypeNumber(const char* name);
    constexpr KDataTypeNumber(StaticTag tag, const char* name, KDataType* baseType)
        : KDataType(tag, name, baseType, 8, 1) {}
    bool GetZeroValue(void* out) const override;
    bool FromString(const char* text, void* out) const override;
    bool ToString(char* buffer, int size, const void* value) const override;
};

// Three doubles, channels "x", "y", "z".
class KDataTypeVector : public KDataType {
public:
    explicit KDataTypeVector(const char* name);
    constexpr KDataTypeVector(StaticTag tag, const char* name, KDataType* baseType)
        : KDataType(tag, name, baseType, 24, 3) {}
    bool GetZeroValue(void* out) const override;
    bool FromString(const char* text, void* out) const override;
    bool ToString(char* buffer, int size, const void* value) const override;
    const char* GetChannelName(int index) const override;
};

// Four doubles, channels "x", "y", "z", "w".
class KDataTypeVector4 : public KDataType {
public:
    explicit KDataTypeVector4(const char* name);
    constexpr KDataTypeVector4(StaticTag tag, const char* name, KDataType* baseType)
        : KDataType(tag, name, baseType, 32, 4) {}
    bool GetZeroValue(void* out) const override;
    bool FromString(const char* text, void* out) const override;
    bool ToString(char* buffer, int size, const void* value) const override;
    const char* GetChannelName(int index) const override;
};

// A KTime; no animation channels.
class KDataTypeTime : public KDataType {
public:
    explicit KDataTypeTime(const char* name);
    constexpr KDataTypeTime(StaticTag tag, const char* name, KDataType* baseType)
        : KDataType(tag, name, baseType, 8, 0) {}
    bool GetZeroValue(void* out) const override;
    bool FromString(const char* text, void* out) const override;
    bool ToString(char* buffer, int size, const void* value) const override;
    const char* GetChannelName(int index) const override;
};

// Sixteen doubles, row by row; the zero value is all zeros, not the identity.
class KDataTypeMatrix : public KDataType {
public:
    explicit KDataTypeMatrix(const char* name);
    constexpr KDataTypeMatrix(StaticTag tag, const char* name, KDataType* baseType)
        : KDataType(tag, name, baseType, 128, 16) {}
    bool GetZeroValue(void* out) const override;
    bool FromString(const char* text, void* out) const override;
    bool ToString(char* buffer, int size, const void* value) const override;
};

// Vectors whose channels carry other names.
class KDataTypeColor : public KDataTypeVector {
public:
    using KDataTypeVector::KDataTypeVector;
    const char* GetChannelName(int index) const override;
};

class KDataTypeColorAndAlpha : public KDataTypeVector4 {
public:
    using KDataTypeVector4::KDataTypeVector4;
    const char* GetChannelName(int index) const override;
};

class KDataTypeTranslationUV : public KDataTypeVector {
public:
    using KDataTypeVector::KDataTypeVector;
    const char* GetChannelName(int index) const override;
};

class KDataTypeScalingUV : public KDataTypeVector {
public:
    using KDataTypeVector::KDataTypeVector;
    const char* GetChannelName(int index) const override;
};

class KDataTypeColorHSB : public KDataTypeVector {
public:
    using KDataTypeVector::KDataTypeVector;
    const char* GetChannelName(int index) const override;
};

// The built-in types, valid from before any static initialiser runs.
extern KDataType* const gKDataTypeNumber;
extern KDataType* const gKDataTypeTime;
extern KDataType* const gKDataTypeVector;
extern KDataType* const gKDataTypeVector4;
extern KDataType* const gKDataTypeMatrix;
extern KDataType* const gKDataTypeReal;
extern KDataType* const gKDataTypeInteger;
extern KDataType* const gKDataTypeFloat;
extern KDataType* const gKDataTypeAction;
extern KDataType* const gKDataTypeIntensity;
extern KDataType* const gKDataTypeConeAngle;
extern KDataType* const gKDataTypeFog;
extern KDataType* const gKDataTypeShape;
extern KDataType* const gKDataTypeFieldOfView;
extern KDataType* const gKDataTypeFieldOfViewX;
extern KDataType* const gKDataTypeFieldOfViewY;
extern KDataType* const gKDataTypeOpticalCenterX;
extern KDataType* const gKDataTypeOpticalCenterY;
extern KDataType* const gKDataTypeRoll;
extern KDataType* const gKDataTypeCameraIndex;
extern KDataType* const gKDataTypeTimeWarp;
extern KDataType* const gKDataTypeVisibility;
extern KDataType* const gKDataTypeBool;
extern KDataType* const gKDataTypeEnum;
extern KDataType* const gKDataTypeColor;
extern KDataType* const gKDataTypeColorAndAlpha;
extern KDataType* const gKDataTypeTranslationUV;
extern KDataType* const gKDataTypeScalingUV;
extern KDataType* const gKDataTypeColorHSB;
extern KDataType* const gKDataTypeTranslation;
extern KDataType* const gKDataTypeScaling;
extern KDataType* const gKDataTypeRotation;
extern KDataType* const gKDataTypeLclTranslation;
extern KDataType* const gKDataTypeLclScaling;
extern KDataType* const gKDataTypeLclRotation;
extern KDataType* const gKDataTypeMatrixTranslation;
extern KDataType* const gKDataTypeMatrixScaling;
extern KDataType* const gKDataTypeMatrixRotation;
extern KDataType* const gKDataTypeMatrixTransformation;
extern KDataType* const gKDataTypeOrientation;
extern KDataType* const gKDataTypeLookAt;
extern KDataType* const gKDataTypeQuaternion;
extern KDataType* const gKDataTypeLclQuaternion;
extern KDataType* const gKDataTypeOcclusion;
extern KDataType* const gKDataTypeWeight;
extern KDataType* const gKDataTypeIKReachTranslation;
extern KDataType* const gKDataTypeIKReachRotation;

}  // namespace fbxsdk_2006_11_1

#endif
