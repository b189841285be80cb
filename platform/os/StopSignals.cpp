#include <platform/os/StopSignals.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <pthread.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

constexpr int stopSignals[] = {SIGINT, SIGTERM};

volatile std::sig_atomic_t notedSignal = 0;
bool caught[std::size(stopSignals)] = {};

void setDisposition(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int other : stopSignals) {
        sigaddset(&action.sa_mask, other);
    }
    // Calls cut short by the signal go on; the program looks at the note
    // when it is ready to.
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

// How long the program may take to reach a place where it can end cleanly.
constexpr unsigned int graceSeconds = 1;

void endByNotedSignal(int) {
    const int signal = notedSignal;
    setDisposition(signal, SIG_DFL);
    std::raise(signal);
}

void noteStopSignal(int signal) {
    notedSignal = signal;
    for (std::size_t i = 0; i < std::size(stopSignals); ++i) {
        if (caught[i]) {
            setDisposition(stopSignals[i], SIG_DFL);
        }
    }
    // A program busy elsewhere for long (loading a level, say) is not
    // waited for.
    setDisposition(SIGALRM, endByNotedSignal);
    alarm(graceSeconds);
}

}  // namespace

void CatchStopSignals() {
    for (std::size_t i = 0; i < std::size(stopSignals); ++i) {
        struct sigaction current {};
        if (sigaction(stopSignals[i], nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
            continue;
        }
        caught[i] = true;
        setDisposition(stopSignals[i], noteStopSignal);
    }
}

int StopSignal() {
    return notedSignal;
}

void EndBySignal(int signal) {
    std::fflush(nullptr);
    setDisposition(signal, SIG_DFL);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    sigaddset(&unblocked, signal);
    pthread_sigmask(SIG_UNBLOCK, &unblocked, nullptr);
    std::raise(signal);
    // Only a signal whose default is not to end the process gets here.
    std::_Exit(128 + signal);
}

}  // namespace qalimor::os
