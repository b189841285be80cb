// The OBJ tests' fixture: files written into a scratch folder and imported
// through the importer into a fresh scene, with helpers that look at the
// meshes the reader made.
#ifndef TESTS_FORMATS_OBJTESTSUPPORT_H
#define TESTS_FORMATS_OBJTESTSUPPORT_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/KFbxFormatsObj.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "formats/FormatsTestSupport.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::objtest {

using formatstest::ChildNames;
using formatstest::MeshOf;

// The control point at each corner of a polygon.
inline std::vector<KFbxVector4> PolygonPoints(const KFbxMesh& mesh, int polygon) {
    std::vector<KFbxVector4> points;
    for (int k = 0; k < mesh.GetPolygonSize(polygon); ++k) {
        points.push_back(mesh.GetControlPoints()[mesh.GetPolygonVertex(polygon, k)]);
    }
    return points;
}

// The UV at each corner of a polygon; none when the mesh has no UVs.
inline std::vector<KFbxVector2> PolygonUVs(const KFbxMesh& mesh, int polygon) {
    std::vector<KFbxVector2> uvs;
    const KFbxVector2* array = mesh.GetTextureUVArray();
    for (int k = 0; array != nullptr && k < mesh.GetPolygonSize(polygon); ++k) {
        const int index = mesh.GetTextureUVIndex(polygon, k);
        if (index >= 0 && index < mesh.GetTextureUVCount()) uvs.push_back(array[index]);
    }
    return uvs;
}

inline ::testing::AssertionResult Near(const KFbxVector4& actual, double x, double y, double z,
                                       double tolerance = 1e-9) {
    return formatstest::NearPoint(actual[0], actual[1], actual[2], x, y, z, tolerance);
}

class ObjTest : public ::testing::Test {
protected:
    void SetUp() override {
        KFbxRegisterObjFormats();
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
        mScene = KFbxScene::Create(mManager, "");
        ASSERT_NE(mScene, nullptr);
    }
    void TearDown() override {
        delete mManager;
        // Tests of names relative to a working folder move to one of their own.
        std::filesystem::current_path(mWorkingFolder);
    }

    std::string Path(const std::string& name) const { return mFolder / name; }
    std::string Write(const std::string& name, const std::string& text) const { return mFolder.Write(name, text); }

    // Imports the file into the scene; the message text and the error stay
    // for the test to look at.
    bool Import(const std::string& path, KFbxStreamOptions* options = nullptr) {
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        if (importer == nullptr) return false;
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(mScene, options);
        mLastErrorId = importer->GetLastErrorID();
        mErrorText = importer->GetLastErrorString();
        importer->GetMessageText(mMessage);
        importer->Destroy();
        return imported;
    }
    bool ImportText(const std::string& text, KFbxStreamOptions* options = nullptr) {
        return Import(Write("in.obj", text), options);
    }

    // Exports the scene as OBJ, or in the format given; the exporter's
    // message stays for the test.
    bool Export(const std::string& path, KFbxStreamOptions* options = nullptr,
                int format = KFbxFileFormatRegistry::eOBJ_WRITER) {
        KFbxExporter* exporter = KFbxExporter::Create(mManager, "");
        if (exporter == nullptr || !exporter->Initialize(path.c_str())) return false;
        exporter->SetFileFormat(format);
        const bool exported = exporter->Export(mScene, options);
        mLastErrorId = exporter->GetLastErrorID();
        exporter->GetMessageText(mMessage);
        exporter->Destroy();
        return exported;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    KFbxNode* Node(const char* name) const { return mScene->GetRootNode()->FindChild(name, true); }
    KFbxMesh* Mesh(const char* name) const { return MeshOf(Node(name)); }
    std::string Message() const { return mMessage.Buffer(); }

    const std::filesystem::path mWorkingFolder = std::filesystem::current_path();
    KFbxSdkManager* mManager = nullptr;
    KFbxScene* mScene = nullptr;
    ScratchFolder mFolder;
    int mLastErrorId = -1;
    std::string mErrorText;
    KString mMessage;
};

}  // namespace fbxsdk_2006_11_1::objtest

#endif
