// Hand-written COLLADA documents read with the COLLADA reader: a document
// built around library fragments, its check against the COLLADA 1.4.1
// schema with xmllint, and the objects the read leaves with the manager.
#ifndef TESTS_COLLADA_COLLADATESTSUPPORT_H
#define TESTS_COLLADA_COLLADATESTSUPPORT_H

#include <fbxfilesdk/collada/ColladaDocument.h>
#include <fbxfilesdk/collada/KFbxReaderCollada.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::colladatest {

inline constexpr const char* kSchemaPath = "/usr/lib/python3/dist-packages/collada/resources/schema-1.4.1.xml";

// A whole document of the asset's content and the libraries and scene given.
inline std::string DocumentWithAsset(const std::string& asset, const std::string& body,
                                     const std::string& version = "1.4.1") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"" +
           version + "\">\n  <asset>" + asset + "</asset>\n" + body + "</COLLADA>\n";
}

// The same with an asset made of created and modified, then what assetTail
// adds in schema order (unit, up_axis).
inline std::string Document(const std::string& body, const std::string& assetTail = "",
                            const std::string& version = "1.4.1") {
    return DocumentWithAsset(
        "<created>2024-05-01T10:00:00Z</created><modified>2024-05-01T10:00:00Z</modified>" + assetTail, body,
        version);
}

// A document whose scene instances one visual scene of the nodes given.
inline std::string SceneDocument(const std::string& libraries, const std::string& nodes,
                                 const std::string& assetTail = "") {
    return Document(libraries + "<library_visual_scenes><visual_scene id=\"vs\">" + nodes +
                        "</visual_scene></library_visual_scenes><scene><instance_visual_scene url=\"#vs\"/></scene>\n",
                    assetTail);
}

// A float source of count items of the param names (X Y Z, S T ...).
inline std::string FloatSource(const std::string& id, const std::string& values, int count,
                               const std::vector<std::string>& params) {
    std::string text = "<source id=\"" + id + "\"><float_array id=\"" + id + "-array\" count=\"" +
                       std::to_string(count * static_cast<int>(params.size())) + "\">" + values +
                       "</float_array><technique_common><accessor source=\"#" + id + "-array\" count=\"" +
                       std::to_string(count) + "\" stride=\"" + std::to_string(params.size()) + "\">";
    for (const std::string& param : params) {
        text += "<param name=\"" + param + "\" type=\"float\"/>";
    }
    return text + "</accessor></technique_common></source>\n";
}

// The text with the first "from" replaced by "to" (the text as it was when
// it has no "from").
inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

inline bool CommandExists(const char* command) {
    const std::string probe = std::string("command -v ") + command + " >/dev/null 2>&1";
    return std::system(probe.c_str()) == 0;
}

inline bool SchemaToolsInstalled() { return CommandExists("xmllint") && std::filesystem::exists(kSchemaPath); }

// xmllint's verdict on the file: empty when it validates, else its report.
inline std::string SchemaReport(const std::string& path) {
    const std::filesystem::path catalog = std::filesystem::path(__FILE__).parent_path() / "xml-catalog.xml";
    const std::string command = "XML_CATALOG_FILES='" + catalog.string() + "' xmllint --noout --nonet --schema '" +
                                kSchemaPath + "' '" + path + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (pipe == nullptr) {
        return "xmllint could not be started";
    }
    std::string output;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe.get()) != nullptr) {
        output += buffer.data();
    }
    const int status = pclose(pipe.release());
    return status == 0 ? std::string() : output;
}

// Skips the calling test when the tools are absent.
#define COLLADA_EXPECT_SCHEMA_VALID(path)                                                           \
    do {                                                                                            \
        if (!::fbxsdk_2006_11_1::colladatest::SchemaToolsInstalled()) {                            \
            GTEST_SKIP() << "xmllint or the COLLADA 1.4.1 schema is not installed: no validation"; \
        }                                                                                           \
        EXPECT_EQ(::fbxsdk_2006_11_1::colladatest::SchemaReport(path), "");                       \
    } while (false)

// Everything a read puts in a mesh, as text: points, polygons, and each
// layer's normals, colours, UVs and materials with their modes and arrays.
inline std::string MeshFingerprint(const KFbxMesh& mesh) {
    std::string text;
    const auto number = [&text](double value) { text += std::to_string(value) + " "; };
    const auto modes = [&text](const KFbxLayerElement* element) {
        text += element == nullptr ? std::string("none ")
                                   : std::to_string(element->GetMappingMode()) + "/" +
                                         std::to_string(element->GetReferenceMode()) + " [";
        for (int at = 0; element != nullptr && at < element->GetIndexArray().GetCount(); ++at) {
            text += std::to_string(element->GetIndexArray().GetAt(at)) + " ";
        }
        text += element == nullptr ? "" : "] ";
    };
    // Each value of the element's direct array, written as write(value) does.
    const auto values = [](const auto* element, auto write) {
        for (int at = 0; element != nullptr && at < element->GetDirectArray().GetCount(); ++at) {
            write(element->GetDirectArray().GetAt(at));
        }
    };
    for (int point = 0; point < mesh.GetControlPointsCount(); ++point) {
        for (int axis = 0; axis < 4; ++axis) {
            number(mesh.GetControlPoints()[point][axis]);
        }
    }
    text += "\npolygons ";
    for (int polygon = 0; polygon < mesh.GetPolygonCount(); ++polygon) {
        text += "(";
        for (int position = 0; position < mesh.GetPolygonSize(polygon); ++position) {
            text += std::to_string(mesh.GetPolygonVertex(polygon, position)) + " ";
        }
        text += std::to_string(mesh.GetPolygonGroup(polygon)) + ")";
    }
    for (int index = 0; index < mesh.GetLayerCount(); ++index) {
        const KFbxLayer* layer = mesh.GetLayer(index);
        text += "\nlayer " + std::to_string(index) + " normals ";
        modes(layer->GetNormals());
        values(layer->GetNormals(), [&](const KFbxVector4& normal) { number(normal[0]), number(normal[2]); });
        text += "\ncolours ";
        modes(layer->GetVertexColors());
        values(layer->GetVertexColors(), [&](const KFbxColor& color) { number(color.mBlue); });
        text += "\nuvs ";
        modes(layer->GetUVs());
        values(layer->GetUVs(), [&](const KFbxVector2& uv) { number(uv[0]), number(uv[1]); });
        text += "\ntextures ";
        modes(layer->GetTextures());
        text += "\nmaterials ";
        modes(layer->GetMaterials());
        for (int at = 0; layer->GetMaterials() != nullptr && at < layer->GetMaterials()->GetDirectArray().GetCount();
             ++at) {
            text += std::string(layer->GetMaterials()->GetDirectArray().GetAt(at)->GetName()) + " ";
        }
    }
    return text;
}

class ColladaReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
        mScene = KFbxScene::Create(mManager, "");
        ASSERT_NE(mScene, nullptr);
    }
    void TearDown() override {
        mPass.reset();
        mPassReader.reset();
        delete mManager;
        // Tests of names relative to a working folder move to one of their own.
        std::filesystem::current_path(mWorkingFolder);
    }

    std::string Write(const std::string& text, const std::string& name = "document.dae") {
        return mFolder.Write(name, text);
    }

    // Reads the file with a reader of its own; the reader's message text is
    // kept in mMessage.
    bool ReadFile(const std::string& path, KFbxScene* scene) {
        KFbxReaderCollada reader(*mManager);
        if (!reader.FileOpen(path.c_str())) {
            mMessage = "could not open";
            return false;
        }
        KFbxStreamOptions* options = reader.GetReadOptions();
        const bool read = reader.Read(scene, options);
        reader.GetMessageText(mMessage);
        mErrorText = reader.GetError().GetLastErrorString();
        options->Destroy();
        reader.FileClose();
        return read;
    }
    bool Read(const std::string& text) { return ReadFile(Write(text), mScene); }

    // A valid document (checked against the schema) that must read.
    void ReadValid(const std::string& text) {
        const std::string path = Write(text);
        COLLADA_EXPECT_SCHEMA_VALID(path);
        ASSERT_TRUE(ReadFile(path, mScene)) << mMessage.Buffer();
    }

    // Reads the libraries with a pass of their own, kept for what the test
    // looks into: a whole read keeps only what its scene uses, the pass
    // keeps every object it read until the test ends. With a document name,
    // the text is written there and is the file the pass reads, which its
    // relative names are relative to.
    bool ReadWithPass(const std::string& text, const std::string& documentName = "") {
        KString error;
        mPass.reset();
        mDocument = ColladaDocument::ParseMemory(text.data(), text.size(), error);
        mPassReader = std::make_unique<KFbxReaderCollada>(*mManager);
        if (!documentName.empty()) {
            EXPECT_TRUE(mPassReader->FileOpen(Write(text, documentName).c_str()));
        }
        mPass = std::make_unique<KFbxReaderColladaPass>(*mPassReader, *mManager);
        const bool read = mPass->ReadDocument(mDocument.GetRoot());
        mPassReader->GetMessageText(mMessage);
        return read;
    }
    // The same for a valid document (checked against the schema) that must read.
    void ReadValidWithPass(const std::string& text) {
        COLLADA_EXPECT_SCHEMA_VALID(Write(text));
        ASSERT_TRUE(ReadWithPass(text)) << mMessage.Buffer();
    }

    // A document that must fail, reporting the message.
    void ExpectReadFails(const std::string& document, const std::string& message) {
        mMessage = "";
        EXPECT_FALSE(Read(document)) << message;
        EXPECT_TRUE(MessageHas(message)) << message << " / " << mMessage.Buffer();
    }

    bool MessageHas(const std::string& part) const {
        return std::string(mMessage.Buffer()).find(part) != std::string::npos;
    }

    // The objects of the class the manager holds, in creation order.
    template <class T>
    std::vector<T*> Objects() const {
        std::vector<T*> objects;
        for (int index = 0; index < mManager->GetObjectCount(T::ClassId); ++index) {
            objects.push_back(static_cast<T*>(mManager->GetObject(T::ClassId, index)));
        }
        return objects;
    }
    template <class T>
    T* Named(const char* name) const {
        return static_cast<T*>(mManager->FindObjectByName(T::ClassId, name));
    }

    const std::filesystem::path mWorkingFolder = std::filesystem::current_path();
    KFbxSdkManager* mManager = nullptr;
    KFbxScene* mScene = nullptr;
    ScratchFolder mFolder;
    ColladaDocument mDocument;
    std::unique_ptr<KFbxReaderCollada> mPassReader;
    std::unique_ptr<KFbxReaderColladaPass> mPass;
    KString mMessage;
    std::string mErrorText;
};

}  // namespace fbxsdk_2006_11_1::colladatest

#endif
