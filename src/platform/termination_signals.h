// SIGINT, SIGTERM and SIGHUP handled in one place: blocked in every thread,
// and taken by one thread of their own that waits for them, so no other
// thread is ever interrupted in the middle of a write.
#ifndef PARLEVO_PLATFORM_TERMINATION_SIGNALS_H_
#define PARLEVO_PLATFORM_TERMINATION_SIGNALS_H_

#include <functional>

namespace parlevo::platform {

// Blocks SIGINT, SIGTERM and SIGHUP in the calling thread, so in every thread it
// starts afterwards, and starts the one thread that waits for them. Call it
// once, first thing in main(), before any other thread runs. The waiting
// thread holds nothing and is left running at exit.
//
// Until CatchTerminationSignals(true), a signal ends the process as if
// nothing caught it.
void StartTerminationSignalThread();

// While `on` is true a signal only sets the flag TerminationRequested()
// reads (the program stops in its own time); otherwise it ends the process.
// Turning it on clears the flag.
void CatchTerminationSignals(bool on);
bool TerminationRequested();

// While set, a signal calls `handler` on the signal thread instead (the
// window hands the request to its GUI thread with a queued call); null puts
// the flag or the end of the process back. Setting waits for a call of the
// previous handler in progress, so what that handler reaches may go once
// this returns.
void SetTerminationHandler(std::function<void()> handler);

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_TERMINATION_SIGNALS_H_
