#pragma once
// Resource identifiers, shared by the resource script and the code.

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_TONEWELL_DIALOG 102
#define IDD_DESTINATION 103
#define IDD_PROP_MIDI 106
#define IDR_MAINFRAME 128

#define IDB_DEVICE 129
#define IDB_MIDI_PAGE 132
#define IDB_MELODIC 136
#define IDB_PERCUSSION 139
#define IDB_FOLDER_OPEN 141
#define IDB_FOLDER 142
#define IDB_WAVE 147
#define IDB_SOUNDFONT 149

#define IDC_SOUND_TREE 1000
#define IDC_SETTINGS 1004
#define IDC_PREVIEW 1007
#define IDC_MEMORY_BAR 1022
#define IDC_MEMORY_TEXT 1023
#define IDC_REFRESH 1028
#define IDC_PRESET_LIST 1034
#define IDC_OCTAVE_EDIT 1035
#define IDC_OCTAVE_SPIN 1036
#define IDC_EXPAND 1037

#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
