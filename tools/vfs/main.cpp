// vfs.dll: packs the production's data folder into one archive and unpacks it at start-up.
#include "vfs.h"

#include <cstdio>
#include <string>

namespace {

const char* const ArchiveName = "moravel.vfs";

void ShowUsage()
{
    std::fprintf(stderr,
                 "usage: vfs.dll --e DIR                 extract moravel.vfs (beside vfs.dll) into DIR\n"
                 "       vfs.dll --p FOLDER ARCHIVE      pack the files of FOLDER into ARCHIVE\n"
                 "       vfs.dll --l ARCHIVE             list ARCHIVE\n");
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
    std::string command = argc > 1 ? argv[1] : "";
    bool ok = false;
    if (command == "--e" && argc == 3) {
        std::string archive;
        ok = FindArchive(archive) && ExtractArchive(archive, argv[2]);
    } else if (command == "--p" && argc == 4) {
        ok = PackFolder(argv[2], argv[3]);
    } else if (command == "--l" && argc == 3) {
        ok = ListArchive(argv[2]);
    } else {
        ShowUsage();
        return 2;
    }
    return ok ? 0 : 1;
}
