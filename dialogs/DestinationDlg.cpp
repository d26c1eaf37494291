#include "dialogs/DestinationDlg.h"

#include "base/Controls.h"
#include "base/Diagnostics.h"
#include "base/resource.h"
#include "dialogs/IntegerField.h"
#include "engine/BankNumbers.h"
#include "midi/MidiMessage.h"

#include <commctrl.h>

CDestinationDlg::CDestinationDlg()
    : CDialog(IDD_DESTINATION, nullptr)
{
}

INT_PTR CDestinationDlg::Run(HWND owner)
{
    m_parent = owner;
    return DoModal();
}

bool ChooseLoadDestination(HWND owner, const std::vector<std::string>& deviceNames, std::int32_t& device,
                           std::int32_t& bank)
{
    CDestinationDlg dialog;
    dialog.m_deviceNames = deviceNames;
    dialog.m_device = device;
    dialog.m_bank = bank;
    dialog.m_instrumentEnabled = false;
    if (dialog.Run(owner) != IDOK)
        return false;
    device = dialog.m_device;
    bank = dialog.m_bank;
    return true;
}

BOOL CDestinationDlg::OnInitDialog()
{
    SetDlgItemInt(m_hWnd, IDC_DEST_BANK, static_cast<UINT>(m_bank), TRUE);
    SetDlgItemInt(m_hWnd, IDC_DEST_INSTRUMENT, static_cast<UINT>(m_instrument), TRUE);
    // The spins write their positions into the fields, so a value outside a spin's range
    // shows as the range's nearest end.
    SetUpSpin(IDC_DEST_BANK_SPIN, kFirstBank, kLastBank, m_bank);
    SetUpSpin(IDC_DEST_INSTRUMENT_SPIN, 0, kHighestDataByte, m_instrument);
    EnableInstrument(m_instrumentEnabled);
    ListDevices();
    SendDlgItemMessageA(m_hWnd, IDC_SOUNDFONT_DEVICE, CB_SETCURSEL,
                        static_cast<WPARAM>(m_device), 0);
    return TRUE;
}

void CDestinationDlg::SetUpSpin(int spinId, int lowest, int highest, std::int32_t position)
{
    HWND spin = GetDlgItem(spinId);
    SendMessageA(spin, UDM_SETRANGE, 0, MAKELPARAM(highest, lowest));
    SendMessageA(spin, UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(position), 0));
}

void CDestinationDlg::EnableInstrument(bool enabled)
{
    for (int id : {IDC_DEST_INSTRUMENT_SPIN, IDC_DEST_INSTRUMENT_LABEL, IDC_DEST_INSTRUMENT})
        EnableControl(GetDlgItem(id), enabled);
}

// Without an engine the list is empty and so is the box: the main window has already said so
// at start, and a load from an empty box fails with its own message.
void CDestinationDlg::ListDevices()
{
    HWND box = GetDlgItem(IDC_SOUNDFONT_DEVICE);
    for (const std::string& name : m_deviceNames)
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void CDestinationDlg::OnOK()
{
    m_device = static_cast<std::int32_t>(
        SendDlgItemMessageA(m_hWnd, IDC_SOUNDFONT_DEVICE, CB_GETCURSEL, 0, 0));
    std::int32_t bank = 0;
    std::int32_t instrument = 0;
    if (!ReadIntegerField(IDC_DEST_BANK, bank) || bank < kFirstBank || bank > kLastBank) {
        RefuseField(IDC_DEST_BANK, "Please enter a bank from 1 to 127.");
        return;
    }
    if (!ReadIntegerField(IDC_DEST_INSTRUMENT, instrument)) {
        RefuseField(IDC_DEST_INSTRUMENT, "Please enter an integer.");
        return;
    }
    m_bank = bank;
    m_instrument = instrument;
    EndDialog(IDOK);
}

bool CDestinationDlg::ReadIntegerField(int fieldId, std::int32_t& value)
{
    return ParseIntegerField(ControlText(GetDlgItem(fieldId)), value);
}

void CDestinationDlg::RefuseField(int fieldId, const char* message)
{
    HWND field = GetDlgItem(fieldId);
    ErrorBox(m_hWnd, MB_OK | MB_ICONSTOP, "Error", "%s", message);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}
