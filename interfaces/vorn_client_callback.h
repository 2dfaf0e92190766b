#pragma once
#include "vorn_host_command.h"

// The script object that a panel host holds.
//
// Life: made by the module's factory (vorn_module_export.h) and owned by the host from the
// factory's return until the host deletes it with vorn_delete_script. Every call below is made
// by the host, one call at a time, on the host's thread; the module starts no threads.
//
// Failure stays inside the module. Nothing thrown inside the module ever leaves the factory,
// callback or the deletion; the host need not, and on Windows cannot, catch anything:
//   - the factory returns null when the script could not be made (no memory for it, or its
//     construction failed);
//   - callback returns null for the call that failed; for code 3 that means no answer;
//   - deletion always sends "AS" and frees everything the script holds.
// A failed call is traced to the debugger output ("out of memory in callback code 3") and the
// script stays usable: the next call works as if the failed one had stopped where it failed.
// Commands sent before the failure stay sent: a take cut short may have sent its "RC" without
// the two "TP" commands that clear the lists. Texts returned earlier stay valid and are still
// released by code 5.
//
// The table has two slots: the deleting destructor, then callback. Panel hosts on Windows are
// built with the native C++ ABI, where a virtual destructor is a single "scalar deleting
// destructor" slot that takes a flags argument (bit 0: free the memory). GCC's Windows targets
// would lay a virtual destructor out as two slots and put callback in slot 2, so for them the
// slot is declared explicitly; member functions are thiscall on 32-bit x86, as the host expects.
// Everywhere else it is an ordinary virtual destructor.
#if defined(_WIN32) && defined(__GNUC__) && !defined(_MSC_VER)
#define VORN_NATIVE_DELETING_DESTRUCTOR 1
#endif

// The codes of `callback`, with what `param` is, who owns it and until when, and what the call
// returns. Every code runs on the host's thread; `param` is never kept past the call.
//
// Code 1, record: a host pointer passed to the script's record handler unread. Returns null.
const int kCodeRecord = 1;
// Code 2, control event: a host_control_event (vorn_records.h), owned by the host and read only
// during the call; null reads as no event. Returns null.
const int kCodeControlEvent = 2;
// Code 3, parameter request: a NUL-terminated "command.part=value" text owned by the host,
// copied before it is read; null is the empty request. Returns null for no answer, or a
// NUL-terminated answer that the module owns until the host hands it back with code 5.
const int kCodeParameterRequest = 3;
// Code 4, timer: the timer's number carried in the pointer itself. Returns null.
const int kCodeTimer = 4;
// Code 5, release: an answer that callback code 3 of this same object returned, handed back
// unchanged and exactly once; the module frees it. Null does nothing. Returns null.
const int kCodeRelease = 5;
// Code 6, auxiliary record: a host pointer passed to the script's handler unread. Returns null.
const int kCodeAuxRecord = 6;
// Code 7, word: a number carried in the pointer itself. Returns null.
const int kCodeWord = 7;
// Any other code is ignored and returns null.

class vorn_client_callback {
public:
#if defined(VORN_NATIVE_DELETING_DESTRUCTOR)
    // Destroys the object, and frees it when bit 0 of `flags` is set. Returns the object's
    // address, as the native ABI does.
    virtual void* nativeDeletingDestructor(unsigned flags) = 0;
#else
    virtual ~vorn_client_callback() = default;
#endif

    // The host's one entry after the factory: see the codes above. Never throws.
    virtual char* callback(void* param, int code) = 0;

#if defined(VORN_NATIVE_DELETING_DESTRUCTOR)
protected:
    ~vorn_client_callback() = default;
#endif
};

// A script object as the host deletes it: every script derives from this, the script base
// (vorn_script_helper.h) among them, and implements callback. On Windows with GCC, slot 0 is the
// native ABI's deleting destructor (above), which this implements over the script's own virtual
// destructor, so that the object is freed by the module's allocator; elsewhere it is an ordinary
// virtual destructor. So a script's header reads the same to every author's compiler. A script's
// destructor must not throw: it runs inside the host's deletion.
class vorn_native_script : public vorn_client_callback {
public:
#if defined(VORN_NATIVE_DELETING_DESTRUCTOR)
    void* nativeDeletingDestructor(unsigned flags) override {
        if (flags & 1) {
            delete this;
        } else {
            this->~vorn_native_script();
        }
        return this;
    }
    virtual ~vorn_native_script() = default;
#endif
};

// How a host deletes a script object it holds: once, when it is done with it, after every
// answer it holds has been handed back with code 5. The script sends "AS" during the call and
// nothing after it; the object and everything it allocated are gone when this returns.
inline void vorn_delete_script(vorn_client_callback* script) {
#if defined(VORN_NATIVE_DELETING_DESTRUCTOR)
    if (script) script->nativeDeletingDestructor(1);
#else
    delete script;
#endif
}
