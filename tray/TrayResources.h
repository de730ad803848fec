#pragma once
// Resource and command ids of the tray program, shared by its .rc file and its code.

#define IDI_TRAY 128          // the program icon
#define IDD_TRAY 102          // the hidden main window
#define IDR_TRAY_MENU 132     // the icon's menu; also the icon's id
#define IDD_NOTICE 133        // the notice popup
#define IDC_NOTICE_HTML 1000  // where the notice page goes

#define ID_OPEN_PLAYER 32771
#define ID_HOME_PAGE 32773
#define ID_UPDATE 32774
#define ID_EXIT 32775
