#include "app/SoftCardSilence.h"

#include "base/Diagnostics.h"
#include "engine/LoadedSoftControl.h"

bool CSoftCardSilence::TellOnce(HWND window)
{
    if (m_told)
        return false;
    const std::string failure = SoftCardAudioFailure();
    if (failure.empty())
        return false;
    m_told = true;
    ErrorBox(window, MB_ICONSTOP | MB_OK, "Error", kSoftCardSilentFormat, failure.c_str());
    return true;
}
