#pragma once
// What a module's export does: make one script for the host, guarded.
#include <new>

#include "host_call_guard.h"
#include "vorn_client_callback.h"
#include "vorn_host_command.h"

// A new Script(host, path), or null when there was no memory for it or its construction
// failed; nothing thrown leaves. A script whose construction failed in the derived script's
// part has gone through its base's destruction, so it has sent "AS" like every other script;
// one that failed in the base's own part (copying the path) has sent nothing.
template <typename Script>
vorn_client_callback* createScript(vorn_host_command* host, const char* path) noexcept {
    return guardHostCall<vorn_client_callback*>(kFactoryEntry, nullptr,
                                                [&] { return new (std::nothrow) Script(host, path); });
}
