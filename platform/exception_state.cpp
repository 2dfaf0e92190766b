// The C++ runtime's per-thread exception state, kept by the DLL itself so that unloading the
// DLL gives all of it back.
//
// The runtime finds a thread's caught and uncaught exceptions through __cxa_get_globals. Its
// own keeps them in emulated thread-local storage, which allocates a block and an array for
// each thread through the POSIX threads layer, takes a Windows TLS slot, and never gives any of
// it back while the threads live: a host thread that loads and unloads the DLL a thousand times
// would hold a thousand of each, and run out of TLS slots. Defining the two functions here
// keeps the runtime's version out of the link. The thread that loads the DLL (the host's, which
// then calls it) uses one state inside the DLL; any other thread gets one from the process heap,
// kept on a list until the DLL is unloaded.
#include <windows.h>

#include "runtime_unload.h"

namespace {

// The layout of the runtime's __cxa_eh_globals.
struct exception_state {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
};

struct thread_state {
    exception_state state;
    thread_state* next;
};

const DWORD kNoSlot = TLS_OUT_OF_INDEXES;
LONG gSlot = static_cast<LONG>(kNoSlot);
LONG gFirstTaken = 0;
thread_state gFirst = {};
thread_state* volatile gOthers = nullptr;
// Set once the state is given back: the DLL is being unloaded, on one thread, and what still
// runs there uses the first state, taking no new slot.
bool gReleased = false;

DWORD slot() {
    DWORD index = static_cast<DWORD>(gSlot);
    if (index != kNoSlot) return index;
    const DWORD made = TlsAlloc();
    if (InterlockedCompareExchange(&gSlot, static_cast<LONG>(made), static_cast<LONG>(kNoSlot)) !=
        static_cast<LONG>(kNoSlot)) {
        TlsFree(made);
    }
    return static_cast<DWORD>(gSlot);
}

thread_state* newThreadState() {
    if (InterlockedCompareExchange(&gFirstTaken, 1, 0) == 0) return &gFirst;
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(thread_state));
    if (!block) return nullptr;
    thread_state* made = static_cast<thread_state*>(block);
    thread_state* head;
    do {
        head = gOthers;
        made->next = head;
    } while (InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&gOthers), made, head) != head);
    return made;
}

exception_state* threadExceptionState() {
    if (gReleased) return &gFirst.state;
    const DWORD index = slot();
    if (index == kNoSlot) return &gFirst.state;  // no slot at all: as the runtime without threads
    void* known = TlsGetValue(index);
    if (known) return &static_cast<thread_state*>(known)->state;
    thread_state* made = newThreadState();
    if (!made) return &gFirst.state;
    TlsSetValue(index, made);
    return &made->state;
}

}  // namespace

namespace __cxxabiv1 {
struct __cxa_eh_globals;
extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept {
    return reinterpret_cast<__cxa_eh_globals*>(threadExceptionState());
}
extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept {
    return reinterpret_cast<__cxa_eh_globals*>(threadExceptionState());
}
}  // namespace __cxxabiv1

void releaseExceptionState() noexcept {
    for (thread_state* state = gOthers; state;) {
        thread_state* next = state->next;
        HeapFree(GetProcessHeap(), 0, state);
        state = next;
    }
    gOthers = nullptr;
    if (static_cast<DWORD>(gSlot) != kNoSlot) TlsFree(static_cast<DWORD>(gSlot));
    gSlot = static_cast<LONG>(kNoSlot);
    gReleased = true;
}
