// Windows: the import table of each new module names the slots to rewrite.
#include "module_imports.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>

#include "module_allocator.h"

namespace vorn_host::module_imports {
namespace {

// The C runtimes whose heap the host shares: MinGW's msvcrt, and the universal CRT of MSVC
// builds with the dynamic runtime. A module with a static runtime imports none of them.
bool isCRuntime(const char* dll) {
    std::string name(dll);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == "msvcrt.dll" || name == "ucrtbase.dll" || name.rfind("api-ms-win-crt-heap-", 0) == 0;
}

bool writeSlot(ULONG_PTR* slot, void* function) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
    *slot = reinterpret_cast<ULONG_PTR>(function);
    VirtualProtect(slot, sizeof *slot, old, &old);
    return true;
}

// Rewrites the slots of one module's import table that name a C runtime's allocation function.
int rewriteImports(HMODULE module) {
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return 0;
    int rewritten = 0;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        if (!isCRuntime(reinterpret_cast<const char*>(base + d->Name)) || !d->OriginalFirstThunk) continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            void* function = module_allocator::watchedFormOf(reinterpret_cast<const char*>(byName->Name));
            if (function && writeSlot(&slots->u1.Function, function)) ++rewritten;
        }
    }
    return rewritten;
}

std::vector<HMODULE> processModules() {
    std::vector<HMODULE> modules(1024);
    DWORD needed = 0;
    if (!K32EnumProcessModules(GetCurrentProcess(), modules.data(),
                               static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed)) {
        return {};
    }
    modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    return modules;
}

}  // namespace

std::vector<std::uintptr_t> loadedObjects() {
    std::vector<std::uintptr_t> bases;
    for (HMODULE module : processModules()) bases.push_back(reinterpret_cast<std::uintptr_t>(module));
    return bases;
}

int watchAllocations(const std::vector<std::uintptr_t>& before) {
    int rewritten = 0;
    for (HMODULE module : processModules()) {
        if (std::find(before.begin(), before.end(), reinterpret_cast<std::uintptr_t>(module)) == before.end()) {
            rewritten += rewriteImports(module);
        }
    }
    return rewritten;
}

namespace {

// The loader's notification of a DLL mapped into the process (ntdll's LdrRegisterDllNotification),
// sent once its imports are bound and before its entry point runs.
const ULONG kDllLoaded = 1;
struct loaded_dll {
    ULONG flags;
    const void* fullName;
    const void* baseName;
    void* base;
    ULONG size;
};
using dll_notification = void(CALLBACK*)(ULONG reason, const loaded_dll* dll, void* context);
using register_notification = LONG(NTAPI*)(ULONG flags, dll_notification notify, void* context, void** cookie);
using unregister_notification = LONG(NTAPI*)(void* cookie);

struct load_watch {
    const std::vector<std::uintptr_t>* before;
    int rewritten;
};

void CALLBACK rewriteAsLoaded(ULONG reason, const loaded_dll* dll, void* context) {
    auto* watch = static_cast<load_watch*>(context);
    const auto base = reinterpret_cast<std::uintptr_t>(dll->base);
    if (reason != kDllLoaded || std::find(watch->before->begin(), watch->before->end(), base) != watch->before->end()) {
        return;
    }
    watch->rewritten += rewriteImports(static_cast<HMODULE>(dll->base));
}

template <typename Function>
Function ntdllFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

}  // namespace

int watchAllocationsOfLoad(const std::vector<std::uintptr_t>& before, const std::function<bool()>& load) {
    const auto registerNotification = ntdllFunction<register_notification>("LdrRegisterDllNotification");
    const auto unregisterNotification = ntdllFunction<unregister_notification>("LdrUnregisterDllNotification");
    load_watch watch{&before, 0};
    void* cookie = nullptr;
    const bool notified = registerNotification && unregisterNotification &&
                          registerNotification(0, rewriteAsLoaded, &watch, &cookie) == 0;
    const bool loaded = load();
    if (notified) unregisterNotification(cookie);
    if (!loaded) return 0;
    // What the notification did not reach (none, where the loader sends none) is rewritten now.
    return watch.rewritten + watchAllocations(before);
}

bool isLoaded(const std::string& path) {
    return GetModuleHandleA(path.c_str()) != nullptr;
}

}  // namespace vorn_host::module_imports
