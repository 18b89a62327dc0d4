// Named resources of the executable: this build embeds none, so every one is reported missing.
#include <string>

#include "platform/platform.h"
#include "textures/textures.h"

bool ReadTextureResource(const char* fileName, const char* resourceType, const char* missingCaption,
                         std::vector<std::uint8_t>& bytes)
{
    // A resource would be found by type and by the name up to its first dot; nothing is embedded here.
    static_cast<void>(resourceType);
    bytes.clear();
    const std::string text = std::string("File not found in resource - ") + fileName;
    SysMessageBox(text.c_str(), missingCaption, MbOk);
    return false;
}
