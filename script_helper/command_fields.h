#pragma once
// Building command texts field by field.
#include "command_texts.h"
#include "vorn_string.h"

// Closes the quoted field before and appends `field` as the next one: ... ' 'field
inline void appendQuotedField(vorn_string& text, const vorn_string& field) {
    text += kFieldSeparator;
    text += field;
}
