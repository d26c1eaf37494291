#pragma once
// The "Software Synth" page of the settings sheet: the software card's own settings (its
// audio output and buffer length, sound memory, polyphony, reverb and chorus), shown while
// the card is loaded. A value out of range is refused with a message and the page stays; the
// opener hands the values to the card only when the sheet closes with OK.

#include "base/PropertyPage.h"
#include "engine/SoftCardSettings.h"

class CPropSoftCard : public CPropertyPage {
public:
    CPropSoftCard();

    // Set by the opener before the sheet runs, read back after it closed with OK.
    SoftCardSettings m_values;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;

private:
    void ShowValues();
    // The controls' values; a field that holds no number reads as 0, which no range allows.
    SoftCardSettings ReadControls() const;
    // Takes the controls' values when they are all in range; otherwise says which is not.
    bool TakeControls();
};
