// The library entry point of a script module on Windows: the module starts no threads and keeps
// no per-thread state, so it asks not to be called for each thread the host starts and ends.
#include <windows.h>

#include "runtime_unload.h"

// Windows refuses DisableThreadLibraryCalls for a DLL that has a TLS directory, and the MinGW
// runtime gives every DLL one: its start-up code refers to __dyn_tls_init_callback, which pulls
// in the runtime's TLS support and with it the directory. Defining the callback here as null
// keeps that support out, so the module has no TLS directory and the call succeeds. Nothing in
// the module uses static thread-local data; the C++ runtime's per-thread exception state is
// kept by exception_state.cpp, through one TlsAlloc slot, and does not need the directory.
// Since no thread-exit notification reaches the DLL, a thread other than the loading one that
// throws inside it keeps its few bytes of state until the DLL is unloaded.
extern "C" const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;

// The runtime sets up its exception machinery on the first throw: the thread's exception state,
// and the unwinder's tables, with one-time set-ups that do not check what calloc returns. A
// throw and catch while the module is loaded does that while memory is there, on the thread
// that loads the module (the host's, which then calls it), so that a first throw when memory
// has run out finds it in place instead of ending the host.
void setUpExceptionHandling() {
    try {
        throw 0;
    } catch (int) {
    }
}

// The C++ runtime's own give-back of its emergency store for exceptions, made when the DLL's
// runtime starts.
namespace __gnu_cxx {
void __freeres();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        setUpExceptionHandling();
    }
    // Unloaded by FreeLibrary (not the process ending): give back what the runtime made.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        __gnu_cxx::__freeres();  // the emergency store for exceptions
        releaseExceptionState();
        releaseRuntimeLocks();
    }
    return TRUE;
}
