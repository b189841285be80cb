#include <fbxfilesdk/core/KFbxDataType.h>

#include <fbxfilesdk/core/KSortedStringTable.h>
#include <fbxfilesdk/core/KString.h>

#include <cstring>
#include <iterator>
#include <new>

namespace fbxsdk_2006_11_1 {

struct KFbxDataTypeRecord : KFbxDataTypeHead {
    KFbxDataTypeRecord(EFbxValueType type, const char* name, KFbxDataTypeRecord* next)
        : KFbxDataTypeHead{type}, mName(name), mNextAllocated(next) {}
    KString mName;
    // Every record stays reachable from one process-wide list, also after a
    // later registration took its name in the map.
    KFbxDataTypeRecord* mNextAllocated;
};

constinit KFbxDataType gKFbxDataTypeBool;
constinit KFbxDataType gKFbxDataTypeInteger;
constinit KFbxDataType gKFbxDataTypeFloat;
constinit KFbxDataType gKFbxDataTypeNumber;
constinit KFbxDataType gKFbxDataTypeVector;
constinit KFbxDataType gKFbxDataTypeVector4;
constinit KFbxDataType gKFbxDataTypeMatrix;
constinit KFbxDataType gKFbxDataTypeEnum;
constinit KFbxDataType gKFbxDataTypeStringList;
constinit KFbxDataType gKFbxDataTypeTime;
constinit KFbxDataType gKFbxDataTypeRef;
constinit KFbxDataType gKFbxDataTypeStream;
constinit KFbxDataType gKFbxDataTypeKString;
constinit KFbxDataType gKFbxDataTypeCharPtr;
constinit KFbxDataType gKFbxDataTypeAction;
constinit KFbxDataType gKFbxDataTypeEvent;
constinit KFbxDataType gKFbxDataTypeColor;
constinit KFbxDataType gKFbxDataTypeColorAndAlpha;
constinit KFbxDataType gKFbxDataTypeObject;
constinit KFbxDataType gKFbxDataTypeReference;
constinit KFbxDataType gKFbxDataTypeReal;
constinit KFbxDataType gKFbxDataTypeVector3D;
constinit KFbxDataType gKFbxDataTypeVector4D;
constinit KFbxDataType gKFbxDataTypeTranslation;
constinit KFbxDataType gKFbxDataTypeRotation;
constinit KFbxDataType gKFbxDataTypeScaling;
constinit KFbxDataType gKFbxDataTypeQuaternion;
constinit KFbxDataType gKFbxDataTypeLclTranslation;
constinit KFbxDataType gKFbxDataTypeLclRotation;
constinit KFbxDataType gKFbxDataTypeLclScaling;
constinit KFbxDataType gKFbxDataTypeLclQuaternion;
constinit KFbxDataType gKFbxDataTypeMatrixTransformation;
constinit KFbxDataType gKFbxDataTypeMatrixTranslation;
constinit KFbxDataType gKFbxDataTypeMatrixRotation;
constinit KFbxDataType gKFbxDataTypeMatrixScaling;
constinit KFbxDataType gKFbxDataTypeEmissive;
constinit KFbxDataType gKFbxDataTypeEmissiveFactor;
constinit KFbxDataType gKFbxDataTypeAmbient;
constinit KFbxDataType gKFbxDataTypeAmbientFactor;
constinit KFbxDataType gKFbxDataTypeDiffuse;
constinit KFbxDataType gKFbxDataTypeDiffuseFactor;
constinit KFbxDataType gKFbxDataTypeNormalMap;
constinit KFbxDataType gKFbxDataTypeBump;
constinit KFbxDataType gKFbxDataTypeTransparent;
constinit KFbxDataType gKFbxDataTypeTransparencyFactor;
constinit KFbxDataType gKFbxDataTypeSpecular;
constinit KFbxDataType gKFbxDataTypeSpecularFactor;
constinit KFbxDataType gKFbxDataTypeShininess;
constinit KFbxDataType gKFbxDataTypeReflection;
constinit KFbxDataType gKFbxDataTypeReflectionFactor;
constinit KFbxDataType gKFbxDataTypeIntensity;
constinit KFbxDataType gKFbxDataTypeConeAngle;
constinit KFbxDataType gKFbxDataTypeFog;
constinit KFbxDataType gKFbxDataTypeShape;
constinit KFbxDataType gKFbxDataTypeFieldOfView;
constinit KFbxDataType gKFbxDataTypeFieldOfViewX;
constinit KFbxDataType gKFbxDataTypeFieldOfViewY;
constinit KFbxDataType gKFbxDataTypeOpticalCenterX;
constinit KFbxDataType gKFbxDataTypeOpticalCenterY;
constinit KFbxDataType gKFbxDataTypeRoll;
constinit KFbxDataType gKFbxDataTypeCameraIndex;
constinit KFbxDataType gKFbxDataTypeTimeWarp;
constinit KFbxDataType gKFbxDataTypeVisibility;
constinit KFbxDataType gKFbxDataTypeTranslationUV;
constinit KFbxDataType gKFbxDataTypeScalingUV;
constinit KFbxDataType gKFbxDataTypeHSB;
constinit KFbxDataType gKFbxDataTypeOrientation;
constinit KFbxDataType gKFbxDataTypeLookAt;
constinit KFbxDataType gKFbxDataTypeOcclusion;
constinit KFbxDataType gKFbxDataTypeWeight;
constinit KFbxDataType gKFbxDataTypeIKReachTranslation;
constinit KFbxDataType gKFbxDataTypeIKReachRotation;
namespace {

constexpr int kValueTypeCount = eFbxValueStream + 1;

// Neither is ever destroyed: handles and lookups stay valid to the very end
// of the process, whatever runs in the static destructors.
constinit KFbxDataTypeRecord* gAllocatedRecords = nullptr;
constinit KSortedStringTable* gNameMap = nullptr;
constinit bool gBuilt = false;

struct BuiltInType {
    KFbxDataType* mHandle;
    const char* mName;
    EFbxValueType mType;
};

// In registration order.
constexpr BuiltInType kBuiltInTypes[] = {
    {&gKFbxDataTypeBool, "Bool", eFbxValueBool},
    {&gKFbxDataTypeInteger, "Integer", eFbxValueInteger},
    {&gKFbxDataTypeFloat, "Float", eFbxValueFloat},
    {&gKFbxDataTypeNumber, "Number", eFbxValueDouble},
    {&gKFbxDataTypeVector, "Vector", eFbxValueDouble3},
    {&gKFbxDataTypeVector4, "Vector4", eFbxValueDouble4},
    {&gKFbxDataTypeMatrix, "Matrix", eFbxValueDouble44},
    {&gKFbxDataTypeEnum, "Enum", eFbxValueEnum},
    {&gKFbxDataTypeStringList, "stringlist", eFbxValueEnum},
    {&gKFbxDataTypeTime, "Time", eFbxValueTime},
    {&gKFbxDataTypeRef, "Ref", eFbxValueReference},
    {&gKFbxDataTypeStream, "Stream", eFbxValueStream},
    {&gKFbxDataTypeKString, "KString", eFbxValueString},
    {&gKFbxDataTypeCharPtr, "charptr", eFbxValueString},
    {&gKFbxDataTypeAction, "Action", eFbxValueNone},
    {&gKFbxDataTypeEvent, "event", eFbxValueNone},
    {&gKFbxDataTypeColor, "Color", eFbxValueDouble3},
    {&gKFbxDataTypeColorAndAlpha, "ColorAndAlpha", eFbxValueDouble4},
    {&gKFbxDataTypeObject, "object", eFbxValueReference},
    {&gKFbxDataTypeReference, "Reference", eFbxValueReference},
    {&gKFbxDataTypeReal, "Real", eFbxValueDouble},
    {&gKFbxDataTypeVector3D, "Vector3D", eFbxValueDouble3},
    {&gKFbxDataTypeVector4D, "Vector4D", eFbxValueDouble4},
    {&gKFbxDataTypeTranslation, "Translation", eFbxValueDouble3},
    {&gKFbxDataTypeRotation, "Rotation", eFbxValueDouble3},
    {&gKFbxDataTypeScaling, "Scaling", eFbxValueDouble3},
    {&gKFbxDataTypeQuaternion, "Quaternion", eFbxValueDouble4},
    {&gKFbxDataTypeLclTranslation, "Lcl Translation", eFbxValueDouble3},
    {&gKFbxDataTypeLclRotation, "Lcl Rotation", eFbxValueDouble3},
    {&gKFbxDataTypeLclScaling, "Lcl Scaling", eFbxValueDouble3},
    {&gKFbxDataTypeLclQuaternion, "Lcl Quaternion", eFbxValueDouble4},
    {&gKFbxDataTypeMatrixTransformation, "Matrix Transformation", eFbxValueDouble44},
    {&gKFbxDataTypeMatrixTranslation, "Matrix Translation", eFbxValueDouble44},
    {&gKFbxDataTypeMatrixRotation, "Matrix Rotation", eFbxValueDouble44},
    {&gKFbxDataTypeMatrixScaling, "Matrix Scaling", eFbxValueDouble44},
    {&gKFbxDataTypeEmissive, "Emissive", eFbxValueDouble3},
    {&gKFbxDataTypeEmissiveFactor, "EmissiveFactor", eFbxValueDouble},
    {&gKFbxDataTypeAmbient, "Ambient", eFbxValueDouble3},
    {&gKFbxDataTypeAmbientFactor, "AmbientFactor", eFbxValueDouble},
    {&gKFbxDataTypeDiffuse, "Diffuse", eFbxValueDouble3},
    {&gKFbxDataTypeDiffuseFactor, "DiffuseFactor", eFbxValueDouble},
    {&gKFbxDataTypeNormalMap, "NormalMap", eFbxValueDouble3},
    {&gKFbxDataTypeBump, "Bump", eFbxValueDouble},
    {&gKFbxDataTypeTransparent, "Transparent", eFbxValueDouble3},
    {&gKFbxDataTypeTransparencyFactor, "TransparencyFactor", eFbxValueDouble},
    {&gKFbxDataTypeSpecular, "Specular", eFbxValueDouble3},
    {&gKFbxDataTypeSpecularFactor, "SpecularFactor", eFbxValueDouble},
    {&gKFbxDataTypeShininess, "Shininess", eFbxValueDouble},
    {&gKFbxDataTypeReflection, "Reflection", eFbxValueDouble3},
    {&gKFbxDataTypeReflectionFactor, "ReflectionFactor", eFbxValueDouble},
    {&gKFbxDataTypeIntensity, "Intensity", eFbxValueDouble},
    {&gKFbxDataTypeConeAngle, "Cone angle", eFbxValueDouble},
    {&gKFbxDataTypeFog, "Fog", eFbxValueDouble},
    {&gKFbxDataTypeShape, "Shape", eFbxValueDouble},
    {&gKFbxDataTypeFieldOfView, "FieldOfView", eFbxValueDouble},
    {&gKFbxDataTypeFieldOfViewX, "FieldOfViewX", eFbxValueDouble},
    {&gKFbxDataTypeFieldOfViewY, "FieldOfViewY", eFbxValueDouble},
    {&gKFbxDataTypeOpticalCenterX, "OpticalCenterX", eFbxValueDouble},
    {&gKFbxDataTypeOpticalCenterY, "OpticalCenterY", eFbxValueDouble},
    {&gKFbxDataTypeRoll, "Roll", eFbxValueDouble},
    {&gKFbxDataTypeCameraIndex, "Camera Index", eFbxValueInteger},
    {&gKFbxDataTypeTimeWarp, "TimeWarp", eFbxValueDouble},
    {&gKFbxDataTypeVisibility, "Visibility", eFbxValueDouble},
    {&gKFbxDataTypeTranslationUV, "Translation UV", eFbxValueDouble3},
    {&gKFbxDataTypeScalingUV, "Scaling UV", eFbxValueDouble3},
    {&gKFbxDataTypeHSB, "HSB", eFbxValueDouble3},
    {&gKFbxDataTypeOrientation, "Orientation", eFbxValueDouble3},
    {&gKFbxDataTypeLookAt, "Look at", eFbxValueDouble3},
    {&gKFbxDataTypeOcclusion, "Occlusion", eFbxValueDouble},
    {&gKFbxDataTypeWeight, "Weight", eFbxValueDouble},
    {&gKFbxDataTypeIKReachTranslation, "IK Reach Translation", eFbxValueDouble},
    {&gKFbxDataTypeIKReachRotation, "IK Reach Rotation", eFbxValueDouble},};

// Indexed by value type; the entry past stream is "Action".
constexpr const KFbxDataType* kBaseDataTypes[] = {
    nullptr,
    &gKFbxDataTypeBool,
    &gKFbxDataTypeInteger,
    &gKFbxDataTypeFloat,
    &gKFbxDataTypeNumber,
    &gKFbxDataTypeVector,
    &gKFbxDataTypeVector4,
    &gKFbxDataTypeMatrix,
    &gKFbxDataTypeEnum,
    &gKFbxDataTypeKString,
    &gKFbxDataTypeTime,
    &gKFbxDataTypeRef,
    &gKFbxDataTypeStream,
    &gKFbxDataTypeAction,
};

struct FileTypeName {
    const KFbxDataType* mDataType;
    const char* mTypeName;
};

// Searched in order: the first match wins.
constexpr FileTypeName kFileTypeNames[] = {
    {&gKFbxDataTypeAction, "Action"},     {&gKFbxDataTypeBool, "bool"},
    {&gKFbxDataTypeInteger, "int"},       {&gKFbxDataTypeColor, "ColorRGB"},
    {&gKFbxDataTypeColorAndAlpha, "ColorRGBA"}, {&gKFbxDataTypeTime, "KTime"},
    {&gKFbxDataTypeEnum, "enum"},         {&gKFbxDataTypeNumber, "double"},
    {&gKFbxDataTypeVector, "Vector3D"},   {&gKFbxDataTypeVector4, "Vector4D"},
    {&gKFbxDataTypeReference, "Reference"}, {&gKFbxDataTypeKString, "KString"},
    {&gKFbxDataTypeObject, "object"},     {&gKFbxDataTypeEvent, "event"},
    {&gKFbxDataTypeStringList, "stringlist"}, {&gKFbxDataTypeFloat, "float"},
    {&gKFbxDataTypeCharPtr, "charptr"},   {&gKFbxDataTypeMatrix, "matrix4x4"},
};

constexpr const char* kPropertyTypeNames[] = {"Unidentified", "Bool", "Real", "Color", "Integer", "Vector", "Enum"};

bool IsValueType(int type) { return type >= 0 && type < kValueTypeCount; }

}  // namespace

const char* KFbxDataType::GetName() const {
    return mRecord != nullptr ? static_cast<const KFbxDataTypeRecord*>(mRecord)->mName.Buffer() : "";
}

KFbxDataType KFbxRegisterDataType(const char* name, EFbxValueType type) {
    if (name == nullptr || !IsValueType(type)) {
        return KFbxDataType();
    }
    if (gNameMap == nullptr) {
        gNameMap = new (std::nothrow) KSortedStringTable(32, true);
        if (gNameMap == nullptr) {
            return KFbxDataType();
        }
    }
    auto* record = new (std::nothrow) KFbxDataTypeRecord(type, name, gAllocatedRecords);
    if (record == nullptr) {
        return KFbxDataType();
    }
    if (!record->mName.IsOK()) {
        delete record;
        return KFbxDataType();
    }
    int index = -1;
    if (gNameMap->Find(name, &index) != nullptr) {
        *gNameMap->GetValueRefAt(index) = record;
    } else if (!gNameMap->Add(name, record)) {
        delete record;
        return KFbxDataType();
    }
    gAllocatedRecords = record;
    return KFbxDataType(record);
}

KFbxDataType KFbxGetDataTypeByName(const char* name) {
    if (name == nullptr || gNameMap == nullptr) {
        return KFbxDataType();
    }
    return KFbxDataType(static_cast<const KFbxDataTypeRecord*>(gNameMap->Find(name)));
}

KFbxDataType KFbxGetBaseDataType(EFbxValueType type) {
    const int code = type;
    if (code < 0 || code >= static_cast<int>(std::size(kBaseDataTypes)) || kBaseDataTypes[code] == nullptr) {
        return KFbxDataType();
    }
    return *kBaseDataTypes[code];
}

bool KFbxBuildDataTypes() {
    if (gBuilt) {
        return true;
    }
    bool complete = true;
    for (const BuiltInType& builtIn : kBuiltInTypes) {
        if (*builtIn.mHandle == KFbxDataType()) {
            *builtIn.mHandle = KFbxRegisterDataType(builtIn.mName, builtIn.mType);
            complete = complete && *builtIn.mHandle != KFbxDataType();
        }
    }
    gBuilt = complete;
    return complete;
}

bool KFbxDataTypesAreBuilt() { return gBuilt; }

const char* KFbxDataTypeToTypeName(const KFbxDataType& dataType) {
    // The null data type would otherwise pass for the first type without a
    // value, and be written as one.
    if (dataType == KFbxDataType()) {
        return "unknown";
    }
    for (const FileTypeName& entry : kFileTypeNames) {
        if (*entry.mDataType == dataType) {
            return entry.mTypeName;
        }
    }
    for (const FileTypeName& entry : kFileTypeNames) {
        if (*entry.mDataType != KFbxDataType() && entry.mDataType->GetType() == dataType.GetType()) {
            return entry.mTypeName;
        }
    }
    return "unknown";
}

KFbxDataType KFbxDataTypeFromTypeName(const char* typeName) {
    if (typeName == nullptr) {
        return KFbxDataType();
    }
    for (const FileTypeName& entry : kFileTypeNames) {
        if (std::strcmp(entry.mTypeName, typeName) == 0) {
            return *entry.mDataType;
        }
    }
    return KFbxDataType();
}

const char* KFbxGetPropertyTypeName(int code) {
    if (code < 0 || code >= static_cast<int>(std::size(kPropertyTypeNames))) {
        return nullptr;
    }
    return kPropertyTypeNames[code];
}

int KFbxGetPropertyTypeFromDataType(const KFbxDataType& dataType) {
    if (dataType == KFbxDataType()) {
        return 0;
    }
    if (dataType == gKFbxDataTypeColor || dataType == gKFbxDataTypeColorAndAlpha) {
        return 3;
    }
    switch (dataType.GetType()) {
        case eFbxValueBool:
            return 1;
        case eFbxValueInteger:
            return 4;
        case eFbxValueFloat:
        case eFbxValueDouble:
            return 2;
        case eFbxValueDouble3:
        case eFbxValueDouble4:
            return 5;
        case eFbxValueDouble44:
            return 7;
        case eFbxValueEnum:
            return 6;
        default:
            return 0;
    }
}

}  // namespace fbxsdk_2006_11_1
