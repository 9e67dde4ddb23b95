// The texts and ids of the installer's windows, written once for the
// resource script, the core, the terminal front end and the tests (the GUI
// tests read the #define lines of this file by name). Only #define lines:
// the resource compiler reads it too.
#pragma once

// Resources and dialog templates.
#define IDR_MAINFRAME 128
#define IDD_INSTALL 102
#define IDD_LOCATE_FILE 132
#define IDD_COMPLETION 134
#define IDD_CANCELLED 135
#define IDD_OPTIONS_ERROR 136
#define IDD_SPLASH 137
#define IDD_FAILED 138
#define IDD_UNDO_COMPLETE 139
#define IDD_UNDO_FAILED 140
#define IDD_UNDO_CANCELLED 142
#define IDD_UNDO_INCOMPLETE 143
#define IDD_VERSION_SELECT 141

// Controls (the buttons are IDOK 1 and IDCANCEL 2).
#define IDC_SPLASH_IMAGE 123
#define IDC_PROGRESS 1005
#define IDC_SOURCE_TEXT 1007
#define IDC_DEST_TEXT 1010
#define IDC_LOCATE_PATH 1013
#define IDC_BROWSE 1014
#define IDC_PROMPT 1015
#define IDC_VERSION_COMBO 1019

// Captions. The main window's is replaced by the package's title when shown.
#define TXT_INSTALL_CAPTION "ORLA Insatller"
#define TXT_NOTICE_CAPTION "ORLA Installer"
#define TXT_LOCATE_CAPTION "Locate File"

// Buttons and labels.
#define TXT_INSTALL "Install"
#define TXT_CANCEL "Cancel"
#define TXT_OK "OK"
#define TXT_BROWSE "Browse..."
#define TXT_SOURCE_LABEL "Source File:"
#define TXT_DEST_LABEL "Destination File:"
#define TXT_PROMPT_PLACEHOLDER "Static"

// The notices that end a run.
#define TXT_INSTALL_COMPLETE "Install Complete."
#define TXT_INSTALL_CANCELLED "Install Cancelled."
#define TXT_OPTIONS_ERROR "You have incorrectly specified some of the installation options. Try again."
#define TXT_INSTALL_FAILED "Install Failed."
#define TXT_UNDO_COMPLETE "Undo Complete."
#define TXT_UNDO_FAILED "Undo Failed."
#define TXT_UNDO_CANCELLED "Undo Cancelled."
#define TXT_UNDO_INCOMPLETE "Undo Incomplete."

// The questions.
#define TXT_VERSION_PROMPT "This install contains more than one version. Please select the version you wish to install (you can install the other versions by running the installation program again)."
#define TXT_LOCATE_GAME_EXE "Please locate your f1_9902.exe file. If you have changed the name of the file or moved it, please browse to the correct file and select it."
#define TXT_LOCATE_PLAYER "Please locate a PLR file to use as a template for a new player"
#define TXT_EXE_FILTER "exe files (*.exe)|*.exe||"
#define TXT_INI_FILTER "INI files (*.INI)|*.INI||"
#define TXT_PLR_FILTER "PLR files (*.PLR)|*.PLR||"
#define TXT_GAME_EXE_NAME "f1_9902.exe"
// The title and the date of the install, in this order.
#define TXT_UNDO_QUESTION "Undo the install of %s from %s?"
// The game folder; asked when a folder the install changes refuses the
// installer and administrator rights could help.
#define TXT_ELEVATE_QUESTION "The game folder %s can only be changed with administrator rights. Restart the installer as administrator?"

// A folder the install or undo changes refused a file (the folder; the
// system's reason follows).
#define TXT_FOLDER_REFUSED "Couldn't write in the folder %s"
// The program's file name, the folder it started in, the program again:
// told before any question when neither that folder nor the program's own
// holds a package.
#define TXT_NO_PACKAGE "%s was started in %s, which holds no package. Extract the whole package into a folder and start %s there."
#define TXT_RESTART_FAILED "Couldn't restart the installer as administrator"

// What conf.ini's [GUI] section falls back to.
#define TXT_DEFAULT_CONFIG_PROMPT "Location of default CONFIG.INI file"
#define TXT_DEFAULT_CONFIG_PATTERN "CONFIG.INI"
#define TXT_DEFAULT_TITLE "Trilo Installer"
