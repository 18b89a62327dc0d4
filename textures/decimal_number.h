// std::from_chars for double (general format) made of strtod, for C++ libraries that lack it (the web
// build's). Same text, same answers: digits, one leading '-', '.', an exponent; anything else ends the
// number; no '+' in front, no spaces, no "inf" or "nan", no hexadecimal. A value too large or too
// small to hold is result_out_of_range with the end of its text, and leaves value as it was.
#pragma once

#include <charconv>

std::from_chars_result ReadDecimalNumber(const char* first, const char* last, double& value);
