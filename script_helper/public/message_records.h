#pragma once
// The wrappers through which handlers read what the host hands in, and the parameter-request
// record that the module builds itself.
#include "vorn_records.h"
#include "vorn_string.h"

// A host pointer that the module passes on to a handler without reading it.
class host_record {
public:
    explicit host_record(void* pointer) : m_pointer(pointer) {}
    void* pointer() const { return m_pointer; }

private:
    void* m_pointer;
};

// A control event from the host. The record is the host's and is read only during the call
// that delivered it. Every accessor returns a new text; a null text in the record, or a null
// event, reads as the empty text.
class control_event {
public:
    explicit control_event(const host_control_event& record) : m_record(&record) {}

    vorn_string panel() const;
    vorn_string id() const;
    vorn_string command() const;
    vorn_string value() const;

    // The same texts read in place, for a script that only compares them or reads a number:
    // each answers as the string library's operator would on the accessor's copy.
    bool panelDenotes(int number) const;    // panel() == number
    bool idEquals(const char* text) const;  // id() == text
    int idNumber() const;                   // int(id())
    int valueNumber() const;                // int(value())

private:
    const char* eventValue() const;

    const host_control_event* m_record;
};

// A parameter request, read through the parsed record of its text.
class parameter_request {
public:
    explicit parameter_request(const parsed_message& message) : m_message(&message) {}

    vorn_string command() const;
    vorn_string value() const;

    // The same texts read in place, answering as the string library's operators would on the
    // accessors' copies.
    bool commandEquals(const char* text) const;  // command() == text
    int valueNumber() const;                     // int(value())

private:
    const parsed_message* m_message;
};

// A parsed_message built from a text, owning its copy of the text until it goes.
// Texts shorter than kInlineText characters are copied into the object itself.
class owned_parsed_message {
public:
    explicit owned_parsed_message(const char* text);
    ~owned_parsed_message();
    owned_parsed_message(const owned_parsed_message&) = delete;
    owned_parsed_message& operator=(const owned_parsed_message&) = delete;

    const parsed_message& record() const { return m_record; }

    static const unsigned kInlineText = 64;

private:
    void copyText(const char* text, unsigned length);
    void splitBuffer(unsigned length);

    parsed_message m_record;
    char m_inline[kInlineText];
};
