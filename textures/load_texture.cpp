// Loading one image: the choice of reader by extension, and where each reader gets its bytes.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "textures/textures.h"

// The last four characters, upper-cased; a shorter name stays whole and so matches no extension.
static std::string UpperExtension(const char* fileName)
{
    std::string name = fileName;
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return name.size() < 4 ? name : name.substr(name.size() - 4);
}

bool LoadTexture(const char* fileName, GLuint& texture, bool fromResource)
{
    const std::string extension = UpperExtension(fileName);
    bool loaded = false;
    if (extension == ".BMP")
        loaded = LoadBMPTexture(fileName, texture, fromResource);
    if (extension == ".JPG")
        loaded = LoadJPGTexture(fileName, texture, fromResource);
    if (extension == ".TGA")
        loaded = LoadTGATexture(fileName, texture, fromResource);
    return loaded;
}

static void ShowMessage(const std::string& text, const char* caption)
{
    SysMessageBox(text.c_str(), caption, MbOk);
}

bool LoadTGATexture(const char* fileName, GLuint& texture, bool fromResource)
{
    std::vector<std::uint8_t> bytes;
    if (fromResource) {
        if (!ReadTextureResource(fileName, "TGA", "TGA Texture", bytes))
            return false;
    } else if (!SysReadFile(fileName, bytes)) {
        ShowMessage(std::string("File not found  - ") + fileName, "TGA Texture");
        return false;
    }
    return UploadDecoded(DecodeTGA(bytes.data(), bytes.size(), fileName, fromResource), texture);
}

bool LoadJPGTexture(const char* fileName, GLuint& texture, bool fromResource)
{
    std::vector<std::uint8_t> bytes;
    if (fromResource) {
        if (!ReadTextureResource(fileName, "JPEG", "Zendra Engine", bytes))
            return false;
    } else if (!SysReadFile(fileName, bytes)) {
        ShowMessage(std::string("I can`t load texture - \"") + fileName + "\"", "Zendra Engine");
        return false;
    }
    return UploadDecoded(DecodeJPG(bytes.data(), bytes.size(), fileName, fromResource), texture);
}

bool LoadBMPTexture(const char* fileName, GLuint& texture, bool fromResource)
{
    std::vector<std::uint8_t> bytes;
    if (fromResource) {
        if (!ReadTextureResource(fileName, "BMP", "BMP Texture", bytes))
            return false;
    } else if (!SysReadFile(fileName, bytes)) {
        ShowMessage(std::string("Error opening ") + fileName, "BMP Unit");
        return false;
    }
    return UploadDecoded(DecodeBMP(bytes.data(), bytes.size(), fileName, fromResource), texture);
}
