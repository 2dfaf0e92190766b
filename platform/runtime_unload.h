#pragma once
// What the static C++ runtime in one of our Windows DLLs makes for itself while the DLL is
// loaded, given back when a host unloads the DLL (FreeLibrary), so that a host that reloads its
// panels holds no more after a thousand reloads than after one. The entry point calls each once,
// on process detach from FreeLibrary; at process exit nothing needs giving back.

// The per-thread exception state of every thread that used the runtime's exceptions, and its
// thread-local slot (exception_state.cpp).
void releaseExceptionState() noexcept;

// The storage of every lock that the runtime made on first use (runtime_locks.cpp).
void releaseRuntimeLocks() noexcept;
