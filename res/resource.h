// Numeric resource and control ids of Varnholt. Included by Varnholt.rc and
// by C++ code; plain #defines only, so the resource compiler reads it too.
//
// Button strips: every skin-button bitmap is a horizontal strip of equally
// wide images, left to right in the order normal, pressed, hover, disabled.
// The SKINSET_* / SKINW_* values beside each strip are the image set and the
// image width to hand to CSkinButton::SetSkin, so code never guesses them.
#ifndef VARNHOLT_RES_RESOURCE_H
#define VARNHOLT_RES_RESOURCE_H

// Image sets of the strips (bits: 0x01 normal, 0x02 pressed, 0x04 hover,
// 0x08 disabled, 0x10 focused).
#define SKINSET_NPHD                 0x0F
#define SKINSET_NPH                  0x07

// ---------------------------------------------------------------- icons
#define IDI_MAINFRAME                128   // program icon, 32x32 and 16x16
#define IDI_IEPLUGIN                 139   // 16x16, plug-in list rows
#define IDI_STARTUP                  140   // 16x16, startup list rows
#define IDI_UNINSTALL                141   // 16x16, uninstall list rows
#define IDI_SESSION                  142   // 16x16, restore session box
#define IDI_TICKED                   155   // 16x16, ticked box
#define IDI_UNTICKED                 156   // 16x16, empty box
#define IDI_BACKUP_ITEM              157   // 16x16, restore list rows

// ---------------------------------------------------------------- bitmaps
// Main frame skin, 668x437, corners cut with magenta. Also the work area's
// pattern brush: aligned to the work area's offset in the frame it shows the
// same flat 0x444444 panel the frame image holds there.
#define IDB_MAINFRAME                130
#define IDB_CLOSE                    131   // 66x21: 3 x 22x21, SKINSET_NPH
#define IDB_MINIMIZE                 132   // 66x21: 3 x 22x21, SKINSET_NPH
#define IDB_BUTTON                   144   // 400x24: 4 x 100x24, SKINSET_NPHD
// Scroll bar pieces, all 16 pixels wide.
#define IDB_SCROLL_UP                145   // 16x16 up arrow, normal
#define IDB_SCROLL_UP_PRESSED        146   // 16x16 up arrow, pressed
#define IDB_SCROLL_UP_DISABLED       147   // 16x16 up arrow, disabled
#define IDB_SCROLL_DOWN              148   // 16x16 down arrow, normal
#define IDB_SCROLL_DOWN_PRESSED      149   // 16x16 down arrow, pressed
#define IDB_SCROLL_DOWN_DISABLED     150   // 16x16 down arrow, disabled
#define IDB_SCROLL_TRACK             151   // 16x16 track tile, enabled
#define IDB_SCROLL_TRACK_DISABLED    152   // 16x16 track tile, disabled
#define IDB_SCROLL_THUMB             153   // 16x17 thumb
#define IDB_DETAILS                  162   // 39x13: 3 x 13x13, SKINSET_NPH
// Main frame panel buttons, panel names drawn in; SKINSET_NPH.
#define IDB_PANEL_SCAN               166   // 666x74: 3 x 222x74
#define IDB_PANEL_STARTUP            167   // 531x44: 3 x 177x44
#define IDB_PANEL_IEPLUGINS          168   // 531x44: 3 x 177x44
#define IDB_PANEL_UNINSTALL          169   // 531x44: 3 x 177x44
#define IDB_PANEL_RESTORE            170   // 531x44: 3 x 177x44
#define IDB_PANEL_OPTIONS            171   // 531x44: 3 x 177x44
#define IDB_PANEL_ABOUT              172   // 531x44: 3 x 177x44
#define IDB_LIST_HEADER              173   // 379x27, scan list header
#define IDB_LINK_HELP                176   // 120x22: 3 x 40x22, SKINSET_NPH
#define IDB_LINK_SUPPORT             178   // 204x23: 3 x 68x23, SKINSET_NPH
// Window skins (magenta corners), drawn at the size each window takes.
#define IDB_SPLASH                   190   // 620x226
#define IDB_DLG_PROGRESS             191   // 295x268, dark body, light text
#define IDB_DLG_DETAILS              192   // 620x317, light body, black text
#define IDB_DLG_FIXPROGRESS          193   // 320x140, light body
#define IDB_DLG_SCHEDULER            194   // 360x200, light body
#define IDB_COMBO_ARROW              195   // 57x20: 3 x 19x20, SKINSET_NPH

// ---------------------------------------------------------------- sizes
#define SKINW_CLOSE                  22
#define SKINW_MINIMIZE               22
#define SKINW_BUTTON                 100
#define SKINW_DETAILS                13
#define SKINW_PANEL_SCAN             222
#define SKINW_PANEL                  177
#define SKINW_LINK_HELP              40
#define SKINW_LINK_SUPPORT           68
#define SKINW_COMBO_ARROW            19

