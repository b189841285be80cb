// Scenes written with the COLLADA writer: the write itself, the written
// document as text and as a tree, its check against the COLLADA 1.4.1
// schema, and the read back through the COLLADA reader.
#ifndef TESTS_COLLADA_COLLADAWRITERSUPPORT_H
#define TESTS_COLLADA_COLLADAWRITERSUPPORT_H

#include <fbxfilesdk/collada/ColladaDocument.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/KFbxWriterCollada.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>

#include "collada/ColladaTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::colladatest {

// In CI the schema check must run: missing tools fail the test there.
#define COLLADA_EXPECT_WRITTEN_VALID(path)                                                             \
    do {                                                                                               \
        if (!::fbxsdk_2006_11_1::colladatest::SchemaToolsInstalled()) {                               \
            const char* ci = std::getenv("CI");                                                        \
            if (ci != nullptr && std::string(ci) == "true") {                                          \
                ADD_FAILURE() << "xmllint or the COLLADA 1.4.1 schema is missing: documents unchecked"; \
            }                                                                                          \
        } else {                                                                                       \
            EXPECT_EQ(::fbxsdk_2006_11_1::colladatest::SchemaReport(path), "") << path;               \
        }                                                                                              \
    } while (false)

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// What the command prints on its standard output.
inline std::string CommandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    std::array<char, 512> buffer{};
    while (pipe != nullptr && std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe.get()) != nullptr) {
        output += buffer.data();
    }
    return output;
}

// The number after "label:" in assimp's report; -1 when absent.
inline int ReportedCount(const std::string& report, const std::string& label) {
    const std::size_t at = report.find("\n" + label + ":");
    return at == std::string::npos ? -1 : std::atoi(report.c_str() + at + label.size() + 2);
}

inline constexpr const char* kPycollada = "/usr/bin/python3";

// A pycollada script that prints "v x y z" for every point of every
// geometry the document's scene places, in the scene's frame.
inline constexpr const char* kPycolladaWorldPoints =
    "import collada, sys\n"
    "for geometry in collada.Collada(sys.argv[1]).scene.objects('geometry'):\n"
    "    for primitive in geometry.primitives():\n"
    "        for point in primitive.vertex:\n"
    "            print('v', *point)\n";

inline bool PycolladaInstalled() {
    return CommandOutput(std::string(kPycollada) + " -c 'import collada' 2>/dev/null && echo yes").find("yes") !=
           std::string::npos;
}

// Per material name, the properties assimp gives it: "key" -> value text
// (strings without their quotes); a texture's keys carry "@usage" in
// lower case ("$tex.file@diffuse").
using AssimpMaterialMap = std::map<std::string, std::map<std::string, std::string>>;

