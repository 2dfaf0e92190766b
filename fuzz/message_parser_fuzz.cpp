// The request parser on any text: every field stays inside the record's copy or is the empty
// text, and the record's own rules hold.
#include <cstdint>
#include <cstring>
#include <string>

#include "message_records.h"

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

// The field points at a NUL-terminated text inside the buffer, or at an empty text.
void requireField(const char* field, const char* buffer, size_t length) {
    require(field != nullptr);
    if (buffer && field >= buffer && field <= buffer + length) {
        require(std::strlen(field) <= static_cast<size_t>(buffer + length - field));
    } else {
        require(*field == '\0');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    owned_parsed_message message(text.c_str());
    const parsed_message& record = message.record();
    const size_t length = std::strlen(text.c_str());

    require(record.partCount >= 0 && record.partCount <= kMaxMessageParts);
    require((record.buffer == nullptr) == (length == 0));
    requireField(record.command, record.buffer, length);
    requireField(record.value, record.buffer, length);
    for (const char* part : record.parts) requireField(part, record.buffer, length);
    if (record.hasValue) require(std::strchr(text.c_str(), '=') != nullptr);
    if (record.partCount < kMaxMessageParts && !std::strchr(text.c_str(), '=')) require(!record.hasValue);
    return 0;
}
