// moravel-inspect: looks at the production's data through the production's own readers.
#include <getopt.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/inspect/inspect.h"

namespace {

const char* const Usage =
    "usage: moravel-inspect texture FILE OUT.png\n"
    "       moravel-inspect model FILE\n"
    "       moravel-inspect --help | --version\n";

int Refuse(const std::string& text)
{
    std::fprintf(stderr, "moravel-inspect: %s\n%s", text.c_str(), Usage);
    return 2;
}

}  // namespace

bool CheckInputFile(const char* path)
{
    struct stat info;
    // A missing file is left to the reader, which names it in the production's own words.
    if (stat(path, &info) != 0) {
        if (errno == ENOENT)
            return true;
        std::fprintf(stderr, "moravel-inspect: cannot read %s: %s\n", path, std::strerror(errno));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        const char* kind = S_ISDIR(info.st_mode)                            ? "a folder"
                           : S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ? "a device"
                           : S_ISFIFO(info.st_mode)                         ? "a pipe"
                                                                            : "not a plain file";
        std::fprintf(stderr, "moravel-inspect: cannot read %s: %s; only regular files are read\n", path, kind);
        return false;
    }
    if (static_cast<unsigned long long>(info.st_size) > MaxInputBytes) {
        std::fprintf(
            stderr, "moravel-inspect: cannot read %s: %llu bytes, more than the %llu MiB a picture or model may have\n",
            path, static_cast<unsigned long long>(info.st_size), MaxInputBytes >> 20);
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    static const option Options[] = {
        {"help", no_argument, nullptr, 'h'}, {"version", no_argument, nullptr, 'v'}, {nullptr, 0, nullptr, 0}};
    opterr = 0;
    // "+": the options come before the command; what follows it is the command's.
    switch (getopt_long(argc, argv, "+", Options, nullptr)) {
    case 'h':
        std::fputs(Usage, stdout);
        return 0;
    case 'v':
        std::printf("moravel-inspect (Moravel) %s\n", MORAVEL_VERSION);
        return 0;
    case '?': {
        const std::string written = argv[optind - 1];
        return Refuse("unknown option " + written.substr(0, written.find('=')) +
                      "; the options are --help and --version");
    }
    default:
        break;
    }
    if (optind >= argc)
        return Refuse("no command given");
    const std::string command = argv[optind];
    if (command == "texture")
        return InspectTexture(argc - optind - 1, argv + optind + 1);
    if (command == "model")
        return InspectModel(argc - optind - 1, argv + optind + 1);
    return Refuse("unknown command \"" + command + "\"; the commands are texture and model");
}
