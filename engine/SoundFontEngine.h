#pragma once
// The program's way to the SoundFont devices of one or more libraries side by side (a real
// card's and a software one's): each library is an operation table, and a device is a library
// and an index in it, numbered in the order the libraries were added. Devices are opened as
// scoped CSfmDevice objects; every call answers a typed result. Needs no Windows header.

#include "engine/EngineResult.h"
#include "engine/SfmDevice.h"
#include "engine/SfmInterface.h"

#include <string>
#include <vector>

// Whose library it is: a sound card's, or the software card that plays through the PC's audio.
enum class LibraryKind { Card, Software };

class CSoundFontEngine {
public:
    CSoundFontEngine() = default;
    virtual ~CSoundFontEngine() = default;
    CSoundFontEngine(const CSoundFontEngine&) = delete;
    CSoundFontEngine& operator=(const CSoundFontEngine&) = delete;

    // Its devices follow those of the libraries added before. The table must outlive this
    // object and every device opened from it.
    void AddLibrary(const SfmOperationTable& operations, CardPathRules paths = {},
                    LibraryKind kind = LibraryKind::Card);
    void RemoveLibraries();
    bool HasLibrary() const { return !m_libraries.empty(); }
    // What a device is refused with while no library is there: why none could be loaded.
    void SetMissingLibraryResult(EngineResult why) { m_missingLibrary = why; }

    // The devices of every library. A library whose count fails lists none, and the failure
    // is answered.
    EngineResult CountDevices(int& count);
    int GetDeviceCount();
    EngineResult GetDeviceCapabilities(int index, SfmCapabilities& capabilities);
    // The names before the first that can't be read, and that failure.
    EngineResult GetDeviceNames(std::vector<std::string>& names);
    // `name` is left alone on failure.
    EngineResult GetDeviceName(int index, std::string& name);
    // Whether the device is one of a software library's; false for a number outside them all.
    bool IsSoftwareDevice(int index);
    // Among devices of the same name the last one wins; `index` is left alone when none has it.
    bool FindDevice(const std::string& name, int& index);

    // Opens the device; the device closes when the object goes. A number outside every
    // library's devices is never sent to an engine: the device then answers why (the count's
    // failure, kDeviceIndexOutOfRange, or the missing library's result).
    CSfmDevice Open(int index);
    // Devices opened and not yet closed.
    int OpenDeviceCount() const { return m_openDevices; }
    bool IsDeviceOpen() const { return m_openDevices > 0; }

private:
    struct Library {
        const SfmOperationTable* operations;
        CardPathRules paths;
        LibraryKind kind;
    };
    struct Address {
        const Library* library = nullptr;
        std::uint32_t index = 0;
    };
    // The library and index of device `index`, or the result that says why there is none.
    EngineResult Locate(int index, Address& address);

    std::vector<Library> m_libraries;
    EngineResult m_missingLibrary = EngineResult::Of(EngineResult::kLibraryNotLoaded, kSfmLoadDllFailed);
    int m_openDevices = 0;
};
