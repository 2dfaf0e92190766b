// The C++ runtime's locks inside a Windows module, made safe when memory has run out.
//
// The MinGW runtime's POSIX threads give a statically initialised mutex its storage on first
// lock, with calloc. The C++ runtime locks one such mutex (its emergency store for exceptions)
// only when malloc has just failed to hold an exception, and throws when the lock fails. Under
// lasting memory exhaustion that throw needs the emergency store again, whose lock fails again:
// the recursion ends the host with a stack overflow. The module is called on one thread only,
// the host's, so a lock that cannot get its storage is taken as held: nothing can contend for it.
//
// The module is linked with --wrap for both functions (vorn_add_script_module), which sends the
// runtime's calls here; __real_ names the runtime's own.
#include <cerrno>

#include <pthread.h>

extern "C" {

int __real_pthread_mutex_lock(pthread_mutex_t* mutex);
int __real_pthread_mutex_unlock(pthread_mutex_t* mutex);

int __wrap_pthread_mutex_lock(pthread_mutex_t* mutex) {
    const int result = __real_pthread_mutex_lock(mutex);
    return result == ENOMEM ? 0 : result;
}

// A mutex still in its static form was taken without storage: there is nothing to release.
int __wrap_pthread_mutex_unlock(pthread_mutex_t* mutex) {
    if (*mutex == PTHREAD_MUTEX_INITIALIZER) return 0;
    return __real_pthread_mutex_unlock(mutex);
}
}
