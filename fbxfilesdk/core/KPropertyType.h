// The internal property type codes and the names files give them.
#ifndef FBXFILESDK_CORE_KPROPERTYTYPE_H
#define FBXFILESDK_CORE_KPROPERTYTYPE_H

namespace fbxsdk_2006_11_1 {

class KDataType;

enum KPropertyType {
    eKPropertyUnknown = 0,
    eKPropertyInt = 1,
    eKPropertyBool = 2,
    eKPropertyFloat = 3,
    eKPropertyDouble = 4,
    eKPropertyCharPtr = 5,
    eKPropertyEnum = 6,
    eKPropertyTime = 7,
    eKPropertyString = 8,
    eKPropertyObject = 9,
    eKPropertyEvent = 10,
    eKPropertyStringList = 11,
    eKPropertyVector4D = 12,
    eKPropertyVector3D = 13,
    eKPropertyColorRGB = 14,
    eKPropertyColorRGBA = 15,
    eKPropertyAction = 16,
    eKPropertyReference = 17,
    eKPropertyMatrix4x4 = 18,
    eKPropertyTypeCount = 19
};

// The code of the exactly equal name ("int", "KTime", "Vector3D", ...); 0 when none.
KPropertyType KPropertyTypeFromName(const char* name);
// The code for a data type, by its own name first and then by its base type's; 0 for none.
KPropertyType PropertyTypeFromDataType(const KDataType* dataType);
// The data type a property of the code uses when it names none: "Number",
// "Time", "Vector4", "Vector", "Color", "ColorAndAlpha" or "Matrix"; else null.
KDataType* DefaultDataTypeOf(int type);

}  // namespace fbxsdk_2006_11_1

#endif
