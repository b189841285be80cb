// Small reading helpers of the FBX 6 reader over the field file: each reads
// only the values a field really holds, so damaged or short fields give
// defaults instead of errors.
#ifndef FBXFILESDK_FBX_KFBXREADERFBX6FIELDS_H
#define FBXFILESDK_FBX_KFBXREADERFBX6FIELDS_H

#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/KFbx.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxProperty;
class KgeMatrix;

namespace fbx6read {

// One value of the open field; the fallback when none is left.
KString NextS(KFbx& file, const char* fallback = "");
// The same into a buffer the caller keeps; empty when no value is left.
void NextS(KFbx& file, std::string& out);
int NextI(KFbx& file, int fallback = 0);
double NextD(KFbx& file, double fallback = 0.0);
KTime NextT(KFbx& file);
// Every value left in the open field.
std::vector<double> RestD(KFbx& file);
std::vector<int> RestI(KFbx& file);
std::vector<KString> RestS(KFbx& file);

// Whole fields of the current block (the next one of the name); false when
// there is none.
bool ReadDoubles(KFbx& file, const char* name, std::vector<double>& out);
bool ReadInts(KFbx& file, const char* name, std::vector<int>& out);
double ReadD(KFbx& file, const char* name, double fallback);
// Sixteen doubles, row by row; false (identity kept) when the field is
// missing or short.
bool ReadMatrix(KFbx& file, const char* name, KgeMatrix& out);
// The start and stop of a time span field.
bool ReadTimeSpan(KFbx& file, const char* name, KTime& start, KTime& stop);

// Sizes the array once (arrays grow by small blocks, so item by item would
// copy a large array over and over) and fills item i with make(i).
template <class Array, class Make>
void FillArray(Array& array, std::size_t count, Make make) {
    if (count > static_cast<std::size_t>(INT_MAX) || !array.SetCountForOverwrite(static_cast<int>(count))) {
        return;
    }
    auto* items = array.GetArray();
    for (std::size_t i = 0; i < count; ++i) {
        items[i] = make(i);
    }
}

// The numbers of the named field of the current block, converted straight
// into the array: one item, made by make(values), of each width numbers (a
// last partial group is left). The number of values the field holds, -1
// when there is no such field; the array is left as it was when it cannot
// be sized.
template <class Array, class Make>
int ReadGroups(KFbx& file, const char* name, std::size_t width, Array& array, Make make) {
    if (!file.FieldReadBegin(name)) {
        return -1;
    }
    const int values = file.FieldGetRemainingValueCount();
    const std::size_t count = static_cast<std::size_t>(values) / width;
    if (count <= static_cast<std::size_t>(INT_MAX) && array.SetCountForOverwrite(static_cast<int>(count))) {
        auto* items = array.GetArray();
        // A block of whole groups at a time, so that no copy of the whole array is made.
        constexpr std::size_t kBlock = 3 * 4 * 512;
        double block[kBlock];
        const std::size_t perBlock = kBlock / width;
        for (std::size_t first = 0; first < count; first += perBlock) {
            const std::size_t groups = count - first < perBlock ? count - first : perBlock;
            const int wanted = static_cast<int>(groups * width);
            // Every item is written: numbers the field lacks count as zeros.
            const int got = std::max(file.FieldReadArrayD(block, wanted), 0);
            std::fill(block + got, block + wanted, 0.0);
            for (std::size_t i = 0; i < groups; ++i) {
                items[first + i] = make(block + i * width);
            }
        }
    }
    file.FieldReadEnd();
    return values;
}

// The integers of the named field read straight into the array; false when
// there is no such field.
template <class Array>
bool ReadIntArray(KFbx& file, const char* name, Array& array) {
    if (!file.FieldReadBegin(name)) {
        return false;
    }
    const int count = file.FieldGetRemainingValueCount();
    if (array.SetCountForOverwrite(count) && count > 0) {
        // Every item is written: numbers the field lacks count as zeros.
        const int got = std::max(file.FieldReadArrayI(array.GetArray(), count), 0);
        std::fill(array.GetArray() + got, array.GetArray() + count, 0);
    }
    file.FieldReadEnd();
    return true;
}

// The enumeration value of a number from a file: the fallback for one
// outside 0 to last, which the enumeration may not even be able to hold.
template <class Enum>
Enum EnumOf(int value, int last, Enum fallback) {
    return value >= 0 && value <= last ? static_cast<Enum>(value) : fallback;
}

// One component of the property's value, as a default take's curve holds
// it: a vector's element (0 to 3), a matrix's (0 to 15, row by row), or the
// whole value of a scalar. Setting leaves values of other types as they are.
double GetPropertyComponent(const KFbxProperty& property, int component);
void SetPropertyComponent(KFbxProperty& property, int component, double value);

// The name after the type prefix ("Model::Cube" gives "Cube"); the whole
// text when it has no prefix.
KString WithoutPrefix(const KString& prefixed);

// The producer camera (KFbxGlobalCameraSettings' index) that a "Model"
// record of this name (without prefix) and type stands for: a "Camera" of
// one of their names. -1 for any other record, whatever its name.
int ProducerCameraOf(const KString& name, const KString& type);

}  // namespace fbx6read
}  // namespace fbxsdk_2006_11_1

#endif
