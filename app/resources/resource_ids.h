// Resource and control ids of Vantor's dialogs (shared by the resource
// script and the program).
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_VANTOR_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_FOLDER 1000
#define IDC_REPORT 1002
#define IDC_SCENARIO_LIST 1003
#define IDC_BROWSE 1004
