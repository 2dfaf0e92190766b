#pragma once
#include <new>
// The one guard between the host and everything the module runs for it. The factory, callback
// and the deletion each run their work inside it, so that nothing thrown inside the module
// reaches the host: the failure is traced and the host gets the call's failed result.

// Which host entry a guarded call came through, for the trace.
struct host_entry {
    const char* name;  // "callback", "load_vorn_client_script", "script deletion"
    bool hasCode;      // callback names its code too
    int code;
};

const host_entry kFactoryEntry = {"load_vorn_client_script", false, 0};
const host_entry kDeletionEntry = {"script deletion", false, 0};
inline host_entry callbackEntry(int code) {
    return {"callback", true, code};
}

// Traces "out of memory in callback code 3", or "failure in ..." for anything else thrown.
// Allocates nothing.
void traceFailedHostCall(const host_entry& entry, bool outOfMemory) noexcept;

// Runs `work` and returns what it returns; returns `failed` when it throws.
template <typename Result, typename Work>
Result guardHostCall(const host_entry& entry, Result failed, Work&& work) noexcept {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        traceFailedHostCall(entry, true);
    } catch (...) {
        traceFailedHostCall(entry, false);
    }
    return failed;
}
