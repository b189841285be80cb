// The data types of public properties: named types ("Bool", "Number",
// "Lcl Translation", ...) each with a base value type that fixes how a value
// is stored. The SDK's own types are built once per process, by the first SDK
// manager, and each has a process-wide handle; all types are found by name
// through one process-wide map. Also the names that files give data types and
// the property type codes of older files.
#ifndef FBXFILESDK_CORE_KFBXDATATYPE_H
#define FBXFILESDK_CORE_KFBXDATATYPE_H

#include <fbxfilesdk/core/KString.h>

#include <atomic>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

enum EFbxValueType : int {
    eFbxValueNone = 0,  // actions and events carry no value
    eFbxValueBool = 1,
    eFbxValueInteger = 2,
    eFbxValueFloat = 3,
    eFbxValueDouble = 4,
    eFbxValueDouble3 = 5,
    eFbxValueDouble4 = 6,
    eFbxValueDouble44 = 7,
    eFbxValueEnum = 8,  // stored as an integer
    eFbxValueString = 9,
    eFbxValueTime = 10,
    eFbxValueReference = 11,
    eFbxValueStream = 12  // a pointer to a stream block
};

namespace KFbxDataTypeDetail {
// Indexed by value type.
inline constexpr int kValueSizes[] = {0,     1, 4, 4, 8, 3 * 8, 4 * 8, 16 * 8, 4, static_cast<int>(sizeof(KString)),
                                      8,     1, static_cast<int>(sizeof(void*))};
}  // namespace KFbxDataTypeDetail

// Bytes one stored value of the type takes (room for one KString for
// strings, one pointer for streams); 0 for none and for codes outside the table.
// Every property's value passes here, so it is a table read in place.
constexpr int KFbxGetValueSize(EFbxValueType type) {
    const unsigned index = static_cast<unsigned>(type);
    return index < sizeof(KFbxDataTypeDetail::kValueSizes) / sizeof(int) ? KFbxDataTypeDetail::kValueSizes[index] : 0;
}

// What every data type record starts with: the value type, read in place by
// every handle, and what binding a property of the type to an internal
// property learnt of it. The rest of the record is the registry's own.
struct KFbxDataTypeHead {
    EFbxValueType mType;
    // Generation of the internal registry the note was taken in, plus one;
    // 0 while none was taken. Written last, so that a reader that sees it
    // also sees the note.
    mutable std::atomic<std::uint64_t> mNoteGeneration{0};
    mutable std::atomic<void*> mNoteType{nullptr};
    mutable std::atomic<std::uint32_t> mNote{0};
};

// A handle to a data type record; records are never freed, so handles are
// copied freely. The null data type has value type none and the name "".
class KFbxDataType {
public:
    constexpr KFbxDataType() : mRecord(nullptr) {}
    constexpr explicit KFbxDataType(const KFbxDataTypeHead* record) : mRecord(record) {}
    KFbxDataType(const KFbxDataType& other) = default;
    KFbxDataType& operator=(const KFbxDataType& other) = default;

    EFbxValueType GetType() const { return mRecord != nullptr ? mRecord->mType : eFbxValueNone; }
    const char* GetName() const;
    // Null for the null data type.
    const KFbxDataTypeHead* GetHead() const { return mRecord; }

    // The same data type: the same record.
    bool operator==(const KFbxDataType& other) const { return mRecord == other.mRecord; }
    bool operator!=(const KFbxDataType& other) const { return mRecord != other.mRecord; }

private:
    const KFbxDataTypeHead* mRecord;
};

// Makes a new data type and enters it under its name, replacing the type that
// name had. The null data type for a null name, a value type outside the
// table, or when memory runs out.
KFbxDataType KFbxRegisterDataType(const char* name, EFbxValueType type);
// Names compare byte for byte; the null data type when none is registered.
KFbxDataType KFbxGetDataTypeByName(const char* name);
// "Bool" for bool, "Integer" for integer, ..., "Stream" for stream, and
// "Action" for the code past stream; the null data type for none and for any
// other code.
KFbxDataType KFbxGetBaseDataType(EFbxValueType type);

// Registers the SDK's data types and fills their handles, once per process;
// true when all of them exist. A run cut short by lack of memory is finished
// by the next call.
bool KFbxBuildDataTypes();
bool KFbxDataTypesAreBuilt();

// The name files give the data type: its own when it has one, else that of the
// first named type with the same value type; "unknown" when neither (and for
// the null data type).
const char* KFbxDataTypeToTypeName(const KFbxDataType& dataType);
// The data type files name by the text (byte for byte); the null data type when none.
KFbxDataType KFbxDataTypeFromTypeName(const char* typeName);

// Property type codes of older files.
// "Unidentified", "Bool", "Real", "Color", "Integer", "Vector", "Enum" for
// codes 0 to 6; null for any other code.
const char* KFbxGetPropertyTypeName(int code);
// 3 for "Color" and "ColorAndAlpha"; else by value type: bool 1, integer 4,
// float and double 2, three and four doubles 5, 4x4 doubles 7, enum 6; 0
// otherwise.
int KFbxGetPropertyTypeFromDataType(const KFbxDataType& dataType);

