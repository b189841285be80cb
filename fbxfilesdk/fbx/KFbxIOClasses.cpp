// The classes of this library: their ids, and their rows in the order in
// which the first SDK manager registers them.
#include <fbxfilesdk/core/KFbxClassRegistration.h>

#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxIO.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>

namespace fbxsdk_2006_11_1 {

// Defined here rather than with each class, so that a program using any of
// these classes also links their rows below.
KFbxClassId KFbxIO::ClassId;
KFbxClassId KFbxStreamOptions::ClassId;
KFbxClassId KFbxStreamOptionsFbxReader::ClassId;
KFbxClassId KFbxStreamOptionsFbxWriter::ClassId;
KFbxClassId KFbxStreamOptionsMotionReader::ClassId;
KFbxClassId KFbxStreamOptionsMotionWriter::ClassId;
KFbxClassId KFbxStreamOptions3dsReader::ClassId;
KFbxClassId KFbxStreamOptions3dsWriter::ClassId;
KFbxClassId KFbxStreamOptionsDxfReader::ClassId;
KFbxClassId KFbxStreamOptionsDxfWriter::ClassId;
KFbxClassId KFbxStreamOptionsObjReader::ClassId;
KFbxClassId KFbxStreamOptionsObjWriter::ClassId;
KFbxClassId KFbxStreamOptionsColladaReader::ClassId;
KFbxClassId KFbxStreamOptionsColladaWriter::ClassId;
KFbxClassId KFbxImporter::ClassId;
KFbxClassId KFbxExporter::ClassId;

namespace {

constexpr KFbxClassRegistrationPlace kRows[] = {
    {14, {"KFbxIO", "KFbxObject", &KFbxIO::ClassId, &KFbxIO::CreateFn}},
    {17, {"KFbxStreamOptions", "KFbxObject", &KFbxStreamOptions::ClassId, &KFbxStreamOptions::CreateFn}},
    {23, {"KFbxStreamOptionsFbxReader", "KFbxStreamOptions", &KFbxStreamOptionsFbxReader::ClassId, &KFbxStreamOptionsFbxReader::CreateFn}},
    {24, {"KFbxStreamOptionsFbxWriter", "KFbxStreamOptions", &KFbxStreamOptionsFbxWriter::ClassId, &KFbxStreamOptionsFbxWriter::CreateFn}},
    {25, {"KFbxStreamOptionsMotionReader", "KFbxStreamOptions", &KFbxStreamOptionsMotionReader::ClassId, &KFbxStreamOptionsMotionReader::CreateFn}},
    {26, {"KFbxStreamOptionsMotionWriter", "KFbxStreamOptions", &KFbxStreamOptionsMotionWriter::ClassId, &KFbxStreamOptionsMotionWriter::CreateFn}},
    {27, {"KFbxStreamOptions3dsReader", "KFbxStreamOptions", &KFbxStreamOptions3dsReader::ClassId, &KFbxStreamOptions3dsReader::CreateFn}},
    {28, {"KFbxStreamOptions3dsWriter", "KFbxStreamOptions", &KFbxStreamOptions3dsWriter::ClassId, &KFbxStreamOptions3dsWriter::CreateFn}},
    {29, {"KFbxStreamOptionsDxfReader", "KFbxStreamOptions", &KFbxStreamOptionsDxfReader::ClassId, &KFbxStreamOptionsDxfReader::CreateFn}},
    {30, {"KFbxStreamOptionsDxfWriter", "KFbxStreamOptions", &KFbxStreamOptionsDxfWriter::ClassId, &KFbxStreamOptionsDxfWriter::CreateFn}},
    {31, {"KFbxStreamOptionsObjReader", "KFbxStreamOptions", &KFbxStreamOptionsObjReader::ClassId, &KFbxStreamOptionsObjReader::CreateFn}},
    {32, {"KFbxStreamOptionsObjWriter", "KFbxStreamOptions", &KFbxStreamOptionsObjWriter::ClassId, &KFbxStreamOptionsObjWriter::CreateFn}},
    {33, {"KFbxStreamOptionsColladaReader", "KFbxStreamOptions", &KFbxStreamOptionsColladaReader::ClassId, &KFbxStreamOptionsColladaReader::CreateFn}},
    {34, {"KFbxStreamOptionsColladaWriter", "KFbxStreamOptions", &KFbxStreamOptionsColladaWriter::ClassId, &KFbxStreamOptionsColladaWriter::CreateFn}},
    {35, {"KFbxImporter", "KFbxIO", &KFbxImporter::ClassId, &KFbxImporter::CreateFn}},
    {36, {"KFbxExporter", "KFbxIO", &KFbxExporter::ClassId, &KFbxExporter::CreateFn}},
};

const KFbxClassRows kClassRows(kRows, nullptr);

}  // namespace

}  // namespace fbxsdk_2006_11_1
