// The ELF export reader, on files made wrong on purpose.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include <elf.h>
#include <link.h>

#include "elf_exports.h"
#include "written_file.h"

using namespace vorn_host;

namespace {

// A real module's bytes and its ELF header, for a test to change.
struct real_module {
    real_module() {
        std::ifstream in(VORN_AN_ELF_MODULE, std::ios::binary);
        bytes.assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.size() >= sizeof header) std::memcpy(&header, bytes.data(), sizeof header);
    }
    bool whole() const { return bytes.size() > sizeof header; }
    // Where section header `index` lies in the file.
    std::uint64_t sectionAt(unsigned index) const { return header.e_shoff + std::uint64_t(index) * header.e_shentsize; }

    std::string bytes;
    ElfW(Ehdr) header{};
};

// A file that claims to be an ELF object with its section table far beyond its end: the
// reader must refuse it, not read past the bytes it has.
TEST(ElfExports, AHeaderPointingBeyondTheFileIsRefused) {
    std::string bytes(64, '\0');
    bytes.replace(0, 4,
                  "\x7f"
                  "ELF");
    bytes[4] = 2;                                                         // 64-bit
    bytes[5] = 1;                                                         // little-endian
    for (int i = 0; i < 8; ++i) bytes[40 + i] = static_cast<char>(0x7f);  // e_shoff, far away
    bytes[58] = 64;                                                       // e_shentsize
    bytes[60] = 1;                                                        // e_shnum
    const std::string path = ::testing::TempDir() + "beyond_the_end.so";
    std::ofstream(path, std::ios::binary) << bytes;
    std::string error;
    const auto names = elfExportedSymbols(path, error);
    EXPECT_TRUE(!names || names->empty()) << error;
}

// A real module whose dynamic symbol names are made to lie far past the file's end: they are left
// out, never read from where the file is not.
TEST(ElfExports, NamesPastTheFileAreLeftOut) {
    real_module module;
    ASSERT_TRUE(module.whole());
    std::string& bytes = module.bytes;
    const ElfW(Ehdr)& header = module.header;
    const auto sectionAt = [&](unsigned index) { return module.sectionAt(index); };
    bool moved = false;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        ElfW(Shdr) section;
        std::memcpy(&section, bytes.data() + sectionAt(i), sizeof section);
        if (section.sh_type != SHT_DYNSYM) continue;
        ElfW(Shdr) names;
        std::memcpy(&names, bytes.data() + sectionAt(section.sh_link), sizeof names);
        names.sh_offset = std::uint64_t{1} << (sizeof(void*) == 8 ? 40 : 30);
        std::memcpy(&bytes[sectionAt(section.sh_link)], &names, sizeof names);
        moved = true;
    }
    ASSERT_TRUE(moved);
    std::string error;
    const auto symbols = elfExportedSymbols(writtenFile("names_past_the_end.so", bytes), error);
    ASSERT_TRUE(symbols) << error;
    EXPECT_TRUE(symbols->empty());
}

// Only the section headers the ELF header counts are read: a real module whose count stops just
// before its dynamic symbol table has none, though the table's header still lies in the file.
TEST(ElfExports, OnlyTheCountedSectionHeadersAreRead) {
    real_module module;
    ASSERT_TRUE(module.whole());
    std::string& bytes = module.bytes;
    ElfW(Ehdr)& header = module.header;
    unsigned dynsym = header.e_shnum;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        ElfW(Shdr) section;
        std::memcpy(&section, bytes.data() + module.sectionAt(i), sizeof section);
        if (section.sh_type == SHT_DYNSYM) dynsym = i;
    }
    ASSERT_LT(dynsym, header.e_shnum);
    header.e_shnum = static_cast<decltype(header.e_shnum)>(dynsym);
    std::memcpy(&bytes[0], &header, sizeof header);
    std::string error;
    EXPECT_FALSE(elfExportedSymbols(writtenFile("dynsym_not_counted.so", bytes), error));
    EXPECT_EQ(error, "no dynamic symbol table");
}

// The factory's symbol in a real module, with its binding made each of the ELF bindings in turn:
// global, weak and GNU unique symbols are exported, local ones are not.
TEST(ElfExports, GlobalWeakAndUniqueSymbolsAreExportedAndLocalOnesAreNot) {
    const real_module module;
    ASSERT_TRUE(module.whole());
    const std::string& original = module.bytes;
    const ElfW(Ehdr)& header = module.header;
    const auto sectionAt = [&](unsigned index) { return module.sectionAt(index); };
    // Where the factory's symbol lies in the file.
    std::uint64_t factoryAt = 0;
    for (unsigned i = 0; i < header.e_shnum && !factoryAt; ++i) {
        ElfW(Shdr) section;
        std::memcpy(&section, original.data() + sectionAt(i), sizeof section);
        if (section.sh_type != SHT_DYNSYM) continue;
        ElfW(Shdr) names;
        std::memcpy(&names, original.data() + sectionAt(section.sh_link), sizeof names);
        for (std::uint64_t at = 0; at + sizeof(ElfW(Sym)) <= section.sh_size; at += sizeof(ElfW(Sym))) {
            ElfW(Sym) symbol;
            std::memcpy(&symbol, original.data() + section.sh_offset + at, sizeof symbol);
            if (std::string(original.data() + names.sh_offset + symbol.st_name) == "load_vorn_client_script") {
                factoryAt = section.sh_offset + at;
            }
        }
    }
    ASSERT_NE(factoryAt, 0u);
    const struct {
        unsigned char bind;
        bool exported;
    } bindings[] = {{STB_GLOBAL, true}, {STB_WEAK, true}, {STB_GNU_UNIQUE, true}, {STB_LOCAL, false}};
    for (const auto& binding : bindings) {
        std::string bytes = original;
        ElfW(Sym) symbol;
        std::memcpy(&symbol, bytes.data() + factoryAt, sizeof symbol);
        symbol.st_info = static_cast<unsigned char>((binding.bind << 4) | (symbol.st_info & 0xf));
        std::memcpy(&bytes[factoryAt], &symbol, sizeof symbol);
        std::string error;
        const auto symbols = elfExportedSymbols(writtenFile("bound.so", bytes), error);
        ASSERT_TRUE(symbols) << error;
        const bool listed = std::find(symbols->begin(), symbols->end(), "load_vorn_client_script") != symbols->end();
        EXPECT_EQ(listed, binding.exported) << "binding " << int(binding.bind);
    }
}

}  // namespace
