#include "engine/SfmInterface.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kNameRoom = kSfmCapabilitiesSize - kSfmDeviceNameOffset;

} // namespace

std::string SfmCapabilitiesName(const SfmCapabilities& capabilities)
{
    const char* name = reinterpret_cast<const char*>(capabilities.bytes + kSfmDeviceNameOffset);
    return std::string(name, strnlen(name, kNameRoom));
}

void SfmSetCapabilitiesName(SfmCapabilities& capabilities, const std::string& name)
{
    std::size_t length = std::min(name.size(), kNameRoom - 1);
    unsigned char* target = capabilities.bytes + kSfmDeviceNameOffset;
    std::memcpy(target, name.data(), length);
    target[length] = 0;
}

bool SfmTakeText(const SfmBuffer* buffer, std::string& text)
{
    if (!buffer || !buffer->text)
        return false;
    text.assign(buffer->text, strnlen(buffer->text, buffer->size));
    return true;
}

SfmResult SfmGiveText(SfmBuffer* buffer, const std::string& text)
{
    if (!buffer || !buffer->text)
        return kSfmUndefinedError;
    std::size_t count = std::min<std::size_t>(text.size(), buffer->size);
    std::memcpy(buffer->text, text.data(), count);
    if (count < buffer->size)
        buffer->text[count] = 0;
    buffer->length = static_cast<std::uint32_t>(text.size());
    return kSfmSuccess;
}

std::uint32_t SfmCopyText(const std::string& text, char* target, std::uint32_t room)
{
    if (target && room > 0) {
        std::size_t count = std::min<std::size_t>(text.size(), room - 1);
        std::memcpy(target, text.data(), count);
        target[count] = 0;
    }
    return static_cast<std::uint32_t>(text.size());
}
