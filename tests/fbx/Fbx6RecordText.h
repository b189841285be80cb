// Cutting record texts of ascii FBX 6 files down to what a test is about.
#ifndef TESTS_FBX_FBX6RECORDTEXT_H
#define TESTS_FBX_FBX6RECORDTEXT_H

#include <sstream>
#include <string>

namespace fbxsdk_2006_11_1::fbx6test {

// The text with the contents of every "Properties60" block left out (the
// block's head and end stay): property blocks have golden tests of their own.
inline std::string WithoutPropertyBlocks(const std::string& text) {
    std::istringstream in(text);
    std::string out;
    std::string closing;
    for (std::string line; std::getline(in, line);) {
        if (!closing.empty()) {
            if (line != closing) continue;
            closing.clear();
        } else if (const std::size_t at = line.find("Properties60:"); at != std::string::npos) {
            closing = line.substr(0, at) + "}";
        }
        out += line + "\n";
    }
    return out;
}

}  // namespace fbxsdk_2006_11_1::fbx6test

#endif
