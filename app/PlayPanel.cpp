#include "app/PlayPanel.h"

#include "app/WindowFrame.h"
#include "base/resource.h"

#include <commctrl.h>

namespace {

// The strip's height in dialog units: room for keys a finger-wide mouse pointer hits.
constexpr int kStripHeightUnits = 34;
constexpr int kGap = 2;

// Moves a control down by `delta` pixels (up for a negative one), its bottom staying put.
void MoveTop(HWND parent, HWND control, int delta)
{
    if (!control)
        return;
    const RECT r = ChildRect(parent, control);
    SetWindowPos(control, nullptr, r.left, r.top + delta, r.right - r.left, r.bottom - r.top - delta,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moves a control down by `delta` pixels, whole.
void MoveBy(HWND parent, HWND control, int delta)
{
    if (!control)
        return;
    const RECT r = ChildRect(parent, control);
    SetWindowPos(control, nullptr, r.left, r.top + delta, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

CPlayPanel::CPlayPanel(CPreviewSession& session, CPreviewPanel& previewPanel, SettingsModel& settings)
    : m_session(session)
    , m_previewPanel(previewPanel)
    , m_settings(settings)
    , m_strip(*this, session.InputNotes())
{
}

int CPlayPanel::RoomTaken() const
{
    RECT units = {0, 0, 1, kStripHeightUnits};
    MapDialogRect(m_window, &units);
    return units.bottom + kGap;
}

void CPlayPanel::Create(HWND window)
{
    m_window = window;
    HWND findBox = GetDlgItem(window, IDC_FIND_EDIT);
    RECT client = {};
    GetClientRect(window, &client);
    const RECT box = ChildRect(window, findBox);
    const int room = RoomTaken();
    const RECT area = {box.left, box.top, client.right - box.left, box.top + room - kGap};
    m_strip.Create(window, IDC_PIANO_STRIP, GetWindow(findBox, GW_HWNDPREV), area);
    m_strip.SetOctaveStepper([this](int step) { StepOctave(step); });
    for (int id : {IDC_SOUND_TREE, IDC_PRESET_LIST, IDC_FIND_RESULTS})
        MoveTop(window, GetDlgItem(window, id), room);
    MoveBy(window, findBox, room);
    if (HMENU menu = GetSystemMenu(window, FALSE))
        AppendMenuA(menu, MF_STRING | MF_CHECKED, kPianoStripCommand, "Piano &Strip");
}

void CPlayPanel::Layout(int clientWidth)
{
    HWND strip = m_strip.Window();
    if (!strip)
        return;
    const RECT r = ChildRect(m_window, strip);
    SetWindowPos(strip, nullptr, 0, 0, clientWidth - 2 * r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPlayPanel::ApplySettings()
{
    Show(m_settings.showPianoStrip);
}

void CPlayPanel::Show(bool shown)
{
    HWND strip = m_strip.Window();
    if (!strip || shown == m_shown)
        return;
    m_shown = shown;
    if (!shown && GetFocus() == strip)
        SetFocus(GetDlgItem(m_window, IDC_SOUND_TREE));
    ShowWindow(strip, shown ? SW_SHOWNA : SW_HIDE);
    const int delta = shown ? RoomTaken() : -RoomTaken();
    for (int id : {IDC_SOUND_TREE, IDC_PRESET_LIST, IDC_FIND_RESULTS})
        MoveTop(m_window, GetDlgItem(m_window, id), delta);
    MoveBy(m_window, GetDlgItem(m_window, IDC_FIND_EDIT), delta);
    if (HMENU menu = GetSystemMenu(m_window, FALSE))
        CheckMenuItem(menu, kPianoStripCommand, MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
    InvalidateRect(m_window, nullptr, TRUE);
}

bool CPlayPanel::OnSysCommand(UINT command)
{
    if ((command & 0xFFF0) != kPianoStripCommand)
        return false;
    Show(!m_shown);
    m_settings.showPianoStrip = m_shown;
    return true;
}

void CPlayPanel::OnOctaveChanged()
{
    m_strip.SetOctave(m_previewPanel.Octave());
}

void CPlayPanel::StepOctave(int step)
{
    NMUPDOWN change = {};
    change.iDelta = step;
    m_previewPanel.OnOctaveDeltaPos(change);
    SendDlgItemMessageA(m_window, IDC_OCTAVE_SPIN, UDM_SETPOS32, 0, m_previewPanel.Octave());
    OnOctaveChanged();
}

void CPlayPanel::NoteOn(std::uint8_t note, std::uint8_t velocity)
{
    if (!m_session.IsPreviewing())
        m_previewPanel.TogglePreview();
    m_session.PlayNote(note, velocity);
}

void CPlayPanel::NoteOff(std::uint8_t note)
{
    m_session.ReleaseNote(note);
}
