#pragma once
// One page of a property sheet, on a dialog template. It is a CDialog whose window the sheet
// creates: the page procedure only finds the object in the sheet's page record and then
// hands every message to the same dispatch as any other dialog of the program.

#include "base/Dialog.h"

#include <prsht.h>

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId);

    // The record the sheet creates the page from; the tab shows the template's caption.
    PROPSHEETPAGEA Describe();

    // Whether the sheet's last run ended with OK (rather than Cancel or the close box).
    bool ClosedWithOK() const { return m_closedWithOK; }
    void ForgetClosing() { m_closedWithOK = false; }

protected:
    // OK and Apply: the sheet's apply. Cancel: its reset. Both do nothing here.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnNotify(NMHDR* header, LRESULT& result) override;

    // Enables the sheet's Apply button.
    void SetModified();

private:
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool m_closedWithOK = false;
};
