// Windows has no ELF definitions: ELF files are read by the Linux build only.
#include "elf_exports.h"

namespace vorn_host {

std::optional<std::vector<std::string>> elfExportedSymbols(const std::string&, std::string& error) {
    error = "exports are read from Linux builds only";
    return std::nullopt;
}

}  // namespace vorn_host
