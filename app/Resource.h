// Resource and control identifiers, shared by the code and res/Updater.rc.
#pragma once

#define IDR_MAINFRAME       128
#define IDD_ABOUTBOX        100
#define IDS_ABOUTBOX        101
#define IDD_UPDATER_DIALOG  102
#define IDM_ABOUTBOX        0x0010

#define IDC_BTN_UPGRADE     1000
#define IDC_EDIT_INFO       1002
#define IDC_STATIC_SPEED    1004
#define IDC_STATIC_PERCENT  1005
#define IDC_PROGRESS        1006
#define IDC_BTN_EXTRA       1007

#ifndef IDC_STATIC
#define IDC_STATIC          (-1)
#endif
