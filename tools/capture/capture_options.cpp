// The command line of moravel-capture.
#include "tools/capture/capture_options.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <getopt.h>

const char* CaptureUsage =
    "usage: moravel-capture [--fps N] [--scale K] [--to MS] OUTPUT...\n"
    "       moravel-capture --help | --version\n"
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

namespace {

enum OptionId { Fps = 1000, Scale, Png, At, Frames, From, To, Video, Sheet, Every, Help, Version };

// clang-format off
const option LongOptions[] = {
    {"fps", required_argument, nullptr, Fps},       {"scale", required_argument, nullptr, Scale},
    {"png", required_argument, nullptr, Png},       {"at", required_argument, nullptr, At},
    {"frames", required_argument, nullptr, Frames}, {"from", required_argument, nullptr, From},
    {"to", required_argument, nullptr, To},         {"video", required_argument, nullptr, Video},
    {"sheet", required_argument, nullptr, Sheet},   {"every", required_argument, nullptr, Every},
    {"help", no_argument, nullptr, Help},           {"version", no_argument, nullptr, Version},
    {nullptr, 0, nullptr, 0}};
// clang-format on

// What each option with a checked value takes, for the message when the value is refused.
const char* Allowed(int id)
{
    // clang-format off
    switch (id) {
    case Fps: return "a rate above 0 and up to 1000: 60, 59.94 or 60000/1001";
    case Scale: return "a whole number from 1 to 8";
    case At: return "demo times in ms, 0 or more, separated by commas: 1000 or 1000,2500";
    case Every: return "a time in ms above 0";
    default: return "a time in ms, 0 or more";
    }
    // clang-format on
}

// The option as the user wrote it, for messages: "--fps" from "--fps=0" too.
std::string WrittenOption(const char* argument)
{
    std::string text = argument;
    return text.substr(0, text.find('='));
}

}  // namespace

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions& options, std::string& error)
{
    opterr = 0;  // the messages below say more than getopt's own
    optind = 0;  // a fresh scan, also when called again
    for (;;) {
        const int id = getopt_long(argc, argv, ":", LongOptions, nullptr);
        if (id == -1)
            break;
        const char* written = argv[optind - 1];
        if (id == '?') {
            error = "unknown option " + WrittenOption(written) +
                    "; the options are --png, --at, --frames, --from, --to, --video, --sheet, --every, --fps, "
                    "--scale, --help and --version";
            return false;
        }
        if (id == ':') {
            error = WrittenOption(written) + " needs a value";
            return false;
        }
        const std::string value = optarg != nullptr ? optarg : "";
        bool ok = true;
        std::uint64_t scale = 0;
        // clang-format off
        switch (id) {
        case Fps: ok = ParseFrameRate(value, options.FpsNumerator, options.FpsDenominator); break;
        case Scale:
            ok = ParseWhole(value, scale) && scale >= 1 && scale <= 8;
            options.Scale = ok ? static_cast<int>(scale) : options.Scale;
            break;
        case Png: options.PngPattern = value; break;
        case At: ok = ParseTimes(value, options.AtTimes); break;
        case Frames: options.FramesDir = value; break;
        case From: ok = ParseTime(value, options.FromTime); break;
        case To: ok = ParseTime(value, options.ToTime); break;
        case Video: options.VideoFile = value; break;
        case Sheet: options.SheetFile = value; break;
        case Every: ok = ParseTime(value, options.SheetEvery) && options.SheetEvery > 0; break;
        case Help: options.Help = true; return true;
        case Version: options.Version = true; return true;
        }
        // clang-format on
        if (!ok) {
            error = "bad value for --" + std::string(LongOptions[id - Fps].name) + ": \"" + value + "\"; it takes " +
                    Allowed(id);
            return false;
        }
    }
    if (optind < argc) {
        error = "unexpected argument \"" + std::string(argv[optind]) + "\"; every value follows its option";
        return false;
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

std::int32_t CaptureEndTime(const CaptureOptions& options, std::int32_t demoEnd)
{
    std::int32_t end = demoEnd;
    if (options.ToTime >= 0)
        end = std::min(end, options.ToTime);
    const bool shotsOnly = options.FramesDir.empty() && options.VideoFile.empty() && options.SheetFile.empty();
    if (shotsOnly && !options.AtTimes.empty())
        end = std::min(end, options.AtTimes.back());
    return end;
}
