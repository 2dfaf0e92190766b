#pragma once
// The one export of every script module: the factory that the host resolves by its plain,
// undecorated name. Each module defines it once, returning its own script.
#include "vorn_client_callback.h"

#if defined(_WIN32)
#define VORN_MODULE_EXPORT __declspec(dllexport)
#else
#define VORN_MODULE_EXPORT __attribute__((visibility("default")))
#endif

// Called by the host on its thread, once for each script object it wants.
// host: the host's command object; the script keeps the pointer for its whole life and never
//       deletes it. May be null: the script then sends nothing.
// path: read during the call only; a null path is the empty path.
// Returns a new script that the host owns and deletes with vorn_delete_script
// (vorn_client_callback.h), or null when it could not be made. Never throws.
//
// The script may call the host during this call (Router shows its panel here), and during its
// deletion (the "AS" that ends every script's commands). A host must accept hostCommand
// calls from inside both, on the same thread. A script whose construction failed after it had
// sent a command has sent "AS" last by the time the factory returns null; one that failed
// before sending anything (no memory for the object or for its copy of the path) sends nothing.
extern "C" VORN_MODULE_EXPORT vorn_client_callback* load_vorn_client_script(vorn_host_command* host, const char* path);

extern "C" typedef vorn_client_callback* (*load_vorn_client_script_fn)(vorn_host_command* host, const char* path);
const char kExportName[] = "load_vorn_client_script";
