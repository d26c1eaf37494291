#pragma once
// Playing without a MIDI keyboard: the piano strip under the buttons, its notes sent on the
// preview path as the MIDI keyboard's are (previewing switched on by the first note), its
// octave the Octave field's, and whether it is shown, which the settings keep.

#include "app/PianoStrip.h"
#include "app/PreviewPanel.h"
#include "midi/ComputerKeyboard.h"
#include "midi/PreviewSession.h"
#include "settings/SettingsModel.h"

#include <windows.h>

// The window's system menu entry that shows and hides the strip.
constexpr UINT kPianoStripCommand = 0x0020;

class CPlayPanel final : public IPlayedNotes {
public:
    CPlayPanel(CPreviewSession& session, CPreviewPanel& previewPanel, SettingsModel& settings);

    // Makes the strip between the buttons and the find box, which moves down to make room
    // (the find box must exist), and adds the menu entry.
    void Create(HWND window);
    // As wide as the window.
    void Layout(int clientWidth);
    // Shows or hides the strip as the settings say.
    void ApplySettings();
    // After the Octave field moved: the strip follows it.
    void OnOctaveChanged();
    // Whether `command` was the menu entry's.
    bool OnSysCommand(UINT command);

    // IPlayedNotes: from the strip and the computer keyboard.
    void NoteOn(std::uint8_t note, std::uint8_t velocity) override;
    void NoteOff(std::uint8_t note) override;

private:
    void StepOctave(int step);
    void Show(bool shown);
    // The strip's height and the gap below it: how far the controls under it move.
    int RoomTaken() const;

    CPreviewSession& m_session;
    CPreviewPanel& m_previewPanel;
    SettingsModel& m_settings;
    CPianoStrip m_strip;
    HWND m_window = nullptr;
    bool m_shown = true;
};
