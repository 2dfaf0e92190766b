// The C++ runtime's one-time set-ups inside a Windows DLL, run without the POSIX threads
// layer's per-thread record.
//
// That layer's pthread_once registers a clean-up handler for the running thread, and to hold it
// makes the thread a record of its own: a Windows TLS slot, a block, an entry in its list of
// threads, an event and a duplicated thread handle. It gives them back only when the thread
// ends, and since it is linked into the DLL statically, none of it is given back when the DLL is
// unloaded: a host that reloads the DLL on one thread would lose a TLS slot, two blocks and two
// handles each time. A one-time set-up needs none of that, only that it runs once and that
// every other caller waits until it has.
//
// The DLL is linked with --wrap=pthread_once (vorn_library_entry), which sends the runtime's
// calls here.
#include <windows.h>

#include <pthread.h>

namespace {

// pthread_once_t's states: 0 before, 1 done; this file adds 2, running.
const LONG kBefore = 0;
const LONG kDone = 1;
const LONG kRunning = 2;

}  // namespace

// Runs `setUp` on the first caller; every other caller waits until it is done. A set-up that
// throws has not happened: its state goes back to before, and the next caller runs it again.
extern "C" int __wrap_pthread_once(pthread_once_t* once, void (*setUp)(void)) {
    volatile LONG* state = reinterpret_cast<volatile LONG*>(once);
    while (*state != kDone) {
        if (InterlockedCompareExchange(state, kRunning, kBefore) != kBefore) {
            SwitchToThread();  // another thread runs it
            continue;
        }
        try {
            setUp();
        } catch (...) {
            InterlockedExchange(state, kBefore);
            throw;
        }
        InterlockedExchange(state, kDone);
    }
    return 0;
}
