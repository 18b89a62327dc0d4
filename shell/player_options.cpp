// The player's command line.
#include "shell/player_options.h"

#include <getopt.h>

#include <charconv>

const char* PlayerUsage =
    "usage: moravel [--window [--scale K] | --desktop] [--vsync] [--loop]\n"
    "       moravel --help | --version\n"
    "Without options the display switches to 640 x 480 for the run, as the demo was written.\n"
    "  --window      a framed 640 x 480 window; the display mode stays as it is\n"
    "  --scale K     with --window: a window K times larger (K from 1 to 8), drawn at that size\n"
    "  --desktop     full screen at the desktop's own resolution, the picture as large as fits\n"
    "  --vsync       present each frame in step with the display\n"
    "  --loop        start again after the end, until Escape\n"
    "Keys: Escape ends the run, Space pauses and resumes, a left click ends the run.\n";

namespace {

enum OptionId { Window = 1000, Scale, Desktop, VSync, Loop, Help, Version };

// clang-format off
const option LongOptions[] = {
    {"window", no_argument, nullptr, Window},   {"scale", required_argument, nullptr, Scale},
    {"desktop", no_argument, nullptr, Desktop}, {"vsync", no_argument, nullptr, VSync},
    {"loop", no_argument, nullptr, Loop},       {"help", no_argument, nullptr, Help},
    {"version", no_argument, nullptr, Version}, {nullptr, 0, nullptr, 0}};
// clang-format on

constexpr int MaxWindowScale = 8;

bool ParseScale(const std::string& text, int& scale)
{
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, scale);
    return error == std::errc() && rest == end && !text.empty() && scale >= 1 && scale <= MaxWindowScale;
}

// The option as the user wrote it, for messages: "--scale" from "--scale=0" too.
std::string WrittenOption(const char* argument)
{
    const std::string text = argument;
    return text.substr(0, text.find('='));
}

// Window and Desktop exclude each other; --scale only sizes a window.
bool CheckCombination(bool scaleGiven, bool windowGiven, bool desktopGiven, std::string& error)
{
    if (windowGiven && desktopGiven) {
        error = "--window and --desktop do not go together";
        return false;
    }
    if (scaleGiven && !windowGiven) {
        error = "--scale sizes the window: it goes with --window";
        return false;
    }
    return true;
}

}  // namespace

bool ParsePlayerOptions(int argc, char** argv, PlayerOptions& options, std::string& error)
{
    opterr = 0;  // the messages below say more than getopt's own
    optind = 0;  // a fresh scan, also when called again
    bool scaleGiven = false, windowGiven = false, desktopGiven = false;
    for (;;) {
        const int id = getopt_long(argc, argv, ":", LongOptions, nullptr);
        if (id == -1)
            break;
        const char* written = argv[optind - 1];
        if (id == '?') {
            error = "unknown option " + WrittenOption(written) +
                    "; the options are --window, --scale, --desktop, --vsync, --loop, --help and --version";
            return false;
        }
        if (id == ':') {
            error = WrittenOption(written) + " needs a value";
            return false;
        }
        switch (id) {
        case Window:
            windowGiven = true;
            options.Presentation.Screen = SysScreen::Window;
            break;
        case Scale:
            scaleGiven = true;
            if (!ParseScale(optarg, options.Presentation.WindowScale)) {
                error = "bad value for --scale: \"" + std::string(optarg) + "\"; it takes a whole number from 1 to 8";
                return false;
            }
            break;
        case Desktop:
            desktopGiven = true;
            options.Presentation.Screen = SysScreen::Desktop;
            break;
        case VSync:
            options.Presentation.VSync = true;
            break;
        case Loop:
            options.Loop = true;
            break;
        case Help:
            options.Help = true;
            return true;
        case Version:
            options.Version = true;
            return true;
        default:
            break;
        }
    }
    if (optind < argc) {
        error = "unexpected argument \"" + std::string(argv[optind]) + "\"; the player takes options only";
        return false;
    }
    return CheckCombination(scaleGiven, windowGiven, desktopGiven, error);
}
