#pragma once

// Numbers of the Windows window's resources, command ids and control ids. Plain #defines, so
// that the resource script (windres) and the C++ skin share one list.

// ---- Resources ------------------------------------------------------------------------------
// Menu, main frame's strings and the application icon.
#define IDR_MAINFRAME 128
// The controller toolbar. windres has no TOOLBAR resource type: its buttons and sizes are in
// resource_tables.h, and the toolbar is built from that table and the two bitmaps below.
#define IDR_CONTROLLER_TOOLBAR 137

#define IDD_ABOUTBOX 100
#define IDD_FORM 130
#define IDD_BANNER_BAR 138
#define IDD_NOTICE 143
#define IDD_UPGRADE_PROGRESS 147

// Toolbar strips: four 85 x 31 images side by side, in button order, on the mask colour.
#define IDB_TOOLBAR_DISABLED 141
#define IDB_TOOLBAR 142
// The About box's picture (600 x 634) and the banner (520 x 71).
#define IDB_ABOUT 152
#define IDB_BANNER 153
// The same four bitmaps drawn at twice the size, for 192 dpi and above.
#define IDB_DOUBLE_SIZE_OFFSET 1000
#define IDB_TOOLBAR_DISABLED_2X (IDB_TOOLBAR_DISABLED + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_TOOLBAR_2X (IDB_TOOLBAR + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_ABOUT_2X (IDB_ABOUT + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_BANNER_2X (IDB_BANNER + IDB_DOUBLE_SIZE_OFFSET)

// Manifest (resource type 24) of an executable.
#define IDR_APP_MANIFEST 1

// ---- Strings --------------------------------------------------------------------------------
#define IDS_APP_TITLE 57344
#define IDS_IDLE_MESSAGE 57345
// Width templates of the statistics panes.
#define IDS_INDICATOR_QUEUED 102
#define IDS_INDICATOR_ATTEMPTED 103
#define IDS_INDICATOR_CRC_ERRORS 104
#define IDS_INDICATOR_TIMEOUTS 105
#define IDS_INDICATOR_GOOD 106

// ---- Commands (menu items and toolbar buttons; each has a "prompt\ntip" string) -------------
#define ID_APP_EXIT 57665
#define ID_VIEW_CONTROLLER_TOOLBAR 32779
#define ID_VIEW_STATUS_BAR 59393
#define ID_CONTROLLER_UPLOAD 32772
#define ID_CONTROLLER_DOWNLOAD 32773
#define ID_CONTROLLER_INFO 32774
#define ID_CONTROLLER_UPGRADE 32775
#define ID_CONTROLLER_CONNECTION 32776
#define ID_CONTROLLER_SCAN 32780
#define ID_APP_ABOUT 57664

// ---- Bars of the main frame -----------------------------------------------------------------
#define IDW_CONTROLLER_TOOLBAR 59392
#define IDW_STATUS_BAR 59393
#define IDW_BANNER_BAR 59398

// ---- Controls -------------------------------------------------------------------------------
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The form (template 130).
#define IDC_MULTIPLIER 1001
#define IDC_RPM_TRIGGER 1002
#define IDC_RPM_CUTOFF 1003
#define IDC_MAP_CUTOFF 1005
#define IDC_MAP_TRIGGER 1006
#define IDC_MAP_END 1007
#define IDC_RAMP_TIME 1008
#define IDC_DELAY 1009
#define IDC_START_PERCENT 1010
#define IDC_FINAL_PERCENT 1011
#define IDC_STAGE_PRESENT 1028
#define IDC_RAMP_TIME_LABEL 1031
#define IDC_DELAY_LABEL 1032
#define IDC_FREQUENCY 1033
#define IDC_START_LABEL 1034
#define IDC_FREQUENCY_LABEL 1035
#define IDC_FINAL_LABEL 1036
#define IDC_INPUT2_WILL 1045
#define IDC_RPM_PRESENT 1050
#define IDC_FIRST_GEAR_LOCKOUT 1051
#define IDC_TYPE 1052
#define IDC_RPM_TRIGGER_LABEL 1054
#define IDC_MAP_TRIGGER_LABEL 1056
#define IDC_GRAPH 1057
#define IDC_PERCENT_LABEL 1058
#define IDC_AXIS_START 1059
#define IDC_AXIS_NAME 1060
#define IDC_AXIS_END 1061
#define IDC_MAP_END_LABEL 1062
#define IDC_TYPE_LABEL 1063
#define IDC_INPUT2_WILL_LABEL 1064
#define IDC_THIS_STAGE_LABEL 1065
#define IDC_STAGE 1067
#define IDC_SMOOTH_WHEN_DRAGGING 1068
#define IDC_RESET_TO_STRAIGHT_LINE 1069
#define IDC_SMOOTH_POINTS 1070
#define IDC_UNDO 1071
#define IDC_INPUT2 1073
#define IDC_MAP_UNITS 1075
#define IDC_MAP_CUTOFF_LABEL 1076
#define IDC_RPM_CUTOFF_LABEL 1077

// The About box (100), the banner bar (138), the notice (143) and the progress dialog (147).
#define IDC_ABOUT_PICTURE 1024
#define IDC_ABOUT_VERSION 1080
#define IDC_BANNER_PICTURE 1037
#define IDC_NOTICE_MESSAGE 1040
#define IDC_PROGRESS_BAR 1048
#define IDC_PROGRESS_TEXT 1049

// Window class of the form's numeric fields.
#define NUMERIC_EDIT_CLASS "MFCNumericEditCtrl"
