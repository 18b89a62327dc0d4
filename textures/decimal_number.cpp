// strtod in the shape of std::from_chars (see decimal_number.h).
#include "textures/decimal_number.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

std::from_chars_result ReadDecimalNumber(const char* first, const char* last, double& value)
{
    // Only what from_chars could read is handed on, so strtod sees no '+', space, 'x', "inf" or "nan";
    // a '+' or '-' past the first character only appears after an exponent's 'e'.
    const char* stop = first;
    while (stop != last && std::string_view("0123456789+-.eE").find(*stop) != std::string_view::npos)
        ++stop;
    if (first == stop || *first == '+')
        return {first, std::errc::invalid_argument};
    const std::string text(first, stop);
    char* end = nullptr;
    errno = 0;
    const double read = std::strtod(text.c_str(), &end);
    const char* after = first + (end - text.c_str());
    if (end == text.c_str())
        return {first, std::errc::invalid_argument};
    // strtod flags results that lose precision below the normal range too; from_chars keeps those.
    if (errno == ERANGE && (std::isinf(read) || read == 0.0))
        return {after, std::errc::result_out_of_range};
    value = read;
    return {after, std::errc()};
}
