// The library entry point of a script module on Windows: the module starts no threads and keeps
// no per-thread state, so it asks not to be called for each thread the host starts and ends.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
