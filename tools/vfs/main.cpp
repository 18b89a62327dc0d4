// vfs.dll: packs the production's data folder into one archive and unpacks it at start-up.
#include "vfs.h"

#include <getopt.h>

#include <cstdio>
#include <string>

namespace {

const char* const ArchiveName = "moravel.vfs";

const char* const Usage =
    "usage: vfs.dll --e DIR                 extract moravel.vfs (beside vfs.dll) into DIR\n"
    "       vfs.dll --p FOLDER ARCHIVE      pack the files of FOLDER into ARCHIVE\n"
    "       vfs.dll --l ARCHIVE             list ARCHIVE\n"
    "       vfs.dll --help | --version\n";

// A command line that is not one of the forms above: what was wrong, then the forms. Exit code 2.
int Refuse(const std::string& text)
{
    std::fprintf(stderr, "vfs.dll: %s\n%s", text.c_str(), Usage);
    return 2;
}

// The archive ships beside the executable, wherever the working directory is.
bool FindArchive(std::string& path)
{
    std::string folder;
    if (!ExecutableFolder(folder))
        return false;
    path = folder + ArchiveName;
    return true;
}

}  // namespace

void ReportFailure(const std::string& text)
{
    std::fprintf(stderr, "vfs.dll: %s\n", text.c_str());
}

int main(int argc, char** argv)
{
    // The demo starts "vfs.dll --e data"; the one-letter commands stay long options for that.
    enum { Extract = 'e', Pack = 'p', List = 'l', Help = 'h', Version = 'v' };
    static const option Commands[] = {
        {"e", required_argument, nullptr, Extract}, {"p", required_argument, nullptr, Pack},
        {"l", required_argument, nullptr, List},    {"help", no_argument, nullptr, Help},
        {"version", no_argument, nullptr, Version}, {nullptr, 0, nullptr, 0}};
    opterr = 0;
    // "+": stop at the first word that is not an option, such as the ARCHIVE after --p FOLDER.
    int index = -1;
    const int command = argc > 1 ? getopt_long(argc, argv, "+:", Commands, &index) : -1;
    // As written, for a command line getopt could not take; the command's own name otherwise.
    const std::string written = index >= 0 ? std::string("--") + Commands[index].name
                                : argc > 1 ? std::string(argv[optind - 1])
                                           : "";
    if (command == -1)
        return Refuse(argc > 1 ? "unknown command \"" + std::string(argv[1]) + "\"" : "no command given");
    if (command == '?')
        return Refuse("unknown option " + written.substr(0, written.find('=')) +
                      "; the commands are --e, --p, --l, --help and --version");
    if (command == ':')
        return Refuse(written + " needs a value");
    if (command == Help || command == Version) {
        if (argc != 2)
            return Refuse(written + " takes nothing after it");
        if (command == Help)
            std::fputs(Usage, stdout);
        else
            std::printf("vfs.dll (Moravel) %s\n", MORAVEL_VERSION);
        return 0;
    }
    const std::string value = optarg;
    const int rest = argc - optind;  // the words after the command and its value
    const int wanted = command == Pack ? 1 : 0;
    if (rest != wanted)
        return Refuse(written +
                      (command == Pack   ? " takes FOLDER ARCHIVE"
                       : command == List ? " takes one ARCHIVE"
                                         : " takes one DIR") +
                      ", not " + std::to_string(rest + 1) + " argument" + (rest + 1 == 1 ? "" : "s"));
    bool ok = false;
    if (command == Extract) {
        std::string archive;
        ok = FindArchive(archive) && ExtractArchive(archive, value);
    } else if (command == Pack) {
        ok = PackFolder(value, argv[optind]);
    } else {
        ok = ListArchive(value);
    }
    return ok ? 0 : 1;
}
