// The socket library as a DLL beside vorn-host.exe, loaded the first time it is asked for and
// kept until the program ends. Where Windows' sockets cannot start in this process (Wine's
// 32-bit mode), loading it fails, and so does every use of sockets, at once and saying so.
#include "socket_loader.h"

#include <windows.h>

namespace vorn_host {
namespace {

// The folder of the running program, with its last separator.
std::string programFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return "";
    const std::string whole(path, length);
    const std::size_t slash = whole.find_last_of("\\/");
    return slash == std::string::npos ? "" : whole.substr(0, slash + 1);
}

std::string whyNotLoaded(DWORD failure) {
    const std::string code = " (error " + std::to_string(failure) + ")";
    if (failure == ERROR_MOD_NOT_FOUND) return std::string(kSocketLibraryFile) + " is not beside vorn-host" + code;
    if (failure == ERROR_DLL_INIT_FAILED) {
        return std::string("Windows' sockets cannot start in this process: ") + kSocketLibraryFile +
               " did not load, since WS2_32 failed to start" + code;
    }
    return std::string(kSocketLibraryFile) + " did not load" + code;
}

struct loaded_library {
    const vorn_socket_library* table = nullptr;
    std::string why;
};

loaded_library load() {
    loaded_library loaded;
    const std::string path = programFolder() + kSocketLibraryFile;
    // Its dependencies are looked for beside it, not in the current folder.
    HMODULE library = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) {
        loaded.why = whyNotLoaded(GetLastError());
        return loaded;
    }
    const auto tableOf = reinterpret_cast<vorn_socket_library_fn>(
        reinterpret_cast<void*>(GetProcAddress(library, kSocketLibraryExport)));
    const vorn_socket_library* table = tableOf ? tableOf() : nullptr;
    if (!table || table->size != sizeof(vorn_socket_library)) {
        loaded.why = std::string(kSocketLibraryFile) + " is not the one this vorn-host was built with";
        return loaded;
    }
    loaded.table = table;
    return loaded;
}

}  // namespace

const vorn_socket_library* socketLibrary(std::string& why) {
    static const loaded_library loaded = load();
    why = loaded.why;
    return loaded.table;
}

}  // namespace vorn_host
