// Writes the 3DS reader fuzzer's seeds into a folder: the reader tests' small
// and rich scenes, another program's layout (long names, float colours), one
// mesh instanced many times and the small scene with its editor data's length
// cut, each behind an option byte (0: the reader's defaults, and one with the
// reference node, no smoothing groups and the key reducer).
//   reader3ds_fuzz_seeds <folder>
#include "formats/Scene3dsFiles.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

bool WriteSeed(const std::string& folder, const std::string& name, bool (*write)(const std::string&)) {
    const std::string scratch = folder + "/" + name + ".3ds";
    if (!write(scratch)) {
        return false;
    }
    std::string bytes;
    {
        std::ifstream in(scratch, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::remove(scratch.c_str());
    for (const char optionByte : {'\x00', '\x0D'}) {
        std::ofstream out(folder + "/" + name + "-" + std::to_string(static_cast<int>(optionByte)), std::ios::binary);
        out << optionByte << bytes;
    }
    return true;
}

// The small scene with the length of its editor data cut to the chunk's
// header: what the editor data held stands loose under the top chunk.
bool WriteEditorCutScene(const std::string& path) {
    using namespace fbxsdk_2006_11_1::scene3ds;
    if (!WriteSmallScene(path)) {
        return false;
    }
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::string editorTag("\x3d\x3d", 2);
    const std::size_t at = bytes.find(editorTag, 6);
    if (at == std::string::npos) {
        return false;
    }
    file.clear();
    file.seekp(static_cast<std::streamoff>(at + 2));
    file.write("\x06\x00\x00\x00", 4);
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    using namespace fbxsdk_2006_11_1::scene3ds;
    const bool written = WriteSeed(argv[1], "small", &WriteSmallScene) && WriteSeed(argv[1], "rich", &WriteRichScene) &&
                         WriteSeed(argv[1], "other", [](const std::string& path) {
                             return WriteOtherProgramScene(path, OtherProgramScene{});
                         }) &&
                         WriteSeed(argv[1], "instanced", [](const std::string& path) {
                             return WriteInstancedScene(path, 200);
                         }) &&
                         WriteSeed(argv[1], "editor-cut", &WriteEditorCutScene);
    return written ? 0 : 1;
}
