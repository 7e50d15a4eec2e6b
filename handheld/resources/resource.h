// Resource identifiers of the handheld program, shared by the .rc file and
// the code. The numbers are part of the program's interface: commands arrive
// as these values and other code reaches menus and strings by them.
#pragma once

// Strings
#define IDS_APP_TITLE 1
#define IDS_WINDOW_CLASS 3
#define IDS_TOOLS 104
#define IDS_CONFIRM_DELETE 106
#define IDS_SAVE_FAILED 107
#define IDS_LOAD_FAILED 108
#define IDS_NO_MATCH 118
#define IDS_EDIT_ITEM 122
#define IDS_VIEW 124
#define IDS_ORIGINAL_KEPT 150 // %s: where a file that did not load whole was kept
#define IDS_COMMAND_LINE_TOO_LONG 151
#define IDS_ICON_NAME_FIRST 801 // "Folder 1" ... 816 "DVD"
#define IDS_ICON_NAME_LAST 816
#define IDS_NEW 40006

// Icons and bitmaps
#define IDI_APP 1
#define IDI_ICON_123 123
#define IDI_IMAGE_FIRST 797 // image list image i is icon IDI_IMAGE_FIRST + i
#define IDI_IMAGE_LAST 816
#define IDB_MODIFY 109 // menu bar image: a page with a pencil
#define IDB_DELETE 126 // menu bar image: a red cross

// Menus, menu bar, accelerators
#define IDR_MAIN_MENU 102 // menu 102 and the menu-bar resource 102
#define IDR_ACCELERATORS 3

// Dialogs
#define IDD_ABOUT 103
#define IDD_GENERAL 113
#define IDD_MODIFY_TITLE 116
#define IDD_FIND 117
#define IDD_DETAILS 122

// Controls of the dialogs, a block per dialog. The item editor's pages, the
// Find dialog and Modify Title give the same number to their like controls,
// each under its own dialog's name.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The item editor's General page (IDD_GENERAL)
#define IDC_GENERAL_NAME 1001
#define IDC_GENERAL_ICON_LIST 1002
#define IDC_GENERAL_CHECKED 1003
#define IDC_GENERAL_CATEGORY 1004
#define IDC_GENERAL_LEVEL 1005
#define IDC_GENERAL_PRIORITY 1007
#define IDC_GENERAL_COLOUR 1012

// The item editor's Details page (IDD_DETAILS)
#define IDC_DETAILS_NOTE 1006
#define IDC_DETAILS_DATE 1014
#define IDC_DETAILS_TASK_TIME 1015
#define IDC_DETAILS_UNIT 1016

// Find (IDD_FIND)
#define IDC_FIND_NAME_LABEL 101
#define IDC_FIND_PRIORITY_LABEL 103
#define IDC_FIND_CATEGORY_LABEL 105
#define IDC_FIND_COLOUR_LABEL 108
#define IDC_FIND_PHRASE_LABEL 110
#define IDC_FIND_NAME 1001
#define IDC_FIND_CHECKED 1003
#define IDC_FIND_CATEGORY 1004
#define IDC_FIND_PHRASE 1006
#define IDC_FIND_PRIORITY 1007
#define IDC_FIND_COLOUR 1012
#define IDC_FIND_CLEAR 1013
#define IDC_FIND_DATE 1014
#define IDC_FIND_RELATION 1016

// Modify Title (IDD_MODIFY_TITLE)
#define IDC_TITLE_NAME 1001
#define IDC_TITLE_LABEL 1002

// About (IDD_ABOUT)
#define IDC_ABOUT_TEXT 1017

// Child windows of the main window
#define IDC_TREE 101
#define IDC_NOTE_PANE 102

// Commands
#define IDM_CREATE_COPY 103
#define IDM_DELETE_ITEM 104
#define IDM_TOOLS 40001
#define IDM_ABOUT 40003
#define IDM_NEW_ITEM 40004
#define IDM_FIND_ITEM 40010
#define IDM_SAVE_AS 40020
#define IDM_OPEN 40021
#define IDM_MODIFY_ITEM 40022
#define IDM_NEW_FILE 40023
#define IDM_FIND_AGAIN 40025
#define IDM_HIDE_CHECKED 40026
#define IDM_VIEW 40031
#define IDM_HIDE_NOTE_WINDOW 40033
#define IDM_ASCENDING 40034
#define IDM_DESCENDING 40035
#define IDM_PRIORITY_FIRST 40100 // + priority 0..9, shown as 1..10
#define IDM_PRIORITY_LAST 40109
#define IDM_VIEW_DEFAULT 40328 // + viewMode
#define IDM_VIEW_CATEGORY 40329
#define IDM_VIEW_DATE 40330
#define IDM_VIEW_PRIORITY 40331
#define IDM_ARRANGE_BY_NAME 40501 // IDM_ARRANGE_FIRST + arrangeKey
#define IDM_ARRANGE_BY_PRIORITY 40502
#define IDM_ARRANGE_BY_CATEGORY 40503
#define IDM_ARRANGE_BY_CHECK 40504
#define IDM_ARRANGE_BY_DATE 40505
#define IDM_ARRANGE_FIRST IDM_ARRANGE_BY_NAME
#define IDM_ARRANGE_LAST IDM_ARRANGE_BY_DATE

// Position of the "Arrange Items" submenu in the View popup.
#define VIEW_MENU_ARRANGE_POSITION 8
