#pragma once
// The boundary's vocabulary, shared by every side of it: the words that begin the commands a
// script sends, the shape of each command's fields, the number that codes 4 and 7 carry in the
// pointer itself.
// Constants and one-line helpers only; a host's parser and a script's senders each stay their
// own, and their tests assert the literal wire text, so a wrong word here is still caught.
#include <cstdint>

#include "vorn_client_callback.h"

// The commands a script sends with hostCommand code 0, one line each: the word, then its fields,
// each after one blank. A field's shape is one letter: 'q', in single quotes, its text inserted
// as it is; 'b', bare, a decimal number or a truth value ("0" or "1").
struct vorn_command_shape {
    const char* word;
    const char* fields;           // the shape of the fields, in order
    const char* fieldsWithExtra;  // a second shape the command may take, or null
};

// "PS 'panel' 'file'" or "PS 'panel' 'file' 'extra'": show a panel from a panel file.
constexpr vorn_command_shape kPanelShowCommand = {"PS", "qq", "qqq"};
// "TP 'property=value' 'panel' 'control'": put a property on a control.
constexpr vorn_command_shape kTextPutCommand = {"TP", "qqq", nullptr};
// "RC device source destination ',extra' flag": connect a router source to a destination.
constexpr vorn_command_shape kRouterConnectCommand = {"RC", "bbbqb", nullptr};
// "ET timer": stop a timer.
constexpr vorn_command_shape kTimerStopCommand = {"ET", "b", nullptr};
// "AS": the script's last command, sent as it is deleted.
constexpr vorn_command_shape kHostDetachCommand = {"AS", "", nullptr};
// "TG 'panel' 'control' 'property'": read a property back; the reply is the host's.
constexpr vorn_command_shape kTextGetCommand = {"TG", "qqq", nullptr};
// "XI 'panel' 'filter'": list a panel's controls; the reply is the host's.
constexpr vorn_command_shape kControlIdListCommand = {"XI", "qq", nullptr};

// Whether `format` (a command text, or a format for one) begins with `command`'s word and then a
// blank or its end: for static_assert beside each format.
constexpr bool beginsWithWord(const char* format, const vorn_command_shape& command) {
    const char* word = command.word;
    while (*word && *format == *word) ++format, ++word;
    return !*word && (*format == ' ' || *format == '\0');
}

// Codes 4 (timer) and 7 (word) carry a number in the pointer itself, not a pointer to one.
inline int vorn_number_in(void* param) {
    return static_cast<int>(reinterpret_cast<intptr_t>(param));
}
inline void* vorn_param_carrying(intptr_t number) {
    return reinterpret_cast<void*>(number);
}
