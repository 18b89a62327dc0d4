// Runs moravel-capture in a scratch copy of the release folder, as a user would.
#pragma once

#include <filesystem>
#include <string>

struct CaptureResult {
    int ExitCode = -1;
    std::string Stdout;
    std::string Stderr;
};

// A fresh folder holding vfs.dll and moravel.vfs from the release folder.
std::filesystem::path MakeCaptureFolder(const std::string& name);
// Runs the capture with these arguments in folder; env is prefixed to the command (may be empty).
CaptureResult RunCapture(const std::filesystem::path& folder, const std::string& arguments,
                         const std::string& env = "");
std::string ReadWholeFile(const std::filesystem::path& path);
