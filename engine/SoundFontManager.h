#pragma once
// The sound card's SoundFont engine as the program holds it: the card's own library, loaded
// from SFMAN32.DLL, behind the wrapper that opens its devices (CSoundFontEngine). Paths reach
// the card in its code page (CardPathOf) and come back as UTF-8 with their long names.

#include "engine/SfmLibrary.h"
#include "engine/SoundFontEngine.h"

class CSoundFontManager : public CSoundFontEngine {
public:
    CSoundFontManager() = default;
    ~CSoundFontManager() override;

    // Loads the card's library and offers its devices; on failure there are none, and a
    // device asked for answers the failure's text. Running it again loads afresh.
    EngineResult Initialize();

private:
    CSfmLibrary m_library;
};
