// Files the benchmarks write once per process into the system's temporary
// folder, and remove when the process ends.
#ifndef BENCH_BENCHFILES_H
#define BENCH_BENCHFILES_H

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace benchfiles {

// Removes the file when destroyed: hold it in a static beside the path.
struct RemoveAtExit {
    std::string mPath;
    ~RemoveAtExit() {
        std::error_code error;
        std::filesystem::remove(mPath, error);
    }
};

// A path of this process's own in the temporary folder: stem, process id, extension.
inline std::string TemporaryPath(const std::string& stem, const std::string& extension) {
    return (std::filesystem::temp_directory_path() / (stem + "-" + std::to_string(getpid()) + extension)).string();
}

// A memory figure of /proc/self/status ("VmHWM:", the high-water mark that
// ResetPeak resets, or "VmRSS:"), in bytes.
inline long StatusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stol(line.substr(key.size())) * 1024;
        }
    }
    return 0;
}

inline void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace benchfiles

#endif
