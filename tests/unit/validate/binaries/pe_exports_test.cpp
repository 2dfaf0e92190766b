// The PE export reader, on DLL images laid out by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pe_exports.h"
#include "written_file.h"

using namespace vorn_host;

namespace {

// A DLL's header read from its bytes: what is not one, and one this reader cannot read, are
// told apart, and neither is read past its end.
TEST(PeExports, HeadersThatAreNoneOrUnreadableAreRefused) {
    std::string error;
    EXPECT_FALSE(peExportedSymbols(writtenFile("plain.txt", "no image at all"), error));
    EXPECT_EQ(error, kNotAPeImage);

    std::string image(0x200, '\0');
    image.replace(0, 2, "MZ");
    image[0x3c] = static_cast<char>(0x80);  // the PE header is at 0x80
    image.replace(0x80, 4, std::string("PE\0\0", 4));
    image[0x80 + 4 + 2] = 1;                         // one section
    image[0x80 + 4 + 16] = static_cast<char>(0xe0);  // the optional header's size
    image[0x80 + 24] = 0x34;                         // a magic that is neither PE32 nor PE32+
    image[0x80 + 25] = 0x12;
    error.clear();
    EXPECT_FALSE(peExportedSymbols(writtenFile("odd_magic.dll", image), error));
    EXPECT_EQ(error, "a PE image without a header this can read");

    error.clear();
    EXPECT_FALSE(peExportedSymbols(writtenFile("cut_short.dll", image.substr(0, 0x80 + 8)), error));
    EXPECT_EQ(error, "a PE image without a header this can read");
}

// A 32-bit DLL as a linker lays it out, cut down to what the export reader reads: one section
// at 0x1000 holding an export table with two named functions and one by ordinal alone.
std::string smallDll() {
    std::string image(0x400, '\0');
    const auto put16 = [&](size_t at, uint16_t v) { image[at] = char(v & 0xff), image[at + 1] = char(v >> 8); };
    const auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) image[at + size_t(i)] = char((v >> (8 * i)) & 0xff);
    };
    const size_t pe = 0x40, optional = pe + 24, sectionTable = optional + 0xe0, raw = 0x200;
    const auto rva = [&](size_t fileOffset) { return uint32_t(fileOffset - raw + 0x1000); };
    image.replace(0, 2, "MZ");
    put32(0x3c, pe);
    image.replace(pe, 4, std::string("PE\0\0", 4));
    put16(pe + 4, 0x14c);  // i386
    put16(pe + 6, 1);      // one section
    put16(pe + 20, 0xe0);  // the optional header's size
    put16(optional, 0x10b);
    put32(optional + 92, 16);          // data directories
    put32(optional + 96, rva(raw));    // the export table
    put32(sectionTable + 8, 0x200);    // virtual size
    put32(sectionTable + 12, 0x1000);  // virtual address
    put32(sectionTable + 16, 0x200);   // raw size
    put32(sectionTable + 20, uint32_t(raw));
    const size_t functions = raw + 0x40, names = raw + 0x50, ordinals = raw + 0x60, text = raw + 0x80;
    put32(raw + 16, 1);  // ordinal base
    put32(raw + 20, 3);  // functions
    put32(raw + 24, 2);  // names
    put32(raw + 28, rva(functions));
    put32(raw + 32, rva(names));
    put32(raw + 36, rva(ordinals));
    for (uint32_t f = 0; f < 3; ++f) put32(functions + 4 * f, 0x1100 + f);
    put32(names, rva(text));
    put32(names + 4, rva(text + 0x20));
    put16(ordinals, 0);
    put16(ordinals + 2, 2);
    image.replace(text, 23, "load_vorn_client_script");
    image.replace(text + 0x20, 5, "extra");
    return image;
}

TEST(PeExports, AnExportTableOutsideTheFileIsRefused) {
    std::string image = smallDll();
    const size_t sectionTable = 0x40 + 24 + 0xe0;
    image[sectionTable + 21] = 0x40;  // the section's bytes said to start at 0x4000, past the end
    std::string error;
    EXPECT_FALSE(peExportedSymbols(writtenFile("table_outside.dll", image), error));
    EXPECT_EQ(error, "an export table outside the file");
}

TEST(PeExports, NamedAndOrdinalOnlyExportsAreRead) {
    std::string error;
    const auto names = peExportedSymbols(writtenFile("small.dll", smallDll()), error);
    ASSERT_TRUE(names) << error;
    EXPECT_EQ(*names, (std::vector<std::string>{"load_vorn_client_script", "extra", "#2"}));
}

// An address just past one section's end belongs to the next: a section ending where the export
// table's begins must not claim it.
TEST(PeExports, AnAddressAtASectionsEndIsInTheNextSection) {
    std::string image = smallDll();
    const size_t pe = 0x40, sectionTable = pe + 24 + 0xe0, sectionSize = 40;
    image.replace(sectionTable + sectionSize, sectionSize, image.substr(sectionTable, sectionSize));
    std::string before(sectionSize, '\0');
    before[8 + 1] = 0x08;   // virtual size 0x800
    before[12 + 1] = 0x08;  // at 0x800: it ends at 0x1000, where the export table's section begins
    before[20 + 1] = 0x01;  // its bytes at 0x100, so 0x1000 read as its would lie past the file
    image.replace(sectionTable, sectionSize, before);
    image[pe + 6] = 2;
    std::string error;
    const auto names = peExportedSymbols(writtenFile("two_sections.dll", image), error);
    ASSERT_TRUE(names) << error;
    EXPECT_EQ(*names, (std::vector<std::string>{"load_vorn_client_script", "extra", "#2"}));
}

// Only as many sections as the header counts are read: a section table that ends where the
// file ends is whole.
TEST(PeExports, ASectionTableAtTheFilesEndIsWhole) {
    std::string image = smallDll();
    const size_t pe = 0x40, optional = pe + 24, sectionTable = optional + 0xe0, sectionSize = 40;
    const size_t movedTable = image.size() - sectionSize;
    image.replace(movedTable, sectionSize, image.substr(sectionTable, sectionSize));
    const size_t optionalSize = movedTable - optional;
    image[pe + 20] = static_cast<char>(optionalSize & 0xff);
    image[pe + 21] = static_cast<char>(optionalSize >> 8);
    std::string error;
    const auto names = peExportedSymbols(writtenFile("table_at_the_end.dll", image), error);
    ASSERT_TRUE(names) << error;
    EXPECT_EQ(names->size(), 3u);
}

}  // namespace
