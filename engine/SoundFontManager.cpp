#include "engine/SoundFontManager.h"

#include "base/SoftCardLibrary.h"
#include "engine/CardPath.h"

CSoundFontManager::~CSoundFontManager()
{
    RemoveLibraries();
}

EngineResult CSoundFontManager::Initialize()
{
    RemoveLibraries();
    const CardPathRules codePagePaths = {&CardPathOf, &PathFromCard};
    EngineResult card = m_cardLibrary.Load();
    SetMissingLibraryResult(card);
    if (card.Ok())
        AddLibrary(*m_cardLibrary.Operations(), codePagePaths, LibraryKind::Card);
    // The software card opens files by their code-page paths too.
    m_softResult = m_softLibrary.LoadFrom(SoftCardLibraryPath());
    if (m_softResult.Ok())
        AddLibrary(*m_softLibrary.Operations(), codePagePaths, LibraryKind::Software);
    return card;
}
