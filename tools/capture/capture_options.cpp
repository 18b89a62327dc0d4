// The command line of moravel-capture.
#include "tools/capture/capture_options.h"

#include <algorithm>
#include <charconv>
#include <cstring>

const char* CaptureUsage =
    "usage: moravel-capture [--fps N] [--scale K] [--to MS] OUTPUT...\n"
    "  --png FILE --at MS[,MS...]   the first frame at or after each time (FILE may hold %d)\n"
    "  --frames DIR [--from MS]     every frame as DIR/NNNNNN.png, with DIR/frames.csv\n"
    "  --video FILE.mp4             H.264 and AAC through ffmpeg, from the first frame of the music\n"
    "  --sheet FILE.png [--every MS] a contact sheet, one frame every MS (default 4000)\n"
    "  --fps N                      60 (default), 59.94 or 60000/1001\n"
    "  --scale K                    render K times 640 x 480\n"
    "  --to MS                      end the run once the demo time passes MS\n"
    "Run it in the folder the demo runs in: it starts vfs.dll --e data as the demo does.\n";

static bool ParseWhole(const std::string& text, std::uint64_t& value)
{
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && rest == end && !text.empty();
}

static bool ParseTime(const std::string& text, std::int32_t& value)
{
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && rest == end && !text.empty() && value >= 0;
}

bool ParseFrameRate(const std::string& text, std::uint64_t& numerator, std::uint64_t& denominator)
{
    const std::size_t slash = text.find('/');
    if (slash != std::string::npos) {
        if (!ParseWhole(text.substr(0, slash), numerator) || !ParseWhole(text.substr(slash + 1), denominator))
            return false;
        return numerator > 0 && denominator > 0 && numerator <= 1000000 && denominator <= 1000000;
    }
    // Decimals become a fraction over a power of ten: 59.94 is 5994/100.
    const std::size_t dot = text.find('.');
    std::string digits = text;
    denominator = 1;
    if (dot != std::string::npos) {
        const std::string fraction = text.substr(dot + 1);
        if (fraction.empty() || fraction.size() > 6)
            return false;
        digits = text.substr(0, dot) + fraction;
        for (std::size_t i = 0; i < fraction.size(); ++i)
            denominator *= 10;
    }
    return ParseWhole(digits, numerator) && numerator > 0 && numerator / denominator <= 1000;
}

static bool ParseTimes(const std::string& text, std::vector<std::int32_t>& times)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::int32_t time = 0;
        if (!ParseTime(text.substr(start, comma - start), time))
            return false;
        times.push_back(time);
        start = comma + 1;
    }
    std::sort(times.begin(), times.end());
    return !times.empty();
}

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) {
            error = "missing value after " + name;
            return false;
        }
        const std::string value = argv[++i];
        bool ok = true;
        std::uint64_t scale = 0;
        if (name == "--fps")
            ok = ParseFrameRate(value, options.FpsNumerator, options.FpsDenominator);
        else if (name == "--scale")
            ok = ParseWhole(value, scale) && scale >= 1 && scale <= 8 && (options.Scale = static_cast<int>(scale));
        else if (name == "--png")
            options.PngPattern = value;
        else if (name == "--at")
            ok = ParseTimes(value, options.AtTimes);
        else if (name == "--frames")
            options.FramesDir = value;
        else if (name == "--from")
            ok = ParseTime(value, options.FromTime);
        else if (name == "--to")
            ok = ParseTime(value, options.ToTime);
        else if (name == "--video")
            options.VideoFile = value;
        else if (name == "--sheet")
            options.SheetFile = value;
        else if (name == "--every")
            ok = ParseTime(value, options.SheetEvery) && options.SheetEvery > 0;
        else {
            error = "unknown option " + name;
            return false;
        }
        if (!ok) {
            error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    if (options.PngPattern.empty() != options.AtTimes.empty()) {
        error = "--png and --at go together";
        return false;
    }
    if (options.AtTimes.size() > 1 && options.PngPattern.find("%d") == std::string::npos) {
        error = "with several --at times the --png name needs %d";
        return false;
    }
    if (options.PngPattern.empty() && options.FramesDir.empty() && options.VideoFile.empty() &&
        options.SheetFile.empty()) {
        error = "nothing to write: give --png, --frames, --video or --sheet";
        return false;
    }
    return true;
}
