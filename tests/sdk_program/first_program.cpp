// A first program over the SDK, built outside the project as its README
// tells: writes a scene with one named node to an FBX 6 ascii file and
// reads it back. Exit code 0 when the node came back.
#include <fbxfilesdk/fbxfilesdk.h>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace fbxsdk_2006_11_1;

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "first.fbx";
    const std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    if (!manager) {
        std::fprintf(stderr, "no SDK manager\n");
        return 1;
    }
    KFbxScene* scene = KFbxScene::Create(manager.get(), "");
    scene->GetRootNode()->AddChild(KFbxNode::Create(manager.get(), "Box"));
    KFbxExporter* exporter = KFbxExporter::Create(manager.get(), "");
    // The text form of FBX 6, which other programs read too.
    exporter->SetFileFormat(KFbxFileFormatRegistry::eFBX_ASCII_WRITER);
    if (!exporter->Initialize(path) || !exporter->Export(scene)) {
        std::fprintf(stderr, "export: %s\n", exporter->GetLastErrorString());
        return 1;
    }
    KFbxScene* readBack = KFbxScene::Create(manager.get(), "");
    KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
    if (!importer->Initialize(path) || !importer->Import(readBack)) {
        std::fprintf(stderr, "import: %s\n", importer->GetLastErrorString());
        return 1;
    }
    const KFbxNode* root = readBack->GetRootNode();
    if (root->GetChildCount() != 1 || std::strcmp(root->GetChild(0)->GetName(), "Box") != 0) {
        std::fprintf(stderr, "the node did not come back\n");
        return 1;
    }
    std::printf("read back node %s from %s\n", root->GetChild(0)->GetName(), path);
    return 0;
}
