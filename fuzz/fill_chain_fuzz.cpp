// The one-pass filler against the string library's chain of single fills: for any format and up
// to nine fields that cannot hold or make a placeholder, filling in one pass gives exactly
// format.arg(f1).arg(f2)...
#include <cstdint>
#include <string>
#include <vector>

#include "filled_text.h"
#include "fuzz_input.h"
#include "vorn_string.h"

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

// A field that no chain can read a placeholder in, or make one with: no '%', no leading digit,
// and, where the format has a '%' that a field may follow ("%%1"), not empty either.
std::string inert(const std::string& text, bool mayBeEmpty) {
    std::string out;
    for (char c : text) {
        if (c != '%' && c != '\0') out += c;
    }
    if ((!out.empty() && out[0] >= '0' && out[0] <= '9') || (out.empty() && !mayBeEmpty)) out.insert(out.begin(), 'x');
    return out;
}

std::string filledOnce(const std::string& format, const std::vector<std::string>& fields) {
    std::vector<text_view> views;
    for (const std::string& field : fields) views.emplace_back(field.c_str());
    switch (views.size()) {
    case 0:
        return filled_text(format.c_str(), {}).text();
    case 1:
        return filled_text(format.c_str(), {views[0]}).text();
    case 2:
        return filled_text(format.c_str(), {views[0], views[1]}).text();
    case 3:
        return filled_text(format.c_str(), {views[0], views[1], views[2]}).text();
    case 4:
        return filled_text(format.c_str(), {views[0], views[1], views[2], views[3]}).text();
    case 5:
        return filled_text(format.c_str(), {views[0], views[1], views[2], views[3], views[4]}).text();
    case 6:
        return filled_text(format.c_str(), {views[0], views[1], views[2], views[3], views[4], views[5]}).text();
    case 7:
        return filled_text(format.c_str(), {views[0], views[1], views[2], views[3], views[4], views[5], views[6]})
            .text();
    case 8:
        return filled_text(format.c_str(),
                           {views[0], views[1], views[2], views[3], views[4], views[5], views[6], views[7]})
            .text();
    default:
        return filled_text(format.c_str(),
                           {views[0], views[1], views[2], views[3], views[4], views[5], views[6], views[7], views[8]})
            .text();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_input input(data, size);
    std::string format = input.text();
    format = format.substr(0, format.find('\0'));
    const unsigned count = input.byte() % 10;
    std::vector<std::string> fields;
    const bool mayBeEmpty = format.find("%%") == std::string::npos;
    for (unsigned i = 0; i < count; ++i) fields.push_back(inert(input.text(), mayBeEmpty));

    vorn_string chained(format.c_str());
    for (const std::string& field : fields) chained = chained.arg(vorn_string(field.c_str()));
    require(filledOnce(format, fields) == std::string(chained));
    return 0;
}
