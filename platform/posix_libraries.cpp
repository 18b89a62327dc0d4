// Holding every loaded library; see posix_libraries.h.
#include "platform/posix_libraries.h"

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>

void PosixKeepLibrariesLoaded()
{
    std::vector<std::string> names;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* found) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                static_cast<std::vector<std::string>*>(found)->emplace_back(info->dlpi_name);
            return 0;
        },
        &names);
    // Opened outside the walk, which holds the loader's lock. RTLD_NOLOAD loads nothing new: it
    // only counts one more user of a library that is there. The holds are never given back.
    for (const std::string& name : names)
        dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD);
}