inline AssimpMaterialMap ParseAssimpMaterials(const std::string& dump) {
    const auto attribute = [&dump](std::size_t from, const std::string& name) {
        const std::size_t at = dump.find(name + "=\"", from);
        const std::size_t end = at == std::string::npos ? at : dump.find('"', at + name.size() + 2);
        return end == std::string::npos ? std::string() : dump.substr(at + name.size() + 2, end - at - name.size() - 2);
    };
    AssimpMaterialMap materials;
    for (std::size_t block = dump.find("<Material>"); block != std::string::npos;) {
        const std::size_t next = dump.find("<Material>", block + 1);
        std::map<std::string, std::string> properties;
        for (std::size_t at = dump.find("<MatProperty ", block); at < next; at = dump.find("<MatProperty ", at + 1)) {
            const std::size_t open = dump.find('>', at);
            const std::size_t close = dump.find("</MatProperty>", open);
            if (close == std::string::npos) {
                break;
            }
            std::string value = dump.substr(open + 1, close - open - 1);
            value.erase(0, value.find_first_not_of(" \t\n\""));
            value.erase(value.find_last_not_of(" \t\n\"") + 1);
            std::string key = attribute(at, "key");
            if (std::string usage = attribute(at, "tex_usage"); !usage.empty() && usage != "n/a") {
                std::transform(usage.begin(), usage.end(), usage.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
                key += "@" + usage;
            }
            properties[key] = value;
        }
        materials[properties["?mat.name"]] = properties;
        block = next;
    }
    return materials;
}

// The materials assimp reads from the document (its dump written to
// dumpPath); empty without assimp.
inline AssimpMaterialMap AssimpMaterials(const std::string& path, const std::string& dumpPath) {
    CommandOutput("assimp export '" + path + "' '" + dumpPath + "' >/dev/null 2>&1");
    return ParseAssimpMaterials(ReadText(dumpPath));
}

class ColladaWriteTest : public ColladaReadTest {
protected:
    // What the Python script prints, run by the interpreter that has
    // pycollada with the document's path as its one argument; its errors
    // follow its output.
    std::string RunPycollada(const std::string& script, const std::string& path) const {
        const std::string scriptPath = mFolder.Write("query.py", script);
        return CommandOutput(std::string(kPycollada) + " '" + scriptPath + "' '" + path + "' 2>&1");
    }

    // Writes the scene with a writer of its own; the writer's message text
    // is kept in mWriteMessage and its error text in mWriteError. The
    // options are set by the callback, when given.
    template <class SetOptions>
    bool WriteScene(KFbxScene* scene, const std::string& path, SetOptions setOptions) {
        KFbxWriterCollada writer(*mManager);
        if (!writer.FileCreate(path.c_str())) {
            return false;
        }
        KFbxStreamOptions* options = writer.GetWriteOptions();
        setOptions(*options);
        const bool written = writer.Write(scene, options);
        writer.GetMessageText(mWriteMessage);
        mWriteError = writer.GetLastErrorString();
        options->Destroy();
        writer.FileClose();
        return written;
    }
    bool WriteScene(KFbxScene* scene, const std::string& path) {
        return WriteScene(scene, path, [](KFbxStreamOptions&) {});
    }

    // Writes mScene (polygons kept as they are unless triangulate), checks
    // the document against the schema and keeps its text and tree.
    std::string WriteValid(bool triangulate = false, bool singleMatrix = false, const std::string& name = "out.dae") {
        const std::string path = mFolder / name;
        const bool written = WriteScene(mScene, path, [&](KFbxStreamOptions& options) {
            options.SetOption("TRIANGULATE", triangulate);
            options.SetOption("SINGLE MATRIX", singleMatrix);
        });
        EXPECT_TRUE(written) << mWriteMessage.Buffer();
        COLLADA_EXPECT_WRITTEN_VALID(path);
        mText = ReadText(path);
        KString error;
        mDocument = ColladaDocument::ParseMemory(mText.data(), mText.size(), error);
        EXPECT_FALSE(mDocument.IsEmpty()) << error.Buffer();
        return path;
    }

    // Reads the written file into a new scene.
    KFbxScene* ReadBack(const std::string& path) {
        KFbxScene* scene = KFbxScene::Create(mManager, "");
        EXPECT_TRUE(ReadFile(path, scene)) << mMessage.Buffer();
        return scene;
    }

    // The first element of that name with that "id" anywhere in the document.
    xmlNode* FindById(const char* id) const { return FindById(mDocument.GetRoot(), id); }
    static xmlNode* FindById(xmlNode* element, const char* id) {
        for (xmlNode* child : ColladaXml::ChildElements(element)) {
            if (ColladaXml::HasAttributeValue(child, "id", id)) {
                return child;
            }
            if (xmlNode* found = FindById(child, id)) {
                return found;
            }
        }
        return nullptr;
    }
    // The text of the first child of that name.
    static std::string ChildText(xmlNode* element, const char* name) {
        return ColladaXml::GetContent(ColladaXml::FindChild(element, name)).Buffer();
    }
    // The names of the element children, in order.
    static std::vector<std::string> ChildNames(xmlNode* element) {
        std::vector<std::string> names;
        for (xmlNode* child : ColladaXml::ChildElements(element)) {
            names.emplace_back(ColladaXml::GetName(child));
        }
        return names;
    }

    bool WriteMessageHas(const std::string& part) const {
        return std::string(mWriteMessage.Buffer()).find(part) != std::string::npos;
    }

    KString mWriteMessage;
    std::string mWriteError;
    std::string mText;
    ColladaDocument mDocument;
};

}  // namespace fbxsdk_2006_11_1::colladatest

#endif
