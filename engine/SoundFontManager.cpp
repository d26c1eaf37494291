#include "engine/SoundFontManager.h"

#include "engine/CardPath.h"

CSoundFontManager::~CSoundFontManager()
{
    RemoveLibraries();
}

EngineResult CSoundFontManager::Initialize()
{
    RemoveLibraries();
    EngineResult loaded = m_library.Load();
    SetMissingLibraryResult(loaded);
    if (loaded.Ok())
        AddLibrary(*m_library.Operations(), {&CardPathOf, &PathFromCard});
    return loaded;
}
