#pragma once
// The KERNEL32 functions the freestanding Windows hosts call, declared as Windows declares them:
// those hosts are built without any C or C++ library, so that nothing but the module they
// load allocates in their process.
#include <cstddef>

extern "C" {
__declspec(dllimport) void* __stdcall LoadLibraryA(const char* name);
__declspec(dllimport) void* __stdcall GetProcAddress(void* module, const char* name);
__declspec(dllimport) int __stdcall FreeLibrary(void* module);
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* data, unsigned long size, unsigned long* written,
                                              void* overlapped);
__declspec(dllimport, noreturn) void __stdcall ExitProcess(unsigned status);
__declspec(dllimport) void* __stdcall CreateThread(void* attributes, unsigned long stackSize,
                                                   unsigned long(__stdcall* start)(void*), void* parameter,
                                                   unsigned long flags, unsigned long* threadId);
__declspec(dllimport) unsigned long __stdcall WaitForSingleObject(void* handle, unsigned long milliseconds);
__declspec(dllimport) int __stdcall GetExitCodeThread(void* thread, unsigned long* code);
__declspec(dllimport) int __stdcall CloseHandle(void* handle);
__declspec(dllimport) const char* __stdcall GetCommandLineA();

// One entry of a heap, as HeapWalk fills it in.
struct process_heap_entry {
    void* data;
    unsigned long dataSize;
    unsigned char overhead;
    unsigned char regionIndex;
    unsigned short flags;
    void* rest[4];
};
const unsigned short kHeapEntryBusy = 0x0004;
__declspec(dllimport) unsigned long __stdcall GetProcessHeaps(unsigned long most, void** heaps);
__declspec(dllimport) int __stdcall HeapLock(void* heap);
__declspec(dllimport) int __stdcall HeapUnlock(void* heap);
__declspec(dllimport) int __stdcall HeapWalk(void* heap, process_heap_entry* entry);
}

inline void writeOut(const char* text, unsigned long length) {
    unsigned long written = 0;
    WriteFile(GetStdHandle(static_cast<unsigned long>(-11)), text, length, &written, nullptr);
}
