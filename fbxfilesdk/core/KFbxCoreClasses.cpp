// The classes of this library: their ids, and their rows in the order in
// which the first SDK manager registers them.
#include <fbxfilesdk/core/KFbxClassRegistration.h>

#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KFbxProperty.h>

namespace fbxsdk_2006_11_1 {

// Defined here rather than with each class, so that a program using any of
// these classes also links their rows below.
KFbxClassId KFbxPlug::ClassId;
KFbxClassId KFbxProperty::ClassId;
KFbxClassId KFbxObject::ClassId;

namespace {

constexpr KFbxClassRegistrationPlace kRows[] = {
    {0, {"KFbxPlug", nullptr, &KFbxPlug::ClassId, nullptr}},
    {1, {"KFbxProperty", "KFbxPlug", &KFbxProperty::ClassId, &KFbxProperty::CreateFn}},
    {2, {"KFbxObject", "KFbxPlug", &KFbxObject::ClassId, &KFbxObject::CreateFn}},
};

const KFbxClassRows kClassRows(kRows, nullptr);

}  // namespace

}  // namespace fbxsdk_2006_11_1
