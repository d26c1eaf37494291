#pragma once

#include "base/Application.h"

// The application object: opens the main window modally with the command-line text.
class CBrowserApp : public CApplication {
public:
    BOOL InitInstance() override;
};
