// The library entry point of a script module on Windows: the module starts no threads and keeps
// no per-thread state, so it asks not to be called for each thread the host starts and ends.
#include <windows.h>

// Windows refuses DisableThreadLibraryCalls for a DLL that has a TLS directory, and the MinGW
// runtime gives every DLL one: its start-up code refers to __dyn_tls_init_callback, which pulls
// in the runtime's TLS support and with it the directory. Defining the callback here as null
// keeps that support out, so the module has no TLS directory and the call succeeds. Nothing in
// the module uses static thread-local data; the C++ runtime's per-thread data (exception
// handling) is allocated on first use through TlsAlloc and does not need the directory. What a
// thread that never throws inside the module costs is nothing; one that does leaves a few bytes
// behind when it ends, since no thread-exit notification reaches the runtime.
extern "C" const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
