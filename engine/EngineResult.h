#pragma once
// The outcome of one call through the engine binding: the code, and the text a message shows
// for it. Needs no Windows header.

#include "engine/SfmResult.h"

class EngineResult {
public:
    // Codes the binding answers itself, beside the engine's own.
    // The library could not be loaded, had no SFManager export, or refused the interface.
    static constexpr SfmResult kLibraryNotLoaded = 1;
    static constexpr SfmResult kNoEntryPoint = 500;
    static constexpr SfmResult kInterfaceRefused = 501;
    // A device number outside the devices of every library.
    static constexpr SfmResult kDeviceIndexOutOfRange = 502;
    // A file whose path can't be written for the card (see CardPathOf); the card is not asked.
    static constexpr SfmResult kNameNotPassable = 503;

    EngineResult() = default;
    // A code with its own text.
    static EngineResult Of(SfmResult code);
    // A code of the binding's that is told by another code's text ("Load Dll Failed" for 1).
    static EngineResult Of(SfmResult code, SfmResult textCode);

    SfmResult Code() const { return m_code; }
    const char* Text() const { return m_text; }
    bool Ok() const { return m_code == kSfmSuccess; }
    bool Failed() const { return !Ok(); }

private:
    EngineResult(SfmResult code, const char* text) : m_code(code), m_text(text) {}

    SfmResult m_code = kSfmSuccess;
    const char* m_text = "";
};
