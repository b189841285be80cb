// Runs a piece of work in a child process with a limit on its time, and
// reports how it ended and how much memory it added at its peak. A reader
// that stalls on a hostile input is killed at the limit instead of hanging
// the test; one that aborts shows as a signal instead of taking the test
// down with it. The limits are generous bounds for hostile inputs, not
// timings of normal work.
#ifndef TESTS_SUPPORT_BOUNDEDRUN_H
#define TESTS_SUPPORT_BOUNDEDRUN_H

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace boundedrun {

// Sanitizers slow the work and keep freed memory aside: their trees check
// time with this factor and leave memory unchecked.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
constexpr int kSanitizedSlowdown = 10;

constexpr std::int64_t kMegabyte = 1 << 20;

struct Outcome {
    // The work returned normally; then its value.
    bool mReturned = false;
    int mValue = -1;
    // The signal that ended the child otherwise (SIGXCPU: out of processor
    // time, SIGALRM: stalled).
    int mSignal = 0;
    // Resident memory at the peak over what the child held when it began.
    std::int64_t mAddedBytes = 0;
};

inline std::int64_t StatusBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix(key);
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) return std::stoll(line.substr(prefix.size())) * 1024;
    }
    return 0;
}

// How many times slower than the machine the rates below were set on this
// one works: the processor time of a fixed piece of work, fresh pages touched
// (which some machines make dear) and arithmetic, over what it took there.
// Taken once per process, the best of three tries, outside the sanitizers'
// reach, and kept between 1 and kMostPace: a limit never narrows below the
// one set, and never widens so far that a stalled or quadratic reader would
// pass. The rates themselves leave room for a busy machine, whose sharing of
// caches and memory lengthens work that this loop hardly notices.
constexpr double kMostPace = 4.0;
constexpr double kReferencePaceSeconds = 0.045;

[[gnu::no_sanitize_address, gnu::no_sanitize_undefined, gnu::noinline]] inline double PaceSeconds() {
    const auto processorTime = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    };
    const double start = processorTime();
    constexpr std::size_t kPages = 2048;
    const std::size_t pageBytes = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void* pages = mmap(nullptr, kPages * pageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages != MAP_FAILED) {
        volatile unsigned char* bytes = static_cast<unsigned char*>(pages);
        for (std::size_t page = 0; page < kPages; ++page) bytes[page * pageBytes] = 1;
        munmap(pages, kPages * pageBytes);
    }
    volatile std::uint64_t state = 1;
    for (int step = 0; step < 10000000; ++step) state = state * 6364136223846793005u + 1442695040888963407u;
    return processorTime() - start;
}

inline double Pace() {
    static const double pace = [] {
        const double best = std::min({PaceSeconds(), PaceSeconds(), PaceSeconds()});
        return std::clamp(best / kReferencePaceSeconds, 1.0, kMostPace);
    }();
    return pace;
}

// The processor time that work on an input may take, as the readers promise
// it: a second per megabyte of content, a second per kMadePerSecond objects
// the content makes (nodes, attributes, materials, polygons: a small file can
// make many), and two seconds more, at this machine's pace. Each is several
// times what the work takes here, even on a busy machine.
constexpr std::int64_t kMadePerSecond = 10000;

inline unsigned SecondsFor(std::int64_t contentBytes, std::int64_t made = 0) {
    const double seconds = (static_cast<double>(contentBytes) / kMegabyte +
                            static_cast<double>(made) / kMadePerSecond + 2.0) * Pace();
    return static_cast<unsigned>(std::ceil(seconds)) * (kSanitized ? kSanitizedSlowdown : 1);
}

// Runs work in a child killed once it has spent the given seconds of
// processor time (SIGXCPU), so that a loaded machine only makes it take
// longer; a child that waits without working (on a FIFO, say) is killed
// after many times that on the clock (SIGALRM). The child's value is what
// work returns (0 to 255).
inline Outcome Run(const std::function<int()>& work, unsigned seconds) {
    Outcome outcome;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return outcome;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        // The high-water mark starts again from what the child holds now.
        std::ofstream("/proc/self/clear_refs") << "5";
        const std::int64_t before = StatusBytes("VmRSS:");
        const rlimit cpu{seconds, seconds + 1};
        setrlimit(RLIMIT_CPU, &cpu);
        alarm(seconds * 10 + 30);
        const int value = work();
        const std::int64_t added = StatusBytes("VmHWM:") - before;
        [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &added, sizeof added);
        _exit(value & 0xFF);
    }
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        return outcome;
    }
    std::int64_t added = 0;
    if (read(pipeEnds[0], &added, sizeof added) == static_cast<ssize_t>(sizeof added)) outcome.mAddedBytes = added;
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        outcome.mReturned = true;
        outcome.mValue = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.mSignal = WTERMSIG(status);
    }
    return outcome;
}

// Lowers a limit of the calling process (a child of Run) to what it uses
// now plus the given amount; false when the system refuses.
inline bool LimitAddressSpace(std::int64_t extraBytes) {
    const rlim_t limit = static_cast<rlim_t>(StatusBytes("VmSize:") + extraBytes);
    const rlimit value{limit, limit};
    return setrlimit(RLIMIT_AS, &value) == 0;
}

inline bool LimitOpenFiles(rlim_t count) {
    rlimit value{};
    if (getrlimit(RLIMIT_NOFILE, &value) != 0) return false;
    value.rlim_cur = count;
    return setrlimit(RLIMIT_NOFILE, &value) == 0;
}

}  // namespace boundedrun

#endif
