// The classes of this library: their ids, and their rows in the order in
// which the first SDK manager registers them.
#include <fbxfilesdk/core/KFbxClassRegistration.h>

#include <fbxfilesdk/animation/KFbxKFCurveFilters.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>

namespace fbxsdk_2006_11_1 {

// Defined here rather than with each class, so that a program using any of
// these classes also links their rows below.
KFbxClassId KFbxTakeNodeContainer::ClassId;
KFbxClassId KFbxKFCurveFilters::ClassId;
KFbxClassId KFbxKFCurveFilterConstantKeyReducer::ClassId;
KFbxClassId KFbxKFCurveFilterMatrixConverter::ClassId;
KFbxClassId KFbxKFCurveFilterResample::ClassId;
KFbxClassId KFbxKFCurveFilterUnroll::ClassId;

namespace {

constexpr KFbxClassRegistrationPlace kRows[] = {
    {15, {"KFbxTakeNodeContainer", "KFbxObject", &KFbxTakeNodeContainer::ClassId, &KFbxTakeNodeContainer::CreateFn}},
    {18, {"KFbxKFCurveFilters", "KFbxObject", &KFbxKFCurveFilters::ClassId, &KFbxKFCurveFilters::CreateFn}},
    {19, {"KFbxKFCurveFilterConstantKeyReducer", "KFbxKFCurveFilters", &KFbxKFCurveFilterConstantKeyReducer::ClassId, &KFbxKFCurveFilterConstantKeyReducer::CreateFn}},
    {20, {"KFbxKFCurveFilterMatrixConverter", "KFbxKFCurveFilters", &KFbxKFCurveFilterMatrixConverter::ClassId, &KFbxKFCurveFilterMatrixConverter::CreateFn}},
    {21, {"KFbxKFCurveFilterResample", "KFbxKFCurveFilters", &KFbxKFCurveFilterResample::ClassId, &KFbxKFCurveFilterResample::CreateFn}},
    {22, {"KFbxKFCurveFilterUnroll", "KFbxKFCurveFilters", &KFbxKFCurveFilterUnroll::ClassId, &KFbxKFCurveFilterUnroll::CreateFn}},
};

const KFbxClassRows kClassRows(kRows, nullptr);

}  // namespace

}  // namespace fbxsdk_2006_11_1
