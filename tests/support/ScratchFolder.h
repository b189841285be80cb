// A fresh folder of a test's own under the system's temporary folder, removed
// with everything in it when the test ends. Tests that touch the file system
// work only in here.
#ifndef TESTS_SUPPORT_SCRATCHFOLDER_H
#define TESTS_SUPPORT_SCRATCHFOLDER_H

#include <atomic>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

#include <unistd.h>

class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = "qalimor-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) +
                                     "-" + std::to_string(random());
            std::error_code error;
            if (std::filesystem::create_directory(base / name, error)) {
                mPath = base / name;
                return;
            }
        }
        std::abort();  // no temporary folder to work in
    }
    ~ScratchFolder() {
        std::error_code error;
        std::filesystem::remove_all(mPath, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return mPath; }
    // The path of a name inside the folder, as text.
    std::string operator/(const std::string& name) const { return (mPath / name).string(); }

    // Writes bytes to a file inside the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = *this / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(*this / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path mPath;
};

#endif
