#pragma once
#include "vorn_host_command.h"

// The script object that a panel host holds.
//
// Created by the module's factory and owned by the host from then on. The host ends its life
// by deleting it through slot 0 of the virtual table, so the memory goes back to the module's
// own allocator; portable hosts do that with vorn_delete_script below. The host calls it one
// call at a time, on the host's thread.
//
// The table has two slots: the deleting destructor, then callback. Panel hosts on Windows are
// built with the native C++ ABI, where a virtual destructor is a single "scalar deleting
// destructor" slot that takes a flags argument (bit 0: free the memory). GCC's Windows targets
// would lay a virtual destructor out as two slots and put callback in slot 2, so for them the
// slot is declared explicitly; member functions are thiscall on 32-bit x86, as the host expects.
// Everywhere else it is an ordinary virtual destructor.
#if defined(_WIN32) && defined(__GNUC__) && !defined(_MSC_VER)
#  define VORN_NATIVE_DELETING_DESTRUCTOR 1
#endif

class vorn_client_callback {
public:
#if defined(VORN_NATIVE_DELETING_DESTRUCTOR)
    // Destroys the object, and frees it when bit 0 of `flags` is set. Returns the object's
    // address, as the native ABI does.
    virtual void* nativeDeletingDestructor(unsigned flags) = 0;
#else
    virtual ~vorn_client_callback() = default;
#endif

    // param: owned by the host and valid only during the call; never kept. For code 3 it is a
    // NUL-terminated request text; for code 2 a host_control_event; for codes 4 and 7 an integer
    // carried in the pointer; for codes 1 and 6 a host pointer the module does not read; for
    // code 5 a text that this object returned earlier.
    // Returns null, or for code 3 a text that the module owns until the host hands it back,
    // unchanged and once, with code 5.
    virtual char* callback(void* param, int code) = 0;

#if defined(VORN_NATIVE_DELETING_DESTRUCTOR)
protected:
    ~vorn_client_callback() = default;
#endif
};

// How a host deletes a script object it holds.
inline void vorn_delete_script(vorn_client_callback* script) {
#if defined(VORN_NATIVE_DELETING_DESTRUCTOR)
    if (script) script->nativeDeletingDestructor(1);
#else
    delete script;
#endif
}

// The codes of `callback`.
const int kCodeRecord = 1;
const int kCodeControlEvent = 2;
const int kCodeParameterRequest = 3;
const int kCodeTimer = 4;
const int kCodeRelease = 5;
const int kCodeAuxRecord = 6;
const int kCodeWord = 7;

// The module's one export, under this plain name. `host` and `path` are the host's; `path`
// is read during the call only (a null path is the empty path). Returns a new script object
// that the host owns, or null when it could not be made.
extern "C" typedef vorn_client_callback* (*load_vorn_client_script_fn)(vorn_host_command* host,
                                                                       const char* path);
const char kExportName[] = "load_vorn_client_script";