// The SDK's data types, null until KFbxBuildDataTypes.
extern KFbxDataType gKFbxDataTypeBool;
extern KFbxDataType gKFbxDataTypeInteger;
extern KFbxDataType gKFbxDataTypeFloat;
extern KFbxDataType gKFbxDataTypeNumber;
extern KFbxDataType gKFbxDataTypeVector;
extern KFbxDataType gKFbxDataTypeVector4;
extern KFbxDataType gKFbxDataTypeMatrix;
extern KFbxDataType gKFbxDataTypeEnum;
extern KFbxDataType gKFbxDataTypeStringList;
extern KFbxDataType gKFbxDataTypeTime;
extern KFbxDataType gKFbxDataTypeRef;
extern KFbxDataType gKFbxDataTypeStream;
extern KFbxDataType gKFbxDataTypeKString;
extern KFbxDataType gKFbxDataTypeCharPtr;
extern KFbxDataType gKFbxDataTypeAction;
extern KFbxDataType gKFbxDataTypeEvent;
extern KFbxDataType gKFbxDataTypeColor;
extern KFbxDataType gKFbxDataTypeColorAndAlpha;
extern KFbxDataType gKFbxDataTypeObject;
extern KFbxDataType gKFbxDataTypeReference;
extern KFbxDataType gKFbxDataTypeReal;
extern KFbxDataType gKFbxDataTypeVector3D;
extern KFbxDataType gKFbxDataTypeVector4D;
extern KFbxDataType gKFbxDataTypeTranslation;
extern KFbxDataType gKFbxDataTypeRotation;
extern KFbxDataType gKFbxDataTypeScaling;
extern KFbxDataType gKFbxDataTypeQuaternion;
extern KFbxDataType gKFbxDataTypeLclTranslation;
extern KFbxDataType gKFbxDataTypeLclRotation;
extern KFbxDataType gKFbxDataTypeLclScaling;
extern KFbxDataType gKFbxDataTypeLclQuaternion;
extern KFbxDataType gKFbxDataTypeMatrixTransformation;
extern KFbxDataType gKFbxDataTypeMatrixTranslation;
extern KFbxDataType gKFbxDataTypeMatrixRotation;
extern KFbxDataType gKFbxDataTypeMatrixScaling;
extern KFbxDataType gKFbxDataTypeEmissive;
extern KFbxDataType gKFbxDataTypeEmissiveFactor;
extern KFbxDataType gKFbxDataTypeAmbient;
extern KFbxDataType gKFbxDataTypeAmbientFactor;
extern KFbxDataType gKFbxDataTypeDiffuse;
extern KFbxDataType gKFbxDataTypeDiffuseFactor;
extern KFbxDataType gKFbxDataTypeNormalMap;
extern KFbxDataType gKFbxDataTypeBump;
extern KFbxDataType gKFbxDataTypeTransparent;
extern KFbxDataType gKFbxDataTypeTransparencyFactor;
extern KFbxDataType gKFbxDataTypeSpecular;
extern KFbxDataType gKFbxDataTypeSpecularFactor;
extern KFbxDataType gKFbxDataTypeShininess;
extern KFbxDataType gKFbxDataTypeReflection;
extern KFbxDataType gKFbxDataTypeReflectionFactor;
extern KFbxDataType gKFbxDataTypeIntensity;
extern KFbxDataType gKFbxDataTypeConeAngle;
extern KFbxDataType gKFbxDataTypeFog;
extern KFbxDataType gKFbxDataTypeShape;
extern KFbxDataType gKFbxDataTypeFieldOfView;
extern KFbxDataType gKFbxDataTypeFieldOfViewX;
extern KFbxDataType gKFbxDataTypeFieldOfViewY;
extern KFbxDataType gKFbxDataTypeOpticalCenterX;
extern KFbxDataType gKFbxDataTypeOpticalCenterY;
extern KFbxDataType gKFbxDataTypeRoll;
extern KFbxDataType gKFbxDataTypeCameraIndex;
extern KFbxDataType gKFbxDataTypeTimeWarp;
extern KFbxDataType gKFbxDataTypeVisibility;
extern KFbxDataType gKFbxDataTypeTranslationUV;
extern KFbxDataType gKFbxDataTypeScalingUV;
extern KFbxDataType gKFbxDataTypeHSB;
extern KFbxDataType gKFbxDataTypeOrientation;
extern KFbxDataType gKFbxDataTypeLookAt;
extern KFbxDataType gKFbxDataTypeOcclusion;
extern KFbxDataType gKFbxDataTypeWeight;
extern KFbxDataType gKFbxDataTypeIKReachTranslation;
extern KFbxDataType gKFbxDataTypeIKReachRotation;
}  // namespace fbxsdk_2006_11_1

#endif
