#pragma once
// The text of a shell folder's answer to a display-name request.

#include "shell/ShellMalloc.h"

#include <shlobj.h>

#include <string>

// Converts `answer`, given for the identifier list `item`, to UTF-8 text and
// frees the string it owns. An answer of unknown form, or an offset that points outside `item`,
// gives empty text.
std::string StrRetToText(STRRET& answer, LPCITEMIDLIST item, const CShellMalloc& malloc);
