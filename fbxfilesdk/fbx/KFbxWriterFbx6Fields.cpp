#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/fbx/KFbx.h>

namespace fbxsdk_2006_11_1 {

void WriteIntRecord(KFbx& file, const char* name, int value) {
    file.FieldWriteBegin(name);
    file.FieldWriteI(value);
    file.FieldWriteEnd();
}

void WriteIntsRecord(KFbx& file, const char* name, const int* values, int count) {
    file.FieldWriteBegin(name);
    file.FieldWriteArrayI(values, count);
    file.FieldWriteEnd();
}

void WriteDoublesRecord(KFbx& file, const char* name, const double* values, int count) {
    file.FieldWriteBegin(name);
    file.FieldWriteArrayD(values, count);
    file.FieldWriteEnd();
}

void CloseFieldBlock(KFbx& file) {
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
}

void WritePropertyValue(KFbx& file, const KFbxProperty& property) {
    switch (property.GetPropertyDataType().GetType()) {
        case eFbxValueBool: {
            bool value = false;
            property.Get(&value, eFbxValueBool);
            file.FieldWriteI(value ? 1 : 0);
            break;
        }
        case eFbxValueInteger: {
            int value = 0;
            property.Get(&value, eFbxValueInteger);
            file.FieldWriteI(value);
            break;
        }
        case eFbxValueFloat: {
            float value = 0.0f;
            property.Get(&value, eFbxValueFloat);
            file.FieldWriteF(value);
            break;
        }
        case eFbxValueDouble: {
            double value = 0.0;
            property.Get(&value, eFbxValueDouble);
            file.FieldWriteD(value);
            break;
        }
        case eFbxValueDouble3:
            file.FieldWriteVector3(property.GetDouble3().mData);
            break;
        case eFbxValueDouble4:
            file.FieldWriteVector4(property.GetDouble4().mData);
            break;
        case eFbxValueDouble44:
            for (const fbxDouble4& row : property.GetDouble44().mData) {
                file.FieldWriteVector4(row.mData);
            }
            break;
        case eFbxValueEnum: {
            int value = 0;
            property.Get(&value, eFbxValueEnum);
            file.FieldWriteI(value);
            break;
        }
        case eFbxValueString:
            file.WriteStringValue(property.GetString().Buffer());
            break;
        case eFbxValueTime:
            file.FieldWriteT(property.GetTime());
            break;
        default:
            break;
    }
}

}  // namespace fbxsdk_2006_11_1
