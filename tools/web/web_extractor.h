// vfs.dll run inside the page (see web_extractor.cpp).
#pragma once

#include <string>
#include <vector>

// The archive the page fetched, in the data folder.
constexpr const char* ExtractorArchiveName = "moravel.vfs";

// "vfs.dll --e DIR" without the program's name: 0 when every file is in DIR, 1 when the archive
// could not be read or a file not written (the reasons appended to errors, one line each), 2 for
// any other command line.
int RunExtractor(const std::vector<std::string>& arguments, std::string& errors);
