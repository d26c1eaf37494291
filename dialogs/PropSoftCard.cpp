#include "dialogs/PropSoftCard.h"

#include "base/Controls.h"
#include "base/Diagnostics.h"
#include "base/resource.h"
#include "dialogs/IntegerField.h"

#include <commctrl.h>

namespace {

// In the order of SoftAudioApi.
const char* const kAudioApiNames[] = {"Automatic", "WASAPI", "DirectSound", "waveOut"};

struct NumberField {
    int id;
    std::uint32_t SoftCardSettings::*value;
    SoftSettingField field;
};

const NumberField kNumberFields[] = {
    {IDC_SOFT_BUFFER, &SoftCardSettings::bufferMs, SoftSettingField::BufferMs},
    {IDC_SOFT_MEMORY, &SoftCardSettings::soundMemoryMb, SoftSettingField::SoundMemoryMb},
    {IDC_SOFT_POLYPHONY, &SoftCardSettings::polyphony, SoftSettingField::Polyphony},
};

int ControlOf(SoftSettingField field)
{
    for (const NumberField& number : kNumberFields) {
        if (number.field == field)
            return number.id;
    }
    return IDC_SOFT_AUDIO_API;
}

} // namespace

CPropSoftCard::CPropSoftCard()
    : CPropertyPage(IDD_PROP_SOFT_CARD)
{
}

BOOL CPropSoftCard::OnInitDialog()
{
    HWND apis = GetDlgItem(IDC_SOFT_AUDIO_API);
    for (const char* name : kAudioApiNames)
        SendMessageA(apis, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    ShowValues();
    return TRUE;
}

void CPropSoftCard::ShowValues()
{
    SendDlgItemMessageA(m_hWnd, IDC_SOFT_AUDIO_API, CB_SETCURSEL, m_values.audioApi, 0);
    for (const NumberField& number : kNumberFields)
        SetControlNumber(GetDlgItem(number.id), static_cast<std::int32_t>(m_values.*number.value));
    SetChecked(GetDlgItem(IDC_SOFT_REVERB), m_values.reverb != 0);
    SetChecked(GetDlgItem(IDC_SOFT_CHORUS), m_values.chorus != 0);
}

SoftCardSettings CPropSoftCard::ReadControls() const
{
    SoftCardSettings read;
    LRESULT api = SendDlgItemMessageA(m_hWnd, IDC_SOFT_AUDIO_API, CB_GETCURSEL, 0, 0);
    read.audioApi = api == CB_ERR ? m_values.audioApi : static_cast<std::uint32_t>(api);
    for (const NumberField& number : kNumberFields) {
        std::int32_t value = 0;
        read.*number.value = ParseIntegerField(ControlText(GetDlgItem(number.id)), value) && value > 0
                                 ? static_cast<std::uint32_t>(value)
                                 : 0;
    }
    read.reverb = IsChecked(GetDlgItem(IDC_SOFT_REVERB)) ? 1 : 0;
    read.chorus = IsChecked(GetDlgItem(IDC_SOFT_CHORUS)) ? 1 : 0;
    return read;
}

bool CPropSoftCard::TakeControls()
{
    SoftCardSettings read = ReadControls();
    SoftSettingsCheck check = CheckSoftCardSettings(read);
    if (!check.Ok()) {
        HWND field = GetDlgItem(ControlOf(check.field));
        ErrorBox(m_hWnd, MB_OK | MB_ICONSTOP, "Error", "%s", check.message.c_str());
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 0, -1);
        return false;
    }
    m_values = read;
    return true;
}

bool CPropSoftCard::OnCommand(WORD id, WORD code, HWND)
{
    const bool edited = (code == EN_CHANGE && id != IDC_SOFT_AUDIO_API) ||
                        (code == BN_CLICKED && (id == IDC_SOFT_REVERB || id == IDC_SOFT_CHORUS)) ||
                        (code == CBN_SELCHANGE && id == IDC_SOFT_AUDIO_API);
    // The edits' notifications while the page is filled are no change to apply.
    if (edited && IsWindowVisible(m_hWnd))
        SetModified();
    return edited;
}

// Leaving the page and applying it both need values in range: the page stays otherwise.
bool CPropSoftCard::OnNotify(NMHDR* header, LRESULT& result)
{
    if (header->hwndFrom == GetParent(m_hWnd)) {
        if (header->code == PSN_KILLACTIVE) {
            result = TakeControls() ? FALSE : TRUE;
            return true;
        }
        if (header->code == PSN_APPLY && !TakeControls()) {
            result = PSNRET_INVALID;
            return true;
        }
    }
    return CPropertyPage::OnNotify(header, result);
}
