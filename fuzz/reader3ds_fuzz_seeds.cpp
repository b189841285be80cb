// Writes the 3DS reader fuzzer's seeds into a folder: the reader tests' small
// and rich scenes, another program's layout (long names, float colours) and
// one mesh instanced many times, each behind an option byte (0: the reader's
// defaults, and one with the reference node, no smoothing groups and the key
// reducer).
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
                         });
    return written ? 0 : 1;
}
