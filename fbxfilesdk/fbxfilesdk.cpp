// Linked whole into every program that links the SDK (see CMakeLists.txt):
// the one place that knows every library. It pulls in each library's classes,
// so that every class can be made by name (as readers do) even where the
// program never names it, and it enters the readers and writers of the format
// libraries in the format registry, which cannot know them.
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/collada/KFbxColladaFormats.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/fbx/KFbxIO.h>
#include <fbxfilesdk/formats/KFbxFormats3ds.h>
#include <fbxfilesdk/formats/KFbxFormatsDxf.h>
#include <fbxfilesdk/formats/KFbxFormatsObj.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/scene/KFbxNode.h>

namespace fbxsdk_2006_11_1 {

namespace {

// A library defines all its class ids beside its rows, so one id of each is
// enough to bring them all.
[[gnu::used]] const KFbxClassId* const kOneClassOfEachLibrary[] = {
    &KFbxObject::ClassId, &KFbxTakeNodeContainer::ClassId, &KFbxNode::ClassId, &KFbxGeometry::ClassId,
    &KFbxIO::ClassId,
};

const bool kFormatsRegistered = [] {
    KFbxRegister3dsFormats();
    KFbxRegisterDxfFormats();
    KFbxRegisterObjFormats();
    KFbxRegisterColladaFormats();
    return true;
}();

}  // namespace

}  // namespace fbxsdk_2006_11_1
