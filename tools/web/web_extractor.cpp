// vfs.dll in the page: the production starts "vfs.dll --e data" as it does beside the demo, and the
// page runs the same archive code in place of a process, on the in-memory file system the archive
// was put in. What it reports comes back as a process's stderr would.
#include "tools/web/web_extractor.h"

#include <cstdio>

#include "tools/vfs/vfs.h"

namespace {

std::string* Reported = nullptr;  // the running extraction's errors

}  // namespace

void ReportFailure(const std::string& text)
{
    const std::string line = "vfs.dll: " + text + "\n";
    std::fputs(line.c_str(), stderr);
    if (Reported != nullptr)
        *Reported += line;
}

int RunExtractor(const std::vector<std::string>& arguments, std::string& errors)
{
    if (arguments.size() != 2 || arguments[0] != "--e") {
        errors += "vfs.dll: the page's extractor only extracts (--e DIR)\n";
        return 2;
    }
    Reported = &errors;
    const bool extracted = ExtractArchive(ExtractorArchiveName, arguments[1]);
    Reported = nullptr;
    return extracted ? 0 : 1;
}
