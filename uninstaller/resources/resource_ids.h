#pragma once
// Resource and control ids of the uninstaller, shared by the resource script
// and the C++ code (plain macros: the resource compiler reads this too).

// String table.
#define IDS_LOG_FILE 1
#define IDS_STORE_FILE 2
#define IDS_DEFINITIONS_SET 3
#define IDS_VALUES_SET 4
#define IDS_CORE_SET 5
#define IDS_KEY_CORVEL 6
#define IDS_KEY_UNINSTALL 7
#define IDS_KEY_CDF 8
#define IDS_KEY_PATHS 9
#define IDS_KEY_COMPONENTS 10
#define IDS_KEY_SHARED_DLLS 11
#define IDS_PRODUCT 12
#define IDS_ERROR_CONFIG_FILE 14
#define IDS_ERROR_CONFIG_SETTINGS 15
#define IDS_ERROR_WINDOWS_SETTINGS 16
#define IDS_PROCESS_LIBRARY 17
#define IDS_SELECT_INSTRUCTIONS 19

// Icons and bitmaps.
#define IDI_PROGRAM 128
#define IDI_STOP 130
#define IDB_CHECK_PARTLY 131
#define IDB_SIDE_PICTURE 132
#define IDB_PHASE_MARK 133
#define IDB_CHECK_OFF 147
#define IDB_CHECK_ON 148

// Dialog templates.
#define IDD_SELECTION 102
#define IDD_RUNNING_PROGRAMS 129
#define IDD_PROGRESS 131

// Selection dialog controls (the buttons are IDOK and IDCANCEL).
#define IDC_TREE_PLACE 1001
#define IDC_DESCRIPTION 1005
#define IDC_INSTRUCTIONS 1014
#define IDC_COMPONENT_TREE 2001

// Running-programs dialog.
#define IDC_RUNNING_LIST 1007

// Progress dialog controls.
#define IDC_PROGRESS_BAR 1002
#define IDC_PROGRESS_OK 1003
#define IDC_MARK_1 1006
#define IDC_MARK_2 1007
#define IDC_MARK_3 1008
#define IDC_MARK_4 1009
#define IDC_MARK_5 1013
#define IDC_PLEASE_WAIT 1010
#define IDC_RESULT_SUCCESS 1011
#define IDC_RESULT_PARTIAL 1012
#define IDC_RESULT_RESTART 1015
#define IDC_RESULT_PLAN 1016
#define IDC_LOG_NOT_WRITTEN 1017
