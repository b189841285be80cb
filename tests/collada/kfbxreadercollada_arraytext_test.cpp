// The reader parses number arrays as their text arrives. Read either way
// (arrays kept as text, or parsed), the seed documents of the fuzz target
// give scenes that write out to the same document, and report the same.
#include "ColladaWriterSupport.h"

#include <fbxfilesdk/collada/ColladaDocument.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::colladatest {
namespace {

const std::filesystem::path kSeeds = std::filesystem::path(__FILE__).parent_path() / "../../fuzz/collada_seeds";

// The text without what stands between a "<created>" or "<modified>" and the next tag.
std::string WithoutDates(std::string text) {
    for (const std::string tag : {"<created>", "<modified>"}) {
        for (std::size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) {
            const std::size_t begin = at + tag.size();
            text.erase(begin, text.find('<', begin) - begin);
        }
    }
    return text;
}

class ColladaArrayText : public ColladaWriteTest {
protected:
    // The document read with its arrays kept or parsed, then its scene
    // written out; with what the read reported and the meshes it made, the
    // dates left out.
    std::string ReadAndWrite(const std::string& text, fbxsdk_2006_11_1::ColladaArrayText arrays, const std::string& name) {
        KString error;
        const ColladaDocument document = ColladaDocument::ParseMemory(text.data(), text.size(), error, arrays);
        KFbxScene* scene = KFbxScene::Create(mManager, name.c_str());
        KFbxReaderCollada reader(*mManager);
        bool read = false;
        std::string fingerprints;
        {
            KFbxReaderColladaPass pass(reader, *mManager);
            const std::size_t before = Objects<KFbxMesh>().size();
            read = pass.ReadDocument(document.GetRoot());
            // Every mesh the read made, the library's included.
            const std::vector<KFbxMesh*> meshes = Objects<KFbxMesh>();
            for (std::size_t index = before; index < meshes.size(); ++index) {
                fingerprints += MeshFingerprint(*meshes[index]) + "\n";
            }
            if (read) {
                pass.MoveInto(*scene);
            }
        }
        KString message;
        reader.GetMessageText(message);
        std::string result = std::string(read ? "read\n" : "not read\n") + message.Buffer() + fingerprints;
        if (read && WriteScene(scene, mFolder / name)) {
            result += mFolder.Read(name);
        }
        return WithoutDates(result);
    }
};

TEST_F(ColladaArrayText, SeedDocumentsReadTheSameEitherWay) {
    int documents = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kSeeds)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string kept = ReadAndWrite(text, fbxsdk_2006_11_1::ColladaArrayText::kKeep, "kept.dae");
        const std::string parsed = ReadAndWrite(text, fbxsdk_2006_11_1::ColladaArrayText::kParse, "parsed.dae");
        EXPECT_EQ(parsed, kept) << entry.path();
        EXPECT_EQ(kept.rfind("read\n", 0), 0u) << entry.path() << kept.substr(0, 300);
        ++documents;
    }
    EXPECT_GE(documents, 6);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::colladatest
