#pragma once
// The two diagnostics every part of the program uses.

#include <windows.h>

// Writes "(%6d) %s" (milliseconds since the first trace) to the trace sink, by default the
// debugger's output. No line end is added.
void DebugTrace(const char* format, ...);

// Formats a text (at most 255 bytes) and shows it in a modal message box: as UTF-8, which
// names in it are, unless the text is not UTF-8 (then as text in the ANSI code page).
int ErrorBox(HWND owner, UINT style, const char* caption, const char* format, ...);

// Where trace lines go. Tests install their own sink to read what was traced.
using TraceSink = void (*)(const char* line);
TraceSink SetTraceSink(TraceSink sink);
