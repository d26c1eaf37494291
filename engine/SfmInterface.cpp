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