// ---------------------------------------------------------------- other
#define IDR_TRAYMENU                 180   // tray popup menu (first submenu)
#define IDW_SCANDONE                 160   // WAVE resource played after a scan

// ---------------------------------------------------------------- dialogs
// Templates only give the dialogs a home: each window sizes itself and the
// skinned ones build their controls in code, except where a template below
// lists them.
#define IDD_SPLASH                   200   // empty, resized to 620x226
#define IDD_PROGRESS                 201   // empty, resized to 295x268
#define IDD_DETAILS                  202   // empty, resized to 620x317
#define IDD_FIXPROGRESS              203   // 1006, 1007, 1008
#define IDD_SCHEDULER                204   // 1009-1011, 1015, OK, Cancel

// ---------------------------------------------------------------- strings
#define IDS_DESC_SCAN                1     // panel 0 description
#define IDS_DESC_IEPLUGINS           2     // panel 1 description
#define IDS_DESC_STARTUP             3     // panel 2 description
#define IDS_DESC_RESTORE             4     // panel 4 description
#define IDS_DESC_OPTIONS             5     // panel 5 description
#define IDS_URL_SUPPORT              8     // vendor support page
#define IDS_URL_HELP                 9     // vendor help page
#define IDS_URL_HOME                 10    // vendor home page
#define IDS_ABOUT_NOTICE             11    // maker's notice on the About panel
#define IDS_APPNAME                  130   // "Varnholt" (also the registry key)
#define IDS_DESC_UNINSTALL           131   // panel 3 description
#define IDS_VERSION                  132   // "Version 1.37"

// ---------------------------------------------------------------- controls
// Main frame
#define IDC_CLOSE                    101
#define IDC_MINIMIZE                 102
#define IDC_PANEL_SCAN               143
#define IDC_PANEL_STARTUP            144
#define IDC_PANEL_IEPLUGINS          145
#define IDC_PANEL_RESTORE            147
#define IDC_PANEL_OPTIONS            148
#define IDC_PANEL_UNINSTALL          149
#define IDC_PANEL_ABOUT              150
#define IDC_LINK_HELP                151
#define IDC_LINK_SUPPORT             152
// Work area panel commands
#define ID_SHOW_SCAN                 103
#define ID_SHOW_STARTUP              104
#define ID_SHOW_IEPLUGINS            105
#define ID_SHOW_UNINSTALL            106
#define ID_SHOW_RESTORE              107
#define ID_SHOW_OPTIONS              108
#define ID_SHOW_ABOUT                109
// Tool and restore panels
#define IDC_UNINSTALL_REMOVE         111
#define IDC_UNINSTALL_RUN            112
#define IDC_STARTUP_RUN              113
#define IDC_STARTUP_REMOVE           114
#define IDC_IEPLUGIN_REMOVE          115
#define IDC_RESTORE                  118
#define IDC_RESTORE_SELECTALL        184
#define IDC_RESTORE_EXPORT           1020
// Skinned combo box
#define IDC_COMBO_ARROW              116
#define IDC_POPUP_LIST               117
// Scan panel
#define IDC_SCAN_NOW                 120
#define IDC_FIX_ERRORS               121
#define IDC_DETAILS_COM              125
#define IDC_DETAILS_APPPATH          126
#define IDC_DETAILS_FILEASSOC        127
#define IDC_DETAILS_SHAREDDLL        128
#define IDC_DETAILS_SERVICES         129
#define IDC_DETAILS_FONTS            130
#define IDC_DETAILS_HELPFILES        131
#define IDC_DETAILS_STARTUP          132
#define IDC_DETAILS_UNINSTALL        133
#define IDC_DETAILS_HISTORY          1016
// Details dialog
#define IDC_SELECT_NONE              123
#define IDC_SELECT_ALL               124
#define IDC_DETAILS_IGNORE           1017
// Options panel
#define IDC_OPT_SPLASH               134
#define IDC_OPT_SOUND                135
#define IDC_OPT_PROMPTFIX            136
#define IDC_OPT_SCHEDULE             187
#define IDC_OPT_IGNORED_LIST         1018
#define IDC_OPT_IGNORED_REMOVE       1019
// Scan progress dialog
#define IDC_PROGRESS_CANCEL          1001
// Fix progress dialog
#define IDC_FIX_BAR                  1006
#define IDC_FIX_TEXT                 1007
#define IDC_FIX_REMAINING            1008
// About panel
#define IDC_ABOUT_LINK               1006
// Scheduler dialog
#define IDC_SCHED_ENABLE             1009
#define IDC_SCHED_FREQUENCY          1010
#define IDC_SCHED_DAY                1011
#define IDC_SCHED_TIME               1015
// Static controls that never send commands
#define IDC_STATIC_NONE              0xFFFF

// ---------------------------------------------------------------- tray menu
#define ID_TRAY_EXIT                 32771
#define ID_TRAY_ABOUT                32773
#define ID_TRAY_HOMEPAGE             32774
#define ID_TRAY_SHOW                 32776

#endif
