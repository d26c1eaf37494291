#include "app/PianoStrip.h"

#include "app/PianoKeys.h"
#include "app/PianoStripAccessible.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdio>

namespace {

const char kClassName[] = "TonewellPianoStrip";
// Room at the left for the velocity the computer keyboard plays with.
constexpr int kLabelWidth = 40;

const char kTip[] =
    "Click or drag to play (softer near the top of a key). With the focus here, the keys "
    "Z S X D C V G B H N J M , L . ; / play from C, Q 2 W 3 E R 5 T 6 Y 7 U I 9 O 0 P from the C "
    "above; Page Up/Down: octave; Left/Right: velocity; Space: sustain. Playing switches "
    "previewing on.";

bool HighContrast()
{
    HIGHCONTRASTA contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// The colours keys are drawn in: the system's under high contrast, a piano's otherwise.
struct KeyColours {
    COLORREF white, black, pressedWhite, pressedBlack, outline, labelBack, labelText, keyText;
};

KeyColours ColoursNow()
{
    if (HighContrast())
        return {GetSysColor(COLOR_WINDOW),    GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HIGHLIGHT),
                GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNFACE),
                GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_WINDOWTEXT)};
    return {RGB(252, 252, 250), RGB(32, 32, 36),    RGB(150, 190, 235),         RGB(50, 100, 175),
            RGB(96, 96, 96),    GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT), RGB(96, 96, 96)};
}

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void Frame(HDC dc, const RECT& rect, COLORREF colour)
{
    RECT edge = rect;
    edge.right = edge.left + 1;
    Fill(dc, edge, colour);
    edge = rect;
    edge.top = edge.bottom - 1;
    Fill(dc, edge, colour);
    edge = rect;
    edge.left = edge.right - 1;
    Fill(dc, edge, colour);
    edge = rect;
    edge.bottom = edge.top + 1;
    Fill(dc, edge, colour);
}

void RegisterStripClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSA existing = {};
    if (GetClassInfoA(instance, kClassName, &existing))
        return;
    WNDCLASSA type = {};
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursor(nullptr, IDC_ARROW);
    type.lpszClassName = kClassName;
    RegisterClassA(&type);
}

} // namespace

CPianoStrip::CPianoStrip(IPlayedNotes& notes, CInputNoteLights& inputNotes)
    : m_notes(notes)
    , m_inputNotes(inputNotes)
    , m_keyboard(notes)
{
}

CPianoStrip::~CPianoStrip()
{
    m_inputNotes.Attach(nullptr);
    if (m_window && IsWindow(m_window)) {
        SetWindowLongPtrA(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
}

void CPianoStrip::Create(HWND parent, int id, HWND previous, const RECT& area)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    RegisterStripClass(instance, &CPianoStrip::Procedure);
    m_window = CreateWindowExA(0, kClassName, "Piano keys", WS_CHILD | WS_VISIBLE | WS_TABSTOP, area.left,
                               area.top, area.right - area.left, area.bottom - area.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (!m_window)
        return;
    SendMessageA(m_window, WM_SETFONT, static_cast<WPARAM>(SendMessageA(parent, WM_GETFONT, 0, 0)), FALSE);
    SetWindowPos(m_window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_inputNotes.Attach(m_window);
    AddTip();
}

void CPianoStrip::AddTip()
{
    m_tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr, nullptr, nullptr);
    if (!m_tip)
        return;
    TOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(m_window);
    tool.uId = reinterpret_cast<UINT_PTR>(m_window);
    tool.lpszText = const_cast<char*>(kTip);
    SendMessageA(m_tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(m_tip, TTM_SETMAXTIPWIDTH, 0, 360);
}

void CPianoStrip::SetOctave(int octave)
{
    m_octave = octave;
    m_keyboard.SetOctave(octave);
    Redraw();
}

bool CPianoStrip::IsPressed(int note) const
{
    if (note < 0 || note > 127)
        return false;
    const auto key = static_cast<std::uint8_t>(note);
    return note == m_mouseNote || m_keyboard.IsSounding(key) || m_inputNotes.IsLit(key);
}

RECT CPianoStrip::KeysArea() const
{
    RECT client = {};
    GetClientRect(m_window, &client);
    client.left += kLabelWidth;
    return client;
}

const CPianoStrip* CPianoStrip::Of(HWND window)
{
    char name[64] = {};
    if (!IsWindow(window) || !GetClassNameA(window, name, sizeof name) || lstrcmpiA(name, kClassName) != 0)
        return nullptr;
    return reinterpret_cast<const CPianoStrip*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void CPianoStrip::Redraw()
{
    if (m_window)
        InvalidateRect(m_window, nullptr, FALSE);
}

LRESULT CALLBACK CPianoStrip::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<CPianoStrip*>(create->lpCreateParams)->m_window = window;
    }
    auto* strip = reinterpret_cast<CPianoStrip*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!strip)
        return DefWindowProcA(window, message, wParam, lParam);
    return strip->OnMessage(message, wParam, lParam);
}

LRESULT CPianoStrip::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        // Letters and arrows play here; Tab, Enter, Escape and Alt's access keys stay the dialog's.
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (OnKey(message, lParam))
            return 0;
        break;
    case WM_CHAR:
        return 0;
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_SETFOCUS:
        Redraw();
        return 0;
    case WM_KILLFOCUS:
        // The key-ups go to the window with the focus: none would come here.
        m_keyboard.ReleaseAll();
        Redraw();
        return 0;
    case WM_LBUTTONDOWN:
        OnMouseDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        ReleaseMouseNote();
        return 0;
    case WM_CAPTURECHANGED:
        ReleaseMouseNote();
        return 0;
    case kInputNotesMessage:
        m_inputNotes.Collected();
        Redraw();
        return 0;
    case WM_GETOBJECT:
        if (LRESULT result = PianoStripAccessibleResult(m_window, wParam, lParam))
            return result;
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        Redraw();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(m_window, &paint);
        Paint(dc);
        EndPaint(m_window, &paint);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcA(m_window, message, wParam, lParam);
}

