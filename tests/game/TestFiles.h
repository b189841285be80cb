#pragma once

// Temporary folders and hand-made TGA files for the game's tests.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace testfiles {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "qalimor-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            path_ = pattern;
        }
    }
    ~TempDir() {
        std::error_code error;
        if (!path_.empty()) {
            fs::remove_all(path_, error);
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Makes a folder the working directory until the object goes.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const fs::path& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
    ~WorkingDirectory() {
        std::error_code error;
        fs::current_path(previous_, error);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    fs::path previous_;
};

inline void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The 18-byte TGA header, field by field.
struct TgaHeader {
    std::uint8_t idLength = 0;
    std::uint8_t colorMapType = 0;
    std::uint8_t imageType = 2;
    std::uint16_t colorMapOrigin = 0;
    std::uint16_t colorMapLength = 0;
    std::uint8_t colorMapEntrySize = 0;
    std::uint16_t xOrigin = 0;
    std::uint16_t yOrigin = 0;
    std::uint16_t width = 1;
    std::uint16_t height = 1;
    std::uint8_t pixelDepth = 24;
    std::uint8_t descriptor = 0;
};

// Header followed by the body (image id, colour map and pixel data as the
// caller lays them out).
inline std::vector<std::uint8_t> tgaFile(const TgaHeader& h, const std::vector<std::uint8_t>& body = {}) {
    std::vector<std::uint8_t> out;
    auto u8 = [&out](std::uint8_t v) { out.push_back(v); };
    auto u16 = [&out](std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    u8(h.idLength);
    u8(h.colorMapType);
    u8(h.imageType);
    u16(h.colorMapOrigin);
    u16(h.colorMapLength);
    u8(h.colorMapEntrySize);
    u16(h.xOrigin);
    u16(h.yOrigin);
    u16(h.width);
    u16(h.height);
    u8(h.pixelDepth);
    u8(h.descriptor);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

}  // namespace testfiles
