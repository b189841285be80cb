// The "Model" records of the objects section: head, body and the contents of
// the node's attribute.
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

namespace fbxsdk_2006_11_1 {

void KFbxWriterFbx6::WriteModel(KFbxNode& node) {
    WriteModelHeader(node);
    WriteModelBody(node);
    WriteModelEnd();
}

void KFbxWriterFbx6::WriteModelHeader(KFbxNode& node) {
    mFbx->FieldWriteBegin("Model");
    mFbx->FieldWriteS(node.GetNameWithTypePrefix());
    mFbx->FieldWriteS(node.GetTypeName());
    mFbx->FieldWriteBlockBegin();
}

void KFbxWriterFbx6::WriteModelVersion(KFbxNode& /*node*/) {
    WriteIntRecord(*mFbx, "Version", 232);
}

void KFbxWriterFbx6::WriteModelBody(KFbxNode& node) {
    WriteModelVersion(node);
    WriteModelProperties(node);
    WriteModelMultiLayer(node);
    WriteModelShading(node);
    WriteModelCulling(node);
    if (!IsStandaloneGeometry(node.GetNodeAttribute())) {
        WriteNodeAttribute(node);
    }
}

void KFbxWriterFbx6::WriteTypeFlags(const KFbxObject& object) {
    KStringList flags;
    object.GetTypeFlags(flags);
    mFbx->FieldWriteBegin("TypeFlags");
    for (int i = 0; i < flags.GetCount(); ++i) {
        mFbx->FieldWriteS(flags.GetStringAt(i));
    }
    mFbx->FieldWriteEnd();
}

bool KFbxWriterFbx6::WriteNull(const KFbxNull* null) {
    if (null == nullptr) {
        mFbx->FieldWriteBegin("TypeFlags");
        mFbx->FieldWriteS("Null");
        mFbx->FieldWriteEnd();
        return true;
    }
    WriteTypeFlags(*null);
    return true;
}

bool KFbxWriterFbx6::WriteCameraSwitcher(KFbxCameraSwitcher& switcher) {
    WriteIntRecord(*mFbx, "Version", 101);
    mFbx->WriteStringField("Name", "Model::Camera Switcher");
    WriteIntRecord(*mFbx, "CameraId", switcher.GetDefaultCameraIndex());
    // A number, not a name: readers expect the constant.
    WriteIntRecord(*mFbx, "CameraName", 100);
    mFbx->FieldWriteBegin("CameraIndexName");
    for (int i = 0; i < switcher.GetCameraNameCount(); ++i) {
        const char* name = switcher.GetCameraName(i);
        mFbx->FieldWriteS(name != nullptr ? name : "");
    }
    mFbx->FieldWriteEnd();
    return true;
}

void KFbxWriterFbx6::WriteNodeAttribute(KFbxNode& node) {
    KFbxNodeAttribute* attribute = node.GetNodeAttribute();
    if (attribute == nullptr) {
        WriteNull(nullptr);
        return;
    }
    const bool modelOn = IsOptionOn("MODEL");
    switch (attribute->GetAttributeType()) {
        case KFbxNodeAttribute::eNULL:
            WriteNull(static_cast<KFbxNull*>(attribute));
            break;
        case KFbxNodeAttribute::eMARKER:
            WriteTypeFlags(node);
            break;
        case KFbxNodeAttribute::eSKELETON:
            WriteSkeletonAttribute(*static_cast<KFbxSkeleton*>(attribute));
            break;
        case KFbxNodeAttribute::eMESH:
            if (modelOn) {
                WriteMesh(*static_cast<KFbxMesh*>(attribute));
            }
            break;
        case KFbxNodeAttribute::eCAMERA:
            WriteCamera(*static_cast<KFbxCamera*>(attribute));
            break;
        case KFbxNodeAttribute::eCAMERA_SWITCHER:
            if (modelOn) {
                WriteCameraSwitcher(*static_cast<KFbxCameraSwitcher*>(attribute));
            }
            break;
        case KFbxNodeAttribute::eLIGHT:
            WriteLight(*static_cast<KFbxLight*>(attribute));
            break;
        case KFbxNodeAttribute::eNURB:
            if (modelOn) {
                WriteNurb(*static_cast<KFbxNurb*>(attribute));
            }
            break;
        case KFbxNodeAttribute::ePATCH:
            if (modelOn) {
                WritePatch(*static_cast<KFbxPatch*>(attribute));
            }
            break;
        default:
            // Curves, boundaries, trimmed and NURBS surfaces have records of
            // their own; other attribute types have no contents.
            break;
    }
}

}  // namespace fbxsdk_2006_11_1