bool CPianoStrip::OnKey(UINT message, LPARAM lParam)
{
    KeyStroke stroke;
    stroke.scanCode = static_cast<std::uint8_t>((lParam >> 16) & 0xFF);
    stroke.control = GetKeyState(VK_CONTROL) < 0;
    stroke.alt = GetKeyState(VK_MENU) < 0;
    stroke.repeat = (lParam & (1L << 30)) != 0;
    if (message != WM_KEYDOWN) {
        const bool mine = m_keyboard.KeyUp(stroke);
        Redraw();
        // Alt's key-up still goes on to the menu bar's handling.
        return mine && message == WM_KEYUP;
    }
    switch (m_keyboard.KeyDown(stroke)) {
    case KeyboardAction::NotMine:
        return false;
    case KeyboardAction::OctaveUp:
        if (m_stepOctave)
            m_stepOctave(+1);
        break;
    case KeyboardAction::OctaveDown:
        if (m_stepOctave)
            m_stepOctave(-1);
        break;
    default:
        break;
    }
    Redraw();
    return true;
}

void CPianoStrip::OnMouseDown(POINT point)
{
    SetFocus(m_window);
    SetCapture(m_window);
    OnMouseMove(point);
}

void CPianoStrip::OnMouseMove(POINT point)
{
    if (GetCapture() != m_window)
        return;
    const CPianoKeys keys(KeysArea(), m_octave);
    const int note = keys.NoteAt(point);
    if (note == m_mouseNote)
        return;
    ReleaseMouseNote();
    if (note < 0)
        return;
    // Set first: starting the preview may show a message, and the strip must know its note.
    m_mouseNote = note;
    m_notes.NoteOn(static_cast<std::uint8_t>(note), keys.VelocityAt(point.y));
    Redraw();
}

void CPianoStrip::ReleaseMouseNote()
{
    if (m_mouseNote < 0)
        return;
    const auto note = static_cast<std::uint8_t>(m_mouseNote);
    m_mouseNote = -1;
    m_notes.NoteOff(note);
    Redraw();
}

void CPianoStrip::Paint(HDC target) const
{
    RECT client = {};
    GetClientRect(m_window, &client);
    // Drawn off screen first, so that a key pressed does not flicker the strip.
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    const KeyColours colours = ColoursNow();
    RECT label = client;
    label.right = kLabelWidth;
    Fill(dc, label, colours.labelBack);
    PaintLabel(dc, label);
    RECT keysArea = KeysArea();
    Fill(dc, keysArea, colours.labelBack);
    const CPianoKeys keys(keysArea, m_octave);
    for (int pass = 0; pass < 2; ++pass) {
        for (int note = keys.FirstNote(); note < keys.EndNote(); ++note) {
            const bool black = CPianoKeys::IsBlack(note);
            if (black != (pass == 1))
                continue;
            const RECT key = keys.KeyRect(note);
            const bool pressed = IsPressed(note);
            Fill(dc, key, black ? (pressed ? colours.pressedBlack : colours.black)
                                : (pressed ? colours.pressedWhite : colours.white));
            Frame(dc, key, colours.outline);
            if (note % 12 == 0)
                PaintKeyName(dc, key, note, colours.keyText);
        }
    }
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// Each C is named at its foot (C4 is middle C), so that the octave shows.
void CPianoStrip::PaintKeyName(HDC dc, const RECT& key, int note, COLORREF colour) const
{
    HGDIOBJ oldFont = m_font ? SelectObject(dc, m_font) : nullptr;
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    char name[8];
    std::snprintf(name, sizeof name, "C%d", note / 12 - 1);
    RECT inner = key;
    InflateRect(&inner, 0, -2);
    DrawTextA(dc, name, -1, &inner, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
    if (oldFont)
        SelectObject(dc, oldFont);
}

void CPianoStrip::PaintLabel(HDC dc, const RECT& label) const
{
    const KeyColours colours = ColoursNow();
    HGDIOBJ oldFont = m_font ? SelectObject(dc, m_font) : nullptr;
    SetTextColor(dc, colours.labelText);
    SetBkMode(dc, TRANSPARENT);
    char text[32];
    std::snprintf(text, sizeof text, "Vel\n%u", static_cast<unsigned>(m_keyboard.Velocity()));
    RECT inner = label;
    InflateRect(&inner, -3, -3);
    DrawTextA(dc, text, -1, &inner, DT_CENTER | DT_NOPREFIX);
    if (GetFocus() == m_window)
        DrawFocusRect(dc, &inner);
    if (oldFont)
        SelectObject(dc, oldFont);
}
