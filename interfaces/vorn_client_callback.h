#pragma once
#include "vorn_host_command.h"

// The script object that a panel host holds.
//
// Created by the module's factory and owned by the host from then on. The host ends its life
// by deleting it through the virtual destructor, so the memory goes back to the module's own
// allocator. The host calls it one call at a time, on the host's thread.
class vorn_client_callback {
public:
    virtual ~vorn_client_callback() = default;

    // param: owned by the host and valid only during the call; never kept. For code 3 it is a
    // NUL-terminated request text; for code 2 a host_control_event; for codes 4 and 7 an integer
    // carried in the pointer; for codes 1 and 6 a host pointer the module does not read; for
    // code 5 a text that this object returned earlier.
    // Returns null, or for code 3 a text that the module owns until the host hands it back,
    // unchanged and once, with code 5.
    virtual char* callback(void* param, int code) = 0;
};

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
extern "C" typedef vorn_client_callback* (*load_vorn_client_script_fn)(
    vorn_host_command* host, const char* path);
const char kExportName[] = "load_vorn_client_script";
