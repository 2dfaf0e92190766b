#include "module_imports.h"

#if defined(__ELF__)
#  include <elf.h>
#  include <link.h>
#  include <sys/mman.h>
#  include <sys/stat.h>
#  include <unistd.h>

#  include <algorithm>

#  include "module_allocator.h"

namespace module_imports {
namespace {

#  if defined(__x86_64__)
const unsigned kSlotTypes[] = {R_X86_64_JUMP_SLOT, R_X86_64_GLOB_DAT};
#  elif defined(__i386__)
const unsigned kSlotTypes[] = {R_386_JMP_SLOT, R_386_GLOB_DAT};
#  elif defined(__aarch64__)
const unsigned kSlotTypes[] = {R_AARCH64_JUMP_SLOT, R_AARCH64_GLOB_DAT};
#  else
const unsigned kSlotTypes[] = {};
#  endif

#  if defined(__LP64__)
unsigned relocationType(ElfW(Xword) info) { return ELF64_R_TYPE(info); }
unsigned relocationSymbol(ElfW(Xword) info) { return ELF64_R_SYM(info); }
#  else
unsigned relocationType(ElfW(Word) info) { return ELF32_R_TYPE(info); }
unsigned relocationSymbol(ElfW(Word) info) { return ELF32_R_SYM(info); }
#  endif

// What the dynamic section says, with addresses made absolute: the loader has already added
// the load address to them on most systems, and not on some.
struct dynamic_info {
    const ElfW(Sym)* symbols = nullptr;
    const char* names = nullptr;
    std::uintptr_t tables[2] = {0, 0};  // DT_JMPREL, then DT_REL or DT_RELA
    std::size_t sizes[2] = {0, 0};
    bool withAddends = false;
};

std::uintptr_t absolute(std::uintptr_t base, std::uintptr_t address) {
    return address < base ? base + address : address;
}

dynamic_info readDynamic(std::uintptr_t base, const ElfW(Dyn)* dynamic) {
    dynamic_info info;
    for (const ElfW(Dyn)* d = dynamic; d->d_tag != DT_NULL; ++d) {
        switch (d->d_tag) {
        case DT_SYMTAB: info.symbols = reinterpret_cast<const ElfW(Sym)*>(absolute(base, d->d_un.d_ptr)); break;
        case DT_STRTAB: info.names = reinterpret_cast<const char*>(absolute(base, d->d_un.d_ptr)); break;
        case DT_JMPREL: info.tables[0] = absolute(base, d->d_un.d_ptr); break;
        case DT_PLTRELSZ: info.sizes[0] = d->d_un.d_val; break;
        case DT_PLTREL: info.withAddends = d->d_un.d_val == DT_RELA; break;
        case DT_REL:
        case DT_RELA: info.tables[1] = absolute(base, d->d_un.d_ptr); break;
        case DT_RELSZ:
        case DT_RELASZ: info.sizes[1] = d->d_un.d_val; break;
        default: break;
        }
    }
    return info;
}

bool isSlotType(unsigned type) {
    return std::find(std::begin(kSlotTypes), std::end(kSlotTypes), type) != std::end(kSlotTypes);
}

// Writes one slot, lifting read-only protection for the page while it does.
bool writeSlot(void** slot, void* function) {
    const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    void* start = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(slot) & ~(page - 1));
    if (mprotect(start, page, PROT_READ | PROT_WRITE) != 0) return false;
    *slot = function;
    return true;
}

struct object_slots {
    std::uintptr_t base;
    const dynamic_info& info;
    int rewritten = 0;

