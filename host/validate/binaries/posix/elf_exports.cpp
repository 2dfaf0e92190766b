#include "elf_exports.h"

#include <cstdint>
#include <cstring>

#include <elf.h>

#include "file_bytes.h"

namespace vorn_host {

namespace {

// Defined, global or weak, default-visible symbols of the file's .dynsym.
template <typename Ehdr, typename Shdr, typename Sym, unsigned char (*Bind)(unsigned char)>
std::optional<std::vector<std::string>> exported(const file_bytes& file, std::string& error) {
    Ehdr header;
    if (!file.read(0, header)) return error = "truncated ELF header", std::nullopt;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        Shdr section;
        if (!file.read(header.e_shoff + uint64_t(i) * header.e_shentsize, section)) break;
        if (section.sh_type != SHT_DYNSYM) continue;
        Shdr strings;
        if (!file.read(header.e_shoff + uint64_t(section.sh_link) * header.e_shentsize, strings)) break;
        std::vector<std::string> names;
        for (uint64_t at = 0; at + sizeof(Sym) <= section.sh_size; at += sizeof(Sym)) {
            Sym symbol;
            if (!file.read(section.sh_offset + at, symbol)) break;
            const unsigned char bind = Bind(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK && bind != STB_GNU_UNIQUE))
                continue;
            if ((symbol.st_other & 3) != STV_DEFAULT) continue;
            const uint64_t name = strings.sh_offset + symbol.st_name;
            if (name >= file.size()) continue;
            names.push_back(file.textAt(name));
        }
        return names;
    }
    error = "no dynamic symbol table";
    return std::nullopt;
}

unsigned char bind32(unsigned char info) {
    return ELF32_ST_BIND(info);
}
unsigned char bind64(unsigned char info) {
    return ELF64_ST_BIND(info);
}

}  // namespace

std::optional<std::vector<std::string>> elfExportedSymbols(const std::string& path, std::string& error) {
    const file_bytes file = file_bytes::of(path);
    if (file.size() < EI_NIDENT || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0) {
        error = "not an ELF file";
        return std::nullopt;
    }
    if (file.data()[EI_CLASS] == ELFCLASS64) return exported<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym, bind64>(file, error);
    return exported<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym, bind32>(file, error);
}

}  // namespace vorn_host
