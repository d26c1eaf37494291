#pragma once
// The SoundFont engines as the program holds them, side by side behind the wrapper that opens
// their devices (CSoundFontEngine): a sound card's own library, SFMAN32.DLL, where there is
// one, and the software card's, TWSYNTH.DLL from the program's own folder, always. The card's
// devices come first. Paths reach either in the code page (CardPathOf) and come back as UTF-8
// with their long names.

#include "engine/SfmLibrary.h"
#include "engine/SoundFontEngine.h"

class CSoundFontManager : public CSoundFontEngine {
public:
    CSoundFontManager() = default;
    ~CSoundFontManager() override;

    // Loads both libraries and offers the devices of those that loaded; answers the card
    // library's result. A library that failed offers no devices; with none at all, a device
    // asked for answers the card library's failure. Running it again loads afresh.
    EngineResult Initialize();
    // What loading the software card's library answered.
    const EngineResult& SoftCardResult() const { return m_softResult; }

private:
    CSfmLibrary m_cardLibrary;
    CSfmLibrary m_softLibrary;
    EngineResult m_softResult;
};
