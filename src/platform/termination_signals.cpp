// The signal thread: sigwait() takes SIGINT, SIGTERM and SIGHUP as ordinary
// events, outside any handler, so what it does needs no async-signal safety.
#include "platform/termination_signals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>

namespace parlevo::platform {
namespace {

// Shared between the signal thread, which sets them, and the main thread,
// which reads them: atomics, the program's only link between the two.
std::atomic<bool> g_catching{false};
std::atomic<bool> g_requested{false};
// Set by the main thread, called by the signal thread: the mutex is held
// during the call, so whoever replaces the handler waits for it to finish.
// Never destroyed, since the signal thread runs on after main() returns.
struct HandlerSlot {
  std::mutex mutex;
  std::function<void()> handler;
};
HandlerSlot& Handler() {
  static auto* slot = new HandlerSlot;
  return *slot;
}

// Calls the handler when there is one; false when there is none.
bool CallHandler() {
  HandlerSlot& slot = Handler();
  std::lock_guard lock(slot.mutex);
  if (!slot.handler) return false;
  slot.handler();
  return true;
}

sigset_t TerminationSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

// Ends the process by `signal_number` as an uncaught signal would.
[[noreturn]] void DieBy(int signal_number) {
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal_number, &fallback, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal_number);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal_number);
  ::_exit(128 + signal_number);  // not reached
}

void WaitForSignals() {
  const sigset_t set = TerminationSet();
  for (;;) {
    int signal_number = 0;
    if (::sigwait(&set, &signal_number) != 0) continue;
    if (CallHandler()) continue;
    if (!g_catching.load()) DieBy(signal_number);
    g_requested.store(true);
  }
}

}  // namespace

void StartTerminationSignalThread() {
  const sigset_t set = TerminationSet();
  ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread(WaitForSignals).detach();
}

void CatchTerminationSignals(bool on) {
  g_requested.store(false);
  g_catching.store(on);
}

bool TerminationRequested() { return g_requested.load(); }

void SetTerminationHandler(std::function<void()> handler) {
  HandlerSlot& slot = Handler();
  std::lock_guard lock(slot.mutex);
  slot.handler = std::move(handler);
}

}  // namespace parlevo::platform