    template <typename Relocation>
    void rewrite(std::uintptr_t table, std::size_t size) {
        const auto* entries = reinterpret_cast<const Relocation*>(table);
        for (std::size_t i = 0; i < size / sizeof(Relocation); ++i) {
            if (!isSlotType(relocationType(entries[i].r_info))) continue;
            const unsigned symbol = relocationSymbol(entries[i].r_info);
            void* function = symbol ? module_allocator::watchedFormOf(info.names + info.symbols[symbol].st_name) : nullptr;
            if (function && writeSlot(reinterpret_cast<void**>(base + entries[i].r_offset), function)) ++rewritten;
        }
    }
};

// Gives back the read-only protection of the object's relocated-then-protected segment.
void protectAgain(std::uintptr_t base, const ElfW(Phdr)* headers, int count) {
    const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    for (int i = 0; i < count; ++i) {
        if (headers[i].p_type != PT_GNU_RELRO) continue;
        const std::uintptr_t start = (base + headers[i].p_vaddr) & ~(page - 1);
        const std::uintptr_t end = (base + headers[i].p_vaddr + headers[i].p_memsz) & ~(page - 1);
        if (end > start) mprotect(reinterpret_cast<void*>(start), end - start, PROT_READ);
    }
}

int rewriteObject(const dl_phdr_info& object) {
    const ElfW(Dyn)* dynamic = nullptr;
    for (int i = 0; i < object.dlpi_phnum; ++i) {
        if (object.dlpi_phdr[i].p_type == PT_DYNAMIC) {
            dynamic = reinterpret_cast<const ElfW(Dyn)*>(object.dlpi_addr + object.dlpi_phdr[i].p_vaddr);
        }
    }
    if (!dynamic) return 0;
    const dynamic_info info = readDynamic(object.dlpi_addr, dynamic);
    if (!info.symbols || !info.names) return 0;
    object_slots slots{object.dlpi_addr, info};
    for (int t = 0; t < 2; ++t) {
        if (!info.tables[t]) continue;
#  if defined(__x86_64__) || defined(__aarch64__)
        slots.rewrite<ElfW(Rela)>(info.tables[t], info.sizes[t]);
#  else
        slots.rewrite<ElfW(Rel)>(info.tables[t], info.sizes[t]);
#  endif
    }
    protectAgain(object.dlpi_addr, object.dlpi_phdr, object.dlpi_phnum);
    return slots.rewritten;
}

struct file_search {
    const struct stat* wanted;
    bool found = false;
};

struct new_objects {
    const std::vector<std::uintptr_t>* before;
    int rewritten = 0;
};

}  // namespace

std::vector<std::uintptr_t> loadedObjects() {
    std::vector<std::uintptr_t> bases;
    dl_iterate_phdr(
        [](dl_phdr_info* object, size_t, void* data) {
            static_cast<std::vector<std::uintptr_t>*>(data)->push_back(object->dlpi_addr);
            return 0;
        },
        &bases);
    return bases;
}

bool isLoaded(const std::string& path) {
    struct stat wanted {};
    if (stat(path.c_str(), &wanted) != 0) return false;
    file_search search{&wanted};
    dl_iterate_phdr(
        [](dl_phdr_info* object, size_t, void* data) {
            auto& s = *static_cast<file_search*>(data);
            struct stat seen {};
            if (object->dlpi_name && *object->dlpi_name && stat(object->dlpi_name, &seen) == 0 &&
                seen.st_dev == s.wanted->st_dev && seen.st_ino == s.wanted->st_ino) {
                s.found = true;
            }
            return 0;
        },
        &search);
    return search.found;
}

int watchAllocations(const std::vector<std::uintptr_t>& before) {
    new_objects found{&before};
    dl_iterate_phdr(
        [](dl_phdr_info* object, size_t, void* data) {
            auto& found = *static_cast<new_objects*>(data);
            const auto& known = *found.before;
            if (std::find(known.begin(), known.end(), object->dlpi_addr) == known.end()) {
                found.rewritten += rewriteObject(*object);
            }
            return 0;
        },
        &found);
    return found.rewritten;
}

// The loader runs a new object's constructors before dlopen returns: what they take with the
// C functions is not seen; what they take with operator new is, by the host's own.
int watchAllocationsOfLoad(const std::vector<std::uintptr_t>& before, const std::function<bool()>& load) {
    return load() ? watchAllocations(before) : 0;
}

}  // namespace module_imports

#elif defined(_WIN32)
#  include <windows.h>
#  include <psapi.h>

#  include <algorithm>
#  include <cctype>

#  include "module_allocator.h"

namespace module_imports {
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
    if (!K32EnumProcessModules(GetCurrentProcess(), modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                               &needed)) {
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

}  // namespace module_imports

#else

namespace module_imports {

std::vector<std::uintptr_t> loadedObjects() {
    return {};
}

int watchAllocations(const std::vector<std::uintptr_t>&) {
    return 0;
}

int watchAllocationsOfLoad(const std::vector<std::uintptr_t>&, const std::function<bool()>& load) {
    load();
    return 0;
}

bool isLoaded(const std::string&) {
    return false;
}

}  // namespace module_imports

#endif
