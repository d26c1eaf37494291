#pragma once
// The settings sheet: the frame with OK, Cancel and Apply around the preview settings page
// and, while the software card is loaded, the software synth's page. The pages' values travel
// in and out through it.

#include "settings/PreviewSettings.h"
#include "dialogs/PropMidi.h"
#include "dialogs/PropSoftCard.h"
#include "base/PropertySheet.h"

class CPropSheet : public CPropertySheet {
public:
    CPropSheet(const char* caption, HWND parent, UINT firstPage);

    CPropMidi& Page() { return m_page; }

    void SetValues(const PreviewSettings& settings);
    PreviewSettings Values() const;

    // Adds the software synth's page after the preview page, showing `settings`.
    void AddSoftCardPage(const SoftCardSettings& settings);
    SoftCardSettings SoftCardValues() const { return m_softCardPage.m_values; }

private:
    CPropMidi m_page;
    CPropSoftCard m_softCardPage;
};

// The caption the program's settings sheet carries.
constexpr const char* kSettingsSheetCaption = "Tonewell Properties";

// Shows the settings sheet over `parent` (disabled meanwhile) on a copy of `settings`. True
// when the user closed it with OK: `settings` then holds the page's values, the device map
// replaced whole, even if nothing changed, and the software card has taken what changed on
// its page. Otherwise `settings` and the card are left as they were, Apply or no Apply.
bool RunSettingsSheet(HWND parent, PreviewSettings& settings);
