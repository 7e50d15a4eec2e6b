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
#define IDI_IMAGE_FIRST 797 // image list image i is icon 797 + i
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

// Controls of the dialogs (the Find dialog reuses the item editor's ids)
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_NAME 1001
#define IDC_ICON_LIST 1002
#define IDC_TITLE_LABEL 1002
#define IDC_CHECKED 1003
#define IDC_CATEGORY 1004
#define IDC_LEVEL 1005
#define IDC_NOTE 1006
#define IDC_PHRASE 1006
#define IDC_PRIORITY 1007
#define IDC_COLOUR 1012
#define IDC_CLEAR 1013
#define IDC_DATE 1014
#define IDC_TASK_TIME 1015
#define IDC_UNIT 1016
#define IDC_RELATION 1016
#define IDC_ABOUT_TEXT 1017
#define IDC_FIND_NAME_LABEL 101
#define IDC_FIND_PRIORITY_LABEL 103
#define IDC_FIND_CATEGORY_LABEL 105
#define IDC_FIND_COLOUR_LABEL 108
#define IDC_FIND_PHRASE_LABEL 110

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
#define IDM_ARRANGE_FIRST 40501 // + arrangeKey: name, priority, category, check, date
#define IDM_ARRANGE_LAST 40505

// Position of the "Arrange Items" submenu in the View popup.
#define VIEW_MENU_ARRANGE_POSITION 8
