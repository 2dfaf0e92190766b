// ELF systems: the relocation entries of each new object name the slots to rewrite.
#include "module_imports.h"

#include <elf.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "module_allocator.h"

namespace vorn_host::module_imports {
namespace {

#if defined(__x86_64__)
const unsigned kSlotTypes[] = {R_X86_64_JUMP_SLOT, R_X86_64_GLOB_DAT};
#elif defined(__i386__)
const unsigned kSlotTypes[] = {R_386_JMP_SLOT, R_386_GLOB_DAT};
#elif defined(__aarch64__)
const unsigned kSlotTypes[] = {R_AARCH64_JUMP_SLOT, R_AARCH64_GLOB_DAT};
#else
const unsigned kSlotTypes[] = {};
#endif

#if defined(__LP64__)
unsigned relocationType(ElfW(Xword) info) {
    return ELF64_R_TYPE(info);
}
unsigned relocationSymbol(ElfW(Xword) info) {
    return ELF64_R_SYM(info);
}
#else
unsigned relocationType(ElfW(Word) info) {
    return ELF32_R_TYPE(info);
}
unsigned relocationSymbol(ElfW(Word) info) {
    return ELF32_R_SYM(info);
}
#endif

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
        case DT_SYMTAB:
            info.symbols = reinterpret_cast<const ElfW(Sym)*>(absolute(base, d->d_un.d_ptr));
            break;
        case DT_STRTAB:
            info.names = reinterpret_cast<const char*>(absolute(base, d->d_un.d_ptr));
            break;
        case DT_JMPREL:
            info.tables[0] = absolute(base, d->d_un.d_ptr);
            break;
        case DT_PLTRELSZ:
            info.sizes[0] = d->d_un.d_val;
            break;
        case DT_PLTREL:
            info.withAddends = d->d_un.d_val == DT_RELA;
            break;
        case DT_REL:
        case DT_RELA:
            info.tables[1] = absolute(base, d->d_un.d_ptr);
            break;
        case DT_RELSZ:
        case DT_RELASZ:
            info.sizes[1] = d->d_un.d_val;
            break;
        default:
            break;
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
            void* function =
                symbol ? module_allocator::watchedFormOf(info.names + info.symbols[symbol].st_name) : nullptr;
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
#if defined(__x86_64__) || defined(__aarch64__)
        slots.rewrite<ElfW(Rela)>(info.tables[t], info.sizes[t]);
#else
        slots.rewrite<ElfW(Rel)>(info.tables[t], info.sizes[t]);
#endif
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

}  // namespace vorn_host::module_imports
