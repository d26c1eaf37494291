#pragma once
// "Select destination for Sound File": the SoundFont device and bank a SoundFont is loaded
// into. The main window keeps one for its whole life and shows it for every load that asks
// the user, so the values carry over from one showing to the next.

#include "app/core/Dialog.h"

#include <cstdint>

class CDestinationDlg : public CDialog {
public:
    CDestinationDlg();

    // The caller sets device, bank and instrument enabled before running the dialog. After
    // IDOK they hold the user's choice, the bank from 1 to 127; after any other result they
    // must not be used.
    // Index into the engine's device list; -1 when the device box had no selection at OK.
    std::int32_t m_device = 0;
    // Whether the instrument label, field and spin control can be used.
    bool m_instrumentEnabled = true;
    std::int32_t m_bank = 0;
    std::int32_t m_instrument = 0;

    // Runs the dialog modally over `owner`, which is disabled meanwhile.
    INT_PTR Run(HWND owner);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void SetUpSpin(int spinId, int lowest, int highest, std::int32_t position);
    void EnableInstrument(bool enabled);
    void ListDevices();
    bool ReadIntegerField(int fieldId, std::int32_t& value);
    // Tells the user what the field must hold and puts the focus there.
    void RefuseField(int fieldId, const char* message);
};
