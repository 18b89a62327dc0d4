// moravel-assetgen: writes the demo's 32 data files, deterministically, into one folder; or the
// desktop icon at one size.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/image_files.h"
#include "tools/assetgen/models.h"
#include "tools/assetgen/music.h"
#include "tools/assetgen/pictures.h"
#include "tools/assetgen/text.h"

enum class FileKind { Jpeg, Tga, Other };

struct AssetFile {
    const char* Name;
    FileKind Kind;
    Canvas (*Paint)();
    TgaLayout Layout;
    bool (*Write)(const std::string& path);
};

static const int JpegQuality = 90;

// In the order the demo loads them; the layouts mix raw and run-length data on purpose, so that the
// real files exercise every path of the TGA reader.
static const AssetFile Files[] = {
    {"tlo3.jpg", FileKind::Jpeg, PaintTlo3, {}, nullptr},
    {"vrl.jpg", FileKind::Jpeg, PaintVrl, {}, nullptr},
    {"bakba.jpg", FileKind::Jpeg, PaintBakba, {}, nullptr},
    {"codework.tga", FileKind::Tga, [] { return PaintCreditRole("code"); }, TgaLayout::Raw32, nullptr},
    {"glimber.tga", FileKind::Tga, [] { return PaintCreditName("Glimber"); }, TgaLayout::Rle32, nullptr},
    {"gfx.tga", FileKind::Tga, [] { return PaintCreditRole("graphics"); }, TgaLayout::Raw32, nullptr},
    {"yast.tga", FileKind::Tga, [] { return PaintCreditName("Yast"); }, TgaLayout::Rle32, nullptr},
    {"msx.tga", FileKind::Tga, [] { return PaintCreditRole("music"); }, TgaLayout::Raw32, nullptr},
    {"brund.tga", FileKind::Tga, [] { return PaintCreditName("Brund"); }, TgaLayout::Rle32, nullptr},
    {"ende.jpg", FileKind::Jpeg, PaintEnde, {}, nullptr},
    {"logo.tga", FileKind::Tga, PaintLogo, TgaLayout::Raw32, nullptr},
    {"kreski.jpg", FileKind::Jpeg, PaintKreski, {}, nullptr},
    {"tunel.jpg", FileKind::Jpeg, PaintTunel, {}, nullptr},
    {"tlo_ach.jpg", FileKind::Jpeg, PaintTloAch, {}, nullptr},
    {"maska.tga", FileKind::Tga, PaintMaska, TgaLayout::Rle32, nullptr},
    {"particles.tga", FileKind::Tga, PaintParticles, TgaLayout::Rle24, nullptr},
    {"hdr.jpg", FileKind::Jpeg, PaintHdr, {}, nullptr},
    {"kwadraty.jpg", FileKind::Jpeg, PaintKwadraty, {}, nullptr},
    {"cr_tavrel.tga", FileKind::Tga, [] { return PaintGreeting("Tavrel", 0); }, TgaLayout::Rle32, nullptr},
    {"cr_quimbrel.tga", FileKind::Tga, [] { return PaintGreeting("Quimbrel", 1); }, TgaLayout::Rle32, nullptr},
    {"cr_dunvo.tga", FileKind::Tga, [] { return PaintGreeting("Dunvo", 2); }, TgaLayout::Raw32, nullptr},
    {"cr_fenwisp.tga", FileKind::Tga, [] { return PaintGreeting("Fenwisp", 3); }, TgaLayout::Rle32, nullptr},
    {"cr_plo.tga", FileKind::Tga, [] { return PaintGreeting("Plo", 4); }, TgaLayout::Rle32, nullptr},
    {"cr_kirrage.tga", FileKind::Tga, [] { return PaintGreeting("Kirrage", 5); }, TgaLayout::Raw32, nullptr},
    {"czarna.jpg", FileKind::Jpeg, PaintCzarna, {}, nullptr},
    {"draty.jpg", FileKind::Jpeg, PaintDraty, {}, nullptr},
    {"babka.jpg", FileKind::Jpeg, PaintBabka, {}, nullptr},
    {"obrotnik.tga", FileKind::Tga, PaintObrotnik, TgaLayout::Raw32, nullptr},
    {"mk.jpg", FileKind::Jpeg, PaintMk, {}, nullptr},
    {"rozgwiazda.txt", FileKind::Other, nullptr, {}, WriteStarfishModel},
    {"roza.txt", FileKind::Other, nullptr, {}, WriteRoseModel},
    {"muza_demo.ogg", FileKind::Other, nullptr, {}, WriteMusic},
};

static bool WriteAsset(const AssetFile& file, const std::string& path)
{
    switch (file.Kind) {
    case FileKind::Jpeg:
        return WriteJpg(path, file.Paint(), JpegQuality);
    case FileKind::Tga:
        return WriteTga(path, file.Paint(), file.Layout);
    case FileKind::Other:
        return file.Write(path);
    }
    return false;
}

int main(int argc, char** argv)
{
    static const char* const Usage =
        "usage: moravel-assetgen OUTDIR\n"
        "       moravel-assetgen --icon SIZE FILE.png\n";
    const bool icon = argc == 4 && std::strcmp(argv[1], "--icon") == 0;
    if (argc != 2 && !icon) {
        std::fputs(Usage, stderr);
        return 2;
    }
    if (!CheckFonts())
        return 1;
    if (icon) {
        // The package installs it in the desktop's usual sizes; the icon themes go up to 512.
        char* end = nullptr;
        const long size = std::strtol(argv[2], &end, 10);
        if (*argv[2] == '\0' || *end != '\0' || size < 16 || size > 512) {
            std::fprintf(stderr, "moravel-assetgen: --icon takes a SIZE from 16 to 512, not \"%s\"\n%s", argv[2],
                         Usage);
            return 2;
        }
        return WriteIcon(argv[3], static_cast<int>(size)) ? 0 : 1;
    }
    std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "moravel-assetgen: cannot create %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    const int count = static_cast<int>(sizeof Files / sizeof Files[0]);
    for (int i = 0; i < count; i++) {
        std::printf("\rmoravel-assetgen: [%2d/%d] %-16s", i + 1, count, Files[i].Name);
        std::fflush(stdout);
        if (!WriteAsset(Files[i], (folder / Files[i].Name).string())) {
            std::printf("\n");
            return 1;
        }
    }
    std::printf("\rmoravel-assetgen: %d files written to %s\n", count, argv[1]);
    return 0;
}
