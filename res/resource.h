// Identifiers shared by the resource script and the code. Plain macros, so the
// resource compiler can read them too.
#pragma once

// Commands
#define IDM_ABOUTBOX                0x0010
#define ID_SET_HOTKEY               103
#define ID_EXIT                     104

// Dialog templates
#define IDD_ABOUTBOX                100
#define IDD_MAIN_DIALOG             102
#define IDD_HOTKEY_DIALOG           133

// Icon and cursor
#define IDR_MAINFRAME               128
#define IDC_FINDER_CURSOR           131

// The command menu of the ">>" button
#define IDR_COMMAND_MENU            140

// Strings
#define IDS_ABOUTBOX                101
#define IDS_FILES_DAMAGED           102
#define IDS_APP_TITLE               103
#define IDS_ALREADY_RUNNING         105
#define IDS_TITLE_COLUMN            106
#define IDS_HOTKEY_TAKEN            107

// Controls of the main window
#define IDC_FINDER                  1001
#define IDC_HIDDEN_LIST             1002
#define IDC_INVISIBLE_ON_DROP       1005
#define IDC_MENU_BUTTON             1006
#define IDC_HOTKEY                  1015
#define IDC_HIDE_SELF_AFTER_SHOW    1016

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif
