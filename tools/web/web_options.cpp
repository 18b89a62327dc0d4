// The page's command line (see web_options.h).
#include "tools/web/web_options.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A whole number from first to last within [low, high].
bool ParseWhole(const std::string& text, long low, long high, long& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= low && value <= high;
}

bool ParseTimes(const std::string& text, std::vector<std::int32_t>& times)
{
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find(',', at);
        if (end == std::string::npos)
            end = text.size();
        long time = 0;
        if (!ParseWhole(text.substr(at, end - at), 0, 3600000, time))
            return false;
        times.push_back(static_cast<std::int32_t>(time));
        at = end + 1;
    }
    std::sort(times.begin(), times.end());
    return !times.empty();
}

}  // namespace

bool ParseWebOptions(int argc, char** argv, WebOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const bool hasValue = i + 1 < argc;
        long value = 0;
        if (word == "--desktop") {
            options.Presentation.Screen = SysScreen::Desktop;
        } else if (word == "--loop") {
            options.Loop = true;
        } else if (word == "--fps" && hasValue && ParseWhole(argv[i + 1], 1, 1000, value)) {
            options.VirtualFps = static_cast<int>(value);
            ++i;
        } else if (word == "--at" && hasValue && ParseTimes(argv[i + 1], options.AtTimes)) {
            ++i;
        } else {
            error =
                "the page cannot take \"" + word + "\"" + (word == "--fps" || word == "--at" ? " with that value" : "");
            return false;
        }
    }
    if (!options.AtTimes.empty() && options.VirtualFps == 0) {
        error = "--at needs the virtual clock (--fps N)";
        return false;
    }
    return true;
}
