// libFuzzer target for the OBJ reader: the input is an OBJ file and, after
// the first "\n\f\n" in it, the material library "fuzz.mtl" beside it; the
// OBJ part may name that library. The first input byte's low bit sets the
// reference node option.
#include "FormatReaderFuzz.h"

#include <fbxfilesdk/formats/KFbxReaderObj.h>

#include <sys/stat.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fbxsdk_2006_11_1;
    if (size < 1 || size > fuzzsupport::kMaxInput) return 0;
    const bool referenceNode = (data[0] & 1) != 0;
    const std::string_view input = fuzzsupport::AfterFirstByte(data, size);
    const std::size_t split = input.find("\n\f\n");
    const std::string_view obj = input.substr(0, split);
    const std::string_view mtl = split == std::string_view::npos ? std::string_view() : input.substr(split + 3);
    static const std::string folder = [] {
        const std::string made = fuzzsupport::TemporaryPath("obj", "");
        mkdir(made.c_str(), 0700);
        return made;
    }();
    const std::string objPath = folder + "/in.obj";
    const std::string mtlPath = folder + "/fuzz.mtl";
    if (!fuzzsupport::WriteFile(objPath, obj) || !fuzzsupport::WriteFile(mtlPath, mtl)) return 0;
    fuzzsupport::ReadAndForget(
        objPath, [](KFbxSdkManager& manager) { return KFbxReaderObj(manager, nullptr); },
        [referenceNode](KFbxStreamOptions& options) { options.SetOption("REFERENCENODE", referenceNode); });
    return 0;
}
