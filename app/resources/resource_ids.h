// Resource, control and command ids of Vantor's dialogs: the one list, used
// by the resource script, the program and its GUI test.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_VANTOR_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_FOLDER 1000
#define IDC_REPORT 1002
#define IDC_SCENARIO_LIST 1003
#define IDC_BROWSE 1004
#define IDC_FILE_KINDS 1005
#define IDC_DETAIL 1006

// The captions of the kinds choice, in its order: IDS_FILE_KINDS and on.
#define IDS_FILE_KINDS 110

// The about item of the main dialog's window menu.
#define IDM_ABOUTBOX 0x0010
