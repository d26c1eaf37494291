#pragma once
// The piano strip: a row of keys across the main window that plays the selected sound. Click
// or drag to play (a key sounds softer the nearer its top it is struck); with the focus, the
// computer keyboard plays by key position. Keys sounding are drawn pressed, those the MIDI
// keyboard plays too. Screen readers read it as "Piano keys" with a key per note.

#include "midi/ComputerKeyboard.h"
#include "midi/InputNoteLights.h"

#include <windows.h>

#include <functional>

class CPianoStrip {
public:
    // Both outlive the strip.
    CPianoStrip(IPlayedNotes& notes, CInputNoteLights& inputNotes);
    ~CPianoStrip();
    CPianoStrip(const CPianoStrip&) = delete;
    CPianoStrip& operator=(const CPianoStrip&) = delete;

    // Makes the control in `parent` at `area`, after `previous` in the tab order.
    void Create(HWND parent, int id, HWND previous, const RECT& area);
    HWND Window() const { return m_window; }

    // Page Up/Down and Up/Down in the strip ask for another octave by one step; the owner
    // answers with SetOctave.
    void SetOctaveStepper(std::function<void(int step)> step) { m_stepOctave = std::move(step); }
    // The octave the strip starts at and the computer keyboard plays in.
    void SetOctave(int octave);
    std::uint8_t Velocity() const { return m_keyboard.Velocity(); }
    // Whether the key of `note` is drawn pressed: struck here, or played on the MIDI keyboard.
    bool IsPressed(int note) const;
    // The keys' area in the control's client coordinates.
    RECT KeysArea() const;
    int Octave() const { return m_octave; }
    // The strip of a window made by Create, or null.
    static const CPianoStrip* Of(HWND window);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnKey(UINT message, LPARAM lParam);
    void OnMouseDown(POINT point);
    void OnMouseMove(POINT point);
    void ReleaseMouseNote();
    void Paint(HDC dc) const;
    void PaintLabel(HDC dc, const RECT& label) const;
    void PaintKeyName(HDC dc, const RECT& key, int note, COLORREF colour) const;
    void AddTip();
    void Redraw();

    IPlayedNotes& m_notes;
    CInputNoteLights& m_inputNotes;
    CComputerKeyboard m_keyboard;
    std::function<void(int)> m_stepOctave;
    HWND m_window = nullptr;
    HWND m_tip = nullptr;
    HFONT m_font = nullptr;
    int m_octave = 0;
    int m_mouseNote = -1;
};
