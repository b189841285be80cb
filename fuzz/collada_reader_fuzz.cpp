// libFuzzer target for the COLLADA reader: the input becomes a file that is
// read into a scene. One manager and one scene serve every input (making
// them is what costs most); after each read the scene is cleared and what
// the read left with the manager is destroyed, newest first, so that
// nothing reaches the next input.
#include "FormatReaderFuzz.h"

#include <fbxfilesdk/collada/KFbxReaderCollada.h>

namespace {

// A node with its properties costs tens of kilobytes: inputs are held to the
// nodes that fit the run's memory limit, which is how a caller would set the
// limit for its own memory.
constexpr int kNodeLimit = 1000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fbxsdk_2006_11_1;
    if (size > fuzzsupport::kMaxInput) return 0;
    const std::string path = fuzzsupport::TemporaryPath("collada", ".dae");
    if (!fuzzsupport::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    fuzzsupport::ReadAndForget(
        path, [](KFbxSdkManager& manager) { return KFbxReaderCollada(manager); },
        [](KFbxStreamOptions& options) { options.SetOption("NODE LIMIT", kNodeLimit); });
    std::remove(path.c_str());
    return 0;
}
