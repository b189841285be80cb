#include <platform/os/FileSizeSignalBlock.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <system_error>

#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

// pidfd_open's flag for a descriptor of a thread rather than a process,
// and pidfd_send_signal's for its whole group, as Linux 6.9 numbers them;
// older headers lack them.
constexpr unsigned kPidfdThread = O_EXCL;
constexpr unsigned kPidfdSignalThreadGroup = 1u << 1;

sigset_t FileSizeSignal() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGXFSZ);
    return signals;
}

// Takes a waiting SIGXFSZ, the thread's own before the process's; false
// where none waits. The system call itself, as the C library's wrapper
// gives a thread's own kill (SI_TKILL) the code of a kill (SI_USER), which
// would pass it for the one a write raises.
bool TakeOne(siginfo_t& info) {
    const sigset_t signals = FileSizeSignal();
    const timespec now{};
    for (;;) {
        if (syscall(SYS_rt_sigtimedwait, &signals, &info, &now, _NSIG / 8) == SIGXFSZ) return true;
        if (errno != EINTR) return false;
    }
}

// Whether SIGXFSZ waits for the thread ([0]) and for the process ([1]), as
// the thread's status shows them: sigpending tells only whether either
// does. False where it cannot be read.
bool ReadWaiting(bool (&waiting)[2]) {
    std::FILE* status = std::fopen("/proc/thread-self/status", "re");
    if (status == nullptr) return false;
    char line[128];
    int found = 0;
    while (found < 2 && std::fgets(line, sizeof line, status) != nullptr) {
        const bool thread = std::strncmp(line, "SigPnd:", 7) == 0;
        if (!thread && std::strncmp(line, "ShdPnd:", 7) != 0) continue;
        const char* at = line + 7 + std::strspn(line + 7, " \t");
        unsigned long long mask = 0;
        if (std::from_chars(at, line + std::strlen(line), mask, 16).ec != std::errc()) break;
        waiting[thread ? 0 : 1] = (mask >> (SIGXFSZ - 1) & 1) != 0;
        ++found;
    }
    std::fclose(status);
    return found == 2;
}

// Takes the SIGXFSZ that waits for the thread into info[0] and the one
// that waits for the process into info[1], noting which it took. The status
// is read only when one waits at all; where it cannot be, the first taken
// counts as the thread's, which comes out first.
void TakeWaiting(siginfo_t (&info)[2], bool (&taken)[2]) {
    sigset_t pending;
    bool waiting[2] = {false, false};
    if (sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1 && !ReadWaiting(waiting)) {
        waiting[0] = waiting[1] = true;
    }
    for (int i = 0; i < 2; ++i) taken[i] = waiting[i] && TakeOne(info[i]);
}

// Whether a write of the process raised it: the system sends that one to
// the writing thread as the process to itself (SI_USER with its own id;
// SI_KERNEL on some systems). Another process's kill names that process,
// sigqueue and a thread's kill have codes of their own.
bool RaisedByWrite(const siginfo_t& info) {
    return info.si_code == SI_KERNEL || (info.si_code == SI_USER && info.si_pid == getpid());
}

// Sends it again with its sender and code, to this thread or to the
// process. The system lets a thread queue to its process a code of zero or
// above (a kill's, the system's) or a thread's kill's only where the
// thread's id is the process's, the main thread's, or (from Linux 6.9)
// through a descriptor of the thread itself that names its group; where
// neither serves, it goes to the process as the process's own kill, which
// loses the sender but still lets whichever thread unblocks it take it.
void SendAgain(const siginfo_t& info, bool toThread) {
    siginfo_t copy = info;
    const pid_t process = getpid();
    if (toThread) {
        if (syscall(SYS_rt_tgsigqueueinfo, process, gettid(), SIGXFSZ, &copy) != 0) raise(SIGXFSZ);
        return;
    }
    if (syscall(SYS_rt_sigqueueinfo, process, SIGXFSZ, &copy) == 0) return;
    const int thread = static_cast<int>(syscall(SYS_pidfd_open, gettid(), kPidfdThread));
    const bool queued =
        thread >= 0 && syscall(SYS_pidfd_send_signal, thread, SIGXFSZ, &copy, kPidfdSignalThreadGroup) == 0;
    if (thread >= 0) close(thread);
    if (!queued) kill(process, SIGXFSZ);
}

}  // namespace

FileSizeSignalBlock::FileSizeSignalBlock() {
    const sigset_t signals = FileSizeSignal();
    sigset_t before;
    if (pthread_sigmask(SIG_BLOCK, &signals, &before) == 0) mWasBlocked = sigismember(&before, SIGXFSZ) == 1;
    // Set aside once blocked, so that none comes between unseen and none is
    // taken for one the writes raise.
    const int failure = errno;
    TakeWaiting(mWaiting, mWasWaiting);
    errno = failure;
}

FileSizeSignalBlock::~FileSizeSignalBlock() {
    const int failure = errno;
    siginfo_t arrived[2];
    bool taken[2];
    TakeWaiting(arrived, taken);
    // The writes' own waits for the thread; the system merged any more of
    // them, or the writes' own into another sent to the thread, into it.
    if (taken[0] && RaisedByWrite(arrived[0])) taken[0] = false;
    // Each waits again where it waited: the process's for any thread that
    // lets it in, the thread's for this one.
    for (int i = 0; i < 2; ++i) {
        if (mWasWaiting[i]) SendAgain(mWaiting[i], i == 0);
        if (taken[i]) SendAgain(arrived[i], i == 0);
    }
    const sigset_t signals = FileSizeSignal();
    if (!mWasBlocked) pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    errno = failure;
}

}  // namespace qalimor::os
