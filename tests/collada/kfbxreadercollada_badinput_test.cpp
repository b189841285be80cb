// Damaged documents: every read ends in success or in the reader's error,
// never in a crash, a read out of bounds or an allocation the document
// cannot fill (the sanitizers watch), and a failed read leaves the scene
// as it was.
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include "ColladaTestSupport.h"
#include "support/ImportLeftovers.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::colladatest;

namespace {

const std::filesystem::path kSeeds = std::filesystem::path(__FILE__).parent_path() / "../../fuzz/collada_seeds";

std::string Seed(const char* name) {
    std::ifstream in(kSeeds / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ColladaBadInput : public ColladaReadTest {
protected:
    // Reads into the test's scene, which a failed read must leave as it was.
    bool ReadAlone(const std::string& text) {
        const int children = mScene->GetRootNode()->GetChildCount(true);
        const int takes = mScene->GetTakeInfoCount();
        mScene->GetGlobalLightSettings().SetAmbientColor(KFbxColor(0.5, 0.5, 0.5, 1.0));
        const bool read = ReadFile(Write(text, "damaged.dae"), mScene);
        if (!read) {
            EXPECT_EQ(mScene->GetRootNode()->GetChildCount(true), children);
            EXPECT_EQ(mScene->GetTakeInfoCount(), takes);
            EXPECT_EQ(mScene->GetGlobalLightSettings().GetAmbientColor().mRed, 0.5);
            EXPECT_TRUE(MessageHas("Unable to parse xml/dae file")) << mMessage.Buffer();
        }
        return read;
    }
};

}  // namespace

TEST_F(ColladaBadInput, TheSeedsAreValidAndRead) {
    for (const char* name : {"textured_cube.dae", "skin_and_morph.dae", "animated_scene.dae", "instancing.dae"}) {
        const std::string path = (kSeeds / name).string();
        COLLADA_EXPECT_SCHEMA_VALID(path);
        EXPECT_TRUE(ReadFile(path, mScene)) << name << ": " << mMessage.Buffer();
    }
}

TEST_F(ColladaBadInput, TheSeedOfOtherExportersFormsReads) {
    // Not schema-valid on purpose: a duplicate id and a light of a later schema.
    ASSERT_TRUE(ReadFile((kSeeds / "baked_strips.dae").string(), mScene)) << mMessage.Buffer();
    EXPECT_TRUE(MessageHas("Warning: Duplicate id sun"));
    EXPECT_TRUE(MessageHas("Warning: Unknown light type: area"));
    EXPECT_TRUE(MessageHas("Warning: <lines> is not supported"));
    KFbxNode* dune = mScene->GetRootNode()->FindChild("Dune", true);
    ASSERT_NE(dune, nullptr);
    ASSERT_NE(dune->GetMesh(), nullptr);
    // A strip of four corners and a fan of six: two triangles and four.
    EXPECT_EQ(static_cast<KFbxMesh*>(dune->GetMesh())->GetPolygonCount(), 6);
    EXPECT_NE(mScene->GetRootNode()->FindChild("Lamp", true)->GetLight(), nullptr);
}

TEST_F(ColladaBadInput, EveryTruncation) {
    for (const auto& [name, step] : {std::pair{"textured_cube.dae", 7}, std::pair{"skin_and_morph.dae", 7},
                                     std::pair{"animated_scene.dae", 29}, std::pair{"baked_strips.dae", 31}}) {
        const std::string text = Seed(name);
        ASSERT_FALSE(text.empty());
        for (std::size_t length = 0; length < text.size(); length += static_cast<std::size_t>(step)) {
            ReadAlone(text.substr(0, length));
        }
    }
}

TEST_F(ColladaBadInput, RandomByteChanges) {
    const char replacements[] = {'<', '>', '"', '-', '9', '#', ' ', '/', 'x', '0', '.', '\n'};
    std::mt19937 random(47);
    for (const auto& [name, rounds] : {std::pair{"textured_cube.dae", 300}, std::pair{"skin_and_morph.dae", 300},
                                       std::pair{"animated_scene.dae", 300}}) {
        const std::string text = Seed(name);
        for (int round = 0; round < rounds; ++round) {
            std::string damaged = text;
            for (int change = 0; change < 3; ++change) {
                damaged[random() % damaged.size()] = replacements[random() % sizeof(replacements)];
            }
            ReadAlone(damaged);
        }
    }
}

TEST_F(ColladaBadInput, CountsStridesAndReferencesThatLie) {
    const std::string cube = Seed("textured_cube.dae");
    const std::string skin = Seed("skin_and_morph.dae");
    const std::pair<std::string, std::string> documents[] = {
        {Replaced(cube, "count=\"8\" stride=\"3\"", "count=\"-1\" stride=\"3\""), "reading array in <source>: #cube-p"},
        {Replaced(cube, "count=\"8\" stride=\"3\"", "count=\"2147483648\" stride=\"3\""), "reading array"},
        {Replaced(cube, "count=\"8\" stride=\"3\"", "count=\"2147483647\" stride=\"3\""), "reading array"},
        {Replaced(cube, "count=\"4\" stride=\"2\"", "count=\"4\" stride=\"0\""), "reading array in <source>: #cube-uv"},
        {Replaced(cube, "count=\"4\" stride=\"2\"", "count=\"9\" stride=\"2\""), "reading array in <source>: #cube-uv"},
        {Replaced(cube, "<vcount>4 4", "<vcount>2147483647 4"), "<vcount> and <p> do not agree"},
        {Replaced(cube, "<vcount>4 4", "<vcount>-1 4"), "negative polygon size"},
        {Replaced(cube, "offset=\"2\" set=\"0\"", "offset=\"2\" set=\"-1\""), "input set -1 out of range"},
        {Replaced(cube, "source=\"#cube-n\" offset", "source=\"#cube-x\" offset"), "not found as <source>"},
        {Replaced(cube, "<instance_effect url=\"#sand-fx\"/>", "<instance_effect url=\"#sand\"/>"),
         "Effect not found: #sand"},
        {Replaced(skin, "<vcount>1 2 2 1</vcount>", "<vcount>1 2 2 2147483647</vcount>"),
         "<v> holds fewer indices than <vcount> announces"},
        {Replaced(skin, "<v>0 0 0 1", "<v>0 -5 0 1"), "joint or weight index out of range"},
        {Replaced(skin, "count=\"2\" stride=\"16\"", "count=\"2\" stride=\"0\""), ""},
        {Replaced(skin, "count=\"3\"><param name=\"WEIGHT\"", "count=\"2147483647\"><param name=\"WEIGHT\""),
         "reading array in <source>: #blade-weights"},
        {Replaced(skin, "<Name_array id=\"blade-joints-a\" count=\"2\">root tip", "<Name_array count=\"2\">root"),
         "reading array in <source>: #blade-joints"},
        {Replaced(skin, "source=\"#blade-joints\" offset=\"0\"", "source=\"#nowhere\" offset=\"0\""),
         "reading array in <source>: #nowhere"},
    };
    for (const auto& [document, message] : documents) {
        mMessage = "";
        const bool read = ReadAlone(document);
        if (!message.empty()) {
            EXPECT_FALSE(read) << message;
            EXPECT_TRUE(MessageHas(message)) << message << " / " << mMessage.Buffer();
        }
    }
}

TEST_F(ColladaBadInput, SamplersThatNameThemselvesOrNothing) {
    std::string cube = Seed("textured_cube.dae");
    cube = Replaced(cube, "<source>sand-surface</source>", "<source>sand-sampler</source>");
    EXPECT_TRUE(ReadAlone(cube));
    EXPECT_TRUE(MessageHas("Warning: Image not found: sand-sampler"));
    cube = Replaced(Seed("textured_cube.dae"), "<init_from>sand-image</init_from>", "<init_from>sand-sampler</init_from>");
    EXPECT_TRUE(ReadAlone(cube));
    EXPECT_TRUE(MessageHas("Warning: Image not found: sand-sampler"));
}

TEST_F(ColladaBadInput, SceneReferencesThatLie) {
    const std::string oasis = Seed("animated_scene.dae");
    const std::pair<std::string, std::string> warned[] = {
        {Replaced(oasis, "target=\"keeper-rig/translate\"", "target=\"nobody/translate\""),
         "node channel not found for animation: nobody/translate"},
        {Replaced(oasis, "keeper-rig/rotateZ.ANGLE", "keeper-rig/rotateW.ANGLE"),
         "unknown animation channel: keeper-rig/rotateW"},
        {Replaced(oasis, "<instance_node url=\"#palm-tree\"/></node>\n        <node id=\"palm-b\">",
                  "<instance_node url=\"#grove\"/></node>\n        <node id=\"palm-b\">"),
         "node grove instances itself"},
        {Replaced(oasis, "<channel source=\"#walk-s\"", "<channel source=\"#nowhere\""), ""},
        {Replaced(oasis, ">spine head<", ">spine nobody<"), ""},
        {Replaced(oasis, "<instance_visual_scene url=\"#oasis\"/>", ""),
         "Warning: The document holds no scene content: no <instance_visual_scene> brings in a node"},
        {Replaced(oasis, "<scene>\n    <instance_visual_scene url=\"#oasis\"/>\n  </scene>", ""),
         "holds no scene content"},
    };
    for (const auto& [document, message] : warned) {
        mMessage = "";
        EXPECT_TRUE(ReadAlone(document)) << message << " / " << mMessage.Buffer();
        EXPECT_TRUE(message.empty() || MessageHas(message)) << message << " / " << mMessage.Buffer();
    }
    const std::pair<std::string, std::string> failed[] = {
        {Replaced(oasis, "count=\"9\">0 0 0 10 0 0 20 5 0", "count=\"9\">0 0 0 10 0 0"),
         "reading array in <source>: #walk-out"},
        {Replaced(oasis, "target=\"fire/intensity\"", "target=\"nothing(0)\""), ""},
        {Replaced(oasis, "target=\"keeper-rig/translate\"", "target=\"nothing(0)\""),
         "shape not found for animation: nothing(0)"},
        {Replaced(oasis, "url=\"#keeper-skin\"", "url=\"#keeper-skinless\""), "Library not found: #keeper-skinless"},
        {Replaced(oasis, "<skin source=\"#keeper\">", "<skin source=\"#palm\">"), "weights vertex 3"},
    };
    for (const auto& [document, message] : failed) {
        mMessage = "";
        const bool read = ReadAlone(document);
        if (!message.empty()) {
            EXPECT_FALSE(read) << message;
            EXPECT_TRUE(MessageHas(message)) << message << " / " << mMessage.Buffer();
        }
    }
}

TEST_F(ColladaBadInput, ImportsLeaveNothingBehind) {
    std::vector<std::pair<std::string, std::string>> documents = importleftovers::FilesWholeAndCut(kSeeds);
    const std::string oasis = Seed("animated_scene.dae");
    documents.emplace_back("a controller of no geometry",
                           Replaced(oasis, "url=\"#keeper-skin\"", "url=\"#keeper-skinless\""));
    documents.emplace_back("a skin weighting a vertex its mesh lacks",
                           Replaced(oasis, "<skin source=\"#keeper\">", "<skin source=\"#palm\">"));
    for (const auto& [what, document] : documents) {
        const std::string path = Write(document, "leftovers.dae");
        EXPECT_EQ(importleftovers::LeftByTwoImports(*mManager, [&](KFbxScene& scene) { ReadFile(path, &scene); }), "")
            << what;
    }
}
