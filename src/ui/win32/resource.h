// Resource and control ids of trilo-setup.exe. Shared by trilo.rc and the C++
// sources, so it holds only #define lines.
#pragma once

#define IDR_MAINFRAME 128

#define IDD_INSTALL 102
#define IDD_LOCATE_FILE 132
#define IDD_COMPLETION 134
#define IDD_CANCELLED 135
#define IDD_OPTIONS_ERROR 136
#define IDD_SPLASH 137
#define IDD_FAILED 138
#define IDD_VERSION_SELECT 141

#define IDC_SPLASH_IMAGE 123
#define IDC_PROGRESS 1005
#define IDC_SOURCE_TEXT 1007
#define IDC_DEST_TEXT 1010
#define IDC_LOCATE_PATH 1013
#define IDC_BROWSE 1014
#define IDC_PROMPT 1015
#define IDC_VERSION_COMBO 1019

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
