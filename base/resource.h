#pragma once
// Resource identifiers, shared by the resource script and the code.

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_TONEWELL_DIALOG 102
#define IDD_DESTINATION 103
#define IDD_PROP_MIDI 106
#define IDD_PROP_SOFT_CARD 107
#define IDR_MAINFRAME 128

#define IDB_DEVICE 129
#define IDB_MIDI_PAGE 132
#define IDB_MELODIC 136
#define IDB_PERCUSSION 139
#define IDB_FOLDER_OPEN 141
#define IDB_FOLDER 142
#define IDB_WAVE 147
#define IDB_SOUNDFONT 149
#define IDB_DAMAGED 150
#define IDB_SOFT_DEVICE 151

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
#define IDC_FIND_EDIT 1040
#define IDC_FIND_RESULTS 1041
#define IDC_PIANO_STRIP 1042

#define IDM_ABOUTBOX 0x0010

// The destination dialog (103). The SoundFont device box has the same id on the settings page.
#define IDC_SOUNDFONT_DEVICE 1006
#define IDC_DEST_BANK 1029
#define IDC_DEST_INSTRUMENT 1030
#define IDC_DEST_INSTRUMENT_SPIN 1031
#define IDC_DEST_BANK_SPIN 1032
#define IDC_DEST_INSTRUMENT_LABEL 1033

// The preview settings page (106). Some ids repeat ids of the main window: each names a
// control of its own template.
#define IDC_MIDI_IN_DEVICE 1000
#define IDC_DEVICE_OUT_DEVICE 1002
#define IDC_FILE_OUT_DEVICE 1003
#define IDC_FILE_SOUNDFONT_DEVICE 1007
#define IDC_DEVICE_OUT_CHANNEL 1014
#define IDC_FILE_OUT_CHANNEL 1015
#define IDC_PREVIEW_ON_STARTUP 1016
#define IDC_ENABLE_PREVIEWING 1017
#define IDC_DEVICE_OUT_DEVICE_LABEL 1018
#define IDC_DEVICE_OUT_CHANNEL_LABEL 1019
#define IDC_FILE_OUT_DEVICE_LABEL 1020
#define IDC_FILE_OUT_CHANNEL_LABEL 1021
#define IDC_FILE_BANK 1024
#define IDC_FILE_BANK_SPIN 1025
#define IDC_FILE_INSTRUMENT 1026
#define IDC_FILE_INSTRUMENT_SPIN 1027

// The software synth's settings page (107), shown while the software card is loaded.
#define IDC_SOFT_AUDIO_API 1100
#define IDC_SOFT_BUFFER 1101
#define IDC_SOFT_MEMORY 1102
#define IDC_SOFT_POLYPHONY 1103
#define IDC_SOFT_REVERB 1104
#define IDC_SOFT_CHORUS 1105

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
