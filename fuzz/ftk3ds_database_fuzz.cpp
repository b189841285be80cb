// libFuzzer target for reading 3DS files into a toolkit database: the input
// is the file. The tree is read, every chunk's record loaded, the record
// getters' lists built, and the database written out again.
#include <fbxfilesdk/3dsftk/Toolkit3ds.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace {

using namespace fbxsdk_2006_11_1;

const std::string& ScratchName(const char* suffix) {
    static const std::string base = "/tmp/ftk3ds-fuzz-" + std::to_string(getpid());
    static std::string in = base + ".in", out = base + ".out";
    return suffix[0] == 'i' ? in : out;
}

void LoadAll(Chunk3ds* chunk, int depth) {
    for (; chunk != nullptr && !FtkErrorStops(); chunk = chunk->sibling) {
        ReadChunkData3ds(chunk);
        if (depth < kMaxChunkDepth3ds + 2) LoadAll(chunk->children, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& inName = ScratchName("in");
    if (std::FILE* scratch = std::fopen(inName.c_str(), "wb")) {
        std::fwrite(data, 1, size, scratch);
        std::fclose(scratch);
    } else {
        return 0;
    }
    file3ds* in = OpenFile3ds(inName.c_str(), "rb");
    database3ds* database = nullptr;
    InitDatabase3ds(&database);
    CreateDatabase3ds(in, database);
    if (!FtkErrorStops()) {
        UpdateNamedObjectList3ds(database);
        UpdateMaterialList3ds(database);
        UpdateNodeList3ds(database);
    }
    if (!FtkErrorStops()) LoadAll(database->topchunk, 0);
    if (!FtkErrorStops()) {
        file3ds* out = OpenFile3ds(ScratchName("out").c_str(), "wb");
        WriteDatabase3ds(out, database);
    }
    ReleaseDatabase3ds(&database);
    CloseAllFiles3ds();
    ClearErrorList3ds();
    return 0;
}
