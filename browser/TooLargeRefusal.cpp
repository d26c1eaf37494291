#include "browser/TooLargeRefusal.h"

#include "base/Diagnostics.h"
#include "browser/SampleMemoryFit.h"

namespace {

std::string FileNameOf(const std::string& path)
{
    std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

} // namespace

bool RefuseLoadThatCantFit(HWND owner, const LoadFit& fit, const std::string& path)
{
    if (!fit.CertainlyTooLarge())
        return false;
    DebugTrace("Not loading %s: it needs %llu bytes, %llu are free\n", path.c_str(),
               static_cast<unsigned long long>(fit.neededBytes), static_cast<unsigned long long>(fit.availableBytes));
    ErrorBox(owner, MB_ICONSTOP | MB_OK, "Error",
             "%s", TooLargeMessage(FileNameOf(path), fit.neededBytes, fit.availableBytes).c_str());
    return true;
}
