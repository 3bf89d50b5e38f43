#ifndef QUILLOWBY_RES_RESOURCE_H
#define QUILLOWBY_RES_RESOURCE_H

// Resource and control ids; shared by the resource script and the window code.

#define IDD_ABOUT           100
#define IDD_MAIN            101
#define IDR_MAINMENU        103
#define IDB_SAVE            104
#define IDB_SKIN            105
#define IDR_SHORTCUTS       106
#define IDI_APP             128
#define IDB_DESKTOP         132
#define IDB_DOCUMENTS       134

#define IDC_FOLDER          1001
#define IDC_WEB_ADDRESS     1001
#define IDC_START           1002
#define IDC_MASK            1003
#define IDC_DIGITS          1004
#define IDC_DESKTOP         1005
#define IDC_ORDER           1006
#define IDC_FIX_DIGITS      1007
#define IDC_PATTERN         1008
#define IDC_DOCUMENTS       1009
#define IDC_LOG_PATH        1010
#define IDC_LOG_BROWSE      1011

#define IDM_ABOUT           40001
#define IDM_EXIT            40002
#define IDM_UNDO            40003

#ifndef IDC_STATIC
#define IDC_STATIC          (-1)
#endif

#endif
