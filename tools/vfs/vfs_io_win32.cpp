// The tool's file access on Windows: mapping, listing, atomic writes (a rename that replaces and
// reaches the disk) and the output folder, locked by a lock file held open without sharing.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "chunked_write.h"
#include "vfs.h"
#include "vfs_system.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

const char* const LockName = ".vfs.lock";

std::string SystemMessage(DWORD error)
{
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
        --length;
    return length > 0 ? std::string(text, length) : "error " + std::to_string(error);
}

std::string LastError()
{
    return SystemMessage(GetLastError());
}

void TerminateNow()
{
    TerminateProcess(GetCurrentProcess(), 9);
}

bool WriteAll(HANDLE file, const std::uint8_t* data, std::size_t size)
{
    return WriteInChunks(
        data, size,
        [file](const std::uint8_t* at, std::size_t length, std::size_t& written) {
            DWORD done = 0;
            const bool ok = WriteFile(file, at, DWORD(length), &done, nullptr) != FALSE;
            written = done;
            return ok;
        },
        TerminateNow);
}

// A plain file: not a folder, not a link or other reparse point, not a device.
bool IsPlainFile(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// Writes a new file at temp, flushes it and renames it over path; removes temp on failure and
// gives the system's error code of the step that failed.
bool WriteAndReplace(const std::string& temp, const std::string& path, const std::uint8_t* data, std::size_t size,
                     DWORD& error)
{
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    bool ok = WriteAll(file, data, size) && FlushFileBuffers(file);
    if (!ok)
        error = GetLastError();
    CloseHandle(file);
    if (ok && !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = GetLastError();
    }
    if (!ok)
        DeleteFileA(temp.c_str());
    return ok;
}

}  // namespace

struct OutputFolder {
    std::string Path;  // ends in a separator
    HANDLE Lock = INVALID_HANDLE_VALUE;
};

MappedFile::~MappedFile()
{
    if (Data && Size)
        UnmapViewOfFile(Data);
}

bool MapFile(const std::string& path, MappedFile& file)
{
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ReportFailure("cannot open " + path + ": " + LastError());
        return false;
    }
    LARGE_INTEGER size{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size) ||
        !IsPlainFile(GetFileAttributesA(path.c_str()))) {
        ReportFailure("cannot read " + path + ": not a regular file");
        CloseHandle(handle);
        return false;
    }
    if (std::uint64_t(size.QuadPart) > SIZE_MAX) {
        ReportFailure("cannot read " + path + ": too large");
        CloseHandle(handle);
        return false;
    }
    file.Size = static_cast<std::size_t>(size.QuadPart);
    if (file.Size == 0) {
        // An empty file cannot be mapped; an empty archive is simply too short, which the reader says.
        static const std::uint8_t Nothing = 0;
        file.Data = &Nothing;
        CloseHandle(handle);
        return true;
    }
    HANDLE mapping = CreateFileMappingA(handle, nullptr, PAGE_READONLY, 0, 0, nullptr);
    DWORD error = GetLastError();
    CloseHandle(handle);
    void* at = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (mapping != nullptr) {
        error = GetLastError();
        CloseHandle(mapping);
    }
    if (at == nullptr) {
        ReportFailure("cannot read " + path + ": " + SystemMessage(error));
        file.Size = 0;
        return false;
    }
    file.Data = static_cast<const std::uint8_t*>(at);
    return true;
}

bool ExecutableFolder(std::string& folder)
{
    char self[MAX_PATH * 4];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) {
        ReportFailure("cannot find its own folder: " + LastError());
        return false;
    }
    folder.assign(self, length);
    folder.erase(folder.find_last_of("\\/") + 1);
    return true;
}

