#include "browser/LoadedBankCache.h"

void CLoadedBankCache::ForgetBank(int device, int bank)
{
    auto found = m_devices.find(device);
    if (found != m_devices.end() && bank >= 0 && bank <= kLastBank)
        found->second[static_cast<std::size_t>(bank)] = CachedBank();
}

void CLoadedBankCache::ForgetDevice(int device)
{
    m_devices.erase(device);
}
