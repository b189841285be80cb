#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>

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

}  // namespace fbxsdk_2006_11_1
