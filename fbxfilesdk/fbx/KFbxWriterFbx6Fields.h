// Whole records holding one kind of value, as the FBX 6 record writers write
// them: the field, its values, the field's end.
#ifndef FBXFILESDK_FBX_KFBXWRITERFBX6FIELDS_H
#define FBXFILESDK_FBX_KFBXWRITERFBX6FIELDS_H

namespace fbxsdk_2006_11_1 {

class KFbx;
class KFbxProperty;

void WriteIntRecord(KFbx& file, const char* name, int value);
// A record without values when the count is 0.
void WriteIntsRecord(KFbx& file, const char* name, const int* values, int count);
void WriteDoublesRecord(KFbx& file, const char* name, const double* values, int count);
// Closes the open field's block, then the field.
void CloseFieldBlock(KFbx& file);
// The property's value as values of the open field, by its value type:
// bool, integer and enum as I, float as F, double as D, vectors and
// matrices as their doubles (rows in order), a string as S, a time as T;
// nothing for other types.
void WritePropertyValue(KFbx& file, const KFbxProperty& property);

}  // namespace fbxsdk_2006_11_1

#endif
