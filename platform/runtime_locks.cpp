// The C++ runtime's locks inside a Windows module, made safe when memory has run out.
//
// The MinGW runtime's POSIX threads give a statically initialised mutex its storage on first
// lock, with calloc. The C++ runtime locks one such mutex (its emergency store for exceptions)
// only when malloc has just failed to hold an exception, and throws when the lock fails. Under
// lasting memory exhaustion that throw needs the emergency store again, whose lock fails again:
// the recursion ends the host with a stack overflow. The module is called on one thread only,
// the host's, so a lock that cannot get its storage is taken as held: nothing can contend for it.
//
// Those locks keep their storage until they are destroyed, which the runtime never does: each
// one a lock gets is noted here, and unloading the DLL destroys them all.
//
// The module is linked with --wrap for both functions (vorn_add_script_module), which sends the
// runtime's calls here; __real_ names the runtime's own.
#include <cerrno>

#include <windows.h>

#include <pthread.h>

#include "runtime_unload.h"

namespace {

// The runtime has a handful of such locks (its emergency store, its one-time set-ups); a lock
// beyond these keeps its storage until the process ends, as without this note.
const unsigned kNotedLocks = 32;
struct noted_lock {
    pthread_mutex_t* mutex;
    pthread_mutex_t staticForm;
};
noted_lock gNoted[kNotedLocks];
unsigned gNotedCount = 0;
// Set once the locks are given back: the DLL is being unloaded, on one thread, and what still
// runs (the runtime's own clean-up at unload) takes its locks without storage.
bool gReleased = false;

HMODULE moduleHolding(const void* address) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(address), &module);
    return module;
}

// A lock in the DLL's own static data, as opposed to one inside a block that its owner frees
// (the runtime's one-time set-ups lock such ones, and destroy them themselves).
bool isInThisDll(const pthread_mutex_t* mutex) {
    static const char here = 0;
    return moduleHolding(mutex) == moduleHolding(&here);
}

bool isStaticForm(pthread_mutex_t mutex) {
    return mutex == PTHREAD_MUTEX_INITIALIZER || mutex == PTHREAD_RECURSIVE_MUTEX_INITIALIZER ||
           mutex == PTHREAD_ERRORCHECK_MUTEX_INITIALIZER;
}

}  // namespace

extern "C" {

int __real_pthread_mutex_lock(pthread_mutex_t* mutex);
int __real_pthread_mutex_unlock(pthread_mutex_t* mutex);

int __wrap_pthread_mutex_lock(pthread_mutex_t* mutex) {
    const pthread_mutex_t before = *mutex;
    const bool staticBefore = isStaticForm(before);
    if (staticBefore && gReleased) return 0;
    const int result = __real_pthread_mutex_lock(mutex);
    if (staticBefore && !isStaticForm(*mutex) && isInThisDll(mutex) && gNotedCount < kNotedLocks) {
        gNoted[gNotedCount++] = {mutex, before};
    }
    return result == ENOMEM ? 0 : result;
}

// A mutex still in its static form was taken without storage: there is nothing to release.
int __wrap_pthread_mutex_unlock(pthread_mutex_t* mutex) {
    if (isStaticForm(*mutex)) return 0;
    return __real_pthread_mutex_unlock(mutex);
}
}

// Each lock goes back to its static form, as it was before its first use.
void releaseRuntimeLocks() noexcept {
    for (unsigned i = 0; i < gNotedCount; ++i) {
        if (pthread_mutex_destroy(gNoted[i].mutex) == 0) *gNoted[i].mutex = gNoted[i].staticForm;
    }
    gNotedCount = 0;
    gReleased = true;
}
