#pragma once

// Identifiers of the program's resources: controls, strings, the icon, the
// release notes and the about entry of the main dialog's menu.

// Icon and release notes.
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDR_RELEASE_NOTES = 130;

// Strings.
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDS_APP_TITLE = 102;
inline constexpr int IDS_APP_VERSION = 103;
inline constexpr int IDS_SELECT_SOURCE_FIRST = 104;
inline constexpr int IDS_CONVERSION_DONE = 105;
inline constexpr int IDS_CONVERSION_FAILED = 106;
inline constexpr int IDS_ENTER_POSITIVE_INTEGER = 107;
inline constexpr int IDS_CREATE_PROMPT = 108;
inline constexpr int IDS_OPEN_TITLE = 109;
inline constexpr int IDS_ALL_FILES = 110;
inline constexpr int IDS_CANNOT_OPEN_SOURCE = 111;
inline constexpr int IDS_CANNOT_OPEN_DEST = 112;
inline constexpr int IDS_CANNOT_READ_SOURCE = 113;
inline constexpr int IDS_CANNOT_WRITE_DEST = 114;
inline constexpr int IDS_SAME_FILE = 115;
inline constexpr int IDS_SOURCE_CHANGED = 116;
inline constexpr int IDS_STDIN_CLOSED = 117;
inline constexpr int IDS_STDOUT_CLOSED = 118;
inline constexpr int IDS_STDERR_CLOSED = 119;
inline constexpr int IDS_OUT_OF_MEMORY = 120;
inline constexpr int IDS_DEST_CHANGED = 121;
inline constexpr int IDS_ENTER_INTEGER = 61712;
inline constexpr int IDS_ENTER_INTEGER_RANGE = 61714;

// Menu command that opens the about box.
inline constexpr int IDM_ABOUTBOX = 16;

// Controls. IDOK and IDCANCEL are the common buttons every dialog knows;
// <windows.h> defines them as macros of the same values, which then stand in
// for these. IDC_STATIC marks texts and frames that are never addressed.
inline constexpr int IDC_STATIC = -1;
#ifndef IDOK
inline constexpr int IDOK = 1;
#endif
#ifndef IDCANCEL
inline constexpr int IDCANCEL = 2;
#endif
inline constexpr int IDC_SOURCE_PATH = 1000;
inline constexpr int IDC_BROWSE_SOURCE = 1001;
inline constexpr int IDC_DEST_PATH = 1002;
inline constexpr int IDC_BROWSE_DEST = 1003;
inline constexpr int IDC_HEX_INVERT = 1004;
inline constexpr int IDC_TXT_TO_BIN = 1005;
inline constexpr int IDC_BIN_TO_TXT = 1006;
inline constexpr int IDC_HOMEPAGE = 1007;
inline constexpr int IDC_COMMAND_HELP = 1008;
inline constexpr int IDC_BYTE_UNIT = 1009;
inline constexpr int IDC_LINE_UNIT = 1010;
inline constexpr int IDC_RELEASE_NOTES = 1011;
inline constexpr int IDC_VERSION_TEXT = 1012;
inline constexpr int IDC_LINE_UNIT_LABEL = 1013;
inline constexpr int IDC_LINE_UNIT_SUFFIX = 1014;
inline constexpr int IDC_BYTE_UNIT_LABEL = 1015;
inline constexpr int IDC_PROGRESS_SOURCE = 1016;
inline constexpr int IDC_PROGRESS_BAR = 1017;
