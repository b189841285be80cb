#include <fbxfilesdk/core/KPropertyType.h>

#include <fbxfilesdk/core/KDataType.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kTypeNames[eKPropertyTypeCount] = {
    "unknown", "int",      "bool",      "float",     "double",    "charptr", "enum",
    "KTime",   "KString",  "object",    "event",     "stringlist", "Vector4D", "Vector3D",
    "ColorRGB", "ColorRGBA", "Action",  "Reference", "Matrix4x4"};

bool NameIs(const KDataType* type, const char* name) { return std::strcmp(type->GetName(), name) == 0; }

}  // namespace

KPropertyType KPropertyTypeFromName(const char* name) {
    if (name == nullptr) {
        return eKPropertyUnknown;
    }
    for (int i = 0; i < eKPropertyTypeCount; ++i) {
        if (std::strcmp(kTypeNames[i], name) == 0) {
            return static_cast<KPropertyType>(i);
        }
    }
    return eKPropertyUnknown;
}

KPropertyType PropertyTypeFromDataType(const KDataType* dataType) {
    if (dataType == nullptr) {
        return eKPropertyUnknown;
    }
    static const struct {
        const char* mName;
        KPropertyType mType;
    } kOwn[] = {{"Action", eKPropertyAction}, {"Bool", eKPropertyBool},   {"Integer", eKPropertyInt},
                {"Color", eKPropertyColorRGB}, {"ColorAndAlpha", eKPropertyColorRGBA},
                {"Enum", eKPropertyEnum},     {"Matrix", eKPropertyMatrix4x4}};
    for (const auto& entry : kOwn) {
        if (NameIs(dataType, entry.mName)) {
            return entry.mType;
        }
    }
    const KDataType* base = dataType->GetBaseType();
    if (base == nullptr) {
        return eKPropertyUnknown;
    }
    static const struct {
        const char* mName;
        KPropertyType mType;
    } kBase[] = {{"Time", eKPropertyTime},
                 {"Number", eKPropertyDouble},
                 {"Vector", eKPropertyVector3D},
                 {"Vector4", eKPropertyVector4D},
                 {"Matrix", eKPropertyMatrix4x4}};
    for (const auto& entry : kBase) {
        if (NameIs(base, entry.mName)) {
            return entry.mType;
        }
    }
    return eKPropertyUnknown;
}

KDataType* DefaultDataTypeOf(int type) {
    switch (type) {
        case eKPropertyDouble:
            return gKDataTypeNumber;
        case eKPropertyTime:
            return gKDataTypeTime;
        case eKPropertyVector4D:
            return gKDataTypeVector4;
        case eKPropertyVector3D:
            return gKDataTypeVector;
        case eKPropertyColorRGB:
            return gKDataTypeColor;
        case eKPropertyColorRGBA:
            return gKDataTypeColorAndAlpha;
        case eKPropertyMatrix4x4:
            return gKDataTypeMatrix;
        default:
            return nullptr;
    }
}

}  // namespace fbxsdk_2006_11_1
