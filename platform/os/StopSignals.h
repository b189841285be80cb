// Requests from outside to stop: Ctrl+C in the terminal (SIGINT) and what
// kill sends unless told otherwise (SIGTERM).
#ifndef PLATFORM_OS_STOPSIGNALS_H
#define PLATFORM_OS_STOPSIGNALS_H

namespace qalimor::os {

// From now on the first SIGINT or SIGTERM is only noted, so that the
// program can end between two steps of its work with its devices closed.
// When it has not ended a second later, or when a second signal of either
// kind comes, the process ends at once as the signal's default action ends
// it (the second's grace is kept with SIGALRM). A signal that was ignored
// when the program started (nohup, a background job) stays ignored.
void CatchStopSignals();

// The signal that asked for the stop, or 0 while none has.
int StopSignal();

// Ends the process as the signal's default action does, so that whoever
// started it sees it ended by that signal. Buffered output is written first.
[[noreturn]] void EndBySignal(int signal);

}  // namespace qalimor::os

#endif
