// Windows' side of the ELF export reader: there is none, and a caller is told so rather than
// given an empty list, which would read as a module that exports nothing.
#include <gtest/gtest.h>

#include <string>

#include "elf_exports.h"
#include "written_file.h"

using namespace vorn_host;

namespace {

TEST(ElfExports, ElfExportsAreReadByTheLinuxBuildOnly) {
    std::string error;
    EXPECT_FALSE(elfExportedSymbols(writtenFile("any.so",
                                                "\x7f"
                                                "ELF"),
                                    error)
                     .has_value());
    EXPECT_EQ(error, "exports are read from Linux builds only");
}

}  // namespace
