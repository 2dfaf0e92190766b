#pragma once
// The one export of every script module: the factory the host resolves by name.
// Each module defines it once, returning its own script.
#include "vorn_client_callback.h"

#if defined(_WIN32)
#  define VORN_MODULE_EXPORT __declspec(dllexport)
#else
#  define VORN_MODULE_EXPORT __attribute__((visibility("default")))
#endif

// host: the host's command object, kept by the script and never deleted. path: read during
// the call only. Returns a new script that the host owns and deletes through its virtual
// destructor, or null when there was no memory for it.
extern "C" VORN_MODULE_EXPORT vorn_client_callback* load_vorn_client_script(vorn_host_command* host,
                                                                            const char* path);
