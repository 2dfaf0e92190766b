// Splitting a text of the form command.part.part=value into a parsed_message.
#include "message_records.h"

#include <cstring>

namespace {

// Every text pointer the parser does not fill points here. Whether the command has been
// found is a test of identity with this text.
const char kUnfilledText[] = "";

}  // namespace

owned_parsed_message::owned_parsed_message(const char* text) {
    m_record.command = kUnfilledText;
    for (const char*& part : m_record.parts) part = kUnfilledText;
    m_record.value = kUnfilledText;
    m_record.partCount = 0;
    m_record.hasValue = false;
    m_record.buffer = nullptr;

    const unsigned length = text ? static_cast<unsigned>(std::strlen(text)) : 0;
    if (length == 0) return;
    copyText(text, length);
    // The command is the text up to the first '.' or '=', which the walk ends with a NUL.
    m_record.command = m_record.buffer;
    splitBuffer(length);
}

owned_parsed_message::~owned_parsed_message() {
    if (m_record.buffer != m_inline) delete[] m_record.buffer;
}

void owned_parsed_message::copyText(const char* text, unsigned length) {
    m_record.buffer = length < kInlineText ? m_inline : new char[length + 1];
    std::memcpy(m_record.buffer, text, length);
    m_record.buffer[length] = '\0';
}

// Walks the copy once: every '.' ends a field and starts the next part, the first '=' ends
// the walk and starts the value. After 32 parts the last one keeps the rest of the text.
void owned_parsed_message::splitBuffer(unsigned length) {
    char* buffer = m_record.buffer;
    for (unsigned i = 0; i < length && m_record.partCount < kMaxMessageParts; ++i) {
        if (buffer[i] == '.') {
            buffer[i] = '\0';
            m_record.parts[m_record.partCount++] = buffer + i + 1;
        } else if (buffer[i] == '=') {
            buffer[i] = '\0';
            m_record.hasValue = true;
            m_record.value = buffer + i + 1;
            return;
        }
    }
}
