#pragma once

// Numbers shared by the resource script and the code. Plain macros, because the resource
// compiler reads this file too.

#define IDD_ABOUTBOX 100
#define IDD_MAINWINDOW 102
#define IDI_PROGRAM 131
#define IDB_BANNER 141
// The banner's renderings for each screen scale, PNG files in the order of kBannerRenderings:
// 100 %, 125 %, 150 %, 175 %, 200 %, 250 %, 300 %, 400 %, 500 %.
#define IDR_BANNER_100 150
#define IDR_BANNER_125 151
#define IDR_BANNER_150 152
#define IDR_BANNER_175 153
#define IDR_BANNER_200 154
#define IDR_BANNER_250 155
#define IDR_BANNER_300 156
#define IDR_BANNER_400 157
#define IDR_BANNER_500 158

#define IDC_LOAD 1000
#define IDC_SAVE 1001
#define IDC_ITEM_FIELD 1003
#define IDC_ITEM_LIST 1005
#define IDC_SOURCE_GAME_FIELD 1006
#define IDC_TARGET_LIST 1007
// The hidden labels just before a control in tab order, whose text is the control's accessible name.
#define IDC_ITEM_FIELD_NAME 1013
#define IDC_ITEM_LIST_NAME 1015
#define IDC_SOURCE_GAME_FIELD_NAME 1016
#define IDC_TARGET_LIST_NAME 1017

// The About box's lines.
#define IDC_ABOUT_TEXT 1100
#define IDC_COPYRIGHT_TEXT 1101
#define IDC_CONTACT_TEXT 1102

// The About entry of the system menu; the system keeps the low four bits of a command for itself.
#define IDM_ABOUTBOX 0x0010
