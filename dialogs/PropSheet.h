#pragma once
// The settings sheet: the frame with OK, Cancel and Apply around its one page, the preview
// settings page. The page's values travel in and out through it.

#include "settings/PreviewSettings.h"
#include "dialogs/PropMidi.h"
#include "base/PropertySheet.h"

class CPropSheet : public CPropertySheet {
public:
    CPropSheet(const char* caption, HWND parent, UINT firstPage);

    CPropMidi& Page() { return m_page; }

    void SetValues(const PreviewSettings& settings);
    PreviewSettings Values() const;

private:
    CPropMidi m_page;
};

// The caption the program's settings sheet carries.
constexpr const char* kSettingsSheetCaption = "Tonewell Properties";

// Shows the settings sheet over `parent` (disabled meanwhile) on a copy of `settings`. True
// when the user closed it with OK: `settings` then holds the page's values, the device map
// replaced whole, even if nothing changed. Otherwise `settings` is left as it was, Apply or
// no Apply.
bool RunSettingsSheet(HWND parent, PreviewSettings& settings);
