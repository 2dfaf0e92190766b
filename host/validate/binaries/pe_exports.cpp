#include "pe_exports.h"

#include <cstdint>
#include <set>

#include "file_bytes.h"

namespace vorn_host {

namespace {

const uint16_t kPe32 = 0x10b;
const uint16_t kPe32Plus = 0x20b;
const uint32_t kLfanewAt = 0x3c;
const uint32_t kCoffHeaderSize = 20;
const uint32_t kSectionSize = 40;

struct section {
    uint32_t virtualSize, virtualAddress, rawSize, rawOffset;
};

// Where an address of the loaded image lies in the file; 0 when no section holds it.
uint64_t fileOffset(const std::vector<section>& sections, uint32_t rva) {
    for (const section& s : sections) {
        const uint32_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent)
            return uint64_t(rva) - s.virtualAddress + s.rawOffset;
    }
    return 0;
}

}  // namespace

std::optional<std::vector<std::string>> peExportedSymbols(const std::string& path, std::string& error) {
    const file_bytes file = file_bytes::of(path);
    uint32_t peAt = 0, signature = 0;
    uint16_t sectionCount = 0, optionalSize = 0, magic = 0;
    if (!file.read(kLfanewAt, peAt) || !file.read(peAt, signature) || signature != 0x00004550) {
        return error = kNotAPeImage, std::nullopt;
    }
    const uint64_t coff = uint64_t(peAt) + 4, optional = coff + kCoffHeaderSize;
    if (!file.read(coff + 2, sectionCount) || !file.read(coff + 16, optionalSize) || !file.read(optional, magic) ||
        (magic != kPe32 && magic != kPe32Plus)) {
        return error = "a PE image without a header this can read", std::nullopt;
    }
    // The export table is the first data directory.
    const uint64_t directories = optional + (magic == kPe32 ? 96 : 112);
    uint32_t directoryCount = 0, exportRva = 0;
    if (!file.read(directories - 4, directoryCount) || !file.read(directories, exportRva)) {
        return error = "a truncated PE header", std::nullopt;
    }
    std::vector<section> sections;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        const uint64_t at = optional + optionalSize + uint64_t(i) * kSectionSize;
        section s{};
        if (!file.read(at + 8, s.virtualSize) || !file.read(at + 12, s.virtualAddress) ||
            !file.read(at + 16, s.rawSize) || !file.read(at + 20, s.rawOffset)) {
            return error = "a truncated section table", std::nullopt;
        }
        sections.push_back(s);
    }
    std::vector<std::string> names;
    if (directoryCount == 0 || exportRva == 0) return names;
    const uint64_t table = fileOffset(sections, exportRva);
    uint32_t base = 0, functionCount = 0, nameCount = 0, functionsRva = 0, namesRva = 0, ordinalsRva = 0;
    if (!table || !file.read(table + 16, base) || !file.read(table + 20, functionCount) ||
        !file.read(table + 24, nameCount) || !file.read(table + 28, functionsRva) || !file.read(table + 32, namesRva) ||
        !file.read(table + 36, ordinalsRva)) {
        return error = "an export table outside the file", std::nullopt;
    }
    std::set<uint32_t> named;
    for (uint32_t i = 0; i < nameCount && i < file.size(); ++i) {
        uint32_t nameRva = 0;
        uint16_t ordinal = 0;
        if (!file.read(fileOffset(sections, namesRva) + 4 * uint64_t(i), nameRva) ||
            !file.read(fileOffset(sections, ordinalsRva) + 2 * uint64_t(i), ordinal)) {
            return error = "an export name table outside the file", std::nullopt;
        }
        names.push_back(file.textAt(fileOffset(sections, nameRva)));
        named.insert(ordinal);
    }
    for (uint32_t i = 0; i < functionCount && i < file.size(); ++i) {
        uint32_t address = 0;
        if (!file.read(fileOffset(sections, functionsRva) + 4 * uint64_t(i), address)) break;
        if (address != 0 && !named.count(i)) names.push_back("#" + std::to_string(base + i));
    }
    return names;
}

}  // namespace vorn_host