bool ListPlainFiles(const std::string& folder, std::vector<std::string>& names)
{
    WIN32_FIND_DATAA item;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &item);
    if (search == INVALID_HANDLE_VALUE) {
        ReportFailure("cannot open " + folder + ": " + LastError());
        return false;
    }
    bool ok = true;
    do {
        std::string name = item.cFileName;
        if (name == "." || name == "..")
            continue;
        if (item.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            ReportFailure(folder + "/" + name +
                          ": a symbolic link or other reparse point; only plain files can be packed");
            ok = false;
        } else if (!IsPlainFile(item.dwFileAttributes)) {
            ReportFailure(folder + "/" + name + ": only plain files can be packed");
            ok = false;
        } else if (!IsSafeEntryName(name)) {
            ReportFailure(folder + "/" + name +
                          ": the name cannot be stored (separator, leading dot or control character)");
            ok = false;
        }
        names.push_back(name);
    } while (FindNextFileA(search, &item));
    FindClose(search);
    return ok;
}

bool WriteFileReplacing(const std::string& path, const std::string& bytes)
{
    DWORD error = 0;
    if (WriteAndReplace(path + ".part", path, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), error))
        return true;
    ReportFailure("cannot write " + path + ": " + SystemMessage(error));
    return false;
}

OutputFolder* OpenOutputFolder(const std::string& dir)
{
    if (!CreateDirectoryA(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        ReportFailure("cannot create " + dir + ": " + LastError());
        return nullptr;
    }
    const DWORD attributes = GetFileAttributesA(dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ReportFailure("cannot open " + dir + ": not a folder");
        return nullptr;
    }
    auto* folder = new OutputFolder{dir + "\\", INVALID_HANDLE_VALUE};
    // A second extractor waits here until the first has closed its lock file.
    const std::string lock = folder->Path + LockName;
    for (int attempt = 0; attempt < 6000; ++attempt) {
        folder->Lock = CreateFileA(lock.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (folder->Lock != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        Sleep(10);
    }
    if (folder->Lock == INVALID_HANDLE_VALUE) {
        ReportFailure("cannot open " + dir + ": " + LastError());
        delete folder;
        return nullptr;
    }
    return folder;
}

void CloseOutputFolder(OutputFolder* folder)
{
    CloseHandle(folder->Lock);
    delete folder;
}

void RemoveFromFolder(OutputFolder* folder, const std::string& name)
{
    DeleteFileA((folder->Path + name).c_str());
}

bool HoldsIntactEntry(OutputFolder* folder, const ArchiveEntry& entry)
{
    const std::string path = folder->Path + entry.Name;
    if (!IsPlainFile(GetFileAttributesA(path.c_str())))
        return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool same = GetFileSizeEx(file, &size) && std::uint64_t(size.QuadPart) == entry.Size;
    std::vector<std::uint8_t> buffer(WriteChunk);
    std::uint32_t crc = Crc32(nullptr, 0);
    std::uint64_t total = 0;
    while (same) {
        DWORD got = 0;
        if (!ReadFile(file, buffer.data(), DWORD(buffer.size()), &got, nullptr)) {
            same = false;
            break;
        }
        if (got == 0)
            break;
        crc = UpdateCrc32(crc, buffer.data(), got);
        total += got;
    }
    CloseHandle(file);
    return same && total == entry.Size && crc == entry.Crc;
}

bool WriteEntryFile(OutputFolder* folder, const std::string& shown, const ArchiveEntry& entry,
                    const std::uint8_t* contents)
{
    // As on POSIX: whichever step fails, the file could not be written, for the system's reason.
    DWORD error = 0;
    if (WriteAndReplace(folder->Path + TemporaryName(entry.Name), folder->Path + entry.Name, contents,
                        static_cast<std::size_t>(entry.Size), error))
        return true;
    ReportFailure("cannot write " + shown + ": " + SystemMessage(error));
    return false;
}

// MOVEFILE_WRITE_THROUGH has already made each rename durable.
bool FlushOutputFolder(OutputFolder*, const std::string&)
{
    return true;
}
