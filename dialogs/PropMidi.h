#pragma once
// The "Preview" page of the settings sheet: the MIDI input used while previewing, the
// device map entry of each SoundFont device, and the devices, channel, bank and instrument
// used to preview sound files on disk. Every change is kept in the members at once; the
// opener takes them over only when the sheet closes with OK.

#include "base/PropertyPage.h"
#include "settings/PreviewSettings.h"

#include <cstdint>
#include <string>

class CPropMidi : public CPropertyPage {
public:
    CPropMidi();

    // Set by the opener before the sheet runs, read back after it closed with OK.
    PreviewSettings m_values;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;

private:
    void AttachControls();
    void ListInputDevices();
    void ListOutputDevices();
    void ListSoundFontDevices();
    void ListChannels();
    void ShowFileNumbers();

    // The entry of the device chosen in the SoundFont device box; null when none is chosen.
    DevMapEntry* ChosenEntry();
    void ShowChosenEntry();
    void EnableEntryControls(bool enabled);

    void OnSelectionChanged(WORD id);
    void OnClicked(WORD id);
    void OnNumberChanged(HWND edit, std::int32_t& member);

    HWND m_instrumentSpin = nullptr;       // 1027
    HWND m_bankSpin = nullptr;             // 1025
    HWND m_instrumentEdit = nullptr;       // 1026
    HWND m_bankEdit = nullptr;             // 1024
    HWND m_fileSoundFontBox = nullptr;     // 1007
    HWND m_fileOutputBox = nullptr;        // 1003
    HWND m_fileChannelBox = nullptr;       // 1015
    HWND m_entryOutputLabel = nullptr;     // 1018
    HWND m_entryChannelLabel = nullptr;    // 1019
    HWND m_enablePreviewing = nullptr;     // 1017
    HWND m_previewOnStartupBox = nullptr;  // 1016
    HWND m_entryChannelBox = nullptr;      // 1014
    HWND m_soundFontBox = nullptr;         // 1006
    HWND m_entryOutputBox = nullptr;       // 1002
    HWND m_inputBox = nullptr;             // 1000
};
