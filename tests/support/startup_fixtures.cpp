// Test data for the start-up tests, written by the tests themselves.
#include "tests/support/startup_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

// Directories still in use when the process ends: a run that exits from inside start-up never
// reaches the destructors.
static std::set<std::string>& LiveScratchDirs()
{
    static std::set<std::string> dirs;
    return dirs;
}

ScratchWorkDir::ScratchWorkDir()
{
    // The list must exist before the handler is registered, so that it is destroyed after it runs.
    LiveScratchDirs();
    static const bool cleanupRegistered = std::atexit([] {
                                              std::error_code ignored;
                                              for (const std::string& dir : LiveScratchDirs())
                                                  std::filesystem::remove_all(dir, ignored);
                                          }) == 0;
    (void)cleanupRegistered;
    Previous = std::filesystem::current_path().string();
    std::string pattern = (std::filesystem::temp_directory_path() / "moravel-startup-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a scratch directory");
    Path = pattern;
    LiveScratchDirs().insert(Path);
    std::filesystem::create_directory(std::filesystem::path(Path) / "data");
    std::filesystem::current_path(Path);
}

ScratchWorkDir::~ScratchWorkDir()
{
    std::error_code ignored;
    std::filesystem::current_path(Previous, ignored);
    std::filesystem::remove_all(Path, ignored);
    LiveScratchDirs().erase(Path);
}

void WriteSolidPicture(const std::string& path, Rgb colour)
{
    constexpr int Side = 8;
    if (path.ends_with(".tga")) {
        std::vector<std::uint8_t> bytes(18, 0);
        bytes[2] = 2;  // uncompressed true colour
        bytes[12] = bytes[14] = Side;
        bytes[16] = 24;
        for (int i = 0; i < Side * Side; ++i)
            bytes.insert(bytes.end(), {colour.B, colour.G, colour.R});
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path);
    jpeg_compress_struct compress{};
    jpeg_error_mgr errors{};
    compress.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compress);
    jpeg_stdio_dest(&compress, file);
    compress.image_width = compress.image_height = Side;
    compress.input_components = 3;
    compress.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compress);
    jpeg_set_quality(&compress, 95, TRUE);
    jpeg_start_compress(&compress, TRUE);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < Side; ++x)
        row.insert(row.end(), {colour.R, colour.G, colour.B});
    while (compress.next_scanline < compress.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&compress, rows, 1);
    }
    jpeg_finish_compress(&compress);
    jpeg_destroy_compress(&compress);
    std::fclose(file);
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string TriangleModelText()
{
    return "3\r\n"
           "0\r\n0\r\n0\r\n"
           "1\r\n0\r\n0\r\n"
           "0\r\n1\r\n0\r\n"
           "0\r\n1\r\n2\r\n";
}
