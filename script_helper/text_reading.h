#pragma once
// Reading host texts in place, the way the string library reads them, for texts that are only
// compared or turned into numbers: no copy is made. Each gives what the library's operator
// gives on a vorn_string of the same text (tests hold the two together).

// As vorn_string::toInt: optional blanks, an optional sign, decimal digits up to the first
// non-digit; no digits gives 0; values beyond 32 bits saturate. A null text gives 0.
int textNumber(const char* text);

// As operator==(vorn_string, int): the whole text is an optional sign and digits that denote
// `number`. A null text denotes nothing.
bool textDenotes(const char* text, int number);

// As operator==(vorn_string, const char*): byte-for-byte equality; null is the empty text.
bool textEquals(const char* text, const char* other);
