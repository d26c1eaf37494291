#pragma once
// "Select destination for Sound File": the SoundFont device and bank a SoundFont is loaded
// into. The main window opens it with one call, ChooseLoadDestination.

#include "base/Dialog.h"

#include <cstdint>
#include <string>
#include <vector>

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
    // The SoundFont devices the box lists, in the engine's order.
    std::vector<std::string> m_deviceNames;

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

// Asks where a SoundFont goes among `deviceNames`, starting from `device` and `bank`, with the
// instrument left out. True on OK, with both then holding the user's choice (the device -1
// when none was selected); false otherwise, with both unchanged.
bool ChooseLoadDestination(HWND owner, const std::vector<std::string>& deviceNames, std::int32_t& device,
                           std::int32_t& bank);
