#include <fbxfilesdk/formats/ObjFilePaths.h>

#include <fbxfilesdk/core/KFbxSystemUtils.h>

namespace fbxsdk_2006_11_1 {

std::string_view ObjFileNamePart(std::string_view path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string ObjPathBeside(std::string_view file, std::string_view name) {
    const std::size_t separator = file.find_last_of("/\\");
    if (separator == std::string_view::npos || (!name.empty() && (name[0] == '/' || name[0] == '\\'))) {
        return std::string(name);
    }
    std::string path(file.substr(0, separator + 1));
    path += name;
    return path;
}

int ObjSearchPaths(std::string_view file, std::string_view name, std::string (&paths)[2]) {
    paths[0].assign(name);
    paths[1] = ObjPathBeside(file, name);
    return paths[1] == paths[0] ? 1 : 2;
}

std::string ObjPathFromRoot(std::string_view path) {
    const KString folder = KFbxGetCurrentDirectory();
    if (folder.IsEmpty()) return std::string(path);
    // The root folder ends in its separator already: a second one would make
    // the name a network share's.
    std::string inFolder(folder.Buffer());
    if (inFolder.back() != '/') inFolder += '/';
    return ObjPathBeside(inFolder, path);
}

std::string ObjLibraryPath(std::string_view objPath) {
    const std::string_view name = ObjFileNamePart(objPath);
    const std::size_t dot = name.rfind('.');
    const bool extension = dot != std::string_view::npos && dot > name.find_first_not_of('.');
    const std::size_t stemLength = extension ? dot : name.size();
    std::string path(objPath.substr(0, objPath.size() - name.size() + stemLength));
    path += ".mtl";
    return path;
}

std::string ObjWrittenName(std::string_view name, bool& controls) {
    controls = false;
    std::string word(name.empty() ? std::string_view("_") : name);
    for (char& c : word) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            controls = true;
            c = '_';
        } else if (byte == ' ') {
            c = '_';
        }
    }
    return word;
}

}  // namespace fbxsdk_2006_11_1
