// Loading one image: the choice of reader by extension, where each reader gets its bytes, and the
// two ways to the texture (read, decode and upload at once, or upload what was prepared ahead).
#include <string>
#include <vector>

#include "platform/platform.h"
#include "textures/mip_chain.h"
#include "textures/texture_prefetch.h"
#include "textures/textures.h"

namespace {

// What tells the readers apart: their decoder and the words of their messages.
struct FileReader {
    const char* Extension;
    DecodeResult (*Decode)(const std::uint8_t*, std::size_t, const char*, bool);
    const char* ResourceType;
    const char* ResourceCaption;  // a resource not found
    const char* MissingCaption;   // a file not found
    std::string (*MissingText)(const char* fileName);
};

std::string TgaMissing(const char* name)
{
    return std::string("File not found  - ") + name;
}

std::string JpgMissing(const char* name)
{
    return std::string("I can`t load texture - \"") + name + "\"";
}

std::string BmpMissing(const char* name)
{
    return std::string("Error opening ") + name;
}

// clang-format off
const FileReader TgaReader = {".TGA", DecodeTGA, "TGA", "TGA Texture", "TGA Texture", TgaMissing};
const FileReader JpgReader = {".JPG", DecodeJPG, "JPEG", "Zendra Engine", "Zendra Engine", JpgMissing};
const FileReader BmpReader = {".BMP", DecodeBMP, "BMP", "BMP Texture", "BMP Unit", BmpMissing};
// clang-format on

// The last four characters, upper-cased; a shorter name stays whole and so matches no extension.
std::string UpperExtension(const char* fileName)
{
    std::string name = fileName;
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return name.size() < 4 ? name : name.substr(name.size() - 4);
}

const FileReader* ReaderFor(const char* fileName)
{
    const std::string extension = UpperExtension(fileName);
    for (const FileReader* reader : {&BmpReader, &JpgReader, &TgaReader})
        if (extension == reader->Extension)
            return reader;
    return nullptr;
}

// The file's pixels, or the message that says why there are none; shows nothing itself.
DecodeResult ReadAndDecode(const FileReader& reader, const char* fileName)
{
    std::vector<std::uint8_t> bytes;
    if (!SysReadFile(fileName, bytes)) {
        DecodeResult missing;
        missing.Caption = reader.MissingCaption;
        missing.Text = reader.MissingText(fileName);
        return missing;
    }
    return reader.Decode(bytes.data(), bytes.size(), fileName, false);
}

// All in one go on the calling thread, with GLU building the mipmaps.
bool LoadWith(const FileReader& reader, const char* fileName, GLuint& texture, bool fromResource)
{
    if (!fromResource)
        return UploadDecoded(ReadAndDecode(reader, fileName), texture);
    std::vector<std::uint8_t> bytes;
    if (!ReadTextureResource(fileName, reader.ResourceType, reader.ResourceCaption, bytes))
        return false;
    return UploadDecoded(reader.Decode(bytes.data(), bytes.size(), fileName, true), texture);
}

TextureLoading Loading = TextureLoading::Prepared;

}  // namespace

void SetTextureLoading(TextureLoading loading)
{
    Loading = loading;
}

TextureLoading CurrentTextureLoading()
{
    return Loading;
}

PreparedTexture PrepareTexture(const char* fileName)
{
    PreparedTexture prepared;
    const FileReader* reader = ReaderFor(fileName);
    if (reader == nullptr)
        return prepared;
    prepared.HasReader = true;
    prepared.Decoded = ReadAndDecode(*reader, fileName);
    if (prepared.Decoded.Ok && HasPowerOfTwoSides(prepared.Decoded.Picture)) {
        prepared.Levels = BuildMipChain(prepared.Decoded.Picture);
        prepared.HasLevels = true;
    }
    return prepared;
}

bool LoadTexture(const char* fileName, GLuint& texture, bool fromResource)
{
    const FileReader* reader = ReaderFor(fileName);
    if (reader == nullptr)
        return false;
    if (fromResource || Loading == TextureLoading::Serial)
        return LoadWith(*reader, fileName, texture, fromResource);
    std::optional<PreparedTexture> prepared = TakePrefetchedTexture(fileName);
    if (!prepared)
        prepared = PrepareTexture(fileName);
    return UploadPrepared(*prepared, texture);
}

bool LoadTGATexture(const char* fileName, GLuint& texture, bool fromResource)
{
    return LoadWith(TgaReader, fileName, texture, fromResource);
}

bool LoadJPGTexture(const char* fileName, GLuint& texture, bool fromResource)
{
    return LoadWith(JpgReader, fileName, texture, fromResource);
}

bool LoadBMPTexture(const char* fileName, GLuint& texture, bool fromResource)
{
    return LoadWith(BmpReader, fileName, texture, fromResource);
}
